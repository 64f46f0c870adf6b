// The texts a filed record leaves behind: folder name, entry block, record.json, and the
// time stamp keys that decide which conversation is newest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aisync/record_store.h"
#include "model/json.h"

namespace {

using aisync::AiRecord;
using aisync::EntryBlock;
using aisync::RecordJson;
using aisync::TimestampSortKey;

AiRecord Prompt() {
  AiRecord record;
  record.key = L"codex:abc:42";
  record.session = L"abc";
  record.cwd = L"C:/Work/app/";
  record.timestamp = L"2024-05-01T01:02:03.250Z";
  record.text = L"빌드 고쳐 줘";
  record.localDate = Date{2024, 5, 1};
  record.localTime = L"10:02:03";
  record.sourceKind = kAiSourceCodex;
  record.model = L"gpt-5";
  return record;
}

AiRecord Reply() {
  AiRecord record = Prompt();
  record.isReply = true;
  record.key = L"codex:abc:43";
  record.parentKey = L"codex:abc:42";
  record.phase = L"final_answer";
  record.requestTime = L"10:02:03";
  record.requestTimestamp = L"2024-05-01T01:02:03.250Z";
  record.timestamp = L"2024-05-02T01:10:00Z";
  record.localTime = L"10:10:00";
  record.text = L"고쳤습니다.";
  return record;
}

std::vector<std::wstring> MemberNames(const JsonValue& object) {
  std::vector<std::wstring> names;
  for (const auto& member : object.members) names.push_back(member.first);
  return names;
}

TEST(RecordBlock, SortKeyPadsFractionsSoTextOrderIsTimeOrder) {
  EXPECT_EQ(TimestampSortKey(L"2024-05-01T10:00:00Z"), L"2024-05-01T10:00:00.000000000");
  EXPECT_EQ(TimestampSortKey(L"2024-05-01T10:00:00.5Z"), L"2024-05-01T10:00:00.500000000");
  EXPECT_LT(TimestampSortKey(L"2024-05-01T10:00:00Z"), TimestampSortKey(L"2024-05-01T10:00:00.5Z"));
  // Without padding ".5" would sort after ".123456"; padded it sorts after it too, and
  // ".05" before both.
  EXPECT_LT(TimestampSortKey(L"2024-05-01T10:00:00.123456Z"), TimestampSortKey(L"2024-05-01T10:00:00.5Z"));
  EXPECT_LT(TimestampSortKey(L"2024-05-01T10:00:00.05Z"), TimestampSortKey(L"2024-05-01T10:00:00.123456Z"));
  EXPECT_EQ(TimestampSortKey(L"2024-05-01T10:00:00.5Z"), TimestampSortKey(L"2024-05-01T10:00:00.500"));
}

TEST(RecordBlock, SortKeyLeavesOtherShapesAlone) {
  EXPECT_EQ(TimestampSortKey(L""), L"");
  EXPECT_EQ(TimestampSortKey(L"Z"), L"");
  // Only one "Z" goes.
  EXPECT_EQ(TimestampSortKey(L"2024-05-01ZZ"), L"2024-05-01Z");
  EXPECT_EQ(TimestampSortKey(L"2024-05-01T10:00:00.123456789Z"), L"2024-05-01T10:00:00.123456789");
  EXPECT_EQ(TimestampSortKey(L"2024-05-01T10:00:00.1234567891Z"), L"2024-05-01T10:00:00.1234567891");
  EXPECT_EQ(TimestampSortKey(L"2024-05-01T10:00"), L"2024-05-01T10:00");
  EXPECT_LT(TimestampSortKey(L""), TimestampSortKey(L"1601-01-01T00:00:00Z"));
}

TEST(RecordBlock, FolderNameIsDateTimeAndKeyHash) {
  AiRecord record = Prompt();
  // Reference values of the 64-bit FNV-1a hash of the key's UTF-8 bytes.
  EXPECT_EQ(aisync::RecordFolderName(record), L"2024-05-01\\100203_a7f725d9a9a07a1e");
  record.key = L"a";
  record.localTime = L"09:05:07";
  record.localDate = Date{1999, 12, 31};
  EXPECT_EQ(aisync::RecordFolderName(record), L"1999-12-31\\090507_af63dc4c8601ec8c");
  record.key = L"키-1";
  EXPECT_EQ(aisync::RecordFolderName(record), L"1999-12-31\\090507_ad9188c95b2ed968");
}

TEST(RecordBlock, PromptBlockHeadingTextAttachmentsAndFolder) {
  AiRecord record = Prompt();
  std::wstring block = EntryBlock(record, {L"C:\\R\\1_a.png", L"C:\\R\\2_b.txt"}, L"C:\\R");
  EXPECT_EQ(block,
            L"[VS Code Codex · 10:02:03 · gpt-5]\r\n빌드 고쳐 줘\r\n첨부: C:\\R\\1_a.png\r\n첨부: C:\\R\\2_b.txt\r\n"
            L"기록: C:\\R");
  // What the entry's own heading scan must find again.
  Entry entry{Date{2024, 5, 1}, block, {}, {}};
  EXPECT_EQ(entry.ScanPromptHeadings().count, 1);
  EXPECT_EQ(entry.LatestRequestText(), L"빌드 고쳐 줘");
}

TEST(RecordBlock, LineBreaksInTheTextBecomeCrLf) {
  AiRecord record = Prompt();
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"one\ntwo", L"one\r\ntwo"},
      {L"one\r\ntwo", L"one\r\ntwo"},
      {L"one\rtwo", L"one\r\ntwo"},
      {L"\n\none\n\r\n", L"\r\n\r\none\r\n\r\n"},
      {L"\r\r\n\n", L"\r\n\r\n\r\n"},
  };
  for (const auto& [text, filed] : cases) {
    record.text = text;
    EXPECT_EQ(EntryBlock(record, {}, L"C:\\R"), L"[VS Code Codex · 10:02:03 · gpt-5]\r\n" + filed + L"\r\n기록: C:\\R");
  }
  EXPECT_EQ(json::StringOr(RecordJson(record, {}), L"text"), L"\r\r\n\n") << "record.json keeps the text as logged";

  // A VS Code prompt with its IDE preamble, as logged with bare line feeds: the entry
  // still shows the request alone.
  record.text = L"# Context from my IDE setup:\n\n## Active file: a.ts\n\n## My request for Codex:\nRename it.\nKeep an alias.\n";
  Entry entry{Date{2024, 5, 1}, EntryBlock(record, {}, L"C:\\R"), {}, {}};
  EXPECT_EQ(entry.LatestRequestText(), L"Rename it.\r\nKeep an alias.");
}

