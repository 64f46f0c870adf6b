// The session extension installer: the index check, finding VS Code's command-line
// script, and installations run through a fake VS Code.
#include <gtest/gtest.h>

#include <string>

#include "i18n/translate.h"
#include "vscode/installer.h"
#include "vscode/locator.h"
#include "vscode_fixture.h"

namespace {

using vscodetest::InstallFake;
using vscodetest::MakeFolder;
using vscodetest::ReadRun;
using vscodetest::Sandbox;
using vscodetest::WriteText;

const wchar_t kInstallFailed[] = L"VS Code의 Tavrilo 세션 확장을 설치하지 못했습니다.";

TEST(VsCodeInstaller, OnlyTheCarriedVersionCountsAsInstalled) {
  Sandbox sandbox;
  vscode::VsCodeInstall install;
  install.extensionsFolder = sandbox.temp / L"extensions";
  EXPECT_FALSE(vscode::IsInstalled(install)) << "a fresh VS Code has no extensions.json";
  MakeFolder(install.extensionsFolder);
  struct Case {
    const wchar_t* json;
    bool installed;
  };
  const Case cases[] = {
      {LR"([{"identifier": {"id": "Quenlor-Local.Project-Session"}, "version": "1.2.0"}])", true},
      {LR"([{"identifier": {"id": "ms-python.python"}, "version": "1.2.0"},
            {"identifier": {"id": "quenlor-local.project-session", "uuid": "x"}, "version": "1.2.0"}])", true},
      {LR"([{"identifier": {"id": "quenlor-local.project-session"}, "version": "1.1.0"}])", false},
      {LR"([{"identifier": {"id": "quenlor-local.project-session"}, "version": "1.2.0-pre"}])", false},
      {LR"([{"identifier": {"id": "quenlor-local.project-session"}}])", false},
      {LR"([{"identifier": "quenlor-local.project-session", "version": "1.2.0"}])", false},
      {LR"([{"id": "quenlor-local.project-session", "version": "1.2.0"}])", false},
      {LR"({"identifier": {"id": "quenlor-local.project-session"}, "version": "1.2.0"})", false},
      {LR"([{"identifier": {"id": "quenlor-local.project-session"}, "version": "1.2.0"},])", false},
      {L"[]", false},
  };
  for (const auto& c : cases) {
    WriteText(install.extensionsFolder + L"\\extensions.json", c.json);
    EXPECT_EQ(vscode::IsInstalled(install), c.installed) << c.json;
  }
}

TEST(VsCodeInstaller, FindsTheCommandLineScriptOrTheOneCodeCmdRuns) {
  Sandbox sandbox;
  const std::wstring folder = sandbox.temp / L"VSC";
  MakeFolder(folder + L"\\bin");
  EXPECT_EQ(vscode::FindInstallCommand(folder), L"");

  // Newer installations keep the script in a versioned folder that the launcher names
  // second, after the executable.
  const std::wstring versioned = folder + L"\\1a2b3c\\resources\\app\\out\\cli.js";
  MakeFolder(fileio::FolderPart(versioned));
  WriteText(versioned, L"");
  const wchar_t* launcher =
      L"@echo off\r\nsetlocal\r\nset VSCODE_DEV=\r\nset ELECTRON_RUN_AS_NODE=1\r\n"
      L"\"%~dp0..\\Code.exe\" \"%~dp0..\\1a2b3c\\resources\\app\\out\\cli.js\" %*\r\nendlocal\r\n";
  WriteText(folder + L"\\bin\\code-insiders.cmd", launcher);
  EXPECT_EQ(vscode::FindInstallCommand(folder), versioned) << "code-insiders.cmd when there is no code.cmd";

  WriteText(folder + L"\\bin\\code.cmd", L"\"%~dp0..\\Code.exe\" \"%~dp0..\\missing\\cli.js\" %*\r\n");
  EXPECT_EQ(vscode::FindInstallCommand(folder), L"") << "code.cmd names a script that is not there";
  WriteText(folder + L"\\bin\\code.cmd", L"\"%~dp0..\\Code.exe\" %*\r\n");
  EXPECT_EQ(vscode::FindInstallCommand(folder), L"") << "only one mention of the installation folder";
  WriteText(folder + L"\\bin\\code.cmd", L"%~dp0..\\Code.exe %~dp0..\\1a2b3c\\resources\\app\\out\\cli.js");
  EXPECT_EQ(vscode::FindInstallCommand(folder), versioned) << "unquoted to the end of the text";

  const std::wstring direct = folder + L"\\resources\\app\\out\\cli.js";
  MakeFolder(fileio::FolderPart(direct));
  WriteText(direct, L"");
  EXPECT_EQ(vscode::FindInstallCommand(folder), direct) << "the script beside the executable comes first";
}

