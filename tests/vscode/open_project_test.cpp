// Opening a project in a fake VS Code end to end: the folder rules, the failures, the
// command line and environment of the new window, and the reuse of an open window.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/json.h"
#include "vscode/installer.h"
#include "vscode/open_project.h"
#include "vscode_fixture.h"

namespace {

using vscodetest::FileHolder;
using vscodetest::InstallFake;
using vscodetest::MakeFolder;
using vscodetest::RunRecord;
using vscodetest::Sandbox;
using vscodetest::WriteText;

const wchar_t kFolderMissing[] = L"프로젝트 폴더를 찾을 수 없습니다.\n";
const std::wstring kWindowArguments = L" --new-window --skip-add-to-recently-opened ";

TEST(VsCodeOpenProject, LaunchFolderDropsTrailingSeparatorsButNotARoot) {
  Sandbox sandbox;
  const std::wstring project = sandbox.temp / L"Work\\Proj";
  MakeFolder(project);
  WriteText(sandbox.temp / L"file.txt", L"");
  struct Case {
    std::wstring location;
    bool ok;
    std::wstring result;  // the folder, or the message
  };
  const Case cases[] = {
      {project + L"\\", true, project},
      {project + L"\\\\/", true, project},
      {sandbox.temp / L"Work\\.\\Proj", true, project},
      {L"C:\\", true, L"C:\\"},
      {L"C:/", true, L"C:\\"},
      {L"", false, L"프로젝트 관리에서 작업 폴더를 지정하세요."},
      {sandbox.temp / L"Work\\Missing\\", false, kFolderMissing + (sandbox.temp / L"Work\\Missing\\")},
      {sandbox.temp / L"file.txt", false, kFolderMissing + (sandbox.temp / L"file.txt")},
  };
  for (const auto& c : cases) {
    std::wstring folder;
    std::wstring error;
    EXPECT_EQ(vscode::LaunchFolder(c.location, folder, error), c.ok) << c.location;
    EXPECT_EQ(c.ok ? folder : error, c.result) << c.location;
  }
}

Project ProjectAt(const std::wstring& location, LastAiSession session = {}) {
  Project project;
  project.title = L"Proj";
  project.location = location;
  project.lastAiSession = std::move(session);
  return project;
}

TEST(VsCodeOpenProject, FailsWithoutVsCodeOrUserDataFolder) {
  Sandbox sandbox;
  const std::wstring project = sandbox.temp / L"Proj";
  MakeFolder(project);
  vscode::LaunchResult result = vscode::OpenProject(ProjectAt(L""));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message, L"프로젝트 관리에서 작업 폴더를 지정하세요.");

  result = vscode::OpenProject(ProjectAt(project));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message, L"VS Code 실행 파일을 찾을 수 없습니다.");

  InstallFake(sandbox.programFiles + L"\\Microsoft VS Code");
  testpaths::EnvironmentScope environment;
  environment.Set(L"LOCALAPPDATA", L"");
  result = vscode::OpenProject(ProjectAt(project));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message, L"Windows 사용자 데이터 폴더를 찾을 수 없습니다.");
  EXPECT_FALSE(result.reusedWindow);
}

struct Launch {
  vscode::LaunchResult result;
  RunRecord run;
  std::wstring workspaceFile;
};

// Opens the project and waits for the fake editor's window start.
Launch OpenAndWait(const std::wstring& exe, const Project& project, const vscode::OpenOptions& options = {}) {
  DeleteFileW(vscodetest::RunRecordFile(exe).c_str());
  Launch launch;
  launch.result = vscode::OpenProject(project, options);
  if (!launch.result.ok) return launch;
  // An installation run as node came first and wrote its record too; the window start
  // is the one with the window arguments.
  EXPECT_TRUE(testpaths::Eventually([&] {
    return vscodetest::ReadRun(exe).command.find(L"--new-window") != std::wstring::npos;
  }));
  launch.run = vscodetest::ReadRun(exe);
  size_t quote = launch.run.command.rfind(L" \"");
  if (quote != std::wstring::npos) {
    launch.workspaceFile = launch.run.command.substr(quote + 2, launch.run.command.size() - quote - 3);
  }
  return launch;
}

