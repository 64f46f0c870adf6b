#include "ui/kit/date_picker.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <vector>

#include "ui/kit/colors.h"
#include "ui/kit/draw.h"
#include "ui/kit/gdi.h"
#include "ui/kit/scale.h"

namespace kit {
namespace {

// Sizes at 96 DPI: the check box of an optional date when the control does not say
// where it is, and the text's least distance from the left edge.
constexpr int kCheckBoxWidth = 18;
constexpr int kTextInset = 2;

constexpr UINT_PTR kFlatSubclassId = 0x51444650;  // "QDFP"
// Anti-aliased text edges stay within this distance of the background; real glyph pixels do not.
constexpr int kInkThreshold = 48;

COLORREF FromDib(DWORD pixel) { return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); }

bool IsInk(DWORD pixel, COLORREF background) {
  COLORREF c = FromDib(pixel);
  return std::abs(GetRValue(c) - GetRValue(background)) > kInkThreshold ||
         std::abs(GetGValue(c) - GetGValue(background)) > kInkThreshold ||
         std::abs(GetBValue(c) - GetBValue(background)) > kInkThreshold;
}

// Some implementations keep the month calendar around hidden, so "has one" is not "shows one".
bool DroppedDown(HWND picker) {
  auto calendar = reinterpret_cast<HWND>(SendMessageW(picker, DTM_GETMONTHCAL, 0, 0));
  return calendar != nullptr && IsWindowVisible(calendar);
}

bool FocusWithin(HWND picker) {
  HWND focus = GetFocus();
  return focus != nullptr && (focus == picker || IsChild(picker, focus));
}

// The part of the client area that shows the date: between the optional check box and
// the drop-down button (or the up-down control).
RECT TextArea(HWND picker, const RECT& client, int dpi) {
  RECT area = client;
  LONG style = GetWindowLongW(picker, GWL_STYLE);
  DATETIMEPICKERINFO info{};
  info.cbSize = sizeof(info);
  SendMessageW(picker, DTM_GETDATETIMEPICKERINFO, 0, reinterpret_cast<LPARAM>(&info));

  if (HWND spin = FindWindowExW(picker, nullptr, UPDOWN_CLASSW, nullptr); spin != nullptr && IsWindowVisible(spin)) {
    RECT r{};
    GetWindowRect(spin, &r);
    MapWindowPoints(nullptr, picker, reinterpret_cast<POINT*>(&r), 2);
    area.right = r.left;
  } else if (info.rcButton.right > info.rcButton.left) {
    area.right = info.rcButton.left;
  } else {
    area.right -= GetSystemMetrics(SM_CXVSCROLL);
  }
  if ((style & DTS_SHOWNONE) != 0) {
    // Some implementations make the check box a child button instead of reporting it.
    HWND box = FindWindowExW(picker, nullptr, L"Button", nullptr);
    if (info.rcCheck.right > info.rcCheck.left) {
      area.left = info.rcCheck.right;
    } else if (box != nullptr && IsWindowVisible(box)) {
      RECT r{};
      GetWindowRect(box, &r);
      MapWindowPoints(nullptr, picker, reinterpret_cast<POINT*>(&r), 2);
      area.left = r.right;
    } else {
      area.left += Scale(kCheckBoxWidth, dpi);
    }
  }
  area.right = std::max(area.right, area.left);
  return area;
}

bool OptionalDateUnchecked(HWND picker) {
  if ((GetWindowLongW(picker, GWL_STYLE) & DTS_SHOWNONE) == 0) return false;
  SYSTEMTIME time{};
  return SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) == GDT_NONE;
}

// Renders the control through its own painting into a DIB, then repaints the text area
// flat. False when the memory bitmap cannot be had; the control then paints itself.
bool PaintFlat(HWND picker) {
  RECT client{};
  GetClientRect(picker, &client);
  int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) return false;

  WindowDc screen(picker);
  if (!screen) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  UniqueBitmap dib(memory ? CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr);
  if (!dib || bits == nullptr) return false;

  PaintScope paint(picker);
  HDC dc = paint.dc();
  {
    SelectObjectScope selectBitmap(memory.get(), dib.get());
    FillSolidRect(memory.get(), client, GetSysColor(COLOR_WINDOW));
    SendMessageW(picker, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.get()), 0);
    SendMessageW(picker, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
    GdiFlush();

    int dpi = WindowDpi(picker);
    RECT area = TextArea(picker, client, dpi);
    const auto* pixels = static_cast<const DWORD*>(bits);
    std::vector<DWORD> strip;
    strip.reserve(static_cast<size_t>(area.right - area.left) * height);
    for (int y = area.top; y < area.bottom; ++y) {
      strip.insert(strip.end(), pixels + y * width + area.left, pixels + y * width + area.right);
    }
    COLORREF background = DominantColor(strip.data(), strip.size(), GetSysColor(COLOR_WINDOW));

    // Keep the text where the control itself puts it: the first column holding ink.
    int textLeft = area.right;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < std::min(textLeft, static_cast<int>(area.right)); ++x) {
        if (IsInk(pixels[y * width + x], background)) {
          textLeft = x;
          break;
        }
      }
    }
    if (textLeft >= area.right) textLeft = area.left + Scale(kTextInset, dpi);

    FillSolidRect(memory.get(), area, background);
    wchar_t text[128] = {};
    GetWindowTextW(picker, text, 128);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(picker, WM_GETFONT, 0, 0));
    if (font == nullptr) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SelectObjectScope selectFont(memory.get(), font);
    SetBkMode(memory.get(), TRANSPARENT);
    bool grey = !IsWindowEnabled(picker) || OptionalDateUnchecked(picker);
    SetTextColor(memory.get(), grey ? GetSysColor(COLOR_GRAYTEXT) : color::kText);
    RECT textRect{textLeft, area.top, area.right, area.bottom};
    DrawTextW(memory.get(), text, -1, &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);

    BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
  }
  return true;
}

LRESULT CALLBACK FlatDatePickerProc(HWND picker, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR) {
  try {
    switch (message) {
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
      case WM_ENABLE: {
        LRESULT result = DefSubclassProc(picker, message, wparam, lparam);
        InvalidateRect(picker, nullptr, TRUE);
        return result;
      }
      case WM_PAINT:
        if (wparam == 0 && !FocusWithin(picker) && !DroppedDown(picker) && PaintFlat(picker)) {
          return 0;
        }
        break;
      case WM_NCDESTROY:
        RemoveWindowSubclass(picker, FlatDatePickerProc, id);
        break;
      default:
        break;
    }
  } catch (...) {
    // Painting must not take the program down; the control paints itself instead.
  }
  return DefSubclassProc(picker, message, wparam, lparam);
}

}  // namespace

COLORREF DominantColor(const DWORD* pixels, size_t count, COLORREF fallback) {
  if (pixels == nullptr || count == 0) return fallback;
  std::unordered_map<DWORD, size_t> histogram;
  DWORD best = pixels[0] & 0xFFFFFF;
  size_t bestCount = 0;
  for (size_t i = 0; i < count; ++i) {
    DWORD key = pixels[i] & 0xFFFFFF;
    size_t n = ++histogram[key];
    if (n > bestCount) {
      bestCount = n;
      best = key;
    }
  }
  return FromDib(best);
}

void ApplyFlatDatePicker(HWND picker) {
  if (picker == nullptr) return;
  SetWindowSubclass(picker, FlatDatePickerProc, kFlatSubclassId, 0);
  InvalidateRect(picker, nullptr, TRUE);
}

}  // namespace kit
