// The workspace file the program opens a project through, and the restore request beside
// it that tells the session extension which conversation to reopen:
// <base>\Workspaces\<GUID>\<folder name>.code-workspace and restore.json.
#pragma once

#include <string>

#include "model/json.h"
#include "model/project.h"

namespace vscode {

// {"folders": [{"path": folder}]}
JsonValue WorkspaceDocument(const std::wstring& folder);

// The request for a session whose source is not none, with the extension's messages in
// the current display language.
JsonValue RestoreRequest(const std::wstring& folder, const LastAiSession& session);

// "Proj.code-workspace" for "D:\Work\Proj"; "Project.code-workspace" for a drive root.
std::wstring WorkspaceFileName(const std::wstring& folder);

// A new identifier: a GUID's 36 characters without braces; empty when none can be made.
std::wstring NewWorkspaceIdentifier();

// Reuses the generated workspace that lists exactly this folder, or writes a new one;
// then writes the restore request, or removes a stale one when the session's source is
// none. Returns the workspace file's path, or empty with the error.
std::wstring PrepareWorkspace(const std::wstring& baseFolder, const std::wstring& folder,
                              const LastAiSession& session, std::wstring& error);

}  // namespace vscode
