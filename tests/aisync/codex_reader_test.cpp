#include "aisync/codex_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "aisync/log_time.h"
#include "codex_test_reader.h"
#include "support/temp_dir.h"

namespace {

using aisync::AiRecord;

const Date kSince{2024, 1, 1};

std::string Meta(const std::string& extra = "\"source\": \"vscode\"") {
  return R"({"timestamp":"2024-05-01T09:00:00.000Z","type":"session_meta","payload":{"id":"S1","cwd":"C:\\Work\\app","model":"gpt-5-codex",)" +
         extra + "}}";
}

std::string Prompt(const std::string& text, const std::string& timestamp = "2024-05-01T10:00:00.000Z",
                   const std::string& extra = ",\"client_id\":\"c1\"") {
  return R"({"timestamp":")" + timestamp + R"(","type":"event_msg","payload":{"type":"user_message","message":")" + text +
         "\"" + extra + "}}";
}

std::string Reply(const std::string& text, const std::string& timestamp = "2024-05-01T10:00:05.000Z",
                  const std::string& phase = "final_answer") {
  return R"({"timestamp":")" + timestamp + R"(","type":"event_msg","payload":{"type":"agent_message","message":")" +
         text + R"(","phase":")" + phase + "\"}}";
}

// Everything the lines yield, a record still held at the end included.
std::vector<AiRecord> ReadLines(const std::vector<std::string>& lines, Date since = kSince) {
  codextest::FileReader reader(since);
  reader.Lines(lines);
  reader.Expire();
  return reader.out;
}

TEST(CodexReader, PromptAndReplyOfAVsCodeSession) {
  auto records = ReadLines({Meta(), Prompt("Fix the build"), Reply("Done: the link order was wrong.")});
  ASSERT_EQ(records.size(), 2u);
  const AiRecord& prompt = records[0];
  EXPECT_FALSE(prompt.isReply);
  EXPECT_EQ(prompt.key, L"S1:c1");
  EXPECT_EQ(prompt.session, L"S1");
  EXPECT_EQ(prompt.cwd, L"C:\\Work\\app");
  EXPECT_EQ(prompt.model, L"gpt-5-codex");
  EXPECT_EQ(prompt.text, L"Fix the build");
  EXPECT_EQ(prompt.sourceKind, kAiSourceCodex);
  const AiRecord& reply = records[1];
  EXPECT_TRUE(reply.isReply);
  EXPECT_EQ(reply.parentKey, L"S1:c1");
  EXPECT_EQ(reply.requestTime, prompt.localTime);
  EXPECT_EQ(reply.requestTimestamp, L"2024-05-01T10:00:00.000Z");
  EXPECT_EQ(reply.localDate, prompt.localDate);
  EXPECT_EQ(reply.phase, L"final_answer");
  EXPECT_TRUE(reply.key.starts_with(L"S1:assistant:2024-05-01T10:00:05.000Z:"));
  EXPECT_EQ(reply.key.size(), std::wstring(L"S1:assistant:2024-05-01T10:00:05.000Z:").size() + 16);
}

TEST(CodexReader, OnlyVsCodeConversationsCount) {
  EXPECT_TRUE(ReadLines({Meta("\"source\": \"cli\""), Prompt("x")}).empty());
  EXPECT_TRUE(ReadLines({Meta("\"source\": 5"), Prompt("x")}).empty());
  EXPECT_EQ(ReadLines({Meta("\"originator\": \"codex_vscode\""), Prompt("x")}).size(), 1u);
  EXPECT_TRUE(ReadLines({Meta("\"originator\": \"codex_cli\""), Prompt("x")}).empty());
  EXPECT_TRUE(ReadLines({Meta("\"source\": \"vscode\", \"thread_source\": \"subagent\""), Prompt("x")}).empty());
  EXPECT_EQ(ReadLines({Meta("\"source\": \"vscode\", \"thread_source\": \"user\""), Prompt("x")}).size(), 1u);
  EXPECT_TRUE(ReadLines({Prompt("no session yet")}).empty());
}

