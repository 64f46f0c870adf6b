// The calendar's geometry and date arithmetic as plain functions over plain data, so
// that every number the painters and the mouse handling rely on is testable alone.
// All lengths in and out are device pixels; dpi scales the 96-DPI constants.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "model/date.h"

namespace calendar {

enum ViewMode : int { kDayView = 0, kWeekView = 1, kMonthView = 2, kYearView = 3 };

enum HeaderButton : int {
  kButtonPrevious = 0,
  kButtonToday = 1,
  kButtonNext = 2,
  kButtonDay = 3,
  kButtonWeek = 4,
  kButtonMonth = 5,
  kButtonYear = 6,
  kButtonGo = 7,
  kHeaderButtonCount = 8,
};

// Sizes at 96 DPI that the layout functions and the painters share.
constexpr int kHeaderHeight = 60;
constexpr int kNarrowHeaderHeight = 100;  // the header in two rows
constexpr int kMonthBarHeight = 20;       // a project bar in a month cell, also "+n more"
constexpr int kMonthBarGap = 3;
constexpr int kMoreRowHeight = 22;        // "+n more" under a week column's cards
constexpr int kWeekItemGap = 6;
constexpr int kYearTileInset = 8;         // a month tile's edges to its day grid
constexpr int kYearTitleHeight = 34;      // the month's name above the week-day row
constexpr int kYearWeekDayHeight = 18;
constexpr int kYearGridGap = 2;           // week-day row to the days

// ---- Dates and periods -------------------------------------------------------------

Date WeekStart(const Date& date);  // the Sunday on or before
// Whether a day number lies in the dates the program handles (1601-01-01 to
// 9999-12-31). The weeks and month grids at both ends reach past them; those places
// are left blank rather than drawn as days nothing can be done with.
bool IsSupportedDay(int32_t dayNumber);
// The week of a date as far as it lies in the supported dates.
struct DaySpan {
  Date first;
  Date last;
};
DaySpan SupportedWeek(const Date& date);
// The same day `months` months away, limited to the target month's length.
Date AddMonthsClamped(const Date& date, int months);
// Where Previous (direction -1) and Next (+1) lead in a view mode.
Date StepPeriod(int viewMode, const Date& anchor, const Date& selected, int direction);
// Whether a date belongs to the period shown for the anchor (the month view counts
// the neighbouring months' days of its grid).
bool DateInPeriod(int viewMode, const Date& anchor, const Date& date);

struct MonthGrid {
  Date first;    // the Sunday on or before the first of the month
  int rows = 0;  // 4 to 6 weeks, up to the Saturday on or after the month's last day
};
MonthGrid MonthGridFor(const Date& anyDayOfMonth);

// ---- Header ------------------------------------------------------------------------

// Text widths as measured, before padding and minimums.
struct HeaderTextWidths {
  int today = 0;      // "오늘", Body
  int go = 0;         // "조회", SemiBold
  int dateLabel = 0;  // "날짜 조회", Small
  int views[4] = {};  // day, week, month, year labels, SemiBold
};

struct HeaderLayout {
  bool narrow = false;
  int height = 0;
  RECT buttons[kHeaderButtonCount] = {};
  RECT title = {};
  RECT dateLabel = {};
  RECT picker = {};
};

HeaderLayout LayoutHeader(int width, const HeaderTextWidths& measured, int dpi);

// ---- Month view --------------------------------------------------------------------

// Edge i (0..7) of seven equal columns over [left, left + width).
int ColumnEdge(int left, int width, int i);
// Row r of `rows` equal rows over [top, top + height).
int RowEdge(int top, int height, int rows, int r);

// How many 20-px item slots fit between the first item's top and the cell's bottom.
int MonthSlotCount(int firstItemTop, int cellBottom, int dpi);

struct SlotPlan {
  int bars = 0;        // project bars to draw
  int moreCount = 0;   // the number in "+{0} more", 0 for no more-link
  bool dot = false;    // no room for anything: a coloured dot instead
};
SlotPlan PlanSlots(int slots, int itemCount);

// ---- Week view ---------------------------------------------------------------------

struct WeekFit {
  std::vector<int> itemTops;  // top of each card that is drawn, in order
  int moreTop = -1;           // top of the more-link line, -1 for none
  int moreCount = 0;          // items not drawn
};
// Places cards from `firstTop` down, each measured on demand by heightOf(i), until the
// next one would leave too little room above bodyBottom for itself and a more-link.
WeekFit FitWeekItems(int itemCount, int firstTop, int bodyBottom, int dpi,
                     const std::function<int(int)>& heightOf);

// ---- Year view ---------------------------------------------------------------------

int YearColumns(int width, int height);
RECT YearTileRect(const RECT& area, int month /* 0..11 */, int dpi);
// The 6 x 7 day grid of a tile: cell 0 is the top-left one.
RECT YearDayCellRect(const RECT& tile, int cell, int dpi);
int YearDayRadius(const RECT& cell, int dpi);

// ---- Day view ----------------------------------------------------------------------

int ClampScroll(int offset, int contentHeight, int visibleHeight);
// The day view's scroll thumb; empty when everything fits.
RECT ScrollThumbRect(int areaRight, int contentTop, int visibleHeight, int contentHeight, int scrollOffset,
                     int dpi);

// ---- Input -------------------------------------------------------------------------

struct WheelResult {
  int periodSteps = 0;  // negative: that many periods back; positive: forward
  int remainder = 0;
};
// Notches smaller than a full one accumulate until they add up to one.
WheelResult AccumulateWheel(int remainder, int delta);

int HitTestButtons(const RECT (&buttons)[kHeaderButtonCount], POINT point);

enum HitKind : int { kHitDay = 0, kHitProject = 1, kHitMonthTitle = 2, kHitMoreLink = 3 };

struct HitRegion {
  RECT rect = {};
  Date date;
  int32_t projectId = 0;
  int kind = kHitDay;
};
// Regions added later lie on top (items over their day cell), so they win.
int HitTestRegions(const std::vector<HitRegion>& regions, POINT point);

}  // namespace calendar
