#include "ui/kit/modeless.h"

#include <algorithm>

namespace kit {

void ModelessWindows::Add(HWND window) {
  if (window != nullptr && !Contains(window)) windows_.push_back(window);
}

void ModelessWindows::Remove(HWND window) { std::erase(windows_, window); }

bool ModelessWindows::Contains(HWND window) const {
  return std::find(windows_.begin(), windows_.end(), window) != windows_.end();
}

bool ModelessWindows::Route(MSG& msg) {
  std::erase_if(windows_, [](HWND window) { return !IsWindow(window); });
  if (msg.hwnd == nullptr) return false;
  for (HWND window : windows_) {
    if (msg.hwnd == window || IsChild(window, msg.hwnd)) return IsDialogMessageW(window, &msg) != FALSE;
  }
  return false;
}

}  // namespace kit
