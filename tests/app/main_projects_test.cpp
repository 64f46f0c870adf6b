// The project lists, the project commands and the calendar's day menu, driven through the
// main window by the messages a user's typing, clicks and keys produce.
#include <gtest/gtest.h>

#include "app/project_list.h"
#include "app/project_list_box.h"
#include "main_window_fixture.h"
#include "resources/command_ids.h"
#include "ui/kit/snapshot.h"
#include "views/project_dialog.h"
#include "views/project_dialog_state.h"

namespace {

using apptest::MainWindowTest;
using mainwindow::MainWindow;

Entry MakeEntry(const Date& date, std::vector<std::wstring> tags = {}, std::wstring text = L"note") {
  Entry e;
  e.date = date;
  e.text = std::move(text);
  e.tags = std::move(tags);
  return e;
}

Project MakeProject(const wchar_t* title, const Date& start, int32_t category = 0) {
  Project p;
  p.title = title;
  p.startDate = start;
  p.category = category;
  return p;
}

std::vector<int32_t> Rows(HWND list) {
  std::vector<int32_t> ids;
  int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) ids.push_back(static_cast<int32_t>(SendMessageW(list, LB_GETITEMDATA, i, 0)));
  return ids;
}

class MainProjectsTest : public MainWindowTest {
 protected:
  // The document every case starts from; ids follow the order here, from 1.
  MainWindow& CreateWithProjects() {
    MainWindow& main = Create();
    Show();
    std::vector<Project> projects;
    projects.push_back(MakeProject(L"Alpha", {2026, 12, 10}));
    projects.back().entries = {MakeEntry({2026, 12, 10}, {L"#work-log"})};
    projects.push_back(MakeProject(L"Bravo", {}));  // placed by its earliest entry
    projects.back().entries = {MakeEntry({2026, 12, 5}), MakeEntry({2026, 12, 20}, {L"#homework"})};
    projects.push_back(MakeProject(L"Charlie", {2026, 12, 1}, 2));
    projects.back().endDate = {2026, 12, 1};
    for (const wchar_t* title : {L"Delta", L"Echo"}) {
      projects.push_back(MakeProject(title, {2026, 11, 1}, 1));
      projects.back().completed = true;
      projects.back().completedDate = {2026, 12, 15};
    }
    projects.push_back(MakeProject(L"Foxtrot", {2026, 12, 12}));
    projects.back().entries = {MakeEntry({2026, 12, 12}), MakeEntry({2026, 12, 14}),
                               MakeEntry({2026, 12, 18}, {}, L"[VS Code Codex · 10:00:00 · o3]\n\n  Tidy the importer\nmore\n")};
    EXPECT_TRUE(main.ApplyEdit(
        [&](ProjectDocument& document) {
          for (auto& p : projects) document.AddProject(p);
          return true;
        },
        L"seeded"));
    return main;
  }

  HWND List(MainWindow& main, int id) { return main.child(id); }

  void Type(MainWindow& main, std::wstring_view text) {
    HWND search = main.child(mainwindow::kSearchBoxId);
    for (wchar_t c : text) SendMessageW(search, WM_CHAR, c, 1);
  }

  void ChooseCategory(MainWindow& main, int item) {
    HWND box = main.child(mainwindow::kCategoryBoxId);
    SendMessageW(box, CB_SETCURSEL, item, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(mainwindow::kCategoryBoxId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
  }

  // A left click in the middle of a row.
  void ClickRow(HWND list, int row) {
    RECT r{};
    ASSERT_NE(SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r)), LB_ERR);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
  }

  static void Key(HWND target, WPARAM key) { SendMessageW(target, WM_KEYDOWN, key, 1); }
};

