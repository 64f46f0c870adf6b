// A scratch user for the VS Code tests: profile folders, environment and registry point
// into a temporary folder, and fake VS Code installations run the stand-in executable.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/file_io.h"
#include "model/unique_handle.h"
#include "support/environment_scope.h"
#include "i18n/language.h"
#include "support/eventually.h"
#include "support/language_scope.h"
#include "support/paths.h"
#include "support/registry_sandbox.h"
#include "support/temp_dir.h"

namespace vscodetest {

inline std::wstring FakeExecutable() { return testpaths::BuildFile(L"tests\\tavrilo_fake_vscode.exe"); }

inline void MakeFolder(const std::wstring& path) { std::filesystem::create_directories(std::filesystem::path(path)); }

inline void WriteText(const std::wstring& path, std::wstring_view text) {
  std::wstring error;
  ASSERT_TRUE(fileio::WriteTextFileSafely(path, text, error)) << path.size();
}

inline std::wstring ReadText(const std::wstring& path) {
  std::wstring text;
  std::wstring error;
  fileio::ReadTextFile(path, text, error);
  return text;
}

// What the stand-in recorded about its last start.
struct RunRecord {
  std::wstring command;
  std::wstring folder;
  std::vector<std::wstring> environment;

  bool HasEntry(std::wstring_view entry) const {
    for (const auto& e : environment) {
      if (e == entry) return true;
    }
    return false;
  }
  // Whether any variable has this name (ignoring case, as Windows does).
  bool HasVariable(std::wstring_view name) const {
    for (const auto& e : environment) {
      if (e.size() > name.size() && e[name.size()] == L'=' &&
          CompareStringOrdinal(e.c_str(), static_cast<int>(name.size()), name.data(), static_cast<int>(name.size()),
                               TRUE) == CSTR_EQUAL) {
        return true;
      }
    }
    return false;
  }
};

inline std::wstring RunRecordFile(const std::wstring& executable) { return fileio::FolderPart(executable) + L"\\last-run.txt"; }

inline RunRecord ReadRun(const std::wstring& executable) {
  RunRecord record;
  std::wstring text = ReadText(RunRecordFile(executable));
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(start, end - start);
    if (line.starts_with(L"command=")) record.command = line.substr(8);
    if (line.starts_with(L"folder=")) record.folder = line.substr(7);
    if (line.starts_with(L"env=")) record.environment.push_back(line.substr(4));
    start = end + 1;
  }
  return record;
}

// Waits for a start of the stand-in that is not waited for (an editor window).
inline RunRecord WaitForRun(const std::wstring& executable) {
  EXPECT_TRUE(testpaths::Eventually([&] { return fileio::FileExists(RunRecordFile(executable)); }))
      << "the fake VS Code never ran";
  return ReadRun(executable);
}

// Copies the stand-in into `folder` under `name`, with VS Code's command-line script in
// its usual place unless told otherwise. Returns the executable's path.
inline std::wstring InstallFake(const std::wstring& folder, const wchar_t* name = L"Code.exe", bool withCli = true) {
  MakeFolder(folder);
  std::wstring executable = folder + L"\\" + name;
  EXPECT_TRUE(CopyFileW(FakeExecutable().c_str(), executable.c_str(), FALSE)) << "copy of the fake VS Code failed";
  if (withCli) {
    MakeFolder(folder + L"\\resources\\app\\out");
    WriteText(folder + L"\\resources\\app\\out\\cli.js", L"// VS Code's command-line interface\n");
  }
  return executable;
}

// A process of the stand-in that holds a file open without sharing, as an open VS Code
// window holds its state database; released when the object goes.
class FileHolder {
 public:
  FileHolder(const std::wstring& executable, const std::wstring& file) : file_(file) {
    std::wstring command = L"\"" + executable + L"\" --hold \"" + file + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (CreateProcessW(executable.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &info)) {
      UniqueHandle thread(info.hThread);
      process_.reset(info.hProcess);
      processId_ = info.dwProcessId;
    }
    held_ = testpaths::Eventually([&] { return fileio::FileExists(file_ + L".held"); });
  }
  ~FileHolder() {
    std::wstring ignored;
    fileio::WriteTextFileSafely(file_ + L".release", L"", ignored);
    if (process_) WaitForSingleObject(process_.get(), 10000);
  }
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;

  bool held() const { return held_; }
  DWORD processId() const { return processId_; }

 private:
  std::wstring file_;
  UniqueHandle process_;
  DWORD processId_ = 0;
  bool held_ = false;
};

// Profile folders of a scratch user, with HKEY_CURRENT_USER in a sandbox, no VS Code
// variables of the machine's own, and the program's texts in Korean.
class Sandbox {
 public:
  Sandbox() {
    profile = temp / L"Profile";
    appData = profile + L"\\AppData\\Roaming";
    localAppData = profile + L"\\AppData\\Local";
    programFiles = temp / L"Program Files";
    programFilesX86 = temp / L"Program Files (x86)";
    for (const auto& folder : {appData, localAppData, programFiles, programFilesX86}) MakeFolder(folder);
    environment.Set(L"USERPROFILE", profile);
    environment.Set(L"APPDATA", appData);
    environment.Set(L"LOCALAPPDATA", localAppData);
    environment.Set(L"ProgramFiles", programFiles);
    environment.Set(L"ProgramFiles(x86)", programFilesX86);
    environment.Set(L"VSCODE_PORTABLE", L"");
    environment.Set(L"VSCODE_EXTENSIONS", L"");
  }

  // The per-user installation folder of the stable edition.
  std::wstring UserInstallFolder() const { return localAppData + L"\\Programs\\Microsoft VS Code"; }
  std::wstring WorkspacesFolder() const { return localAppData + L"\\Quenlor\\VSCode\\Workspaces"; }

  testpaths::TempDir temp;
  testpaths::EnvironmentScope environment;
  testpaths::RegistrySandbox registry;
  testpaths::LanguageScope korean{i18n::kKorean};
  std::wstring profile, appData, localAppData, programFiles, programFilesX86;
};

}  // namespace vscodetest
