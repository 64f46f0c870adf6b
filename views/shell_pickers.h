// The shell's common item dialogs used by the project dialog.
#pragma once

#include <windows.h>

#include <string>

namespace shellpickers {

// A folder picker starting in startFolder when it exists. False when cancelled or when
// the dialog cannot be created.
bool PickFolder(HWND owner, const std::wstring& startFolder, std::wstring& chosen);
// The "Export project" save dialog for ".qlproj" files, proposing the given file name.
bool PickExportPath(HWND owner, const std::wstring& proposedName, std::wstring& chosen);

}  // namespace shellpickers
