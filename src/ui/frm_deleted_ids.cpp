#include "ui/frm_deleted_ids.h"

#include "app/main.h"

namespace ui {
namespace {

using D = frm_deleted_ids;
// clang-format off
constexpr ControlRow kRows[] = {
  // id               kind          frame             caption                                                     left   top  width height tab
  {D::frame_deleted,  Kind::Frame,  0,                L"Deleted IDs",                                              120,  120, 6975, 3135,  0},
  {D::lbl_deleted,    Kind::Label,  D::frame_deleted, L"Saved IDs that left FLIDs.ini, newest first: when, InstallKey, description",
                                                                                                                   120,  300, 6735,  255,  1},
  {D::lst_deleted,    Kind::List,   D::frame_deleted, L"",                                                         120,  600, 6735, 2415,  2},
  {D::frame_option,   Kind::Frame,  0,                L"Choose Option:",                                           120, 3360, 6975,  975,  3},
  {D::btn_restore,    Kind::Button, D::frame_option,  L"Restore",                                                  240,  360, 1695,  375,  4},
  {D::btn_forget,     Kind::Button, D::frame_option,  L"Delete for good",                                         2040,  360, 1695,  375,  5},
};
// clang-format on

// Where the list's columns start, in dialog units of the list's font: after the time, after the key.
constexpr int kTabStops[] = {80, 220};

}  // namespace

const WindowDesign frm_deleted_ids::kDesign{L"Quorvel.frm_deleted_ids", L"Quorvel - Deleted IDs", 7215, 4455, false, kRows};

frm_deleted_ids::frm_deleted_ids(app::Main& program) : Window(kDesign), program_(program) {}

void frm_deleted_ids::Form_Load() {
  SendMessageW(Control(lst_deleted), LB_SETTABSTOPS, std::size(kTabStops), reinterpret_cast<LPARAM>(kTabStops));
}

void frm_deleted_ids::SetList(const std::vector<app::DeletedIdRow>& rows) {
  Ensure();
  const HWND list = Control(lst_deleted);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const app::DeletedIdRow& row : rows) {
    const std::wstring line = (row.left.empty() ? L"-" : row.left) + L"\t" + row.key + L"\t" + row.description;
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

int frm_deleted_ids::SelectedIndex() const {
  if (!Exists()) return -1;
  const LRESULT picked = SendMessageW(Control(lst_deleted), LB_GETCURSEL, 0, 0);
  return picked == LB_ERR ? -1 : static_cast<int>(picked);
}

void frm_deleted_ids::Select(int index) { SendMessageW(Control(lst_deleted), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void frm_deleted_ids::btn_restore_Click() { program_.RestoreDeletedId(SelectedIndex()); }

void frm_deleted_ids::btn_forget_Click() { program_.ForgetDeletedId(SelectedIndex()); }

void frm_deleted_ids::OnCommand(int id, int notification) {
  if (id == lst_deleted) {
    if (notification == LBN_DBLCLK) btn_restore_Click();
    return;
  }
  if (notification != BN_CLICKED) return;
  if (id == btn_restore) btn_restore_Click();
  if (id == btn_forget) btn_forget_Click();
}

}  // namespace ui
