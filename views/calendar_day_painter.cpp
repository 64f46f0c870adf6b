#include <algorithm>
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

constexpr int kDetailedCardLines = 5;

// Sizes at 96 DPI.
constexpr int kMargin = 28;
constexpr int kNumberTop = 14;
constexpr int kNumberBottom = 84;
constexpr int kNumberWidth = 90;
constexpr int kNumberGap = 14;           // the big number to the day's name
constexpr int kNameTop = 26;
constexpr int kNameBottom = 48;          // also the detail line's top
constexpr int kDetailBottom = 70;
constexpr int kHeadLineTop = 88;
constexpr int kLineWidth = 1;
constexpr int kContentTop = 96;          // the scrolling part starts here
constexpr int kContentPadding = 4;
constexpr int kContentBottomPadding = 16;
constexpr int kMaxCardWidth = 960;
constexpr int kHeadingHeight = 26;
constexpr int kHeadingAdvance = 28;      // a heading's row, including the gap below
constexpr int kListGap = 8;              // between the two lists
constexpr int kCardGap = 10;
constexpr int kEmptyTextRaise = 20;      // the empty-day text sits a little above the middle
constexpr int kEmptyTextGap = 2;
constexpr int kThumbRadius = 2;

struct PlacedCard {
  const Project* project = nullptr;
  CardContent content;
  int top = 0;  // before scrolling
};

struct PlacedHeading {
  const wchar_t* text = nullptr;
  int top = 0;
};

struct DayContent {
  std::vector<PlacedHeading> headings;
  std::vector<PlacedCard> cards;
  int height = 0;
};

void PaintDayHead(const PaintContext& ctx, const RECT& area, const Date& date, int margin) {
  int weekDay = dates::WeekDay(date);
  bool today = date == ctx.today;
  std::wstring number = std::to_wstring(date.day);
  int left = area.left + margin;
  PaintTextLine(ctx.dc, ctx.fonts->huge, number,
                RECT{left, area.top + ctx.S(kNumberTop), left + ctx.S(kNumberWidth), area.top + ctx.S(kNumberBottom)},
                today ? color::kAccent : WeekDayTextColor(weekDay, color::kText));

  int textLeft = left + TextWidthOf(ctx.dc, ctx.fonts->huge, number) + ctx.S(kNumberGap);
  int textRight = area.right - margin;
  PaintTextLine(ctx.dc, ctx.fonts->semibold, FullDayName(weekDay),
                RECT{textLeft, area.top + ctx.S(kNameTop), textRight, area.top + ctx.S(kNameBottom)},
                WeekDayTextColor(weekDay, color::kText));
  std::wstring detail = YearMonthText(date);
  if (today) detail += i18n::Translate(L"  ·  오늘");
  PaintTextLine(ctx.dc, ctx.fonts->body, detail,
                RECT{textLeft, area.top + ctx.S(kNameBottom), textRight, area.top + ctx.S(kDetailBottom)},
                color::kMutedText);
  int lineTop = area.top + ctx.S(kHeadLineTop);
  kit::FillSolidRect(ctx.dc, RECT{left, lineTop, textRight, lineTop + ctx.S(kLineWidth)}, color::kLine);
}

void PaintEmptyDay(const PaintContext& ctx, const RECT& area, int contentTop) {
  int middle = (contentTop + area.bottom) / 2 - ctx.S(kEmptyTextRaise);
  const int gap = ctx.S(kEmptyTextGap);
  int h = LineHeightOf(ctx, ctx.fonts->body);
  PaintTextLine(ctx.dc, ctx.fonts->body, i18n::Translate(L"이 날짜에 등록된 프로젝트가 없습니다."),
                RECT{area.left, middle - h - gap, area.right, middle}, color::kMutedText, DT_CENTER);
  PaintTextLine(ctx.dc, ctx.fonts->small, i18n::Translate(L"날짜를 더블클릭하면 새 프로젝트를 등록할 수 있습니다."),
                RECT{area.left, middle + gap, area.right, middle + gap + h}, color::kHintText, DT_CENTER);
}

// Projects that run through the day without a record on it, in document order.
std::vector<const Project*> SpanningProjects(const CalendarView& view, const std::vector<int>& recorded,
                                             int32_t day) {
  std::vector<const Project*> spanning;
  if (view.document == nullptr) return spanning;
  size_t count = std::min(view.document->projects.size(), view.facts.size());
  std::vector<char> listed(count, 0);
  for (int position : recorded) {
    if (position >= 0 && static_cast<size_t>(position) < count) listed[static_cast<size_t>(position)] = 1;
  }
  for (size_t i = 0; i < count; ++i) {
    if (listed[i] || !MatchesFilter(view, static_cast<int>(i)) || !SpansDay(view, static_cast<int>(i), day)) continue;
    spanning.push_back(&view.document->projects[i]);
  }
  return spanning;
}

