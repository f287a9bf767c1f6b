// Deleting a saved ID's section from the store text: hand edits that the property test's generated
// stores do not make, and every way a store can stop the delete. The player's own cases run through
// the manage window (tests/app).
#include "core/delete_section.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using core::DeleteIdSection;
using core::DeleteOutcome;

const std::string kSettings = "[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer\\EXE\\Freelancer.exe\r\n";

std::string Section(int n) { return "[FLID_" + std::to_string(n) + "]\r\nINSTALL=KEY-" + std::to_string(n) + "\r\n"; }

TEST(DeleteIdSection, HandEditedHeaders) {
  const struct {
    const char* what;
    std::string before;
    int m, count;
    std::string after;
  } cases[] = {
      // A renumbered header line is rewritten up to its line end, as the original steps do.
      {"text after a renumbered header goes", Section(1) + "[FLID_2] old note\r\nINSTALL=k\r\n", 1, 2,
       "[FLID_1]\r\nINSTALL=k\r\n"},
      {"case matters, and a leading zero makes another name",
       "[flid_1]\r\nINSTALL=lower\r\n[FLID_01]\r\nINSTALL=zero\r\n" + Section(1) + Section(2), 1, 2,
       "[flid_1]\r\nINSTALL=lower\r\n[FLID_01]\r\nINSTALL=zero\r\n[FLID_1]\r\nINSTALL=KEY-2\r\n"},
  };
  for (const auto& c : cases) {
    const core::DeleteResult r = DeleteIdSection(c.before, c.m, c.count);
    EXPECT_EQ(r.outcome, DeleteOutcome::kOk) << c.what;
    EXPECT_EQ(r.text, c.after) << c.what;
  }
}

TEST(DeleteIdSection, BrokenStoresFailWithoutText) {
  const struct {
    const char* what;
    std::string text;
    int m, count;
    DeleteOutcome outcome;
  } cases[] = {
      {"number zero", kSettings + Section(1), 0, 1, DeleteOutcome::kBadNumber},
      {"number past the count", kSettings + Section(1) + Section(2), 3, 2, DeleteOutcome::kBadNumber},
      {"header missing", kSettings + Section(2), 1, 2, DeleteOutcome::kHeaderNotFound},
      {"header in other case", kSettings + "[flid_1]\r\nINSTALL=k\r\n", 1, 1, DeleteOutcome::kHeaderNotFound},
      {"header without its bracket", kSettings + "[FLID_1\r\nINSTALL=k\r\n", 1, 1, DeleteOutcome::kHeaderNotFound},
      {"nothing follows a middle section", kSettings + Section(2) + Section(1), 1, 2, DeleteOutcome::kNoNextSection},
      {"gap in the numbering", kSettings + Section(1) + Section(2) + Section(4), 1, 3,
       DeleteOutcome::kRenumberedHeaderMissing},
      {"count higher than the sections", kSettings + Section(1) + Section(2), 1, 3,
       DeleteOutcome::kRenumberedHeaderMissing},
      {"renumbered header without line end", kSettings + Section(1) + "[FLID_2]", 1, 2, DeleteOutcome::kNoLineEnd},
      {"huge count", kSettings + Section(1) + Section(2), 1, 2'000'000'000, DeleteOutcome::kRenumberedHeaderMissing},
  };
  for (const auto& c : cases) {
    const core::DeleteResult r = DeleteIdSection(c.text, c.m, c.count);
    EXPECT_EQ(r.outcome, c.outcome) << c.what;
    EXPECT_EQ(r.text, "") << c.what;
    EXPECT_NE(std::wstring(core::DeleteOutcomeText(r.outcome)), L"") << c.what;
  }
}

}  // namespace
