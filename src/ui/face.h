#pragma once
// The face in which a window draws its text: "MS Sans Serif" 8.25 pt as designed, or what comes
// closest to it at the window's DPI, chosen by measuring what the system really gives.
#include <windows.h>

#include <string>

#include "ui/window.h"

namespace ui {

// The font of a window's text at a DPI in a face: 8.25 pt, bold or regular.
LOGFONTW TextFont(const wchar_t* face, UINT dpi, bool bold);

// The first face that the system really gives at 8.25 pt of the DPI, within a pixel, and in which every
// caption of the window stays inside its control: "MS Sans Serif" (its bitmap strikes cover only some
// sizes), its metric twin "Microsoft Sans Serif" (Windows has it; Wine hands a wider face to the name),
// Tahoma, Segoe UI, then a few faces common on Linux and Windows.
std::wstring ChooseFace(const WindowDesign& design, UINT dpi);

}  // namespace ui
