// The calendar window driven by the messages a user's clicks, keys and wheel produce,
// with a parent that records what the view tells it.
#include <gtest/gtest.h>

#include "calendar_fixture.h"
#include "i18n/language.h"
#include "ui/kit/colors.h"

#include <algorithm>
#include <cstdlib>

namespace {

using caltest::CalendarHost;
using caltest::MakeEntry;
using caltest::MakeProject;
using namespace calendar;

const Date kToday{2026, 3, 18};

class CalendarViewTest : public testing::Test {
 protected:
  void SetUp() override {
    i18n::SetLanguage(i18n::kKorean);
    doc_ = caltest::RichDocument();
  }
  void TearDown() override { i18n::SetLanguage(i18n::kEnglish); }

  const Project& ByTitle(const wchar_t* title) const {
    for (const Project& p : doc_.projects) {
      if (p.title == title) return p;
    }
    ADD_FAILURE() << "no project titled that";
    return doc_.projects.front();
  }

  ProjectDocument doc_;
};

TEST_F(CalendarViewTest, CreationWiresTheWindowAndItsDatePicker) {
  CalendarHost host(&doc_, kToday);
  EXPECT_EQ(GetDlgCtrlID(host.view()), kCalendarControlId);
  EXPECT_TRUE(GetClassLongW(host.view(), GCL_STYLE) & CS_DBLCLKS) << "double-clicks create projects";
  const CalendarView& state = host.state();
  EXPECT_EQ(state.viewMode, kMonthView);
  ASSERT_NE(state.datePicker, nullptr);
  SYSTEMTIME shown{};
  ASSERT_EQ(SendMessageW(state.datePicker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)), GDT_VALID);
  EXPECT_EQ(shown.wDay, 18);
  RECT picker{};
  GetWindowRect(state.datePicker, &picker);
  EXPECT_EQ(picker.right - picker.left, 132) << "placed by the header layout";
  EXPECT_FALSE(state.dayIndex.empty()) << "the index is built at creation";

  EXPECT_EQ(CalendarState(host.parent()), nullptr) << "other windows are not mistaken for a view";
  EXPECT_TRUE(ProjectsOnDay(host.parent(), kToday).empty());
}

TEST_F(CalendarViewTest, ClickOnAProjectItemSelectsItAndTellsTheParent) {
  CalendarHost host(&doc_, kToday);
  int32_t id = ByTitle(L"모바일 앱 QA").id;
  HitRegion item;
  ASSERT_TRUE(host.FindRegion([&](const HitRegion& r) { return r.kind == kHitProject && r.projectId == id; }, item));

  host.Click(CalendarHost::Centre(item.rect));
  ASSERT_FALSE(host.notifications.empty());
  const CalendarNotification& n = host.notifications.back();
  EXPECT_EQ(n.header.code, static_cast<UINT>(CalendarProjectClicked));
  EXPECT_EQ(n.header.hwndFrom, host.view());
  EXPECT_EQ(n.header.idFrom, 1001u);
  EXPECT_EQ(n.projectId, id);
  EXPECT_EQ(n.date, item.date);
  EXPECT_EQ(GetSelectedProject(host.view()), id);
  EXPECT_EQ(GetSelectedDate(host.view()), item.date);

  // The second click of a double-click opens the project instead.
  host.notifications.clear();
  host.DoubleClick(CalendarHost::Centre(item.rect));
  ASSERT_FALSE(host.notifications.empty());
  EXPECT_EQ(host.notifications.back().header.code, static_cast<UINT>(CalendarOpenProject));
  EXPECT_EQ(host.notifications.back().projectId, id);
  for (const auto& sent : host.notifications) EXPECT_NE(sent.header.code, static_cast<UINT>(CalendarNewProject));
}

