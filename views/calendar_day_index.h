// Which projects show on which day, and in what order they are listed there.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "model/project.h"

namespace calendar {

// Day number -> positions in the document's project list, already in display order.
using DayIndex = std::unordered_map<int32_t, std::vector<int>>;

// What a day's list is sorted by, taken from one project.
struct DayOrderKey {
  bool completed = false;
  int32_t start = 0;  // day number of the start date; INT32_MIN when there is none
  int32_t id = 0;
};

DayOrderKey DayOrderKeyOf(const Project& project);
// Active before completed, then the earlier start, then the lower id.
bool DayOrderLess(const DayOrderKey& a, const DayOrderKey& b);

// Per project, what painting asks about again and again: its effective period as day
// numbers (spanStart > spanEnd when it has none).
struct ProjectFacts {
  int32_t spanStart = 1;
  int32_t spanEnd = 0;
};

struct DayIndexResult {
  DayIndex days;
  std::vector<ProjectFacts> facts;  // one per project, in document order
};

// Every project is listed once on each distinct valid day among its start, its end and
// its entries. The index ignores the search filter, which is applied when a day is read:
// a keystroke in the search box then costs one pass of the search, not a rebuild.
DayIndexResult BuildDayIndex(const std::vector<Project>& projects);

}  // namespace calendar
