// The platform-free rules, natively under AddressSanitizer and UBSan (and again under Wine): writing
// the profile-file text, the store's format, the delete transform, the server arguments and the printed
// line. How the profile text reads is proven against Windows' own reader (tests/edges), the registry
// codec through the real registry, descriptions through the program (tests/program).
#include <gtest/gtest.h>

#include <tuple>
#include <string>
#include <vector>

#include "core/delete_section.h"
#include "core/print_page.h"
#include "core/profile.h"
#include "core/server_args.h"
#include "core/store_format.h"

namespace core {
namespace {

// A write changes the one line it must (or adds one) and leaves every other byte as it was.
TEST(Profile, WritesInPlace) {
  const struct {
    std::string before, section, key, value, after;
  } cases[] = {
      {"", "QRVL_Settings", "FLPATH", "C:\\fl.exe", "[QRVL_Settings]\r\nFLPATH=C:\\fl.exe\r\n"},
      {"[a]\r\nk=1", "b", "j", "2", "[a]\r\nk=1\r\n[b]\r\nj=2\r\n"},
      {"[a]\r\nk=1\r\n\r\n", "b", "j", "2", "[a]\r\nk=1\r\n\r\n[b]\r\nj=2\r\n"},
      {"[a]\nk=1", "b", "j", "2", "[a]\nk=1\n[b]\nj=2\n"},
      {"[a]\rk=1\r", "b", "j", "2", "[a]\rk=1\r[b]\r\nj=2\r\n"},
      {"[A]\r\n  K  =  old  \r\nz=1\r\n", "a", "k", "new", "[A]\r\n  K=new\r\nz=1\r\n"},
      {"[a]\r\nk=old", "a", "k", "", "[a]\r\nk="},
      {"[a]\r\nk\r\n", "a", "k", "v", "[a]\r\nk=v\r\n"},
      {"[a]\r\nk=1\r\n; end\r\n\r\n[b]\r\nm=2\r\n", "a", "m", "3", "[a]\r\nk=1\r\n; end\r\nm=3\r\n\r\n[b]\r\nm=2\r\n"},
      {"[a]\r\n[a]\r\nm=2\r\n", "A", "m", "3", "[a]\r\nm=3\r\n[a]\r\nm=2\r\n"},
      {"[a]", "a", "m", "3", "[a]\r\nm=3\r\n"},
      {"\xEF\xBB\xBF", "a", "k", " \"q\" ;[x]=y", "\xEF\xBB\xBF[a]\r\nk= \"q\" ;[x]=y\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(SetProfileValue(c.before, c.section, c.key, c.value), c.after) << c.before;
}

TEST(StoreFormat, CountsFieldsBeginningWithTheHeaderAndLoadsRowsByNumber) {
  const std::pair<const char*, int> counts[] = {
      {"", 0}, {"[QRVL_Settings]\r\n", 0}, {"[FLID_1]\r\n[FLID_3]\r\n", 2}, {"DISC=a,[FLID_9]\r\n", 1},
      {"[FLID_1],[FLID_2], [FLID_3]", 3}, {" \t[FLID_2] old\n[FLID_1]\r[FLID_4]", 3}, {"[flid_2]\r\n", 0},
      {"x[FLID_1]\r\nDISC=[FLID_2]\r\n", 0}, {"[FLID\r\n[FLID_", 1}};
  for (const auto& [text, count] : counts) EXPECT_EQ(CountIdHeaders(text), count) << text;

  const LoadedStore store = LoadStoreText(
      "[QRVL_Settings]\r\nFLPATH=C:\\fl.exe\r\nFLIPS=1.2.3.4\r\n[FLID_3]\r\nINSTALL=c\r\n[FLID_1]\r\nINSTALL=a\r\n"
      "MAN=m\r\nMANS=s\r\nDISC=d|e\r\n");
  EXPECT_EQ(store.rows, (std::vector<StoreRow>{{}, {"", "a", "m", "s", "d|e"}, {}}));  // FLID_2 is missing
  EXPECT_EQ(store.game_path + " " + store.server_ips, "C:\\fl.exe 1.2.3.4");

  std::string full;
  for (int i = 1; i <= kMaxSavedIds + 2; ++i) full += "[" + IdSectionName(i) + "]\r\nINSTALL=" + std::to_string(i) + "\r\n";
  const LoadedStore capped = LoadStoreText(full);
  EXPECT_EQ(capped.id_count, kMaxSavedIds);
  EXPECT_EQ(capped.rows.back()[1], std::to_string(kMaxSavedIds));
}

TEST(DeleteIdSection, RefusesStoresItCannotRenumber) {
  const std::string id1 = "[FLID_1]\r\nINSTALL=a\r\n", id2 = "[FLID_2]\r\nINSTALL=b\r\n";
  const std::tuple<std::string, int, int, DeleteOutcome> cases[] = {
      {id1, 0, 1, DeleteOutcome::kBadNumber},           {id1 + id2, 3, 2, DeleteOutcome::kBadNumber},
      {id2, 1, 1, DeleteOutcome::kHeaderNotFound},      {"[flid_1]\r\n", 1, 1, DeleteOutcome::kHeaderNotFound},
      {id2 + id1, 1, 2, DeleteOutcome::kNoNextSection}, {id1 + id2, 1, 3, DeleteOutcome::kRenumberedHeaderMissing},
      {id1 + "[FLID_2]", 1, 2, DeleteOutcome::kNoLineEnd},
      {id1 + id2, 1, 2'000'000'000, DeleteOutcome::kRenumberedHeaderMissing}};
  for (const auto& [text, m, count, outcome] : cases) {
    const DeleteResult result = DeleteIdSection(text, m, count);
    EXPECT_EQ(result.outcome, outcome) << text << " m=" << m;
    EXPECT_EQ(result.text, "");
    EXPECT_NE(std::wstring(DeleteOutcomeText(outcome)), L"");
  }
}

TEST(ServerArgs, OneArgumentPerServerEndingInTheGamePort) {
  const std::pair<const wchar_t*, const wchar_t*> examples[] = {
      {L"1.2.3.4|5.6.7.8", L" -s1.2.3.4:2302 -s5.6.7.8:2302"}, {L"1.2.3.4:2302|5.6.7.8", L" -s1.2.3.4:2302 -s5.6.7.8:2302"},
      {L"1.2.3.4", L" -s1.2.3.4:2302"}, {L"", L" -s:2302"}, {L"1.2.3.4|", L" -s1.2.3.4:2302 -s:2302"},
      {L"1.2.3.4:2303", L" -s1.2.3.4:2303:2302"}, {L"1.2.3.4:23021", L" -s1.2.3.41:2302"},
      {L"1.2.3.4 | 5.6.7.8", L" -s1.2.3.4 :2302 -s 5.6.7.8:2302"}};
  for (const auto& [typed, args] : examples) EXPECT_EQ(BuildServerArgs(typed), args) << testing::PrintToString(std::wstring(typed));
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
