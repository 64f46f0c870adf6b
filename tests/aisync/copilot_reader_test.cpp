#include "aisync/copilot_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "aisync/claude_reader.h"
#include "source_driver.h"
#include "sqlite_fixture.h"
#include "support/temp_dir.h"

namespace {

using aisync::AiRecord;
using aisync::CopilotContext;

const aisync::ReadSettings kSettings{Date{2024, 1, 1}, 1000, 100};
const char kSession[] = "0a1b2c3d-4e5f-6a7b-8c9d-0e1f2a3b4c5d";

std::string Event(const std::string& type, const std::string& data, const std::string& id = "e0",
                  const std::string& timestamp = "2024-05-01T10:00:00.000Z") {
  return "{\"type\":\"" + type + "\",\"id\":\"" + id + "\",\"timestamp\":\"" + timestamp + "\",\"data\":" + data + "}";
}

std::string Start(const std::string& model = "gpt-5") {
  return Event("session.start", std::string("{\"sessionId\":\"") + kSession +
                                    "\",\"context\":{\"cwd\":\"C:\\\\Work\\\\app\"},\"selectedModel\":\"" + model + "\"}");
}

std::string UserMessage(const std::string& id, const std::string& text, const std::string& extra = "") {
  return Event("user.message", "{\"content\":\"" + text + "\"" + extra + "}", id);
}

std::string AssistantMessage(const std::string& id, const std::string& text, const std::string& extra = "") {
  return Event("assistant.message", "{\"content\":\"" + text + "\"" + extra + "}", id, "2024-05-01T10:00:09.000Z");
}

std::vector<AiRecord> ReadAll(const std::vector<std::string>& lines, CopilotContext* keep = nullptr) {
  CopilotContext local;
  CopilotContext& context = keep != nullptr ? *keep : local;
  std::vector<AiRecord> out;
  for (const auto& line : lines) {
    JsonValue root;
    EXPECT_TRUE(aisync::ParseLogLine(line, root)) << line;
    aisync::HandleCopilotLine(root, context, kSettings, out);
  }
  aisync::FlushStalePrompt(context.hold, kSettings.ticks + aisync::kPendingPromptMs, out);
  return out;
}

TEST(CopilotReader, ConversationWithModelsAndPhases) {
  auto records = ReadAll({Start(), UserMessage("u1", "Fix the build", ",\"interactionId\":\"i1\""),
                          AssistantMessage("a1", "Looking.", ",\"interactionId\":\"i1\",\"phase\":\"commentary\""),
                          Event("session.model_change", "{\"newModel\":\"claude-sonnet-4.5\",\"selectedModel\":\"x\"}"),
                          AssistantMessage("a2", "Done.", ",\"interactionId\":\"i1\"")});
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].key, std::wstring(L"chat-agent:") + utf8::ToWide(kSession) + L":u1");
  EXPECT_EQ(records[0].model, L"gpt-5");  // its own line's model: the stored one
  EXPECT_EQ(records[0].sourceKind, kAiSourceChat);
  EXPECT_EQ(records[0].cwd, L"C:\\Work\\app");
  EXPECT_EQ(records[1].phase, L"commentary");
  EXPECT_EQ(records[2].phase, L"final_answer");
  EXPECT_EQ(records[2].model, L"claude-sonnet-4.5");
  EXPECT_EQ(records[2].parentKey, records[0].key);
  // "session.model_changed" falls back to the selected model; a message's own model wins.
  records = ReadAll({Start(), Event("session.model_changed", "{\"selectedModel\":\"o3\"}"), UserMessage("u1", "x"),
                     AssistantMessage("a1", "y", ",\"model\":\"gpt-5-mini\"")});
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].model, L"gpt-5-mini");
  EXPECT_EQ(records[1].model, L"gpt-5-mini");
}

TEST(CopilotReader, OtherInteractionsAndSubAgentsAreIgnored) {
  CopilotContext context;
  auto records = ReadAll({Start(), UserMessage("u1", "Fix it", ",\"interactionId\":\"i1\""),
                          AssistantMessage("a0", "stale answer", ",\"interactionId\":\"i0\""),
                          UserMessage("u2", "sub-agent task", ",\"parentAgentTaskId\":\"t1\",\"interactionId\":\"i9\""),
                          AssistantMessage("a9", "sub-agent answer", ",\"parentAgentTaskId\":\"t1\""),
                          AssistantMessage("a1", "real answer", ",\"interactionId\":\"i1\""),
                          AssistantMessage("a2", "no interaction id is fine")},
                         &context);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].key.substr(records[1].key.size() - 3), L":a1");
  EXPECT_EQ(records[2].key.substr(records[2].key.size() - 3), L":a2");
  EXPECT_EQ(records[1].parentKey, records[0].key);
  EXPECT_EQ(context.lastInteractionId, L"i1");
  // An empty parentAgentTaskId is no sub-agent.
  EXPECT_EQ(ReadAll({Start(), UserMessage("u1", "x", ",\"parentAgentTaskId\":\"\"")}).size(), 1u);
}

