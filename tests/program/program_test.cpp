// The program's behaviour, each in one table, under Wine against a scratch registry key and real files,
// with every box, view change and printed page logged in order (tests/support): no window is made.
// Each row starts the program afresh on a store and an installed ID, lets another program do something
// to the store, then does one thing as the player would, and compares what the player saw, the store's
// bytes and, where it matters, the registry.
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "base/text.h"
#include "core/archive.h"
#include "core/command_line.h"
#include "core/id_digest.h"
#include "launcher/launcher.h"
#include "registry/mRegistery.h"
#include "store/store_lock.h"
#include "support/support.h"  // brings windows.h, which sddl.h needs first

#include <sddl.h>
#include <tlhelp32.h>

namespace {

using app::Main;
using Answer = app::Prompts::Answer;
using Lines = std::vector<std::wstring>;

const std::string kSettings = "[QRVL_Settings]\r\nFLPATH=C:\\FL\\Freelancer.exe\r\nFLIPS=1.2.3.4\r\n";
// Section FLID_n of the ID key-<t>, man-<t>, sig-<t>, with a description when given.
std::string Id(int n, const std::string& t, const std::string& disc = "") {
  return "[FLID_" + std::to_string(n) + "]\r\nINSTALL=key-" + t + "\r\nMAN=man-" + t + "\r\nMANS=sig-" + t + "\r\n" +
         (disc.empty() ? "" : "DISC=" + disc + "\r\n");
}
const std::string kThree = kSettings + Id(1, "a", "first") + Id(2, "b") + Id(3, "c", "third");
const std::wstring kServers = L"servers 1.2.3.4", kPrompt = L"prompt - Select ID -";  // what a reload of kSettings shows
const std::wstring kOops = L"! Oops!: Please select an ID!";
const std::wstring kAsk = L"oc First load: Quorvel needs to locate your Freelancer exe, click ok to set it.";
const std::wstring kChange = L"? Quorvel: This will reset your FL ID to the one selected, continue?";
const std::wstring kClear = L"? Sure?: This will clear the current installed FL ID, continue?";
std::function<void(Main&)> Pick(int index) { return [index](Main& m) { m.InstallSelectedId(index); }; }
// The registry refusing writes while the player acts: those to one value, or all after the first `allowed`.
template <typename Refusal>
std::function<void(Main&)> Refusing(Refusal refusal, std::function<void(Main&)> act) {
  return [refusal, act](Main& m) {
    const mRegistery::RefusedWrites refused(refusal);
    act(m);
  };
}
const std::string kAsGame = "key-i/6|man-i/6|sig-i/6";  // the installed ID as the game wrote it, untouched
// Waits, up to 5 s, for the stand-in game started from `game` to end: a shortcut's run refuses while the
// game runs, so the next run must find it gone.
void AwaitGameEnd(const std::wstring& game) {
  bool running = true;
  for (const ULONGLONG end = GetTickCount64() + 5000; running && GetTickCount64() <= end; Sleep(20)) launcher::GameRunning(game, running);
}
// The settings and 32766 saved-ID headers: the most the store can keep.
std::string Full() {
  std::string full = kSettings;
  for (int i = 1; i <= 32766; ++i) full += "[FLID_" + std::to_string(i) + "]\r\n";
  return full;
}

// What another program did to the store just before the player acts.
enum Store { kAsIs, kReadOnly, kHeld, kLocked, kGone, kFolder, kHidden };

struct Row {
  const char* what;
  std::string store;               // the program starts on it
  std::function<void(Main&)> act;  // what the player does
  Lines log;                       // what the player saw then; {store} and {key} stand for their paths
  std::string after = "=";         // the store afterwards; "=" unchanged, "" no file
  Store before = kAsIs;
  const char* answers = "";        // y n c: Yes, No, Cancel, in order; then Yes or OK
  std::string registry = "";       // as ProgramTest::Installed() shows it afterwards, when given
  std::string installed = "key-i|man-i|sig-i";  // "-": the game's key is missing
};

class Program : public support::ProgramTest {
 protected:
  void Run(const Row& row) {
    SCOPED_TRACE(row.what);
    seen_ = {};
    RemoveDirectoryW(StorePath().c_str());  // a folder an earlier row put in the store's place
    DeleteFileW(ArchivePath().c_str());      // each row starts with no archive but the one its start makes
    Start(row.store.c_str(), row.installed == "-" ? nullptr : row.installed.c_str());
    for (const char* a = row.answers; *a; ++a) seen_.answers.push_back(*a == 'y' ? Answer::Yes : *a == 'n' ? Answer::No : Answer::Cancel);
    const DWORD attributes[] = {0, FILE_ATTRIBUTE_READONLY, 0, 0, 0, 0, FILE_ATTRIBUTE_HIDDEN};
    if (attributes[row.before]) SetFileAttributesW(StorePath().c_str(), attributes[row.before]);
    if (row.before == kGone || row.before == kFolder) DeleteFileW(StorePath().c_str());
    if (row.before == kFolder) CreateDirectoryW(StorePath().c_str(), nullptr);
    base::UniqueFile held;  // open the way another program holds it: others may read it, or do nothing
    if (row.before == kHeld || row.before == kLocked)
      held.reset(CreateFileW(StorePath().c_str(), GENERIC_READ, row.before == kHeld ? FILE_SHARE_READ : 0, nullptr, OPEN_EXISTING, 0, nullptr));
    row.act(*program_);
    held.reset();
    WIN32_FIND_DATAW temp{};
    EXPECT_FALSE(base::UniqueFind(FindFirstFileW(dir_.File(L"qrv*.tmp").c_str(), &temp))) << "a write left its temp file";
    SetFileAttributesW(StorePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(Saw(row.log));
    EXPECT_EQ(Store(), row.after == "=" ? row.store : row.after);
    if (!row.registry.empty()) {
      EXPECT_EQ(Installed(), row.registry);
    }
  }
  // Another program (or another copy of Quorvel) writes these bytes into the store, then the player acts.
  std::function<void(Main&)> Then(std::string bytes, std::function<void(Main&)> act) {
    return [this, bytes, act](Main& m) { support::WriteBytes(StorePath(), bytes); act(m); };
  }
  std::wstring ArchivePath() const { return dir_.File(L"FLIDs-archive.ini"); }
  // The archive's entries as "archive key-a(description)@ ...", where "@" marks one that left the store.
  std::wstring Archived() const {
    std::wstring line = L"archive";
    for (const core::ArchivedId& id : core::ReadArchive(support::ReadBytes(ArchivePath())))
      line += L" " + base::FromAnsi(id.install) + (id.disc.empty() ? L"" : L"(" + base::FromAnsi(id.disc) + L")") + (id.left.empty() ? L"" : L"@");
    return line;
  }
  testing::AssertionResult Saw(Lines expected) {
    for (std::wstring& line : expected)
      for (const auto& [name, value] : {std::pair{L"{store}", StorePath()}, {L"{key}", key_.path}, {L"{archive}", ArchivePath()}})
        if (const auto at = line.find(name); at != std::wstring::npos) line.replace(at, wcslen(name), value);
    return support::LogIs(seen_.log, expected);
  }
};

// Start-up shows the installed ID before anything else. Without a store (or with one the file test does
// not see) the first run asks for the game and writes its path; Cancel there ends the program with
// nothing written. A store that cannot be read or created is said, and left as it is.
TEST_F(Program, StartsUp) {
  const std::wstring dialog = L"dialog Freelancer.exe | *.exe .exe";
  const auto start = [this](const wchar_t* chosen, const wchar_t* kept) {
    return [this, chosen, kept](Main&) {  // a fresh program: its globals start empty
      if (chosen) seen_.files = {chosen};
      Main& m = Fresh();
      m.StartUp();
      m.FillIdList();
      EXPECT_EQ(m.FirstLoadAnswer + L"|" + m.GamePath + L"|" + m.ServerIps + (m.Ended() ? L"|ended" : L""), kept);
    };
  };
  const Row rows[] = {
      {"first run", "", start(L"C:\\Games\\Freelancer.exe", L"1|C:\\Games\\Freelancer.exe|"), {L"key key-i", kAsk, dialog, L"list"},
       "[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer.exe\r\n", kGone},
      {"Cancel at the first run", "", start(nullptr, L"2|||ended"), {L"key key-i", kAsk, L"closed", L"list"}, "", kGone, "c"},
      {"the file dialog cancelled", "", start(nullptr, L"1||"), {L"key key-i", kAsk, dialog, L"list"}, "[QRVL_Settings]\r\nFLPATH=\r\n", kGone},
      {"a store", kThree, start(nullptr, L"|C:\\FL\\Freelancer.exe|1.2.3.4"), {L"key key-i", kServers, kPrompt, L"list key-a key-b key-c"}},
      {"a hidden store", kThree, start(nullptr, L"1||"), {L"key key-i", kAsk, dialog, L"list"},
       "[QRVL_Settings]\r\nFLPATH=\r\nFLIPS=1.2.3.4\r\n" + kThree.substr(kSettings.size()), kHidden},
      {"a folder in the store's place", kThree, start(nullptr, L"1||"),
       {L"key key-i", kAsk, dialog, L"x Quorvel - Store Error: Quorvel could not create its store file\r\n{store}\r\n\r\n…\r\n\r\nThe folder is "
        L"not writable. Quorvel uses the game's path until it closes and asks again at the next start. …", L"list"}, "", kFolder},
      {"a store held exclusively", kThree, start(nullptr, L"||"),
       {L"key key-i", L"x Quorvel - Store Error: Quorvel could not read its store file\r\n{store}\r\n\r\n…\r\n\r\nNo saved ID is "
                      L"shown until the file can be read. Nothing was changed in it.", L"list"}, "=", kLocked},
  };
  for (const Row& row : rows) Run(row);
  EXPECT_EQ(program_->IdCount, 0);
}

// "Change FL ID" writes the picked row's values, each padded with zero bytes to 255, an empty one
// blanked; "Clear installed FL ID" blanks all three. Then the labels show the registry afresh.
TEST_F(Program, InstallsAndClearsTheInstalledId) {
  const std::string store = kSettings + Id(1, "\xe9") + "[FLID_2]\r\nINSTALL=key-b\r\nMAN=\r\nMANS=sig-b\r\n" + Id(3, "i");
  const auto failed = [](const wchar_t* value) {
    return L"Quorvel could not write " + std::wstring(value) + L" in the registry key\r\nHKEY_CURRENT_USER\\{key}\r\n\r\n…\r\n\r\nIf the key "
           L"is missing, Freelancer has not been installed or started for this Windows user.";
  };
  const std::wstring mixed = L"x Quorvel - Registry Error: The installed FL ID may be mixed: Quorvel wrote InstallKey of the new ID, could not "
                             L"write MPAccountName, and could not put back what it had written. The registry may now hold values of two "
                             L"different IDs, which the game does not take as one.\r\n\r\nQuorvel could not write MPAccountName in the "
                             L"registry key\r\nHKEY_CURRENT_USER\\{key}\r\n\r\n…\r\n\r\nOnce Windows lets Quorvel write the key again, "
                             L"install a saved ID whole with Change FL ID in the manage window, or use Clear installed FL ID.";
  const auto wipe = [](Main& m) { m.ClearInstalledId(); };
  const auto denied = [this](std::function<void(Main&)> act) {  // everyone denied reading and setting values, then allowed again
    return [this, act](Main& m) {
      for (const wchar_t* dacl : {L"D:(D;;0x3;;;WD)(A;;KA;;;WD)", L"D:(A;;KA;;;WD)"}) {  // Wine checks access as Windows does
        PSECURITY_DESCRIPTOR sd = nullptr;
        ConvertStringSecurityDescriptorToSecurityDescriptorW(dacl, SDDL_REVISION_1, &sd, nullptr);
        base::UniqueKey key;
        RegOpenKeyExW(HKEY_CURRENT_USER, key_.path.c_str(), 0, WRITE_DAC, key.put());
        RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, sd);
        LocalFree(sd);
        if (dacl[3] == L'D') act(m);  // while denied
      }
    };
  };
  const std::wstring unread = L"Quorvel could not read InstallKey, MPAccountName, MPAccountNameSig in the registry key\r\nHKEY_CURRENT_USER\\{key}"
                              L"\r\n\r\n…";
  const Row rows[] = {
      {"change", store, Pick(1), {kChange, L"key key-b", L"i Done!: FL ID Changed."}, "=", kAsIs, "", "key-b/255|/255|sig-b/255"},
      {"change to a code-page text", store, Pick(0), {kChange, L"key key-\u00e9", L"i Done!: FL ID Changed."}, "=", kAsIs, "",
       "key-\xe9/255|man-\xe9/255|sig-\xe9/255"},
      {"clear", store, wipe, {kClear, L"key ", L"i Done!: FL ID Cleard!"}, "=", kAsIs, "", "/255|/255|/255"},
      {"change, No", store, Pick(0), {kChange}, "=", kAsIs, "n", kAsGame},
      {"clear, No", store, wipe, {kClear}, "=", kAsIs, "n", kAsGame},
      {"nothing picked", store, Pick(-1), {kOops}, "=", kAsIs, "", kAsGame},
      {"rows outside the table", store, [](Main& m) { for (int r : {0, 4, 32767}) m.InstallSavedId(static_cast<std::int16_t>(r)); },
       {}, "=", kAsIs, "", kAsGame},
      // The installed ID stays whole: what was written before a refused value is put back as it was.
      {"the second value refused: change", store, Refusing(L"MPAccountName", Pick(1)),
       {kChange, L"key key-i", L"x Quorvel - Registry Error: The FL ID was not changed.\r\n\r\n" + failed(L"MPAccountName")}, "=", kAsIs, "",
       kAsGame},
      {"the third value refused: clear", store, Refusing(L"MPAccountNameSig", wipe),
       {kClear, L"key key-i", L"x Quorvel - Registry Error: The FL ID was not cleared.\r\n\r\n" + failed(L"MPAccountNameSig")}, "=", kAsIs, "",
       kAsGame},
      {"the second refused, the first not put back", store, Refusing(1, Pick(1)), {kChange, L"key key-b", mixed}, "=", kAsIs, "",
       "key-b/255|man-i/6|sig-i/6"},
      {"no game key: change", store, Pick(0), {kChange, L"key ", L"x Quorvel - Registry Error: The FL ID was not changed.\r\n\r\n" + failed(L"InstallKey")},
       "=", kAsIs, "", "", "-"},
      {"no access to the key: change", store, denied(Pick(0)), {kChange, L"x Quorvel - Registry Error: The FL ID was not changed.\r\n\r\n" +
       unread + L"\r\n\r\nQuorvel cannot tell whether the installed FL ID is saved, so it left it installed."}, "=", kAsIs, "", kAsGame},
      {"no access to the key: save", store, denied([](Main& m) { m.SaveInstalledId(); }),
       {L"x Quorvel - Save Error: " + unread + L"\r\n\r\nThe installed FL ID was not saved; the store was not changed."}},
      {"no game key: clear", store, wipe, {kClear, L"key ", L"x Quorvel - Registry Error: The FL ID was not cleared.\r\n\r\n" + failed(L"InstallKey")},
       "=", kAsIs, "", "", "-"},
  };
  for (const Row& row : rows) Run(row);
  EXPECT_FALSE(key_.Exists()) << "a write created the game's key";
}

TEST_F(Program, RefreshesAndPrintsWhatTheRegistryHoldsAtThatMoment) {
  const auto print = [](Main& m) { m.PrintInstalledId(); };
  const Row rows[] = {
      {"refresh", kSettings, [this](Main& m) { key_.Set("InstallKey", "new"); m.ShowInstalledId(); }, {L"key new"}},
      {"print", kSettings, [this](Main& m) { m.PrintInstalledId(); key_.Set("InstallKey", "new"); m.PrintInstalledId(); },
       {L"printed key-i", L"printed new"}},
      {"print with no game key", kSettings, print, {L"printed "}, "=", kAsIs, "", "", "-"},
      {"print fails", kSettings, [this](Main& m) { seen_.print_error = ERROR_INVALID_PRINTER_NAME; m.PrintInstalledId(); },
       {L"x Quorvel - Print Error: Unable to print.\r\nCheck your printer is plugged in and switch on ;)"}},
  };
  for (const Row& row : rows) Run(row);
}

// An installed ID that is in no saved ID yet is saved, described, before "Change FL ID" or "Clear
// installed FL ID" replaces it; when the store cannot take it now, nothing changes; when it can never
// be stored, it is replaced only on an explicit Yes to losing it.
TEST_F(Program, KeepsAnUnsavedInstalledIdBeforeReplacingIt) {
  const std::string today = support::Today();
  const std::string two = kSettings + Id(1, "a") + Id(2, "b"), kept = "INSTALL=key-i\r\nMAN=man-i\r\nMANS=sig-i\r\nDISC=Saved before ";
  const auto saved = [](const wchar_t* done) { return L"i Done!: " + std::wstring(done) + L"\r\n\r\nThe ID that was installed was not saved yet; Quorvel saved it as number 3."; };
  const std::wstring stop = L"x Quorvel - Save Error: The FL ID was not changed. The installed FL ID is in no saved ID yet, and Quorvel "
                            L"could not save it first, so it stays installed.\r\n\r\n";
  const std::wstring lose = L"?n! Quorvel - Unsaved FL ID: The installed FL ID cannot be kept in the store: its InstallKey value holds a line "
                            L"break or a square bracket, which the store file cannot keep.\r\n\r\nIt is in no saved ID, so replacing it "
                            L"loses it for good. Replace it anyway and lose it?";
  const std::string full = Full();
  const Row rows[] = {
      {"change", two, Pick(1), {kChange, kServers, kPrompt, L"list key-a key-b key-i", L"key key-b", saved(L"FL ID Changed.")},
       two + "[FLID_3]\r\n" + kept + "a change on " + today + "\r\n", kAsIs, "", "key-b/255|man-b/255|sig-b/255"},
      {"clear", two, [](Main& m) { m.ClearInstalledId(); }, {kClear, kServers, kPrompt, L"list key-a key-b key-i", L"key ", saved(L"FL ID Cleard!")},
       two + "[FLID_3]\r\n" + kept + "clearing on " + today + "\r\n", kAsIs, "", "/255|/255|/255"},
      {"already saved", two + Id(3, "i"), Pick(0), {kChange, L"key key-a", L"i Done!: FL ID Changed."}},
      {"nothing installed", two, Pick(0), {kChange, L"key key-a", L"i Done!: FL ID Changed."}, "=", kAsIs, "", "", "||"},
      {"saved with one value other", two + "[FLID_3]\r\nINSTALL=key-i\r\nMAN=man-i\r\nMANS=other\r\n", Pick(0),
       {kChange, kServers, kPrompt, L"list key-a key-b key-i key-i", L"key key-a", L"i Done!: FL ID Changed.\r\n\r\n…number 4."},
       two + "[FLID_3]\r\nINSTALL=key-i\r\nMAN=man-i\r\nMANS=other\r\n[FLID_4]\r\n" + kept + "a change on " + today + "\r\n"},
      {"read-only", two, Pick(1), {kChange, stop + L"Quorvel could not save the FL ID in\r\n{store}…"}, "=", kReadOnly, "", kAsGame},
      {"missing", two, Pick(1), {kChange, stop + L"The installed FL ID was not saved: its store file\r\n{store}\r\nis not there."}, "", kGone, "", kAsGame},
      {"full", full, Pick(1), {kChange, stop + L"The installed FL ID was not saved: the store already holds 32766 saved IDs…"}, "=", kAsIs, "", kAsGame},
      {"a bracket, No", two, Pick(1), {kChange, lose}, "=", kAsIs, "yn", "a[b/4|man-i/6|sig-i/6", "a[b|man-i|sig-i"},
      {"a bracket, Yes", two, Pick(1), {kChange, lose, L"key key-b", L"i Done!: FL ID Changed."}, "=", kAsIs, "", "key-b/255|man-b/255|sig-b/255",
       "a[b|man-i|sig-i"},
  };
  for (const Row& row : rows) Run(row);
}

// A save goes under the next free number of the file as it is at that moment, then reloads; what the
// store cannot keep, or a store that cannot take it, is refused with the store unchanged.
TEST_F(Program, SavesTheInstalledId) {
  const auto save = [](Main& m) {
    m.SaveInstalledId();
    if (!m.Ended()) m.FillIdList();
  };
  const auto as = [this](DWORD type, std::string bytes) {  // the installed key as another program stored it
    return [this, type, bytes](Main& m) { key_.Set("InstallKey", bytes, type); m.SaveInstalledId(); m.FillIdList(); };
  };
  const auto first = [](const std::string& key) { return kSettings + "[FLID_1]\r\nINSTALL=" + key + "\r\nMAN=man-i\r\nMANS=sig-i\r\n"; };
  const std::wstring saved = L"i Done!: FL ID Saved!\r\nGo to the ID manager to add a discription/change id";
  const std::wstring refused = L"x Quorvel - Save Error: The installed FL ID was not saved: ";
  const std::wstring breaks = L" value holds a line break or a square bracket, which the store file cannot keep.";
  const std::wstring changes = L" value would not come back from the store file as it is (it is longer than 254 characters, or "
                               L"begins or ends with a blank or a quote).";
  const std::wstring failed = L"x Quorvel - Save Error: Quorvel could not save the FL ID in\r\n{store}\r\n\r\n…\r\n\r\nThe store was not changed. "
                              L"If Quorvel stands in a folder you may not write to, such as Program Files, move it to a folder of your own.";
  const std::string gap = kSettings + Id(1, "a") + Id(3, "c") + "DISC=kept\r\n";
  const std::string full = Full();
  const Row rows[] = {
      {"after the settings", kSettings, save, {kServers, kPrompt, saved, L"list key-i"}, kSettings + Id(1, "i")},
      {"after three, twice", kThree, [](Main& m) { m.SaveInstalledId(); m.SaveInstalledId(); },
       {kServers, kPrompt, saved, kServers, kPrompt, saved}, kThree + Id(4, "i") + Id(5, "i")},
      {"into a gap, never over an ID", gap, save, {kServers, kPrompt, saved, L"list key-a key-i key-c"}, gap + Id(2, "i")},
      {"after a clear", kSettings, save, {kServers, kPrompt, saved, L"list "}, kSettings + "[FLID_1]\r\nINSTALL=\r\nMAN=\r\nMANS=\r\n",
       kAsIs, "", "", "||"},
      {"after the store went", kThree, save, {L"servers ", kPrompt, saved, L"list key-i"}, Id(1, "i"), kGone},
      {"a bracket", kSettings, save, {refused + L"its InstallKey" + breaks, L"list"}, "=", kAsIs, "", "", "a[b|m|s"},
      {"a line break", kSettings, save, {refused + L"its MPAccountName" + breaks, L"list"}, "=", kAsIs, "", "", "k|a\nb|s"},
      {"REG_DWORD that reads as CR LF", kSettings, as(REG_DWORD, std::string("\r\n\0\0", 4)), {refused + L"its InstallKey" + breaks, L"list"}},
      {"quotes around", kSettings, save, {refused + L"its InstallKey" + changes, L"list"}, "=", kAsIs, "", "", "\"k\"|m|s"},
      {"a blank at the end", kSettings, save, {refused + L"its MPAccountNameSig" + changes, L"list"}, "=", kAsIs, "", "", "k|m|s "},
      {"100 KB", kSettings, as(REG_BINARY, std::string(100000, 'k')), {refused + L"its InstallKey" + changes, L"list"}},
      {"REG_DWORD 1", kSettings, as(REG_DWORD, std::string("\x01\0\0\0", 4)), {kServers, kPrompt, saved, L"list \x01"}, first("\x01")},
      {"REG_BINARY without a zero", kSettings, as(REG_BINARY, "abc"), {kServers, kPrompt, saved, L"list abc"}, first("abc")},
      {"REG_MULTI_SZ", kSettings, as(REG_MULTI_SZ, std::string("one\0two\0\0", 9)), {kServers, kPrompt, saved, L"list one"}, first("one")},
      {"REG_EXPAND_SZ", kSettings, as(REG_EXPAND_SZ, "%TEMP%\\x"), {kServers, kPrompt, saved, L"list %TEMP%\\x"}, first("%TEMP%\\x")},
      {"= and ;, 254 long", kSettings, as(REG_SZ, "a=b;" + std::string(250, 'c')), {kServers, kPrompt, saved, L"list …"},
       first("a=b;" + std::string(250, 'c'))},
      {"a full store", full, save, {refused + L"the store already holds 32766 saved IDs, the most Quorvel can keep. Delete one you no "
                                              L"longer need first.", L"list …"}},
      {"a header in other letter case", kSettings + "[flid_1]\r\nINSTALL=a\r\n", save,
       {refused + L"the store file\r\n{store}\r\nholds a saved-ID section whose header Quorvel does not count…", L"list"}},
      {"read-only", kThree, save, {kServers, kPrompt, failed, L"list key-a key-b key-c"}, "=", kReadOnly},
      {"held exclusively", kThree, save, {failed, L"list key-a key-b key-c"}, "=", kLocked},
      {"a folder in the store's place", kThree, save, {failed, L"list key-a key-b key-c"}, "", kFolder},
      {"full since the list was filled", kThree, Then(full, save), {refused + L"the store already holds 32766 saved IDs…", L"list key-a key-b key-c"},
       full},
  };
  for (const Row& row : rows) Run(row);
}

// Deleting cuts the section and renumbers the later ones with their descriptions in one replacement;
// a store that does not fit, cannot be read or written is left byte for byte and said so.
TEST_F(Program, DeletesASavedId) {
  const auto del = [](int index) { return [index](Main& m) { m.DeleteSelectedId(index); }; };
  const std::wstring sure = L"? Sure?: This will deleted the selected saved id, continue?";
  const auto shows = [&](const std::wstring& list, const std::wstring& box = L"i Done!: FL ID Deleted!") {
    return Lines{sure, kServers, kPrompt, L"list" + list, box, L"label "};
  };
  const std::wstring laid_out = L"x Quorvel - Delete Error: Quorvel's store file\r\n{store}\r\nis not laid out as Quorvel writes it: …\r\n\r\n"
                                L"The saved ID was not deleted; the store file was not changed.";
  const std::wstring unwritten = L"x Quorvel - Delete Error: Quorvel could not write its store file\r\n{store}\r\n\r\n…\r\n\r\nThe saved ID "
                                 L"was not deleted; the store file was not changed. If another program has the file open, close it and try again.";
  const std::wstring unread = L"x Quorvel - Delete Error: Quorvel could not read its store file\r\n{store}\r\n\r\n…\r\n\r\nThe saved ID was not "
                              L"deleted; the store file was not changed.";
  const std::wstring changed = L"x Quorvel - Delete Error: The saved IDs in Quorvel's store file\r\n{store}\r\nchanged since the list was filled: "
                              L"another program, or another copy of Quorvel, changed the file. The saved ID was not deleted; the store file "
                              L"was not changed.\r\n\r\nThe list now shows the saved IDs as the file holds them; pick the ID again.";
  const auto edited = [this](std::string bytes, int index = 0) { return Then(bytes, [index](Main& m) { m.DeleteSelectedId(index); }); };
  const std::string b_c = kSettings + Id(1, "b") + Id(2, "c", "third");  // another copy deleted key-a
  std::string twelve = kSettings, eleven = kSettings, listed;
  for (int n = 1; n <= 12; ++n) twelve += Id(n, std::to_string(n), "d" + std::to_string(n));
  for (int n = 2; n <= 12; ++n) eleven += Id(n - 1, std::to_string(n), "d" + std::to_string(n)), listed += " key-" + std::to_string(n);
  const Row rows[] = {
      {"the only ID", kSettings + Id(1, "a", "x"), del(0), shows(L""), kSettings},
      {"the last of three", kThree, del(2), shows(L" key-a key-b"), kSettings + Id(1, "a", "first") + Id(2, "b")},
      {"the first of twelve", twelve, del(0), shows(base::FromAnsi(listed)), eleven},
      {"settings behind it", Id(1, "a") + kSettings + Id(2, "b"), del(0), shows(L" key-b"), kSettings + Id(1, "b")},
      {"settings behind the last", Id(1, "a") + Id(2, "b") + kSettings, del(1), shows(L" key-a"), Id(1, "a") + kSettings},
      {"No", kThree, del(1), {sure, L"label "}, "=", kAsIs, "n"},
      {"nothing picked", kThree, del(-1), {kOops}},
      {"an ID added at the end", kThree, edited(kThree + Id(4, "d")), shows(L" key-b key-c key-d"), b_c + Id(3, "d")},
      {"its section holds another ID", kThree, edited(b_c, 1), shows(L" key-b key-c", changed), b_c},
      {"the shown ID gone", kThree, edited(kSettings + Id(1, "a", "first") + Id(2, "b"), 2), shows(L" key-a key-b", changed),
       kSettings + Id(1, "a", "first") + Id(2, "b")},
      {"replaced whole by another copy", kThree, edited(kSettings + Id(1, "x")), shows(L" key-x", changed), kSettings + Id(1, "x")},
      {"its header misspelt", kThree, edited(kSettings + "[FLID_1 ]" + Id(1, "a").substr(8) + Id(2, "b") + Id(3, "c")), shows(L" key-a key-b key-c", laid_out),
       kSettings + "[FLID_1 ]" + Id(1, "a").substr(8) + Id(2, "b") + Id(3, "c")},
      {"a later header went", kThree, edited(kSettings + Id(1, "a") + Id(3, "c")), shows(L" key-a ", laid_out), kSettings + Id(1, "a") + Id(3, "c")},
      {"a header ends the file", kThree, edited(kSettings + Id(1, "a") + "[FLID_2]"), shows(L" key-a ", laid_out), kSettings + Id(1, "a") + "[FLID_2]"},
      {"read-only", kThree, del(0), shows(L" key-a key-b key-c", unwritten), "=", kReadOnly},
      {"held open", kThree, del(0), shows(L" key-a key-b key-c", unwritten), "=", kHeld},
      {"held exclusively", kThree, del(0), {sure, unread, L"label "}, "=", kLocked},
      {"a folder in the store's place", kThree, del(0), {sure, L"x Quorvel - Delete Error: Quorvel could not read its store file\r\n{store}…",
                                                         L"label "}, "", kFolder},
      {"the store went", kThree, del(0),
       {sure, L"x Quorvel - Delete Error: Quorvel's store file\r\n{store}\r\nis no longer there, so no saved ID was deleted. Quorvel will "
              L"now set up a new store, as at its first start.", kAsk, L"dialog …", L"list", L"label "}, "[QRVL_Settings]\r\nFLPATH=\r\n", kGone},
  };
  for (const Row& row : rows) Run(row);
}

// Picking shows the description with its first four "|" as line breaks; storing writes the box's text
// with brackets made round, keeps the table without a reload and asks whether to go on editing.
TEST_F(Program, ShowsAndStoresDescriptions) {
  const std::wstring more = L"? Done!: Continue editing the discription?", old = L"label old\r\ntext", box = L"box old|text";
  const auto store = [](int index, std::wstring typed) { return [index, typed](Main& m) { m.StoreDescription(index, typed); }; };
  const std::string two = kSettings + Id(1, "a", "old|text") + Id(2, "b", "b's");
  const std::wstring failed = L"x Quorvel - Description Error: Quorvel could not write the description to its store file\r\n{store}\r\n\r\n…"
                              L"\r\n\r\nThe description was not changed. If another program has the file open, close it and try again.";
  const std::wstring gone = L"x Quorvel - Description Error: Quorvel's store file\r\n{store}\r\nis no longer there, so the description was "
                            L"not stored.";
  const std::wstring changed = L"x Quorvel - Description Error: The saved IDs in Quorvel's store file\r\n{store}\r\nchanged since the list was "
                               L"filled: another program, or another copy of Quorvel, changed the file. The description was not stored; the "
                               L"store file was not changed.\r\n\r\nThe list now shows the saved IDs as the file holds them; pick the ID again.";
  const std::string b = kSettings + Id(1, "b", "b's");  // another copy deleted key-a
  const Row rows[] = {
      {"picked", kSettings + Id(1, "a", "1|2|3|4|5|6|[x]"), [](Main& m) { m.ShowDescription(0); m.ShowDescription(-1); },
       {L"label 1\r\n2\r\n3\r\n4\r\n5|6|[x]", L"box 1|2|3|4|5|6|[x]", L"label ", L"box "}},
      {"stored, Yes", two, [](Main& m) { m.StoreDescription(0, L"my [main] pilot|trades"); m.ShowDescription(1); m.ShowDescription(0); },
       {L"label my (main) pilot\r\ntrades", L"box my (main) pilot|trades", more, L"label b's", L"box b's", L"label my (main) pilot\r\ntrades",
        L"box my (main) pilot|trades"}, kSettings + Id(1, "a", "my (main) pilot|trades") + Id(2, "b", "b's")},
      {"empty, No", two, store(1, L""), {L"label ", L"box ", more, L"editor hidden"}, kSettings + Id(1, "a", "old|text") + Id(2, "b") + "DISC=\r\n",
       kAsIs, "n"},
      {"300 characters, written whole", two, store(0, std::wstring(300, L'x')), {L"label " + std::wstring(300, L'x'), L"box …", more},
       kSettings + Id(1, "a", std::string(300, 'x')) + Id(2, "b", "b's")},
      {"= ; and quotes as typed", two, store(0, L" \"x=y; ;z\" "), {L"label  \"x=y; ;z\" ", L"box  \"x=y; ;z\" ", more},
       kSettings + Id(1, "a", " \"x=y; ;z\" ") + Id(2, "b", "b's")},
      {"outside the code page", two, store(0, L"\x041f \u2708 \u00e9"), {L"label \x041f \u2708 \u00e9", L"box …", more},
       kSettings + Id(1, "a", "? ? \xe9") + Id(2, "b", "b's")},
      {"nothing picked", two, store(-1, L"x"), {kOops}},
      {"read-only", two, store(0, L"new"), {old, box, failed}, "=", kReadOnly},
      {"read-only, the same text", two, store(0, L"old|text"), {old, box, more}, "=", kReadOnly},  // nothing to write
      {"the store went", two, store(0, L"new"), {old, box, gone}, "", kGone},
      {"an ID added at the end", two, Then(two + Id(3, "c"), store(1, L"new")), {L"label new", L"box new", more},
       kSettings + Id(1, "a", "old|text") + Id(2, "b", "new") + Id(3, "c")},
      {"its section holds another ID", two, Then(b, store(0, L"new")), {kServers, kPrompt, L"list key-b", L"label ", changed}, b},
      {"the shown ID gone", two, Then(b, store(1, L"new")), {kServers, kPrompt, L"list key-b", L"label ", changed}, b},
      {"replaced whole by another copy", two, Then(kSettings + Id(1, "x"), store(0, L"new")), {kServers, kPrompt, L"list key-x", L"label ", changed},
       kSettings + Id(1, "x")},
  };
  for (const Row& row : rows) Run(row);
}

// Every saved ID the program held stays in FLIDs-archive.ini: a deleted one, or one gone with a store
// replaced by an older copy, is listed newest first and restored under the number a save would take,
// with its description; a delete happens only once the archive holds the ID. A refused restore or
// delete for good leaves the store and the archive byte for byte. After each row the archive is logged,
// "as it was" when its bytes did not change.
TEST_F(Program, KeepsEveryIdItHeldAndRestoresIt) {
  const std::string b_c = kSettings + Id(1, "b") + Id(2, "c", "third");
  const std::wstring sure = L"? Sure?: This will deleted the selected saved id, continue?";
  const std::wstring forget = L"?n! Quorvel - Delete for good: Delete the FL ID key-a for good?\r\n\r\nIt leaves Quorvel's archive and can "
                              L"never be restored. This cannot be undone.";
  const std::wstring unkept = L"x Quorvel - Delete Error: Quorvel could not keep the saved ID in its archive\r\n{archive}\r\n\r\n…\r\n\r\nThe "
                              L"saved ID was not deleted; the store file was not changed. Quorvel deletes a saved ID only once the archive "
                              L"holds it, so that it can be restored.…";
  const std::wstring not_restored = L"x Quorvel - Restore Error: The FL ID was not restored: ";
  // The row's act, with the archive logged afterwards.
  const auto then_archive = [this](std::function<void(Main&)> act) {
    return [this, act](Main& m) {
      const std::string archive = support::ReadBytes(ArchivePath());
      act(m);
      seen_.log.push_back(Archived() + (support::ReadBytes(ArchivePath()) == archive ? L" as it was" : L""));
    };
  };
  // key-a deleted and the deleted IDs listed, then the row's act.
  const auto after_deleting_a = [this, then_archive](std::function<void(Main&)> act) {
    return [this, act, then_archive](Main& m) {
      m.DeleteSelectedId(0);
      m.ListDeletedIds();
      seen_.log.clear();
      then_archive(act)(m);
    };
  };
  // The archive written as another program left it, then the deleted IDs listed and the row's act.
  const auto archive_holds = [this, then_archive](std::string bytes, std::function<void(Main&)> act) {
    return [this, bytes, act, then_archive](Main& m) {
      support::WriteBytes(ArchivePath(), bytes);
      m.ListDeletedIds();
      then_archive(act)(m);
    };
  };
  const auto restore = [](int index) { return [index](Main& m) { m.RestoreDeletedId(index); }; };
  const auto into_archive = [this](DWORD share, std::function<void(Main&)> act) {  // the archive held, read-only or a folder
    return [this, share, act](Main& m) {
      if (share == 1) SetFileAttributesW(ArchivePath().c_str(), FILE_ATTRIBUTE_READONLY);
      if (share == 2) DeleteFileW(ArchivePath().c_str()), CreateDirectoryW(ArchivePath().c_str(), nullptr);
      base::UniqueFile held(share == 0 ? CreateFileW(ArchivePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr);
      act(m);
      held.reset();
      SetFileAttributesW(ArchivePath().c_str(), FILE_ATTRIBUTE_NORMAL);
      RemoveDirectoryW(ArchivePath().c_str());
    };
  };
  const std::string planted = "[Archived_1]\r\nINSTALL=a[b\r\nMAN=m\r\nMANS=s\r\nLEFT=2026-01-01 00:00\r\n";
  const std::wstring game = dir_.File(L"Freelancer.exe");
  ASSERT_TRUE(CopyFileW((support::ExeFolder() + L"\\standin_game.exe").c_str(), game.c_str(), FALSE));
  const std::string with_game = "[QRVL_Settings]\r\nFLPATH=" + base::ToAnsi(game) + "\r\n" + Id(1, "a");
  const std::string kept = "[FLID_2]\r\nINSTALL=key-i\r\nMAN=man-i\r\nMANS=sig-i\r\nDISC=Saved before a change on " + support::Today() + "\r\n";
  const Row rows[] = {
      {"delete, then restore", kThree, then_archive([](Main& m) { m.DeleteSelectedId(0); m.ListDeletedIds(); m.RestoreDeletedId(0); }),
       {sure, kServers, kPrompt, L"list key-b key-c", L"i Done!: FL ID Deleted!", L"label ", L"deleted 20…-…-… …:… key-a first",
        kServers, kPrompt, L"list key-b key-c key-a", L"deleted", L"i Done!: FL ID Restored!\r\nThe FL ID key-a is saved ID number 3 again, "
        L"with its description.", L"archive key-a(first) key-b key-c(third) as it was"}, b_c + Id(3, "a", "first")},
      {"gone with a store replaced by an older copy", kThree + Id(4, "d", "fourth|pilot") + Id(5, "e"),
       Then(kThree, then_archive([](Main& m) { m.LoadStore(); m.ListDeletedIds(); })),
       {kServers, kPrompt, L"deleted 20… key-e , 20… key-d fourth", L"archive key-a(first) key-b key-c(third) key-d(fourth|pilot)@ key-e@"}, kThree},
      {"saved, described, and kept by a shortcut's run with no reload", with_game,
       then_archive([this, &game](Main& m) { m.SaveInstalledId(); m.FillIdList(); m.StoreDescription(1, L"mine"); Fresh().RunCommand(L"/play key-a");
                      AwaitGameEnd(game); }),
       {L"servers ", kPrompt, L"i Done!: FL ID Saved!…", L"list key-a key-i", L"label mine", L"box mine", L"? Done!: Continue editing the discription?",
        L"archive key-a key-i(mine)"}, with_game + Id(2, "i", "mine")},
      {"kept by a shortcut's run with no reload", with_game, then_archive([this, &game](Main&) { Fresh().RunCommand(L"/play key-a"); AwaitGameEnd(game); }),
       {L"archive key-a key-i(Saved before a change on " + base::FromAnsi(support::Today()) + L")"}, with_game + kept},
      {"restore into a store full since", kThree, after_deleting_a([](Main& m) { support::WriteBytes(m.IniPath, Full()); m.RestoreDeletedId(0); }),
       {not_restored + L"the store already holds 32766 saved IDs, the most Quorvel can keep. Delete one you no longer need first.",
        L"archive key-a(first)@ key-b key-c(third) as it was"}, Full()},
      {"restore into a read-only store", kThree, after_deleting_a([](Main& m) { SetFileAttributesW(m.IniPath.c_str(), FILE_ATTRIBUTE_READONLY);
                                                                                 m.RestoreDeletedId(0); }),
       {L"x Quorvel - Restore Error: Quorvel could not save the FL ID in\r\n{store}\r\n\r\n…", L"archive key-a(first)@ key-b key-c(third) as it was"}, b_c},
      {"restored meanwhile by another copy", kThree, after_deleting_a(Then(b_c + Id(3, "a"), restore(0))),
       {L"deleted", L"x Quorvel - Restore Error: The deleted IDs in Quorvel's archive\r\n{archive}\r\nchanged since the list was filled: another "
        L"copy of Quorvel restored or deleted the ID, or the store holds it again. Nothing was restored.…", L"archive key-a(first)@ key-b key-c(third) as it was"},
       b_c + Id(3, "a")},
      {"values the store cannot keep", kSettings, archive_holds(planted, restore(0)),
       {L"deleted 2026-01-01 00:00 a[b ", not_restored + L"its InstallKey value holds a line break or a square bracket, which the store file "
        L"cannot keep.", L"archive a[b@ as it was"}},
      {"a header Quorvel does not count", kSettings + "[flid_1]\r\nINSTALL=a\r\n",
       archive_holds("[Archived_1]\r\nINSTALL=x\r\nLEFT=2026-01-01 00:00\r\n", restore(0)),
       {L"deleted 2026-01-01 00:00 x ", not_restored + L"the store file\r\n{store}\r\nholds a saved-ID section whose header Quorvel does not count…",
        L"archive x@ as it was"}},
      {"nothing picked", kThree, after_deleting_a([](Main& m) { m.RestoreDeletedId(-1); m.ForgetDeletedId(-1); }),
       {kOops, kOops, L"archive key-a(first)@ key-b key-c(third) as it was"}, b_c},
      {"delete for good, No", kThree, after_deleting_a([](Main& m) { m.ForgetDeletedId(0); }),
       {forget, L"archive key-a(first)@ key-b key-c(third) as it was"}, b_c, kAsIs, "ycn"},
      {"delete for good", kThree, after_deleting_a([](Main& m) { m.ForgetDeletedId(0); }),
       {forget, L"deleted", L"archive key-b key-c(third)"}, b_c},
      {"a delete, the archive held", kThree, into_archive(0, [](Main& m) { m.DeleteSelectedId(0); }),
       {sure, kServers, kPrompt, L"list key-a key-b key-c", unkept, L"label "}},
      {"a delete, the archive read-only", kThree, into_archive(1, [](Main& m) { m.DeleteSelectedId(0); }),
       {sure, kServers, kPrompt, L"list key-a key-b key-c", unkept, L"label "}},
      {"a folder in the archive's place: silence at start-up, a box at a delete", kThree,
       into_archive(2, [this](Main&) { Fresh().StartUp(); program_->FillIdList(); program_->DeleteSelectedId(1); }),
       {L"key key-i", kServers, kPrompt, L"list key-a key-b key-c", sure, kServers, kPrompt, L"list key-a key-b key-c", unkept, L"label "}},
      {"a damaged archive: what it can read", kThree,
       archive_holds("\x01junk\r\n[Archived_1]\r\nINSTALL=key-z\r\nMAN=man-z\r\nDISC=old|pilot\r\nLEFT=2026-01-01 10:00\r\n[broken\r\nMAN=\r\n=x\r\n"
                     "[Archived_2]\r\nMAN=man-y", [this](Main&) { Fresh().StartUp(); program_->ListDeletedIds(); }),
       {L"deleted 20…  , 2026-01-01 10:00 key-z old", L"key key-i", kServers, kPrompt, L"deleted 20…  , 2026-01-01 10:00 key-z old",
        L"archive key-z(old|pilot)@ @ key-a(first) key-b key-c(third)"}},
  };
  for (const Row& row : rows) Run(row);
}

// One writer at a time: an operation waits its turn while another copy holds the store's lock, and
// after a few seconds says so and changes nothing; a lock whose holder ended is taken at once.
TEST_F(Program, TakesTurnsWithOtherCopies) {
  const auto held_by_another = [this](bool ends_holding, std::function<void(Main&)> act) {
    return [this, ends_holding, act](Main& m) {
      const base::UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr)), taken(CreateEventW(nullptr, TRUE, FALSE, nullptr));
      std::thread other([&] {  // another copy: the mutex as it would take it, released or abandoned
        const base::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, store::StoreLock::Name(StorePath()).c_str()));
        WaitForSingleObject(mutex.get(), INFINITE);
        SetEvent(taken.get());
        if (ends_holding) return;
        WaitForSingleObject(done.get(), INFINITE);
        ReleaseMutex(mutex.get());
      });
      WaitForSingleObject(taken.get(), INFINITE);
      if (ends_holding) other.join();
      act(m);
      SetEvent(done.get());
      if (other.joinable()) other.join();
    };
  };
  const Row rows[] = {
      {"busy", kThree, held_by_another(false, [](Main& m) { m.DeleteSelectedId(0); }),
       {L"? Sure?: This will deleted the selected saved id, continue?", L"x Quorvel - Delete Error: Another copy of Quorvel is busy with its "
        L"store file\r\n{store}\r\nand did not finish within 5 seconds. The saved ID was not deleted; the store file was not changed.\r\n\r\nTry "
        L"again in a moment.", L"label "}},
      {"abandoned by a copy that ended", kThree, held_by_another(true, [](Main& m) { m.DeleteSelectedId(2); }),
       {L"? Sure?: This will deleted the selected saved id, continue?", kServers, kPrompt, L"list key-a key-b", L"i Done!: FL ID Deleted!",
        L"label "}, kSettings + Id(1, "a", "first") + Id(2, "b")},
  };
  for (const Row& row : rows) Run(row);
  EXPECT_EQ(store::StoreLock::Name(L"C:\\Games\\Q\\FLIDs.ini"), store::StoreLock::Name(L"c:/games/q/..\\Q\\flids.INI"));
}

