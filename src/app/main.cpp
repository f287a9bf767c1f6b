#include "app/main.h"

#include <windows.h>

#include "app/messages.h"
#include "app/prompts.h"
#include "app/view.h"
#include "base/text.h"
#include "core/store_format.h"
#include "registry/mRegistery.h"
#include "store/files.h"
#include "store/ini.h"

namespace app {
namespace {

using Buttons = Prompts::Buttons;
using Icon = Prompts::Icon;
using Answer = Prompts::Answer;

constexpr wchar_t kSettings[] = L"QRVL_Settings";

std::wstring RunningExeFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (got == 0) return L".";
    if (got < path.size()) {
      path.resize(got);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

}  // namespace

Main::Main(Prompts& prompts, Printer& printer, View& view, Places places)
    : prompts_(prompts), printer_(printer), view_(view), places_(std::move(places)) {
  if (places_.exe_folder.empty()) places_.exe_folder = RunningExeFolder();
}

// ---- Start-up and end ---------------------------------------------------------------------------

void Main::StartUp() {
  RegKeyPath = places_.reg_key_path;
  ShowInstalledId();
  IniPath = places_.exe_folder + L"\\FLIDs.ini";
  LoadStore();
}

void Main::LoadStore() {
  IdCount = 0;
  if (!store::FileExists(IniPath)) {
    LocateGame();
    return;
  }
  const store::FileText file = store::ReadWholeFile(IniPath);
  if (!file.status) {
    prompts_.Message(CouldNot(L"read its store file", IniPath, file.status.Text(),
                              L"No saved ID is shown until the file can be read. Nothing was changed in it."),
                     L"Quorvel - Store Error", Buttons::Ok, Icon::Stop);
    return;
  }
  if (!file.exists) {  // gone between the test and the read: as good as missing
    LocateGame();
    return;
  }
  const core::LoadedStore loaded = core::LoadStoreText(file.bytes);
  IdCount = loaded.id_count;
  SavedIds.assign(static_cast<size_t>(IdCount) + 1, SavedIdRow{});
  for (size_t row = 1; row < SavedIds.size(); ++row)
    for (size_t column = 1; column < 5; ++column) SavedIds[row][column] = base::FromAnsi(loaded.rows[row][column]);
  GamePath = base::FromAnsi(loaded.game_path);
  ServerIps = base::FromAnsi(loaded.server_ips);
  view_.ShowServers(ServerIps);
  view_.ShowListPrompt(L"- Select ID -");
}

void Main::LocateGame() {
  const Answer answer = prompts_.Message(L"Quorvel needs to locate your Freelancer exe, click ok to set it.",
                                         L"First load", Buttons::OkCancel, Icon::None);
  FirstLoadAnswer = std::to_wstring(static_cast<int>(answer));
  if (answer == Answer::Cancel) {
    EndProgram();
    return;
  }
  GamePath = prompts_.OpenFile(L"Freelancer.exe | *.exe", L".exe");
  const base::Status written = ini::WriteIni(kSettings, L"FLPATH", GamePath, IniPath);
  if (!written) {
    prompts_.Message(CouldNot(L"create its store file", IniPath, written.Text(),
                              L"The folder is not writable. Quorvel uses the game's path until it closes and asks "
                              L"again at the next start. Move Quorvel to a folder you can write to, such as one in "
                              L"your documents, to keep your IDs."),
                     L"Quorvel - Store Error", Buttons::Ok, Icon::Stop);
  }
}

void Main::EndProgram() {
  ended_ = true;
  view_.CloseAll();
}

// ---- The installed ID ---------------------------------------------------------------------------

void Main::ReadInstalledId() {
  for (int i = 0; i < 3; ++i) {
    DWORD type = REG_SZ;
    CurrentId.Field(i) = mRegistery::GetRegValue(HKEY_CURRENT_USER, RegKeyPath, InstalledId::kValueNames[i], type);
  }
}

void Main::ShowInstalledId() {
  ReadInstalledId();
  view_.ShowInstalledKey(CurrentId.InstallKey);
}

namespace {

// Writes the three values in order; returns the message that names every value that failed, or "".
std::wstring WriteInstalledId(const std::wstring& key_path, const InstalledId& id) {
  std::wstring failed;
  base::Status first_failure;
  for (int i = 0; i < 3; ++i) {
    const base::Status status = mRegistery::SetRegValue(HKEY_CURRENT_USER, key_path, InstalledId::kValueNames[i], id.Field(i), REG_SZ);
    if (status) continue;
    if (first_failure) first_failure = status;
    failed += (failed.empty() ? L"" : L", ") + std::wstring(InstalledId::kValueNames[i]);
  }
  if (failed.empty()) return {};
  return CouldNot(L"write " + failed + L" in the registry key", L"HKEY_CURRENT_USER\\" + key_path,
                  first_failure.Text(),
                  L"If the key is missing, Freelancer has not been installed or started for this Windows user.");
}

}  // namespace

void Main::InstallSavedId(std::int16_t row) {
  // Only a selected list entry reaches here; anything else is ignored rather than read past the table.
  if (row < 1 || row > IdCount || static_cast<size_t>(row) >= SavedIds.size()) return;
  const SavedIdRow& saved = SavedIds[static_cast<size_t>(row)];
  ReplaceInstalledId(InstalledId{saved[1], saved[2], saved[3]},
                     {L"This will reset your FL ID to the one selected, continue?", L"Quorvel",
                      L"The FL ID was not changed.", L"FL ID Changed.", L"Saved before a change on "});
}

void Main::ClearInstalledId() {
  ReplaceInstalledId(InstalledId{}, {L"This will clear the current installed FL ID, continue?", L"Sure?",
                                     L"The FL ID was not cleared.", L"FL ID Cleard!", L"Saved before clearing on "});
}

// Asks, keeps the installed ID when it is in no saved ID yet, writes the three values, shows what the
// registry now holds, then says how it went.
void Main::ReplaceInstalledId(const InstalledId& id, const ReplaceTexts& texts) {
  if (prompts_.Message(texts.question, texts.question_title, Buttons::YesNo, Icon::None) != Answer::Yes) return;
  std::wstring kept;  // the done box's second paragraph when the installed ID was saved first
  if (!KeepInstalledId(texts, kept)) return;
  const std::wstring failure = WriteInstalledId(RegKeyPath, id);
  ShowInstalledId();
  if (!failure.empty()) {
    prompts_.Message(std::wstring(texts.not_done) + L"\r\n\r\n" + failure, L"Quorvel - Registry Error", Buttons::Ok,
                     Icon::Stop);
    return;
  }
  prompts_.Message(texts.done + kept, L"Done!", Buttons::Ok, Icon::Information);
}

// ---- Saved IDs ----------------------------------------------------------------------------------

void Main::FillIdList() {
  std::vector<std::wstring> entries;
  for (std::int16_t i = 1; i <= IdCount && static_cast<size_t>(i) < SavedIds.size(); ++i)
    entries.push_back(SavedIds[static_cast<size_t>(i)][1]);
  view_.ShowIdList(entries);
}

bool Main::Selected(int index) {
  if (index != -1) return true;
  prompts_.Message(L"Please select an ID!", L"Oops!", Buttons::Ok, Icon::Exclamation);
  return false;
}

void Main::InstallSelectedId(int index) {
  if (Selected(index)) InstallSavedId(static_cast<std::int16_t>(index + 1));
}

}  // namespace app
