// The entry panel window driven by the messages a user's keys and clicks produce.
#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "i18n/language.h"
#include "i18n/translate.h"
#include "support/language_scope.h"
#include "support/temp_dir.h"

namespace {

using dlgtest::MakeEntry;
using dlgtest::PanelHost;
using namespace entrypanel;

const Date kToday{2026, 3, 18};

TEST(EntryPanelWindow, LoadsMergedCardsQuietlyAndGivesThemBack) {
  PanelHost host;
  SetEntries(host.panel(), {MakeEntry(Date{2026, 3, 20}, L"plan", {L"a"}),
                            MakeEntry(Date{2026, 3, 17}, L"one\ntwo", {L"Design"}),
                            MakeEntry(Date{2026, 3, 17}, L"three", {L"design", L"ux"})});
  EXPECT_EQ(host.changes, 0) << "loading is not a change";
  ASSERT_EQ(CardCount(host.panel()), 2);
  EXPECT_FALSE(host.card(0).expanded) << "yesterday starts collapsed";
  EXPECT_TRUE(host.card(1).expanded) << "a later day starts expanded";
  EXPECT_FALSE(IsWindowVisible(host.card(0).textEdit));
  EXPECT_TRUE(IsWindowVisible(host.card(1).textEdit));

  dlgtest::Type(host.card(1).tagEdit, L"pending");  // typed, not committed
  std::vector<Entry> entries = GetEntries(host.panel());
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].text, L"one\r\ntwo\r\nthree");
  EXPECT_EQ(entries[0].tags, (std::vector<std::wstring>{L"Design", L"ux"}));
  EXPECT_EQ(entries[1].tags, (std::vector<std::wstring>{L"a", L"pending"}));
}

TEST(EntryPanelWindow, TagInputCommitsOnSeparatorsEnterAndFocusLoss) {
  PanelHost host;
  SetEntries(host.panel(), {MakeEntry(kToday, L"")});
  HWND tags = host.card(0).tagEdit;
  SetFocus(tags);
  dlgtest::Type(tags, L"alpha, beta;");
  EXPECT_EQ(host.card(0).tags, (std::vector<std::wstring>{L"alpha", L"beta"}));
  EXPECT_EQ(dlgtest::TextOf(tags), L"");
  int before = host.changes;
  EXPECT_GT(before, 0);

  dlgtest::Type(tags, L"ALPHA");
  dlgtest::Key(tags, VK_RETURN);
  EXPECT_EQ(host.card(0).tags.size(), 2u) << "the same tag in other case adds nothing";
  EXPECT_EQ(dlgtest::TextOf(tags), L"");

  dlgtest::Type(tags, L"gamma");
  SetFocus(host.card(0).textEdit);
  EXPECT_EQ(host.card(0).tags.back(), L"gamma") << "leaving the input commits it";
  ASSERT_EQ(host.card(0).geometry.tags.chips.size(), 3u) << "a chip for each tag";

  SetFocus(tags);
  dlgtest::Key(tags, VK_BACK);
  EXPECT_EQ(host.card(0).tags, (std::vector<std::wstring>{L"alpha", L"beta"})) << "Backspace removes the last chip";
  dlgtest::Type(tags, L"x");
  dlgtest::Key(tags, VK_BACK);  // the edit deletes its character; the chips stay
  EXPECT_EQ(host.card(0).tags.size(), 2u);
  EXPECT_EQ(dlgtest::TextOf(tags), L"");

  RECT chip = host.card(0).geometry.tags.chips[0];
  dlgtest::Click(host.panel(), POINT{chip.right - 10, (chip.top + chip.bottom) / 2});
  EXPECT_EQ(host.card(0).tags, (std::vector<std::wstring>{L"beta"})) << "the chip's × removes it";

  dlgtest::Key(tags, VK_BACK);
  dlgtest::Key(tags, VK_BACK);
  EXPECT_TRUE(host.card(0).tags.empty()) << "Backspace with no chips does nothing";
}

