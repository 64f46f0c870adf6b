// The real program files the conversations of every AI assistant it reads: a Codex
// conversation that is being written while it runs, and one of each source in one run.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "app/main_window.h"
#include "model/json.h"
#include "model/project_file.h"
#include "model/unique_handle.h"
#include "model/utf8.h"
#include "aisync/sqlite_fixture.h"
#include "support/environment_scope.h"
#include "support/paths.h"
#include "support/eventually.h"
#include "support/log_text.h"
#include "support/temp_dir.h"

namespace {

using testpaths::Eventually;

// Milliseconds since 1970, as VS Code Chat stamps its requests.
std::string EpochMsNow(int secondsAgo) {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
  return std::to_string((t.QuadPart - 116444736000000000ULL) / 10000ULL - static_cast<ULONGLONG>(secondsAgo) * 1000ULL);
}

// Every folder the program could take a log from or write to points into `root`.
void IsolateFolders(testpaths::EnvironmentScope& scope, const testpaths::TempDir& root) {
  scope.Set(L"USERPROFILE", root.path());
  scope.Set(L"APPDATA", root / L"AppData\\Roaming");
  scope.Set(L"LOCALAPPDATA", root / L"AppData\\Local");
  scope.Set(L"CODEX_HOME", root / L"codex");
  scope.Set(L"CLAUDE_CONFIG_DIR", root / L"claude");
  scope.Set(L"COPILOT_HOME", root / L"copilot");
}

void Append(const std::wstring& path, const std::string& line) {
  std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::app) << line << "\n";
}

struct Started {
  UniqueHandle process;
};

Started StartTavrilo(const std::wstring& projectFile) {
  std::wstring exe = testpaths::BuildFile(L"Tavrilo.exe");
  std::wstring command = L"\"" + exe + L"\" --startup \"" + projectFile + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  Started s;
  if (CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    CloseHandle(pi.hThread);
    s.process.reset(pi.hProcess);
  }
  return s;
}

void Stop(Started& s) {
  TerminateProcess(s.process.get(), 0);
  WaitForSingleObject(s.process.get(), 10000);
}

// The imported keys of all projects in the saved file (empty while it is missing).
std::vector<std::wstring> SavedKeys(const std::wstring& file, std::vector<Project>* projects = nullptr) {
  std::vector<Project> read;
  std::wstring error;
  if (!projectfile::ReadProjects(file, read, error)) return {};
  std::vector<std::wstring> keys;
  for (const auto& p : read) keys.insert(keys.end(), p.codexImports.begin(), p.codexImports.end());
  if (projects) *projects = read;
  return keys;
}

class EnvironmentScope {
 public:
  EnvironmentScope(const wchar_t* name, const std::wstring& value) : name_(name) {
    wchar_t old[32768];
    DWORD n = GetEnvironmentVariableW(name, old, 32768);
    had_ = n > 0 && n < 32768;
    if (had_) old_.assign(old, n);
    SetEnvironmentVariableW(name, value.c_str());
  }
  ~EnvironmentScope() { SetEnvironmentVariableW(name_, had_ ? old_.c_str() : nullptr); }

 private:
  const wchar_t* name_;
  bool had_ = false;
  std::wstring old_;
};

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The assistant's response_item copy of a reply, which some builds give the phase instead.
std::string Twin(const std::string& stamp, const std::string& text, const std::string& phase) {
  return R"({"timestamp":")" + stamp +
         R"(","type":"response_item","payload":{"type":"message","role":"assistant","content":[{"type":"output_text","text":")" +
         text + R"("}],"phase":")" + phase + R"("}})";
}

