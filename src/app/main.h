#pragma once
// The program's state and its operations. One object holds what the program calls its globals;
// the windows' handlers hold little more than a call into it. Tests build their own instance with a
// scratch registry key, a temp folder and scripted prompts.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {
class frm_main;
class frm_mng_ids;
class frm_save_id;
class frm_about;
}  // namespace ui

namespace app {

class Prompts;
class Printer;

inline constexpr wchar_t kGameKeyPath[] = L"Software\\Microsoft\\Microsoft Games\\Freelancer\\1.0";

struct InstalledId {
  std::wstring InstallKey;
  std::wstring MPAccountName;
  std::wstring MPAccountNameSig;
};

// Row i of SavedIds: column 1 INSTALL, 2 MAN, 3 MANS, 4 DISC; column 0 is empty.
using SavedIdRow = std::array<std::wstring, 5>;

struct Places {
  std::wstring reg_key_path = kGameKeyPath;  // what StartUp puts into RegKeyPath
  std::wstring exe_folder;                   // where FLIDs.ini lives; empty: the running exe's folder
};

class Main {
 public:
  Main(Prompts& prompts, Printer& printer, Places places = {});
  ~Main();
  Main(const Main&) = delete;
  Main& operator=(const Main&) = delete;

  // The program's globals.
  std::wstring RegKeyPath;
  std::wstring IniPath;
  std::wstring GamePath;
  std::wstring ServerIps;
  std::wstring FirstLoadAnswer;
  InstalledId CurrentId;
  std::int16_t IdCount = 0;
  std::vector<SavedIdRow> SavedIds;

  // The four windows, one instance each. Touching one creates it, hidden, when it does not exist.
  ui::frm_main& MainWindow();
  ui::frm_mng_ids& MngIdsWindow();
  ui::frm_save_id& SaveIdWindow();
  ui::frm_about& AboutWindow();
  bool MngIdsExists() const;
  bool SaveIdExists() const;
  bool AboutExists() const;

  // Start-up and end.
  void StartUp();
  void LoadStore();
  void LocateGame();
  void EndProgram();  // closes every window at once; nothing is asked or saved
  bool Ended() const { return ended_; }
  std::function<void()> on_end;  // the real program posts WM_QUIT here

  // The installed ID.
  void ReadInstalledId();
  void ShowInstalledId();
  void InstallSavedId(std::int16_t row);
  void ClearInstalledId();

  // Saved IDs.
  void FillIdList();
  void SaveInstalledId();
  void DeleteSavedId(std::int16_t m);
  void ShowDescription();   // the picked list item's description into lbl_disc and txt_disc
  void StoreDescription();  // txt_disc as the selected ID's DISC

  // Launching and printing.
  void LaunchGame();
  void PrintInstalledId();

  Prompts& prompts() { return prompts_; }

 private:
  struct ReplaceTexts {
    const wchar_t* question;
    const wchar_t* question_title;
    const wchar_t* not_done;
    const wchar_t* done;
  };
  void ReplaceInstalledId(const InstalledId& id, const ReplaceTexts& texts);

  Prompts& prompts_;
  Printer& printer_;
  Places places_;
  bool ended_ = false;
  std::unique_ptr<ui::frm_main> main_window_;
  std::unique_ptr<ui::frm_mng_ids> mng_ids_;
  std::unique_ptr<ui::frm_save_id> save_id_;
  std::unique_ptr<ui::frm_about> about_;
};

}  // namespace app
