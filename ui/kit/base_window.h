// One way for every window of the program to own its state.
//
// A window class is a `Derived` type that inherits `BaseWindow<Derived>` and implements
//   LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
// The state is created by the caller and handed to `Create` as an owning pointer; it
// travels through CREATESTRUCT, is stored in the window's user data at WM_NCCREATE and
// deleted after WM_NCDESTROY. If the window never takes it (the class is missing, or
// WM_NCCREATE is refused) `Create` frees it; if WM_CREATE fails the system sends
// WM_NCDESTROY, which frees it. Either way nothing leaks and no half-built window stays.
//
// No exception leaves a window procedure: the system's dispatch code is C and cannot
// unwind. A throwing WM_NCCREATE or WM_CREATE fails the creation; a throwing paint
// validates the window so it is not asked again at once; anything else falls back to
// the default handling.
#pragma once

#include <windows.h>

#include <memory>

namespace kit {

struct WindowCreateArgs {
  DWORD exStyle = 0;
  const wchar_t* className = nullptr;
  const wchar_t* title = L"";
  DWORD style = 0;
  int x = CW_USEDEFAULT;
  int y = CW_USEDEFAULT;
  int width = CW_USEDEFAULT;
  int height = CW_USEDEFAULT;
  HWND parent = nullptr;
  HMENU menuOrId = nullptr;
  HINSTANCE instance = nullptr;
};

template <class Derived>
class BaseWindow {
 public:
  BaseWindow() = default;
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  HWND window() const { return window_; }

  // The state of a window of this class, or null for any other window.
  static Derived* FromWindow(HWND window) {
    if (window == nullptr || !IsWindow(window)) return nullptr;
    if (GetClassLongPtrW(window, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&WindowProc)) return nullptr;
    return reinterpret_cast<Derived*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }

  // A class description with this template's window procedure; the caller fills in
  // the rest (name, cursor, icons) and registers it.
  static WNDCLASSEXW ClassInfo(HINSTANCE instance, const wchar_t* className, UINT style = CS_DBLCLKS) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = className;
    return wc;
  }

  static bool Register(const WNDCLASSEXW& wc) {
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }

  // Creates the window and hands it the state. Returns null (state freed) on failure.
  static HWND Create(std::unique_ptr<Derived> state, const WindowCreateArgs& args) {
    if (!state) return nullptr;
    HINSTANCE instance = args.instance != nullptr ? args.instance : GetModuleHandleW(nullptr);
    return CreateWindowExW(args.exStyle, args.className, args.title, args.style, args.x, args.y, args.width,
                           args.height, args.parent, args.menuOrId, instance, &state);
  }

 protected:
  ~BaseWindow() = default;

  LRESULT DefaultProc(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(window_, message, wparam, lparam);
  }

  HWND window_ = nullptr;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
      auto* owner = create != nullptr ? static_cast<std::unique_ptr<Derived>*>(create->lpCreateParams) : nullptr;
      if (owner == nullptr || !*owner) return FALSE;
      Derived* self = owner->release();
      self->window_ = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      // From here on WM_NCDESTROY frees the state, also when the creation fails later.
    }
    auto* self = reinterpret_cast<Derived*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);

    LRESULT result = 0;
    try {
      result = self->HandleMessage(message, wparam, lparam);
    } catch (...) {
      result = FailedResult(window, message, wparam, lparam);
    }
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      delete self;
    }
    return result;
  }

  static LRESULT FailedResult(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_NCCREATE: return FALSE;
      case WM_CREATE: return -1;
      case WM_PAINT: ValidateRect(window, nullptr); return 0;
      case WM_NCDESTROY: return 0;
      default: return DefWindowProcW(window, message, wparam, lparam);
    }
  }
};

}  // namespace kit
