// The program's own message box, used instead of the system one everywhere.
#pragma once

#include <windows.h>

namespace widgets {

// flags take the MB_ button set, icon and default-button bits. iconId draws that icon
// resource instead of the painted symbol; bitmapId asks for the long-text form with a
// picture; longText asks for the long-text form without one. Returns IDOK, IDCANCEL,
// IDYES or IDNO.
int MsgBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags, int iconId = 0, int bitmapId = 0,
           bool longText = false);

// The long-text form with a picture that the caller owns and keeps until the call returns
// (a bitmap made at run time rather than a resource). A null picture gives the form without one.
int MsgBoxWithPicture(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags, HBITMAP picture,
                      int iconId = 0);

// The long-text form as a modeless window (the release notes): created hidden, owned by
// the owner's top-level window, which stays enabled. The caller shows it and gives the
// focus to its OK button (id IDOK). A button, Escape (IDCANCEL), WM_CLOSE or the close box
// destroys it. Null when it cannot be created.
HWND CreateModelessMsgBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags, int iconId = 0);

// Registers the window class "QuenlorMsgBox" for the instance. True when the class is
// registered afterwards (also when it already was). MsgBox registers it on first use
// when start-up has not.
bool RegisterMsgBoxClass(HINSTANCE instance);

}  // namespace widgets
