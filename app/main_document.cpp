// The open document's lifecycle: start-up load, save, open, new file, export, import.
#include <windows.h>
#include <shlobj.h>

#include "app/main_window.h"
#include "app/settings.h"
#include "app/shell_logic.h"
#include "i18n/translate.h"
#include "model/file_io.h"
#include "model/project_file.h"
#include "ui/kit/gdi.h"
#include "views/calendar_view.h"

namespace mainwindow {

std::wstring MainWindow::DefaultPath() const {
  std::wstring base = options_.documentsFolder.empty() ? shell::DocumentsFolder() : options_.documentsFolder;
  return shell::ChooseDefaultPath(base);
}

void MainWindow::LoadStartupDocument() {
  // Every path kept or written back as the last file is absolute, so that a later start
  // from another working folder finds the same file.
  std::wstring candidate = shell::AbsolutePath(options_.initialPath);
  if (candidate.empty()) {
    std::wstring last = settings::ReadLastFile();
    if (!last.empty() && fileio::FileExists(last)) candidate = shell::AbsolutePath(last);
  }
  if (candidate.empty()) candidate = DefaultPath();

  if (!fileio::FileExists(candidate)) {
    currentPath_ = candidate;
    SetStatusMessage(L"새 프로젝트 파일 - 첫 변경 시 저장됩니다.");
    return;
  }
  std::wstring error;
  ProjectDocument loaded;
  if (projectfile::LoadProjectFile(candidate, loaded, error)) {
    document_ = std::move(loaded);
    currentPath_ = candidate;
    settings::WriteSettingString(L"LastFile", candidate);
    SetStatusMessage(L"프로젝트 파일을 불러왔습니다.");
    return;
  }
  // Protection mode: without a path no save can overwrite the file we failed to read.
  currentPath_.clear();
  SetStatusMessage(L"파일을 열지 못했습니다.");
  pendingMessage_ = i18n::Translate(L"프로젝트 파일을 열 수 없습니다.\n") + candidate + L"\n\n" + error +
                    i18n::Translate(
                        L"\n\n기존 파일을 보호하기 위해 빈 문서로 시작합니다.\n'다른 이름으로 저장'으로 새 위치에 저장하세요.");
}

bool MainWindow::ApplyEdit(const std::function<bool(ProjectDocument&)>& change, const std::wstring& status,
                           EditSave save) {
  if (!change || !change(document_)) return false;
  modified_ = save != EditSave::kSavedByChange;
  statusMessage_ = status;
  RefreshAfterDocumentChange();
  if (modified_ && autoSave_ && !currentPath_.empty()) {
    auto life = Watch();
    if (!SaveToPath(currentPath_) && life.Gone()) return true;
  }
  RefreshTitle();
  RefreshStatusBar();
  return true;
}

void MainWindow::RefreshAfterDocumentChange() {
  // One pass of the search serves the calendar and both lists.
  std::vector<char> matches = projectlist::MatchAll(document_, filter_);
  if (calendar_) calendar::RebuildDayIndex(calendar_, matches);
  FillLists(matches);
}

bool MainWindow::SaveToPath(const std::wstring& givenPath) {
  const std::wstring path = shell::AbsolutePath(givenPath);
  std::wstring folder = fileio::FolderPart(path);
  if (!folder.empty() && !fileio::FolderExists(folder)) SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  std::wstring error;
  bool saved = projectfile::SaveProjectFile(path, document_.projects, document_.nextId, error);
  if (saved) {
    currentPath_ = path;
    modified_ = false;
    settings::WriteSettingString(L"LastFile", path);
  }
  RefreshTitle();
  RefreshStatusBar();
  if (!saved) {
    ShowMessage(i18n::Translate(L"프로젝트 파일을 저장하지 못했습니다.\n") + path + L"\n\n" + error,
                i18n::Translate(L"저장 실패"), MB_ICONERROR);
  }
  return saved;
}

bool MainWindow::Save() {
  if (currentPath_.empty()) return SaveAs();
  if (!SaveToPath(currentPath_)) return false;
  statusMessage_ = i18n::Translate(L"저장했습니다: ") + currentPath_;
  RefreshStatusBar();
  return true;
}

bool MainWindow::SaveAs() {
  std::wstring suggested = currentPath_.empty() ? DefaultPath() : currentPath_;
  std::wstring chosen;
  auto life = Watch();
  if (!ChooseFile(true, i18n::Translate(L"다른 이름으로 저장"), suggested, chosen) || life.Gone()) return false;
  if (!SaveToPath(chosen)) return false;
  statusMessage_ = i18n::Translate(L"저장했습니다: ") + currentPath_;
  RefreshStatusBar();
  return true;
}

bool MainWindow::ConfirmDiscard() {
  // With auto-save on, the only unsaved changes can be AI filings whose save the apply
  // step put off during a backlog: they are saved now rather than asked about.
  if (modified_ && autoSave_ && unsavedFilings_.records > 0 && !currentPath_.empty() && SaveToPath(currentPath_)) {
    unsavedFilings_ = {};
  }
  if (!modified_) return true;
  auto life = Watch();
  int answer = ShowMessage(i18n::Translate(L"변경 내용이 저장되지 않았습니다.\n저장하시겠습니까?"), L"Tavrilo",
                           MB_YESNOCANCEL | MB_ICONQUESTION);
  if (life.Gone()) return false;
  if (answer == IDYES) return Save();
  return answer == IDNO;
}

void MainWindow::ReplaceDocument(ProjectDocument document, const std::wstring& path, const wchar_t* status) {
  document_ = std::move(document);
  currentPath_ = path;
  modified_ = false;
  settings::WriteSettingString(L"LastFile", path);
  selectedProjectId_ = 0;
  if (calendar_) calendar::SetSelectedProject(calendar_, 0);
  RefreshAfterDocumentChange();
  SetStatusMessage(status);
  RefreshTitle();
  RefreshStatusBar();
}

void MainWindow::NewProjectFile() {
  auto life = Watch();
  if (!ConfirmDiscard() || life.Gone()) return;
  std::wstring suggested = fileio::FolderPart(DefaultPath()) + i18n::Translate(L"\\새 프로젝트 파일.qlproj");
  std::wstring chosen;
  if (!ChooseFile(true, i18n::Translate(L"새 프로젝트 파일 만들기"), suggested, chosen) || life.Gone()) return;
  ProjectDocument kept = document_;
  document_ = ProjectDocument();
  if (!SaveToPath(chosen)) {
    if (life.Gone()) return;
    // The failed save refreshed the screens while the document was empty.
    document_ = std::move(kept);
    RefreshAfterDocumentChange();
    RefreshTitle();
    RefreshStatusBar();
    return;
  }
  ReplaceDocument(std::move(document_), chosen, L"새 프로젝트 파일을 만들었습니다.");
  RestartSync();
}

void MainWindow::Open() {
  std::wstring suggested = currentPath_.empty() ? DefaultPath() : currentPath_;
  std::wstring chosen;
  auto life = Watch();
  if (ChooseFile(false, i18n::Translate(L"프로젝트 파일 열기"), suggested, chosen) && !life.Gone()) OpenPath(chosen);
}

bool MainWindow::OpenPath(const std::wstring& givenPath) {
  // Resolved before the question: answering it must not change what the path means.
  const std::wstring path = shell::AbsolutePath(givenPath);
  auto life = Watch();
  if (!ConfirmDiscard() || life.Gone()) return false;
  ProjectDocument loaded;
  std::wstring error;
  if (!projectfile::LoadProjectFile(path, loaded, error)) {
    ShowMessage(i18n::Translate(L"프로젝트 파일을 열 수 없습니다.\n") + path + L"\n\n" + error,
                i18n::Translate(L"열기 실패"), MB_ICONERROR);
    return false;
  }
  ReplaceDocument(std::move(loaded), path, L"프로젝트 파일을 열었습니다.");
  RestartSync();
  return true;
}

void MainWindow::ExportProject() {
  const Project* project = document_.Find(selectedProjectId_);
  if (project == nullptr) {
    ShowMessage(i18n::Translate(L"내보낼 프로젝트를 왼쪽 목록에서 먼저 선택하세요."), i18n::Translate(L"프로젝트 내보내기"),
                MB_ICONINFORMATION);
    return;
  }
  // A copy: the document is not ours to rely on across the dialog's message loop.
  Project copy = *project;
  std::wstring folder = fileio::FolderPart(currentPath_.empty() ? DefaultPath() : currentPath_);
  std::wstring suggested = folder + L"\\" + shell::SafeFileName(copy.title) + L".qlproj";
  std::wstring chosen;
  auto life = Watch();
  if (!ChooseFile(true, i18n::Translate(L"프로젝트 내보내기"), suggested, chosen) || life.Gone()) return;
  // By identity, not by text: a relative, forward-slash or short form of the open file
  // would otherwise be overwritten with this one project while the document counts as
  // saved.
  if (!currentPath_.empty() && fileio::IsSameFile(chosen, currentPath_)) {
    ShowMessage(i18n::Translate(L"현재 열려 있는 프로젝트 파일에는 내보낼 수 없습니다.\n다른 파일 이름을 지정하세요."),
                i18n::Translate(L"프로젝트 내보내기"), MB_ICONWARNING);
    return;
  }
  std::wstring error;
  const int32_t nextId = copy.id < INT32_MAX ? copy.id + 1 : INT32_MAX;
  if (projectfile::SaveProjectFile(chosen, {copy}, nextId, error)) {
    statusMessage_ = i18n::Translate(L"프로젝트를 내보냈습니다: ") + chosen;
    RefreshStatusBar();
  } else {
    ShowMessage(i18n::Translate(L"파일을 저장하지 못했습니다.\n") + chosen + L"\n\n" + error,
                i18n::Translate(L"내보내기 실패"), MB_ICONERROR);
  }
}

void MainWindow::ImportProjects() {
  std::wstring suggested = currentPath_.empty() ? DefaultPath() : currentPath_;
  std::wstring chosen;
  auto life = Watch();
  if (!ChooseFile(false, i18n::Translate(L"프로젝트 가져오기"), suggested, chosen) || life.Gone()) return;
  std::vector<Project> projects;
  std::wstring error;
  if (!projectfile::ReadProjects(chosen, projects, error)) {
    ShowMessage(i18n::Translate(L"파일을 읽을 수 없습니다.\n") + chosen + L"\n\n" + error,
                i18n::Translate(L"가져오기 실패"), MB_ICONERROR);
    return;
  }
  if (projects.empty()) {
    ShowMessage(i18n::Translate(L"가져올 프로젝트가 없습니다."), i18n::Translate(L"프로젝트 가져오기"),
                MB_ICONINFORMATION);
    return;
  }
  int32_t last = 0;
  std::wstring text = i18n::FormatText(L"프로젝트 {0}개를 가져왔습니다.", {std::to_wstring(projects.size())});
  ApplyEdit(
      [&](ProjectDocument& document) {
        for (auto& project : projects) last = document.AddProject(std::move(project));
        return true;
      },
      text);
  if (life.Gone()) return;
  SelectProject(last);
  statusMessage_ = text;
  RefreshStatusBar();
  ShowMessage(text, i18n::Translate(L"프로젝트 가져오기"), MB_ICONINFORMATION);
}

}  // namespace mainwindow
