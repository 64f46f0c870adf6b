#include "bench/bench.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace bench {

Stats Measure(int runs, const std::function<void()>& fn) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  fn();  // warm-up: page in code and data, fill allocator caches
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    fn();
    QueryPerformanceCounter(&end);
    times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
  }
  std::sort(times.begin(), times.end());
  return Stats{times.front(), times[times.size() / 2]};
}

std::string Rate(double bytes, const Stats& stats) {
  char text[64];
  std::snprintf(text, sizeof text, "%7.1f MB/s", bytes / (stats.minMs / 1000.0) / 1e6);
  return text;
}

std::wstring TempPath(const std::wstring& name) {
  wchar_t folder[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, folder);
  return std::wstring(folder) + name;
}

void PrintTitle(const std::string& title) {
  std::printf("\n%s\n", title.c_str());
  std::printf("%-44s %10s %10s  %s\n", "measurement", "min ms", "median ms", "");
}

void PrintRow(const std::string& name, const Stats& stats, const std::string& extra) {
  std::printf("%-44s %10.2f %10.2f  %s\n", name.c_str(), stats.minMs, stats.medianMs, extra.c_str());
  std::fflush(stdout);
}

}  // namespace bench
