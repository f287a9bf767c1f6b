// Deleting a saved ID's section from the store text: the cases a player meets, and every way a
// hand-edited store can stop the delete.
#include "core/delete_section.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using core::DeleteIdSection;
using core::DeleteOutcome;

const std::string kSettings =
    "[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer\\EXE\\Freelancer.exe\r\nFLIPS=10.0.0.1|10.0.0.2\r\n";

// Section FLID_n with values that tell the IDs apart, and a description when one is given.
std::string Section(int n, const std::string& disc = "", const std::string& eol = "\r\n") {
  const std::string id = std::to_string(n);
  std::string s = "[FLID_" + id + "]" + eol + "INSTALL=KEY-" + id + eol + "MAN=name " + id + eol +
                  "MANS=sig" + id + eol;
  if (!disc.empty()) s += "DISC=" + disc + eol;
  return s;
}

// The same section's key lines under another header number, as renumbering leaves them.
std::string Renumbered(int from, int to, const std::string& disc = "", const std::string& eol = "\r\n") {
  std::string s = Section(from, disc, eol);
  return "[FLID_" + std::to_string(to) + "]" + s.substr(s.find(eol));
}

std::string Deleted(const std::string& text, int m, int count) {
  const core::DeleteResult r = DeleteIdSection(text, m, count);
  EXPECT_EQ(r.outcome, DeleteOutcome::kOk) << "m=" << m << " count=" << count;
  return r.text;
}

TEST(DeleteIdSection, OnlyIdLeavesTheSettingsAlone) {
  EXPECT_EQ(Deleted(kSettings + Section(1, "Main pilot|trader"), 1, 1), kSettings);
}

TEST(DeleteIdSection, LastOfSeveralCutsBeforeItsHeaderAndRenumbersNothing) {
  const std::string before = kSettings + Section(1, "first") + Section(2) + Section(3, "third");
  EXPECT_EQ(Deleted(before, 3, 3), kSettings + Section(1, "first") + Section(2));
}

TEST(DeleteIdSection, FirstOfThreeMovesTheOthersUpWithTheirKeysAndDescriptions) {
  const std::string before = kSettings + Section(1, "one") + Section(2, "two|lines") + Section(3);
  EXPECT_EQ(Deleted(before, 1, 3), kSettings + Renumbered(2, 1, "two|lines") + Renumbered(3, 2));
}

// FLID_1's search must not land on FLID_10..12, nor FLID_2's on FLID_20-like text.
TEST(DeleteIdSection, FirstOfTwelveRenumbersTenToTwelveWithoutConfusingThemWithOne) {
  std::string before = kSettings;
  std::string expected = kSettings;
  for (int n = 1; n <= 12; ++n) before += Section(n, "id " + std::to_string(n));
  for (int n = 2; n <= 12; ++n) expected += Renumbered(n, n - 1, "id " + std::to_string(n));
  EXPECT_EQ(Deleted(before, 1, 12), expected);

  // And deleting the tenth keeps FLID_1 untouched while FLID_11 and FLID_12 move up.
  std::string tenth = kSettings;
  for (int n = 1; n <= 9; ++n) tenth += Section(n, "id " + std::to_string(n));
  tenth += Renumbered(11, 10, "id 11") + Renumbered(12, 11, "id 12");
  EXPECT_EQ(Deleted(before, 10, 12), tenth);
}

TEST(DeleteIdSection, SettingsMovedBehindTheDeletedSectionStayInPlace) {
  const std::string before = Section(1) + kSettings + Section(2) + Section(3);
  EXPECT_EQ(Deleted(before, 1, 3), kSettings + Renumbered(2, 1) + Renumbered(3, 2));
}

// Truncating the file at the last ID's header would lose what follows that section.
TEST(DeleteIdSection, SectionAfterTheLastIdIsKept) {
  EXPECT_EQ(Deleted(Section(1) + Section(2) + kSettings, 2, 2), Section(1) + kSettings);
  EXPECT_EQ(Deleted(Section(1) + kSettings, 1, 1), kSettings);
}

