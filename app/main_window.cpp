// Creation, layout, painting and the window messages of the main window.
#include "app/main_window.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "app/project_list_box.h"
#include "app/project_list_painter.h"
#include "app/settings.h"
#include "app/shell_logic.h"
#include "i18n/translate.h"
#include "ui/kit/buttons.h"
#include "ui/kit/child_windows.h"
#include "ui/kit/colors.h"
#include "ui/kit/draw.h"
#include "ui/kit/gdi.h"
#include "ui/kit/menus.h"
#include "ui/kit/msgbox.h"
#include "ui/kit/scale.h"
#include "ui/kit/work_area.h"
#include "resources/resource_ids.h"
#include "views/calendar_view.h"

namespace mainwindow {

using namespace metrics;

int MainWindow::ShowMessage(const std::wstring& text, const std::wstring& caption, UINT flags) {
  return services_.showMessage(window_, text, caption, flags);
}

bool MainWindow::ChooseFile(bool save, const std::wstring& title, const std::wstring& suggested, std::wstring& chosen) {
  return services_.chooseFile(window_, save, title, suggested, chosen);
}

bool RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXW wc = MainWindow::ClassInfo(instance, kMainWindowClass);
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  return MainWindow::Register(wc);
}

HWND CreateMainWindow(HINSTANCE instance, const StartupOptions& options, Services services) {
  kit::WindowCreateArgs args;
  args.className = kMainWindowClass;
  args.title = L"Tavrilo";
  args.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  args.instance = instance;
  return MainWindow::Create(std::make_unique<MainWindow>(instance, options, WithDefaults(std::move(services))), args);
}

MainWindow* FromWindow(HWND window) { return MainWindow::FromWindow(window); }

MainWindow::MainWindow(HINSTANCE instance, StartupOptions options, Services services)
    : instance_(instance), options_(std::move(options)), services_(std::move(services)) {
  statusMessage_ = i18n::Translate(L"준비");
  syncStatusText_ = i18n::Translate(L"VS Code AI 연동 준비 중");
  launches_ = std::make_unique<vscode::LaunchTracker>(services_.openInVsCode);
}

MainWindow::~MainWindow() = default;

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_) {
    OnTaskbarCreated();
    return 0;
  }
  LRESULT menuResult = 0;
  if (kit::HandleMenuMessage(window_, message, wparam, lparam, menuResult)) return menuResult;

  switch (message) {
    case WM_CREATE: return OnCreate() ? 0 : -1;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_SIZE: OnSize(wparam); return 0;
    case WM_ACTIVATE: OnActivate(wparam); return 0;
    case WM_SETFOCUS:
      if (calendar_) SetFocus(calendar_);
      return 0;
    case WM_ENABLE:
      if (releaseNotesWindow_ && IsWindow(releaseNotesWindow_)) EnableWindow(releaseNotesWindow_, wparam != 0);
      if (wparam) OfferReleaseNotes();
      return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_CLOSE: CloseToTray(); return 0;
    case WM_QUERYENDSESSION: return OnQueryEndSession();
    case WM_ENDSESSION:
      if (wparam) DestroyWindow(window_);
      return 0;
    case WM_SETCURSOR: return OnSetCursor(wparam, lparam);
    case WM_LBUTTONDOWN: OnLeftButtonDown(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}); return 0;
    case WM_LBUTTONUP:
      if (dragging_ != Splitter::kNone) ReleaseCapture();
      return 0;
    case WM_MOUSEMOVE: OnMouseMove(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}); return 0;
    case WM_MOUSELEAVE:
      hoverSplitter_ = Splitter::kNone;
      InvalidateRect(window_, nullptr, FALSE);
      return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(); return 0;
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize =
          kit::MinTrackSizeWithin(kMinTrackWidth, kMinTrackHeight, dpi_, kit::WorkAreaNear(window_));
      return 0;
    case WM_MEASUREITEM:
      if (OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lparam))) return TRUE;
      break;
    case WM_DRAWITEM:
      if (OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam))) return TRUE;
      break;
    case WM_COPYDATA: return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lparam));
    case WM_NOTIFY: return OnNotify(reinterpret_cast<const NMHDR*>(lparam));
    case WM_CONTEXTMENU:
      if (OnListContextMenu(reinterpret_cast<HWND>(wparam), lparam)) return 0;
      break;
    case WM_COMMAND: OnCommand(wparam, lparam); return 0;
    case WM_TIMER:
      if (wparam == kTimerId) OnTimer();
      return 0;
    case WM_INITMENUPOPUP: OnInitMenuPopup(reinterpret_cast<HMENU>(wparam)); return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: return OnControlColor(reinterpret_cast<HDC>(wparam));
    case WM_DPICHANGED: OnDpiChanged(HIWORD(wparam), reinterpret_cast<const RECT*>(lparam)); return 0;
    case kStartupFinished: OnStartupFinished(); return 0;
    case kTrayCallback: OnTrayCallback(wparam, lparam); return 0;
    case kActivateRequest: ShowMainWindow(); return 0;
    case kShowReleaseNotes: OnReleaseNotesRequest(); return 0;
    default: break;
  }
  return DefaultProc(message, wparam, lparam);
}

