#include "store/files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
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
  if (!search) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search.get(), &found));
  return names;
}

base::UniqueFile Hold(const std::wstring& path, DWORD share) {
  base::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(file.valid()) << "cannot hold the file open, error " << GetLastError();
  return file;
}

TEST(ReadWholeFile, ReadsWhatIsThere) {
  TempDir dir;
  const std::string bytes = std::string("[s]\r\nk=v\0w\r\n", 12) + std::string(3 << 20, 'x');  // more than one piece
  WriteBytes(dir.File(L"big.ini"), bytes);
  const store::FileText big = store::ReadWholeFile(dir.File(L"big.ini"));
  EXPECT_TRUE(big.status.ok());
  EXPECT_TRUE(big.exists);
  EXPECT_TRUE(big.bytes == bytes) << "read " << big.bytes.size() << " bytes of " << bytes.size();

  WriteBytes(dir.File(L"empty.ini"), "");
  const store::FileText empty = store::ReadWholeFile(dir.File(L"empty.ini"));
  EXPECT_TRUE(empty.status.ok());
  EXPECT_TRUE(empty.exists);
  EXPECT_EQ(empty.bytes, "");
}

TEST(ReadWholeFile, MissingIsNotAnError) {
  TempDir dir;
  for (const std::wstring& path : {dir.File(L"none.ini"), dir.File(L"no folder\\none.ini")}) {
    const store::FileText text = store::ReadWholeFile(path);
    EXPECT_TRUE(text.status.ok()) << "error " << text.status.error;
    EXPECT_FALSE(text.exists);
  }
}

TEST(ReadWholeFile, FailsWhenThePathCannotBeRead) {
  TempDir dir;
  CreateDirectoryW(dir.File(L"folder.ini").c_str(), nullptr);
  const store::FileText folder = store::ReadWholeFile(dir.File(L"folder.ini"));
  EXPECT_FALSE(folder.status.ok());

  WriteBytes(dir.File(L"locked.ini"), "[s]\r\n");
  const base::UniqueFile holder = Hold(dir.File(L"locked.ini"), 0);  // no sharing at all
  const store::FileText locked = store::ReadWholeFile(dir.File(L"locked.ini"));
  EXPECT_EQ(locked.status.error, static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
}

TEST(ReplaceFileAtomically, CreatesAndReplaces) {
  TempDir dir;
  const std::wstring path = dir.File(L"FLIDs.ini");
  ASSERT_TRUE(store::ReplaceFileAtomically(path, "first").ok());
  EXPECT_EQ(ReadBytes(path), "first");
  const std::string big(3 << 20, 'y');
  ASSERT_TRUE(store::ReplaceFileAtomically(path, big).ok());
  EXPECT_TRUE(ReadBytes(path) == big);
  ASSERT_TRUE(store::ReplaceFileAtomically(path, "").ok());
  EXPECT_EQ(ReadBytes(path), "");
  EXPECT_EQ(Listing(dir.path()), std::vector<std::wstring>{L"FLIDs.ini"});
}

TEST(ReplaceFileAtomically, RefusesTargetsItMustNotReplace) {
  struct Case {
    const char* what;
    bool read_only;
    bool folder;
    DWORD hold_share;  // MAXDWORD: not held
  };
  const std::vector<Case> cases = {
      {"read-only file", true, false, MAXDWORD},
      {"held without delete sharing", false, false, FILE_SHARE_READ | FILE_SHARE_WRITE},
      {"held without write sharing", false, false, FILE_SHARE_READ | FILE_SHARE_DELETE},
      {"held without any sharing", false, false, 0},
      {"a folder", false, true, MAXDWORD},
  };
  for (const Case& c : cases) {
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
    base::UniqueFile holder;
    if (c.hold_share != MAXDWORD) holder = Hold(path, c.hold_share);

    const base::Status status = store::ReplaceFileAtomically(path, "new bytes");
    EXPECT_FALSE(status.ok());
    holder.reset();
    if (!c.folder) {
      EXPECT_EQ(ReadBytes(path), old);
    }
    EXPECT_EQ(Listing(dir.path()), std::vector<std::wstring>{L"FLIDs.ini"}) << "a temp file was left behind";
  }
}

TEST(ReplaceFileAtomically, FailsInAMissingFolder) {
  TempDir dir;
  EXPECT_FALSE(store::ReplaceFileAtomically(dir.File(L"missing\\FLIDs.ini"), "x").ok());
  EXPECT_TRUE(Listing(dir.path()).empty());
}

TEST(FileExists, FindsOrdinaryFilesOnly) {
  TempDir dir;
  WriteBytes(dir.File(L"Freelancer.exe"), "MZ");
  WriteBytes(dir.File(L"empty.ini"), "");
  WriteBytes(dir.File(L"readonly.txt"), "r");
  SetFileAttributesW(dir.File(L"readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteBytes(dir.File(L"hidden.txt"), "h");
  SetFileAttributesW(dir.File(L"hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  WriteBytes(dir.File(L"system.txt"), "s");
  SetFileAttributesW(dir.File(L"system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
  CreateDirectoryW(dir.File(L"folder").c_str(), nullptr);
  CreateDirectoryW(dir.File(L"only").c_str(), nullptr);
  WriteBytes(dir.File(L"only\\a.hid"), "h");
  SetFileAttributesW(dir.File(L"only\\a.hid").c_str(), FILE_ATTRIBUTE_HIDDEN);
  WriteBytes(dir.File(L"only\\b.hid"), "o");

  struct Case {
    std::wstring path;
    bool exists;
  };
  const std::vector<Case> cases = {
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
  for (const Case& c : cases) {
    EXPECT_EQ(store::FileExists(c.path), c.exists) << std::string(c.path.begin(), c.path.end());
  }
}

}  // namespace