TEST(DeleteIdSection, ParenthesesInDescriptionsDoNotMoveTheCut) {
  const std::string before = kSettings + Section(1, "(alt) pilot (2)") + Section(2, "x)(y") + Section(3);
  EXPECT_EQ(Deleted(before, 1, 3), kSettings + Renumbered(2, 1, "x)(y") + Renumbered(3, 2));
  EXPECT_EQ(Deleted(before, 2, 3), kSettings + Section(1, "(alt) pilot (2)") + Renumbered(3, 2));
}

TEST(DeleteIdSection, LfOnlyAndMixedLineEndsWorkLikeCrLf) {
  const std::string lf = "[QRVL_Settings]\nFLPATH=x\n";
  EXPECT_EQ(Deleted(lf + Section(1, "a", "\n") + Section(2, "b", "\n") + Section(3, "", "\n"), 1, 3),
            lf + Renumbered(2, 1, "b", "\n") + Renumbered(3, 2, "", "\n"));
  // A CR LF further down must not be taken for an LF-only header's line end.
  EXPECT_EQ(Deleted(kSettings + Section(1) + Section(2, "", "\n") + Section(3), 1, 3),
            kSettings + Renumbered(2, 1, "", "\n") + Renumbered(3, 2));
}

// A renumbered header line is rewritten up to its line end, as the original steps do.
TEST(DeleteIdSection, TextAfterARenumberedHeaderOnItsLineGoes) {
  EXPECT_EQ(Deleted(Section(1) + "[FLID_2] old note\r\nINSTALL=k\r\n", 1, 2), "[FLID_1]\r\nINSTALL=k\r\n");
}

// Case matters, and a number written with a leading zero is another name.
TEST(DeleteIdSection, OnlyTheExactHeaderMatches) {
  const std::string before = "[flid_1]\r\nINSTALL=lower\r\n[FLID_01]\r\nINSTALL=zero\r\n" + Section(1) + Section(2);
  EXPECT_EQ(Deleted(before, 1, 2),
            "[flid_1]\r\nINSTALL=lower\r\n[FLID_01]\r\nINSTALL=zero\r\n" + Renumbered(2, 1));
}

struct Broken {
  const char* name;
  std::string text;
  int m;
  int count;
  DeleteOutcome outcome;
};

TEST(DeleteIdSection, BrokenStoresFailWithoutText) {
  const Broken cases[] = {
      {"number zero", kSettings + Section(1), 0, 1, DeleteOutcome::kBadNumber},
      {"number past the count", kSettings + Section(1) + Section(2), 3, 2, DeleteOutcome::kBadNumber},
      {"header missing", kSettings + Section(2), 1, 2, DeleteOutcome::kHeaderNotFound},
      {"header in other case", kSettings + "[flid_1]\r\nINSTALL=k\r\n", 1, 1, DeleteOutcome::kHeaderNotFound},
      {"header without its bracket", kSettings + "[FLID_1\r\nINSTALL=k\r\n", 1, 1, DeleteOutcome::kHeaderNotFound},
      {"nothing follows a middle section", kSettings + Section(2) + Section(1), 1, 2,
       DeleteOutcome::kNoNextSection},
      {"gap in the numbering", kSettings + Section(1) + Section(2) + Section(4), 1, 3,
       DeleteOutcome::kRenumberedHeaderMissing},
      {"count higher than the sections", kSettings + Section(1) + Section(2), 1, 3,
       DeleteOutcome::kRenumberedHeaderMissing},
      {"renumbered header without line end", kSettings + Section(1) + "[FLID_2]", 1, 2,
       DeleteOutcome::kNoLineEnd},
      {"huge count", kSettings + Section(1) + Section(2), 1, 2'000'000'000, DeleteOutcome::kRenumberedHeaderMissing},
  };
  for (const Broken& c : cases) {
    const core::DeleteResult r = DeleteIdSection(c.text, c.m, c.count);
    EXPECT_EQ(r.outcome, c.outcome) << c.name;
    EXPECT_TRUE(r.text.empty()) << c.name;
    EXPECT_NE(std::wstring(core::DeleteOutcomeText(r.outcome)), L"") << c.name;
  }
}

}  // namespace
