#pragma once
// The program's state and its operations. One object holds what the program calls its globals;
// the windows' handlers hold little more than a call into it, passing what the player chose or typed.
// What the player is to see goes to a View. Tests build their own instance with a scratch registry
// key, a temp folder, scripted prompts and a recording view.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/archive.h"

namespace store {
struct FileText;
class StoreLock;
}

namespace app {

class Prompts;
class Printer;
class View;

inline constexpr wchar_t kGameKeyPath[] = L"Software\\Microsoft\\Microsoft Games\\Freelancer\\1.0";

struct InstalledId {
  std::wstring InstallKey;
  std::wstring MPAccountName;
  std::wstring MPAccountNameSig;

  // The registry value of each field, in this order, and the fields by that order.
  static constexpr const wchar_t* kValueNames[3] = {L"InstallKey", L"MPAccountName", L"MPAccountNameSig"};
  const std::wstring& Field(int i) const { return i == 0 ? InstallKey : i == 1 ? MPAccountName : MPAccountNameSig; }
  std::wstring& Field(int i) { return i == 0 ? InstallKey : i == 1 ? MPAccountName : MPAccountNameSig; }
  bool Empty() const { return InstallKey.empty() && MPAccountName.empty() && MPAccountNameSig.empty(); }
};

// Why the ID can never be kept in the store as it is, or "".
std::wstring Unstorable(const InstalledId& id);

// Row i of SavedIds: column 1 INSTALL, 2 MAN, 3 MANS, 4 DISC; column 0 is empty.
using SavedIdRow = std::array<std::wstring, 5>;

struct Places {
  std::wstring reg_key_path = kGameKeyPath;  // what StartUp puts into RegKeyPath
  std::wstring exe_folder;                   // where FLIDs.ini lives; empty: the running exe's folder
  std::wstring desktop_folder = {};          // where shortcuts go; empty: the player's desktop
  unsigned long lock_wait_ms = 5000;         // how long an operation waits for another copy's turn
};

class Main {
 public:
  Main(Prompts& prompts, Printer& printer, View& view, Places places = {});
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

  // Start-up and end. RunCommand does what a command line asks, with no window, and returns true; with
  // no arguments it returns false and does nothing, for the windows to start.
  bool RunCommand(std::wstring_view command_line);
  void StartUp();
  void LoadStore();
  void LocateGame();
  void EndProgram();  // closes every window at once; nothing is asked or saved
  bool Ended() const { return ended_; }

  // The installed ID. ReadInstalledId returns what could not be read (a missing key or value reads
  // as empty, which is no failure), or "".
  std::wstring ReadInstalledId();
  void ShowInstalledId();
  void InstallSavedId(std::int16_t row);
  void ClearInstalledId();

  // Saved IDs.
  void FillIdList();
  void SaveInstalledId();
  void DeleteSavedId(std::int16_t m);

  // What the manage window's buttons and list do with the list index the player picked (-1: none).
  void InstallSelectedId(int index);
  void DeleteSelectedId(int index);
  void ShowDescription(int index);                            // into the label and the box
  void StoreDescription(int index, const std::wstring& typed);  // the box's text as that ID's DISC

  // Launching and printing.
  void LaunchGame(const std::wstring& servers);  // servers: the list as typed
  void PrintInstalledId();

  // The archive of every saved ID held: IDs gone from the store, listed newest first in the deleted-IDs
  // window; one of them (by its index in that list) saved again, or forgotten for good after a question.
  void ListDeletedIds();
  void RestoreDeletedId(int index);
  void ForgetDeletedId(int index);

