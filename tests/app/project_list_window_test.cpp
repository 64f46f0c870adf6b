// The two project list boxes in a plain parent: filling, keys, mouse, menus and rows
// painted in Korean and English (PNGs under build/screenshots).
#include <gtest/gtest.h>
#include <windowsx.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/project_list.h"
#include "app/project_list_box.h"
#include "app/project_list_menu.h"
#include "app/project_list_painter.h"
#include "i18n/language.h"
#include "resources/command_ids.h"
#include "support/language_scope.h"
#include "support/pixel_canvas.h"
#include "support/ui_env.h"
#include "ui/kit/colors.h"
#include "ui/kit/menus.h"
#include "ui/kit/snapshot.h"

namespace {

using namespace projectlist;
using testpaths::LanguageScope;
using testui::PixelCanvas;

constexpr int kActiveId = 1002;
constexpr int kCompletedId = 1003;

struct Command {
  int id;
  int code;
  HWND from;
};

// Stands in for the main window: forwards owner-draw messages and records commands.
struct ListHost {
  const ProjectDocument* document = nullptr;
  kit::OwnedFontSet fonts{96};
  std::vector<Command> commands;
  int contextMenus = 0;
  HWND hwnd = nullptr;
  HWND active = nullptr;
  HWND completed = nullptr;

  explicit ListHost(const ProjectDocument* doc) : document(doc) {
    testui::EnsureUi();
    testui::RegisterTestClass(L"TavriloProjectListHost", Proc);
    hwnd = CreateWindowExW(0, L"TavriloProjectListHost", L"Lists", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 30, 30, 620,
                           520, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    active = CreateProjectList(hwnd, kActiveId, &fonts.get());
    completed = CreateProjectList(hwnd, kCompletedId, &fonts.get());
    for (HWND list : {active, completed}) {
      SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(fonts->body), FALSE);
      SendMessageW(list, LB_SETITEMHEIGHT, 0, kRowHeight);
    }
    MoveWindow(active, 10, 10, 290, 460, FALSE);
    MoveWindow(completed, 310, 10, 290, 460, FALSE);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  }
  ~ListHost() {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
  ListHost(const ListHost&) = delete;
  ListHost& operator=(const ListHost&) = delete;

  void Fill(const Filter& filter, int32_t selected) {
    Lists lists = BuildLists(*document, filter);
    FillList(active, lists.active, *document, selected, EmptyListText(kActiveList, filter));
    FillList(completed, lists.completed, *document, selected, EmptyListText(kCompletedList, filter));
  }

  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NCCREATE) {
      SetWindowLongPtrW(w, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* self = reinterpret_cast<ListHost*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    LRESULT result = 0;
    if (kit::HandleMenuMessage(w, m, wp, lp, result)) return result;
    switch (m) {
      case WM_MEASUREITEM:
        if (MeasureListItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp), 96)) return TRUE;
        break;
      case WM_DRAWITEM:
        if (self != nullptr && self->document != nullptr &&
            DrawListItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp), *self->document, self->fonts.get())) {
          return TRUE;
        }
        break;
      case WM_CTLCOLORLISTBOX:
        SetDCBrushColor(reinterpret_cast<HDC>(wp), RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
      case WM_COMMAND:
        if (self != nullptr) self->commands.push_back({LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)});
        return 0;
      case WM_CONTEXTMENU:
        if (self != nullptr) ++self->contextMenus;
        return 0;
      case WM_NCDESTROY:
        SetWindowLongPtrW(w, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcW(w, m, wp, lp);
  }
};

Entry AiEntry(Date date, const wchar_t* time, const wchar_t* request) {
  Entry e;
  e.date = date;
  e.text = std::wstring(L"[VS Code Codex · ") + time + L" · gpt-5-codex]\n" + request + L"\n기록: C:\\x\\record.json\n";
  e.tags = {L"ai"};
  return e;
}

