#include "ui/frm_main.h"

#include "app/main.h"
#include "ui/frm_about.h"
#include "ui/frm_mng_ids.h"
#include "ui/frm_save_id.h"
#include "ui/window_set.h"

namespace ui {
namespace {

// clang-format off
constexpr ControlRow kRows[] = {
  // id                       kind          frame                    caption                         left   top  width height tab  bold
  {frm_main::fram_currentid,  Kind::Frame,  0,                       L"Current FL ID Installed:",     120,  120, 6255,  735,  0},
  {frm_main::lbl_currentid,   Kind::Label,  frm_main::fram_currentid, L"",                            120,  360, 4095,  255,  1, true},
  {frm_main::btn_refresh,     Kind::Button, frm_main::fram_currentid, L"Refresh",                     4320,  240,  855,  375,  2},
  {frm_main::btn_print,       Kind::Button, frm_main::fram_currentid, L"Print",                       5280,  240,  855,  375,  3},
  {frm_main::fram_options,    Kind::Frame,  0,                       L"Choose Option:",               120,  960, 6255,  975,  4},
  {frm_main::btn_mng_ids,     Kind::Button, frm_main::fram_options,  L"Manage FL IDs",                240,  360, 1695,  375,  5},
  {frm_main::btn_saveid,      Kind::Button, frm_main::fram_options,  L"Save FL ID",                  2280,  360, 1695,  375,  6},
  {frm_main::btn_clearid,     Kind::Button, frm_main::fram_options,  L"Clear installed FL ID",       4320,  360, 1695,  375,  7},
  {frm_main::frame_launchfl,  Kind::Frame,  0,                       L"Launch Freelancer",            120, 2040, 6255, 1215,  8},
  {frm_main::txt_serverips,   Kind::Edit,   frm_main::frame_launchfl, L"",                           1080,  360, 3615,  375,  9},
  {frm_main::btn_launchfl,    Kind::Button, frm_main::frame_launchfl, L"Launch FL",                  4800,  360, 1335,  375, 10},
  {frm_main::Label1,          Kind::Label,  frm_main::frame_launchfl, L"Server ip(s):",               120,  360,  855,  375, 11},
  {frm_main::Label2,          Kind::Label,  frm_main::frame_launchfl, L"Separate multiple server ips with |", 1080, 840, 2655, 255, 12},
};
// clang-format on

}  // namespace

const WindowDesign frm_main::kDesign{L"Quorvel.frm_main", L"Quorvel - Main", 6495, 3375, true, kRows};

frm_main::frm_main(app::Main& program, Windows& windows) : Window(kDesign), program_(program), windows_(windows) {}

void frm_main::Form_Load() { program_.StartUp(); }

void frm_main::OnClose() { program_.EndProgram(); }

void frm_main::about_Click() { windows_.AboutWindow().Show(); }
void frm_main::deleted_ids_Click() { program_.ListDeletedIds(); }  // the list shows its window
void frm_main::btn_refresh_Click() { program_.ShowInstalledId(); }
void frm_main::btn_print_Click() { program_.PrintInstalledId(); }
void frm_main::btn_saveid_Click() { windows_.SaveIdWindow().Show(); }
void frm_main::btn_clearid_Click() { program_.ClearInstalledId(); }
void frm_main::btn_launchfl_Click() { program_.LaunchGame(Text(txt_serverips)); }

void frm_main::btn_mng_ids_Click() {
  windows_.MngIdsWindow().Show();
  program_.FillIdList();  // empties the list and fills it again
}

void frm_main::OnCommand(int id, int notification) {
  if (notification != BN_CLICKED) return;  // also 0 for the menu item
  switch (id) {
    case kInfoMenuId: about_Click(); break;
    case kDeletedIdsMenuId: deleted_ids_Click(); break;
    case btn_refresh: btn_refresh_Click(); break;
    case btn_print: btn_print_Click(); break;
    case btn_mng_ids: btn_mng_ids_Click(); break;
    case btn_saveid: btn_saveid_Click(); break;
    case btn_clearid: btn_clearid_Click(); break;
    case btn_launchfl: btn_launchfl_Click(); break;
    default: break;
  }
}

}  // namespace ui
