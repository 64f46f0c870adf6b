#include "vscode/locator.h"

#include <windows.h>

#include <vector>

#include "model/file_io.h"
#include "model/unique_handle.h"
#include "vscode/path_text.h"

namespace vscode {

namespace {

struct EditionNames {
  const wchar_t* executable;
  const wchar_t* installFolder;
  const wchar_t* userDataFolder;
  const wchar_t* extensionsFolder;
};

const EditionNames& Names(Edition edition) {
  static const EditionNames stable{L"Code.exe", L"Microsoft VS Code", L"Code", L".vscode"};
  static const EditionNames insiders{L"Code - Insiders.exe", L"Microsoft VS Code Insiders", L"Code - Insiders",
                                     L".vscode-insiders"};
  return edition == Edition::Stable ? stable : insiders;
}

constexpr DWORD kRegistryValueBytes = 65536;
constexpr DWORD kSearchPathUnits = 32768;

// The App Paths key's default value, with environment references expanded.
std::wstring AppPathsValue(HKEY hive, const wchar_t* executableName) {
  std::wstring subKey = std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + executableName;
  HKEY raw = nullptr;
  if (RegOpenKeyExW(hive, subKey.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return {};
  UniqueRegKey key(raw);
  std::vector<wchar_t> buffer(kRegistryValueBytes / sizeof(wchar_t) + 1, L'\0');
  DWORD type = 0;
  DWORD bytes = kRegistryValueBytes;
  if (RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
      ERROR_SUCCESS) {
    return {};
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
  // A stored value need not end with a NUL; the spare unit at the end supplies one.
  std::wstring value(buffer.data(), wcsnlen(buffer.data(), bytes / sizeof(wchar_t)));
  if (type == REG_SZ) return value;
  DWORD needed = ExpandEnvironmentStringsW(value.c_str(), nullptr, 0);
  if (needed == 0) return {};
  std::wstring expanded(needed, L'\0');
  DWORD written = ExpandEnvironmentStringsW(value.c_str(), expanded.data(), needed);
  if (written == 0 || written > needed) return {};
  expanded.resize(written - 1);
  return expanded;
}

}  // namespace

const wchar_t* ExecutableName(Edition edition) { return Names(edition).executable; }

VsCodeInstall Locate(Edition edition) {
  const EditionNames& names = Names(edition);
  for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    std::wstring registered = AppPathsValue(hive, names.executable);
    if (!registered.empty() && fileio::FileExists(registered)) return Complete(edition, registered);
  }

  std::wstring localPrograms = EnvironmentValue(L"LOCALAPPDATA");
  if (!localPrograms.empty()) localPrograms = JoinPath(localPrograms, L"Programs");
  for (const std::wstring& base :
       {localPrograms, EnvironmentValue(L"ProgramFiles"), EnvironmentValue(L"ProgramFiles(x86)")}) {
    if (base.empty()) continue;
    std::wstring candidate = JoinPath(base, names.installFolder, names.executable);
    if (fileio::FileExists(candidate)) return Complete(edition, candidate);
  }

  std::vector<wchar_t> found(kSearchPathUnits, L'\0');
  DWORD length = SearchPathW(nullptr, names.executable, nullptr, kSearchPathUnits, found.data(), nullptr);
  if (length != 0 && length < kSearchPathUnits) return Complete(edition, std::wstring(found.data(), length));
  return {};
}

VsCodeInstall Complete(Edition edition, const std::wstring& executable) {
  const EditionNames& names = Names(edition);
  VsCodeInstall install;
  install.executable = executable;
  install.extensionsFolder = EnvironmentValue(L"VSCODE_EXTENSIONS");

  std::wstring portable = EnvironmentValue(L"VSCODE_PORTABLE");
  if (portable.empty()) {
    std::wstring besideExecutable = JoinPath(fileio::FolderPart(executable), L"data");
    if (fileio::FolderExists(besideExecutable)) portable = besideExecutable;
  }
  if (install.extensionsFolder.empty()) {
    install.extensionsFolder = portable.empty()
                                   ? JoinPath(EnvironmentValue(L"USERPROFILE"), names.extensionsFolder, L"extensions")
                                   : JoinPath(portable, L"extensions");
  }

  std::wstring userData;
  if (!portable.empty()) {
    userData = JoinPath(portable, L"user-data");
  } else if (std::wstring appData = EnvironmentValue(L"APPDATA"); !appData.empty()) {
    userData = JoinPath(appData, names.userDataFolder);
  }
  if (!userData.empty()) install.workspaceStorageFolder = JoinPath(userData, L"User", L"workspaceStorage");
  return install;
}

}  // namespace vscode
