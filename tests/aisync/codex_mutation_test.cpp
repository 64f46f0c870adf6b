// Damaged and hostile Codex log lines: the reader and the scanner must never crash, and
// whatever they still emit must be a well-formed record of the conversation at hand.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "aisync/codex_reader.h"
#include "aisync/log_scanner.h"
#include "codex_test_reader.h"
#include "model/date.h"
#include "support/temp_dir.h"

namespace {

using aisync::AiRecord;

// Timestamps straddle the since date so the date filter is exercised, not bypassed.
const Date kSince{2024, 3, 1};

// Realistic lines of a VS Code conversation, including the tool output that dominates logs.
const std::vector<std::string>& Corpus() {
  static const std::vector<std::string> lines = {
      R"({"timestamp":"2024-05-01T09:00:00.000Z","type":"session_meta","payload":{"id":"0196a1b2-c3d4-7e5f-8a9b-0c1d2e3f4a5b","timestamp":"2024-05-01T09:00:00.000Z","cwd":"C:\\Users\\dev\\src\\app","originator":"codex_vscode","cli_version":"0.46.0","source":"vscode","model_provider":"openai","model":"gpt-5-codex","git":{"commit_hash":"a1b2c3","branch":"main"}}})",
      R"({"timestamp":"2024-05-01T09:00:01.000Z","type":"session_meta","payload":{"session_id":"S-two","cwd":"D:\\work","originator":"codex_vscode"}})",
      R"({"timestamp":"2024-05-01T09:00:02.000Z","type":"turn_context","payload":{"cwd":"C:\\Users\\dev\\src\\app\\sub","approval_policy":"on-request","sandbox_policy":{"mode":"workspace-write"},"model":"o4-mini","effort":"medium","summary":"auto"}})",
      R"({"timestamp":"2024-05-01T10:00:00.123Z","type":"event_msg","payload":{"type":"user_message","message":"Fix the failing build in `C:\\Users\\dev\\src\\app\\main.cpp` please","client_id":"c-41","images":["data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg=="],"local_images":["C:\\Users\\dev\\Pictures\\shot.png"],"kind":"plain"}})",
      R"({"timestamp":"2024-05-01T10:00:03Z","type":"event_msg","payload":{"type":"user_message","message":"자동 저장이 안 돼요. see [log](logs/out.txt) and #file:README.md","images":[],"local_images":[{"path":"C:\\tmp\\a.png","name":"a.png"}]}})",
      R"({"timestamp":"2024-05-01T10:00:05.000Z","type":"event_msg","payload":{"type":"agent_message","message":"I'll look at the link order first.","phase":"commentary"}})",
      R"({"timestamp":"2024-05-01T10:00:09.500Z","type":"event_msg","payload":{"type":"agent_message","message":"Done: the link order was wrong.\n\n```cmake\ntarget_link_libraries(app PRIVATE core)\n```","phase":"final_answer","model":"gpt-5-codex"}})",
      R"({"timestamp":"2024-05-01T10:00:10Z","type":"event_msg","payload":{"type":"agent_message","message":"Finished.","phase":"final"}})",
      // Builds that give the phase only to the response_item twin of the event.
      R"({"timestamp":"2024-05-01T10:00:11Z","type":"response_item","payload":{"type":"message","role":"assistant","content":[{"type":"output_text","text":"Checking the tests now."}],"phase":"commentary"}})",
      R"({"timestamp":"2024-05-01T10:00:11.001Z","type":"event_msg","payload":{"type":"agent_message","message":"Checking the tests now."}})",
      R"({"timestamp":"2024-05-01T10:00:12Z","type":"turn_context","payload":{"cwd":"C:\Users\dev\src\app","model":"gpt-5.3-codex"}})",
      R"({"timestamp":"2024-05-01T10:01:00Z","type":"event_msg","payload":{"type":"item_completed","thread_id":"t1","turn_id":"u1","item":{"type":"UserMessage","id":"item-7","content":[{"type":"text","text":"Part one, "},{"type":"text","text":"part two"},{"type":"image","image_url":"data:image/png;base64,iVBORw0KGgo="},{"type":"local_image","path":"C:\\tmp\\b.png"}]}}})",
      R"({"timestamp":"2024-05-01T10:01:30Z","type":"event_msg","payload":{"type":"item_completed","item":{"type":"AgentMessage","id":"item-8","phase":"final_answer","content":[{"type":"Text","text":"Both parts are handled."},{"type":"Text","text":" See `build.ps1`."}]}}})",
      R"({"timestamp":"2024-02-29T23:59:59Z","type":"event_msg","payload":{"type":"user_message","message":"a prompt around the since date","client_id":"c-old"}})",
      R"({"timestamp":"2024-03-01T00:00:01Z","type":"event_msg","payload":{"type":"agent_message","message":"an answer around the since date"}})",
      R"({"timestamp":"2024-05-01T10:02:00Z","type":"response_item","payload":{"type":"function_call","name":"shell","arguments":"{\"command\":[\"powershell\",\"-Command\",\"cmake --build build\"]}","call_id":"call_1"}})",
      R"({"timestamp":"2024-05-01T10:02:04Z","type":"response_item","payload":{"type":"function_call_output","call_id":"call_1","output":"{\"output\":\"[ 50%] Building CXX object core.cpp.obj\\n[100%] Linking CXX executable app.exe\\n\",\"metadata\":{\"exit_code\":0,\"duration_seconds\":3.2}}"}})",
      R"({"timestamp":"2024-05-01T10:02:05Z","type":"event_msg","payload":{"type":"token_count","info":{"total_token_usage":{"input_tokens":12034,"output_tokens":845}}}})",
  };
  return lines;
}