// Thirty projects, a third of them completed, some with entries and AI requests.
ProjectDocument RealisticDocument() {
  const wchar_t* titles[] = {L"웹사이트 리뉴얼", L"Quarterly report", L"모바일 앱 출시", L"Data migration & cleanup",
                             L"사내 교육 자료", L"Customer portal", L"결제 모듈 개선", L"Design system",
                             L"연말 정산 자동화", L"Onboarding guide"};
  ProjectDocument doc;
  for (int i = 0; i < 30; ++i) {
    Project p;
    p.title = titles[i % 10];
    if (i >= 10) p.title += L" " + std::to_wstring(i / 10 + 1);
    p.startDate = Date{2026, 1 + i % 12, 1 + (i * 7) % 27};
    if (i % 4 == 1) p.endDate = dates::AddDays(p.startDate, 20 + i);
    if (i % 7 == 3) p.endDate = p.startDate;
    p.category = i % 3;
    p.color = i % 12;
    p.location = i % 2 == 0 ? L"C:\\work\\p" + std::to_wstring(i) : L"";
    p.completed = i % 3 == 2;
    if (p.completed) p.completedDate = dates::AddDays(p.startDate, 40);
    for (int k = 0; k < i % 5; ++k) {
      Entry e;
      e.date = dates::AddDays(p.startDate, k * 3);
      e.text = L"회의 메모";
      e.tags = {k % 2 ? L"work" : L"meeting"};
      p.entries.push_back(e);
    }
    if (i % 4 == 0) {
      p.entries.push_back(AiEntry(dates::AddDays(p.startDate, 2), L"10:15:00",
                                  i % 8 == 0 ? L"로그인 화면의 오류 메시지를 정리하고 테스트를 추가해 줘"
                                             : L"Split the importer into smaller functions and add tests"));
    }
    doc.AddProject(p);
  }
  return doc;
}

std::vector<int32_t> RowIds(HWND list) {
  std::vector<int32_t> ids;
  int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) ids.push_back(static_cast<int32_t>(SendMessageW(list, LB_GETITEMDATA, i, 0)));
  return ids;
}

