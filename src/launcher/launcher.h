#pragma once
// Starting the game's executable.
#include <string>

#include "base/error.h"

namespace launcher {

// The command line the game gets: its path in quotes, then the argument text as it is. The argument
// text brings its own leading blank (" -s..."), so nothing is put between them.
std::wstring GameCommandLine(const std::wstring& game_path, const std::wstring& argument_text);

// Starts game_path with GameCommandLine, minimised and active (SW_SHOWMINIMIZED), in our own current
// directory, and returns at once: the process is not waited for and its handles are closed.
// The path is also passed as the application name, so Windows never guesses which prefix of a path
// with blanks is the program.
base::Status StartGame(const std::wstring& game_path, const std::wstring& argument_text);

}  // namespace launcher