// Bytes that are not valid UTF-8 in assorted ways: stray continuation, overlong forms,
// encoded surrogates, code points past U+10FFFF, and sequences cut short.
const std::vector<std::string>& BadUtf8() {
  static const std::vector<std::string> bytes = {
      "\x80", "\xBF", "\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80",
      "\xF8\x88\x80\x80\x80", "\xFE", "\xFF", "\xE2\x82", "\xF0\x9F\x98", "\xC3", std::string("\xE2\x00\xAC", 3),
  };
  return bytes;
}

const char* const kSurrogateEscapes[] = {"\\ud800", "\\udfff", "\\ud83d", "\\ude00x", "\\udc00\\ud800", "\\ud83d\\u0041",
                                         "\\uDBFF", "\\u0000", "\\u12", "\\uzzzz"};
const char* const kHugeNumbers[] = {"1e999999", "-1e999999", "123456789012345678901234567890123456789012345678901234567890",
                                    "1e-999999", "-0", "0.0000000000000000000000000000000000001e-400", "9007199254740993",
                                    "1.7976931348623157e309", "00012", "-", "1e", ".5", "NaN", "Infinity"};
const char* const kTimestamps[] = {"2024-02-29T12:00:00Z", "2023-02-29T12:00:00Z", "2024-13-01T00:00:00Z",
                                   "2024-04-31T00:00:00Z", "9999-12-31T23:59:59Z", "1601-01-01T00:00:00Z",
                                   "1600-12-31T23:59:59Z", "2024-05-01T24:00:00Z", "2024-05-01T23:60:00Z",
                                   "2024-05-01T23:59:60Z", "2024-05-01T10:00:00", "2024-05-01T10:00:00.999999999Z",
                                   "-2024-05-01T10:00:00Z", "4294967297-05-01T10:00:00Z", "2024-5-1T1:2:3Z", "", "Z",
                                   "2024-03-01T00:00:00+09:00Z", "2024-02-29T23:00:00Z", "2024-03-01T00:00:00Z"};

class Mutator {
 public:
  explicit Mutator(uint64_t seed) : random_(seed) {}