// A shortcut's run keeping the installed ID before it installs another, and the open window storing
// descriptions, on the same store at the same time, many times over: no kept ID is lost.
TEST_F(Program, TwoWritersNeverLoseASavedId) {
  const std::wstring game = dir_.File(L"Freelancer.exe");
  ASSERT_TRUE(CopyFileW((support::ExeFolder() + L"\\standin_game.exe").c_str(), game.c_str(), FALSE));
  Start(("[QRVL_Settings]\r\nFLPATH=" + base::ToAnsi(game) + "\r\n" + Id(1, "a")).c_str());
  constexpr int kRuns = 30;
  std::vector<std::wstring> said;  // what the shortcut's runs said: nothing
  std::thread shortcut([this, &said, &game] {
    support::Recorder quiet;
    for (int run = 1; run <= kRuns; ++run) {
      key_.Set("InstallKey", "run-" + std::to_string(run) + '\0');
      // Wine now and then fails to start the stand-in just copied ("Internal error"); such a run stops
      // before it keeps anything, as it should, and is made again.
      for (int tries = 0; tries < 3; ++tries) {
        quiet.log.clear();
        app::Main copy(quiet, quiet, quiet, app::Places{key_.path, dir_.path, Desktop()});
        copy.RunCommand(L"/play key-a");
        AwaitGameEnd(game);
        if (quiet.log.size() != 1 || !quiet.log[0].starts_with(L"x Quorvel - Launch Error")) break;
      }
      said.insert(said.end(), quiet.log.begin(), quiet.log.end());
    }
  });
  for (int edit = 0; edit < 3 * kRuns; ++edit) program_->StoreDescription(0, L"edit " + std::to_wstring(edit));
  shortcut.join();
  int kept = 0;
  for (int run = 1; run <= kRuns; ++run) kept += Store().find("INSTALL=run-" + std::to_string(run) + "\r\n") != std::string::npos;
  EXPECT_EQ(kept, kRuns) << Store();
  EXPECT_TRUE(said.empty()) << testing::PrintToString(said);
  EXPECT_TRUE(std::none_of(seen_.log.begin(), seen_.log.end(), [](const std::wstring& l) { return l[0] == L'x'; }))
      << testing::PrintToString(seen_.log);
}

