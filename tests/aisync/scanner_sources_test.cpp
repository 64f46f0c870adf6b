// The scanner driving all four sources: their order, the record bound across them, the
// held prompts of the line sources, whole documents under the old-file rule, and where
// the folders come from.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "aisync/log_scanner.h"
#include "model/unique_handle.h"
#include "support/environment_scope.h"
#include "support/registry_sandbox.h"
#include "support/temp_dir.h"

namespace {

using aisync::AiRecord;
using aisync::LogScanner;

const char kCopilotId[] = "0a1b2c3d-4e5f-6a7b-8c9d-0e1f2a3b4c5d";

void Write(const std::wstring& path, const std::string& text, bool append = true) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(std::filesystem::path(path), std::ios::binary | (append ? std::ios::app : std::ios::trunc)) << text;
}

std::string CodexPrompt(int n) {
  return R"({"timestamp":"2024-05-01T10:00:00Z","type":"event_msg","payload":{"type":"user_message","model":"gpt-5","message":"prompt )" +
         std::to_string(n) + R"(","client_id":"c)" + std::to_string(n) + "\"}}\n";
}

std::string ChatRequest(int n) {
  return R"({"requestId":"r)" + std::to_string(n) +
         R"(","message":{"text":"ask"},"timestamp":1714557600000,"modelId":"gpt-5","response":[{"value":"answer"}]})";
}

std::string ClaudeLine(const std::string& type, const std::string& uuid) {
  std::string message = type == "user" ? R"({"role":"user","content":"ask"})"
                                       : R"({"role":"assistant","model":"claude-sonnet-4","content":[{"type":"text","text":"answer"}]})";
  return R"({"type":")" + type + R"(","uuid":")" + uuid +
         R"(","sessionId":"S1","cwd":"C:\\Work","timestamp":"2024-05-01T10:00:00.000Z","entrypoint":"claude-vscode","message":)" +
         message + "}\n";
}

std::string CopilotLine(const std::string& type, const std::string& id) {
  std::string data = type == "session.start"
                         ? std::string(R"({"sessionId":")") + kCopilotId + R"(","context":{"cwd":"C:\\Work"},"selectedModel":"gpt-5"})"
                         : R"({"content":"text"})";
  return R"({"type":")" + type + R"(","id":")" + id + R"(","timestamp":"2024-05-01T10:00:00.000Z","data":)" + data + "}\n";
}

class SourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folders.codexHome = home / L"codex";
    folders.vscodeUser = home / L"Code\\User";
    folders.vscodeInsidersUser = home / L"Insiders\\User";
    folders.claude = home / L"claude";
    folders.copilot = home / L"copilot";
  }
  std::wstring CodexLog() const { return folders.codexHome + L"\\sessions\\2024\\05\\rollout.jsonl"; }
  std::wstring ChatLog() const { return folders.vscodeUser + L"\\workspaceStorage\\w1\\chatSessions\\s1.json"; }
  std::wstring ClaudeLog() const { return folders.claude + L"\\projects\\C--Work\\s1.jsonl"; }
  std::wstring CopilotLog() const {
    return folders.copilot + L"\\session-state\\" + std::wstring(kCopilotId, kCopilotId + 36) + L"\\events.jsonl";
  }
  std::vector<AiRecord> Pass(LogScanner& scanner) {
    std::vector<AiRecord> out;
    std::wstring status;
    scanner.ScanPass(out, status);
    EXPECT_EQ(status, L"");
    return out;
  }

  testpaths::TempDir home;
  aisync::LogFolders folders;
};

// 0 Codex, 1 Chat, 2 Claude Code, 3 Copilot, by the shape of the key.
int SourceRank(const AiRecord& record) {
  if (record.key.starts_with(L"chat-agent:")) return 3;
  if (record.key.starts_with(L"claude:")) return 2;
  if (record.key.starts_with(L"chat:")) return 1;
  return 0;
}

