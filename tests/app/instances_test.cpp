// The real program started several times in one session: the second start hands its
// work to the first and ends.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/main_window.h"
#include "model/unique_handle.h"
#include "support/paths.h"
#include "support/eventually.h"
#include "support/temp_dir.h"

namespace {

using testpaths::Eventually;

struct Process {
  UniqueHandle handle;
  DWORD exitCode = STILL_ACTIVE;
};

Process Start(const std::wstring& arguments) {
  std::wstring exe = testpaths::BuildFile(L"Tavrilo.exe");
  std::wstring command = L"\"" + exe + L"\" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  Process p;
  if (CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    CloseHandle(pi.hThread);
    p.handle.reset(pi.hProcess);
  }
  return p;
}

// Waits for a process that should end by itself; false when it is still running.
bool Finishes(Process& p, DWORD milliseconds) {
  if (WaitForSingleObject(p.handle.get(), milliseconds) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(p.handle.get(), &p.exitCode);
  return true;
}

HWND WaitForMainWindow() {
  for (int i = 0; i < 300; ++i) {
    if (HWND w = FindWindowW(mainwindow::kMainWindowClass, nullptr)) return w;
    Sleep(50);
  }
  return nullptr;
}

std::wstring Title(HWND w) {
  wchar_t text[512] = {};
  GetWindowTextW(w, text, 512);
  return text;
}

TEST(Instances, SecondStartHandsOverAndEnds) {
  testpaths::TempDir dir;
  std::wstring first = dir / L"first.qlproj";
  std::wstring second = dir / L"second.qlproj";
  {
    UniqueFile file(CreateFileW(second.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const char json[] = "{\"projects\": [{\"id\": 1, \"title\": \"handed over\"}]}";
    DWORD written = 0;
    WriteFile(file.get(), json, sizeof(json) - 1, &written, nullptr);
  }

  Process running = Start(L"--startup \"" + first + L"\"");
  ASSERT_TRUE(running.handle.valid()) << "Tavrilo.exe could not be started";
  HWND window = WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  // The window can be found while it is still being created; its title comes last.
  EXPECT_TRUE(Eventually([&] { return Title(window).find(L"first.qlproj") != std::wstring::npos; }));
  EXPECT_FALSE(IsWindowVisible(window)) << "--startup starts hidden in the notification area";

  // "--STARTUP" in capitals counts the same: the running instance is left alone.
  Process quiet = Start(L"--STARTUP");
  ASSERT_TRUE(Finishes(quiet, 20000));
  EXPECT_EQ(quiet.exitCode, 0u);
  Sleep(300);
  EXPECT_FALSE(IsWindowVisible(window));

  // A plain second start brings the first window forward.
  Process activate = Start(L"");
  ASSERT_TRUE(Finishes(activate, 20000));
  EXPECT_EQ(activate.exitCode, 0u);
  EXPECT_TRUE(Eventually([&] { return IsWindowVisible(window) != FALSE; }));

  // A second start with a path makes the first open that file.
  Process open = Start(L"\"" + second + L"\"");
  ASSERT_TRUE(Finishes(open, 20000));
  EXPECT_EQ(open.exitCode, 0u);
  EXPECT_TRUE(Eventually([&] { return Title(window).find(L"second.qlproj") != std::wstring::npos; }))
      << "title: " << Title(window).size();
  EXPECT_EQ(FindWindowExW(nullptr, window, mainwindow::kMainWindowClass, nullptr), nullptr)
      << "only one main window exists";

  TerminateProcess(running.handle.get(), 0);
  WaitForSingleObject(running.handle.get(), 10000);
}

}  // namespace
