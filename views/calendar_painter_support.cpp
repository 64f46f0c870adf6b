#include "views/calendar_painters.h"

#include <string>

#include "i18n/translate.h"
#include "ui/kit/colors.h"
#include "views/calendar_draw.h"

namespace calendar {

SelectionSpan SelectedSpan(const CalendarView& view) {
  SelectionSpan span;
  if (view.selectedProjectId == 0 || view.document == nullptr) return span;
  const Project* project = view.document->Find(view.selectedProjectId);
  if (project == nullptr) return span;
  Date start = project->EffectiveStart(), end = project->EffectiveEnd();
  if (!dates::IsValid(start) || !dates::IsValid(end)) return span;
  span.project = project;
  span.light = kit::ProjectColor(project->color).light;
  span.start = dates::DayNumber(start);
  span.end = dates::DayNumber(end);
  return span;
}

std::vector<int> DayPositions(const CalendarView& view, int32_t dayNumber) {
  std::vector<int> positions;
  auto found = view.dayIndex.find(dayNumber);
  if (found == view.dayIndex.end()) return positions;
  for (int position : found->second) {
    if (MatchesFilter(view, position)) positions.push_back(position);
  }
  return positions;
}

std::vector<const Project*> ProjectsAt(const CalendarView& view, const std::vector<int>& positions) {
  std::vector<const Project*> projects;
  for (int position : positions) {
    if (const Project* project = ProjectAt(view, position)) projects.push_back(project);
  }
  return projects;
}

std::vector<const Project*> DayProjects(const CalendarView& view, int32_t dayNumber) {
  return ProjectsAt(view, DayPositions(view, dayNumber));
}

bool IsHovered(const CalendarView& view, int32_t projectId, int32_t dayNumber) {
  return projectId != 0 && view.hoverProjectId == projectId && view.hoverDay == dayNumber;
}

void AddRegion(CalendarView& view, const RECT& rect, const Date& date, int32_t projectId, int kind) {
  HitRegion region;
  region.rect = rect;
  region.date = date;
  region.projectId = projectId;
  region.kind = kind;
  view.hitRegions.push_back(region);
}

void PaintMoreLink(CalendarView& view, const PaintContext& ctx, const RECT& rect, const Date& date, int count) {
  PaintTextLine(ctx.dc, ctx.fonts->item, i18n::FormatText(L"+{0}개 더보기", {std::to_wstring(count)}), rect,
                kit::color::kMutedText);
  AddRegion(view, rect, date, 0, kHitMoreLink);
}

}  // namespace calendar