// "Launch FL" checks the game's path, keeps the typed list in FLIPS, then starts the game: a store that
// cannot be written does not keep the player from the game, a start that fails is said with its reason.
TEST_F(Program, LaunchesTheGame) {
  const std::wstring game = dir_.File(L"Freelancer.exe"), junk = dir_.File(L"junk.exe");
  ASSERT_TRUE(CopyFileW((support::ExeFolder() + L"\\standin_game.exe").c_str(), game.c_str(), FALSE));
  support::WriteBytes(junk, "not a program");
  const auto settings = [](const std::wstring& path, const char* flips) {
    return "[QRVL_Settings]\r\nFLPATH=" + base::ToAnsi(path) + "\r\nFLIPS=" + flips + "\r\n";
  };
  const auto launch = [](std::wstring typed) { return [typed](Main& m) { m.LaunchGame(typed); }; };
  const Row rows[] = {
      {"started", settings(game, "old"), launch(L"1.2.3.4 | [::1]:2302"), {}, settings(game, "1.2.3.4 | [::1]:2302")},
      {"quoted, with blanks, brackets, =, ; and ,", settings(game, "old"), launch(L"  \"1.2.3.4\" |[::1]|host,name=x;y  "), {},
       settings(game, "  \"1.2.3.4\" |[::1]|host,name=x;y  ")},
      {"empty", settings(game, "old"), launch(L""), {}, settings(game, "")},
      {"the store held open", settings(game, "old"), launch(L"5.6.7.8"),
       {L"x Quorvel - Store Error: Quorvel could not remember the server list in its store file\r\n{store}\r\n\r\n…\r\n\r\nThe game was "
        L"started with the servers as typed; the next start of Quorvel shows the list it last remembered."}, "=", kHeld},
      {"the store went", settings(game, "old"), launch(L"5.6.7.8"),
       {L"x Quorvel - Store Error: Quorvel could not remember the server list: its store file\r\n{store}\r\nis no longer there. The game was "
        L"started with the servers as typed; the next start of Quorvel asks for the game again, as at its first start."}, "", kGone},
      {"no such game", settings(dir_.File(L"gone.exe"), "old"), launch(L"1.2.3.4"),
       {L"x Oops!: Path: " + dir_.File(L"gone.exe") + L"\r\nto Freelancer.exe does not exist!"}},
      {"no path", settings(L"", "old"), launch(L"1.2.3.4"), {L"x Oops!: Path: \r\nto Freelancer.exe does not exist!"}},
      {"not a program", settings(junk, "old"), launch(L"9.9.9.9"),
       {L"x Quorvel - Launch Error: Quorvel could not start the game\r\n" + junk + L"\r\n\r\n…"}, settings(junk, "9.9.9.9")},
  };
  for (const Row& row : rows) Run(row);
  EXPECT_TRUE(!seen_.log.empty() && seen_.log.back().find(L"%1") == std::wstring::npos) << "no box, or an unfilled insert in the system's reason";
}

