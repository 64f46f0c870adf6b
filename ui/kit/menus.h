// Flat owner-drawn menus.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/kit/gdi.h"

namespace kit {

struct FontSet;

// Converts every item (and every submenu) to owner-drawn items with the flat look.
void MakeMenuOwnerDrawn(HMENU menu, bool isMenuBar);
// Fonts used to measure and draw menus; null uses 96-DPI defaults.
void SetMenuFontSet(const FontSet* fonts);
// Handles WM_MEASUREITEM, WM_DRAWITEM and WM_MENUCHAR for the converted menus.
bool HandleMenuMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

// Draws the item with the given command id (in the menu or its submenus) in the body
// font of that language: for the names of languages, each in its own script.
void SetMenuItemLanguage(HMENU menu, UINT commandId, int language);

// Frees the item records of a converted menu and its submenus; call before destroying
// a menu that is rebuilt (for example on a language change). Its items are ignored afterwards.
void ReleaseOwnerDrawnMenu(HMENU menu);

// A converted menu that owns its item records: records and menu go together.
struct OwnerDrawnMenuTraits {
  using Handle = HMENU;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) {
    ReleaseOwnerDrawnMenu(h);
    DestroyMenu(h);
  }
};
using OwnerDrawnMenu = UniqueResource<OwnerDrawnMenuTraits>;
// Converts the menu (MakeMenuOwnerDrawn) and takes it over.
OwnerDrawnMenu MakeOwnerDrawn(UniqueMenu menu, bool isMenuBar);

// The index of the first label whose mnemonic ("&" and the character; "&&" is a literal
// ampersand) matches the typed character without regard to case; -1 when none does.
int FindMenuMnemonic(const std::vector<std::wstring>& labels, wchar_t typed);

}  // namespace kit
