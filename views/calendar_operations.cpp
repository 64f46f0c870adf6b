#include "views/calendar_operations.h"

#include "ui/kit/gdi.h"
#include "ui/kit/scale.h"
#include "views/calendar_header.h"

namespace calendar {

int DpiOf(const CalendarView& view) { return FontsOf(view).dpi > 0 ? FontsOf(view).dpi : 96; }

void Invalidate(CalendarView& view) {
  if (view.window != nullptr) InvalidateRect(view.window, nullptr, FALSE);
}

void Notify(CalendarView& view, UINT code, const Date& date, int32_t projectId, POINT point) {
  HWND parent = view.window != nullptr ? GetParent(view.window) : nullptr;
  if (parent == nullptr) return;
  CalendarNotification notification{};
  notification.header.hwndFrom = view.window;
  notification.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(view.window));
  notification.header.code = code;
  notification.date = date;
  notification.projectId = projectId;
  notification.point = point;
  SendMessageW(parent, WM_NOTIFY, notification.header.idFrom, reinterpret_cast<LPARAM>(&notification));
}

void RebuildDayIndex(CalendarView& view, std::vector<char> matches) {
  DayIndexResult index = BuildDayIndex(ProjectsOf(view));
  view.dayIndex = std::move(index.days);
  view.facts = std::move(index.facts);
  SetMatches(view, std::move(matches));
}

void SetMatches(CalendarView& view, std::vector<char> matches) {
  const std::vector<Project>& projects = ProjectsOf(view);
  // Anything but one verdict per project is not about this document: search it here.
  if (matches.size() != projects.size()) {
    matches = ProjectSearch(view.filterText, view.filterCategory).MatchAll(projects);
  }
  view.matches = std::move(matches);
  if (view.selectedProjectId != 0) {
    bool keep = false;
    for (size_t i = 0; i < projects.size(); ++i) {
      if (projects[i].id == view.selectedProjectId) {
        keep = view.matches[i] != 0;
        break;
      }
    }
    if (!keep) view.selectedProjectId = 0;
  }
  view.hitRegions.clear();
  Invalidate(view);
}

void SetViewMode(CalendarView& view, int mode) {
  if (mode < kDayView || mode > kYearView || mode == view.viewMode) return;
  view.anchorDate = view.selectedDate;
  view.viewMode = mode;
  view.scrollOffset = 0;
  Invalidate(view);
  Notify(view, CalendarViewChanged, view.selectedDate);
}

void GoToDate(CalendarView& view, const Date& date) {
  if (!dates::IsValid(date)) return;
  view.anchorDate = date;
  view.selectedDate = date;
  view.scrollOffset = 0;
  ShowDateInPicker(view);
  Invalidate(view);
  Notify(view, CalendarDateChanged, view.selectedDate);
}

void SelectDate(CalendarView& view, const Date& date) {
  if (!dates::IsValid(date)) return;
  bool changed = date != view.selectedDate;
  view.selectedDate = date;
  if (!DateInPeriod(view.viewMode, view.anchorDate, date)) {
    view.anchorDate = date;
    view.scrollOffset = 0;
  }
  ShowDateInPicker(view);
  Invalidate(view);
  if (changed) Notify(view, CalendarDateChanged, view.selectedDate);
}

void Step(CalendarView& view, int direction) {
  GoToDate(view, StepPeriod(view.viewMode, view.anchorDate, view.selectedDate, direction));
}

void GoToToday(CalendarView& view) { GoToDate(view, TodayOf(view)); }

void ArrangeHeader(CalendarView& view) {
  if (view.window == nullptr) return;
  RECT client{};
  GetClientRect(view.window, &client);
  HeaderTextWidths widths;
  {
    kit::WindowDc dc(view.window);
    if (dc) widths = MeasureHeaderTexts(dc.get(), FontsOf(view));
  }
  HeaderLayout layout = LayoutHeader(client.right - client.left, widths, DpiOf(view));
  for (int i = 0; i < kHeaderButtonCount; ++i) view.buttonRects[i] = layout.buttons[i];
  view.titleRect = layout.title;
  view.dateLabelRect = layout.dateLabel;
  view.headerHeight = layout.height;
  if (view.datePicker != nullptr) {
    const RECT& r = layout.picker;
    MoveWindow(view.datePicker, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  }
}

void ApplyLanguageAndFonts(CalendarView& view) {
  if (view.fonts == nullptr) view.fallbackFonts.Rebuild(kit::WindowDpi(view.window));
  ApplyPickerLanguageAndFonts(view);
  ArrangeHeader(view);
  Invalidate(view);
}

void ScrollDayView(CalendarView& view, int delta) {
  view.scrollOffset = ClampScroll(view.scrollOffset + delta, view.contentHeight, view.visibleHeight);
  Invalidate(view);
}

}  // namespace calendar
