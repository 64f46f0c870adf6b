#include "views/calendar_layout.h"

#include <algorithm>

#include "ui/kit/scale.h"

namespace calendar {

using kit::Scale;

Date WeekStart(const Date& date) { return dates::AddDays(date, -dates::WeekDay(date)); }

bool IsSupportedDay(int32_t dayNumber) {
  static const int32_t first = dates::DayNumber(Date{1601, 1, 1});
  static const int32_t last = dates::DayNumber(Date{9999, 12, 31});
  return dayNumber >= first && dayNumber <= last;
}

DaySpan SupportedWeek(const Date& date) {
  int32_t start = dates::DayNumber(WeekStart(date));
  int32_t end = start + 6;
  while (start < end && !IsSupportedDay(start)) ++start;
  while (end > start && !IsSupportedDay(end)) --end;
  return DaySpan{dates::FromDayNumber(start), dates::FromDayNumber(end)};
}

Date AddMonthsClamped(const Date& date, int months) {
  int64_t index = static_cast<int64_t>(date.year) * 12 + (date.month - 1) + months;
  Date result;
  result.year = static_cast<int32_t>(index / 12);
  result.month = static_cast<int32_t>(index % 12 + 1);
  result.day = std::min(date.day, dates::DaysInMonth(result.year, result.month));
  return result;
}

Date StepPeriod(int viewMode, const Date& anchor, const Date& selected, int direction) {
  switch (viewMode) {
    case kDayView: return dates::AddDays(anchor, direction);
    case kWeekView: return dates::AddDays(selected, 7 * direction);
    case kYearView: return AddMonthsClamped(anchor, 12 * direction);
    default: return AddMonthsClamped(anchor, direction);
  }
}

MonthGrid MonthGridFor(const Date& anyDayOfMonth) {
  Date first{anyDayOfMonth.year, anyDayOfMonth.month, 1};
  Date last{anyDayOfMonth.year, anyDayOfMonth.month, dates::DaysInMonth(anyDayOfMonth.year, anyDayOfMonth.month)};
  MonthGrid grid;
  grid.first = WeekStart(first);
  int32_t end = dates::DayNumber(last) + (6 - dates::WeekDay(last));
  grid.rows = (end - dates::DayNumber(grid.first) + 1) / 7;
  return grid;
}

bool DateInPeriod(int viewMode, const Date& anchor, const Date& date) {
  if (!dates::IsValid(date) || !dates::IsValid(anchor)) return false;
  switch (viewMode) {
    case kDayView: return date == anchor;
    case kWeekView: return WeekStart(date) == WeekStart(anchor);
    case kYearView: return date.year == anchor.year;
    default: {
      MonthGrid grid = MonthGridFor(anchor);
      int32_t offset = dates::DayNumber(date) - dates::DayNumber(grid.first);
      return offset >= 0 && offset < grid.rows * 7;
    }
  }
}

namespace {

// The header's sizes at 96 DPI.
constexpr int kButtonTextPadding = 14;
constexpr int kMinTodayWidth = 56;
constexpr int kMinGoWidth = 56;
constexpr int kMinLabelWidth = 44;
constexpr int kMinViewButtonWidth = 50;
constexpr int kTitleMinWidth = 166;       // the title's least room in one row
constexpr int kPickerGroupExtra = 222;   // picker, gaps and edges of the right-hand group
constexpr int kRowTop = 14;
constexpr int kSecondRowTop = 55;        // the right-hand group when the header is narrow
constexpr int kRowHeight = 32;
constexpr int kSquareButton = 32;        // previous and next
constexpr int kGap = 6;
constexpr int kEdge = 16;
constexpr int kPickerWidth = 132;
constexpr int kLabelGap = 8;
constexpr int kViewGroupGap = 20;
constexpr int kViewButtonInset = 2;

}  // namespace

HeaderLayout LayoutHeader(int width, const HeaderTextWidths& measured, int dpi) {
  auto padded = [dpi](int text, int minimum) {
    return std::max(text + Scale(kButtonTextPadding, dpi), Scale(minimum, dpi));
  };
  int today = padded(measured.today, kMinTodayWidth);
  int go = padded(measured.go, kMinGoWidth);
  int label = padded(measured.dateLabel, kMinLabelWidth);
  int views[4];
  int viewSum = 0;
  for (int i = 0; i < 4; ++i) {
    views[i] = padded(measured.views[i], kMinViewButtonWidth);
    viewSum += views[i];
  }

  HeaderLayout layout;
  int needed = viewSum + Scale(kTitleMinWidth, dpi) + label + go + Scale(kPickerGroupExtra, dpi) +
               2 * Scale(kSquareButton, dpi) + today;
  layout.narrow = width < needed;
  layout.height = Scale(layout.narrow ? kNarrowHeaderHeight : kHeaderHeight, dpi);

  int top = Scale(kRowTop, dpi), rowHeight = Scale(kRowHeight, dpi), gap = Scale(kGap, dpi);
  const int edge = Scale(kEdge, dpi), square = Scale(kSquareButton, dpi);
  RECT& previous = layout.buttons[kButtonPrevious];
  previous = {edge, top, edge + square, top + rowHeight};
  RECT& todayButton = layout.buttons[kButtonToday];
  todayButton = {previous.right + gap, top, previous.right + gap + today, top + rowHeight};
  RECT& next = layout.buttons[kButtonNext];
  next = {todayButton.right + gap, top, todayButton.right + gap + square, top + rowHeight};

  int g = Scale(layout.narrow ? kSecondRowTop : kRowTop, dpi);
  RECT& goButton = layout.buttons[kButtonGo];
  goButton = {width - edge - go, g, width - edge, g + rowHeight};
  layout.picker = {goButton.left - gap - Scale(kPickerWidth, dpi), g, goButton.left - gap, g + Scale(kRowHeight, dpi)};
  const int labelGap = Scale(kLabelGap, dpi);
  layout.dateLabel = {layout.picker.left - labelGap - label, g, layout.picker.left - labelGap, g + rowHeight};
  int right = layout.dateLabel.left - Scale(kViewGroupGap, dpi);
  const int inset = Scale(kViewButtonInset, dpi);
  for (int i = 3; i >= 0; --i) {
    RECT& button = layout.buttons[kButtonDay + i];
    button = {right - views[i], g + inset, right, g + rowHeight - inset};
    right = button.left;
  }

  RECT& title = layout.title;
  title.left = next.right + edge;
  title.top = top;
  title.bottom = top + rowHeight;
  title.right = (layout.narrow ? width : layout.buttons[kButtonDay].left) - edge;
  if (title.right < title.left) title.right = title.left;
  return layout;
}

int ColumnEdge(int left, int width, int i) { return left + i * width / 7; }

int RowEdge(int top, int height, int rows, int r) { return rows > 0 ? top + r * height / rows : top; }

int MonthSlotCount(int firstItemTop, int cellBottom, int dpi) {
  // C++ division truncates towards zero, so a cell short by less than a slot still
  // gives 0 rather than -1; both mean "no slot".
  constexpr int kCellBottomPadding = 4;
  const int gap = Scale(kMonthBarGap, dpi);
  return (gap + cellBottom - Scale(kCellBottomPadding, dpi) - firstItemTop) / (Scale(kMonthBarHeight, dpi) + gap);
}

SlotPlan PlanSlots(int slots, int itemCount) {
  SlotPlan plan;
  if (itemCount <= 0) return plan;
  if (slots <= 0) {
    plan.dot = true;
  } else if (itemCount <= slots) {
    plan.bars = itemCount;
  } else {
    plan.bars = slots - 1;
    plan.moreCount = itemCount - plan.bars;
  }
  return plan;
}

WeekFit FitWeekItems(int itemCount, int firstTop, int bodyBottom, int dpi,
                     const std::function<int(int)>& heightOf) {
  WeekFit fit;
  int y = firstTop;
  for (int i = 0; i < itemCount; ++i) {
    int h = heightOf(i);
    int room = Scale(kWeekItemGap, dpi) + (i + 1 < itemCount ? Scale(kMoreRowHeight, dpi) : 0);
    if (bodyBottom - room < y + h) {
      fit.moreTop = y;
      fit.moreCount = itemCount - i;
      break;
    }
    fit.itemTops.push_back(y);
    y += h + Scale(kWeekItemGap, dpi);
  }
  return fit;
}

int YearColumns(int width, int height) {
  if (width < height * 2 / 3) return 2;
  if (width < height * 5 / 4) return 3;
  return 4;
}

RECT YearTileRect(const RECT& area, int month, int dpi) {
  int w = area.right - area.left, h = area.bottom - area.top;
  int columns = YearColumns(w, h);
  int rows = 12 / columns;
  constexpr int kTileGap = 12;
  int g = Scale(kTileGap, dpi);
  int column = month % columns, row = month / columns;
  RECT tile;
  tile.left = area.left + g + (w - g) * column / columns;
  tile.right = area.left + (w - g) * (column + 1) / columns;
  tile.top = area.top + g + (h - g) * row / rows;
  tile.bottom = area.top + (h - g) * (row + 1) / rows;
  return tile;
}

RECT YearDayCellRect(const RECT& tile, int cell, int dpi) {
  int x0 = tile.left + Scale(kYearTileInset, dpi);
  int width = (tile.right - tile.left) - Scale(2 * kYearTileInset, dpi);
  int top = tile.top + Scale(kYearTitleHeight, dpi) + Scale(kYearWeekDayHeight, dpi) + Scale(kYearGridGap, dpi);
  int height = tile.bottom - Scale(kYearTileInset, dpi) - top;
  int row = cell / 7, column = cell % 7;
  return RECT{ColumnEdge(x0, width, column), RowEdge(top, height, 6, row), ColumnEdge(x0, width, column + 1),
              RowEdge(top, height, 6, row + 1)};
}

int YearDayRadius(const RECT& cell, int dpi) {
  int side = std::min(cell.right - cell.left, cell.bottom - cell.top);
  constexpr int kMinRadius = 5, kRoom = 1;  // a day's circle keeps a pixel from its neighbours
  return std::max(Scale(kMinRadius, dpi), side / 2 - Scale(kRoom, dpi));
}

int ClampScroll(int offset, int contentHeight, int visibleHeight) {
  int limit = std::max(0, contentHeight - visibleHeight);
  return std::clamp(offset, 0, limit);
}

RECT ScrollThumbRect(int areaRight, int contentTop, int visibleHeight, int contentHeight, int scrollOffset,
                     int dpi) {
  if (visibleHeight <= 0 || visibleHeight >= contentHeight) return RECT{};
  // A thin thumb 4 px from the right edge, 4 px from the ends of the track, at least 30 px long.
  constexpr int kInset = 4, kWidth = 4, kMinThumb = 30;
  int track = visibleHeight - Scale(2 * kInset, dpi);
  int64_t proportional = static_cast<int64_t>(visibleHeight) * track / contentHeight;
  int thumb = std::max(Scale(kMinThumb, dpi), static_cast<int>(proportional));
  int travel = track - thumb;
  int top = contentTop + Scale(kInset, dpi) +
            static_cast<int>(static_cast<int64_t>(travel) * scrollOffset / std::max(1, contentHeight - visibleHeight));
  return RECT{areaRight - Scale(kInset + kWidth, dpi), top, areaRight - Scale(kInset, dpi), top + thumb};
}

WheelResult AccumulateWheel(int remainder, int delta) {
  WheelResult result;
  result.remainder = remainder + delta;
  while (result.remainder > 119) {
    result.remainder -= 120;
    --result.periodSteps;
  }
  while (result.remainder < -119) {
    result.remainder += 120;
    ++result.periodSteps;
  }
  return result;
}

int HitTestButtons(const RECT (&buttons)[kHeaderButtonCount], POINT point) {
  for (int i = 0; i < kHeaderButtonCount; ++i) {
    if (PtInRect(&buttons[i], point)) return i;
  }
  return -1;
}

int HitTestRegions(const std::vector<HitRegion>& regions, POINT point) {
  for (size_t i = regions.size(); i-- > 0;) {
    if (PtInRect(&regions[i].rect, point)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace calendar
