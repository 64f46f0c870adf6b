#include "aisync/log_listing.h"

#include <windows.h>

#include <algorithm>

#include "model/unique_handle.h"

namespace aisync {

std::vector<ListedEntry> ListFolder(const std::wstring& folder) {
  std::vector<ListedEntry> entries;
  if (folder.empty()) return entries;
  WIN32_FIND_DATAW data;
  UniqueFind find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return entries;
  do {
    std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    ListedEntry entry;
    entry.path = folder + L"\\" + name;
    entry.name = std::move(name);
    entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entries.push_back(std::move(entry));
  } while (FindNextFileW(find.get(), &data));
  std::sort(entries.begin(), entries.end(), [](const ListedEntry& a, const ListedEntry& b) { return a.name < b.name; });
  return entries;
}

std::vector<ListedEntry> ListingCache::List(const std::wstring& folder) {
  WIN32_FILE_ATTRIBUTE_DATA attributes;
  if (folder.empty() || !GetFileAttributesExW(folder.c_str(), GetFileExInfoStandard, &attributes)) {
    listings_.erase(folder);
    return {};
  }
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  auto ticks = [](const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  const uint64_t written = ticks(attributes.ftLastWriteTime);
  const bool settled = ticks(now) > written && ticks(now) - written > 20000000ULL;
  const uint64_t listedAt = ticks_();
  auto known = listings_.find(folder);
  if (settled && known != listings_.end() && known->second.written == written &&
      listedAt - known->second.listedAt < kMaxAgeMs) {
    return known->second.entries;
  }
  std::vector<ListedEntry> entries = ListFolder(folder);
  if (settled) {
    listings_[folder] = Listing{written, listedAt, entries};
  } else {
    listings_.erase(folder);
  }
  return entries;
}

std::wstring JoinPath(const std::wstring& folder, std::wstring_view name) {
  if (folder.empty()) return {};
  std::wstring path = folder;
  if (path.back() != L'\\' && path.back() != L'/') path += L'\\';
  path += name;
  return path;
}

std::wstring_view Extension(std::wstring_view path) {
  size_t slash = path.find_last_of(L"\\/");
  std::wstring_view name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind(L'.');
  return dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot);
}

bool StampOf(const std::wstring& path, FileStamp& stamp) {
  WIN32_FILE_ATTRIBUTE_DATA attributes;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes)) return false;
  stamp.size = (static_cast<uint64_t>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
  stamp.lastWrite = (static_cast<uint64_t>(attributes.ftLastWriteTime.dwHighDateTime) << 32) |
                    attributes.ftLastWriteTime.dwLowDateTime;
  return true;
}

bool ReadWholeLogFile(const std::wstring& path, uint64_t maxBytes, std::string& bytes) {
  bytes.clear();
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || static_cast<uint64_t>(size.QuadPart) > maxBytes) {
    return false;
  }
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr) || got == 0) break;
    done += got;
  }
  if (done != bytes.size()) {
    // The owner cut the file while it was read: a half document is no document.
    bytes.clear();
    return false;
  }
  return true;
}

}  // namespace aisync
