// The entry panel's rules without a window: cards from entries, the tag input and the
// geometry of cards, tags and attachment rows.
#include <gtest/gtest.h>

#include "views/dialog_fixture.h"
#include "views/entry_panel_model.h"

namespace {

using namespace entrypanel;

using dlgtest::MakeEntry;

TEST(EntryPanelCards, LineBreaksBecomeCrLf) {
  EXPECT_EQ(ToCrLf(L"a\nb\rc\r\nd\n\n"), L"a\r\nb\r\nc\r\nd\r\n\r\n");
  EXPECT_EQ(ToCrLf(L"\r\r\n"), L"\r\n\r\n");
  EXPECT_EQ(ToCrLf(L""), L"");
}

TEST(EntryPanelCards, SameDateEntriesMergeInOrderAndInvalidDatesAreDropped) {
  std::vector<Entry> entries = {
      MakeEntry(Date{2026, 3, 7}, L"later", {L"x"}),
      MakeEntry(Date{2026, 3, 5}, L"first\nline", {L"Design", L"ui"}, {L"C:\\a.png"}),
      MakeEntry(Date{0, 0, 0}, L"no date"),
      MakeEntry(Date{2026, 3, 5}, L"second", {L"design", L"UX"}, {L"c:\\A.PNG", L"https://e.com/"}),
      MakeEntry(Date{2026, 3, 7}, L""),
      MakeEntry(Date{2026, 3, 9}, L""),
      MakeEntry(Date{2026, 3, 9}, L"after empty"),
  };
  std::vector<CardContent> cards = CardsFromEntries(entries);
  ASSERT_EQ(cards.size(), 3u);
  EXPECT_EQ(cards[0].date, (Date{2026, 3, 5}));
  EXPECT_EQ(cards[0].text, L"first\r\nline\r\nsecond");
  EXPECT_EQ(cards[0].tags, (std::vector<std::wstring>{L"Design", L"ui", L"UX"}));
  EXPECT_EQ(cards[0].attachments, (std::vector<std::wstring>{L"C:\\a.png", L"https://e.com/"}));
  EXPECT_EQ(cards[1].text, L"later\r\n") << "a merged empty text still gets its line break";
  EXPECT_EQ(cards[2].text, L"after empty") << "no break is added to an empty text";
}

TEST(EntryPanelCards, TodayAndLaterStartExpanded) {
  Date today{2026, 3, 18};
  EXPECT_TRUE(StartsExpanded(today, today));
  EXPECT_TRUE(StartsExpanded(Date{2026, 4, 1}, today));
  EXPECT_FALSE(StartsExpanded(Date{2026, 3, 17}, today));
}

TEST(EntryPanelTags, InputSplitsAndAddsWithoutDuplicates) {
  std::vector<std::wstring> list = {L"회의"};
  EXPECT_TRUE(CommitTagInput(L"  alpha, beta;", list));
  EXPECT_EQ(list, (std::vector<std::wstring>{L"회의", L"alpha", L"beta"}));
  EXPECT_FALSE(CommitTagInput(L"ALPHA", list)) << "other letter case adds nothing";
  EXPECT_FALSE(CommitTagInput(L"  \t ", list));
  EXPECT_FALSE(CommitTagInput(L"#;,", list));
  EXPECT_TRUE(CommitTagInput(L"#디자인\u3000#UI", list));
  EXPECT_EQ(list.size(), 5u);
  EXPECT_EQ(list.back(), L"UI");
  for (wchar_t c : {L',', L';', L'\r', L'\n'}) EXPECT_TRUE(IsTagCommitChar(c));
  for (wchar_t c : {L' ', L'#', L'a'}) EXPECT_FALSE(IsTagCommitChar(c));
}

TEST(EntryPanelGeometry, TextHeightLimits) {
  EXPECT_EQ(NeededTextHeight(0, 17, 96), 23) << "at least one line";
  EXPECT_EQ(NeededTextHeight(3, 17, 96), 57);
  EXPECT_EQ(MaxTextHeight(600, 150, 96), 600 - 150 - 84);
  EXPECT_EQ(MaxTextHeight(200, 150, 96), 84) << "never below the minimum";
  EXPECT_EQ(MinTextHeight(false, 500, 96), 84);
  EXPECT_EQ(MinTextHeight(true, 300, 96), 200);
  EXPECT_EQ(MinTextHeight(true, 90, 96), 84);
  EXPECT_EQ(MinTextHeight(true, 900, 96), 240);
  EXPECT_EQ(MinTextHeight(true, 900, 144), 360);
}

TEST(EntryPanelGeometry, TagChipsWrapAndTheInputNeeds200Px) {
  // Row from 100 to 500: chips of 60+36, 200+36 fit; the input then has 400-96-6-236-6 = 56 px: wraps.
  TagFlow flow = FlowTags(100, 10, 500, {60, 200}, 96);
  ASSERT_EQ(flow.chips.size(), 2u);
  EXPECT_EQ(flow.chips[0].left, 100);
  EXPECT_EQ(flow.chips[0].right, 196);
  EXPECT_EQ(flow.chips[1].left, 202);
  EXPECT_EQ(flow.chips[1].top, 10);
  EXPECT_EQ(flow.inputFrame.left, 100);
  EXPECT_EQ(flow.inputFrame.top, 40) << "24-px rows, 6 px apart";
  EXPECT_EQ(flow.bottom, 64);

  // A chip that does not fit after another starts a new row; a first chip is cut to the row.
  TagFlow wrap = FlowTags(0, 0, 300, {200, 200, 1000}, 96);
  EXPECT_EQ(wrap.chips[1].top, 30);
  EXPECT_EQ(wrap.chips[2].top, 60);
  EXPECT_EQ(wrap.chips[2].right, 300);
  EXPECT_EQ(wrap.inputFrame.top, 90);

  TagFlow empty = FlowTags(50, 0, 400, {}, 96);
  EXPECT_EQ(empty.inputFrame.left, 50);
  EXPECT_EQ(empty.inputFrame.top, 0) << "no chips: the input starts the first row";
}

TEST(EntryPanelGeometry, AttachmentRowsAndTiles) {
  // 500 px: (500 + 6) / 212 = 2 columns of min((500 - 6) / 2, 272) = 247 px.
  RowFlow flow = FlowAttachmentRows(0, 100, 500, {true, true, true, false, true}, {true, false, false, false, true}, 96);
  ASSERT_EQ(flow.rows.size(), 5u);
  EXPECT_EQ(flow.rows[0].row.left, 0);
  EXPECT_EQ(flow.rows[0].remove.right, 247) << "the remove button sits in the tile's corner";
  EXPECT_EQ(flow.rows[0].row.right, 247 - 30);
  EXPECT_EQ(flow.rows[1].row.left, 253);
  EXPECT_EQ(flow.rows[1].row.bottom, 100 + 155);
  EXPECT_TRUE(IsRectEmpty(&flow.rows[1].remove));
  EXPECT_EQ(flow.rows[2].row.top, 100 + 155 + 6) << "third tile wraps";
  EXPECT_EQ(flow.rows[3].row.top, 100 + 2 * (155 + 6)) << "a plain row starts a new line";
  EXPECT_EQ(flow.rows[3].row.right, 500);
  EXPECT_EQ(flow.rows[3].row.bottom - flow.rows[3].row.top, 27);
  EXPECT_EQ(flow.rows[4].row.top, flow.rows[3].row.bottom + 6) << "and so does the tile after it";
  EXPECT_EQ(flow.bottom, flow.rows[4].remove.top + 155);

  RowFlow narrow = FlowAttachmentRows(0, 0, 150, {true}, {false}, 96);
  EXPECT_EQ(narrow.rows[0].row.right, 150) << "one column, never wider than the area";
  EXPECT_EQ(FlowAttachmentRows(0, 40, 300, {}, {}, 96).bottom, 40);
}

TEST(EntryPanelGeometry, CardBodyOrderAndLinkInputPlacement) {
  CardInput input;
  input.tagLabelWidth = 24;
  input.attachButtonWidth = 92;
  input.linkButtonWidth = 80;
  input.textHeight = 100;
  input.rowPreview = {false};
  input.rowStored = {true};
  CardGeometry g = LayoutCard(10, 700, input, 96);
  EXPECT_EQ(g.card.left, 12);
  EXPECT_EQ(g.card.right, 688);
  EXPECT_EQ(g.header.bottom, 50);
  EXPECT_EQ(g.deleteButton.left, 688 - 38);
  EXPECT_EQ(g.deleteButton.top, 16);
  EXPECT_EQ(g.tagLabel.top, 58);
  EXPECT_EQ(g.tags.inputFrame.left, 26 + 24 + 14);
  EXPECT_EQ(g.tagEdit.left, g.tags.inputFrame.left + 6);
  EXPECT_EQ(g.tagEdit.bottom - g.tagEdit.top, 20);
  EXPECT_EQ(g.attachButton.top, g.tags.bottom + 8);
  EXPECT_EQ(g.linkButton.left, 26 + 92 + 6);
  EXPECT_EQ(g.text.top, g.attachButton.bottom + 8);
  EXPECT_EQ(g.text.right, 26 + 648);
  EXPECT_EQ(g.rows.rows[0].row.top, g.text.bottom + 8);
  EXPECT_EQ(g.card.bottom, g.rows.bottom + 12);
  EXPECT_EQ(g.nonTextHeight, (g.card.bottom - g.card.top) - 100);

  input.linkInput = true;
  CardGeometry wide = LayoutCard(0, 700, input, 96);
  EXPECT_EQ(wide.linkEdit.top, wide.linkButton.top) << "room for 160 px beside the buttons";
  EXPECT_EQ(wide.linkEdit.left, wide.linkButton.right + 6);
  CardGeometry narrow = LayoutCard(0, 380, input, 96);
  EXPECT_EQ(narrow.linkEdit.top, narrow.linkButton.bottom + 6) << "its own row when narrow";
  EXPECT_EQ(narrow.linkEdit.left, 26);
  EXPECT_EQ(narrow.text.top, narrow.linkEdit.bottom + 8);

  input.expanded = false;
  CardGeometry collapsed = LayoutCard(0, 700, input, 96);
  EXPECT_EQ(collapsed.card.bottom, 40) << "a collapsed card is its header";
}

TEST(EntryPanelGeometry, CardsStackAndTheLastExpandedOneFillsThePanel) {
  CardInput open;
  open.attachButtonWidth = 92;
  open.linkButtonWidth = 80;
  open.textHeight = 84;
  CardInput closed = open;
  closed.expanded = false;

  PanelGeometry g = LayoutCards(600, 800, 0, {open, closed}, 96);
  EXPECT_EQ(g.cards[0].card.top, 10);
  EXPECT_EQ(g.cards[1].card.top, g.cards[0].card.bottom + 8);
  EXPECT_EQ(g.contentHeight, 800) << "the open card's text grew to fill the panel";
  EXPECT_GT(g.cards[0].text.bottom - g.cards[0].text.top, 84);

  PanelGeometry none = LayoutCards(600, 800, 0, {closed, closed}, 96);
  EXPECT_EQ(none.contentHeight, 10 + 40 + 8 + 40) << "collapsed cards do not stretch";

  PanelGeometry scrolled = LayoutCards(600, 100, 30, {open, open}, 96);
  EXPECT_EQ(scrolled.cards[0].card.top, 10 - 30);
  EXPECT_EQ(scrolled.contentHeight, scrolled.cards[1].card.bottom + 30);
}

TEST(EntryPanelScrolling, ClampAndScrollIntoView) {
  EXPECT_EQ(ClampScroll(-5, 1000, 300), 0);
  EXPECT_EQ(ClampScroll(900, 1000, 300), 700);
  EXPECT_EQ(ClampScroll(50, 200, 300), 0);
  EXPECT_EQ(ScrollToShow(0, 500, 540, 300, 1000, 8), 248) << "bottom edge plus margin";
  EXPECT_EQ(ScrollToShow(400, 100, 140, 300, 1000, 8), 92) << "top edge minus margin";
  EXPECT_EQ(ScrollToShow(100, 150, 200, 300, 1000, 8), 100) << "already visible";
  EXPECT_EQ(ScrollToShow(0, 900, 1200, 300, 1000, 8), 700) << "taller than the page: its top wins, clamped";
}

}  // namespace