TEST(EntryPanelWindow, AddingDatesKeepsOrderAndAnExistingDateOnlyFocuses) {
  PanelHost host;
  SetEntries(host.panel(), {MakeEntry(Date{2026, 3, 10}, L"old"), MakeEntry(Date{2026, 3, 25}, L"")});
  ASSERT_FALSE(host.card(0).expanded);

  EXPECT_FALSE(AddDate(host.panel(), Date{2026, 3, 10}));
  EXPECT_EQ(host.changes, 0) << "an existing date is no change";
  EXPECT_TRUE(host.card(0).expanded);
  EXPECT_EQ(GetFocus(), host.card(0).textEdit);

  EXPECT_FALSE(AddDate(host.panel(), Date{2026, 2, 30})) << "no such day";
  EXPECT_TRUE(AddDate(host.panel(), Date{2026, 3, 18}));
  EXPECT_EQ(host.changes, 1);
  ASSERT_EQ(CardCount(host.panel()), 3);
  EXPECT_EQ(host.card(1).date, (Date{2026, 3, 18}));
  EXPECT_EQ(GetFocus(), host.card(1).textEdit);
  // Tab order follows the cards: the new card's editor comes after the earlier card's controls.
  EXPECT_EQ(GetNextDlgTabItem(host.parent(), host.card(0).linkButton, FALSE), host.card(1).textEdit);
}

TEST(EntryPanelWindow, DeletingAsksOnlyWhenTheCardHasContent) {
  {
    testpaths::LanguageScope korean(i18n::kKorean);
    PanelHost host;
    SetEntries(host.panel(), {MakeEntry(kToday, L""), MakeEntry(Date{2026, 3, 19}, L"", {L"only-tag"})});
    dlgtest::Click(host.panel(), dlgtest::Centre(host.card(0).geometry.deleteButton));
    EXPECT_TRUE(host.boxes.asked.empty()) << "an empty card goes without a question";
    ASSERT_EQ(CardCount(host.panel()), 1);
    EXPECT_EQ(host.changes, 1);

    dlgtest::Click(host.panel(), dlgtest::Centre(host.card(0).geometry.deleteButton));  // answered No
    ASSERT_EQ(host.boxes.asked.size(), 1u);
    EXPECT_EQ(host.boxes.asked[0].caption, L"내용 삭제");
    EXPECT_NE(host.boxes.asked[0].text.find(L"2026년 3월 19일"), std::wstring::npos) << "names the card's date";
    EXPECT_EQ(CardCount(host.panel()), 1);

    host.boxes.answers.push_back(IDYES);
    dlgtest::Click(host.panel(), dlgtest::Centre(host.card(0).geometry.deleteButton));
    EXPECT_EQ(CardCount(host.panel()), 0);
    EXPECT_EQ(host.changes, 2);
  }
}

TEST(EntryPanelWindow, HeaderClicksToggleAndExpandAllCollapseAll) {
  PanelHost host;
  SetEntries(host.panel(), {MakeEntry(Date{2026, 3, 1}, L"a"), MakeEntry(kToday, L"b")});
  RECT header = host.card(0).geometry.header;
  dlgtest::Click(host.panel(), POINT{header.left + 60, (header.top + header.bottom) / 2});
  EXPECT_TRUE(host.card(0).expanded);
  EXPECT_EQ(GetFocus(), host.card(0).textEdit);
  CollapseAll(host.panel());
  EXPECT_FALSE(host.card(0).expanded);
  EXPECT_FALSE(host.card(1).expanded);
  EXPECT_EQ(GetFocus(), host.panel()) << "the focus leaves a collapsed card";
  ExpandAll(host.panel());
  EXPECT_TRUE(host.card(0).expanded && host.card(1).expanded);
  EXPECT_EQ(host.changes, 0);
}