DayContent LayOutDay(const PaintContext& ctx, const Date& date, int cardWidth, int firstTop,
                     const std::vector<const Project*>& recorded, const std::vector<const Project*>& spanning) {
  DayContent content;
  int y = firstTop;
  auto addList = [&](const wchar_t* heading, const std::vector<const Project*>& projects) {
    if (projects.empty()) return;
    if (!content.headings.empty()) y += ctx.S(kListGap);
    content.headings.push_back(PlacedHeading{heading, y});
    y += ctx.S(kHeadingAdvance);
    for (const Project* project : projects) {
      PlacedCard card;
      card.project = project;
      card.content = MeasureProjectCard(ctx, cardWidth, *project, date, true, kDetailedCardLines);
      card.top = y;
      y += card.content.height + ctx.S(kCardGap);
      content.cards.push_back(std::move(card));
    }
  };
  addList(i18n::Translate(L"이 날의 프로젝트 기록"), recorded);
  addList(i18n::Translate(L"진행 기간에 포함된 프로젝트"), spanning);
  content.height = y + ctx.S(kContentBottomPadding) - firstTop;
  return content;
}

// Draws the laid-out headings and cards that show through the content area, clipped
// to it, and records the visible part of each card as its hit region.
void PaintDayContent(CalendarView& view, const PaintContext& ctx, const DayContent& content,
                     const RECT& contentRect, int x, int cardWidth, const Date& date) {
  DcStateScope clip(ctx.dc);
  IntersectClipRect(ctx.dc, contentRect.left, contentRect.top, contentRect.right, contentRect.bottom);
  int32_t day = dates::DayNumber(date);
  for (const PlacedHeading& heading : content.headings) {
    int top = heading.top - view.scrollOffset;
    const int height = ctx.S(kHeadingHeight);
    if (top >= contentRect.bottom || top + height <= contentRect.top) continue;
    PaintTextLine(ctx.dc, ctx.fonts->small, heading.text, RECT{x, top, x + cardWidth, top + height},
                  color::kMutedText);
  }
  for (const PlacedCard& placed : content.cards) {
    const Project& project = *placed.project;
    int top = placed.top - view.scrollOffset;
    RECT card{x, top, x + cardWidth, top + placed.content.height};
    RECT visible;
    if (!IntersectRect(&visible, &card, &contentRect)) continue;
    PaintProjectCard(ctx, card, project, true, placed.content, IsHovered(view, project.id, day),
                     project.id == view.selectedProjectId);
    AddRegion(view, visible, date, project.id, kHitProject);
  }
}

}  // namespace

void PaintDayView(CalendarView& view, const PaintContext& ctx, const RECT& area) {
  const Date date = view.anchorDate;
  const int32_t day = dates::DayNumber(date);
  const int margin = ctx.S(kMargin);
  kit::FillSolidRect(ctx.dc, area, color::kWhite);
  AddRegion(view, area, date, 0, kHitDay);
  PaintDayHead(ctx, area, date, margin);

  const int contentTop = area.top + ctx.S(kContentTop);
  view.visibleHeight = std::max(0, static_cast<int>(area.bottom) - contentTop);
  const std::vector<int> positions = DayPositions(view, day);
  std::vector<const Project*> recorded = ProjectsAt(view, positions);
  std::vector<const Project*> spanning = SpanningProjects(view, positions, day);
  if (recorded.empty() && spanning.empty()) {
    view.scrollOffset = 0;
    view.contentHeight = 0;
    PaintEmptyDay(ctx, area, contentTop);
    return;
  }

  int cardWidth = std::min(ctx.S(kMaxCardWidth), static_cast<int>(area.right - area.left) - 2 * margin);
  int x = area.left + margin;
  // Laid out before drawing so that a stale offset (after a resize, say) is clamped
  // before anything is drawn with it.
  DayContent content = LayOutDay(ctx, date, cardWidth, contentTop + ctx.S(kContentPadding), recorded, spanning);
  view.contentHeight = content.height;
  if (view.visibleHeight > 0 && view.visibleHeight < view.contentHeight) {
    view.scrollOffset = ClampScroll(view.scrollOffset, view.contentHeight, view.visibleHeight);
  } else {
    view.scrollOffset = 0;
  }

  RECT contentRect{area.left, contentTop, area.right, area.bottom};
  PaintDayContent(view, ctx, content, contentRect, x, cardWidth, date);

  RECT thumb = ScrollThumbRect(area.right, contentTop, view.visibleHeight, view.contentHeight, view.scrollOffset,
                               ctx.dpi);
  if (!IsRectEmpty(&thumb)) kit::FillRoundRect(ctx.dc, thumb, static_cast<float>(ctx.S(kThumbRadius)), color::kControlBorder);
}

}  // namespace calendar
