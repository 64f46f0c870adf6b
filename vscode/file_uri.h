// Local paths from the "file://" URIs that VS Code writes into its storage and
// workspace files.
#pragma once

#include <string>
#include <string_view>

namespace vscode {

// "file:///c%3A/Work/Proj" -> "c:\Work\Proj", "file://server/share/x" -> "\\server\share\x".
// Empty for anything that is not a file URI of a drive path or a UNC path.
std::wstring FileUriToPath(std::wstring_view text);

// %XX escapes decoded as UTF-8 bytes; a malformed escape stays as written and bytes that
// are no valid UTF-8 become U+FFFD.
std::wstring PercentDecodeUtf8(std::wstring_view text);

}  // namespace vscode
