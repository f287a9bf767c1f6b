#include "store/ini.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/handle.h"
#include "base/text.h"
#include "support/scratch.h"

namespace {

using testing_support::PathExists;
using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

TEST(Ini, FirstWriteCreatesTheFileWithOneSection) {
  TempDir dir;
  const std::wstring path = dir.File(L"FLIDs.ini");
  EXPECT_EQ(ini::ReadIni(L"QRVL_Settings", L"FLPATH", path), L"");
  EXPECT_FALSE(PathExists(path)) << "a read created the file";
  ASSERT_TRUE(ini::WriteIni(L"QRVL_Settings", L"FLPATH", L"C:\\Games\\Freelancer.exe", path).ok());
  EXPECT_EQ(ReadBytes(path), "[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer.exe\r\n");
}

TEST(Ini, EveryCallReadsTheFileAfresh) {
  TempDir dir;
  const std::wstring path = dir.File(L"FLIDs.ini");
  ASSERT_TRUE(ini::WriteIni(L"FLID_1", L"INSTALL", L"one", path).ok());
  EXPECT_EQ(ini::ReadIni(L"FLID_1", L"INSTALL", path), L"one");
  WriteBytes(path, "[FLID_1]\r\nINSTALL=changed behind our back\r\n");
  EXPECT_EQ(ini::ReadIni(L"FLID_1", L"INSTALL", path), L"changed behind our back");
  ASSERT_TRUE(ini::WriteIni(L"FLID_1", L"MAN", L"m", path).ok());
  EXPECT_EQ(ReadBytes(path), "[FLID_1]\r\nINSTALL=changed behind our back\r\nMAN=m\r\n");
}

TEST(Ini, ConvertsThroughTheAnsiCodePage) {
  TempDir dir;
  const std::wstring path = dir.File(L"FLIDs.ini");
  const std::wstring text = L"Pilot \u00e9t\u00e9 \u00a7";
  ASSERT_TRUE(ini::WriteIni(L"FLID_1", L"DISC", text, path).ok());
  EXPECT_EQ(ini::ReadIni(L"FLID_1", L"DISC", path), text);
  EXPECT_EQ(ReadBytes(path), base::ToAnsi(L"[FLID_1]\r\nDISC=") + base::ToAnsi(text) + "\r\n");
}

TEST(Ini, AFailedWriteIsReportedAndChangesNothing) {
  TempDir dir;
  const std::wstring path = dir.File(L"FLIDs.ini");
  const std::string old = "[QRVL_Settings]\r\nFLIPS=1.2.3.4\r\n";
  WriteBytes(path, old);
  {
    base::UniqueFile holder(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.valid());
    EXPECT_FALSE(ini::WriteIni(L"QRVL_Settings", L"FLIPS", L"5.6.7.8", path).ok());
  }
  EXPECT_EQ(ReadBytes(path), old);
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  const base::Status status = ini::WriteIni(L"QRVL_Settings", L"FLIPS", L"5.6.7.8", path);
  EXPECT_EQ(status.error, static_cast<unsigned long>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ReadBytes(path), old);
  // Writing what the file already holds needs no write, so it succeeds even here.
  EXPECT_TRUE(ini::WriteIni(L"QRVL_Settings", L"FLIPS", L"1.2.3.4", path).ok());
  CreateDirectoryW(dir.File(L"folder.ini").c_str(), nullptr);
  EXPECT_FALSE(ini::WriteIni(L"s", L"k", L"v", dir.File(L"folder.ini")).ok());
}

}  // namespace
