// Creation, layout, painting and the window messages of the main window.
#include "app/main_window.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "app/settings.h"
#include "app/shell_logic.h"
#include "i18n/translate.h"
#include "ui/kit/buttons.h"
#include "ui/kit/colors.h"
#include "ui/kit/draw.h"
#include "ui/kit/gdi.h"
#include "ui/kit/menus.h"
#include "ui/kit/msgbox.h"
#include "ui/kit/scale.h"
#include "views/calendar_view.h"

namespace mainwindow {

namespace {

FileDialogFn g_fileDialog;
MessageBoxFn g_messageBox;
// Set when WM_NCCREATE hands the state to its window, which frees it at WM_NCDESTROY.
bool g_stateAdopted = false;

}  // namespace

void SetFileDialogHandler(FileDialogFn handler) { g_fileDialog = std::move(handler); }
void SetMessageBoxHandler(MessageBoxFn handler) { g_messageBox = std::move(handler); }

bool ChooseFileWithDialog(HWND owner, bool save, const std::wstring& title, const std::wstring& suggested,
                          std::wstring& chosen);

int MainWindow::ShowMessage(const std::wstring& text, const std::wstring& caption, UINT flags) {
  if (g_messageBox) return g_messageBox(window_, text, caption, flags);
  return widgets::MsgBox(window_, text.c_str(), caption.c_str(), flags);
}

bool MainWindow::ChooseFile(bool save, const std::wstring& title, const std::wstring& suggested, std::wstring& chosen) {
  if (g_fileDialog) return g_fileDialog(window_, save, title, suggested, chosen);
  return ChooseFileWithDialog(window_, save, title, suggested, chosen);
}

bool RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXW wc{sizeof(wc)};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = MainWindow::WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(101));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(101), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  wc.lpszClassName = kMainWindowClass;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateMainWindow(HINSTANCE instance, const StartupOptions& options) {
  auto state = std::make_unique<MainWindow>(instance, options);
  g_stateAdopted = false;
  HWND window = CreateWindowExW(0, kMainWindowClass, L"Tavrilo", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, state.get());
  // Once the window has it, the window frees it, also when creation fails later on;
  // a window that never got as far leaves it to us.
  if (g_stateAdopted) state.release();
  return window;
}

MainWindow* FromWindow(HWND window) {
  if (window == nullptr || !IsWindow(window)) return nullptr;
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (lstrcmpW(name, kMainWindowClass) != 0) return nullptr;
  return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

MainWindow::MainWindow(HINSTANCE instance, StartupOptions options) : instance_(instance), options_(std::move(options)) {
  statusMessage_ = i18n::Translate(L"준비");
  syncStatusText_ = i18n::Translate(L"VS Code AI 연동 준비 중");
}

MainWindow::~MainWindow() { kit::DestroyFontSet(fonts_); }

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  MainWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    self = static_cast<MainWindow*>(create->lpCreateParams);
    if (self == nullptr) return FALSE;
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    g_stateAdopted = true;
  } else {
    self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);

  LRESULT result = 0;
  try {
    result = self->Handle(message, wparam, lparam);
  } catch (...) {
    // Nothing may unwind into the system's dispatch code.
    result = DefWindowProcW(window, message, wparam, lparam);
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete self;
  }
  return result;
}

