#include <string>

#include "ui/kit/draw.h"
#include "views/calendar_layout.h"
#include "views/calendar_painters.h"
#include "views/calendar_text.h"

namespace calendar {
namespace {

namespace color = kit::color;

struct YearPaint {
  CalendarView& view;
  const PaintContext& ctx;
  SelectionSpan selection;
  std::wstring dayNames[7];
};

// Sizes at 96 DPI.
constexpr int kTitleLeft = 12;
constexpr int kTitleTop = 6;
constexpr int kTitleBottom = 32;
constexpr int kTitleClickWidth = 72;   // from the tile's inset edge
constexpr int kTileRadius = 10;
constexpr int kLineWidth = 1;
constexpr int kSpanInsetY = 1;         // a selected project's period behind the days
constexpr int kSpanRadius = 3;
constexpr int kMarkRadius = 2;         // the dot of a day with projects
constexpr int kSelectionGap = 1;
constexpr int kSelectionStroke = 2;
constexpr COLORREF kSelectionUnfocused = kit::Rgb(0x99A3E1);

void PaintMonthTitle(YearPaint& paint, const RECT& tile, const Date& first) {
  const PaintContext& ctx = paint.ctx;
  const Date& selected = paint.view.selectedDate;
  bool marked = (ctx.today.year == first.year && ctx.today.month == first.month) ||
                (selected.year == first.year && selected.month == first.month);
  PaintTextLine(ctx.dc, ctx.fonts->semibold, dates::MonthName(first.month),
                RECT{tile.left + ctx.S(kTitleLeft), tile.top + ctx.S(kTitleTop), tile.right - ctx.S(kYearTileInset),
                     tile.top + ctx.S(kTitleBottom)},
                marked ? color::kAccentPressed : color::kText);
  AddRegion(paint.view,
            RECT{tile.left + ctx.S(kYearTileInset), tile.top + ctx.S(kTitleTop), tile.left + ctx.S(kTitleClickWidth),
                 tile.top + ctx.S(kTitleBottom)},
            first, 0, kHitMonthTitle);
}

void PaintTileWeekDays(YearPaint& paint, const RECT& tile) {
  const PaintContext& ctx = paint.ctx;
  int x0 = tile.left + ctx.S(kYearTileInset), width = (tile.right - tile.left) - ctx.S(2 * kYearTileInset);
  int top = tile.top + ctx.S(kYearTitleHeight);
  for (int i = 0; i < 7; ++i) {
    RECT cell{ColumnEdge(x0, width, i), top, ColumnEdge(x0, width, i + 1), top + ctx.S(kYearWeekDayHeight)};
    PaintTextLine(ctx.dc, ctx.fonts->small, paint.dayNames[i], cell, WeekDayTextColor(i, color::kHintText),
                  DT_CENTER);
  }
}

void PaintTileDay(YearPaint& paint, const RECT& cell, const Date& date) {
  const PaintContext& ctx = paint.ctx;
  int32_t day = dates::DayNumber(date);
  int weekDay = dates::WeekDay(date);
  float cx = (cell.left + cell.right) / 2.0f, cy = (cell.top + cell.bottom) / 2.0f;
  float r = static_cast<float>(YearDayRadius(cell, ctx.dpi));

  if (paint.selection.Contains(day)) {
    kit::FillRoundRect(ctx.dc, RECT{cell.left, cell.top + ctx.S(kSpanInsetY), cell.right, cell.bottom - ctx.S(kSpanInsetY)},
                       static_cast<float>(ctx.S(kSpanRadius)), kit::BlendColor(paint.selection.light, color::kWhite, 35));
  }
  bool today = date == ctx.today;
  if (today) {
    FillCircle(ctx, cx, cy, r, color::kAccent);
  } else if (std::vector<int> list = DayPositions(paint.view, day); !list.empty()) {
    if (const Project* first = ProjectAt(paint.view, list.front())) {
      kit::PaletteColor colors = ProjectColors(*first);
      FillCircle(ctx, cx, cy, r, colors.light);
      FillCircle(ctx, cx, cy + r - ctx.S(kMarkRadius), static_cast<float>(ctx.S(kMarkRadius)), colors.main);
    }
  }
  PaintTextLine(ctx.dc, ctx.fonts->small, std::to_wstring(date.day), cell,
                today ? color::kWhite : WeekDayTextColor(weekDay, color::kText), DT_CENTER);
  if (date == paint.view.selectedDate) {
    StrokeCircle(ctx.dc, cx, cy, r + ctx.S(kSelectionGap), ctx.focused ? color::kAccentPressed : kSelectionUnfocused,
                 0.75f * ctx.S(kSelectionStroke));
  }
  AddRegion(paint.view, cell, date, 0, kHitDay);
}

void PaintMonthTile(YearPaint& paint, const RECT& tile, int month) {
  const PaintContext& ctx = paint.ctx;
  kit::FillRoundRect(ctx.dc, tile, static_cast<float>(ctx.S(kTileRadius)), color::kWhite);
  kit::DrawRoundRect(ctx.dc, tile, static_cast<float>(ctx.S(kTileRadius)), color::kLine,
                     static_cast<float>(ctx.S(kLineWidth)));
  Date first{paint.view.anchorDate.year, month, 1};
  PaintMonthTitle(paint, tile, first);
  PaintTileWeekDays(paint, tile);
  int offset = dates::WeekDay(first);
  int days = dates::DaysInMonth(first.year, month);
  for (int d = 1; d <= days; ++d) {
    PaintTileDay(paint, YearDayCellRect(tile, offset + d - 1, ctx.dpi), Date{first.year, month, d});
  }
}

}  // namespace

void PaintYearView(CalendarView& view, const PaintContext& ctx, const RECT& area) {
  kit::FillSolidRect(ctx.dc, area, color::kWindow);
  YearPaint paint{view, ctx, SelectedSpan(view), {}};
  for (int i = 0; i < 7; ++i) paint.dayNames[i] = ShortDayName(i);
  for (int month = 0; month < 12; ++month) {
    PaintMonthTile(paint, YearTileRect(area, month, ctx.dpi), month + 1);
  }
}

}  // namespace calendar