TEST(VsCodeInstaller, InstallsThroughVsCodeRunAsNodeOnlyWhenNeeded) {
  Sandbox sandbox;
  const std::wstring exe = InstallFake(sandbox.UserInstallFolder());
  vscode::VsCodeInstall install = vscode::Complete(vscode::Edition::Stable, exe);
  const std::wstring packageFolder = sandbox.localAppData + L"\\Quenlor\\VSCode";
  MakeFolder(packageFolder);
  // An older version of ours is installed over.
  MakeFolder(install.extensionsFolder);
  WriteText(install.extensionsFolder + L"\\extensions.json",
            LR"([{"identifier": {"id": "quenlor-local.project-session"}, "version": "1.1.0"}])");

  std::wstring error;
  ASSERT_TRUE(vscode::EnsureInstalled(install, packageFolder, error)) << error;
  EXPECT_TRUE(vscode::IsInstalled(install));

  const std::wstring package = packageFolder + L"\\Tavrilo-Project-Session.vsix";
  std::string bytes;
  ASSERT_TRUE(fileio::ReadFileBytes(package, bytes, error));
  EXPECT_TRUE(bytes.starts_with("PK\x03\x04")) << "the package is the embedded zip";

  vscodetest::RunRecord run = ReadRun(exe);
  EXPECT_EQ(run.command, L"\"" + exe + L"\" \"" + sandbox.UserInstallFolder() +
                             L"\\resources\\app\\out\\cli.js\" --install-extension \"" + package +
                             L"\" --force --do-not-sync");
  EXPECT_TRUE(run.HasEntry(L"ELECTRON_RUN_AS_NODE=1"));
  EXPECT_EQ(run.folder, sandbox.UserInstallFolder()) << "run from the executable's folder";

  // Installed now: nothing runs the second time.
  DeleteFileW(vscodetest::RunRecordFile(exe).c_str());
  ASSERT_TRUE(vscode::EnsureInstalled(install, packageFolder, error)) << error;
  EXPECT_FALSE(fileio::FileExists(vscodetest::RunRecordFile(exe)));
}

TEST(VsCodeInstaller, FailuresNameTheirCause) {
  Sandbox sandbox;
  const std::wstring exe = InstallFake(sandbox.UserInstallFolder());
  vscode::VsCodeInstall install = vscode::Complete(vscode::Edition::Stable, exe);
  const std::wstring packageFolder = sandbox.temp / L"package";
  MakeFolder(packageFolder);
  std::wstring error;

  // The module given carries no package.
  vscode::InstallerOptions foreign;
  foreign.packageModule = GetModuleHandleW(L"kernel32.dll");
  EXPECT_FALSE(vscode::EnsureInstalled(install, packageFolder, error, foreign));
  EXPECT_EQ(error, L"Tavrilo 세션 확장 패키지를 찾을 수 없습니다.");

  // The package path is taken by a folder.
  MakeFolder(packageFolder + L"\\Tavrilo-Project-Session.vsix");
  EXPECT_FALSE(vscode::EnsureInstalled(install, packageFolder, error));
  EXPECT_EQ(error, L"Tavrilo 세션 확장 패키지를 저장하지 못했습니다.");
  RemoveDirectoryW((packageFolder + L"\\Tavrilo-Project-Session.vsix").c_str());

  // VS Code's script exits with an error.
  WriteText(sandbox.UserInstallFolder() + L"\\fail", L"");
  EXPECT_FALSE(vscode::EnsureInstalled(install, packageFolder, error));
  EXPECT_EQ(error, kInstallFailed);
  EXPECT_TRUE(fileio::FileExists(packageFolder + L"\\Tavrilo-Project-Session.vsix")) << "the package stays";
  DeleteFileW((sandbox.UserInstallFolder() + L"\\fail").c_str());

  // An installation without any command-line script.
  const std::wstring bare = InstallFake(sandbox.temp / L"Bare", L"Code.exe", false);
  EXPECT_FALSE(vscode::EnsureInstalled(vscode::Complete(vscode::Edition::Stable, bare), packageFolder, error));
  EXPECT_EQ(error, L"VS Code 확장 설치 명령을 찾을 수 없습니다.");

  // The executable is gone: the system says why.
  vscode::VsCodeInstall gone = install;
  gone.executable = sandbox.temp / L"Gone\\Code.exe";
  MakeFolder(sandbox.temp / L"Gone\\resources\\app\\out");
  WriteText(sandbox.temp / L"Gone\\resources\\app\\out\\cli.js", L"");
  error.clear();
  EXPECT_FALSE(vscode::EnsureInstalled(gone, packageFolder, error));
  EXPECT_FALSE(error.empty());
  EXPECT_NE(error, kInstallFailed);
}

TEST(VsCodeInstaller, AHangingInstallerIsAbandonedAtTheLimit) {
  Sandbox sandbox;
  const std::wstring exe = InstallFake(sandbox.UserInstallFolder());
  vscode::VsCodeInstall install = vscode::Complete(vscode::Edition::Stable, exe);
  WriteText(sandbox.UserInstallFolder() + L"\\hang", L"");
  EXPECT_EQ(vscode::kScriptHostTimeoutMs, 25000u);

  vscode::InstallerOptions options;
  options.timeoutMs = 1500;  // stands in for the 25 seconds
  std::wstring error;
  EXPECT_FALSE(vscode::EnsureInstalled(install, sandbox.temp.path(), error, options));
  EXPECT_EQ(error, kInstallFailed);
  EXPECT_TRUE(testpaths::Eventually([&] { return fileio::FileExists(sandbox.UserInstallFolder() + L"\\hanging"); }))
      << "the installer was left running, not waited for";
  EXPECT_FALSE(vscode::IsInstalled(install));

  WriteText(sandbox.UserInstallFolder() + L"\\unhang", L"");
  EXPECT_TRUE(testpaths::Eventually([&] { return !fileio::FileExists(sandbox.UserInstallFolder() + L"\\hanging"); }));
}

}  // namespace
