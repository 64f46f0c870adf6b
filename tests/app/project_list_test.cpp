// What the project lists show: rows, orders, filter, texts per language and menus.
#include "app/project_list.h"

#include <gtest/gtest.h>

#include <tuple>

#include "resources/command_ids.h"
#include "support/language_scope.h"

namespace {

using namespace projectlist;
using testpaths::LanguageScope;

Entry MakeEntry(Date date, std::vector<std::wstring> tags = {}, std::wstring text = L"note") {
  Entry e;
  e.date = date;
  e.text = std::move(text);
  e.tags = std::move(tags);
  return e;
}

Project MakeProject(std::wstring title, Date start, bool completed = false, Date done = {}, int category = 0) {
  Project p;
  p.title = std::move(title);
  p.startDate = start;
  p.completed = completed;
  p.completedDate = done;
  p.category = category;
  p.color = 3;
  return p;
}

// Ids 1..8 in document order.
ProjectDocument OrderDocument() {
  ProjectDocument doc;
  doc.AddProject(MakeProject(L"Alpha", {2024, 3, 10}));  // 1
  Project noStart = MakeProject(L"Beta report", {});      // 2: placed by its earliest entry
  noStart.entries = {MakeEntry({2024, 5, 1}), MakeEntry({2024, 1, 5}, {L"work-items"})};
  doc.AddProject(noStart);
  doc.AddProject(MakeProject(L"Gamma", {2024, 3, 10}, false, {}, 1));             // 3: same start as 1
  doc.AddProject(MakeProject(L"Delta", {2024, 2, 1}, true, {2024, 6, 1}));        // 4
  doc.AddProject(MakeProject(L"Epsilon", {2024, 2, 1}, true, {2024, 6, 1}, 2));   // 5: same day as 4
  Project noDone = MakeProject(L"Zeta work", {2024, 2, 1}, true, {});             // 6: by its effective end
  noDone.endDate = {2024, 7, 1};
  doc.AddProject(noDone);
  Project tagged = MakeProject(L"Eta", {2023, 12, 1}, false, {}, 1);              // 7
  tagged.entries = {MakeEntry({2023, 12, 2}, {L"Homework"})};
  doc.AddProject(tagged);
  doc.AddProject(MakeProject(L"Theta", {}));                                      // 8: no date at all
  return doc;
}

TEST(ProjectListRows, OrdersAndFilter) {
  const ProjectDocument doc = OrderDocument();
  struct Case {
    const wchar_t* query;
    int category;
    std::vector<int32_t> active, completed;
  } cases[] = {
      // No date sorts first (the invalid key is the smallest); equal starts keep the lower
      // id first; equal completion days put the higher id first.
      {L"", -1, {8, 7, 2, 1, 3}, {6, 5, 4}},
      // A tag word is found only in tags, never in titles.
      {L"#work", -1, {7, 2}, {}},
      {L"work", -1, {7, 2}, {6}},
      {L"#WORK report", -1, {2}, {}},
      {L"#report", -1, {}, {}},
      {L"  ", -1, {8, 7, 2, 1, 3}, {6, 5, 4}},
      {L"#", -1, {8, 7, 2, 1, 3}, {6, 5, 4}},
      {L"", 1, {7, 3}, {}},
      {L"", 2, {}, {5}},
      {L"eta", 0, {8, 2}, {6}},
      {L"nothing here", -1, {}, {}},
  };
  for (const Case& c : cases) {
    Lists lists = BuildLists(doc, Filter{c.query, c.category});
    EXPECT_EQ(lists.active, c.active) << "query '" << testing::PrintToString(std::wstring(c.query)) << "' category "
                                      << c.category;
    EXPECT_EQ(lists.completed, c.completed) << "query " << testing::PrintToString(std::wstring(c.query));
    EXPECT_EQ(lists.RowCount(), c.active.size() + c.completed.size());
  }
}

TEST(ProjectListRows, SelectionSurvivesOnlyWhileShown) {
  ProjectDocument doc = OrderDocument();
  EXPECT_EQ(KeptSelection(doc, 3, Filter{}), 3);
  EXPECT_EQ(KeptSelection(doc, 3, Filter{L"", 1}), 3);
  EXPECT_EQ(KeptSelection(doc, 3, Filter{L"", 0}), 0);  // a category that excludes it
  EXPECT_EQ(KeptSelection(doc, 3, Filter{L"#work", -1}), 0);
  EXPECT_EQ(KeptSelection(doc, 0, Filter{}), 0);
  doc.RemoveProject(3);
  EXPECT_EQ(KeptSelection(doc, 3, Filter{}), 0);

  std::vector<int32_t> rows{8, 7, 2};
  EXPECT_EQ(RowOf(rows, 2), 2);
  EXPECT_EQ(RowOf(rows, 5), -1);
  EXPECT_EQ(RowOf(rows, 0), -1);
}

TEST(ProjectListRows, FilterFromTheHeaderControls) {
  std::wstring longText(600, L'a');
  EXPECT_EQ(MakeFilter(longText, 0).searchText.size(), kMaxSearchLength);
  // A surrogate pair across the limit is dropped whole rather than cut in half.
  std::wstring pair = std::wstring(kMaxSearchLength - 1, L'a') + L"\xD83D\xDE00" + L"b";
  EXPECT_EQ(MakeFilter(pair, 0).searchText, std::wstring(kMaxSearchLength - 1, L'a'));
  EXPECT_EQ(MakeFilter(L"x", 0).searchText, L"x");

  struct {
    int item, filter;
  } items[] = {{0, -1}, {1, 0}, {2, 1}, {3, 2}, {-1, -1}, {4, -1}, {100, -1}};
  for (auto c : items) EXPECT_EQ(MakeFilter(L"", c.item).categoryFilter, c.filter) << "item " << c.item;
  EXPECT_FALSE(MakeFilter(L"", 0).IsActive());
  EXPECT_TRUE(MakeFilter(L"", 1).IsActive());
  EXPECT_TRUE(MakeFilter(L"a", 0).IsActive());
}

TEST(ProjectListTexts, SubtitlePerLanguage) {
  Project sameDay = MakeProject(L"Same", {2024, 3, 5});
  sameDay.endDate = {2024, 3, 5};
  Project span = MakeProject(L"Span", {2024, 3, 5}, false, {}, 2);
  span.endDate = {2024, 4, 20};
  span.entries = {MakeEntry({2024, 3, 6}), MakeEntry({2024, 3, 7}), MakeEntry({2024, 3, 9})};
  Project done = MakeProject(L"Done", {2024, 1, 2}, true, {2024, 6, 1}, 1);
  Project doneNoDate = MakeProject(L"Old", {2024, 1, 2}, true, {});
  doneNoDate.entries = {MakeEntry({2024, 2, 14})};
  Project noStart = MakeProject(L"Loose", {});
  noStart.category = 7;  // shown as personal
  noStart.entries = {MakeEntry({2024, 8, 9})};
  Project nothing = MakeProject(L"", {});

  struct Case {
    int language;
    const Project* project;
    const wchar_t* expected;
  } cases[] = {
      {i18n::kKorean, &sameDay, L"개인  ·  2024-03-05 ~"},
      {i18n::kKorean, &span, L"외부  ·  2024-03-05 ~ 2024-04-20  ·  내용 3건"},
      {i18n::kKorean, &done, L"내부  ·  완료 2024-06-01"},
      {i18n::kKorean, &doneNoDate, L"개인  ·  완료 2024-02-14  ·  내용 1건"},
      {i18n::kKorean, &noStart, L"개인  ·  2024-08-09 ~  ·  내용 1건"},
      {i18n::kKorean, &nothing, L"개인  ·   ~"},
      {i18n::kEnglish, &span, L"External  ·  03/05/2024 ~ 04/20/2024  ·  Entries: 3"},
      {i18n::kEnglish, &done, L"Internal  ·  Completed 06/01/2024"},
      {i18n::kFrench, &sameDay, L"Personnel  ·  05/03/2024 ~"},
      {i18n::kGerman, &done, L"Intern  ·  Abgeschlossen am 01.06.2024"},
      {i18n::kJapanese, &span, L"社外  ·  2024-03-05 ~ 2024-04-20  ·  エントリ 3 件"},
  };
  for (const Case& c : cases) {
    LanguageScope language(c.language);
    EXPECT_EQ(SubtitleText(*c.project), c.expected) << "language " << c.language << " project "
                                                    << testing::PrintToString(c.project->title);
  }
  LanguageScope english(i18n::kEnglish);
  EXPECT_EQ(TitleText(nothing), L"(Untitled)");
  EXPECT_EQ(TitleText(span), L"Span");
  EXPECT_EQ(CategoryShortName(-1), L"Personal");
}

TEST(ProjectListTexts, ThirdLineIsTheLatestRequest) {
  Project p = MakeProject(L"AI", {2024, 3, 1});
  EXPECT_EQ(ThirdLineText(p), L"");  // no entries
  p.entries = {MakeEntry({2024, 3, 1}, {}, L"plain notes only\n")};
  EXPECT_EQ(ThirdLineText(p), L"");  // no AI prompt filed

  p.entries.push_back(MakeEntry({2024, 3, 2}, {},
                                L"[VS Code Chat · 09:15:00 · gpt-5]\n \t\r\n  Fix the build  \r\nand the tests\n"
                                L"기록: C:\\work\\Quenlor\\x\n"));
  p.entries.push_back(MakeEntry({2024, 3, 1}, {},
                                L"[VS Code Codex · 23:59:00 · o3]\nOlder day, later time\n"));
  EXPECT_EQ(ThirdLineText(p), L"Fix the build");

  // A prompt that carried only an image reads as such.
  LanguageScope english(i18n::kEnglish);
  p.entries.push_back(MakeEntry({2024, 3, 4}, {}, L"[VS Code Claude Code · 08:00:00]\n\n첨부: a.png\n"));
  EXPECT_EQ(ThirdLineText(p), L"Image or attachment sent");
}

TEST(ProjectListTexts, EmptyListsAndStatus) {
  LanguageScope korean(i18n::kKorean);
  const Filter none{}, search{L"x", -1}, category{L"", 2};
  EXPECT_EQ(EmptyListText(kActiveList, none),
            L"진행중인 프로젝트가 없습니다.\n캘린더의 날짜를 더블클릭하여\n새 프로젝트를 등록하세요.");
  EXPECT_EQ(EmptyListText(kCompletedList, none),
            L"완료된 프로젝트가 없습니다.\n프로젝트 창에서 '완료된 프로젝트'를\n체크하면 이곳에 표시됩니다.");
  for (const Filter& f : {search, category}) {
    EXPECT_EQ(EmptyListText(kActiveList, f), L"검색 결과가 없습니다.\n검색어나 프로젝트 구분을 변경하세요.");
    EXPECT_EQ(EmptyListText(kCompletedList, f), EmptyListText(kActiveList, f));
  }
  EXPECT_EQ(FilterStatusText(none, 12), L"모든 프로젝트를 표시합니다.");
  EXPECT_EQ(FilterStatusText(search, 0), L"검색 결과: 프로젝트 0개");
  EXPECT_EQ(FilterStatusText(category, 3), L"검색 결과: 프로젝트 3개");
}

TEST(ProjectListCommands, CalendarRevealAndDialogDates) {
  Project p = MakeProject(L"P", {2024, 3, 10});
  p.endDate = {2024, 5, 1};
  p.entries = {MakeEntry({2024, 4, 2}), MakeEntry({2024, 4, 20})};
  auto inMarch = [](const Date& d) { return d.year == 2024 && d.month == 3; };
  auto inApril = [](const Date& d) { return d.year == 2024 && d.month == 4; };
  auto inJune = [](const Date& d) { return d.year == 2024 && d.month == 6; };
  EXPECT_TRUE(VisibleOnCalendar(p, inMarch, Date{}));
  EXPECT_TRUE(VisibleOnCalendar(p, inApril, Date{}));  // by an entry only
  EXPECT_FALSE(VisibleOnCalendar(p, inJune, Date{2024, 6, 1}));
  EXPECT_TRUE(VisibleOnCalendar(p, inJune, Date{2024, 3, 30}));  // the selected day lies in its span
  Project loose = MakeProject(L"L", {});
  EXPECT_FALSE(VisibleOnCalendar(loose, [](const Date&) { return true; }, Date{2024, 1, 1}));

  EXPECT_EQ(RevealDate(p), (Date{2024, 3, 10}));
  loose.entries = {MakeEntry({2024, 2, 2}), MakeEntry({2024, 1, 9})};
  EXPECT_EQ(RevealDate(loose), (Date{2024, 1, 9}));
  EXPECT_EQ(RevealDate(MakeProject(L"E", {})), Date{});

  EXPECT_EQ(ManageDate(p, Date{2024, 9, 9}), (Date{2024, 9, 9}));
  EXPECT_EQ(ManageDate(p, Date{}), (Date{2024, 4, 20}));
  EXPECT_EQ(ManageDate(MakeProject(L"E", {}), Date{2024, 2, 30}), Date{});

  ProjectDocument doc;
  for (int color : {0, 0, 1}) {
    Project q = MakeProject(L"q", {2024, 1, 1});
    q.color = color;
    doc.AddProject(q);
  }
  Project fresh = NewProjectTemplate(doc, Date{2024, 2, 30}, 2, Date{2025, 1, 2});  // an invalid day means today
  EXPECT_EQ(std::tie(fresh.startDate, fresh.color, fresh.category), std::make_tuple(Date{2025, 1, 2}, 2, 2));
  EXPECT_EQ(NewProjectTemplate(doc, Date{2024, 7, 7}, -1, Date{}).category, 0);
  // Reopening forgets the completion day, so that completing again dates it anew.
  Project reopened = WithCompletion(WithCompletion(p, true, Date{2025, 1, 2}), false, Date{2025, 1, 3});
  EXPECT_FALSE(reopened.completed);
  EXPECT_EQ(reopened.completedDate, Date{});
}

std::vector<int> Commands(const std::vector<MenuLine>& lines) {
  std::vector<int> ids;
  for (const auto& l : lines) ids.push_back(l.command);
  return ids;
}

TEST(ProjectListMenus, ProjectMenuFollowsTheProject) {
  LanguageScope korean(i18n::kKorean);
  Project active = MakeProject(L"A", {2024, 1, 1});
  std::vector<MenuLine> lines = ProjectMenu(active);
  EXPECT_EQ(Commands(lines), (std::vector<int>{IDM_PROJECT_MANAGE, IDM_PROJECT_VSCODE, 0, IDM_PROJECT_COMPLETE,
                                               IDM_PROJECT_FOLDER, IDM_EXPORT_PROJECT, 0, IDM_PROJECT_DELETE}));
  EXPECT_EQ(lines[0].text, L"프로젝트 관리(&M)...\tEnter");
  EXPECT_EQ(lines[3].text, L"완료 처리(&C)");
  EXPECT_TRUE(lines[4].grayed);  // no location
  EXPECT_EQ(lines[7].text, L"삭제(&D)\tDel");

  Project done = active;
  done.completed = true;
  done.location = L"C:\\work";
  lines = ProjectMenu(done);
  EXPECT_EQ(lines[3], (MenuLine{IDM_PROJECT_REOPEN, L"진행중으로 되돌리기(&R)", false}));
  EXPECT_FALSE(lines[4].grayed);
  for (const auto& line : lines) {
    if (line.command != IDM_PROJECT_FOLDER) {
      EXPECT_FALSE(line.grayed) << line.command;
    }
  }
}

TEST(ProjectListMenus, CalendarMenuOfADay) {
  LanguageScope english(i18n::kEnglish);
  const Date day{2024, 7, 4};
  ProjectDocument doc;
  Project starts = MakeProject(L"Starts & ends", day);  // 1
  doc.AddProject(starts);
  Project ends = MakeProject(L"Ends", {2024, 6, 1});     // 2
  ends.endDate = day;
  doc.AddProject(ends);
  Project entry = MakeProject(L"", {2024, 1, 1});         // 3: untitled
  entry.entries = {MakeEntry(day)};
  doc.AddProject(entry);
  Project spans = MakeProject(L"Spans only", {2024, 7, 1});  // 4: covers the day but has no date on it
  spans.endDate = {2024, 7, 9};
  doc.AddProject(spans);

  EXPECT_EQ(CalendarMenuDay(Date{}, day), day);
  EXPECT_EQ(CalendarMenuDay(Date{2024, 7, 5}, day), (Date{2024, 7, 5}));

  EXPECT_EQ(CalendarMenuProjects(doc, day, 0), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(CalendarMenuProjects(doc, day, 3), (std::vector<int32_t>{3, 1, 2}));
  EXPECT_EQ(CalendarMenuProjects(doc, day, 4), (std::vector<int32_t>{4, 1, 2, 3}));
  EXPECT_EQ(CalendarMenuProjects(doc, day, 99), (std::vector<int32_t>{1, 2, 3}));  // a vanished project

  std::vector<MenuLine> lines = CalendarMenu(doc, day, CalendarMenuProjects(doc, day, 0));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], (MenuLine{IDM_CALENDAR_NEW, L"&New project on Jul 4, 2024 (Thu)…", false}));
  EXPECT_EQ(lines[1].command, 0);
  EXPECT_EQ(lines[2], (MenuLine{IDM_CALENDAR_MANAGE_FIRST, L"Manage: Starts && ends", false}));
  EXPECT_EQ(lines[3], (MenuLine{IDM_CALENDAR_MANAGE_FIRST + 1, L"Manage: Ends", false}));
  EXPECT_EQ(lines[4], (MenuLine{IDM_CALENDAR_MANAGE_FIRST + 2, L"Manage: (Untitled)", false}));
  // Tabs and line breaks would split or break a menu item; a blank title is not empty.
  EXPECT_EQ(MenuTitle(L"a\tb\r\nc&&"), L"a b  c&&&&");
  EXPECT_EQ(MenuTitle(L" "), L" ");

