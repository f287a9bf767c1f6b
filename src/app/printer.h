#pragma once
// The printer surface: the real one draws with GDI on the default printer (ui/gdi_printer), tests
// record what would be printed.
#include "base/error.h"

namespace core {
struct PrintedLine;
}

namespace app {

class Printer {
 public:
  virtual ~Printer() = default;
  // Prints one page holding the line and ends the document before it returns.
  virtual base::Status PrintPage(const core::PrintedLine& line) = 0;
};

}  // namespace app
