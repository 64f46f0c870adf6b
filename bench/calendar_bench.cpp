#include <cstdio>

#include "bench/bench.h"

namespace bench {

void RunCalendarBench() { std::printf("\ncalendar: no measurements yet\n"); }

}  // namespace bench
