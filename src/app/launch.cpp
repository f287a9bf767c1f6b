// "Launch FL": start the game with the servers typed in the main window.
#include <windows.h>

#include "app/main.h"
#include "app/messages.h"
#include "app/prompts.h"
#include "core/server_args.h"
#include "core/store_format.h"
#include "launcher/launcher.h"
#include "store/files.h"
#include "store/ini.h"
#include "store/store_lock.h"

namespace app {

void Main::LaunchGame(const std::wstring& servers) {
  if (!store::FileExists(GamePath)) {
    prompts_.Message(NoGameAt(GamePath), L"Oops!", Prompts::Buttons::Ok, Prompts::Icon::Stop);
    return;
  }

  const std::wstring arguments = core::BuildServerArgs(servers);
  // The list is kept as typed for the next start, but only in a store that is there: a new file holding
  // nothing but the list would leave the next start with neither the game's path nor a first-run request.
  store::FileText file;
  base::Status kept;
  std::wstring busy;  // said instead of the reason when another copy held the store too long
  {
    const store::StoreLock lock(IniPath, places_.lock_wait_ms);
    if (lock.held()) file = store::ReadWholeFile(IniPath);
    kept = !lock.held()               ? base::Status::Fail(ERROR_BUSY)
           : file.status && file.exists ? ini::WriteIni(file, core::kSettingsSection, core::kServerIpsKey, servers, IniPath)
                                        : file.status;
    if (!lock.held()) busy = BusyText(lock, L"The game was started with the servers as typed, but the list was not remembered.");
  }

  // A store that cannot keep the list must not keep the player from the game: it is said afterwards.
  const base::Status started = launcher::StartGame(GamePath, arguments);
  if (!started) {
    prompts_.Message(CouldNot(L"start the game", GamePath, StartFailureReason(started.Text())), L"Quorvel - Launch Error",
                     Prompts::Buttons::Ok, Prompts::Icon::Stop);
    return;
  }
  const std::wstring after = L"The game was started with the servers as typed; the next start of Quorvel shows the list it last remembered.";
  if (!busy.empty()) {
    prompts_.Message(busy, L"Quorvel - Store Error", Prompts::Buttons::Ok, Prompts::Icon::Stop);
  } else if (!kept) {
    prompts_.Message(CouldNot(L"remember the server list in its store file", IniPath, kept.Text(), after),
                     L"Quorvel - Store Error", Prompts::Buttons::Ok, Prompts::Icon::Stop);
  } else if (!file.exists) {
    prompts_.Message(L"Quorvel could not remember the server list: its store file\r\n" + IniPath +
                         L"\r\nis no longer there. The game was started with the servers as typed; the next start of "
                         L"Quorvel asks for the game again, as at its first start.",
                     L"Quorvel - Store Error", Prompts::Buttons::Ok, Prompts::Icon::Stop);
  }
}

}  // namespace app
