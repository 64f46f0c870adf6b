// The About box and the release notes.
#include "app/main_window.h"
#include "app/shell_logic.h"
#include "i18n/translate.h"
#include "resources/resource_ids.h"
#include "ui/kit/msgbox.h"

namespace mainwindow {

void MainWindow::ShowAbout() {
  widgets::MsgBox(window_, shell::AboutText(currentPath_).c_str(), i18n::Translate(L"Tavrilo 정보"), MB_ICONINFORMATION,
                  IDI_APP, IDB_ABOUT_PREVIEW);
}

void MainWindow::ShowReleaseNotes() {
  if (releaseNotesWindow_ && IsWindow(releaseNotesWindow_)) {
    SetForegroundWindow(releaseNotesWindow_);
    return;
  }
  HWND box = widgets::CreateModelessMsgBox(window_, shell::ReleaseNotesText().c_str(),
                                           shell::ReleaseNotesCaption().c_str(), MB_ICONINFORMATION, IDI_APP);
  if (box == nullptr) return;
  ShowWindow(box, SW_SHOW);
  if (HWND ok = GetDlgItem(box, IDOK)) SetFocus(ok);
  releaseNotesWindow_ = box;
  releaseNotesPending_ = false;
}

}  // namespace mainwindow
