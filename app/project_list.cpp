#include "app/project_list.h"

#include <algorithm>

#include "i18n/translate.h"
#include "resources/command_ids.h"

namespace projectlist {
namespace {

constexpr std::wstring_view kDot = L"  ·  ";

std::wstring_view TrimBlank(std::wstring_view text) {
  constexpr std::wstring_view blank = L" \t\r\n";
  size_t first = text.find_first_not_of(blank);
  if (first == std::wstring_view::npos) return {};
  size_t last = text.find_last_not_of(blank);
  return text.substr(first, last - first + 1);
}

bool Matches(const Project& project, const Filter& filter) {
  return project.MatchesSearch(filter.searchText, filter.categoryFilter);
}

bool TouchesDay(const Project& project, const Date& day) {
  if (project.startDate == day || project.endDate == day) return true;
  return std::any_of(project.entries.begin(), project.entries.end(), [&](const Entry& e) { return e.date == day; });
}

}  // namespace

Filter MakeFilter(std::wstring_view searchText, int categoryItem) {
  Filter filter;
  filter.searchText = searchText.substr(0, kMaxSearchLength);
  // Never keep half of a surrogate pair at the cut.
  if (searchText.size() > kMaxSearchLength) {
    wchar_t last = filter.searchText.back();
    if (last >= 0xD800 && last <= 0xDBFF) filter.searchText.pop_back();
  }
  filter.categoryFilter = categoryItem >= 1 && categoryItem <= 3 ? categoryItem - 1 : -1;
  return filter;
}

std::vector<char> MatchAll(const ProjectDocument& document, const Filter& filter) {
  return ProjectSearch(filter.searchText, filter.categoryFilter).MatchAll(document.projects);
}

Lists BuildLists(const ProjectDocument& document, const Filter& filter) {
  return BuildLists(document, MatchAll(document, filter));
}

Lists BuildLists(const ProjectDocument& document, const std::vector<char>& matches) {
  std::vector<const Project*> active, completed;
  for (size_t i = 0; i < document.projects.size() && i < matches.size(); ++i) {
    if (matches[i] == 0) continue;
    const Project& project = document.projects[i];
    (project.completed ? completed : active).push_back(&project);
  }
  projectorder::SortActive(active);
  projectorder::SortCompleted(completed);
  Lists lists;
  lists.active.reserve(active.size());
  lists.completed.reserve(completed.size());
  for (const Project* p : active) lists.active.push_back(p->id);
  for (const Project* p : completed) lists.completed.push_back(p->id);
  return lists;
}

int32_t KeptSelection(const ProjectDocument& document, int32_t selectedId, const Filter& filter) {
  if (selectedId == 0) return 0;
  const Project* project = document.Find(selectedId);
  return project != nullptr && Matches(*project, filter) ? selectedId : 0;
}

int RowOf(const std::vector<int32_t>& rows, int32_t id) {
  if (id == 0) return -1;
  auto it = std::find(rows.begin(), rows.end(), id);
  return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

std::wstring CategoryShortName(int32_t category) {
  static const wchar_t* const names[] = {I18N_KEY(L"개인"), I18N_KEY(L"내부"), I18N_KEY(L"외부")};
  return i18n::Translate(names[NormalizedCategory(category)]);
}

std::wstring TitleText(const Project& project) {
  return project.title.empty() ? std::wstring(i18n::Translate(L"(제목 없음)")) : project.title;
}

std::wstring SubtitleText(const Project& project) {
  std::wstring text = CategoryShortName(project.category);
  text += kDot;
  if (project.completed) {
    Date done = dates::IsValid(project.completedDate) ? project.completedDate : project.EffectiveEnd();
    text += i18n::Translate(L"완료 ");
    text += dates::NumericDateText(done);
  } else {
    Date start = dates::IsValid(project.startDate) ? project.startDate : project.EffectiveStart();
    text += dates::NumericDateText(start);
    if (dates::IsValid(project.endDate) && !(project.endDate == start)) {
      text += L" ~ ";
      text += dates::NumericDateText(project.endDate);
    } else {
      text += L" ~";
    }
  }
  if (!project.entries.empty()) {
    text += kDot;
    text += i18n::FormatText(L"내용 {0}건", {std::to_wstring(project.entries.size())});
  }
  return text;
}

std::wstring ThirdLineText(const Project& project) {
  std::wstring request = project.LatestRequestText();
  std::wstring_view rest = request;
  while (!rest.empty()) {
    size_t lf = rest.find(L'\n');
    std::wstring_view line = TrimBlank(rest.substr(0, lf));
    if (!line.empty()) return std::wstring(line);
    if (lf == std::wstring_view::npos) break;
    rest.remove_prefix(lf + 1);
  }
  return {};
}

std::wstring EmptyListText(ListKind list, const Filter& filter) {
  if (filter.IsActive()) {
    return i18n::Translate(L"검색 결과가 없습니다.\n검색어나 프로젝트 구분을 변경하세요.");
  }
  if (list == kActiveList) {
    return i18n::Translate(L"진행중인 프로젝트가 없습니다.\n캘린더의 날짜를 더블클릭하여\n새 프로젝트를 등록하세요.");
  }
  return i18n::Translate(
      L"완료된 프로젝트가 없습니다.\n프로젝트 창에서 '완료된 프로젝트'를\n체크하면 이곳에 표시됩니다.");
}

std::wstring FilterStatusText(const Filter& filter, size_t rowCount) {
  if (!filter.IsActive()) return i18n::Translate(L"모든 프로젝트를 표시합니다.");
  return i18n::FormatText(L"검색 결과: 프로젝트 {0}개", {std::to_wstring(rowCount)});
}

bool VisibleOnCalendar(const Project& project, const std::function<bool(const Date&)>& dateInView,
                       const Date& calendarSelectedDate) {
  auto shown = [&](const Date& d) { return dates::IsValid(d) && dateInView(d); };
  if (shown(project.startDate) || shown(project.endDate)) return true;
  for (const Entry& entry : project.entries) {
    if (shown(entry.date)) return true;
  }
  return project.SpansDate(calendarSelectedDate);
}

Date RevealDate(const Project& project) {
  return dates::IsValid(project.startDate) ? project.startDate : project.EffectiveStart();
}

Date ManageDate(const Project& project, const Date& given) {
  if (dates::IsValid(given)) return given;
  // Entries are kept sorted by date, so the last one is the latest.
  return project.entries.empty() ? Date{} : project.entries.back().date;
}

Project NewProjectTemplate(const ProjectDocument& document, const Date& day, int categoryFilter, const Date& today) {
  Project project;
  project.startDate = dates::IsValid(day) ? day : today;
  project.color = document.LeastUsedColor();
  project.category = categoryFilter >= 0 ? NormalizedCategory(categoryFilter) : kCategoryPersonal;
  return project;
}

Project WithCompletion(const Project& project, bool completed, const Date& today) {
  Project copy = project;
  copy.completed = completed;
  copy.completedDate = completed ? today : Date{};
  return copy;
}

std::vector<MenuLine> ProjectMenu(const Project& project) {
  auto item = [](int command, const wchar_t* korean, bool grayed = false) {
    return MenuLine{command, i18n::Translate(korean), grayed};
  };
  std::vector<MenuLine> lines;
  lines.push_back(item(IDM_PROJECT_MANAGE, L"프로젝트 관리(&M)...\tEnter"));
  lines.push_back(item(IDM_PROJECT_VSCODE, L"VS Code 열기(&V)"));
  lines.push_back({});
  if (project.completed) {
    lines.push_back(item(IDM_PROJECT_REOPEN, L"진행중으로 되돌리기(&R)"));
  } else {
    lines.push_back(item(IDM_PROJECT_COMPLETE, L"완료 처리(&C)"));
  }
  lines.push_back(item(IDM_PROJECT_FOLDER, L"프로젝트 폴더 열기(&F)", project.location.empty()));
  lines.push_back(item(IDM_EXPORT_PROJECT, L"내보내기(&E)..."));
  lines.push_back({});
  lines.push_back(item(IDM_PROJECT_DELETE, L"삭제(&D)\tDel"));
  return lines;
}

std::wstring MenuTitle(std::wstring_view title) {
  if (title.empty()) return i18n::Translate(L"(제목 없음)");
  std::wstring out;
  out.reserve(title.size() + 4);
  for (wchar_t c : title) {
    if (c == L'&') {
      out += L"&&";
    } else if (c == L'\t' || c == L'\n' || c == L'\r') {
      out.push_back(L' ');
    } else {
      out.push_back(c);
    }
  }
  return out;
}

Date CalendarMenuDay(const Date& notified, const Date& calendarSelected) {
  return dates::IsValid(notified) ? notified : calendarSelected;
}

std::vector<int32_t> CalendarMenuProjects(const ProjectDocument& document, const Date& day, int32_t notifiedId) {
  std::vector<int32_t> ids;
  if (notifiedId != 0 && document.Find(notifiedId) != nullptr) ids.push_back(notifiedId);
  if (!dates::IsValid(day)) return ids;
  for (const Project& project : document.projects) {
    if (ids.size() >= kMaxDayMenuProjects) break;
    if (project.id == notifiedId || !TouchesDay(project, day)) continue;
    ids.push_back(project.id);
  }
  return ids;
}

std::vector<MenuLine> CalendarMenu(const ProjectDocument& document, const Date& day,
                                   const std::vector<int32_t>& projectIds) {
  std::vector<MenuLine> lines;
  lines.push_back({IDM_CALENDAR_NEW, i18n::FormatText(L"{0}에 새 프로젝트 등록(&N)...", {dates::LongDateText(day, true)})});
  size_t count = std::min(projectIds.size(), kMaxDayMenuProjects);
  if (count == 0) return lines;
  lines.push_back({});
  std::wstring manage = i18n::Translate(L"관리: ");
  for (size_t i = 0; i < count; ++i) {
    const Project* project = document.Find(projectIds[i]);
    std::wstring title = MenuTitle(project != nullptr ? std::wstring_view(project->title) : std::wstring_view());
    lines.push_back({IDM_CALENDAR_MANAGE_FIRST + static_cast<int>(i), manage + title});
  }
  return lines;
}

}  // namespace projectlist