bool MainWindow::OnMeasureItem(MEASUREITEMSTRUCT& item) { return projectlist::MeasureListItem(item, dpi_); }

bool MainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlType == ODT_BUTTON) return kit::DrawKitButton(item);
  if (item.CtlType == ODT_LISTBOX) return projectlist::DrawListItem(item, document_, fonts_.get());
  return false;
}

LRESULT MainWindow::OnControlColor(HDC dc) {
  SetTextColor(dc, kit::color::kText);
  SetBkColor(dc, kit::color::kWhite);
  SetDCBrushColor(dc, kit::color::kWhite);
  return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

void MainWindow::RebuildFonts() {
  fonts_.Rebuild(dpi_);
  kit::SetMenuFontSet(&fonts_.get());
}

bool MainWindow::OnCreate() {
  dpi_ = kit::WindowDpi(window_);
  RebuildFonts();
  taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");

  autoSave_ = settings::ReadAutoSave();
  statusBarVisible_ = settings::ReadStatusBar();
  panelWidth_ = settings::ReadPanelWidth();
  listSplit_ = settings::ReadListSplit();

  RebuildMenuBar();
  CreateChildren();
  LoadStartupDocument();

  calendar::RegisterCalendarViewClass(instance_);
  calendar_ = calendar::CreateCalendarView(window_, &document_, &fonts_.get(), services_.today());
  if (calendar_) {
    SetWindowLongPtrW(calendar_, GWLP_ID, kCalendarId);
    int mode = settings::ReadViewMode();
    if (mode != calendar::GetViewMode(calendar_)) calendar::SetViewMode(calendar_, mode);
    calendar::RebuildDayIndex(calendar_);
  }
  ApplyChildFonts();
  RefreshLists();
  RefreshTitle();
  RefreshStatusBar();
  LayOut();

  if (!AddTrayIcon()) options_.startHidden = false;
  aiSyncEnabled_ = settings::ReadCodexSync();
  sinceDate_ = settings::ReadCodexSyncSince();
  RestartSync();
  SetTimer(window_, kTimerId, kTimerInterval, nullptr);
  return true;
}

void MainWindow::CreateChildren() {
  DWORD statusStyle = WS_CHILD | SBARS_SIZEGRIP | (statusBarVisible_ ? WS_VISIBLE : 0);
  CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, statusStyle, 0, 0, 0, 0, window_,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)), instance_, nullptr);
  kit::CreateKitButton(window_, kNewProjectButtonId, i18n::Translate(L"+ 새 프로젝트"), kit::kButtonPrimary,
                       kit::color::kPanel);
  // The lists keep a pointer to the font set: it is rebuilt in place, never moved.
  for (int id : {kActiveListId, kCompletedListId}) projectlist::CreateProjectList(window_, id, &fonts_.get());
  HWND search = CreateWindowExW(0, L"Edit", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0,
                                window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSearchBoxId)), instance_, nullptr);
  SendMessageW(search, EM_LIMITTEXT, kSearchTextLimit, 0);
  kit::CreateKitButton(window_, kResetButtonId, i18n::Translate(L"초기화"), kit::kButtonSecondary, kit::color::kWhite);
  CreateWindowExW(0, L"ComboBox", nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, 0, 0,
                  kit::Scale(kCategoryWidth, dpi_), kit::Scale(kCategoryDropHeight, dpi_), window_,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCategoryBoxId)), instance_, nullptr);
  SetChildTexts();
}

