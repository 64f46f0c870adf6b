// A 32-bit DIB to paint into and read back, pixel by pixel.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>

#include "support/ui_env.h"
#include "ui/kit/gdi.h"
#include "ui/kit/snapshot.h"

namespace testui {

// A 32-bit top-down DIB selected into a memory DC.
class PixelCanvas {
 public:
  PixelCanvas(int width, int height, COLORREF fill = RGB(255, 255, 255)) : width_(width), height_(height) {
    kit::WindowDc screen(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_.reset(CreateCompatibleDC(screen.get()));
    bitmap_.reset(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0));
    old_ = SelectObject(dc_.get(), bitmap_.get());
    Fill(RECT{0, 0, width, height}, fill);
  }
  ~PixelCanvas() { SelectObject(dc_.get(), old_); }
  PixelCanvas(const PixelCanvas&) = delete;
  PixelCanvas& operator=(const PixelCanvas&) = delete;

  HDC dc() const { return dc_.get(); }
  HBITMAP bitmap() const { return bitmap_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }
  void Fill(const RECT& r, COLORREF color) {
    kit::UniqueBrush brush(CreateSolidBrush(color));
    FillRect(dc_.get(), &r, brush.get());
  }
  COLORREF At(int x, int y) const {
    GdiFlush();
    DWORD p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // Pixels of a rectangle that equal the colour within the tolerance per channel.
  int Count(const RECT& r, COLORREF color, int tolerance = 0) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += Near(At(x, y), color, tolerance) ? 1 : 0;
    return n;
  }
  bool Save(const std::wstring& name) const { return kit::SaveBitmapPng(bitmap_.get(), ScreenshotPath(name)); }

  static bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
  }

 private:
  int width_, height_;
  kit::UniqueMemoryDc dc_;
  kit::UniqueBitmap bitmap_;
  DWORD* bits_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace testui