// The session is written the way Codex 0.104 writes it: no model in session_meta, the
// turn's turn_context after its prompt, no client id, and the reply phases only on the
// response_item twins (one before its event, one after).
TEST(EndToEnd, CodexConversationIsFiledOnceWhileItIsWritten) {
  ASSERT_EQ(FindWindowW(mainwindow::kMainWindowClass, nullptr), nullptr) << "another Tavrilo is running";
  testpaths::TempDir root;
  const std::wstring work = root / L"work";
  const std::wstring home = root / L"codex";
  const std::wstring sessions = home + L"\\sessions\\2026\\12";
  std::filesystem::create_directories(std::filesystem::path(work));
  std::filesystem::create_directories(std::filesystem::path(sessions));
  const std::wstring image = root / L"screenshot.png";
  std::ofstream(std::filesystem::path(image), std::ios::binary) << "\x89PNG fake";
  const std::wstring log = sessions + L"\\rollout-1.jsonl";
  const std::wstring projectFile = root / L"projects.qlproj";
  testpaths::EnvironmentScope isolated;
  IsolateFolders(isolated, root);
  EnvironmentScope codexHome(L"CODEX_HOME", home);
  EnvironmentScope profile(L"USERPROFILE", root.path());

  Append(log, R"({"timestamp":")" + testpaths::UtcStamp(60) +
                  R"(","type":"session_meta","payload":{"id":"019e","cwd":")" + testpaths::JsonPath(work) +
                  R"(","originator":"codex_vscode","cli_version":"0.104.0","source":"vscode"}})");
  Append(log, R"({"timestamp":")" + testpaths::UtcStamp(50) +
                  R"(","type":"event_msg","payload":{"type":"user_message","message":"빌드를 고쳐 줘\n테스트도 돌려 줘","images":[],"local_images":[")" +
                  testpaths::JsonPath(image) + R"("]}})");
  Append(log, R"({"timestamp":")" + testpaths::UtcStamp(50) + R"(","type":"turn_context","payload":{"cwd":")" + testpaths::JsonPath(work) +
                  R"(","model":"gpt-5.3-codex"}})");
  Append(log, Twin(testpaths::UtcStamp(40), "링크 순서를 바로잡았습니다.", "final_answer"));
  Append(log, R"({"timestamp":")" + testpaths::UtcStamp(40) +
                  R"(","type":"event_msg","payload":{"type":"agent_message","message":"링크 순서를 바로잡았습니다."}})");

  Started tavrilo = StartTavrilo(projectFile);
  ASSERT_TRUE(tavrilo.process.valid()) << "Tavrilo.exe could not be started";
  EXPECT_TRUE(Eventually([&] { return SavedKeys(projectFile).size() == 2; })) << "prompt and reply filed";

  // A line appended while the program runs is picked up too.
  Append(log, R"({"timestamp":")" + testpaths::UtcStamp(30) +
                  R"(","type":"event_msg","payload":{"type":"agent_message","message":"테스트도 통과합니다."}})");
  Append(log, Twin(testpaths::UtcStamp(30), "테스트도 통과합니다.", "commentary"));
  EXPECT_TRUE(Eventually([&] { return SavedKeys(projectFile).size() == 3; })) << "the appended reply filed";
  Stop(tavrilo);

  std::vector<Project> projects;
  auto keys = SavedKeys(projectFile, &projects);
  ASSERT_EQ(projects.size(), 1u);
  const Project& p = projects[0];
  EXPECT_EQ(p.location, work);
  EXPECT_EQ(p.title, L"work");
  EXPECT_EQ(p.lastAiSession.source, kAiSourceCodex);
  EXPECT_EQ(p.lastAiSession.session, L"019e");
  EXPECT_EQ(p.lastAiSession.model, L"gpt-5.3-codex");
  ASSERT_EQ(p.entries.size(), 1u);
  const Entry& entry = p.entries[0];
  EXPECT_NE(entry.text.find(L"[VS Code Codex · "), std::wstring::npos);
  EXPECT_NE(entry.text.find(L" · gpt-5.3-codex]\r\n빌드를 고쳐 줘\r\n테스트도 돌려 줘\r\n"), std::wstring::npos)
      << "the prompt with its turn's model and CR LF line breaks";
  EXPECT_EQ(entry.text.find(L"모델 미확인"), std::wstring::npos);
  EXPECT_NE(entry.text.find(L"[Codex 답변 · "), std::wstring::npos);
  EXPECT_NE(entry.text.find(L"[Codex 진행 · "), std::wstring::npos);
  EXPECT_NE(std::find(entry.tags.begin(), entry.tags.end(), L"자동기록"), entry.tags.end());

  // Every record has its folder with its files; the prompt's image was copied.
  int folders = 0, prompts = 0, replies = 0, copies = 0;
  for (const auto& day : std::filesystem::directory_iterator(std::filesystem::path(work + L"\\Quenlor"))) {
    for (const auto& record : std::filesystem::directory_iterator(day.path())) {
      ++folders;
      EXPECT_TRUE(std::filesystem::exists(record.path() / "record.json"));
      if (std::filesystem::exists(record.path() / "prompt.md")) {
        ++prompts;
        std::string md = ReadBytes(record.path() / "prompt.md");
        EXPECT_NE(md.find("빌드를 고쳐 줘\r\n테스트도 돌려 줘"), std::string::npos);
        for (size_t at = md.find('\n'); at != std::string::npos; at = md.find('\n', at + 1)) {
          EXPECT_TRUE(at > 0 && md[at - 1] == '\r') << "a bare line feed in prompt.md at " << at;
        }
      }
      replies += std::filesystem::exists(record.path() / "reply.md");
      copies += std::filesystem::exists(record.path() / "1_screenshot.png");
    }
  }
  EXPECT_EQ(folders, 3);
  EXPECT_EQ(prompts, 1);
  EXPECT_EQ(replies, 2);
  EXPECT_EQ(copies, 1);

  // A restart reads every log again from its start and files nothing twice.
  std::string before = ReadBytes(std::filesystem::path(projectFile));
  Started again = StartTavrilo(projectFile);
  ASSERT_TRUE(again.process.valid());
  Sleep(5000);  // several scans and timer ticks
  Stop(again);
  EXPECT_EQ(SavedKeys(projectFile).size(), 3u);
  std::vector<Project> after;
  SavedKeys(projectFile, &after);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(after[0].entries[0].text, entry.text) << "no block appended twice";
}

