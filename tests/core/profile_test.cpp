#include "core/profile.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace core {
namespace {

// Files spelled differently that every profile reader must read alike: three keys in two sections.
TEST(ProfileRead, EquivalentSpellingsReadAlike) {
  const struct {
    const char* what;
    std::string text;
  } spellings[] = {
      {"as the program writes it", "[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer.exe\r\n[FLID_1]\r\nINSTALL=ab-12\r\nMAN=two words\r\n"},
      {"LF only", "[QRVL_Settings]\nFLPATH=C:\\Games\\Freelancer.exe\n[FLID_1]\nINSTALL=ab-12\nMAN=two words\n"},
      {"CR only", "[QRVL_Settings]\rFLPATH=C:\\Games\\Freelancer.exe\r[FLID_1]\rINSTALL=ab-12\rMAN=two words\r"},
      {"no line end after the last line", "[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer.exe\r\n[FLID_1]\r\nINSTALL=ab-12\r\nMAN=two words"},
      {"mixed line ends", "[QRVL_Settings]\nFLPATH=C:\\Games\\Freelancer.exe\r[FLID_1]\r\nINSTALL=ab-12\nMAN=two words"},
      {"blank lines everywhere", "\r\n\r\n[QRVL_Settings]\r\n\r\nFLPATH=C:\\Games\\Freelancer.exe\r\n\r\n\r\n[FLID_1]\r\nINSTALL=ab-12\r\n\r\nMAN=two words\r\n\r\n"},
      {"blanks around lines, names and =", "  [QRVL_Settings]  \r\n   FLPATH   =   C:\\Games\\Freelancer.exe   \r\n [FLID_1]\r\nINSTALL= ab-12\r\nMAN =two words \r\n"},
      {"tabs", "\t[QRVL_Settings]\t\r\n\tFLPATH\t=\tC:\\Games\\Freelancer.exe\t\r\n[FLID_1]\r\nINSTALL\t=ab-12\r\nMAN=\ttwo words\r\n"},
      {"blanks inside the brackets", "[ QRVL_Settings ]\r\nFLPATH=C:\\Games\\Freelancer.exe\r\n[\tFLID_1 ]\r\nINSTALL=ab-12\r\nMAN=two words\r\n"},
      {"comment lines", "; store\r\n[QRVL_Settings]\r\n;FLPATH=C:\\wrong.exe\r\nFLPATH=C:\\Games\\Freelancer.exe\r\n# INSTALL=wrong\r\n[FLID_1]\r\n; INSTALL=wrong\r\nINSTALL=ab-12\r\nMAN=two words\r\n"},
      {"letter case of names", "[qrvl_settings]\r\nflpath=C:\\Games\\Freelancer.exe\r\n[Flid_1]\r\nInstall=ab-12\r\nmAn=two words\r\n"},
      {"text after the header's bracket", "[QRVL_Settings] ; settings\r\nFLPATH=C:\\Games\\Freelancer.exe\r\n[FLID_1]x\r\nINSTALL=ab-12\r\nMAN=two words\r\n"},
      {"quoted values", "[QRVL_Settings]\r\nFLPATH=\"C:\\Games\\Freelancer.exe\"\r\n[FLID_1]\r\nINSTALL='ab-12'\r\nMAN=\"two words\"\r\n"},
      {"UTF-8 byte order mark", "\xEF\xBB\xBF[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer.exe\r\n[FLID_1]\r\nINSTALL=ab-12\r\nMAN=two words\r\n"},
      {"DOS end-of-file mark", "[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer.exe\r\n[FLID_1]\r\nINSTALL=ab-12\r\nMAN=two words\x1a"},
      {"lines without = and a header without ]", "[FLID_1\r\nINSTALL=wrong\r\n[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer.exe\r\nstray words\r\n[FLID_1]\r\nINSTALL=ab-12\r\nMAN=two words\r\n"},
  };
  const struct {
    const char *section, *key, *value;
  } reads[] = {{"QRVL_Settings", "FLPATH", "C:\\Games\\Freelancer.exe"}, {"FLID_1", "INSTALL", "ab-12"},
               {"FLID_1", "MAN", "two words"}, {"FLID_1", "MANS", ""}, {"FLID_2", "INSTALL", ""}};
  for (const auto& s : spellings) {
    const ProfileIndex index(s.text);
    for (const auto& r : reads) {
      SCOPED_TRACE(std::string(s.what) + ": " + r.section + "/" + r.key);
      EXPECT_EQ(ReadProfileValue(s.text, r.section, r.key), r.value);
      EXPECT_EQ(index.Read(r.section, r.key), r.value);  // the index reads as the one-off reader does
    }
  }
}

// Reads that are not mere respellings; each row is checked through both readers.
TEST(ProfileRead, Rules) {
  const std::string long_value(300, 'v');
  const struct {
    const char* what;
    std::string text;
    const char *section, *key;
    std::string expected;
  } cases[] = {
      {"empty text", "", "s", "k", ""},
      {"missing section", "[s]\r\nk=1\r\n", "t", "k", ""},
      {"missing key", "[s]\r\nk=1\r\n", "s", "j", ""},
      {"empty value", "[s]\r\nk=\r\n", "s", "k", ""},
      {"the first section of a name wins", "[s]\r\nk=1\r\n[S]\r\nk=2\r\n", "s", "k", "1"},
      {"a key only in a later section of the name is missing", "[s]\r\nj=1\r\n[s]\r\nk=2\r\n", "s", "k", ""},
      {"the first line of a key wins", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "1"},
      {"a line without = hides a later value", "[s]\r\nk\r\nk=2\r\n", "s", "k", ""},
      {"a value may hold =", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
      {"a value may hold ; and [", "[s]\r\nk=a ; [b]\r\n", "s", "k", "a ; [b]"},
      {"name up to the last ]", "[s]x]\r\nk=1\r\n", "s]x", "k", "1"},
      {"the next header ends a section", "[s]\r\n[t]\r\nk=1\r\n", "s", "k", ""},
      {"blanks in the looked-up names", "[s]\r\nk=1\r\n", " s ", " k ", "1"},
      {"keys before the first header", "k=1\r\n[s]\r\nj=2\r\n", "", "k", "1"},
      {"an empty key name never matches", "[s]\r\n=1\r\n", "s", "", ""},
      {"blanks inside the value stay", "[s]\r\nk= a  b \r\n", "s", "k", "a  b"},
      {"only a matching pair of quotes goes", "[s]\r\nk='a\"\r\n", "s", "k", "'a\""},
      {"a quote alone stays", "[s]\r\nk=\"\r\n", "s", "k", "\""},
      {"a pair of quotes alone is empty", "[s]\r\nk=\"\"\r\n", "s", "k", ""},
      {"quotes inside stay", "[s]\r\nk=a\"b\"\r\n", "s", "k", "a\"b\""},
      {"a NUL ends the value", std::string("[s]\r\nk=ab\0cd\r\n", 14), "s", "k", "ab"},
      {"a NUL ends a key name", std::string("[s]\r\nk\0x=1\r\n", 12), "s", "k", "1"},
      {"a NUL ends a section name", std::string("[s\0t]\r\nk=1\r\n", 12), "s", "k", "1"},
      {"blanks before a NUL stay in the name", std::string("[s]\r\nk \0x=1\r\n", 13), "s", "k", ""},
      {"non-ASCII letters are compared as they are", "[\xC9t\xE9]\r\nk=1\r\n", "\xE9t\xE9", "k", ""},
      {"a long value is cut to 254", "[s]\r\nk=" + long_value + "\r\n", "s", "k", long_value.substr(0, 254)},
      {"a long quoted value is cut to 254", "[s]\r\nk=\"" + long_value + "\"\r\n", "s", "k", long_value.substr(0, 254)},
      {"a value of exactly 254 is whole", "[s]\r\nk=" + long_value.substr(0, 254) + "\r\n", "s", "k", long_value.substr(0, 254)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ReadProfileValue(c.text, c.section, c.key), c.expected);
    EXPECT_EQ(ProfileIndex(c.text).Read(c.section, c.key), c.expected);
  }
}

TEST(ProfileWrite, EditsInPlace) {
  const struct {
    const char* what;
    std::string before;
    const char *section, *key;
    std::string value, after;
  } cases[] = {
      {"creates a file", "", "QRVL_Settings", "FLPATH", "C:\\fl.exe", "[QRVL_Settings]\r\nFLPATH=C:\\fl.exe\r\n"},
      {"appends a section after a last line with CR LF", "[QRVL_Settings]\r\nFLPATH=x\r\n", "FLID_1", "INSTALL", "k1",
       "[QRVL_Settings]\r\nFLPATH=x\r\n[FLID_1]\r\nINSTALL=k1\r\n"},
      {"appends a section after a last line without line end", "[QRVL_Settings]\r\nFLPATH=x", "FLID_1", "INSTALL", "k1",
       "[QRVL_Settings]\r\nFLPATH=x\r\n[FLID_1]\r\nINSTALL=k1\r\n"},
      {"appends a section after blank lines at the end", "[a]\r\nk=1\r\n\r\n", "b", "j", "2",
       "[a]\r\nk=1\r\n\r\n[b]\r\nj=2\r\n"},
      {"keeps LF when every line ends in LF", "[a]\nk=1", "b", "j", "2", "[a]\nk=1\n[b]\nj=2\n"},
      {"uses CR LF in a file with CR LF lines", "[a]\r\nk=1\n", "b", "j", "2", "[a]\r\nk=1\n[b]\r\nj=2\r\n"},
      {"replaces a value in its line", "[a]\r\nk=old\r\nz=1\r\n", "a", "k", "new", "[a]\r\nk=new\r\nz=1\r\n"},
      {"replaces a value keeping the name's spelling and indentation", "[A]\r\n  K  =  old  \r\nz=1\r\n", "a", "k", "new",
       "[A]\r\n  K=new\r\nz=1\r\n"},
      {"replaces a value in a last line without line end", "[a]\r\nk=old", "a", "k", "new", "[a]\r\nk=new"},
      {"replaces a value with an empty one", "[a]\r\nk=old\r\n", "a", "k", "", "[a]\r\nk=\r\n"},
      {"gives a key without = its value", "[a]\r\nk\r\n", "a", "k", "v", "[a]\r\nk=v\r\n"},
      {"adds a key after the last line of its section", "[a]\r\nk=1\r\n\r\n[b]\r\nj=2\r\n", "a", "m", "3",
       "[a]\r\nk=1\r\nm=3\r\n\r\n[b]\r\nj=2\r\n"},
      {"adds a key to a section without keys", "[a]\r\n[b]\r\nj=2\r\n", "a", "m", "3", "[a]\r\nm=3\r\n[b]\r\nj=2\r\n"},
      {"adds a key after a header without line end", "[a]", "a", "m", "3", "[a]\r\nm=3\r\n"},
      {"adds a key after a last line without line end", "[a]\nk=1", "a", "m", "3", "[a]\nk=1\nm=3\n"},
      {"adds a key after a trailing comment of its section", "[a]\r\nk=1\r\n; end of a\r\n[b]\r\n", "a", "m", "3",
       "[a]\r\nk=1\r\n; end of a\r\nm=3\r\n[b]\r\n"},
      {"writes only into the first section of a name", "[a]\r\nk=1\r\n[a]\r\nm=2\r\n", "A", "m", "3",
       "[a]\r\nk=1\r\nm=3\r\n[a]\r\nm=2\r\n"},
      {"does not take a key of another section", "[a]\r\nk=1\r\n[b]\r\nk=2\r\n", "b", "k", "3", "[a]\r\nk=1\r\n[b]\r\nk=3\r\n"},
      {"adds an empty value", "[a]\r\n", "a", "DISC", "", "[a]\r\nDISC=\r\n"},
      {"writes a value unchanged", "", "a", "k", "  \"q\" ; [x] =y ", "[a]\r\nk=  \"q\" ; [x] =y \r\n"},
      {"keeps a byte order mark", "\xEF\xBB\xBF[a]\r\nk=1\r\n", "a", "k", "2", "\xEF\xBB\xBF[a]\r\nk=2\r\n"},
      {"does not start a file holding only a byte order mark with a blank line", "\xEF\xBB\xBF", "a", "k", "1",
       "\xEF\xBB\xBF[a]\r\nk=1\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(SetProfileValue(c.before, c.section, c.key, c.value), c.after) << c.what;
}

TEST(ProfileWrite, LongValueIsWrittenWholeAndReadCut) {
  const std::string value(300, 'x');
  const std::string text = SetProfileValue("[a]\r\nk=1\r\n", "a", "long", value);
  EXPECT_EQ(text, "[a]\r\nk=1\r\nlong=" + value + "\r\n");
  EXPECT_EQ(ReadProfileValue(text, "a", "long"), value.substr(0, 254));
  EXPECT_EQ(FindProfileValue(text, "a", "long"), value);
  EXPECT_EQ(FindProfileValue(text, "a", "k"), "1");
  EXPECT_EQ(FindProfileValue(text, "a", "none"), std::nullopt);
  EXPECT_EQ(FindProfileValue("[a]\r\nbare\r\n", "a", "bare"), std::nullopt);
}

// A run of writes over a handful of sections and keys, checked against a plain map: after every write
// each key reads back the last value written to it and nothing else moved.
TEST(ProfileWrite, WritesReadBackAsAMap) {
  std::mt19937 random(20240611);
  const std::vector<std::string> sections = {"QRVL_Settings", "FLID_1", "FLID_2", "FLID_10"};
  const std::vector<std::string> keys = {"INSTALL", "MAN", "MANS", "DISC", "FLPATH"};
  std::map<std::pair<std::string, std::string>, std::string> model;
  std::string text = "; hand-written header\n\n";
  for (int step = 0; step < 400; ++step) {
    const std::string& section = sections[random() % sections.size()];
    const std::string& key = keys[random() % keys.size()];
    std::string value;
    for (std::size_t n = random() % 12; n > 0; --n) value += "ab [|]=;,x"[random() % 10];
    while (!value.empty() && value.back() == ' ') value.pop_back();
    while (!value.empty() && value.front() == ' ') value.erase(0, 1);
    text = SetProfileValue(text, section, key, value);
    model[{section, key}] = value;
    if (step % 20 != 0) continue;
    const ProfileIndex index(text);
    for (const std::string& s : sections) {
      for (const std::string& k : keys) {  // a key never written reads ""
        ASSERT_EQ(ReadProfileValue(text, s, k), (model[{s, k}])) << s << "/" << k << " at step " << step << " in\n" << text;
        ASSERT_EQ(index.Read(s, k), (model[{s, k}])) << s << "/" << k << " at step " << step;
      }
    }
  }
  EXPECT_EQ(text.find("\n\n", 22), std::string::npos) << "the writer added a blank line:\n" << text;
}

}  // namespace
}  // namespace core
