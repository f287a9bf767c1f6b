// The platform-free rules, natively under AddressSanitizer and UBSan (and again under Wine): writing
// the profile-file text, the store's format, the server arguments and the printed line. How the profile
// text reads is proven against Windows' own reader (tests/edges); the registry codec, descriptions and
// the delete transform through the program (tests/program), the delete transform also by the fuzz
// target against the step-by-step delete, from seeds that reach each way it refuses (tests/fuzz).
#include <gtest/gtest.h>

#include <tuple>
#include <string>

#include "core/archive.h"
#include "core/command_line.h"
#include "core/id_digest.h"
#include "core/print_page.h"
#include "core/profile.h"
#include "core/server_args.h"
#include "core/store_format.h"

namespace core {
namespace {

// A write changes the one line it must (or adds one) and leaves every other byte as it was. Which line
// that is, is proven against Windows' own writer (tests/edges); these pin the bytes around it.
TEST(Profile, WritesInPlace) {
  const struct {
    std::string before, section, key, value, after;
  } cases[] = {
      {"[a]\r\nk=1\r\n\r\n", "b", "j", "2", "[a]\r\nk=1\r\n\r\n[b]\r\nj=2\r\n"},
      {"[a]\nk=1", "b", "j", "2", "[a]\nk=1\n[b]\nj=2\n"},
      {"[a]\rk=1\r", "b", "j", "2", "[a]\rk=1\r[b]\r\nj=2\r\n"},
      {"[A]\r\n  K  =  old  \r\nz=1\r\n", "a", "k", "new", "[A]\r\n  K=new\r\nz=1\r\n"},
      {"[a]\r\nk=old", "a", "k", "", "[a]\r\nk="},
      {"[a]\r\nk=1\r\n; end\r\n\r\n[b]\r\nm=2\r\n", "a", "m", "3", "[a]\r\nk=1\r\n; end\r\nm=3\r\n\r\n[b]\r\nm=2\r\n"},
      {"[a]", "a", "m", "3", "[a]\r\nm=3\r\n"},
      {"\xEF\xBB\xBF", "a", "k", " \"q\" ;[x]=y", "\xEF\xBB\xBF[a]\r\nk= \"q\" ;[x]=y\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(SetProfileValue(c.before, c.section, c.key, c.value), c.after) << c.before;
}

TEST(StoreFormat, CountsFieldsBeginningWithTheHeaderAndLoadsNoMoreThanItCanKeep) {
  const std::pair<const char*, int> counts[] = {
      {"", 0}, {"[QRVL_Settings]\r\n", 0}, {"[FLID_1]\r\n[FLID_3]\r\n", 2}, {"DISC=a,[FLID_9]\r\n", 1},
      {"[FLID_1],[FLID_2], [FLID_3]", 3}, {" \t[FLID_2] old\n[FLID_1]\r[FLID_4]", 3}, {"[flid_2]\r\n", 0},
      {"x[FLID_1]\r\nDISC=[FLID_2]\r\n", 0}, {"[FLID\r\n[FLID_", 1}};
  for (const auto& [text, count] : counts) EXPECT_EQ(CountIdHeaders(text), count) << text;

  std::string full;
  for (int i = 1; i <= kMaxSavedIds + 2; ++i) full += "[" + IdSectionName(i) + "]\r\nINSTALL=" + std::to_string(i) + "\r\n";
  const LoadedStore capped = LoadStoreText(full);
  EXPECT_EQ(capped.id_count, kMaxSavedIds);
  EXPECT_EQ(capped.rows.back()[1], std::to_string(kMaxSavedIds));
}

TEST(ServerArgs, OneArgumentPerServerEndingInTheGamePort) {
  const std::pair<const wchar_t*, const wchar_t*> examples[] = {
      {L"1.2.3.4|5.6.7.8", L" -s1.2.3.4:2302 -s5.6.7.8:2302"}, {L"1.2.3.4:2302|5.6.7.8", L" -s1.2.3.4:2302 -s5.6.7.8:2302"},
      {L"1.2.3.4", L" -s1.2.3.4:2302"}, {L"", L" -s:2302"}, {L"1.2.3.4|", L" -s1.2.3.4:2302 -s:2302"},
      {L"1.2.3.4:2303", L" -s1.2.3.4:2303:2302"}, {L"1.2.3.4:23021", L" -s1.2.3.41:2302"},
      {L"1.2.3.4 | 5.6.7.8", L" -s1.2.3.4 :2302 -s 5.6.7.8:2302"}};
  for (const auto& [typed, args] : examples) EXPECT_EQ(BuildServerArgs(typed), args) << testing::PrintToString(std::wstring(typed));
}

// A shortcut's arguments give back any key and its digest as they were, by the rules of the shell's own
// splitter; only "/play" (in any letter case) with a key, and a digest or (an older shortcut) none, is
// understood.
TEST(CommandLine, KeysComeBackAsQuotedAndOnlyPlayIsUnderstood) {
  for (const wchar_t* key : {L"9F8E-7D6C", L"", L" a b ", L"a\\", L"a\\\"b", L"\"", L"\\\\\"\"\\", L"\t\u00e9"}) {
    const Command command = ParseCommand(PlayArguments(key, L"0123456789abcdef"));
    EXPECT_EQ(command.kind, Command::kPlay) << PlayArguments(key, L"");
    EXPECT_EQ(command.key + L"|" + command.digest, key + std::wstring(L"|0123456789abcdef")) << PlayArguments(key, L"");
  }
  const std::pair<const wchar_t*, std::vector<std::wstring>> lines[] = {
      {L"", {}}, {L" \t ", {}}, {L"a  b\tc", {L"a", L"b", L"c"}}, {L"\"a b\"c d", {L"a bc", L"d"}}, {L"a\\b \\\\\"c\"", {L"a\\b", L"\\c"}},
      {L"\"a\"\"b\"", {L"a\"b"}}, {L"\"\" x", {L"", L"x"}}, {L"\"open", {L"open"}}, {L"a\\", {L"a\\"}},
      {L"/play \"a\"\"b c\"", {L"/play", L"a\"b", L"c"}}, {L"\"a\"\"\"b\"", {L"a\"b"}}, {L"a\"\"\"b", {L"a\"b"}}};
  for (const auto& [line, arguments] : lines) EXPECT_EQ(SplitArguments(line), arguments) << testing::PrintToString(std::wstring(line));
  for (const wchar_t* line : {L"/play", L"/play a b", L"play a", L"-play a", L"/playa", L"/play a 0123456789abcde",
                              L"/play a 0123456789abcdeg", L"/play a 0123456789abcdef x"})
    EXPECT_EQ(ParseCommand(line).kind, Command::kUnknown) << testing::PrintToString(std::wstring(line));
  const Command older = ParseCommand(L"/PLAY k"), upper = ParseCommand(L"/play k 0123456789ABCDEF");
  EXPECT_EQ(older.key + L"|" + older.digest + L"|" + upper.digest, L"k||0123456789abcdef");
  EXPECT_EQ(ParseCommand(L"  ").kind, Command::kNone);
}

// The digest is pinned: a shortcut made by one version names its ID for every later one.
TEST(IdDigest, FnvOfTheThreeValuesJoinedByLineFeeds) {
  EXPECT_EQ(IdDigest("", "", ""), L"08547e07b5084555");
  EXPECT_EQ(IdDigest("key-a", "man-a", "sig-a"), L"e68684b71280e8e3");
  EXPECT_NE(IdDigest("key-a", "man-a", "sig-a"), IdDigest("key-a", "man-asig-a", ""));
  EXPECT_NE(IdDigest("key-c", "man-one", "sig"), IdDigest("key-c", "man-two", "sig"));
}

// Each saved ID's shortcut gets a name of its own, the same whatever the IDs' numbers.
TEST(CommandLine, ShortcutNamesAreFileNamesOnePerId) {
  const std::wstring d1 = L"1111111111111111", d2 = L"2222222222222222", d3 = L"3333333333333333";
  using Ids = std::vector<ShortcutId>;
  using Names = std::vector<std::wstring>;
  const std::pair<Ids, Names> cases[] = {
      {{{L"Main pilot|Trader", L"k", d1}, {L"Alt", L"k", d2}}, {L"Freelancer - Main pilot", L"Freelancer - Alt"}},
      {{{L"", L"9F8E-7D6C-5B4A", d1}, {L"|second", L"key-b", d2}, {L"  . ..  |x", L"", d3}},
       {L"Freelancer - ID 9F8E-7D6", L"Freelancer - ID key-b", L"Freelancer - ID 33333333"}},
      {{{L"Main", L"key-a", d1}, {L"main|x", L"key-b", d2}, {L"Alt", L"key-c", d3}},
       {L"Freelancer - Main (key-a)", L"Freelancer - main (key-b)", L"Freelancer - Alt"}},
      {{{L"", L"key-c", d1}, {L"", L"key-c", d2}, {L"two", L"key-c", d3}},
       {L"Freelancer - ID key-c 11111111", L"Freelancer - ID key-c 22222222", L"Freelancer - two"}},
      {{{L"", L"key-c", d1}, {L"", L"key-c", d1}}, {L"Freelancer - ID key-c", L"Freelancer - ID key-c"}},  // one ID saved twice
      {{{L"ID key-a", L"key-z", d1}, {L"", L"key-a", d2}}, {L"Freelancer - ID key-a (key-z)", L"Freelancer - ID key-a 22222222"}},
      {{{L" a:b/c\\d*e?f\"g<h>i\tj. . ", L"k", d1}, {L"..x", L"k", d2}, {L"", L"a:b|c*. ", d3}},
       {L"Freelancer - a_b_c_d_e_f_g_h_i_j", L"Freelancer - ..x", L"Freelancer - ID a_b_c_"}},
      {{{std::wstring(100, L'x') + L"|", L"k", d1}}, {L"Freelancer - " + std::wstring(80, L'x')}},
  };
  for (const auto& [ids, names] : cases) EXPECT_EQ(ShortcutNames(ids), names) << testing::PrintToString(ids[0].description);
  // A delete renumbers: no name follows a number, and only one that told two IDs apart may lose that part.
  const Ids before{{L"", L"key-a", d1}, {L"Main", L"key-b", d2}, {L"", L"key-c", d3}, {L"Main", L"key-d", d1}};
  const Names all = ShortcutNames(before), left = ShortcutNames({before[0], before[2], before[3]});
  EXPECT_EQ(left, (Names{all[0], all[2], L"Freelancer - Main"}));
}

// The archive gives back what it wrote, and from a damaged or hand-edited one every entry that still
// names a value: spelled in other case, with blanks, LF or CR line ends, a BOM, renamed sections,
// junk lines, a cut-off end and a second copy of an entry.
TEST(Archive, ReadsWhatItWroteAndWhatIsLeftOfADamagedOne) {
  const std::vector<ArchivedId> two = {{"k1", "m1", "s1", "first|pilot", "2026-01-02 03:04"}, {"k2", "", "s2", "", ""}};
  EXPECT_EQ(ReadArchive(ArchiveText(two)), two);
  const std::string damaged[] = {
      "[Archived_1]\r\nINSTALL=k1\r\nMAN=m1\r\nMANS=s1\r\nDISC=first|pilot\r\nLEFT=2026-01-02 03:04\r\n[Archived_2]\r\nINSTALL=k2\r\nMANS=s2\r\n",
      "\xEF\xBB\xBF junk\n[x]\ninstall = k1 \nman=m1\nmans=s1\ndisc=first|pilot\nleft=2026-01-02 03:04\n\x01\x02=\n[ y\nINSTALL=k2\nMANS=s2",
      "[a]\rINSTALL=k1\rMAN=m1\rMANS=s1\rDISC=first|pilot\rLEFT=2026-01-02 03:04\r[b]\rDISC=no value\r[c]\rINSTALL=k2\rMANS=s2\r"
      "[d]\rINSTALL=k1\rMAN=m1\rMANS=s1\rDISC=a copy\r",
  };
  for (const std::string& text : damaged) EXPECT_EQ(ReadArchive(text), two) << text;
  for (const char* nothing : {"", "\xff garbage\x01", "[Archived_1]\r\nDISC=x\r\nLEFT=y\r\n", "[x]\r\nINSTALL=\r\nMAN= \r\n", "INSTALL=before any section\r\n"})
    EXPECT_TRUE(ReadArchive(nothing).empty()) << nothing;
}

// The archive takes in the store's IDs it lacks; the IDs it holds that the store does not are gone,
// newest first; a departure found without a delete is stamped once.
TEST(Archive, KnowsWhichIdsLeftTheStoreAndWhen) {
  LoadedStore store;
  store.rows = {StoreRow{}, StoreRow{"", "a", "ma", "sa", "A's"}, StoreRow{"", "b", "mb", "sb", ""}, StoreRow{"", "a", "ma", "sa", "again"},
                StoreRow{"", "", "", "", "cleared"}};
  std::vector<ArchivedId> archive = {{"c", "mc", "sc", "", "2026-05-01 10:00"}, {"d", "md", "sd", "", ""},
                                     {"e", "me", "se", "", "2026-05-02 09:00"}, {"b", "mb", "sb", "", "2026-01-01 00:00"}};
  EXPECT_TRUE(LacksStoreIds(ArchiveText(archive), store));
  EXPECT_EQ(AddStoreIds(archive, store), 1);
  EXPECT_EQ(AddStoreIds(archive, store), 0);
  EXPECT_FALSE(LacksStoreIds(ArchiveText(archive), store));
  ASSERT_EQ(archive.size(), 5u);
  EXPECT_EQ(archive[4], (ArchivedId{"a", "ma", "sa", "A's", ""}));
  EXPECT_EQ(GoneFromStore(archive, store), (std::vector<std::size_t>{2, 0, 1}));
  EXPECT_TRUE(StampDepartures(archive, store, "2026-06-01 12:00"));
  EXPECT_EQ(archive[1].left, "2026-06-01 12:00");
  EXPECT_EQ(archive[0].left, "2026-05-01 10:00");
  EXPECT_EQ(archive[3].left, "2026-01-01 00:00");
  EXPECT_FALSE(StampDepartures(archive, store, "2026-06-02 12:00"));
  MarkLeft(archive, store.rows[1], "2026-07-01 08:00");
  MarkLeft(archive, StoreRow{"", "f", "", "", "new"}, "2026-07-01 08:01");
  EXPECT_EQ(archive[4], (ArchivedId{"a", "ma", "sa", "A's", "2026-07-01 08:00"}));
  EXPECT_EQ(archive[5], (ArchivedId{"f", "", "", "new", "2026-07-01 08:01"}));
  EXPECT_TRUE(KeepDescription(archive, StoreRow{"", "f", "", "", "newer"}));
  EXPECT_FALSE(KeepDescription(archive, StoreRow{"", "f", "", "", "newer"}));
  EXPECT_FALSE(KeepDescription(archive, StoreRow{"", "g", "", "", "x"}));
  EXPECT_EQ(archive[5].disc, "newer");
  EXPECT_EQ(FirstLine("Main|trader"), "Main");
}

// The key alone in Arial 24 pt bold italic black, centred on the printable width (a wider key from its
// left edge), its top an inch below the paper's edge or at the first printable row.
TEST(PrintPage, TheKeyCentredAnInchDown) {
  EXPECT_EQ(InstalledIdLine(L" key "), (PrintedLine{L" key ", L"Arial", 24, true, true, TextColour{0, 0, 0}}));
  const std::tuple<PrintableArea, long, LinePosition> cases[] = {
      {{4760, 100, 600}, 1000, {1880, 500}}, {{4760, 100, 600}, 1001, {1879, 500}},
      {{4760, 100, 600}, 5000, {0, 500}},    {{2000, 400, 300}, 10, {995, 0}}};
  for (const auto& [area, width, at] : cases) EXPECT_EQ(PlaceLine(area, width), at) << width;
}

}  // namespace
}  // namespace core
