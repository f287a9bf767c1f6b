#include "launcher/launcher.h"

#include <windows.h>

namespace launcher {

std::wstring GameCommandLine(const std::wstring& game_path, const std::wstring& argument_text) {
  return L"\"" + game_path + L"\"" + argument_text;
}

PreparedGame::~PreparedGame() {
  if (process_) TerminateProcess(process_.get(), ERROR_CANCELLED);
}

base::Status PreparedGame::Prepare(const std::wstring& game_path, const std::wstring& argument_text) {
  // CreateProcessW may write into the command line, so it gets a buffer of its own.
  std::wstring command_line = GameCommandLine(game_path, argument_text);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;

  PROCESS_INFORMATION started{};
  if (!CreateProcessW(game_path.c_str(), command_line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      nullptr, &startup, &started))
    return base::Status::LastError();
  process_.reset(started.hProcess);
  thread_.reset(started.hThread);
  return base::Status::Ok();
}

void PreparedGame::Run() {
  ResumeThread(thread_.get());
  thread_.reset();
  process_.reset();
}

base::Status StartGame(const std::wstring& game_path, const std::wstring& argument_text) {
  PreparedGame game;
  const base::Status prepared = game.Prepare(game_path, argument_text);
  if (prepared) game.Run();
  return prepared;
}

}  // namespace launcher
