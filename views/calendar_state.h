// The calendar view's state, shared by its window procedure and its painters.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model/date.h"
#include "model/project.h"
#include "ui/kit/fonts.h"
#include "views/calendar_day_index.h"
#include "views/calendar_layout.h"

namespace calendar {

struct CalendarView {
  HWND window = nullptr;
  HWND datePicker = nullptr;
  const ProjectDocument* document = nullptr;  // the main window's; never edited here
  const kit::FontSet* fonts = nullptr;        // the main window's; also carries the DPI

  int viewMode = kMonthView;
  Date selectedDate;
  Date anchorDate;
  int32_t selectedProjectId = 0;
  std::wstring filterText;
  int filterCategory = -1;
  DayIndex dayIndex;                // every project, whatever the filter
  std::vector<ProjectFacts> facts;  // built with dayIndex, one per project
  std::vector<char> matches;        // one per project: passes the filter

  std::vector<HitRegion> hitRegions;
  RECT buttonRects[kHeaderButtonCount] = {};
  RECT titleRect = {};
  RECT dateLabelRect = {};
  int headerHeight = kHeaderHeight;

  int hoverButton = -1;
  int pressedButton = -1;
  int32_t hoverProjectId = 0;
  int32_t hoverDay = 0;
  bool trackingMouse = false;
  // The last single click switched the view (a "+N more" link, a month title): the
  // double click it may be the first half of must not act on the new view.
  bool clickChangedView = false;
  // The date last handed to the date picker and the one it then held: they differ when
  // the picker refused it (Wine's refuses dates before 1752).
  Date pickerAsked;
  Date pickerHeld;
  // A key was typed into the picker since it was last set or looked up.
  bool pickerTyped = false;

  int scrollOffset = 0;
  int contentHeight = 0;
  int visibleHeight = 0;
  int wheelRemainder = 0;

  // Replaces the local clock when valid, so that screenshots and tests see a fixed today.
  Date fixedToday;
  // Used when the main window has not given a font set.
  kit::OwnedFontSet fallbackFonts;
};

const kit::FontSet& FontsOf(const CalendarView& view);
Date TodayOf(const CalendarView& view);
// The document's projects; none without a document.
const std::vector<Project>& ProjectsOf(const CalendarView& view);
// The project at a dayIndex position, or null when the document changed under the index.
const Project* ProjectAt(const CalendarView& view, int position);
// The project's effective period as cached by the last index rebuild.
bool SpansDay(const CalendarView& view, int position, int32_t dayNumber);
// Whether the project at a dayIndex position passes the filter.
bool MatchesFilter(const CalendarView& view, int position);

}  // namespace calendar
