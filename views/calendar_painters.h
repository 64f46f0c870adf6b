// The four bodies of the calendar view (everything below the header). Each painter draws
// into the area it is given and records a hit region for everything it draws.
#pragma once

#include <windows.h>

#include <vector>

#include "views/calendar_draw.h"
#include "views/calendar_state.h"

namespace calendar {

void PaintMonthView(CalendarView& view, const PaintContext& ctx, const RECT& area);
void PaintWeekView(CalendarView& view, const PaintContext& ctx, const RECT& area);
void PaintDayView(CalendarView& view, const PaintContext& ctx, const RECT& area);
void PaintYearView(CalendarView& view, const PaintContext& ctx, const RECT& area);

// ---- Shared by the painters ---------------------------------------------------------

// The selected project's period, which the views tint.
struct SelectionSpan {
  const Project* project = nullptr;
  COLORREF light = 0;
  int32_t start = 1;
  int32_t end = 0;
  bool Contains(int32_t day) const { return project != nullptr && start <= day && day <= end; }
};
SelectionSpan SelectedSpan(const CalendarView& view);

// Positions of the day's projects passing the filter, in display order.
std::vector<int> DayPositions(const CalendarView& view, int32_t dayNumber);
// The projects at those positions, leaving out positions the document no longer has.
std::vector<const Project*> ProjectsAt(const CalendarView& view, const std::vector<int>& positions);
std::vector<const Project*> DayProjects(const CalendarView& view, int32_t dayNumber);
bool IsHovered(const CalendarView& view, int32_t projectId, int32_t dayNumber);
void AddRegion(CalendarView& view, const RECT& rect, const Date& date, int32_t projectId, int kind);
// "+n more" in the rectangle, clickable, for the projects of a day that did not fit.
void PaintMoreLink(CalendarView& view, const PaintContext& ctx, const RECT& rect, const Date& date, int count);

}  // namespace calendar