LRESULT MainWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_) {
    trayIconAdded_ = false;
    if (!AddTrayIcon()) ShowMainWindow();
    return 0;
  }
  LRESULT menuResult = 0;
  if (kit::HandleMenuMessage(window_, message, wparam, lparam, menuResult)) return menuResult;

  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_SIZE:
      OnSize(wparam);
      return 0;
    case WM_ACTIVATE:
      OnActivate(wparam);
      return 0;
    case WM_SETFOCUS:
      if (calendar_) SetFocus(calendar_);
      return 0;
    case WM_ENABLE:
      if (releaseNotesWindow_ && IsWindow(releaseNotesWindow_)) EnableWindow(releaseNotesWindow_, wparam != 0);
      if (wparam && releaseNotesPending_) PostMessageW(window_, kShowReleaseNotes, 0, 0);
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_CLOSE:
      CloseToTray();
      return 0;
    case WM_QUERYENDSESSION:
      return OnQueryEndSession();
    case WM_ENDSESSION:
      if (wparam) DestroyWindow(window_);
      return 0;
    case WM_SETCURSOR:
      return OnSetCursor(wparam, lparam);
    case WM_LBUTTONDOWN:
      OnLeftButtonDown(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      return 0;
    case WM_LBUTTONUP:
      if (dragKind_ != 0) ReleaseCapture();
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      return 0;
    case WM_MOUSELEAVE:
      hoverSplitter_ = 0;
      InvalidateRect(window_, nullptr, FALSE);
      return 0;
    case WM_CAPTURECHANGED:
      OnCaptureChanged();
      return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      info->ptMinTrackSize = {kit::Scale(900, dpi_), kit::Scale(600, dpi_)};
      return 0;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      if (item->CtlType == ODT_LISTBOX) {
        item->itemHeight = kit::Scale(76, dpi_);
        return TRUE;
      }
      break;
    }
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->CtlType == ODT_BUTTON && kit::DrawKitButton(*item)) return TRUE;
      if (item->CtlType == ODT_LISTBOX) {
        // Project rows belong to the project list panel; an empty white row until then.
        kit::FillSolidRect(item->hDC, item->rcItem, kit::color::kWhite);
        return TRUE;
      }
      break;
    }
    case WM_COPYDATA:
      return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lparam));
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<const NMHDR*>(lparam));
    case WM_COMMAND:
      OnCommand(wparam, lparam);
      return 0;
    case WM_TIMER:
      if (wparam == kTimerId) OnTimer();
      return 0;
    case WM_INITMENUPOPUP:
      OnInitMenuPopup(reinterpret_cast<HMENU>(wparam));
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, kit::color::kText);
      SetBkColor(dc, kit::color::kWhite);
      SetDCBrushColor(dc, kit::color::kWhite);
      return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    }
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), reinterpret_cast<const RECT*>(lparam));
      return 0;
    case kStartupFinished:
      OnStartupFinished();
      return 0;
    case kTrayCallback:
      OnTrayCallback(wparam, lparam);
      return 0;
    case kActivateRequest:
      ShowMainWindow();
      return 0;
    case kShowReleaseNotes:
      if (releaseNotesPending_ && pendingMessage_.empty() && IsWindowEnabled(window_) && IsWindowVisible(window_) &&
          !IsIconic(window_)) {
        ShowReleaseNotes();
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

bool MainWindow::OnCreate() {
  dpi_ = kit::WindowDpi(window_);
  kit::BuildFontSet(fonts_, dpi_);
  kit::SetMenuFontSet(&fonts_);
  taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");

  autoSave_ = settings::ReadAutoSave();
  statusBarVisible_ = settings::ReadStatusBar();
  panelWidth_ = settings::ReadPanelWidth();
  listSplit_ = settings::ReadListSplit();

  RebuildMenuBar();
  CreateChildren();
  LoadStartupDocument();

  calendar::RegisterCalendarViewClass(instance_);
  calendar_ = calendar::CreateCalendarView(window_, &document_, &fonts_, dates::Today());
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
  SetTimer(window_, kTimerId, 1000, nullptr);
  return true;
}

void MainWindow::CreateChildren() {
  DWORD statusStyle = WS_CHILD | SBARS_SIZEGRIP | (statusBarVisible_ ? WS_VISIBLE : 0);
  CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, statusStyle, 0, 0, 0, 0, window_,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)), instance_, nullptr);
  kit::CreateKitButton(window_, kNewProjectButtonId, i18n::Translate(L"+ 새 프로젝트"), kit::kButtonPrimary,
                       kit::color::kPanel);
  DWORD listStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                    LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
  for (int id : {kActiveListId, kCompletedListId}) {
    CreateWindowExW(0, L"LISTBOX", nullptr, listStyle, 0, 0, 0, 0, window_,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  }
  HWND search = CreateWindowExW(0, L"Edit", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0,
                                window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSearchBoxId)), instance_, nullptr);
  SendMessageW(search, EM_LIMITTEXT, 500, 0);
  kit::CreateKitButton(window_, kResetButtonId, i18n::Translate(L"초기화"), kit::kButtonSecondary, kit::color::kWhite);
  CreateWindowExW(0, L"ComboBox", nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, 0, 0,
                  kit::Scale(180, dpi_), kit::Scale(200, dpi_), window_,
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
  SendMessageW(category, CB_SETCURSEL, categoryFilter_ + 1, 0);
}

void MainWindow::ApplyChildFonts() {
  auto setFont = [&](int id, HFONT font, bool redraw) {
    if (HWND c = child(id)) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
  };
  for (int id : {kNewProjectButtonId, kSearchBoxId, kResetButtonId, kCategoryBoxId}) setFont(id, fonts_.body, TRUE);
  for (int id : {kActiveListId, kCompletedListId}) {
    setFont(id, fonts_.body, FALSE);
    SendMessageW(child(id), LB_SETITEMHEIGHT, 0, kit::Scale(76, dpi_));
  }
  if (HWND status = child(kStatusBarId)) {
    SendMessageW(status, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.small), TRUE);
    SendMessageW(status, SB_SETMINHEIGHT, kit::Scale(26, dpi_), 0);
    SendMessageW(status, WM_SIZE, 0, 0);
  }
}

