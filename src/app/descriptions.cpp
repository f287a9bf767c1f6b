// A saved ID's description: shown formatted in lbl_disc and raw in txt_disc, stored under DISC.
#include <string>

#include "app/main.h"
#include "app/prompts.h"
#include "core/description.h"
#include "store/files.h"
#include "store/ini.h"
#include "ui/frm_mng_ids.h"

namespace app {
namespace {

constexpr std::size_t kDescriptionColumn = 4;

// Row k + 1 of the table for list index k; row 0 (empty) for no selection or an index past the table.
std::size_t RowOfIndex(int index, std::size_t rows) {
  const auto row = static_cast<std::size_t>(index + 1);
  return index >= 0 && row < rows ? row : 0;
}

}  // namespace

void Main::ShowDescription() {
  ui::frm_mng_ids& window = MngIdsWindow();
  const std::size_t row = RowOfIndex(window.SelectedIndex(), SavedIds.size());
  const std::wstring description = row < SavedIds.size() ? SavedIds[row][kDescriptionColumn] : std::wstring();
  window.SetText(ui::frm_mng_ids::lbl_disc, core::FormatDescription(description));
  window.SetText(ui::frm_mng_ids::txt_disc, description);
}

void Main::StoreDescription() {
  ui::frm_mng_ids& window = MngIdsWindow();
  const int index = window.SelectedIndex();
  if (index == -1) {
    prompts_.Message(L"Please select an ID!", L"Oops!", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    return;
  }
  if (!store::FileExists(IniPath)) {
    // Written now, the description would start a new store holding nothing but itself, which the
    // next load would list as a saved ID without values.
    ShowDescription();
    prompts_.Message(L"Quorvel's store file\r\n" + IniPath +
                         L"\r\nis no longer there, so the description was not stored.",
                     L"Quorvel - Description Error", Prompts::Buttons::Ok, Prompts::Icon::Stop);
    return;
  }
  const std::wstring description = core::CleanDescription(window.Text(ui::frm_mng_ids::txt_disc));
  const base::Status written = ini::WriteIni(L"FLID_" + std::to_wstring(index + 1), L"DISC", description, IniPath);
  if (!written) {
    // The table keeps what the file holds; label and text box show it again.
    ShowDescription();
    prompts_.Message(L"Quorvel could not write the description to its store file\r\n" + IniPath + L"\r\n\r\n" +
                         written.Text() +
                         L"\r\n\r\nThe description was not changed. If another program has the file open, close "
                         L"it and try again.",
                     L"Quorvel - Description Error", Prompts::Buttons::Ok, Prompts::Icon::Stop);
    return;
  }
  if (const std::size_t row = RowOfIndex(index, SavedIds.size()); row != 0) SavedIds[row][kDescriptionColumn] = description;
  ShowDescription();
  if (prompts_.Message(L"Continue editing the discription?", L"Done!", Prompts::Buttons::YesNo,
                       Prompts::Icon::None) == Prompts::Answer::No)
    window.SetOuterHeight(ui::frm_mng_ids::kCompactHeight);
}

}  // namespace app
