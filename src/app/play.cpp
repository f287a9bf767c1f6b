// Playing a saved ID in one step: the command line a desktop shortcut gives Quorvel, and making that
// shortcut from the manage window. The shortcut names the saved ID by its InstallKey and the digest of
// its three values, not by its number, so it finds the same ID, and only that one, after others are
// deleted and the rest renumbered.
#include <windows.h>

#include "app/main.h"
#include "app/messages.h"
#include "app/prompts.h"
#include "base/text.h"
#include "core/command_line.h"
#include "core/id_digest.h"
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

std::wstring Digest(const core::StoreRow& row) { return core::IdDigest(row[1], row[2], row[3]); }

// The saved ID a shortcut plays in the store as it is now: the first with its key and digest, or, for a
// shortcut without a digest, the one ID with its key; row 0 when there is none. with_key counts the
// IDs that have the key.
struct Played {
  std::size_t row = 0;
  int with_key = 0;
};
Played FindPlayed(const core::LoadedStore& loaded, const std::wstring& key, const std::wstring& digest) {
  Played played;
  for (std::size_t row = 1; row < loaded.rows.size(); ++row) {
    if (base::FromAnsi(loaded.rows[row][1]) != key) continue;
    if (++played.with_key == 1 && digest.empty()) played.row = row;
    if (!digest.empty() && played.row == 0 && Digest(loaded.rows[row]) == digest) played.row = row;
  }
  if (digest.empty() && played.with_key > 1) played.row = 0;
  return played;
}

}  // namespace

bool Main::RunCommand(std::wstring_view command_line) {
  const core::Command command = core::ParseCommand(command_line);
  if (command.kind == core::Command::kNone) return false;
  if (command.kind == core::Command::kPlay) {
    PlaySavedId(command.key, command.digest);
    return true;
  }
  prompts_.Message(L"Quorvel does not understand its command line:\r\n" + std::wstring(command_line) +
                       L"\r\n\r\nStarted without arguments, Quorvel shows its main window. Its desktop shortcuts start "
                       L"it as\r\nquorvel.exe /play \"<InstallKey>\" <digest>\r\nwhich installs the saved ID with that InstallKey "
                       L"and digest and starts Freelancer. Nothing was changed.",
                   L"Quorvel - Command Line", Buttons::Ok, Icon::Exclamation);
  return true;
}

