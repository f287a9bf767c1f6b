// Our profile reader and writer against Wine's GetPrivateProfileStringA / WritePrivateProfileStringA on
// the same files. Wine keeps recently used profile files in memory, so every file any case hands to
// Wine's functions is a fresh one, read once.
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
using testing_support::TempDir;
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

std::string Printable(const std::wstring& text) {
  std::string out;
  for (const char ch : base::ToAnsi(text)) {
    const unsigned c = static_cast<unsigned char>(ch);
    if (c >= 32 && c < 127) {
      out += ch;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  return out;
}

// The names to look up in a file: the store's own, and every section and key name the file spells,
// as written and in lower case, plus names that are nowhere.
std::vector<std::pair<std::string, std::string>> Queries(const std::string& text) {
  std::set<std::string> sections = {"QRVL_Settings", "FLID_1", "FLID_2", "FLID_3", "s", "t", "", "nowhere"};
  std::set<std::string> keys = {"FLPATH", "FLIPS", "INSTALL", "MAN", "MANS", "DISC", "k", "j", "missing"};
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    line = line.substr(0, line.find('\0'));  // the profile functions take names as C strings
    const std::size_t open = line.find('['), close = line.rfind(']');
    if (open != std::string::npos && close != std::string::npos && close > open)
      sections.insert(line.substr(open + 1, close - open - 1));
    if (const std::size_t eq = line.find('='); eq != std::string::npos) keys.insert(line.substr(0, eq));
    pos = end + 1;
  }
  auto lower = [](std::string s) {
    for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return s;
  };
  std::set<std::string> all_sections = sections, all_keys = keys;
  for (const std::string& s : sections) all_sections.insert(lower(s));
  for (const std::string& k : keys) all_keys.insert(lower(k));
  std::vector<std::pair<std::string, std::string>> queries;
  for (const std::string& s : all_sections)
    for (const std::string& k : all_keys) queries.emplace_back(s, k);
  return queries;
}

struct CorpusFile {
  const char* what;
  std::string text;
};

// Hand-edited stores and oddities on which our reader and Wine's must agree.
std::vector<CorpusFile> HandWrittenCorpus() {
  const std::string long_value(300, 'v');
  const std::string a254(254, 'a');
  return {
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
}

class DifferentialTest : public ::testing::Test {
 protected:
  // A file name no earlier case of this process has used, so that Wine never serves a cached copy.
  std::wstring FreshFile() { return dir_.File(L"case" + std::to_wstring(next_++) + L".ini"); }

  // A new file with the bytes of `file`, for a read from disk that no cache has seen.
  std::wstring FreshCopy(const std::wstring& file) {
    const std::wstring copy = FreshFile();
    WriteBytes(copy, ReadBytes(file));
    return copy;
  }

  void ExpectSameReads(const char* what, const std::wstring& ours_file, const std::wstring& wine_file,
                       const std::string& text_for_names) {
    SCOPED_TRACE(what);
    int mismatches = 0;
    for (const auto& [section, key] : Queries(text_for_names)) {
      const std::wstring ours = ini::ReadIni(base::FromAnsi(section), base::FromAnsi(key), ours_file);
      const std::wstring wine = WineRead(wine_file, section, key);
      if (ours != wine && ++mismatches <= 5)
        ADD_FAILURE() << "[" << section << "] " << key << ": ours \"" << Printable(ours) << "\", Wine \""
                      << Printable(wine) << "\"";
    }
    EXPECT_EQ(mismatches, 0);
  }

  TempDir dir_;
  int next_ = 0;
};

TEST_F(DifferentialTest, ReadsHandWrittenFilesAsWineDoes) {
  for (const CorpusFile& c : HandWrittenCorpus()) {
    const std::wstring ours = FreshFile();
    WriteBytes(ours, c.text);
    ExpectSameReads(c.what, ours, FreshCopy(ours), c.text);
  }
}

TEST_F(DifferentialTest, ReadsMissingFilesAsWineDoesAndCreatesNothing) {
  const std::wstring missing = FreshFile();
  EXPECT_EQ(ini::ReadIni(L"QRVL_Settings", L"FLPATH", missing), L"");
  EXPECT_EQ(WineRead(missing, "QRVL_Settings", "FLPATH"), L"");
  EXPECT_FALSE(testing_support::PathExists(missing));
  EXPECT_EQ(ini::ReadIni(L"s", L"k", dir_.File(L"no folder\\x.ini")), L"");
}

struct Write {
  std::string section, key, value;
};

struct WriteSequence {
  const char* what;
  bool start_with_file;
  std::string start;
  std::vector<Write> writes;
};

std::vector<WriteSequence> Sequences() {
  const std::string long_value(300, 'w');
  return {
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
}

TEST_F(DifferentialTest, WritesLeaveFilesWineReadsAlike) {
  for (const WriteSequence& sequence : Sequences()) {
    SCOPED_TRACE(sequence.what);
    const std::wstring ours = FreshFile();
    const std::wstring wine = FreshFile();
    if (sequence.start_with_file) {
      WriteBytes(ours, sequence.start);
      WriteBytes(wine, sequence.start);
    }
    std::string names = sequence.start;
    for (const Write& w : sequence.writes) {
      const base::Status status =
          ini::WriteIni(base::FromAnsi(w.section), base::FromAnsi(w.key), base::FromAnsi(w.value), ours);
      EXPECT_TRUE(status.ok()) << w.section << "/" << w.key << ": error " << status.error;
      EXPECT_TRUE(WritePrivateProfileStringA(w.section.c_str(), w.key.c_str(), w.value.c_str(),
                                             base::ToAnsi(wine).c_str()));
      // A write is in the file when the call returns: read it straight back, as Wine reads its own.
      EXPECT_EQ(Printable(ini::ReadIni(base::FromAnsi(w.section), base::FromAnsi(w.key), ours)),
                Printable(WineRead(wine, w.section, w.key)))
          << w.section << "/" << w.key;
      names += "\r\n[" + w.section + "]\r\n" + w.key + "=\r\n";
    }
    const std::wstring wine_copy = FreshCopy(wine);
    ExpectSameReads("ReadIni on ours, Wine on Wine's", ours, wine_copy, names);
    ExpectSameReads("Wine on ours, Wine on Wine's", FreshCopy(ours), FreshCopy(wine), names);
  }
}

}  // namespace
