#pragma once
// The manage-IDs window: the installed ID, the list of saved IDs, the selected one's description,
// and install, delete and describe on the selection. The description editor at the bottom shows only
// when the window is expanded.
#include <optional>
#include <string>
#include <vector>

#include "ui/window.h"

namespace app {
class Main;
}

namespace ui {

class frm_mng_ids : public Window {
 public:
  enum Id {
    frame_changer = 2001,
    cmbo_flids,
    lbl_currentid,
    lbl_current_id,
    frame_disc,
    lbl_disc,
    frame_option,
    btn_changeit,
    btn_deleteit,
    btn_disc,
    frame_discedit,
    txt_disc,
    lbl_discinfo,
    btn_edidisc,
    btn_cancel,
  };
  static const WindowDesign kDesign;
  // The item "Create desktop shortcut..." that the window adds to its system menu.
  static constexpr int mnu_shortcut = 0x0010;
  // The item "Deleted IDs..." beside it, which opens the deleted-IDs window.
  static constexpr int mnu_deleted = 0x0020;

  // Outer heights as designed, title bar and borders of 480 twips included. The client area keeps
  // the designed height under other frame sizes, so the window never cuts into its own controls.
  static constexpr int kDesignedFrameTwips = 480;
  static constexpr int kCompactHeight = 4410;
  static constexpr int kExpandedHeight = 6375;

  // What the program sets in the window, kept while the window does not exist (ui/made_on_open.h).
  struct Shown {
    std::wstring installed_key;
    std::vector<std::wstring> list;
    std::optional<std::wstring> list_prompt;  // none: the combo's designed text
    std::wstring description_label;
    std::wstring description_box;
    bool expanded = false;  // a new window is compact
    void ApplyTo(frm_mng_ids& window) const;
  };

  explicit frm_mng_ids(app::Main& program);

  void SetOuterHeight(int designed_twips);  // kCompactHeight or kExpandedHeight
  bool Expanded() const { return expanded_; }

  // The saved-ID list: item k is saved ID k + 1.
  void SetList(const std::vector<std::wstring>& items);  // the edit field's text stays
  int SelectedIndex() const;  // -1 when nothing is selected
  void Select(int index);     // as if the user picked the item
  void SetComboText(const std::wstring& text);  // the edit field, leaving no item selected

  void btn_changeit_Click();
  void btn_deleteit_Click();
  void btn_disc_Click();
  void btn_cancel_Click();
  void cmbo_flids_Click();
  void btn_edidisc_Click();
  void mnu_shortcut_Click();
  void mnu_deleted_Click();

 protected:
  void Form_Load() override;
  void OnCommand(int id, int notification) override;
  bool OnSystemMenu(int id) override;

 private:
  void ForgetSelectionKeepingText();
  app::Main& program_;
  bool expanded_ = false;
};

}  // namespace ui
