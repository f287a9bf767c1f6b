#include "ui/gdi_printer.h"

#include <winspool.h>

#include <climits>
#include <string>
#include <vector>

#include "base/handle.h"
#include "base/lazy_proc.h"

namespace ui {

namespace {

// GDI calls that fail without setting a last error still have to report a failure.
base::Status Failed() {
  const DWORD code = GetLastError();
  return base::Status::Fail(code != 0 ? code : ERROR_GEN_FAILURE);
}

base::Status DefaultPrinterName(std::wstring& name) {
  using GetDefaultPrinterFn = BOOL(WINAPI*)(LPWSTR, LPDWORD);
  static const auto get_default_printer = base::LazyProc<GetDefaultPrinterFn>(L"winspool.drv", "GetDefaultPrinterW");
  if (get_default_printer == nullptr) return base::Status::Fail(ERROR_PROC_NOT_FOUND);
  DWORD size = 0;
  get_default_printer(nullptr, &size);  // fails by design and reports the size, or that there is none
  if (size == 0) return Failed();
  std::vector<wchar_t> buffer(size);
  if (!get_default_printer(buffer.data(), &size)) return Failed();
  name.assign(buffer.data());
  return base::Status::Ok();
}

// Draws the line on the page that has just been started.
base::Status DrawLine(HDC dc, const core::PrintedLine& line) {
  const int dpi_y = GetDeviceCaps(dc, LOGPIXELSY);
  if (dpi_y <= 0) return Failed();
  const core::PrintableArea area{GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, PHYSICALOFFSETY), dpi_y};
  if (area.width <= 0) return Failed();

  const LOGFONTW description = PrinterFont(line, dpi_y);
  base::UniqueGdi font(CreateFontIndirectW(&description));
  if (!font) return Failed();
  const base::Selection selected(dc, font.get());
  if (!selected.ok()) return Failed();

  const COLORREF colour = RGB(line.colour.red, line.colour.green, line.colour.blue);
  if (SetTextColor(dc, colour) == CLR_INVALID) return Failed();
  if (SetBkMode(dc, TRANSPARENT) == 0) return Failed();
  if (SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP) == GDI_ERROR) return Failed();

  if (line.text.size() > INT_MAX) return base::Status::Fail(ERROR_INVALID_PARAMETER);
  const int length = static_cast<int>(line.text.size());
  SIZE extent{};
  if (!GetTextExtentPoint32W(dc, line.text.c_str(), length, &extent)) return Failed();

  const core::LinePosition at = core::PlaceLine(area, extent.cx);
  if (at.x > INT_MAX || at.y > INT_MAX) return base::Status::Fail(ERROR_INVALID_PARAMETER);
  if (!TextOutW(dc, static_cast<int>(at.x), static_cast<int>(at.y), line.text.c_str(), length)) return Failed();
  return base::Status::Ok();
}

}  // namespace

LOGFONTW PrinterFont(const core::PrintedLine& line, int dots_per_inch_y) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(line.points, dots_per_inch_y, 72);
  font.lfWeight = line.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = line.italic ? TRUE : FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_TT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  // lfFaceName holds at most 31 characters and its terminator.
  line.face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return font;
}

base::Status GdiPrinter::PrintPage(const core::PrintedLine& line) {
  std::wstring printer;
  if (base::Status status = DefaultPrinterName(printer); !status) return status;

  base::UniqueDc dc(CreateDCW(L"WINSPOOL", printer.c_str(), nullptr, nullptr));
  if (!dc) return Failed();

  DOCINFOW document{};
  document.cbSize = sizeof(document);
  document.lpszDocName = L"Quorvel - Installed FL ID";
  if (StartDocW(dc.get(), &document) <= 0) return Failed();

  // From here on a failure cancels the job, so no half-made page stays in the queue.
  base::Status status = StartPage(dc.get()) > 0 ? DrawLine(dc.get(), line) : Failed();
  if (status && EndPage(dc.get()) <= 0) status = Failed();
  if (status && EndDoc(dc.get()) <= 0) status = Failed();
  if (!status) AbortDoc(dc.get());
  return status;
}

}  // namespace ui