void Main::PlaySavedId(const std::wstring& key, const std::wstring& digest) {
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
  const Played played = FindPlayed(loaded, key, digest);
  const std::wstring make_new = L" Make a new shortcut in Quorvel's manage window.";
  if (played.row == 0) {
    prompts_.Message(played.with_key == 0
                         ? L"Quorvel's store file\r\n" + IniPath + L"\r\nholds no saved ID with the InstallKey\r\n" + key +
                               L"\r\n\r\nThe shortcut may be older than the store: the ID was deleted since, or the store "
                               L"replaced. " + kNotPlayed + make_new
                     : !digest.empty()
                         ? L"Quorvel's store file\r\n" + IniPath + L"\r\nholds no saved ID that is the one this shortcut was made "
                               L"for: the saved IDs with its InstallKey\r\n" + key + L"\r\nhave another MPAccountName or "
                               L"MPAccountNameSig.\r\n\r\nThe ID was deleted since the shortcut was made, or the store replaced. " +
                               kNotPlayed + make_new
                         : L"This shortcut names its saved ID by the InstallKey\r\n" + key + L"\r\nalone, and Quorvel's store "
                               L"file\r\n" + IniPath + L"\r\nholds " + std::to_wstring(played.with_key) + L" saved IDs with that "
                               L"key, so Quorvel cannot tell which one it is for. " + kNotPlayed + L"\r\n\r\nThe shortcut was made "
                               L"by an older Quorvel. A shortcut made now names its ID by all three of its values:" + make_new,
                     kPlayError, Buttons::Ok, Icon::Stop);
    return;
  }
  const core::StoreRow& saved = loaded.rows[played.row];
  GamePath = base::FromAnsi(loaded.game_path);
  ServerIps = base::FromAnsi(loaded.server_ips);
  if (GamePath.empty() || !store::FileExists(GamePath)) {
    prompts_.Message(GamePath.empty() ? L"Quorvel's store file\r\n" + IniPath + L"\r\nholds no FLPATH, the path of "
                                        L"Freelancer.exe. " + kNotPlayed + L"\r\n\r\nAdd a line FLPATH= and the game's path "
                                        L"(…\\EXE\\Freelancer.exe) to the file's [QRVL_Settings] section."
                                      : NoGameAt(GamePath) + L"\r\n\r\n" + kNotPlayed,
                     L"Oops!", Buttons::Ok, Icon::Stop);
    return;
  }
  // The game reads the installed ID when it starts: one already running would go on with the old one,
  // and a second copy is of no use. Where the system cannot say, the run goes on.
  bool running = false;
  if (launcher::GameRunning(GamePath, running) && running) {
    prompts_.Message(L"Freelancer is already running:\r\n" + GamePath + L"\r\n\r\n" + kNotPlayed +
                         L" The game takes its ID when it starts: close the game, then use the shortcut again.",
                     kPlayError, Buttons::Ok, Icon::Stop);
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
  const InstalledId id{base::FromAnsi(saved[1]), base::FromAnsi(saved[2]), base::FromAnsi(saved[3])};
  if (const Written written = WriteInstalledId(id); !written.failure.empty()) {
    prompts_.Message((written.whole ? L"" : L"The game was not started. ") + NotWritten(written, kNotPlayed, kept),
                     L"Quorvel - Registry Error", Buttons::Ok, Icon::Stop);
    return;
  }
  if (const base::Status ran = game.Run(); !ran)
    prompts_.Message(CouldNot(L"start the game", GamePath, StartFailureReason(ran.Text()),
                              L"The saved FL ID " + id.InstallKey + L" is installed, but the game was not started and was ended. "
                              L"Start the game yourself." + kept),
                     L"Quorvel - Launch Error", Buttons::Ok, Icon::Stop);
}

// What the shortcut already at path does, said in the question whether to replace it.
std::wstring Main::ShortcutThere(const std::wstring& path, const core::LoadedStore& loaded, std::size_t row) const {
  launcher::Shortcut there;
  const core::Command command = launcher::ReadShortcut(path, there) ? core::ParseCommand(there.arguments) : core::Command{};
  if (command.kind != core::Command::kPlay || lstrcmpiW(there.target.c_str(), exe_.c_str()) != 0)
    return L"Quorvel cannot tell which saved ID it plays: it is not a shortcut that this Quorvel made.";
  const Played played = FindPlayed(loaded, command.key, command.digest);
  if (played.row == row) return L"It plays this saved ID.";
  if (played.row == 0) return L"It plays no saved ID the store now holds.";
  return L"It plays another saved ID: number " + std::to_wstring(played.row) + L", with the InstallKey\r\n" +
         base::FromAnsi(loaded.rows[played.row][1]);
}

void Main::MakePlayShortcut(int index) {
  if (!Selected(index)) return;
  const store::FileText file = ReadInTurn(IniPath);
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
  const std::size_t row = static_cast<std::size_t>(index) + 1;
  const core::StoreRow& saved = loaded.rows[row];
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
  // Named among every saved ID's shortcut, so that no two IDs share a name.
  std::vector<core::ShortcutId> ids;
  for (std::size_t r = 1; r < loaded.rows.size(); ++r)
    ids.push_back({base::FromAnsi(loaded.rows[r][4]), base::FromAnsi(loaded.rows[r][1]), Digest(loaded.rows[r])});
  const std::wstring name = core::ShortcutNames(ids)[row - 1];
  const std::wstring path = desktop + L"\\" + name + L".lnk";
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
      prompts_.Message(L"A shortcut named\r\n" + name + L"\r\nis already on your desktop. " + ShortcutThere(path, loaded, row) +
                           L"\r\n\r\nReplace it?",
                       L"Quorvel - Shortcut", Buttons::YesNoDefaultNo, Icon::Exclamation) != Prompts::Answer::Yes)
    return;
  const std::wstring key = base::FromAnsi(saved[1]);
  const size_t slash = game.find_last_of(L'\\');
  const launcher::Shortcut shortcut{exe_, core::PlayArguments(key, Digest(saved)),
                                    slash == std::wstring::npos ? L"" : game.substr(0, slash), game,
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
