// Conversions between the UTF-8 of files and the UTF-16 held in memory.
#pragma once

#include <string>
#include <string_view>

namespace utf8 {

// Malformed input (bad lead or continuation bytes, overlong forms, surrogates encoded
// in UTF-8, code points past U+10FFFF, a truncated sequence) becomes U+FFFD, one per
// maximal bad subpart, as Windows and most decoders do.
std::wstring ToWide(std::string_view bytes);
void AppendWide(std::wstring& out, std::string_view bytes);
// The same without reserving room for the bytes first: for callers that append many
// pieces and reserve for the decoded whole themselves (UTF-16 needs fewer units than
// UTF-8 has bytes, up to a third for Korean).
void AppendWidePiece(std::wstring& out, std::string_view bytes);

// A lone surrogate cannot be expressed in UTF-8 and is written as U+FFFD.
std::string FromWide(std::wstring_view text);
void AppendUtf8(std::string& out, std::wstring_view text);

}  // namespace utf8
