// What the main window asks of the system: file and folder pickers, message boxes, the
// About box, the clock and the question who holds a file open. Given at start-up with
// the real implementations; tests hand in their own, so nothing here is global.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "model/date.h"
#include "model/project.h"
#include "vscode/open_project.h"

namespace mainwindow {

struct Services {
  // A file to open (save false) or to save (save true); false when cancelled.
  std::function<bool(HWND owner, bool save, const std::wstring& title, const std::wstring& suggestedPath,
                     std::wstring& chosen)>
      chooseFile;
  // A folder; false when cancelled.
  std::function<bool(HWND owner, const std::wstring& title, const std::wstring& suggestedFolder,
                     std::wstring& chosen)>
      chooseFolder;
  // The program's message box; returns IDOK, IDCANCEL, IDYES or IDNO.
  std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)> showMessage;
  // The About box (program icon and picture); returns when it is closed.
  std::function<void(HWND owner, const std::wstring& text, const std::wstring& caption)> showAbout;
  // The local date of today.
  std::function<Date()> today;
  // Ids of the processes holding a file open (the Restart Manager's answer); it tells a
  // VS Code launch whether a window already shows the project.
  std::function<std::vector<DWORD>(const std::wstring& path)> processesUsingFile;
  // Opening a project in VS Code; runs on a background task, so it must not touch
  // windows. By default the real launch, asking processesUsingFile about open windows.
  std::function<vscode::LaunchResult(const Project& project)> openInVsCode;
  // Showing a folder (and selecting a file in it when one is given) in the shell.
  std::function<bool(HWND owner, const std::wstring& folder, const std::wstring& file)> revealInShell;
  // Files to attach in the project dialog; empty means the system's file dialog.
  std::function<std::vector<std::wstring>(HWND owner)> pickFiles;
  // Called with the project dialog once it is shown, before its message loop runs
  // (tests act on the open dialog here). Nothing by default.
  std::function<void(HWND dialog)> projectDialogShown;
};

// The real dialogs, boxes and clock.
Services DefaultServices();
// The given services, with every empty slot filled from DefaultServices.
Services WithDefaults(Services services);

}  // namespace mainwindow
