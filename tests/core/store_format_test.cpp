#include "core/store_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace core {
namespace {

// The store of two saved IDs, one described, as the program leaves it.
const std::string kExampleStore =
    "[QRVL_Settings]\r\n"
    "FLPATH=C:\\Games\\Freelancer\\EXE\\Freelancer.exe\r\n"
    "FLIPS=1.2.3.4|5.6.7.8\r\n"
    "[FLID_1]\r\n"
    "INSTALL=key-one\r\n"
    "MAN=name-one\r\n"
    "MANS=sig-one\r\n"
    "DISC=Main pilot|trader on the second server\r\n"
    "[FLID_2]\r\n"
    "INSTALL=key-two\r\n"
    "MAN=name-two\r\n"
    "MANS=sig-two\r\n";

TEST(StoreFormat, CountsFieldsThatBeginWithTheHeader) {
  struct Case {
    const char* what;
    std::string text;
    int count;
  };
  const std::vector<Case> cases = {
      {"empty file", "", 0},
      {"settings only", "[QRVL_Settings]\r\nFLPATH=x\r\n", 0},
      {"the example store", kExampleStore, 2},
      {"three sections", "[FLID_1]\r\n[FLID_2]\r\n[FLID_3]\r\n", 3},
      {"a gap counts the headers only", "[FLID_1]\r\nINSTALL=a\r\n[FLID_3]\r\nINSTALL=c\r\n", 2},
      {"any number counts once", "FLPATH=x\r\n[FLID_7]\r\n", 1},
      {"a field after a comma", "DISC=a,[FLID_9]\r\n", 1},
      {"fields after commas on one line", "[FLID_1],[FLID_2], [FLID_3]", 3},
      {"a header followed by text", "[FLID_2] old one\r\n", 1},
      {"blanks before a header", "  \t[FLID_1]\r\n", 1},
      {"letter case counts", "[flid_2]\r\n[Flid_3]\r\n", 0},
      {"only the start of a field counts", "x[FLID_1]\r\nDISC=[FLID_2]\r\n", 0},
      {"a header that is cut short does not count", "[FLID\r\n[FLID_", 1},
      {"LF only", "[FLID_1]\n[FLID_2]\n", 2},
      {"CR only", "[FLID_1]\r[FLID_2]\r", 2},
      {"no line end at the end", "[FLID_1]\r\n[FLID_2]", 2},
      {"blank lines never count", "\r\n\r\n\n\r", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(CountIdHeaders(c.text), c.count);
  }
}

TEST(StoreFormat, LoadsTheExampleStore) {
  const LoadedStore store = LoadStoreText(kExampleStore);
  ASSERT_EQ(store.id_count, 2);
  ASSERT_EQ(store.rows.size(), 3u);
  EXPECT_EQ(store.rows[0], StoreRow{});
  EXPECT_EQ(store.rows[1], (StoreRow{"", "key-one", "name-one", "sig-one", "Main pilot|trader on the second server"}));
  EXPECT_EQ(store.rows[2], (StoreRow{"", "key-two", "name-two", "sig-two", ""}));
  EXPECT_EQ(store.game_path, "C:\\Games\\Freelancer\\EXE\\Freelancer.exe");
  EXPECT_EQ(store.server_ips, "1.2.3.4|5.6.7.8");
}

TEST(StoreFormat, LoadsSettingsOnly) {
  const LoadedStore store = LoadStoreText("[QRVL_Settings]\r\nFLPATH=C:\\fl.exe\r\n");
  EXPECT_EQ(store.id_count, 0);
  ASSERT_EQ(store.rows.size(), 1u);
  EXPECT_EQ(store.rows[0], StoreRow{});
  EXPECT_EQ(store.game_path, "C:\\fl.exe");
  EXPECT_EQ(store.server_ips, "");
}

TEST(StoreFormat, ReadsSectionsByNumberNotByPosition) {
  // Sections FLID_1 and FLID_3: two headers, so row 2 is read from the missing FLID_2 and FLID_3
  // is never loaded. Sections out of order still land in the row of their number.
  const LoadedStore gap = LoadStoreText("[FLID_1]\r\nINSTALL=a\r\n[FLID_3]\r\nINSTALL=c\r\n");
  ASSERT_EQ(gap.id_count, 2);
  EXPECT_EQ(gap.rows[1][1], "a");
  EXPECT_EQ(gap.rows[2], StoreRow{});

  const LoadedStore swapped = LoadStoreText("[FLID_2]\r\nINSTALL=b\r\n[FLID_1]\r\nINSTALL=a\r\n");
  ASSERT_EQ(swapped.id_count, 2);
  EXPECT_EQ(swapped.rows[1][1], "a");
  EXPECT_EQ(swapped.rows[2][1], "b");
}

TEST(StoreFormat, LoadsValuesAsTheProfileReaderReadsThem) {
  const std::string long_value(300, 'k');
  const LoadedStore store = LoadStoreText("[FLID_1]\r\ninstall = " + long_value + "\r\nDISC=\r\n");
  ASSERT_EQ(store.id_count, 1);
  EXPECT_EQ(store.rows[1][1], long_value.substr(0, 254));
  EXPECT_EQ(store.rows[1][4], "");
}

TEST(StoreFormat, StopsAtTheLargestCountTheTableHolds) {
  std::string text = "[QRVL_Settings]\r\nFLPATH=x\r\n";
  const int sections = kMaxSavedIds + 3;
  for (int i = 1; i <= sections; ++i) text += "[" + IdSectionName(i) + "]\r\nINSTALL=" + std::to_string(i) + "\r\n";
  EXPECT_EQ(CountIdHeaders(text), kMaxSavedIds);
  const LoadedStore store = LoadStoreText(text);
  ASSERT_EQ(store.id_count, kMaxSavedIds);
  ASSERT_EQ(store.rows.size(), static_cast<std::size_t>(kMaxSavedIds) + 1);
  EXPECT_EQ(store.rows[1][1], "1");
  EXPECT_EQ(store.rows.back()[1], std::to_string(kMaxSavedIds));
  EXPECT_EQ(store.game_path, "x");
}

}  // namespace
}  // namespace core
