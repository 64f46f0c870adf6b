// The entry panel: the scrollable list of dated cards inside the project dialog, each
// with tag chips, a tag input, attachment buttons, a text editor and attachment rows.
// It edits its own copy of the entries; the dialog reads them back when it saves.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "model/project.h"
#include "ui/kit/fonts.h"
#include "views/attachments.h"

namespace entrypanel {

constexpr const wchar_t* kEntryPanelClass = L"QuenlorEntryPanel";
constexpr int kEntryPanelId = 2012;
// WM_COMMAND notification code to the parent for every change the user makes.
constexpr WORD kChangedNotification = 0x1001;

enum ControlId : int {
  kAttachButtonId = 3010,
  kLinkButtonId = 3011,
  kRowButtonId = 3012,
  kRemoveButtonId = 3013,
};

// What the panel asks of the system; empty members mean the real thing.
struct Services {
  std::function<std::vector<std::wstring>(HWND owner)> pickFiles;
  std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)> messageBox;
  attachments::RevealFn reveal;
  // Where web-link shortcuts go when the project folder is missing; empty means Documents.
  std::wstring documentsFolder;
};

struct PanelState;

bool RegisterEntryPanelClass(HINSTANCE instance);
// fonts and services belong to the dialog and must outlive the panel.
HWND CreateEntryPanel(HWND parent, const kit::FontSet* fonts, const Services* services);

void SetEntries(HWND panel, const std::vector<Entry>& entries);
std::vector<Entry> GetEntries(HWND panel);
void SetLocation(HWND panel, const std::wstring& folder);
bool AddDate(HWND panel, const Date& date);
bool FocusDate(HWND panel, const Date& date);
void ExpandAll(HWND panel);
void CollapseAll(HWND panel);
int CardCount(HWND panel);
// Finishes a pending link input; false when the link is refused.
bool AcceptCard(HWND panel, int card);
void CancelCardInput(HWND panel, int card);
// The card whose link input holds the focus, or -1.
int CardWithFocusedLinkInput(HWND panel);
// After the dialog rebuilt its fonts (DPI or language change).
void ApplyFonts(HWND panel);
// Fixes "today" for tests and screenshots; an invalid date restores the clock.
void SetFixedToday(HWND panel, const Date& today);
// Paints the panel (without its child controls) into a DC of its client size.
void PaintTo(HWND panel, HDC dc);

// The state, for tests; null for any other window.
const PanelState* StateOf(HWND panel);

}  // namespace entrypanel
