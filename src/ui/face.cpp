#include "ui/face.h"

#include <cstdlib>
#include <string>

#include "base/handle.h"

namespace ui {
namespace {

constexpr int kPointsTimes100 = 825;

// A font made from a description and selected into a DC for one scope.
struct Selected {
  Selected(HDC dc, const LOGFONTW& font) : font_(CreateFontIndirectW(&font)), selection_(dc, font_.get()) {}
  base::UniqueGdi font_;  // made first, deleted last: after the selection has put the old one back
  base::Selection selection_;
};

// Whether the system gives this face itself, not another in its place, within a pixel of 8.25 pt.
bool Gives(HDC dc, const wchar_t* face, UINT dpi) {
  const Selected font(dc, TextFont(face, dpi, false));
  wchar_t given[LF_FACESIZE] = {};
  TEXTMETRICW metrics{};
  if (GetTextFaceW(dc, LF_FACESIZE, given) == 0 || !GetTextMetricsW(dc, &metrics)) return false;
  const int em = metrics.tmHeight - metrics.tmInternalLeading;
  return _wcsicmp(given, face) == 0 && std::abs(em - MulDiv(kPointsTimes100, static_cast<int>(dpi), 7200)) <= 1;
}

// Whether every caption of the design stays inside its control in the face: a label's text wrapped
// within its width no taller than the label, a button's or a frame's caption on one line, with room
// for the edges around it.
bool Fits(HDC dc, const WindowDesign& design, UINT dpi, const wchar_t* face) {
  const int button_edges = MulDiv(4, static_cast<int>(dpi), 96), frame_edges = MulDiv(16, static_cast<int>(dpi), 96);
  for (const ControlRow& row : design.rows) {
    if (row.caption == nullptr || row.caption[0] == L'\0' || row.kind == Kind::Edit || row.kind == Kind::Combo) continue;
    const Selected font(dc, TextFont(face, dpi, row.bold));
    const int width = TwipsToPixels(row.width, dpi), height = TwipsToPixels(row.height, dpi);
    RECT text{0, 0, width, 0};
    if (row.kind == Kind::Label) {
      DrawTextW(dc, row.caption, -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
      if (text.bottom > height) return false;
    } else {
      DrawTextW(dc, row.caption, -1, &text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
      if (text.right + (row.kind == Kind::Frame ? frame_edges : button_edges) > width) return false;
    }
  }
  return true;
}

}  // namespace

LOGFONTW TextFont(const wchar_t* face, UINT dpi, bool bold) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(kPointsTimes100, static_cast<int>(dpi), 7200);
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  wcsncpy_s(font.lfFaceName, face, LF_FACESIZE - 1);
  return font;
}

std::wstring ChooseFace(const WindowDesign& design, UINT dpi) {
  // The designed face and its twin, the system faces nearest to them, then faces common on Linux and
  // Windows, narrow ones first: where the wider faces overflow a caption, a narrow one may fit.
  static constexpr const wchar_t* kFaces[] = {
      L"MS Sans Serif", L"Microsoft Sans Serif", L"Tahoma", L"Segoe UI", L"DejaVu Sans Condensed", L"Liberation Sans Narrow",
      L"Arial Narrow", L"Nimbus Sans Narrow", L"DejaVu Sans", L"Liberation Sans", L"Arial", L"Nimbus Sans"};
  const base::UniqueScreenDc screen(GetDC(nullptr));
  for (const wchar_t* face : kFaces)
    if (Gives(screen.get(), face, dpi) && Fits(screen.get(), design, dpi, face)) return face;
  return L"Microsoft Sans Serif";  // when nothing here fits: the system's nearest to it
}

}  // namespace ui
