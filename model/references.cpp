#include "model/references.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdint>
#include <cstdio>
#include <cwctype>

#include "model/utf8.h"

namespace references {
namespace {

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::towlower(text[i]) != prefix[i]) return false;
  }
  return true;
}

bool SamePathIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  if (a.empty()) return true;
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

std::wstring_view TrimSpace(std::wstring_view text) {
  size_t first = 0;
  while (first < text.size() && std::iswspace(text[first])) ++first;
  size_t last = text.size();
  while (last > first && std::iswspace(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::wstring NormalizeWebLink(std::wstring_view link) {
  size_t hostStart = link.find(L"://") + 3;
  size_t hostEnd = link.find_first_of(L"/?#", hostStart);
  if (hostEnd == std::wstring_view::npos) hostEnd = link.size();
  if (hostEnd == hostStart) return {};
  if (link.find_first_of(L" \\\"") != std::wstring_view::npos) return {};
  return std::wstring(link);
}

std::wstring NormalizeLocalPath(std::wstring path) {
  for (auto& c : path) {
    if (c == L'/') c = L'\\';
  }
  std::wstring_view view = path;
  if (view.starts_with(L"\\\\.\\") || view.starts_with(L"\\\\?\\")) return {};
  if (view.find_first_of(L"<>|\"*?") != std::wstring_view::npos) return {};
  if (view.size() > 2 && view.find(L':', 2) != std::wstring_view::npos) return {};
  bool drive = view.size() >= 3 && ((view[0] >= L'A' && view[0] <= L'Z') || (view[0] >= L'a' && view[0] <= L'z')) &&
               view[1] == L':' && view[2] == L'\\';
  return drive ? path : std::wstring();
}

}  // namespace

bool IsWebLink(std::wstring_view reference) {
  return StartsWithNoCase(reference, L"https://") || StartsWithNoCase(reference, L"http://");
}

std::wstring NormalizeReference(std::wstring_view text) {
  std::wstring_view trimmed = TrimSpace(text);
  if (trimmed.empty() || trimmed.size() > kMaxReferenceLength) return {};
  for (wchar_t c : trimmed) {
    if (c < 0x20) return {};
  }
  if (IsWebLink(trimmed)) return NormalizeWebLink(trimmed);
  if (StartsWithNoCase(trimmed, L"file://")) {
    std::wstring url(trimmed);
    std::wstring path(kMaxReferenceLength + 1, L'\0');
    DWORD length = static_cast<DWORD>(path.size());
    if (FAILED(PathCreateFromUrlW(url.c_str(), path.data(), &length, 0))) return {};
    path.resize(wcsnlen(path.c_str(), path.size()));
    return NormalizeLocalPath(std::move(path));
  }
  return NormalizeLocalPath(std::wstring(trimmed));
}

bool AddUniqueReference(std::vector<std::wstring>& list, std::wstring_view text) {
  std::wstring reference = NormalizeReference(text);
  if (reference.empty()) return false;
  bool web = IsWebLink(reference);
  for (const auto& existing : list) {
    if (web ? existing == reference : SamePathIgnoringCase(existing, reference)) return false;
  }
  list.push_back(std::move(reference));
  return true;
}

std::vector<std::wstring> ReferencesInText(std::wstring_view text) {
  constexpr std::wstring_view kHead = L"첨부: ";
  std::vector<std::wstring> found;
  for (size_t at = text.find(kHead); at != std::wstring_view::npos; at = text.find(kHead, at + 1)) {
    if (at != 0 && text[at - 1] != L'\n') continue;
    size_t start = at + kHead.size();
    size_t end = text.find(L'\n', start);
    AddUniqueReference(found, text.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start));
  }
  return found;
}

std::wstring DisplayName(std::wstring_view reference) {
  if (IsWebLink(reference)) return std::wstring(reference);
  size_t separator = reference.find_last_of(L"\\/");
  if (separator == std::wstring_view::npos) return std::wstring(reference);
  std::wstring_view last = reference.substr(separator + 1);
  return std::wstring(last.empty() ? reference : last);
}

std::wstring LinkShortcutFileName(std::wstring_view link) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (unsigned char byte : utf8::FromWide(link)) {
    hash ^= byte;
    hash *= 0x100000001b3ull;
  }
  wchar_t name[32] = {};
  swprintf(name, 32, L"link-%016llx.url", static_cast<unsigned long long>(hash));
  return name;
}

bool HasImageExtension(std::wstring_view path) {
  static constexpr std::wstring_view kExtensions[] = {L".png",  L".jpg",  L".jpeg", L".gif", L".bmp",
                                                      L".tif",  L".tiff", L".webp", L".heic", L".heif",
                                                      L".avif", L".ico",  L".jxr",  L".wdp"};
  size_t dot = path.find_last_of(L".\\/");
  if (dot == std::wstring_view::npos || path[dot] != L'.') return false;
  std::wstring_view extension = path.substr(dot);
  for (std::wstring_view known : kExtensions) {
    if (extension.size() == known.size() && StartsWithNoCase(extension, known)) return true;
  }
  return false;
}

}  // namespace references
