// What the calendar window tests share: a top-level parent that records the view's
// notifications, the view inside it with its own font set and a fixed today, a canvas to
// paint into, and documents to show.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "model/project.h"
#include "support/pixel_canvas.h"
#include "support/ui_env.h"
#include "ui/kit/fonts.h"
#include "ui/kit/gdi.h"
#include "ui/kit/scale.h"
#include "views/calendar_state.h"
#include "views/calendar_view.h"

namespace caltest {

inline Project MakeProject(const wchar_t* title, Date start, Date end, int color, bool completed = false) {
  Project p;
  p.title = title;
  p.startDate = start;
  p.endDate = end;
  p.color = color;
  p.completed = completed;
  if (completed) p.completedDate = end;
  return p;
}

inline Entry MakeEntry(Date date, const wchar_t* text) {
  Entry e;
  e.date = date;
  e.text = text;
  return e;
}

// The pixel canvas of the kit tests.
using Canvas = testui::PixelCanvas;

// The view in a top-level parent that plays the main window's part.
class CalendarHost {
 public:
  CalendarHost(const ProjectDocument* document, Date today, int dpi = 96, int width = 1280, int height = 800)
      : fonts_((testui::EnsureUi(), dpi)), today_(today) {
    testui::RegisterTestClass(L"TavriloCalendarTestParent", ParentProc);
    calendar::RegisterCalendarViewClass(GetModuleHandleW(nullptr));
    parent_ = CreateWindowExW(0, L"TavriloCalendarTestParent", L"Calendar test", WS_POPUP, 0, 0,
                              kit::Scale(width, dpi), kit::Scale(height, dpi), nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
    view_ = calendar::CreateCalendarView(parent_, document, &fonts_.get(), today);
    calendar::SetFixedToday(view_, today);
    MoveWindow(view_, 0, 0, kit::Scale(width, dpi), kit::Scale(height, dpi), FALSE);
    Repaint();
    notifications.clear();
  }
  ~CalendarHost() {
    if (IsWindow(parent_)) DestroyWindow(parent_);
  }
  CalendarHost(const CalendarHost&) = delete;
  CalendarHost& operator=(const CalendarHost&) = delete;

  HWND view() const { return view_; }
  HWND parent() const { return parent_; }
  const calendar::CalendarView& state() const { return *calendar::CalendarState(view_); }
  const kit::FontSet& fonts() const { return fonts_.get(); }
  int dpi() const { return fonts_->dpi; }

  // Paints into a canvas, which rebuilds the hit regions the way WM_PAINT does.
  void Repaint() {
    RECT client{};
    GetClientRect(view_, &client);
    Canvas canvas(client.right, client.bottom);
    calendar::PaintCalendarTo(view_, canvas.dc());
  }

  // The centre of the last region that matches.
  template <typename Pred>
  bool FindRegion(Pred pred, calendar::HitRegion& found) const {
    const auto& regions = state().hitRegions;
    for (auto it = regions.rbegin(); it != regions.rend(); ++it) {
      if (!IsRectEmpty(&it->rect) && pred(*it)) {
        found = *it;
        return true;
      }
    }
    return false;
  }

  static POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

  void Click(POINT p) {
    SendMessageW(view_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(view_, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  }
  void DoubleClick(POINT p) {
    Click(p);
    SendMessageW(view_, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(view_, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  }
  void Key(WPARAM key) { SendMessageW(view_, WM_KEYDOWN, key, 0); }
  void Wheel(int delta, POINT p = {10, 10}) {
    POINT screen = p;
    ClientToScreen(view_, &screen);
    SendMessageW(view_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))),
                 MAKELPARAM(screen.x, screen.y));
  }

  std::vector<UINT> Codes() const {
    std::vector<UINT> codes;
    for (const auto& n : notifications) codes.push_back(n.header.code);
    return codes;
  }

  std::vector<calendar::CalendarNotification> notifications;

 private:
  static LRESULT CALLBACK ParentProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NCCREATE) {
      SetWindowLongPtrW(w, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* self = reinterpret_cast<CalendarHost*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (m == WM_NOTIFY && self != nullptr) {
      const auto* header = reinterpret_cast<const NMHDR*>(lp);
      if (header->code >= 0x5001 && header->code <= 0x5006) {
        self->notifications.push_back(*reinterpret_cast<const calendar::CalendarNotification*>(lp));
        return 0;
      }
    }
    if (m == WM_NCDESTROY) SetWindowLongPtrW(w, GWLP_USERDATA, 0);
    return DefWindowProcW(w, m, wp, lp);
  }

  kit::OwnedFontSet fonts_;
  Date today_;
  HWND parent_ = nullptr;
  HWND view_ = nullptr;
};

// Many projects in all colours over March 2026: completed ones, long titles, days with
// more projects than a month cell holds, AI record blocks, multi-line and long texts.
ProjectDocument RichDocument();

}  // namespace caltest
