// Owner-drawn menus: conversion, which item data is trusted, sizes, painting and the
// keyboard mnemonics that Windows cannot find in owner-drawn items itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "i18n/language.h"
#include "support/language_scope.h"
#include "ui/kit/colors.h"
#include "ui/kit/fonts.h"
#include "ui/kit/menus.h"
#include "ui_test_util.h"

namespace {

struct MenuItem {
  UINT type = 0;
  ULONG_PTR data = 0;
  HMENU submenu = nullptr;
};

MenuItem ItemAt(HMENU menu, int position) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_SUBMENU;
  GetMenuItemInfoW(menu, position, TRUE, &info);
  return {info.fType, info.dwItemData, info.hSubMenu};
}

// A popup like the program's File menu, with a submenu.
kit::UniqueMenu BuildFileMenu() {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 100, L"열기(&O)...\tCtrl+O");
  AppendMenuW(menu, MF_STRING, 101, L"저장(&S)");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, 102, L"Save && Exit");
  HMENU language = CreatePopupMenu();
  AppendMenuW(language, MF_STRING, 110, L"English");
  AppendMenuW(language, MF_STRING, 111, L"한국어");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(language), L"언어(&L)");
  AppendMenuW(menu, MF_STRING, 103, L"종료(&X)");
  return kit::UniqueMenu(menu);
}

LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam, bool& handled) {
  LRESULT result = 0;
  handled = kit::HandleMenuMessage(window, message, wparam, lparam, result);
  return result;
}

MEASUREITEMSTRUCT Measure(HMENU menu, int position, bool* handled = nullptr) {
  MEASUREITEMSTRUCT measure{};
  measure.CtlType = ODT_MENU;
  measure.itemData = ItemAt(menu, position).data;
  bool ok = false;
  Send(nullptr, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure), ok);
  if (handled != nullptr) *handled = ok;
  return measure;
}

TEST(KitMenus, MnemonicMatching) {
  std::vector<std::wstring> labels = {L"Save && Exit", L"열기(&O)...", L"&Open again", L"", L"E&xit", L"A&&&B"};
  EXPECT_EQ(kit::FindMenuMnemonic(labels, L'o'), 1) << "the first matching label wins";
  EXPECT_EQ(kit::FindMenuMnemonic(labels, L'O'), 1) << "case does not matter";
  EXPECT_EQ(kit::FindMenuMnemonic(labels, L'X'), 4);
  EXPECT_EQ(kit::FindMenuMnemonic(labels, L' '), -1) << "\"&& \" is a literal ampersand and a space";
  EXPECT_EQ(kit::FindMenuMnemonic(labels, L'&'), -1);
  EXPECT_EQ(kit::FindMenuMnemonic(labels, L'b'), 5) << "\"&&\" then \"&B\"";
  EXPECT_EQ(kit::FindMenuMnemonic({L"Trailing&"}, L'g'), -1);
  EXPECT_EQ(kit::FindMenuMnemonic({L"Trailing&"}, L'\0'), -1);
  EXPECT_EQ(kit::FindMenuMnemonic({L"&Ärger"}, L'ä'), 0) << "lower-casing is not limited to ASCII";
  EXPECT_EQ(kit::FindMenuMnemonic({}, L'a'), -1);
}

