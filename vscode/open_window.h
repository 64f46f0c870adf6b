// Finds a VS Code window that already shows a folder: VS Code keeps one storage folder
// per opened folder or workspace, and the open window holds that folder's state.vscdb.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vscode/locator.h"

namespace vscode {

// The ids of the processes that have a file open. The real one asks the Restart Manager;
// tests substitute their own where the Restart Manager knows no answer.
using FileHolderQuery = std::function<std::vector<DWORD>(const std::wstring& file)>;
std::vector<DWORD> RestartManagerHolders(const std::wstring& file);

struct OpenWindow {
  std::wstring target;  // the folder or workspace file to hand to the executable
  DWORD processId = 0;
};

// The id of a process with image `executable` (compared ignoring case) that holds `file`
// open; 0 when the file is not held, or held by something else.
DWORD HeldOpenBy(const std::wstring& file, const std::wstring& executable, const FileHolderQuery& holders);

// Whether the (lenient JSON) workspace file lists a folder whose normalised path is
// `key`; with `exactlyOne` it must list that folder and no other.
bool WorkspaceFileListsFolder(const std::wstring& workspaceFile, const std::wstring& key, bool exactlyOne);

// A window of this installation showing the folder itself wins over the first one showing
// a workspace file that contains it.
std::optional<OpenWindow> FindOpenWindow(const VsCodeInstall& install, const std::wstring& folder,
                                         const FileHolderQuery& holders = RestartManagerHolders);

}  // namespace vscode
