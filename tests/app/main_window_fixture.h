// A main window created in-process with the settings, the Documents folder, the file
// dialogs and the message boxes redirected, so tests can drive it like a user.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
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
    mainwindow::SetMessageBoxHandler([this](HWND, const std::wstring& text, const std::wstring& caption, UINT flags) {
      messages.push_back({text, caption, flags});
      if (answers.empty()) return (flags & 0xF) == MB_YESNOCANCEL ? IDCANCEL : IDOK;
      int answer = answers.front();
      answers.pop_front();
      return answer;
    });
    mainwindow::SetFileDialogHandler(
        [this](HWND, bool save, const std::wstring& title, const std::wstring& suggested, std::wstring& chosen) {
          dialogs.push_back({save, title, suggested});
          if (dialogAnswers.empty()) return false;
          chosen = dialogAnswers.front();
          dialogAnswers.pop_front();
          return !chosen.empty();
        });
  }

  void TearDown() override {
    if (window && IsWindow(window)) DestroyWindow(window);
    testui::PumpMessages();
    mainwindow::SetMessageBoxHandler(nullptr);
    mainwindow::SetFileDialogHandler(nullptr);
  }

  mainwindow::MainWindow& Create(const std::wstring& initialPath = L"", bool startHidden = false) {
    mainwindow::StartupOptions options;
    options.initialPath = initialPath;
    options.startHidden = startHidden;
    options.documentsFolder = documents.path();
    window = mainwindow::CreateMainWindow(GetModuleHandleW(nullptr), options);
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
  std::vector<DialogCall> dialogs;
  std::deque<std::wstring> dialogAnswers;
};

}  // namespace apptest
