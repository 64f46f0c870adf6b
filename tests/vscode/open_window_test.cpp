// Finding the VS Code window that already shows a folder. The Restart Manager answers
// nothing under Wine, so the tests name the holding process through the seam; the lock
// itself and the image-path check are real.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vscode/locator.h"
#include "vscode/open_window.h"
#include "vscode_fixture.h"

namespace {

using vscodetest::FileHolder;
using vscodetest::InstallFake;
using vscodetest::MakeFolder;
using vscodetest::Sandbox;
using vscodetest::WriteText;

// A storage folder as VS Code makes one per opened folder or workspace.
std::wstring AddStorage(const vscode::VsCodeInstall& install, const std::wstring& name, const std::wstring& json) {
  const std::wstring folder = install.workspaceStorageFolder + L"\\" + name;
  MakeFolder(folder);
  WriteText(folder + L"\\workspace.json", json);
  WriteText(folder + L"\\state.vscdb", L"SQLite format 3");
  return folder + L"\\state.vscdb";
}

std::wstring FileUri(const std::wstring& path) {
  std::wstring uri = L"file:///";
  for (wchar_t c : path) {
    if (c == L'\\') uri += L'/';
    else if (c == L' ') uri += L"%20";
    else if (c == L':') uri += L"%3A";
    else uri += c;
  }
  return uri;
}

TEST(VsCodeOpenWindow, AWindowOnTheFolderWinsOverOneOnAWorkspaceFile) {
  Sandbox sandbox;
  const std::wstring exe = InstallFake(sandbox.UserInstallFolder(), L"Code.exe", false);
  const vscode::VsCodeInstall install = vscode::Complete(vscode::Edition::Stable, exe);
  const std::wstring project = sandbox.temp / L"Work\\My Proj";
  MakeFolder(project);
  const std::wstring workspaceFile = sandbox.temp / L"multi.code-workspace";
  WriteText(workspaceFile, L"{\"folders\": [{\"path\": \"Work/My Proj\"}, {\"path\": \"Other\"}]}");

  AddStorage(install, L"0-other", L"{\"folder\": \"" + FileUri(sandbox.temp / L"Work") + L"\"}");
  const std::wstring viaWorkspace =
      AddStorage(install, L"1-workspace", L"{\"workspace\": \"" + FileUri(workspaceFile) + L"\"}");
  const std::wstring direct = AddStorage(install, L"2-folder", L"{\"folder\": \"" + FileUri(project) + L"/\"}");
  AddStorage(install, L"3-broken", L"{\"folder\": ");

  int asked = 0;
  std::vector<DWORD> holders;
  vscode::FileHolderQuery query = [&](const std::wstring&) {
    ++asked;
    return holders;
  };
  EXPECT_FALSE(vscode::FindOpenWindow(install, project, query)) << "nothing is open";
  EXPECT_EQ(asked, 0) << "files nobody holds need no Restart Manager";

  FileHolder workspaceWindow(exe, viaWorkspace);
  ASSERT_TRUE(workspaceWindow.held());
  holders = {workspaceWindow.processId()};
  auto found = vscode::FindOpenWindow(install, project, query);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->target, workspaceFile);
  EXPECT_EQ(found->processId, workspaceWindow.processId());

  FileHolder folderWindow(exe, direct);
  ASSERT_TRUE(folderWindow.held());
  holders = {GetCurrentProcessId(), folderWindow.processId()};
  found = vscode::FindOpenWindow(install, project + L"\\", query);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->target, project + L"\\") << "the folder as VS Code names it";
  EXPECT_EQ(found->processId, folderWindow.processId());

  // Held, but by a program that is not this installation's executable.
  holders = {GetCurrentProcessId()};
  EXPECT_FALSE(vscode::FindOpenWindow(install, project, query));
  vscode::VsCodeInstall insiders = install;
  insiders.executable = sandbox.UserInstallFolder() + L"\\Code - Insiders.exe";
  holders = {folderWindow.processId(), workspaceWindow.processId()};
  EXPECT_FALSE(vscode::FindOpenWindow(insiders, project, query));

  vscode::VsCodeInstall noStorage = install;
  noStorage.workspaceStorageFolder.clear();
  EXPECT_FALSE(vscode::FindOpenWindow(noStorage, project, query));
}

TEST(VsCodeOpenWindow, RestartManagerFindsNoHolderOfAFreeFile) {
  Sandbox sandbox;
  const std::wstring file = sandbox.temp / L"state.vscdb";
  WriteText(file, L"x");
  EXPECT_TRUE(vscode::RestartManagerHolders(file).empty());
  EXPECT_EQ(vscode::HeldOpenBy(file, L"C:\\Code.exe", vscode::RestartManagerHolders), 0u);
  EXPECT_EQ(vscode::HeldOpenBy(sandbox.temp / L"missing.vscdb", L"C:\\Code.exe", vscode::RestartManagerHolders), 0u);
}

}  // namespace
