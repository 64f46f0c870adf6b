// Renders windows and bitmaps to PNG files, for screenshots of every screen.
#pragma once

#include <windows.h>

#include <string>

namespace kit {

// Saves a 24/32-bit bitmap as PNG through GDI+ (which must be started).
bool SaveBitmapPng(HBITMAP bitmap, const std::wstring& path);
// Renders the whole window (frame included) with PrintWindow, falling back to
// WM_PRINT, and saves it. Child windows are included.
bool SaveWindowPng(HWND window, const std::wstring& path);

}  // namespace kit
