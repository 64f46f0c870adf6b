// The calendar view: the main window's large child (control id 1001) that shows the
// document's projects by day, week, month or year and reports what the user does with
// WM_NOTIFY. It reads the main window's document and never edits it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "model/date.h"
#include "model/project.h"
#include "ui/kit/fonts.h"

namespace calendar {

struct CalendarView;

constexpr int kCalendarControlId = 1001;
constexpr const wchar_t* kCalendarViewClass = L"QuenlorCalendarView";

enum CalendarNotificationCode : UINT {
  CalendarDateChanged = 0x5001,     // the selected date or the period changed
  CalendarViewChanged = 0x5002,     // the view mode changed
  CalendarNewProject = 0x5003,      // Enter, or a double-click on an empty part of a day
  CalendarOpenProject = 0x5004,     // double-click on a project item
  CalendarProjectClicked = 0x5005,  // single click on a project item
  CalendarContextMenu = 0x5006,     // right button released over a day or an item
};

// Sent with WM_NOTIFY to the parent.
struct CalendarNotification {
  NMHDR header;
  Date date;
  int32_t projectId = 0;
  POINT point = {};  // screen coordinates; only CalendarContextMenu fills it
};

// Class "QuenlorCalendarView": CS_DBLCLKS, arrow cursor, no background brush.
// True when the class is registered (also when it already was).
bool RegisterCalendarViewClass(HINSTANCE instance);

// A visible 100 x 100 child; the parent sizes it. The document and the font set are the
// main window's and must outlive the view; the font set also gives the DPI. Returns
// null when the window cannot be created.
HWND CreateCalendarView(HWND parent, const ProjectDocument* document, const kit::FontSet* fonts,
                        const Date& today);

// After every change of the document and after loading a file. Matches, when given, are
// the current filter's verdict over the changed document (see SetFilter).
void RebuildDayIndex(HWND view, std::vector<char> matches = {});
void SetSelectedProject(HWND view, int32_t projectId);  // 0 clears
// Applies the search filter at once and drops a selection it excludes. Matches, when
// given, are the filter's verdict over the document as it is now, one per project (the
// main window computes them once for its lists and the calendar alike).
void SetFilter(HWND view, std::wstring_view text, int category);
void SetFilter(HWND view, std::wstring_view text, int category, std::vector<char> matches);
void SetViewMode(HWND view, int mode);  // 0 day, 1 week, 2 month, 3 year
void Previous(HWND view);
void Next(HWND view);
void Today(HWND view);
void GoToDate(HWND view, const Date& date);
void SelectDate(HWND view, const Date& date);
void FocusDatePicker(HWND view);
// After creation, a language change or a DPI change (with the font set rebuilt).
void ApplyLanguageAndFonts(HWND view);
bool IsDateInView(HWND view, const Date& date);
// Positions in the document's project list, in the order the day lists them.
std::vector<int> ProjectsOnDay(HWND view, const Date& date);

int GetViewMode(HWND view);
Date GetSelectedDate(HWND view);
Date GetAnchorDate(HWND view);
int32_t GetSelectedProject(HWND view);

// Paints the whole view (header and body) into a device context of the client's size,
// as WM_PAINT does; for benchmarks and screenshots.
void PaintCalendarTo(HWND view, HDC dc);
// Fixes "today" instead of the local clock (an invalid date restores the clock), so that
// screenshots and tests do not depend on the day they run.
void SetFixedToday(HWND view, const Date& today);
// The view's state, for inspection by tests; null for any other window.
const CalendarView* CalendarState(HWND view);

}  // namespace calendar