TEST(VsCodeOpenProject, AClaudeConversationOpensWithItsModelAndARestoreRequest) {
  Sandbox sandbox;
  const std::wstring exe = InstallFake(sandbox.UserInstallFolder());
  const std::wstring project = sandbox.temp / L"Work\\Proj";
  MakeFolder(project);
  // The program itself may run from a VS Code terminal.
  const std::wstring extensions = sandbox.temp / L"ext";
  testpaths::EnvironmentScope environment;
  environment.Set(L"VSCODE_IPC_HOOK_CLI", L"\\\\.\\pipe\\vscode-ipc");
  environment.Set(L"VSCODE_GIT_ASKPASS_NODE", L"C:\\node.exe");
  environment.Set(L"ELECTRON_RUN_AS_NODE", L"1");
  environment.Set(L"VSCODE_EXTENSIONS", extensions);
  environment.Set(L"ANTHROPIC_MODEL", L"from-the-terminal");

  LastAiSession session{kAiSourceClaude, L"3f2504e0-4f89-11d3-9a0c-0305e82c3301", L"claude-sonnet-4",
                        L"2024-05-01T10:00:00Z", L""};
  Launch launch = OpenAndWait(exe, ProjectAt(project + L"\\", session));
  ASSERT_TRUE(launch.result.ok) << launch.result.message;
  EXPECT_EQ(launch.result.message, L"");
  EXPECT_FALSE(launch.result.reusedWindow);

  EXPECT_TRUE(fileio::FileExists(extensions + L"\\extensions.json")) << "the session extension was installed";
  EXPECT_TRUE(fileio::FileExists(sandbox.localAppData + L"\\Quenlor\\VSCode\\Tavrilo-Project-Session.vsix"));

  EXPECT_EQ(launch.run.command,
            L"\"" + exe + L"\"" + kWindowArguments + L"--preserve-env \"" + launch.workspaceFile + L"\"");
  EXPECT_EQ(fileio::FolderPart(fileio::FolderPart(launch.workspaceFile)), sandbox.WorkspacesFolder());
  EXPECT_EQ(launch.run.folder, sandbox.UserInstallFolder());
  EXPECT_TRUE(launch.run.HasEntry(L"ANTHROPIC_MODEL=claude-sonnet-4"));
  EXPECT_FALSE(launch.run.HasEntry(L"ANTHROPIC_MODEL=from-the-terminal"));
  EXPECT_TRUE(launch.run.HasEntry(L"VSCODE_EXTENSIONS=" + extensions));
  EXPECT_TRUE(launch.run.HasVariable(L"USERPROFILE"));
  EXPECT_FALSE(launch.run.HasVariable(L"VSCODE_IPC_HOOK_CLI"));
  EXPECT_FALSE(launch.run.HasVariable(L"VSCODE_GIT_ASKPASS_NODE"));
  EXPECT_FALSE(launch.run.HasVariable(L"ELECTRON_RUN_AS_NODE"));

  JsonValue request;
  ASSERT_TRUE(fileio::ReadJsonFile(fileio::FolderPart(launch.workspaceFile) + L"\\restore.json", false, request));
  EXPECT_EQ(json::StringOr(request, L"source"), L"VS Code Claude Code");
  EXPECT_EQ(json::StringOr(request, L"folder"), project) << "without the trailing backslash";
}

TEST(VsCodeOpenProject, OnlyAPlainClaudeModelIsPassed) {
  Sandbox sandbox;
  const std::wstring exe = InstallFake(sandbox.UserInstallFolder());
  vscode::VsCodeInstall install = vscode::Complete(vscode::Edition::Stable, exe);
  MakeFolder(install.extensionsFolder);
  WriteText(install.extensionsFolder + L"\\extensions.json",
            LR"([{"identifier": {"id": "quenlor-local.project-session"}, "version": "1.2.0"}])");
  const std::wstring project = sandbox.temp / L"Proj";
  MakeFolder(project);

  const LastAiSession sessions[] = {
      {kAiSourceClaude, L"s1", L"claude sonnet 4", L"2024-05-01T10:00:00Z", L""},
      {kAiSourceCodex, L"s2", L"gpt-5", L"2024-05-01T10:00:00Z", L""},
      {kAiSourceChat, L"s3", L"gpt-4o", L"2024-05-01T10:00:00Z", L"C:\\x\\chatSessions\\s3.json"},
  };
  std::wstring firstWorkspace;
  for (const auto& session : sessions) {
    SCOPED_TRACE(session.model);
    Launch launch = OpenAndWait(exe, ProjectAt(project, session));
    ASSERT_TRUE(launch.result.ok) << launch.result.message;
    EXPECT_EQ(launch.run.command, L"\"" + exe + L"\"" + kWindowArguments + L"\"" + launch.workspaceFile + L"\"");
    EXPECT_FALSE(launch.run.HasVariable(L"ANTHROPIC_MODEL"));
    if (firstWorkspace.empty()) firstWorkspace = launch.workspaceFile;
    EXPECT_EQ(launch.workspaceFile, firstWorkspace) << "the project keeps its generated workspace";
    JsonValue request;
    ASSERT_TRUE(fileio::ReadJsonFile(fileio::FolderPart(launch.workspaceFile) + L"\\restore.json", false, request));
    EXPECT_EQ(json::StringOr(request, L"session"), session.session);
    EXPECT_EQ(json::StringOr(request, L"workspace"), session.workspace);
  }

  // Without a conversation the request of the last opening goes.
  Launch plain = OpenAndWait(exe, ProjectAt(project));
  ASSERT_TRUE(plain.result.ok) << plain.result.message;
  EXPECT_EQ(plain.workspaceFile, firstWorkspace);
  EXPECT_FALSE(fileio::FileExists(fileio::FolderPart(firstWorkspace) + L"\\restore.json"));
}

