#include <string>

#include "i18n/translate.h"
#include "ui/kit/draw.h"
#include "views/calendar_items.h"
#include "views/calendar_layout.h"
#include "views/calendar_painters.h"
#include "views/calendar_text.h"

namespace calendar {
namespace {

namespace color = kit::color;

// Sizes at 96 DPI.
constexpr int kWeekDayRowHeight = 32;
constexpr int kLineWidth = 1;
constexpr int kLabelLeft = 8;
constexpr int kLabelTop = 6;
constexpr int kLabelHeight = 22;
constexpr int kLabelTextInset = 2;
constexpr int kTodayRadius = 12;
constexpr int kTodayCenter = 11;       // from the label's corner
constexpr int kTodayWordGap = 16;      // circle centre to "today"
constexpr int kCellRightPadding = 4;
constexpr int kFirstItemTop = 34;      // below the day label
constexpr int kDotRight = 10;          // a day too small for bars gets a dot
constexpr int kDotTop = 16;
constexpr int kDotRadius = 4;
constexpr int kBarLeft = 4;
constexpr int kBarRight = 5;
constexpr int kMoreLeft = 8;
constexpr int kSelectionInset = 2;
constexpr int kSelectionRadius = 6;
constexpr int kSelectionStroke = 2;

void PaintWeekDayRow(const PaintContext& ctx, const RECT& row) {
  int width = row.right - row.left;
  for (int i = 0; i < 7; ++i) {
    RECT cell{ColumnEdge(row.left, width, i), row.top, ColumnEdge(row.left, width, i + 1), row.bottom};
    kit::FillSolidRect(ctx.dc, cell, WeekDayHeadBackground(i));
    PaintTextLine(ctx.dc, ctx.fonts->semibold, ShortDayName(i), cell, WeekDayTextColor(i, color::kMutedText),
                  DT_CENTER);
  }
  kit::FillSolidRect(ctx.dc, RECT{row.left, row.bottom - ctx.S(kLineWidth), row.right, row.bottom}, color::kLine);
}

void PaintDayLabel(const PaintContext& ctx, const RECT& cell, const Date& date, int weekDay, bool inMonth) {
  int x = cell.left + ctx.S(kLabelLeft), y = cell.top + ctx.S(kLabelTop);
  if (date == ctx.today) {
    int cx = x + ctx.S(kTodayCenter), cy = y + ctx.S(kTodayCenter), r = ctx.S(kTodayRadius);
    FillCircle(ctx, static_cast<float>(cx), static_cast<float>(cy), static_cast<float>(r), color::kAccent);
    PaintTextLine(ctx.dc, ctx.fonts->semibold, std::to_wstring(date.day), RECT{cx - r, cy - r, cx + r, cy + r},
                  color::kWhite, DT_CENTER);
    PaintTextLine(ctx.dc, ctx.fonts->small, i18n::Translate(L"오늘"),
                  RECT{cx + ctx.S(kTodayWordGap), cy - r, cell.right - ctx.S(kCellRightPadding), cy + r}, color::kAccent);
    return;
  }
  bool first = date.day == 1;
  COLORREF textColor = WeekDayTextColor(weekDay, color::kText);
  if (!inMonth) textColor = kit::BlendColor(textColor, color::kWhite, 150);
  PaintTextLine(ctx.dc, first ? ctx.fonts->semibold : ctx.fonts->body,
                first ? MonthDayText(date) : std::to_wstring(date.day),
                RECT{x + ctx.S(kLabelTextInset), y, cell.right - ctx.S(kCellRightPadding), y + ctx.S(kLabelHeight)},
                textColor);
}

void PaintDayItems(CalendarView& view, const PaintContext& ctx, const RECT& cell, const Date& date, int32_t day) {
  std::vector<const Project*> projects = DayProjects(view, day);
  if (projects.empty()) return;
  int firstTop = cell.top + ctx.S(kFirstItemTop);
  SlotPlan plan = PlanSlots(MonthSlotCount(firstTop, cell.bottom, ctx.dpi), static_cast<int>(projects.size()));
  if (plan.dot) {
    FillCircle(ctx, static_cast<float>(cell.right - ctx.S(kDotRight)), static_cast<float>(cell.top + ctx.S(kDotTop)),
               static_cast<float>(ctx.S(kDotRadius)), ProjectColors(*projects.front()).main);
    return;
  }
  int step = ctx.S(kMonthBarHeight) + ctx.S(kMonthBarGap);
  for (int k = 0; k < plan.bars; ++k) {
    const Project& project = *projects[static_cast<size_t>(k)];
    int top = firstTop + k * step;
    RECT bar{cell.left + ctx.S(kBarLeft), top, cell.right - ctx.S(kBarRight), top + ctx.S(kMonthBarHeight)};
    PaintProjectBar(ctx, bar, project, IsHovered(view, project.id, day), project.id == view.selectedProjectId);
    AddRegion(view, bar, date, project.id, kHitProject);
  }
  if (plan.moreCount > 0) {
    int top = firstTop + plan.bars * step;
    RECT more{cell.left + ctx.S(kMoreLeft), top, cell.right - ctx.S(kCellRightPadding), top + ctx.S(kMonthBarHeight)};
    PaintMoreLink(view, ctx, more, date, plan.moreCount);
  }
}

}  // namespace

void PaintMonthView(CalendarView& view, const PaintContext& ctx, const RECT& area) {
  int width = area.right - area.left;
  RECT headRow{area.left, area.top, area.right, area.top + ctx.S(kWeekDayRowHeight)};
  PaintWeekDayRow(ctx, headRow);

  MonthGrid grid = MonthGridFor(view.anchorDate);
  int gridTop = headRow.bottom, gridHeight = area.bottom - gridTop;
  int32_t firstDay = dates::DayNumber(grid.first);
  SelectionSpan selection = SelectedSpan(view);

  for (int r = 0; r < grid.rows; ++r) {
    for (int c = 0; c < 7; ++c) {
      int32_t day = firstDay + r * 7 + c;
      Date date = dates::FromDayNumber(day);
      RECT cell{ColumnEdge(area.left, width, c), RowEdge(gridTop, gridHeight, grid.rows, r),
                ColumnEdge(area.left, width, c + 1), RowEdge(gridTop, gridHeight, grid.rows, r + 1)};
      if (!IsSupportedDay(day)) {
        kit::FillSolidRect(ctx.dc, cell, color::kWindow);
        continue;
      }
      bool inMonth = date.month == view.anchorDate.month;
      COLORREF background = WeekDayCellBackground(c);
      if (!inMonth) background = kit::BlendColor(background, color::kWindow, 220);
      if (selection.Contains(day)) background = kit::BlendColor(background, selection.light, 190);
      kit::FillSolidRect(ctx.dc, cell, background);
      const int line = ctx.S(kLineWidth);
      kit::FillSolidRect(ctx.dc, RECT{cell.right - line, cell.top, cell.right, cell.bottom}, color::kLine);
      kit::FillSolidRect(ctx.dc, RECT{cell.left, cell.bottom - line, cell.right, cell.bottom}, color::kLine);
      AddRegion(view, cell, date, 0, kHitDay);

      if (date == view.selectedDate) {
        RECT outline = cell;
        InflateRect(&outline, -ctx.S(kSelectionInset), -ctx.S(kSelectionInset));
        kit::DrawRoundRect(ctx.dc, outline, static_cast<float>(ctx.S(kSelectionRadius)),
                           ctx.focused ? color::kAccent : color::kAccentLight,
                           static_cast<float>(ctx.S(kSelectionStroke)));
      }
      PaintDayLabel(ctx, cell, date, c, inMonth);
      PaintDayItems(view, ctx, cell, date, day);
    }
  }
}

}  // namespace calendar
