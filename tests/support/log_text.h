// Pieces of AI log lines that tests write: JSON-escaped paths and recent time stamps.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "model/utf8.h"

namespace testpaths {

// A Windows path as it stands inside a JSON string.
inline std::string JsonPath(const std::wstring& path) {
  std::string out;
  for (char c : utf8::FromWide(path)) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

// "YYYY-MM-DDTHH:MM:SS.000Z" for a moment `secondsAgo` before now, so that records of a
// test never fall before the sync's since date (today).
inline std::string UtcStamp(int secondsAgo) {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
  t.QuadPart -= static_cast<ULONGLONG>(secondsAgo) * 10000000ULL;
  ft = {t.LowPart, t.HighPart};
  SYSTEMTIME st;
  FileTimeToSystemTime(&ft, &st);
  char text[40];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.000Z", st.wYear, st.wMonth, st.wDay, st.wHour,
                st.wMinute, st.wSecond);
  return text;
}

}  // namespace testpaths
