// Our profile reader and writer against Wine's GetPrivateProfileStringA / WritePrivateProfileStringA on
// the same files, and the few places where ours parts from Wine's on purpose. Wine keeps recently
// used profile files in memory, so every file any case hands to Wine's functions is a fresh one.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "base/text.h"
#include "store/ini.h"
#include "support/scratch.h"

namespace {

using testing_support::ReadBytes;
using testing_support::WriteBytes;

// What the program's own reads would get from Wine: a 255-character buffer, default "".
std::wstring WineRead(const std::wstring& file, const std::string& section, const std::string& key) {
  char buffer[255];
  std::fill(std::begin(buffer), std::end(buffer), '#');
  const DWORD n =
      GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof buffer, base::ToAnsi(file).c_str());
  if (n >= sizeof buffer || buffer[n] != '\0') ADD_FAILURE() << "Wine's reader returned " << n << " without a NUL after it";
  return base::FromAnsi(std::string_view(buffer, std::min<DWORD>(n, sizeof buffer)));
}

std::wstring OursRead(const std::wstring& file, const std::string& section, const std::string& key) {
  return ini::ReadIni(base::FromAnsi(section), base::FromAnsi(key), file);
}

// The names to look up in a file: the store's own, names that are nowhere, and every section and key
// name the file spells, as written and in lower case.
std::vector<std::pair<std::string, std::string>> Queries(const std::string& text) {
  std::set<std::string> sections = {"QRVL_Settings", "FLID_1", "FLID_2", "FLID_3", "s", "t", "", "nowhere"};
  std::set<std::string> keys = {"FLPATH", "FLIPS", "INSTALL", "MAN", "MANS", "DISC", "k", "j", "missing"};
  for (std::size_t pos = 0; pos <= text.size();) {
    const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
    const std::string line = text.substr(pos, end - pos).c_str();  // the profile functions take C strings
    const std::size_t open = line.find('['), close = line.rfind(']');
    if (open != std::string::npos && close != std::string::npos && close > open)
      sections.insert(line.substr(open + 1, close - open - 1));
    if (const std::size_t eq = line.find('='); eq != std::string::npos) keys.insert(line.substr(0, eq));
    pos = end + 1;
  }
  const auto with_lower = [](std::set<std::string> names) {
    for (std::string name : std::set(names)) {
      for (char& c : name) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
      names.insert(name);
    }
    return names;
  };
  std::vector<std::pair<std::string, std::string>> queries;
  for (const std::string& s : with_lower(sections))
    for (const std::string& k : with_lower(keys)) queries.emplace_back(s, k);
  return queries;
}

class DifferentialTest : public ::testing::Test {
 protected:
  // A file name no earlier case of this process has used, so that Wine never serves a cached copy.
  std::wstring FreshFile() { return dir_.File(L"case" + std::to_wstring(next_++) + L".ini"); }
  std::wstring FreshFile(std::string_view bytes) {
    const std::wstring file = FreshFile();
    WriteBytes(file, bytes);
    return file;
  }
  std::wstring FreshCopy(const std::wstring& file) { return FreshFile(ReadBytes(file)); }

  void ExpectSameReads(const char* what, const std::wstring& ours_file, const std::wstring& wine_file,
                       const std::string& text_for_names) {
    SCOPED_TRACE(what);
    int mismatches = 0;
    for (const auto& [section, key] : Queries(text_for_names)) {
      const std::wstring ours = OursRead(ours_file, section, key), wine = WineRead(wine_file, section, key);
      if (ours != wine && ++mismatches <= 5)
        ADD_FAILURE() << "[" << section << "] " << key << ": ours " << testing::PrintToString(ours) << ", Wine "
                      << testing::PrintToString(wine);
    }
    EXPECT_EQ(mismatches, 0);
  }

  testing_support::TempDir dir_;
  int next_ = 0;
};

