// The one-pass delete against the step-by-step way (step_by_step_delete.h) on generated stores.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/delete_section.h"
#include "step_by_step_delete.h"

namespace {

using core::DeleteOutcome;
using core::DeleteResult;

using testref::Header;
using testref::StepByStepDelete;

// A generated store, kept as its sections so that the expected result can be built independently.
struct Store {
  struct Block {
    int id;  // 0 for the settings section
    std::string header_eol;
    std::string body;  // everything after the header line, up to the next section
  };
  std::vector<Block> parts;
  int count = 0;

  std::string Text() const {
    std::string t;
    for (const Block& p : parts) t += (p.id ? Header(p.id) : "[QRVL_Settings]") + p.header_eol + p.body;
    return t;
  }

  // Section m gone, every later saved-ID header one lower, everything else as it was.
  std::string WithoutId(int m) const {
    std::string t;
    for (const Block& p : parts) {
      if (p.id == m) continue;
      t += (p.id == 0 ? "[QRVL_Settings]" : Header(p.id > m ? p.id - 1 : p.id)) + p.header_eol + p.body;
    }
    return t;
  }
};

class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool OneIn(int n) { return Between(1, n) == 1; }

  // Any byte except "[" and the line-end characters, high bytes of the code page included.
  std::string Value(int max_len) {
    std::string v(static_cast<std::size_t>(Between(0, max_len)), ' ');
    for (char& c : v) {
      do c = static_cast<char>(Between(1, 255));
      while (c == '[' || c == '\r' || c == '\n');
    }
    return v;
  }

  std::string Eol(int style) { return style == 0 ? "\r\n" : style == 1 ? "\n" : (OneIn(2) ? "\r\n" : "\n"); }

  Store MakeStore(int max_count) {
    Store s;
    s.count = Between(1, max_count);
    const int style = Between(0, 2);  // CR LF, LF only, or mixed line by line
    const auto body = [&](const std::vector<std::string>& keys) {
      std::string b;
      for (const std::string& k : keys) b += k + "=" + Value(k == "DISC" ? 60 : 24) + Eol(style);
      if (OneIn(5)) b += Eol(style);  // a blank line left by a hand edit or an earlier delete
      return b;
    };
    for (int id = 1; id <= s.count; ++id) {
      std::vector<std::string> keys = {"INSTALL", "MAN", "MANS"};
      if (OneIn(2)) keys.push_back("DISC");
      s.parts.push_back({id, Eol(style), body(keys)});
    }
    // The settings come first, unless moved by hand between or after the saved IDs.
    const int settings_at = OneIn(3) ? Between(0, s.count) : 0;
    s.parts.insert(s.parts.begin() + settings_at, {0, Eol(style), body({"FLPATH", "FLIPS"})});
    if (OneIn(6)) s.parts.back().body += "INSTALL=no line end";
    return s;
  }

  // Hand damage: stray brackets, headers and line ends at random places.
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

 private:
  std::mt19937 rng_;
};

TEST(DeleteIdSectionProperty, GeneratedStoresMatchTheStepByStepDeleteAndKeepOtherSections) {
  Generator g(20240601);
  for (int round = 0; round < 1500; ++round) {
    const Store s = g.MakeStore(round % 10 == 0 ? 120 : 14);
    const std::string text = s.Text();
    const int m = g.Between(1, s.count);
    const DeleteResult ours = core::DeleteIdSection(text, m, s.count);
    ASSERT_EQ(ours.outcome, DeleteOutcome::kOk) << "round " << round << " m=" << m << "\n" << text;
    ASSERT_EQ(ours.text, s.WithoutId(m)) << "round " << round << " m=" << m << "\n" << text;
    ASSERT_EQ(ours.text, StepByStepDelete(text, m, s.count).text) << "round " << round;
  }
}

TEST(DeleteIdSectionProperty, DamagedStoresGiveTheStepByStepResultOrItsFailure) {
  Generator g(7);
  int failures = 0;
  for (int round = 0; round < 4000; ++round) {
    const Store s = g.MakeStore(12);
    const std::string text = g.Damage(s.Text());
    const int count = s.count + g.Between(-1, 1);
    const int m = g.Between(0, count + 1);
    const DeleteResult ours = core::DeleteIdSection(text, m, count);
    const DeleteResult reference = StepByStepDelete(text, m, count);
    ASSERT_EQ(ours.outcome, reference.outcome) << "round " << round << " m=" << m << " count=" << count << "\n"
                                               << text;
    ASSERT_EQ(ours.text, reference.text) << "round " << round << " m=" << m << " count=" << count << "\n" << text;
    failures += ours.outcome != DeleteOutcome::kOk;
  }
  // Both branches were exercised.
  EXPECT_GT(failures, 400);
  EXPECT_LT(failures, 3600);
}

// Several headers on one line: taking a header overwrites the rest of its line, so a later number
// on that line is searched for further down, and a lower-placed header can overwrite a replacement.
TEST(DeleteIdSectionProperty, HeadersSharingALineFollowTheStepByStepDelete) {
  const std::string texts[] = {
      "[FLID_1]\r\n[FLID_2][FLID_3]\r\n[FLID_3]\r\nINSTALL=c\r\n",
      "[FLID_1]\r\n[FLID_3] [FLID_2]\r\nINSTALL=x\r\n",
      "[FLID_3]abc[FLID_1]\r\nINSTALL=a\r\n[FLID_2]\r\nINSTALL=b\r\n",
      "FLIPS=[FLID_2]\r\n[FLID_1]\r\n[FLID_2]\r\n",
  };
  for (const std::string& t : texts) {
    for (int m = 1; m <= 3; ++m) {
      for (int count = m; count <= 3; ++count) {
        const DeleteResult ours = core::DeleteIdSection(t, m, count);
        const DeleteResult reference = StepByStepDelete(t, m, count);
        EXPECT_EQ(ours.outcome, reference.outcome) << t << " m=" << m << " count=" << count;
        EXPECT_EQ(ours.text, reference.text) << t << " m=" << m << " count=" << count;
      }
    }
  }
}

}  // namespace
