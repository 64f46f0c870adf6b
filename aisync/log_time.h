// Times and identities shared by the log readers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/date.h"

namespace aisync {

// A logged UTC time "YYYY-MM-DDTHH:MM:SS[.fraction]Z" as the machine's local date and
// "HH:MM:SS"; false for anything else.
bool UtcToLocal(std::wstring_view timestamp, Date& localDate, std::wstring& localTime);

// The 64-bit FNV-1a hash of bytes, and of a text's UTF-8 bytes as 16 lower-case hex digits.
uint64_t Fnv1a64(std::string_view bytes);
std::wstring Fnv1aHex(std::wstring_view text);

}  // namespace aisync