// Hand-edited stores and oddities on which our reader and Wine's must agree.
TEST_F(DifferentialTest, ReadsHandWrittenFilesAsWineDoes) {
  const std::string long_value(300, 'v');
  const std::string a254(254, 'a');
  const struct {
    const char* what;
    std::string text;
  } corpus[] = {
      {"the store example",
       "[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer\\EXE\\Freelancer.exe\r\nFLIPS=1.2.3.4|5.6.7.8\r\n"
       "[FLID_1]\r\nINSTALL=key-one\r\nMAN=name-one\r\nMANS=sig-one\r\nDISC=Main pilot|trader on the second server\r\n"
       "[FLID_2]\r\nINSTALL=key-two\r\nMAN=name-two\r\nMANS=sig-two\r\n"},
      {"empty file", ""},
      {"blank lines only", "\r\n\r\n  \r\n"},
      {"LF only", "[QRVL_Settings]\nFLPATH=C:\\fl.exe\n[FLID_1]\nINSTALL=a\nMAN=b\n"},
      {"CR only", "[QRVL_Settings]\rFLPATH=C:\\fl.exe\r[FLID_1]\rINSTALL=a\rMAN=b\r"},
      {"mixed line ends", "[s]\r\nk=1\rj=2\n[t]\r\r\nk=3\n\r"},
      {"no line end at the end", "[FLID_1]\r\nINSTALL=a\r\nMAN=b"},
      {"blank lines everywhere", "\r\n\r\n[FLID_1]\r\n\r\nINSTALL=a\r\n\r\n\r\n[FLID_2]\r\n\r\nINSTALL=b\r\n\r\n"},
      {"blanks around lines, names and =", "  [FLID_1]  \r\n   INSTALL   =   a b   \r\n\tMAN\t=\tc\t\r\n"},
      {"blanks inside the brackets", "[ FLID_1 ]\r\nINSTALL=a\r\n[\tFLID_2\t]\r\nINSTALL=b\r\n"},
      {"vertical tab, form feed and ^Z as blanks", "[s]\r\nk=\vv\f\r\nj=\x1aw\x1a\r\n"},
      {"other control characters stay", "[s]\r\nk=\x01v\x1f\r\nj=\x1bw\r\n"},
      {"comments", "; store\r\n[FLID_1]\r\n;INSTALL=wrong\r\nINSTALL=a\r\n# MAN=wrong\r\nMAN=b\r\n"},
      {"letter case", "[flid_1]\r\ninstall=a\r\nMan=b\r\n[FLID_1]\r\nMANS=c\r\n"},
      {"header with text after it", "[FLID_1] old one\r\nINSTALL=a\r\n[FLID_2]x]y\r\nINSTALL=b\r\n"},
      {"header without ]", "[FLID_1\r\nINSTALL=a\r\n[FLID_1]\r\nINSTALL=b\r\n"},
      {"empty section name", "k=0\r\n[]\r\nk=1\r\n[s]\r\nk=2\r\n"},
      {"keys before the first header", "k=0\r\nj=1\r\n[s]\r\nk=2\r\n"},
      {"duplicate sections", "[s]\r\nk=1\r\n[t]\r\nk=2\r\n[s]\r\nk=3\r\nj=4\r\n"},
      {"duplicate keys", "[s]\r\nk=1\r\nk=2\r\nK=3\r\n"},
      {"a key without = first", "[s]\r\nk\r\nk=2\r\nj = \r\n"},
      {"quotes", "[s]\r\nk=\"a b\"\r\nj='c'\r\nq1=\"\r\nq2=\"\"\r\nq3='x\"\r\nq4=a\"b\"\r\nq5=  \"c\"  \r\nq6=\"'d'\"\r\n"},
      {"= and ; in values", "[s]\r\nk=a=b\r\nj=x ; not a comment\r\n"},
      {"brackets in values", "[s]\r\nk=[x]\r\nj= [FLID_1]\r\n"},
      {"NUL bytes", std::string("[s]\r\nk=ab\0cd\r\nj\0x=1\r\n[t\0u]\r\nk=2\r\n", 33)},
      {"non-ASCII bytes", "[s]\r\nk=\xe9t\xe9\r\n[\xc9T\xc9]\r\nk=1\r\nj=\x81\x8d\x90\xa0\r\n"},
      {"long values", "[s]\r\nk=" + long_value + "\r\nj=\"" + long_value + "\"\r\nm=" + a254 + "\r\n"},
      {"a quoted value of 253", "[s]\r\nk=\"" + a254.substr(1) + "\"\r\n"},
      {"a value of 255", "[s]\r\nk=" + a254 + "b\r\n"},
      {"UTF-8 byte order mark, ASCII text", "\xEF\xBB\xBF[s]\r\nk=1\r\n"},
  };
  for (const auto& c : corpus) {
    const std::wstring ours = FreshFile(c.text);
    ExpectSameReads(c.what, ours, FreshCopy(ours), c.text);
  }
}