TEST(EntryPanelWindow, ControlsOfCollapsedOrScrolledAwayCardsNeitherLingerNorTakeFocusUnseen) {
  PanelHost host(560, 300);
  SetEntries(host.panel(), {MakeEntry(Date{2026, 3, 1}, L"first", {}, {L"https://example.com/a", L"https://example.com/b"}),
                            MakeEntry(Date{2026, 3, 2}, L"second"), MakeEntry(kToday, L"third")});
  ExpandAll(host.panel());
  ASSERT_EQ(host.card(0).rows.size(), 2u);
  ASSERT_GT(host.state().contentHeight, 600);

  // Collapsing while scrolled down to the rows must hide them with their card.
  SendMessageW(host.panel(), WM_VSCROLL, SB_TOP, 0);
  for (int i = 0; i < 4; ++i) SendMessageW(host.panel(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  // Rows moved by a scroll paint whole at their new place.
  UpdateWindow(host.panel());
  RedrawWindow(host.panel(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  SendMessageW(host.panel(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  for (const AttachmentRow& row : host.card(0).rows) {
    RECT client{}, update{};
    GetClientRect(row.button, &client);
    GetUpdateRect(row.button, &update, FALSE);
    EXPECT_TRUE(EqualRect(&client, &update)) << "a scrolled row keeps pixels carried from its old place";
  }
  CollapseAll(host.panel());
  for (const AttachmentRow& row : host.card(0).rows) {
    EXPECT_FALSE(IsWindowVisible(row.button));
    EXPECT_FALSE(IsWindowVisible(row.removeButton)) << "a hidden row's × would still remove the link";
  }
  ExpandAll(host.panel());

  // Focus arriving at a control below the visible part scrolls it into view.
  RECT client{};
  GetClientRect(host.panel(), &client);
  auto inView = [&](HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, host.panel(), reinterpret_cast<POINT*>(&r), 2);
    return r.top >= 0 && r.top < client.bottom;
  };
  const EntryCard& last = host.card(2);
  for (HWND control : {last.textEdit, last.attachButton, last.linkButton, host.card(0).rows[1].removeButton}) {
    SendMessageW(host.panel(), WM_VSCROLL, control == host.card(0).rows[1].removeButton ? SB_BOTTOM : SB_TOP, 0);
    ASSERT_FALSE(inView(control));
    SetFocus(control);
    testui::PumpMessages();
    EXPECT_TRUE(inView(control)) << "focused control " << GetDlgCtrlID(control) << " stays out of sight";
  }

  // Tab into an entry's text from the control before it: in view, nothing selected.
  SendMessageW(host.panel(), WM_VSCROLL, SB_TOP, 0);
  SetFocus(host.card(1).linkButton);
  MSG tab{host.card(1).linkButton, WM_KEYDOWN, VK_TAB, 0, 0, {}};
  ASSERT_TRUE(IsDialogMessageW(host.parent(), &tab));
  testui::PumpMessages();
  ASSERT_EQ(GetFocus(), last.textEdit);
  EXPECT_TRUE(inView(last.textEdit));
  DWORD start = 0, end = 0;
  SendMessageW(last.textEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, end) << "the next key would replace the whole entry";
  EXPECT_EQ(dlgtest::TextOf(last.textEdit), L"third");
}

TEST(EntryPanelWindow, WheelScrolls56PxPerNotchAndKeepsRemainders) {
  PanelHost host(560, 300);
  std::vector<Entry> entries;
  for (int day = 1; day <= 12; ++day) entries.push_back(MakeEntry(Date{2026, 3, day}, L"x"));
  entries.push_back(MakeEntry(kToday, L"short"));
  SetEntries(host.panel(), entries);  // twelve collapsed cards, then today's open one
  ASSERT_GT(host.state().contentHeight, 300);
  auto wheel = [&](int delta) {
    SendMessageW(host.panel(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))), 0);
  };
  wheel(-120);
  EXPECT_EQ(host.state().scrollY, 56);
  wheel(-60);
  EXPECT_EQ(host.state().scrollY, 56) << "half a notch waits";
  wheel(-60);
  EXPECT_EQ(host.state().scrollY, 112);
  EXPECT_EQ(host.card(0).geometry.card.top, 10 - 112) << "the cards move with the scroll position";
  for (int i = 0; i < 20; ++i) wheel(-120);
  EXPECT_EQ(host.state().scrollY, host.state().contentHeight - 300) << "stops at the end";
  // Over a text editor without its own scroll bar the wheel moves the panel.
  int bottom = host.state().scrollY;
  SendMessageW(host.card(12).textEdit, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(host.state().scrollY, bottom - 56);
  wheel(120 * 40);
  EXPECT_EQ(host.state().scrollY, 0);
  SendMessageW(host.panel(), WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(host.state().scrollY, host.state().contentHeight - 300);
  SendMessageW(host.panel(), WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(host.state().scrollY, 0);
}

TEST(EntryPanelWindow, LongTextGetsItsOwnScrollBarAndLosesItAgain) {
  PanelHost host(560, 360);
  SetEntries(host.panel(), {MakeEntry(kToday, L"short")});
  HWND edit = host.card(0).textEdit;
  EXPECT_FALSE(host.card(0).textScroll);
  SetFocus(edit);
  std::wstring lines;
  for (int i = 0; i < 40; ++i) lines += L"line " + std::to_wstring(i) + L"\r\n";
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(lines.c_str()));
  EXPECT_TRUE(host.card(0).textScroll);
  HWND recreated = host.card(0).textEdit;
  EXPECT_NE(recreated, edit) << "re-created with a scroll bar";
  EXPECT_TRUE(GetWindowLongW(recreated, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(GetFocus(), recreated) << "the focus moves along";
  EXPECT_EQ(dlgtest::TextOf(recreated), lines);
  EXPECT_LE(host.card(0).geometry.card.bottom - host.card(0).geometry.card.top, 360) << "the card fits the panel";
  EXPECT_LE(host.state().layoutPasses, 4);

  SendMessageW(recreated, EM_SETSEL, 0, -1);
  SendMessageW(recreated, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"short again"));
  EXPECT_FALSE(host.card(0).textScroll);
  EXPECT_FALSE(GetWindowLongW(host.card(0).textEdit, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(dlgtest::TextOf(host.card(0).textEdit), L"short again");
  EXPECT_GE(host.changes, 2);
}

TEST(EntryPanelWindow, AttachmentLinesShowRowsWithPreviewsAndStoredRowsCanBeRemoved) {
  testui::EnsureUi();
  dlgtest::ComScope com;
  testpaths::TempDir dir;
  std::wstring png = dir / L"screen.png";
  ASSERT_TRUE(dlgtest::WritePng(png, 400, 200));
  PanelHost host;
  SetEntries(host.panel(), {MakeEntry(kToday, L"note\n첨부: " + png + L"\nmore", {}, {L"https://example.com/doc"})});
  ASSERT_EQ(host.card(0).rows.size(), 2u);
  const AttachmentRow& stored = host.card(0).rows[0];
  EXPECT_TRUE(stored.stored);
  EXPECT_NE(stored.removeButton, nullptr);
  const AttachmentRow& fromText = host.card(0).rows[1];
  EXPECT_FALSE(fromText.stored);
  EXPECT_EQ(fromText.removeButton, nullptr) << "rows from the text have no remove button";
  ASSERT_NE(fromText.preview, nullptr);
  EXPECT_EQ(host.card(0).geometry.rows.rows[1].row.bottom - host.card(0).geometry.rows.rows[1].row.top, 155);

  // Deleting the line removes its row.
  HWND edit = host.card(0).textEdit;
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"note"));
  EXPECT_EQ(host.card(0).rows.size(), 1u);

  // The stored row's ×.
  int before = host.changes;
  SendMessageW(host.card(0).rows[0].removeButton, BM_CLICK, 0, 0);
  EXPECT_TRUE(host.card(0).rows.empty());
  EXPECT_TRUE(GetEntries(host.panel())[0].attachments.empty());
  EXPECT_EQ(host.changes, before + 1);
}

TEST(EntryPanelWindow, WebLinkRowMakesItsShortcutOnceAndOpensItsFolder) {
  dlgtest::ComScope com;
  testpaths::TempDir project;
  PanelHost host;
  SetLocation(host.panel(), project.path());
  SetEntries(host.panel(), {MakeEntry(kToday, L"", {}, {L"https://example.com/"})});
  ASSERT_EQ(host.card(0).rows.size(), 1u);
  SendMessageW(host.card(0).rows[0].button, BM_CLICK, 0, 0);
  std::wstring shortcut = project.path() + L"\\Quenlor\\2026-03-18\\Links\\link-0c8b41cfdcb3c914.url";
  ASSERT_EQ(host.revealed.size(), 1u) << (host.boxes.asked.empty() ? L"" : host.boxes.asked[0].text);
  EXPECT_EQ(host.revealed[0], std::make_pair(project.path() + L"\\Quenlor\\2026-03-18\\Links", shortcut));
  FILETIME first{};
  {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW(shortcut.c_str(), GetFileExInfoStandard, &data));
    first = data.ftLastWriteTime;
  }
  Sleep(20);
  SendMessageW(host.card(0).rows[0].button, BM_CLICK, 0, 0);
  ASSERT_EQ(host.revealed.size(), 2u);
  EXPECT_EQ(host.revealed[1].second, shortcut);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExW(shortcut.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(CompareFileTime(&first, &data.ftLastWriteTime), 0) << "the second click reuses the file";
  EXPECT_TRUE(host.boxes.asked.empty());
}

TEST(EntryPanelWindow, LinkInputSavesValidLinksAndKeepsRefusedOnes) {
  PanelHost host;
  SetEntries(host.panel(), {MakeEntry(kToday, L"")});
  HWND linkButton = host.card(0).linkButton;
  SendMessageW(linkButton, BM_CLICK, 0, 0);
  HWND input = host.card(0).linkEdit;
  ASSERT_NE(input, nullptr);
  EXPECT_EQ(GetFocus(), input);
  EXPECT_EQ(GetNextDlgTabItem(host.parent(), linkButton, FALSE), input) << "right after the button";

  SetWindowTextW(input, L"HTTPS://example.com/with space");
  EXPECT_FALSE(AcceptCard(host.panel(), 0));
  ASSERT_EQ(host.boxes.asked.size(), 1u);
  EXPECT_EQ(host.card(0).linkEdit, input) << "the refused input stays";

  SetWindowTextW(input, L"C:/Users/me/notes.txt");
  dlgtest::Key(input, VK_RETURN);
  EXPECT_EQ(host.card(0).linkEdit, nullptr);
  EXPECT_EQ(host.card(0).attachments, (std::vector<std::wstring>{L"C:\\Users\\me\\notes.txt"}));
  EXPECT_EQ(dlgtest::TextOf(linkButton), i18n::Translate(L"링크 추가"));

  SendMessageW(linkButton, BM_CLICK, 0, 0);
  ASSERT_NE(host.card(0).linkEdit, nullptr);
  CancelCardInput(host.panel(), 0);
  EXPECT_EQ(host.card(0).linkEdit, nullptr);
  EXPECT_EQ(host.card(0).attachments.size(), 1u);
  EXPECT_TRUE(AcceptCard(host.panel(), 0)) << "no pending input";
}

TEST(EntryPanelWindow, FocusDatePutsTheCaretAtTheLatestPromptHeading) {
  PanelHost host;
  std::wstring text =
      L"intro\n[VS Code Codex · 09:00:00 · gpt-5]\nfirst\n[VS Code Chat · 11:30:00]\nsecond\n";
  SetEntries(host.panel(), {MakeEntry(Date{2026, 3, 2}, text)});
  EXPECT_FALSE(FocusDate(host.panel(), Date{2026, 3, 3}));
  ASSERT_TRUE(FocusDate(host.panel(), Date{2026, 3, 2}));
  EXPECT_TRUE(host.card(0).expanded);
  EXPECT_EQ(GetFocus(), host.card(0).textEdit);
  DWORD start = 0, end = 0;
  SendMessageW(host.card(0).textEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  std::wstring shown = dlgtest::TextOf(host.card(0).textEdit);
  EXPECT_EQ(shown.substr(start, 14), L"[VS Code Chat ");
}

}  // namespace
