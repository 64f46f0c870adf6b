// The notification icon, showing and hiding the window, exit and the end of a session.
#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>

#include "app/autostart.h"
#include "app/main_window.h"
#include "i18n/translate.h"
#include "resources/command_ids.h"
#include "resources/resource_ids.h"
#include "ui/kit/gdi.h"
#include "ui/kit/menus.h"

namespace mainwindow {

namespace {

NOTIFYICONDATAW IconData(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = 1;
  return data;
}

}  // namespace

NOTIFYICONDATAW MainWindow::TrayIconData() const {
  NOTIFYICONDATAW data = IconData(window_);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  data.uCallbackMessage = kTrayCallback;
  data.hIcon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  lstrcpynW(data.szTip, i18n::Translate(L"Tavrilo - 클릭하여 열기"), ARRAYSIZE(data.szTip));
  return data;
}

bool MainWindow::AddTrayIcon() {
  if (trayIconAdded_) return true;
  NOTIFYICONDATAW data = TrayIconData();
  trayIconAdded_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  if (trayIconAdded_) {
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &data);
  }
  return trayIconAdded_;
}

void MainWindow::OnTaskbarCreated() {
  // A restarted Explorer has lost the icon and takes it back with an add. A taskbar
  // that was only rebuilt still knows it and refuses the add as a duplicate: the icon
  // is then brought up to date in place, or removed and added afresh. Only when none
  // of that works is the window shown, as the icon is the only way back to it.
  trayIconAdded_ = false;
  if (AddTrayIcon()) return;
  NOTIFYICONDATAW data = TrayIconData();
  if (Shell_NotifyIconW(NIM_MODIFY, &data)) {
    trayIconAdded_ = true;
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &data);
    return;
  }
  DeleteTrayIcon();
  if (!AddTrayIcon()) ShowMainWindow();
}

void MainWindow::DeleteTrayIcon() {
  NOTIFYICONDATAW data = IconData(window_);
  Shell_NotifyIconW(NIM_DELETE, &data);
  trayIconAdded_ = false;
}

void MainWindow::ShowMainWindow() {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  GetWindowPlacement(window_, &placement);
  int show = IsIconic(window_) ? SW_RESTORE : (placement.showCmd == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOW);
  ShowWindow(window_, show);
  HWND popup = GetLastActivePopup(window_);
  SetForegroundWindow(popup && IsWindowVisible(popup) ? popup : window_);
  OfferReleaseNotes();
}

void MainWindow::OnTrayCallback(WPARAM wparam, LPARAM lparam) {
  switch (LOWORD(lparam)) {
    case WM_CONTEXTMENU:
      ShowTrayMenu(POINT{GET_X_LPARAM(wparam), GET_Y_LPARAM(wparam)});
      break;
    case WM_LBUTTONDBLCLK:
    case NIN_SELECT:
    case NIN_KEYSELECT:
      ShowMainWindow();
      break;
    default:
      break;
  }
}

void MainWindow::ShowTrayMenu(POINT point) {
  if (!IsWindowEnabled(window_)) {
    ShowMainWindow();
    return;
  }
  if (point.x == -1 && point.y == -1) GetCursorPos(&point);
  kit::UniqueMenu items(CreatePopupMenu());
  AppendMenuW(items.get(), MF_STRING, IDM_SHOW_WINDOW, i18n::Translate(L"Tavrilo 열기"));
  AppendMenuW(items.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(items.get(), MF_STRING | (autostart::IsPresent() ? MF_CHECKED : 0), IDM_AUTOSTART,
              i18n::Translate(L"Windows 시작 시 자동 실행"));
  AppendMenuW(items.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(items.get(), MF_STRING, IDM_EXIT, i18n::Translate(L"종료"));
  kit::OwnerDrawnMenu menu = kit::MakeOwnerDrawn(std::move(items), false);
  SetForegroundWindow(window_);
  HWND window = window_;
  auto life = Watch();
  int command = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, window, nullptr);
  menu.reset();
  if (life.Gone()) return;
  PostMessageW(window, WM_NULL, 0, 0);
  if (command != 0) RunCommand(command);
}

void MainWindow::CloseToTray() {
  if (!IsWindowEnabled(window_)) {
    HWND popup = GetLastActivePopup(window_);
    if (popup && popup != window_) SetForegroundWindow(popup);
    return;
  }
  if (AddTrayIcon()) {
    SaveSettings();
    CloseReleaseNotes();
    ShowWindow(window_, SW_HIDE);
    return;
  }
  ShowMessage(i18n::Translate(L"시스템 트레이 아이콘을 만들지 못했습니다. 파일 > 종료를 사용해 주세요."), L"Tavrilo",
              MB_ICONWARNING);
}

void MainWindow::Exit() {
  if (exitInProgress_ || !IsWindowEnabled(window_)) {
    ShowMainWindow();
    return;
  }
  exitInProgress_ = true;
  ShowMainWindow();
  auto life = Watch();
  int answer = ShowMessage(i18n::Translate(L"Tavrilo를 종료하시겠습니까?\n종료하면 시스템 트레이에서도 닫힙니다."),
                           i18n::Translate(L"프로그램 종료"), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
  if (life.Gone()) return;
  bool allowed = answer == IDYES && ConfirmDiscard();
  if (life.Gone()) return;
  if (allowed) {
    SaveSettings();
    DestroyWindow(window_);
    return;
  }
  exitInProgress_ = false;
}

LRESULT MainWindow::OnQueryEndSession() {
  if (!IsWindowEnabled(window_)) {
    ShowMainWindow();
    return FALSE;
  }
  auto life = Watch();
  bool allowed = ConfirmDiscard();
  if (life.Gone()) return FALSE;
  if (!allowed) return FALSE;
  SaveSettings();
  return TRUE;
}

}  // namespace mainwindow
