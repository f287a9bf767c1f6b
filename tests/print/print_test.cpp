// Printing at its edge: ui::GdiPrinter on the default printer, which Wine reaches through CUPS. Not run
// by ctest: scripts/test-extra runs this exe once with the private queue of scripts/print-queue as the
// only printer (QUORVEL_PRINT_JOBS names the folder where the queue files job N as job-N.txt, its pages,
// lines and words with their boxes in points as pdftotext -bbox-layout gives them), and once with
// CUPS_SERVER at a socket where nothing listens.
#include <cmath>
#include <cstdlib>
#include <regex>

#include "base/text.h"
#include "support/support.h"
#include "ui/gdi_printer.h"

namespace {

// The first group of every match of `pattern` in `text`.
std::vector<std::string> All(const std::string& text, const std::string& pattern) {
  std::vector<std::string> found;
  const std::regex re(pattern);
  for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it) found.push_back((*it)[1]);
  return found;
}

// The number in an attribute of the first such element, NaN when there is none.
double First(const std::string& layout, const std::string& element, const std::string& attribute) {
  const std::vector<std::string> values = All(layout, "<" + element + " [^>]*" + attribute + "=\"([0-9.]+)\"");
  return values.empty() ? NAN : std::stod(values[0]);
}

TEST(GdiPrinter, EachCallComesOutOfTheQueueAsOnePageHoldingExactlyTheKeyCentredAnInchBelowTheTop) {
  const char* jobs = std::getenv("QUORVEL_PRINT_JOBS");
  ASSERT_NE(jobs, nullptr) << "scripts/test-extra runs this with its private print queue";
  const std::wstring keys[] = {L"QRV-7F3A-91BC-0042", L"SECOND KEY 2", L""};
  for (const std::wstring& key : keys) {
    const base::Status printed = ui::GdiPrinter().PrintPage(core::InstalledIdLine(key));
    ASSERT_TRUE(printed) << base::ToAnsi(printed.Text());
  }
  // The queue starts empty, so the jobs are numbered from 1; it files each one when it has converted it.
  for (std::size_t job = 1; job <= std::size(keys); ++job) {
    const std::wstring file = base::FromAnsi(jobs) + L"\\job-" + std::to_wstring(job) + L".txt";
    for (int tenths = 0; tenths < 600 && GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES; ++tenths)
      Sleep(100);
    const std::string layout = support::ReadBytes(file);
    SCOPED_TRACE("job " + std::to_string(job) + ":\n" + layout);
    std::string text;
    for (const std::string& word : All(layout, "<word [^>]*>([^<]*)</word>")) text += (text.empty() ? "" : " ") + word;
    EXPECT_EQ(All(layout, "<(page) ").size(), 1u);
    EXPECT_EQ(text, base::ToAnsi(keys[job - 1]));
    if (text.empty()) continue;
    // In points from the page's top left corner: centred, and an inch (72 points) down, where the glyphs'
    // box starts a few points below the line's top.
    const double left = First(layout, "line", "xMin"), right = First(layout, "line", "xMax");
    EXPECT_NEAR((left + right) / 2, First(layout, "page", "width") / 2, 2.0);
    EXPECT_NEAR(First(layout, "line", "yMin"), 72.0 + 6, 6.0);
  }
}

TEST(GdiPrinter, FailsWithNoPrinter) {
  ASSERT_NE(std::getenv("CUPS_SERVER"), nullptr) << "scripts/test-extra runs this with CUPS at a dead socket";
  EXPECT_FALSE(ui::GdiPrinter().PrintPage(core::InstalledIdLine(L"KEY-1")));
}

}  // namespace
