// The main window: owner of the open document, host of the project lists and the
// calendar, receiver of every command.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "aisync/ai_record.h"
#include "aisync/imported_keys.h"
#include "aisync/sync_apply.h"
#include "aisync/sync_worker.h"
#include "app/main_layout.h"
#include "model/date.h"
#include "model/project.h"
#include "ui/kit/fonts.h"

namespace mainwindow {

constexpr const wchar_t* kMainWindowClass = L"QuenlorMainWindow.Tray";

enum ChildId : int {
  kCalendarId = 1001,
  kActiveListId = 1002,
  kCompletedListId = 1003,
  kStatusBarId = 1004,
  kNewProjectButtonId = 1005,
  kSearchBoxId = 1007,
  kResetButtonId = 1008,
  kCategoryBoxId = 1009,
};

enum PrivateMessage : UINT {
  kStartupFinished = WM_APP + 10,
  kTrayCallback = WM_APP + 11,
  kActivateRequest = WM_APP + 12,
  kShowReleaseNotes = WM_APP + 13,
};

constexpr UINT_PTR kTimerId = 3001;

struct StartupOptions {
  std::wstring initialPath;
  int showCommand = SW_SHOWNORMAL;
  bool startHidden = false;
  // Where the default project file lives; empty means the user's Documents folder.
  std::wstring documentsFolder;
};

// Seams for tests and for places where the system would block: every file dialog and
// every message box of the shell goes through these.
using FileDialogFn = std::function<bool(HWND owner, bool save, const std::wstring& title,
                                        const std::wstring& suggestedPath, std::wstring& chosen)>;
using MessageBoxFn = std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)>;
void SetFileDialogHandler(FileDialogFn handler);  // null restores the real dialog
void SetMessageBoxHandler(MessageBoxFn handler);  // null restores widgets::MsgBox

class MainWindow;

bool RegisterMainWindowClass(HINSTANCE instance);
// Creates the (hidden) main window; the caller places and shows it.
HWND CreateMainWindow(HINSTANCE instance, const StartupOptions& options);
// The window object of a main window, or null.
MainWindow* FromWindow(HWND window);

class MainWindow {
 public:
  MainWindow(HINSTANCE instance, StartupOptions options);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  // Keyboard handling before dispatch, for the message loop.
  bool PreTranslate(MSG& msg);
  HWND window() const { return window_; }

  // What tests and the other parts of the shell look at and drive.
  const ProjectDocument& document() const { return document_; }
  ProjectDocument& document() { return document_; }
  const std::wstring& currentPath() const { return currentPath_; }
  bool modified() const { return modified_; }
  bool autoSave() const { return autoSave_; }
  const std::wstring& statusMessage() const { return statusMessage_; }
  const std::wstring& pendingMessage() const { return pendingMessage_; }
  bool trayIconAdded() const { return trayIconAdded_; }
  bool exitInProgress() const { return exitInProgress_; }
  HWND releaseNotesWindow() const { return releaseNotesWindow_; }
  bool releaseNotesPending() const { return releaseNotesPending_; }
  int32_t selectedProjectId() const { return selectedProjectId_; }
  HWND child(int id) const { return GetDlgItem(window_, id); }
  HWND calendar() const { return calendar_; }
  const Layout& layout() const { return layout_; }
  const kit::FontSet& fonts() const { return fonts_; }
  std::wstring StatusPartText(int part) const;

  void RunCommand(int id);
  // Selects a project in the lists and on the calendar (0 clears the selection).
  void SelectProject(int32_t id);
  void SetStatusMessage(const wchar_t* korean);
  void DocumentChanged(const std::wstring& status);

  // Document lifecycle.
  bool SaveToPath(const std::wstring& path);
  bool Save();
  bool SaveAs();
  bool ConfirmDiscard();
  void NewProjectFile();
  void Open();
  bool OpenPath(const std::wstring& path);
  void ExportProject();
  void ImportProjects();
  std::wstring DefaultPath() const;

  // Notification area and exit.
  bool AddTrayIcon();
  void DeleteTrayIcon();
  void ShowMainWindow();
  void CloseToTray();
  void Exit();
  void SaveSettings();

