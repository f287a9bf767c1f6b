// The program's other doors to Windows, each once against the real thing: whole-file reads and atomic
// replacement, the file test, the registry values, and starting the game.
#include "base/lazy_proc.h"
#include "base/text.h"
#include "launcher/launcher.h"
#include "registry/mRegistery.h"
#include "store/files.h"
#include "support/support.h"

namespace {

using support::ReadBytes;
using support::WriteBytes;

// The first file matching a pattern, "" when there is none.
std::wstring Found(const std::wstring& pattern) {
  WIN32_FIND_DATAW found{};
  const base::UniqueFind search(FindFirstFileW(pattern.c_str(), &found));
  return search ? found.cFileName : L"";
}

TEST(Files, ReplaceIsWholeOrNothingAndRefusesWhatItMustNotReplace) {
  const support::TempDir dir;
  const std::wstring store = dir.File(L"FLIDs.ini");
  // Several MB go in pieces both ways (the system's calls take 32-bit sizes); a missing file, or one
  // that cannot be read, is told apart at start-up (tests/program).
  for (const std::string& bytes : {std::string("[s]\r\nk=v\0w", 10), std::string(3 << 20, 'y'), std::string()}) {
    ASSERT_TRUE(store::ReplaceFileAtomically(store, bytes).ok());
    EXPECT_TRUE(store::ReadWholeFile(store).bytes == bytes);
  }
  constexpr DWORD kReadOnly = 1000, kFolder = 1001;
  CreateDirectoryW(dir.File(L"sub").c_str(), nullptr);
  for (const DWORD how : {kReadOnly, kFolder, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}, DWORD{FILE_SHARE_READ | FILE_SHARE_DELETE}, DWORD{0}}) {
    const std::wstring target = how == kFolder ? dir.File(L"sub") : store;
    WriteBytes(store, "old");
    SetFileAttributesW(store.c_str(), how == kReadOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
    base::UniqueFile held = how < kReadOnly ? support::Hold(store, how) : base::UniqueFile();
    EXPECT_FALSE(store::ReplaceFileAtomically(target, "new").ok()) << how;
    held.reset();
    SetFileAttributesW(store.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(store), "old");
    EXPECT_EQ(Found(dir.File(L"qrv*.tmp")), L"") << "a temp file was left";
  }
  EXPECT_FALSE(store::ReplaceFileAtomically(dir.File(L"missing\\FLIDs.ini"), "x").ok());
}

TEST(Files, FileExistsFindsOrdinaryFilesOnly) {
  const support::TempDir dir;
  CreateDirectoryW(dir.File(L"folder").c_str(), nullptr);
  for (const auto& [name, attributes] : {std::pair{L"Freelancer.exe", DWORD{FILE_ATTRIBUTE_NORMAL}}, {L"r.txt", FILE_ATTRIBUTE_READONLY},
                                         {L"h.txt", FILE_ATTRIBUTE_HIDDEN}, {L"s.txt", FILE_ATTRIBUTE_SYSTEM}}) {
    WriteBytes(dir.File(name), "");
    SetFileAttributesW(dir.File(name).c_str(), attributes);
  }
  for (const auto& [path, exists] : {std::pair{std::wstring(), false}, {dir.File(L"FREELANCER.EXE"), true},
                                     {dir.File(L"r.txt"), true}, {dir.File(L"h.txt"), false}, {dir.File(L"s.txt"), false},
                                     {dir.File(L"folder"), false}, {dir.File(L"Freelancer.exe\\"), false},
                                     {dir.path + L"\\", false}, {dir.File(L"none.exe"), false}, {dir.File(L"*.exe"), true},
                                     {dir.File(L"Freelance?.exe"), true}, {dir.File(L"?.txt"), true}, {dir.File(L"h.*"), false}})
    EXPECT_EQ(store::FileExists(path), exists) << base::ToAnsi(path);
}

TEST(Registry, WritesTheTextCutTo254PaddedTo255AndNeverCreatesAKey) {
  const support::ScratchKey key;
  for (const std::wstring& text : {std::wstring(L"abc"), std::wstring(), std::wstring(254, L'f'), std::wstring(300, L'g'),
                                   std::wstring(L"\u00e9t\u00e9")}) {
    ASSERT_TRUE(mRegistery::SetRegValue(HKEY_CURRENT_USER, key.path, L"v", text, REG_SZ).ok());
    const std::string kept = base::ToAnsi(text).substr(0, 254);
    EXPECT_EQ(key.Get("v"), kept + std::string(255 - kept.size(), '\0'));
  }
  key.Delete();
  EXPECT_EQ(mRegistery::SetRegValue(HKEY_CURRENT_USER, key.path, L"v", L"abc", REG_SZ).error, ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(key.Exists());
}

TEST(Registry, ReadsUpToTheFirstZeroWhateverTheTypeAndSize) {
  const support::ScratchKey key;
  const std::string x255(255, 'x');
  const std::tuple<DWORD, std::string, std::string> cases[] = {
      {REG_SZ, std::string("ab\0cd\0", 6), "ab"}, {REG_SZ, "abc", "abc"}, {REG_DWORD, std::string("\x01\0\0\0", 4), "\x01"},
      {REG_BINARY, x255, x255}, {REG_SZ, std::string(300, 'y') + '\0', std::string(255, 'y')},
      {REG_BINARY, std::string(5000, 'z'), std::string(255, 'z')}, {REG_MULTI_SZ, std::string("one\0two\0\0", 9), "one"},
      {REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9), "%TEMP%\\x"}, {REG_SZ, "", ""}};
  for (const auto& [type, bytes, text] : cases) {
    key.Set("v", bytes, type);
    DWORD read_type = REG_SZ;
    EXPECT_EQ(base::ToAnsi(mRegistery::GetRegValue(HKEY_CURRENT_USER, key.path, L"v", read_type)), text) << bytes.substr(0, 9);
    EXPECT_EQ(read_type, type);
  }
  DWORD type = REG_SZ;
  EXPECT_EQ(mRegistery::GetRegValue(HKEY_CURRENT_USER, key.path + L"\\none", L"v", type), L"");
}

// The file dialog's and the printer's DLLs are looked up by name when first needed, from the system
// folder only: planted.dll, beside this test program, must not load under any name lookup of ours.
TEST(LazyProc, LoadsOnlyFromTheSystemFolder) {
  ASSERT_NE(GetFileAttributesW((support::ExeFolder() + L"\\planted.dll").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(base::LazyProc<int (*)()>(L"planted.dll", "Planted"), nullptr);
  EXPECT_EQ(GetModuleHandleW(L"planted.dll"), nullptr);
  EXPECT_NE(base::LazyProc<void (*)()>(L"comdlg32.dll", "GetOpenFileNameW"), nullptr);
}

// The stand-in game, copied as Freelancer.exe into a folder with a blank, records how it was started:
// minimised and active, in our own working directory, the quoted path and the arguments as given.
TEST(Launcher, StartsTheGameMinimisedWithItsQuotedPathAndTheArguments) {
  const support::TempDir dir;
  const std::wstring folder = dir.File(L"Free lancer"), game = folder + L"\\Freelancer.exe";
  CreateDirectoryW(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW((support::ExeFolder() + L"\\standin_game.exe").c_str(), game.c_str(), TRUE));
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  ASSERT_TRUE(launcher::StartGame(game, L" -s1.2.3.4 :2302 -s 5.6.7.8:2302").ok());
  std::wstring record;
  for (int i = 0; i < 300 && (record = Found(folder + L"\\launch-*.txt")).empty(); ++i) Sleep(50);
  EXPECT_EQ(ReadBytes(folder + L"\\" + record), "1 2\n" + base::ToAnsi(current) + "\n\"" + base::ToAnsi(game) + "\" -s1.2.3.4 :2302 -s 5.6.7.8:2302");
  EXPECT_FALSE(launcher::StartGame(dir.File(L"none.exe"), L"").ok());
  for (int i = 0; i < 100 && !DeleteFileW(game.c_str()); ++i) Sleep(50);  // once the stand-in has ended
}

}  // namespace
