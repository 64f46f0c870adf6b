// Which project folder a conversation's working folder belongs to, and the folder and
// title of a project made for a working folder that no project covers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace aisync {

// Absolute, lexically normal, backslashes only, no trailing backslash except on a drive
// root, lower-cased; empty for an empty path or one the system cannot resolve. Only for
// comparing folders: never stored.
std::wstring NormalizedFolderPath(std::wstring_view path);

// A drive letter, a colon and a separator, or a UNC root ("\\server...").
bool IsAbsoluteFolderPath(std::wstring_view path);

// Whether the normalised folder `folder` is `cwd` itself or one of its ancestors; a
// shared prefix that ends inside a path component does not count.
bool FolderCovers(std::wstring_view folder, std::wstring_view cwd);

// Index of the longest normalised folder covering the normalised cwd (the earlier one
// on equal length); empty folders never match; -1 when none does.
int FindCoveringFolder(const std::vector<std::wstring>& normalizedFolders, std::wstring_view normalizedCwd);

// The location a new project gets for a cwd: lexically normal, trailing backslashes
// dropped except on a drive root; letter case is kept as logged.
std::wstring NewProjectLocation(std::wstring_view cwd);
// The folder's last component, or the whole folder when that is empty ("C:\").
std::wstring FolderTitle(std::wstring_view folder);

}  // namespace aisync
