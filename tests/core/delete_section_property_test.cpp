// The one-pass delete on generated stores: against the store's own sections with one cut and the
// later headers renumbered, and against the step-by-step way (step_by_step_delete.h), also on damaged
// stores, where both must fail alike.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/delete_section.h"
#include "step_by_step_delete.h"

namespace {

using core::DeleteIdSection;
using core::DeleteResult;
using testref::Header;
using testref::StepByStepDelete;

// One section of a generated store: id 0 is the settings; `rest` is its header's line end and body.
struct Block {
  int id;
  std::string rest;
};

// The store's text; with m, section m is left out and every later saved-ID header is one lower.
std::string Text(const std::vector<Block>& store, int m = 0) {
  std::string t;
  for (const Block& b : store) {
    if (m != 0 && b.id == m) continue;
    t += (b.id == 0 ? "[QRVL_Settings]" : Header(m != 0 && b.id > m ? b.id - 1 : b.id)) + b.rest;
  }
  return t;
}

struct Generator {
  std::mt19937 rng;
  int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  bool OneIn(int n) { return Between(1, n) == 1; }

  // Saved IDs 1..count, the settings first or moved among them by hand; values of any byte but "["
  // and line ends; CR LF, LF or both mixed; blank lines and a last line without line end now and then.
  std::vector<Block> Store(int count) {
    const int style = Between(0, 2);
    const auto eol = [&] { return style == 0 || (style == 2 && OneIn(2)) ? "\r\n" : "\n"; };
    const auto block = [&](int id, std::vector<std::string> keys) {
      std::string rest = eol();
      for (const std::string& key : keys) {
        std::string value(static_cast<std::size_t>(Between(0, 40)), ' ');
        for (char& c : value) {
          do c = static_cast<char>(Between(1, 255));
          while (c == '[' || c == '\r' || c == '\n');
        }
        rest += key + "=" + value + eol();
      }
      return Block{id, OneIn(5) ? rest + eol() : rest};
    };
    std::vector<Block> store;
    for (int id = 1; id <= count; ++id) store.push_back(block(id, {"INSTALL", "MAN", "MANS", "DISC"}));
    store.insert(store.begin() + (OneIn(3) ? Between(0, count) : 0), block(0, {"FLPATH", "FLIPS"}));
    if (OneIn(6)) store.back().rest += "INSTALL=no line end";
    return store;
  }

  // Hand damage: stray brackets, headers and line ends inserted, or bytes cut, at random places.
  std::string Damage(std::string t) {
    static const char* const kBits[] = {"[", "]", "\n", "\r\n", "[FLID_1]", "[FLID_2]", "[FLID_3]",
                                        "[FLID_10]", "[FLID_02]", "[flid_2]", "[FLID_", "x"};
    for (int n = Between(1, 4); n > 0; --n) {
      const auto at = static_cast<std::size_t>(Between(0, static_cast<int>(t.size())));
      if (OneIn(3) && at < t.size()) {
        t.erase(at, static_cast<std::size_t>(Between(1, 12)));
      } else {
        t.insert(at, kBits[Between(0, std::size(kBits) - 1)]);
      }
    }
    return t;
  }
};

// Both deletes on the same input give the same outcome and the same text; true when they do.
bool LikeStepByStep(const std::string& text, int m, int count, core::DeleteOutcome* outcome = nullptr) {
  const DeleteResult ours = DeleteIdSection(text, m, count), step = StepByStepDelete(text, m, count);
  EXPECT_EQ(ours.outcome, step.outcome) << "m=" << m << " count=" << count << "\n" << text;
  EXPECT_EQ(ours.text, step.text) << "m=" << m << " count=" << count << "\n" << text;
  if (outcome) *outcome = ours.outcome;
  return ours.outcome == step.outcome && ours.text == step.text;
}

TEST(DeleteIdSectionProperty, GeneratedStoresLoseTheSectionAndKeepEveryOtherByte) {
  Generator g{std::mt19937(20240601)};
  for (int round = 0; round < 1500; ++round) {
    const std::vector<Block> store = g.Store(g.Between(1, round % 10 == 0 ? 120 : 14));
    const int count = static_cast<int>(store.size()) - 1, m = g.Between(1, count);
    const DeleteResult ours = DeleteIdSection(Text(store), m, count);
    ASSERT_EQ(ours.outcome, core::DeleteOutcome::kOk) << "round " << round << " m=" << m << "\n" << Text(store);
    ASSERT_EQ(ours.text, Text(store, m)) << "round " << round << " m=" << m << "\n" << Text(store);
    ASSERT_TRUE(LikeStepByStep(Text(store), m, count)) << "round " << round;
  }
}

TEST(DeleteIdSectionProperty, DamagedStoresGiveTheStepByStepResultOrItsFailure) {
  Generator g{std::mt19937(7)};
  int failures = 0;
  for (int round = 0; round < 4000; ++round) {
    const std::vector<Block> store = g.Store(g.Between(1, 12));
    const int count = static_cast<int>(store.size()) - 1 + g.Between(-1, 1);
    core::DeleteOutcome outcome{};
    ASSERT_TRUE(LikeStepByStep(g.Damage(Text(store)), g.Between(0, count + 1), count, &outcome)) << "round " << round;
    failures += outcome != core::DeleteOutcome::kOk;
  }
  // Both branches were exercised.
  EXPECT_GT(failures, 400);
  EXPECT_LT(failures, 3600);
}

// Several headers on one line: taking a header overwrites the rest of its line, so a later number
// on that line is searched for further down, and a lower-placed header can overwrite a replacement.
TEST(DeleteIdSectionProperty, HeadersSharingALineFollowTheStepByStepDelete) {
  for (const std::string t : {"[FLID_1]\r\n[FLID_2][FLID_3]\r\n[FLID_3]\r\nINSTALL=c\r\n",
                              "[FLID_1]\r\n[FLID_3] [FLID_2]\r\nINSTALL=x\r\n",
                              "[FLID_3]abc[FLID_1]\r\nINSTALL=a\r\n[FLID_2]\r\nINSTALL=b\r\n",
                              "FLIPS=[FLID_2]\r\n[FLID_1]\r\n[FLID_2]\r\n"})
    for (int m = 1; m <= 3; ++m)
      for (int count = m; count <= 3; ++count) LikeStepByStep(t, m, count);
}

}  // namespace
