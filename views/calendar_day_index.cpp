#include "views/calendar_day_index.h"

#include <algorithm>
#include <climits>

namespace calendar {

DayOrderKey DayOrderKeyOf(const Project& project) {
  DayOrderKey key;
  key.completed = project.completed;
  key.start = dates::IsValid(project.startDate) ? dates::DayNumber(project.startDate) : INT32_MIN;
  key.id = project.id;
  return key;
}

bool DayOrderLess(const DayOrderKey& a, const DayOrderKey& b) {
  if (a.completed != b.completed) return !a.completed;
  if (a.start != b.start) return a.start < b.start;
  return a.id < b.id;
}

DayIndexResult BuildDayIndex(const std::vector<Project>& projects) {
  DayIndexResult result;
  result.facts.resize(projects.size());
  std::vector<DayOrderKey> keys(projects.size());
  std::vector<int32_t> days;

  for (size_t i = 0; i < projects.size(); ++i) {
    const Project& project = projects[i];
    ProjectFacts& facts = result.facts[i];
    Date start = project.EffectiveStart(), end = project.EffectiveEnd();
    if (dates::IsValid(start) && dates::IsValid(end)) {
      facts.spanStart = dates::DayNumber(start);
      facts.spanEnd = dates::DayNumber(end);
    }
    keys[i] = DayOrderKeyOf(project);

    days.clear();
    if (dates::IsValid(project.startDate)) days.push_back(dates::DayNumber(project.startDate));
    if (dates::IsValid(project.endDate)) days.push_back(dates::DayNumber(project.endDate));
    for (const Entry& entry : project.entries) {
      if (dates::IsValid(entry.date)) days.push_back(dates::DayNumber(entry.date));
    }
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    for (int32_t day : days) result.days[day].push_back(static_cast<int>(i));
  }

  for (auto& [day, list] : result.days) {
    std::stable_sort(list.begin(), list.end(),
                     [&](int a, int b) { return DayOrderLess(keys[a], keys[b]); });
  }
  return result;
}

}  // namespace calendar
