#include "ui/frm_mng_ids.h"

#include "app/main.h"

namespace ui {
namespace {

using M = frm_mng_ids;
// clang-format off
constexpr ControlRow kRows[] = {
  // id              kind          frame              caption                      left   top  width height tab  bold
  {M::frame_changer,  Kind::Frame,  0,                 L"Change FL ID",              120,  120, 5535, 1335,  0},
  {M::cmbo_flids,     Kind::Combo,  M::frame_changer,  L"- Select ID -",             120,  840, 5295,  315,  1},
  {M::lbl_currentid,  Kind::Label,  M::frame_changer,  L"Current ID Installed:",     120,  360, 1815,  255,  2, true},
  {M::lbl_current_id, Kind::Label,  M::frame_changer,  L"",                         1920,  360, 3495,  255,  3},
  {M::frame_disc,     Kind::Frame,  0,                 L"IDs Discription",           120, 1560, 5535, 1215,  4},
  {M::lbl_disc,       Kind::Label,  M::frame_disc,     L"",                          120,  300, 5295,  795,  5},
  {M::frame_option,   Kind::Frame,  0,                 L"Choose Option:",            120, 2880, 5535,  975,  6},
  {M::btn_changeit,   Kind::Button, M::frame_option,   L"Change FL ID",              120,  360, 1695,  375,  7},
  {M::btn_deleteit,   Kind::Button, M::frame_option,   L"Deleted FL ID",            1920,  360, 1695,  375,  8},
  {M::btn_disc,       Kind::Button, M::frame_option,   L"Edit Discription",         3720,  360, 1695,  375,  9},
  {M::frame_discedit, Kind::Frame,  0,                 L"Edit/Add Discription",      120, 3960, 5535, 1815, 10},
  {M::txt_disc,       Kind::Edit,   M::frame_discedit, L"",                          240,  360, 5055,  375, 11},
  {M::lbl_discinfo,   Kind::Label,  M::frame_discedit, L"Use | for a new line, only 4 lines will show.", 240, 840, 5055, 255, 12},
  {M::btn_edidisc,    Kind::Button, M::frame_discedit, L"Edit Discription",          240, 1200, 1815,  375, 13},
  {M::btn_cancel,     Kind::Button, M::frame_discedit, L"Cancel",                   2160, 1200, 1815,  375, 14},
};
// clang-format on

}  // namespace

const WindowDesign frm_mng_ids::kDesign{L"Quorvel.frm_mng_ids", L"Quorvel - Manage saved IDs", 5775, 5895, false,
                                        kRows};

frm_mng_ids::frm_mng_ids(app::Main& program) : Window(kDesign), program_(program) {}

// The shortcut item goes into the system menu, so no control of the window moves for it.
void frm_mng_ids::Form_Load() {
  SetOuterHeight(kCompactHeight);
  const HMENU menu = GetSystemMenu(hwnd(), FALSE);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, mnu_shortcut, L"Create &desktop shortcut...");
  AppendMenuW(menu, MF_STRING, mnu_deleted, L"Deleted &IDs...");
}

void frm_mng_ids::Shown::ApplyTo(frm_mng_ids& window) const {
  window.SetText(lbl_current_id, installed_key);
  window.SetList(list);
  if (list_prompt) window.SetComboText(*list_prompt);
  window.SetText(lbl_disc, description_label);
  window.SetText(txt_disc, description_box);
  if (expanded) window.SetOuterHeight(kExpandedHeight);
}

void frm_mng_ids::SetOuterHeight(int designed_twips) {
  expanded_ = designed_twips == kExpandedHeight;
  SetClientHeightTwips(designed_twips - kDesignedFrameTwips);
}

void frm_mng_ids::SetList(const std::vector<std::wstring>& items) {
  Ensure();
  // Emptying the list also empties the edit field; the text there is kept as it was.
  const HWND combo = Control(cmbo_flids);
  const std::wstring text = Text(cmbo_flids);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  SetWindowTextW(combo, text.c_str());
  for (const std::wstring& item : items) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int frm_mng_ids::SelectedIndex() const {
  if (!Exists()) return -1;
  return static_cast<int>(SendMessageW(Control(cmbo_flids), CB_GETCURSEL, 0, 0));
}

void frm_mng_ids::Select(int index) {
  SendMessageW(Control(cmbo_flids), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  cmbo_flids_Click();
}

void frm_mng_ids::SetComboText(const std::wstring& text) {
  Ensure();
  SendMessageW(Control(cmbo_flids), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  SetWindowTextW(Control(cmbo_flids), text.c_str());
}

// Typing into the edit field leaves the list selection where it was; the program treats typed text
// as "nothing selected", so the selection is dropped while the typed text and caret stay.
void frm_mng_ids::ForgetSelectionKeepingText() {
  const HWND combo = Control(cmbo_flids);
  if (SendMessageW(combo, CB_GETCURSEL, 0, 0) == CB_ERR) return;
  const std::wstring text = Text(cmbo_flids);
  DWORD start = 0, end = 0;
  SendMessageW(combo, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  SetWindowTextW(combo, text.c_str());
  SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(start, end));
}

void frm_mng_ids::btn_changeit_Click() { program_.InstallSelectedId(SelectedIndex()); }

void frm_mng_ids::btn_deleteit_Click() { program_.DeleteSelectedId(SelectedIndex()); }

void frm_mng_ids::btn_disc_Click() { SetOuterHeight(kExpandedHeight); }

void frm_mng_ids::btn_cancel_Click() { SetOuterHeight(kCompactHeight); }

void frm_mng_ids::cmbo_flids_Click() { program_.ShowDescription(SelectedIndex()); }

void frm_mng_ids::btn_edidisc_Click() { program_.StoreDescription(SelectedIndex(), Text(txt_disc)); }

void frm_mng_ids::mnu_shortcut_Click() { program_.MakePlayShortcut(SelectedIndex()); }

void frm_mng_ids::mnu_deleted_Click() { program_.ListDeletedIds(); }  // the list shows its window

bool frm_mng_ids::OnSystemMenu(int id) {
  if (id == mnu_shortcut) mnu_shortcut_Click();
  else if (id == mnu_deleted) mnu_deleted_Click();
  else return false;
  return true;
}

void frm_mng_ids::OnCommand(int id, int notification) {
  if (id == cmbo_flids) {
    if (notification == CBN_SELCHANGE) cmbo_flids_Click();
    if (notification == CBN_EDITCHANGE) ForgetSelectionKeepingText();
    return;
  }
  if (notification != BN_CLICKED) return;
  switch (id) {
    case btn_changeit: btn_changeit_Click(); break;
    case btn_deleteit: btn_deleteit_Click(); break;
    case btn_disc: btn_disc_Click(); break;
    case btn_cancel: btn_cancel_Click(); break;
    case btn_edidisc: btn_edidisc_Click(); break;
    default: break;
  }
}

}  // namespace ui
