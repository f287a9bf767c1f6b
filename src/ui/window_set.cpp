#include "ui/window_set.h"

#include "ui/frm_about.h"
#include "ui/frm_deleted_ids.h"
#include "ui/frm_main.h"
#include "ui/frm_mng_ids.h"
#include "ui/frm_save_id.h"

namespace ui {

Windows::Windows() = default;

// Each window is destroyed while its object is whole, since the messages of its destruction still
// reach its handlers (Wine sends an edit field's EN_KILLFOCUS), and before the objects they call into.
Windows::~Windows() { DestroyAll(); }

void Windows::DestroyAll() {
  for (Window* window : {static_cast<Window*>(deleted_ids_.get()), static_cast<Window*>(about_.get()),
                         static_cast<Window*>(save_id_.IfMade()), static_cast<Window*>(mng_ids_.IfMade()),
                         static_cast<Window*>(main_.get())})
    if (window != nullptr) window->Destroy();
}

void Windows::Attach(app::Main& program) {
  main_ = std::make_unique<frm_main>(program, *this);
  mng_ids_.Attach(program);
  save_id_.Attach(program);
  about_ = std::make_unique<frm_about>();
  deleted_ids_ = std::make_unique<frm_deleted_ids>(program);
}

frm_main& Windows::MainWindow() {
  main_->Ensure();
  return *main_;
}
frm_mng_ids& Windows::MngIdsWindow() { return mng_ids_.Made(); }
frm_save_id& Windows::SaveIdWindow() { return save_id_.Made(); }
frm_about& Windows::AboutWindow() {
  about_->Ensure();
  return *about_;
}
frm_deleted_ids& Windows::DeletedIdsWindow() {
  deleted_ids_->Ensure();
  return *deleted_ids_;
}

// Each of these sets what it shows in a window that exists, and keeps it for a window not made yet.

void Windows::ShowInstalledKey(const std::wstring& key) {
  MainWindow().SetText(frm_main::lbl_currentid, key);
  if (frm_mng_ids* manage = mng_ids_.IfMade()) manage->SetText(frm_mng_ids::lbl_current_id, key);
  else mng_ids_.Kept().installed_key = key;
  if (frm_save_id* save = save_id_.IfMade()) save->SetText(frm_save_id::lbl_current_id, key);
  else save_id_.Kept().installed_key = key;
}

void Windows::ShowServers(const std::wstring& servers) { MainWindow().SetText(frm_main::txt_serverips, servers); }

void Windows::ShowIdList(const std::vector<std::wstring>& entries) {
  if (frm_mng_ids* manage = mng_ids_.IfMade()) manage->SetList(entries);
  else mng_ids_.Kept().list = entries;
}

void Windows::ShowListPrompt(const std::wstring& text) {
  if (frm_mng_ids* manage = mng_ids_.IfMade()) manage->SetComboText(text);
  else mng_ids_.Kept().list_prompt = text;
}

void Windows::ShowDescriptionLabel(const std::wstring& text) {
  if (frm_mng_ids* manage = mng_ids_.IfMade()) manage->SetText(frm_mng_ids::lbl_disc, text);
  else mng_ids_.Kept().description_label = text;
}

void Windows::ShowDescriptionBox(const std::wstring& text) {
  if (frm_mng_ids* manage = mng_ids_.IfMade()) manage->SetText(frm_mng_ids::txt_disc, text);
  else mng_ids_.Kept().description_box = text;
}

void Windows::ShowDescriptionEditor(bool shown) {
  if (frm_mng_ids* manage = mng_ids_.IfMade())
    manage->SetOuterHeight(shown ? frm_mng_ids::kExpandedHeight : frm_mng_ids::kCompactHeight);
  else
    mng_ids_.Kept().expanded = shown;
}

void Windows::ShowDeletedIds(const std::vector<app::DeletedIdRow>& rows) {
  DeletedIdsWindow().SetList(rows);
  deleted_ids_->Show();
}

void Windows::CloseAll() {
  DestroyAll();
  if (on_close_all) on_close_all();
}

}  // namespace ui
