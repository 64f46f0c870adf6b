#include "aisync/log_time.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "model/utf8.h"

namespace aisync {

bool UtcToLocal(std::wstring_view timestamp, Date& localDate, std::wstring& localTime) {
  if (timestamp.empty() || timestamp.back() != L'Z' || timestamp.size() > 64) return false;
  std::wstring copy(timestamp);
  unsigned y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (std::swscanf(copy.c_str(), L"%u-%u-%uT%u:%u:%u", &y, &mo, &d, &h, &mi, &s) != 6) return false;
  Date date{static_cast<int32_t>(y), static_cast<int32_t>(mo), static_cast<int32_t>(d)};
  if (y > 9999 || !dates::IsValid(date) || h > 23 || mi > 59 || s > 59) return false;
  SYSTEMTIME utc{};
  utc.wYear = static_cast<WORD>(y);
  utc.wMonth = static_cast<WORD>(mo);
  utc.wDay = static_cast<WORD>(d);
  utc.wHour = static_cast<WORD>(h);
  utc.wMinute = static_cast<WORD>(mi);
  utc.wSecond = static_cast<WORD>(s);
  SYSTEMTIME local{};
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return false;
  localDate = Date{local.wYear, local.wMonth, local.wDay};
  wchar_t text[16];
  std::swprintf(text, 16, L"%02u:%02u:%02u", local.wHour, local.wMinute, local.wSecond);
  localTime = text;
  return true;
}

uint64_t Fnv1a64(std::string_view bytes) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (unsigned char b : bytes) {
    hash ^= b;
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

std::wstring Fnv1aHex(std::wstring_view text) {
  wchar_t hex[20];
  std::swprintf(hex, 20, L"%016llx", static_cast<unsigned long long>(Fnv1a64(utf8::FromWide(text))));
  return hex;
}

}  // namespace aisync
