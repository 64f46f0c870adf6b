// Shared pieces of the benchmark program: timing, the synthetic document, the table.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/project.h"

namespace bench {

struct Stats {
  double minMs = 0;
  double medianMs = 0;
};

// Runs fn `runs` times (after one warm-up run) and reports the minimum and median.
Stats Measure(int runs, const std::function<void()>& fn);

// A realistic large document: projects with multi-line Korean and English entries,
// many per day, a share of them carrying AI record blocks, tags and attachments.
ProjectDocument SyntheticDocument(int projects, int entries, uint32_t seed);

// Prints "name | min ms | median ms | extra" rows under a title.
void PrintTitle(const std::string& title);
void PrintRow(const std::string& name, const Stats& stats, const std::string& extra = {});

// "123.4 MB/s" for bytes handled in the minimum time.
std::string Rate(double bytes, const Stats& stats);
// A path in the temporary folder.
std::wstring TempPath(const std::wstring& name);

// Sections of the program, each in its own file.
void RunJsonBench();
void RunCalendarBench();
void RunScanBench();
void RunProjectListBench();
void RunSyncBench(bool restartOnly = false);

}  // namespace bench
