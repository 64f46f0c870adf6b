// Moving a window's controls when the window is laid out again.
#pragma once

#include <windows.h>

namespace kit {

// Moves and sizes a child. Its old pixels are not carried to the new place: when the
// parent has just been resized or maximised, the place they would be copied from may
// already show something else, and the copy would stand as the control's picture.
// extraFlags may show or hide it (SWP_SHOWWINDOW, SWP_HIDEWINDOW).
void PlaceChild(HWND child, const RECT& rect, UINT extraFlags = 0);

}  // namespace kit
