// The owner-drawn button family of the flat style.
#pragma once

#include <windows.h>

namespace kit {

enum ButtonStyle { kButtonSecondary = 0, kButtonPrimary = 1, kButtonDanger = 2, kButtonGhost = 3 };

// A child "Button" with BS_OWNERDRAW, the style and background properties and the
// hover subclass. extraStyles are added to WS_CHILD | WS_VISIBLE | WS_TABSTOP.
HWND CreateKitButton(HWND parent, int id, const wchar_t* text, int style, COLORREF background,
                     DWORD extraStyles = 0);
// Draws a kit button for WM_DRAWITEM; false when the item is not a kit button.
bool DrawKitButton(const DRAWITEMSTRUCT& item);
// Enter in a dialog: clicks the focused push or owner-draw child button of the window.
bool ClickFocusedButton(HWND window);

// The property values, exposed for tests.
int KitButtonStyle(HWND button);           // -1 when not a kit button
bool KitButtonBackground(HWND button, COLORREF& color);
bool KitButtonHot(HWND button);

}  // namespace kit
