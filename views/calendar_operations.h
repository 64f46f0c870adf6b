// The view's operations on its state, shared by the public functions (which take the
// window), the input handlers and the date lookup. Not for use outside the view.
#pragma once

#include <windows.h>

#include <vector>

#include "views/calendar_state.h"
#include "views/calendar_view.h"

namespace calendar {

int DpiOf(const CalendarView& view);
void Invalidate(CalendarView& view);
void Notify(CalendarView& view, UINT code, const Date& date, int32_t projectId = 0, POINT point = {});

// Matches are the filter's verdict per project, in document order; any other count makes
// the view search the document itself. Both drop a selection the filter excludes.
void RebuildDayIndex(CalendarView& view, std::vector<char> matches = {});
void SetMatches(CalendarView& view, std::vector<char> matches);
void SetViewMode(CalendarView& view, int mode);
void GoToDate(CalendarView& view, const Date& date);
void SelectDate(CalendarView& view, const Date& date);
void Step(CalendarView& view, int direction);  // -1 previous, +1 next
void GoToToday(CalendarView& view);
void ArrangeHeader(CalendarView& view);
void ApplyLanguageAndFonts(CalendarView& view);
void ScrollDayView(CalendarView& view, int delta);

// Input (calendar_input.cpp).
void OnMouseMove(CalendarView& view, POINT point);
void OnMouseLeave(CalendarView& view);
bool OnSetCursor(CalendarView& view);
void OnLeftButtonDown(CalendarView& view, POINT point, bool doubleClick);
void OnLeftButtonUp(CalendarView& view, POINT point);
void OnCaptureChanged(CalendarView& view);
void OnRightButtonUp(CalendarView& view, POINT point);
void OnMouseWheel(CalendarView& view, int delta);
void OnKeyDown(CalendarView& view, WPARAM key);

// Date lookup (calendar_date_lookup.cpp).
bool CreateDatePicker(CalendarView& view);
void ShowDateInPicker(CalendarView& view);
// The picker's date, or the fallback when it holds none.
Date PickerDateOr(const CalendarView& view, const Date& fallback);
// Go, Enter in the picker and the closing of its drop-down: goes to the date the picker
// really holds. False, with nothing changed, when the picker did not take what was
// typed into it or still shows a date it refused to replace.
bool GoToPickerDate(CalendarView& view);
void ApplyPickerLanguageAndFonts(CalendarView& view);
bool OnPickerNotify(CalendarView& view, const NMHDR& header);

}  // namespace calendar