TEST(CodexReader, RepliesNeedTheirPromptAndTheSinceDate) {
  EXPECT_TRUE(ReadLines({Meta(), Reply("a reply before any prompt")}).empty());
  // A prompt from the day before the since date is dropped, and so are its replies.
  auto records = ReadLines({Meta(), Prompt("old", "2024-04-29T12:00:00Z"), Reply("late reply", "2024-05-02T12:00:00Z")},
                     Date{2024, 4, 30});
  EXPECT_TRUE(records.empty());
  // A reply to a prompt that was filtered out does not attach to an earlier prompt.
  records = ReadLines({Meta(), Prompt("kept"), Prompt("   ", "2024-05-01T10:01:00Z", ""), Reply("answer")});
  ASSERT_EQ(records.size(), 1u);
  EXPECT_FALSE(records[0].isReply);
}

TEST(CodexReader, KeysFromOffsetsAndPhases) {
  std::string meta = Meta();
  std::string prompt = Prompt("no client id", "2024-05-01T10:00:00Z", "");
  codextest::FileReader reader(kSince);
  reader.Line(meta, 0);
  reader.Line(prompt, 1234);
  ASSERT_EQ(reader.out.size(), 1u);
  EXPECT_EQ(reader.out[0].key, L"S1:2024-05-01T10:00:00Z:1234");

  auto records = ReadLines({Meta(), Prompt("q"), Reply("same text", "2024-05-01T10:00:05Z", "commentary"),
                      Reply("same text", "2024-05-01T10:00:05Z", "final_answer"),
                      Reply("same text", "2024-05-01T10:00:05Z", "unknown_phase")});
  ASSERT_EQ(records.size(), 3u);
  EXPECT_NE(records[1].key, records[2].key);
}

TEST(CodexReader, CodeOnlyRepliesAndAttachmentOnlyPrompts) {
  auto records = ReadLines({Meta(), Prompt("q"), Reply("```cpp\\nint main() { return 0; }\\n```")});
  ASSERT_EQ(records.size(), 1u) << "a reply that is only code is not a record";

  testpaths::TempDir dir;
  std::wstring image = dir / L"shot.png";
  std::ofstream(std::filesystem::path(image), std::ios::binary) << "png";
  std::string path = std::filesystem::path(image).string();
  std::string escaped;
  for (char c : path) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  records = ReadLines({Meta(), Prompt("", "2024-05-01T10:00:00Z", ",\"local_images\":[\"" + escaped + "\"]")});
  ASSERT_EQ(records.size(), 1u) << "an empty prompt with an image is sent";
  ASSERT_EQ(records[0].attachments.size(), 1u);
  EXPECT_EQ(records[0].attachments[0].source, image);
}

TEST(CodexReader, ItemCompletedFormAndTurnContext) {
  std::string turn = R"({"type":"turn_context","payload":{"cwd":"D:\\Other","model":"o4-mini"}})";
  std::string item =
      R"({"timestamp":"2024-05-01T11:00:00Z","type":"event_msg","payload":{"type":"item_completed","item":{"type":"UserMessage","id":"item-7","content":[{"type":"text","text":"Part one, "},{"type":"text","text":"part two"},{"type":"image","image_url":"data:image/png;base64,iVBORw0KGgo="}]}}})";
  auto records = ReadLines({Meta(), turn, item});
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].key, L"S1:item-7");
  EXPECT_EQ(records[0].cwd, L"D:\\Other");
  EXPECT_EQ(records[0].model, L"o4-mini");
  EXPECT_EQ(records[0].text, L"Part one, part two");
  ASSERT_EQ(records[0].attachments.size(), 1u);
  EXPECT_TRUE(records[0].attachments[0].source.starts_with(L"data:image/png"));
}

