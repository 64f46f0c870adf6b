// The project list panel as the main window runs it: the filter, the lists and the
// selection, and the project commands that go through the project dialog.
#include <windows.h>

#include "app/main_window.h"
#include "app/project_list_box.h"
#include "app/project_list_menu.h"
#include "i18n/translate.h"
#include "model/file_io.h"
#include "resources/command_ids.h"
#include "views/calendar_view.h"

namespace mainwindow {

namespace {

std::wstring WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

}  // namespace

void MainWindow::ApplyFilter() {
  // The controls report changes while the window is still being built.
  if (!calendar_) return;
  int item = static_cast<int>(SendMessageW(child(kCategoryBoxId), CB_GETCURSEL, 0, 0));
  filter_ = projectlist::MakeFilter(WindowText(child(kSearchBoxId)), item);
  selectedProjectId_ = projectlist::KeptSelection(document_, selectedProjectId_, filter_);
  calendar::SetSelectedProject(calendar_, selectedProjectId_);
  // One pass of the search over the document serves the calendar and both lists.
  std::vector<char> matches = projectlist::MatchAll(document_, filter_);
  calendar::SetFilter(calendar_, filter_.searchText, filter_.categoryFilter, matches);
  FillLists(matches);
  size_t rows = SendMessageW(child(kActiveListId), LB_GETCOUNT, 0, 0) +
                SendMessageW(child(kCompletedListId), LB_GETCOUNT, 0, 0);
  statusMessage_ = projectlist::FilterStatusText(filter_, rows);
  RefreshStatusBar();
}

void MainWindow::RefreshLists() { FillLists(projectlist::MatchAll(document_, filter_)); }

void MainWindow::FillLists(const std::vector<char>& matches) {
  int32_t kept = projectlist::KeptSelection(document_, selectedProjectId_, filter_);
  if (kept != selectedProjectId_) {
    selectedProjectId_ = kept;
    if (calendar_) calendar::SetSelectedProject(calendar_, 0);
  }
  projectlist::Lists lists = projectlist::BuildLists(document_, matches);
  projectlist::FillList(child(kActiveListId), lists.active, document_, selectedProjectId_,
                        projectlist::EmptyListText(projectlist::kActiveList, filter_));
  projectlist::FillList(child(kCompletedListId), lists.completed, document_, selectedProjectId_,
                        projectlist::EmptyListText(projectlist::kCompletedList, filter_));
  // The group headers count the rows.
  InvalidateRect(window_, nullptr, FALSE);
}

void MainWindow::MarkSelected(int32_t id) {
  selectedProjectId_ = id;
  projectlist::SelectRowOf(child(kActiveListId), id);
  projectlist::SelectRowOf(child(kCompletedListId), id);
  if (calendar_) calendar::SetSelectedProject(calendar_, id);
}

void MainWindow::SelectProject(int32_t id, bool reveal) {
  const Project* project = id != 0 ? document_.Find(id) : nullptr;
  if (project == nullptr) {
    ClearSelection();
    return;
  }
  MarkSelected(id);
  if (reveal) RevealOnCalendar(*project);
  statusMessage_ = i18n::FormatText(L"'{0}' 프로젝트를 캘린더에 표시했습니다.", {projectlist::TitleText(*project)});
  RefreshStatusBar();
}

void MainWindow::RevealOnCalendar(const Project& project) {
  if (!calendar_) return;
  auto inView = [this](const Date& d) { return calendar::IsDateInView(calendar_, d); };
  if (projectlist::VisibleOnCalendar(project, inView, calendar::GetSelectedDate(calendar_))) return;
  Date day = projectlist::RevealDate(project);
  // SelectDate moves the period only when the day is outside it (in day view every
  // other day is), and shows the day in the picker.
  if (dates::IsValid(day)) calendar::SelectDate(calendar_, day);
}

void MainWindow::ClearSelection() {
  selectedProjectId_ = 0;
  projectlist::SelectRowOf(child(kActiveListId), 0);
  projectlist::SelectRowOf(child(kCompletedListId), 0);
  if (calendar_) calendar::SetSelectedProject(calendar_, 0);
  SetStatusMessage(L"준비");
  RefreshStatusBar();
}

projectdlg::Services MainWindow::DialogServices(bool withVsCode) {
  projectdlg::Services dialog;
  Services& mine = services_;
  dialog.pickFolder = [&mine](HWND owner, const std::wstring& start, std::wstring& chosen) {
    return mine.chooseFolder(owner, i18n::Translate(L"프로젝트 폴더 선택"), start, chosen);
  };
  dialog.pickExportPath = [&mine](HWND owner, const std::wstring& proposed, std::wstring& chosen) {
    return mine.chooseFile(owner, true, i18n::Translate(L"프로젝트 내보내기"), proposed, chosen);
  };
  dialog.pickFiles = mine.pickFiles;
  dialog.messageBox = mine.showMessage;
  dialog.reveal = mine.revealInShell;
  dialog.documentsFolder = options_.documentsFolder;
  // Export refuses the open project file in any spelling of its path.
  dialog.openFilePath = currentPath_;
  dialog.today = mine.today();
  dialog.onShown = mine.projectDialogShown;
  if (withVsCode) {
    dialog.openInVsCode = [this](HWND owner, HWND button, const Project& project) {
      StartVsCodeLaunch(owner, button, project);
    };
  }
  return dialog;
}

void MainWindow::NewProject(const Date& day) {
  Project project = projectlist::NewProjectTemplate(document_, day, filter_.categoryFilter, services_.today());
  LifeWatch watch = Watch();
  if (projectdlg::Show(window_, project, true, project.startDate, DialogServices(false)) != projectdlg::kSaved) return;
  if (watch.Gone()) return;
  int32_t id = 0;
  std::wstring status = i18n::FormatText(L"'{0}' 프로젝트를 등록했습니다.", {projectlist::TitleText(project)});
  ApplyEdit(
      [&](ProjectDocument& document) {
        id = document.AddProject(std::move(project));
        return true;
      },
      status);
  SelectProject(id, true);
  // Selecting says where the project is shown; the creation is the news.
  statusMessage_ = status;
  RefreshStatusBar();
}

void MainWindow::ManageProject(int32_t id, const Date& day) {
  const Project* found = document_.Find(id);
  if (found == nullptr) return;
  MarkSelected(id);
  Project copy = *found;
  Date date = projectlist::ManageDate(copy, day);
  LifeWatch watch = Watch();
  int result = projectdlg::Show(window_, copy, false, date, DialogServices(true));
  // The end of the session may have destroyed the window while the dialog was open.
  if (watch.Gone()) return;
  // Nothing can remove the project meanwhile (filing waits while the window is
  // disabled), but the document is asked again rather than trusted.
  if (document_.Find(id) == nullptr) return;
  if (result == projectdlg::kSaved) {
    copy.id = id;
    ApplyEdit(
        [&](ProjectDocument& document) {
          document.UpdateProject(copy);
          return true;
        },
        i18n::FormatText(L"'{0}' 프로젝트를 저장했습니다.", {projectlist::TitleText(copy)}));
    if (selectedProjectId_ == id) MarkSelected(id);
  } else if (result == projectdlg::kDeleteRequested) {
    std::wstring title = projectlist::TitleText(copy);
    ApplyEdit([&](ProjectDocument& document) { return document.RemoveProject(id); },
              i18n::FormatText(L"'{0}' 프로젝트를 삭제했습니다.", {title}));
    MarkSelected(0);
  }
}

void MainWindow::SetCompleted(bool completed) {
  const Project* project = document_.Find(selectedProjectId_);
  if (project == nullptr || project->completed == completed) return;
  Project changed = projectlist::WithCompletion(*project, completed, services_.today());
  std::wstring status =
      i18n::FormatText(completed ? L"'{0}' 프로젝트를 완료 처리했습니다." : L"'{0}' 프로젝트를 진행중으로 되돌렸습니다.",
                       {projectlist::TitleText(changed)});
  ApplyEdit(
      [&](ProjectDocument& document) {
        document.UpdateProject(changed);
        return true;
      },
      status);
}

void MainWindow::OpenProjectFolder() {
  const Project* project = document_.Find(selectedProjectId_);
  if (project == nullptr) return;
  const std::wstring caption = i18n::Translate(L"폴더 열기");
  if (project->location.empty()) {
    ShowMessage(i18n::Translate(L"프로젝트 위치가 지정되지 않았습니다.\n프로젝트 관리 창에서 폴더를 선택하세요."), caption,
                MB_ICONINFORMATION);
  } else if (fileio::FolderExists(project->location)) {
    services_.revealInShell(window_, project->location, L"");
  } else {
    ShowMessage(i18n::Translate(L"폴더를 찾을 수 없습니다.\n") + project->location, caption, MB_ICONWARNING);
  }
}

void MainWindow::DeleteProject() {
  const Project* project = document_.Find(selectedProjectId_);
  if (project == nullptr) return;
  const int32_t id = project->id;
  const std::wstring title = projectlist::TitleText(*project);
  LifeWatch watch = Watch();
  int answer = ShowMessage(
      i18n::FormatText(L"'{0}' 프로젝트를 삭제하시겠습니까?\n삭제한 프로젝트는 되돌릴 수 없습니다.", {title}),
      i18n::Translate(L"프로젝트 삭제"), MB_YESNO | MB_ICONWARNING);
  // The question ran a message loop; the project is looked up again by its id.
  if (watch.Gone() || answer != IDYES || document_.Find(id) == nullptr) return;
  ApplyEdit([&](ProjectDocument& document) { return document.RemoveProject(id); },
            i18n::FormatText(L"'{0}' 프로젝트를 삭제했습니다.", {title}));
  MarkSelected(0);
}

bool MainWindow::OnControlNotification(int id, int code, HWND control) {
  switch (id) {
    case kSearchBoxId:
      if (code == EN_CHANGE) ApplyFilter();
      return true;
    case kCategoryBoxId:
      if (code == CBN_SELCHANGE) ApplyFilter();
      return true;
    case kResetButtonId:
      if (code == BN_CLICKED) RunCommand(IDM_RESET_SEARCH);
      return true;
    case kNewProjectButtonId:
      if (code == BN_CLICKED) NewProject(calendar_ ? calendar::GetSelectedDate(calendar_) : Date{});
      return true;
    case kActiveListId:
    case kCompletedListId:
      if (code == LBN_SELCHANGE) {
        SelectProject(projectlist::SelectedRowId(control), true);
      } else if (code == LBN_DBLCLK) {
        if (int32_t row = projectlist::SelectedRowId(control)) ManageProject(row, Date{});
      } else if (code == projectlist::kListEscape) {
        ClearSelection();
      }
      return true;
    default:
      return false;
  }
}

bool MainWindow::OnListContextMenu(HWND list, LPARAM lparam) {
  if (list == nullptr || (list != child(kActiveListId) && list != child(kCompletedListId))) return false;
  const Project* project = document_.Find(selectedProjectId_);
  if (project == nullptr) return true;
  LifeWatch watch = Watch();
  int command = projectlist::ShowProjectMenu(window_, list, lparam, *project, dpi_);
  if (!watch.Gone() && command != 0) RunCommand(command);
  return true;
}

}  // namespace mainwindow
