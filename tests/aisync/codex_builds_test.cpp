// Session logs shaped as the Codex builds in use write them: no model in session_meta,
// turn_context before or after the turn's prompt, the reply phase only on the
// response_item twin in some builds and on the event itself in later ones.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "aisync/log_scanner.h"
#include "aisync/log_time.h"
#include "codex_test_reader.h"
#include "model/json.h"
#include "model/utf8.h"
#include "support/paths.h"
#include "support/temp_dir.h"

namespace {

using aisync::AiRecord;

const Date kSince{2024, 1, 1};

std::wstring Fixture(const std::wstring& name) {
  return testpaths::SourceFile(L"tests\\aisync\\fixtures\\codex\\") + name;
}

std::vector<std::string> FixtureLines(const std::wstring& name) {
  std::ifstream in(std::filesystem::path(Fixture(name)), std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::wstring Text(const JsonValue* object, const wchar_t* key) {
  const JsonValue* value = object != nullptr ? json::Lookup(*object, key) : nullptr;
  return value != nullptr && value->IsString() ? value->text : std::wstring();
}

// The keys the reader has always given these lines, by the line's time stamp: a prompt by
// client id or else time and byte offset, a reply by time and a hash of the event's own
// phase and text. Records filed by earlier versions carry exactly these.
std::map<std::wstring, std::wstring> PresentKeys(const std::vector<std::string>& lines) {
  std::map<std::wstring, std::wstring> keys;
  std::wstring session;
  uint64_t offset = 0;
  for (const std::string& line : lines) {
    uint64_t start = offset;
    offset += line.size() + 1;
    JsonValue root;
    std::wstring error;
    if (!json::Parse(utf8::ToWide(line), false, root, error)) continue;
    const JsonValue* payload = json::Lookup(root, L"payload");
    std::wstring type = Text(&root, L"type");
    std::wstring stamp = Text(&root, L"timestamp");
    if (type == L"session_meta") session = Text(payload, L"id");
    if (type != L"event_msg") continue;
    std::wstring kind = Text(payload, L"type");
    if (kind == L"user_message") {
      std::wstring id = Text(payload, L"client_id");
      keys[stamp] = session + L":" + (id.empty() ? stamp + L":" + std::to_wstring(start) : id);
    } else if (kind == L"agent_message") {
      keys[stamp] = session + L":assistant:" + stamp + L":" +
                    aisync::Fnv1aHex(Text(payload, L"phase") + L"\n" + Text(payload, L"message"));
    }
  }
  return keys;
}

struct Expected {
  int outAfterLine;  // 0-based line after which the record leaves; -1: when the hold runs out
  bool reply;
  const wchar_t* model;
  const wchar_t* phase;
  const wchar_t* promptText;  // prompts only
};

struct BuildCase {
  const wchar_t* file;
  std::vector<Expected> records;
};

const std::vector<BuildCase>& Builds() {
  static const std::vector<BuildCase> builds = {
      // turn_context after the prompt; twins with the phase written before their events.
      {L"desktop-0.104.jsonl",
       {{4, false, L"gpt-5.3-codex", L"", L"The import fails on empty rows.\nFix it and add a test."},
        {7, true, L"gpt-5.3-codex", L"commentary", nullptr},
        {11, true, L"gpt-5.3-codex", L"final_answer", nullptr},
        {17, false, L"gpt-5.3-codex-spark", L"", L"Also log the skipped rows."},
        {19, true, L"gpt-5.3-codex-spark", L"final_answer", nullptr}}},
      // The IDE preamble; twins written after their events.
      {L"vscode-0.119.jsonl",
       {{3, false, L"gpt-5.2-codex", L"",
         L"# Context from my IDE setup:\n\n## Active file: src/config.ts\n\n## My request for Codex:\n"
         L"Rename loadConfig to readConfig.\nKeep the old name as an alias.\n"},
        {5, true, L"gpt-5.2-codex", L"commentary", nullptr},
        {9, true, L"gpt-5.2-codex", L"final_answer", nullptr}}},
      // A turn that never gets its turn_context.
      {L"vscode-0.131.jsonl", {{-1, false, L"", L"", L"Why is the footer blank on mobile?"}}},
      // turn_context before the prompt, the phase on the event itself.
      {L"vscode-0.155.jsonl",
       {{3, false, L"gpt-5.5-codex", L"", L"Two things:\r\n1. bump the version\r\n2. update the changelog"},
        {4, true, L"gpt-5.5-codex", L"commentary", nullptr},
        {6, true, L"gpt-5.5-codex", L"final_answer", nullptr},
        {10, false, L"gpt-5.5-codex-mini", L"", L"Tag it."},
        {11, true, L"gpt-5.5-codex-mini", L"final_answer", nullptr}}},
  };
  return builds;
}

TEST(CodexBuilds, ModelsPhasesAndKeysOfEachBuild) {
  for (const BuildCase& build : Builds()) {
    SCOPED_TRACE(testing::Message() << utf8::FromWide(build.file));
    std::vector<std::string> lines = FixtureLines(build.file);
    ASSERT_FALSE(lines.empty());
    codextest::FileReader reader(kSince);
    std::vector<int> outAfter;
    for (size_t i = 0; i < lines.size(); ++i) {
      reader.Lines({lines[i]});
      outAfter.resize(reader.out.size(), static_cast<int>(i));
    }
    reader.Expire();
    outAfter.resize(reader.out.size(), -1);

    std::map<std::wstring, std::wstring> present = PresentKeys(lines);
    ASSERT_EQ(reader.out.size(), build.records.size());
    std::wstring lastPrompt;
    for (size_t i = 0; i < build.records.size(); ++i) {
      const Expected& want = build.records[i];
      const AiRecord& got = reader.out[i];
      SCOPED_TRACE(testing::Message() << "record " << i);
      EXPECT_EQ(outAfter[i], want.outAfterLine);
      EXPECT_EQ(got.isReply, want.reply);
      EXPECT_EQ(got.model, want.model);
      EXPECT_EQ(got.phase, want.phase);
      ASSERT_EQ(present.count(got.timestamp), 1u);
      EXPECT_EQ(got.key, present[got.timestamp]) << "the key filed by earlier versions";
      if (got.isReply) {
        EXPECT_EQ(got.parentKey, lastPrompt);
      } else {
        EXPECT_EQ(got.text, want.promptText);
        lastPrompt = got.key;
      }
    }
  }
}

// The same logs through the scanner: a held prompt leaves on the pass that finds its file
// unchanged six seconds after it was read, not before.
TEST(CodexBuilds, TheScannerReleasesAHeldPromptAfterSixSeconds) {
  testpaths::TempDir home;
  std::wstring day = home / L"sessions\\2026\\05\\20";
  std::filesystem::create_directories(std::filesystem::path(day));
  for (const wchar_t* name : {L"desktop-0.104.jsonl", L"vscode-0.131.jsonl"}) {
    std::filesystem::copy_file(std::filesystem::path(Fixture(name)), std::filesystem::path(day + L"\\" + name));
  }
  aisync::LogFolders folders;
  folders.codexHome = home.path();
  aisync::LogScanner scanner(folders, kSince);
  uint64_t now = 5000000;
  scanner.SetTickSource([&now] { return now; });
  auto pass = [&scanner] {
    std::vector<AiRecord> out;
    std::wstring status;
    scanner.ScanPass(out, status);
    return out;
  };
  EXPECT_EQ(pass().size(), 5u) << "the 0.104 session needs no waiting";
  now += 5999;
  EXPECT_TRUE(pass().empty());
  now += 1;
  std::vector<AiRecord> late = pass();
  ASSERT_EQ(late.size(), 1u);
  EXPECT_EQ(late[0].text, L"Why is the footer blank on mobile?");
  EXPECT_EQ(late[0].model, L"") << "filed as 모델 미확인";
  EXPECT_TRUE(pass().empty());
}

TEST(CodexBuilds, AHeldPromptOutlivesItsFileBeingCutShort) {
  testpaths::TempDir home;
  std::wstring log = home / L"sessions\\rollout.jsonl";
  std::filesystem::create_directories(std::filesystem::path(home / L"sessions"));
  std::filesystem::copy_file(std::filesystem::path(Fixture(L"vscode-0.131.jsonl")), std::filesystem::path(log));
  aisync::LogFolders folders;
  folders.codexHome = home.path();
  aisync::LogScanner scanner(folders, kSince);
  std::vector<AiRecord> out;
  std::wstring status;
  scanner.ScanPass(out, status);
  ASSERT_TRUE(out.empty()) << "held for its model";
  std::ofstream(std::filesystem::path(log), std::ios::binary | std::ios::trunc) << FixtureLines(L"vscode-0.131.jsonl")[0]
                                                                                  << "\n";
  scanner.ScanPass(out, status);
  ASSERT_EQ(out.size(), 1u) << "the prompt read from the old bytes is not lost";
  EXPECT_EQ(out[0].text, L"Why is the footer blank on mobile?");
}

}  // namespace
