#include "app/startup.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/main_window.h"
#include "app/settings.h"
#include "app/shell_logic.h"
#include "i18n/language.h"
#include "model/unique_handle.h"
#include "resources/resource_ids.h"
#include "ui/kit/fonts.h"
#include "ui/kit/gdi.h"
#include "ui/kit/gdiplus_session.h"
#include "ui/kit/msgbox.h"
#include "ui/kit/scale.h"
#include "views/calendar_view.h"

namespace startup {

CommandLine ParseArguments(const std::vector<std::wstring>& arguments) {
  CommandLine result;
  bool havePath = false;
  for (const auto& argument : arguments) {
    if (CompareStringOrdinal(argument.c_str(), -1, L"--startup", -1, TRUE) == CSTR_EQUAL) {
      result.startHidden = true;
    } else if (!havePath) {
      // Made absolute here, in the process whose working folder the user meant: the
      // running instance that receives it, and the next start that reads it back as the
      // last file, may live in another folder.
      result.path = shell::AbsolutePath(argument);
      havePath = true;
    }
  }
  return result;
}

CommandLine ParseProcessCommandLine() {
  int count = 0;
  UniqueResource<LocalMemoryTraits<LPWSTR*>> argv(CommandLineToArgvW(GetCommandLineW(), &count));
  std::vector<std::wstring> arguments;
  for (int i = 1; argv && i < count; ++i) arguments.emplace_back(argv.get()[i]);
  return ParseArguments(arguments);
}

bool HandOver(const CommandLine& commandLine) {
  HWND other = nullptr;
  for (int attempt = 0; attempt < 100; ++attempt) {
    other = FindWindowW(mainwindow::kMainWindowClass, nullptr);
    if (other != nullptr) break;
    Sleep(20);
  }
  if (other == nullptr) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(other, &process);
  AllowSetForegroundWindow(process);
  if (!commandLine.path.empty()) {
    COPYDATASTRUCT data{};
    data.dwData = 1;
    data.cbData = static_cast<DWORD>((commandLine.path.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(commandLine.path.c_str());
    SendMessageW(other, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  } else {
    PostMessageW(other, mainwindow::kActivateRequest, 0, 0);
  }
  return true;
}

namespace {

void PlaceWindow(HWND window, int showCommand, bool startHidden) {
  WINDOWPLACEMENT placement{};
  if (settings::ReadWindowPlacement(placement)) {
    placement.length = sizeof(placement);
    placement.showCmd = static_cast<UINT>(shell::PlacementShowCommand(placement.showCmd, showCommand, startHidden));
    if (SetWindowPlacement(window, &placement)) return;
  }
  HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(monitor, &info);
  RECT r = shell::DefaultWindowRect(info.rcWork, kit::WindowDpi(window));
  SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE | SWP_NOZORDER);
  ShowWindow(window, startHidden ? SW_HIDE : showCommand);
}

// The main window's pre-translation (its modeless windows, then its own keys) and its
// accelerators take keyboard messages first; the window state is looked up once, and
// IsWindow guards every message because the state goes with the window.
int MessageLoop(HWND mainWindow, mainwindow::MainWindow& main, HACCEL accelerators) {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsWindow(mainWindow)) {
      if (main.PreTranslate(msg)) continue;
      if (accelerators && (msg.hwnd == mainWindow || IsChild(mainWindow, msg.hwnd)) &&
          TranslateAcceleratorW(mainWindow, accelerators, &msg)) {
        continue;
      }
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int Run(HINSTANCE instance, int showCommand) {
  CommandLine commandLine = ParseProcessCommandLine();
  UniqueHandle mutex(CreateMutexW(nullptr, FALSE, kMutexName));
  DWORD lastError = GetLastError();
  if (!mutex) return 1;
  if (lastError == ERROR_ALREADY_EXISTS) {
    if (!commandLine.startHidden) HandOver(commandLine);
    return 0;
  }

  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  kit::ComApartment com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  i18n::SetLanguage(i18n::LanguageFromCode(settings::ReadLanguageCode()));
  kit::GdiplusSession gdiplus;
  kit::EmbeddedFonts fonts(instance);
  widgets::RegisterMsgBoxClass(instance);
  calendar::RegisterCalendarViewClass(instance);
  mainwindow::RegisterMainWindowClass(instance);

  mainwindow::StartupOptions options;
  options.initialPath = commandLine.path;
  options.showCommand = showCommand;
  options.startHidden = commandLine.startHidden;
  HWND window = mainwindow::CreateMainWindow(instance, options, mainwindow::DefaultServices());
  mainwindow::MainWindow* main = mainwindow::FromWindow(window);
  if (main == nullptr) return 1;
  PlaceWindow(window, showCommand, options.startHidden && main->trayIconAdded());
  UpdateWindow(window);
  PostMessageW(window, mainwindow::kStartupFinished, 0, 0);
  kit::UniqueAccelerators accelerators(LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS)));
  return MessageLoop(window, *main, accelerators.get());
}

}  // namespace startup
