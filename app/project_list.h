// What the two project lists show, decided from the document alone: which projects,
// in which order, with which texts, and what the lists' menus offer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/date.h"
#include "model/project.h"

namespace projectlist {

// The search box never holds more than this.
constexpr size_t kMaxSearchLength = 500;
// The calendar's context menu lists at most this many projects of a day.
constexpr size_t kMaxDayMenuProjects = 1000;

enum ListKind { kActiveList = 0, kCompletedList = 1 };

struct Filter {
  std::wstring searchText;
  int categoryFilter = -1;  // -1 every category, 0 personal, 1 internal, 2 external

  // A search or a category narrows the lists.
  bool IsActive() const { return !searchText.empty() || categoryFilter >= 0; }
};

// The filter the header controls describe: the search text cut to the box's limit and
// the category box's item (0 = all); an item outside the box, such as CB_ERR, means all.
Filter MakeFilter(std::wstring_view searchText, int categoryItem);

// The ids of the rows of both lists, each in its own order.
struct Lists {
  std::vector<int32_t> active;
  std::vector<int32_t> completed;

  size_t RowCount() const { return active.size() + completed.size(); }
};

Lists BuildLists(const ProjectDocument& document, const Filter& filter);
// The same from the filter's verdict, one per project in document order (a missing
// verdict leaves the project out).
Lists BuildLists(const ProjectDocument& document, const std::vector<char>& matches);
// The filter's verdict over the document, for BuildLists and the calendar alike.
std::vector<char> MatchAll(const ProjectDocument& document, const Filter& filter);

// The selection that survives a refill: the id while its project exists and matches the
// filter, otherwise 0.
int32_t KeptSelection(const ProjectDocument& document, int32_t selectedId, const Filter& filter);

// Position of an id in a list's rows, -1 when it has no row.
int RowOf(const std::vector<int32_t>& rows, int32_t id);

// Row texts in the current language.
std::wstring CategoryShortName(int32_t category);
std::wstring TitleText(const Project& project);
std::wstring SubtitleText(const Project& project);
// The first non-blank line of the latest AI request, trimmed; empty without AI prompts.
std::wstring ThirdLineText(const Project& project);

std::wstring EmptyListText(ListKind list, const Filter& filter);
// The status after the filter has been applied, counting the rows of both lists.
std::wstring FilterStatusText(const Filter& filter, size_t rowCount);

// Whether the calendar already shows the project: a start, end or entry date on screen
// (dateInView), or a span over the calendar's selected date.
bool VisibleOnCalendar(const Project& project, const std::function<bool(const Date&)>& dateInView,
                       const Date& calendarSelectedDate);
// Where selecting a project moves the calendar when it is not visible: its start, else
// its effective start; invalid when it has no date at all.
Date RevealDate(const Project& project);

// The date the project dialog opens on: the given one when valid, else the latest entry's.
Date ManageDate(const Project& project, const Date& given);
// A new project on a day (today when the day is invalid): the least-used colour and the
// category the filter shows, when it shows one.
Project NewProjectTemplate(const ProjectDocument& document, const Date& day, int categoryFilter, const Date& today);
// A copy completed today, or reopened without a completion date.
Project WithCompletion(const Project& project, bool completed, const Date& today);

// One item of a popup menu; command 0 is a separator.
struct MenuLine {
  int command = 0;
  std::wstring text;
  bool grayed = false;

  friend bool operator==(const MenuLine&, const MenuLine&) = default;
};

// The context menu of a project row.
std::vector<MenuLine> ProjectMenu(const Project& project);

// A title as a menu item shows it: "&" doubled, tabs and line breaks as spaces, and the
// untitled text when it is empty.
std::wstring MenuTitle(std::wstring_view title);

// The day the calendar's context menu is about: the notified date when valid, else the
// calendar's selected date.
Date CalendarMenuDay(const Date& notified, const Date& calendarSelected);
// The projects of that menu: the notified one first (when it exists), then every other
// project with its start, end or an entry on the day, in document order; at most 1000.
std::vector<int32_t> CalendarMenuProjects(const ProjectDocument& document, const Date& day, int32_t notifiedId);
// "New project on <day>" and, after a separator, one "Manage: <title>" item per id
// (command 41000 + its position).
std::vector<MenuLine> CalendarMenu(const ProjectDocument& document, const Date& day,
                                   const std::vector<int32_t>& projectIds);

}  // namespace projectlist
