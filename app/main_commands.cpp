// The menu bar and its states, command dispatch, the keyboard
// focus ring and the language switch.
#include <windows.h>
#include <commctrl.h>

#include "app/autostart.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "i18n/language.h"
#include "i18n/translate.h"
#include "resources/command_ids.h"
#include "ui/kit/buttons.h"
#include "ui/kit/gdi.h"
#include "ui/kit/menus.h"
#include "views/calendar_view.h"

namespace mainwindow {

namespace {

struct MenuItem {
  int id;  // 0 is a separator
  const wchar_t* text;
  bool radio = false;
};

void MarkRadio(HMENU menu, int id) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE;
  info.fType = MFT_STRING | MFT_RADIOCHECK;
  SetMenuItemInfoW(menu, id, FALSE, &info);
}

// The parent owns the popup once it is appended.
void AppendPopup(HMENU parent, kit::UniqueMenu popup, const wchar_t* title) {
  if (AppendMenuW(parent, MF_POPUP, reinterpret_cast<UINT_PTR>(popup.get()), title)) popup.release();
}

kit::UniqueMenu BuildPopup(std::initializer_list<MenuItem> items) {
  kit::UniqueMenu popup(CreatePopupMenu());
  for (const auto& item : items) {
    if (item.id == 0) {
      AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
      continue;
    }
    AppendMenuW(popup.get(), MF_STRING, item.id, i18n::Translate(item.text));
    if (item.radio) MarkRadio(popup.get(), item.id);
  }
  return popup;
}

kit::UniqueMenu BuildMenuBar() {
  kit::UniqueMenu owner(CreateMenu());
  HMENU bar = owner.get();
  auto add = [bar](kit::UniqueMenu popup, const wchar_t* title) {
    AppendPopup(bar, std::move(popup), i18n::Translate(title));
  };
  add(BuildPopup({{IDM_FILE_NEW, L"새 프로젝트 파일(&N)...\tCtrl+Shift+N"},
                  {IDM_FILE_OPEN, L"열기(&O)...\tCtrl+O"},
                  {0, nullptr},
                  {IDM_FILE_SAVE, L"저장(&S)\tCtrl+S"},
                  {IDM_FILE_SAVE_AS, L"다른 이름으로 저장(&A)...\tCtrl+Shift+S"},
                  {0, nullptr},
                  {IDM_IMPORT_PROJECTS, L"프로젝트 가져오기(&I)..."},
                  {IDM_EXPORT_PROJECT, L"프로젝트 내보내기(&E)..."},
                  {0, nullptr},
                  {IDM_AUTOSAVE, L"자동 저장(&U)"},
                  {IDM_AUTOSTART, L"Windows 시작 시 자동 실행(&W)"},
                  {0, nullptr},
                  {IDM_EXIT, L"종료(&X)"}}),
      L"파일(&F)");
  add(BuildPopup({{IDM_PROJECT_NEW, L"새 프로젝트 등록(&N)...\tCtrl+N"},
                  {IDM_PROJECT_MANAGE, L"프로젝트 관리(&M)...\tEnter"},
                  {IDM_PROJECT_VSCODE, L"VS Code 열기(&V)"},
                  {0, nullptr},
                  {IDM_PROJECT_COMPLETE, L"완료 처리(&C)"},
                  {IDM_PROJECT_REOPEN, L"진행중으로 되돌리기(&R)"},
                  {0, nullptr},
                  {IDM_PROJECT_FOLDER, L"프로젝트 폴더 열기(&F)"},
                  {0, nullptr},
                  {IDM_PROJECT_DELETE, L"삭제(&D)\tDel"}}),
      L"프로젝트(&P)");
  add(BuildPopup({{IDM_VIEW_DAY, L"일간(&D)\tCtrl+1", true},
                  {IDM_VIEW_WEEK, L"주간(&W)\tCtrl+2", true},
                  {IDM_VIEW_MONTH, L"월간(&M)\tCtrl+3", true},
                  {IDM_VIEW_YEAR, L"년간(&Y)\tCtrl+4", true},
                  {0, nullptr},
                  {IDM_VIEW_TODAY, L"오늘(&T)\tCtrl+T"},
                  {IDM_VIEW_PREVIOUS, L"이전(&P)\tCtrl+←"},
                  {IDM_VIEW_NEXT, L"다음(&X)\tCtrl+→"},
                  {IDM_VIEW_GOTO_DATE, L"날짜 조회(&G)...\tCtrl+G"},
                  {0, nullptr},
                  {IDM_VIEW_STATUS_BAR, L"상태 표시줄(&S)"}}),
      L"보기(&V)");
  add(BuildPopup({{IDM_FIND, L"제목 및 태그 검색(&F)\tCtrl+F"}, {IDM_RESET_SEARCH, L"검색 및 구분 초기화(&C)"}}),
      L"검색(&S)");
  add(BuildPopup({{IDM_SYNC_TOGGLE, L"VS Code AI 자동 기록"},
                  {IDM_SYNC_NOW, L"지금 동기화"},
                  {IDM_SYNC_STATUS, L"연동 상태..."},
                  {0, nullptr},
                  {IDM_SYNC_FOLDER, L"선택 프로젝트의 기록/첨부 폴더 열기"}}),
      L"연동(&L)");

  kit::UniqueMenu languages(CreatePopupMenu());
  for (int i = 0; i < i18n::kLanguageCount; ++i) {
    // Native names are shown as they are; only "System language" is translated.
    const wchar_t* label = i == 0 ? i18n::Translate(i18n::kLanguageNativeNames[0]) : i18n::kLanguageNativeNames[i];
    AppendMenuW(languages.get(), MF_STRING, IDM_LANGUAGE_FIRST + i, label);
    MarkRadio(languages.get(), IDM_LANGUAGE_FIRST + i);
  }
  kit::UniqueMenu settingsMenu(CreatePopupMenu());
  AppendPopup(settingsMenu.get(), std::move(languages), i18n::Translate(L"언어(&L)"));
  add(std::move(settingsMenu), L"설정(&T)");
  add(BuildPopup({{IDM_RELEASE_NOTES, L"업데이트 내역(&U)..."}, {IDM_ABOUT, L"Tavrilo 정보(&A)..."}}), L"도움말(&H)");
  return owner;
}

void Enable(HMENU menu, int id, bool on) { EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); }
void Check(HMENU menu, int id, bool on) { CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); }

}  // namespace

