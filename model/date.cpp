#include "model/date.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>

#include "i18n/language.h"

namespace dates {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 30;
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[month - 1];
}

bool IsValid(const Date& date) {
  return date.year >= 1601 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
         date.day >= 1 && date.day <= DaysInMonth(date.year, date.month);
}

int32_t DayNumber(const Date& date) {
  // Civil-to-days with years starting in March, so the leap day ends a year.
  int64_t y = static_cast<int64_t>(date.year) - (date.month <= 2 ? 1 : 0);
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t m = date.month;
  int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + date.day - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return static_cast<int32_t>(era * 146097 + doe - 719468);
}

Date FromDayNumber(int32_t dayNumber) {
  int64_t z = static_cast<int64_t>(dayNumber) + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = yoe + era * 400;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  int64_t d = doy - (153 * mp + 2) / 5 + 1;
  int64_t m = mp < 10 ? mp + 3 : mp - 9;
  return Date{static_cast<int32_t>(y + (m <= 2 ? 1 : 0)), static_cast<int32_t>(m), static_cast<int32_t>(d)};
}

int WeekDay(const Date& date) { return (DayNumber(date) % 7 + 11) % 7; }

Date AddDays(const Date& date, int32_t days) { return FromDayNumber(DayNumber(date) + days); }

bool Less(const Date& a, const Date& b) { return DayNumber(a) < DayNumber(b); }
bool Greater(const Date& a, const Date& b) { return DayNumber(a) > DayNumber(b); }
bool GreaterOrEqual(const Date& a, const Date& b) { return DayNumber(a) >= DayNumber(b); }

namespace {

// One "%d" of the scanf family over the whole text: white space skipped, an optional
// sign, at least one digit. However many digits follow (zero padding included) they are
// all read; a magnitude past the 32-bit range saturates, which no valid date reaches.
bool ScanInt(std::wstring_view text, size_t& i, int& value) {
  while (i < text.size() && std::iswspace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
    negative = text[i] == L'-';
    ++i;
  }
  const size_t first = i;
  int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    if (magnitude <= INT32_MAX) magnitude = magnitude * 10 + (text[i] - L'0');
  }
  if (i == first) return false;
  if (magnitude > INT32_MAX) magnitude = INT32_MAX;
  value = static_cast<int>(negative ? -magnitude : magnitude);
  return true;
}

// A literal of the pattern matches exactly one character, without skipping blanks.
bool ScanLiteral(std::wstring_view text, size_t& i, wchar_t literal) {
  if (i >= text.size() || text[i] != literal) return false;
  ++i;
  return true;
}

}  // namespace

std::wstring ToStorageText(const Date& date) {
  if (!IsValid(date)) return {};
  wchar_t buffer[16];
  std::swprintf(buffer, 16, L"%04d-%02d-%02d", date.year, date.month, date.day);
  return buffer;
}

Date ParseStorageText(std::wstring_view text) {
  // Files hold the canonical "YYYY-MM-DD" almost always; reading it directly gives the
  // same result as the scanf pattern at a fraction of the cost.
  if (text.size() == 10 && text[4] == L'-' && text[7] == L'-') {
    int digits[8];
    int n = 0;
    for (size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u}) {
      if (text[i] < L'0' || text[i] > L'9') break;
      digits[n++] = text[i] - L'0';
    }
    if (n == 8) {
      Date date{digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3], digits[4] * 10 + digits[5],
                digits[6] * 10 + digits[7]};
      return IsValid(date) ? date : Date{};
    }
  }
  int y = 0, m = 0, d = 0;
  size_t i = 0;
  if (!ScanInt(text, i, y) || !ScanLiteral(text, i, L'-') || !ScanInt(text, i, m) ||
      !ScanLiteral(text, i, L'-') || !ScanInt(text, i, d)) {
    return {};
  }
  Date date{y, m, d};
  return IsValid(date) ? date : Date{};
}

Date Today() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return Date{now.wYear, now.wMonth, now.wDay};
}

std::wstring LocalTimeStamp() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t buffer[32];
  std::swprintf(buffer, 32, L"%04u-%02u-%02uT%02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  return buffer;
}

const wchar_t* UiLocaleName() { return i18n::kLanguageCodes[i18n::CurrentLanguage()]; }

std::wstring LocaleDateText(const Date& date, unsigned long flags, const wchar_t* picture) {
  if (!IsValid(date)) return {};
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(date.year);
  st.wMonth = static_cast<WORD>(date.month);
  st.wDay = static_cast<WORD>(date.day);
  st.wDayOfWeek = static_cast<WORD>(WeekDay(date));
  wchar_t buffer[128];
  if (GetDateFormatEx(UiLocaleName(), flags, &st, picture, buffer, 128, nullptr) == 0) {
    return ToStorageText(date);
  }
  return buffer;
}

std::wstring LocaleInfo(unsigned long item) {
  wchar_t buffer[96];
  if (GetLocaleInfoEx(UiLocaleName(), item, buffer, 96) == 0) return {};
  return buffer;
}

std::wstring MonthName(int month) {
  if (month < 1 || month > 12) return {};
  return LocaleInfo(LOCALE_SMONTHNAME1 + static_cast<unsigned long>(month - 1));
}

std::wstring LongDateText(const Date& date, bool withWeekDay) {
  if (!IsValid(date)) return {};
  const wchar_t* picture;
  switch (i18n::CurrentLanguage()) {
    case i18n::kKorean: picture = L"yyyy'년' M'월' d'일'"; break;
    case i18n::kJapanese:
    case i18n::kChinese: picture = L"yyyy'年'M'月'd'日'"; break;
    case i18n::kFrench: picture = L"d MMMM yyyy"; break;
    case i18n::kGerman: picture = L"d. MMMM yyyy"; break;
    default: picture = L"MMM d, yyyy"; break;
  }
  std::wstring text = LocaleDateText(date, 0, picture);
  if (withWeekDay) {
    // The locale's day names start with Monday.
    unsigned long item = LOCALE_SABBREVDAYNAME1 + static_cast<unsigned long>((WeekDay(date) + 6) % 7);
    text += L" (";
    text += LocaleInfo(item);
    text += L")";
  }
  return text;
}

const wchar_t* NumericDatePicture() {
  switch (i18n::CurrentLanguage()) {
    case i18n::kEnglish: return L"MM/dd/yyyy";
    case i18n::kFrench: return L"dd/MM/yyyy";
    case i18n::kGerman: return L"dd.MM.yyyy";
    default: return L"yyyy-MM-dd";
  }
}

std::wstring NumericDateText(const Date& date) { return LocaleDateText(date, 0, NumericDatePicture()); }

}  // namespace dates
