// AI history sync as the main window drives it: the worker's start and restart, filing
// on the timer, the status texts and the Integration menu's commands.
#include <windows.h>
#include <shellapi.h>

#include "aisync/log_scanner.h"
#include "aisync/record_store.h"
#include "aisync/sync_apply.h"
#include "app/main_window.h"
#include "i18n/translate.h"
#include "model/file_io.h"
#include "model/project_file.h"
#include "views/calendar_view.h"

namespace mainwindow {

void MainWindow::SetSyncScanFactory(aisync::SyncWorker::ScanFactory factory) {
  scanFactory_ = std::move(factory);
  RestartSync();
}

void MainWindow::SetSyncTickBudget(std::chrono::milliseconds budget) { syncTickBudget_ = budget; }

void MainWindow::RestartSync() {
  syncWorker_.Stop();
  pendingRecords_.clear();
  // Filings of this document that a busy tick left unsaved are saved before sync stops
  // (after a new or opened document the mark is clear and they went with the old one).
  if (unsavedFilings_.records > 0 && modified_ && !currentPath_.empty()) {
    std::wstring error;
    if (aisync::SaveUnsavedFilings(document_, SaveToCurrentPath(), unsavedFilings_, error)) modified_ = false;
  }
  unsavedFilings_ = aisync::UnsavedFilings();
  importedKeys_.Rebuild(document_);
  if (aiSyncEnabled_) {
    syncStatusText_ = i18n::Translate(L"Chat, Codex, Claude Code의 대화 기록을 확인하고 있습니다.");
    aisync::SyncWorker::ScanFactory factory = scanFactory_;
    if (!factory) {
      // The scanner lives on the worker's thread; it gets its own copies of what it needs.
      aisync::LogFolders folders = aisync::LogFoldersFromEnvironment();
      Date since = sinceDate_;
      aisync::SyncWorker* worker = &syncWorker_;
      factory = [folders, since, worker] {
        aisync::LogFolders withPortable = folders;
        aisync::AddPortableVsCodeFolders(withPortable);
        auto scanner = std::make_shared<aisync::LogScanner>(withPortable, since);
        scanner->SetKnownKeys([worker](const std::wstring& key) { return worker->Known(key); });
        return [scanner](std::vector<aisync::AiRecord>& out, std::wstring& status) { scanner->ScanPass(out, status); };
      };
    }
    syncWorker_.Start(std::move(factory), std::chrono::seconds(3), importedKeys_.Snapshot());
  } else {
    syncStatusText_ = i18n::Translate(L"VS Code AI 자동 기록 꺼짐");
  }
  RefreshStatusBar();
}

namespace {

// Holds a flag up for a scope, so that no path (an exception included) leaves it set.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void MainWindow::ApplyPendingRecords() {
  if (!aiSyncEnabled_ || applying_ || !IsWindowEnabled(window_) || exitInProgress_) return;
  if (currentPath_.empty()) {
    syncStatusText_ = i18n::Translate(L"프로젝트 파일을 저장하면 연동이 시작됩니다.");
    return;
  }
  FlagScope applying(applying_);
  // A project deleted or imported since the last tick changes which keys are filed.
  if (!importedKeys_.InStepWith(document_)) {
    importedKeys_.Rebuild(document_);
    syncWorker_.ReplaceKnownKeys(importedKeys_.Snapshot());
  }
  std::vector<aisync::AiRecord> arrived;
  std::wstring workerStatus;
  syncWorker_.Take(arrived, workerStatus, pendingRecords_.size());
  for (auto& record : arrived) pendingRecords_.push_back(std::move(record));