TEST(CodexReader, BrokenAndUnrelatedLinesAreSkipped) {
  auto records = ReadLines({Meta(), "{\"type\":\"event_msg\",\"payload\":{\"type\":\"user_message\"", "not json user_message",
                      R"({"type":"event_msg","payload":"user_message"})",
                      R"({"timestamp":"2024-05-01T10:00:00","type":"event_msg","payload":{"type":"user_message","message":"no Z"}})",
                      R"({"timestamp":"2024-02-30T10:00:00Z","type":"event_msg","payload":{"type":"user_message","message":"bad day"}})",
                      R"({"type":"response_item","payload":{"type":"function_call"}})"});
  EXPECT_TRUE(records.empty());
}

TEST(CodexReader, ASecondSessionHeaderForgetsThePreviousPrompt) {
  std::string other =
      R"({"timestamp":"2024-05-01T11:00:00Z","type":"session_meta","payload":{"id":"S2","cwd":"C:\\Work\\app","source":"vscode"}})";
  auto records = ReadLines({Meta(), Prompt("q"), other, Reply("an answer in the new session")});
  ASSERT_EQ(records.size(), 1u) << "the reply of S2 has no prompt of its own";
  EXPECT_FALSE(records[0].isReply);
  // The same conversation announced again (a resumed log) keeps its prompt.
  records = ReadLines({Meta(), Prompt("q"), Meta(), Reply("still the same conversation")});
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].parentKey, L"S1:c1");
}

const char kNoModelMeta[] =
    R"({"timestamp":"2024-05-01T09:00:00Z","type":"session_meta","payload":{"id":"S1","cwd":"C:\\Work\\app","source":"vscode"}})";

std::string TurnContext(const std::string& model) {
  return R"({"type":"turn_context","payload":{"cwd":"C:\\Work\\app","model":")" + model + "\"}}";
}

// Which record waits in the hold and with which model each leaves, as turns begin.
TEST(CodexReader, APromptWaitsForTheModelOfItsTurn) {
  std::string replyWithModel =
      R"({"timestamp":"2024-05-01T10:00:05Z","type":"event_msg","payload":{"type":"agent_message","message":"ok","phase":"final_answer","model":"m-reply"}})";
  std::string ownModel = Prompt("q", "2024-05-01T10:00:00Z", R"(,"client_id":"c1","model":"m-own")");
  std::string old = Prompt("old", "2023-12-31T12:00:00Z", R"(,"client_id":"c0")");
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::wstring> outModels;  // models of the prompts out so far, in order
    std::wstring heldKey;                 // the prompt still held
  };
  const Case cases[] = {
      {"no model yet", {kNoModelMeta, Prompt("q")}, {}, L"S1:c1"},
      {"its turn_context", {kNoModelMeta, Prompt("q"), TurnContext("m1")}, {L"m1"}, L""},
      {"its first reply", {kNoModelMeta, Prompt("q"), replyWithModel}, {L"m-reply"}, L""},
      {"a model of its own", {kNoModelMeta, ownModel}, {L"m-own"}, L""},
      {"turn_context ahead", {kNoModelMeta, TurnContext("m1"), Prompt("q")}, {L"m1"}, L""},
      {"the next prompt", {kNoModelMeta, Prompt("q"), Prompt("r", "2024-05-01T10:01:00Z", R"(,"client_id":"c2")")},
       {L""}, L"S1:c2"},
      // The turn_context after a prompt that was dropped is that prompt's, not the next one's.
      {"after a dropped prompt", {kNoModelMeta, old, TurnContext("m0"), Prompt("q")}, {}, L"S1:c1"},
      {"a session header", {kNoModelMeta, Prompt("q"), Meta()}, {L""}, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    codextest::FileReader reader(kSince);
    reader.Lines(c.lines);
    std::vector<std::wstring> models;
    for (const AiRecord& record : reader.out) {
      if (!record.isReply) models.push_back(record.model);
    }
    EXPECT_EQ(models, c.outModels);
    EXPECT_EQ(reader.held.key, c.heldKey);
  }
}

