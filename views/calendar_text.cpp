#include "views/calendar_text.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "i18n/language.h"
#include "i18n/translate.h"
#include "views/calendar_layout.h"

namespace calendar {
namespace {

bool IsTrimmedSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }

std::wstring_view TrimEnd(std::wstring_view text) {
  while (!text.empty() && IsTrimmedSpace(text.back())) text.remove_suffix(1);
  return text;
}

// A cut between a high and a low surrogate would leave half a character on screen.
size_t SafeCut(std::wstring_view text, size_t length) {
  if (length > 0 && length < text.size() && IS_HIGH_SURROGATE(text[length - 1]) &&
      IS_LOW_SURROGATE(text[length])) {
    return length - 1;
  }
  return length;
}

std::wstring WithEllipsis(std::wstring_view text, size_t length) {
  bool atBoundary = length >= text.size() || IsTrimmedSpace(text[length]) ||
                    (length > 0 && IsTrimmedSpace(text[length - 1]));
  std::wstring out(TrimEnd(text.substr(0, length)));
  out += (atBoundary && !out.empty()) ? L" \u2026" : L"\u2026";
  return out;
}

}  // namespace

FittedText FitText(std::wstring_view text, int lineHeight, int maxLines, const MeasureWrapped& measure) {
  FittedText fitted;
  if (maxLines < 1) return fitted;
  lineHeight = std::max(1, lineHeight);
  const int allowed = lineHeight * maxLines;

  bool shortened = false;
  int lines = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\n') continue;
    if (lines == maxLines) {
      text = text.substr(0, i);
      shortened = true;
      break;
    }
    ++lines;
  }
  if (text.size() > kMaxCardTextLength) {
    text = text.substr(0, SafeCut(text, kMaxCardTextLength));
    shortened = true;
  }
  text = TrimEnd(text);

  if (!shortened) {
    if (text.empty()) return fitted;
    int height = measure(text);
    if (height <= allowed) {
      fitted.text.assign(text);
      fitted.height = height;
      return fitted;
    }
  }

  // Text cut only by its line count usually fits whole with its ellipsis: try that first.
  if (shortened && !text.empty()) {
    std::wstring whole = WithEllipsis(text, text.size());
    int height = measure(whole);
    if (height <= allowed) {
      fitted.text = std::move(whole);
      fitted.height = height;
      return fitted;
    }
  }

  // The longest prefix that still fits with its ellipsis; lengths are probed as safe
  // cuts so that the measured candidate is the one finally drawn.
  size_t low = 0, high = text.size();
  while (low < high) {
    size_t mid = low + (high - low + 1) / 2;
    if (measure(WithEllipsis(text, SafeCut(text, mid))) <= allowed) {
      low = mid;
    } else {
      high = mid - 1;
    }
  }
  fitted.text = WithEllipsis(text, SafeCut(text, low));
  fitted.height = std::min(measure(fitted.text), allowed);
  return fitted;
}

const wchar_t* MonthDayPicture() {
  switch (i18n::CurrentLanguage()) {
    case i18n::kKorean: return L"M'월' d'일'";
    case i18n::kJapanese:
    case i18n::kChinese: return L"M'月'd'日'";
    case i18n::kFrench: return L"d MMM";
    case i18n::kGerman: return L"d. MMM";
    default: return L"MMM d";
  }
}

std::wstring MonthDayText(const Date& date) { return dates::LocaleDateText(date, 0, MonthDayPicture()); }

// A week that runs into the next year names both years; with the months abbreviated so
// the title keeps to the header in the languages with long month names.
const wchar_t* ShortDateWithYearPicture() {
  switch (i18n::CurrentLanguage()) {
    case i18n::kKorean: return L"yyyy'년' M'월' d'일'";
    case i18n::kJapanese:
    case i18n::kChinese: return L"yyyy'年'M'月'd'日'";
    case i18n::kFrench: return L"d MMM yyyy";
    case i18n::kGerman: return L"d. MMM yyyy";
    default: return L"MMM d, yyyy";
  }
}

std::wstring YearMonthText(const Date& date) { return dates::LocaleDateText(date, DATE_YEARMONTH, nullptr); }

std::wstring PeriodTitle(int viewMode, const Date& anchor) {
  switch (viewMode) {
    case kDayView: return dates::LongDateText(anchor, true);
    case kWeekView: {
      DaySpan week = SupportedWeek(anchor);
      const Date& start = week.first;
      const Date& end = week.last;
      if (start.year != end.year) {
        return dates::LocaleDateText(start, 0, ShortDateWithYearPicture()) + L" \u2013 " +
               dates::LocaleDateText(end, 0, ShortDateWithYearPicture());
      }
      return dates::LongDateText(start, false) + L" \u2013 " + MonthDayText(end);
    }
    case kYearView: return i18n::FormatText(L"{0}년", {std::to_wstring(anchor.year)});
    default: return YearMonthText(anchor);
  }
}

std::wstring ShortDayName(int weekDay) {
  // The locale lists day names from Monday.
  return dates::LocaleInfo(LOCALE_SABBREVDAYNAME1 + static_cast<unsigned long>((weekDay + 6) % 7));
}

std::wstring FullDayName(int weekDay) {
  return dates::LocaleInfo(LOCALE_SDAYNAME1 + static_cast<unsigned long>((weekDay + 6) % 7));
}

std::wstring CardText(const Project& project, const Date& date) {
  for (const Entry& entry : project.entries) {
    if (entry.date == date) {
      std::wstring text = entry.DisplayText();
      if (!text.empty()) return text;
      break;
    }
  }
  if (dates::IsValid(date) && project.startDate == date) return i18n::Translate(L"프로젝트 시작일");
  if (dates::IsValid(date) && project.endDate == date) return i18n::Translate(L"프로젝트 종료일");
  return {};
}

}  // namespace calendar