TEST(RecordBlock, HeadingLabelsFollowSourceRoleAndPhase) {
  AiRecord reply = Reply();
  auto heading = [](const AiRecord& record) {
    std::wstring block = EntryBlock(record, {}, L"F");
    return block.substr(0, block.find(L"\r\n"));
  };
  EXPECT_EQ(heading(reply), L"[Codex 답변 · 10:10:00 · 요청 10:02:03 · gpt-5]");
  reply.phase = L"commentary";
  EXPECT_EQ(heading(reply), L"[Codex 진행 · 10:10:00 · 요청 10:02:03 · gpt-5]");
  reply.phase = L"Commentary";
  EXPECT_EQ(heading(reply), L"[Codex 답변 · 10:10:00 · 요청 10:02:03 · gpt-5]");
  reply.phase.clear();
  reply.sourceKind = kAiSourceClaude;
  EXPECT_EQ(heading(reply), L"[Claude Code 답변 · 10:10:00 · 요청 10:02:03 · gpt-5]");
  reply.sourceKind = 7;
  reply.model.clear();
  EXPECT_EQ(heading(reply), L"[AI 답변 · 10:10:00 · 요청 10:02:03 · 모델 미확인]");

  AiRecord prompt = Prompt();
  prompt.sourceKind = kAiSourceChat;
  prompt.model = L"gpt\r\n5\nmini";
  EXPECT_EQ(heading(prompt), L"[VS Code Chat · 10:02:03 · gpt  5 mini]");
  prompt.sourceKind = 0;
  prompt.model.clear();
  EXPECT_EQ(heading(prompt), L"[ · 10:02:03 · 모델 미확인]");
}

TEST(RecordBlock, PromptJsonMembersInOrder) {
  AiRecord record = Prompt();
  JsonValue object = RecordJson(record, {L"1_a.png", L"2_b.txt"});
  EXPECT_EQ(MemberNames(object), (std::vector<std::wstring>{L"source", L"model", L"role", L"key", L"session", L"cwd",
                                                            L"timestamp", L"localDate", L"text", L"files"}));
  EXPECT_EQ(json::StringOr(object, L"source"), L"VS Code Codex");
  EXPECT_EQ(json::StringOr(object, L"role"), L"user");
  EXPECT_EQ(json::StringOr(object, L"cwd"), L"C:/Work/app/");
  EXPECT_EQ(json::StringOr(object, L"localDate"), L"2024-05-01");
  const JsonValue* files = json::Lookup(object, L"files");
  ASSERT_NE(files, nullptr);
  ASSERT_TRUE(files->IsArray());
  ASSERT_EQ(files->items.size(), 2u);
  EXPECT_EQ(files->items[1].text, L"2_b.txt");

  // An unknown source is written as an empty name, which reads back as no source.
  record.sourceKind = 9;
  EXPECT_EQ(json::StringOr(RecordJson(record, {}), L"source", L"x"), L"");
}

}  // namespace