TEST_F(DifferentialTest, ReadsMissingFilesAsWineDoesAndCreatesNothing) {
  const std::wstring missing = FreshFile();
  EXPECT_EQ(OursRead(missing, "QRVL_Settings", "FLPATH"), L"");
  EXPECT_EQ(WineRead(missing, "QRVL_Settings", "FLPATH"), L"");
  EXPECT_FALSE(testing_support::PathExists(missing));
  EXPECT_EQ(ini::ReadIni(L"s", L"k", dir_.File(L"no folder\\x.ini")), L"");
}

TEST_F(DifferentialTest, WritesLeaveFilesWineReadsAlike) {
  struct Write {
    std::string section, key, value;
  };
  const std::string long_value(300, 'w');
  const struct {
    const char* what;
    bool start_with_file;
    std::string start;
    std::vector<Write> writes;
  } sequences[] = {
      {"first run, saves and descriptions", false, "",
       {{"QRVL_Settings", "FLPATH", "C:\\Games\\Freelancer\\EXE\\Freelancer.exe"},
        {"QRVL_Settings", "FLIPS", "1.2.3.4|5.6.7.8"},
        {"FLID_1", "INSTALL", "key-one"}, {"FLID_1", "MAN", "name-one"}, {"FLID_1", "MANS", "sig-one"},
        {"FLID_2", "INSTALL", "key-two"}, {"FLID_2", "MAN", "name-two"}, {"FLID_2", "MANS", "sig-two"},
        {"FLID_1", "DISC", "Main pilot|trader"}, {"FLID_2", "DISC", ""}, {"QRVL_Settings", "FLIPS", ""},
        {"FLID_1", "DISC", "second thoughts"}}},
      {"an empty game path", false, "", {{"QRVL_Settings", "FLPATH", ""}}},
      {"into a file without a line end at the end", true, "[QRVL_Settings]\r\nFLPATH=x",
       {{"FLID_1", "INSTALL", "a"}, {"QRVL_Settings", "FLIPS", "b"}}},
      {"into an LF-only file", true, "[QRVL_Settings]\nFLPATH=x\n\n[FLID_1]\nINSTALL=a\n",
       {{"FLID_1", "MAN", "m"}, {"FLID_2", "INSTALL", "b"}, {"QRVL_Settings", "FLPATH", "y"}}},
      {"into a CR-only file", true, "[QRVL_Settings]\rFLPATH=x\r[FLID_1]\rINSTALL=a",
       {{"FLID_1", "MAN", "m"}, {"FLID_2", "INSTALL", "b"}}},
      {"into a hand-edited file", true,
       "; my store\r\n\r\n  [ qrvl_settings ]  \r\n flpath = C:\\old.exe \r\n\r\n[FLID_1] first\r\nINSTALL\r\n"
       ";MAN=x\r\n\r\n",
       {{"QRVL_Settings", "FLPATH", "C:\\new.exe"}, {"FLID_1", "INSTALL", "k1"}, {"FLID_1", "MAN", "m1"},
        {"FLID_1", "DISC", "d"}, {"FLID_2", "INSTALL", "k2"}}},
      {"into duplicate sections", true, "[s]\r\nk=1\r\n[s]\r\nj=2\r\n",
       {{"s", "j", "3"}, {"s", "k", "4"}, {"S", "m", "5"}}},
      {"values kept as given", false, "",
       {{"s", "lead", "  x"}, {"s", "trail", "y  "}, {"s", "quoted", "\"q\""}, {"s", "eq", "a=b"},
        {"s", "brackets", "[FLID_9]"}, {"s", "long", long_value}, {"s", "high", "\xe9t\xe9"}}},
      {"a file whose last line is blank", true, "[s]\r\nk=1\r\n\r\n\r\n", {{"t", "k", "2"}, {"s", "j", "3"}}},
      {"a file of blank lines", true, "\r\n\r\n", {{"s", "k", "1"}}},
      {"an empty file", true, "", {{"s", "k", "1"}, {"s", "k", "2"}}},
  };
  for (const auto& sequence : sequences) {
    SCOPED_TRACE(sequence.what);
    const auto start = [&] { return sequence.start_with_file ? FreshFile(sequence.start) : FreshFile(); };
    const std::wstring ours = start(), wine = start();
    std::string names = sequence.start;
    for (const Write& w : sequence.writes) {
      const base::Status status =
          ini::WriteIni(base::FromAnsi(w.section), base::FromAnsi(w.key), base::FromAnsi(w.value), ours);
      EXPECT_TRUE(status.ok()) << w.section << "/" << w.key << ": error " << status.error;
      EXPECT_TRUE(WritePrivateProfileStringA(w.section.c_str(), w.key.c_str(), w.value.c_str(),
                                             base::ToAnsi(wine).c_str()));
      // A write is in the file when the call returns: read it straight back, as Wine reads its own.
      EXPECT_EQ(OursRead(ours, w.section, w.key), WineRead(wine, w.section, w.key)) << w.section << "/" << w.key;
      names += "\r\n[" + w.section + "]\r\n" + w.key + "=\r\n";
    }
    const std::wstring wine_copy = FreshCopy(wine);
    ExpectSameReads("ReadIni on ours, Wine on Wine's", ours, wine_copy, names);
    ExpectSameReads("Wine on ours, Wine on Wine's", FreshCopy(ours), FreshCopy(wine), names);
  }
}

