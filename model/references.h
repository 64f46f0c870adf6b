// Attachment references of an entry: local paths and web links.
#pragma once

#include <string>
#include <string_view>

namespace references {

// Begins with "https://" or "http://", ignoring case.
bool IsWebLink(std::wstring_view reference);
// The last path component of a local path (the whole path when it ends in a
// separator); a web link is shown as it is.
std::wstring DisplayName(std::wstring_view reference);

}  // namespace references