TEST(VsCodeOpenProject, AFailedInstallOpensTheWindowWithoutARequest) {
  Sandbox sandbox;
  const std::wstring exe = InstallFake(sandbox.UserInstallFolder());
  WriteText(sandbox.UserInstallFolder() + L"\\fail", L"");
  const std::wstring project = sandbox.temp / L"Proj";
  MakeFolder(project);

  Launch launch = OpenAndWait(exe, ProjectAt(project, {kAiSourceCodex, L"s", L"", L"2024-05-01T10:00:00Z", L""}));
  ASSERT_TRUE(launch.result.ok);
  EXPECT_EQ(launch.result.message, L"VS Code의 Tavrilo 세션 확장을 설치하지 못했습니다.") << "shown as a warning";
  EXPECT_FALSE(launch.workspaceFile.empty());
  EXPECT_FALSE(fileio::FileExists(fileio::FolderPart(launch.workspaceFile) + L"\\restore.json"));

  // No command-line script at all: the installer's own message.
  DeleteFileW((sandbox.UserInstallFolder() + L"\\resources\\app\\out\\cli.js").c_str());
  launch = OpenAndWait(exe, ProjectAt(project, {kAiSourceCodex, L"s", L"", L"2024-05-01T10:00:00Z", L""}));
  ASSERT_TRUE(launch.result.ok);
  EXPECT_EQ(launch.result.message, L"VS Code 확장 설치 명령을 찾을 수 없습니다.");
}

TEST(VsCodeOpenProject, AnOpenWindowIsBroughtForwardAndNothingIsWritten) {
  Sandbox sandbox;
  const std::wstring exe = InstallFake(sandbox.UserInstallFolder());
  const std::wstring project = sandbox.temp / L"Proj";
  MakeFolder(project);
  const vscode::VsCodeInstall install = vscode::Complete(vscode::Edition::Stable, exe);
  const std::wstring storage = install.workspaceStorageFolder + L"\\a1b2";
  MakeFolder(storage);
  std::wstring uri = L"file:///";
  for (wchar_t c : project) uri += c == L'\\' ? L'/' : c;
  WriteText(storage + L"\\workspace.json", L"{\"folder\": \"" + uri + L"\"}");
  WriteText(storage + L"\\state.vscdb", L"");
  FileHolder window(exe, storage + L"\\state.vscdb");
  ASSERT_TRUE(window.held());

  vscode::OpenOptions options;
  options.holders = [&](const std::wstring&) { return std::vector<DWORD>{window.processId()}; };
  Launch launch = OpenAndWait(exe, ProjectAt(project, {kAiSourceCodex, L"s", L"", L"2024-05-01T10:00:00Z", L""}), options);
  ASSERT_TRUE(launch.result.ok) << launch.result.message;
  EXPECT_TRUE(launch.result.reusedWindow);
  EXPECT_EQ(launch.result.message, L"");
  EXPECT_EQ(launch.run.command, L"\"" + exe + L"\"" + kWindowArguments + L"\"" + project + L"\"");
  EXPECT_FALSE(fileio::FolderExists(sandbox.localAppData + L"\\Quenlor")) << "no workspace, request or package";
}

}  // namespace