TEST_F(CalendarViewTest, DoubleClickOnAnEmptyPartOfADayAsksForANewProject) {
  CalendarHost host(&doc_, kToday);
  Date target{2026, 3, 5};
  HitRegion cell;
  ASSERT_TRUE(host.FindRegion([&](const HitRegion& r) { return r.kind == kHitDay && r.date == target; }, cell));
  POINT empty{cell.rect.left + 4, cell.rect.bottom - 4};  // below any bar
  int under = HitTestRegions(host.state().hitRegions, empty);
  ASSERT_GE(under, 0);
  ASSERT_EQ(host.state().hitRegions[static_cast<size_t>(under)].kind, kHitDay);

  host.DoubleClick(empty);
  std::vector<UINT> codes = host.Codes();
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.front(), static_cast<UINT>(CalendarDateChanged)) << "the first click selects the day";
  EXPECT_EQ(host.notifications.back().header.code, static_cast<UINT>(CalendarNewProject));
  EXPECT_EQ(host.notifications.back().date, target);
  EXPECT_EQ(host.notifications.back().projectId, 0);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), static_cast<UINT>(CalendarDateChanged)), 1)
      << "selecting the same day again is not a change";
}

TEST_F(CalendarViewTest, RightButtonReleaseSendsTheContextMenuPointInScreenCoordinates) {
  CalendarHost host(&doc_, kToday);
  MoveWindow(host.parent(), 30, 40, 1280, 800, FALSE);
  int32_t id = ByTitle(L"분기 보고서 작성").id;
  HitRegion item;
  ASSERT_TRUE(host.FindRegion([&](const HitRegion& r) { return r.kind == kHitProject && r.projectId == id; }, item));
  POINT p = CalendarHost::Centre(item.rect);
  SendMessageW(host.view(), WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));

  ASSERT_FALSE(host.notifications.empty());
  const CalendarNotification& n = host.notifications.back();
  EXPECT_EQ(n.header.code, static_cast<UINT>(CalendarContextMenu));
  EXPECT_EQ(n.projectId, id);
  EXPECT_EQ(n.date, item.date);
  POINT screen = p;
  ClientToScreen(host.view(), &screen);
  EXPECT_EQ(n.point.x, screen.x);
  EXPECT_EQ(n.point.y, screen.y);
  EXPECT_NE(n.point.x, p.x) << "the window was moved, so screen and client points differ";
  EXPECT_EQ(GetSelectedDate(host.view()), item.date);

  // Over a plain day the project id is 0; over the header nothing is sent.
  host.notifications.clear();
  HitRegion cell;
  ASSERT_TRUE(host.FindRegion([](const HitRegion& r) { return r.kind == kHitDay && r.date == Date{2026, 3, 3}; }, cell));
  SendMessageW(host.view(), WM_RBUTTONUP, 0, MAKELPARAM(cell.rect.left + 3, cell.rect.bottom - 3));
  ASSERT_FALSE(host.notifications.empty());
  EXPECT_EQ(host.notifications.back().projectId, 0);
  host.notifications.clear();
  SendMessageW(host.view(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(host.notifications.empty());
}

TEST_F(CalendarViewTest, MoreLinkOpensTheDayViewOfItsDate) {
  CalendarHost host(&doc_, kToday);
  HitRegion more;
  ASSERT_TRUE(host.FindRegion([](const HitRegion& r) { return r.kind == kHitMoreLink; }, more))
      << "the busiest day of the rich document overflows its cell";
  host.Click(CalendarHost::Centre(more.rect));
  EXPECT_EQ(GetViewMode(host.view()), kDayView);
  EXPECT_EQ(GetAnchorDate(host.view()), more.date);
  EXPECT_EQ(GetSelectedDate(host.view()), more.date);
  std::vector<UINT> codes = host.Codes();
  ASSERT_GE(codes.size(), 2u);
  EXPECT_EQ(codes[codes.size() - 2], static_cast<UINT>(CalendarViewChanged));
  EXPECT_EQ(codes.back(), static_cast<UINT>(CalendarDateChanged));
  EXPECT_EQ(host.notifications.back().date, more.date);
}

TEST_F(CalendarViewTest, MonthTitleInTheYearViewKeepsTheSelectedDayOfThatMonth) {
  CalendarHost host(&doc_, kToday);
  SetViewMode(host.view(), kYearView);
  SelectDate(host.view(), Date{2026, 7, 23});
  host.Repaint();
  auto title = [&](int month) {
    HitRegion r;
    EXPECT_TRUE(host.FindRegion(
        [&](const HitRegion& x) { return x.kind == kHitMonthTitle && x.date == Date{2026, month, 1}; }, r));
    return CalendarHost::Centre(r.rect);
  };

  host.notifications.clear();
  host.Click(title(7));
  EXPECT_EQ(GetViewMode(host.view()), kMonthView);
  EXPECT_EQ(GetSelectedDate(host.view()), (Date{2026, 7, 23}));
  EXPECT_EQ(GetAnchorDate(host.view()), (Date{2026, 7, 23}));
  EXPECT_EQ(host.Codes().back(), static_cast<UINT>(CalendarDateChanged));

  SetViewMode(host.view(), kYearView);
  host.Repaint();
  host.Click(title(10));
  EXPECT_EQ(GetSelectedDate(host.view()), (Date{2026, 10, 1})) << "another month opens on its first day";

  // A right click on a month title is not a day: no context menu.
  SetViewMode(host.view(), kYearView);
  host.Repaint();
  host.notifications.clear();
  POINT p = title(2);
  SendMessageW(host.view(), WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  EXPECT_TRUE(host.notifications.empty());
}

TEST_F(CalendarViewTest, WheelNotchesStepThePeriodOnTheThird) {
  CalendarHost host(&doc_, kToday);
  host.Wheel(40);
  host.Wheel(40);
  EXPECT_EQ(GetAnchorDate(host.view()), kToday);
  EXPECT_TRUE(host.notifications.empty());
  host.Wheel(40);
  EXPECT_EQ(GetAnchorDate(host.view()), (Date{2026, 2, 18})) << "turning away steps back";
  EXPECT_EQ(host.Codes(), (std::vector<UINT>{CalendarDateChanged}));
  host.Wheel(-120);
  host.Wheel(-240);
  EXPECT_EQ(GetAnchorDate(host.view()), (Date{2026, 5, 18}));
}

TEST_F(CalendarViewTest, DayViewWheelScrollsItsOverflowingContentInsteadOfStepping) {
  CalendarHost host(&doc_, kToday, 96, 1000, 500);
  SetViewMode(host.view(), kDayView);
  host.Repaint();
  const CalendarView& state = host.state();
  ASSERT_GT(state.contentHeight, state.visibleHeight) << "today holds more cards than fit";
  host.Wheel(-120);
  EXPECT_EQ(state.scrollOffset, 60);
  host.Key(VK_DOWN);
  EXPECT_EQ(state.scrollOffset, 120);
  host.Key(VK_UP);
  host.Key(VK_UP);
  host.Key(VK_UP);
  EXPECT_EQ(state.scrollOffset, 0) << "clamped at the top";
  for (int i = 0; i < 200; ++i) host.Wheel(-120);
  EXPECT_EQ(state.scrollOffset, state.contentHeight - state.visibleHeight) << "clamped at the bottom";
  EXPECT_EQ(GetAnchorDate(host.view()), kToday);
  host.Repaint();
  HitRegion card;
  ASSERT_TRUE(host.FindRegion([](const HitRegion& r) { return r.kind == kHitProject; }, card));
  EXPECT_GE(card.rect.top, state.headerHeight + 96) << "card regions are clipped to the content area";

  host.Key(VK_RIGHT);
  EXPECT_EQ(GetAnchorDate(host.view()), (Date{2026, 3, 19})) << "left and right move the day";
  EXPECT_EQ(state.scrollOffset, 0);
}

TEST_F(CalendarViewTest, KeysMoveTheSelectionAndThePeriod) {
  CalendarHost host(&doc_, kToday);
  HWND v = host.view();
  host.Key(VK_LEFT);
  EXPECT_EQ(GetSelectedDate(v), (Date{2026, 3, 17}));
  host.Key(VK_DOWN);
  EXPECT_EQ(GetSelectedDate(v), (Date{2026, 3, 24}));
  host.Key(VK_UP);
  host.Key(VK_RIGHT);
  EXPECT_EQ(GetSelectedDate(v), (Date{2026, 3, 18}));
  EXPECT_EQ(host.notifications.size(), 4u);

  host.Key(VK_DOWN);
  host.Key(VK_DOWN);
  host.Key(VK_DOWN);
  EXPECT_EQ(GetSelectedDate(v), (Date{2026, 4, 8}));
  EXPECT_EQ(GetAnchorDate(v), (Date{2026, 4, 8})) << "leaving the grid moves the period";
  host.Key(VK_UP);
  EXPECT_EQ(GetAnchorDate(v), (Date{2026, 4, 8})) << "1 April is still in April's grid";

  GoToDate(v, Date{2026, 1, 31});
  host.Key(VK_NEXT);
  EXPECT_EQ(GetAnchorDate(v), (Date{2026, 2, 28}));
  host.Key(VK_PRIOR);
  EXPECT_EQ(GetAnchorDate(v), (Date{2026, 1, 28}));
  host.Key(VK_HOME);
  EXPECT_EQ(GetSelectedDate(v), kToday);

  host.notifications.clear();
  host.Key(VK_RETURN);
  ASSERT_EQ(host.notifications.size(), 1u);
  EXPECT_EQ(host.notifications[0].header.code, static_cast<UINT>(CalendarNewProject));
  EXPECT_EQ(host.notifications[0].date, kToday);

  LRESULT code = SendMessageW(v, WM_GETDLGCODE, 0, 0);
  EXPECT_TRUE(code & DLGC_WANTARROWS);
  EXPECT_TRUE(code & DLGC_WANTCHARS);
}

TEST_F(CalendarViewTest, HeaderButtonsActOnReleaseOverThemselves) {
  CalendarHost host(&doc_, kToday);
  const CalendarView& state = host.state();
  POINT next = CalendarHost::Centre(state.buttonRects[kButtonNext]);
  SendMessageW(host.view(), WM_MOUSEMOVE, 0, MAKELPARAM(next.x, next.y));
  EXPECT_EQ(state.hoverButton, kButtonNext);
  SendMessageW(host.view(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(next.x, next.y));
  EXPECT_EQ(state.pressedButton, kButtonNext);
  EXPECT_EQ(GetCapture(), host.view());
  SendMessageW(host.view(), WM_LBUTTONUP, 0, MAKELPARAM(5, 500));
  EXPECT_EQ(state.pressedButton, -1);
  EXPECT_EQ(GetAnchorDate(host.view()), kToday) << "released elsewhere: nothing happens";

  host.Click(next);
  EXPECT_EQ(GetAnchorDate(host.view()), (Date{2026, 4, 18}));
  host.Click(CalendarHost::Centre(state.buttonRects[kButtonWeek]));
  EXPECT_EQ(GetViewMode(host.view()), kWeekView);
  EXPECT_EQ(GetAnchorDate(host.view()), (Date{2026, 4, 18})) << "a view switch anchors on the selection";
  host.Click(CalendarHost::Centre(state.buttonRects[kButtonToday]));
  EXPECT_EQ(GetAnchorDate(host.view()), kToday);

  // The go button takes the picker's date.
  SYSTEMTIME when{};
  when.wYear = 2027;
  when.wMonth = 2;
  when.wDay = 3;
  SendMessageW(state.datePicker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&when));
  host.Click(CalendarHost::Centre(state.buttonRects[kButtonGo]));
  EXPECT_EQ(GetSelectedDate(host.view()), (Date{2027, 2, 3}));

  SendMessageW(host.view(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(state.hoverButton, -1);
}

TEST_F(CalendarViewTest, DateLookupGoesToThePickersDate) {
  CalendarHost host(&doc_, kToday);
  HWND picker = host.state().datePicker;
  auto show = [&](WORD year, WORD month, WORD day) {
    SYSTEMTIME when{};
    when.wYear = year;
    when.wMonth = month;
    when.wDay = day;
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&when));
  };

  MSG enter{picker, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_TRUE(SendMessageW(picker, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTALLKEYS)
      << "Enter must reach the picker inside a dialog loop";
  show(2025, 12, 24);
  SendMessageW(picker, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(GetSelectedDate(host.view()), (Date{2025, 12, 24}));
  EXPECT_EQ(GetAnchorDate(host.view()), (Date{2025, 12, 24}));
  EXPECT_EQ(host.Codes(), (std::vector<UINT>{CalendarDateChanged}));

  show(2025, 11, 2);
  NMHDR closeUp{picker, static_cast<UINT_PTR>(GetDlgCtrlID(picker)), DTN_CLOSEUP};
  SendMessageW(host.view(), WM_NOTIFY, closeUp.idFrom, reinterpret_cast<LPARAM>(&closeUp));
  EXPECT_EQ(GetSelectedDate(host.view()), (Date{2025, 11, 2})) << "closing the drop-down goes there too";

  // Navigation writes the new date back into the picker.
  Next(host.view());
  SYSTEMTIME shown{};
  SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
  EXPECT_EQ(shown.wMonth, 12);
  EXPECT_EQ(shown.wDay, 2);
}

TEST_F(CalendarViewTest, ViewModeAndNavigationNotifyOnlyOnChange) {
  CalendarHost host(&doc_, kToday);
  HWND v = host.view();
  SetViewMode(v, kMonthView);
  SetViewMode(v, 7);
  EXPECT_TRUE(host.notifications.empty()) << "the same mode, or no mode at all, changes nothing";
  SelectDate(v, Date{2026, 3, 20});
  SetViewMode(v, kWeekView);
  EXPECT_EQ(host.Codes(), (std::vector<UINT>{CalendarDateChanged, CalendarViewChanged}));
  EXPECT_EQ(GetAnchorDate(v), (Date{2026, 3, 20}));

  host.notifications.clear();
  GoToDate(v, Date{2023, 2, 29});
  SelectDate(v, Date{1600, 12, 31});
  SelectDate(v, Date{2026, 3, 20});
  EXPECT_TRUE(host.notifications.empty()) << "impossible dates and the same date are ignored";
  EXPECT_TRUE(IsDateInView(v, Date{2026, 3, 21}));
  EXPECT_FALSE(IsDateInView(v, Date{2026, 3, 22}));
  Next(v);
  EXPECT_EQ(GetAnchorDate(v), (Date{2026, 3, 27}));
  Previous(v);
  Previous(v);
  EXPECT_EQ(GetSelectedDate(v), (Date{2026, 3, 13}));
}

TEST_F(CalendarViewTest, RebuildFollowsTheDocumentAndTheFilter) {
  CalendarHost host(&doc_, kToday);
  HWND v = host.view();
  const Project& qa = ByTitle(L"모바일 앱 QA");
  const Project& report = ByTitle(L"분기 보고서 작성");
  SetSelectedProject(v, qa.id);
  EXPECT_EQ(GetSelectedProject(v), qa.id);

  size_t unfiltered = ProjectsOnDay(v, Date{2026, 3, 18}).size();
  ASSERT_GT(unfiltered, 1u);
  SetFilter(v, L"보고서", -1);
  EXPECT_EQ(GetSelectedProject(v), 0) << "a filtered-out selection is dropped at once";
  std::vector<int> day = ProjectsOnDay(v, Date{2026, 3, 18});
  ASSERT_EQ(day.size(), 1u);
  EXPECT_EQ(doc_.projects[static_cast<size_t>(day[0])].id, report.id);
  RebuildDayIndex(v);
  EXPECT_EQ(ProjectsOnDay(v, Date{2026, 3, 18}), day) << "a rebuild keeps the filter";
  // A verdict that is not one per project is not trusted: the view searches itself.
  SetFilter(v, L"보고서", -1, std::vector<char>(3, 1));
  EXPECT_EQ(ProjectsOnDay(v, Date{2026, 3, 18}), day);

  SetFilter(v, L"", -1);
  EXPECT_EQ(ProjectsOnDay(v, Date{2026, 3, 18}).size(), unfiltered);
  SetSelectedProject(v, report.id);
  int32_t removed = report.id;
  doc_.RemoveProject(removed);
  RebuildDayIndex(v);
  EXPECT_EQ(GetSelectedProject(v), 0) << "a removed project is no longer selected";
  for (int position : ProjectsOnDay(v, Date{2026, 3, 18})) {
    EXPECT_NE(doc_.projects[static_cast<size_t>(position)].id, removed);
  }
  EXPECT_TRUE(ProjectsOnDay(v, Date{2026, 2, 30}).empty());
}

TEST_F(CalendarViewTest, PaintingSurvivesADocumentChangedBehindTheIndex) {
  CalendarHost host(&doc_, kToday);
  std::vector<int32_t> kept = {doc_.projects[0].id, doc_.projects[1].id};
  doc_.projects.resize(2);  // the index still names positions that are gone
  for (int mode : {kMonthView, kWeekView, kDayView, kYearView}) {
    SetViewMode(host.view(), mode);
    host.Repaint();
    for (const HitRegion& region : host.state().hitRegions) {
      if (region.kind == kHitProject) {
        EXPECT_TRUE(region.projectId == kept[0] || region.projectId == kept[1]) << "mode " << mode;
      }
    }
  }
}

TEST_F(CalendarViewTest, MonthCellsShowTheTodayAndSelectionMarks) {
  CalendarHost host(&doc_, kToday);
  SelectDate(host.view(), Date{2026, 3, 3});
  RECT client{};
  GetClientRect(host.view(), &client);
  caltest::Canvas canvas(client.right, client.bottom);
  PaintCalendarTo(host.view(), canvas.dc());

  HitRegion today, selected;
  ASSERT_TRUE(host.FindRegion([](const HitRegion& r) { return r.kind == kHitDay && r.date == kToday; }, today));
  ASSERT_TRUE(host.FindRegion(
      [](const HitRegion& r) { return r.kind == kHitDay && r.date == Date{2026, 3, 3}; }, selected));
  // The today circle (radius 12) is centred 11 px right of and below the label's corner
  // (8, 6); 10 px left of its centre is inside it and clear of the white day number.
  EXPECT_EQ(canvas.At(today.rect.left + 8 + 11 - 10, today.rect.top + 6 + 11), kit::color::kAccent);
  EXPECT_EQ(canvas.At(selected.rect.left + 8 + 11 - 10, selected.rect.top + 6 + 11), kit::color::kWhite)
      << "no circle on another day";
  // The selection outline, stroked 2 px wide about 3 px inside the cell, half-way down.
  auto similar = [](COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 40 && std::abs(GetGValue(a) - GetGValue(b)) <= 40 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 40;
  };
  int middle = (selected.rect.top + selected.rect.bottom) / 2;
  COLORREF edge = canvas.At(selected.rect.left + 3, middle);
  EXPECT_TRUE(similar(edge, kit::color::kAccentLight) || similar(edge, kit::color::kAccent)) << std::hex << edge;
  EXPECT_EQ(canvas.At(selected.rect.left + 12, middle), kit::color::kWhite) << "inside the outline: the cell";
}

}  // namespace
