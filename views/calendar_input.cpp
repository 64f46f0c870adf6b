#include "views/calendar_operations.h"

#include "ui/kit/scale.h"

namespace calendar {
namespace {

void PerformButton(CalendarView& view, int button) {
  switch (button) {
    case kButtonPrevious: Step(view, -1); break;
    case kButtonToday: GoToToday(view); break;
    case kButtonNext: Step(view, +1); break;
    case kButtonDay:
    case kButtonWeek:
    case kButtonMonth:
    case kButtonYear: SetViewMode(view, button - kButtonDay); break;
    case kButtonGo:
      if (!GoToPickerDate(view)) MessageBeep(MB_ICONWARNING);
      break;
    default: break;
  }
}

void ShowDate(CalendarView& view, const Date& date, int mode) {
  view.anchorDate = date;
  view.selectedDate = date;
  SetViewMode(view, mode);
  ShowDateInPicker(view);
  Invalidate(view);
  Notify(view, CalendarDateChanged, view.selectedDate);
}

// A month title of the year view opens that month, keeping the selected day when it is
// in that month.
void OpenMonth(CalendarView& view, const Date& firstOfMonth) {
  const Date& selected = view.selectedDate;
  bool inMonth = selected.year == firstOfMonth.year && selected.month == firstOfMonth.month;
  ShowDate(view, inMonth ? selected : firstOfMonth, kMonthView);
}

void OpenDay(CalendarView& view, const Date& date) { ShowDate(view, date, kDayView); }

// One wheel notch scrolls the day view by this much at 96 DPI.
constexpr int kScrollStep = 60;

int ScrollStep(const CalendarView& view) { return kit::Scale(kScrollStep, DpiOf(view)); }

}  // namespace

void OnMouseMove(CalendarView& view, POINT point) {
  if (!view.trackingMouse) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, view.window, 0};
    view.trackingMouse = TrackMouseEvent(&track) != FALSE;
  }
  int button = HitTestButtons(view.buttonRects, point);
  int32_t projectId = 0, day = 0;
  if (button < 0) {
    int index = HitTestRegions(view.hitRegions, point);
    if (index >= 0) {
      const HitRegion& region = view.hitRegions[static_cast<size_t>(index)];
      if (region.kind == kHitProject) {
        projectId = region.projectId;
        day = dates::DayNumber(region.date);
      } else if (region.kind == kHitMonthTitle || region.kind == kHitMoreLink) {
        projectId = -1;
      }
    }
  }
  if (button != view.hoverButton || projectId != view.hoverProjectId || day != view.hoverDay) {
    view.hoverButton = button;
    view.hoverProjectId = projectId;
    view.hoverDay = day;
    Invalidate(view);
  }
}

void OnMouseLeave(CalendarView& view) {
  view.trackingMouse = false;
  if (view.hoverButton >= 0 || view.hoverProjectId != 0 || view.hoverDay != 0) {
    view.hoverButton = -1;
    view.hoverProjectId = 0;
    view.hoverDay = 0;
    Invalidate(view);
  }
}

bool OnSetCursor(CalendarView& view) {
  if (view.hoverButton < 0 && view.hoverProjectId == 0) return false;
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  return true;
}

void OnLeftButtonDown(CalendarView& view, POINT point, bool doubleClick) {
  SetFocus(view.window);
  // The second click lands on whatever the first one put under the cursor: an
  // arbitrary project or day of the view it opened.
  const bool secondHalfOfASwitch = doubleClick && view.clickChangedView;
  view.clickChangedView = false;
  if (secondHalfOfASwitch) return;
  int button = HitTestButtons(view.buttonRects, point);
  if (button >= 0) {
    view.pressedButton = button;
    SetCapture(view.window);
    Invalidate(view);
    return;
  }
  int index = HitTestRegions(view.hitRegions, point);
  if (index < 0) return;
  // A copy: the handlers below may repaint, which rebuilds the region list.
  const HitRegion region = view.hitRegions[static_cast<size_t>(index)];
  switch (region.kind) {
    case kHitDay:
      SelectDate(view, region.date);
      if (doubleClick) Notify(view, CalendarNewProject, region.date);
      break;
    case kHitProject:
      SelectDate(view, region.date);
      if (doubleClick) {
        Notify(view, CalendarOpenProject, region.date, region.projectId);
      } else {
        if (view.selectedProjectId != region.projectId) {
          view.selectedProjectId = region.projectId;
          Invalidate(view);
        }
        Notify(view, CalendarProjectClicked, region.date, region.projectId);
      }
      break;
    case kHitMonthTitle:
      if (!doubleClick) {
        OpenMonth(view, region.date);
        view.clickChangedView = true;
      }
      break;
    case kHitMoreLink:
      if (!doubleClick) {
        OpenDay(view, region.date);
        view.clickChangedView = true;
      }
      break;
    default: break;
  }
}

void OnLeftButtonUp(CalendarView& view, POINT point) {
  if (view.pressedButton < 0) return;
  int pressed = view.pressedButton;
  view.pressedButton = -1;
  if (GetCapture() == view.window) ReleaseCapture();
  Invalidate(view);
  if (HitTestButtons(view.buttonRects, point) == pressed) PerformButton(view, pressed);
}

void OnCaptureChanged(CalendarView& view) {
  if (view.pressedButton < 0) return;
  view.pressedButton = -1;
  Invalidate(view);
}

void OnRightButtonUp(CalendarView& view, POINT point) {
  int index = HitTestRegions(view.hitRegions, point);
  if (index < 0) return;
  const HitRegion region = view.hitRegions[static_cast<size_t>(index)];
  if (region.kind == kHitMonthTitle) return;
  SelectDate(view, region.date);
  POINT screen = point;
  ClientToScreen(view.window, &screen);
  Notify(view, CalendarContextMenu, region.date, region.kind == kHitProject ? region.projectId : 0, screen);
}

void OnMouseWheel(CalendarView& view, int delta) {
  if (view.viewMode == kDayView && view.contentHeight > view.visibleHeight) {
    ScrollDayView(view, -delta * ScrollStep(view) / WHEEL_DELTA);
    return;
  }
  WheelResult result = AccumulateWheel(view.wheelRemainder, delta);
  view.wheelRemainder = result.remainder;
  for (int i = 0; i > result.periodSteps; --i) Step(view, -1);
  for (int i = 0; i < result.periodSteps; ++i) Step(view, +1);
}

void OnKeyDown(CalendarView& view, WPARAM key) {
  bool dayView = view.viewMode == kDayView;
  switch (key) {
    case VK_RETURN: Notify(view, CalendarNewProject, view.selectedDate); break;
    case VK_PRIOR: Step(view, -1); break;
    case VK_NEXT: Step(view, +1); break;
    case VK_HOME: GoToToday(view); break;
    case VK_LEFT:
    case VK_RIGHT: {
      Date date = dates::AddDays(view.selectedDate, key == VK_LEFT ? -1 : 1);
      if (dayView) {
        GoToDate(view, date);
      } else {
        SelectDate(view, date);
      }
      break;
    }
    case VK_UP:
    case VK_DOWN:
      if (dayView) {
        ScrollDayView(view, key == VK_UP ? -ScrollStep(view) : ScrollStep(view));
      } else {
        SelectDate(view, dates::AddDays(view.selectedDate, key == VK_UP ? -7 : 7));
      }
      break;
    default: break;
  }
}

}  // namespace calendar