  // AI history sync.
  void RestartSync();
  void ApplyPendingRecords();
  void ShowSyncStatus();
  void OpenRecordFolder();
  const std::wstring& syncStatusText() const { return syncStatusText_; }
  bool aiSyncEnabled() const { return aiSyncEnabled_; }
  size_t pendingRecordCount() const { return pendingRecords_.size(); }
  // Records the worker found that the timer has not taken yet.
  size_t syncRecordsWaiting() { return syncWorker_.waiting(); }
  // Replaces how the worker scans (tests feed it records without log files).
  void SetSyncScanFactory(aisync::SyncWorker::ScanFactory factory);
  // The time one tick may spend filing (tests force it used up, or lift it).
  void SetSyncTickBudget(std::chrono::milliseconds budget);
  size_t syncKnownKeys() const { return importedKeys_.size(); }

  // Help.
  void ShowAbout();
  void ShowReleaseNotes();

  void ChangeLanguage(int language);
  void RefreshTitle();
  void RefreshStatusBar();
  void LayOut();

 private:
  friend LRESULT HandleMessage(MainWindow& self, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);

  bool OnCreate();
  void OnDestroy();
  void OnPaint();
  void OnSize(WPARAM type);
  void OnActivate(WPARAM wparam);
  LRESULT OnSetCursor(WPARAM wparam, LPARAM lparam);
  void OnLeftButtonDown(POINT point);
  void OnMouseMove(POINT point);
  void OnCaptureChanged();
  LRESULT OnCopyData(const COPYDATASTRUCT* data);
  LRESULT OnNotify(const NMHDR* header);
  void OnCommand(WPARAM wparam, LPARAM lparam);
  void OnInitMenuPopup(HMENU menu);
  void OnDpiChanged(int dpi, const RECT* suggested);
  void OnTrayCallback(WPARAM wparam, LPARAM lparam);
  void OnStartupFinished();
  void OnTimer();
  LRESULT OnQueryEndSession();

  void LoadStartupDocument();
  void CreateChildren();
  void ApplyChildFonts();
  void SetChildTexts();
  void RebuildMenuBar();
  void PaintGroupHeader(HDC dc, const RECT& row, const wchar_t* title, int count, int limit, COLORREF badgeFill,
                        COLORREF countColor);
  void ShowTrayMenu(POINT point);
  bool FocusRing(bool backwards);
  void ReplaceDocument(ProjectDocument document, const std::wstring& path, const wchar_t* status);
  void RefreshLists();
  aisync::SaveDocumentFn SaveToCurrentPath() const;

  int ShowMessage(const std::wstring& text, const std::wstring& caption, UINT flags);
  bool ChooseFile(bool save, const std::wstring& title, const std::wstring& suggested, std::wstring& chosen);

  HWND window_ = nullptr;
  HINSTANCE instance_;
  StartupOptions options_;
  kit::FontSet fonts_;
  int dpi_ = 96;
  ProjectDocument document_;
  std::wstring currentPath_;
  std::wstring statusMessage_;
  std::wstring pendingMessage_;
  HWND releaseNotesWindow_ = nullptr;
  bool releaseNotesPending_ = true;
  bool modified_ = false;
  bool autoSave_ = true;
  bool statusBarVisible_ = true;
  bool trayIconAdded_ = false;
  bool exitInProgress_ = false;
  bool aiSyncEnabled_ = true;
  Date sinceDate_;
  UINT taskbarCreatedMessage_ = 0;
  std::wstring searchText_;
  int categoryFilter_ = -1;
  int panelWidth_ = 300;
  int listSplit_ = 620;
  HMENU menuBar_ = nullptr;
  HWND calendar_ = nullptr;
  HWND lastFocus_ = nullptr;
  int32_t selectedProjectId_ = 0;
  Layout layout_;
  int dragKind_ = 0;
  int dragOffset_ = 0;
  int hoverSplitter_ = 0;
  aisync::SyncWorker syncWorker_;
  aisync::SyncWorker::ScanFactory scanFactory_;
  std::deque<aisync::AiRecord> pendingRecords_;
  aisync::ImportedKeys importedKeys_;
  aisync::UnsavedFilings unsavedFilings_;
  std::chrono::milliseconds syncTickBudget_ = aisync::kTickBudget;
  int savedCounter_ = 0;
  std::wstring syncStatusText_;
  bool applying_ = false;
};

}  // namespace mainwindow