  // An empty day offers only the new project, without a separator.
  Date empty{2024, 7, 20};
  EXPECT_EQ(Commands(CalendarMenu(doc, empty, CalendarMenuProjects(doc, empty, 0))),
            (std::vector<int>{IDM_CALENDAR_NEW}));

  LanguageScope korean(i18n::kKorean);
  EXPECT_EQ(CalendarMenu(doc, day, {})[0].text, L"2024년 7월 4일 (목)에 새 프로젝트 등록(&N)...");
}

TEST(ProjectListMenus, CalendarMenuStopsAtOneThousand) {
  const Date day{2024, 7, 4};
  ProjectDocument doc;
  for (int i = 0; i < 1005; ++i) doc.AddProject(MakeProject(L"p", day));
  std::vector<int32_t> ids = CalendarMenuProjects(doc, day, 1005);
  ASSERT_EQ(ids.size(), kMaxDayMenuProjects);
  EXPECT_EQ(ids.front(), 1005);
  EXPECT_EQ(ids[1], 1);
  EXPECT_EQ(ids.back(), 999);
  std::vector<MenuLine> lines = CalendarMenu(doc, day, ids);
  EXPECT_EQ(lines.back().command, IDM_CALENDAR_MANAGE_LAST);
  // Longer id lists (from any caller) never produce commands beyond the range.
  ids.push_back(1000);
  EXPECT_EQ(CalendarMenu(doc, day, ids).back().command, IDM_CALENDAR_MANAGE_LAST);
}

}  // namespace
