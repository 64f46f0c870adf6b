// Opening projects in VS Code from the main window and from the project dialog: the
// launches run in the background and the timer reports them.
#include <windows.h>

#include "app/main_window.h"
#include "i18n/translate.h"

namespace mainwindow {

namespace {

// A launch's button is only trusted while it still sits in the window that started it
// (a closed dialog's handle may have been handed to another window since).
bool ButtonAlive(const vscode::LaunchOrigin& origin) {
  return origin.button != nullptr && IsWindow(origin.button) && origin.owner != nullptr &&
         IsChild(origin.owner, origin.button);
}

void SetButton(HWND button, bool running) {
  SetWindowTextW(button, i18n::Translate(running ? L"여는 중…" : L"VS Code 열기"));
  EnableWindow(button, running ? FALSE : TRUE);
  InvalidateRect(button, nullptr, FALSE);
}

}  // namespace

void MainWindow::OnTimer() {
  ApplyPendingRecords();
  PollLaunches();
}

void MainWindow::OpenSelectedInVsCode() {
  if (document_.Find(selectedProjectId_) == nullptr) return;
  // Records still waiting are filed first, so the launch reopens the newest conversation.
  ApplyPendingRecords();
  const Project* project = document_.Find(selectedProjectId_);
  if (project == nullptr) return;
  StartVsCodeLaunch(window_, nullptr, *project);
}

void MainWindow::StartVsCodeLaunch(HWND owner, HWND button, const Project& project) {
  if (button != nullptr) SetButton(button, true);
  launches_->Start(vscode::LaunchOrigin{owner != nullptr ? owner : window_, button}, vscode::LaunchCopy(project));
  SetStatusMessage(L"VS Code를 여는 중입니다.");
  RefreshStatusBar();
}

void MainWindow::PollLaunches() {
  auto reportOwner = [this](const vscode::LaunchOrigin& origin) {
    return ButtonAlive(origin) ? origin.owner : window_;
  };
  auto finished =
      launches_->TakeFinished([&](const vscode::LaunchOrigin& origin) { return IsWindowEnabled(reportOwner(origin)) != FALSE; });
  for (const vscode::FinishedLaunch& launch : finished) {
    HWND owner = reportOwner(launch.origin);
    if (ButtonAlive(launch.origin)) SetButton(launch.origin.button, false);
    vscode::LaunchReport report = vscode::DescribeLaunchResult(launch.result);
    statusMessage_ = report.text;
    RefreshStatusBar();
    if (report.warning) services_.showMessage(owner, report.text, i18n::Translate(L"VS Code 열기"), MB_ICONWARNING);
  }
}

}  // namespace mainwindow
