// A main window created in-process with the settings, the Documents folder and its
// services (file dialogs, message boxes, the About box) redirected, so tests can drive it
// like a user.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/project_list_menu.h"
#include "support/language_scope.h"
#include "support/registry_sandbox.h"
#include "support/temp_dir.h"
#include "support/ui_env.h"
#include "ui/kit/msgbox.h"
#include "views/calendar_view.h"

namespace apptest {

struct ShownMessage {
  std::wstring text;
  std::wstring caption;
  UINT flags;
  HWND owner = nullptr;
};

struct DialogCall {
  bool save;
  std::wstring title;
  std::wstring suggested;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testui::EnsureUi();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    widgets::RegisterMsgBoxClass(instance);
    calendar::RegisterCalendarViewClass(instance);
    mainwindow::RegisterMainWindowClass(instance);
    reply = [this](const ShownMessage& shown) {
      if (answers.empty()) return (shown.flags & 0xF) == MB_YESNOCANCEL ? IDCANCEL : IDOK;
      int answer = answers.front();
      answers.pop_front();
      return answer;
    };
  }

  void TearDown() override {
    if (window && IsWindow(window)) DestroyWindow(window);
    testui::PumpMessages();
    projectlist::SetMenuTrackHandler(nullptr);
  }

  // The fakes the window is created with; they only record and answer.
  mainwindow::Services FakeServices() {
    mainwindow::Services services;
    services.showMessage = [this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) {
      messages.push_back({text, caption, flags, owner});
      return reply(messages.back());
    };
    services.chooseFile = [this](HWND, bool save, const std::wstring& title, const std::wstring& suggested,
                                 std::wstring& chosen) {
      dialogs.push_back({save, title, suggested});
      if (dialogAnswers.empty()) return false;
      chosen = dialogAnswers.front();
      dialogAnswers.pop_front();
      return !chosen.empty();
    };
    services.showAbout = [this](HWND owner, const std::wstring& text, const std::wstring& caption) {
      abouts.push_back({text, caption, 0});
      aboutOwner = owner;
    };
    services.chooseFolder = [this](HWND, const std::wstring& title, const std::wstring& suggested,
                                   std::wstring& chosen) {
      dialogs.push_back({false, title, suggested});
      if (dialogAnswers.empty()) return false;
      chosen = dialogAnswers.front();
      dialogAnswers.pop_front();
      return !chosen.empty();
    };
    services.revealInShell = [this](HWND, const std::wstring& folder, const std::wstring&) {
      revealed.push_back(folder);
      return true;
    };
    services.projectDialogShown = [this](HWND dialog) {
      ++dialogsShown;
      if (onDialog) {
        onDialog(dialog);
      } else {
        // Nobody drives it: close it unchanged rather than hang in its loop.
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(projectdlg::kCancelId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, projectdlg::kCancelId)));
      }
    };
    services.processesUsingFile = [](const std::wstring&) { return std::vector<DWORD>{}; };
    // Never the real editor: a test that launches says what the launch does.
    services.openInVsCode = [this](const Project& project) {
      return launch ? launch(project) : vscode::LaunchResult{false, L"no VS Code in tests", false};
    };
    return services;
  }

  mainwindow::MainWindow& Create(const std::wstring& initialPath = L"", bool startHidden = false) {
    mainwindow::StartupOptions options;
    options.initialPath = initialPath;
    options.startHidden = startHidden;
    options.documentsFolder = documents.path();
    window = mainwindow::CreateMainWindow(GetModuleHandleW(nullptr), options, FakeServices());
    EXPECT_NE(window, nullptr);
    SetWindowPos(window, nullptr, 0, 0, 1320, 860, SWP_NOZORDER | SWP_NOACTIVATE);
    return *mainwindow::FromWindow(window);
  }

  void Show() {
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    testui::PumpMessages();
  }

  static void Put(const std::wstring& path, std::string_view bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  static std::string Bytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  testpaths::RegistrySandbox registry;
  testpaths::TempDir documents;
  testpaths::LanguageScope language{i18n::kEnglish};
  HWND window = nullptr;
  std::vector<ShownMessage> messages;
  std::deque<int> answers;
  // How a message box answers; by default from `answers`, else Cancel or OK.
  std::function<int(const ShownMessage&)> reply;
  std::vector<ShownMessage> abouts;
  HWND aboutOwner = nullptr;
  std::vector<DialogCall> dialogs;
  std::deque<std::wstring> dialogAnswers;
  // Folders shown in the shell.
  std::vector<std::wstring> revealed;
  // What a test does while a project dialog is open (it must close the dialog).
  std::function<void(HWND dialog)> onDialog;
  int dialogsShown = 0;
  // What a VS Code launch does, on its background task; set before launching.
  std::function<vscode::LaunchResult(const Project&)> launch;
};

}  // namespace apptest
