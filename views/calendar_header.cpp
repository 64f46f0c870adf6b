#include "views/calendar_header.h"

#include "i18n/translate.h"
#include "ui/kit/draw.h"
#include "views/calendar_text.h"

namespace calendar {
namespace {

namespace color = kit::color;

// Sizes at 96 DPI.
constexpr int kButtonRadius = 6;
constexpr int kLineWidth = 1;
constexpr int kChevronSize = 10;
constexpr int kChevronStroke = 2;
constexpr int kTrackPadding = 3;    // the view switch's track around its buttons
constexpr int kTrackRadius = 8;

const wchar_t* ViewLabel(int mode) {
  switch (mode) {
    case kDayView: return i18n::Translate(L"일간");
    case kWeekView: return i18n::Translate(L"주간");
    case kMonthView: return i18n::Translate(L"월간");
    default: return i18n::Translate(L"년간");
  }
}

void PaintNavigationButton(const PaintContext& ctx, const CalendarView& view, int index) {
  const RECT& rect = view.buttonRects[index];
  COLORREF fill = view.pressedButton == index ? color::kPressedFill
                  : view.hoverButton == index ? color::kHoverFill
                                              : color::kWhite;
  float radius = static_cast<float>(ctx.S(kButtonRadius));
  kit::FillRoundRect(ctx.dc, rect, radius, fill);
  kit::DrawRoundRect(ctx.dc, rect, radius, color::kControlBorder, static_cast<float>(ctx.S(kLineWidth)));
  float cx = (rect.left + rect.right) / 2.0f, cy = (rect.top + rect.bottom) / 2.0f;
  if (index == kButtonToday) {
    PaintTextLine(ctx.dc, ctx.fonts->body, i18n::Translate(L"오늘"), rect, color::kText, DT_CENTER);
  } else {
    kit::DrawChevron(ctx.dc, cx, cy, static_cast<float>(ctx.S(kChevronSize)),
                     index == kButtonPrevious ? kit::kChevronLeft : kit::kChevronRight, color::kText,
                     static_cast<float>(ctx.S(kChevronStroke)));
  }
}

void PaintViewSwitch(const PaintContext& ctx, const CalendarView& view) {
  const RECT& first = view.buttonRects[kButtonDay];
  const RECT& last = view.buttonRects[kButtonYear];
  const int padding = ctx.S(kTrackPadding);
  RECT track{first.left - padding, first.top - padding, last.right + padding, last.bottom + padding};
  kit::FillRoundRect(ctx.dc, track, static_cast<float>(ctx.S(kTrackRadius)), color::kPanel);
  for (int mode = kDayView; mode <= kYearView; ++mode) {
    int index = kButtonDay + mode;
    const RECT& rect = view.buttonRects[index];
    bool current = view.viewMode == mode;
    if (current) {
      kit::FillRoundRect(ctx.dc, rect, static_cast<float>(ctx.S(kButtonRadius)), color::kWhite);
      kit::DrawRoundRect(ctx.dc, rect, static_cast<float>(ctx.S(kButtonRadius)), color::kLine,
                         static_cast<float>(ctx.S(kLineWidth)));
    } else if (view.hoverButton == index) {
      kit::FillRoundRect(ctx.dc, rect, static_cast<float>(ctx.S(kButtonRadius)), color::kHoverFill);
    }
    PaintTextLine(ctx.dc, current ? ctx.fonts->semibold : ctx.fonts->body, ViewLabel(mode), rect,
                  current ? color::kAccentPressed : color::kMutedText, DT_CENTER);
  }
}

void PaintGoButton(const PaintContext& ctx, const CalendarView& view) {
  const RECT& rect = view.buttonRects[kButtonGo];
  COLORREF fill = view.pressedButton == kButtonGo ? color::kAccentPressed
                  : view.hoverButton == kButtonGo ? color::kAccentHot
                                                  : color::kAccent;
  kit::FillRoundRect(ctx.dc, rect, static_cast<float>(ctx.S(kButtonRadius)), fill);
  PaintTextLine(ctx.dc, ctx.fonts->semibold, i18n::Translate(L"조회"), rect, color::kWhite, DT_CENTER);
}

}  // namespace

HeaderTextWidths MeasureHeaderTexts(HDC dc, const kit::FontSet& fonts) {
  HeaderTextWidths widths;
  widths.today = kit::TextWidth(dc, fonts.body, i18n::Translate(L"오늘"));
  widths.go = kit::TextWidth(dc, fonts.semibold, i18n::Translate(L"조회"));
  widths.dateLabel = kit::TextWidth(dc, fonts.small, i18n::Translate(L"날짜 조회"));
  for (int mode = kDayView; mode <= kYearView; ++mode) {
    widths.views[mode] = kit::TextWidth(dc, fonts.semibold, ViewLabel(mode));
  }
  return widths;
}

void PaintHeader(const PaintContext& ctx, const CalendarView& view, int width) {
  kit::FillSolidRect(ctx.dc, RECT{0, 0, width, view.headerHeight}, color::kWhite);
  kit::FillSolidRect(ctx.dc, RECT{0, view.headerHeight - ctx.S(kLineWidth), width, view.headerHeight}, color::kLine);

  for (int index : {kButtonPrevious, kButtonToday, kButtonNext}) PaintNavigationButton(ctx, view, index);
  PaintTextLine(ctx.dc, ctx.fonts->title, PeriodTitle(view.viewMode, view.anchorDate), view.titleRect,
                color::kText);
  PaintViewSwitch(ctx, view);
  PaintTextLine(ctx.dc, ctx.fonts->small, i18n::Translate(L"날짜 조회"), view.dateLabelRect, color::kMutedText,
                DT_RIGHT);
  PaintGoButton(ctx, view);
}

}  // namespace calendar
