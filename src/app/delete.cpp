// Deleting a saved ID: the section is cut out of the store and every later one renumbered in one
// transform of the file's text as it is now, written with one atomic replacement, so the file is never
// left with a gap in its numbering or half-written. Only the ID the list showed is deleted: when the
// file holds another one in its place, nothing is.
#include <string>

#include "app/main.h"
#include "app/messages.h"
#include "app/prompts.h"
#include "app/view.h"
#include "core/delete_section.h"
#include "core/store_format.h"
#include "store/files.h"

namespace app {
namespace {

constexpr wchar_t kDeleteErrorTitle[] = L"Quorvel - Delete Error";
constexpr wchar_t kNotChanged[] = L"The saved ID was not deleted; the store file was not changed.";

}  // namespace

void Main::DeleteSavedId(std::int16_t m) {
  if (prompts_.Message(L"This will deleted the selected saved id, continue?", L"Sure?", Prompts::Buttons::YesNo,
                       Prompts::Icon::None) != Prompts::Answer::Yes)
    return;

  const store::FileText file = store::ReadWholeFile(IniPath);
  if (!file.status) {
    // Nothing to refresh: the table still shows the store as last read, and a reload would only
    // fail on the same file with a second message.
    prompts_.Message(CouldNot(L"read its store file", IniPath, file.status.Text(), kNotChanged), kDeleteErrorTitle,
                     Prompts::Buttons::Ok, Prompts::Icon::Stop);
    return;
  }

  std::wstring failure;  // the message when the store was left as it was
  if (!file.exists) {
    // Reloading a vanished store starts the first-run request; say why before it comes up.
    prompts_.Message(L"Quorvel's store file\r\n" + IniPath +
                         L"\r\nis no longer there, so no saved ID was deleted. Quorvel will now set up a new "
                         L"store, as at its first start.",
                     kDeleteErrorTitle, Prompts::Buttons::Ok, Prompts::Icon::Stop);
  } else if (!StillListed(m - 1, file.bytes)) {
    failure = ListChanged(IniPath, kNotChanged);
  } else if (const core::DeleteResult result = core::DeleteIdSection(file.bytes, m, core::CountIdHeaders(file.bytes));
             result.outcome != core::DeleteOutcome::kOk) {
    failure = L"Quorvel's store file\r\n" + IniPath + L"\r\nis not laid out as Quorvel writes it: " +
              core::DeleteOutcomeText(result.outcome) +
              L" It may have been edited by hand; the saved IDs are listed again as the file holds them.\r\n\r\n" +
              kNotChanged;
  } else if (const base::Status written = store::ReplaceFileAtomically(IniPath, result.text); !written) {
    failure = CouldNot(L"write its store file", IniPath, written.Text(),
                       kNotChanged + std::wstring(L" If another program has the file open, close it and try again."));
  }

  LoadStore();
  if (Ended()) return;  // the first-run request of a vanished store was cancelled
  FillIdList();

  if (!failure.empty()) {
    prompts_.Message(failure, kDeleteErrorTitle, Prompts::Buttons::Ok, Prompts::Icon::Stop);
  } else if (file.exists) {
    prompts_.Message(L"FL ID Deleted!", L"Done!", Prompts::Buttons::Ok, Prompts::Icon::Information);
  }
}

void Main::DeleteSelectedId(int index) {
  if (!Selected(index)) return;
  DeleteSavedId(static_cast<std::int16_t>(index + 1));
  // Emptied whatever the answer was, unless the program ended on the way.
  if (!ended_) view_.ShowDescriptionLabel(L"");
}

}  // namespace app
