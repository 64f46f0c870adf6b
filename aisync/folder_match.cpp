#include "aisync/folder_match.h"

#include <windows.h>

#include <filesystem>

#include "model/file_io.h"
#include "model/project.h"

namespace aisync {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring LexicallyNormal(std::wstring_view path) {
  // The library folds the two separators that open a UNC path into one, which would
  // turn "\\server\share" into a folder on the current drive.
  const bool unc = path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
  std::wstring normal = unc ? L"\\\\" : L"";
  normal += std::filesystem::path(unc ? path.substr(2) : path).lexically_normal().wstring();
  for (wchar_t& c : normal) {
    if (c == L'/') c = L'\\';
  }
  return normal;
}

// A drive root ("C:\") keeps its backslash: without it the path would mean the
// drive's current directory.
void DropTrailingBackslashes(std::wstring& path) {
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
}

}  // namespace

std::wstring NormalizedFolderPath(std::wstring_view path) {
  if (path.empty()) return {};
  std::wstring input(path);
  DWORD needed = GetFullPathNameW(input.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return {};
  std::wstring full(needed, L'\0');
  DWORD written = GetFullPathNameW(input.c_str(), needed, full.data(), nullptr);
  if (written == 0 || written >= needed) return {};
  full.resize(written);
  std::wstring normal = LexicallyNormal(full);
  DropTrailingBackslashes(normal);
  return LowerCase(normal);
}

bool IsAbsoluteFolderPath(std::wstring_view path) {
  if (path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
      path[1] == L':' && IsSeparator(path[2])) {
    return true;
  }
  return path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

bool FolderCovers(std::wstring_view folder, std::wstring_view cwd) {
  if (folder.empty()) return false;
  if (folder == cwd) return true;
  if (folder.size() >= cwd.size() || cwd.substr(0, folder.size()) != folder) return false;
  return folder.back() == L'\\' || cwd[folder.size()] == L'\\';
}

int FindCoveringFolder(const std::vector<std::wstring>& normalizedFolders, std::wstring_view normalizedCwd) {
  int best = -1;
  size_t bestLength = 0;
  for (size_t i = 0; i < normalizedFolders.size(); ++i) {
    const std::wstring& folder = normalizedFolders[i];
    if (!FolderCovers(folder, normalizedCwd)) continue;
    if (best < 0 || folder.size() > bestLength) {
      best = static_cast<int>(i);
      bestLength = folder.size();
    }
  }
  return best;
}

std::wstring NewProjectLocation(std::wstring_view cwd) {
  std::wstring location = LexicallyNormal(cwd);
  DropTrailingBackslashes(location);
  return location;
}

std::wstring FolderTitle(std::wstring_view folder) {
  std::wstring last = fileio::FileNamePart(folder);
  return last.empty() ? std::wstring(folder) : last;
}

}  // namespace aisync
