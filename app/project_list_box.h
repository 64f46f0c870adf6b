// The two project list boxes: their subclass (keys, hover, right-button selection, the
// hint of an empty list), filling them from the computed rows, and their popup menus.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
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
// a list sends its parent when Escape asks to clear the selection. Beside the list box's
// own LBN_ codes, which are all below it.
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

// Where a list's context menu opens, in screen coordinates: the mouse point, or for the
// keyboard (the point -1, -1) 24 px right of the selected row's left edge at its
// bottom, or the same on the client rectangle when no row is selected.
POINT ContextMenuPoint(HWND list, LPARAM lparam, int dpi);
// The keyboard position in client coordinates, for a row (or the client rectangle).
POINT KeyboardMenuPoint(const RECT& rowOrClient, int dpi);

// Builds the popup (owner-drawn through the kit), tracks it with TPM_RETURNCMD |
// TPM_RIGHTBUTTON, destroys it and returns the chosen command (0 for none).
int TrackMenu(HWND owner, const std::vector<MenuLine>& lines, POINT screenPoint);
// A popup menu with these items (not yet owner-drawn); the caller owns it.
HMENU BuildPopupMenu(const std::vector<MenuLine>& lines);

// WM_CONTEXTMENU from a list, for the selected project: the menu at ContextMenuPoint,
// owned by owner; returns the chosen command (0 for none) for the caller to run.
int ShowProjectMenu(HWND owner, HWND list, LPARAM lparam, const Project& project, int dpi);
// The calendar's context menu (notification 0x5006) at its screen point: the chosen
// command, 40401 or 41000 + i for projectIds[i], or 0.
int ShowCalendarMenu(HWND owner, const ProjectDocument& document, const Date& day,
                     const std::vector<int32_t>& projectIds, POINT screenPoint);

// Tests replace the modal tracking: the handler gets the built menu and the point and
// returns the command. Null restores TrackPopupMenu.
using MenuTrackFn = std::function<int(HMENU menu, POINT screenPoint)>;
void SetMenuTrackHandler(MenuTrackFn handler);

}  // namespace projectlist
