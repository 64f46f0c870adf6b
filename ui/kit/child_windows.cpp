#include "ui/kit/child_windows.h"

#include <algorithm>

namespace kit {

void PlaceChild(HWND child, const RECT& rect, UINT extraFlags) {
  if (child == nullptr) return;
  SetWindowPos(child, nullptr, rect.left, rect.top, std::max(0L, rect.right - rect.left),
               std::max(0L, rect.bottom - rect.top), SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | extraFlags);
}

}  // namespace kit
