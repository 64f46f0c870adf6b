#include "vscode/path_text.h"

#include <windows.h>

namespace vscode {

std::wstring JoinPath(std::wstring_view left, std::wstring_view right) {
  std::wstring joined(left);
  const bool bareDrive = left.size() == 2 && left[1] == L':';
  if (!left.empty() && left.back() != L'\\' && left.back() != L'/' && !bareDrive) joined.push_back(L'\\');
  joined.append(right);
  return joined;
}

std::wstring JoinPath(std::wstring_view left, std::wstring_view middle, std::wstring_view right) {
  return JoinPath(JoinPath(left, middle), right);
}

std::wstring EnvironmentValue(const wchar_t* name) {
  std::wstring value(256, L'\0');
  for (;;) {
    DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) return {};
    if (length < value.size()) {
      value.resize(length);
      return value;
    }
    value.resize(length);  // the size asked for includes the terminating NUL
  }
}

}  // namespace vscode
