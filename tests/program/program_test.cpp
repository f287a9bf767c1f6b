// The program's behaviour, each in one table, under Wine against a scratch registry key and real files,
// with every box, view change and printed page logged in order (tests/support): no window is made.
// Each row starts the program afresh on a store and an installed ID, does one thing as the player
// would, and compares what the player saw, the store's bytes and the registry.
#include <functional>

#include "base/text.h"
#include "support/support.h"

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
// What a reload of a store with kSettings shows.
const std::wstring kServers = L"servers 1.2.3.4", kPrompt = L"prompt - Select ID -";
const std::wstring kSaved = L"i Done!: FL ID Saved!\r\nGo to the ID manager to add a discription/change id";
const std::wstring kSure = L"? Sure?: This will deleted the selected saved id, continue?";
const std::wstring kOops = L"! Oops!: Please select an ID!";

struct Row {
  const char* what;
  std::string store;                 // before; the program starts on it
  std::function<void(Main&)> act;    // what the player does
  Lines log;                         // what the player saw after start-up; {store} is the store's path
  std::string after = "=";           // the store afterwards; "=" unchanged, "" none
  const char* answers = "";          // y n o c: Yes, No, OK, Cancel, in order; then Yes or OK
  std::string installed = "key-i|man-i|sig-i";  // "-": the game's key is missing
  std::string registry = "";         // as ProgramTest::Installed() shows it afterwards, when given
};

class Program : public support::ProgramTest {
 protected:
  void Run(const Row& row) {
    SCOPED_TRACE(row.what);
    seen_ = {};
    RemoveDirectoryW(StorePath().c_str());  // a folder an earlier row put in the store's place
    Start(row.store.c_str(), row.installed == "-" ? nullptr : row.installed.c_str());
    for (const char* a = row.answers; *a; ++a)
      seen_.answers.push_back(*a == 'y' ? Answer::Yes : *a == 'n' ? Answer::No : *a == 'o' ? Answer::Ok : Answer::Cancel);
    row.act(*program_);
    EXPECT_TRUE(Saw(row.log));
    EXPECT_EQ(Store(), row.after == "=" ? row.store : row.after);
    if (!row.registry.empty()) {
      EXPECT_EQ(Installed(), row.registry);
    }
  }
  testing::AssertionResult Saw(Lines expected) {
    for (std::wstring& line : expected)
      for (const auto& [name, value] : {std::pair{L"{store}", StorePath()}, {L"{key}", key_.path}})
        if (const auto at = line.find(name); at != std::wstring::npos) line.replace(at, wcslen(name), value);
    return support::LogIs(seen_.log, expected);
  }
};