  // Playing a saved ID in one step, as a desktop shortcut asks: installs the first saved ID in the store
  // as it is now whose InstallKey is `key` and whose three values give `digest` (core/id_digest.h), as
  // "Change FL ID" does, then starts the game with the remembered servers, as "Launch FL" does; nothing
  // is asked. An older shortcut's empty digest names the one saved ID with that key, never one of
  // several. When anything stands in the way (the game already running among it), one box says so and
  // neither the installed ID nor the store changes, and the game does not start.
  void PlaySavedId(const std::wstring& key, const std::wstring& digest = {});
  // The manage window's "Create desktop shortcut": a shortcut that plays the picked saved ID.
  void MakePlayShortcut(int index);

 private:
  struct ReplaceTexts {
    const wchar_t* question;
    const wchar_t* question_title;
    const wchar_t* not_done;
    std::wstring done;
    const wchar_t* kept_as;  // the description of an installed ID saved before it is replaced
    // With the windows: an ID the store cannot keep is replaced after a Yes, and the list shows a saved
    // one at once. Without (a shortcut's run): nothing is asked, such an ID is refused, no list is filled.
    bool windows = true;
  };
  void ChangeInstalledId(const SavedIdRow& saved);  // "Change FL ID" to these values
  void ReplaceInstalledId(const InstalledId& id, const ReplaceTexts& texts);
  bool KeepInstalledId(const ReplaceTexts& texts, std::wstring& paragraph);
  // Writes the three values in order; when one fails, puts back those written before it. `failure` is
  // the box's text of what failed, "" when all were written; `whole` is false when even putting back
  // failed and the text says the installed ID may be mixed.
  struct Written {
    std::wstring failure;
    bool whole = true;
  };
  Written WriteInstalledId(const InstalledId& id);
  // The registry error box's text after a failed write: not_done (with what the keep step saved, `kept`,
  // when it saved something), or the mixed ID's text.
  static std::wstring NotWritten(const Written& written, std::wstring_view not_done, const std::wstring& kept);
  int AddToStore(const InstalledId& id, const std::wstring& description, const store::FileText& file,
                 std::wstring& refusal, std::wstring_view not_saved = {});
  // Reads a file beside the store in a turn of its own: Windows refuses to replace a file another
  // handle holds open, so a copy's mere read would fail another copy's write. A turn kept too long by
  // another copy does not stop the read; it is made anyway.
  store::FileText ReadInTurn(const std::wstring& path) const;
  // What a stop box says when the lock was not had: another copy kept it too long, or the system's reason.
  std::wstring BusyText(const store::StoreLock& lock, std::wstring_view not_done) const;
  std::wstring ArchivePath() const;
  // At load: the archive takes in the saved IDs it lacks; quietly, and only then written.
  void ArchiveListedIds(const core::LoadedStore& loaded);
  // The archive's copy of this saved ID described as the store now describes it; quietly, as the store has it.
  void ArchiveDescription(const core::StoreRow& row);
  // The archive with this ID (appended when missing) marked as having left the store now; "" or why not.
  std::wstring ArchiveDeparture(const core::StoreRow& row);
  bool Selected(int index);  // false, after saying so, when nothing is picked
  // What the shortcut at path plays, as a sentence, when this saved ID's (row's) shortcut would replace it.
  std::wstring ShortcutThere(const std::wstring& path, const core::LoadedStore& loaded, std::size_t row) const;
  // Whether section FLID_(index + 1) of the store's text holds the three values the list shows for
  // entry index: another program may have changed the file since the list was filled.
  bool StillListed(int index, std::string_view store_text) const;
  // The list filled again from the store as it is now, with nothing picked; false when the store had
  // vanished and the first-run question that followed was cancelled, ending the program.
  bool ListAgain();

  std::vector<SavedIdRow> listed_;  // what the manage window's list shows, entry k in listed_[k]
  std::vector<core::ArchivedId> deleted_listed_;  // what the deleted-IDs window shows, row k in [k]

  Prompts& prompts_;
  Printer& printer_;
  View& view_;
  Places places_;
  std::wstring exe_;  // the running exe, which shortcuts start
  bool ended_ = false;
};

}  // namespace app
