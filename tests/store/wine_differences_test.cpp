// The places where our profile reader and writer deliberately part from Wine's profile functions.
// Each is kept out of the differential corpus and pinned here, with what each side does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "store/ini.h"
#include "support/scratch.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

std::string WineRead(const std::wstring& file, const char* section, const char* key) {
  char buffer[255] = {};
  const DWORD n = GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer, base::ToAnsi(file).c_str());
  return std::string(buffer, n);
}

std::string OursRead(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
  return base::ToAnsi(ini::ReadIni(section, key, file));
}

// A quoted value whose text between the quotes is exactly 254 characters: Wine drops the closing
// quote only after cutting to the buffer, and so loses the last real character. We strip the quotes
// first and then cut, which gives all 254 characters.
TEST(WineDifferences, QuotedValueOfExactly254) {
  TempDir dir;
  const std::string value(254, 'q');
  WriteBytes(dir.File(L"a.ini"), "[s]\r\nk=\"" + value + "\"\r\n");
  EXPECT_EQ(OursRead(dir.File(L"a.ini"), L"s", L"k"), value);
  EXPECT_EQ(WineRead(dir.File(L"a.ini"), "s", "k"), value.substr(0, 253));
}

// Wine reads UTF-16 profile files and UTF-8 files with a byte order mark in those encodings. The store
// is single-byte text in the ANSI code page: ours reads every file that way and only steps over a
// UTF-8 byte order mark, so ASCII text after one reads alike (that case is in the corpus).
TEST(WineDifferences, FilesInOtherEncodings) {
  TempDir dir;
  const std::string utf16("\xff\xfe[\0s\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0", 22);
  WriteBytes(dir.File(L"utf16.ini"), utf16);
  EXPECT_EQ(OursRead(dir.File(L"utf16.ini"), L"s", L"k"), "");
  EXPECT_EQ(WineRead(dir.File(L"utf16.ini"), "s", "k"), "v");

  WriteBytes(dir.File(L"utf8.ini"), "\xEF\xBB\xBF[s]\r\nk=\xC3\xA9\r\n");
  EXPECT_EQ(OursRead(dir.File(L"utf8.ini"), L"s", L"k"), "\xC3\xA9");  // two ANSI characters
  EXPECT_EQ(WineRead(dir.File(L"utf8.ini"), "s", "k"), base::ToAnsi(L"\u00e9"));
}

// Wine's writer loads the whole file and writes it out again from what it parsed: blank lines go,
// blanks around names and "=" go, line ends become CR LF and leading blanks of a value are dropped.
// Ours changes the one line it must and leaves every other byte as it was. Both read back alike.
TEST(WineDifferences, WriterEditsInPlace) {
  TempDir dir;
  const std::string start = "; my store\n\n [QRVL_Settings] \nFLPATH = C:\\fl.exe\n\n";
  WriteBytes(dir.File(L"ours.ini"), start);
  WriteBytes(dir.File(L"wine.ini"), start);
  ASSERT_TRUE(ini::WriteIni(L"QRVL_Settings", L"FLIPS", L"  1.2.3.4", dir.File(L"ours.ini")).ok());
  ASSERT_TRUE(WritePrivateProfileStringA("QRVL_Settings", "FLIPS", "  1.2.3.4", base::ToAnsi(dir.File(L"wine.ini")).c_str()));
  EXPECT_EQ(ReadBytes(dir.File(L"ours.ini")), "; my store\n\n [QRVL_Settings] \nFLPATH = C:\\fl.exe\nFLIPS=  1.2.3.4\n\n");
  EXPECT_EQ(ReadBytes(dir.File(L"wine.ini")), "; my store\r\n[QRVL_Settings]\r\nFLPATH=C:\\fl.exe\r\nFLIPS=1.2.3.4\r\n");
  EXPECT_EQ(OursRead(dir.File(L"ours.ini"), L"QRVL_Settings", L"FLIPS"), "1.2.3.4");
}

}  // namespace
