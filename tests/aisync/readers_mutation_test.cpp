// Damaged and hostile input for the Claude Code, Copilot and VS Code Chat readers: none
// may crash or hang, and whatever still comes out must be a well-formed record.
#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "aisync/chat_document.h"
#include "aisync/chat_reader.h"
#include "aisync/claude_reader.h"
#include "aisync/copilot_reader.h"
#include "aisync/folder_match.h"
#include "model/utf8.h"

namespace {

using aisync::AiRecord;

// Dates straddle the since date so the date rules are exercised, not bypassed.
const aisync::ReadSettings kSettings{Date{2024, 3, 1}, 0, 1000000};

const std::vector<std::string> kClaude = {
    R"({"parentUuid":null,"isSidechain":false,"userType":"external","cwd":"C:\\Users\\dev\\app","sessionId":"5d1c7e9a-0b1e-4c55-9f0a-3c2d1e0f9a8b","version":"2.0.14","gitBranch":"main","entrypoint":"claude-vscode","type":"user","message":{"role":"user","content":"Fix the build, see C:\\Users\\dev\\app\\main.cpp"},"uuid":"u-1","timestamp":"2024-05-01T10:00:00.123Z"})",
    R"({"isSidechain":false,"cwd":"C:\\Users\\dev\\app","sessionId":"5d1c7e9a-0b1e-4c55-9f0a-3c2d1e0f9a8b","type":"assistant","message":{"id":"msg_1","type":"message","role":"assistant","model":"claude-sonnet-4-5","content":[{"type":"thinking","thinking":"look at cmake"},{"type":"text","text":"The link order is wrong."},{"type":"tool_use","id":"t1","name":"Bash","input":{"command":"cmake --build build"}}],"stop_reason":"tool_use","usage":{"input_tokens":12,"output_tokens":40}},"uuid":"a-1","timestamp":"2024-05-01T10:00:05Z"})",
    R"({"isSidechain":false,"cwd":"C:\\Users\\dev\\app","sessionId":"5d1c7e9a-0b1e-4c55-9f0a-3c2d1e0f9a8b","type":"user","message":{"role":"user","content":[{"tool_use_id":"t1","type":"tool_result","content":"[100%] Built target app","is_error":false}]},"uuid":"u-2","timestamp":"2024-05-01T10:00:09Z","toolUseResult":{"stdout":"ok"}})",
    R"({"isSidechain":false,"type":"assistant","message":{"model":"<synthetic>","content":[{"type":"text","text":"API Error: 529 overloaded"}]},"uuid":"a-2","timestamp":"2024-05-01T10:00:10Z","sessionId":"5d1c7e9a-0b1e-4c55-9f0a-3c2d1e0f9a8b"})",
    R"({"isSidechain":true,"type":"user","entrypoint":"cli","message":{"role":"user","content":"sub task"},"uuid":"s-1","timestamp":"2024-05-01T10:00:11Z","sessionId":"x"})",
    R"({"isMeta":true,"type":"user","message":{"role":"user","content":"<command-name>/clear</command-name>"},"uuid":"m-1","timestamp":"2024-02-28T10:00:11Z","sessionId":"x"})",
    R"({"type":"summary","summary":"Build fix","leafUuid":"a-1"})",
    R"({"type":"user","entrypoint":"sdk-vscode","cwd":"D:\\w","sessionId":"s2","message":{"content":[{"type":"text","text":"자동 저장이 안 돼요"},{"type":"image","source":{"type":"base64","data":"iVBOR"}}]},"uuid":"u-3","timestamp":"2024-02-29T23:59:59Z"})",
};

const std::vector<std::string> kCopilot = {
    R"({"type":"session.start","data":{"sessionId":"0a1b2c3d-4e5f-6a7b-8c9d-0e1f2a3b4c5d","version":1,"producer":"copilot-agent","copilotVersion":"0.0.339","startTime":"2024-05-01T09:59:00Z","context":{"cwd":"C:\\Users\\dev\\app","gitRoot":"C:\\Users\\dev\\app"},"selectedModel":"claude-sonnet-4.5"},"id":"e-0","timestamp":"2024-05-01T09:59:00.000Z","parentId":null})",
    R"({"type":"user.message","data":{"content":"Fix the build","transformedContent":"<context>…</context>Fix the build","attachments":[],"interactionId":"i-1"},"id":"e-1","timestamp":"2024-05-01T10:00:00.000Z","parentId":"e-0"})",
    R"({"type":"assistant.turn_start","data":{"turnId":"0"},"id":"e-2","timestamp":"2024-05-01T10:00:01.000Z"})",
    R"({"type":"assistant.message","data":{"messageId":"m-1","content":"Looking at the link order.","toolRequests":[{"toolCallId":"c1","name":"powershell","arguments":{"command":"cmake --build build"}}],"interactionId":"i-1","phase":"commentary"},"id":"e-3","timestamp":"2024-05-01T10:00:02.000Z"})",
    R"({"type":"tool.execution_complete","data":{"toolCallId":"c1","success":true,"result":{"content":"[100%] Built target app"}},"id":"e-4","timestamp":"2024-05-01T10:00:08.000Z"})",
    R"({"type":"assistant.message","data":{"content":"Sub-agent result","parentAgentTaskId":"task-1","interactionId":"i-1"},"id":"e-5","timestamp":"2024-05-01T10:00:09.000Z"})",
    R"({"type":"session.model_change","data":{"newModel":"gpt-5","previousModel":"claude-sonnet-4.5"},"id":"e-6","timestamp":"2024-05-01T10:00:10.000Z"})",
    R"({"type":"assistant.message","data":{"content":"Done: the link order was wrong.","model":"gpt-5","interactionId":"i-0"},"id":"e-7","timestamp":"2024-05-01T10:00:11.000Z"})",
    R"({"type":"assistant.message","data":{"content":"Done.","interactionId":"i-1"},"id":"e-8","timestamp":"2024-02-29T10:00:11.000Z"})",
};

const std::vector<std::string> kChatPatches = {
    R"({"kind":0,"v":{"version":3,"sessionId":"c0ffee00-1111-2222-3333-444455556666","creationDate":1714557600000,"workingDirectory":{"scheme":"file","path":"/C:/Users/dev/app"},"requests":[]}})",
    R"({"kind":2,"k":["requests"],"v":[{"requestId":"request_1","message":{"text":"Fix the build","parts":[]},"timestamp":1714557600000,"modelId":"copilot/gpt-5","modelState":{"value":0},"response":[]}]})",
    R"({"kind":2,"k":["requests",0,"response"],"v":[{"kind":"markdownContent","content":{"value":"The link order is wrong.\n\n```cmake\nx\n```"}},{"kind":"toolInvocationSerialized","invocationMessage":"ran"}]})",
    R"({"kind":1,"k":["requests",0,"modelState"],"v":{"value":1,"completedAt":1714557610000}})",
    R"({"kind":1,"k":["requests",0,"responseTimestamp"],"v":1714557610000})",
    R"({"kind":2,"k":["requests"],"i":1,"v":[{"requestId":"request_2","message":"second","timestamp":1709251200000,"isComplete":false,"response":["partial"]}]})",
    R"({"kind":3,"k":["requests",1,"response"]})",
    R"({"kind":1,"k":["requests",1,"isSystemInitiated"],"v":true})",
};

class Mutator {
 public:
  explicit Mutator(uint64_t seed) : random_(seed) {}
  size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(random_() % n); }

