#include "views/calendar_draw.h"

#include "ui/kit/draw.h"
#include "ui/kit/gdiplus_include.h"
#include "views/calendar_circles.h"

namespace calendar {

void UseFont(HDC dc, HFONT font) {
  if (font != nullptr && GetCurrentObject(dc, OBJ_FONT) != font) SelectObject(dc, font);
}

int LineHeightOf(const PaintContext& ctx, HFONT font) {
  constexpr int kSlots = sizeof(ctx.measuredFonts) / sizeof(ctx.measuredFonts[0]);
  int slot = 0;
  for (; slot < kSlots && ctx.measuredFonts[slot] != nullptr; ++slot) {
    if (ctx.measuredFonts[slot] == font) return ctx.measuredHeights[slot];
  }
  UseFont(ctx.dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(ctx.dc, &metrics);
  if (slot < kSlots) {
    ctx.measuredFonts[slot] = font;
    ctx.measuredHeights[slot] = metrics.tmHeight;
  }
  return metrics.tmHeight;
}

int TextWidthOf(HDC dc, HFONT font, std::wstring_view text) {
  if (text.empty()) return 0;
  UseFont(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

void PaintText(HDC dc, HFONT font, std::wstring_view text, RECT rect, COLORREF color, UINT format) {
  if (text.empty() || rect.right <= rect.left) return;
  UseFont(dc, font);
  SetTextColor(dc, color);
  SetBkMode(dc, TRANSPARENT);
  ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rect, format | DT_NOPREFIX);
}

void PaintTextLine(HDC dc, HFONT font, std::wstring_view text, const RECT& rect, COLORREF color, UINT align) {
  PaintText(dc, font, text, rect, color, align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

int WrappedTextHeight(HDC dc, HFONT font, std::wstring_view text, int width) {
  if (text.empty()) return 0;
  UseFont(dc, font);
  RECT rect{0, 0, width, 0};
  return ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rect,
                     DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
}

void FillCircle(const PaintContext& ctx, float cx, float cy, float r, COLORREF color) {
  if (ctx.circles != nullptr) {
    ctx.circles->Fill(ctx.dc, cx, cy, r, color);
  } else {
    kit::FillCircle(ctx.dc, cx, cy, r, color);
  }
}

void StrokeCircle(HDC dc, float cx, float cy, float r, COLORREF color, float penWidth) {
  Gdiplus::Graphics g(dc);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  Gdiplus::Pen pen(Gdiplus::Color(255, GetRValue(color), GetGValue(color), GetBValue(color)), penWidth);
  g.DrawEllipse(&pen, cx - r, cy - r, 2 * r, 2 * r);
}

COLORREF WeekDayTextColor(int weekDay, COLORREF otherDays) {
  if (weekDay == 0) return kit::color::kSunday;
  if (weekDay == 6) return kit::color::kSaturday;
  return otherDays;
}

COLORREF WeekDayHeadBackground(int weekDay) {
  if (weekDay == 0) return kit::Rgb(0xFDEFEF);
  if (weekDay == 6) return kit::Rgb(0xECF3FE);
  return kit::color::kWindow;
}

COLORREF WeekDayCellBackground(int weekDay) {
  if (weekDay == 0) return kit::Rgb(0xFFFAFA);
  if (weekDay == 6) return kit::Rgb(0xF8FBFF);
  return kit::color::kWhite;
}

kit::PaletteColor ProjectColors(const Project& project) {
  kit::PaletteColor colors = kit::ProjectColor(project.color);
  if (project.completed) colors.main = kit::BlendColor(colors.main, kit::color::kCompleted, 80);
  return colors;
}

}  // namespace calendar
