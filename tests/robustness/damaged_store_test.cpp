// Damaged and hand-edited stores. Each one is loaded, then a save, a description and a delete are
// tried on it, as a player would after finding the list odd. Whatever each step does, it either says
// "Done!" and did exactly that, or shows a stop box and left the file byte for byte as it was; and no
// saved ID that was in the file ever goes missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "robustness/robustness.h"
#include "ui/frm_mng_ids.h"

namespace {

using namespace robustness;
using namespace std::string_literals;

enum class Expect { kDone, kRefused };

struct DamagedStore {
  const char* name;
  std::string bytes;
  std::vector<std::wstring> items;  // the list after start-up
  Expect save, describe, remove;    // the outcome of each step, in this order
};

std::string Junk(unsigned seed, std::size_t size) {
  std::mt19937 rng(seed);
  std::string junk(size, '\0');
  for (char& c : junk) c = static_cast<char>(rng() % 256);
  return junk;
}

std::string Lf(std::string text) {
  std::string out;
  for (const char c : text)
    if (c != '\r') out += c;
  return out;
}

std::string CrOnly(std::string text) {
  std::string out;
  for (const char c : text)
    if (c != '\n') out += c;
  return out;
}

const std::vector<DamagedStore>& Cases() {
  static const std::vector<DamagedStore> cases = [] {
    const std::string s = kSettings;
    const std::string abc = s + Section(1, "a") + Section(2, "b") + Section(3, "c");
    std::string no_final_eol = abc;
    no_final_eol.resize(no_final_eol.size() - 2);
    const std::string long_value(300, 'x');
    const std::wstring long_item(254, L'x');
    using E = Expect;
    return std::vector<DamagedStore>{
        {"binary junk before, between and after the sections",
         Junk(1, 2000) + "\r\n" + s + Section(1, "a") + Junk(2, 3000) + "\r\n" + Section(2, "b") + Junk(3, 1000),
         {L"a", L"b"}, E::kDone, E::kDone, E::kDone},
        {"a NUL byte inside a value and on a line of its own",
         s + Section(1, "a") + "INSTALL2=x\0y\r\n\0\r\n"s + "[FLID_2]\r\nINSTALL=b\0hidden\r\n"s + Section(3, "c"),
         {L"a", L"b", L"c"}, E::kDone, E::kDone, E::kDone},
        {"LF-only line endings", Lf(abc), {L"a", L"b", L"c"}, E::kDone, E::kDone, E::kDone},
        {"CR-only line endings", CrOnly(abc), {L"a", L"b", L"c"}, E::kDone, E::kDone, E::kDone},
        {"no line end at the end of the file", no_final_eol, {L"a", L"b", L"c"}, E::kDone, E::kDone, E::kDone},
        {"a 300-character value", s + Section(1, "a") + Section(2, long_value) + Section(3, "c"),
         {L"a", long_item, L"c"}, E::kDone, E::kDone, E::kDone},
        {"a UTF-8 byte order mark, blank lines, comments, blanks around names and \"=\"",
         "\xEF\xBB\xBF" + s + "\r\n; saved IDs\r\n[FLID_1]\r\n  INSTALL = a \r\nMAN=m-a\r\n\r\n" + Section(2, "b"),
         {L"a", L"b"}, E::kDone, E::kDone, E::kDone},
        // FLID_2 twice: the count says four IDs, the fourth row is empty; renumbering finds no FLID_4.
        {"a section twice", s + Section(1, "a") + Section(2, "b") + Section(2, "b2") + Section(3, "c"),
         {L"a", L"b", L"c", L""}, E::kDone, E::kDone, E::kRefused},
        // FLID_2 missing: the save fills the gap, after which the store is whole again.
        {"a gap in the numbering", s + Section(1, "a") + Section(3, "c"), {L"a", L""}, E::kDone, E::kDone, E::kDone},
        // flid_2 is read (names match in any case) but not counted, so FLID_3 is never loaded and a new
        // section could only go where no load would find it.
        {"a header in other letter case", s + Section(1, "a") + "[flid_2]\r\nINSTALL=b\r\n" + Section(3, "c"),
         {L"a", L"b"}, E::kRefused, E::kDone, E::kRefused},
        // The field after the comma counts as a header, so the count is one too high.
        {"a field \"x,[FLID_9\"", s + Section(1, "a") + "DISC=x,[FLID_9\r\n" + Section(2, "b") + Section(3, "c"),
         {L"a", L"b", L"c", L""}, E::kDone, E::kDone, E::kRefused},
    };
  }();
  return cases;
}

void PrintTo(const DamagedStore& c, std::ostream* out) { *out << c.name; }

class DamagedStoreTest : public RobustTest, public testing::WithParamInterface<DamagedStore> {};

TEST_P(DamagedStoreTest, LoadsAndEveryChangeIsWholeOrRefusedWithoutLosingAnId) {
  const DamagedStore& c = GetParam();
  Open(c.bytes);
  EXPECT_EQ(TakeMessages(), std::vector<std::wstring>{}) << "start-up";
  EXPECT_EQ(Items(), c.items);

  // Save.
  std::string before = Store();
  testing_support::Asked box = Save();
  if (c.save == Expect::kDone) {
    EXPECT_EQ(box.title, L"Done!");
    std::multiset<std::string> expected = InstallValues(before);
    expected.insert(kInstalled);
    EXPECT_EQ(InstallValues(Store()), expected);
    const std::vector<std::wstring> items = Relist();
    EXPECT_NE(std::find(items.begin(), items.end(), L"saved-now"), items.end()) << "the saved ID is not listed";
  } else {
    EXPECT_TRUE(IsStop(box, L"Quorvel - Save Error")) << Utf8(box.title + L": " + box.text);
    EXPECT_EQ(Store(), before);
  }
  TakeMessages();

  // Describe the first saved ID; after a fresh start the description is still that ID's.
  before = Store();
  box = Describe(0, L"checked [1] = ; x|y");
  if (c.describe == Expect::kDone) {
    EXPECT_EQ(box.text, L"Continue editing the discription?");
    EXPECT_EQ(InstallValues(Store()), InstallValues(before));
    TakeMessages();
    Restart();
    EXPECT_EQ(TakeMessages(), std::vector<std::wstring>{}) << "restart";
    program().MngIdsWindow().Select(0);
    EXPECT_EQ(program().MngIdsWindow().Text(ui::frm_mng_ids::txt_disc), L"checked (1) = ; x|y");
  } else {
    EXPECT_TRUE(IsStop(box, L"Quorvel - Description Error")) << Utf8(box.title + L": " + box.text);
    EXPECT_EQ(Store(), before);
  }
  TakeMessages();

  // Delete the first saved ID: exactly its INSTALL value leaves the file.
  before = Store();
  const std::vector<std::wstring> items = Relist();
  ASSERT_FALSE(items.empty());
  box = Delete(0);
  if (c.remove == Expect::kDone) {
    EXPECT_EQ(box.title, L"Done!");
    std::multiset<std::string> expected = InstallValues(before);
    const auto first = expected.find(Utf8(items[0]));
    ASSERT_NE(first, expected.end());
    expected.erase(first);
    EXPECT_EQ(InstallValues(Store()), expected);
    EXPECT_EQ(Items(), std::vector<std::wstring>(items.begin() + 1, items.end()));
  } else {
    EXPECT_TRUE(IsStop(box, L"Quorvel - Delete Error")) << Utf8(box.title + L": " + box.text);
    EXPECT_EQ(Store(), before);
    EXPECT_EQ(Items(), items);
  }
}

std::string CaseName(const testing::TestParamInfo<DamagedStore>& param) {
  std::string name;
  for (const char ch : std::string(param.param.name))
    if (std::isalnum(static_cast<unsigned char>(ch))) name += ch;
  return name;
}

INSTANTIATE_TEST_SUITE_P(Stores, DamagedStoreTest, testing::ValuesIn(Cases()), CaseName);

// A CR-only store gets a line with CR LF once the program writes into it (the writer ends new lines
// with CR LF when the file has any CR). Deleting an ID before such a line must still move every later
// ID up whole.
TEST_F(RobustTest, DeletingInACrOnlyStoreKeepsTheLaterIds) {
  Open(CrOnly(kSettings + Section(1, "a") + Section(2, "b")));
  EXPECT_EQ(Describe(1, L"second").text, L"Continue editing the discription?");
  TakeMessages();
  const std::string before = Store();
  const testing_support::Asked box = Delete(0);
  if (box.title == L"Done!") {
    EXPECT_EQ(InstallValues(Store()), (std::multiset<std::string>{"b"})) << Store();
    EXPECT_EQ(program().SavedIds[1], (app::SavedIdRow{L"", L"b", L"m-b", L"s-b", L"second"}));
  } else {
    EXPECT_TRUE(IsStop(box, L"Quorvel - Delete Error")) << Utf8(box.title + L": " + box.text);
    EXPECT_EQ(Store(), before);
  }
}

// A store of several MB: 30,000 saved IDs with descriptions. Every operation stays within seconds.
TEST_F(RobustTest, AHugeStoreLoadsAndChangesInSeconds) {
  std::string store = kSettings;
  const std::string description = "pilot on the second server|trader|" + std::string(120, 'd');
  for (int n = 1; n <= 30000; ++n) store += Section(n, "k" + std::to_string(n)) + "DISC=" + description + "\r\n";
  ASSERT_GT(store.size(), 5u << 20);

  using Clock = std::chrono::steady_clock;
  const double megabytes = static_cast<double>(store.size()) / (1 << 20);
  const auto timed = [&](const char* what, double limit, auto&& step) {
    const Clock::time_point start = Clock::now();
    step();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("huge store (%.1f MB): %-22s %.2f s\n", megabytes, what, seconds);
    EXPECT_LT(seconds, limit) << what;
  };
  timed("start-up and list", 20.0, [&] { Open(store); });
  ASSERT_EQ(program().IdCount, 30000);
  EXPECT_EQ(Items().size(), 30000u);
  timed("delete the first ID", 20.0, [&] { EXPECT_EQ(Delete(0).title, L"Done!"); });
  timed("save", 10.0, [&] { EXPECT_EQ(Save().title, L"Done!"); });
  Relist();
  timed("describe the last ID", 10.0,
        [&] { EXPECT_EQ(Describe(29999, L"last").text, L"Continue editing the discription?"); });

  // k1 went, k2..k30000 moved up a number, saved-now is the last one.
  const std::multiset<std::string> values = InstallValues(Store());
  EXPECT_EQ(values.size(), 30000u);
  EXPECT_EQ(values.count("k1"), 0u);
  EXPECT_EQ(values.count("k30000"), 1u);
  EXPECT_EQ(program().SavedIds[1][1], L"k2");
  EXPECT_EQ(program().SavedIds[29999][1], L"k30000");
  EXPECT_EQ(program().SavedIds[30000][1], L"saved-now");
  EXPECT_EQ(program().SavedIds[30000][4], L"last");
}

}  // namespace
