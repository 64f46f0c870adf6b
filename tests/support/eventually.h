// Waits, a tenth of a second at a time, for something another thread or process does.
#pragma once

#include <windows.h>

namespace testpaths {

template <typename Predicate>
bool Eventually(Predicate predicate, int seconds = 30) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (predicate()) return true;
    Sleep(100);
  }
  return predicate();
}

}  // namespace testpaths
