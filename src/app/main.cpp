#include "app/main.h"

#include <windows.h>

#include "app/messages.h"
#include "app/prompts.h"
#include "app/view.h"
#include "base/text.h"
#include "core/profile.h"
#include "core/store_format.h"
#include "registry/mRegistery.h"
#include "store/files.h"
#include "store/ini.h"
#include "store/store_lock.h"

namespace app {
namespace {

using Buttons = Prompts::Buttons;
using Icon = Prompts::Icon;
using Answer = Prompts::Answer;

std::wstring RunningExe() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (got == 0) return {};
    if (got < path.size()) return path.substr(0, got);
    path.resize(path.size() * 2);
  }
}

}  // namespace

Main::Main(Prompts& prompts, Printer& printer, View& view, Places places)
    : prompts_(prompts), printer_(printer), view_(view), places_(std::move(places)), exe_(RunningExe()) {
  const size_t slash = exe_.find_last_of(L'\\');
  if (places_.exe_folder.empty()) places_.exe_folder = slash == std::wstring::npos ? L"." : exe_.substr(0, slash);
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
  const store::FileText file = ReadInTurn(IniPath);
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
  ArchiveListedIds(loaded);
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
  const store::StoreLock lock(IniPath, places_.lock_wait_ms);
  const base::Status written = lock.held() ? ini::WriteIni(core::kSettingsSection, core::kGamePathKey, GamePath, IniPath)
                                           : lock.status() ? base::Status::Fail(ERROR_BUSY) : lock.status();
  if (!written) {
    prompts_.Message(CouldNot(L"create its store file", IniPath, written.Text(),
                              L"The folder is not writable. Quorvel uses the game's path until it closes and asks "
                              L"again at the next start. Move Quorvel to a folder you can write to, such as one in "
                              L"your documents, to keep your IDs."),
                     L"Quorvel - Store Error", Buttons::Ok, Icon::Stop);
  }
}

// ---- Taking turns with other copies ---------------------------------------------------------------

store::FileText Main::ReadInTurn(const std::wstring& path) const {
  const store::StoreLock lock(IniPath, places_.lock_wait_ms);
  return store::ReadWholeFile(path);
}

std::wstring Main::BusyText(const store::StoreLock& lock, std::wstring_view not_done) const {
  if (!lock.status()) return CouldNot(L"take its turn at its store file", IniPath, lock.status().Text(), not_done);
  return L"Another copy of Quorvel is busy with its store file\r\n" + IniPath + L"\r\nand did not finish within " +
         std::to_wstring((places_.lock_wait_ms + 999) / 1000) + L" seconds." + (not_done.empty() ? L"" : L" ") +
         std::wstring(not_done) + L"\r\n\r\nTry again in a moment.";
}

void Main::EndProgram() {
  ended_ = true;
  view_.CloseAll();
}

// ---- The installed ID ---------------------------------------------------------------------------

namespace {

// Does one registry step on each of the three values in order. Returns "", or the message "Quorvel could
// not <verb> <every value that failed> in the registry key ..." with the first failure's reason.
template <typename Step>
std::wstring ForEachValue(const wchar_t* verb, const std::wstring& key_path, std::wstring_view consequence, Step step) {
  std::wstring failed;
  base::Status first_failure;
  for (int i = 0; i < 3; ++i) {
    const base::Status status = step(i);
    if (status) continue;
    if (failed.empty()) first_failure = status;
    failed += (failed.empty() ? L"" : L", ") + std::wstring(InstalledId::kValueNames[i]);
  }
  if (failed.empty()) return {};
  return CouldNot(verb + (L" " + failed) + L" in the registry key", L"HKEY_CURRENT_USER\\" + key_path,
                  first_failure.Text(), consequence);
}

}  // namespace

