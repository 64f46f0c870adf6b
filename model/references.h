// Attachment references of an entry: local paths and web links.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace references {

constexpr size_t kMaxReferenceLength = 32767;

// Begins with "https://" or "http://", ignoring case.
bool IsWebLink(std::wstring_view reference);
// A web link with a host and no space, backslash or quote, or an absolute drive path
// with backslashes ("file://" URLs are converted); empty when the text is neither.
std::wstring NormalizeReference(std::wstring_view text);
// Appends the normalised reference unless it is invalid or already listed: web links
// compare exactly, local paths without regard to case.
bool AddUniqueReference(std::vector<std::wstring>& list, std::wstring_view text);
// The references of every "첨부: " line of an entry's text, in text order.
std::vector<std::wstring> ReferencesInText(std::wstring_view text);
// The last path component of a local path (the whole path when it ends in a
// separator); a web link is shown as it is.
std::wstring DisplayName(std::wstring_view reference);

// "link-<16 hex digits>.url": the 64-bit FNV-1a hash of the link's UTF-8 bytes, so the
// same link always maps to the same shortcut file.
std::wstring LinkShortcutFileName(std::wstring_view link);
// Whether a local path names an image that gets a preview (by its extension).
bool HasImageExtension(std::wstring_view path);

}  // namespace references
