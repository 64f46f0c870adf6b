// What the calendar view reports to the main window, and the context menu of its days.
#include <windows.h>

#include "app/main_window.h"
#include "app/project_list_menu.h"
#include "app/settings.h"
#include "resources/command_ids.h"
#include "views/calendar_view.h"

namespace mainwindow {

LRESULT MainWindow::OnNotify(const NMHDR* header) {
  if (header == nullptr || header->idFrom != kCalendarId || header->hwndFrom != calendar_) return 0;
  OnCalendarNotification(*reinterpret_cast<const calendar::CalendarNotification*>(header));
  return 0;
}

void MainWindow::OnCalendarNotification(const calendar::CalendarNotification& notification) {
  switch (notification.header.code) {
    case calendar::CalendarDateChanged:
      RefreshStatusBar();
      break;
    case calendar::CalendarViewChanged:
      settings::WriteSettingDword(L"ViewMode", static_cast<uint32_t>(calendar::GetViewMode(calendar_)));
      RefreshStatusBar();
      break;
    case calendar::CalendarNewProject:
      NewProject(notification.date);
      break;
    case calendar::CalendarOpenProject:
      ManageProject(notification.projectId, notification.date);
      break;
    case calendar::CalendarProjectClicked:
      SelectProject(notification.projectId, false);
      break;
    case calendar::CalendarContextMenu:
      ShowCalendarDayMenu(notification);
      break;
    default:
      break;
  }
}

void MainWindow::ShowCalendarDayMenu(const calendar::CalendarNotification& notification) {
  Date day = projectlist::CalendarMenuDay(notification.date, calendar::GetSelectedDate(calendar_));
  std::vector<int32_t> ids = projectlist::CalendarMenuProjects(document_, day, notification.projectId);
  LifeWatch watch = Watch();
  int command = projectlist::ShowCalendarMenu(window_, document_, day, ids, notification.point);
  if (watch.Gone()) return;
  if (command == IDM_CALENDAR_NEW) {
    NewProject(day);
    return;
  }
  size_t index = static_cast<size_t>(command - IDM_CALENDAR_MANAGE_FIRST);
  if (command >= IDM_CALENDAR_MANAGE_FIRST && index < ids.size() && document_.Find(ids[index]) != nullptr) {
    ManageProject(ids[index], day);
  }
}

}  // namespace mainwindow
