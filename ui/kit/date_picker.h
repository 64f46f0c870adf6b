// The flat look of the system date picker.
#pragma once

#include <windows.h>

#include <cstddef>

namespace kit {

// Subclasses a "SysDateTimePick32" so that, while it is not focused or dropped down,
// it paints its text flat on its own background.
void ApplyFlatDatePicker(HWND picker);

// The background of a rendered strip: the most frequent colour among 32-bit DIB pixels
// (0x00RRGGBB), as a COLORREF; fallback when there are no pixels.
COLORREF DominantColor(const DWORD* pixels, size_t count, COLORREF fallback);

}  // namespace kit
