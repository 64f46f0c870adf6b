#include <windows.h>
#include <commctrl.h>

#include "ui/kit/date_picker.h"
#include "views/calendar_operations.h"

namespace calendar {
namespace {

constexpr UINT_PTR kPickerSubclassId = 1;
constexpr int kPickerControlId = 1;

bool PickerHasFocus(const CalendarView& view) {
  HWND focus = GetFocus();
  return focus != nullptr && (focus == view.datePicker || IsChild(view.datePicker, focus));
}

LRESULT CALLBACK PickerSubclassProc(HWND picker, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                    DWORD_PTR data) {
  auto* view = reinterpret_cast<CalendarView*>(data);
  try {
    switch (message) {
      case WM_GETDLGCODE:
        // Enter would otherwise go to the dialog manager as "press the default button".
        if (wparam == VK_RETURN) return DLGC_WANTALLKEYS | DefSubclassProc(picker, message, wparam, lparam);
        break;
      case WM_KEYDOWN:
        if (wparam == VK_RETURN && view != nullptr) {
          if (!GoToPickerDate(*view)) MessageBeep(MB_ICONWARNING);
          SetFocus(view->window);
          return 0;
        }
        if (view != nullptr) view->pickerTyped = true;
        break;
      case WM_CHAR:
        if (view != nullptr) view->pickerTyped = true;
        break;
      case WM_NCDESTROY:
        RemoveWindowSubclass(picker, PickerSubclassProc, id);
        break;
      default: break;
    }
  } catch (...) {
    return 0;
  }
  return DefSubclassProc(picker, message, wparam, lparam);
}

}  // namespace

bool CreateDatePicker(CalendarView& view) {
  view.datePicker = CreateWindowExW(0, DATETIMEPICK_CLASSW, L"",
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | DTS_SHORTDATECENTURYFORMAT, 0, 0, 100, 30,
                                    view.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPickerControlId)),
                                    reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(view.window, GWLP_HINSTANCE)),
                                    nullptr);
  if (view.datePicker == nullptr) return false;
  SetWindowSubclass(view.datePicker, PickerSubclassProc, kPickerSubclassId, reinterpret_cast<DWORD_PTR>(&view));
  kit::ApplyFlatDatePicker(view.datePicker);
  return true;
}

void ShowDateInPicker(CalendarView& view) {
  if (view.datePicker == nullptr || !dates::IsValid(view.selectedDate) || PickerHasFocus(view)) return;
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(view.selectedDate.year);
  time.wMonth = static_cast<WORD>(view.selectedDate.month);
  time.wDay = static_cast<WORD>(view.selectedDate.day);
  time.wDayOfWeek = static_cast<WORD>(dates::WeekDay(view.selectedDate));
  SendMessageW(view.datePicker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
  view.pickerAsked = view.selectedDate;
  view.pickerHeld = PickerDateOr(view, Date{});
  view.pickerTyped = false;
}

bool GoToPickerDate(CalendarView& view) {
  Date held = PickerDateOr(view, Date{});
  if (!dates::IsValid(held)) {
    GoToDate(view, view.selectedDate);
    return true;
  }
  // An unchanged picker after typing did not take the typed date; an unchanged picker
  // that never took the date it was given shows a stale one. Either way the user did
  // not ask for the date it holds.
  bool unchanged = held == view.pickerHeld;
  bool refused = unchanged && (view.pickerTyped || view.pickerHeld != view.pickerAsked);
  view.pickerTyped = false;
  if (refused) return false;
  view.pickerAsked = held;
  view.pickerHeld = held;
  GoToDate(view, held);
  return true;
}

Date PickerDateOr(const CalendarView& view, const Date& fallback) {
  if (view.datePicker == nullptr) return fallback;
  SYSTEMTIME time{};
  if (SendMessageW(view.datePicker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID) {
    return fallback;
  }
  Date date{time.wYear, time.wMonth, time.wDay};
  return dates::IsValid(date) ? date : fallback;
}

void ApplyPickerLanguageAndFonts(CalendarView& view) {
  if (view.datePicker == nullptr) return;
  HFONT body = FontsOf(view).body;
  SendMessageW(view.datePicker, WM_SETFONT, reinterpret_cast<WPARAM>(body), TRUE);
  SendMessageW(view.datePicker, DTM_SETMCFONT, reinterpret_cast<WPARAM>(body), TRUE);
  SendMessageW(view.datePicker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(dates::NumericDatePicture()));
}

bool OnPickerNotify(CalendarView& view, const NMHDR& header) {
  if (header.hwndFrom != view.datePicker || view.datePicker == nullptr) return false;
  if (header.code == DTN_CLOSEUP) GoToPickerDate(view);
  return true;
}

}  // namespace calendar
