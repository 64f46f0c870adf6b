// The message box's plain rules: button sets, symbols, geometry at several DPIs and work
// areas, placement and line breaks. Text is "measured" by a stand-in so no font is involved.
#include <gtest/gtest.h>

#include "ui/kit/msgbox_layout.h"

namespace {

using widgets::LayoutMsgBox;
using widgets::MsgBoxLayout;
using widgets::MsgBoxMetrics;

// A text of `chars` characters, 7 px each, wrapped at the width, 17 px a line.
struct FakeText {
  int chars = 0;
  std::vector<int> widthsAsked = {};
  SIZE operator()(int width) {
    widthsAsked.push_back(width);
    int perLine = std::max(width / 7, 1);
    int lines = (chars + perLine - 1) / perLine;
    return SIZE{std::min(chars, perLine) * 7, std::max(lines, 1) * 17};
  }
};

MsgBoxLayout Layout(const MsgBoxMetrics& m, FakeText& text) {
  return LayoutMsgBox(m, [&](int width) { return text(width); });
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

TEST(MsgBoxRules, ButtonSetsAndClosingValues) {
  auto ok = widgets::MsgBoxButtonsFor(MB_OK);
  EXPECT_EQ(ok.ids, (std::vector<int>{IDOK}));
  EXPECT_EQ(ok.closeResult, IDOK);
  auto okCancel = widgets::MsgBoxButtonsFor(MB_OKCANCEL | MB_ICONWARNING);
  EXPECT_EQ(okCancel.ids, (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_EQ(okCancel.closeResult, IDCANCEL);
  auto yesNo = widgets::MsgBoxButtonsFor(MB_YESNO);
  EXPECT_EQ(yesNo.ids, (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(yesNo.closeResult, IDNO);
  auto yesNoCancel = widgets::MsgBoxButtonsFor(MB_YESNOCANCEL | MB_DEFBUTTON3);
  EXPECT_EQ(yesNoCancel.ids, (std::vector<int>{IDYES, IDNO, IDCANCEL}));
  EXPECT_EQ(yesNoCancel.closeResult, IDCANCEL);
  EXPECT_EQ(yesNoCancel.defaultIndex, 2);
  // Sets the box does not offer fall back to a single OK.
  for (UINT other : {UINT(MB_ABORTRETRYIGNORE), UINT(MB_RETRYCANCEL), UINT(MB_CANCELTRYCONTINUE), 0xFu}) {
    auto set = widgets::MsgBoxButtonsFor(other);
    EXPECT_EQ(set.ids, (std::vector<int>{IDOK})) << other;
    EXPECT_EQ(set.defaultIndex, 0);
  }
  // The default button is limited to the last one.
  EXPECT_EQ(widgets::MsgBoxButtonsFor(MB_YESNO | MB_DEFBUTTON2).defaultIndex, 1);
  EXPECT_EQ(widgets::MsgBoxButtonsFor(MB_YESNO | MB_DEFBUTTON4).defaultIndex, 1);
  EXPECT_EQ(widgets::MsgBoxButtonsFor(MB_OK | MB_DEFBUTTON3).defaultIndex, 0);
  EXPECT_EQ(widgets::MsgBoxButtonsFor(MB_OKCANCEL | 0xF00).defaultIndex, 1);
  // The other bit groups do not leak into each other.
  EXPECT_EQ(widgets::MsgBoxSymbolFor(MB_ICONWARNING | MB_YESNO | MB_DEFBUTTON2), widgets::MsgBoxSymbol::kWarning);
  EXPECT_EQ(widgets::MsgBoxSymbolFor(MB_USERICON), widgets::MsgBoxSymbol::kNone);
}

TEST(MsgBoxGeometry, ShortTextWithIconKeepsMinimumsAndCentresText) {
  MsgBoxMetrics m;
  m.hasIcon = true;
  m.buttonCount = 1;
  FakeText text{10};  // one 70-px line
  MsgBoxLayout l = Layout(m, text);
  EXPECT_EQ(text.widthsAsked, (std::vector<int>{380}));
  EXPECT_EQ(l.client.cx, 48 + 56 + 220) << "the text column is at least 220 px";
  EXPECT_EQ(l.client.cy, 24 + 40 + 24 + 60);
  EXPECT_EQ(l.icon.left, 24);
  EXPECT_EQ(l.icon.top, 24);
  EXPECT_EQ(Width(l.icon), 40);
  EXPECT_EQ(l.text.left, 80);
  EXPECT_EQ(l.text.top, 24 + (40 - 17) / 2) << "a short text is centred against the icon";
  EXPECT_EQ(l.buttonRow.top, l.client.cy - 60);
  ASSERT_EQ(l.buttons.size(), 1u);
  EXPECT_EQ(l.buttons[0].right, l.client.cx - 20);
  EXPECT_EQ(Width(l.buttons[0]), 92);
  EXPECT_EQ(Height(l.buttons[0]), 34);
  EXPECT_EQ(l.buttons[0].top, l.buttonRow.top + 13);
  EXPECT_FALSE(l.editScrolls);
  EXPECT_TRUE(IsRectEmpty(&l.picture));
}

TEST(MsgBoxGeometry, LongTextWrapsAndButtonsCanWidenTheBox) {
  MsgBoxMetrics m;
  m.hasIcon = false;
  m.buttonCount = 3;
  FakeText text{200};  // 54 chars a line at 380 px: 4 lines of 378 px
  MsgBoxLayout l = Layout(m, text);
  EXPECT_EQ(l.client.cx, 48 + 378);
  EXPECT_EQ(l.text.left, 24);
  EXPECT_EQ(l.text.top, 24) << "no icon to centre against";
  EXPECT_EQ(Height(l.text), 4 * 17);
  EXPECT_EQ(l.client.cy, 24 + 68 + 24 + 60);
  ASSERT_EQ(l.buttons.size(), 3u);
  EXPECT_EQ(l.buttons[1].left - l.buttons[0].right, 8);
  EXPECT_EQ(l.buttons[2].right, l.client.cx - 20);

  FakeText shortText{3};
  MsgBoxLayout narrow = Layout(m, shortText);
  EXPECT_EQ(narrow.client.cx, 40 + 3 * 92 + 2 * 8) << "three buttons are wider than the text column";
  EXPECT_EQ(narrow.buttons[0].left, 20);
  EXPECT_LE(narrow.text.right, narrow.client.cx - 24);
}

TEST(MsgBoxGeometry, EverythingScalesWithDpi) {
  MsgBoxMetrics m;
  m.dpi = 144;
  m.hasIcon = true;
  m.buttonCount = 2;
  FakeText text{5};
  MsgBoxLayout l = Layout(m, text);
  EXPECT_EQ(text.widthsAsked, (std::vector<int>{570}));
  EXPECT_EQ(Width(l.buttons[0]), 138);
  EXPECT_EQ(Height(l.buttons[0]), 51);
  EXPECT_EQ(l.buttons[1].left - l.buttons[0].right, 12);
  EXPECT_EQ(l.client.cx, 72 + 60 + 24 + 330);
  EXPECT_EQ(l.client.cy, 36 + 60 + 36 + 90);
  EXPECT_EQ(l.text.left, 36 + 60 + 24);
}

TEST(MsgBoxGeometry, LongFormTakesItsWidthFromTheWorkArea) {
  MsgBoxMetrics m;
  m.longText = true;
  m.frame = SIZE{16, 39};
  m.workArea = RECT{0, 0, 1920, 1040};
  FakeText few{100};
  MsgBoxLayout l = Layout(m, few);
  EXPECT_EQ(l.client.cx, 600) << "at most 600 px without a picture";
  EXPECT_EQ(few.widthsAsked, (std::vector<int>{600 - 24 - 24 - 26}));
  EXPECT_EQ(Height(l.text), 240) << "the edit is at least 240 px high";
  EXPECT_EQ(l.text.top, 24);
  EXPECT_EQ(l.text.right, 600 - 24);
  EXPECT_FALSE(l.editScrolls);
  EXPECT_EQ(l.client.cy, 24 + 240 + 24 + 60);

  FakeText many{5000};
  l = Layout(m, many);
  EXPECT_EQ(Height(l.text), 366) << "and at most 366 px; the rest scrolls";
  EXPECT_TRUE(l.editScrolls);

  m.workArea = RECT{0, 0, 200, 300};
  FakeText small{100};
  l = Layout(m, small);
  EXPECT_EQ(l.client.cx, 252) << "a tiny screen still gets 252 px";
  EXPECT_EQ(Height(l.text), 300 - 39 - 24 - 24 - 60) << "cut to what the work area leaves";
  EXPECT_FALSE(l.editScrolls) << "four lines still fit";
  FakeText twelveLines{300};
  l = Layout(m, twelveLines);
  EXPECT_EQ(Height(l.text), 153);
  EXPECT_TRUE(l.editScrolls);
  m.workArea = RECT{0, 0, 200, 150};
  l = Layout(m, twelveLines);
  EXPECT_EQ(Height(l.text), 78) << "but never below 78 px";

  m.hasIcon = true;
  m.workArea = RECT{0, 0, 1920, 1040};
  l = Layout(m, small);
  EXPECT_EQ(l.text.left, 80);
  EXPECT_EQ(small.widthsAsked.back(), 600 - 80 - 24 - 26);
}

TEST(MsgBoxGeometry, PictureKeepsItsProportions) {
  MsgBoxMetrics m;
  m.longText = true;
  m.frame = SIZE{16, 39};
  m.workArea = RECT{0, 0, 1920, 1040};
  m.picture = SIZE{400, 200};
  FakeText text{500};  // 83 characters a line at 582 px: 7 lines
  MsgBoxLayout l = Layout(m, text);
  EXPECT_EQ(l.client.cx, 656) << "656 px with a picture";
  EXPECT_EQ(text.widthsAsked, (std::vector<int>{656 - 24 - 24 - 26}));
  int editHeight = Height(l.text);
  EXPECT_EQ(editHeight, 7 * 17 + 10) << "no 240 px minimum with a picture";
  EXPECT_EQ(l.picture.top, 24 + editHeight + 14);
  EXPECT_EQ(Width(l.picture), 656 - 48);
  EXPECT_EQ(Height(l.picture), (656 - 48) / 2);
  EXPECT_EQ(l.picture.left, 24);
  EXPECT_EQ(l.client.cy, l.picture.bottom + 24 + 60);

  // A short work area shrinks the picture, keeping the ratio, and centres it.
  m.workArea = RECT{0, 0, 1920, 500};
  l = Layout(m, text);
  int left = 500 - 39 - 60 - 24 - l.picture.top;
  ASSERT_LT(left, 304);
  EXPECT_EQ(Height(l.picture), left);
  EXPECT_EQ(Width(l.picture), left * 2);
  EXPECT_EQ(l.picture.left, (656 - left * 2) / 2);
  EXPECT_EQ(l.client.cy, 500 - 39) << "the box fills the work area exactly";

  // No room at all: no picture rather than a negative one.
  m.workArea = RECT{0, 0, 1920, 200};
  l = Layout(m, text);
  EXPECT_TRUE(IsRectEmpty(&l.picture));
  EXPECT_GE(l.client.cy, 24 + 78 + 24 + 60);
}

TEST(MsgBoxGeometry, PlacementCentresThenStaysInsideTheWorkArea) {
  RECT work{0, 0, 1000, 800};
  RECT owner{100, 100, 500, 400};
  POINT p = widgets::PlaceMsgBox(SIZE{200, 100}, &owner, work);
  EXPECT_EQ(p.x, 200);
  EXPECT_EQ(p.y, 200);
  RECT nearEdge{900, 750, 1100, 900};
  p = widgets::PlaceMsgBox(SIZE{300, 200}, &nearEdge, work);
  EXPECT_EQ(p.x, 700);
  EXPECT_EQ(p.y, 600);
  // Larger than the work area: the caption stays on screen.
  RECT second{1000, 0, 2000, 800};
  p = widgets::PlaceMsgBox(SIZE{1200, 900}, nullptr, second);
  EXPECT_EQ(p.x, 1000);
  EXPECT_EQ(p.y, 0);
}

TEST(MsgBoxRules, EditLineBreaks) {
  EXPECT_EQ(widgets::ToEditLineBreaks(L"a\nb"), L"a\r\nb");
  EXPECT_EQ(widgets::ToEditLineBreaks(L"a\r\nb\r\n"), L"a\r\nb\r\n");
  EXPECT_EQ(widgets::ToEditLineBreaks(L"a\rb\n\n"), L"ab\r\n\r\n");
  EXPECT_EQ(widgets::ToEditLineBreaks(L""), L"");
}

}  // namespace