  size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(random_() % n); }
  bool OneIn(size_t n) { return Below(n) == 0; }

  std::string Mutate(std::string line) {
    int rounds = 1 + static_cast<int>(Below(3));
    for (int i = 0; i < rounds; ++i) line = Once(std::move(line));
    return line;
  }

 private:
  std::string Once(std::string line) {
    switch (Below(14)) {
      case 0: {  // flip a few bits
        if (line.empty()) return line;
        for (size_t n = 1 + Below(8); n > 0; --n) line[Below(line.size())] ^= static_cast<char>(1u << Below(8));
        return line;
      }
      case 1:  // cut short, as a writer interrupted mid-line leaves it
        return line.substr(0, Below(line.size() + 1));
      case 2: {  // random bytes anywhere
        std::string bytes;
        for (size_t n = 1 + Below(6); n > 0; --n) bytes.push_back(static_cast<char>(Below(256)));
        return line.insert(Below(line.size() + 1), bytes);
      }
      case 3:
        return line.insert(InsideString(line), BadUtf8()[Below(BadUtf8().size())]);
      case 4:
        return line.insert(InsideString(line), kSurrogateEscapes[Below(std::size(kSurrogateEscapes))]);
      case 5:
        return line.insert(Below(line.size() + 1), std::string(1 + Below(3), '\0'));
      case 6:
        return Nest(std::move(line));
      case 7:
        return ReplaceValue(std::move(line), kHugeNumbers[Below(std::size(kHugeNumbers))]);
      case 8:
        return DuplicateMember(std::move(line));
      case 9:
        return ReplaceTimestamp(std::move(line));
      case 10: {  // two lines spliced, as an interleaved write would leave them
        const std::string& other = Corpus()[Below(Corpus().size())];
        return line.substr(0, Below(line.size() + 1)) + other.substr(Below(other.size() + 1));
      }
      case 11: {  // a member becomes another kind of value
        static const char* const kValues[] = {"null", "true", "[]", "{}", "\"\"", "[\"vscode\"]", "{\"type\":\"text\"}", "0"};
        return ReplaceValue(std::move(line), kValues[Below(std::size(kValues))]);
      }
      case 12: {  // a long string value
        size_t at = InsideString(line);
        return line.insert(at, std::string(1000 + Below(60000), "ab \\n#](C:\\\\x"[Below(12)]));
      }
      default: {  // drop a span
        size_t from = Below(line.size() + 1);
        return line.erase(from, Below(line.size() - from + 1));
      }
    }
  }

  // A position just after an opening quote, so the bytes land inside a string value.
  size_t InsideString(const std::string& line) {
    std::vector<size_t> quotes;
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '"') quotes.push_back(i + 1);
    }
    return quotes.empty() ? Below(line.size() + 1) : quotes[Below(quotes.size())];
  }

  // The start of a value: just after a colon.
  size_t ValueStart(const std::string& line) {
    std::vector<size_t> colons;
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] == ':' && i > 0 && line[i - 1] == '"') colons.push_back(i + 1);
    }
    return colons.empty() ? std::string::npos : colons[Below(colons.size())];
  }

  // Replaces the scalar or string after a random member with `value`.
  std::string ReplaceValue(std::string line, const char* value) {
    size_t start = ValueStart(line);
    if (start == std::string::npos) return line;
    size_t end = start;
    if (end < line.size() && line[end] == '"') {
      ++end;
      while (end < line.size() && line[end] != '"') end += line[end] == '\\' ? 2 : 1;
      end = std::min(end + 1, line.size());
    } else {
      while (end < line.size() && line[end] != ',' && line[end] != '}' && line[end] != ']') ++end;
    }
    return line.replace(start, end - start, value);
  }

  // Wraps a value in arrays or objects around and past the reader's depth bound.
  std::string Nest(std::string line) {
    size_t start = ValueStart(line);
    if (start == std::string::npos) start = 0;
    size_t depth = 150 + Below(200);
    bool arrays = OneIn(2);
    std::string open, close;
    for (size_t i = 0; i < depth; ++i) {
      open += arrays ? "[" : "{\"message\":";
      close += arrays ? "]" : "}";
    }
    size_t end = start;
    if (end < line.size() && line[end] == '"') {
      ++end;
      while (end < line.size() && line[end] != '"') end += line[end] == '\\' ? 2 : 1;
      end = std::min(end + 1, line.size());
    }
    line.insert(end, close);
    return line.insert(start, open);
  }

  // JSON allows a member twice; the reader takes the first, and either must be harmless.
  std::string DuplicateMember(std::string line) {
    static const char* const kMembers[] = {
        R"("type":"event_msg",)",         R"("type":"session_meta",)",      R"("payload":{"type":"agent_message","message":"dup"},)",
        R"("timestamp":"2024-05-01T11:11:11Z",)", R"("message":"twice",)", R"("client_id":"",)",
        R"("type":"user_message",)",      R"("phase":"bogus",)",             R"("source":"cli",)",
        R"("id":"other-session",)",       R"("cwd":"",)",                    R"("item":{"type":"UserMessage"},)"};
    std::vector<size_t> braces;
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '{') braces.push_back(i + 1);
    }
    if (braces.empty()) return line;
    return line.insert(braces[Below(braces.size())], kMembers[Below(std::size(kMembers))]);
  }

  std::string ReplaceTimestamp(std::string line) {
    const std::string key = "\"timestamp\":\"";
    size_t at = line.find(key);
    if (at == std::string::npos) return line;
    at += key.size();
    size_t end = line.find('"', at);
    if (end == std::string::npos) return line;
    return line.replace(at, end - at, kTimestamps[Below(std::size(kTimestamps))]);
  }

  std::mt19937_64 random_;
};