void MainWindow::SetChildTexts() {
  SetWindowTextW(child(kNewProjectButtonId), i18n::Translate(L"+ 새 프로젝트"));
  SetWindowTextW(child(kResetButtonId), i18n::Translate(L"초기화"));
  SendMessageW(child(kSearchBoxId), EM_SETCUEBANNER, TRUE,
               reinterpret_cast<LPARAM>(i18n::Translate(L"제목 또는 태그 검색 (#태그)")));
  HWND category = child(kCategoryBoxId);
  SendMessageW(category, CB_RESETCONTENT, 0, 0);
  for (const wchar_t* item : {I18N_KEY(L"모든 프로젝트"), I18N_KEY(L"개인프로젝트"), I18N_KEY(L"내부프로젝트"),
                              I18N_KEY(L"외부프로젝트")}) {
    SendMessageW(category, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(i18n::Translate(item)));
  }
  SendMessageW(category, CB_SETCURSEL, filter_.categoryFilter + 1, 0);
}

void MainWindow::ApplyChildFonts() {
  auto setFont = [&](int id, HFONT font, bool redraw) {
    if (HWND c = child(id)) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
  };
  const kit::FontSet& fonts = fonts_.get();
  for (int id : {kNewProjectButtonId, kSearchBoxId, kResetButtonId, kCategoryBoxId}) setFont(id, fonts.body, TRUE);
  for (int id : {kActiveListId, kCompletedListId}) {
    setFont(id, fonts.body, FALSE);
    SendMessageW(child(id), LB_SETITEMHEIGHT, 0, kit::Scale(kListRowHeight, dpi_));
  }
  if (HWND status = child(kStatusBarId)) {
    SendMessageW(status, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.small), TRUE);
    SendMessageW(status, SB_SETMINHEIGHT, kit::Scale(kStatusBarMinHeight, dpi_), 0);
    SendMessageW(status, WM_SIZE, 0, 0);
  }
}

void MainWindow::OnDestroy() {
  KillTimer(window_, kTimerId);
  syncWorker_.Stop();
  DeleteTrayIcon();
  // The bar is ours to free, not the window's.
  SetMenu(window_, nullptr);
  menuBar_.reset();
  kit::SetMenuFontSet(nullptr);
  PostQuitMessage(0);
}

void MainWindow::LayOut() {
  RECT client;
  GetClientRect(window_, &client);
  LayoutInput in;
  in.width = client.right;
  in.height = client.bottom;
  in.dpi = dpi_;
  in.panelWidth = panelWidth_;
  in.listSplit = listSplit_;
  HWND status = child(kStatusBarId);
  if (statusBarVisible_ && status) {
    SendMessageW(status, WM_SIZE, 0, 0);
    RECT sr;
    GetWindowRect(status, &sr);
    in.statusBarHeight = sr.bottom - sr.top;
  }
  {
    kit::WindowDc dc(window_);
    const kit::FontSet& fonts = fonts_.get();
    in.searchLabelWidth = kit::TextWidth(dc.get(), fonts.semibold, i18n::Translate(L"검색"));
    in.resetTextWidth = kit::TextWidth(dc.get(), fonts.body, i18n::Translate(L"초기화"));
    in.newProjectTextWidth = kit::TextWidth(dc.get(), fonts.body, i18n::Translate(L"+ 새 프로젝트"));
  }
  layout_ = ComputeLayout(in);
  if (calendar_ == nullptr) return;

  auto place = [&](int id, const RECT& r) { kit::PlaceChild(child(id), r); };
  place(kSearchBoxId, layout_.searchBox);
  place(kResetButtonId, layout_.resetButton);
  place(kCategoryBoxId, layout_.categoryBox);
  place(kNewProjectButtonId, layout_.newProjectButton);
  place(kActiveListId, layout_.activeList);
  place(kCompletedListId, layout_.completedList);
  place(kCalendarId, layout_.calendar);
  RefreshStatusBar();
  InvalidateRect(window_, nullptr, FALSE);
}

void MainWindow::OnSize(WPARAM type) {
  LayOut();
  if (type != SIZE_MINIMIZED) OfferReleaseNotes();
}