std::wstring RowText(HWND list, int row) {
  wchar_t buffer[256] = {};
  SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

POINT RowCentre(HWND list, int row) {
  RECT r{};
  SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

LPARAM At(POINT p) { return MAKELPARAM(p.x, p.y); }

TEST(ProjectListBox, FillKeepsSelectionAndTopRow) {
  ProjectDocument doc = RealisticDocument();
  ListHost host(&doc);
  Lists lists = BuildLists(doc, Filter{});
  int32_t chosen = lists.active[12];
  host.Fill(Filter{}, chosen);
  EXPECT_EQ(RowIds(host.active), lists.active);
  EXPECT_EQ(RowIds(host.completed), lists.completed);
  EXPECT_EQ(RowText(host.active, 0), doc.Find(lists.active[0])->title);
  EXPECT_EQ(SelectedRowId(host.active), chosen);
  EXPECT_EQ(SelectedRowId(host.completed), 0);

  // The scroll position survives a refill by its top row.
  SendMessageW(host.active, LB_SETTOPINDEX, 10, 0);
  host.Fill(Filter{}, chosen);
  EXPECT_EQ(SendMessageW(host.active, LB_GETTOPINDEX, 0, 0), 10);
  EXPECT_EQ(SelectedRowId(host.active), chosen);

  // The same rows again (a keystroke that changes nothing) still follow the selection
  // and a renamed project.
  host.Fill(Filter{}, lists.active[3]);
  EXPECT_EQ(SelectedRowId(host.active), lists.active[3]);
  doc.Find(lists.active[0])->title = L"Renamed & shown";
  host.Fill(Filter{}, lists.active[3]);
  EXPECT_EQ(RowText(host.active, 0), L"Renamed & shown");
  EXPECT_EQ(RowIds(host.active), lists.active);

  // A filter that hides the selected project leaves no row selected; the empty list
  // keeps its hint for painting.
  host.Fill(Filter{L"no such project", -1}, chosen);
  EXPECT_EQ(SendMessageW(host.active, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SelectedRowId(host.active), 0);
  EXPECT_EQ(EmptyText(host.completed), EmptyListText(kCompletedList, Filter{L"no such project", -1}));

  host.Fill(Filter{}, 0);
  EXPECT_EQ(SelectRowOf(host.completed, lists.completed[2]), 2);
  EXPECT_EQ(SelectedRowId(host.completed), lists.completed[2]);
  EXPECT_EQ(SelectRowOf(host.completed, lists.active[0]), -1);  // not in this list
  EXPECT_EQ(SelectedRowId(host.completed), 0);
}

TEST(ProjectListBox, KeysAndMouseReachTheParent) {
  ProjectDocument doc = RealisticDocument();
  ListHost host(&doc);
  host.Fill(Filter{}, 0);
  HWND list = host.active;

  SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
  SendMessageW(list, WM_CHAR, VK_RETURN, 0);
  SendMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
  SendMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
  SendMessageW(list, WM_CHAR, VK_ESCAPE, 0);
  ASSERT_EQ(host.commands.size(), 3u);
  EXPECT_EQ(std::tie(host.commands[0].id, host.commands[0].code), std::make_tuple(IDM_PROJECT_MANAGE, 0));
  EXPECT_EQ(host.commands[0].from, nullptr);
  EXPECT_EQ(std::tie(host.commands[1].id, host.commands[1].code), std::make_tuple(IDM_PROJECT_DELETE, 0));
  EXPECT_EQ(std::tie(host.commands[2].id, host.commands[2].code), std::make_tuple(kActiveId, int{kListEscape}));
  EXPECT_EQ(host.commands[2].from, list);
  host.commands.clear();

  // A right press on an unselected row selects it as a click would, and takes the focus
  // (the list box itself reports LBN_SETFOCUS for that).
  auto selectionChanges = [&] {
    int n = 0;
    for (const Command& c : host.commands) n += c.id == kActiveId && c.code == LBN_SELCHANGE && c.from == list;
    return n;
  };
  SendMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, At(RowCentre(list, 3)));
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 3);
  EXPECT_EQ(GetFocus(), list);
  EXPECT_EQ(selectionChanges(), 1);
  // Pressed again on the same row: nothing changes, nothing is reported.
  SendMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, At(RowCentre(list, 3)));
  EXPECT_EQ(selectionChanges(), 1);
  // The release brings the context menu to the parent.
  SendMessageW(list, WM_RBUTTONUP, 0, At(RowCentre(list, 3)));
  EXPECT_EQ(host.contextMenus, 1);

  // Hover follows the mouse row by row; below the last row and after leaving, none.
  SendMessageW(list, WM_MOUSEMOVE, 0, At(RowCentre(list, 1)));
  EXPECT_EQ(HoverItem(list), 1);
  SendMessageW(list, WM_MOUSEMOVE, 0, At(RowCentre(list, 2)));
  EXPECT_EQ(HoverItem(list), 2);
  SendMessageW(list, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(HoverItem(list), -1);
  SendMessageW(list, WM_MOUSEMOVE, 0, At(RowCentre(list, 0)));
  host.Fill(Filter{}, 0);
  EXPECT_EQ(HoverItem(list), -1);  // a refill forgets the hover row

  // The completed list is short: below its rows there is no row to hover or select.
  Filter few{L"2", -1};
  host.Fill(few, 0);
  HWND done = host.completed;
  int rows = static_cast<int>(SendMessageW(done, LB_GETCOUNT, 0, 0));
  ASSERT_GT(rows, 0);
  ASSERT_LT(rows, 5);
  RECT last{};
  SendMessageW(done, LB_GETITEMRECT, rows - 1, reinterpret_cast<LPARAM>(&last));
  POINT below{40, last.bottom + 20};
  SendMessageW(done, WM_MOUSEMOVE, 0, At(below));
  EXPECT_EQ(HoverItem(done), -1);
  host.commands.clear();
  SendMessageW(done, WM_RBUTTONDOWN, MK_RBUTTON, At(below));
  EXPECT_EQ(SendMessageW(done, LB_GETCURSEL, 0, 0), LB_ERR);
  for (const Command& c : host.commands) EXPECT_NE(c.code, LBN_SELCHANGE);
}

TEST(ProjectListBox, ContextMenuPositionAndItems) {
  ProjectDocument doc = RealisticDocument();
  ListHost host(&doc);
  host.Fill(Filter{}, 0);
  HWND list = host.active;
  auto screen = [&](POINT p) {
    ClientToScreen(list, &p);
    return p;
  };
  auto same = [](POINT a, POINT b) { return a.x == b.x && a.y == b.y; };

  // From the keyboard: under the selected row, 24 px in; with no row selected in this
  // list, the client rectangle stands in.
  SendMessageW(list, LB_SETCURSEL, 2, 0);
  RECT row{}, client{};
  SendMessageW(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
  EXPECT_TRUE(same(ContextMenuPoint(list, MAKELPARAM(-1, -1), 96), screen(POINT{row.left + 24, row.bottom})));
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  GetClientRect(list, &client);
  EXPECT_TRUE(same(ContextMenuPoint(list, MAKELPARAM(-1, -1), 144), screen(POINT{client.left + 36, client.bottom})));

  // From the mouse: the menu of a completed project without a folder at the mouse point,
  // owner-drawn, the folder item greyed; the chosen command comes back.
  const Project* completed = nullptr;
  for (const Project& p : doc.projects) {
    if (p.completed && p.location.empty()) completed = &p;
  }
  ASSERT_NE(completed, nullptr);
  std::vector<std::pair<UINT, bool>> items;  // id, greyed
  bool ownerDrawn = true;
  POINT tracked{};
  SetMenuTrackHandler([&](HMENU menu, POINT at) {
    tracked = at;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
      GetMenuItemInfoW(menu, i, TRUE, &info);
      ownerDrawn = ownerDrawn && (info.fType & MFT_OWNERDRAW) != 0;
      items.emplace_back(info.wID, (info.fState & MFS_GRAYED) != 0);
    }
    return IDM_PROJECT_REOPEN;
  });
  EXPECT_EQ(ShowProjectMenu(host.hwnd, list, MAKELPARAM(77, 88), *completed, 96), IDM_PROJECT_REOPEN);
  EXPECT_TRUE(same(tracked, POINT{77, 88}));
  EXPECT_TRUE(ownerDrawn);
  ASSERT_EQ(items.size(), 8u);
  EXPECT_EQ(items[3], std::make_pair(UINT{IDM_PROJECT_REOPEN}, false));
  EXPECT_EQ(items[4], std::make_pair(UINT{IDM_PROJECT_FOLDER}, true));

  // The calendar's menu for an empty day: the new-project item alone.
  items.clear();
  Date empty{2030, 1, 1};
  ShowCalendarMenu(host.hwnd, doc, empty, CalendarMenuProjects(doc, empty, 0), POINT{5, 5});
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].first, UINT{IDM_CALENDAR_NEW});
  SetMenuTrackHandler(nullptr);
}