bool IsClockTime(const std::wstring& time) {
  if (time.size() != 8 || time[2] != L':' || time[5] != L':') return false;
  for (size_t i : {0, 1, 3, 4, 6, 7}) {
    if (time[i] < L'0' || time[i] > L'9') return false;
  }
  auto field = [&](size_t i) { return (time[i] - L'0') * 10 + (time[i + 1] - L'0'); };
  return field(0) <= 23 && field(3) <= 59 && field(6) <= 59;
}

// What must hold of every record, whatever the line looked like.
struct Checker {
  std::wstring lastPromptKey = {};  // the last prompt emitted since the context was made
  Date lastPromptDate = {};
  std::wstring lastPromptTime = {};
  size_t prompts = 0;
  size_t replies = 0;

  void Forget() {
    lastPromptKey.clear();
    lastPromptDate = Date{};
    lastPromptTime.clear();
  }

  // `session` is the conversation the record was read in: a record held back may leave
  // only at the next conversation's header.
  void Check(const AiRecord& record, const std::string& line, const std::wstring& session) {
    SCOPED_TRACE(testing::Message() << "line: " << line.substr(0, 400));
    ASSERT_FALSE(record.key.empty());
    ASSERT_FALSE(session.empty());
    EXPECT_EQ(record.session, session);
    EXPECT_TRUE(record.key.starts_with(session + L":"));
    EXPECT_FALSE(record.cwd.empty());
    EXPECT_EQ(record.sourceKind, kAiSourceCodex);
    EXPECT_TRUE(dates::IsValid(record.localDate));
    EXPECT_FALSE(dates::Less(record.localDate, kSince));
    EXPECT_TRUE(IsClockTime(record.localTime)) << "time: " << testing::PrintToString(record.localTime);
    if (record.isReply) {
      ++replies;
      EXPECT_FALSE(record.parentKey.empty());
      EXPECT_FALSE(record.text.empty());
      // A reply hangs off the prompt emitted last in this conversation, and is filed on its day.
      EXPECT_EQ(record.parentKey, lastPromptKey);
      EXPECT_EQ(record.localDate, lastPromptDate);
      EXPECT_EQ(record.requestTime, lastPromptTime);
      std::wstring head = session + L":assistant:" + record.timestamp + L":";
      ASSERT_TRUE(record.key.starts_with(head));
      std::wstring hash = record.key.substr(head.size());
      EXPECT_EQ(hash.size(), 16u);
      EXPECT_EQ(hash.find_first_not_of(L"0123456789abcdef"), std::wstring::npos);
    } else {
      ++prompts;
      EXPECT_TRUE(record.parentKey.empty());
      EXPECT_TRUE(record.text.find_first_not_of(L" \t\r\n") != std::wstring::npos || !record.attachments.empty());
      lastPromptKey = record.key;
      lastPromptDate = record.localDate;
      lastPromptTime = record.localTime;
    }
  }
};