void MainWindow::RebuildMenuBar() {
  kit::OwnerDrawnMenu bar = kit::MakeOwnerDrawn(BuildMenuBar(), true);
  // Each language's own name, in a face that has its script.
  for (int id = IDM_LANGUAGE_FIRST + 1; id <= IDM_LANGUAGE_LAST; ++id) {
    kit::SetMenuItemLanguage(bar.get(), id, id - IDM_LANGUAGE_FIRST);
  }
  SetMenu(window_, bar.get());
  // The old bar goes only once the window no longer shows it.
  menuBar_ = std::move(bar);
  DrawMenuBar(window_);
}

void MainWindow::OnInitMenuPopup(HMENU menu) {
  const Project* selected = document_.Find(selectedProjectId_);
  for (int id : {IDM_PROJECT_MANAGE, IDM_PROJECT_VSCODE, IDM_PROJECT_DELETE, IDM_EXPORT_PROJECT}) {
    Enable(menu, id, selected != nullptr);
  }
  Enable(menu, IDM_PROJECT_COMPLETE, selected && !selected->completed);
  Enable(menu, IDM_PROJECT_REOPEN, selected && selected->completed);
  Enable(menu, IDM_PROJECT_FOLDER, selected && !selected->location.empty());
  Enable(menu, IDM_SYNC_FOLDER, selected && !selected->location.empty());
  Check(menu, IDM_AUTOSAVE, autoSave_);
  Check(menu, IDM_SYNC_TOGGLE, aiSyncEnabled_);
  Enable(menu, IDM_SYNC_NOW, aiSyncEnabled_);
  Check(menu, IDM_AUTOSTART, autostart::IsPresent());
  Check(menu, IDM_VIEW_STATUS_BAR, statusBarVisible_);
  if (calendar_) {
    int mode = calendar::GetViewMode(calendar_);
    CheckMenuRadioItem(menu, IDM_VIEW_DAY, IDM_VIEW_YEAR, IDM_VIEW_DAY + mode, MF_BYCOMMAND);
  }
  CheckMenuRadioItem(menu, IDM_LANGUAGE_FIRST, IDM_LANGUAGE_LAST, IDM_LANGUAGE_FIRST + i18n::ConfiguredLanguage(),
                     MF_BYCOMMAND);
}

