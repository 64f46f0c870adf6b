// Finding VS Code: App Paths in both hives, the standard folders, the portable layouts.
#include <gtest/gtest.h>

#include <windows.h>

#include "model/unique_handle.h"
#include "vscode/locator.h"
#include "vscode/path_text.h"
#include "vscode_fixture.h"

namespace {

using vscode::Edition;
using vscode::JoinPath;
using vscodetest::MakeFolder;
using vscodetest::Sandbox;
using vscodetest::WriteText;

TEST(VsCodePaths, JoinPutsExactlyOneSeparatorBetweenParts) {
  struct Case {
    const wchar_t* left;
    const wchar_t* right;
    const wchar_t* joined;
  };
  const Case cases[] = {
      {L"C:\\Work", L"Proj", L"C:\\Work\\Proj"},   {L"C:\\Work\\", L"Proj", L"C:\\Work\\Proj"},
      {L"C:/Work/", L"Proj", L"C:/Work/Proj"},     {L"C:", L"Proj", L"C:Proj"},
      {L"", L"Proj", L"Proj"},                     {L"\\\\srv\\share", L"x", L"\\\\srv\\share\\x"},
      {L"C:\\", L"Code.exe", L"C:\\Code.exe"},
  };
  for (const auto& c : cases) EXPECT_EQ(JoinPath(c.left, c.right), c.joined) << c.left << " + " << c.right;
  EXPECT_EQ(JoinPath(L"D:\\VSC\\data", L"user-data", L"User"), L"D:\\VSC\\data\\user-data\\User");
}

TEST(VsCodeLocator, CompleteDerivesFoldersFromProfileOrPortableData) {
  Sandbox sandbox;
  const std::wstring exe = sandbox.temp / L"VSC\\Code.exe";
  const std::wstring portableExe = sandbox.temp / L"Portable\\Code.exe";
  MakeFolder(sandbox.temp / L"Portable\\data");

  struct Case {
    const char* name;
    Edition edition;
    std::wstring executable;
    std::wstring portable, extensions, appData;
    std::wstring wantExtensions, wantStorage;
  };
  const Case cases[] = {
      {"profile", Edition::Stable, exe, L"", L"", sandbox.appData, sandbox.profile + L"\\.vscode\\extensions",
       sandbox.appData + L"\\Code\\User\\workspaceStorage"},
      {"insiders profile", Edition::Insiders, exe, L"", L"", sandbox.appData,
       sandbox.profile + L"\\.vscode-insiders\\extensions",
       sandbox.appData + L"\\Code - Insiders\\User\\workspaceStorage"},
      {"VSCODE_PORTABLE beats APPDATA", Edition::Stable, exe, L"D:\\VSC\\data", L"", sandbox.appData,
       L"D:\\VSC\\data\\extensions", L"D:\\VSC\\data\\user-data\\User\\workspaceStorage"},
      {"VSCODE_EXTENSIONS beats portable", Edition::Stable, exe, L"D:\\VSC\\data", L"E:\\ext", sandbox.appData,
       L"E:\\ext", L"D:\\VSC\\data\\user-data\\User\\workspaceStorage"},
      {"data folder beside the executable", Edition::Stable, portableExe, L"", L"", sandbox.appData,
       sandbox.temp / L"Portable\\data\\extensions", sandbox.temp / L"Portable\\data\\user-data\\User\\workspaceStorage"},
      {"no APPDATA", Edition::Stable, exe, L"", L"", L"", sandbox.profile + L"\\.vscode\\extensions", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testpaths::EnvironmentScope environment;
    environment.Set(L"VSCODE_PORTABLE", c.portable);
    environment.Set(L"VSCODE_EXTENSIONS", c.extensions);
    environment.Set(L"APPDATA", c.appData);
    vscode::VsCodeInstall install = vscode::Complete(c.edition, c.executable);
    EXPECT_EQ(install.executable, c.executable);
    EXPECT_EQ(install.extensionsFolder, c.wantExtensions);
    EXPECT_EQ(install.workspaceStorageFolder, c.wantStorage);
  }
}

// HKEY_LOCAL_MACHINE pointed at a scratch key too, for the App Paths of both hives.
class MachineHiveSandbox {
 public:
  MachineHiveSandbox() {
    HKEY raw = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"MachineHive", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr);
    key_.reset(raw);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, key_.get());
  }
  ~MachineHiveSandbox() { RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr); }
  MachineHiveSandbox(const MachineHiveSandbox&) = delete;
  MachineHiveSandbox& operator=(const MachineHiveSandbox&) = delete;

 private:
  UniqueRegKey key_;
};

