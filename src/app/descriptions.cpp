// A saved ID's description: shown formatted in lbl_disc and raw in txt_disc, stored under DISC of the
// ID the list shows, and only while the store still holds that ID under that number.
#include <string>

#include "app/main.h"
#include "app/messages.h"
#include "app/prompts.h"
#include "app/view.h"
#include "base/text.h"
#include "core/description.h"
#include "core/store_format.h"
#include "store/files.h"
#include "store/ini.h"
#include "store/store_lock.h"

namespace app {
namespace {

constexpr std::size_t kDescriptionColumn = 4;
constexpr wchar_t kDescriptionError[] = L"Quorvel - Description Error";

}  // namespace

void Main::ShowDescription(int index) {
  const bool listed = index >= 0 && static_cast<std::size_t>(index) < listed_.size();
  const std::wstring description = listed ? listed_[static_cast<std::size_t>(index)][kDescriptionColumn] : std::wstring();
  view_.ShowDescriptionLabel(core::FormatDescription(description));
  view_.ShowDescriptionBox(description);
}

void Main::StoreDescription(int index, const std::wstring& typed) {
  if (!Selected(index)) return;
  const std::wstring description = core::CleanDescription(typed);
  enum { kWritten, kGone, kChanged, kFailed } outcome = kWritten;
  std::wstring failure;
  {  // one turn for the read, the check and the replacement; the boxes come after it
    const store::StoreLock lock(IniPath, places_.lock_wait_ms);
    // No store: written now, the description would start a new one holding nothing but itself, which
    // the next load would list as a saved ID without values.
    const store::FileText file = !lock.held() ? store::FileText{}
                                 : store::FileExists(IniPath) ? store::ReadWholeFile(IniPath) : store::FileText{};
    if (!lock.held()) {
      outcome = kFailed;
      failure = BusyText(lock, L"The description was not changed.");
    } else if (file.status && !file.exists) {
      outcome = kGone;
    } else if (file.status && !StillListed(index, file.bytes)) {
      outcome = kChanged;
    } else if (const base::Status written = ini::WriteIni(file, core::IdSectionName(index + 1),
                                                          core::kIdKeys[kDescriptionColumn - 1], description, IniPath);
               !written) {
      outcome = kFailed;
      failure = CouldNot(L"write the description to its store file", IniPath, written.Text(),
                         L"The description was not changed. If another program has the file open, close it and try again.");
    } else {
      // An ID that later leaves the store by another road is offered with the description it had.
      const SavedIdRow& shown = listed_[static_cast<std::size_t>(index)];
      ArchiveDescription({"", base::ToAnsi(shown[1]), base::ToAnsi(shown[2]), base::ToAnsi(shown[3]), base::ToAnsi(description)});
    }
  }
  if (outcome == kGone) {
    ShowDescription(index);
    prompts_.Message(L"Quorvel's store file\r\n" + IniPath + L"\r\nis no longer there, so the description was not stored.",
                     kDescriptionError, Prompts::Buttons::Ok, Prompts::Icon::Stop);
    return;
  }
  if (outcome == kChanged) {
    if (!ListAgain()) return;
    prompts_.Message(ListChanged(IniPath, L"The description was not stored; the store file was not changed."),
                     kDescriptionError, Prompts::Buttons::Ok, Prompts::Icon::Stop);
    return;
  }
  if (outcome == kFailed) {
    // The table keeps what the file holds; label and text box show it again.
    ShowDescription(index);
    prompts_.Message(failure, kDescriptionError, Prompts::Buttons::Ok, Prompts::Icon::Stop);
    return;
  }
  listed_[static_cast<std::size_t>(index)][kDescriptionColumn] = description;
  if (const std::size_t row = static_cast<std::size_t>(index) + 1; row < SavedIds.size()) SavedIds[row][kDescriptionColumn] = description;
  ShowDescription(index);
  if (prompts_.Message(L"Continue editing the discription?", L"Done!", Prompts::Buttons::YesNo,
                       Prompts::Icon::None) == Prompts::Answer::No)
    view_.ShowDescriptionEditor(false);
}

}  // namespace app
