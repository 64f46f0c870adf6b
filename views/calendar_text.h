// The calendar's texts: fitting card text into a number of lines, and the period titles.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "model/date.h"
#include "model/project.h"

namespace calendar {

constexpr size_t kMaxCardTextLength = 2000;

struct FittedText {
  std::wstring text;
  int height = 0;
};

// Height of the text when word-wrapped at the card's width.
using MeasureWrapped = std::function<int(std::wstring_view text)>;

// Keeps at most maxLines lines, cuts what does not fit the height of maxLines lines and
// marks every cut with " …" (at a word boundary) or "…" (inside a word).
FittedText FitText(std::wstring_view text, int lineHeight, int maxLines, const MeasureWrapped& measure);

// The short month-day picture of the current language ("M'월' d'일'", "MMM d", ...).
const wchar_t* MonthDayPicture();
std::wstring MonthDayText(const Date& date);

// The header title of the period on screen.
std::wstring PeriodTitle(int viewMode, const Date& anchor);

// Abbreviated (Sunday first, 0..6) and full day names of the UI locale.
std::wstring ShortDayName(int weekDay);
std::wstring FullDayName(int weekDay);
std::wstring YearMonthText(const Date& date);

// The text a card shows for a project on a day: its first entry's display text there,
// else which end of the project the day is, else nothing.
std::wstring CardText(const Project& project, const Date& date);

}  // namespace calendar
