// A saved ID's description: shown formatted in lbl_disc and raw in txt_disc, stored under DISC.
#include <string>

#include "app/main.h"
#include "app/messages.h"
#include "app/prompts.h"
#include "app/view.h"
#include "core/description.h"
#include "store/files.h"
#include "store/ini.h"

namespace app {
namespace {

constexpr std::size_t kDescriptionColumn = 4;

// Row k + 1 of the table for list index k; row 0 (empty) for no selection or an index past the table.
std::size_t RowOfIndex(int index, std::size_t rows) {
  const auto row = static_cast<std::size_t>(index + 1);
  return index >= 0 && row < rows ? row : 0;
}

}  // namespace

void Main::ShowDescription(int index) {
  const std::size_t row = RowOfIndex(index, SavedIds.size());
  const std::wstring description = row < SavedIds.size() ? SavedIds[row][kDescriptionColumn] : std::wstring();
  view_.ShowDescriptionLabel(core::FormatDescription(description));
  view_.ShowDescriptionBox(description);
}

void Main::StoreDescription(int index, const std::wstring& typed) {
  if (!Selected(index)) return;
  if (!store::FileExists(IniPath)) {
    // Written now, the description would start a new store holding nothing but itself, which the
    // next load would list as a saved ID without values.
    ShowDescription(index);
    prompts_.Message(L"Quorvel's store file\r\n" + IniPath +
                         L"\r\nis no longer there, so the description was not stored.",
                     L"Quorvel - Description Error", Prompts::Buttons::Ok, Prompts::Icon::Stop);
    return;
  }
  const std::wstring description = core::CleanDescription(typed);
  const base::Status written = ini::WriteIni(L"FLID_" + std::to_wstring(index + 1), L"DISC", description, IniPath);
  if (!written) {
    // The table keeps what the file holds; label and text box show it again.
    ShowDescription(index);
    prompts_.Message(CouldNot(L"write the description to its store file", IniPath, written.Text(),
                              L"The description was not changed. If another program has the file open, close it "
                              L"and try again."),
                     L"Quorvel - Description Error", Prompts::Buttons::Ok, Prompts::Icon::Stop);
    return;
  }
  if (const std::size_t row = RowOfIndex(index, SavedIds.size()); row != 0) SavedIds[row][kDescriptionColumn] = description;
  ShowDescription(index);
  if (prompts_.Message(L"Continue editing the discription?", L"Done!", Prompts::Buttons::YesNo,
                       Prompts::Icon::None) == Prompts::Answer::No)
    view_.ShowDescriptionEditor(false);
}

}  // namespace app
