// Which projects a day lists, and in what order.
#include <gtest/gtest.h>

#include "calendar_fixture.h"
#include "views/calendar_day_index.h"

namespace {

using caltest::MakeEntry;
using caltest::MakeProject;

std::vector<int> Day(const calendar::DayIndexResult& index, Date date) {
  auto found = index.days.find(dates::DayNumber(date));
  return found == index.days.end() ? std::vector<int>{} : found->second;
}

TEST(CalendarDayIndex, ListsAProjectOncePerDayWhateverCoincides) {
  std::vector<Project> projects;
  Date day{2024, 5, 14};
  Project p = MakeProject(L"Same day", day, day, 0);
  p.entries = {MakeEntry(day, L"one"), MakeEntry(day, L"two"), MakeEntry(Date{2024, 5, 20}, L"later")};
  p.id = 1;
  projects.push_back(p);

  auto index = calendar::BuildDayIndex(projects);
  EXPECT_EQ(Day(index, day), (std::vector<int>{0}));
  EXPECT_EQ(Day(index, Date{2024, 5, 20}), (std::vector<int>{0}));
  EXPECT_TRUE(Day(index, Date{2024, 5, 15}).empty()) << "only recorded days are listed, not the whole period";
  EXPECT_EQ(index.days.size(), 2u);
}

TEST(CalendarDayIndex, SkipsInvalidDates) {
  std::vector<Project> projects(3);
  projects[0] = MakeProject(L"Quarterly report", Date{2023, 2, 29}, Date{1600, 12, 31}, 0);
  projects[0].entries = {MakeEntry(Date{2024, 4, 31}, L"bad"), MakeEntry(Date{2024, 4, 30}, L"good")};
  projects[0].id = 1;
  projects[1] = MakeProject(L"Holiday photos", Date{2024, 4, 30}, Date{}, 1);
  projects[1].id = 2;
  projects[2] = MakeProject(L"Report archive", Date{2024, 4, 30}, Date{}, 2);
  projects[2].id = 3;

  auto all = calendar::BuildDayIndex(projects);
  EXPECT_EQ(all.days.size(), 1u) << "the invalid start, end and entry dates list nothing";
  EXPECT_EQ(Day(all, Date{2024, 4, 30}), (std::vector<int>{0, 1, 2}));

  // The cached period is the effective one; without an end it is the start day alone.
  EXPECT_EQ(all.facts[1].spanStart, dates::DayNumber(Date{2024, 4, 30}));
  EXPECT_EQ(all.facts[1].spanEnd, dates::DayNumber(Date{2024, 4, 30}));
}

TEST(CalendarDayIndex, AProjectWithoutDatesSpansNothing) {
  std::vector<Project> projects(1);
  projects[0].title = L"Someday";
  projects[0].id = 1;
  auto index = calendar::BuildDayIndex(projects);
  EXPECT_TRUE(index.days.empty());
  ASSERT_EQ(index.facts.size(), 1u);
  EXPECT_GT(index.facts[0].spanStart, index.facts[0].spanEnd);
}

TEST(CalendarDayIndex, OrdersActiveFirstThenEarlierStartThenLowerId) {
  Date day{2024, 6, 10};
  std::vector<Project> projects;
  auto add = [&](int id, Date start, bool completed) {
    Project p = MakeProject(L"p", start, Date{}, 0, completed);
    p.id = id;
    p.entries = {MakeEntry(day, L"x")};
    projects.push_back(p);
  };
  add(7, Date{2024, 1, 1}, true);   // 0: completed, earliest start
  add(9, Date{2024, 6, 1}, false);  // 1: active, later start
  add(4, Date{2024, 6, 1}, false);  // 2: active, same start, lower id
  add(5, Date{}, false);            // 3: active without a start: before any date
  add(2, Date{2024, 3, 1}, false);  // 4: active, earlier start
  add(1, Date{}, true);             // 5: completed without a start

  auto index = calendar::BuildDayIndex(projects);
  EXPECT_EQ(Day(index, day), (std::vector<int>{3, 4, 2, 1, 5, 0}));
}

}  // namespace