TEST(ProjectListPainter, GeometryAndEmptyHint) {
  RowGeometry big = RowGeometryFor(420, 114, 144);
  EXPECT_EQ(big.dot.x, 24);
  EXPECT_EQ(big.dot.y, 30);
  EXPECT_EQ(big.title.left, 45);
  EXPECT_EQ(big.subtitle.bottom, 75);
  EXPECT_EQ(big.thirdLine.bottom, 104);  // MulDiv rounds 103.5 up

  RECT client{0, 0, 200, 100};
  RECT centred = EmptyTextRect(client, 40, 96);
  EXPECT_EQ(centred.top, 30);
  EXPECT_EQ(centred.left, 8);
  EXPECT_EQ(centred.right, 192);
  RECT tall = EmptyTextRect(client, 150, 96);  // taller than the list: kept off the top edge
  EXPECT_EQ(tall.top, 6);
  RECT narrow = EmptyTextRect(RECT{0, 0, 10, 100}, 20, 96);
  EXPECT_LE(narrow.left, narrow.right);
}

const Project* FindTitled(const ProjectDocument& doc, bool completed, bool withAi) {
  for (const Project& p : doc.projects) {
    if (p.completed == completed && ThirdLineText(p).empty() != withAi) return &p;
  }
  return nullptr;
}

int CountNear(const PixelCanvas& canvas, const RECT& r, COLORREF color, int tolerance) {
  return canvas.Count(r, color, tolerance);
}

RECT Offset(RECT r, int dy) {
  OffsetRect(&r, 0, dy);
  return r;
}