  std::string Mutate(std::string line, const std::vector<std::string>& corpus) {
    for (size_t rounds = 1 + Below(3); rounds > 0; --rounds) line = Once(std::move(line), corpus);
    return line;
  }

 private:
  std::string Once(std::string line, const std::vector<std::string>& corpus) {
    static const char* const kValues[] = {"null", "true", "false", "[]", "{}", "\"\"", "0", "-1", "1e999", "1.5",
                                          "\"vscode\"", "\"<synthetic>\"", "\"2024-05-01T10:00:00Z\"", "\"C:\\\\w\"",
                                          "[\"requests\",0]", "[1,2,3]", "253402300800000", "4294967296",
                                          "\"0a1b2c3d-4e5f-6a7b-8c9d-0e1f2a3b4c5d\""};
    static const char* const kBadBytes[] = {"\x80", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\xFF",
                                            "\\ud800", "\\u0000", "\\uzzzz"};
    switch (Below(10)) {
      case 0:
        if (!line.empty()) line[Below(line.size())] ^= static_cast<char>(1u << Below(8));
        return line;
      case 1:
        return line.substr(0, Below(line.size() + 1));
      case 2:
        return line.insert(Below(line.size() + 1), kBadBytes[Below(std::size(kBadBytes))]);
      case 3:
      case 4:
        return ReplaceValue(std::move(line), kValues[Below(std::size(kValues))]);
      case 5: {
        const std::string& other = corpus[Below(corpus.size())];
        return line.substr(0, Below(line.size() + 1)) + other.substr(Below(other.size() + 1));
      }
      case 6: {  // deep nesting, past any sane depth
        size_t depth = 100 + Below(400);
        std::string open(depth, '['), close(depth, ']');
        return ReplaceValue(std::move(line), (open + close).c_str());
      }
      case 7: {  // a key path that walks far and wide
        std::string path = "[";
        for (size_t n = Below(40); n > 0; --n) path += Below(2) ? "\"requests\"," : std::to_string(Below(4)) + ",";
        path += "0]";
        return ReplaceValue(std::move(line), path.c_str());
      }
      case 8: {
        size_t from = Below(line.size() + 1);
        return line.erase(from, Below(line.size() - from + 1));
      }
      default:
        return line;  // sometimes the line stays sound, so sequences get far
    }
  }

