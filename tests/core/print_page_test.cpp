#include "core/print_page.h"

#include <gtest/gtest.h>

namespace core {
namespace {

TEST(InstalledIdLine, HoldsExactlyTheKeyInArial24BoldItalicBlack) {
  for (const wchar_t* key : {L"ABCD-1234 efgh", L"  key  ", L""})
    EXPECT_EQ(InstalledIdLine(key), (PrintedLine{key, L"Arial", 24, true, true, TextColour{0, 0, 0}}));
}

// Centred on the printable width (an odd leftover puts one dot more on the right), a text wider than
// the page at its left edge; the top one inch below the paper's edge, or the first printable row.
TEST(PlaceLine, CentresTheLineOneInchBelowThePaperEdge) {
  constexpr PrintableArea kA4{4760, 100, 600};  // A4 at 600 dpi as a typical laser printer reports it
  const struct {
    PrintableArea area;
    long width;
    LinePosition at;
  } cases[] = {
      {kA4, 1000, {1880, 500}}, {kA4, 1001, {1879, 500}}, {kA4, 0, {2380, 500}},
      {kA4, 4760, {0, 500}},    {kA4, 4761, {0, 500}},    {kA4, 100000, {0, 500}},
      {{2000, 0, 300}, 10, {995, 300}},  // printable from the paper's edge
      {{2000, 400, 300}, 10, {995, 0}},  // cannot print within the first inch
  };
  for (const auto& c : cases) {
    const LinePosition at = PlaceLine(c.area, c.width);
    EXPECT_EQ(at.x, c.at.x) << "width " << c.width;
    EXPECT_EQ(at.y, c.at.y) << "width " << c.width << ", offset " << c.area.offset_top;
  }
}

}  // namespace
}  // namespace core