// Start-up shows the installed ID before anything else. Without a store (or with one the file test does
// not see) the first run asks for the game and writes its path; Cancel there ends the program with
// nothing written. A store that cannot be read or created is said, and left as it is.
TEST_F(Program, StartsUp) {
  const std::wstring ask = L"oc First load: Quorvel needs to locate your Freelancer exe, click ok to set it.";
  const std::wstring dialog = L"dialog Freelancer.exe | *.exe .exe", game = L"C:\\FL\\Freelancer.exe";
  const auto again = [this](std::function<void()> before) {
    return [this, before](Main& m) { before(); m.StartUp(); };
  };
  const auto none = [this] { DeleteFileW(StorePath().c_str()); };
  const Row rows[] = {
      {"first run", "", again([&] { none(); seen_.files = {game}; }), {L"key key-i", ask, dialog},
       "[QRVL_Settings]\r\nFLPATH=C:\\FL\\Freelancer.exe\r\n"},
      {"Cancel at the first run", "", again(none), {L"key key-i", ask, L"closed"}, "", "c"},
      {"the file dialog cancelled", "", again(none), {L"key key-i", ask, dialog}, "[QRVL_Settings]\r\nFLPATH=\r\n"},
      {"a store", kThree, [](Main& m) { m.StartUp(); m.FillIdList(); }, {L"key key-i", kServers, kPrompt, L"list key-a key-b key-c"}},
      {"a hidden store", kThree, again([this] { SetFileAttributesW(StorePath().c_str(), FILE_ATTRIBUTE_HIDDEN); }),
       {L"key key-i", ask, dialog}, "[QRVL_Settings]\r\nFLPATH=\r\nFLIPS=1.2.3.4\r\n" + kThree.substr(kSettings.size())},
      {"a folder in the store's place", kThree, again([&] { none(); CreateDirectoryW(StorePath().c_str(), nullptr); }),
       {L"key key-i", ask, dialog, L"x Quorvel - Store Error: Quorvel could not create its store file\r\n{store}\r\n\r\n…\r\n\r\n"
        L"The folder is not writable. Quorvel uses the game's path until it closes and asks again at the next start. …"}, ""},
      {"a store held exclusively", kThree, [this](Main& m) { const auto held = support::Hold(StorePath(), 0); m.StartUp(); },
       {L"key key-i", L"x Quorvel - Store Error: Quorvel could not read its store file\r\n{store}\r\n\r\n…\r\n\r\n"
                      L"No saved ID is shown until the file can be read. Nothing was changed in it."}},
  };
  for (const Row& row : rows) Run(row);
  EXPECT_EQ(program_->IdCount, 0);
  Run({"first run, with what it keeps", "", again([&] { none(); seen_.files = {game}; }), {L"key key-i", ask, dialog},
       "[QRVL_Settings]\r\nFLPATH=C:\\FL\\Freelancer.exe\r\n"});
  EXPECT_EQ(program_->FirstLoadAnswer + L" " + program_->GamePath, L"1 " + game);
  Run({"Cancel, with what it keeps", "", again(none), {L"key key-i", ask, L"closed"}, "", "c"});
  EXPECT_EQ(program_->FirstLoadAnswer + (program_->Ended() ? L" ended" : L""), L"2 ended");
  Run({"a store, with what it keeps", kThree, [](Main& m) { m.StartUp(); }, {L"key key-i", kServers, kPrompt}});
  EXPECT_EQ(program_->SavedIds[1], (app::SavedIdRow{L"", L"key-a", L"man-a", L"sig-a", L"first"}));
  EXPECT_EQ(program_->GamePath + L" " + program_->ServerIps, L"C:\\FL\\Freelancer.exe 1.2.3.4");
}

// "Change FL ID" writes the picked row's values, each padded with zero bytes to 255, an empty one
// blanked; "Clear installed FL ID" blanks all three. Then the labels show the registry afresh.
TEST_F(Program, InstallsAndClearsTheInstalledId) {
  const std::wstring change = L"? Quorvel: This will reset your FL ID to the one selected, continue?";
  const std::wstring clear = L"? Sure?: This will clear the current installed FL ID, continue?";
  const std::string store = kSettings + Id(1, "a") + "[FLID_2]\r\nINSTALL=key-b\r\nMAN=\r\nMANS=sig-b\r\n";
  const char *kGame = "key-i|man-i|sig-i", *kAsGame = "key-i/6|man-i/6|sig-i/6";
  const std::wstring failed = L"Quorvel could not write InstallKey, MPAccountName, MPAccountNameSig in the registry key\r\n"
                              L"HKEY_CURRENT_USER\\{key}\r\n\r\n…\r\n\r\nIf the key is missing, Freelancer has not been "
                              L"installed or started for this Windows user.";
  const Row rows[] = {
      {"change", store, [](Main& m) { m.InstallSelectedId(1); }, {change, L"key key-b", L"i Done!: FL ID Changed."}, "=",
       "", "key-i|man-i|sig-i", "key-b/255|/255|sig-b/255"},
      {"clear", store, [](Main& m) { m.ClearInstalledId(); }, {clear, L"key ", L"i Done!: FL ID Cleard!"}, "=", "",
       "key-i|man-i|sig-i", "/255|/255|/255"},
      {"change, No", store, [](Main& m) { m.InstallSelectedId(0); }, {change}, "=", "n", kGame, kAsGame},
      {"clear, No", store, [](Main& m) { m.ClearInstalledId(); }, {clear}, "=", "n", kGame, kAsGame},
      {"nothing picked", store, [](Main& m) { m.InstallSelectedId(-1); }, {kOops}, "=", "", kGame, kAsGame},
      {"rows outside the table", store, [](Main& m) { for (int r : {0, 3, 32767}) m.InstallSavedId(static_cast<std::int16_t>(r)); },
       {}, "=", "", kGame, kAsGame},
      {"no game key: change", store, [](Main& m) { m.InstallSelectedId(0); },
       {change, L"key ", L"x Quorvel - Registry Error: The FL ID was not changed.\r\n\r\n" + failed}, "=", "", "-", "(missing)/9|(missing)/9|(missing)/9"},
      {"no game key: clear", store, [](Main& m) { m.ClearInstalledId(); },
       {clear, L"key ", L"x Quorvel - Registry Error: The FL ID was not cleared.\r\n\r\n" + failed}, "=", "", "-"},
  };
  for (const Row& row : rows) Run(row);
  EXPECT_FALSE(key_.Exists()) << "a write created the game's key";
}