void MainWindow::OnCommand(WPARAM wparam, LPARAM lparam) {
  int id = LOWORD(wparam);
  int code = HIWORD(wparam);
  if (lparam == 0) {
    RunCommand(id);
    return;
  }
  OnControlNotification(id, code, reinterpret_cast<HWND>(lparam));
}

void MainWindow::RunCommand(int id) {
  switch (id) {
    case IDM_FILE_NEW: NewProjectFile(); break;
    case IDM_FILE_OPEN: Open(); break;
    case IDM_FILE_SAVE: Save(); break;
    case IDM_FILE_SAVE_AS: SaveAs(); break;
    case IDM_EXPORT_PROJECT: ExportProject(); break;
    case IDM_IMPORT_PROJECTS: ImportProjects(); break;
    case IDM_AUTOSAVE: ToggleAutoSave(); break;
    case IDM_EXIT: Exit(); break;
    case IDM_AUTOSTART: ToggleAutostart(); break;
    case IDM_SHOW_WINDOW: ShowMainWindow(); break;
    case IDM_NEW_PROJECT_ALT:
    case IDM_PROJECT_NEW: NewProject(calendar_ ? calendar::GetSelectedDate(calendar_) : Date{}); break;
    case IDM_PROJECT_MANAGE:
      if (document_.Find(selectedProjectId_)) ManageProject(selectedProjectId_, Date{});
      break;
    case IDM_PROJECT_COMPLETE: SetCompleted(true); break;
    case IDM_PROJECT_REOPEN: SetCompleted(false); break;
    case IDM_PROJECT_FOLDER: OpenProjectFolder(); break;
    case IDM_PROJECT_DELETE: DeleteProject(); break;
    case IDM_PROJECT_VSCODE: OpenSelectedInVsCode(); break;
    case IDM_FIND: FocusSearch(); break;
    case IDM_RESET_SEARCH: ResetSearch(); break;
    case IDM_VIEW_DAY:
    case IDM_VIEW_WEEK:
    case IDM_VIEW_MONTH:
    case IDM_VIEW_YEAR: ShowView(id - IDM_VIEW_DAY); break;
    case IDM_VIEW_TODAY: if (calendar_) calendar::Today(calendar_); break;
    case IDM_VIEW_PREVIOUS: if (calendar_) calendar::Previous(calendar_); break;
    case IDM_VIEW_NEXT: if (calendar_) calendar::Next(calendar_); break;
    case IDM_VIEW_GOTO_DATE: if (calendar_) calendar::FocusDatePicker(calendar_); break;
    case IDM_VIEW_STATUS_BAR: ToggleStatusBar(); break;
    case IDM_SYNC_TOGGLE: ToggleSync(); break;
    case IDM_SYNC_NOW:
      syncWorker_.Wake();
      ApplyPendingRecords();
      break;
    case IDM_SYNC_STATUS: ShowSyncStatus(); break;
    case IDM_SYNC_FOLDER: OpenRecordFolder(); break;
    case IDM_ABOUT: ShowAbout(); break;
    case IDM_RELEASE_NOTES: ShowReleaseNotes(); break;
    default:
      // The calendar day menu's own ids (40401, 41000 + i) are run where that menu is.
      if (id >= IDM_LANGUAGE_FIRST && id <= IDM_LANGUAGE_LAST) ChangeLanguage(id - IDM_LANGUAGE_FIRST);
      break;
  }
}

void MainWindow::ToggleAutoSave() {
  autoSave_ = !autoSave_;
  settings::WriteSettingDword(L"AutoSave", autoSave_ ? 1 : 0);
  if (autoSave_ && modified_ && !currentPath_.empty()) {
    auto life = Watch();
    if (!SaveToPath(currentPath_) && life.Gone()) return;
  }
  SetStatusMessage(autoSave_ ? L"자동 저장을 켰습니다." : L"자동 저장을 껐습니다. Ctrl+S로 저장하세요.");
  RefreshStatusBar();
}

