// The generated workspace and restore request: where they go, what they hold, and when a
// generated folder is reused.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "aisync/folder_match.h"
#include "i18n/language.h"
#include "model/json.h"
#include "support/language_scope.h"
#include "vscode/open_window.h"
#include "vscode/workspace.h"
#include "vscode_fixture.h"

namespace {

using vscodetest::MakeFolder;
using vscodetest::ReadText;
using vscodetest::Sandbox;
using vscodetest::WriteText;

LastAiSession ClaudeSession() {
  return LastAiSession{kAiSourceClaude, L"3f2504e0-4f89-11d3-9a0c-0305e82c3301", L"claude-sonnet-4",
                       L"2024-05-01T10:00:00Z", L""};
}

std::wstring Base(const Sandbox& sandbox) { return sandbox.localAppData + L"\\Quenlor\\VSCode"; }

TEST(VsCodeWorkspace, NewWorkspaceGoesIntoAGuidFolderWithTheRequestBesideIt) {
  Sandbox sandbox;
  testpaths::LanguageScope english(i18n::kEnglish);
  const std::wstring project = sandbox.temp / L"Work\\Proj";
  MakeFolder(project);

  std::wstring error;
  std::wstring file = vscode::PrepareWorkspace(Base(sandbox), project, ClaudeSession(), error);
  ASSERT_FALSE(file.empty()) << error;
  const std::filesystem::path path(file);
  EXPECT_EQ(path.filename().wstring(), L"Proj.code-workspace");
  EXPECT_EQ(path.parent_path().parent_path().wstring(), sandbox.WorkspacesFolder());
  // The form the session extension accepts, as StringFromGUID2 writes it.
  EXPECT_TRUE(std::regex_match(path.parent_path().filename().wstring(),
                               std::wregex(LR"([0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12})")))
      << path.parent_path().filename().wstring();

  std::string bytes;
  ASSERT_TRUE(fileio::ReadFileBytes(file, bytes, error));
  std::string escaped;
  for (wchar_t c : project) {
    if (c == L'\\') escaped += "\\\\";
    else escaped.push_back(static_cast<char>(c));
  }
  EXPECT_EQ(bytes, "{\n  \"folders\": [\n    {\n      \"path\": \"" + escaped + "\"\n    }\n  ]\n}\n");

  JsonValue request;
  ASSERT_TRUE(fileio::ReadJsonFile((path.parent_path() / L"restore.json").wstring(), false, request));
  ASSERT_TRUE(request.IsObject());
  std::vector<std::wstring> keys;
  for (const auto& member : request.members) keys.push_back(member.first);
  EXPECT_EQ(keys, (std::vector<std::wstring>{L"source", L"session", L"model", L"workspace", L"folder", L"messages"}));
  EXPECT_EQ(json::StringOr(request, L"source"), L"VS Code Claude Code");
  EXPECT_EQ(json::StringOr(request, L"session"), L"3f2504e0-4f89-11d3-9a0c-0305e82c3301");
  EXPECT_EQ(json::StringOr(request, L"model"), L"claude-sonnet-4");
  EXPECT_EQ(json::StringOr(request, L"folder"), project);
  const JsonValue* messages = json::Lookup(request, L"messages");
  ASSERT_NE(messages, nullptr);
  ASSERT_EQ(messages->members.size(), 4u);
  EXPECT_EQ(messages->members[0].first, L"chatFile");
  EXPECT_EQ(messages->members[0].second.text, L"Chat session file is unavailable.");
  EXPECT_EQ(messages->members[1].second.text, L"Claude Code extension is unavailable.");
  EXPECT_EQ(messages->members[2].first, L"codexExtension");
  EXPECT_EQ(messages->members[2].second.text, L"Codex extension is unavailable.");
  EXPECT_EQ(messages->members[3].first, L"openFailed");
  EXPECT_EQ(messages->members[3].second.text, L"Tavrilo: Could not open the AI conversation.");
}

TEST(VsCodeWorkspace, TheSameProjectReusesItsFolderAndDropsAStaleRequest) {
  Sandbox sandbox;
  const std::wstring project = sandbox.temp / L"Work\\Proj";
  MakeFolder(project);
  std::wstring error;
  std::wstring first = vscode::PrepareWorkspace(Base(sandbox), project, ClaudeSession(), error);
  ASSERT_FALSE(first.empty()) << error;
  const std::wstring request = fileio::FolderPart(first) + L"\\restore.json";
  ASSERT_TRUE(fileio::FileExists(request));
  // Someone's edit of the generated file survives: it is reused, not rewritten.
  std::wstring forward = project;
  for (wchar_t& c : forward) c = c == L'\\' ? L'/' : c;
  WriteText(first, L"{\n  // kept\n  \"folders\": [{\"path\": \"" + forward + L"\"},],\n}\n");
  const std::wstring edited = ReadText(first);

  // Another spelling of the same folder; no conversation this time.
  std::wstring upper = project;
  for (wchar_t& c : upper) c = static_cast<wchar_t>(towupper(c));
  std::wstring second = vscode::PrepareWorkspace(Base(sandbox), upper, LastAiSession{}, error);
  EXPECT_EQ(LowerCase(second), LowerCase(first)) << "the same file, named after the folder as given";
  EXPECT_EQ(ReadText(first), edited);
  EXPECT_FALSE(fileio::FileExists(request)) << "a request without a conversation would reopen an old one";

  size_t folders = 0;
  for ([[maybe_unused]] const auto& item : std::filesystem::directory_iterator(sandbox.WorkspacesFolder())) ++folders;
  EXPECT_EQ(folders, 1u);
}

TEST(VsCodeWorkspace, AWorkspaceListingTwoFoldersIsNotReused) {
  Sandbox sandbox;
  const std::wstring project = sandbox.temp / L"Work\\Proj";
  MakeFolder(project);
  const std::wstring shared = sandbox.WorkspacesFolder() + L"\\0AAAAAAA-0000-0000-0000-000000000000\\Proj.code-workspace";
  MakeFolder(fileio::FolderPart(shared));
  WriteText(shared, L"{\"folders\": [{\"path\": \"..\\\\..\\\\..\\\\..\\\\..\\\\..\\\\..\\\\Work\\\\Proj\"}, {\"path\": \"C:\\\\Other\"}]}");
  ASSERT_TRUE(vscode::WorkspaceFileListsFolder(shared, aisync::NormalizedFolderPath(project), false))
      << "the relative path resolves against the workspace file's folder";

  std::wstring error;
  std::wstring file = vscode::PrepareWorkspace(Base(sandbox), project, LastAiSession{}, error);
  ASSERT_FALSE(file.empty()) << error;
  EXPECT_NE(file, shared);
  EXPECT_TRUE(vscode::WorkspaceFileListsFolder(file, aisync::NormalizedFolderPath(project), true));
}

TEST(VsCodeWorkspace, WorkspaceFileListsFolderReadsUrisAndPaths) {
  Sandbox sandbox;
  const std::wstring key = aisync::NormalizedFolderPath(L"C:\\Work\\Proj");
  const std::wstring file = sandbox.temp / L"ws\\x.code-workspace";
  MakeFolder(sandbox.temp / L"ws");
  struct Case {
    const wchar_t* text;
    bool any;
    bool exactlyOne;
  };
  const Case cases[] = {
      {L"{\"folders\": [{\"uri\": \"file:///c%3A/work/proj\"}]}", true, true},
      {L"{\"folders\": [{\"path\": \"C:/Work/Proj/\"}]}", true, true},
      {L"{\"folders\": [{\"name\": \"x\"}, {\"path\": \"C:\\\\Work\\\\Proj\"}]}", true, false},
      {L"{\"folders\": [{\"uri\": \"vscode-remote://x/C:/Work/Proj\", \"path\": \"C:\\\\Work\\\\Proj\"}]}", true, true},
      {L"{\"folders\": [{\"path\": \"C:\\\\Work\\\\Project\"}]}", false, false},
      {L"{\"folders\": [\"C:\\\\Work\\\\Proj\"]}", false, false},
      {L"{\"folders\": {\"path\": \"C:\\\\Work\\\\Proj\"}}", false, false},
      {L"[{\"path\": \"C:\\\\Work\\\\Proj\"}]", false, false},
      {L"{\"folders\": [{\"path\": \"C:\\\\Work\\\\Proj\"}", false, false},
  };
  for (const auto& c : cases) {
    WriteText(file, c.text);
    EXPECT_EQ(vscode::WorkspaceFileListsFolder(file, key, false), c.any) << c.text;
    EXPECT_EQ(vscode::WorkspaceFileListsFolder(file, key, true), c.exactlyOne) << c.text;
  }
  EXPECT_FALSE(vscode::WorkspaceFileListsFolder(sandbox.temp / L"missing.code-workspace", key, false));
}

TEST(VsCodeWorkspace, NamesAndWriteFailures) {
  EXPECT_EQ(vscode::WorkspaceFileName(L"D:\\Work\\Proj"), L"Proj.code-workspace");
  EXPECT_EQ(vscode::WorkspaceFileName(L"D:\\"), L"Project.code-workspace");
  EXPECT_EQ(vscode::WorkspaceFileName(L"\\\\server\\share\\보고서"), L"보고서.code-workspace");

  Sandbox sandbox;
  const std::wstring project = sandbox.temp / L"Proj";
  MakeFolder(project);
  // The base is a file: nothing can be written under it.
  const std::wstring blocked = sandbox.temp / L"blocked";
  WriteText(blocked, L"");
  std::wstring error;
  EXPECT_TRUE(vscode::PrepareWorkspace(blocked, project, ClaudeSession(), error).empty());
  EXPECT_FALSE(error.empty());
}

}  // namespace
