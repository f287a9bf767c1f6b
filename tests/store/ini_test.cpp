// ReadIni and WriteIni on real files; how values are read and written is the profile model's (core)
// and is checked against Wine's own functions in differential_test.
#include "store/ini.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "support/scratch.h"

namespace {

using testing_support::ReadBytes;
using testing_support::WriteBytes;

TEST(Ini, EveryCallReadsTheFileAfresh) {
  const testing_support::TempDir dir;
  const std::wstring path = dir.File(L"FLIDs.ini");
  ASSERT_TRUE(ini::WriteIni(L"FLID_1", L"INSTALL", L"one", path).ok());
  EXPECT_EQ(ini::ReadIni(L"FLID_1", L"INSTALL", path), L"one");
  WriteBytes(path, "[FLID_1]\r\nINSTALL=changed behind our back\r\n");
  EXPECT_EQ(ini::ReadIni(L"FLID_1", L"INSTALL", path), L"changed behind our back");
  ASSERT_TRUE(ini::WriteIni(L"FLID_1", L"MAN", L"m", path).ok());
  EXPECT_EQ(ReadBytes(path), "[FLID_1]\r\nINSTALL=changed behind our back\r\nMAN=m\r\n");
}

TEST(Ini, ConvertsThroughTheAnsiCodePage) {
  const testing_support::TempDir dir;
  const std::wstring path = dir.File(L"FLIDs.ini");
  const std::wstring text = L"Pilot \u00e9t\u00e9 \u00a7";
  ASSERT_TRUE(ini::WriteIni(L"FLID_1", L"DISC", text, path).ok());
  EXPECT_EQ(ini::ReadIni(L"FLID_1", L"DISC", path), text);
  EXPECT_EQ(ReadBytes(path), base::ToAnsi(L"[FLID_1]\r\nDISC=") + base::ToAnsi(text) + "\r\n");
}

// Which targets cannot be replaced is files_test's; here the error reaches the caller.
TEST(Ini, AFailedWriteIsReportedAndChangesNothing) {
  const testing_support::TempDir dir;
  const std::wstring path = dir.File(L"FLIDs.ini");
  const std::string old = "[QRVL_Settings]\r\nFLIPS=1.2.3.4\r\n";
  WriteBytes(path, old);
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(ini::WriteIni(L"QRVL_Settings", L"FLIPS", L"5.6.7.8", path).error,
            static_cast<unsigned long>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ReadBytes(path), old);
  // Writing what the file already holds needs no write, so it succeeds even here.
  EXPECT_TRUE(ini::WriteIni(L"QRVL_Settings", L"FLIPS", L"1.2.3.4", path).ok());
}

}  // namespace
