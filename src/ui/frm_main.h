#pragma once
// The main window: the installed ID, the operations on it, the other windows and the game launcher.
#include "ui/window.h"

namespace app {
class Main;
}

namespace ui {

class Windows;

class frm_main : public Window {
 public:
  enum Id {
    fram_currentid = 1001,
    lbl_currentid,
    btn_refresh,
    btn_print,
    fram_options,
    btn_mng_ids,
    btn_saveid,
    btn_clearid,
    frame_launchfl,
    txt_serverips,
    btn_launchfl,
    Label1,
    Label2,
  };
  static const WindowDesign kDesign;

  frm_main(app::Main& program, Windows& windows);

  void about_Click();
  void deleted_ids_Click();
  void btn_refresh_Click();
  void btn_print_Click();
  void btn_mng_ids_Click();
  void btn_saveid_Click();
  void btn_clearid_Click();
  void btn_launchfl_Click();

 protected:
  void Form_Load() override;
  void OnClose() override;  // Form_Unload: the program ends
  void OnCommand(int id, int notification) override;

 private:
  app::Main& program_;
  Windows& windows_;
};

}  // namespace ui
