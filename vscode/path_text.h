// Path joining and environment lookups as the VS Code integration uses them.
#pragma once

#include <string>
#include <string_view>

namespace vscode {

// One backslash between the parts; none after an empty left part, after a left part that
// already ends with a separator, or after a bare drive ("C:" + "x" is "C:x").
std::wstring JoinPath(std::wstring_view left, std::wstring_view right);
std::wstring JoinPath(std::wstring_view left, std::wstring_view middle, std::wstring_view right);

// The variable's current value; an unset variable reads as empty.
std::wstring EnvironmentValue(const wchar_t* name);

}  // namespace vscode
