// Paths of the source and build trees as the test program sees them. Under Wine the
// Unix folders of the build are reached through the Z: drive.
#pragma once

#include <string>

namespace testpaths {

inline std::wstring HostPath(const char* path) {
  std::wstring out;
  std::string p(path);
  if (!p.empty() && p[0] == '/') out = L"Z:";
  for (char c : p) out.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return out;
}

inline std::wstring SourceFile(const wchar_t* relative) {
  return HostPath(TAVRILO_SOURCE_DIR) + L"\\" + relative;
}

inline std::wstring BuildFile(const wchar_t* relative) {
  return HostPath(TAVRILO_BINARY_DIR) + L"\\" + relative;
}

}  // namespace testpaths
