// Helpers shared by the drawing-kit tests: a readable pixel canvas, a host window that
// forwards owner-draw messages to the kit, and a driver that acts on a modal message box
// from inside its own message loop.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "support/ui_env.h"
#include "ui/kit/buttons.h"
#include "ui/kit/gdi.h"
#include "ui/kit/menus.h"
#include "ui/kit/snapshot.h"
#include "support/pixel_canvas.h"

namespace testui {

// A plain top-level window that hosts kit controls the way the program's windows do.
struct HostWindow {
  std::vector<std::pair<int, int>> commands;  // (id, notification) of WM_COMMAND
  HWND hwnd = nullptr;
  COLORREF background = RGB(255, 255, 255);
  kit::UniqueBrush brush;

  explicit HostWindow(DWORD style = WS_OVERLAPPEDWINDOW, int width = 480, int height = 320, HMENU menu = nullptr) {
    EnsureUi();
    RegisterTestClass(L"TavriloKitTestHost", Proc);
    hwnd = CreateWindowExW(0, L"TavriloKitTestHost", L"Kit test", style, 40, 40, width, height, nullptr, menu,
                           GetModuleHandleW(nullptr), this);
  }
  ~HostWindow() {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NCCREATE) {
      SetWindowLongPtrW(w, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    LRESULT result = 0;
    if (kit::HandleMenuMessage(w, m, wp, lp, result)) return result;
    switch (m) {
      case WM_DRAWITEM:
        if (kit::DrawKitButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp))) return TRUE;
        break;
      case WM_COMMAND:
        if (self != nullptr) self->commands.emplace_back(LOWORD(wp), HIWORD(wp));
        return 0;
      case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(w, &r);
        kit::UniqueBrush brush(CreateSolidBrush(self != nullptr ? self->background : RGB(255, 255, 255)));
        FillRect(reinterpret_cast<HDC>(wp), &r, brush.get());
        return 1;
      }
      case WM_CTLCOLORSTATIC:
        if (self != nullptr) {
          SetBkColor(reinterpret_cast<HDC>(wp), self->background);
          self->brush.reset(CreateSolidBrush(self->background));
          return reinterpret_cast<LRESULT>(self->brush.get());
        }
        break;
      case WM_NCDESTROY:
        SetWindowLongPtrW(w, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcW(w, m, wp, lp);
  }
};

// Finds this thread's visible "QuenlorMsgBox" window.
inline HWND FindMsgBox() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM lp) -> BOOL {
        wchar_t name[32] = {};
        GetClassNameW(w, name, 32);
        if (lstrcmpW(name, L"QuenlorMsgBox") == 0 && IsWindowVisible(w)) {
          *reinterpret_cast<HWND*>(lp) = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Runs an action on the message box from a thread timer, which the box's own modal loop
// dispatches. When the action leaves the box open for many more ticks the driver closes
// it, so that a broken box fails the test instead of hanging it.
class BoxDriver {
 public:
  explicit BoxDriver(std::function<void(HWND)> action) {
    Current() = this;
    action_ = std::move(action);
    timer_ = SetTimer(nullptr, 0, 20, Tick);
  }
  ~BoxDriver() {
    KillTimer(nullptr, timer_);
    Current() = nullptr;
  }
  BoxDriver(const BoxDriver&) = delete;
  BoxDriver& operator=(const BoxDriver&) = delete;

  bool acted() const { return acted_; }
  bool forcedClose() const { return forced_; }

 private:
  static BoxDriver*& Current() {
    static BoxDriver* current = nullptr;
    return current;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    BoxDriver* self = Current();
    if (self == nullptr) return;
    HWND box = FindMsgBox();
    if (box == nullptr) return;
    if (!self->acted_) {
      self->acted_ = true;
      self->action_(box);
    } else if (++self->ticksAfter_ > 150) {
      self->forced_ = true;
      PostMessageW(box, WM_CLOSE, 0, 0);
    }
  }

  std::function<void(HWND)> action_;
  UINT_PTR timer_ = 0;
  bool acted_ = false;
  bool forced_ = false;
  int ticksAfter_ = 0;
};

// The message box's buttons in creation (display) order.
inline std::vector<HWND> BoxButtons(HWND box) {
  std::vector<HWND> buttons;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (kit::KitButtonStyle(child) >= 0) buttons.push_back(child);
  }
  return buttons;
}

inline std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

}  // namespace testui
