// Plain folder listings and whole-file reads shared by the log sources.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
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

// A folder listing function: ListFolder, or a ListingCache's List.
using FolderLister = std::function<std::vector<ListedEntry>(const std::wstring& folder)>;

// ListFolder with memory. Listing a folder costs far more than asking for its attributes,
// and a folder whose last-write time has not moved has the same entries (adding,
// removing or renaming an entry moves it). A folder written in the last two seconds is
// listed again, so that an entry added in the same clock tick as the previous listing is
// not missed; since some file systems (network shares, some drivers) do not move a
// folder's time, every listing is also renewed once it is kMaxAgeMs old.
class ListingCache {
 public:
  static constexpr uint64_t kMaxAgeMs = 60000;
  explicit ListingCache(std::function<uint64_t()> ticks) : ticks_(std::move(ticks)) {}

  std::vector<ListedEntry> List(const std::wstring& folder);
  FolderLister Lister() {
    return [this](const std::wstring& folder) { return List(folder); };
  }

 private:
  struct Listing {
    uint64_t written = 0;
    uint64_t listedAt = 0;  // tick count of the listing
    std::vector<ListedEntry> entries;
  };
  std::function<uint64_t()> ticks_;
  std::map<std::wstring, Listing> listings_;
};

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
