#pragma once
// What the "Print" button puts on paper, independent of any printer: one line holding the installed
// InstallKey in a fixed font, and where on the page that line stands.
#include <cstdint>
#include <string>
#include <string_view>

namespace core {

struct TextColour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const TextColour&, const TextColour&) = default;
};

struct PrintedLine {
  std::wstring text;
  std::wstring face;
  int points = 0;
  bool bold = false;
  bool italic = false;  // the style flag switched on after bold
  TextColour colour;
  friend bool operator==(const PrintedLine&, const PrintedLine&) = default;
};

// The line for an installed ID: exactly the key, nothing before or after it, in Arial 24 pt, bold and
// italic, black. An empty key gives an empty line.
PrintedLine InstalledIdLine(std::wstring_view install_key);

// The printable area of a page in the printer's device units, as the printer reports it.
struct PrintableArea {
  long width = 0;            // width of the printable area
  long offset_top = 0;       // distance from the paper's top edge to the printable area
  long dots_per_inch_y = 0;  // vertical resolution
};

// Where the text's top-left corner goes, relative to the printable area's top-left corner.
struct LinePosition {
  long x = 0;
  long y = 0;
  friend bool operator==(const LinePosition&, const LinePosition&) = default;
};

// Horizontally centred on the printable width; a text wider than that starts at its left edge, so the
// beginning of the key is never cut off. Vertically the top of the line stands one inch below the
// paper's top edge, or at the top of the printable area when the printer cannot print that high.
LinePosition PlaceLine(const PrintableArea& area, long text_width);

}  // namespace core