  // Filings are saved by the apply step itself, once a tick and put off while a backlog
  // lasts, whatever the auto-save setting says.
  aisync::ApplyResult result;
  std::wstring status;
  auto file = [&](ProjectDocument& document) {
    aisync::ApplyOptions options;
    options.keys = &importedKeys_;
    options.timeUsedUp = aisync::TimeBudget(syncTickBudget_);
    options.unsaved = &unsavedFilings_;
    result = aisync::ApplyPending(pendingRecords_, document, aisync::FileAiRecord, SaveToCurrentPath(), options);
    if (result.filed == 0) return false;
    savedCounter_ += result.filed;
    status = i18n::FormatText(L"VS Code AI 대화 기록 {0}건을 자동 저장했습니다.", {std::to_wstring(result.filed)});
    return true;
  };
  ApplyEdit(file, status, EditSave::kSavedByChange);
  syncWorker_.Settle(pendingRecords_.size(), result.filedKeys);
  // Filings whose save is put off leave the document changed until the tick that saves.
  if (result.filed > 0 && !result.saved) {
    modified_ = true;
    RefreshTitle();
  } else if (result.filed == 0 && result.saved) {
    modified_ = false;
    RefreshTitle();
  }
  if (!result.lastError.empty()) {
    syncStatusText_ = i18n::Translate(L"저장 재시도 중: ") + result.lastError;
    SetStatusMessage(L"AI 기록 저장을 재시도합니다. 연동 메뉴에서 상태를 확인할 수 있습니다.");
  } else if (!workerStatus.empty()) {
    syncStatusText_ = workerStatus;
  } else {
    syncStatusText_ = i18n::FormatText(L"자동 기록 중 · 저장 {0}건 · 대기 {1}건",
                                       {std::to_wstring(savedCounter_), std::to_wstring(pendingRecords_.size())});
  }
  RefreshStatusBar();
}

aisync::SaveDocumentFn MainWindow::SaveToCurrentPath() const {
  return [path = currentPath_](const ProjectDocument& document, std::wstring& error) {
    return projectfile::SaveProjectFile(path, document.projects, document.nextId, error);
  };
}

void MainWindow::ShowSyncStatus() {
  aisync::LogFolders folders = aisync::LogFoldersFromEnvironment();
  std::wstring text = syncStatusText_;
  text += i18n::Translate(L"\n\n기록 시작일: ") + dates::NumericDateText(sinceDate_);
  text += i18n::Translate(L"\nChat 폴더: ") + folders.vscodeUser;
  text += i18n::Translate(L"\nCodex 폴더: ") + folders.codexHome;
  text += i18n::Translate(L"\nClaude Code 폴더: ") + folders.claude;
  text += i18n::Translate(L"\nCopilot 폴더: ") + folders.copilot;
  text += i18n::Translate(L"\n저장 파일: ") + currentPath_;
  text += i18n::Translate(
      L"\n\nAI 이름과 모델을 프롬프트, 자연어 진행·답변과 함께 기록합니다.\n코드 블록·인라인 코드·도구 실행 로그는 답변 "
      L"기록에서 제외합니다.\n작업 폴더 경로로 프로젝트를 찾아 전송한 날의 날짜에 추가합니다.\n프로젝트 편집창이 열려 "
      L"있으면 닫은 뒤 반영합니다.\n첨부파일과 원문: 프로젝트 폴더\\Quenlor\\날짜\\기록별 폴더\nTavrilo가 종료된 동안의 "
      L"기록은 다음 실행 때 가져옵니다.");
  ShowMessage(text, i18n::Translate(L"VS Code AI 연동 상태"), MB_ICONINFORMATION);
}

void MainWindow::OpenRecordFolder() {
  const Project* project = document_.Find(selectedProjectId_);
  if (project == nullptr) return;
  std::wstring root = aisync::RecordRoot(*project);
  std::wstring day;
  if (calendar_ && !root.empty()) day = root + L"\\" + dates::ToStorageText(calendar::GetSelectedDate(calendar_));
  const std::wstring* folder = nullptr;
  if (!day.empty() && fileio::FolderExists(day)) {
    folder = &day;
  } else if (!root.empty() && fileio::FolderExists(root)) {
    folder = &root;
  }
  if (folder != nullptr) {
    ShellExecuteW(window_, L"open", folder->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return;
  }
  ShowMessage(i18n::Translate(L"아직 자동 기록된 파일이 없습니다."), i18n::Translate(L"AI 기록 폴더"), MB_ICONINFORMATION);
}

}  // namespace mainwindow