void MainWindow::OnActivate(WPARAM wparam) {
  if (LOWORD(wparam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(window_, focus)) lastFocus_ = focus;
  } else if (!IsIconic(window_)) {
    if (lastFocus_ && IsWindow(lastFocus_) && IsChild(window_, lastFocus_)) {
      SetFocus(lastFocus_);
    } else if (calendar_) {
      SetFocus(calendar_);
    }
  }
}

LRESULT MainWindow::OnCopyData(const COPYDATASTRUCT* data) {
  ShowMainWindow();
  std::wstring path;
  if (data == nullptr || !IsWindowEnabled(window_) || !shell::CopyDataPath(data->dwData, data->cbData, data->lpData, path)) {
    return 0;
  }
  OpenPath(path);
  return TRUE;
}

void MainWindow::OnDpiChanged(int dpi, const RECT* suggested) {
  dpi_ = dpi > 0 ? dpi : 96;
  RebuildFonts();
  RebuildMenuBar();
  ApplyChildFonts();
  if (calendar_) calendar::ApplyLanguageAndFonts(calendar_);
  if (suggested) {
    SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOACTIVATE | SWP_NOZORDER);
  }
  LayOut();
  InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::RefreshTitle() { SetWindowTextW(window_, shell::WindowTitle(currentPath_, modified_).c_str()); }

std::wstring MainWindow::StatusPartText(int part) const {
  HWND status = child(kStatusBarId);
  if (!status) return {};
  int length = LOWORD(SendMessageW(status, SB_GETTEXTLENGTHW, part, 0));
  std::wstring text(length + 1, L'\0');
  SendMessageW(status, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

void MainWindow::RefreshStatusBar() {
  HWND status = child(kStatusBarId);
  if (!status || !calendar_) return;
  shell::StatusFacts facts;
  facts.statusMessage = statusMessage_;
  facts.selectedDate = calendar::GetSelectedDate(calendar_);
  if (dates::IsValid(facts.selectedDate)) {
    facts.projectsOnSelectedDay = static_cast<int>(calendar::ProjectsOnDay(calendar_, facts.selectedDate).size());
  }
  facts.viewMode = calendar::GetViewMode(calendar_);
  for (const auto& p : document_.projects) (p.completed ? facts.completedCount : facts.activeCount)++;
  facts.currentPath = currentPath_;
  facts.modified = modified_;
  facts.autoSave = autoSave_;
  facts.aiSyncEnabled = aiSyncEnabled_;
  auto texts = shell::StatusTexts(facts);
  // The parts follow their texts, which change with the language, the counts and the
  // file, so that no part cuts its text while the window has room.
  std::array<int, 5> widths{};
  {
    kit::WindowDc dc(status);
    for (int i = 1; i < 5; ++i) widths[i] = kit::TextWidth(dc.get(), fonts_.get().small, texts[i]);
  }
  RECT client;
  GetClientRect(window_, &client);
  auto edges = shell::StatusPartEdges(client.right, dpi_, widths);
  SendMessageW(status, SB_SETPARTS, 5, reinterpret_cast<LPARAM>(edges.data()));
  for (int i = 0; i < 5; ++i) SendMessageW(status, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(texts[i].c_str()));
}

void MainWindow::SetStatusMessage(const wchar_t* korean) { statusMessage_ = i18n::Translate(korean); }

void MainWindow::SaveSettings() {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (GetWindowPlacement(window_, &placement)) {
    settings::WriteSettingBinary(L"WindowPlacement", &placement, sizeof(placement));
  }
  settings::WriteSettingDword(L"PanelWidth", static_cast<uint32_t>(panelWidth_));
  settings::WriteSettingDword(L"ListSplit", static_cast<uint32_t>(listSplit_));
  settings::WriteSettingDword(L"AutoSave", autoSave_ ? 1 : 0);
  settings::WriteSettingDword(L"StatusBar", statusBarVisible_ ? 1 : 0);
  if (calendar_) settings::WriteSettingDword(L"ViewMode", static_cast<uint32_t>(calendar::GetViewMode(calendar_)));
}

void MainWindow::OnStartupFinished() {
  if (!pendingMessage_.empty()) {
    ShowMainWindow();
    std::wstring message = std::move(pendingMessage_);
    pendingMessage_.clear();
    auto life = Watch();
    ShowMessage(message, L"Tavrilo", MB_ICONWARNING);
    if (life.Gone()) return;
  }
  OfferReleaseNotes();
}

}  // namespace mainwindow
