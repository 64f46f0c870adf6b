#include "views/calendar_state.h"

namespace calendar {

const kit::FontSet& FontsOf(const CalendarView& view) {
  return view.fonts != nullptr ? *view.fonts : view.fallbackFonts.get();
}

Date TodayOf(const CalendarView& view) {
  return dates::IsValid(view.fixedToday) ? view.fixedToday : dates::Today();
}

const std::vector<Project>& ProjectsOf(const CalendarView& view) {
  static const std::vector<Project> kNoProjects;
  return view.document != nullptr ? view.document->projects : kNoProjects;
}

const Project* ProjectAt(const CalendarView& view, int position) {
  if (view.document == nullptr || position < 0 ||
      static_cast<size_t>(position) >= view.document->projects.size()) {
    return nullptr;
  }
  return &view.document->projects[static_cast<size_t>(position)];
}

bool MatchesFilter(const CalendarView& view, int position) {
  return position >= 0 && static_cast<size_t>(position) < view.matches.size() &&
         view.matches[static_cast<size_t>(position)] != 0;
}

bool SpansDay(const CalendarView& view, int position, int32_t dayNumber) {
  if (position < 0 || static_cast<size_t>(position) >= view.facts.size()) return false;
  const ProjectFacts& facts = view.facts[static_cast<size_t>(position)];
  return facts.spanStart <= dayNumber && dayNumber <= facts.spanEnd;
}

}  // namespace calendar
