// The popup menus of the project lists and of the calendar's days: where they open,
// how they are built and tracked.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "app/project_list.h"
#include "model/project.h"

namespace projectlist {

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
