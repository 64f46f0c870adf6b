// The main window: owner of the open document, host of the project lists and the
// calendar, receiver of every command.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "aisync/ai_record.h"
#include "aisync/imported_keys.h"
#include "aisync/sync_apply.h"
#include "aisync/sync_worker.h"
#include "app/main_layout.h"
#include "app/project_list.h"
#include "app/services.h"
#include "model/date.h"
#include "model/project.h"
#include "ui/kit/base_window.h"
#include "ui/kit/fonts.h"
#include "ui/kit/menus.h"
#include "ui/kit/modeless.h"
#include "views/calendar_view.h"
#include "views/project_dialog.h"
#include "vscode/launch_tracker.h"

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
constexpr UINT kTimerInterval = 1000;  // ms; files AI records, then polls VS Code launches
constexpr int kSearchTextLimit = 500;

struct StartupOptions {
  std::wstring initialPath;
  int showCommand = SW_SHOWNORMAL;
  bool startHidden = false;
  // Where the default project file lives; empty means the user's Documents folder.
  std::wstring documentsFolder;
};

class MainWindow;

bool RegisterMainWindowClass(HINSTANCE instance);
// Creates the (hidden) main window; the caller places and shows it. Empty slots of the
// services get the real implementations.
HWND CreateMainWindow(HINSTANCE instance, const StartupOptions& options, Services services = {});
// The window object of a main window, or null.
MainWindow* FromWindow(HWND window);

class MainWindow : public kit::BaseWindow<MainWindow> {
 public:
  MainWindow(HINSTANCE instance, StartupOptions options, Services services);
  ~MainWindow();

  // Keyboard handling before dispatch, for the message loop: the modeless windows'
  // dialog routing, then the main window's own keys.
  bool PreTranslate(MSG& msg);

  // The only way to change the open document. `change` edits it and returns false when
  // it changed nothing, in which case nothing else happens and ApplyEdit returns false.
  // Otherwise the lists, the calendar, the title and the status bar are refreshed with
  // `status` as the status message (read after `change` ran, so the change may fill
  // it), the document is marked changed and saved when auto-save is on (a failed save
  // is reported to the user and leaves it marked). A change that wrote the file itself
  // says so with kSavedByChange: the document is then unmarked and not saved again.
  enum class EditSave { kAsSettingsSay, kSavedByChange };
  bool ApplyEdit(const std::function<bool(ProjectDocument&)>& change, const std::wstring& status,
                 EditSave save = EditSave::kAsSettingsSay);

  // What tests and the other parts of the shell look at.
  const ProjectDocument& document() const { return document_; }
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
  const kit::FontSet& fonts() const { return fonts_.get(); }
  std::wstring StatusPartText(int part) const;

  void RunCommand(int id);
  // Selects a project in its list and on the calendar, and with reveal brings it into
  // the calendar's view; an id without a project clears the selection.
  void SelectProject(int32_t id, bool reveal = true);
  void ClearSelection();
  // The project commands: the dialog for a new project on a day (today when invalid),
  // the dialog for a project opened on a date (its latest entry's when invalid).
  void NewProject(const Date& day);
  void ManageProject(int32_t id, const Date& day);
  const projectlist::Filter& filter() const { return filter_; }

  // VS Code launches: one for the project, reported from the timer by the owner (the
  // main window or a project dialog) once that owner is enabled.
  void StartVsCodeLaunch(HWND owner, HWND button, const Project& project);
  size_t pendingLaunchCount() const { return launches_ ? launches_->pending() : 0; }
  // The timer's work: the sync apply step, then the launches.
  void OnTimer();

  // Document lifecycle steps that ask the user.
  bool SaveAs();
  bool ConfirmDiscard();
  bool OpenPath(const std::wstring& path);

  // AI history sync.
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

 private:
  friend class kit::BaseWindow<MainWindow>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

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
  LRESULT OnQueryEndSession();
  LRESULT OnControlColor(HDC dc);
  bool OnMeasureItem(MEASUREITEMSTRUCT& item);
  bool OnDrawItem(const DRAWITEMSTRUCT& item);

