// Fitting card text into a number of lines, with a measurer that wraps by counting
// UTF-16 units, and the period titles.
#include <gtest/gtest.h>

#include "i18n/language.h"
#include "views/calendar_layout.h"
#include "views/calendar_text.h"

namespace {

using calendar::FitText;

constexpr int kLine = 10;

// Each line feed starts a new line; a line of n units takes ceil(n / columns) lines.
calendar::MeasureWrapped Columns(int columns, int* calls = nullptr) {
  return [columns, calls](std::wstring_view text) {
    if (calls != nullptr) ++*calls;
    int lines = 0;
    size_t start = 0;
    while (true) {
      size_t lf = text.find(L'\n', start);
      size_t length = (lf == std::wstring_view::npos ? text.size() : lf) - start;
      lines += length == 0 ? 1 : static_cast<int>((length + columns - 1) / columns);
      if (lf == std::wstring_view::npos) break;
      start = lf + 1;
    }
    return lines * kLine;
  };
}

bool HasLoneSurrogate(const std::wstring& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (IS_HIGH_SURROGATE(text[i])) {
      if (i + 1 == text.size() || !IS_LOW_SURROGATE(text[i + 1])) return true;
      ++i;
    } else if (IS_LOW_SURROGATE(text[i])) {
      return true;
    }
  }
  return false;
}

TEST(CalendarTextFit, TextThatFitsIsKeptWithoutTrailingBlanks) {
  auto fitted = FitText(L"Short note \r\n\t ", kLine, 3, Columns(20));
  EXPECT_EQ(fitted.text, L"Short note");
  EXPECT_EQ(fitted.height, kLine);
  auto two = FitText(L"first\nsecond", kLine, 2, Columns(20));
  EXPECT_EQ(two.text, L"first\nsecond");
  EXPECT_EQ(two.height, 2 * kLine);
  EXPECT_TRUE(FitText(L"  \r\n ", kLine, 3, Columns(20)).text.empty());
  auto none = FitText(L"anything", kLine, 0, Columns(20));
  EXPECT_TRUE(none.text.empty());
  EXPECT_EQ(none.height, 0);
}

TEST(CalendarTextFit, ExtraLinesAreCutAndMarkedAtTheBoundary) {
  auto fitted = FitText(L"one\r\ntwo\r\nthree\r\nfour", kLine, 2, Columns(20));
  EXPECT_EQ(fitted.text, L"one\r\ntwo \u2026") << "the cut is at the end of the kept text: a spaced ellipsis";
  EXPECT_EQ(fitted.height, 2 * kLine);
}

TEST(CalendarTextFit, ACutInsideAWordGetsABareEllipsis) {
  auto fitted = FitText(L"abcdefghijklmnopqrstuvwxyz", kLine, 2, Columns(10));
  EXPECT_EQ(fitted.text, L"abcdefghijklmnopqrs\u2026");
  EXPECT_EQ(fitted.height, 2 * kLine);
}

TEST(CalendarTextFit, ACutOnWhiteSpaceGetsASpacedEllipsis) {
  // Eleven columns: "aaaa bbbb c…" is one unit too long, so the cut falls on the space.
  auto fitted = FitText(L"aaaa bbbb cccc dddd", kLine, 1, Columns(11));
  EXPECT_EQ(fitted.text, L"aaaa bbbb \u2026");
  EXPECT_EQ(fitted.height, kLine);
}

TEST(CalendarTextFit, NeverSplitsASurrogatePair) {
  // Nine letters, then U+1F600 (two units): a cut after ten units would leave half of it.
  std::wstring text = L"aaaaaaaaa\U0001F600bbbbbbbbbbbb";
  ASSERT_EQ(text.size(), 23u);
  auto fitted = FitText(text, kLine, 1, Columns(11));
  EXPECT_FALSE(HasLoneSurrogate(fitted.text)) << "got " << fitted.text.size() << " units";
  EXPECT_EQ(fitted.text, L"aaaaaaaaa\u2026");

  std::wstring pairs;
  for (int i = 0; i < 30; ++i) pairs += L"\U0001F600";
  for (int columns = 3; columns < 12; ++columns) {
    EXPECT_FALSE(HasLoneSurrogate(FitText(pairs, kLine, 1, Columns(columns)).text)) << columns;
  }
}

