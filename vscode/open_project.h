// Opens a project's folder in VS Code: brings forward a window that already shows it, or
// opens a new window on a generated workspace with a request to reopen the project's
// latest AI conversation.
#pragma once

#include <string>

#include "model/project.h"
#include "vscode/installer.h"
#include "vscode/open_window.h"

namespace vscode {

struct LaunchResult {
  bool ok = false;
  std::wstring message;  // the error; on success a warning to show, usually empty
  bool reusedWindow = false;
};

// What a launch may be told to do differently where the real system cannot be asked
// (tests).
struct OpenOptions {
  FileHolderQuery holders = RestartManagerHolders;
  InstallerOptions installer;
};

// The project location as the launch uses it: absolute, trailing separators dropped
// except on a root ("D:\Work\Proj\" -> "D:\Work\Proj", "D:\" stays). False with the
// message when it is empty or no existing folder.
bool LaunchFolder(const std::wstring& location, std::wstring& folder, std::wstring& error);

// The whole operation, serialised with every other launch of the process.
LaunchResult OpenProject(const Project& project, const OpenOptions& options = {});

}  // namespace vscode
