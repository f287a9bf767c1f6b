#pragma once
// The information window: fixed texts about what the program does and does not do.
#include "ui/window.h"

namespace ui {

class frm_about : public Window {
 public:
  enum Id { frame_about = 4001, Label1, Label2, Frame1, Label3, Label4, Label5, Label8, Label6, Label7, Label9 };
  static const WindowDesign kDesign;

  frm_about();

 protected:
  void OnCommand(int, int) override {}
};

}  // namespace ui
