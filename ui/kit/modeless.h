// The modeless windows of a thread (the release notes, later the sync status and
// others): their keyboard goes through the system's dialog routing, so Tab, Enter and
// Escape behave as in any dialog without code of their own.
#pragma once

#include <windows.h>

#include <vector>

namespace kit {

class ModelessWindows {
 public:
  void Add(HWND window);
  void Remove(HWND window);
  bool Contains(HWND window) const;
  // For the message loop: true when the message was for one of the windows (or one of
  // their children) and the dialog routing consumed it.
  bool Route(MSG& msg);

 private:
  std::vector<HWND> windows_;  // destroyed ones are dropped when next met
};

}  // namespace kit