TEST_F(SourcesTest, SourcesTakeTurnsAndShareTheRecordBound) {
  std::string codex =
      R"({"timestamp":"2024-05-01T09:00:00Z","type":"session_meta","payload":{"id":"S1","cwd":"C:\\Work","source":"vscode"}})"
      "\n";
  for (int i = 0; i < 60; ++i) codex += CodexPrompt(i);
  Write(CodexLog(), codex);
  std::string requests;
  for (int i = 0; i < 30; ++i) requests += (i > 0 ? "," : "") + ChatRequest(i);
  Write(ChatLog(), R"({"sessionId":"C1","workingDirectory":"file:///C:/Work","requests":[)" + requests + "]}");
  std::string claude, copilot = CopilotLine("session.start", "s");
  for (int i = 0; i < 10; ++i) {
    claude += ClaudeLine("user", "u" + std::to_string(i)) + ClaudeLine("assistant", "a" + std::to_string(i));
    copilot += CopilotLine("user.message", "u" + std::to_string(i)) + CopilotLine("assistant.message", "a" + std::to_string(i));
  }
  Write(ClaudeLog(), claude);
  Write(CopilotLog(), copilot);
  Write(folders.copilot + L"\\session-state\\" + std::wstring(kCopilotId, kCopilotId + 36) + L"\\workspace.yaml",
        "client_name: vscode\n");

  LogScanner scanner(folders, {2024, 1, 1});
  std::vector<AiRecord> first = Pass(scanner);
  ASSERT_EQ(first.size(), LogScanner::kRecordsPerPass);
  EXPECT_EQ(SourceRank(first.back()), 1) << "the bound falls inside the chat session";
  std::vector<AiRecord> second = Pass(scanner);
  EXPECT_TRUE(Pass(scanner).empty());

  first.insert(first.end(), second.begin(), second.end());
  std::set<std::wstring> keys;
  int counts[4] = {};
  for (size_t i = 0; i < first.size(); ++i) {
    keys.insert(first[i].key);
    ++counts[SourceRank(first[i])];
    if (i > 0) EXPECT_LE(SourceRank(first[i - 1]), SourceRank(first[i])) << "Codex, Chat, Claude Code, Copilot";
  }
  EXPECT_EQ(keys.size(), first.size()) << "nothing twice across the cut";
  EXPECT_EQ(counts[0], 60);
  EXPECT_EQ(counts[1], 60);
  EXPECT_EQ(counts[2], 20);
  EXPECT_EQ(counts[3], 20);
}

// A prompt the reader holds for its model leaves after six quiet seconds, or at once
// when its file is cut short (the new bytes may not hold it any more).
TEST_F(SourcesTest, HeldPromptsLeaveWhenQuietOrWhenTheFileShrinks) {
  const struct {
    const char* name;
    std::wstring log;
    std::string start, prompt, other, cut;
  } cases[] = {
      {"Claude Code", ClaudeLog(), "", ClaudeLine("user", "u1"), ClaudeLine("user", "u2"),
       "{\"type\":\"summary\",\"summary\":\"x\"}\n"},
      {"Copilot", CopilotLog(), CopilotLine("session.start", "s"), CopilotLine("user.message", "u1"),
       CopilotLine("user.message", "u2"), CopilotLine("session.start", "s")},
  };
  Write(folders.copilot + L"\\session-state\\" + std::wstring(kCopilotId, kCopilotId + 36) + L"\\workspace.yaml",
        "client_name: vscode\n");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Write(c.log, c.start + c.prompt);
    uint64_t now = 1000000;
    LogScanner scanner(folders, {2024, 1, 1});
    scanner.SetTickSource([&now] { return now; });
    EXPECT_TRUE(Pass(scanner).empty()) << "held for its model";
    now += 5999;
    EXPECT_TRUE(Pass(scanner).empty());
    now += 1;
    std::vector<AiRecord> late = Pass(scanner);
    ASSERT_EQ(late.size(), 1u);
    EXPECT_TRUE(late[0].key.ends_with(L":u1"));
    EXPECT_TRUE(Pass(scanner).empty()) << "emitted once";

    Write(c.log, c.other);
    EXPECT_TRUE(Pass(scanner).empty()) << "the second prompt is held";
    Write(c.log, c.cut, false);  // replaced by a shorter file without it
    std::vector<AiRecord> cut = Pass(scanner);
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_TRUE(cut[0].key.ends_with(L":u2"));
    std::filesystem::remove(std::filesystem::path(c.log));
  }
}

