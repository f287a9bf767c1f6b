#pragma once
// One run of the real quorvel.exe in a folder of its own, and what it touches outside itself: its
// store FLIDs.ini beside it, the game's key in this prefix's HKEY_CURRENT_USER, and the stand-in game
// that records how it was started. Everything here reads and writes with the system's own calls,
// never with the program's code, so the program is judged by what it really left behind.
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

inline constexpr wchar_t kGameKey[] = L"Software\\Microsoft\\Microsoft Games\\Freelancer\\1.0";

struct Id {
  std::string install, man, mans;
};

// Empties the game's key and writes the three values as the game itself does: REG_SZ, each with its
// own terminator. Without an id the key is left missing.
void SetInstalledIdAsGame(const std::optional<Id>& id);

struct RegValue {
  bool exists = false;
  DWORD type = 0;
  std::string data;
};
RegValue ReadGameValue(const char* name);

// The data of a REG_SZ value as the game stores it, and as Quorvel does: the text followed by zero
// bytes up to 255.
std::string GameStyle(const std::string& text);
std::string Padded255(const std::string& text);

std::string Ansi(const std::wstring& text);

// What the stand-in game recorded about one start.
struct Launch {
  bool use_show_window = false;
  int show_window = -1;
  std::wstring current_directory;
  std::wstring command_line;
};

class Program {
 public:
  // A fresh folder under %TEMP% with a copy of quorvel.exe and no store.
  Program();
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Starts the copy, with its folder as the current directory, as a double-click in Explorer does.
  void Start();
  DWORD pid() const { return pid_; }
  // Waits for the process to end; false when it is still running after `timeout`.
  bool WaitForExit(std::chrono::milliseconds timeout) const;
  DWORD ExitCode() const;

  const std::wstring& folder() const { return folder_; }
  void WriteStore(const std::string& bytes) const;
  // The store's bytes, or nothing when the file does not exist.
  std::optional<std::string> Store() const;

  // Copies the stand-in game to <folder>\game\Freelancer.exe and returns that path.
  std::wstring InstallStandInGame();
  // The records the stand-in game has left, oldest first.
  std::vector<Launch> Launches() const;
  std::wstring GameFolder() const { return folder_ + L"\\game"; }

 private:
  std::wstring folder_;
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

}  // namespace e2e
