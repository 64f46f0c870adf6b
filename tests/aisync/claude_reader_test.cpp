#include "aisync/claude_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "aisync/log_time.h"
#include "source_driver.h"
#include "support/temp_dir.h"

namespace {

using aisync::AiRecord;
using aisync::ClaudeContext;

const aisync::ReadSettings kSettings{Date{2024, 1, 1}, 1000, 100};

struct Line {
  std::string type = "user";
  std::string uuid = "u1";
  std::string content = "\"Fix the build\"";
  std::string timestamp = "2024-05-01T10:00:00.000Z";
  std::string model;  // assistant lines only
  std::string extra = ",\"entrypoint\":\"claude-vscode\"";

  std::string Json() const {
    std::string message = "{\"role\":\"" + type + "\",\"content\":" + content;
    if (!model.empty()) message += ",\"model\":\"" + model + "\"";
    message += "}";
    return "{\"type\":\"" + type + "\",\"uuid\":\"" + uuid + "\",\"sessionId\":\"S1\",\"cwd\":\"C:\\\\Work\\\\app\"," +
           "\"timestamp\":\"" + timestamp + "\",\"message\":" + message + extra + "}";
  }
};

Line User(std::string uuid, std::string text, std::string extra = ",\"entrypoint\":\"claude-vscode\"") {
  Line line;
  line.uuid = std::move(uuid);
  line.content = "\"" + text + "\"";
  line.extra = std::move(extra);
  return line;
}

Line Assistant(std::string uuid, std::string text, std::string model = "claude-sonnet-4",
               std::string timestamp = "2024-05-01T10:00:05.000Z") {
  Line line;
  line.type = "assistant";
  line.uuid = std::move(uuid);
  line.content = "[{\"type\":\"text\",\"text\":\"" + text + "\"}]";
  line.model = std::move(model);
  line.timestamp = std::move(timestamp);
  line.extra = "";
  return line;
}

std::vector<AiRecord> Read(const std::vector<Line>& lines, ClaudeContext& context,
                           const aisync::ReadSettings& settings = kSettings) {
  std::vector<AiRecord> out;
  for (const auto& line : lines) {
    JsonValue root;
    EXPECT_TRUE(aisync::ParseLogLine(line.Json(), root)) << line.Json();
    aisync::HandleClaudeLine(root, context, settings, out);
  }
  return out;
}

// Reads the lines and lets the held prompt go out, as the scanner does 6 s later.
std::vector<AiRecord> ReadAll(const std::vector<Line>& lines) {
  ClaudeContext context;
  auto out = Read(lines, context);
  aisync::FlushStalePrompt(context.hold, kSettings.ticks + aisync::kPendingPromptMs, out);
  return out;
}

TEST(ClaudeReader, OnlyConversationsRunFromVsCodeCount) {
  struct Case {
    const char* entrypoint;
    bool yields;
  } cases[] = {{"claude-vscode", true}, {"vscode", true}, {"sdk-vscode", true},  {"cli", false},
               {"sdk-ts", false},       {"VSCODE", false}, {"claude-vscode ", false}};
  for (const auto& c : cases) {
    auto records = ReadAll({User("u1", "hello", std::string(",\"entrypoint\":\"") + c.entrypoint + "\"")});
    EXPECT_EQ(records.size(), c.yields ? 1u : 0u) << c.entrypoint;
  }
  // A line without an entrypoint keeps what the conversation said before; a non-string
  // one counts as missing.
  EXPECT_TRUE(ReadAll({User("u1", "no entrypoint yet", "")}).empty());
  EXPECT_EQ(ReadAll({User("u1", "a", ",\"entrypoint\":\"vscode\""), User("u2", "b", ",\"entrypoint\":7")}).size(), 2u);
  EXPECT_EQ(ReadAll({User("u1", "a", ",\"entrypoint\":\"vscode\""), User("u2", "b", ",\"entrypoint\":\"cli\""),
                     User("u3", "c", "")})
                .size(),
            1u);
}

TEST(ClaudeReader, PromptTakesTheFirstModelAndRepliesLinkToIt) {
  // The replies come after midnight UTC; they are still filed on the prompt's day.
  auto records = ReadAll({User("p1", "Fix the build"), Assistant("a1", "Looking.", "claude-opus-4"),
                          Assistant("a2", "Found it.", "claude-sonnet-4", "2024-05-02T00:00:01.000Z"),
                          Assistant("a3", "Done.", "claude-sonnet-4", "2024-05-02T00:00:02.000Z")});
  ASSERT_EQ(records.size(), 4u);
  const AiRecord& prompt = records[0];
  EXPECT_FALSE(prompt.isReply);
  EXPECT_EQ(prompt.key, L"claude:S1:p1");
  EXPECT_EQ(prompt.model, L"claude-opus-4");
  EXPECT_EQ(prompt.sourceKind, kAiSourceClaude);
  EXPECT_EQ(prompt.cwd, L"C:\\Work\\app");
  Date date;
  std::wstring time;
  ASSERT_TRUE(aisync::UtcToLocal(L"2024-05-01T10:00:00.000Z", date, time));
  EXPECT_EQ(prompt.localDate, date);
  EXPECT_EQ(prompt.localTime, time);
  const wchar_t* keys[] = {L"claude:S1:a1", L"claude:S1:a2", L"claude:S1:a3"};
  const wchar_t* texts[] = {L"Looking.", L"Found it.", L"Done."};
  for (int i = 0; i < 3; ++i) {
    const AiRecord& reply = records[i + 1];
    EXPECT_TRUE(reply.isReply);
    EXPECT_EQ(reply.key, keys[i]);
    EXPECT_EQ(reply.text, texts[i]);
    EXPECT_EQ(reply.parentKey, L"claude:S1:p1");
    EXPECT_EQ(reply.localDate, date);
    EXPECT_EQ(reply.requestTime, time);
    EXPECT_EQ(reply.requestTimestamp, L"2024-05-01T10:00:00.000Z");
    EXPECT_EQ(reply.phase, L"final_answer");
  }
  EXPECT_EQ(records[2].timestamp, L"2024-05-02T00:00:01.000Z");
}

TEST(ClaudeReader, ToolResultsSidechainsAndMetaLinesLeaveTheConversationAlone) {
  Line toolResult = User("t1", "");
  toolResult.content = R"([{"type":"tool_result","tool_use_id":"x","content":"exit 0"}])";
  Line sidechain = User("s1", "a sub-agent prompt", ",\"isSidechain\":true");
  Line meta = User("m1", "Caveat: local command output", ",\"isMeta\":true");
  Line notReallyMeta = User("m2", "counted", ",\"isMeta\":\"true\",\"entrypoint\":\"vscode\"");
  auto records = ReadAll({User("p1", "Fix the build"), Assistant("a1", "Running the tests."), toolResult, sidechain,
                          meta, Assistant("a2", "All green.")});
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[2].key, L"claude:S1:a2");
  EXPECT_EQ(records[2].parentKey, L"claude:S1:p1");
  // Only the boolean true makes a line meta.
  EXPECT_EQ(ReadAll({notReallyMeta}).size(), 1u);
  // Other line types are not messages even with a message member.
  Line summary = User("x", "summary");
  summary.type = "summary";
  EXPECT_TRUE(ReadAll({summary}).empty());
}