void RunMutations(uint64_t seed, int inputs, size_t& prompts, size_t& replies, size_t& fromDamaged) {
  Mutator mutator(seed);
  codextest::FileReader reader(kSince);
  Checker checker;
  std::wstring heldSession;  // the conversation the held record was read in
  bool heldDamaged = false;  // and whether its line was damaged
  const auto& corpus = Corpus();
  for (int i = 0; i < inputs; ++i) {
    if (mutator.OneIn(400)) {
      reader = codextest::FileReader(kSince);
      checker.Forget();
    }
    if (mutator.OneIn(40) && !reader.held.key.empty()) {  // the scanner's hold ran out
      reader.Expire();
      fromDamaged += heldDamaged;
      checker.Check(reader.out.back(), "(held record expired)", heldSession);
      reader.out.clear();
      if (testing::Test::HasFailure()) return;
    }
    // Intact lines keep a conversation going, so the damaged ones meet a live context.
    const std::string& seedLine = corpus[mutator.Below(corpus.size())];
    bool intact = mutator.OneIn(3);
    std::string line = intact ? seedLine : mutator.Mutate(seedLine);
    const std::wstring heldKey = reader.held.key;
    reader.Lines({line});
    // A record held back from an earlier line leaves first; the line itself adds at most one.
    bool releasedHeld = !heldKey.empty() && !reader.out.empty() && reader.out[0].key == heldKey;
    ASSERT_LE(reader.out.size(), releasedHeld ? 2u : 1u) << "one line, at most one record of its own";
    if (!heldKey.empty() && !releasedHeld) {
      ASSERT_EQ(reader.held.key, heldKey) << "a held record is never dropped";
    }
    for (size_t n = 0; n < reader.out.size(); ++n) {
      bool wasHeld = n == 0 && releasedHeld;
      fromDamaged += wasHeld ? heldDamaged : !intact;
      checker.Check(reader.out[n], line, wasHeld ? heldSession : reader.context.session);
      if (testing::Test::HasFatalFailure()) return;
    }
    if (!reader.held.key.empty() && (heldKey.empty() || releasedHeld)) {
      heldSession = reader.context.session;
      heldDamaged = !intact;
    }
    reader.out.clear();
    if (testing::Test::HasFailure()) return;  // the first bad input is the one to read
  }
  prompts += checker.prompts;
  replies += checker.replies;
}

TEST(CodexMutation, IntactCorpusYieldsItsRecords) {
  // The baseline the mutations start from really reaches emission; otherwise the fuzzing
  // below would only ever exercise the early exits.
  codextest::FileReader reader(kSince);
  Checker checker;
  for (const std::string& line : Corpus()) {
    size_t before = reader.out.size();
    reader.Lines({line});
    for (size_t i = before; i < reader.out.size(); ++i) checker.Check(reader.out[i], line, reader.context.session);
  }
  size_t before = reader.out.size();
  reader.Expire();
  for (size_t i = before; i < reader.out.size(); ++i) checker.Check(reader.out[i], "(expired)", reader.context.session);
  EXPECT_GE(checker.prompts, 3u);
  EXPECT_GE(checker.replies, 3u);
}

TEST(CodexMutation, FiftyThousandDamagedLines) {
  size_t prompts = 0, replies = 0, fromDamaged = 0;
  const uint64_t kSeeds[] = {1, 20261208, 0x5eed5eed5eedULL, 77777, 4242};
  for (uint64_t seed : kSeeds) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    RunMutations(seed, 10000, prompts, replies, fromDamaged);
    if (HasFailure()) return;
  }
  // Damaged lines still produce both kinds of record; a fuzz run that emits nothing
  // would check nothing.
  EXPECT_GT(prompts, 2000u);
  EXPECT_GT(replies, 2000u);
  EXPECT_GT(fromDamaged, 1000u) << "damaged lines that still make records are where the checks bite";
}

TEST(CodexMutation, NestingAtAndPastTheDepthBound) {
  codextest::FileReader reader(kSince);
  reader.Line(Corpus()[0], 0);
  ASSERT_FALSE(reader.context.session.empty());
  for (int depth : {198, 199, 200, 201, 202, 1000, 100000}) {
    std::string open(static_cast<size_t>(depth), '['), close(static_cast<size_t>(depth), ']');
    std::string line = R"({"timestamp":"2024-05-01T10:00:00Z","type":"event_msg","payload":{"type":"user_message","message":"deep","client_id":"d)" +
                       std::to_string(depth) + R"(","extra":)" + open + "1" + close + "}}";
    reader.out.clear();
    reader.Line(line, 0);
    reader.Expire();
    // "extra" sits at depth 2 and its innermost number at depth + 2.
    EXPECT_EQ(reader.out.size(), depth + 2 <= 200 ? 1u : 0u) << "depth " << depth;
  }
}