  std::string ReplaceValue(std::string line, const char* value) {
    std::vector<size_t> starts;
    for (size_t i = 1; i < line.size(); ++i) {
      if (line[i] == ':' && line[i - 1] == '"') starts.push_back(i + 1);
    }
    if (starts.empty()) return line;
    size_t start = starts[Below(starts.size())], end = start;
    if (end < line.size() && line[end] == '"') {
      ++end;
      while (end < line.size() && line[end] != '"') end += line[end] == '\\' ? 2 : 1;
      end = std::min(end + 1, line.size());
    } else {
      int depth = 0;
      while (end < line.size() && (depth > 0 || (line[end] != ',' && line[end] != '}' && line[end] != ']'))) {
        if (line[end] == '{' || line[end] == '[') ++depth;
        if (line[end] == '}' || line[end] == ']') --depth;
        ++end;
      }
    }
    return line.replace(start, end - start, value);
  }

  std::mt19937_64 random_;
};

void ExpectWellFormed(const std::vector<AiRecord>& records, const wchar_t* keyPrefix, int sourceKind) {
  for (const auto& record : records) {
    ASSERT_TRUE(record.key.starts_with(keyPrefix)) << record.key;
    EXPECT_EQ(record.sourceKind, sourceKind);
    EXPECT_TRUE(aisync::IsAbsoluteFolderPath(record.cwd)) << record.cwd;
    EXPECT_TRUE(dates::IsValid(record.localDate));
    EXPECT_EQ(record.localTime.size(), 8u);
    EXPECT_FALSE(dates::Less(record.localDate, kSettings.since));
    EXPECT_EQ(record.isReply, !record.parentKey.empty());
    EXPECT_TRUE(aisync::HasVisibleText(record.text));
  }
}

constexpr int kInputsPerReader = 20000;

TEST(ReadersMutation, ClaudeLines) {
  Mutator mutator(0x5eed0001);
  aisync::ClaudeSource source(L"");
  std::unique_ptr<aisync::LogFileContext> context;
  std::vector<AiRecord> out;
  for (int i = 0; i < kInputsPerReader; ++i) {
    if (i % 40 == 0) context = source.MakeContext(L"C:\\t.jsonl");
    std::string line = mutator.Mutate(kClaude[mutator.Below(kClaude.size())], kClaude);
    source.HandleLine(line, 0, *context, kSettings, out);
    if (i % 7 == 0) source.Idle(*context, aisync::ReadSettings{kSettings.since, 1u << 30, 100}, out);
  }
  ExpectWellFormed(out, L"claude:", kAiSourceClaude);
  EXPECT_GT(out.size(), 100u);  // the mutations left enough intact to reach the emitter
}

TEST(ReadersMutation, CopilotLines) {
  Mutator mutator(0x5eed0002);
  aisync::CopilotSource source({});
  std::unique_ptr<aisync::LogFileContext> context;
  std::vector<AiRecord> out;
  for (int i = 0; i < kInputsPerReader; ++i) {
    if (i % 40 == 0) context = source.MakeContext(L"C:\\t.jsonl");
    std::string line = mutator.Mutate(kCopilot[mutator.Below(kCopilot.size())], kCopilot);
    source.HandleLine(line, 0, *context, kSettings, out);
    if (i % 7 == 0) source.Idle(*context, aisync::ReadSettings{kSettings.since, 1u << 30, 100}, out);
  }
  ExpectWellFormed(out, L"chat-agent:", kAiSourceChat);
  EXPECT_GT(out.size(), 100u);
  for (const auto& text : {std::wstring(L"client_name: vscode"), std::wstring(L"client_name:"), std::wstring()}) {
    for (size_t cut = 0; cut <= text.size(); ++cut) aisync::WorkspaceNamesVsCode(text.substr(0, cut));
  }
}

TEST(ReadersMutation, ChatPatchLogsAndDocuments) {
  Mutator mutator(0x5eed0003);
  std::vector<AiRecord> out;
  std::unordered_set<std::wstring> emitted;
  int documents = 0;
  // Each log is a handful of mutated patches; together they are well over 20,000 lines.
  for (int i = 0; i < kInputsPerReader / 8; ++i) {
    std::string log;
    for (size_t line = 0; line < kChatPatches.size(); ++line) {
      log += (mutator.Below(3) == 0 ? mutator.Mutate(kChatPatches[line], kChatPatches) : kChatPatches[line]) + "\n";
    }
    JsonValue document;
    if (aisync::ChatDocumentFromPatchLog(log, document)) {
      ++documents;
      aisync::ReadChatDocument(document, L"C:\\ws\\chatSessions\\s.jsonl", L"C:\\fallback", emitted, kSettings, out);
      // The same document as a whole file.
      std::wstring text;
      json::Serialize(document, false, 0, text);
      JsonValue again;
      EXPECT_TRUE(aisync::ChatDocumentFromJson(utf8::FromWide(text), again));
    }
    if (i % 50 == 0) emitted.clear();
  }
  ExpectWellFormed(out, L"chat:", kAiSourceChat);
  EXPECT_GT(documents, 100);
  EXPECT_GT(out.size(), 100u);
}

}  // namespace
