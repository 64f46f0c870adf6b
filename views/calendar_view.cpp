#include "views/calendar_view.h"

#include <windowsx.h>

#include <memory>

#include "ui/kit/base_window.h"
#include "ui/kit/draw.h"
#include "views/calendar_circles.h"
#include "views/calendar_header.h"
#include "views/calendar_operations.h"
#include "views/calendar_painters.h"

namespace calendar {
namespace {

HINSTANCE g_classInstance = nullptr;
constexpr int kInitialSize = 100;  // until the parent lays it out
constexpr int kMinBodyHeight = 40;  // a body lower than this is not painted at all

// The window that carries a view's state; the painters and handlers work on the state.
class CalendarWindow : public kit::BaseWindow<CalendarWindow> {
 public:
  CalendarView view;

 private:
  friend class kit::BaseWindow<CalendarWindow>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
};

// The public functions take any window handle; only ours carry a state to act on.
CalendarView* ViewOf(HWND window) {
  CalendarWindow* self = CalendarWindow::FromWindow(window);
  return self != nullptr ? &self->view : nullptr;
}

POINT PointOf(LPARAM lparam) { return POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}; }

void PaintAll(CalendarView& view, HDC dc, const RECT& client) {
  PaintContext ctx;
  ctx.dc = dc;
  ctx.fonts = &FontsOf(view);
  ctx.dpi = DpiOf(view);
  ctx.today = TodayOf(view);
  ctx.focused = view.window != nullptr && GetFocus() == view.window;
  CircleCache circles;
  ctx.circles = &circles;

  view.hitRegions.clear();
  // Restores the font the painters leave selected, and the body's clip.
  DcStateScope state(dc);
  int width = client.right - client.left;
  PaintHeader(ctx, view, width);
  RECT area{client.left, client.top + view.headerHeight, client.right, client.bottom};
  if (area.bottom - area.top > ctx.S(kMinBodyHeight)) {
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    switch (view.viewMode) {
      case kDayView: PaintDayView(view, ctx, area); break;
      case kWeekView: PaintWeekView(view, ctx, area); break;
      case kYearView: PaintYearView(view, ctx, area); break;
      default: PaintMonthView(view, ctx, area); break;
    }
  }
}

LRESULT OnCreate(CalendarView& view) {
  CreateDatePicker(view);
  ApplyLanguageAndFonts(view);
  RebuildDayIndex(view);
  ShowDateInPicker(view);
  return 0;
}

void OnPaint(CalendarView& view) {
  kit::DoubleBufferedPaint paint(view.window);
  PaintAll(view, paint.dc(), paint.client());
}

void OnPrintClient(CalendarView& view, HDC dc) {
  RECT client{};
  GetClientRect(view.window, &client);
  PaintAll(view, dc, client);
}

LRESULT OnGetDlgCode(const MSG* message) {
  LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
  // Enter on the calendar asks for a new project; the dialog manager must not take it.
  if (message != nullptr && message->message == WM_KEYDOWN && message->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
  return code;
}

LRESULT OnControlColor(HDC dc) {
  SetBkColor(dc, RGB(255, 255, 255));
  return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

LRESULT Dispatch(CalendarView& view, UINT message, WPARAM wparam, LPARAM lparam) {
  HWND window = view.window;
  switch (message) {
    case WM_CREATE: return OnCreate(view);
    case WM_SIZE:
      ArrangeHeader(view);
      Invalidate(view);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: OnPaint(view); return 0;
    case WM_PRINTCLIENT: OnPrintClient(view, reinterpret_cast<HDC>(wparam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(view, PointOf(lparam)); return 0;
    case WM_MOUSELEAVE: OnMouseLeave(view); return 0;
    case WM_SETCURSOR:
      if (LOWORD(lparam) == HTCLIENT && OnSetCursor(view)) return TRUE;
      break;
    case WM_LBUTTONDOWN: OnLeftButtonDown(view, PointOf(lparam), false); return 0;
    case WM_LBUTTONDBLCLK: OnLeftButtonDown(view, PointOf(lparam), true); return 0;
    case WM_LBUTTONUP: OnLeftButtonUp(view, PointOf(lparam)); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(view); return 0;
    case WM_RBUTTONUP: OnRightButtonUp(view, PointOf(lparam)); return 0;
    case WM_MOUSEWHEEL: OnMouseWheel(view, GET_WHEEL_DELTA_WPARAM(wparam)); return 0;
    case WM_KEYDOWN: OnKeyDown(view, wparam); return 0;
    case WM_GETDLGCODE: return OnGetDlgCode(reinterpret_cast<const MSG*>(lparam));
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(view); return 0;
    case WM_NOTIFY:
      if (lparam != 0 && OnPickerNotify(view, *reinterpret_cast<const NMHDR*>(lparam))) return 0;
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: return OnControlColor(reinterpret_cast<HDC>(wparam));
    default: break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT CalendarWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) view.window = window_;
  return Dispatch(view, message, wparam, lparam);
}

}  // namespace

bool RegisterCalendarViewClass(HINSTANCE instance) {
  if (!CalendarWindow::Register(CalendarWindow::ClassInfo(instance, kCalendarViewClass))) return false;
  if (g_classInstance == nullptr) g_classInstance = instance;
  return true;
}

HWND CreateCalendarView(HWND parent, const ProjectDocument* document, const kit::FontSet* fonts,
                        const Date& today) {
  auto window = std::make_unique<CalendarWindow>();
  CalendarView& state = window->view;
  state.document = document;
  state.fonts = fonts;
  Date start = dates::IsValid(today) ? today : dates::Today();
  state.selectedDate = start;
  state.anchorDate = start;
  kit::WindowCreateArgs args;
  args.className = kCalendarViewClass;
  args.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP;
  args.x = 0;
  args.y = 0;
  args.width = kInitialSize;
  args.height = kInitialSize;
  args.parent = parent;
  args.menuOrId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCalendarControlId));
  args.instance = g_classInstance;
  return CalendarWindow::Create(std::move(window), args);
}

void RebuildDayIndex(HWND view, std::vector<char> matches) {
  if (CalendarView* state = ViewOf(view)) RebuildDayIndex(*state, std::move(matches));
}

void SetSelectedProject(HWND view, int32_t projectId) {
  if (CalendarView* state = ViewOf(view)) {
    state->selectedProjectId = projectId;
    Invalidate(*state);
  }
}

void SetFilter(HWND view, std::wstring_view text, int category) { SetFilter(view, text, category, {}); }

void SetFilter(HWND view, std::wstring_view text, int category, std::vector<char> matches) {
  if (CalendarView* state = ViewOf(view)) {
    state->filterText.assign(text);
    state->filterCategory = category;
    // Another filter lists other cards: the day view starts again at the top.
    state->scrollOffset = 0;
    SetMatches(*state, std::move(matches));
  }
}

void SetViewMode(HWND view, int mode) {
  if (CalendarView* state = ViewOf(view)) SetViewMode(*state, mode);
}

void Previous(HWND view) {
  if (CalendarView* state = ViewOf(view)) Step(*state, -1);
}

void Next(HWND view) {
  if (CalendarView* state = ViewOf(view)) Step(*state, +1);
}

void Today(HWND view) {
  if (CalendarView* state = ViewOf(view)) GoToToday(*state);
}

void GoToDate(HWND view, const Date& date) {
  if (CalendarView* state = ViewOf(view)) GoToDate(*state, date);
}

void SelectDate(HWND view, const Date& date) {
  if (CalendarView* state = ViewOf(view)) SelectDate(*state, date);
}

void FocusDatePicker(HWND view) {
  CalendarView* state = ViewOf(view);
  if (state != nullptr && state->datePicker != nullptr) SetFocus(state->datePicker);
}

void ApplyLanguageAndFonts(HWND view) {
  if (CalendarView* state = ViewOf(view)) ApplyLanguageAndFonts(*state);
}

bool IsDateInView(HWND view, const Date& date) {
  const CalendarView* state = ViewOf(view);
  return state != nullptr && DateInPeriod(state->viewMode, state->anchorDate, date);
}

std::vector<int> ProjectsOnDay(HWND view, const Date& date) {
  const CalendarView* state = ViewOf(view);
  if (state == nullptr || !dates::IsValid(date)) return {};
  return DayPositions(*state, dates::DayNumber(date));
}

int GetViewMode(HWND view) {
  const CalendarView* state = ViewOf(view);
  return state != nullptr ? state->viewMode : kMonthView;
}

Date GetSelectedDate(HWND view) {
  const CalendarView* state = ViewOf(view);
  return state != nullptr ? state->selectedDate : Date{};
}

Date GetAnchorDate(HWND view) {
  const CalendarView* state = ViewOf(view);
  return state != nullptr ? state->anchorDate : Date{};
}

int32_t GetSelectedProject(HWND view) {
  const CalendarView* state = ViewOf(view);
  return state != nullptr ? state->selectedProjectId : 0;
}

void PaintCalendarTo(HWND view, HDC dc) {
  CalendarView* state = ViewOf(view);
  if (state == nullptr || dc == nullptr) return;
  RECT client{};
  GetClientRect(view, &client);
  PaintAll(*state, dc, client);
}

void SetFixedToday(HWND view, const Date& today) {
  if (CalendarView* state = ViewOf(view)) {
    state->fixedToday = dates::IsValid(today) ? today : Date{};
    Invalidate(*state);
  }
}

const CalendarView* CalendarState(HWND view) { return ViewOf(view); }

}  // namespace calendar
