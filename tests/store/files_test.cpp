#include "store/files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "base/handle.h"
#include "support/scratch.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

// The names in a folder, so a test can see that no temp file was left behind.
std::vector<std::wstring> Listing(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  base::UniqueFind search(FindFirstFileW((folder + L"\\*").c_str(), &found));
  for (bool more = search.valid(); more; more = FindNextFileW(search.get(), &found))
    if (std::wstring(found.cFileName) != L"." && std::wstring(found.cFileName) != L"..") names.push_back(found.cFileName);
  return names;
}

base::UniqueFile Hold(const std::wstring& path, DWORD share) {
  base::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(file.valid()) << "cannot hold the file open, error " << GetLastError();
  return file;
}

TEST(ReadWholeFile, ReadsWhatIsThereAndTellsMissingFromUnreadable) {
  TempDir dir;
  const std::string big = std::string("[s]\r\nk=v\0w\r\n", 12) + std::string(3 << 20, 'x');  // more than one piece
  WriteBytes(dir.File(L"big.ini"), big);
  WriteBytes(dir.File(L"empty.ini"), "");
  CreateDirectoryW(dir.File(L"folder.ini").c_str(), nullptr);
  WriteBytes(dir.File(L"locked.ini"), "[s]\r\n");
  const base::UniqueFile holder = Hold(dir.File(L"locked.ini"), 0);  // no sharing at all
  const auto read = [&](const wchar_t* name) {
    const store::FileText t = store::ReadWholeFile(dir.File(name));
    return std::tuple(t.status.error, t.exists, t.bytes.size() < 100 ? t.bytes : "(large)");
  };
  EXPECT_TRUE(store::ReadWholeFile(dir.File(L"big.ini")).bytes == big);  // not EXPECT_EQ: 3 MB in a message
  EXPECT_EQ(read(L"big.ini"), std::tuple(0ul, true, std::string("(large)")));
  EXPECT_EQ(read(L"empty.ini"), std::tuple(0ul, true, std::string()));
  EXPECT_EQ(read(L"none.ini"), std::tuple(0ul, false, std::string()));
  EXPECT_EQ(read(L"no folder\\none.ini"), std::tuple(0ul, false, std::string()));
  EXPECT_NE(std::get<0>(read(L"folder.ini")), 0ul);
  EXPECT_EQ(std::get<0>(read(L"locked.ini")), static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
}

TEST(ReplaceFileAtomically, CreatesAndReplacesLeavingNoTempFile) {
  TempDir dir;
  const std::wstring path = dir.File(L"FLIDs.ini");
  for (const std::string& bytes : {std::string("first"), std::string(3 << 20, 'y'), std::string()}) {
    ASSERT_TRUE(store::ReplaceFileAtomically(path, bytes).ok());
    EXPECT_TRUE(ReadBytes(path) == bytes) << bytes.size() << " bytes";
  }
  EXPECT_EQ(Listing(dir.path()), std::vector<std::wstring>{L"FLIDs.ini"});
  EXPECT_FALSE(store::ReplaceFileAtomically(dir.File(L"missing\\FLIDs.ini"), "x").ok());
  EXPECT_EQ(Listing(dir.path()), std::vector<std::wstring>{L"FLIDs.ini"});
}

TEST(ReplaceFileAtomically, RefusesTargetsItMustNotReplace) {
  constexpr DWORD kNotHeld = MAXDWORD;
  const struct {
    const char* what;
    bool read_only, folder;
    DWORD hold_share;
  } cases[] = {
      {"read-only file", true, false, kNotHeld},
      {"held without delete sharing", false, false, FILE_SHARE_READ | FILE_SHARE_WRITE},
      {"held without write sharing", false, false, FILE_SHARE_READ | FILE_SHARE_DELETE},
      {"held without any sharing", false, false, 0},
      {"a folder", false, true, kNotHeld},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::wstring path = dir.File(L"FLIDs.ini");
    const std::string old = "[QRVL_Settings]\r\nFLPATH=C:\\fl.exe\r\n";
    if (c.folder) {
      ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    } else {
      WriteBytes(path, old);
    }
    if (c.read_only) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    base::UniqueFile holder = c.hold_share == kNotHeld ? base::UniqueFile() : Hold(path, c.hold_share);
    EXPECT_FALSE(store::ReplaceFileAtomically(path, "new bytes").ok());
    holder.reset();
    if (!c.folder) {
      EXPECT_EQ(ReadBytes(path), old);
    }
    EXPECT_EQ(Listing(dir.path()), std::vector<std::wstring>{L"FLIDs.ini"}) << "a temp file was left behind";
  }
}

TEST(FileExists, FindsOrdinaryFilesOnly) {
  TempDir dir;
  const std::pair<const wchar_t*, DWORD> files[] = {
      {L"Freelancer.exe", FILE_ATTRIBUTE_NORMAL}, {L"empty.ini", FILE_ATTRIBUTE_NORMAL},
      {L"readonly.txt", FILE_ATTRIBUTE_READONLY}, {L"hidden.txt", FILE_ATTRIBUTE_HIDDEN},
      {L"system.txt", FILE_ATTRIBUTE_SYSTEM},     {L"only\\a.hid", FILE_ATTRIBUTE_HIDDEN},
      {L"only\\b.hid", FILE_ATTRIBUTE_NORMAL}};
  CreateDirectoryW(dir.File(L"folder").c_str(), nullptr);
  CreateDirectoryW(dir.File(L"only").c_str(), nullptr);
  for (const auto& [name, attributes] : files) {
    WriteBytes(dir.File(name), std::wstring_view(name) == L"empty.ini" ? "" : "MZ");
    SetFileAttributesW(dir.File(name).c_str(), attributes);
  }
  const std::pair<std::wstring, bool> cases[] = {
      {L"", false},
      {dir.File(L"Freelancer.exe"), true},
      {dir.File(L"FREELANCER.EXE"), true},
      {dir.File(L"empty.ini"), true},
      {dir.File(L"readonly.txt"), true},
      {dir.File(L"hidden.txt"), false},
      {dir.File(L"system.txt"), false},
      {dir.File(L"folder"), false},
      {dir.File(L"folder\\"), false},
      {dir.File(L"Freelancer.exe\\"), false},
      {dir.path() + L"\\", false},
      {dir.File(L"missing.exe"), false},
      {dir.File(L"no folder\\Freelancer.exe"), false},
      {dir.File(L"*.exe"), true},
      {dir.File(L"Freelance?.exe"), true},
      {dir.File(L"*.dll"), false},
      {dir.File(L"hidden.*"), false},
      {dir.File(L"fold*"), false},
      {dir.File(L"only\\*.hid"), true},  // the hidden match comes with an ordinary one
      {dir.File(L"only\\a.*"), false},
  };
  for (const auto& [path, exists] : cases) EXPECT_EQ(store::FileExists(path), exists) << testing::PrintToString(path);
}

}  // namespace
