#include "vscode/file_uri.h"

#include "model/utf8.h"

namespace vscode {

namespace {

int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    wchar_t a = text[i] >= L'A' && text[i] <= L'Z' ? static_cast<wchar_t>(text[i] + 32) : text[i];
    if (a != prefix[i]) return false;
  }
  return true;
}

}  // namespace

std::wstring PercentDecodeUtf8(std::wstring_view text) {
  // Escaped bytes gather here until a character that is not an escape ends the run, so
  // that a multi-byte sequence is decoded as one character.
  std::wstring out;
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'%' && i + 2 < text.size()) {
      int high = HexValue(text[i + 1]);
      int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        bytes.push_back(static_cast<char>(high * 16 + low));
        i += 2;
        continue;
      }
    }
    if (!bytes.empty()) {
      utf8::AppendWide(out, bytes);
      bytes.clear();
    }
    out.push_back(text[i]);
  }
  if (!bytes.empty()) utf8::AppendWide(out, bytes);
  return out;
}

std::wstring FileUriToPath(std::wstring_view text) {
  constexpr std::wstring_view kScheme = L"file://";
  if (text.substr(0, kScheme.size()) != kScheme) return {};
  text.remove_prefix(kScheme.size());
  if (StartsWithIgnoringCase(text, L"localhost/")) text.remove_prefix(9);

  std::wstring path = PercentDecodeUtf8(text);
  if (path.size() >= 3 && path[0] == L'/' && IsDriveLetter(path[1]) && path[2] == L':') {
    path.erase(0, 1);
  } else if (!path.empty() && path[0] == L'/') {
    // A rooted path without a drive: kept, and refused below.
  } else if (!(path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':')) {
    path.insert(0, L"//");  // "file://server/share" names a server
  }
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }

  const bool drivePath = path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\';
  const bool uncPath = path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
  return drivePath || uncPath ? path : std::wstring();
}

}  // namespace vscode
