#include "aisync/chat_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "aisync/chat_document.h"
#include "aisync/log_time.h"
#include "model/utf8.h"
#include "source_driver.h"
#include "support/temp_dir.h"

namespace {

using aisync::AiRecord;

const aisync::ReadSettings kSettings{Date{2024, 1, 1}, 0, 100};
const wchar_t kFile[] = L"C:\\Data\\ws1\\chatSessions\\s1.json";
// 2024-05-01T10:00:00Z and ten seconds later.
const char kMay1[] = "1714557600000";
const char kMay1Later[] = "1714557610000";

JsonValue Parse(const std::string& text) {
  JsonValue value;
  std::wstring error;
  EXPECT_TRUE(json::Parse(utf8::ToWide(text), false, value, error)) << text;
  return value;
}

std::string Request(const std::string& id, const std::string& extra = "",
                    const std::string& response = R"([{"value":"Done: the link order was wrong."}])") {
  return R"({"requestId":")" + id + R"(","message":{"text":"Fix the build"},"timestamp":)" + kMay1 +
         R"(,"modelId":"copilot/gpt-5","response":)" + response + extra + "}";
}

std::string Document(const std::string& requests, const std::string& extra = "") {
  return R"({"sessionId":"S1","creationDate":)" + std::string(kMay1) +
         R"(,"workingDirectory":"file:///C:/Work/app","requests":[)" + requests + "]" + extra + "}";
}

std::vector<AiRecord> Read(const std::string& document, std::unordered_set<std::wstring>* emitted = nullptr,
                           const std::wstring& workspace = L"", bool* complete = nullptr,
                           const aisync::ReadSettings& settings = kSettings) {
  std::unordered_set<std::wstring> local;
  std::vector<AiRecord> out;
  bool done = aisync::ReadChatDocument(Parse(document), kFile, workspace, emitted ? *emitted : local, settings, out);
  if (complete != nullptr) *complete = done;
  return out;
}

TEST(ChatReader, MillisecondsBecomeUtcTimestamps) {
  struct Case {
    double ms;
    const wchar_t* text;  // null: rejected
  } cases[] = {{1714557600000.0, L"2024-05-01T10:00:00.000Z"},
               {1714557600123.9, L"2024-05-01T10:00:00.123Z"},
               {1.0, L"1970-01-01T00:00:00.001Z"},
               {253402300799999.0, L"9999-12-31T23:59:59.999Z"},
               {253402300800000.0, nullptr},
               {0.0, nullptr},
               {-5.0, nullptr},
               {std::nan(""), nullptr},
               {INFINITY, nullptr}};
  for (const auto& c : cases) {
    std::wstring text;
    EXPECT_EQ(aisync::ChatTimestamp(c.ms, text), c.text != nullptr) << c.ms;
    if (c.text != nullptr) EXPECT_EQ(text, c.text);
  }
}

TEST(ChatReader, PromptAndReplyOfARequest) {
  auto records = Read(Document(Request("r1", std::string(",\"responseTimestamp\":") + kMay1Later)));
  ASSERT_EQ(records.size(), 2u);
  const AiRecord& prompt = records[0];
  EXPECT_EQ(prompt.key, L"chat:S1:r1");
  EXPECT_EQ(prompt.text, L"Fix the build");
  EXPECT_EQ(prompt.cwd, L"C:\\Work\\app");
  EXPECT_EQ(prompt.workspace, kFile);
  EXPECT_EQ(prompt.model, L"copilot/gpt-5");
  EXPECT_EQ(prompt.sourceKind, kAiSourceChat);
  EXPECT_EQ(prompt.timestamp, L"2024-05-01T10:00:00.000Z");
  const AiRecord& reply = records[1];
  EXPECT_TRUE(reply.isReply);
  EXPECT_EQ(reply.key, L"chat:S1:r1:reply");
  EXPECT_EQ(reply.parentKey, L"chat:S1:r1");
  EXPECT_EQ(reply.phase, L"final_answer");
  EXPECT_EQ(reply.text, L"Done: the link order was wrong.");
  EXPECT_EQ(reply.timestamp, L"2024-05-01T10:00:10.000Z");
  EXPECT_EQ(reply.requestTimestamp, prompt.timestamp);
  EXPECT_EQ(reply.requestTime, prompt.localTime);
  EXPECT_EQ(reply.localDate, prompt.localDate);
  EXPECT_NE(reply.localTime, prompt.localTime);
}

TEST(ChatReader, RequestsThatYieldLessOrNothing) {
  struct Case {
    const char* name;
    std::string document;
    size_t records;
  } cases[] = {
      {"system initiated", Document(Request("r1", ",\"isSystemInitiated\":true")), 0},
      {"hidden", Document(Request("r1", ",\"requestHiddenFromTranscript\":true")), 0},
      {"not hidden", Document(Request("r1", ",\"requestHiddenFromTranscript\":false")), 2},
      {"still running", Document(Request("r1", ",\"modelState\":{\"value\":0}")), 1},
      {"cancelled", Document(Request("r1", ",\"modelState\":{\"value\":4}")), 1},
      {"state without value", Document(Request("r1", ",\"modelState\":{}")), 1},
      {"failed and complete", Document(Request("r1", ",\"modelState\":{\"value\":2}")), 2},
      {"incomplete", Document(Request("r1", ",\"modelState\":{\"value\":1},\"isComplete\":false")), 1},
      {"code only", Document(Request("r1", "", R"([{"kind":"markdownContent","content":{"value":"```\nx\n```"}}])")), 1},
      {"no request id", Document(R"({"message":"hi","timestamp":1714557600000})"), 0},
      {"blank text", Document(R"({"requestId":"r1","message":{"text":" \r\n\t"},"response":["x"]})"), 0},
      {"time 0, no creation date", R"({"sessionId":"S","workingDirectory":"file:///C:/w","requests":[{"requestId":"r","message":"hi","timestamp":0}]})", 0},
      {"time 0, creation date ignored", Document(R"({"requestId":"r","message":"hi","timestamp":0})"), 0},
      {"creation date stands in", Document(R"({"requestId":"r","message":"hi"})"), 1},
      {"before the since date", Document(R"({"requestId":"r","message":"hi","timestamp":1700000000000})"), 0},
      {"no requests", R"({"sessionId":"S","workingDirectory":"file:///C:/w"})", 0},
      {"relative folder", R"({"sessionId":"S","workingDirectory":{"scheme":"vscode-remote","path":"/w"},"requests":[{"requestId":"r","message":"hi","timestamp":1714557600000}]})", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.document).size(), c.records) << c.name;
}

TEST(ChatReader, ResponseTextAssembly) {
  JsonValue response = Parse(
      R"(["plain", {"value":"no kind"}, {"kind":"","value":"empty kind"}, {"kind":"markdownContent","content":"md"},
          {"kind":"markdownContent","content":{"value":"md value"}}, {"kind":"toolInvocationSerialized","value":"x"},
          {"kind":"inlineReference","value":"y"}, {"value":""}, 5, null])");
  EXPECT_EQ(aisync::ChatResponseText(&response), L"plain\n\nno kind\n\nempty kind\n\nmd\n\nmd value");
  JsonValue notArray = Parse(R"({"value":"x"})");
  EXPECT_EQ(aisync::ChatResponseText(&notArray), L"");
  EXPECT_EQ(aisync::ChatResponseText(nullptr), L"");
}

TEST(ChatReader, RunningRequestGetsItsReplyOnceWhenItFinishes) {
  std::unordered_set<std::wstring> emitted;
  auto first = Read(Document(Request("r1", ",\"modelState\":{\"value\":0}")), &emitted);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_FALSE(first[0].isReply);
  auto second = Read(Document(Request("r1", ",\"modelState\":{\"value\":1}")), &emitted);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_TRUE(second[0].isReply);
  EXPECT_TRUE(Read(Document(Request("r1", ",\"modelState\":{\"value\":1}")), &emitted).empty());
}

TEST(ChatReader, WorkingFolderComesFromTheDocumentOrTheWorkspace) {
  std::string request = Request("r1");
  auto cwdOf = [&](const std::string& extra, const std::wstring& workspace) {
    std::string document = R"({"sessionId":"S1","requests":[)" + request + "]" + extra + "}";
    auto records = Read(document, nullptr, workspace);
    return records.empty() ? std::wstring(L"<none>") : records[0].cwd;
  };
  EXPECT_EQ(cwdOf("", L"D:\\Proj"), L"D:\\Proj");
  EXPECT_EQ(cwdOf(R"(,"workingDirectory":"file:///E:/From%20Doc")", L"D:\\Proj"), L"E:\\From Doc");
  EXPECT_EQ(cwdOf(R"(,"workingDirectory":{"scheme":"file","path":"/E:/obj"})", L"D:\\Proj"), L"E:\\obj");
  EXPECT_EQ(cwdOf(R"(,"workingDirectory":"E:\\not-a-uri")", L"D:\\Proj"), L"D:\\Proj");
  EXPECT_EQ(cwdOf("", L""), L"<none>");
  // Without a session id the file's name stands in.
  auto records = Read(R"({"workingDirectory":"file:///C:/w","requests":[)" + request + "]}");
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records[0].key, L"chat:s1:r1");
}

TEST(ChatReader, RecordLimitLeavesTheRestForTheNextPass) {
  std::string requests;
  for (int i = 0; i < 3; ++i) requests += (i ? "," : "") + Request("r" + std::to_string(i));
  std::unordered_set<std::wstring> emitted;
  aisync::ReadSettings settings = kSettings;
  settings.recordLimit = 3;
  bool complete = true;
  auto first = Read(Document(requests), &emitted, L"", &complete, settings);
  EXPECT_EQ(first.size(), 3u);
  EXPECT_FALSE(complete);
  // The rest fits: the file is done even though the limit is reached again.
  auto second = Read(Document(requests), &emitted, L"", &complete, settings);
  EXPECT_EQ(second.size(), 3u);
  EXPECT_TRUE(complete);
  EXPECT_EQ(second[0].key, L"chat:S1:r1:reply");
  auto third = Read(Document(requests), &emitted, L"", &complete, settings);
  EXPECT_EQ(third.size(), 0u);
  EXPECT_TRUE(complete);
}

TEST(ChatDocument, PatchLogBuildsTheSameSessionAsTheWholeDocument) {
  std::string whole = Document(Request("r1", ",\"modelState\":{\"value\":1}") + "," + Request("r2"));
  std::string log =
      std::string(R"({"kind":0,"v":{"sessionId":"S1","creationDate":)") + kMay1 +
      R"(,"workingDirectory":"file:///C:/Work/app","requests":[]}})" + "\n" +
      R"({"kind":2,"k":["requests"],"v":[)" + Request("r1", ",\"modelState\":{\"value\":0}") + "]}\r\n" +
      "not json at all\n\n" +
      R"({"kind":1,"k":["requests",0,"modelState","value"],"v":1})" + "\n" +
      R"({"kind":2,"k":["requests"],"v":[{"requestId":"junk"}]})" + "\n" +
      R"({"kind":2,"k":["requests"],"i":1,"v":[)" + Request("r2") + "]}\n" +
      R"({"kind":1,"k":["requests",5,"message"],"v":"out of range"})" + "\n" +
      R"({"kind":1,"k":["sessionId","deeper"],"v":"into a string"})" + "\n" +
      R"({"kind":3,"k":["pendingEdits"]})" + "\n" +
      R"({"kind":9,"k":["requests"],"v":[]})" + "\n" +
      R"({"k":["requests"],"v":[]})";  // no kind, and no final line feed
  JsonValue fromLog, fromJson;
  ASSERT_TRUE(aisync::ChatDocumentFromPatchLog(log, fromLog));
  ASSERT_TRUE(aisync::ChatDocumentFromJson("\xEF\xBB\xBF" + whole, fromJson));
  JsonValue expected = fromJson;
  json::SetMember(expected, L"pendingEdits", JsonValue());
  EXPECT_EQ(fromLog, expected);
  std::unordered_set<std::wstring> a, b;
  std::vector<AiRecord> viaLog, viaJson;
  aisync::ReadChatDocument(fromLog, kFile, L"", a, kSettings, viaLog);
  aisync::ReadChatDocument(fromJson, kFile, L"", b, kSettings, viaJson);
  EXPECT_EQ(viaLog.size(), 4u);
  EXPECT_EQ(viaLog, viaJson);
}

TEST(ChatDocument, PatchPathsAndCuts) {
  struct Case {
    const char* patches;
    const char* result;  // null: no document
  } cases[] = {
      {R"({"kind":1,"k":["a","b"],"v":1})", R"({"a":{"b":1}})"},  // from null, objects grow
      {"{\"kind\":0,\"v\":{\"a\":[1,2,3]}}\n{\"kind\":2,\"k\":[\"a\"],\"i\":-1,\"v\":[4]}", R"({"a":[1,2,3,4]})"},
      {"{\"kind\":0,\"v\":{\"a\":[1,2,3]}}\n{\"kind\":2,\"k\":[\"a\"],\"i\":1.5,\"v\":[4]}", R"({"a":[1,4]})"},
      {"{\"kind\":0,\"v\":{\"a\":[1,2,3]}}\n{\"kind\":2,\"k\":[\"a\"],\"i\":7,\"v\":5}", R"({"a":[1,2,3]})"},
      {"{\"kind\":0,\"v\":{\"a\":[1,2,3]}}\n{\"kind\":1,\"k\":[\"a\",1.5],\"v\":0}", R"({"a":[1,2,3]})"},
      {"{\"kind\":0,\"v\":{\"a\":[1]}}\n{\"kind\":1,\"k\":[\"a\",true],\"v\":0}", R"({"a":[1]})"},
      {"{\"kind\":0,\"v\":{\"a\":1}}\n{\"kind\":2,\"k\":[\"a\"],\"v\":[1]}", R"({"a":1})"},
      {"{\"kind\":0,\"v\":{\"a\":1}}\n{\"kind\":1,\"v\":[1]}", nullptr},  // no path: the root
      {"{\"kind\":0,\"v\":[1]}", nullptr},
      {"{\"kind\":0}", nullptr},
      {"", nullptr},
  };
  for (const auto& c : cases) {
    JsonValue document;
    bool ok = aisync::ChatDocumentFromPatchLog(c.patches, document);
    EXPECT_EQ(ok, c.result != nullptr) << c.patches;
    if (ok && c.result != nullptr) EXPECT_EQ(document, Parse(c.result)) << c.patches;
  }
}

std::wstring FileUri(const std::wstring& path) {
  std::wstring uri = L"file:///";
  for (wchar_t c : path) uri += c == L'\\' ? std::wstring(L"/") : c == L' ' ? std::wstring(L"%20") : std::wstring(1, c);
  return uri;
}

void WriteText(const std::wstring& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::trunc) << text;
}

TEST(ChatWorkspace, FolderOrFirstFolderOfTheWorkspaceFile) {
  testpaths::TempDir dir;
  auto folderOf = [&](const std::wstring& workspaceJson) {
    WriteText(dir / L"ws\\workspace.json", utf8::FromWide(workspaceJson));
    return aisync::ChatWorkspaceFolder(dir / L"ws");
  };
  EXPECT_EQ(aisync::ChatWorkspaceFolder(dir / L"none"), L"");
  EXPECT_EQ(folderOf(L"{\"folder\":\"file:///C:/Work/app\"}"), L"C:\\Work\\app");
  EXPECT_EQ(folderOf(L"{\"folder\":\"vscode-remote://wsl/home/app\"}"), L"");
  EXPECT_EQ(folderOf(L"{\"folder\":42}"), L"");
  EXPECT_EQ(folderOf(L"not json"), L"");

  std::wstring workspaceFile = dir / L"defs\\team.code-workspace";
  std::wstring reference = L"{\"workspace\":\"" + FileUri(workspaceFile) + L"\"}";
  // Workspace files are written with comments and trailing commas.
  WriteText(workspaceFile, "{\n  // the app\n  \"folders\": [{\"path\": \"../src/app\"}, {\"path\": \"other\"},],\n}");
  EXPECT_EQ(folderOf(reference), dir / L"src\\app");
  WriteText(workspaceFile, R"({"folders":[{"uri":"file:///D:/Elsewhere","path":"ignored"}]})");
  EXPECT_EQ(folderOf(reference), L"D:\\Elsewhere");
  WriteText(workspaceFile, R"({"folders":[{"path":"C:\\Absolute\\app"}]})");
  EXPECT_EQ(folderOf(reference), L"C:\\Absolute\\app");
  WriteText(workspaceFile, R"({"folders":[]})");
  EXPECT_EQ(folderOf(reference), L"");
}

TEST(ChatWorkspace, FileUrisAsVsCodeWritesThem) {
  const struct {
    const wchar_t* uri;
    const wchar_t* path;
  } cases[] = {{L"file:///c%3A/Users/dev/src/app", L"c:\\Users\\dev\\src\\app"},
               {L"file:///C:/With%20Space", L"C:\\With Space"},
               {L"file://server/share/x", L"\\\\server\\share\\x"},
               {L"vscode-remote://wsl/home/dev", L""},
               {L"C:\\Plain", L""}};
  for (const auto& c : cases) EXPECT_EQ(aisync::FileUriToPath(c.uri), c.path) << c.uri;
}

TEST(ChatSourceFiles, WholeFilesAreReadWhenTheyChangeAndMarkedWhenDone) {
  testpaths::TempDir dir;
  std::wstring user = dir / L"Code\\User";
  WriteText(user + L"\\workspaceStorage\\b\\workspace.json", utf8::FromWide(L"{\"folder\":\"" + FileUri(dir / L"app") + L"\"}"));
  WriteText(user + L"\\workspaceStorage\\b\\chatSessions\\one.json", Document(Request("r1")));
  WriteText(user + L"\\workspaceStorage\\b\\chatSessions\\two.jsonl",
            std::string(R"({"kind":0,"v":{"sessionId":"S2","requests":[]}})") + "\n");
  WriteText(user + L"\\workspaceStorage\\b\\chatSessions\\three.JSON", Document(Request("x")));
  WriteText(user + L"\\workspaceStorage\\a\\chatSessions\\broken.json", "{\"requests\": [");
  WriteText(dir / L"Insiders\\User\\workspaceStorage\\c\\chatSessions\\ins.json",
            R"({"sessionId":"S3","workingDirectory":"file:///C:/w","requests":[)" + Request("r3") + "]}");

  aisync::ChatSource source(user, dir / L"Insiders\\User");
  std::wstring status;
  auto files = source.FindFiles(status);
  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(files[0], user + L"\\workspaceStorage\\a\\chatSessions\\broken.json");
  EXPECT_EQ(files[1], user + L"\\workspaceStorage\\b\\chatSessions\\one.json");
  EXPECT_EQ(files[2], user + L"\\workspaceStorage\\b\\chatSessions\\two.jsonl");
  EXPECT_EQ(files[3], dir / L"Insiders\\User\\workspaceStorage\\c\\chatSessions\\ins.json");

  testsources::SourceDriver driver(source);
  auto records = driver.Pass();
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].session, L"S1");
  EXPECT_EQ(records[0].workspace, files[1]);
  EXPECT_EQ(records[2].session, L"S3");
  EXPECT_TRUE(driver.Pass().empty());

  // The patch log grows by a request: only that request is new. The broken file is
  // tried again and now parses.
  std::ofstream(std::filesystem::path(files[2]), std::ios::binary | std::ios::app)
      << R"({"kind":2,"k":["requests"],"v":[)" << Request("r2") << "]}\n";
  WriteText(files[0], R"({"sessionId":"S0","requests":[)" + Request("r0") + "]}");
  records = driver.Pass();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].key, L"chat:S2:r2");
  EXPECT_EQ(records[0].cwd, dir / L"app");  // from workspace b's workspace.json
  // The repaired file had no usable folder (workspace a has no workspace.json): it is
  // marked all the same and not read again until it changes.
  EXPECT_TRUE(driver.Pass().empty());
  WriteText(user + L"\\workspaceStorage\\a\\workspace.json", "{\"folder\":\"file:///C:/A\"}");
  EXPECT_TRUE(driver.Pass().empty());
  WriteText(files[0], R"({"sessionId":"S0","requests":[)" + Request("r0") + "," + Request("r00") + "]}");
  records = driver.Pass();
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].key, L"chat:S0:r0");
  EXPECT_EQ(records[0].cwd, L"C:\\A");
}

}  // namespace
