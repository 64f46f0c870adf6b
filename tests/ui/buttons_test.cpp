// Kit buttons: their window properties, the hover state, what each style and state paints,
// and the Enter-key click of dialogs.
#include <gtest/gtest.h>

#include "ui/kit/buttons.h"
#include "ui/kit/colors.h"
#include "ui_test_util.h"

namespace {

using kit::color::kWindow;

// Paints the button through the kit into a canvas and returns it.
void Render(HWND button, UINT state, testui::PixelCanvas& canvas) {
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_BUTTON;
  item.CtlID = GetDlgCtrlID(button);
  item.itemAction = ODA_DRAWENTIRE;
  item.itemState = state;
  item.hwndItem = button;
  item.hDC = canvas.dc();
  item.rcItem = RECT{0, 0, canvas.width(), canvas.height()};
  ASSERT_TRUE(kit::DrawKitButton(item));
}

TEST(KitButtons, PropertiesEncodeStyleAndBackground) {
  testui::HostWindow host;
  HWND black = kit::CreateKitButton(host.hwnd, 10, L"확인", kit::kButtonPrimary, RGB(0, 0, 0));
  HWND ghost = kit::CreateKitButton(host.hwnd, 11, L"닫기", kit::kButtonGhost, kWindow, BS_NOTIFY);
  ASSERT_NE(black, nullptr);
  ASSERT_NE(ghost, nullptr);

  EXPECT_EQ(kit::KitButtonStyle(black), kit::kButtonPrimary);
  EXPECT_EQ(kit::KitButtonStyle(ghost), kit::kButtonGhost);
  EXPECT_EQ(reinterpret_cast<INT_PTR>(GetPropW(black, L"QL.BtnStyle")), kit::kButtonPrimary + 1);
  // Black must still count as a background: the stored value carries a flag bit.
  EXPECT_EQ(reinterpret_cast<UINT_PTR>(GetPropW(black, L"QL.BtnBg")), 0x1000000u);
  COLORREF color = RGB(1, 2, 3);
  EXPECT_TRUE(kit::KitButtonBackground(black, color));
  EXPECT_EQ(color, RGB(0, 0, 0));
  EXPECT_TRUE(kit::KitButtonBackground(ghost, color));
  EXPECT_EQ(color, kWindow);

  EXPECT_TRUE(GetWindowLongW(ghost, GWL_STYLE) & BS_NOTIFY) << "extra styles are kept";

  // A plain button is not a kit button and is left to its owner.
  HWND plain = CreateWindowExW(0, L"Button", L"x", WS_CHILD | BS_OWNERDRAW, 0, 0, 50, 20, host.hwnd, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  EXPECT_EQ(kit::KitButtonStyle(plain), -1);
  EXPECT_FALSE(kit::KitButtonBackground(plain, color));
  testui::PixelCanvas canvas(40, 20);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_BUTTON;
  item.hwndItem = plain;
  item.hDC = canvas.dc();
  item.rcItem = RECT{0, 0, 40, 20};
  EXPECT_FALSE(kit::DrawKitButton(item));
  item.CtlType = ODT_MENU;
  item.hwndItem = black;
  EXPECT_FALSE(kit::DrawKitButton(item)) << "menu items are not buttons";
}

TEST(KitButtons, HoverFollowsTheMouse) {
  testui::HostWindow host;
  HWND button = kit::CreateKitButton(host.hwnd, 10, L"확인", kit::kButtonSecondary, kWindow);
  EXPECT_FALSE(kit::KitButtonHot(button));
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(kit::KitButtonHot(button));
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(6, 5));
  EXPECT_TRUE(kit::KitButtonHot(button));
  SendMessageW(button, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(kit::KitButtonHot(button));
  EXPECT_EQ(SendMessageW(button, WM_ERASEBKGND, 0, 0), 1);
}

TEST(KitButtons, FacesFollowStyleAndState) {
  testui::EnsureUi();
  testui::HostWindow host;
  const COLORREF black = RGB(0, 0, 0);
  HWND primary = kit::CreateKitButton(host.hwnd, 1, L"", kit::kButtonPrimary, black);
  HWND secondary = kit::CreateKitButton(host.hwnd, 2, L"", kit::kButtonSecondary, kWindow);
  HWND danger = kit::CreateKitButton(host.hwnd, 3, L"", kit::kButtonDanger, kWindow);
  HWND ghost = kit::CreateKitButton(host.hwnd, 4, L"", kit::kButtonGhost, RGB(10, 200, 30));
  testui::PixelCanvas canvas(92, 34);
  auto fillAfter = [&](HWND button, UINT state) {
    Render(button, state, canvas);
    return canvas.At(46, 17);
  };

  EXPECT_EQ(fillAfter(primary, 0), kit::color::kAccent);
  EXPECT_EQ(canvas.At(0, 0), black) << "the corner shows the black background, not a default white";
  EXPECT_EQ(fillAfter(primary, ODS_SELECTED), kit::color::kAccentPressed);
  EXPECT_EQ(fillAfter(primary, ODS_DISABLED), kit::BlendColor(kit::color::kAccent, kit::color::kWhite, 130));
  SendMessageW(primary, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(fillAfter(primary, 0), kit::BlendColor(kit::color::kAccent, kit::color::kAccentPressed, 120));
  EXPECT_EQ(fillAfter(primary, ODS_SELECTED), kit::color::kAccentPressed) << "pressed wins over hot";
  SendMessageW(primary, WM_MOUSELEAVE, 0, 0);

  EXPECT_EQ(fillAfter(secondary, 0), kit::color::kWhite);
  EXPECT_TRUE(testui::PixelCanvas::Near(canvas.At(46, 1), kit::color::kControlBorder, 40)) << "1-px border";
  EXPECT_EQ(canvas.At(0, 0), kWindow);
  EXPECT_EQ(fillAfter(secondary, ODS_SELECTED), kit::color::kPressedFill);

  EXPECT_EQ(fillAfter(danger, 0), kit::color::kDangerBackground);
  EXPECT_EQ(fillAfter(danger, ODS_SELECTED),
            kit::BlendColor(kit::color::kDangerBackground, kit::color::kDangerMark, 70));

  EXPECT_EQ(fillAfter(ghost, 0), RGB(10, 200, 30)) << "a resting ghost button is its background";
  SendMessageW(ghost, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(fillAfter(ghost, 0), kit::color::kHoverFill);
  SendMessageW(ghost, WM_MOUSELEAVE, 0, 0);

  // The focus ring appears only when focus rectangles are shown.
  Render(primary, ODS_FOCUS, canvas);
  EXPECT_TRUE(testui::PixelCanvas::Near(canvas.At(46, 1), kit::color::kAccentPressed, 8));
  Render(primary, ODS_FOCUS | ODS_NOFOCUSRECT, canvas);
  EXPECT_EQ(canvas.At(46, 1), kit::color::kAccent);
  Render(secondary, ODS_FOCUS, canvas);
  EXPECT_TRUE(testui::PixelCanvas::Near(canvas.At(46, 1), kit::color::kAccent, 8));

  // Text: the danger colour, grey when disabled.
  kit::OwnedFontSet fonts(96);
  SetWindowTextW(danger, L"삭제 삭제");
  SendMessageW(danger, WM_SETFONT, reinterpret_cast<WPARAM>(fonts->bold), FALSE);
  RECT middle{10, 8, 82, 26};
  Render(danger, 0, canvas);
  EXPECT_GT(canvas.Count(middle, kit::color::kDangerText, 6), 10);
  Render(danger, ODS_DISABLED, canvas);
  EXPECT_EQ(canvas.Count(middle, kit::color::kDangerText, 6), 0);
  EXPECT_GT(canvas.Count(middle, kit::color::kHintText, 6), 10);
}

TEST(KitButtons, EnterClicksOnlyAFocusedPushButtonOfTheWindow) {
  testui::HostWindow host;
  testui::HostWindow other;
  ShowWindow(host.hwnd, SW_SHOW);
  HWND kitButton = kit::CreateKitButton(host.hwnd, 21, L"확인", kit::kButtonPrimary, kWindow);
  MoveWindow(kitButton, 10, 10, 92, 34, FALSE);
  HWND push = CreateWindowExW(0, L"Button", L"push", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 110, 10, 92, 34,
                              host.hwnd, reinterpret_cast<HMENU>(22), GetModuleHandleW(nullptr), nullptr);
  HWND check = CreateWindowExW(0, L"Button", L"check", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 50, 92, 34,
                               host.hwnd, reinterpret_cast<HMENU>(23), GetModuleHandleW(nullptr), nullptr);
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 110, 50, 92, 24, host.hwnd,
                              reinterpret_cast<HMENU>(24), GetModuleHandleW(nullptr), nullptr);
  HWND foreign = kit::CreateKitButton(other.hwnd, 25, L"x", kit::kButtonPrimary, kWindow);
  MoveWindow(foreign, 10, 10, 92, 34, FALSE);

  auto clicked = [&](int id) {
    for (auto [command, code] : host.commands)
      if (command == id && code == BN_CLICKED) return true;
    return false;
  };
  SetFocus(kitButton);
  ASSERT_EQ(GetFocus(), kitButton);
  EXPECT_TRUE(kit::ClickFocusedButton(host.hwnd));
  EXPECT_TRUE(clicked(21));
  SetFocus(push);
  EXPECT_TRUE(kit::ClickFocusedButton(host.hwnd));
  EXPECT_TRUE(clicked(22));

  host.commands.clear();
  SetFocus(check);
  EXPECT_FALSE(kit::ClickFocusedButton(host.hwnd)) << "Enter does not toggle a check box";
  SetFocus(edit);
  EXPECT_FALSE(kit::ClickFocusedButton(host.hwnd));
  EXPECT_FALSE(kit::ClickFocusedButton(nullptr));
  ShowWindow(other.hwnd, SW_SHOW);
  SetFocus(foreign);
  EXPECT_FALSE(kit::ClickFocusedButton(host.hwnd)) << "a button of another window";
  for (auto [command, code] : host.commands) EXPECT_NE(code, BN_CLICKED) << "control " << command;
  EXPECT_TRUE(other.commands.empty());
}

}  // namespace