TEST(CalendarTextFit, VeryLongTextIsCutTo2000UnitsEvenWhenItWouldFit) {
  std::wstring text(2500, L'x');
  auto fitted = FitText(text, kLine, 1, [](std::wstring_view) { return kLine; });
  EXPECT_EQ(fitted.text, std::wstring(2000, L'x') + L" \u2026");

  // The 2000-unit cut moves back rather than split a pair sitting on it.
  std::wstring straddling = std::wstring(1999, L'y') + L"\U0001F600" + std::wstring(50, L'z');
  auto safe = FitText(straddling, kLine, 1, [](std::wstring_view) { return kLine; });
  EXPECT_FALSE(HasLoneSurrogate(safe.text));
  EXPECT_EQ(safe.text, std::wstring(1999, L'y') + L" \u2026");
}

TEST(CalendarTextFit, NothingFitsGivesTheEllipsisAtTheAllowedHeight) {
  int calls = 0;
  auto fitted = FitText(L"text", kLine, 2, [&](std::wstring_view) {
    ++calls;
    return 5 * kLine;
  });
  EXPECT_EQ(fitted.text, L"\u2026");
  EXPECT_EQ(fitted.height, 2 * kLine) << "the height never exceeds the allowed lines";
  EXPECT_LE(calls, 6) << "a binary search, not a walk over every length";

  int searchCalls = 0;
  FitText(std::wstring(2000, L'w'), kLine, 3, Columns(40, &searchCalls));
  EXPECT_LE(searchCalls, 14);
}

TEST(CalendarTitles, PeriodTitlesPerViewAndLanguage) {
  int before = i18n::CurrentLanguage();
  i18n::SetLanguage(i18n::kEnglish);
  EXPECT_EQ(calendar::PeriodTitle(calendar::kYearView, Date{2026, 5, 1}), L"2026");
  EXPECT_EQ(calendar::PeriodTitle(calendar::kWeekView, Date{2026, 3, 18}), L"Mar 15, 2026 \u2013 Mar 21");
  EXPECT_EQ(calendar::PeriodTitle(calendar::kWeekView, Date{2025, 12, 31}), L"Dec 28, 2025 \u2013 Jan 3, 2026")
      << "a week across the new year writes both years";
  EXPECT_EQ(calendar::PeriodTitle(calendar::kDayView, Date{2024, 7, 4}), L"Jul 4, 2024 (Thu)");
  i18n::SetLanguage(i18n::kKorean);
  EXPECT_EQ(calendar::PeriodTitle(calendar::kYearView, Date{2026, 5, 1}), L"2026년");
  EXPECT_EQ(calendar::PeriodTitle(calendar::kWeekView, Date{2026, 3, 18}), L"2026년 3월 15일 \u2013 3월 21일");
  EXPECT_EQ(calendar::ShortDayName(0), L"일");
  EXPECT_EQ(calendar::ShortDayName(6), L"토");
  i18n::SetLanguage(before);
}

TEST(CalendarTitles, CardTextFallsBackToTheProjectsEnds) {
  int before = i18n::CurrentLanguage();
  i18n::SetLanguage(i18n::kKorean);
  Project p;
  p.startDate = Date{2026, 3, 1};
  p.endDate = Date{2026, 3, 9};
  Entry blank;
  blank.date = Date{2026, 3, 1};
  blank.text = L"  ";
  Entry note;
  note.date = Date{2026, 3, 5};
  note.text = L"first";
  Entry second = note;
  second.text = L"second";
  p.entries = {blank, note, second};
  EXPECT_EQ(calendar::CardText(p, Date{2026, 3, 1}), L"프로젝트 시작일") << "a blank entry gives way";
  EXPECT_EQ(calendar::CardText(p, Date{2026, 3, 5}), L"first") << "the first entry of the day";
  EXPECT_EQ(calendar::CardText(p, Date{2026, 3, 9}), L"프로젝트 종료일");
  EXPECT_TRUE(calendar::CardText(p, Date{2026, 3, 7}).empty());
  i18n::SetLanguage(before);
}

}  // namespace
