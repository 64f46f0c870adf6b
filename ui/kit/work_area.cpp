#include "ui/kit/work_area.h"

#include <algorithm>

#include "ui/kit/scale.h"

namespace kit {

RECT WorkAreaNear(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  if (monitor != nullptr && GetMonitorInfoW(monitor, &info)) return info.rcWork;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

POINT MinTrackSizeWithin(int width96, int height96, int dpi, const RECT& workArea) {
  const LONG workWidth = workArea.right - workArea.left, workHeight = workArea.bottom - workArea.top;
  POINT size{Scale(width96, dpi), Scale(height96, dpi)};
  // An empty work area (no monitor information) leaves the minimum as it is.
  if (workWidth > 0) size.x = std::min(size.x, workWidth);
  if (workHeight > 0) size.y = std::min(size.y, workHeight);
  return size;
}

}  // namespace kit
