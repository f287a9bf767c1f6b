#pragma once
// The real printer: GDI on the system's default printer. Every PrintPage is one whole print job of
// one page, ended before it returns, so the page comes out at every press.
#include <windows.h>

#include "app/printer.h"
#include "core/print_page.h"

namespace ui {

// The font of a printed line on a device with the given vertical resolution: the size in points
// becomes a character height in device units (negative: the em height, not the cell height).
LOGFONTW PrinterFont(const core::PrintedLine& line, int dots_per_inch_y);

class GdiPrinter : public app::Printer {
 public:
  base::Status PrintPage(const core::PrintedLine& line) override;
};

}  // namespace ui