TEST(KitMenus, ConversionMarksEveryItemOnce) {
  kit::UniqueMenu menu = BuildFileMenu();
  AppendMenuW(menu.get(), MF_OWNERDRAW, 104, reinterpret_cast<LPCWSTR>(0x1234));
  kit::MakeMenuOwnerDrawn(menu.get(), false);

  int count = GetMenuItemCount(menu.get());
  for (int i = 0; i < count; ++i) {
    MenuItem item = ItemAt(menu.get(), i);
    EXPECT_TRUE(item.type & MFT_OWNERDRAW) << "item " << i;
    EXPECT_NE(item.data, 0u) << "item " << i;
  }
  EXPECT_TRUE(ItemAt(menu.get(), 2).type & MFT_SEPARATOR) << "separators stay separators";
  HMENU language = ItemAt(menu.get(), 4).submenu;
  ASSERT_NE(language, nullptr);
  EXPECT_TRUE(ItemAt(language, 1).type & MFT_OWNERDRAW) << "submenus are converted too";
  MENUINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = MIM_BACKGROUND;
  GetMenuInfo(language, &info);
  EXPECT_EQ(info.hbrBack, GetStockObject(WHITE_BRUSH));

  // Converting again keeps the records; the foreign owner-drawn item keeps its own data.
  ULONG_PTR before = ItemAt(menu.get(), 0).data;
  kit::MakeMenuOwnerDrawn(menu.get(), false);
  EXPECT_EQ(ItemAt(menu.get(), 0).data, before);
  EXPECT_EQ(ItemAt(menu.get(), 6).data, 0x1234u);

  bool handled = true;
  Measure(menu.get(), 6, &handled);
  EXPECT_FALSE(handled) << "item data that is not a kit record is left to its owner";
  MEASUREITEMSTRUCT notMenu{};
  notMenu.CtlType = ODT_LISTBOX;
  notMenu.itemData = before;
  Send(nullptr, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&notMenu), handled);
  EXPECT_FALSE(handled);

  kit::ReleaseOwnerDrawnMenu(menu.get());
  Measure(menu.get(), 0, &handled);
  EXPECT_FALSE(handled) << "released records are no longer trusted";
  kit::MakeMenuOwnerDrawn(nullptr, false);  // harmless
}

TEST(KitMenus, SizesScaleWithTheRegisteredFontSet) {
  testui::EnsureUi();
  kit::UniqueMenu menu = BuildFileMenu();
  kit::UniqueMenu bar(CreateMenu());
  AppendMenuW(bar.get(), MF_STRING, 200, L"파일(&F)");
  kit::MakeMenuOwnerDrawn(menu.get(), false);
  kit::MakeMenuOwnerDrawn(bar.get(), true);
  kit::SetMenuFontSet(nullptr);

  MEASUREITEMSTRUCT open = Measure(menu.get(), 0);
  MEASUREITEMSTRUCT save = Measure(menu.get(), 1);
  MEASUREITEMSTRUCT separator = Measure(menu.get(), 2);
  MEASUREITEMSTRUCT file = Measure(bar.get(), 0);
  EXPECT_EQ(open.itemHeight, 32u);
  EXPECT_EQ(separator.itemHeight, 9u);
  EXPECT_EQ(separator.itemWidth, 10u);
  EXPECT_EQ(file.itemHeight, 28u);
  // An accelerator column costs its width and 40 px instead of 16 px.
  EXPECT_GT(open.itemWidth, save.itemWidth + 24 + 30);
  // The label is measured as shown: "&" marks are not counted.
  EXPECT_LT(file.itemWidth, 12u + 70u);
  EXPECT_GT(file.itemWidth, 12u + 20u);

  kit::OwnedFontSet large(144);
  kit::SetMenuFontSet(&large.get());
  EXPECT_EQ(Measure(menu.get(), 0).itemHeight, 48u);
  EXPECT_EQ(Measure(bar.get(), 0).itemHeight, 42u);
  EXPECT_GT(Measure(menu.get(), 1).itemWidth, save.itemWidth * 5 / 4);
  kit::SetMenuFontSet(nullptr);
  EXPECT_EQ(Measure(menu.get(), 0).itemHeight, 32u);
}

