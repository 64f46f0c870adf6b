// Filing AI records under projects on real folders, and reading the newest conversation
// back from the record folders.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "aisync/record_store.h"
#include "i18n/language.h"
#include "model/file_io.h"
#include "model/json.h"
#include "model/project.h"
#include "model/unique_handle.h"
#include "support/language_scope.h"
#include "support/temp_dir.h"

namespace {

using aisync::AiRecord;
using aisync::FileAiRecord;
using aisync::LatestAiSession;
using testpaths::LanguageScope;
using testpaths::TempDir;

const Date kDay{2024, 5, 1};
const wchar_t kWaiting[] = L"AI 답변의 원래 프롬프트 저장을 기다리고 있습니다.";
const wchar_t kInvalid[] = L"AI 기록의 프로젝트 경로나 전송 날짜가 올바르지 않습니다.";

void MakeFolder(const std::wstring& path) { std::filesystem::create_directories(std::filesystem::path(path)); }

AiRecord Prompt(const std::wstring& key, const std::wstring& cwd, const std::wstring& timestamp = L"2024-05-01T01:00:00Z") {
  AiRecord record;
  record.key = key;
  record.session = L"session-1";
  record.cwd = cwd;
  record.timestamp = timestamp;
  record.text = L"테스트를 고쳐 줘: " + key;
  record.localDate = kDay;
  record.localTime = L"10:00:00";
  record.model = L"gpt-5";
  return record;
}

AiRecord Reply(const std::wstring& key, const AiRecord& prompt, const std::wstring& text = L"고쳤습니다.") {
  AiRecord record = prompt;
  record.isReply = true;
  record.key = key;
  record.parentKey = prompt.key;
  record.phase = L"final_answer";
  record.requestTime = prompt.localTime;
  record.requestTimestamp = prompt.timestamp;
  record.timestamp = L"2024-05-02T03:00:00Z";
  record.localTime = L"12:00:00";
  record.text = text;
  record.attachments.clear();
  return record;
}

int32_t AddProjectAt(ProjectDocument& document, const std::wstring& title, const std::wstring& location) {
  Project project;
  project.title = title;
  project.location = location;
  project.startDate = Date{2024, 1, 1};
  return document.AddProject(project);
}

bool SameDocument(const ProjectDocument& a, const ProjectDocument& b) {
  return a.nextId == b.nextId && a.projects == b.projects;
}

struct Filing {
  bool ok = false;
  bool changed = false;
  std::wstring error;
};

Filing File(const AiRecord& record, ProjectDocument& document) {
  Filing result;
  result.changed = true;  // must be reset by every call
  result.error = L"stale";
  result.ok = FileAiRecord(record, document, result.changed, result.error);
  return result;
}

const Entry* EntryOn(const Project& project, const Date& date) {
  for (const Entry& entry : project.entries) {
    if (entry.date == date) return &entry;
  }
  return nullptr;
}

// The record folder named by the last "기록: " line of an entry block.
std::wstring RecordFolderIn(const std::wstring& text) {
  const std::wstring head = L"\r\n기록: ";
  size_t at = text.rfind(head);
  if (at == std::wstring::npos) return {};
  size_t end = text.find(L"\r\n", at + head.size());
  return text.substr(at + head.size(), end == std::wstring::npos ? std::wstring::npos : end - at - head.size());
}

std::wstring ReadText(const std::wstring& path) {
  std::wstring text, error;
  EXPECT_TRUE(fileio::ReadTextFile(path, text, error)) << path << L" " << error;
  return text;
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return text;
}

std::wstring Slashes(std::wstring text) {
  for (wchar_t& c : text) {
    if (c == L'\\') c = L'/';
  }
  return text;
}

class RecordStore : public ::testing::Test {
 protected:
  LanguageScope korean_{i18n::kKorean};
  TempDir temp_;
  ProjectDocument document_;
};

TEST_F(RecordStore, PromptGoesToTheFolderThatCoversItIgnoringCaseAndSeparators) {
  MakeFolder(temp_ / L"Work\\app\\src");
  MakeFolder(temp_ / L"Work\\application");
  int32_t application = AddProjectAt(document_, L"Application", temp_ / L"Work\\application");
  int32_t app = AddProjectAt(document_, L"App", Lower(Slashes(temp_ / L"Work\\app")) + L"/");

  Filing first = File(Prompt(L"k1", temp_ / L"Work\\app\\src"), document_);
  ASSERT_TRUE(first.ok) << first.error;
  EXPECT_TRUE(first.changed);
  EXPECT_TRUE(first.error.empty());
  ASSERT_EQ(document_.projects.size(), 2u);
  EXPECT_EQ(document_.Find(app)->codexImports, std::vector<std::wstring>{L"k1"});
  EXPECT_TRUE(document_.Find(application)->codexImports.empty());
  EXPECT_TRUE(document_.Find(application)->entries.empty());

  // The record folder lies below the matched project's own folder, under the record's date.
  const Entry* entry = EntryOn(*document_.Find(app), kDay);
  ASSERT_NE(entry, nullptr);
  std::wstring folder = RecordFolderIn(entry->text);
  EXPECT_TRUE(fileio::FolderExists(folder)) << folder;
  EXPECT_EQ(Lower(Slashes(folder)).rfind(Lower(Slashes(temp_ / L"Work\\app\\Quenlor\\2024-05-01\\100000_"))), 0u)
      << folder;
  EXPECT_EQ(ReadText(folder + L"\\prompt.md"), entry->text);

  Filing second = File(Prompt(L"k2", temp_ / L"Work\\Application\\x"), document_);
  ASSERT_TRUE(second.ok) << second.error;
  EXPECT_EQ(document_.Find(application)->codexImports, std::vector<std::wstring>{L"k2"});
}

TEST_F(RecordStore, TheDeepestCoveringProjectWins) {
  MakeFolder(temp_ / L"Work\\app\\x");
  int32_t work = AddProjectAt(document_, L"Work", temp_ / L"Work");
  int32_t app = AddProjectAt(document_, L"App", temp_ / L"Work\\app");

  ASSERT_TRUE(File(Prompt(L"deep", temp_ / L"Work\\app\\x"), document_).ok);
  ASSERT_TRUE(File(Prompt(L"shallow", temp_ / L"Work\\other"), document_).ok);
  EXPECT_EQ(document_.Find(app)->codexImports, std::vector<std::wstring>{L"deep"});
  EXPECT_EQ(document_.Find(work)->codexImports, std::vector<std::wstring>{L"shallow"});
}

TEST_F(RecordStore, UnknownFolderBecomesAProjectThatLaterPromptsJoin) {
  MakeFolder(temp_ / L"Fresh\\Repo\\sub");
  AddProjectAt(document_, L"Elsewhere", temp_ / L"Other");
  AiRecord first = Prompt(L"new-1", temp_ / L"Fresh\\Repo\\");
  first.localDate = Date{2024, 6, 3};

  Filing filed = File(first, document_);
  ASSERT_TRUE(filed.ok) << filed.error;
  ASSERT_EQ(document_.projects.size(), 2u);
  const Project& created = document_.projects.back();
  EXPECT_EQ(created.title, L"Repo");
  EXPECT_EQ(created.location, temp_ / L"Fresh\\Repo");
  EXPECT_EQ(created.startDate, (Date{2024, 6, 3}));
  EXPECT_GE(created.id, 1);
  EXPECT_GE(created.color, 0);
  EXPECT_FALSE(created.created.empty());
  EXPECT_EQ(created.codexImports, std::vector<std::wstring>{L"new-1"});
  ASSERT_EQ(created.entries.size(), 1u);
  EXPECT_EQ(created.entries[0].date, (Date{2024, 6, 3}));

  int32_t id = created.id;
  ASSERT_TRUE(File(Prompt(L"new-2", temp_ / L"Fresh\\Repo\\sub"), document_).ok);
  ASSERT_EQ(document_.projects.size(), 2u);
  EXPECT_EQ(document_.Find(id)->codexImports, (std::vector<std::wstring>{L"new-1", L"new-2"}));
}

TEST_F(RecordStore, MissingFoldersFailAndLeaveTheDocumentAlone) {
  AddProjectAt(document_, L"Gone", temp_ / L"Gone");
  const ProjectDocument before = document_;

  // A known project whose folder has disappeared.
  Filing known = File(Prompt(L"k", temp_ / L"Gone\\src"), document_);
  EXPECT_FALSE(known.ok);
  EXPECT_FALSE(known.changed);
  EXPECT_EQ(known.error, std::wstring(L"프로젝트 폴더를 찾을 수 없습니다.\n") + temp_ / L"Gone");
  // An unknown folder that does not exist creates no project.
  Filing unknown = File(Prompt(L"k", temp_ / L"Nowhere\\"), document_);
  EXPECT_FALSE(unknown.ok);
  EXPECT_EQ(unknown.error, std::wstring(L"프로젝트 폴더를 찾을 수 없습니다.\n") + temp_ / L"Nowhere");
  EXPECT_TRUE(SameDocument(document_, before));
}

TEST_F(RecordStore, InvalidRecordsAreRejectedWithOneMessage) {
  MakeFolder(temp_ / L"P");
  AddProjectAt(document_, L"P", temp_ / L"P");
  const ProjectDocument before = document_;
  std::vector<AiRecord> bad;
  bad.push_back(Prompt(L"", temp_ / L"P"));
  bad.push_back(Prompt(L"k", L"P\\relative"));
  bad.push_back(Prompt(L"k", L""));
  bad.push_back(Prompt(L"k", L"C:"));
  AiRecord leap = Prompt(L"k", temp_ / L"P");
  leap.localDate = Date{2023, 2, 29};
  bad.push_back(leap);
  AiRecord early = Prompt(L"k", temp_ / L"P");
  early.localDate = Date{1600, 12, 31};
  bad.push_back(early);
  AiRecord none = Prompt(L"k", temp_ / L"P");
  none.localDate = Date{};
  bad.push_back(none);
  for (const AiRecord& record : bad) {
    Filing filed = File(record, document_);
    EXPECT_FALSE(filed.ok) << record.key << L" " << record.cwd;
    EXPECT_FALSE(filed.changed);
    EXPECT_EQ(filed.error, kInvalid);
  }
  EXPECT_TRUE(SameDocument(document_, before));
  EXPECT_FALSE(fileio::FolderExists(temp_ / L"P\\Quenlor"));

  LanguageScope english(i18n::kEnglish);
  EXPECT_EQ(File(bad[0], document_).error, L"The AI entry has an invalid project path or date.");
}

TEST_F(RecordStore, ReplyWaitsForItsPromptThenLandsOnThePromptsDate) {
  MakeFolder(temp_ / L"A");
  MakeFolder(temp_ / L"B");
  int32_t a = AddProjectAt(document_, L"A", temp_ / L"A");
  int32_t b = AddProjectAt(document_, L"B", temp_ / L"B");
  AiRecord prompt = Prompt(L"p1", temp_ / L"A");
  AiRecord reply = Reply(L"p1:reply", prompt);
  // The reply's own cwd points elsewhere; the prompt decides where it goes.
  reply.cwd = temp_ / L"B";

  const ProjectDocument before = document_;
  for (int attempt = 0; attempt < 2; ++attempt) {
    Filing waiting = File(reply, document_);
    EXPECT_FALSE(waiting.ok);
    EXPECT_FALSE(waiting.changed);
    EXPECT_EQ(waiting.error, kWaiting);
    EXPECT_TRUE(SameDocument(document_, before));
  }

  ASSERT_TRUE(File(prompt, document_).ok);
  Filing filed = File(reply, document_);
  ASSERT_TRUE(filed.ok) << filed.error;
  EXPECT_TRUE(filed.changed);
  const Project& project = *document_.Find(a);
  EXPECT_EQ(project.codexImports, (std::vector<std::wstring>{L"p1", L"p1:reply"}));
  EXPECT_TRUE(document_.Find(b)->codexImports.empty());
  ASSERT_EQ(project.entries.size(), 1u);
  EXPECT_EQ(project.entries[0].date, kDay);
  std::wstring folder = RecordFolderIn(project.entries[0].text);
  EXPECT_NE(folder.find(L"\\2024-05-01\\120000_"), std::wstring::npos) << folder;
  EXPECT_TRUE(fileio::FileExists(folder + L"\\reply.md"));
  EXPECT_FALSE(fileio::FileExists(folder + L"\\prompt.md"));
}

TEST_F(RecordStore, FilingTheSameRecordTwiceChangesNothing) {
  MakeFolder(temp_ / L"P");
  AddProjectAt(document_, L"P", temp_ / L"P");
  AiRecord prompt = Prompt(L"once", temp_ / L"P");
  ASSERT_TRUE(File(prompt, document_).ok);
  const ProjectDocument after = document_;

  Filing again = File(prompt, document_);
  EXPECT_TRUE(again.ok);
  EXPECT_FALSE(again.changed);
  EXPECT_TRUE(again.error.empty());
  EXPECT_TRUE(SameDocument(document_, after));
  // The key alone decides: other content under the same key is still a duplicate.
  prompt.text = L"다른 내용";
  prompt.cwd = temp_ / L"Q";
  EXPECT_FALSE(File(prompt, document_).changed);
  // Keys compare exactly.
  prompt = Prompt(L"ONCE", temp_ / L"P");
  EXPECT_TRUE(File(prompt, document_).changed);
}

TEST_F(RecordStore, RecordsOfOneDayShareAnEntrySeparatedByAnEmptyLine) {
  MakeFolder(temp_ / L"P");
  Project project;
  project.title = L"P";
  project.location = temp_ / L"P";
  project.entries.push_back(Entry{kDay, L"회의 메모", {L"회의"}, {}});
  project.entries.push_back(Entry{Date{2024, 4, 30}, L"어제", {}, {}});
  int32_t id = document_.AddProject(project);

  AiRecord first = Prompt(L"d1", temp_ / L"P");
  AiRecord second = Prompt(L"d2", temp_ / L"P");
  second.localTime = L"11:30:00";
  second.sourceKind = kAiSourceClaude;
  ASSERT_TRUE(File(first, document_).ok);
  ASSERT_TRUE(File(second, document_).ok);
  ASSERT_TRUE(File(Reply(L"d1:r", first), document_).ok);

  const Project& held = *document_.Find(id);
  ASSERT_EQ(held.entries.size(), 2u);
  const Entry* entry = EntryOn(held, kDay);
  ASSERT_NE(entry, nullptr);
  std::wstring block1 = L"[VS Code Codex · 10:00:00 · gpt-5]\r\n테스트를 고쳐 줘: d1\r\n기록: ";
  std::wstring block2 = L"[VS Code Claude Code · 11:30:00 · gpt-5]\r\n테스트를 고쳐 줘: d2\r\n기록: ";
  std::wstring block3 = L"[Codex 답변 · 12:00:00 · 요청 10:00:00 · gpt-5]\r\n고쳤습니다.\r\n기록: ";
  size_t at1 = entry->text.find(L"\r\n\r\n" + block1);
  size_t at2 = entry->text.find(L"\r\n\r\n" + block2);
  size_t at3 = entry->text.find(L"\r\n\r\n" + block3);
  EXPECT_EQ(entry->text.rfind(L"회의 메모\r\n\r\n[", 0), 0u) << entry->text;
  EXPECT_EQ(at1, 5u);
  ASSERT_NE(at2, std::wstring::npos);
  ASSERT_NE(at3, std::wstring::npos);
  EXPECT_LT(at1, at2);
  EXPECT_LT(at2, at3);
  // No block leaves a lone line feed behind.
  for (size_t i = 0; i < entry->text.size(); ++i) {
    if (entry->text[i] == L'\n') {
      EXPECT_TRUE(i > 0 && entry->text[i - 1] == L'\r') << i;
    }
  }
  EXPECT_EQ(entry->tags, (std::vector<std::wstring>{L"회의", L"Codex", L"자동기록", L"ClaudeCode"}));
  EXPECT_EQ(EntryOn(held, Date{2024, 4, 30})->text, L"어제");
}

TEST_F(RecordStore, CodeOnlyReplyIsSettledWithoutATrace) {
  MakeFolder(temp_ / L"P");
  AddProjectAt(document_, L"P", temp_ / L"P");
  AiRecord prompt = Prompt(L"c1", temp_ / L"P");
  // Not even its prompt is needed: nothing is left to file.
  AiRecord reply = Reply(L"c1:r", prompt, L"```js\nconsole.log(1);\n```\n");
  const ProjectDocument before = document_;
  Filing filed = File(reply, document_);
  EXPECT_TRUE(filed.ok);
  EXPECT_FALSE(filed.changed);
  EXPECT_TRUE(filed.error.empty()) << filed.error;
  EXPECT_TRUE(SameDocument(document_, before));
  EXPECT_FALSE(fileio::FolderExists(temp_ / L"P\\Quenlor"));
}

TEST_F(RecordStore, ReplyTextIsFiledCleaned) {
  MakeFolder(temp_ / L"P");
  int32_t id = AddProjectAt(document_, L"P", temp_ / L"P");
  AiRecord prompt = Prompt(L"c2", temp_ / L"P");
  ASSERT_TRUE(File(prompt, document_).ok);
  ASSERT_TRUE(File(Reply(L"c2:r", prompt, L"고쳤습니다.\n```\nint x = 1;\n```\n확인하세요."), document_).ok);
  const std::wstring& text = document_.Find(id)->entries[0].text;
  EXPECT_NE(text.find(L"\r\n고쳤습니다.\r\n확인하세요.\r\n기록: "), std::wstring::npos) << text;
  EXPECT_EQ(text.find(L"int x"), std::wstring::npos);
}

TEST_F(RecordStore, LatestSessionFollowsTheNewestTimestamp) {
  MakeFolder(temp_ / L"P");
  int32_t id = AddProjectAt(document_, L"P", temp_ / L"P");
  auto latest = [&] { return document_.Find(id)->lastAiSession; };

  AiRecord half = Prompt(L"t1", temp_ / L"P", L"2024-05-01T10:00:00.5Z");
  half.session = L"s-half";
  half.workspace = L"C:\\ws\\half.json";
  ASSERT_TRUE(File(half, document_).ok);
  EXPECT_EQ(latest(), (LastAiSession{kAiSourceCodex, L"s-half", L"gpt-5", L"2024-05-01T10:00:00.5Z", L"C:\\ws\\half.json"}));

  // Without a fraction it is half a second older, though longer text would not say so.
  AiRecord whole = Prompt(L"t2", temp_ / L"P", L"2024-05-01T10:00:00Z");
  whole.session = L"s-whole";
  ASSERT_TRUE(File(whole, document_).ok);
  EXPECT_EQ(latest().session, L"s-half");

  // An equal time takes over.
  AiRecord equal = Prompt(L"t3", temp_ / L"P", L"2024-05-01T10:00:00.500Z");
  equal.session = L"s-equal";
  equal.sourceKind = kAiSourceChat;
  equal.model = L"";
  ASSERT_TRUE(File(equal, document_).ok);
  EXPECT_EQ(latest(), (LastAiSession{kAiSourceChat, L"s-equal", L"", L"2024-05-01T10:00:00.500Z", L""}));

  // A reply counts with its prompt's time, not its own.
  AiRecord lateReply = Reply(L"t2:r", whole);
  lateReply.timestamp = L"2030-01-01T00:00:00Z";
  lateReply.model = L"other";
  ASSERT_TRUE(File(lateReply, document_).ok);
  EXPECT_EQ(latest().session, L"s-equal");
}

TEST_F(RecordStore, LatestSessionKeepsTheKnownModelOfTheSameConversation) {
  MakeFolder(temp_ / L"P");
  int32_t id = AddProjectAt(document_, L"P", temp_ / L"P");
  AiRecord prompt = Prompt(L"m1", temp_ / L"P", L"2024-05-01T01:00:00Z");
  ASSERT_TRUE(File(prompt, document_).ok);
  AiRecord reply = Reply(L"m1:r", prompt);
  reply.model.clear();
  ASSERT_TRUE(File(reply, document_).ok);
  EXPECT_EQ(document_.Find(id)->lastAiSession.model, L"gpt-5");

  AiRecord other = Prompt(L"m2", temp_ / L"P", L"2024-05-01T02:00:00Z");
  other.session = L"session-2";
  other.model.clear();
  ASSERT_TRUE(File(other, document_).ok);
  EXPECT_EQ(document_.Find(id)->lastAiSession.session, L"session-2");
  EXPECT_EQ(document_.Find(id)->lastAiSession.model, L"");

  // A record without a time never moves the pointer.
  AiRecord timeless = Prompt(L"m3", temp_ / L"P", L"");
  timeless.session = L"session-3";
  ASSERT_TRUE(File(timeless, document_).ok);
  EXPECT_EQ(document_.Find(id)->lastAiSession.session, L"session-2");
}

TEST_F(RecordStore, AttachmentsAreCopiedInOrderAndListed) {
  MakeFolder(temp_ / L"P");
  MakeFolder(temp_ / L"src");
  std::wstring ignored;
  ASSERT_TRUE(fileio::WriteTextFileSafely(temp_ / L"src\\notes.txt", L"메모 내용", ignored));
  ASSERT_TRUE(fileio::WriteTextFileSafely(temp_ / L"src\\b.log", L"log", ignored));
  int32_t id = AddProjectAt(document_, L"P", temp_ / L"P");
  AiRecord prompt = Prompt(L"att", temp_ / L"P");
  prompt.attachments = {{temp_ / L"src\\notes.txt", L""}, {temp_ / L"src\\b.log", L"renamed.log"}};

  Filing filed = File(prompt, document_);
  ASSERT_TRUE(filed.ok) << filed.error;
  const std::wstring& text = document_.Find(id)->entries[0].text;
  std::wstring folder = RecordFolderIn(text);
  EXPECT_NE(text.find(L"\r\n첨부: " + folder + L"\\1_notes.txt\r\n첨부: " + folder + L"\\2_renamed.log\r\n기록: "),
            std::wstring::npos)
      << text;
  EXPECT_EQ(ReadText(folder + L"\\1_notes.txt"), L"메모 내용");
  JsonValue record;
  ASSERT_TRUE(fileio::ReadJsonFile(folder + L"\\record.json", false, record));
  const JsonValue* files = json::Lookup(record, L"files");
  ASSERT_NE(files, nullptr);
  ASSERT_EQ(files->items.size(), 2u);
  EXPECT_EQ(files->items[0].text, L"1_notes.txt");
  EXPECT_EQ(files->items[1].text, L"2_renamed.log");
}

TEST_F(RecordStore, RemoteAttachmentKeepsFailingAndChangesNothing) {
  MakeFolder(temp_ / L"P");
  MakeFolder(temp_ / L"src");
  std::wstring ignored;
  ASSERT_TRUE(fileio::WriteTextFileSafely(temp_ / L"src\\local.txt", L"x", ignored));
  AddProjectAt(document_, L"P", temp_ / L"P");
  AiRecord prompt = Prompt(L"remote", temp_ / L"P");
  prompt.attachments = {{temp_ / L"src\\local.txt", L""}, {L"https://example.com/shot.png", L"shot.png"}};
  const ProjectDocument before = document_;

  for (int attempt = 0; attempt < 2; ++attempt) {
    Filing filed = File(prompt, document_);
    EXPECT_FALSE(filed.ok);
    EXPECT_FALSE(filed.changed);
    EXPECT_EQ(filed.error, L"로컬 원본이 없는 원격 첨부파일은 저장할 수 없습니다: https://example.com/shot.png");
    EXPECT_TRUE(SameDocument(document_, before));
  }
  std::wstring folder = temp_ / (L"P\\Quenlor\\" + aisync::RecordFolderName(prompt));
  // What was copied before the failure stays; nothing was written after it.
  EXPECT_TRUE(fileio::FileExists(folder + L"\\1_local.txt"));
  EXPECT_FALSE(fileio::FileExists(folder + L"\\prompt.md"));
  EXPECT_FALSE(fileio::FileExists(folder + L"\\record.json"));
}

// "notCopied" of a record.json as (source, reason) pairs.
std::vector<std::pair<std::wstring, std::wstring>> NotCopied(const std::wstring& folder) {
  std::vector<std::pair<std::wstring, std::wstring>> list;
  JsonValue record;
  EXPECT_TRUE(fileio::ReadJsonFile(folder + L"\\record.json", false, record));
  if (const JsonValue* items = json::Lookup(record, L"notCopied"); items != nullptr && items->IsArray()) {
    for (const JsonValue& item : items->items) list.emplace_back(json::StringOr(item, L"source"), json::StringOr(item, L"reason"));
  }
  return list;
}

// A deleted image or a folder named as an attachment will never be copied: the prompt
// is filed at once without it, and its replies can follow.
TEST_F(RecordStore, MissingAttachmentsDoNotHoldTheRecordBack) {
  MakeFolder(temp_ / L"P");
  MakeFolder(temp_ / L"src\\folder");
  std::wstring ignored;
  ASSERT_TRUE(fileio::WriteTextFileSafely(temp_ / L"src\\kept.txt", L"kept", ignored));
  int32_t id = AddProjectAt(document_, L"P", temp_ / L"P");
  aisync::AttachmentRetries retries([] { return uint64_t{1000}; });
  AiRecord prompt = Prompt(L"gone", temp_ / L"P");
  prompt.attachments = {{temp_ / L"src\\deleted.png", L""},
                        {temp_ / L"src\\folder", L""},
                        {temp_ / L"nowhere\\shot.png", L""},
                        {temp_ / L"src\\kept.txt", L""}};
  bool changed = false;
  std::wstring error;
  ASSERT_TRUE(FileAiRecordWithRetries(prompt, document_, retries, changed, error)) << error;
  EXPECT_TRUE(changed);
  EXPECT_EQ(retries.size(), 0u);
  const std::wstring& text = document_.Find(id)->entries[0].text;
  const std::wstring folder = RecordFolderIn(text);
  EXPECT_NE(text.find(L"\r\n첨부: " + folder + L"\\4_kept.txt\r\n기록: "), std::wstring::npos) << text;
  EXPECT_EQ(text.find(L"deleted.png"), std::wstring::npos);
  EXPECT_EQ(NotCopied(folder), (std::vector<std::pair<std::wstring, std::wstring>>{
                                   {temp_ / L"src\\deleted.png", L"missing"},
                                   {temp_ / L"src\\folder", L"missing"},
                                   {temp_ / L"nowhere\\shot.png", L"missing"}}));
  EXPECT_TRUE(File(Reply(L"gone-reply", prompt), document_).ok);
}

// A source that another program holds without sharing may become readable: the record
// waits for it, but for ten minutes at most.
TEST_F(RecordStore, AttachmentsThatKeepFailingAreGivenUpAfterTenMinutes) {
  MakeFolder(temp_ / L"P");
  MakeFolder(temp_ / L"src");
  std::wstring ignored;
  const std::wstring lockedPath = temp_ / L"src\\locked.txt";
  ASSERT_TRUE(fileio::WriteTextFileSafely(lockedPath, L"busy", ignored));
  UniqueFile lock(CreateFileW(lockedPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(lock.valid());
  int32_t id = AddProjectAt(document_, L"P", temp_ / L"P");
  uint64_t now = 5000;
  aisync::AttachmentRetries retries([&now] { return now; });
  AiRecord prompt = Prompt(L"held", temp_ / L"P");
  prompt.attachments = {{lockedPath, L""}, {L"https://example.com/shot.png", L""}};

  const ProjectDocument before = document_;
  for (uint64_t step : {uint64_t{0}, uint64_t{60000}, uint64_t{539999}}) {
    now += step;
    bool changed = true;
    std::wstring error;
    EXPECT_FALSE(FileAiRecordWithRetries(prompt, document_, retries, changed, error)) << "waited " << now - 5000 << " ms";
    EXPECT_TRUE(error.starts_with(L"첨부파일 복사 실패: " + lockedPath + L"\n")) << error;
    EXPECT_FALSE(changed);
    EXPECT_TRUE(SameDocument(document_, before));
  }
  now += 1;  // ten minutes after the first failure
  bool changed = false;
  std::wstring error;
  // The remote source failed first only on this attempt; it still has its ten minutes.
  EXPECT_FALSE(FileAiRecordWithRetries(prompt, document_, retries, changed, error));
  EXPECT_EQ(error, L"로컬 원본이 없는 원격 첨부파일은 저장할 수 없습니다: https://example.com/shot.png");
  now += 600000;
  ASSERT_TRUE(FileAiRecordWithRetries(prompt, document_, retries, changed, error)) << error;
  EXPECT_TRUE(changed);
  EXPECT_EQ(retries.size(), 0u);
  const std::wstring folder = RecordFolderIn(document_.Find(id)->entries[0].text);
  EXPECT_EQ(NotCopied(folder), (std::vector<std::pair<std::wstring, std::wstring>>{
                                   {lockedPath, L"failed"}, {L"https://example.com/shot.png", L"failed"}}));
}

TEST_F(RecordStore, UnwritableRecordFolderFailsWithTheDocumentUnchanged) {
  MakeFolder(temp_ / L"P");
  AddProjectAt(document_, L"P", temp_ / L"P");
  std::wstring ignored;
  // A file where the record root should be blocks every record folder.
  ASSERT_TRUE(fileio::WriteTextFileSafely(temp_ / L"P\\Quenlor", L"", ignored));
  const ProjectDocument before = document_;
  AiRecord prompt = Prompt(L"blocked", temp_ / L"P");
  Filing filed = File(prompt, document_);
  EXPECT_FALSE(filed.ok);
  EXPECT_FALSE(filed.changed);
  EXPECT_EQ(filed.error, L"기록 폴더를 만들지 못했습니다: " + temp_ / (L"P\\Quenlor\\" + aisync::RecordFolderName(prompt)));
  EXPECT_TRUE(SameDocument(document_, before));
}

TEST_F(RecordStore, FailedFileWriteLeavesTheDocumentUnchanged) {
  MakeFolder(temp_ / L"P");
  AddProjectAt(document_, L"P", temp_ / L"P");
  AiRecord prompt = Prompt(L"w", temp_ / L"P");
  std::wstring folder = temp_ / (L"P\\Quenlor\\" + aisync::RecordFolderName(prompt));
  // A folder in the place of prompt.md cannot be replaced by a file.
  MakeFolder(folder + L"\\prompt.md");
  const ProjectDocument before = document_;
  Filing filed = File(prompt, document_);
  EXPECT_FALSE(filed.ok);
  EXPECT_FALSE(filed.error.empty());
  EXPECT_TRUE(SameDocument(document_, before));
  EXPECT_FALSE(fileio::FileExists(folder + L"\\record.json"));

  // Once the obstacle is gone the retry writes the same folder.
  std::filesystem::remove(std::filesystem::path(folder + L"\\prompt.md"));
  Filing retried = File(prompt, document_);
  ASSERT_TRUE(retried.ok) << retried.error;
  EXPECT_TRUE(fileio::FileExists(folder + L"\\prompt.md"));
}

TEST_F(RecordStore, RecordJsonReadsBackInItsDocumentedOrder) {
  MakeFolder(temp_ / L"P");
  int32_t id = AddProjectAt(document_, L"P", temp_ / L"P");
  AiRecord prompt = Prompt(L"rt", Slashes(temp_ / L"P") + L"/");
  prompt.text = L"따옴표 \" 역슬래시 \\ 탭\t줄\n바꿈 😀";
  ASSERT_TRUE(File(prompt, document_).ok);
  AiRecord reply = Reply(L"rt:r", prompt, L"답: \"ok\" 😀");
  reply.sourceKind = kAiSourceChat;
  reply.phase = L"commentary";
  reply.workspace = L"C:\\Users\\me\\chat.json";
  ASSERT_TRUE(File(reply, document_).ok);

  const Entry& entry = document_.Find(id)->entries[0];
  std::wstring replyFolder = RecordFolderIn(entry.text);
  JsonValue read;
  ASSERT_TRUE(fileio::ReadJsonFile(replyFolder + L"\\record.json", false, read));
  std::vector<std::pair<std::wstring, std::wstring>> expected = {
      {L"source", L"VS Code Chat"}, {L"model", L"gpt-5"}, {L"role", L"assistant"}, {L"phase", L"commentary"},
      {L"parentKey", L"rt"}, {L"requestTime", L"10:00:00"}, {L"requestTimestamp", L"2024-05-01T01:00:00Z"},
      {L"key", L"rt:r"}, {L"session", L"session-1"}, {L"cwd", prompt.cwd},
      {L"workspace", L"C:\\Users\\me\\chat.json"}, {L"timestamp", L"2024-05-02T03:00:00Z"},
      {L"localDate", L"2024-05-01"}, {L"text", L"답: \"ok\" 😀"}};
  ASSERT_EQ(read.members.size(), expected.size() + 1);
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(read.members[i].first, expected[i].first);
    EXPECT_EQ(read.members[i].second.text, expected[i].second) << expected[i].first;
  }
  EXPECT_EQ(read.members.back().first, L"files");
  EXPECT_TRUE(read.members.back().second.IsArray());
  EXPECT_TRUE(read.members.back().second.items.empty());
  EXPECT_EQ(ReadText(replyFolder + L"\\reply.md"), entry.text.substr(entry.text.rfind(L"[Chat 진행 · ")));

  // The prompt's file keeps its text exactly, odd characters included.
  std::wstring promptFolder = RecordFolderIn(entry.text.substr(0, entry.text.rfind(L"\r\n\r\n[Chat")));
  JsonValue promptRead;
  ASSERT_TRUE(fileio::ReadJsonFile(promptFolder + L"\\record.json", false, promptRead));
  EXPECT_EQ(json::StringOr(promptRead, L"text"), prompt.text);
  EXPECT_EQ(json::StringOr(promptRead, L"role"), L"user");
  EXPECT_EQ(json::Lookup(promptRead, L"phase"), nullptr);
  EXPECT_EQ(json::Lookup(promptRead, L"workspace"), nullptr);
}

TEST(RecordRoot, SitsInsideTheProjectFolder) {
  Project project;
  project.location = L"C:\\Work\\app";
  EXPECT_EQ(aisync::RecordRoot(project), L"C:\\Work\\app\\Quenlor");
  project.location = L"C:\\";
  EXPECT_EQ(aisync::RecordRoot(project), L"C:\\Quenlor");
  project.location.clear();
  EXPECT_EQ(aisync::RecordRoot(project), L"");
}

// Recovery of the newest conversation from hand-written record folders.
class RecordLatestSession : public ::testing::Test {
 protected:
  void WriteRecord(const std::wstring& relative, const std::wstring& body) {
    std::wstring folder = temp_.path() + L"\\Quenlor\\" + relative;
    MakeFolder(folder);
    std::wstring error;
    ASSERT_TRUE(fileio::WriteTextFileSafely(folder + L"\\record.json", body, error)) << error;
  }
  static std::wstring Json(const std::wstring& source, const std::wstring& key, const std::wstring& session,
                           const std::wstring& timestamp, const std::wstring& extra = L"") {
    return L"{\"source\": \"" + source + L"\", \"model\": \"m-" + session + L"\", \"key\": \"" + key +
           L"\", \"session\": \"" + session + L"\", \"timestamp\": \"" + timestamp + L"\"" + extra + L"}";
  }
  Project MakeProject(std::vector<std::wstring> keys) {
    Project project;
    project.location = temp_.path();
    project.codexImports = std::move(keys);
    return project;
  }
  TempDir temp_;
};

TEST_F(RecordLatestSession, StoredSessionWinsAndNoImportsMeansNone) {
  WriteRecord(L"2024-05-01\\100000_a", Json(L"VS Code Codex", L"a", L"disk", L"2024-05-01T10:00:00Z"));
  Project project = MakeProject({L"a"});
  project.lastAiSession = LastAiSession{kAiSourceClaude, L"stored", L"m", L"2000-01-01T00:00:00Z", L""};
  EXPECT_EQ(LatestAiSession(project), project.lastAiSession);

  project.lastAiSession = LastAiSession{};
  project.codexImports.clear();
  EXPECT_EQ(LatestAiSession(project).source, kAiSourceNone);

  project = MakeProject({L"a"});
  project.location = temp_ / L"NoRecords";
  EXPECT_EQ(LatestAiSession(project), LastAiSession{});
}

TEST_F(RecordLatestSession, NewestImportedRecordIsRecovered) {
  WriteRecord(L"2024-05-01\\090000_a", Json(L"VS Code Codex", L"a", L"s-a", L"2024-05-01T09:00:00.5Z"));
  // Newest of all but not imported here, or of an unknown source, or unreadable: skipped.
  WriteRecord(L"2024-05-03\\090000_x", Json(L"VS Code Codex", L"x", L"s-x", L"2030-01-01T00:00:00Z"));
  WriteRecord(L"2024-05-03\\090000_o", Json(L"Other Tool", L"o", L"s-o", L"2030-01-01T00:00:00Z"));
  WriteRecord(L"2024-05-03\\090000_broken", L"{\"source\": \"VS Code Codex\", \"key\": \"b\",");
  MakeFolder(temp_ / L"Quenlor\\2024-05-03\\090000_empty");
  // A reply counts with its prompt's time: old, though its own time is the latest.
  WriteRecord(L"2024-05-02\\090000_r",
              Json(L"VS Code Chat", L"r", L"s-r", L"2029-01-01T00:00:00Z",
                   L", \"requestTimestamp\": \"2024-05-01T09:00:00Z\""));
  WriteRecord(L"2024-05-02\\100000_c",
              Json(L"VS Code Claude Code", L"c", L"s-c", L"2024-05-01T09:00:00.75Z",
                   L", \"workspace\": \"C:\\\\ws\\\\c.json\""));

  Project project = MakeProject({L"a", L"r", L"c", L"b", L"o"});
  EXPECT_EQ(LatestAiSession(project),
            (LastAiSession{kAiSourceClaude, L"s-c", L"m-s-c", L"2024-05-01T09:00:00.75Z", L"C:\\ws\\c.json"}));
}

TEST_F(RecordLatestSession, EqualTimesGoToTheLaterDateFolder) {
  WriteRecord(L"2024-05-02\\090000_b", Json(L"VS Code Chat", L"b", L"later", L"2024-05-01T09:00:00Z"));
  WriteRecord(L"2024-05-01\\090000_a", Json(L"VS Code Codex", L"a", L"earlier", L"2024-05-01T09:00:00.000Z"));
  WriteRecord(L"2024-05-01\\100000_r",
              Json(L"VS Code Codex", L"r", L"reply", L"2024-05-01T08:00:00Z",
                   L", \"requestTimestamp\": \"2024-05-01T09:00:00Z\""));
  LastAiSession latest = LatestAiSession(MakeProject({L"a", L"b", L"r"}));
  EXPECT_EQ(latest.session, L"later");
  EXPECT_EQ(latest.timestamp, L"2024-05-01T09:00:00Z");
}

TEST_F(RecordLatestSession, FiledRecordsAreFoundAgainAfterTheStoredSessionIsLost) {
  ProjectDocument document;
  int32_t id = AddProjectAt(document, L"P", temp_.path());
  AiRecord older = Prompt(L"o1", temp_.path(), L"2024-05-01T01:00:00Z");
  AiRecord newer = Prompt(L"n1", temp_.path(), L"2024-05-01T02:00:00Z");
  newer.localDate = Date{2024, 4, 1};
  newer.session = L"newest";
  newer.sourceKind = kAiSourceChat;
  newer.workspace = L"C:\\ws\\n.json";
  std::wstring error;
  bool changed = false;
  ASSERT_TRUE(FileAiRecord(newer, document, changed, error)) << error;
  ASSERT_TRUE(FileAiRecord(older, document, changed, error)) << error;
  ASSERT_TRUE(FileAiRecord(Reply(L"o1:r", older), document, changed, error)) << error;

  Project project = *document.Find(id);
  LastAiSession stored = project.lastAiSession;
  project.lastAiSession = LastAiSession{};
  EXPECT_EQ(LatestAiSession(project), stored);
  EXPECT_EQ(stored.session, L"newest");
}

}  // namespace
