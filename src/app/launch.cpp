// "Launch FL": start the game with the servers typed in the main window.
#include "app/main.h"
#include "app/messages.h"
#include "app/prompts.h"
#include "core/server_args.h"
#include "launcher/launcher.h"
#include "store/files.h"
#include "store/ini.h"

namespace app {
namespace {

// Some system texts for a failed start name the file as "%1" ("%1 is not a valid Win32
// application."); the path already stands above the reason, so the insert becomes "the file".
std::wstring StartFailureReason(const base::Status& status) {
  std::wstring reason = status.Text();
  for (size_t at = reason.find(L"%1"); at != std::wstring::npos; at = reason.find(L"%1", at))
    reason.replace(at, 2, at == 0 ? L"The file" : L"the file");
  return reason;
}

}  // namespace

void Main::LaunchGame(const std::wstring& servers) {
  if (!store::FileExists(GamePath)) {
    prompts_.Message(L"Path: " + GamePath + L"\r\nto Freelancer.exe does not exist!", L"Oops!", Prompts::Buttons::Ok,
                     Prompts::Icon::Stop);
    return;
  }

  const std::wstring arguments = core::BuildServerArgs(servers);
  // The list is kept as typed for the next start. A store that cannot be written must not keep the
  // player from the game, so the result is deliberately not acted on.
  (void)ini::WriteIni(L"QRVL_Settings", L"FLIPS", servers, IniPath);

  const base::Status started = launcher::StartGame(GamePath, arguments);
  if (!started) {
    prompts_.Message(CouldNot(L"start the game", GamePath, StartFailureReason(started)), L"Quorvel - Launch Error",
                     Prompts::Buttons::Ok, Prompts::Icon::Stop);
  }
}

}  // namespace app
