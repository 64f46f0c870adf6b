// The project dialog: the one place where a project is created, edited, completed,
// exported or deleted. It runs modally over its owner and edits a private copy; the
// caller applies the outcome to the document.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "model/project.h"
#include "views/attachments.h"

namespace projectdlg {

constexpr const wchar_t* kDialogClass = L"QuenlorProjectDialog";

enum Result : int { kClosed = 0, kSaved = 1, kDeleteRequested = 2 };

enum ControlId : int {
  kTitleId = 2001,
  kLocationId = 2002,
  kBrowseId = 2003,
  kOpenFolderId = 2004,
  kStartPickerId = 2005,
  kEndPickerId = 2006,
  kCompletedId = 2007,
  kAddPickerId = 2008,
  kAddDateId = 2009,
  kExpandAllId = 2010,
  kCollapseAllId = 2011,
  kPanelId = 2012,
  kDeleteId = 2013,
  kExportId = 2014,
  kCancelId = 2015,
  kSaveId = 2016,
  kVsCodeId = 2017,
  kFirstCategoryId = 2100,
  kFirstSwatchId = 2120,
};

// What the dialog asks of the system and of its caller. Empty members mean the real
// system UI (folder and file dialogs, the program's message box, the shell).
struct Services {
  // The folder picker: start folder in, chosen file-system path out; false when cancelled.
  std::function<bool(HWND owner, const std::wstring& startFolder, std::wstring& chosen)> pickFolder;
  // The export file picker: proposed file name in, chosen path out.
  std::function<bool(HWND owner, const std::wstring& proposedName, std::wstring& chosen)> pickExportPath;
  std::function<std::vector<std::wstring>(HWND owner)> pickFiles;
  std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)> messageBox;
  // Opening folders (Open folder, attachment rows).
  attachments::RevealFn reveal;
  // The project file the caller has open. Export refuses it in any spelling (relative,
  // forward slashes, short names): it would replace the whole document's file with one
  // project while the caller still counts the document as saved.
  std::wstring openFilePath;
  // Where web-link shortcuts go when the project folder is missing; empty means Documents.
  std::wstring documentsFolder;
  // The "VS Code 열기" button exists only when this is given.
  std::function<void(HWND dialog, HWND button, const Project& project)> openInVsCode;
  // "Today" for new completions and empty pickers; invalid means the clock (tests fix it).
  Date today;
  // Called once the dialog is shown and focused, before its message loop (tests drive it here).
  std::function<void(HWND dialog)> onShown;
};

// Runs the dialog modally over owner (disabled meanwhile). On kSaved the project holds
// the edited project; otherwise it is unchanged.
int Show(HWND owner, Project& project, bool isNew, const Date& defaultDate, const Services& services = {});

// Registers "QuenlorProjectDialog" and the entry panel's class; Show does it on first use.
bool RegisterDialogClasses(HINSTANCE instance);

// The dialog's key handling before IsDialogMessage; true when the key was used.
bool PreTranslate(HWND dialog, MSG& msg);

struct DialogState;
// The state of an open dialog, for tests; null for any other window.
DialogState* StateOf(HWND dialog);

}  // namespace projectdlg