// True when every character of the text has a glyph in the font.
bool Covers(HFONT font, const std::wstring& text) {
  kit::WindowDc screen(nullptr);
  kit::SelectObjectScope select(screen.get(), font);
  std::vector<WORD> glyphs(text.size());
  if (GetGlyphIndicesW(screen.get(), text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                       GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
    return false;
  }
  return std::find(glyphs.begin(), glyphs.end(), 0xFFFF) == glyphs.end();
}

TEST(KitMenus, LanguageNamesAreDrawnInAFaceThatHasTheirScript) {
  testui::EnsureUi();
  testpaths::LanguageScope language(i18n::kKorean);
  ASSERT_TRUE(kit::PretendardAvailable());
  const struct {
    int language;
    const wchar_t* name;
  } names[] = {{i18n::kJapanese, L"日本語"}, {i18n::kChinese, L"简体中文"}, {i18n::kKorean, L"한국어"},
               {i18n::kFrench, L"Français"}};
  for (const auto& n : names) {
    EXPECT_TRUE(Covers(kit::BodyFontFor(n.language, 96), n.name)) << testing::PrintToString(std::wstring(n.name));
  }
  // Why: the Korean and English face has no ideographs at all.
  EXPECT_FALSE(Covers(kit::BodyFontFor(i18n::kKorean, 96), L"日本語"));

  // Measured in the item's own face; Latin text tells the faces apart by width (Wine
  // would fill missing ideographs from another face at the same width).
  kit::UniqueMenu menu(CreatePopupMenu());
  AppendMenuW(menu.get(), MF_STRING, 110, L"Deutsch");
  AppendMenuW(menu.get(), MF_STRING, 111, L"Deutsch");
  kit::MakeMenuOwnerDrawn(menu.get(), false);
  kit::SetMenuFontSet(nullptr);
  kit::SetMenuItemLanguage(menu.get(), 110, i18n::kJapanese);
  kit::SetMenuItemLanguage(menu.get(), 999, i18n::kJapanese);  // no such item: nothing happens
  auto width = [](HFONT font) {
    kit::WindowDc screen(nullptr);
    kit::SelectObjectScope select(screen.get(), font);
    RECT text{};
    DrawTextW(screen.get(), L"Deutsch", 7, &text, DT_CALCRECT | DT_SINGLELINE);
    return static_cast<UINT>(34 + 16 + text.right - text.left);
  };
  UINT japanese = width(kit::BodyFontFor(i18n::kJapanese, 96));
  UINT korean = width(kit::BodyFontFor(i18n::kKorean, 96));
  ASSERT_NE(japanese, korean);
  EXPECT_EQ(Measure(menu.get(), 0).itemWidth, japanese);
  EXPECT_EQ(Measure(menu.get(), 1).itemWidth, korean) << "other items keep the menu font";
  kit::ReleaseOwnerDrawnMenu(menu.get());
}

TEST(KitMenus, PaintingShowsSelectionCheckAndDisabledState) {
  testui::EnsureUi();
  kit::SetMenuFontSet(nullptr);
  kit::UniqueMenu menu = BuildFileMenu();
  kit::UniqueMenu bar(CreateMenu());
  AppendMenuW(bar.get(), MF_STRING, 200, L"파일(&F)");
  kit::MakeMenuOwnerDrawn(menu.get(), false);
  kit::MakeMenuOwnerDrawn(bar.get(), true);
  CheckMenuRadioItem(menu.get(), 100, 101, 101, MF_BYCOMMAND);

  testui::PixelCanvas canvas(200, 32, RGB(255, 0, 255));
  auto draw = [&](HMENU owner, int position, UINT state) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemID = GetMenuItemID(owner, position);
    item.itemState = state;
    item.hwndItem = reinterpret_cast<HWND>(owner);
    item.hDC = canvas.dc();
    item.rcItem = RECT{0, 0, 200, 32};
    item.itemData = ItemAt(owner, position).data;
    bool handled = false;
    Send(nullptr, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item), handled);
    return handled;
  };

  ASSERT_TRUE(draw(menu.get(), 0, 0));
  EXPECT_EQ(canvas.At(6, 16), kit::color::kWhite);
  EXPECT_EQ(canvas.Count(RECT{0, 0, 200, 32}, RGB(255, 0, 255)), 0) << "the whole item is painted";
  EXPECT_GT(canvas.Count(RECT{150, 0, 200, 32}, kit::color::kMutedText, 24), 0) << "accelerator text";

  draw(menu.get(), 0, ODS_SELECTED);
  EXPECT_EQ(canvas.At(6, 16), kit::color::kAccentTint);
  EXPECT_EQ(canvas.At(2, 16), kit::color::kWhite) << "the highlight is inset";
  draw(menu.get(), 0, ODS_SELECTED | ODS_GRAYED);
  EXPECT_EQ(canvas.At(6, 16), kit::color::kWhite) << "a grayed item is not highlighted";
  EXPECT_EQ(canvas.Count(RECT{34, 0, 120, 32}, kit::color::kText, 24), 0);
  EXPECT_GT(canvas.Count(RECT{34, 0, 120, 32}, kit::color::kHintText, 16), 0);

  // CheckMenuRadioItem turned item 1 into a radio item after conversion: a dot, not a tick.
  draw(menu.get(), 1, ODS_CHECKED);
  EXPECT_EQ(canvas.At(18, 16), kit::color::kAccent);
  EXPECT_EQ(canvas.At(18, 13), kit::color::kAccent);
  draw(menu.get(), 3, ODS_CHECKED);
  EXPECT_EQ(canvas.At(18, 13), kit::color::kWhite) << "a tick, not a dot";
  EXPECT_GT(canvas.Count(RECT{12, 8, 25, 24}, kit::color::kAccent, 40), 3);
  draw(menu.get(), 3, 0);
  EXPECT_EQ(canvas.Count(RECT{12, 8, 25, 24}, kit::color::kAccent, 40), 0);

  draw(menu.get(), 2, 0);
  EXPECT_EQ(canvas.At(100, 16), kit::color::kLine) << "separator at half height";
  EXPECT_EQ(canvas.At(5, 16), kit::color::kWhite) << "separator starts 10 px in";

  ASSERT_TRUE(draw(bar.get(), 0, 0));
  EXPECT_EQ(canvas.At(3, 16), kit::Rgb(0xF8F9FC));
  draw(bar.get(), 0, ODS_HOTLIGHT);
  EXPECT_EQ(canvas.At(3, 16), kit::Rgb(0xE2E7FC));
  EXPECT_EQ(canvas.At(3, 1), kit::Rgb(0xF8F9FC));
}

