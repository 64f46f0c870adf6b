// The project dialog's window state, shared by its window, painting and modal loop.
#pragma once

#include <windows.h>

#include <string>

#include "model/project.h"
#include "ui/kit/base_window.h"
#include "ui/kit/fonts.h"
#include "views/entry_panel.h"
#include "views/project_dialog.h"
#include "views/project_dialog_layout.h"

namespace projectdlg {

struct DialogState : kit::BaseWindow<DialogState> {
  DialogState(const Project& p, bool n, const Date& d, Services s);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  Project project;
  bool isNew;
  Date defaultDate;
  Services services;
  entrypanel::Services panelServices;
  kit::OwnedFontSet fonts;
  int category = 0;
  int colorIndex = 0;
  bool completed = false;
  bool dirty = false;
  bool loading = true;
  int result = kClosed;
  bool done = false;
  DialogLayout layout;
  HWND panel = nullptr;

  int dpi() const { return fonts->dpi; }
  Date today() const { return dates::IsValid(services.today) ? services.today : dates::Today(); }
  HWND child(int id) const { return GetDlgItem(window(), id); }
};

// ---- project_dialog.cpp --------------------------------------------------------------
void LayOutDialog(DialogState& state);
void Save(DialogState& state);
void Close(DialogState& state);
void AddDateFromPicker(DialogState& state);
int Ask(DialogState& state, const std::wstring& text, const wchar_t* caption, UINT flags);

// ---- project_dialog_paint.cpp --------------------------------------------------------
void PaintDialog(const DialogState& state, HDC dc, const RECT& client);
// The completed box, the category buttons and the swatches; false for other items.
bool DrawDialogItem(const DialogState& state, const DRAWITEMSTRUCT& item);

}  // namespace projectdlg
