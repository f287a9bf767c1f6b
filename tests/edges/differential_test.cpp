// Our profile reader and writer (ReadIni, WriteIni) against Wine's GetPrivateProfileStringA and
// WritePrivateProfileStringA on the same files, and the few places where ours differs on purpose.
// Wine keeps recently used profile files in memory, so every file handed to it is a fresh one.
#include <set>

#include "base/text.h"
#include "store/ini.h"
#include "support/support.h"

namespace {

using support::ReadBytes;

class Differential : public ::testing::Test {
 protected:
  std::wstring Fresh(std::string_view bytes, bool create = true) {
    const std::wstring file = dir_.File(L"case" + std::to_wstring(next_++) + L".ini");
    if (create) support::WriteBytes(file, bytes);
    return file;
  }
  static std::wstring Ours(const std::wstring& file, const std::string& section, const std::string& key) {
    return ini::ReadIni(section, key, file);
  }
  // What the program's reads would get from Wine: a 255-character buffer, default "".
  static std::wstring Wine(const std::wstring& file, const std::string& section, const std::string& key) {
    char buffer[255];
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, 255, base::ToAnsi(file).c_str());
    return base::FromAnsi(std::string_view(buffer, n));
  }
  // Every section and key name the text spells (as written and in lower case) and the store's own,
  // each pair read from both files.
  void ExpectSameReads(const std::wstring& ours, const std::wstring& wine, const std::string& text) {
    std::set<std::string> sections{"QRVL_Settings", "FLID_1", "FLID_2", "s", ""}, keys{"FLPATH", "INSTALL", "MAN", "k"};
    for (std::size_t at = 0, end; at <= text.size(); at = end + 1) {
      end = std::min(text.find_first_of("\r\n", at), text.size());
      const std::string line = text.substr(at, end - at).c_str();
      if (const auto open = line.find('['), close = line.rfind(']'); open < close && close != std::string::npos)
        sections.insert(line.substr(open + 1, close - open - 1));
      if (const auto eq = line.find('='); eq != std::string::npos) keys.insert(line.substr(0, eq));
    }
    for (auto* names : {&sections, &keys})
      for (std::string name : std::set(*names)) names->insert((std::transform(name.begin(), name.end(), name.begin(), ::tolower), name));
    for (const std::string& s : sections)
      for (const std::string& k : keys) EXPECT_EQ(Ours(ours, s, k), Wine(wine, s, k)) << "[" << s << "] " << k << " in\n" << text;
  }
  support::TempDir dir_;
  int next_ = 0;
};

TEST_F(Differential, ReadsHandWrittenFilesAsWineDoes) {
  const std::string v300(300, 'v'), a254(254, 'a');
  for (const std::string& text : std::vector<std::string>{
           "[QRVL_Settings]\r\nFLPATH=C:\\FL\\Freelancer.exe\r\nFLIPS=1.2.3.4|5.6.7.8\r\n[FLID_1]\r\nINSTALL=k1\r\nDISC=a|b\r\n",
           "", "\r\n\r\n  \r\n", "[s]\nk=1\n[FLID_1]\nINSTALL=a\nMAN=b\n", "[s]\rk=1\r[FLID_1]\rINSTALL=a\r",
           "[s]\r\nk=1\rj=2\n[t]\r\r\nk=3\n\r", "[FLID_1]\r\nINSTALL=a\r\nMAN=b", "\r\n[FLID_1]\r\n\r\nINSTALL=a\r\n\r\n",
           "  [FLID_1]  \r\n   INSTALL   =   a b   \r\n\tMAN\t=\tc\t\r\n", "[ FLID_1 ]\r\nINSTALL=a\r\n[\tFLID_2\t]\r\nk=b\r\n",
           "[s]\r\nk=\vv\f\r\nj=\x1aw\x1a\r\n", "[s]\r\nk=\x01v\x1f\r\n", "; c\r\n[FLID_1]\r\n;INSTALL=x\r\nINSTALL=a\r\n# MAN=x\r\n",
           "[flid_1]\r\ninstall=a\r\nMan=b\r\n[FLID_1]\r\nMANS=c\r\n", "[FLID_1] old\r\nINSTALL=a\r\n[FLID_2]x]y\r\nk=b\r\n",
           "[FLID_1\r\nINSTALL=a\r\n[FLID_1]\r\nINSTALL=b\r\n", "k=0\r\n[]\r\nk=1\r\n[s]\r\nk=2\r\n",
           "[s]\r\nk=1\r\n[t]\r\nk=2\r\n[s]\r\nk=3\r\nj=4\r\n", "[s]\r\nk=1\r\nk=2\r\nK=3\r\n", "[s]\r\nk\r\nk=2\r\nj = \r\n",
           "[s]\r\nk=\"a b\"\r\nj='c'\r\nq1=\"\r\nq2=\"\"\r\nq3='x\"\r\nq4=a\"b\"\r\nq5=  \"c\"  \r\n",
           "[s]\r\nk=a=b\r\nj=x ; y\r\nm=[x]\r\n", std::string("[s]\r\nk=ab\0cd\r\nj\0x=1\r\n[t\0u]\r\nk=2\r\n", 33),
           "[s]\r\nk=\xe9t\xe9\r\n[\xc9T\xc9]\r\nk=1\r\n", "[s]\r\nk=" + v300 + "\r\nj=\"" + v300 + "\"\r\nm=" + a254 + "b\r\n",
           "[s]\r\nk=\"" + a254.substr(1) + "\"\r\n", "\xEF\xBB\xBF[s]\r\nk=1\r\n"}) {
    const std::wstring ours = Fresh(text);
    ExpectSameReads(ours, Fresh(text), text);
    EXPECT_EQ(ReadBytes(ours), text) << "a read changed the file";
  }
  const std::wstring missing = Fresh("", false);
  EXPECT_EQ(Ours(missing, "s", "k") + Wine(missing, "s", "k"), L"");
  EXPECT_EQ(GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES) << "a read created the file";
}