// A shortcut's "/play <key> <digest>" installs the first saved ID in the store as it is now with that
// InstallKey and those three values, keeping an unsaved installed ID first, and starts the game with the
// remembered servers, with no box; an older shortcut's "/play <key>" the one saved ID with that key.
// Whatever stands in its way is one box, with the store and the registry as they were and no game
// started. The stand-in game's record of its command line is logged as "game <command line>".
TEST_F(Program, PlaysASavedIdFromItsShortcut) {
  const std::wstring game = dir_.File(L"Freelancer.exe"), junk = dir_.File(L"junk.exe");
  ASSERT_TRUE(CopyFileW((support::ExeFolder() + L"\\standin_game.exe").c_str(), game.c_str(), FALSE));
  support::WriteBytes(junk, "not a program");
  const auto settings = [](const std::wstring& path) { return "[QRVL_Settings]\r\nFLPATH=" + base::ToAnsi(path) + "\r\nFLIPS=1.2.3.4|5.6.7.8\r\n"; };
  const std::string three = settings(game) + Id(1, "a", "first") + Id(2, "b") + Id(3, "c");
  const std::string b_c = settings(game) + Id(1, "b") + Id(2, "c");  // another copy deleted key-a
  // The issue's store: one key, two IDs, the second described.
  const std::string shared = settings(game) + "[FLID_1]\r\nINSTALL=key-c\r\nMAN=man-one\r\nMANS=sig\r\n[FLID_2]\r\nINSTALL=key-c\r\n"
                             "MAN=man-two\r\nMANS=sig\r\nDISC=two\r\n" + Id(3, "i");
  // The stand-in's record, once there, then gone; and the stand-in itself, so that the next row finds no game running.
  const auto record = [this, &game](ULONGLONG wait = 15000) {
    WIN32_FIND_DATAW found{};
    for (const ULONGLONG end = GetTickCount64() + wait; GetTickCount64() <= end; Sleep(20))
      if (base::UniqueFind(FindFirstFileW(dir_.File(L"launch-*.txt").c_str(), &found))) {
        const std::string text = support::ReadBytes(dir_.File(found.cFileName));
        DeleteFileW(dir_.File(found.cFileName).c_str());
        AwaitGameEnd(game);
        return L"game " + base::FromAnsi(text.substr(text.rfind('\n') + 1));
      }
    return std::wstring(L"no game started");
  };
  const auto play = [this, record](std::wstring command, bool starts = false) {
    return [this, record, command, starts](Main&) {
      Fresh().RunCommand(command);
      if (starts) seen_.log.push_back(record());
    };
  };
  // What a shortcut made now gives for the saved ID with these values.
  const auto to = [](const char* key, const char* man, const char* sig) {
    return L"/play \"" + base::FromAnsi(key) + L"\" " + core::IdDigest(key, man, sig);
  };
  const auto to_t = [&to](const std::string& t) { return to(("key-" + t).c_str(), ("man-" + t).c_str(), ("sig-" + t).c_str()); };
  const std::wstring started = L"game \"" + game + L"\" -s1.2.3.4:2302 -s5.6.7.8:2302";
  const std::wstring not_played = L"The FL ID was not changed and the game was not started.";
  const std::wstring usage = L"! Quorvel - Command Line: Quorvel does not understand its command line:\r\n…\r\n\r\nStarted without arguments, "
                             L"Quorvel shows its main window. Its desktop shortcuts start it as\r\nquorvel.exe /play \"<InstallKey>\" <digest>\r\n"
                             L"which installs the saved ID with that InstallKey and digest and starts Freelancer. Nothing was changed.";
  const auto kept_as = [](int n) {
    return "[FLID_" + std::to_string(n) + "]\r\nINSTALL=key-i\r\nMAN=man-i\r\nMANS=sig-i\r\nDISC=Saved before a change on " + support::Today() + "\r\n";
  };
  const std::string kept = kept_as(3);
  const auto made_for = [this, record](int index, const wchar_t* name) {  // the shortcut the manage window makes, run as the shell runs it
    return [this, record, index, name](Main& m) {
      m.MakePlayShortcut(index);
      launcher::Shortcut made;
      EXPECT_TRUE(launcher::ReadShortcut(Desktop() + L"\\" + name + L".lnk", made).ok());
      Fresh().RunCommand(made.arguments);
      seen_.log.push_back(record());
    };
  };
  const auto while_running = [&game](std::function<void(Main&)> act) {  // the game started by the player, held at its start
    return [&game, act](Main& m) {
      STARTUPINFOW startup{};
      startup.cb = sizeof(startup);
      PROCESS_INFORMATION running{};
      ASSERT_TRUE(CreateProcessW(game.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup, &running));
      act(m);
      TerminateProcess(running.hProcess, 0);
      WaitForSingleObject(running.hProcess, 5000);
      CloseHandle(running.hThread);
      CloseHandle(running.hProcess);
    };
  };
  const std::wstring done_two = L"i Done!: The shortcut\r\nFreelancer - two\r\nis on your desktop.…";
  const Row rows[] = {
      {"found by its key and digest after a renumbering", three, Then(b_c, play(to_t("b"), true)),
       {started}, b_c + kept, kAsIs, "", "key-b/255|man-b/255|sig-b/255"},
      {"the shortcut made for the second of two with one key", shared, made_for(1, L"Freelancer - two"), {done_two, started}, "=", kAsIs, "",
       "key-c/255|man-two/255|sig/255"},
      {"the shortcut made for the first of two with one key", shared, made_for(0, L"Freelancer - ID key-c"),
       {L"i Done!: The shortcut\r\nFreelancer - ID key-c\r\nis on your desktop.…", started}, "=", kAsIs, "", "key-c/255|man-one/255|sig/255"},
      {"an older shortcut, one ID with its key", three, play(L"  /PLAY   key-c ", true), {started}, three + kept_as(4), kAsIs, "",
       "key-c/255|man-c/255|sig-c/255"},
      {"an older shortcut, two IDs with its key", shared, play(L"/play key-c"),
       {L"x Quorvel - Play Error: This shortcut names its saved ID by the InstallKey\r\nkey-c\r\nalone, and Quorvel's store file\r\n{store}\r\n"
        L"holds 2 saved IDs with that key, so Quorvel cannot tell which one it is for. " + not_played + L"\r\n\r\nThe shortcut was made by an "
        L"older Quorvel. A shortcut made now names its ID by all three of its values: Make a new shortcut in Quorvel's manage window."},
       "=", kAsIs, "", kAsGame},
      {"its key, other values", shared, play(to("key-c", "man-three", "sig")),
       {L"x Quorvel - Play Error: Quorvel's store file\r\n{store}\r\nholds no saved ID that is the one this shortcut was made for: the saved "
        L"IDs with its InstallKey\r\nkey-c\r\nhave another MPAccountName or MPAccountNameSig.\r\n\r\nThe ID was deleted since the shortcut was "
        L"made, or the store replaced. " + not_played + L" Make a new shortcut in Quorvel's manage window."}, "=", kAsIs, "", kAsGame},
      {"nothing installed, no game key", three, play(to_t("a")),
       {L"x Quorvel - Registry Error: " + not_played + L"\r\n\r\nQuorvel could not write InstallKey in the registry key\r\nHKEY_CURRENT_USER\\"
        L"{key}\r\n\r\n…"}, "=", kAsIs, "", "", "-"},
      {"the installed ID kept, then a value refused", three, Refusing(L"MPAccountName", play(to_t("a"))),
       {L"x Quorvel - Registry Error: " + not_played + L" Only the store changed:\r\n\r\nThe ID that was installed was not saved yet; Quorvel "
        L"saved it as number 4.\r\n\r\nQuorvel could not write MPAccountName in the registry key\r\nHKEY_CURRENT_USER\\{key}\r\n\r\n…"},
       three + kept_as(4), kAsIs, "", kAsGame},
      {"the game already running", three, while_running(play(to_t("a"))),
       {L"x Quorvel - Play Error: Freelancer is already running:\r\n" + game + L"\r\n\r\n" + not_played + L" The game takes its ID when it "
        L"starts: close the game, then use the shortcut again."}, "=", kAsIs, "", kAsGame},
      {"no such key", three, play(L"/play \"key-x\" 0123456789abcdef"),
       {L"x Quorvel - Play Error: Quorvel's store file\r\n{store}\r\nholds no saved ID with the InstallKey\r\nkey-x\r\n\r\nThe shortcut may be "
        L"older than the store: the ID was deleted since, or the store replaced. " + not_played + L" Make a new shortcut in Quorvel's manage "
        L"window."}, "=", kAsIs, "", kAsGame},
      {"no store", three, play(to_t("a")), {L"x Quorvel - Play Error: Quorvel's store file\r\n{store}\r\nis not there, so it holds "
        L"no saved ID to play. " + not_played + L"\r\n\r\nStart Quorvel from its exe to set up a store."}, "", kGone, "", kAsGame},
      {"the store held exclusively", three, play(to_t("a")), {L"x Quorvel - Play Error: Quorvel could not read its store file\r\n"
        L"{store}\r\n\r\n…\r\n\r\n" + not_played}, "=", kLocked, "", kAsGame},
      {"no game where FLPATH says", settings(dir_.File(L"gone.exe")) + Id(1, "a"), play(to_t("a")),
       {L"x Oops!: Path: " + dir_.File(L"gone.exe") + L"\r\nto Freelancer.exe does not exist!\r\n\r\n" + not_played}, "=", kAsIs, "", kAsGame},
      {"no FLPATH", "[QRVL_Settings]\r\nFLIPS=1.2.3.4\r\n" + Id(1, "a"), play(to_t("a")),
       {L"x Oops!: Quorvel's store file\r\n{store}\r\nholds no FLPATH, the path of Freelancer.exe. " + not_played + L"\r\n\r\nAdd a line "
        L"FLPATH= and the game's path (…\\EXE\\Freelancer.exe) to the file's [QRVL_Settings] section."}, "=", kAsIs, "", kAsGame},
      {"the game does not start", settings(junk) + Id(1, "a"), play(to_t("a")),
       {L"x Quorvel - Launch Error: Quorvel could not start the game\r\n" + junk + L"\r\n\r\n…\r\n\r\n" + not_played}, "=", kAsIs, "", kAsGame},
      {"the installed ID cannot be saved first", three, play(to_t("a")),
       {L"x Quorvel - Save Error: " + not_played + L" The installed FL ID is in no saved ID yet, and Quorvel could not save it first, so it "
        L"stays installed.\r\n\r\nQuorvel could not save the FL ID in\r\n{store}…"}, "=", kReadOnly, "", kAsGame},
      {"the installed ID can never be saved", three, play(to_t("a")),
       {L"x Quorvel - Unsaved FL ID: " + not_played + L" The installed FL ID cannot be kept in the store: its InstallKey value holds a line "
        L"break or a square bracket, which the store file cannot keep.\r\n\r\nIt is in no saved ID, so replacing it would lose it for good, "
        L"so it stays installed. Change FL ID in Quorvel's manage window replaces it after asking."}, "=", kAsIs, "", "a[b/4|man-i/6|sig-i/6",
       "a[b|man-i|sig-i"},
      {"not understood", three, [&](Main& m) {
         for (const wchar_t* line : {L"/play", L"/play a b", L"play a", L"/?", L"/play a 0123456789abcdef x"}) play(line)(m);
       }, {usage, usage, usage, usage, usage}, "=", kAsIs, "", kAsGame},
      {"no arguments", three, [this](Main&) { EXPECT_FALSE(Fresh().RunCommand(L" \t")); }, {}, "=", kAsIs, "", kAsGame},
  };
  for (const Row& row : rows) Run(row);
  Sleep(2000);  // a game started where none should be has written its record by now
  EXPECT_EQ(record(0), L"no game started");
}

