// The About box and the release notes.
#include "app/main_window.h"
#include "app/shell_logic.h"
#include "i18n/translate.h"
#include "resources/resource_ids.h"
#include "ui/kit/msgbox.h"

namespace mainwindow {

void MainWindow::ShowAbout() {
  services_.showAbout(window_, shell::AboutText(currentPath_), i18n::Translate(L"Tavrilo 정보"));
}

void MainWindow::OfferReleaseNotes() {
  if (releaseNotesPending_) PostMessageW(window_, kShowReleaseNotes, 0, 0);
}

void MainWindow::OnReleaseNotesRequest() {
  shell::ReleaseNotesFacts facts;
  facts.pending = releaseNotesPending_;
  facts.startupMessageWaiting = !pendingMessage_.empty();
  facts.windowEnabled = IsWindowEnabled(window_) != FALSE;
  facts.windowVisible = IsWindowVisible(window_) != FALSE;
  facts.windowMinimized = IsIconic(window_) != FALSE;
  if (shell::ReleaseNotesDue(facts)) ShowReleaseNotes();
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
  modeless_.Add(box);
  releaseNotesWindow_ = box;
  releaseNotesPending_ = false;
}

void MainWindow::CloseReleaseNotes() {
  if (releaseNotesWindow_ && IsWindow(releaseNotesWindow_)) SendMessageW(releaseNotesWindow_, WM_CLOSE, 0, 0);
  modeless_.Remove(releaseNotesWindow_);
  releaseNotesWindow_ = nullptr;
}

}  // namespace mainwindow
