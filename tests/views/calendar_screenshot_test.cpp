// Screenshots of the four views over a rich document, in all six languages, at 96 and
// 144 DPI, saved under build/screenshots to be looked at. Each one also checks that the
// painters put their marks where the hit regions say they are.
#include <gtest/gtest.h>

#include <string>

#include "calendar_fixture.h"
#include "i18n/language.h"
#include "ui/kit/colors.h"
#include "ui/kit/snapshot.h"

namespace {

using caltest::CalendarHost;
using namespace calendar;

const Date kToday{2026, 3, 18};

// The view's own painting, then its child controls (the date picker) printed over it.
void Shoot(CalendarHost& host, const std::wstring& name) {
  RECT client{};
  GetClientRect(host.view(), &client);
  caltest::Canvas canvas(client.right, client.bottom);
  PaintCalendarTo(host.view(), canvas.dc());
  for (HWND child = GetWindow(host.view(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, host.view(), reinterpret_cast<POINT*>(&r), 2);
    POINT old{};
    SetViewportOrgEx(canvas.dc(), r.left, r.top, &old);
    SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(canvas.dc()),
                 PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    SetViewportOrgEx(canvas.dc(), old.x, old.y, nullptr);
  }
  EXPECT_TRUE(kit::SaveBitmapPng(canvas.bitmap(), testui::ScreenshotPath(name))) << "saving " << name.size();
}

struct Shot {
  int language;
  const wchar_t* tag;
};

class CalendarScreens : public testing::TestWithParam<int> {
 protected:
  void TearDown() override { i18n::SetLanguage(i18n::kEnglish); }
};

int32_t IdOf(const ProjectDocument& doc, const wchar_t* title) {
  for (const Project& p : doc.projects) {
    if (p.title.starts_with(title)) return p.id;
  }
  return 0;
}

TEST_P(CalendarScreens, AllViewsInEveryLanguage) {
  const int dpi = GetParam();
  ProjectDocument doc = caltest::RichDocument();
  for (Shot shot : {Shot{i18n::kKorean, L"ko"}, Shot{i18n::kEnglish, L"en"}, Shot{i18n::kJapanese, L"ja"},
                    Shot{i18n::kFrench, L"fr"}, Shot{i18n::kGerman, L"de"}, Shot{i18n::kChinese, L"zh"}}) {
    i18n::SetLanguage(shot.language);
    CalendarHost host(&doc, kToday, dpi);
    SetSelectedProject(host.view(), IdOf(doc, L"Website redesign"));
    SelectDate(host.view(), Date{2026, 3, 20});
    const wchar_t* names[] = {L"day", L"week", L"month", L"year"};
    for (int mode : {kMonthView, kWeekView, kDayView, kYearView}) {
      SetViewMode(host.view(), mode);
      GoToDate(host.view(), mode == kDayView ? kToday : Date{2026, 3, 20});
      std::wstring name = std::wstring(L"calendar_") + names[mode] + L"_" + shot.tag + L"_" + std::to_wstring(dpi);
      Shoot(host, name);

      // Every item region of the month and week views lies inside a day region.
      const auto& regions = host.state().hitRegions;
      for (const HitRegion& item : regions) {
        if (item.kind != kHitProject || mode == kDayView) continue;
        bool inside = false;
        for (const HitRegion& day : regions) {
          RECT both{};
          if (day.kind == kHitDay && day.date == item.date && IntersectRect(&both, &day.rect, &item.rect) &&
              EqualRect(&both, &item.rect)) {
            inside = true;
          }
        }
        EXPECT_TRUE(inside) << "mode " << mode;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Dpi, CalendarScreens, testing::Values(96, 144));

TEST(CalendarScreensExtra, NarrowHeaderAndEmptyDay) {
  ProjectDocument doc = caltest::RichDocument();
  i18n::SetLanguage(i18n::kKorean);
  {
    CalendarHost host(&doc, kToday, 96, 760, 640);
    EXPECT_EQ(host.state().headerHeight, 100) << "760 px is too narrow for one header row";
    Shoot(host, L"calendar_month_narrow_ko_96");
  }
  {
    // 19 March: one project ends that day; five others only run through it.
    CalendarHost host(&doc, kToday, 96, 1100, 900);
    SetViewMode(host.view(), kDayView);
    GoToDate(host.view(), Date{2026, 3, 19});
    Shoot(host, L"calendar_day_spanning_ko_96");
    std::vector<int32_t> order;
    for (const HitRegion& r : host.state().hitRegions) {
      if (r.kind == kHitProject) order.push_back(r.projectId);
    }
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order.front(), IdOf(doc, L"법무 검토")) << "the day's own record comes first";
    EXPECT_EQ(order[1], IdOf(doc, L"Tavrilo")) << "then the spanning ones in document order";
  }
  {
    // Scrolled part-way into a card: it must be cut at the day head's rule, shapes and text alike.
    CalendarHost host(&doc, kToday, 96, 1000, 500);
    SetViewMode(host.view(), kDayView);
    host.Repaint();
    for (int i = 0; i < 3; ++i) host.Wheel(-40 * 3);
    Shoot(host, L"calendar_day_scrolled_ko_96");
    EXPECT_EQ(host.state().scrollOffset, 180);
  }
  {
    CalendarHost host(&doc, kToday, 96, 900, 560);
    SetViewMode(host.view(), kDayView);
    GoToDate(host.view(), Date{2025, 11, 5});
    Shoot(host, L"calendar_day_empty_ko_96");
    EXPECT_EQ(host.state().contentHeight, 0);
  }
  i18n::SetLanguage(i18n::kEnglish);
}

TEST(CalendarScreensExtra, CrampedViewsFallBackToDotsAndMoreLinks) {
  ProjectDocument doc = caltest::RichDocument();
  i18n::SetLanguage(i18n::kEnglish);
  {
    // Cells of about 54 px have no slot: a dot in the first project's colour instead.
    CalendarHost host(&doc, kToday, 96, 900, 360);
    RECT client{};
    GetClientRect(host.view(), &client);
    caltest::Canvas canvas(client.right, client.bottom);
    PaintCalendarTo(host.view(), canvas.dc());
    Shoot(host, L"calendar_month_dots_en_96");
    HitRegion busy;
    ASSERT_TRUE(host.FindRegion([](const HitRegion& r) { return r.kind == kHitDay && r.date == Date{2026, 3, 11}; },
                                busy));
    EXPECT_EQ(canvas.At(busy.rect.right - 10, busy.rect.top + 16), kit::ProjectColor(5).main)
        << "the dot of the day's only project";
    for (const HitRegion& r : host.state().hitRegions) {
      EXPECT_TRUE(r.kind == kHitDay) << "no bars and no more-links without a slot";
    }
  }
  {
    CalendarHost host(&doc, kToday, 96, 1100, 520);
    SetViewMode(host.view(), kWeekView);
    Shoot(host, L"calendar_week_more_en_96");
    HitRegion more;
    ASSERT_TRUE(host.FindRegion([](const HitRegion& r) { return r.kind == kHitMoreLink; }, more));
    EXPECT_EQ(more.date, kToday);
    EXPECT_LE(more.rect.bottom, 520) << "the more-link stays inside the column";
  }
}

}  // namespace
