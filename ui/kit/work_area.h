// Window sizes measured against the screen a window is on.
#pragma once

#include <windows.h>

namespace kit {

// The work area (the monitor less the taskbar) of the monitor nearest to the window.
RECT WorkAreaNear(HWND window);
// The smallest size a user may drag a window to: the 96-DPI minimum scaled to the DPI,
// but never more than the work area holds. A minimum scaled beyond the screen (a
// 150 % scale on a small display) would push the window's bottom row off screen.
POINT MinTrackSizeWithin(int width96, int height96, int dpi, const RECT& workArea);

}  // namespace kit