// A game made ready to start never outlives Quorvel: killed between making the game and letting it go,
// Quorvel takes the held game with it. The killed Quorvel is a copy of this test program, which finds
// the game through its environment.
TEST(HeldGame, EndsWithQuorvel) {
  std::optional<support::TempDir> dir;  // made once, not again in the copy
  wchar_t game[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"QUORVEL_HELD_GAME", game, MAX_PATH) == 0) {
    dir.emplace();
    ASSERT_TRUE(CopyFileW((support::ExeFolder() + L"\\standin_game.exe").c_str(), dir->File(L"Freelancer.exe").c_str(), FALSE));
    wcscpy(game, dir->File(L"Freelancer.exe").c_str());
    SetEnvironmentVariableW(L"QUORVEL_HELD_GAME", game);
  }
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        launcher::PreparedGame held;
        if (held.Prepare(game, L"")) TerminateProcess(GetCurrentProcess(), 7);  // as Task Manager ends a process
      },
      testing::ExitedWithCode(7), "");
  SetEnvironmentVariableW(L"QUORVEL_HELD_GAME", nullptr);
  bool running = true;
  for (const ULONGLONG end = GetTickCount64() + 5000; running && GetTickCount64() <= end; Sleep(50))
    ASSERT_TRUE(launcher::GameRunning(game, running).ok());
  EXPECT_FALSE(running) << "a held game outlived the Quorvel that made it";
  const base::UniqueFile processes(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));  // such a game ended, not left to hold the test's output
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(processes.get(), &entry); running && more; more = Process32NextW(processes.get(), &entry))
    if (lstrcmpiW(entry.szExeFile, L"Freelancer.exe") == 0)
      TerminateProcess(base::UniqueHandle(OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID)).get(), 1);
}