void MainWindow::RefreshLists() {
  // The rows arrive with the project list panel; until then the lists stay empty and
  // the headers count nothing.
  if (selectedProjectId_ != 0 && document_.Find(selectedProjectId_) == nullptr) {
    selectedProjectId_ = 0;
    if (calendar_) calendar::SetSelectedProject(calendar_, 0);
  }
  InvalidateRect(window_, nullptr, FALSE);
}

void MainWindow::SelectProject(int32_t id) {
  selectedProjectId_ = document_.Find(id) != nullptr ? id : 0;
  if (calendar_) calendar::SetSelectedProject(calendar_, selectedProjectId_);
  RefreshLists();
}

void MainWindow::OnDestroy() {
  KillTimer(window_, kTimerId);
  syncWorker_.Stop();
  DeleteTrayIcon();
  SetMenu(window_, nullptr);
  if (menuBar_) {
    kit::ReleaseOwnerDrawnMenu(menuBar_);
    DestroyMenu(menuBar_);
    menuBar_ = nullptr;
  }
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
    auto edges = shell::StatusPartEdges(client.right, dpi_);
    SendMessageW(status, SB_SETPARTS, 5, reinterpret_cast<LPARAM>(edges.data()));
  }
  {
    kit::WindowDc dc(window_);
    in.searchLabelWidth = kit::TextWidth(dc.get(), fonts_.semibold, i18n::Translate(L"검색"));
    in.resetTextWidth = kit::TextWidth(dc.get(), fonts_.body, i18n::Translate(L"초기화"));
    in.newProjectTextWidth = kit::TextWidth(dc.get(), fonts_.body, i18n::Translate(L"+ 새 프로젝트"));
  }
  layout_ = ComputeLayout(in);
  if (calendar_ == nullptr) return;

  auto place = [&](int id, const RECT& r) {
    if (HWND c = child(id)) {
      SetWindowPos(c, nullptr, r.left, r.top, std::max<int>(r.right - r.left, 0), std::max<int>(r.bottom - r.top, 0),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
  };
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
  if (releaseNotesPending_ && type != SIZE_MINIMIZED && IsWindowVisible(window_)) {
    PostMessageW(window_, kShowReleaseNotes, 0, 0);
  }
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

void MainWindow::PaintGroupHeader(HDC dc, const RECT& row, const wchar_t* title, int count, int limit,
                                  COLORREF badgeFill, COLORREF countColor) {
  auto px = [&](int n) { return kit::Scale(n, dpi_); };
  std::wstring countText = std::to_wstring(count);
  int badge = std::max(px(20), px(14) + kit::TextWidth(dc, fonts_.small, countText));
  int x0 = row.left + px(2);
  int x1 = std::max(x0, std::min(limit - badge - px(8), x0 + kit::TextWidth(dc, fonts_.semibold, title)));
  SetBkMode(dc, TRANSPARENT);
  {
    kit::SelectObjectScope font(dc, fonts_.semibold);
    SetTextColor(dc, kit::color::kText);
    RECT text{x0, row.top, x1, row.bottom};
    DrawTextW(dc, title, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
  int middle = (row.top + row.bottom) / 2;
  RECT pill{x1 + px(8), middle - px(10), x1 + px(8) + badge, middle - px(10) + px(20)};
  kit::FillRoundRect(dc, pill, static_cast<float>(px(10)), badgeFill);
  kit::SelectObjectScope font(dc, fonts_.small);
  SetTextColor(dc, countColor);
  DrawTextW(dc, countText.c_str(), -1, &pill, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
}

void MainWindow::OnPaint() {
  kit::DoubleBufferedPaint paint(window_);
  HDC dc = paint.dc();
  auto px = [&](int n) { return kit::Scale(n, dpi_); };
  const RECT& client = paint.client();
  const Layout& l = layout_;
  kit::FillSolidRect(dc, client, kit::color::kPanel);
  kit::FillSolidRect(dc, RECT{l.panel, px(54), l.panel + 1, l.contentHeight}, kit::color::kLine);
  kit::FillSolidRect(dc, RECT{0, 0, client.right, px(54)}, kit::color::kWhite);
  kit::FillSolidRect(dc, RECT{0, px(54) - 1, client.right, px(54)}, kit::color::kLine);

  SetBkMode(dc, TRANSPARENT);
  {
    kit::SelectObjectScope font(dc, fonts_.semibold);
    SetTextColor(dc, kit::color::kMutedText);
    RECT label = l.searchLabel;
    DrawTextW(dc, i18n::Translate(L"검색"), -1, &label, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  }
  kit::DrawRoundRect(dc, l.searchFrame, static_cast<float>(px(8)), kit::color::kControlBorder, 1.0f);

  int activeRows = static_cast<int>(SendMessageW(child(kActiveListId), LB_GETCOUNT, 0, 0));
  int completedRows = static_cast<int>(SendMessageW(child(kCompletedListId), LB_GETCOUNT, 0, 0));
  PaintGroupHeader(dc, l.activeHeader, i18n::Translate(L"진행중인 프로젝트"), std::max(activeRows, 0),
                   l.newProjectButton.left - px(8), kit::color::kAccentTint, kit::color::kAccentPressed);
  PaintGroupHeader(dc, l.completedHeader, i18n::Translate(L"완료 프로젝트"), std::max(completedRows, 0),
                   l.completedHeader.right, kit::Rgb(0xEFF0F4), kit::color::kMutedText);

  for (const RECT* frame : {&l.activeFrame, &l.completedFrame}) {
    if (frame->bottom - frame->top < px(4)) continue;
    kit::FillRoundRect(dc, *frame, static_cast<float>(px(10)), kit::color::kWhite);
    kit::DrawRoundRect(dc, *frame, static_cast<float>(px(10)), kit::color::kLine, 1.0f);
  }
  const RECT& band = l.splitterBand;
  int cx = (band.left + band.right) / 2, cy = (band.top + band.bottom) / 2;
  RECT grip{cx - px(18), cy - px(2), cx - px(18) + px(36), cy - px(2) + px(4)};
  bool active = dragKind_ == 2 || hoverSplitter_ == 2;
  kit::FillRoundRect(dc, grip, static_cast<float>(px(2)), active ? kit::color::kAccent : kit::color::kControlBorder);
}

LRESULT MainWindow::OnSetCursor(WPARAM wparam, LPARAM lparam) {
  if (reinterpret_cast<HWND>(wparam) == window_ && LOWORD(lparam) == HTCLIENT) {
    int kind = dragKind_;
    if (kind == 0) {
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(window_, &p);
      kind = SplitterAt(layout_, dpi_, p);
    }
    if (kind != 0) {
      SetCursor(LoadCursorW(nullptr, kind == 1 ? IDC_SIZEWE : IDC_SIZENS));
      return TRUE;
    }
  }
  return DefWindowProcW(window_, WM_SETCURSOR, wparam, lparam);
}

void MainWindow::OnLeftButtonDown(POINT point) {
  int hit = SplitterAt(layout_, dpi_, point);
  if (hit == 0) return;
  dragKind_ = hit;
  dragOffset_ = hit == 1 ? point.x - layout_.panel : point.y - layout_.splitterBand.top;
  SetCapture(window_);
  InvalidateRect(window_, nullptr, FALSE);
}

void MainWindow::OnMouseMove(POINT point) {
  if (dragKind_ == 1) {
    panelWidth_ = PanelWidthFromDrag(point.x, dragOffset_, dpi_);
    LayOut();
    UpdateWindow(window_);
    return;
  }
  if (dragKind_ == 2) {
    listSplit_ = ListSplitFromDrag(point.y, dragOffset_, dpi_, layout_.listAreaHeight);
    LayOut();
    UpdateWindow(window_);
    return;
  }
  int hit = SplitterAt(layout_, dpi_, point);
  if (hit != hoverSplitter_) {
    hoverSplitter_ = hit;
    InvalidateRect(window_, nullptr, FALSE);
    if (hit != 0) {
      TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window_, 0};
      TrackMouseEvent(&track);
    }
  }
}

void MainWindow::OnCaptureChanged() {
  if (dragKind_ == 0) return;
  dragKind_ = 0;
  InvalidateRect(window_, nullptr, FALSE);
  SaveSettings();
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
  kit::BuildFontSet(fonts_, dpi_);
  kit::SetMenuFontSet(&fonts_);
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

void MainWindow::OnTimer() {
  ApplyPendingRecords();
  // The polling of VS Code launches joins here with the VS Code integration.
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
  for (int i = 0; i < 5; ++i) SendMessageW(status, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(texts[i].c_str()));
}

void MainWindow::SetStatusMessage(const wchar_t* korean) { statusMessage_ = i18n::Translate(korean); }

void MainWindow::SaveSettings() {
  WINDOWPLACEMENT placement{sizeof(placement)};
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
    ShowMessage(message, L"Tavrilo", MB_ICONWARNING);
  }
  if (releaseNotesPending_) PostMessageW(window_, kShowReleaseNotes, 0, 0);
}

}  // namespace mainwindow