TEST_F(Differential, WritesLeaveFilesThatReadAsWinesDo) {
  using Writes = std::vector<std::array<std::string, 3>>;
  const std::pair<std::string, Writes> sequences[] = {
      {"", {{"QRVL_Settings", "FLPATH", "C:\\FL\\Freelancer.exe"}, {"FLID_1", "INSTALL", "k1"}, {"FLID_1", "MAN", "m1"},
            {"FLID_2", "INSTALL", "k2"}, {"FLID_1", "DISC", "a|b"}, {"FLID_2", "DISC", ""}, {"FLID_1", "DISC", "c"}}},
      {"[QRVL_Settings]\r\nFLPATH=x", {{"FLID_1", "INSTALL", "a"}, {"QRVL_Settings", "FLIPS", "b"}}},
      {"[QRVL_Settings]\nFLPATH=x\n\n[FLID_1]\nINSTALL=a\n", {{"FLID_1", "MAN", "m"}, {"FLID_2", "INSTALL", "b"}}},
      {"[QRVL_Settings]\rFLPATH=x\r[FLID_1]\rINSTALL=a", {{"FLID_1", "MAN", "m"}, {"FLID_2", "INSTALL", "b"}}},
      {"; my store\r\n\r\n  [ qrvl_settings ]  \r\n flpath = C:\\old.exe \r\n\r\n[FLID_1] first\r\nINSTALL\r\n",
       {{"QRVL_Settings", "FLPATH", "C:\\new.exe"}, {"FLID_1", "INSTALL", "k1"}, {"FLID_2", "INSTALL", "k2"}}},
      {"[s]\r\nk=1\r\n[s]\r\nj=2\r\n\r\n", {{"s", "j", "3"}, {"S", "m", "5"}, {"t", "k", "x=[FLID_9] ;\xe9"}}},
  };
  for (const auto& [start, writes] : sequences) {
    const std::wstring ours = Fresh(start), wine = Fresh(start);
    std::string names = start;
    for (const auto& [section, key, value] : writes) {
      EXPECT_TRUE(ini::WriteIni(section, key, base::FromAnsi(value), ours).ok());
      WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), base::ToAnsi(wine).c_str());
      names += "\r\n[" + section + "]\r\n" + key + "=\r\n";
    }
    ExpectSameReads(ours, Fresh(ReadBytes(wine)), names);
  }
}

// Where ours differs on purpose: a quoted value of exactly 254 characters keeps all of them (Wine cuts
// first and then drops a quote, losing one), and files are single-byte ANSI text, never read as UTF-16.
// (A write edits one line in place where Wine rewrites the whole file: tests/core pins our bytes.)
TEST_F(Differential, DiffersOnPurpose) {
  const std::string q(254, 'q');
  const std::wstring quoted = Fresh("[s]\r\nk=\"" + q + "\"\r\n"), utf16 = Fresh(std::string("\xff\xfe[\0s\0]\0\r\0\n\0k\0=\0v\0", 18));
  EXPECT_EQ(Ours(quoted, "s", "k") + L"|" + Wine(quoted, "s", "k"), base::FromAnsi(q + "|" + q.substr(1)));
  EXPECT_EQ(Ours(utf16, "s", "k") + L"|" + Wine(utf16, "s", "k"), L"|v");
}

}  // namespace
