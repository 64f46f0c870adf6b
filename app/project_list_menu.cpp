#include "app/project_list_menu.h"

#include <windowsx.h>

#include <utility>

#include "ui/kit/gdi.h"
#include "ui/kit/menus.h"
#include "ui/kit/scale.h"

namespace projectlist {
namespace {

constexpr int kMenuOffsetX = 24;

MenuTrackFn& TrackHandler() {
  static MenuTrackFn handler;
  return handler;
}

}  // namespace

POINT KeyboardMenuPoint(const RECT& rowOrClient, int dpi) {
  return POINT{rowOrClient.left + kit::Scale(kMenuOffsetX, dpi), rowOrClient.bottom};
}

POINT ContextMenuPoint(HWND list, LPARAM lparam, int dpi) {
  POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  if (point.x != -1 || point.y != -1) return point;
  RECT rect{};
  LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (row == LB_ERR || SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)) == LB_ERR) {
    GetClientRect(list, &rect);
  }
  point = KeyboardMenuPoint(rect, dpi);
  ClientToScreen(list, &point);
  return point;
}

HMENU BuildPopupMenu(const std::vector<MenuLine>& lines) {
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return nullptr;
  for (const MenuLine& line : lines) {
    if (line.command == 0) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu, MF_STRING | (line.grayed ? MF_GRAYED : 0), static_cast<UINT_PTR>(line.command),
                  line.text.c_str());
    }
  }
  return menu;
}

int TrackMenu(HWND owner, const std::vector<MenuLine>& lines, POINT screenPoint) {
  kit::UniqueMenu menu(BuildPopupMenu(lines));
  if (!menu) return 0;
  kit::MakeMenuOwnerDrawn(menu.get(), false);
  int command = TrackHandler() ? TrackHandler()(menu.get(), screenPoint)
                               : TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screenPoint.x,
                                                screenPoint.y, 0, owner, nullptr);
  kit::ReleaseOwnerDrawnMenu(menu.get());
  return command;
}

int ShowProjectMenu(HWND owner, HWND list, LPARAM lparam, const Project& project, int dpi) {
  return TrackMenu(owner, ProjectMenu(project), ContextMenuPoint(list, lparam, dpi));
}

int ShowCalendarMenu(HWND owner, const ProjectDocument& document, const Date& day,
                     const std::vector<int32_t>& projectIds, POINT screenPoint) {
  return TrackMenu(owner, CalendarMenu(document, day, projectIds), screenPoint);
}

void SetMenuTrackHandler(MenuTrackFn handler) { TrackHandler() = std::move(handler); }

}  // namespace projectlist
