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
// accepted the file as a program. A game never run is ended with the object, having done nothing.
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
  void Run();  // lets it go; it is not waited for and its handles are closed

 private:
  base::UniqueHandle process_;
  base::UniqueHandle thread_;
};

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

}  // namespace launcher
