#pragma once
// The save-ID window: the installed ID and one button that adds it to the saved IDs.
#include <string>

#include "ui/window.h"

namespace app {
class Main;
}

namespace ui {

class frm_save_id : public Window {
 public:
  enum Id { frame_savid = 3001, lbl_current_id, lbl_currentid, btn_savid };
  static const WindowDesign kDesign;

  // What the program sets in the window, kept while the window does not exist (ui/made_on_open.h).
  struct Shown {
    std::wstring installed_key;
    void ApplyTo(frm_save_id& window) const;
  };

  explicit frm_save_id(app::Main& program);

  void btn_savid_Click();

 protected:
  void OnCommand(int id, int notification) override;

 private:
  app::Main& program_;
};

}  // namespace ui
