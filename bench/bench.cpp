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

void PrintTitle(const std::string& title) {
  std::printf("\n%s\n", title.c_str());
  std::printf("%-44s %10s %10s  %s\n", "measurement", "min ms", "median ms", "");
}

void PrintRow(const std::string& name, const Stats& stats, const std::string& extra) {
  std::printf("%-44s %10.2f %10.2f  %s\n", name.c_str(), stats.minMs, stats.medianMs, extra.c_str());
  std::fflush(stdout);
}

}  // namespace bench