TEST_F(SourcesTest, OldChatDocumentsAreReadOnlyWhileWrittenAndAgainWhenChanged) {
  auto document = [](int requests) {
    std::string list;
    for (int i = 0; i < requests; ++i) list += (i > 0 ? "," : "") + ChatRequest(i);
    return R"({"sessionId":"C1","workingDirectory":"file:///C:/Work","requests":[)" + list + "]}";
  };
  Write(ChatLog(), document(1));
  {
    UniqueFile file(CreateFileW(ChatLog().c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    SYSTEMTIME st{2023, 6, 0, 1, 12, 0, 0, 0};
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &ft));
  }
  LogScanner scanner(folders, {2024, 1, 1});
  EXPECT_TRUE(Pass(scanner).empty()) << "last written before the since date and nobody writes it";
  {
    UniqueFile writer(CreateFileW(ChatLog().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer.valid());
    EXPECT_EQ(Pass(scanner).size(), 2u) << "VS Code still writing it makes it current";
  }
  EXPECT_TRUE(Pass(scanner).empty()) << "read whole once, then only when it changes";
  Write(ChatLog(), document(2), false);
  std::vector<AiRecord> more = Pass(scanner);
  ASSERT_EQ(more.size(), 2u);
  EXPECT_EQ(more[0].key, L"chat:C1:r1");
}

// The remembered listings of the Chat, Claude Code and Copilot folders: kept while the
// folder's time stands still, renewed when it moves and once a minute regardless.
TEST(ListingCache, FollowsTheFolderTimeAndRenewsWithinAMinute) {
  testpaths::TempDir dir;
  const std::wstring folder = dir / L"projects";
  Write(folder + L"\\a.jsonl", "");
  FILETIME clock;
  GetSystemTimeAsFileTime(&clock);
  ULARGE_INTEGER hourAgo{{clock.dwLowDateTime, clock.dwHighDateTime}};
  hourAgo.QuadPart -= 36000000000ULL;
  const FILETIME old{hourAgo.LowPart, hourAgo.HighPart};
  auto setBack = [&folder, &old] {
    UniqueFile handle(CreateFileW(folder.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return SetFileTime(handle.get(), nullptr, nullptr, &old) != FALSE;
  };
  uint64_t now = 1000000;
  aisync::ListingCache cache([&now] { return now; });
  ASSERT_TRUE(setBack());
  EXPECT_EQ(cache.List(folder).size(), 1u);
  Write(folder + L"\\b.jsonl", "");
  ASSERT_TRUE(setBack());  // a file system that does not move the folder's time
  EXPECT_EQ(cache.List(folder).size(), 1u) << "remembered";
  now += aisync::ListingCache::kMaxAgeMs - 1;
  EXPECT_EQ(cache.List(folder).size(), 1u);
  now += 1;
  EXPECT_EQ(cache.List(folder).size(), 2u) << "renewed after a minute";
  Write(folder + L"\\c.jsonl", "");  // moves the folder's time
  auto entries = cache.List(folder);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[2].path, folder + L"\\c.jsonl");
  std::filesystem::remove_all(std::filesystem::path(folder));
  EXPECT_TRUE(cache.List(folder).empty()) << "a folder that went away lists nothing";
  EXPECT_TRUE(cache.List(L"").empty());
}

// A portable VS Code keeps its chat sessions in "data\user-data\User" beside its
// executable; an installed one in APPDATA, which is read anyway.
TEST(LogFolders, PortableVsCodeUserFoldersAreFoundAndRead) {
  testpaths::TempDir dir;
  testpaths::RegistrySandbox registry;
  testpaths::EnvironmentScope environment;
  for (const wchar_t* name : {L"LOCALAPPDATA", L"ProgramFiles", L"ProgramFiles(x86)"}) environment.Set(name, dir / L"none");
  environment.Set(L"APPDATA", dir / L"AppData");
  environment.Set(L"USERPROFILE", dir.path());
  environment.Set(L"VSCODE_PORTABLE", L"");
  auto registerStable = [](const std::wstring& executable) {
    HKEY raw = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Code.exe", 0, nullptr,
                    0, KEY_ALL_ACCESS, nullptr, &raw, nullptr);
    UniqueRegKey key(raw);
    return RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(executable.c_str()),
                          static_cast<DWORD>((executable.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  };
  Write(dir / L"Installed\\Code.exe", "");
  ASSERT_TRUE(registerStable(dir / L"Installed\\Code.exe"));
  aisync::LogFolders folders = aisync::LogFoldersFromEnvironment();
  aisync::AddPortableVsCodeFolders(folders);
  EXPECT_TRUE(folders.vscodePortableUsers.empty()) << "an installed VS Code uses the APPDATA folder";

  Write(dir / L"Portable\\Code.exe", "");
  std::filesystem::create_directories(std::filesystem::path(dir / L"Portable\\data"));
  ASSERT_TRUE(registerStable(dir / L"Portable\\Code.exe"));
  aisync::AddPortableVsCodeFolders(folders);
  aisync::AddPortableVsCodeFolders(folders);
  ASSERT_EQ(folders.vscodePortableUsers, std::vector<std::wstring>{dir / L"Portable\\data\\user-data\\User"})
      << "found once";

  Write(folders.vscodePortableUsers[0] + L"\\workspaceStorage\\w\\chatSessions\\s.json",
        R"({"sessionId":"P1","workingDirectory":"file:///C:/Work","requests":[)" + ChatRequest(1) + "]}");
  LogScanner scanner(folders, {2024, 1, 1});
  std::vector<AiRecord> out;
  std::wstring status;
  scanner.ScanPass(out, status);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].key, L"chat:P1:r1");
}

TEST(LogFolders, FromTheEnvironment) {
  const struct {
    const wchar_t *codexHome, *claudeDir, *copilotHome, *appData, *profile;
    aisync::LogFolders want;
  } cases[] = {
      {L"D:\\cx", L"D:\\cl", L"D:\\cp", L"D:\\ad", L"D:\\me",
       {L"D:\\cx", L"D:\\ad\\Code\\User", L"D:\\ad\\Code - Insiders\\User", L"D:\\cl", L"D:\\cp", {}}},
      {L"", L"", L"", L"", L"D:\\me\\", {L"D:\\me\\.codex", L"", L"", L"D:\\me\\.claude", L"D:\\me\\.copilot", {}}},
      {L"", L"", L"", L"D:\\ad\\", L"", {L"", L"D:\\ad\\Code\\User", L"D:\\ad\\Code - Insiders\\User", L"", L"", {}}},
  };
  for (const auto& c : cases) {
    testpaths::EnvironmentScope scope;
    scope.Set(L"CODEX_HOME", c.codexHome);
    scope.Set(L"CLAUDE_CONFIG_DIR", c.claudeDir);
    scope.Set(L"COPILOT_HOME", c.copilotHome);
    scope.Set(L"APPDATA", c.appData);
    scope.Set(L"USERPROFILE", c.profile);
    aisync::LogFolders got = aisync::LogFoldersFromEnvironment();
    EXPECT_EQ(got.codexHome, c.want.codexHome);
    EXPECT_EQ(got.vscodeUser, c.want.vscodeUser);
    EXPECT_EQ(got.vscodeInsidersUser, c.want.vscodeInsidersUser);
    EXPECT_EQ(got.claude, c.want.claude);
    EXPECT_EQ(got.copilot, c.want.copilot);
  }
}

}  // namespace
