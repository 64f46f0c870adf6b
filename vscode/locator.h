// Finds an installed VS Code edition: its executable, the folder of its extensions and
// the folder where it keeps per-workspace storage. Reads only the registry, environment
// variables and the file system.
#pragma once

#include <string>

namespace vscode {

enum class Edition { Stable, Insiders };

struct VsCodeInstall {
  std::wstring executable;              // empty when the edition was not found
  std::wstring extensionsFolder;        // holds the extensions and "extensions.json"
  std::wstring workspaceStorageFolder;  // empty when no user data folder is known

  bool found() const { return !executable.empty(); }
};

const wchar_t* ExecutableName(Edition edition);

// App Paths (per-user, then per-machine), the standard installation folders, then the
// search path.
VsCodeInstall Locate(Edition edition);

// The two folders that belong to an executable, honouring VSCODE_EXTENSIONS,
// VSCODE_PORTABLE and a portable "data" folder beside the executable.
VsCodeInstall Complete(Edition edition, const std::wstring& executable);

}  // namespace vscode