TEST(ClaudeReader, SyntheticModelIsNoModel) {
  auto records = ReadAll({User("p1", "Fix it"), Assistant("a1", "API Error: overloaded", "<synthetic>")});
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].model, L"");
  EXPECT_EQ(records[1].model, L"");
  // A later assistant line cannot give the prompt a model once it went out.
  records = ReadAll({User("p1", "Fix it"), Assistant("a1", "", "<synthetic>"), Assistant("a2", "ok", "claude-x")});
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].model, L"");
  EXPECT_EQ(records[1].model, L"claude-x");
}

TEST(ClaudeReader, ContentTextJoinsTextBlocksOnly) {
  struct Case {
    const char* content;
    const wchar_t* text;
  } cases[] = {
      {R"("plain")", L"plain"},
      {R"([{"type":"text","text":"one"},{"type":"thinking","thinking":"hm"},{"type":"text","text":""},{"type":"tool_use","name":"Bash"},{"type":"image","source":{}},{"type":"text","text":"two"}])",
       L"one\n\ntwo"},
      {R"([{"type":"text","text":5},"loose string"])", L""},
      {R"({"type":"text","text":"object"})", L""},
      {"null", L""},
  };
  for (const auto& c : cases) {
    JsonValue content;
    std::wstring error;
    ASSERT_TRUE(json::Parse(std::wstring(c.content, c.content + strlen(c.content)), false, content, error));
    EXPECT_EQ(aisync::ClaudeContentText(&content), c.text) << c.content;
  }
}

TEST(ClaudeReader, InvalidMessagesHaveNoEffectAtAll) {
  Line badTime = User("p2", "bad time");
  badTime.timestamp = "2024-05-01 10:00:00";
  Line noId = User("", "no id");
  Line relative = User("p3", "relative");
  auto json = relative.Json();
  // The same line from a relative working folder.
  std::string relativeJson = json.replace(json.find("C:\\\\Work\\\\app"), 13, "work\\\\app");
  ClaudeContext context;
  auto records = Read({User("p1", "first"), badTime, noId}, context);
  EXPECT_TRUE(records.empty());  // the first prompt is still held, not pushed out
  EXPECT_EQ(context.hold.pending.key, L"claude:S1:p1");
  JsonValue root;
  ASSERT_TRUE(aisync::ParseLogLine(relativeJson, root));
  aisync::HandleClaudeLine(root, context, kSettings, records);
  EXPECT_TRUE(records.empty());
  EXPECT_EQ(context.hold.lastPromptKey, L"claude:S1:p1");
}