TEST(CopilotReader, LinesThatCannotBeUsed) {
  // "data" must be an object; messages need the session start first.
  EXPECT_TRUE(ReadAll({Event("session.start", "[1]"), UserMessage("u1", "x")}).empty());
  EXPECT_TRUE(ReadAll({UserMessage("u1", "before any session")}).empty());
  EXPECT_TRUE(ReadAll({Start(), Event("user.message", "\"text\"", "u1")}).empty());
  EXPECT_TRUE(ReadAll({Start(), Event("tool.execution_start", "{\"content\":\"ls\"}", "t1")}).empty());
  EXPECT_TRUE(ReadAll({Start(), UserMessage("", "no id")}).empty());
  // A start with an empty session id keeps the one before.
  auto records = ReadAll({Start(), Event("session.resume", "{\"sessionId\":\"\"}"), UserMessage("u1", "x")});
  ASSERT_EQ(records.size(), 1u);
  EXPECT_NE(records[0].key.find(utf8::ToWide(kSession)), std::wstring::npos);
}

TEST(CopilotReader, WorkspaceDescriptionNamesVsCode) {
  struct Case {
    const wchar_t* yaml;
    bool vscode;
  } cases[] = {
      {L"client_name: vscode\n", true},
      {L"id: x\r\nclient_name:\tvscode-agent-host \r\ncwd: C:\\w\r\n", true},
      {L"cwd: C:\\w\nclient_name: vscode", true},
      {L"client_name: vscode-insiders\n", false},
      {L"client_name: cli\n", false},
      {L"client_name:\n vscode\n", false},
      {L"note: client_name: vscode\nclient_name: vscode\n", false},  // first occurrence counts
      {L"  client_name: vscode\n", false},
      {L"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(aisync::WorkspaceNamesVsCode(c.yaml), c.vscode) << c.yaml;
}

TEST(CopilotReader, SourceReadsOnlyVsCodeSessionsUnderTheirAgentHostLocator) {
  testpaths::TempDir dir;
  const std::string mapped = "1a1b2c3d-4e5f-6a7b-8c9d-0e1f2a3b4c5d";
  const std::string owner = "9f9f9f9f-4e5f-6a7b-8c9d-0e1f2a3b4c5d";
  const std::string byYaml = "2a1b2c3d-4e5f-6a7b-8c9d-0e1f2a3b4c5d";
  const std::string plainCli = "3a1b2c3d-4e5f-6a7b-8c9d-0e1f2a3b4c5d";
  const std::string inline_ = "4a1b2c3d-4e5f-6a7b-8c9d-0e1f2a3b4c5d";
  auto session = [&](const std::string& name, const std::string& yaml) {
    std::filesystem::path folder(dir / (L"copilot\\session-state\\" + utf8::ToWide(name)));
    std::filesystem::create_directories(folder);
    if (!yaml.empty()) std::ofstream(folder / "workspace.yaml", std::ios::binary) << yaml;
    std::ofstream(folder / "events.jsonl", std::ios::binary)
        << Start() << "\n" << UserMessage("u-" + name.substr(0, 1), "prompt") << "\n"
        << AssistantMessage("a-" + name.substr(0, 1), "answer") << "\n";
  };
  session(mapped, "");
  session(byYaml, "id: x\nclient_name: vscode\n");
  session(plainCli, "");
  session(inline_, "summary: client_name: vscode\n");
  session("not-a-session", "client_name: vscode\n");
  std::filesystem::create_directories(std::filesystem::path(dir / L"Code\\User\\globalStorage"));
  ASSERT_TRUE(testsqlite::CreateDatabase(
      dir / L"Code\\User\\globalStorage\\agent-host.db",
      std::string(testsqlite::AgentHostSchema()) + "INSERT INTO chats_v2 VALUES('copilotcli:/" + owner +
          "','{\"sdkSessionId\":\"" + mapped + "\"}',0);"));

  aisync::CopilotSource source({dir / L"copilot", dir / L"Code\\User", L""});
  testsources::SourceDriver driver(source);
  std::wstring status;
  auto records = driver.Pass(&status);
  EXPECT_EQ(status, L"");
  ASSERT_EQ(records.size(), 4u);
  // Keys keep the logged session; the session becomes what VS Code reopens.
  EXPECT_EQ(records[0].session, L"agent-host-copilotcli:/" + utf8::ToWide(owner));
  EXPECT_EQ(records[1].session, L"agent-host-copilotcli:/" + utf8::ToWide(owner));
  EXPECT_EQ(records[0].key, std::wstring(L"chat-agent:") + utf8::ToWide(kSession) + L":u-1");
  EXPECT_EQ(records[2].session, L"agent-host-copilotcli:/" + utf8::ToWide(byYaml));
  EXPECT_EQ(records[3].parentKey, records[2].key);

  // A prompt flushed by the six-second rule gets the locator too.
  std::ofstream(std::filesystem::path(dir / (L"copilot\\session-state\\" + utf8::ToWide(byYaml) + L"\\events.jsonl")),
                std::ios::binary | std::ios::app)
      << UserMessage("u-late", "one more") << "\n";
  EXPECT_TRUE(driver.Pass().empty());
  driver.SetTicks(kSettings.ticks + 60000);
  records = driver.Pass();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].session, L"agent-host-copilotcli:/" + utf8::ToWide(byYaml));

  // A description that comes to name VS Code later is read again, not remembered stale.
  std::ofstream(std::filesystem::path(dir / (L"copilot\\session-state\\" + utf8::ToWide(inline_) + L"\\workspace.yaml")),
                std::ios::binary | std::ios::trunc)
      << "client_name: vscode-agent-host\n";
  records = driver.Pass();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].session, L"agent-host-copilotcli:/" + utf8::ToWide(inline_));
}

}  // namespace