std::string Twin(const std::string& text, const std::string& phase) {
  return R"({"timestamp":"2024-05-01T10:00:04Z","type":"response_item","payload":{"type":"message","role":"assistant","content":[{"type":"output_text","text":")" +
         text + R"("}],"phase":")" + phase + "\"}}";
}

TEST(CodexReader, TwinsNameThePhaseOfEventsWithoutOne) {
  const std::string event =
      R"({"timestamp":"2024-05-01T10:00:05Z","type":"event_msg","payload":{"type":"agent_message","message":"Looking at it."}})";
  const std::wstring keyWithoutPhase = L"S1:assistant:2024-05-01T10:00:05Z:" + aisync::Fnv1aHex(L"\nLooking at it.");
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::wstring phase;
  };
  const Case cases[] = {
      {"twin before", {Meta(), Prompt("q"), Twin("Looking at it.", "commentary"), event}, L"commentary"},
      {"twin after", {Meta(), Prompt("q"), event, Twin("Looking at it.", "final_answer")}, L"final_answer"},
      {"no twin before the next message", {Meta(), Prompt("q"), event, Reply("Next.")}, L""},
      {"no twin at all", {Meta(), Prompt("q"), event}, L""},
      {"another text's twin", {Meta(), Prompt("q"), Twin("Something else.", "commentary"), event}, L""},
      {"a twin of the turn before",
       {Meta(), Prompt("q"), Twin("Looking at it.", "commentary"), Prompt("r", "2024-05-01T10:00:04.500Z"), event}, L""},
      {"a phase the reader does not know", {Meta(), Prompt("q"), event, Twin("Looking at it.", "analysis")}, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto records = ReadLines(c.lines);
    auto reply = std::find_if(records.begin(), records.end(), [](const AiRecord& r) { return r.text == L"Looking at it."; });
    ASSERT_NE(reply, records.end());
    EXPECT_EQ(reply->phase, c.phase);
    EXPECT_EQ(reply->key, keyWithoutPhase) << "the key comes from the event alone";
  }
  // A phase of the event's own is kept, and so is its key.
  auto records = ReadLines({Meta(), Prompt("q"), Twin("Looking at it.", "commentary"), Reply("Looking at it.", "2024-05-01T10:00:05Z")});
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].phase, L"final_answer");
}

TEST(LogTime, UtcTimestampsAndHashes) {
  Date date;
  std::wstring time;
  EXPECT_TRUE(aisync::UtcToLocal(L"2024-05-01T10:00:00Z", date, time));
  EXPECT_EQ(time.size(), 8u);
  Date withFraction;
  std::wstring timeWithFraction;
  EXPECT_TRUE(aisync::UtcToLocal(L"2024-05-01T10:00:00.500Z", withFraction, timeWithFraction));
  EXPECT_EQ(withFraction, date);
  EXPECT_EQ(timeWithFraction, time);
  EXPECT_FALSE(aisync::UtcToLocal(L"2024-05-01T10:00:00", date, time));
  EXPECT_FALSE(aisync::UtcToLocal(L"2024-05-01T24:00:00Z", date, time));
  EXPECT_FALSE(aisync::UtcToLocal(L"2023-02-29T10:00:00Z", date, time));
  EXPECT_FALSE(aisync::UtcToLocal(L"1600-12-31T10:00:00Z", date, time));
  EXPECT_FALSE(aisync::UtcToLocal(L"", date, time));
  // Known FNV-1a values: the empty input is the offset basis, "a" a published vector.
  EXPECT_EQ(aisync::Fnv1a64(""), 0xcbf29ce484222325ULL);
  EXPECT_EQ(aisync::Fnv1a64("a"), 0xaf63dc4c8601ec8cULL);
  EXPECT_EQ(aisync::Fnv1aHex(L"a"), L"af63dc4c8601ec8c");
}

}  // namespace
