#pragma once
// The program's windows, one instance each, and what the program shows in them: the real app::View.
// The main window is made at start-up. The manage and save windows are made the first time they are
// opened, showing what the program set in them meanwhile (ui/made_on_open.h), which spares start-up
// their making; the information and deleted-IDs windows are made when they are opened. A close box
// destroys its window.
#include <functional>
#include <memory>

#include "app/view.h"
#include "ui/frm_mng_ids.h"
#include "ui/frm_save_id.h"
#include "ui/made_on_open.h"

namespace app {
class Main;
}

namespace ui {

class frm_main;
class frm_about;
class frm_deleted_ids;

class Windows final : public app::View {
 public:
  Windows();
  ~Windows() override;
  Windows(const Windows&) = delete;
  Windows& operator=(const Windows&) = delete;

  // Makes the windows whose handlers call into the program; none is created on screen yet.
  void Attach(app::Main& program);
  std::function<void()> on_close_all;  // the real program posts WM_QUIT here

  // Each window, made hidden when it does not exist.
  frm_main& MainWindow();
  frm_mng_ids& MngIdsWindow();
  frm_save_id& SaveIdWindow();
  frm_about& AboutWindow();
  frm_deleted_ids& DeletedIdsWindow();

  void ShowInstalledKey(const std::wstring& key) override;
  void ShowServers(const std::wstring& servers) override;
  void ShowIdList(const std::vector<std::wstring>& entries) override;
  void ShowListPrompt(const std::wstring& text) override;
  void ShowDescriptionLabel(const std::wstring& text) override;
  void ShowDescriptionBox(const std::wstring& text) override;
  void ShowDescriptionEditor(bool shown) override;
  void ShowDeletedIds(const std::vector<app::DeletedIdRow>& rows) override;
  void CloseAll() override;

 private:
  void DestroyAll();
  std::unique_ptr<frm_main> main_;
  MadeOnOpen<frm_mng_ids> mng_ids_;
  MadeOnOpen<frm_save_id> save_id_;
  std::unique_ptr<frm_about> about_;
  std::unique_ptr<frm_deleted_ids> deleted_ids_;
};

}  // namespace ui
