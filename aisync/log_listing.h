// Plain folder listings and whole-file reads shared by the log sources.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "aisync/log_source.h"

namespace aisync {

struct ListedEntry {
  std::wstring name;
  std::wstring path;  // folder + "\" + name
  bool isFolder = false;
};

// The entries of one folder (not recursive, "." and ".." left out) sorted by name in
// code-unit order. A missing folder gives nothing; a listing error ends the listing
// quietly with what was found so far.
std::vector<ListedEntry> ListFolder(const std::wstring& folder);

// folder + "\" + name; empty when the folder is empty (an unset folder stays unset).
std::wstring JoinPath(const std::wstring& folder, std::wstring_view name);

// The extension from the last "." of the last path component, "" when there is none.
std::wstring_view Extension(std::wstring_view path);

// Size and last-write time of a file; false when it cannot be queried.
bool StampOf(const std::wstring& path, FileStamp& stamp);

// The whole file, opened with full sharing since its owner may be writing it; false
// unless it holds 1 to maxBytes bytes and all of them were read.
bool ReadWholeLogFile(const std::wstring& path, uint64_t maxBytes, std::string& bytes);

}  // namespace aisync