TEST_F(Program, RefreshAndPrintReadTheRegistryAtThatMoment) {
  const Row rows[] = {
      {"refresh", kSettings, [this](Main& m) { key_.Set("InstallKey", "new\0"); m.ShowInstalledId(); }, {L"key new"}},
      {"print", kSettings, [this](Main& m) { m.PrintInstalledId(); key_.Set("InstallKey", "new\0"); m.PrintInstalledId(); },
       {L"printed key-i", L"printed new"}},
      {"print with no game key", kSettings, [](Main& m) { m.PrintInstalledId(); }, {L"printed "}, "=", "", "-"},
      {"print fails", kSettings, [this](Main& m) { seen_.print_error = ERROR_INVALID_PRINTER_NAME; m.PrintInstalledId(); },
       {L"x Quorvel - Print Error: Unable to print.\r\nCheck your printer is plugged in and switch on ;)"}},
  };
  for (const Row& row : rows) Run(row);
}

// A save goes under the next free number of the file as it is at that moment, then reloads; what the
// store cannot keep, or a store that cannot take it, is refused with the store unchanged.
TEST_F(Program, SavesTheInstalledId) {
  const auto save = [](Main& m) { m.SaveInstalledId(); m.FillIdList(); };
  const auto saveAs = [this](DWORD type, std::string bytes) {  // an installed key stored by another program
    return [this, type, bytes](Main& m) { key_.Set("InstallKey", bytes, type); m.SaveInstalledId(); m.FillIdList(); };
  };
  const auto Section = [](const std::string& key) { return "[FLID_1]\r\nINSTALL=" + key + "\r\nMAN=man-i\r\nMANS=sig-i\r\n"; };
  const std::string gap = kSettings + Id(1, "a") + Id(3, "c") + "DISC=kept\r\n";
  std::string full = kSettings;
  for (int i = 1; i <= 32766; ++i) full += "[FLID_" + std::to_string(i) + "]\r\n";
  const std::wstring refused = L"x Quorvel - Save Error: The installed FL ID was not saved: its ";
  const std::wstring breaks = L" value holds a line break or a square bracket, which the store file cannot keep.";
  const std::wstring changes = L" value would not come back from the store file as it is (it is longer than 254 "
                               L"characters, or begins or ends with a blank or a quote).";
  const Row rows[] = {
      {"after the settings", kSettings, save, {kServers, kPrompt, kSaved, L"list key-i"}, kSettings + Id(1, "i")},
      {"after three, twice", kThree, [](Main& m) { m.SaveInstalledId(); m.SaveInstalledId(); },
       {kServers, kPrompt, kSaved, kServers, kPrompt, kSaved}, kThree + Id(4, "i") + Id(5, "i")},
      {"into a gap, never over an ID", gap, save, {kServers, kPrompt, kSaved, L"list key-a key-i key-c"}, gap + Id(2, "i")},
      {"after a clear", kSettings, save, {kServers, kPrompt, kSaved, L"list "}, kSettings + "[FLID_1]\r\nINSTALL=\r\nMAN=\r\nMANS=\r\n",
       "", "||"},
      {"a bracket", kSettings, save, {refused + L"InstallKey" + breaks, L"list"}, "=", "", "a[b|m|s"},
      {"a line break", kSettings, save, {refused + L"MPAccountName" + breaks, L"list"}, "=", "", "k|a\nb|s"},
      {"a closing bracket", kSettings, save, {refused + L"MPAccountNameSig" + breaks, L"list"}, "=", "", "k|m|b]"},
      {"quotes around", kSettings, save, {refused + L"InstallKey" + changes, L"list"}, "=", "", "\"k\"|m|s"},
      {"a blank at the end", kSettings, save, {refused + L"MPAccountName" + changes, L"list"}, "=", "", "k|m |s"},
      {"255 characters", kSettings, save, {refused + L"InstallKey" + changes, L"list"}, "=", "", std::string(255, 'k') + "|m|s"},
      {"a full store", full, [](Main& m) { m.SaveInstalledId(); },
       {L"x Quorvel - Save Error: The installed FL ID was not saved: the store already holds 32766 saved IDs, the most "
        L"Quorvel can keep. Delete one you no longer need first."}},
      {"REG_DWORD 1", kSettings, saveAs(REG_DWORD, "\x01\0\0\0"), {kServers, kPrompt, kSaved, L"list \x01"}, kSettings + Section("\x01")},
      {"REG_DWORD that reads as CR LF", kSettings, saveAs(REG_DWORD, "\r\n\0\0"), {refused + L"InstallKey" + breaks, L"list"}},
      {"REG_BINARY without a zero", kSettings, saveAs(REG_BINARY, "abc"), {kServers, kPrompt, kSaved, L"list abc"}, kSettings + Section("abc")},
      {"REG_MULTI_SZ", kSettings, saveAs(REG_MULTI_SZ, "one\0two\0\0"), {kServers, kPrompt, kSaved, L"list one"}, kSettings + Section("one")},
      {"REG_EXPAND_SZ, not expanded", kSettings, saveAs(REG_EXPAND_SZ, "%TEMP%\\x\0"), {kServers, kPrompt, kSaved, L"list %TEMP%\\x"},
       kSettings + Section("%TEMP%\\x")},
      {"= and ;, and 254 characters", kSettings, saveAs(REG_SZ, "a=b;c" + std::string(249, 'c')), {kServers, kPrompt, kSaved, L"list …"},
       kSettings + Section("a=b;c" + std::string(249, 'c'))},
      {"100 KB", kSettings, saveAs(REG_BINARY, std::string(100000, 'k')), {refused + L"InstallKey" + changes, L"list"}},
      {"a read-only store", kThree, [this](Main& m) { SetFileAttributesW(StorePath().c_str(), FILE_ATTRIBUTE_READONLY); m.SaveInstalledId();
                                                     SetFileAttributesW(StorePath().c_str(), 0); },
       {kServers, kPrompt, L"x Quorvel - Save Error: Quorvel could not save the FL ID in\r\n{store}\r\n\r\n…"}},
      {"a store held exclusively", kThree, [this](Main& m) { const auto held = support::Hold(StorePath(), 0); m.SaveInstalledId(); },
       {L"x Quorvel - Store Error: Quorvel could not read its store file\r\n{store}…", L"x Quorvel - Save Error: Quorvel could not save the FL ID in\r\n{store}…"}},
      {"a folder in the store's place", kThree, [this](Main& m) { DeleteFileW(StorePath().c_str()); CreateDirectoryW(StorePath().c_str(), nullptr); m.SaveInstalledId(); },
       {L"oc First load: …", L"closed"}, "", "c"},
      {"a header in other letter case", kSettings + "[flid_1]\r\nINSTALL=a\r\n", save,
       {L"x Quorvel - Save Error: The installed FL ID was not saved: the store file\r\n{store}\r\nholds a saved-ID section "
        L"whose header Quorvel does not count…", L"list"}},
  };
  for (const Row& row : rows) Run(row);

  Start(kThree.c_str());
  {
    const base::UniqueFile held = support::Hold(StorePath(), FILE_SHARE_READ);
    program_->SaveInstalledId();
  }
  EXPECT_TRUE(Saw({kServers, kPrompt, L"x Quorvel - Save Error: Quorvel could not save the FL ID in\r\n{store}\r\n\r\n…"
                   L"\r\n\r\nThe store was not changed. If Quorvel stands in a folder you may not write to, such as "
                   L"Program Files, move it to a folder of your own."}));
  EXPECT_EQ(Store(), kThree);
}

