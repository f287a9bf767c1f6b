#include "ui/frm_save_id.h"

#include "app/main.h"

namespace ui {
namespace {

using S = frm_save_id;
// clang-format off
constexpr ControlRow kRows[] = {
  // id               kind          frame           caption                   left  top  width height tab  bold
  {S::frame_savid,    Kind::Frame,  0,              L"Save current FL ID",     120, 120, 5535, 1215, 0},
  {S::lbl_current_id, Kind::Label,  S::frame_savid, L"",                      1920, 360, 3495,  255, 1},
  {S::lbl_currentid,  Kind::Label,  S::frame_savid, L"Current ID Installed:",  120, 360, 1815,  255, 2, true},
  {S::btn_savid,      Kind::Button, S::frame_savid, L"Save FL ID",             120, 720, 1695,  375, 3},
};
// clang-format on

}  // namespace

const WindowDesign frm_save_id::kDesign{L"Quorvel.frm_save_id", L"Quorvel - Save FL ID", 5775, 1470, false, kRows};

frm_save_id::frm_save_id(app::Main& program) : Window(kDesign), program_(program) {}

void frm_save_id::Shown::ApplyTo(frm_save_id& window) const { window.SetText(lbl_current_id, installed_key); }

void frm_save_id::btn_savid_Click() {
  program_.SaveInstalledId();
  Hide();
}

void frm_save_id::OnCommand(int id, int notification) {
  if (id == btn_savid && notification == BN_CLICKED) btn_savid_Click();
}

}  // namespace ui
