// The calendar's date steps and geometry, checked without a window.
#include <gtest/gtest.h>

#include <iterator>

#include "views/calendar_layout.h"

namespace {

using namespace calendar;

bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

TEST(CalendarPeriods, MonthAndYearStepsKeepTheDayWithinTheTargetMonth) {
  EXPECT_EQ(StepPeriod(kMonthView, Date{2025, 1, 31}, Date{2025, 1, 31}, +1), (Date{2025, 2, 28}));
  EXPECT_EQ(StepPeriod(kMonthView, Date{2024, 1, 31}, Date{2024, 1, 31}, +1), (Date{2024, 2, 29}));
  EXPECT_EQ(StepPeriod(kMonthView, Date{2024, 3, 31}, Date{2024, 3, 31}, -1), (Date{2024, 2, 29}));
  EXPECT_EQ(StepPeriod(kMonthView, Date{2024, 12, 15}, Date{2024, 12, 15}, +1), (Date{2025, 1, 15}));
  EXPECT_EQ(StepPeriod(kMonthView, Date{2025, 1, 15}, Date{2025, 1, 15}, -1), (Date{2024, 12, 15}));
  EXPECT_EQ(StepPeriod(kYearView, Date{2024, 2, 29}, Date{2024, 2, 29}, +1), (Date{2025, 2, 28}));
  EXPECT_EQ(StepPeriod(kYearView, Date{2024, 2, 29}, Date{2024, 2, 29}, -1), (Date{2023, 2, 28}));
}

TEST(CalendarPeriods, DayStepsFromTheAnchorAndWeekStepsFromTheSelection) {
  Date anchor{2024, 2, 28}, selected{2024, 3, 5};
  EXPECT_EQ(StepPeriod(kDayView, anchor, selected, +1), (Date{2024, 2, 29}));
  EXPECT_EQ(StepPeriod(kDayView, Date{2024, 1, 1}, selected, -1), (Date{2023, 12, 31}));
  EXPECT_EQ(StepPeriod(kWeekView, anchor, selected, +1), (Date{2024, 3, 12}));
  EXPECT_EQ(StepPeriod(kWeekView, anchor, selected, -1), (Date{2024, 2, 27}));
  EXPECT_FALSE(dates::IsValid(StepPeriod(kYearView, Date{9999, 6, 1}, Date{9999, 6, 1}, +1)))
      << "stepping past the last year gives a date that navigation ignores";
}

TEST(CalendarPeriods, MonthGridRowsRunFromSundayToSaturday) {
  MonthGrid february = MonthGridFor(Date{2026, 2, 17});
  EXPECT_EQ(february.first, (Date{2026, 2, 1})) << "1 February 2026 is a Sunday";
  EXPECT_EQ(february.rows, 4);
  MonthGrid march = MonthGridFor(Date{2025, 3, 9});  // 31 days from a Saturday
  EXPECT_EQ(march.first, (Date{2025, 2, 23}));
  EXPECT_EQ(march.rows, 6);
  EXPECT_EQ(MonthGridFor(Date{2024, 7, 1}).rows, 5);
  EXPECT_EQ(MonthGridFor(Date{2024, 6, 30}).rows, 6) << "30 days from a Saturday need six weeks too";
  EXPECT_EQ(MonthGridFor(Date{2023, 9, 30}).rows, 5) << "30 days from a Friday end on a Saturday";
}

TEST(CalendarPeriods, DateInPeriodFollowsTheViewMode) {
  Date anchor{2026, 3, 18};  // a Wednesday
  EXPECT_TRUE(DateInPeriod(kDayView, anchor, anchor));
  EXPECT_FALSE(DateInPeriod(kDayView, anchor, Date{2026, 3, 19}));
  EXPECT_TRUE(DateInPeriod(kWeekView, anchor, Date{2026, 3, 15}));
  EXPECT_TRUE(DateInPeriod(kWeekView, anchor, Date{2026, 3, 21}));
  EXPECT_FALSE(DateInPeriod(kWeekView, anchor, Date{2026, 3, 22})) << "weeks start on Sunday";
  EXPECT_TRUE(DateInPeriod(kMonthView, anchor, Date{2026, 3, 1}));
  EXPECT_TRUE(DateInPeriod(kMonthView, anchor, Date{2026, 4, 4})) << "the grid's trailing days count";
  EXPECT_FALSE(DateInPeriod(kMonthView, anchor, Date{2026, 4, 5}));
  EXPECT_FALSE(DateInPeriod(kMonthView, anchor, Date{2026, 2, 28}));
  EXPECT_TRUE(DateInPeriod(kYearView, anchor, Date{2026, 12, 31}));
  EXPECT_FALSE(DateInPeriod(kYearView, anchor, Date{2027, 1, 1}));
  EXPECT_FALSE(DateInPeriod(kMonthView, anchor, Date{2026, 2, 30})) << "an impossible date is never in view";
}

// Text widths that make every button its minimum width: today 56, go 56, label 64
// (50 + 14), views 50 each. The one-row header then needs 200 + 166 + 64 + 56 + 222 + 64 + 56.
HeaderTextWidths SmallTexts() {
  HeaderTextWidths w;
  w.today = 20;
  w.go = 20;
  w.dateLabel = 50;
  for (int& v : w.views) v = 20;
  return w;
}

TEST(CalendarHeader, TwoRowsExactlyWhenTheWidthTestFails) {
  HeaderLayout wide = LayoutHeader(828, SmallTexts(), 96);
  EXPECT_FALSE(wide.narrow);
  EXPECT_EQ(wide.height, 60);
  HeaderLayout narrow = LayoutHeader(827, SmallTexts(), 96);
  EXPECT_TRUE(narrow.narrow);
  EXPECT_EQ(narrow.height, 100);
  EXPECT_EQ(narrow.title.right, 827 - 16) << "a two-row title runs to 16 px before the edge";
  EXPECT_EQ(narrow.buttons[kButtonGo].top, 55);
  EXPECT_EQ(wide.buttons[kButtonGo].top, 14);

  // A long measured text widens its button and so the width the single row needs.
  HeaderTextWidths longToday = SmallTexts();
  longToday.today = 60;  // 74 px instead of the 56 px minimum
  EXPECT_TRUE(LayoutHeader(828, longToday, 96).narrow);
  EXPECT_FALSE(LayoutHeader(828 + 18, longToday, 96).narrow);
}

TEST(CalendarHeader, ButtonsNeverOverlapAndTheTitleFillsTheGap) {
  for (int width : {828, 1000, 1600}) {
    HeaderLayout l = LayoutHeader(width, SmallTexts(), 96);
    const RECT order[] = {l.buttons[kButtonPrevious], l.buttons[kButtonToday], l.buttons[kButtonNext], l.title,
                          l.buttons[kButtonDay], l.buttons[kButtonWeek], l.buttons[kButtonMonth],
                          l.buttons[kButtonYear], l.dateLabel, l.picker, l.buttons[kButtonGo]};
    for (size_t i = 1; i < std::size(order); ++i) {
      EXPECT_LE(order[i - 1].right, order[i].left) << "width " << width << ", item " << i;
    }
    EXPECT_EQ(l.buttons[kButtonGo].right, width - 16);
    EXPECT_EQ(l.buttons[kButtonDay].left - l.title.right, 16) << "the title grows with the window";
  }
  // Too narrow even for the title: it collapses onto its left edge instead of inverting.
  HeaderLayout tiny = LayoutHeader(100, SmallTexts(), 96);
  EXPECT_EQ(tiny.title.right, tiny.title.left);
}

TEST(CalendarHeader, ScalesWithDpi) {
  HeaderTextWidths texts = SmallTexts();
  for (int& v : texts.views) v = 30;  // text widths are measured in device pixels already
  HeaderLayout l = LayoutHeader(3000, texts, 144);
  EXPECT_EQ(l.height, 90);
  EXPECT_EQ(l.buttons[kButtonPrevious].left, 24);
  EXPECT_EQ(l.buttons[kButtonPrevious].right - l.buttons[kButtonPrevious].left, 48);
  EXPECT_EQ(l.buttons[kButtonDay].right - l.buttons[kButtonDay].left, 75) << "the 50 px minimum, scaled";
  EXPECT_EQ(LayoutHeader(600, texts, 144).height, 150);
}

TEST(CalendarMonthCells, SlotCountsAndWhatTheyHold) {
  // A cell from 0 to 104 has 3 slots (first item at 34); one pixel less has 2.
  EXPECT_EQ(MonthSlotCount(34, 104, 96), 3);
  EXPECT_EQ(MonthSlotCount(34, 103, 96), 2);
  EXPECT_EQ(MonthSlotCount(34, 58, 96), 1);
  EXPECT_EQ(MonthSlotCount(34, 57, 96), 0);
  EXPECT_LE(MonthSlotCount(34, 20, 96), 0) << "a cell shorter than its label";
  // At 144 DPI each 96-DPI length is scaled on its own (3 px -> 5, 20 -> 30, 4 -> 6).
  EXPECT_EQ(MonthSlotCount(51, 157, 144), 3);
  EXPECT_EQ(MonthSlotCount(51, 156, 144), 2);

  SlotPlan five = PlanSlots(3, 5);
  EXPECT_EQ(five.bars, 2);
  EXPECT_EQ(five.moreCount, 3);
  EXPECT_FALSE(five.dot);
  SlotPlan three = PlanSlots(3, 3);
  EXPECT_EQ(three.bars, 3);
  EXPECT_EQ(three.moreCount, 0);
  SlotPlan single = PlanSlots(3, 1);
  EXPECT_EQ(single.bars, 1);
  EXPECT_EQ(single.moreCount, 0);
  SlotPlan one = PlanSlots(1, 2);
  EXPECT_EQ(one.bars, 0);
  EXPECT_EQ(one.moreCount, 2) << "one slot: only the more-link, counting both";
  SlotPlan tiny = PlanSlots(0, 1);
  EXPECT_TRUE(tiny.dot);
  EXPECT_EQ(tiny.bars, 0);
  EXPECT_EQ(tiny.moreCount, 0);
  SlotPlan empty = PlanSlots(0, 0);
  EXPECT_FALSE(empty.dot) << "no projects, no dot";
}

TEST(CalendarMonthCells, RowsAndColumnsTileTheAreaWithoutGaps) {
  for (int width : {700, 701, 706}) {
    EXPECT_EQ(ColumnEdge(10, width, 0), 10);
    EXPECT_EQ(ColumnEdge(10, width, 7), 10 + width);
  }
  EXPECT_EQ(RowEdge(32, 500, 6, 6), 532);
  EXPECT_EQ(RowEdge(32, 500, 0, 3), 32) << "no rows does not divide by zero";
}

TEST(CalendarWeekFit, StopsWhenTheNextCardLeavesNoRoomForTheMoreLink) {
  int measured = 0;
  auto height50 = [&](int) {
    ++measured;
    return 50;
  };
  // Body bottom 200: cards at 8, 64, 120; the fourth (176 + 50) would pass 200 - 28.
  WeekFit fit = FitWeekItems(5, 8, 200, 96, height50);
  EXPECT_EQ(fit.itemTops, (std::vector<int>{8, 64, 120}));
  EXPECT_EQ(fit.moreTop, 176);
  EXPECT_EQ(fit.moreCount, 2);
  EXPECT_EQ(measured, 4) << "cards after the cut are not measured";

  // The last card needs no room for a more-link below it.
  WeekFit three = FitWeekItems(3, 8, 200, 96, height50);
  EXPECT_EQ(three.itemTops.size(), 3u);
  EXPECT_EQ(three.moreCount, 0);
  EXPECT_EQ(three.moreTop, -1);

  WeekFit none = FitWeekItems(2, 8, 40, 96, height50);
  EXPECT_TRUE(none.itemTops.empty());
  EXPECT_EQ(none.moreCount, 2);
  EXPECT_EQ(none.moreTop, 8);
}

TEST(CalendarYearTiles, ColumnsFollowTheAspectAndTilesStayApart) {
  EXPECT_EQ(YearColumns(1000, 1600), 2);
  EXPECT_EQ(YearColumns(999, 800), 3);
  EXPECT_EQ(YearColumns(1000, 800), 4);

  RECT area{0, 60, 1280, 800};
  RECT previous{};
  for (int month = 0; month < 12; ++month) {
    RECT tile = YearTileRect(area, month, 96);
    EXPECT_TRUE(Contains(area, tile)) << month;
    if (month % 4 != 0) {
      EXPECT_EQ(tile.left - previous.right, 12) << "a 12 px gap between neighbours";
    }
    previous = tile;
  }
  EXPECT_EQ(YearTileRect(area, 0, 96).left, 12);
  EXPECT_EQ(YearTileRect(area, 3, 96).right, 1280 - 12);
  EXPECT_EQ(YearTileRect(area, 11, 96).bottom, 800 - 12);

  RECT tile = YearTileRect(area, 5, 96);
  RECT first = YearDayCellRect(tile, 0, 96), last = YearDayCellRect(tile, 41, 96);
  EXPECT_EQ(first.left, tile.left + 8);
  EXPECT_EQ(first.top, tile.top + 34 + 18 + 2);
  EXPECT_EQ(last.right, tile.right - 8);
  EXPECT_EQ(last.bottom, tile.bottom - 8);
  EXPECT_EQ(YearDayCellRect(tile, 1, 96).left, first.right);
  EXPECT_EQ(YearDayRadius(RECT{0, 0, 40, 20}, 96), 9);
  EXPECT_EQ(YearDayRadius(RECT{0, 0, 6, 6}, 96), 5) << "never below 5 px";
}

TEST(CalendarDayScroll, ClampAndThumb) {
  EXPECT_EQ(ClampScroll(-30, 1000, 400), 0);
  EXPECT_EQ(ClampScroll(900, 1000, 400), 600);
  EXPECT_EQ(ClampScroll(50, 300, 400), 0) << "content that fits does not scroll";

  RECT top = ScrollThumbRect(800, 100, 400, 1000, 0, 96);
  EXPECT_EQ(top.left, 792);
  EXPECT_EQ(top.right, 796);
  EXPECT_EQ(top.top, 104);
  EXPECT_EQ(top.bottom - top.top, 400 * 392 / 1000);
  RECT bottom = ScrollThumbRect(800, 100, 400, 1000, 600, 96);
  EXPECT_EQ(bottom.bottom, 100 + 400 - 4) << "at the end the thumb reaches the track's end";
  RECT tall = ScrollThumbRect(800, 100, 100, 100000, 0, 96);
  EXPECT_EQ(tall.bottom - tall.top, 30) << "never thinner than 30 px";
  RECT fits = ScrollThumbRect(800, 100, 400, 400, 0, 96);
  EXPECT_TRUE(IsRectEmpty(&fits)) << "no thumb when everything is visible";
}

TEST(CalendarInput, WheelNotchesAccumulate) {
  WheelResult r = AccumulateWheel(0, 40);
  EXPECT_EQ(r.periodSteps, 0);
  r = AccumulateWheel(r.remainder, 40);
  EXPECT_EQ(r.periodSteps, 0);
  r = AccumulateWheel(r.remainder, 40);
  EXPECT_EQ(r.periodSteps, -1) << "the third notch of 40 steps back one period";
  EXPECT_EQ(r.remainder, 0);
  EXPECT_EQ(AccumulateWheel(0, -120).periodSteps, 1);
  EXPECT_EQ(AccumulateWheel(0, 119).periodSteps, 0);
  WheelResult fast = AccumulateWheel(10, 250);
  EXPECT_EQ(fast.periodSteps, -2);
  EXPECT_EQ(fast.remainder, 20);
  EXPECT_EQ(AccumulateWheel(100, -40).remainder, 60) << "a reversed notch cancels part of the remainder";
}

TEST(CalendarInput, HitTestingPrefersTheLastRegionAndButtonsInOrder) {
  std::vector<HitRegion> regions(2);
  regions[0].rect = RECT{0, 0, 100, 100};
  regions[1].rect = RECT{10, 10, 90, 30};
  regions[1].kind = kHitProject;
  EXPECT_EQ(HitTestRegions(regions, POINT{20, 20}), 1);
  EXPECT_EQ(HitTestRegions(regions, POINT{20, 50}), 0);
  EXPECT_EQ(HitTestRegions(regions, POINT{100, 50}), -1) << "right edges are exclusive";
  EXPECT_EQ(HitTestRegions({}, POINT{0, 0}), -1);

  RECT buttons[kHeaderButtonCount] = {};
  buttons[kButtonNext] = RECT{0, 0, 10, 10};
  buttons[kButtonGo] = RECT{0, 0, 10, 10};
  EXPECT_EQ(HitTestButtons(buttons, POINT{5, 5}), kButtonNext);
  EXPECT_EQ(HitTestButtons(buttons, POINT{50, 5}), -1);
}

}  // namespace
