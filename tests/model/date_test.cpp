#include "model/date.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>

#include "support/language_scope.h"

#include "i18n/language.h"

namespace {

using testpaths::LanguageScope;

TEST(DateRules, DaysInMonthFollowsGregorianLeapYears) {
  EXPECT_EQ(dates::DaysInMonth(2024, 2), 29);
  EXPECT_EQ(dates::DaysInMonth(1900, 2), 28);
  EXPECT_EQ(dates::DaysInMonth(2000, 2), 29);
  EXPECT_EQ(dates::DaysInMonth(2023, 2), 28);
  EXPECT_EQ(dates::DaysInMonth(2023, 13), 30);
  EXPECT_EQ(dates::DaysInMonth(2023, 0), 30);
  EXPECT_EQ(dates::DaysInMonth(2023, 4), 30);
  EXPECT_EQ(dates::DaysInMonth(2023, 12), 31);
}

TEST(DateRules, ValidityCoversTheSystemDateRange) {
  EXPECT_TRUE(dates::IsValid({1601, 1, 1}));
  EXPECT_TRUE(dates::IsValid({9999, 12, 31}));
  EXPECT_TRUE(dates::IsValid({2024, 2, 29}));
  EXPECT_FALSE(dates::IsValid({1600, 12, 31}));
  EXPECT_FALSE(dates::IsValid({10000, 1, 1}));
  EXPECT_FALSE(dates::IsValid({2023, 2, 29}));
  EXPECT_FALSE(dates::IsValid({2024, 4, 31}));
  EXPECT_FALSE(dates::IsValid({2024, 0, 1}));
  EXPECT_FALSE(dates::IsValid({2024, 1, 0}));
  EXPECT_FALSE(dates::IsValid(Date{}));
}

TEST(DateRules, DayNumbersAndWeekDays) {
  EXPECT_EQ(dates::DayNumber({1970, 1, 1}), 0);
  EXPECT_EQ(dates::DayNumber({2000, 3, 1}), 11017);
  EXPECT_EQ(dates::DayNumber({1969, 12, 31}), -1);
  EXPECT_EQ(dates::DayNumber({1601, 1, 1}), -134774);
  EXPECT_EQ(dates::WeekDay({1970, 1, 1}), 4);
  EXPECT_EQ(dates::WeekDay({1969, 12, 28}), 0);
  EXPECT_EQ(dates::WeekDay({1969, 12, 27}), 6);
  EXPECT_EQ(dates::WeekDay({2024, 7, 4}), 4);
  EXPECT_EQ(dates::WeekDay({1601, 1, 1}), 1);
}

TEST(DateRules, DayNumberRoundTripsAcrossTheWholeRange) {
  // Walking day by day from 1601 to 9999 checks the conversion both ways and that the
  // numbers are consecutive, which no single example can.
  Date d{1601, 1, 1};
  int32_t n = dates::DayNumber(d);
  const int32_t last = dates::DayNumber({9999, 12, 31});
  for (; n <= last; ++n) {
    Date back = dates::FromDayNumber(n);
    ASSERT_TRUE(dates::IsValid(back)) << n;
    ASSERT_EQ(dates::DayNumber(back), n);
    ASSERT_EQ(back, d);
    d.day++;
    if (d.day > dates::DaysInMonth(d.year, d.month)) {
      d.day = 1;
      if (++d.month > 12) {
        d.month = 1;
        d.year++;
      }
    }
  }
}

TEST(DateRules, ComparisonsUseDayNumbers) {
  EXPECT_TRUE(dates::Less({2024, 1, 31}, {2024, 2, 1}));
  EXPECT_FALSE(dates::Less({2024, 2, 1}, {2024, 2, 1}));
  EXPECT_TRUE(dates::GreaterOrEqual({2024, 2, 1}, {2024, 2, 1}));
  EXPECT_TRUE(dates::Greater({2025, 1, 1}, {2024, 12, 31}));
  EXPECT_EQ(dates::AddDays({2024, 2, 28}, 1), (Date{2024, 2, 29}));
  EXPECT_EQ(dates::AddDays({2024, 3, 1}, -1), (Date{2024, 2, 29}));
}

TEST(DateStorage, TextOfValidAndInvalidDates) {
  EXPECT_EQ(dates::ToStorageText({2024, 7, 4}), L"2024-07-04");
  EXPECT_EQ(dates::ToStorageText({1601, 1, 1}), L"1601-01-01");
  EXPECT_EQ(dates::ToStorageText(Date{}), L"");
  EXPECT_EQ(dates::ToStorageText({2023, 2, 29}), L"");
}

TEST(DateStorage, ParserIsAsLenientAsScanf) {
  EXPECT_EQ(dates::ParseStorageText(L"2024-07-04"), (Date{2024, 7, 4}));
  EXPECT_EQ(dates::ParseStorageText(L"2024-3-7"), (Date{2024, 3, 7}));
  EXPECT_EQ(dates::ParseStorageText(L"2024-2-3x"), (Date{2024, 2, 3}));
  EXPECT_EQ(dates::ParseStorageText(L"  2024-02-03"), (Date{2024, 2, 3}));
  EXPECT_EQ(dates::ParseStorageText(L"+2024-+2-+3"), (Date{2024, 2, 3}));
  EXPECT_EQ(dates::ParseStorageText(L"2024-02-03T10:00:00"), (Date{2024, 2, 3}));
  EXPECT_EQ(dates::ParseStorageText(L"2024-02-30"), Date{});
  EXPECT_EQ(dates::ParseStorageText(L"1600-12-31"), Date{});
  EXPECT_EQ(dates::ParseStorageText(L""), Date{});
  EXPECT_EQ(dates::ParseStorageText(L"2024-02"), Date{});
  EXPECT_EQ(dates::ParseStorageText(L"2024/02/03"), Date{});
  EXPECT_EQ(dates::ParseStorageText(L"-2024-02-03"), Date{});
}

// The whole text is read, however long its blanks or zero padding, and the reading
// agrees with the C library's own "%d-%d-%d" on every text it can read without overflow.
TEST(DateStorage, ParserReadsTheWholeTextLikeScanf) {
  const std::wstring blanks(200, L' ');
  const std::wstring zeros(100, L'0');
  EXPECT_EQ(dates::ParseStorageText(blanks + L"2024-02-03"), (Date{2024, 2, 3}));
  EXPECT_EQ(dates::ParseStorageText(zeros + L"2024-" + zeros + L"2-" + zeros + L"3"), (Date{2024, 2, 3}));
  EXPECT_EQ(dates::ParseStorageText(L"\t\r\n 2024-\t3- 7"), (Date{2024, 3, 7}));
  EXPECT_EQ(dates::ParseStorageText(blanks + L"2024 -02-03"), Date{});
  EXPECT_EQ(dates::ParseStorageText(blanks), Date{});
  EXPECT_EQ(dates::ParseStorageText(L"2024-02-+"), Date{});
  // Numbers past the 32-bit range must not wrap into a plausible year.
  EXPECT_EQ(dates::ParseStorageText(L"4294969320-1-1"), Date{});
  EXPECT_EQ(dates::ParseStorageText(L"2024-4294967298-1"), Date{});

  const wchar_t alphabet[] = L"0123456789- +x\t";
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
  const std::wstring samples[] = {L"2024", L"-", L"02", L"3", L" ", L"+", L"0", L"12", L"31", L"1999"};
  for (int round = 0; round < 3000; ++round) {
    std::wstring text;
    const int pieces = static_cast<int>(next() % 8);
    for (int i = 0; i < pieces; ++i) {
      if (next() % 2 == 0) {
        text += samples[next() % 10];
      } else {
        text += alphabet[next() % (sizeof(alphabet) / sizeof(wchar_t) - 1)];
      }
    }
    if (next() % 4 == 0) text.insert(0, std::wstring(70 + next() % 40, next() % 2 ? L' ' : L'0'));
    int y = 0, m = 0, d = 0;
    Date expected;
    if (std::swscanf(text.c_str(), L"%d-%d-%d", &y, &m, &d) == 3 && dates::IsValid(Date{y, m, d})) {
      expected = Date{y, m, d};
    }
    // Runs of digits long enough to overflow are left to the saturating rule above.
    bool overflowRisk = false;
    size_t significant = 0;
    for (wchar_t c : text) {
      const bool digit = c >= L'0' && c <= L'9';
      significant = !digit ? 0 : (significant > 0 || c != L'0') ? significant + 1 : 0;
      if (significant >= 10) overflowRisk = true;
    }
    if (overflowRisk) continue;
    EXPECT_EQ(dates::ParseStorageText(text), expected) << "\"" << std::string(text.begin(), text.end()) << "\"";
  }
}

TEST(DateStorage, LocalTimeStampHasTheFixedForm) {
  std::wstring stamp = dates::LocalTimeStamp();
  ASSERT_EQ(stamp.size(), 19u);
  EXPECT_EQ(stamp[4], L'-');
  EXPECT_EQ(stamp[7], L'-');
  EXPECT_EQ(stamp[10], L'T');
  EXPECT_EQ(stamp[13], L':');
  EXPECT_EQ(stamp[16], L':');
  EXPECT_EQ(dates::ParseStorageText(stamp.substr(0, 10)), dates::Today());
}

TEST(DateTexts, LongDateInEnglishAndKorean) {
  {
    LanguageScope english(i18n::kEnglish);
    EXPECT_EQ(dates::LongDateText({2024, 7, 4}, true), L"Jul 4, 2024 (Thu)");
    EXPECT_EQ(dates::LongDateText({2024, 7, 4}, false), L"Jul 4, 2024");
    EXPECT_EQ(dates::NumericDateText({2024, 7, 4}), L"07/04/2024");
    EXPECT_EQ(dates::MonthName(1), L"January");
    EXPECT_EQ(dates::LongDateText({2024, 7, 7}, true), L"Jul 7, 2024 (Sun)");
  }
  {
    LanguageScope korean(i18n::kKorean);
    EXPECT_EQ(dates::LongDateText({2024, 7, 4}, true), L"2024년 7월 4일 (목)");
    EXPECT_EQ(dates::NumericDateText({2024, 7, 4}), L"2024-07-04");
    EXPECT_EQ(dates::MonthName(12), L"12월");
  }
}

TEST(DateTexts, PicturesPerLanguage) {
  {
    LanguageScope german(i18n::kGerman);
    EXPECT_STREQ(dates::NumericDatePicture(), L"dd.MM.yyyy");
    EXPECT_EQ(dates::NumericDateText({2024, 7, 4}), L"04.07.2024");
    EXPECT_EQ(dates::LongDateText({2024, 7, 4}, false), L"4. Juli 2024");
  }
  {
    LanguageScope french(i18n::kFrench);
    EXPECT_STREQ(dates::NumericDatePicture(), L"dd/MM/yyyy");
    EXPECT_EQ(dates::LongDateText({2024, 7, 4}, false), L"4 juillet 2024");
  }
  {
    LanguageScope japanese(i18n::kJapanese);
    EXPECT_EQ(dates::LongDateText({2024, 7, 4}, false), L"2024年7月4日");
  }
}

TEST(DateTexts, InvalidDatesAndMonthsGiveEmptyTexts) {
  EXPECT_EQ(dates::LongDateText(Date{}, true), L"");
  EXPECT_EQ(dates::LocaleDateText({2023, 2, 29}, 0, L"yyyy"), L"");
  EXPECT_EQ(dates::MonthName(0), L"");
  EXPECT_EQ(dates::MonthName(13), L"");
}

}  // namespace