  void LoadStartupDocument();
  void CreateChildren();
  void ApplyChildFonts();
  void SetChildTexts();
  void RebuildMenuBar();
  void RebuildFonts();
  void PaintGroupHeader(HDC dc, const RECT& row, const wchar_t* title, int count, int limit, COLORREF badgeFill,
                        COLORREF countColor);
  void PaintSplitterGrip(HDC dc);
  void ShowTrayMenu(POINT point);
  bool FocusRing(bool backwards);
  void ReplaceDocument(ProjectDocument document, const std::wstring& path, const wchar_t* status);
  void RefreshLists();
  // Refills both lists from the filter's verdict over the document.
  void FillLists(const std::vector<char>& matches);
  void RefreshAfterDocumentChange();
  void SetStatusMessage(const wchar_t* korean);
  void RefreshTitle();
  void RefreshStatusBar();
  void LayOut();
  void ChangeLanguage(int language);

  // Commands with more than one step.
  void ToggleAutoSave();
  void ToggleAutostart();
  void FocusSearch();
  void ResetSearch();

  // The project list panel and the project commands (main_projects.cpp).
  void ApplyFilter();
  void MarkSelected(int32_t id);
  void RevealOnCalendar(const Project& project);
  void SetCompleted(bool completed);
  void OpenProjectFolder();
  void DeleteProject();
  bool OnControlNotification(int id, int code, HWND control);
  bool OnListContextMenu(HWND list, LPARAM lparam);
  projectdlg::Services DialogServices(bool withVsCode);

  // The calendar's notifications and its day menu (main_calendar.cpp).
  void OnCalendarNotification(const calendar::CalendarNotification& notification);
  void ShowCalendarDayMenu(const calendar::CalendarNotification& notification);

  // VS Code (main_vscode.cpp).
  void OpenSelectedInVsCode();
  void PollLaunches();
  void ShowView(int mode);
  void ToggleStatusBar();
  void ToggleSync();

  // Document lifecycle.
  bool SaveToPath(const std::wstring& path);
  bool Save();
  void NewProjectFile();
  void Open();
  void ExportProject();
  void ImportProjects();
  std::wstring DefaultPath() const;

  // Notification area, showing and exit.
  NOTIFYICONDATAW TrayIconData() const;
  bool AddTrayIcon();
  void OnTaskbarCreated();
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

  // Help.
  void ShowAbout();
  void ShowReleaseNotes();
  // Asks for the release notes once the message queue is idle; whether they are due
  // is decided when the request arrives (shell::ReleaseNotesDue).
  void OfferReleaseNotes();
  void OnReleaseNotesRequest();
  void CloseReleaseNotes();
  aisync::SaveDocumentFn SaveToCurrentPath() const;

  // Tells, after a nested message loop (a message box, a file dialog, a menu), whether
  // this object still exists: the end of a Windows session destroys the window, and
  // with it this state, even while a question is open. Take it before the loop, look
  // at it before touching any member afterwards.
  class LifeWatch {
   public:
    explicit LifeWatch(const std::shared_ptr<int>& life) : life_(life) {}
    bool Gone() const { return life_.expired(); }

   private:
    std::weak_ptr<int> life_;
  };
  LifeWatch Watch() const { return LifeWatch(life_); }

  int ShowMessage(const std::wstring& text, const std::wstring& caption, UINT flags);
  bool ChooseFile(bool save, const std::wstring& title, const std::wstring& suggested, std::wstring& chosen);

  HINSTANCE instance_;
  StartupOptions options_;
  Services services_;
  kit::OwnedFontSet fonts_;
  kit::OwnerDrawnMenu menuBar_;
  kit::ModelessWindows modeless_;
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
  projectlist::Filter filter_;
  int panelWidth_ = settings::kDefaultPanelWidth;
  int listSplit_ = settings::kDefaultListSplit;
  HWND calendar_ = nullptr;
  HWND lastFocus_ = nullptr;
  int32_t selectedProjectId_ = 0;
  Layout layout_;
  Splitter dragging_ = Splitter::kNone;
  int dragOffset_ = 0;
  Splitter hoverSplitter_ = Splitter::kNone;
  aisync::SyncWorker syncWorker_;
  aisync::SyncWorker::ScanFactory scanFactory_;
  std::deque<aisync::AiRecord> pendingRecords_;
  aisync::ImportedKeys importedKeys_;
  aisync::UnsavedFilings unsavedFilings_;
  std::chrono::milliseconds syncTickBudget_ = aisync::kTickBudget;
  int savedCounter_ = 0;
  std::wstring syncStatusText_;
  bool applying_ = false;
  std::unique_ptr<vscode::LaunchTracker> launches_;
  // Expires with this object; see LifeWatch.
  std::shared_ptr<int> life_ = std::make_shared<int>(0);
};

}  // namespace mainwindow