Main::Written Main::WriteInstalledId(const InstalledId& id) {
  const std::wstring key = L"HKEY_CURRENT_USER\\" + RegKeyPath;
  const auto name = [](std::size_t i) { return std::wstring(InstalledId::kValueNames[i]); };
  // Each value as it is stored now, to be put back, byte for byte, if a later one cannot be written.
  std::array<mRegistery::StoredValue, 3> before;
  for (std::size_t i = 0; i < 3; ++i)
    if (const base::Status read = mRegistery::GetStoredValue(HKEY_CURRENT_USER, RegKeyPath, name(i), before[i]); !read)
      return {CouldNot(L"read " + name(i) + L" in the registry key", key, read.Text(),
                       L"Without it Quorvel could not put the installed ID back whole if a write failed, so it wrote nothing.")};
  for (std::size_t i = 0; i < 3; ++i) {
    const base::Status status = mRegistery::SetRegValue(HKEY_CURRENT_USER, RegKeyPath, name(i), id.Field(static_cast<int>(i)), REG_SZ);
    if (status) continue;
    bool put_back = true;
    std::wstring written;
    for (std::size_t j = i; j-- > 0;) {
      put_back = mRegistery::PutStoredValue(HKEY_CURRENT_USER, RegKeyPath, name(j), before[j]).ok() && put_back;
      written = name(j) + (written.empty() ? L"" : L", " + written);
    }
    const std::wstring failure =
        CouldNot(L"write " + name(i) + L" in the registry key", key, status.Text(),
                 put_back ? L"If the key is missing, Freelancer has not been installed or started for this Windows user." : L"");
    if (put_back) return {failure};
    return {L"The installed FL ID may be mixed: Quorvel wrote " + written + L" of the new ID, could not write " + name(i) +
                L", and could not put back what it had written. The registry may now hold values of two different IDs, which "
                L"the game does not take as one.\r\n\r\n" + failure + L"\r\n\r\nOnce Windows lets Quorvel write the key again, "
                L"install a saved ID whole with Change FL ID in the manage window, or use Clear installed FL ID.",
            false};
  }
  return {};
}

std::wstring Main::NotWritten(const Written& written, std::wstring_view not_done, const std::wstring& kept) {
  if (!written.whole) return written.failure + kept;
  return std::wstring(not_done) + (kept.empty() ? L"" : L" Only the store changed:" + kept) + L"\r\n\r\n" + written.failure;
}

std::wstring Main::ReadInstalledId() {
  return ForEachValue(L"read", RegKeyPath, {}, [&](int i) {
    DWORD type = REG_SZ;
    base::Status status;
    CurrentId.Field(i) = mRegistery::GetRegValue(HKEY_CURRENT_USER, RegKeyPath, InstalledId::kValueNames[i], type, status);
    return status;
  });
}

void Main::ShowInstalledId() {
  ReadInstalledId();  // what cannot be read shows as empty, as a missing value does
  view_.ShowInstalledKey(CurrentId.InstallKey);
}

void Main::InstallSavedId(std::int16_t row) {
  // Only a selected list entry reaches here; anything else is ignored rather than read past the table.
  if (row < 1 || row > IdCount || static_cast<size_t>(row) >= SavedIds.size()) return;
  ChangeInstalledId(SavedIds[static_cast<size_t>(row)]);
}

void Main::ChangeInstalledId(const SavedIdRow& saved) {
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
  const Written written = WriteInstalledId(id);
  ShowInstalledId();
  if (!written.failure.empty()) {
    prompts_.Message(NotWritten(written, texts.not_done, kept), L"Quorvel - Registry Error", Buttons::Ok, Icon::Stop);
    return;
  }
  prompts_.Message(texts.done + kept, L"Done!", Buttons::Ok, Icon::Information);
}

// ---- Saved IDs ----------------------------------------------------------------------------------

void Main::FillIdList() {
  listed_.clear();
  std::vector<std::wstring> entries;
  for (std::int16_t i = 1; i <= IdCount && static_cast<size_t>(i) < SavedIds.size(); ++i) {
    listed_.push_back(SavedIds[static_cast<size_t>(i)]);
    entries.push_back(listed_.back()[1]);
  }
  view_.ShowIdList(entries);
}

bool Main::StillListed(int index, std::string_view store_text) const {
  if (index < 0 || static_cast<size_t>(index) >= listed_.size() || index >= core::CountIdHeaders(store_text)) return false;
  const core::ProfileIndex file(store_text);
  const std::string section = core::IdSectionName(index + 1);
  for (size_t column = 1; column < 4; ++column)
    if (base::FromAnsi(file.Read(section, core::kIdKeys[column - 1])) != listed_[static_cast<size_t>(index)][column]) return false;
  return true;
}

bool Main::ListAgain() {
  LoadStore();
  if (Ended()) return false;
  FillIdList();
  view_.ShowDescriptionLabel(L"");
  return true;
}

bool Main::Selected(int index) {
  if (index != -1) return true;
  prompts_.Message(L"Please select an ID!", L"Oops!", Buttons::Ok, Icon::Exclamation);
  return false;
}

// Installs what the list showed for the entry, which is what the player picked; the question and the
// check for an unsaved installed ID read the registry and the store afresh.
void Main::InstallSelectedId(int index) {
  if (!Selected(index) || static_cast<size_t>(index) >= listed_.size()) return;
  ChangeInstalledId(listed_[static_cast<size_t>(index)]);
}

}  // namespace app