TEST(ClaudeReader, DuplicateUuidsGiveTheSameKey) {
  auto records = ReadAll({User("p1", "Fix it"), Assistant("a1", "ok"), Assistant("a1", "ok")});
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].key, records[2].key);
  records = ReadAll({User("p1", "Fix it"), User("p1", "Fix it")});
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].key, records[1].key);
}

TEST(ClaudeReader, PromptsBeforeTheSinceDateTakeTheirRepliesWithThem) {
  Line old = User("p0", "old prompt");
  old.timestamp = "2023-12-30T10:00:00.000Z";
  auto records = ReadAll({old, Assistant("a0", "old reply", "m", "2024-01-05T10:00:00.000Z"), User("p1", "new"),
                          Assistant("a1", "new reply")});
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].key, L"claude:S1:p1");
  EXPECT_EQ(records[1].parentKey, L"claude:S1:p1");
}

TEST(ClaudeReader, HeldPromptWaitsSixSecondsOfSilence) {
  ClaudeContext context;
  auto out = Read({User("p1", "Fix it")}, context);
  EXPECT_TRUE(out.empty());
  aisync::FlushStalePrompt(context.hold, kSettings.ticks + 5999, out);
  EXPECT_TRUE(out.empty());
  aisync::FlushStalePrompt(context.hold, kSettings.ticks - 1, out);  // a tick count from before: not due
  EXPECT_TRUE(out.empty());
  aisync::FlushStalePrompt(context.hold, kSettings.ticks + 6000, out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].model, L"");
  EXPECT_TRUE(context.hold.pending.key.empty());
  // The prompt stays the last one: a late reply still links to it, and it is not sent twice.
  auto later = Read({Assistant("a1", "late answer")}, context);
  ASSERT_EQ(later.size(), 1u);
  EXPECT_EQ(later[0].parentKey, L"claude:S1:p1");
}

TEST(ClaudeReader, SourceFindsTranscriptsAndFlushesThroughTheScannerHooks) {
  testpaths::TempDir home;
  std::filesystem::create_directories(std::filesystem::path(home / L"projects\\c--Work-b"));
  std::filesystem::create_directories(std::filesystem::path(home / L"projects\\c--Work-a\\sub.jsonl"));
  auto write = [&](const std::wstring& name, const std::string& text) {
    std::ofstream(std::filesystem::path(home / name), std::ios::binary | std::ios::app) << text;
  };
  write(L"projects\\c--Work-b\\one.jsonl", User("p1", "from b").Json() + "\n");
  write(L"projects\\c--Work-a\\two.jsonl", User("p2", "from a").Json() + "\n" + User("p3", "unfinished").Json());
  write(L"projects\\c--Work-a\\three.JSONL", User("p4", "wrong case").Json() + "\n");
  write(L"projects\\c--Work-a\\four.jsonl.bak", User("p5", "backup").Json() + "\n");
  write(L"projects\\loose.jsonl", User("p6", "not in a project").Json() + "\n");

  auto files = aisync::ClaudeTranscripts(home.path());
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0], home / L"projects\\c--Work-a\\two.jsonl");
  EXPECT_EQ(files[1], home / L"projects\\c--Work-b\\one.jsonl");

  aisync::ClaudeSource source(home.path());
  testsources::SourceDriver driver(source);
  driver.SetTicks(10000);
  EXPECT_TRUE(driver.Pass().empty());  // both prompts are held
  driver.SetTicks(15999);
  EXPECT_TRUE(driver.Pass().empty());
  driver.SetTicks(16000);
  auto records = driver.Pass();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].key, L"claude:S1:p2");
  EXPECT_EQ(records[1].key, L"claude:S1:p1");
  // The unfinished line counts once its line feed arrives; the reply then follows it.
  write(L"projects\\c--Work-a\\two.jsonl", "\n" + Assistant("a3", "answer").Json() + "\n");
  records = driver.Pass();
  ASSERT_EQ(records.size(), 2u) << (records.empty() ? std::wstring() : records[0].key);
  EXPECT_EQ(records[0].key, L"claude:S1:p3");
  EXPECT_EQ(records[0].model, L"claude-sonnet-4");
  EXPECT_EQ(records[1].parentKey, L"claude:S1:p3");
  EXPECT_TRUE(aisync::ClaudeTranscripts(L"").empty());
}

}  // namespace
