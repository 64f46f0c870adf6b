// Starts VS Code: as the editor (not waited for), or as a plain script host running its
// command-line interface (waited for, with a time limit).
#pragma once

#include <windows.h>

#include <string>

namespace vscode {

// How long the extension installer may take before it is abandoned.
constexpr DWORD kScriptHostTimeoutMs = 25000;

struct RunRequest {
  std::wstring executable;
  std::wstring arguments;     // already quoted
  bool runAsNode = false;     // ELECTRON_RUN_AS_NODE=1, no window, waited for
  std::wstring model;         // ANTHROPIC_MODEL for the new process; empty for none
  DWORD foregroundProcess = 0;  // may take the foreground; 0 for the new process itself
  DWORD timeoutMs = kScriptHostTimeoutMs;
};

// False with the system's text when the process cannot be started; a script host that
// does not end in time or ends with another exit code than 0 fails with the install
// failure message.
bool RunVsCode(const RunRequest& request, std::wstring& error);

}  // namespace vscode
