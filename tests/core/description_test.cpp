// Descriptions: cleaned of brackets for storing, "|" turned into line breaks for the label.
#include "core/description.h"

#include <gtest/gtest.h>

namespace {

TEST(Description, CleaningTurnsBracketsIntoParenthesesOnly) {
  EXPECT_EQ(core::CleanDescription(L"]][[x"), L"))((x");
  const std::wstring kept = L"a=b; \"quoted\" | {x} <y> (z) \u00e9\u20ac";
  EXPECT_EQ(core::CleanDescription(kept), kept);
  EXPECT_EQ(core::CleanDescription(L""), L"");
}

TEST(Description, FirstFourBarsBecomeLineBreaksAndLaterOnesStay) {
  EXPECT_EQ(core::FormatDescription(L"||||||"), L"\r\n\r\n\r\n\r\n||");
  EXPECT_EQ(core::FormatDescription(L"a|b"), L"a\r\nb");
  EXPECT_EQ(core::FormatDescription(L"no breaks [here]"), L"no breaks [here]");
  EXPECT_EQ(core::FormatDescription(L""), L"");
}

}  // namespace