// 50 MB lines: the scanner reads at most 16 MiB per look, so each spans several passes and
// must still be consumed in full, with the lines after it read normally. The 50 MB prompt
// is dated before the since date: it is still decoded and parsed whole, but the reader's
// search for file names in prompt text costs about 0.4 s per MB under Wine, so the
// prompt that has to come through as a record is a 3 MB one.
TEST(CodexMutation, FiftyMegabyteLinesThroughTheScanner) {
  testpaths::TempDir home;
  std::filesystem::create_directories(std::filesystem::path(home / L"sessions\\2024\\05\\01"));
  std::wstring log = home / L"sessions\\2024\\05\\01\\rollout-big.jsonl";
  const size_t kBig = 50u * 1000 * 1000;
  const size_t kMedium = 3u * 1000 * 1000;
  std::string chunk;
  for (int i = 0; i < 1000; ++i) chunk += "Lorem ipsum dolor sit amet, 한국어 text. ";
  auto text = [&](std::ofstream& file, size_t bytes) {
    size_t written = 0;
    for (; written + chunk.size() <= bytes; written += chunk.size()) file << chunk;
    return written;
  };
  size_t mediumBytes = 0;
  {
    std::ofstream file(std::filesystem::path(log), std::ios::binary);
    file << Corpus()[0] << "\n";
    file << R"({"timestamp":"2024-01-15T10:00:00Z","type":"event_msg","payload":{"type":"user_message","client_id":"huge-text","message":")";
    text(file, kBig);
    file << "\"}}\n";
    file << R"({"timestamp":"2024-05-01T10:00:01Z","type":"event_msg","payload":{"type":"user_message","message":"after text","client_id":"after-1"}})"
         << "\n";
    file << R"({"timestamp":"2024-05-01T10:00:02Z","type":"event_msg","payload":{"type":"user_message","client_id":"huge-nest","message":)";
    file << std::string(kBig / 2, '[') << std::string(kBig / 2, ']') << "}}\n";
    file << R"({"timestamp":"2024-05-01T10:00:03Z","type":"event_msg","payload":{"type":"user_message","client_id":"medium","message":")";
    mediumBytes = text(file, kMedium);
    file << "\"}}\n";
    file << R"({"timestamp":"2024-05-01T10:00:04Z","type":"event_msg","payload":{"type":"user_message","message":"after nest","client_id":"after-2"}})"
         << "\n";
  }
  const uint64_t size = std::filesystem::file_size(std::filesystem::path(log));
  ASSERT_GT(size, 2 * kBig);

  aisync::LogFolders folders;
  folders.codexHome = home.path();
  aisync::LogScanner scanner(folders, kSince);
  uint64_t now = 0;  // passes 6 s apart, so the last prompt, held for its model, leaves too
  scanner.SetTickSource([&now] { return now; });
  std::vector<AiRecord> records;
  // Each look reads at least 16 MiB of a file this size, so this bounds the passes needed.
  const uint64_t kPasses = size / aisync::LogScanner::kBytesPerRead + 3;
  for (uint64_t pass = 0; pass < kPasses; ++pass, now += 6000) {
    std::vector<AiRecord> out;
    std::wstring status;
    scanner.ScanPass(out, status);
    EXPECT_TRUE(status.empty()) << testing::PrintToString(status);
    for (auto& record : out) records.push_back(std::move(record));
  }
  const aisync::FileReadState* state = scanner.StateOf(log);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->offset, size);
  EXPECT_TRUE(state->unfinishedLine.empty());

  const std::wstring session = L"0196a1b2-c3d4-7e5f-8a9b-0c1d2e3f4a5b";
  std::vector<std::wstring> keys;
  for (const auto& record : records) {
    keys.push_back(record.key);
    if (record.key == session + L":medium") {
      // The chunk is ASCII apart from three 3-byte Hangul syllables per sentence.
      const size_t sentences = mediumBytes / (chunk.size() / 1000);
      EXPECT_EQ(record.text.size(), mediumBytes - sentences * 3 * 2);
      EXPECT_EQ(record.text.substr(0, 12), L"Lorem ipsum ");
    }
  }
  EXPECT_EQ(keys, (std::vector<std::wstring>{session + L":after-1", session + L":medium", session + L":after-2"}))
      << "the old giant prompt and the over-deep one yield nothing; every line after them is read, in order";
}

}  // namespace
