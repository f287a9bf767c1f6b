#include "core/print_page.h"

#include <gtest/gtest.h>

namespace core {
namespace {

TEST(InstalledIdLine, HoldsExactlyTheKeyInArial24BoldItalicBlack) {
  const PrintedLine line = InstalledIdLine(L"ABCD-1234 efgh");
  EXPECT_EQ(line.text, L"ABCD-1234 efgh");
  EXPECT_EQ(line.face, L"Arial");
  EXPECT_EQ(line.points, 24);
  EXPECT_TRUE(line.bold);
  EXPECT_TRUE(line.italic);
  EXPECT_EQ(line.colour, (TextColour{0, 0, 0}));
}

TEST(InstalledIdLine, KeepsBlanksAndAnEmptyKeyAsTheyAre) {
  EXPECT_EQ(InstalledIdLine(L"").text, L"");
  EXPECT_EQ(InstalledIdLine(L"  key  ").text, L"  key  ");
  EXPECT_EQ(InstalledIdLine(L"").face, L"Arial");  // the font is the same for an empty line
}

// A4 at 600 dpi as a typical laser printer reports it: 4760 dots printable, 100 dots unprintable
// at the top.
constexpr PrintableArea kA4{4760, 100, 600};

TEST(PlaceLine, CentresTheTextOnThePrintableWidth) {
  EXPECT_EQ(PlaceLine(kA4, 1000).x, 1880);
  EXPECT_EQ(PlaceLine(kA4, 1001).x, 1879);  // odd leftover: one dot more on the right
  EXPECT_EQ(PlaceLine(kA4, 0).x, 2380);     // an empty line sits at the centre
  EXPECT_EQ(PlaceLine(kA4, 4760).x, 0);
}

TEST(PlaceLine, StartsATextWiderThanThePageAtTheLeftEdge) {
  EXPECT_EQ(PlaceLine(kA4, 4761).x, 0);
  EXPECT_EQ(PlaceLine(kA4, 100000).x, 0);
}

TEST(PlaceLine, PutsTheLineOneInchBelowThePaperEdge) {
  EXPECT_EQ(PlaceLine(kA4, 1000).y, 500);                       // 600 dots minus the 100 unprintable
  EXPECT_EQ(PlaceLine(PrintableArea{2000, 0, 300}, 10).y, 300);  // printable from the edge
  // A printer that cannot print within the first inch: the line stands at its first printable row.
  EXPECT_EQ(PlaceLine(PrintableArea{2000, 400, 300}, 10).y, 0);
}

}  // namespace
}  // namespace core