// Where ours parts from Wine's on purpose; kept out of the corpus above.

// A quoted value whose text between the quotes is exactly 254 characters: Wine drops the closing
// quote only after cutting to the buffer, and so loses the last real character. We strip the quotes
// first and then cut, which gives all 254 characters.
TEST_F(DifferentialTest, DiffersOnAQuotedValueOfExactly254) {
  const std::string value(254, 'q');
  const std::wstring file = FreshFile("[s]\r\nk=\"" + value + "\"\r\n");
  EXPECT_EQ(OursRead(file, "s", "k"), base::FromAnsi(value));
  EXPECT_EQ(WineRead(file, "s", "k"), base::FromAnsi(value.substr(0, 253)));
}

// Wine reads UTF-16 profile files and UTF-8 files with a byte order mark in those encodings. The store
// is single-byte text in the ANSI code page: ours reads every file that way and only steps over a
// UTF-8 byte order mark, so ASCII text after one reads alike (that case is in the corpus).
TEST_F(DifferentialTest, DiffersOnFilesInOtherEncodings) {
  const std::wstring utf16 = FreshFile(std::string("\xff\xfe[\0s\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0", 22));
  EXPECT_EQ(OursRead(utf16, "s", "k"), L"");
  EXPECT_EQ(WineRead(utf16, "s", "k"), L"v");
  const std::wstring utf8 = FreshFile("\xEF\xBB\xBF[s]\r\nk=\xC3\xA9\r\n");
  EXPECT_EQ(OursRead(utf8, "s", "k"), base::FromAnsi("\xC3\xA9"));  // two ANSI characters
  EXPECT_EQ(WineRead(utf8, "s", "k"), L"\u00e9");
}

// Wine's writer loads the whole file and writes it out again from what it parsed: blank lines go,
// blanks around names and "=" go, line ends become CR LF and leading blanks of a value are dropped.
// Ours changes the one line it must and leaves every other byte as it was. Both read back alike.
TEST_F(DifferentialTest, DiffersByWritingInPlace) {
  const std::string start = "; my store\n\n [QRVL_Settings] \nFLPATH = C:\\fl.exe\n\n";
  const std::wstring ours = FreshFile(start), wine = FreshFile(start);
  ASSERT_TRUE(ini::WriteIni(L"QRVL_Settings", L"FLIPS", L"  1.2.3.4", ours).ok());
  ASSERT_TRUE(WritePrivateProfileStringA("QRVL_Settings", "FLIPS", "  1.2.3.4", base::ToAnsi(wine).c_str()));
  EXPECT_EQ(ReadBytes(ours), "; my store\n\n [QRVL_Settings] \nFLPATH = C:\\fl.exe\nFLIPS=  1.2.3.4\n\n");
  EXPECT_EQ(ReadBytes(wine), "; my store\r\n[QRVL_Settings]\r\nFLPATH=C:\\fl.exe\r\nFLIPS=1.2.3.4\r\n");
  EXPECT_EQ(OursRead(ours, "QRVL_Settings", "FLIPS"), L"1.2.3.4");
}

}  // namespace
