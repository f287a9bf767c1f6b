#include "launcher/launcher.h"

#include <windows.h>

#include "base/handle.h"

namespace launcher {

std::wstring GameCommandLine(const std::wstring& gamePath, const std::wstring& argumentText) {
  return L"\"" + gamePath + L"\"" + argumentText;
}

base::Status StartGame(const std::wstring& gamePath, const std::wstring& argumentText) {
  // CreateProcessW may write into the command line, so it gets a buffer of its own.
  std::wstring commandLine = GameCommandLine(gamePath, argumentText);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;

  PROCESS_INFORMATION started{};
  if (!CreateProcessW(gamePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started))
    return base::Status::LastError();

  base::UniqueHandle process(started.hProcess);
  base::UniqueHandle thread(started.hThread);
  return base::Status::Ok();
}

}  // namespace launcher
