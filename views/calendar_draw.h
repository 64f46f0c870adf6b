// What every calendar painter draws with: the paint context and small GDI text helpers.
#pragma once

#include <windows.h>

#include <string_view>

#include "model/project.h"
#include "ui/kit/colors.h"
#include "ui/kit/fonts.h"
#include "ui/kit/scale.h"

namespace calendar {

class CircleCache;

struct PaintContext {
  HDC dc = nullptr;
  const kit::FontSet* fonts = nullptr;
  int dpi = 96;
  Date today;
  bool focused = false;
  CircleCache* circles = nullptr;  // optional; circles go through GDI+ one by one without it
  // Text-metric heights asked for during this paint, by font.
  mutable HFONT measuredFonts[8] = {};
  mutable int measuredHeights[8] = {};

  int S(int n) const { return kit::Scale(n, dpi); }
};

// Saves the DC's state (selected font, clip) and puts it back at the end of the scope.
class DcStateScope {
 public:
  explicit DcStateScope(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~DcStateScope() {
    if (saved_ != 0) RestoreDC(dc_, saved_);
  }
  DcStateScope(const DcStateScope&) = delete;
  DcStateScope& operator=(const DcStateScope&) = delete;

 private:
  HDC dc_;
  int saved_;
};

// Selecting a font costs more than drawing a short text under Wine, so the paint leaves
// the last font selected (the caller's DcStateScope puts the original back) and
// selects only on a change.
void UseFont(HDC dc, HFONT font);
int LineHeightOf(const PaintContext& ctx, HFONT font);
int TextWidthOf(HDC dc, HFONT font, std::wstring_view text);

// GDI text (GDI+ text finds no fonts under Wine), transparent background.
void PaintText(HDC dc, HFONT font, std::wstring_view text, RECT rect, COLORREF color, UINT format);
void PaintTextLine(HDC dc, HFONT font, std::wstring_view text, const RECT& rect, COLORREF color,
                        UINT align = DT_LEFT);
// Word-wrapped height of a text at a width, as the cards draw it.
int WrappedTextHeight(HDC dc, HFONT font, std::wstring_view text, int width);

void FillCircle(const PaintContext& ctx, float cx, float cy, float r, COLORREF color);
void StrokeCircle(HDC dc, float cx, float cy, float r, COLORREF color, float penWidth);

COLORREF WeekDayTextColor(int weekDay, COLORREF otherDays);
COLORREF WeekDayHeadBackground(int weekDay);
COLORREF WeekDayCellBackground(int weekDay);

// The palette entry of a project, with the greyed main colour of completed projects.
kit::PaletteColor ProjectColors(const Project& project);

}  // namespace calendar
