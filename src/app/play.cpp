// Playing a saved ID in one step: the command line a desktop shortcut gives Quorvel, and making that
// shortcut from the manage window. The shortcut names the saved ID by its InstallKey, not its number,
// so it still finds the same ID after others are deleted and the rest renumbered.
#include <windows.h>

#include "app/main.h"
#include "app/messages.h"
#include "app/prompts.h"
#include "base/text.h"
#include "core/command_line.h"
#include "core/server_args.h"
#include "core/store_format.h"
#include "launcher/launcher.h"
#include "store/files.h"

namespace app {
namespace {

using Buttons = Prompts::Buttons;
using Icon = Prompts::Icon;

constexpr wchar_t kPlayError[] = L"Quorvel - Play Error";
constexpr wchar_t kNotPlayed[] = L"The FL ID was not changed and the game was not started.";
constexpr wchar_t kShortcutError[] = L"Quorvel - Shortcut Error";
constexpr wchar_t kNoShortcut[] = L"No shortcut was made.";

}  // namespace

bool Main::RunCommand(std::wstring_view command_line) {
  const core::Command command = core::ParseCommand(command_line);
  if (command.kind == core::Command::kNone) return false;
  if (command.kind == core::Command::kPlay) {
    PlaySavedId(command.key);
    return true;
  }
  prompts_.Message(L"Quorvel does not understand its command line:\r\n" + std::wstring(command_line) +
                       L"\r\n\r\nStarted without arguments, Quorvel shows its main window. Its desktop shortcuts start "
                       L"it as\r\nquorvel.exe /play \"<InstallKey>\"\r\nwhich installs the saved ID with that InstallKey "
                       L"and starts Freelancer. Nothing was changed.",
                   L"Quorvel - Command Line", Buttons::Ok, Icon::Exclamation);
  return true;
}

void Main::PlaySavedId(const std::wstring& key) {
  RegKeyPath = places_.reg_key_path;
  IniPath = places_.exe_folder + L"\\FLIDs.ini";
  const store::FileText file = ReadInTurn(IniPath);
  if (!file.status || !file.exists) {
    prompts_.Message(!file.status ? CouldNot(L"read its store file", IniPath, file.status.Text(), kNotPlayed)
                                  : L"Quorvel's store file\r\n" + IniPath + L"\r\nis not there, so it holds no saved ID to "
                                    L"play. " + kNotPlayed + L"\r\n\r\nStart Quorvel from its exe to set up a store.",
                     kPlayError, Buttons::Ok, Icon::Stop);
    return;
  }
  const core::LoadedStore loaded = core::LoadStoreText(file.bytes);
  const core::StoreRow* saved = nullptr;
  for (std::size_t row = 1; row < loaded.rows.size() && saved == nullptr; ++row)
    if (base::FromAnsi(loaded.rows[row][1]) == key) saved = &loaded.rows[row];
  if (saved == nullptr) {
    prompts_.Message(L"Quorvel's store file\r\n" + IniPath + L"\r\nholds no saved ID with the InstallKey\r\n" + key +
                         L"\r\n\r\nThe shortcut may be older than the store: the ID was deleted since, or the store "
                         L"replaced. " + kNotPlayed + L" Make a new shortcut in Quorvel's manage window.",
                     kPlayError, Buttons::Ok, Icon::Stop);
    return;
  }
  GamePath = base::FromAnsi(loaded.game_path);
  ServerIps = base::FromAnsi(loaded.server_ips);
  if (!store::FileExists(GamePath)) {
    prompts_.Message(NoGameAt(GamePath), L"Oops!", Buttons::Ok, Icon::Stop);
    return;
  }
  // The game's process is made before anything changes and runs only once the ID is installed: a file
  // the system will not start leaves the store and the registry as they were.
  launcher::PreparedGame game;
  if (const base::Status prepared = game.Prepare(GamePath, core::BuildServerArgs(ServerIps)); !prepared) {
    prompts_.Message(CouldNot(L"start the game", GamePath, StartFailureReason(prepared.Text()), kNotPlayed),
                     L"Quorvel - Launch Error", Buttons::Ok, Icon::Stop);
    return;
  }
  const ReplaceTexts texts{nullptr, nullptr, kNotPlayed, {}, L"Saved before a change on ", false};
  std::wstring kept;
  if (!KeepInstalledId(texts, kept)) return;
  if (const std::wstring failure = WriteInstalledId(InstalledId{base::FromAnsi((*saved)[1]), base::FromAnsi((*saved)[2]),
                                                                base::FromAnsi((*saved)[3])});
      !failure.empty()) {
    prompts_.Message(kNotPlayed + (L"\r\n\r\n" + failure), L"Quorvel - Registry Error", Buttons::Ok, Icon::Stop);
    return;
  }
  game.Run();
}

void Main::MakePlayShortcut(int index) {
  if (!Selected(index)) return;
  const store::FileText file = store::ReadWholeFile(IniPath);
  if (!file.status || !file.exists) {
    prompts_.Message(!file.status ? CouldNot(L"read its store file", IniPath, file.status.Text(), kNoShortcut)
                                  : L"Quorvel's store file\r\n" + IniPath + L"\r\nis no longer there. " + kNoShortcut,
                     kShortcutError, Buttons::Ok, Icon::Stop);
    return;
  }
  if (!StillListed(index, file.bytes)) {
    if (ListAgain()) prompts_.Message(ListChanged(IniPath, kNoShortcut), kShortcutError, Buttons::Ok, Icon::Stop);
    return;
  }
  // The picked ID as the file holds it now, and the game's path: the shortcut works in the game's folder,
  // as the game's own shortcut does, and shows the game's icon.
  const core::LoadedStore loaded = core::LoadStoreText(file.bytes);
  const core::StoreRow& saved = loaded.rows[static_cast<std::size_t>(index) + 1];
  const std::wstring game = base::FromAnsi(loaded.game_path);
  if (!store::FileExists(game)) {
    prompts_.Message(NoGameAt(game), L"Oops!", Buttons::Ok, Icon::Stop);
    return;
  }
  std::wstring desktop = places_.desktop_folder;
  if (const base::Status found = desktop.empty() ? launcher::DesktopFolder(desktop) : base::Status::Ok(); !found) {
    prompts_.Message(L"Quorvel could not find your desktop folder.\r\n\r\n" + found.Text() + L"\r\n\r\n" + kNoShortcut,
                     kShortcutError, Buttons::Ok, Icon::Stop);
    return;
  }
  const std::wstring name = core::ShortcutName(base::FromAnsi(saved[4]), index + 1);
  const std::wstring path = desktop + L"\\" + name + L".lnk";
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
      prompts_.Message(L"A shortcut named\r\n" + name + L"\r\nis already on your desktop. Replace it?", L"Quorvel - Shortcut",
                       Buttons::YesNoDefaultNo, Icon::Exclamation) != Prompts::Answer::Yes)
    return;
  const std::wstring key = base::FromAnsi(saved[1]);
  const size_t slash = game.find_last_of(L'\\');
  const launcher::Shortcut shortcut{exe_, core::PlayArguments(key), slash == std::wstring::npos ? L"" : game.substr(0, slash), game,
                                    L"Installs the saved FL ID " + key + L" and starts Freelancer"};
  if (const base::Status saved_as = launcher::SaveShortcut(shortcut, path); !saved_as) {
    prompts_.Message(CouldNot(L"make the shortcut", path, saved_as.Text(), kNoShortcut), kShortcutError, Buttons::Ok,
                     Icon::Stop);
    return;
  }
  prompts_.Message(L"The shortcut\r\n" + name + L"\r\nis on your desktop. Double-click it to install this saved ID and start "
                       L"Freelancer with the servers Quorvel remembers.",
                   L"Done!", Buttons::Ok, Icon::Information);
}

}  // namespace app
