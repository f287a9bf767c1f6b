#include "core/store_format.h"

#include <gtest/gtest.h>

#include <string>

namespace core {
namespace {

// The store of two saved IDs, one described, as the program leaves it.
const std::string kExampleStore =
    "[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer\\EXE\\Freelancer.exe\r\nFLIPS=1.2.3.4|5.6.7.8\r\n"
    "[FLID_1]\r\nINSTALL=key-one\r\nMAN=name-one\r\nMANS=sig-one\r\nDISC=Main pilot|trader on the second server\r\n"
    "[FLID_2]\r\nINSTALL=key-two\r\nMAN=name-two\r\nMANS=sig-two\r\n";

TEST(StoreFormat, CountsFieldsThatBeginWithTheHeader) {
  const struct {
    const char* what;
    std::string text;
    int count;
  } cases[] = {
      {"empty file", "", 0},
      {"settings only", "[QRVL_Settings]\r\nFLPATH=x\r\n", 0},
      {"the example store", kExampleStore, 2},
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
  for (const auto& c : cases) EXPECT_EQ(CountIdHeaders(c.text), c.count) << c.what;
}

TEST(StoreFormat, LoadsOneRowPerCountedSectionAndTheSettings) {
  const LoadedStore store = LoadStoreText(kExampleStore);
  ASSERT_EQ(store.id_count, 2);
  EXPECT_EQ(store.rows, (std::vector<StoreRow>{{}, {"", "key-one", "name-one", "sig-one", "Main pilot|trader on the second server"},
                                               {"", "key-two", "name-two", "sig-two", ""}}));
  EXPECT_EQ(store.game_path, "C:\\Games\\Freelancer\\EXE\\Freelancer.exe");
  EXPECT_EQ(store.server_ips, "1.2.3.4|5.6.7.8");

  const LoadedStore settings = LoadStoreText("[QRVL_Settings]\r\nFLPATH=C:\\fl.exe\r\n");
  EXPECT_EQ(settings.id_count, 0);
  EXPECT_EQ(settings.rows, std::vector<StoreRow>(1));
  EXPECT_EQ(settings.game_path, "C:\\fl.exe");
  EXPECT_EQ(settings.server_ips, "");

  // Values as the profile reader reads them: blanks around names and "=" dropped, cut to 254.
  const LoadedStore odd = LoadStoreText("[FLID_1]\r\ninstall = " + std::string(300, 'k') + "\r\nDISC=\r\n");
  EXPECT_EQ(odd.rows, (std::vector<StoreRow>{{}, {"", std::string(254, 'k'), "", "", ""}}));
}

// Rows are read by section number: with FLID_1 and FLID_3 there are two headers, so row 2 comes from
// the missing FLID_2 and FLID_3 is never loaded; sections out of order land in the row of their number.
TEST(StoreFormat, ReadsSectionsByNumberNotByPosition) {
  EXPECT_EQ(LoadStoreText("[FLID_1]\r\nINSTALL=a\r\n[FLID_3]\r\nINSTALL=c\r\n").rows,
            (std::vector<StoreRow>{{}, {"", "a", "", "", ""}, {}}));
  EXPECT_EQ(LoadStoreText("[FLID_2]\r\nINSTALL=b\r\n[FLID_1]\r\nINSTALL=a\r\n").rows,
            (std::vector<StoreRow>{{}, {"", "a", "", "", ""}, {"", "b", "", "", ""}}));
}

TEST(StoreFormat, StopsAtTheLargestCountTheTableHolds) {
  std::string text = "[QRVL_Settings]\r\nFLPATH=x\r\n";
  for (int i = 1; i <= kMaxSavedIds + 3; ++i) text += "[" + IdSectionName(i) + "]\r\nINSTALL=" + std::to_string(i) + "\r\n";
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