void Click(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

TEST_F(MainProjectsTest, ListsFollowTheirOrdersAndRowTexts) {
  auto& main = CreateWithProjects();
  HWND active = List(main, mainwindow::kActiveListId);
  HWND completed = List(main, mainwindow::kCompletedListId);
  // Charlie starts 1 Dec, Bravo has no start but an entry on 5 Dec, then Alpha and Foxtrot.
  EXPECT_EQ(Rows(active), (std::vector<int32_t>{3, 2, 1, 6}));
  // Completed the same day: the higher id first.
  EXPECT_EQ(Rows(completed), (std::vector<int32_t>{5, 4}));
  EXPECT_EQ(main.StatusPartText(3), L"Active: 4  ·  Completed: 2");

  // The rows' texts: start and end on one day read as open-ended, entries are counted and
  // the latest AI request is the third line.
  struct Case {
    int32_t id;
    std::wstring subtitle;
    std::wstring thirdLine;
  } cases[] = {
      {3, L"External  ·  12/01/2026 ~", L""},
      {2, L"Personal  ·  12/05/2026 ~  ·  Entries: 2", L""},
      {6, L"Personal  ·  12/12/2026 ~  ·  Entries: 3", L"Tidy the importer"},
      {5, L"Internal  ·  Completed 12/15/2026", L""},
  };
  for (const Case& c : cases) {
    const Project* p = main.document().Find(c.id);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(projectlist::SubtitleText(*p), c.subtitle);
    EXPECT_EQ(projectlist::ThirdLineText(*p), c.thirdLine);
  }
}

TEST_F(MainProjectsTest, TypingAndCategoriesFilterTheListsAndTheSelection) {
  auto& main = CreateWithProjects();
  HWND active = List(main, mainwindow::kActiveListId);
  HWND completed = List(main, mainwindow::kCompletedListId);

  // Every keystroke filters: "#work" keeps the projects with a tag containing "work".
  Type(main, L"#work");
  EXPECT_EQ(main.filter().searchText, L"#work");
  EXPECT_EQ(Rows(active), (std::vector<int32_t>{2, 1}));
  EXPECT_TRUE(Rows(completed).empty());
  EXPECT_EQ(main.statusMessage(), L"Search results: 2 project(s)");
  EXPECT_EQ(projectlist::EmptyText(completed), L"No results.\nChange the search or project category.");

  // A click selects the row and marks the project on the calendar.
  ClickRow(active, 1);
  EXPECT_EQ(main.selectedProjectId(), 1);
  EXPECT_EQ(calendar::GetSelectedProject(main.calendar()), 1);
  EXPECT_EQ(main.statusMessage(), L"Showing “Alpha” in the calendar.");

  // Escape in the search box resets text and category; the selection stays.
  MSG escape{main.child(mainwindow::kSearchBoxId), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
  EXPECT_TRUE(main.PreTranslate(escape));
  EXPECT_EQ(Rows(active).size(), 4u);
  EXPECT_EQ(main.statusMessage(), L"Showing all projects.");
  EXPECT_EQ(main.selectedProjectId(), 1);

  // A category that leaves the selected project out clears the selection and the
  // calendar's highlight.
  ChooseCategory(main, 3);  // external
  EXPECT_EQ(main.filter().categoryFilter, 2);
  EXPECT_EQ(Rows(active), (std::vector<int32_t>{3}));
  EXPECT_EQ(main.selectedProjectId(), 0);
  EXPECT_EQ(calendar::GetSelectedProject(main.calendar()), 0);
  EXPECT_EQ(main.statusMessage(), L"Search results: 1 project(s)");

  // No match at all: both lists say so.
  Type(main, L"zzz");
  EXPECT_TRUE(Rows(active).empty());
  EXPECT_EQ(projectlist::EmptyText(active), projectlist::EmptyText(completed));
  EXPECT_EQ(main.statusMessage(), L"Search results: 0 project(s)");

  // The category survives a language switch.
  main.RunCommand(IDM_LANGUAGE_FIRST + i18n::kKorean);
  EXPECT_EQ(SendMessageW(main.child(mainwindow::kCategoryBoxId), CB_GETCURSEL, 0, 0), 3);
  EXPECT_EQ(main.filter().categoryFilter, 2);
  EXPECT_EQ(projectlist::EmptyText(active), L"검색 결과가 없습니다.\n검색어나 프로젝트 구분을 변경하세요.");

  // Reset: everything back, and the unfiltered lists show their own hints when empty.
  main.RunCommand(IDM_RESET_SEARCH);
  EXPECT_EQ(main.filter().categoryFilter, -1);
  EXPECT_EQ(Rows(active).size() + Rows(completed).size(), 6u);
}

TEST_F(MainProjectsTest, ListKeysOpenTheDialogAskBeforeDeletingAndClear) {
  auto& main = CreateWithProjects();
  HWND active = List(main, mainwindow::kActiveListId);
  ClickRow(active, 3);
  ASSERT_EQ(main.selectedProjectId(), 6);

  // Enter: the dialog over the disabled main window, on the latest entry's date.
  Date opened{};
  bool wasNew = true, ownerEnabled = true;
  onDialog = [&](HWND dialog) {
    ownerEnabled = IsWindowEnabled(window) != FALSE;
    opened = projectdlg::StateOf(dialog)->defaultDate;
    wasNew = projectdlg::StateOf(dialog)->isNew;
    Click(dialog, projectdlg::kCancelId);
  };
  Key(active, VK_RETURN);
  EXPECT_EQ(dialogsShown, 1);
  EXPECT_EQ(opened, (Date{2026, 12, 18}));
  EXPECT_FALSE(wasNew);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_TRUE(IsWindowEnabled(window));

  // Delete asks; No keeps the project, Yes removes it.
  answers = {IDNO, IDYES};
  Key(active, VK_DELETE);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].caption, L"Delete project");
  EXPECT_EQ(messages[0].text, L"Delete “Foxtrot”?\nThis cannot be undone.");
  EXPECT_EQ(messages[0].flags & 0xF, UINT{MB_YESNO});
  EXPECT_NE(main.document().Find(6), nullptr);
  Key(active, VK_DELETE);
  EXPECT_EQ(main.document().Find(6), nullptr);
  EXPECT_EQ(main.selectedProjectId(), 0);
  EXPECT_EQ(main.statusMessage(), L"Deleted “Foxtrot”.");
  EXPECT_EQ(Rows(active), (std::vector<int32_t>{3, 2, 1}));

  // Escape clears the selection and the status returns to "Ready".
  ClickRow(active, 0);
  ASSERT_EQ(main.selectedProjectId(), 3);
  Key(active, VK_ESCAPE);
  EXPECT_EQ(main.selectedProjectId(), 0);
  EXPECT_EQ(SendMessageW(active, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(calendar::GetSelectedProject(main.calendar()), 0);
  EXPECT_EQ(main.statusMessage(), L"Ready");
  // With nothing selected the commands that need a project do nothing.
  size_t asked = messages.size();
  main.RunCommand(IDM_PROJECT_DELETE);
  main.RunCommand(IDM_PROJECT_MANAGE);
  main.RunCommand(IDM_PROJECT_COMPLETE);
  EXPECT_EQ(messages.size(), asked);
  EXPECT_EQ(dialogsShown, 1);
}

TEST_F(MainProjectsTest, RightClickSelectsAndTheMenuFollowsTheProjectsState) {
  auto& main = CreateWithProjects();
  HWND completed = List(main, mainwindow::kCompletedListId);
  std::vector<UINT> items;
  int choice = IDM_PROJECT_REOPEN;
  projectlist::SetMenuTrackHandler([&](HMENU menu, POINT) {
    items.clear();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) items.push_back(GetMenuItemID(menu, i));
    return choice;
  });

  // The right button selects the row it lands on; the release brings the menu.
  RECT r{};
  SendMessageW(completed, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  SendMessageW(completed, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
  EXPECT_EQ(main.selectedProjectId(), 4);
  ClientToScreen(completed, &at);
  SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(completed), MAKELPARAM(at.x, at.y));
  ASSERT_EQ(items.size(), 8u);
  EXPECT_EQ(items[3], UINT{IDM_PROJECT_REOPEN}) << "a completed project offers to go back in progress";

  // Choosing it moves the project back to the active list, in its order.
  EXPECT_FALSE(main.document().Find(4)->completed);
  EXPECT_FALSE(dates::IsValid(main.document().Find(4)->completedDate));
  EXPECT_EQ(Rows(completed), (std::vector<int32_t>{5}));
  EXPECT_EQ(Rows(List(main, mainwindow::kActiveListId)), (std::vector<int32_t>{4, 3, 2, 1, 6}));
  EXPECT_EQ(main.statusMessage(), L"Reopened “Delta”.");

  // From the keyboard, on an active project: "complete" instead, which completes it today.
  choice = IDM_PROJECT_COMPLETE;
  SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List(main, mainwindow::kActiveListId)),
               MAKELPARAM(-1, -1));
  EXPECT_EQ(items[3], UINT{IDM_PROJECT_COMPLETE});
  EXPECT_TRUE(main.document().Find(4)->completed);
  EXPECT_EQ(main.statusMessage(), L"Marked “Delta” complete.");

  // The menu bar agrees with the selection.
  HMENU projectMenu = GetSubMenu(GetMenu(window), 1);
  SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(projectMenu), 1);
  EXPECT_TRUE(GetMenuState(projectMenu, IDM_PROJECT_COMPLETE, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_FALSE(GetMenuState(projectMenu, IDM_PROJECT_REOPEN, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(projectMenu, IDM_PROJECT_FOLDER, MF_BYCOMMAND) & MF_GRAYED) << "no folder set";

  // Nothing selected: a right click on empty list space shows no menu.
  items.clear();
  Key(completed, VK_ESCAPE);
  SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(completed), MAKELPARAM(-1, -1));
  EXPECT_TRUE(items.empty());
}

TEST_F(MainProjectsTest, NewProjectsFromTheButtonAndTheCalendarsDayMenu) {
  auto& main = CreateWithProjects();
  HWND cal = main.calendar();
  auto notify = [&](UINT code, const Date& date, int32_t project) {
    calendar::CalendarNotification n{};
    n.header.hwndFrom = cal;
    n.header.idFrom = mainwindow::kCalendarId;
    n.header.code = code;
    n.date = date;
    n.projectId = project;
    n.point = POINT{40, 50};
    SendMessageW(window, WM_NOTIFY, mainwindow::kCalendarId, reinterpret_cast<LPARAM>(&n));
  };
  std::vector<UINT> items;
  int choice = IDM_CALENDAR_NEW;
  projectlist::SetMenuTrackHandler([&](HMENU menu, POINT) {
    items.clear();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) items.push_back(GetMenuItemID(menu, i));
    return choice;
  });
  Date shownStart{};
  onDialog = [&](HWND dialog) {
    shownStart = projectdlg::StateOf(dialog)->defaultDate;
    SetWindowTextW(GetDlgItem(dialog, projectdlg::kTitleId), L"Day & night");
    Click(dialog, projectdlg::kSaveId);
  };

  // An empty day: the new-project item alone, and it starts the project on that day.
  notify(calendar::CalendarContextMenu, {2027, 2, 3}, 0);
  EXPECT_EQ(items, (std::vector<UINT>{IDM_CALENDAR_NEW}));
  EXPECT_EQ(shownStart, (Date{2027, 2, 3}));
  const int32_t created = main.selectedProjectId();
  ASSERT_EQ(created, 7);
  EXPECT_EQ(main.document().Find(created)->startDate, (Date{2027, 2, 3}));
  EXPECT_EQ(main.statusMessage(), L"Created “Day & night”.");
  EXPECT_EQ(calendar::GetSelectedDate(cal), (Date{2027, 2, 3})) << "revealed on the calendar";

  // A busy day: the notified project first, then the day's others; "manage" opens it on that day.
  choice = IDM_CALENDAR_MANAGE_FIRST + 1;
  onDialog = [&](HWND dialog) {
    shownStart = projectdlg::StateOf(dialog)->defaultDate;
    EXPECT_EQ(projectdlg::StateOf(dialog)->project.id, 1);
    Click(dialog, projectdlg::kCancelId);
  };
  notify(calendar::CalendarContextMenu, {2026, 12, 10}, 2);
  EXPECT_EQ(items, (std::vector<UINT>{IDM_CALENDAR_NEW, 0, IDM_CALENDAR_MANAGE_FIRST, IDM_CALENDAR_MANAGE_FIRST + 1}));
  EXPECT_EQ(shownStart, (Date{2026, 12, 10}));
  EXPECT_EQ(main.selectedProjectId(), 1);

  // The button uses the calendar's selected date, and the category the filter shows.
  ChooseCategory(main, 2);  // internal
  int32_t category = -1;
  onDialog = [&](HWND dialog) {
    category = projectdlg::StateOf(dialog)->project.category;
    SetWindowTextW(GetDlgItem(dialog, projectdlg::kTitleId), L"From the button");
    Click(dialog, projectdlg::kSaveId);
  };
  HWND button = main.child(mainwindow::kNewProjectButtonId);
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(mainwindow::kNewProjectButtonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  EXPECT_EQ(category, 1);
  EXPECT_EQ(main.selectedProjectId(), 8);
  EXPECT_EQ(main.document().Find(8)->startDate, calendar::GetSelectedDate(cal));
  EXPECT_EQ(Rows(List(main, mainwindow::kActiveListId)).size(), 1u) << "the new internal project shows";

  // A clicked project item selects without a dialog; a double-click opens it on its date.
  main.RunCommand(IDM_RESET_SEARCH);
  int before = dialogsShown;
  notify(calendar::CalendarProjectClicked, {2026, 12, 5}, 2);
  EXPECT_EQ(main.selectedProjectId(), 2);
  EXPECT_EQ(dialogsShown, before);
  onDialog = nullptr;
  notify(calendar::CalendarOpenProject, {2026, 12, 20}, 2);
  EXPECT_EQ(dialogsShown, before + 1);
}

TEST_F(MainProjectsTest, SavedAndDeletedThroughTheDialogAndTheFolderCommand) {
  auto& main = CreateWithProjects();
  HWND active = List(main, mainwindow::kActiveListId);
  ClickRow(active, 2);  // Alpha
  ASSERT_EQ(main.selectedProjectId(), 1);

  // The folder command: no folder, a missing one, an existing one.
  main.RunCommand(IDM_PROJECT_FOLDER);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].caption, L"Open folder");
  EXPECT_EQ(messages[0].flags & MB_ICONMASK, UINT{MB_ICONINFORMATION});

  testpaths::TempDir folder;
  onDialog = [&](HWND dialog) {
    SetWindowTextW(GetDlgItem(dialog, projectdlg::kTitleId), L"Alpha renamed");
    SetWindowTextW(GetDlgItem(dialog, projectdlg::kLocationId), folder.path().c_str());
    Click(dialog, projectdlg::kSaveId);
  };
  main.RunCommand(IDM_PROJECT_MANAGE);
  EXPECT_EQ(main.document().Find(1)->title, L"Alpha renamed");
  EXPECT_EQ(main.document().Find(1)->location, folder.path());
  EXPECT_EQ(main.statusMessage(), L"Saved “Alpha renamed”.");
  EXPECT_EQ(main.selectedProjectId(), 1);
  EXPECT_EQ(projectlist::SelectedRowId(active), 1) << "its row is selected again";
  EXPECT_FALSE(main.modified()) << "auto-save wrote it";

  main.RunCommand(IDM_PROJECT_FOLDER);
  EXPECT_EQ(revealed, (std::vector<std::wstring>{folder.path()}));
  const std::wstring gone = folder.path() + L"\\missing";
  ASSERT_TRUE(main.ApplyEdit(
      [&](ProjectDocument& d) {
        d.Find(1)->location = gone;
        return true;
      },
      L"moved"));
  main.RunCommand(IDM_PROJECT_FOLDER);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].text, L"Folder not found.\n" + gone);

  // Delete from the dialog (which asks itself) removes it and clears the selection.
  answers = {IDYES};
  onDialog = [&](HWND dialog) { Click(dialog, projectdlg::kDeleteId); };
  main.RunCommand(IDM_PROJECT_MANAGE);
  EXPECT_EQ(main.document().Find(1), nullptr);
  EXPECT_EQ(main.selectedProjectId(), 0);
  EXPECT_EQ(main.statusMessage(), L"Deleted “Alpha renamed”.");
}

}  // namespace