// One conversation of each assistant, each in its own folder: every one lands in the
// project of its folder with its source and model, and a restart files nothing twice.
TEST(EndToEnd, EverySourceIsFiledUnderItsProjectOnce) {
  ASSERT_EQ(FindWindowW(mainwindow::kMainWindowClass, nullptr), nullptr) << "another Tavrilo is running";
  testpaths::TempDir root;
  testpaths::EnvironmentScope isolated;
  IsolateFolders(isolated, root);
  auto folder = [&](const wchar_t* name) {
    std::wstring path = root / name;
    std::filesystem::create_directories(std::filesystem::path(path));
    return path;
  };
  const std::wstring codexWork = folder(L"work-codex"), chatWork = folder(L"work-chat");
  const std::wstring claudeWork = folder(L"work-claude"), copilotWork = folder(L"work-copilot");

  // Codex.
  const std::wstring codexLog = folder(L"codex\\sessions\\2026\\12") + L"\\rollout-1.jsonl";
  Append(codexLog, R"({"timestamp":")" + testpaths::UtcStamp(60) + R"(","type":"session_meta","payload":{"id":"codex-1","cwd":")" +
                       testpaths::JsonPath(codexWork) + R"(","originator":"codex_vscode","source":"vscode","model":"gpt-5-codex"}})");
  Append(codexLog, R"({"timestamp":")" + testpaths::UtcStamp(50) +
                       R"(","type":"event_msg","payload":{"type":"user_message","message":"Codex에게 묻기","client_id":"c1"}})");
  Append(codexLog, R"({"timestamp":")" + testpaths::UtcStamp(40) +
                       R"(","type":"event_msg","payload":{"type":"agent_message","message":"Codex의 답","phase":"final_answer"}})");

  // VS Code Chat: a session of a workspace whose folder workspace.json names.
  std::string chatUri = "file:///" + utf8::FromWide(chatWork);
  std::replace(chatUri.begin(), chatUri.end(), '\\', '/');
  const std::wstring storage = folder(L"AppData\\Roaming\\Code\\User\\workspaceStorage\\0f1e2d3c");
  std::ofstream(std::filesystem::path(storage + L"\\workspace.json"), std::ios::binary) << R"({"folder":")" << chatUri
                                                                                        << R"("})";
  folder(L"AppData\\Roaming\\Code\\User\\workspaceStorage\\0f1e2d3c\\chatSessions");
  std::ofstream(std::filesystem::path(storage + L"\\chatSessions\\chat-1.json"), std::ios::binary)
      << R"({"version":3,"sessionId":"chat-1","creationDate":)" << EpochMsNow(60)
      << R"(,"requests":[{"requestId":"request_1","message":{"text":"Chat에게 묻기"},"timestamp":)" << EpochMsNow(50)
      << R"(,"modelId":"copilot/gpt-4.1","modelState":{"value":1},"response":[{"value":"Chat의 답"}]}]})";

  // Claude Code, run from VS Code.
  const std::wstring claudeLog = folder(L"claude\\projects\\work-claude") + L"\\claude-1.jsonl";
  Append(claudeLog, R"({"type":"user","uuid":"cu1","sessionId":"claude-1","cwd":")" + testpaths::JsonPath(claudeWork) +
                        R"(","timestamp":")" + testpaths::UtcStamp(50) +
                        R"(","entrypoint":"claude-vscode","message":{"role":"user","content":"Claude에게 묻기"}})");
  Append(claudeLog, R"({"type":"assistant","uuid":"ca1","sessionId":"claude-1","cwd":")" + testpaths::JsonPath(claudeWork) +
                        R"(","timestamp":")" + testpaths::UtcStamp(40) +
                        R"(","message":{"role":"assistant","model":"claude-sonnet-4-5","content":[{"type":"text","text":"Claude의 답"}]}})");

  // Copilot, a session VS Code's agent host ran (its database maps it to the chat's owner).
  const std::string copilotId = "3c4d5e6f-0a1b-4c2d-8e9f-0a1b2c3d4e5f";
  const std::string owner = "7a7b7c7d-0a1b-4c2d-8e9f-0a1b2c3d4e5f";
  const std::wstring copilotLog = folder((L"copilot\\session-state\\" + utf8::ToWide(copilotId)).c_str()) + L"\\events.jsonl";
  Append(copilotLog, R"({"type":"session.start","id":"e0","timestamp":")" + testpaths::UtcStamp(60) + R"(","data":{"sessionId":")" +
                         copilotId + R"(","context":{"cwd":")" + testpaths::JsonPath(copilotWork) + R"("},"selectedModel":"gpt-5-mini"}})");
  Append(copilotLog, R"({"type":"user.message","id":"u1","timestamp":")" + testpaths::UtcStamp(50) +
                         R"(","data":{"content":"Copilot에게 묻기","interactionId":"i1"}})");
  Append(copilotLog, R"({"type":"assistant.message","id":"a1","timestamp":")" + testpaths::UtcStamp(40) +
                         R"(","data":{"content":"Copilot의 답","interactionId":"i1"}})");
  folder(L"AppData\\Roaming\\Code\\User\\globalStorage");
  ASSERT_TRUE(testsqlite::CreateDatabase(root / L"AppData\\Roaming\\Code\\User\\globalStorage\\agent-host.db",
                                         std::string(testsqlite::AgentHostSchema()) +
                                             "INSERT INTO chats_v2 VALUES('copilotcli:/" + owner +
                                             "','{\"sdkSessionId\":\"" + copilotId + "\"}',0);"));

  const std::wstring projectFile = root / L"projects.qlproj";
  Started tavrilo = StartTavrilo(projectFile);
  ASSERT_TRUE(tavrilo.process.valid()) << "Tavrilo.exe could not be started";
  EXPECT_TRUE(Eventually([&] { return SavedKeys(projectFile).size() == 8; })) << "a prompt and a reply of each";
  Stop(tavrilo);

  struct Expected {
    const std::wstring& location;
    int32_t source;
    std::wstring session, model, prompt, reply;
  };
  const Expected expected[] = {
      {codexWork, kAiSourceCodex, L"codex-1", L"gpt-5-codex", L"Codex에게 묻기", L"Codex의 답"},
      {chatWork, kAiSourceChat, L"chat-1", L"copilot/gpt-4.1", L"Chat에게 묻기", L"Chat의 답"},
      {claudeWork, kAiSourceClaude, L"claude-1", L"claude-sonnet-4-5", L"Claude에게 묻기", L"Claude의 답"},
      {copilotWork, kAiSourceChat, L"agent-host-copilotcli:/" + utf8::ToWide(owner), L"gpt-5-mini",
       L"Copilot에게 묻기", L"Copilot의 답"},
  };
  std::vector<Project> projects;
  const std::vector<std::wstring> keys = SavedKeys(projectFile, &projects);
  EXPECT_EQ(std::set<std::wstring>(keys.begin(), keys.end()).size(), 8u) << "eight distinct records";
  ASSERT_EQ(projects.size(), 4u);
  for (const Expected& want : expected) {
    auto found = std::find_if(projects.begin(), projects.end(),
                              [&](const Project& p) { return p.location == want.location; });
    ASSERT_NE(found, projects.end()) << utf8::FromWide(want.location);
    EXPECT_EQ(found->codexImports.size(), 2u) << utf8::FromWide(want.location);
    EXPECT_EQ(found->lastAiSession.source, want.source);
    EXPECT_EQ(found->lastAiSession.session, want.session);
    EXPECT_EQ(found->lastAiSession.model, want.model);
    ASSERT_EQ(found->entries.size(), 1u);
    EXPECT_NE(found->entries[0].text.find(want.prompt), std::wstring::npos);
    EXPECT_NE(found->entries[0].text.find(want.reply), std::wstring::npos);
  }

  // A restart reads every log again from its start and files nothing twice.
  Started again = StartTavrilo(projectFile);
  ASSERT_TRUE(again.process.valid());
  Sleep(5000);  // several scans and timer ticks
  Stop(again);
  std::vector<Project> after;
  EXPECT_EQ(SavedKeys(projectFile, &after), keys);
  ASSERT_EQ(after.size(), projects.size());
  for (size_t i = 0; i < after.size(); ++i) {
    ASSERT_EQ(after[i].entries.size(), 1u);
    EXPECT_EQ(after[i].entries[0].text, projects[i].entries[0].text) << "no block appended twice";
  }
}

}  // namespace
