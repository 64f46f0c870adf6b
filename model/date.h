// Civil dates without time zone, their storage form and their per-language texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// (0, 0, 0) is the one canonical "no date".
struct Date {
  int32_t year = 0;
  int32_t month = 0;
  int32_t day = 0;

  friend bool operator==(const Date&, const Date&) = default;
};

namespace dates {

bool IsValid(const Date& date);                 // 1601-01-01 .. 9999-12-31
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);           // 30 for a month outside 1..12
int32_t DayNumber(const Date& date);            // days since 1970-01-01, any date
Date FromDayNumber(int32_t dayNumber);
int WeekDay(const Date& date);                  // 0 = Sunday .. 6 = Saturday
Date AddDays(const Date& date, int32_t days);

bool Less(const Date& a, const Date& b);
bool Greater(const Date& a, const Date& b);
bool GreaterOrEqual(const Date& a, const Date& b);

// "YYYY-MM-DD" for a valid date, empty otherwise.
std::wstring ToStorageText(const Date& date);
// Lenient like "%d-%d-%d": leading blanks, missing zeros, signs and trailing characters
// are accepted; anything that is not three numbers forming a valid date gives (0, 0, 0).
Date ParseStorageText(std::wstring_view text);

Date Today();
// "YYYY-MM-DDTHH:MM:SS" of the local clock.
std::wstring LocalTimeStamp();

// Locale name of the current UI language ("en-US", "ko-KR", ...).
const wchar_t* UiLocaleName();
// The system's formatting of a valid date for the UI locale; the storage text when the
// system call fails; empty for an invalid date.
std::wstring LocaleDateText(const Date& date, unsigned long flags, const wchar_t* picture);
std::wstring LocaleInfo(unsigned long item);
std::wstring MonthName(int month);
std::wstring LongDateText(const Date& date, bool withWeekDay);
const wchar_t* NumericDatePicture();
std::wstring NumericDateText(const Date& date);

}  // namespace dates
