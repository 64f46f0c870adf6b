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

// Compact cards have room for a short excerpt only.
constexpr int kCompactCardLines = 2;

// Sizes at 96 DPI.
constexpr int kHeadHeight = 62;
constexpr int kDayNameTop = 6;
constexpr int kDayNameBottom = 30;
constexpr int kDayNumberCenter = 40;     // from the head's top
constexpr int kDayNumberHalfWidth = 30;
constexpr int kDayNumberHalfHeight = 14;
constexpr int kTodayRadius = 15;
constexpr int kLineWidth = 1;
constexpr int kCardsLeft = 6;
constexpr int kCardsChrome = 13;         // the column's width minus a card's
constexpr int kCardsTop = 8;
constexpr int kMoreLeft = 4;
constexpr int kSelectionInset = 2;
constexpr int kSelectionInsetRight = 3;  // clear of the column's line
constexpr int kSelectionRadius = 8;
constexpr int kSelectionStroke = 2;

void PaintColumnHead(const PaintContext& ctx, const RECT& head, const Date& date, int weekDay) {
  kit::FillSolidRect(ctx.dc, head, WeekDayHeadBackground(weekDay));
  PaintTextLine(ctx.dc, ctx.fonts->small, ShortDayName(weekDay),
                RECT{head.left, head.top + ctx.S(kDayNameTop), head.right, head.top + ctx.S(kDayNameBottom)},
                WeekDayTextColor(weekDay, color::kMutedText), DT_CENTER);

  int cx = (head.left + head.right) / 2, cy = head.top + ctx.S(kDayNumberCenter);
  const int halfWidth = ctx.S(kDayNumberHalfWidth), halfHeight = ctx.S(kDayNumberHalfHeight);
  RECT box{cx - halfWidth, cy - halfHeight, cx + halfWidth, cy + halfHeight};
  if (date == ctx.today) {
    FillCircle(ctx, static_cast<float>(cx), static_cast<float>(cy), static_cast<float>(ctx.S(kTodayRadius)),
               color::kAccent);
    PaintTextLine(ctx.dc, ctx.fonts->bold, std::to_wstring(date.day), box, color::kWhite, DT_CENTER);
  } else {
    PaintTextLine(ctx.dc, ctx.fonts->bold, date.day == 1 ? MonthDayText(date) : std::to_wstring(date.day), box,
                  WeekDayTextColor(weekDay, color::kText), DT_CENTER);
  }
}

void PaintColumnItems(CalendarView& view, const PaintContext& ctx, const RECT& body, const Date& date,
                      int32_t day) {
  std::vector<const Project*> projects = DayProjects(view, day);
  if (projects.empty()) return;
  int x = body.left + ctx.S(kCardsLeft);
  int width = (body.right - body.left) - ctx.S(kCardsChrome);
  std::vector<CardContent> contents(projects.size());
  WeekFit fit = FitWeekItems(static_cast<int>(projects.size()), body.top + ctx.S(kCardsTop), body.bottom, ctx.dpi,
                             [&](int i) {
                               contents[static_cast<size_t>(i)] =
                                   MeasureProjectCard(ctx, width, *projects[static_cast<size_t>(i)], date, false,
                                                      kCompactCardLines);
                               return contents[static_cast<size_t>(i)].height;
                             });
  for (size_t i = 0; i < fit.itemTops.size(); ++i) {
    const Project& project = *projects[i];
    RECT card{x, fit.itemTops[i], x + width, fit.itemTops[i] + contents[i].height};
    PaintProjectCard(ctx, card, project, false, contents[i], IsHovered(view, project.id, day),
                     project.id == view.selectedProjectId);
    AddRegion(view, card, date, project.id, kHitProject);
  }
  if (fit.moreCount > 0) {
    RECT more{x + ctx.S(kMoreLeft), fit.moreTop, x + width, fit.moreTop + ctx.S(kMoreRowHeight)};
    PaintMoreLink(view, ctx, more, date, fit.moreCount);
  }
}

}  // namespace

void PaintWeekView(CalendarView& view, const PaintContext& ctx, const RECT& area) {
  int width = area.right - area.left;
  Date start = WeekStart(view.anchorDate);
  SelectionSpan selection = SelectedSpan(view);

  for (int c = 0; c < 7; ++c) {
    Date date = dates::AddDays(start, c);
    int32_t day = dates::DayNumber(date);
    RECT column{ColumnEdge(area.left, width, c), area.top, ColumnEdge(area.left, width, c + 1), area.bottom};
    RECT head{column.left, column.top, column.right, column.top + ctx.S(kHeadHeight)};
    RECT body{column.left, head.bottom, column.right, column.bottom};
    if (!IsSupportedDay(day)) {
      kit::FillSolidRect(ctx.dc, column, color::kWindow);
      continue;
    }

    PaintColumnHead(ctx, head, date, c);
    COLORREF background = WeekDayCellBackground(c);
    if (selection.Contains(day)) background = kit::BlendColor(background, selection.light, 190);
    kit::FillSolidRect(ctx.dc, body, background);
    const int line = ctx.S(kLineWidth);
    kit::FillSolidRect(ctx.dc, RECT{column.right - line, column.top, column.right, column.bottom}, color::kLine);
    kit::FillSolidRect(ctx.dc, RECT{head.left, head.bottom - line, head.right, head.bottom}, color::kLine);
    AddRegion(view, head, date, 0, kHitDay);
    AddRegion(view, body, date, 0, kHitDay);

    if (date == view.selectedDate) {
      const int inset = ctx.S(kSelectionInset);
      RECT outline{column.left + inset, column.top + inset, column.right - ctx.S(kSelectionInsetRight),
                   column.bottom - inset};
      kit::DrawRoundRect(ctx.dc, outline, static_cast<float>(ctx.S(kSelectionRadius)),
                         ctx.focused ? color::kAccent : color::kAccentLight,
                         static_cast<float>(ctx.S(kSelectionStroke)));
    }
    PaintColumnItems(view, ctx, body, date, day);
  }
}

}  // namespace calendar