// A save when the store has gone: numbered from the file as it is now, so a new store holds it as
// FLID_1; when the whole folder went, the first-run question comes, and Cancel ends the program.
TEST_F(Program, SavesIntoAStoreThatWentAway) {
  const Row rows[] = {
      {"the store deleted", kThree, [this](Main& m) { DeleteFileW(StorePath().c_str()); m.SaveInstalledId(); },
       {L"servers ", kPrompt, kSaved}, "[FLID_1]\r\nINSTALL=key-i\r\nMAN=man-i\r\nMANS=sig-i\r\n"},
      {"the folder deleted", kThree, [this](Main& m) { DeleteFileW(StorePath().c_str()); RemoveDirectoryW(dir_.path.c_str()); m.SaveInstalledId(); },
       {L"oc First load: …", L"closed"}, "", "c"},
  };
  for (const Row& row : rows) Run(row);
  CreateDirectoryW(dir_.path.c_str(), nullptr);
}

// Deleting cuts the section and renumbers the later ones with their descriptions in one replacement;
// a store that does not fit, cannot be read or written is left byte for byte and said so.
TEST_F(Program, DeletesASavedId) {
  const auto del = [](int index) { return [index](Main& m) { m.DeleteSelectedId(index); }; };
  const auto lines = [](const std::wstring& list, const std::wstring& box) {
    return Lines{kSure, kServers, kPrompt, L"list" + list, box, L"label "};
  };
  const std::wstring done = L"i Done!: FL ID Deleted!";
  const std::wstring laid_out = L"x Quorvel - Delete Error: Quorvel's store file\r\n{store}\r\nis not laid out as Quorvel "
                                L"writes it: …\r\n\r\nThe saved ID was not deleted; the store file was not changed.";
  std::string twelve = kSettings, eleven = kSettings;
  for (int n = 1; n <= 12; ++n) twelve += Id(n, std::to_string(n), "d" + std::to_string(n));
  for (int n = 2; n <= 12; ++n) eleven += Id(n - 1, std::to_string(n), "d" + std::to_string(n));
  const auto damage = [this](std::string bytes) {
    return [this, bytes](Main& m) { support::WriteBytes(StorePath(), bytes); m.DeleteSelectedId(0); };
  };
  const auto locked = [this](DWORD share) {
    return [this, share](Main& m) {
      const base::UniqueFile held = support::Hold(StorePath(), share);
      m.DeleteSelectedId(0);
    };
  };
  const Row rows[] = {
      {"the only ID", kSettings + Id(1, "a", "x"), del(0), lines(L"", done), kSettings},
      {"the last of three", kThree, del(2), lines(L" key-a key-b", done), kSettings + Id(1, "a", "first") + Id(2, "b")},
      {"the first of three", kThree, del(0), lines(L" key-b key-c", done), kSettings + Id(1, "b") + Id(2, "c", "third")},
      {"the first of twelve", twelve, del(0), lines(L" key-2 key-3 key-4 key-5 key-6 key-7 key-8 key-9 key-10 key-11 key-12", done), eleven},
      {"settings behind it", Id(1, "a") + kSettings + Id(2, "b"), del(0), lines(L" key-b", done), kSettings + Id(1, "b")},
      {"settings behind the last", Id(1, "a") + Id(2, "b") + kSettings, del(1), lines(L" key-a", done), Id(1, "a") + kSettings},
      {"No", kThree, del(1), {kSure, L"label "}, "=", "n"},
      {"nothing picked", kThree, del(-1), {kOops}},
      {"its header went", kThree, damage(kSettings + Id(2, "b") + Id(3, "c")), lines(L"  key-b", laid_out), kSettings + Id(2, "b") + Id(3, "c")},
      {"a later header went", kThree, damage(kSettings + Id(1, "a") + Id(3, "c")), lines(L" key-a ", laid_out), kSettings + Id(1, "a") + Id(3, "c")},
      {"a renumbered header ends the file", kThree, damage(kSettings + Id(1, "a") + "[FLID_2]"), lines(L" key-a ", laid_out), kSettings + Id(1, "a") + "[FLID_2]"},
      {"read-only", kThree, [this](Main& m) { SetFileAttributesW(StorePath().c_str(), FILE_ATTRIBUTE_READONLY); m.DeleteSelectedId(0); SetFileAttributesW(StorePath().c_str(), 0); },
       lines(L" key-a key-b key-c", L"x Quorvel - Delete Error: Quorvel could not write its store file\r\n{store}\r\n\r\n…\r\n\r\n"
                                     L"The saved ID was not deleted; the store file was not changed. If another program has the file open, close it and try again.")},
      {"held open by another program", kThree, locked(FILE_SHARE_READ), lines(L" key-a key-b key-c", L"x Quorvel - Delete Error: Quorvel could not write its store file\r\n{store}…")},
      {"held open exclusively", kThree, locked(0), {kSure, L"x Quorvel - Delete Error: Quorvel could not read its store file\r\n{store}\r\n\r\n…"
                                                        L"\r\n\r\nThe saved ID was not deleted; the store file was not changed.", L"label "}},
      {"a folder in the store's place", kThree, [this](Main& m) { DeleteFileW(StorePath().c_str()); CreateDirectoryW(StorePath().c_str(), nullptr); m.DeleteSelectedId(0); },
       {kSure, L"x Quorvel - Delete Error: Quorvel could not read its store file\r\n{store}\r\n\r\n…", L"label "}, ""},
      {"the store went", kThree, [this](Main& m) { DeleteFileW(StorePath().c_str()); m.DeleteSelectedId(0); },
       {kSure, L"x Quorvel - Delete Error: Quorvel's store file\r\n{store}\r\nis no longer there, so no saved ID was deleted. "
               L"Quorvel will now set up a new store, as at its first start.", L"oc First load: …", L"dialog …", L"list", L"label "},
       "[QRVL_Settings]\r\nFLPATH=\r\n"},
  };
  for (const Row& row : rows) Run(row);
}

