// Lengths are written at 96 DPI and scaled at the point of use.
#pragma once

#include <windows.h>

namespace kit {

inline int Scale(int n, int dpi) { return MulDiv(n, dpi, 96); }
// The window's DPI, else the screen's, else 96.
int WindowDpi(HWND window);

}  // namespace kit