TEST(ProjectListPainter, RowsInBothLanguages) {
  testui::EnsureUi();
  const ProjectDocument doc = RealisticDocument();
  const Project* activeAi = FindTitled(doc, false, true);
  const Project* activePlain = FindTitled(doc, false, false);
  const Project* completedAny = FindTitled(doc, true, false);
  ASSERT_TRUE(activeAi && activePlain && completedAny);
  struct Row {
    const Project* project;
    RowState state;
  } rows[] = {
      {activePlain, {}},
      {activeAi, {false, false, true}},
      {activeAi, {true, true, false}},
      {activePlain, {true, false, false}},
      {completedAny, {}},
      {nullptr, {}},
  };
  const int width = 300, height = kRowHeight;
  for (int language : {i18n::kKorean, i18n::kEnglish}) {
    LanguageScope scope(language);
    kit::OwnedFontSet fonts(96);
    PixelCanvas canvas(width, height * 6, RGB(255, 0, 255));
    for (int i = 0; i < 6; ++i) {
      SetViewportOrgEx(canvas.dc(), 0, i * height, nullptr);
      PaintRow(canvas.dc(), width, height, rows[i].project, rows[i].state, fonts.get());
    }
    SetViewportOrgEx(canvas.dc(), 0, 0, nullptr);
    EXPECT_TRUE(canvas.Save(language == i18n::kKorean ? L"project_list_rows_ko" : L"project_list_rows_en"));

    RowGeometry g = RowGeometryFor(width, height, 96);
    auto probe = [&](int row) { return canvas.At(width - 6, row * height + height / 2); };
    EXPECT_EQ(probe(0), kit::color::kWhite);
    EXPECT_EQ(probe(1), kit::color::kHoverFill);
    EXPECT_EQ(probe(2), kit::color::kAccentTint);
    EXPECT_EQ(probe(3), kit::color::kAccentTint);
    // The focus outline runs along the selected card only while the list has the focus.
    COLORREF outline = kit::BlendColor(kit::color::kAccentTint, kit::color::kAccent, 140);
    RECT rightEdge2{width - 4, 2 * height + 20, width - 1, 2 * height + 50};
    RECT rightEdge3{width - 4, 3 * height + 20, width - 1, 3 * height + 50};
    EXPECT_GT(CountNear(canvas, rightEdge2, outline, 24), 10);
    EXPECT_EQ(CountNear(canvas, rightEdge3, outline, 24), 0);

    // The dot in the project's colour; a completed project's dot carries a white check.
    EXPECT_TRUE(PixelCanvas::Near(canvas.At(g.dot.x + 3, g.dot.y - 2), kit::ProjectColor(activePlain->color).main, 8));
    RECT dot{g.dot.x - 3, g.dot.y - 3, g.dot.x + 4, g.dot.y + 4};
    EXPECT_EQ(CountNear(canvas, dot, kit::color::kWhite, 40), 0);
    EXPECT_GT(CountNear(canvas, Offset(dot, 4 * height), kit::color::kWhite, 40), 0);

    // Titles in text colour, a completed title muted; the third line only with AI prompts.
    EXPECT_GT(CountNear(canvas, g.title, kit::color::kText, 30), 5);
    EXPECT_EQ(CountNear(canvas, Offset(g.title, 4 * height), kit::color::kText, 12), 0);
    EXPECT_GT(CountNear(canvas, Offset(g.title, 4 * height), kit::color::kMutedText, 30), 5);
    EXPECT_GT(CountNear(canvas, Offset(g.subtitle, 0), kit::color::kMutedText, 30), 5);
    RECT third0 = g.thirdLine;
    EXPECT_EQ(CountNear(canvas, third0, kit::color::kWhite, 0), (third0.right - third0.left) * (third0.bottom - third0.top));
    EXPECT_GT(CountNear(canvas, Offset(g.thirdLine, height), kit::color::kText, 30), 5);
    // A row whose project has gone is plain white.
    RECT gone{0, 5 * height, width, 6 * height};
    EXPECT_EQ(CountNear(canvas, gone, kit::color::kWhite, 0), width * height);
  }
}

TEST(ProjectListPainter, ListsInTheirHost) {
  ProjectDocument doc = RealisticDocument();
  for (int language : {i18n::kKorean, i18n::kEnglish}) {
    LanguageScope scope(language);
    ListHost host(&doc);
    Lists all = BuildLists(doc, Filter{});
    host.Fill(Filter{}, all.active[1]);
    SetFocus(host.active);
    SendMessageW(host.active, WM_MOUSEMOVE, 0, At(RowCentre(host.active, 3)));
    // The completed list shows the no-results hint, as under a search that finds nothing.
    Filter none{L"#nothing", -1};
    FillList(host.completed, {}, doc, 0, EmptyListText(kCompletedList, none));
    UpdateWindow(host.hwnd);
    testui::PumpMessages();
    std::wstring tag = language == i18n::kKorean ? L"ko" : L"en";
    EXPECT_TRUE(kit::SaveWindowPng(host.hwnd, testui::ScreenshotPath(L"project_list_host_" + tag)));

    // The empty list paints its hint in the hint colour, centred.
    RECT client{};
    GetClientRect(host.completed, &client);
    PixelCanvas canvas(client.right, client.bottom, RGB(255, 0, 255));
    SendMessageW(host.completed, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_TRUE(canvas.Save(L"project_list_empty_" + tag));
    EXPECT_EQ(CountNear(canvas, client, RGB(255, 0, 255), 0), 0);
    RECT top{0, 0, client.right, client.bottom / 3};
    RECT middle{0, client.bottom / 3, client.right, 2 * client.bottom / 3};
    EXPECT_EQ(CountNear(canvas, top, kit::color::kHintText, 40), 0);
    EXPECT_GT(CountNear(canvas, middle, kit::color::kHintText, 40), 20);

    // Without a filter and without projects, each list gives its own hint.
    ProjectDocument empty;
    FillList(host.active, {}, empty, 0, EmptyListText(kActiveList, Filter{}));
    PixelCanvas hint(client.right, client.bottom, RGB(255, 0, 255));
    SendMessageW(host.active, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hint.dc()), PRF_CLIENT);
    EXPECT_TRUE(hint.Save(L"project_list_empty_active_" + tag));
    EXPECT_GT(CountNear(hint, middle, kit::color::kHintText, 40), 20);
  }
}

}  // namespace
