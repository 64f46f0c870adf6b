// The calendar where it used to misbehave: double clicks whose first click switched the
// view, the date lookup when the picker refuses a date, and the first and last weeks
// the program can show.
#include <gtest/gtest.h>

#include "calendar_fixture.h"
#include "i18n/language.h"
#include "model/date.h"
#include "ui/kit/snapshot.h"
#include "views/calendar_text.h"

#include <algorithm>

namespace {

using caltest::CalendarHost;
using namespace calendar;

const Date kToday{2026, 3, 18};

bool AsksForAProject(const CalendarHost& host) {
  std::vector<UINT> codes = host.Codes();
  return std::any_of(codes.begin(), codes.end(), [](UINT code) {
    return code == static_cast<UINT>(CalendarNewProject) || code == static_cast<UINT>(CalendarOpenProject);
  });
}

TEST(CalendarEdges, TheSecondClickOfADoubleClickThatSwitchedTheViewDoesNothing) {
  i18n::SetLanguage(i18n::kEnglish);
  ProjectDocument doc = caltest::RichDocument();
  struct Case {
    int mode;
    HitKind kind;
  };
  for (const Case& c : {Case{kMonthView, kHitMoreLink}, Case{kYearView, kHitMonthTitle}}) {
    SCOPED_TRACE(c.mode);
    CalendarHost host(&doc, kToday);
    SetViewMode(host.view(), c.mode);
    host.Repaint();
    HitRegion link;
    ASSERT_TRUE(host.FindRegion([&](const HitRegion& r) { return r.kind == c.kind; }, link));
    POINT p = CalendarHost::Centre(link.rect);
    host.Click(p);
    ASSERT_NE(GetViewMode(host.view()), c.mode) << "the first click switches the view";
    const int switched = GetViewMode(host.view());
    host.Repaint();  // as WM_PAINT does between the two clicks
    host.notifications.clear();
    SendMessageW(host.view(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(host.view(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    EXPECT_FALSE(AsksForAProject(host));
    EXPECT_EQ(GetViewMode(host.view()), switched);

    // The next double click is a double click again.
    host.Repaint();
    HitRegion day;
    ASSERT_TRUE(host.FindRegion([](const HitRegion& r) { return r.kind == kHitDay; }, day));
    host.DoubleClick(CalendarHost::Centre(day.rect));
    EXPECT_TRUE(AsksForAProject(host));
  }
}

TEST(CalendarEdges, TheFirstAndLastWeeksAreClampedToTheSupportedDates) {
  for (int language : {i18n::kEnglish, i18n::kKorean, i18n::kGerman}) {
    i18n::SetLanguage(language);
    std::wstring first = PeriodTitle(kWeekView, Date{1601, 1, 1});
    std::wstring last = PeriodTitle(kWeekView, Date{9999, 12, 31});
    EXPECT_TRUE(first.starts_with(dates::LongDateText(Date{1601, 1, 1}, false))) << first.size();
    EXPECT_TRUE(last.starts_with(dates::LongDateText(Date{9999, 12, 26}, false))) << last.size();
    EXPECT_TRUE(last.ends_with(MonthDayText(Date{9999, 12, 31}))) << last.size();
  }
  i18n::SetLanguage(i18n::kEnglish);
  EXPECT_EQ(SupportedWeek(Date{1601, 1, 3}).first, (Date{1601, 1, 1}));
  EXPECT_EQ(SupportedWeek(Date{1601, 1, 3}).last, (Date{1601, 1, 6}));
  EXPECT_EQ(SupportedWeek(Date{2026, 3, 18}).first, (Date{2026, 3, 15}));

  ProjectDocument doc;
  CalendarHost host(&doc, kToday);
  for (Date date : {Date{1601, 1, 1}, Date{9999, 12, 31}}) {
    for (int mode : {kWeekView, kMonthView}) {
      SCOPED_TRACE(testing::Message() << date.year << " mode " << mode);
      GoToDate(host.view(), date);
      SetViewMode(host.view(), mode);
      host.Repaint();
      int days = 0;
      for (const HitRegion& region : host.state().hitRegions) {
        EXPECT_TRUE(dates::IsValid(region.date)) << "a cell outside the supported dates answers clicks";
        days += region.kind == kHitDay;
      }
      EXPECT_GT(days, 0);
      RECT client{};
      GetClientRect(host.view(), &client);
      caltest::Canvas canvas(client.right, client.bottom);
      PaintCalendarTo(host.view(), canvas.dc());
      EXPECT_TRUE(kit::SaveBitmapPng(canvas.bitmap(), testui::ScreenshotPath(L"calendar_edge_" + std::to_wstring(date.year) +
                                                                             L"_" + std::to_wstring(mode))));
    }
  }
}

TEST(CalendarEdges, GoUsesWhatThePickerHoldsAndNothingWhenItRefusedTheDate) {
  i18n::SetLanguage(i18n::kEnglish);
  ProjectDocument doc;
  CalendarHost host(&doc, kToday);
  auto pressGo = [&] {
    host.Repaint();
    POINT p = CalendarHost::Centre(host.state().buttonRects[kButtonGo]);
    host.Click(p);
  };

  // The picker takes an ordinary date: Go goes where it points.
  SYSTEMTIME picked{};
  picked.wYear = 2027;
  picked.wMonth = 5;
  picked.wDay = 9;
  ASSERT_TRUE(SendMessageW(host.state().datePicker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&picked)));
  pressGo();
  EXPECT_EQ(GetAnchorDate(host.view()), (Date{2027, 5, 9}));

  // The first supported day; a picker that refuses it keeps showing 2027-05-09, which
  // nobody asked to go back to.
  GoToDate(host.view(), Date{1601, 1, 1});
  host.notifications.clear();
  pressGo();
  EXPECT_EQ(GetAnchorDate(host.view()), (Date{1601, 1, 1}));
  if (host.state().pickerHeld != host.state().pickerAsked) {
    EXPECT_TRUE(host.notifications.empty()) << "nothing happened, so nothing is reported";
  }

  // A year typed into the picker: taken, Enter goes there; refused (Wine's picker
  // refuses years before 1752), Enter leaves everything as it was.
  for (const wchar_t* typed : {L"2031", L"1700"}) {
    SCOPED_TRACE(testing::Message() << "typed " << std::string(typed, typed + 4));
    GoToDate(host.view(), Date{2027, 5, 9});
    HWND picker = host.state().datePicker;
    SetFocus(picker);
    for (int i = 0; i < 3; ++i) SendMessageW(picker, WM_KEYDOWN, VK_RIGHT, 0);  // to the year field
    for (const wchar_t* ch = typed; *ch; ++ch) SendMessageW(picker, WM_CHAR, *ch, 0);
    SYSTEMTIME held{};
    SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&held));
    host.notifications.clear();
    SendMessageW(picker, WM_KEYDOWN, VK_RETURN, 0);
    if (held.wYear == _wtoi(typed)) {
      EXPECT_EQ(GetAnchorDate(host.view()), (Date{_wtoi(typed), 5, 9}));
    } else {
      EXPECT_EQ(GetAnchorDate(host.view()), (Date{2027, 5, 9})) << "picker held " << held.wYear;
      EXPECT_TRUE(host.notifications.empty()) << "nothing happened, so nothing is reported";
    }
    EXPECT_EQ(GetFocus(), host.view());
  }
}

}  // namespace
