// A stand-in for VS Code's executable. The tests copy it into fake installations as
// Code.exe. Every start writes "last-run.txt" beside it (command line, working folder and
// environment, one "env=" line per variable). Started as a script host
// (ELECTRON_RUN_AS_NODE=1) on "<cli.js> --install-extension <vsix> --force --do-not-sync"
// it records the extension in extensions.json, as VS Code's command-line interface does.
// Marker files beside it change that: "fail" ends the script host with exit code 3,
// "hang" keeps it running (while "hanging" exists) until "unhang" appears.
// "--hold <file>" opens the file without sharing, writes "<file>.held" and keeps it open
// until "<file>.release" appears, like a window holding its state database.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "model/unique_handle.h"

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteFileAtomically(const std::wstring& path, const std::string& bytes) {
  std::wstring temporary = path + L".part";
  {
    UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
  MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::wstring Variable(const wchar_t* name) {
  wchar_t buffer[4096];
  DWORD length = GetEnvironmentVariableW(name, buffer, 4096);
  return length > 0 && length < 4096 ? std::wstring(buffer, length) : std::wstring();
}

void CreateFolders(const std::wstring& path) {
  for (size_t i = 3; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == L'\\') CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
  }
}

void Record(const std::wstring& folder) {
  std::string text = "command=" + Utf8(GetCommandLineW()) + "\n";
  wchar_t current[MAX_PATH];
  DWORD length = GetCurrentDirectoryW(MAX_PATH, current);
  text += "folder=" + Utf8(std::wstring(current, length)) + "\n";
  std::unique_ptr<wchar_t, decltype(&FreeEnvironmentStringsW)> block(GetEnvironmentStringsW(), &FreeEnvironmentStringsW);
  for (const wchar_t* entry = block.get(); entry != nullptr && *entry != L'\0'; entry += wcslen(entry) + 1) {
    text += "env=" + Utf8(entry) + "\n";
  }
  WriteFileAtomically(folder + L"\\last-run.txt", text);
}

int Hold(const std::wstring& file) {
  UniqueFile handle(CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return 4;
  WriteFileAtomically(file + L".held", "held");
  for (int i = 0; i < 600 && !Exists(file + L".release"); ++i) Sleep(100);
  return 0;
}

bool EndsWithIgnoringCase(const std::wstring& text, const std::wstring& tail) {
  return text.size() >= tail.size() &&
         CompareStringOrdinal(text.c_str() + text.size() - tail.size(), static_cast<int>(tail.size()), tail.c_str(),
                              static_cast<int>(tail.size()), TRUE) == CSTR_EQUAL;
}

std::wstring ExtensionsFolder(const std::wstring& folder, const std::wstring& executable) {
  if (std::wstring set = Variable(L"VSCODE_EXTENSIONS"); !set.empty()) return set;
  if (std::wstring portable = Variable(L"VSCODE_PORTABLE"); !portable.empty()) return portable + L"\\extensions";
  if (IsFolder(folder + L"\\data")) return folder + L"\\data\\extensions";
  bool insiders = executable.find(L"Insiders") != std::wstring::npos;
  return Variable(L"USERPROFILE") + (insiders ? L"\\.vscode-insiders" : L"\\.vscode") + L"\\extensions";
}

int InstallExtension(const std::wstring& folder, const std::wstring& executable, const std::vector<std::wstring>& args) {
  if (Exists(folder + L"\\fail")) return 3;
  if (Exists(folder + L"\\hang")) {
    WriteFileAtomically(folder + L"\\hanging", "hanging");
    for (int i = 0; i < 300 && !Exists(folder + L"\\unhang"); ++i) Sleep(100);
    DeleteFileW((folder + L"\\hanging").c_str());
    return 0;
  }
  if (args.size() != 6 || !EndsWithIgnoringCase(args[1], L"cli.js") || !Exists(args[1]) ||
      args[2] != L"--install-extension" || !Exists(args[3]) || args[4] != L"--force" || args[5] != L"--do-not-sync") {
    return 2;
  }
  std::wstring extensions = ExtensionsFolder(folder, executable);
  CreateFolders(extensions);
  WriteFileAtomically(extensions + L"\\extensions.json",
                      "[{\"identifier\":{\"id\":\"quenlor-local.project-session\"},\"version\":\"1.2.0\"}]");
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int count = 0;
  std::unique_ptr<wchar_t*, decltype(&LocalFree)> raw(CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
  std::vector<std::wstring> args(raw.get(), raw.get() + (raw ? count : 0));

  wchar_t image[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, image, MAX_PATH);
  std::wstring executable(image, length);
  std::wstring folder = executable.substr(0, executable.find_last_of(L'\\'));

  if (args.size() == 3 && args[1] == L"--hold") return Hold(args[2]);
  Record(folder);
  if (Variable(L"ELECTRON_RUN_AS_NODE") == L"1") return InstallExtension(folder, executable, args);
  return 0;
}
