// Anti-aliased shapes (GDI+) and text measuring (GDI) on a device context.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

#include "ui/kit/gdi.h"

namespace kit {

// The corner radius actually used for a rectangle: at most half the smaller side;
// a result of 0.5 or less means a plain rectangle (returned as 0).
float EffectiveRadius(const RECT& rect, float radius);
// The rectangle an outline of this pen width is stroked on; empty means nothing drawn.
RECT OutlineRect(const RECT& rect, float penWidth);

void FillRoundRect(HDC dc, const RECT& rect, float radius, COLORREF color);
void DrawRoundRect(HDC dc, const RECT& rect, float radius, COLORREF color, float penWidth);
void FillCircle(HDC dc, float cx, float cy, float r, COLORREF color);
enum ChevronDirection { kChevronRight = 0, kChevronDown = 1, kChevronLeft = 2, kChevronUp = 3 };
void DrawChevron(HDC dc, float cx, float cy, float size, int direction, COLORREF color, float penWidth);
void DrawCross(HDC dc, float cx, float cy, float size, COLORREF color, float penWidth);
void DrawCheck(HDC dc, float cx, float cy, float size, COLORREF color, float penWidth);
// A 1-px line in the line colour.
void DrawSeparator(HDC dc, int x1, int x2, int y);

void FillSolidRect(HDC dc, const RECT& rect, COLORREF color);
int LineHeight(HDC dc, HFONT font);
int TextWidth(HDC dc, HFONT font, std::wstring_view text);

// Paints a window through a memory bitmap so that nothing flickers. The constructor
// calls BeginPaint; draw on dc(); the destructor copies the result and ends painting.
class DoubleBufferedPaint {
 public:
  explicit DoubleBufferedPaint(HWND window);
  ~DoubleBufferedPaint();
  DoubleBufferedPaint(const DoubleBufferedPaint&) = delete;
  DoubleBufferedPaint& operator=(const DoubleBufferedPaint&) = delete;

  HDC dc() const { return bitmap_ ? memory_.get() : paint_.dc(); }
  const RECT& client() const { return client_; }
  const RECT& paintRect() const { return paint_.paintRect(); }

 private:
  // Destroyed in reverse: the bitmap leaves the memory DC before either goes, and the
  // paint ends last.
  PaintScope paint_;
  RECT client_{};
  UniqueMemoryDc memory_;
  UniqueBitmap bitmap_;
  std::optional<SelectObjectScope> selected_;
};

}  // namespace kit