void MainWindow::ToggleAutostart() {
  std::wstring error;
  if (!autostart::Set(!autostart::IsPresent(), error)) {
    ShowMessage(error, i18n::Translate(L"자동 실행 설정"), MB_ICONERROR);
  }
}

void MainWindow::FocusSearch() {
  HWND search = child(kSearchBoxId);
  SetFocus(search);
  SendMessageW(search, EM_SETSEL, 0, -1);
}

void MainWindow::ResetSearch() {
  SendMessageW(child(kCategoryBoxId), CB_SETCURSEL, 0, 0);
  // Emptying the box applies the filter through its own change notification when it
  // held text; the explicit pass covers a category-only filter.
  SetWindowTextW(child(kSearchBoxId), L"");
  ApplyFilter();
}

void MainWindow::ShowView(int mode) {
  if (!calendar_) return;
  calendar::SetViewMode(calendar_, mode);
  settings::WriteSettingDword(L"ViewMode", static_cast<uint32_t>(mode));
  RefreshStatusBar();
}

void MainWindow::ToggleStatusBar() {
  statusBarVisible_ = !statusBarVisible_;
  ShowWindow(child(kStatusBarId), statusBarVisible_ ? SW_SHOW : SW_HIDE);
  settings::WriteSettingDword(L"StatusBar", statusBarVisible_ ? 1 : 0);
  LayOut();
  RefreshStatusBar();
}

void MainWindow::ToggleSync() {
  aiSyncEnabled_ = !aiSyncEnabled_;
  settings::WriteSettingDword(L"CodexSync", aiSyncEnabled_ ? 1 : 0);
  RestartSync();
  SetStatusMessage(aiSyncEnabled_ ? L"VS Code AI 자동 기록을 켰습니다." : L"VS Code AI 자동 기록을 껐습니다.");
  RefreshStatusBar();
}

bool MainWindow::FocusRing(bool backwards) {
  const int ring[] = {kSearchBoxId, kResetButtonId, kCategoryBoxId, kActiveListId, kCompletedListId, kCalendarId};
  constexpr int count = 6;
  HWND focus = GetFocus();
  int at = -1;
  for (int i = 0; i < count; ++i) {
    HWND c = child(ring[i]);
    if (c && (focus == c || IsChild(c, focus))) at = i;
  }
  int next = at < 0 ? 0 : (at + (backwards ? count - 1 : 1)) % count;
  if (HWND target = child(ring[next])) SetFocus(target);
  return true;
}

bool MainWindow::PreTranslate(MSG& msg) {
  if (modeless_.Route(msg)) return true;
  if (msg.message != WM_KEYDOWN) return false;
  if (msg.hwnd != window_ && !IsChild(window_, msg.hwnd)) return false;
  HWND search = child(kSearchBoxId);
  if (msg.wParam == VK_ESCAPE && msg.hwnd == search) {
    RunCommand(IDM_RESET_SEARCH);
    return true;
  }
  if (msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
    return FocusRing(GetKeyState(VK_SHIFT) < 0);
  }
  return false;
}

void MainWindow::ChangeLanguage(int language) {
  i18n::SetLanguage(language);
  settings::WriteSettingString(L"Language", i18n::kLanguageCodes[language]);
  RebuildFonts();
  RebuildMenuBar();
  SetChildTexts();
  ApplyChildFonts();
  if (calendar_) calendar::ApplyLanguageAndFonts(calendar_);
  syncStatusText_ = aiSyncEnabled_ ? i18n::Translate(L"VS Code AI 연동 준비 중")
                                   : i18n::Translate(L"VS Code AI 자동 기록 꺼짐");
  SetStatusMessage(L"언어 설정을 적용했습니다.");
  if (trayIconAdded_) {
    DeleteTrayIcon();
    AddTrayIcon();
  }
  RefreshLists();
  RefreshTitle();
  RefreshStatusBar();
  LayOut();
  InvalidateRect(window_, nullptr, TRUE);
  if (releaseNotesWindow_ && IsWindow(releaseNotesWindow_)) {
    CloseReleaseNotes();
    ShowReleaseNotes();
  }
}

}  // namespace mainwindow
