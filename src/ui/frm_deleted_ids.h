#pragma once
// The deleted-IDs window: the saved IDs Quorvel's archive holds that the store does not, newest first,
// each with when it left the store, its InstallKey and its description's first line; one picked is
// restored as a new saved ID, or deleted for good.
#include <vector>

#include "app/view.h"
#include "ui/window.h"

namespace app {
class Main;
}

namespace ui {

class frm_deleted_ids : public Window {
 public:
  enum Id {
    frame_deleted = 5001,
    lbl_deleted,
    lst_deleted,
    frame_option,
    btn_restore,
    btn_forget,
  };
  static const WindowDesign kDesign;

  explicit frm_deleted_ids(app::Main& program);

  void SetList(const std::vector<app::DeletedIdRow>& rows);  // nothing picked afterwards
  int SelectedIndex() const;                                 // -1 when nothing is picked
  void Select(int index);

  void btn_restore_Click();
  void btn_forget_Click();

 protected:
  void Form_Load() override;
  void OnCommand(int id, int notification) override;

 private:
  app::Main& program_;
};

}  // namespace ui
