// The two project list boxes: their subclass (keys, hover, right-button selection, the
// hint of an empty list) and filling them from the computed rows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/project_list.h"
#include "model/project.h"
#include "ui/kit/fonts.h"

namespace projectlist {

// The styles of both lists; rows are owner-drawn by the parent through DrawListItem.
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                             LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;

// Notification code of WM_COMMAND (control id in the low word, the list as lParam) that
// a list sends its parent when Escape asks to clear the selection; none of the list
// box's own LBN_ codes has this value.
constexpr WORD kListEscape = 0x0100;

// Installs the list behaviour on a "LISTBOX" of kListStyle. What the list sends to its
// parent:
//   Enter          WM_COMMAND(IDM_PROJECT_MANAGE, 0), like the menu item
//   Delete         WM_COMMAND(IDM_PROJECT_DELETE, 0)
//   Escape         WM_COMMAND(MAKEWPARAM(id, kListEscape), list)
//   right button   on a row that is not selected: selects it and sends
//                  WM_COMMAND(MAKEWPARAM(id, LBN_SELCHANGE), list) as a click would;
//                  the button release then brings WM_CONTEXTMENU.
// fonts must outlive the list (the parent's font set, rebuilt in place).
bool AttachListBehaviour(HWND list, const kit::FontSet* fonts);
// Creates a list with kListStyle and its behaviour.
HWND CreateProjectList(HWND parent, int id, const kit::FontSet* fonts);

// The hovered row of a list, -1 for none.
int HoverItem(HWND list);

// Refills a list with the rows (titles as texts, ids as item data), keeping its top row,
// selecting the row of selectedId (or none), forgetting the hover row, and keeping the
// text it shows while it has no rows.
void FillList(HWND list, const std::vector<int32_t>& rows, const ProjectDocument& document, int32_t selectedId,
              const std::wstring& emptyText);
// Selects the row whose item data is the id, or no row. Returns the row, -1 for none.
int SelectRowOf(HWND list, int32_t id);
// The id of the selected row, 0 for none.
int32_t SelectedRowId(HWND list);
// The text a list shows while it has no rows.
std::wstring EmptyText(HWND list);

}  // namespace projectlist