namespace {

using apptest::MainWindowTest;

// Thirty projects as a person would have them after a few months: categories, colours,
// dated entries with tags, some with AI requests, a third of them completed.
std::vector<Project> RealisticProjects() {
  const wchar_t* titles[] = {
      L"사내 포털 리뉴얼",        L"Payment gateway migration", L"모바일 앱 2.0 출시",     L"Data warehouse cleanup",
      L"고객 설문 분석",          L"Design system tokens",       L"신규 입사자 온보딩 가이드", L"Release train Q1",
      L"보안 점검 대응",          L"Invoice OCR prototype",      L"홈페이지 다국어 지원",    L"Search relevance tuning",
      L"물류 대시보드",           L"Kubernetes cost review",     L"개인 블로그 이전",        L"API rate limiting",
      L"연말 정산 자동화",        L"Accessibility audit",        L"파트너사 연동 API",       L"Photo backup script",
      L"사내 위키 정리",          L"CI pipeline speed-up",       L"마케팅 랜딩 페이지",      L"Customer churn model",
      L"데이터 백업 정책",        L"Offline sync for notes",     L"사진 정리 프로젝트",      L"Legacy PHP retirement",
      L"교육 자료 번역",          L"Quarterly OKR review"};
  const wchar_t* tags[] = {L"#design", L"#backend", L"#work", L"#research", L"#urgent", L"#home"};
  std::vector<Project> projects;
  for (int i = 0; i < 30; ++i) {
    Project p;
    p.title = titles[i];
    p.category = i % 3;
    p.color = i % 12;
    p.startDate = {2026, 11 + (i % 2), 1 + (i * 7) % 27};
    if (i % 4 == 1) p.endDate = {2027, 1, 5 + i % 20};
    int entries = i % 4;
    for (int e = 0; e < entries; ++e) {
      Entry entry;
      entry.date = {2026, 12, 1 + (i + e * 5) % 28};
      entry.tags = {tags[(i + e) % 6]};
      const wchar_t* request = i % 2 == 0 ? L"[VS Code Codex · 10:12:00 · o3]\n\n로그인 화면의 오류 메시지를 정리하고 테스트를 추가해 줘\n"
                                          : L"[VS Code Claude Code · 16:40:00]\nSplit the importer into reader and writer steps\n";
      entry.text = e == entries - 1 && i % 3 != 2 ? request : L"회의 메모";
      p.entries.push_back(entry);
    }
    if (i % 3 == 2) {
      p.completed = true;
      p.completedDate = {2026, 12, 1 + i % 20};
    }
    projects.push_back(std::move(p));
  }
  return projects;
}

TEST_F(MainWindowTest, ProjectListScreenshots) {
  for (int language : {i18n::kKorean, i18n::kEnglish}) {
    testpaths::LanguageScope scope(language);
    const std::wstring suffix = language == i18n::kKorean ? L"-ko" : L"-en";
    // A file of its own per language: the first run's auto-save must not seed the second.
    auto& main = Create(documents / (L"lists" + suffix + L".qlproj"));
    calendar::SetFixedToday(main.calendar(), {2026, 12, 8});
    Show();
    if (HWND notes = main.releaseNotesWindow()) SendMessageW(notes, WM_CLOSE, 0, 0);
    testui::PumpMessages();
    std::vector<Project> projects = RealisticProjects();
    ASSERT_TRUE(main.ApplyEdit(
        [&](ProjectDocument& d) {
          for (auto& p : projects) d.AddProject(p);
          return true;
        },
        L"seeded"));
    HWND active = main.child(mainwindow::kActiveListId);
    HWND completed = main.child(mainwindow::kCompletedListId);
    ASSERT_EQ(SendMessageW(active, LB_GETCOUNT, 0, 0), 20);
    ASSERT_EQ(SendMessageW(completed, LB_GETCOUNT, 0, 0), 10);

    // Unfiltered, with the second row selected and the fourth under the mouse.
    RECT r{};
    SendMessageW(active, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM(r.left + 40, (r.top + r.bottom) / 2);
    SendMessageW(active, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(active, WM_LBUTTONUP, 0, at);
    ASSERT_NE(main.selectedProjectId(), 0);
    SendMessageW(active, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r));
    SendMessageW(active, WM_MOUSEMOVE, 0, MAKELPARAM(r.left + 40, (r.top + r.bottom) / 2));
    EXPECT_EQ(projectlist::HoverItem(active), 3);
    testui::PumpMessages();
    EXPECT_TRUE(kit::SaveWindowPng(window, testui::ScreenshotPath(L"main-lists" + suffix)));

    // A tag search and a category: fewer rows, the status counts them.
    HWND search = main.child(mainwindow::kSearchBoxId);
    for (wchar_t c : std::wstring_view(L"#design")) SendMessageW(search, WM_CHAR, c, 1);
    HWND box = main.child(mainwindow::kCategoryBoxId);
    SendMessageW(box, CB_SETCURSEL, 1, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(mainwindow::kCategoryBoxId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    size_t rows = SendMessageW(active, LB_GETCOUNT, 0, 0) + SendMessageW(completed, LB_GETCOUNT, 0, 0);
    EXPECT_GT(rows, 0u);
    EXPECT_LT(rows, 30u);
    EXPECT_EQ(main.statusMessage(), projectlist::FilterStatusText(main.filter(), rows));
    testui::PumpMessages();
    EXPECT_TRUE(kit::SaveWindowPng(window, testui::ScreenshotPath(L"main-lists-filtered" + suffix)));
    DestroyWindow(window);
    testui::PumpMessages();
    window = nullptr;
  }
}

}  // namespace