void RegisterAppPath(HKEY hive, const wchar_t* executableName, const std::wstring& value, DWORD type = REG_SZ) {
  std::wstring subKey = std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + executableName;
  HKEY raw = nullptr;
  ASSERT_EQ(RegCreateKeyExW(hive, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr), ERROR_SUCCESS);
  UniqueRegKey key(raw);
  ASSERT_EQ(RegSetValueExW(key.get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

TEST(VsCodeLocator, AppPathsOfTheUserWinOnlyWhenTheirFileExists) {
  Sandbox sandbox;
  MachineHiveSandbox machine;
  const std::wstring userExe = sandbox.temp / L"User\\Code.exe";
  const std::wstring machineExe = sandbox.temp / L"Machine\\Code.exe";
  MakeFolder(sandbox.temp / L"User");
  MakeFolder(sandbox.temp / L"Machine");
  WriteText(machineExe, L"");
  // Installed per user and per machine; a standard folder too, which App Paths beat.
  MakeFolder(sandbox.UserInstallFolder());
  WriteText(sandbox.UserInstallFolder() + L"\\Code.exe", L"");

  RegisterAppPath(HKEY_CURRENT_USER, L"Code.exe", userExe);
  RegisterAppPath(HKEY_LOCAL_MACHINE, L"Code.exe", machineExe);
  EXPECT_EQ(vscode::Locate(Edition::Stable).executable, machineExe) << "a registered missing file falls through";

  WriteText(userExe, L"");
  vscode::VsCodeInstall found = vscode::Locate(Edition::Stable);
  EXPECT_EQ(found.executable, userExe);
  EXPECT_EQ(found.extensionsFolder, sandbox.profile + L"\\.vscode\\extensions") << "completed";

  // A folder registered by mistake is no executable.
  RegisterAppPath(HKEY_CURRENT_USER, L"Code.exe", sandbox.temp.path());
  EXPECT_EQ(vscode::Locate(Edition::Stable).executable, machineExe);

  // Environment references are expanded.
  RegisterAppPath(HKEY_CURRENT_USER, L"Code - Insiders.exe", L"%LOCALAPPDATA%\\Insiders\\Code - Insiders.exe",
                  REG_EXPAND_SZ);
  MakeFolder(sandbox.localAppData + L"\\Insiders");
  WriteText(sandbox.localAppData + L"\\Insiders\\Code - Insiders.exe", L"");
  EXPECT_EQ(vscode::Locate(Edition::Insiders).executable, sandbox.localAppData + L"\\Insiders\\Code - Insiders.exe");
}

TEST(VsCodeLocator, StandardFoldersAreSearchedPerUserFirst) {
  Sandbox sandbox;
  EXPECT_FALSE(vscode::Locate(Edition::Stable).found()) << "nothing installed anywhere";
  EXPECT_TRUE(vscode::Locate(Edition::Stable).extensionsFolder.empty());

  const std::wstring x86 = sandbox.programFilesX86 + L"\\Microsoft VS Code\\Code.exe";
  const std::wstring machine = sandbox.programFiles + L"\\Microsoft VS Code\\Code.exe";
  const std::wstring user = sandbox.UserInstallFolder() + L"\\Code.exe";
  const std::wstring insiders = sandbox.programFiles + L"\\Microsoft VS Code Insiders\\Code - Insiders.exe";
  MakeFolder(sandbox.programFilesX86 + L"\\Microsoft VS Code");
  WriteText(x86, L"");
  EXPECT_EQ(vscode::Locate(Edition::Stable).executable, x86);
  MakeFolder(sandbox.programFiles + L"\\Microsoft VS Code");
  WriteText(machine, L"");
  EXPECT_EQ(vscode::Locate(Edition::Stable).executable, machine);
  MakeFolder(sandbox.UserInstallFolder());
  WriteText(user, L"");
  EXPECT_EQ(vscode::Locate(Edition::Stable).executable, user);

  EXPECT_FALSE(vscode::Locate(Edition::Insiders).found()) << "the editions are looked up on their own";
  MakeFolder(sandbox.programFiles + L"\\Microsoft VS Code Insiders");
  WriteText(insiders, L"");
  vscode::VsCodeInstall found = vscode::Locate(Edition::Insiders);
  EXPECT_EQ(found.executable, insiders);
  EXPECT_EQ(found.workspaceStorageFolder, sandbox.appData + L"\\Code - Insiders\\User\\workspaceStorage");

  // An unset variable is skipped, not read as the current folder.
  testpaths::EnvironmentScope environment;
  environment.Set(L"LOCALAPPDATA", L"");
  EXPECT_EQ(vscode::Locate(Edition::Stable).executable, machine);
}

}  // namespace
