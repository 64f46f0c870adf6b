// What window tests need before they create windows: GDI+, the embedded fonts and the
// common controls, set up once per test program; and a folder for screenshots.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <string>

#include "support/paths.h"
#include "ui/kit/fonts.h"
#include "ui/kit/gdiplus_include.h"

namespace testui {

inline void EnsureUi() {
  static bool ready = [] {
    static ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    kit::LoadEmbeddedFonts(GetModuleHandleW(nullptr));
    return true;
  }();
  (void)ready;
}

// Registers a plain window class for a test's host window once (arrow cursor, no
// background brush).
inline void RegisterTestClass(const wchar_t* name, WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  RegisterClassExW(&wc);  // a second registration fails harmlessly
}

// build/screenshots/<name>.png
inline std::wstring ScreenshotPath(const std::wstring& name) {
  std::wstring folder = testpaths::BuildFile(L"screenshots");
  std::filesystem::create_directories(std::filesystem::path(folder));
  return folder + L"\\" + name + L".png";
}

// Lets queued paint and timer messages run.
inline void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace testui
