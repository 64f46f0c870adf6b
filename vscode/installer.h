// Installs the session extension that the program carries (resource 210) into a VS Code
// installation through VS Code's own command-line interface, unless exactly the carried
// version is installed already.
#pragma once

#include <windows.h>

#include <string>

#include "vscode/locator.h"
#include "vscode/run_vscode.h"

namespace vscode {

constexpr wchar_t kExtensionId[] = L"quenlor-local.project-session";
constexpr wchar_t kExtensionVersion[] = L"1.2.0";
constexpr wchar_t kPackageFileName[] = L"Tavrilo-Project-Session.vsix";

struct InstallerOptions {
  HMODULE packageModule = nullptr;  // the module carrying the package; null for the program
  DWORD timeoutMs = kScriptHostTimeoutMs;
};

// Whether "extensions.json" lists the extension (identifier in any case) at exactly the
// carried version.
bool IsInstalled(const VsCodeInstall& install);

// VS Code's command-line script for the executable's folder: resources\app\out\cli.js,
// or the script that bin\code.cmd (or bin\code-insiders.cmd) runs; empty when none.
std::wstring FindInstallCommand(const std::wstring& executableFolder);

// Writes the package into `packageFolder` and installs it when needed. Installations are
// serialised by a lock of their own.
bool EnsureInstalled(const VsCodeInstall& install, const std::wstring& packageFolder, std::wstring& error,
                     const InstallerOptions& options = {});

}  // namespace vscode
