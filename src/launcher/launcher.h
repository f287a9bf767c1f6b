#pragma once
// Starting the game's executable, and the desktop shortcuts that start Quorvel to play a saved ID.
#include <string>

#include "base/error.h"
#include "base/handle.h"

namespace launcher {

// The command line the game gets: its path in quotes, then the argument text as it is. The argument
// text brings its own leading blank (" -s..."), so nothing is put between them.
std::wstring GameCommandLine(const std::wstring& game_path, const std::wstring& argument_text);

// The game's process, made but held before its first instruction: whatever is to be ready when the
// game starts (its registry values) is done between Prepare and Run, and only once the system has
// accepted the file as a program. A game never run is ended with the object, having done nothing; and
// while it is held it belongs to a job that ends it when Quorvel's handle to the job closes, so a
// Quorvel ended from outside (Task Manager, a crash) never leaves a held game behind.
class PreparedGame {
 public:
  PreparedGame() = default;
  PreparedGame(const PreparedGame&) = delete;
  PreparedGame& operator=(const PreparedGame&) = delete;
  ~PreparedGame();

  // Makes game_path's process with GameCommandLine, minimised and active (SW_SHOWMINIMIZED), in our
  // own current directory. The path is also passed as the application name, so Windows never guesses
  // which prefix of a path with blanks is the program.
  base::Status Prepare(const std::wstring& game_path, const std::wstring& argument_text);
  // Lets it go, out of the job's reach; it is not waited for and its handles are closed. A game that
  // cannot be let go is ended, and the status says why.
  base::Status Run();

 private:
  base::UniqueHandle process_;
  base::UniqueHandle thread_;
  base::UniqueHandle job_;  // none where the system allows no job here (a Windows 7 Quorvel already in one)
};

// Whether the game at game_path runs now: a process whose program is that file (its path compared in
// full, long names, any letter case), or one of the same exe name that Quorvel may not ask for its path.
base::Status GameRunning(const std::wstring& game_path, bool& running);

// Prepares the game and runs it at once.
base::Status StartGame(const std::wstring& game_path, const std::wstring& argument_text);

// A shell link (.lnk) with what it starts, its arguments, its working folder and its icon (index 0
// of a program's icons).
struct Shortcut {
  std::wstring target, arguments, working_folder, icon, description;
};

// The player's desktop folder (FOLDERID_Desktop).
base::Status DesktopFolder(std::wstring& folder);

// Writes the shortcut to a temp file beside path and moves it over path in one step, so a shortcut
// that was there stays whole when the new one cannot be written.
base::Status SaveShortcut(const Shortcut& shortcut, const std::wstring& path);

// What the shortcut at path starts, and with which arguments (the other fields are left empty).
base::Status ReadShortcut(const std::wstring& path, Shortcut& shortcut);

}  // namespace launcher