// "Create desktop shortcut..." in the manage window's system menu puts a shortcut that plays the picked
// saved ID on the desktop, named after the first line of its description; one already there is replaced
// only after a Yes. The desktop's shortcuts are logged afterwards as "desktop <name>[ (old)]...".
TEST_F(Program, MakesADesktopShortcut) {
  const std::wstring game = dir_.File(L"Freelancer.exe");
  ASSERT_TRUE(CopyFileW((support::ExeFolder() + L"\\standin_game.exe").c_str(), game.c_str(), FALSE));
  const std::string settings = "[QRVL_Settings]\r\nFLPATH=" + base::ToAnsi(game) + "\r\n";
  const std::string three = settings + Id(1, "a", " first. |pilot") + Id(2, "b") + Id(3, "c", "a:b/c?*\"<>\\|x");
  const auto make = [this](int index, const char* there = nullptr) {
    return [this, index, there](Main& m) {
      if (there) support::WriteBytes(Desktop() + L"\\" + base::FromAnsi(there), "old");
      m.MakePlayShortcut(index);
      std::wstring names = L"desktop";
      for (const auto& file : std::filesystem::directory_iterator(Desktop()))
        names += L" " + file.path().filename().wstring() + (support::ReadBytes(file.path().wstring()) == "old" ? L" (old)" : L"");
      for (const auto& file : std::filesystem::directory_iterator(Desktop())) std::filesystem::remove(file.path());
      seen_.log.push_back(names);
    };
  };
  const auto done = [](const wchar_t* name) {
    return L"i Done!: The shortcut\r\n" + std::wstring(name) + L"\r\nis on your desktop. Double-click it to install this saved ID and start "
           L"Freelancer with the servers Quorvel remembers.";
  };
  const auto there = [](const std::wstring& plays) {
    return L"?n! Quorvel - Shortcut: A shortcut named\r\nFreelancer - first\r\nis already on your desktop. " + plays + L"\r\n\r\nReplace it?";
  };
  const std::wstring unknown = there(L"Quorvel cannot tell which saved ID it plays: it is not a shortcut that this Quorvel made.");
  // A shortcut of this Quorvel's already named "Freelancer - first", playing the saved ID with these values.
  const auto made = [this](const char* t, const wchar_t* exe = nullptr) {
    return [this, t, exe](Main& m) {
      wchar_t own[MAX_PATH] = {};
      GetModuleFileNameW(nullptr, own, MAX_PATH);
      const std::string k = std::string("key-") + t;
      launcher::SaveShortcut({exe ? exe : own, core::PlayArguments(base::FromAnsi(k), core::IdDigest(k, std::string("man-") + t,
                             std::string("sig-") + t)), L"", L"", L""}, Desktop() + L"\\Freelancer - first.lnk");
      m.MakePlayShortcut(0);
      seen_.log.push_back(L"desktop");
      for (const auto& file : std::filesystem::directory_iterator(Desktop())) std::filesystem::remove(file.path());
    };
  };
  const std::string pilots = settings + Id(1, "a", "pilot") + Id(2, "b", "Pilot|x") + Id(3, "c");
  const std::string renumbered = settings + Id(1, "b", "Pilot|x") + Id(2, "c");  // key-a deleted
  const std::string b = settings + Id(1, "b");  // another copy deleted key-a
  const Row rows[] = {
      {"described", three, make(0), {done(L"Freelancer - first"), L"desktop Freelancer - first.lnk"}},
      {"with no description", three, make(1), {done(L"Freelancer - ID key-b"), L"desktop Freelancer - ID key-b.lnk"}},
      {"two with one description", pilots, make(1), {done(L"Freelancer - Pilot (key-b)"), L"desktop Freelancer - Pilot (key-b).lnk"}},
      {"with no description, before a delete", pilots, make(2), {done(L"Freelancer - ID key-c"), L"desktop Freelancer - ID key-c.lnk"}},
      {"with no description, after the delete", renumbered, make(1), {done(L"Freelancer - ID key-c"), L"desktop Freelancer - ID key-c.lnk"}},
      {"its description alone again after the delete", renumbered, make(0), {done(L"Freelancer - Pilot"), L"desktop Freelancer - Pilot.lnk"}},
      {"there, playing this ID", three, made("a"), {there(L"It plays this saved ID."), done(L"Freelancer - first"), L"desktop"}},
      {"there, playing another ID", three, made("c"), {there(L"It plays another saved ID: number 3, with the InstallKey\r\nkey-c"), L"desktop"},
       "=", kAsIs, "n"},
      {"there, playing an ID no longer saved", three, made("x"), {there(L"It plays no saved ID the store now holds."), L"desktop"}, "=", kAsIs, "n"},
      {"there, from another Quorvel", three, made("a", L"C:\\other\\quorvel.exe"), {unknown, L"desktop"}, "=", kAsIs, "n"},
      {"what a file name cannot hold", three, make(2), {done(L"Freelancer - a_b_c______"), L"desktop Freelancer - a_b_c______.lnk"}},
      {"already there, No", three, make(0, "Freelancer - first.lnk"), {unknown, L"desktop Freelancer - first.lnk (old)"}, "=", kAsIs, "n"},
      {"already there, Yes", three, make(0, "Freelancer - first.lnk"), {unknown, done(L"Freelancer - first"), L"desktop Freelancer - first.lnk"}},
      {"nothing picked", three, make(-1), {kOops, L"desktop"}},
      {"its section holds another ID", three, Then(b, make(0)), {L"servers ", kPrompt, L"list key-b", L"label ", L"x Quorvel - Shortcut Error: "
       L"The saved IDs in Quorvel's store file\r\n{store}\r\nchanged since the list was filled: another program, or another copy of Quorvel, "
       L"changed the file. No shortcut was made.…", L"desktop"}, b},
      {"the store went", three, make(0), {L"x Quorvel - Shortcut Error: Quorvel's store file\r\n{store}\r\nis no longer there. No shortcut was "
       L"made.", L"desktop"}, "", kGone},
      {"no game where FLPATH says", Id(1, "a"), make(0), {L"x Oops!: Path: \r\nto Freelancer.exe does not exist!", L"desktop"}},
      {"the desktop is a file", three, [&](Main& m) { RemoveDirectoryW(Desktop().c_str()); support::WriteBytes(Desktop(), "");
                                                      m.MakePlayShortcut(0); DeleteFileW(Desktop().c_str()); },
       {L"x Quorvel - Shortcut Error: Quorvel could not make the shortcut\r\n" + Desktop() + L"\\Freelancer - first.lnk\r\n\r\n…\r\n\r\nNo "
        L"shortcut was made."}},
  };
  for (const Row& row : rows) Run(row);
}

}  // namespace
