#include "core/print_page.h"

#include <algorithm>

namespace core {

PrintedLine InstalledIdLine(std::wstring_view install_key) {
  PrintedLine line;
  line.text = std::wstring(install_key);
  line.face = L"Arial";
  line.points = 24;
  line.bold = true;
  line.italic = true;
  line.colour = TextColour{0, 0, 0};
  return line;
}

LinePosition PlaceLine(const PrintableArea& area, long text_width) {
  LinePosition position;
  position.x = std::max(0L, (area.width - text_width) / 2);
  position.y = std::max(0L, area.dots_per_inch_y - area.offset_top);
  return position;
}

}  // namespace core