// Picking shows the description with its first four "|" as line breaks; storing writes the box's text
// with brackets made round, keeps the table without a reload and asks whether to go on editing.
TEST_F(Program, ShowsAndStoresDescriptions) {
  const std::wstring more = L"? Done!: Continue editing the discription?";
  const auto store = [](int index, std::wstring typed) { return [index, typed](Main& m) { m.StoreDescription(index, typed); }; };
  const std::string two = kSettings + Id(1, "a", "old|text") + Id(2, "b", "b's");
  const std::wstring failed = L"x Quorvel - Description Error: Quorvel could not write the description to its store file\r\n"
                              L"{store}\r\n\r\n…\r\n\r\nThe description was not changed. If another program has the file open, close it and try again.";
  const Row rows[] = {
      {"picked", kSettings + Id(1, "a", "one|two|three|four|five|six|[x]"), [](Main& m) { m.ShowDescription(0); m.ShowDescription(-1); },
       {L"label one\r\ntwo\r\nthree\r\nfour\r\nfive|six|[x]", L"box one|two|three|four|five|six|[x]", L"label ", L"box "}},
      {"stored, Yes", two, [](Main& m) { m.StoreDescription(0, L"my [main] pilot|trades"); m.ShowDescription(1); m.ShowDescription(0); },
       {L"label my (main) pilot\r\ntrades", L"box my (main) pilot|trades", more, L"label b's", L"box b's", L"label my (main) pilot\r\ntrades", L"box my (main) pilot|trades"},
       kSettings + Id(1, "a", "my (main) pilot|trades") + Id(2, "b", "b's")},
      {"empty, No", two, store(1, L""), {L"label ", L"box ", more, L"editor hidden"}, kSettings + Id(1, "a", "old|text") + Id(2, "b") + "DISC=\r\n", "n"},
      {"300 characters, written whole", two, store(0, std::wstring(300, L'x')), {L"label " + std::wstring(300, L'x'), L"box …", more},
       kSettings + Id(1, "a", std::string(300, 'x')) + Id(2, "b", "b's")},
      {"nothing picked", two, store(-1, L"x"), {kOops}},
      {"held open", two, [this](Main& m) { const base::UniqueFile held = support::Hold(StorePath(), FILE_SHARE_READ); m.StoreDescription(0, L"new"); },
       {L"label old\r\ntext", L"box old|text", failed}},
      {"read-only", two, [this](Main& m) { SetFileAttributesW(StorePath().c_str(), FILE_ATTRIBUTE_READONLY); m.StoreDescription(0, L"new");
                                           SetFileAttributesW(StorePath().c_str(), 0); }, {L"label old\r\ntext", L"box old|text", failed}},
      {"= ; and quotes as typed", two, store(0, L" \"x=y; ;z\" "), {L"label  \"x=y; ;z\" ", L"box  \"x=y; ;z\" ", more},
       kSettings + Id(1, "a", " \"x=y; ;z\" ") + Id(2, "b", "b's")},
      {"outside the code page", two, store(0, L"\x041f \u2708 \u00e9"), {L"label \x041f \u2708 \u00e9", L"box \x041f \u2708 \u00e9", more},
       kSettings + Id(1, "a", "? ? \xe9") + Id(2, "b", "b's")},
      {"a folder in the store's place", two, [this](Main& m) { DeleteFileW(StorePath().c_str()); CreateDirectoryW(StorePath().c_str(), nullptr); m.StoreDescription(0, L"new"); },
       {L"label old\r\ntext", L"box old|text", L"x Quorvel - Description Error: Quorvel's store file\r\n{store}\r\nis no longer …"}, ""},
      {"the store went", two, [this](Main& m) { DeleteFileW(StorePath().c_str()); m.StoreDescription(0, L"new"); },
       {L"label old\r\ntext", L"box old|text", L"x Quorvel - Description Error: Quorvel's store file\r\n{store}\r\nis no longer "
                                              L"there, so the description was not stored."}, ""},
  };
  for (const Row& row : rows) Run(row);
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
      {"quoted, with blanks", settings(game, "old"), launch(L"  \"1.2.3.4\" |5.6.7.8  "), {}, settings(game, "  \"1.2.3.4\" |5.6.7.8  ")},
      {"brackets, =, ; and ,", settings(game, "old"), launch(L"[::1]|host,name=x;y"), {}, settings(game, "[::1]|host,name=x;y")},
      {"empty", settings(game, "old"), launch(L""), {}, settings(game, "")},
      {"the store held", settings(game, "old"), [this](Main& m) { const auto held = support::Hold(StorePath(), FILE_SHARE_READ); m.LaunchGame(L"5.6.7.8"); }, {}},
      {"no such game", settings(dir_.File(L"gone.exe"), "old"), launch(L"1.2.3.4"),
       {L"x Oops!: Path: " + dir_.File(L"gone.exe") + L"\r\nto Freelancer.exe does not exist!"}},
      {"no path", settings(L"", "old"), launch(L"1.2.3.4"), {L"x Oops!: Path: \r\nto Freelancer.exe does not exist!"}},
      {"not a program", settings(junk, "old"), launch(L"9.9.9.9"),
       {L"x Quorvel - Launch Error: Quorvel could not start the game\r\n" + junk + L"\r\n\r\n…"}, settings(junk, "9.9.9.9")},
  };
  for (const Row& row : rows) Run(row);
  EXPECT_EQ(seen_.log.back().find(L"%1"), std::wstring::npos) << "an unfilled insert in the system's reason";
}

}  // namespace