TEST(KitMenus, MenuCharExecutesTheMatchingItem) {
  kit::UniqueMenu menu = BuildFileMenu();
  kit::MakeMenuOwnerDrawn(menu.get(), false);
  auto menuChar = [&](wchar_t c, bool& handled) {
    return Send(nullptr, WM_MENUCHAR, MAKEWPARAM(c, MF_POPUP), reinterpret_cast<LPARAM>(menu.get()), handled);
  };
  bool handled = false;
  LRESULT r = menuChar(L'x', handled);
  EXPECT_TRUE(handled);
  EXPECT_EQ(LOWORD(r), 5);
  EXPECT_EQ(HIWORD(r), MNC_EXECUTE);
  r = menuChar(L'L', handled);
  EXPECT_EQ(LOWORD(r), 4) << "a submenu item is found by its mnemonic too";
  menuChar(L'q', handled);
  EXPECT_FALSE(handled);

  kit::UniqueMenu plain(CreatePopupMenu());
  AppendMenuW(plain.get(), MF_STRING, 1, L"&Quit");
  Send(nullptr, WM_MENUCHAR, MAKEWPARAM(L'q', MF_POPUP), reinterpret_cast<LPARAM>(plain.get()), handled);
  EXPECT_FALSE(handled) << "an unconverted menu is left to Windows";
}

}  // namespace
