#include "launcher/launcher.h"

#include <windows.h>

#include "base/handle.h"

namespace launcher {

std::wstring GameCommandLine(const std::wstring& game_path, const std::wstring& argument_text) {
  return L"\"" + game_path + L"\"" + argument_text;
}

base::Status StartGame(const std::wstring& game_path, const std::wstring& argument_text) {
  // CreateProcessW may write into the command line, so it gets a buffer of its own.
  std::wstring command_line = GameCommandLine(game_path, argument_text);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;

  PROCESS_INFORMATION started{};
  if (!CreateProcessW(game_path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started))
    return base::Status::LastError();

  base::UniqueHandle process(started.hProcess);
  base::UniqueHandle thread(started.hThread);
  return base::Status::Ok();
}

}  // namespace launcher
