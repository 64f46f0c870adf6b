#include "model/project_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "i18n/language.h"
#include "model/file_io.h"
#include "model/json.h"
#include "model/utf8.h"
#include "support/temp_dir.h"

namespace {

using testpaths::TempDir;

void Put(const std::wstring& path, std::string_view bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Bytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string WithoutSavedAt(std::string text) {
  size_t at = text.find("\"savedAt\": \"");
  if (at != std::string::npos) text.erase(at, text.find('\n', at) - at);
  return text;
}

class ProjectFileTest : public ::testing::Test {
 protected:
  void SetUp() override { i18n::SetLanguage(i18n::kEnglish); }

  bool Load(std::string_view content, ProjectDocument& doc, std::wstring& error) {
    Put(path_, content);
    return projectfile::LoadProjectFile(path_, doc, error);
  }
  ProjectDocument Load(std::string_view content) {
    ProjectDocument doc;
    std::wstring error;
    EXPECT_TRUE(Load(content, doc, error)) << std::filesystem::path(error).string();
    return doc;
  }

  TempDir dir_;
  std::wstring path_ = dir_ / L"test.qlproj";
};

// ---------------------------------------------------------------------------------

TEST_F(ProjectFileTest, IdsAreRepairedInFileOrder) {
  auto doc = Load(R"({"projects": [{"id": 3}, {"id": 3}, {"id": 0}, {"id": 7}], "nextId": 2})");
  ASSERT_EQ(doc.projects.size(), 4u);
  EXPECT_EQ(doc.projects[0].id, 3);
  EXPECT_EQ(doc.projects[1].id, 8);
  EXPECT_EQ(doc.projects[2].id, 9);
  EXPECT_EQ(doc.projects[3].id, 7);
  EXPECT_EQ(doc.nextId, 10);
}

TEST_F(ProjectFileTest, OddIdsAndCountersNearTheLimit) {
  ProjectDocument refused;
  std::wstring error;
  EXPECT_FALSE(Load(R"({"projects": [{"id": NaN}]})", refused, error)) << "NaN is not JSON";
  auto doc = Load(R"({"projects": [{"id": 1e20}, {"id": -4}, {"id": "5"}, {"id": 2.9}]})");
  ASSERT_EQ(doc.projects.size(), 4u);
  EXPECT_EQ(doc.projects[3].id, 2);  // truncation
  EXPECT_EQ(doc.projects[0].id, 3);
  EXPECT_EQ(doc.projects[1].id, 4);
  EXPECT_EQ(doc.projects[2].id, 5);
  EXPECT_EQ(doc.nextId, 6);

  doc = Load(R"({"projects": [{"id": 2147483647}, {"id": 0}]})");
  ASSERT_EQ(doc.projects.size(), 2u);
  EXPECT_EQ(doc.projects[0].id, 2147483647);
  EXPECT_EQ(doc.projects[1].id, 1);
  int32_t added = doc.AddProject(Project{});
  EXPECT_NE(added, 1);
  EXPECT_NE(added, 2147483647);
  EXPECT_GE(added, 1);
}

TEST_F(ProjectFileTest, ColoursAreRepairedCountingEarlierRepairs) {
  auto doc = Load(R"({"projects": [{"id": 1, "color": 0}, {"id": 2, "color": 1}, {"id": 3}]})");
  EXPECT_EQ(doc.projects[2].color, 2);
  doc = Load(R"({"projects": [{"id": 1, "color": 12}, {"id": 2, "color": "3"}, {"id": 3, "color": 0}]})");
  EXPECT_EQ(doc.projects[0].color, 1);
  EXPECT_EQ(doc.projects[1].color, 2);
}

TEST_F(ProjectFileTest, StartDateRepair) {
  auto doc = Load(R"({"projects": [
      {"id": 1, "startDate": "2024-02-30", "entries": [{"date": "2024-03-01"}, {"date": "2024-01-15"}]},
      {"id": 2, "startDate": "2024-02-30"},
      {"id": 3, "startDate": "2024-1-5"}]})");
  EXPECT_EQ(doc.projects[0].startDate, (Date{2024, 1, 15}));
  EXPECT_EQ(doc.projects[1].startDate, dates::Today());
  EXPECT_EQ(doc.projects[2].startDate, (Date{2024, 1, 5}));
}

TEST_F(ProjectFileTest, EntriesReadingRules) {
  auto doc = Load(R"({"projects": [{"id": 1, "startDate": "2024-01-01", "entries": [
      {"date": "1600-12-31", "text": "dropped"},
      {"text": "no date"},
      "not an object",
      {"date": "2024-1-5", "text": "kept", "tags": ["#Work", "work", 5, "UI", ""],
       "attachments": ["C:/docs/plan.pdf", "c:\\DOCS\\PLAN.PDF", "relative\\x.txt", "https://a.example/x", 3]},
      {"date": "2023-12-31", "text": "earlier"}]}]})");
  const auto& entries = doc.projects[0].entries;
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].text, L"earlier");  // sorted by date
  EXPECT_EQ(entries[1].date, (Date{2024, 1, 5}));
  EXPECT_EQ(entries[1].tags, (std::vector<std::wstring>{L"Work", L"UI"}));
  EXPECT_EQ(entries[1].attachments, (std::vector<std::wstring>{L"C:\\docs\\plan.pdf", L"https://a.example/x"}));

  std::wstring error;
  ASSERT_TRUE(projectfile::SaveProjectFile(path_, doc.projects, doc.nextId, error));
  std::string saved = Bytes(path_);
  EXPECT_NE(saved.find("\"date\": \"2024-01-05\""), std::string::npos);
}

TEST_F(ProjectFileTest, StatusCategoryAndSessionAreExact) {
  auto doc = Load(R"({"projects": [
      {"id": 1, "status": "Completed", "category": "Internal"},
      {"id": 2, "status": "completed", "category": "external", "completedDate": "2024-05-01",
       "lastAiSession": {"source": "VS Code Codex", "session": "s1", "model": "m", "timestamp": "t", "workspace": "w"}},
      {"id": 3, "lastAiSession": {"source": "vs code codex", "session": "s2"}}]})");
  EXPECT_FALSE(doc.projects[0].completed);
  EXPECT_EQ(doc.projects[0].category, kCategoryPersonal);
  EXPECT_TRUE(doc.projects[1].completed);
  EXPECT_EQ(doc.projects[1].category, kCategoryExternal);
  EXPECT_EQ(doc.projects[1].lastAiSession.source, kAiSourceCodex);
  EXPECT_EQ(doc.projects[1].lastAiSession.workspace, L"w");
  EXPECT_EQ(doc.projects[2].lastAiSession.source, kAiSourceNone);
  EXPECT_EQ(doc.projects[2].lastAiSession.session, L"s2");
}

TEST_F(ProjectFileTest, ByteOrderMarkIsIgnoredAndNeverWritten) {
  auto doc = Load("\xEF\xBB\xBF{\"projects\": [{\"id\": 4, \"title\": \"한글\"}]}");
  ASSERT_EQ(doc.projects.size(), 1u);
  EXPECT_EQ(doc.projects[0].title, L"한글");
  std::wstring error;
  ASSERT_TRUE(projectfile::SaveProjectFile(path_, doc.projects, doc.nextId, error));
  EXPECT_FALSE(Bytes(path_).starts_with("\xEF\xBB\xBF"));
}

TEST_F(ProjectFileTest, ErrorsLeaveTheDocumentUnchanged) {
  ProjectDocument doc;
  Project keep;
  keep.title = L"keep me";
  doc.AddProject(keep);
  std::wstring error;

  EXPECT_FALSE(Load(R"({"projects": [1, 2,]})", doc, error));
  EXPECT_EQ(error, L"Invalid file format: Invalid value. (position 19)");
  EXPECT_FALSE(Load(R"([])", doc, error));
  EXPECT_EQ(error, L"This is not a Tavrilo project file.");
  EXPECT_FALSE(Load(R"({"projects": {}})", doc, error));
  EXPECT_EQ(error, L"This is not a Tavrilo project file.");
  // Only the first member of that name counts.
  EXPECT_FALSE(Load(R"({"projects": null, "projects": []})", doc, error));
  EXPECT_FALSE(projectfile::LoadProjectFile(dir_ / L"missing.qlproj", doc, error));
  EXPECT_EQ(error, fileio::SystemErrorText(2));

  ASSERT_EQ(doc.projects.size(), 1u);
  EXPECT_EQ(doc.projects[0].title, L"keep me");
  EXPECT_EQ(doc.nextId, 2);
}

TEST_F(ProjectFileTest, FailedReadsLeaveTheCallersListEmpty) {
  const wchar_t* broken[] = {
      LR"({"projects": [{"id": 1, "title": "read"}, {"id": 2, "title": ]})",
      LR"({"projects": [{"id": 1, "title": "read"}]} trailing)",
      LR"({"projects": [{"id": 1, "title": "read"}], "projects": 5)",
      LR"([{"projects": [{"id": 1}]}])",
  };
  for (const wchar_t* text : broken) {
    std::vector<Project> projects(2);
    projects[0].title = L"stale";
    std::wstring error;
    EXPECT_FALSE(projectfile::ProjectsFromText(text, projects, error)) << std::filesystem::path(text).string();
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(projects.empty()) << std::filesystem::path(text).string();
  }
  std::vector<Project> projects(1);
  std::wstring error;
  EXPECT_FALSE(projectfile::ReadProjects(dir_ / L"missing.qlproj", projects, error));
  EXPECT_TRUE(projects.empty());
}

// An entry date padded past any fixed window is still a date, so the entry survives a
// load and the next save.
TEST_F(ProjectFileTest, PaddedEntryDatesSurviveLoadAndSave) {
  const std::string padded = std::string(80, ' ') + "2024-" + std::string(70, '0') + "3-7";
  auto doc = Load(R"({"projects": [{"id": 1, "startDate": "2024-01-01", "entries": [{"date": ")" + padded +
                  R"(", "text": "kept"}]}]})");
  ASSERT_EQ(doc.projects.size(), 1u);
  ASSERT_EQ(doc.projects[0].entries.size(), 1u);
  EXPECT_EQ(doc.projects[0].entries[0].date, (Date{2024, 3, 7}));
  std::wstring error;
  ASSERT_TRUE(projectfile::SaveProjectFile(path_, doc.projects, doc.nextId, error));
  EXPECT_NE(Bytes(path_).find("\"date\": \"2024-03-07\""), std::string::npos);
}

TEST_F(ProjectFileTest, BothReadersTakeTheFirstMemberOfAName) {
  const wchar_t* text = LR"({"other": [1, {"projects": 5}], "projects": [
      {"id": "7", "id": 3, "title": 5, "title": "second", "status": "completed", "status": "active",
       "entries": [{"date": 20240101, "date": "2024-01-01"}, {"date": "2024-01-02", "text": "kept", "text": "no",
                    "tags": "notalist", "tags": ["x"]}],
       "entries": [{"date": "2024-01-03"}],
       "lastAiSession": {"source": "VS Code Chat", "source": "VS Code Codex", "extra": {"deep": [[[]]]}},
       "color": 1e400, "unknown": null}],
    "projects": []})";
  std::vector<Project> fast;
  ASSERT_TRUE(projectfile::ReadProjectsFast(text, fast));
  JsonValue root;
  std::wstring error;
  ASSERT_TRUE(json::Parse(text, false, root, error));
  std::vector<Project> tree;
  ASSERT_TRUE(projectfile::ProjectsFromJson(root, tree, error));
  ASSERT_EQ(fast.size(), 1u);
  EXPECT_TRUE(fast == tree);
  const Project& p = fast[0];
  EXPECT_EQ(p.id, 0);
  EXPECT_EQ(p.title, L"");
  EXPECT_TRUE(p.completed);
  ASSERT_EQ(p.entries.size(), 1u);
  EXPECT_EQ(p.entries[0].text, L"kept");
  EXPECT_TRUE(p.entries[0].tags.empty());
  EXPECT_EQ(p.lastAiSession.source, kAiSourceChat);
  EXPECT_EQ(p.color, INT32_MIN);
}

// The bytes reader decodes each string on its own; what it declines (a byte-order mark
// between tokens, a broken document) still reads, or fails, as the decoded text does.
TEST_F(ProjectFileTest, ReadingTheBytesMatchesReadingTheDecodedText) {
  const struct {
    const char* bytes;
    bool straight;  // read without the decoded text
  } cases[] = {
      {"{\"projects\": [{\"id\": 1, \"title\": \"\xED\x95\x9C\xF0\x9F\x93\x8A\\r\\n\xE2\x80\x94\\u00e9\\\"x\"}]}", true},
      {"{\"projects\": [{\"title\": \"bad \xC3\" , \"location\": \"\xE0\x80\\n\xF4\x90\x80\x80\xED\xA0\x80\xFF\"}]}", true},
      {"{\"projects\": [{\"id\": 2, \"entries\": [{\"date\": \"2024-01-02\", \"tags\": [\"\xEC\x9E\x91\xEC\x97\x85\", \"A B\", \"#x\"],"
       " \"text\": \"\xEA\xB0\x80\\t\xEB\x82\x98\"}]}]}", true},
      {"{\"projects\":\xEF\xBB\xBF[{\"id\": 3}]}", false},
      {"\xEF\xBB\xBF{\"projects\": []}", false},
      {"{\"projects\": [{\"id\": 4, \"title\": \"\xED\x95\x9C]}", false},
  };
  for (const auto& c : cases) {
    const std::string bytes = c.bytes;
    std::vector<Project> direct, decoded;
    std::wstring directError, decodedError;
    EXPECT_EQ(projectfile::ReadProjectsFastUtf8(bytes, direct), c.straight) << bytes;
    const bool read = projectfile::ProjectsFromBytes(bytes, direct, directError);
    EXPECT_EQ(projectfile::ProjectsFromText(utf8::ToWide(bytes), decoded, decodedError), read) << bytes;
    EXPECT_TRUE(direct == decoded) << bytes;
    EXPECT_EQ(directError, decodedError) << bytes;
  }
  // The decoded strings themselves, checked by hand once.
  std::vector<Project> projects;
  std::wstring error;
  ASSERT_TRUE(projectfile::ProjectsFromBytes(cases[0].bytes, projects, error));
  EXPECT_EQ(projects[0].title, L"\xD55C\xD83D\xDCCA\r\n\x2014\x00E9\"x");
  ASSERT_TRUE(projectfile::ProjectsFromBytes(cases[1].bytes, projects, error));
  EXPECT_EQ(projects[0].title, L"bad \xFFFD");
  EXPECT_EQ(projects[0].location, L"\xFFFD\xFFFD\n\xFFFD\xFFFD\xFFFD\xFFFD\xFFFD\xFFFD\xFFFD\xFFFD");
}

TEST_F(ProjectFileTest, ReadProjectsDoesNotRepairIdsOrColours) {
  Put(path_, R"({"projects": [{"id": 3, "color": 40}, {"id": 3}, "skip", {"id": -1}]})");
  std::vector<Project> projects;
  std::wstring error;
  ASSERT_TRUE(projectfile::ReadProjects(path_, projects, error));
  ASSERT_EQ(projects.size(), 3u);
  EXPECT_EQ(projects[0].id, 3);
  EXPECT_EQ(projects[0].color, 40);
  EXPECT_EQ(projects[1].id, 3);
  EXPECT_EQ(projects[1].color, -1);
  EXPECT_EQ(projects[2].id, -1);
}

// ---------------------------------------------------------------------------------

Project RichProject() {
  Project p;
  p.title = L"분기 보고서 📊 \"quoted\" \\ back";
  p.location = L"C:\\Work\\보고서";
  p.startDate = {2024, 1, 2};
  p.endDate = {2024, 12, 31};
  p.color = 11;
  p.category = kCategoryExternal;
  p.created = L"2024-01-02T09:00:00";
  Entry a;
  a.date = {2024, 1, 2};
  a.text = L"[VS Code Codex · 09:15:00 · gpt-5]\r\n여러 줄\r\n\ttab\x01\x1f end\r\n기록: C:\\Work\\x";
  a.tags = {L"작업", L"UI"};
  a.attachments = {L"C:\\Work\\보고서\\a.png", L"https://example.com/?q=1&r=2"};
  Entry b;
  b.date = {2024, 1, 2};
  b.text = L"";
  p.entries = {a, b};
  p.codexImports = {L"codex:abc:1", L"codex:abc:1", L"chat:x"};
  p.lastAiSession = {kAiSourceClaude, L"sess", L"claude-x", L"2024-01-02T09:15:00.123Z", L"ws"};
  return p;
}

TEST_F(ProjectFileTest, EveryFieldRoundTrips) {
  ProjectDocument doc;
  doc.AddProject(RichProject());
  Project done;
  done.title = L"done";
  done.completed = true;
  done.completedDate = {2024, 6, 30};
  done.startDate = {2024, 6, 1};
  doc.AddProject(done);
  Project undated;  // invalid dates are written as empty strings
  undated.startDate = {2024, 3, 3};
  undated.endDate = {2023, 2, 29};
  doc.AddProject(undated);

  std::wstring error;
  ASSERT_TRUE(projectfile::SaveProjectFile(path_, doc.projects, doc.nextId, error)) << std::filesystem::path(error).string();
  ProjectDocument back;
  ASSERT_TRUE(projectfile::LoadProjectFile(path_, back, error));
  EXPECT_EQ(back.nextId, doc.nextId);
  ASSERT_EQ(back.projects.size(), doc.projects.size());
  for (size_t i = 0; i < doc.projects.size(); ++i) {
    Project expected = doc.projects[i];
    if (!dates::IsValid(expected.endDate)) expected.endDate = {};
    EXPECT_TRUE(back.projects[i] == expected) << "project " << i;
  }

  std::string first = Bytes(path_);
  // The streaming writer that saves files and the tree writer agree byte for byte.
  EXPECT_EQ(projectfile::ProjectFileText(doc.projects, doc.nextId, L"stamp"),
            json::WriteDocumentUtf8(projectfile::ProjectsToJson(doc.projects, doc.nextId, L"stamp")));
  EXPECT_EQ(projectfile::ProjectFileText({}, 1, L"stamp"),
            json::WriteDocumentUtf8(projectfile::ProjectsToJson({}, 1, L"stamp")));
  ASSERT_TRUE(projectfile::SaveProjectFile(path_, back.projects, back.nextId, error));
  EXPECT_EQ(WithoutSavedAt(first), WithoutSavedAt(Bytes(path_)));
  EXPECT_NE(first.find("\"codexImports\""), std::string::npos);
  EXPECT_NE(first.find("\\u0001"), std::string::npos);
}

TEST_F(ProjectFileTest, LayoutOfASavedFile) {
  Project p;
  p.id = 7;
  p.title = L"T";
  p.startDate = {2024, 1, 5};
  p.color = 3;
  p.created = L"c";
  p.modified = L"m";
  std::wstring error;
  // Exporting one project passes its id plus one as the next id.
  ASSERT_TRUE(projectfile::SaveProjectFile(path_, {p}, p.id + 1, error));
  std::string text = WithoutSavedAt(Bytes(path_));
  EXPECT_EQ(text,
            "{\n"
            "  \"format\": \"Quenlor.ProjectFile\",\n"
            "  \"version\": 1,\n"
            "  \"app\": \"Tavrilo 1.9.1\",\n"
            "  \n"
            "  \"nextId\": 8,\n"
            "  \"projects\": [\n"
            "    {\n"
            "      \"id\": 7,\n"
            "      \"title\": \"T\",\n"
            "      \"location\": \"\",\n"
            "      \"status\": \"active\",\n"
            "      \"startDate\": \"2024-01-05\",\n"
            "      \"endDate\": \"\",\n"
            "      \"completedDate\": \"\",\n"
            "      \"color\": 3,\n"
            "      \"category\": \"personal\",\n"
            "      \"created\": \"c\",\n"
            "      \"modified\": \"m\",\n"
            "      \"entries\": []\n"
            "    }\n"
            "  ]\n"
            "}\n");
}

TEST_F(ProjectFileTest, EmptyDocumentRoundTrips) {
  std::wstring error;
  ASSERT_TRUE(projectfile::SaveProjectFile(dir_ / L"new\\folder\\empty.qlproj", {}, 1, error));
  std::string text = Bytes(dir_ / L"new\\folder\\empty.qlproj");
  EXPECT_NE(text.find("\"projects\": []"), std::string::npos);
  ProjectDocument doc;
  ASSERT_TRUE(projectfile::LoadProjectFile(dir_ / L"new\\folder\\empty.qlproj", doc, error));
  EXPECT_TRUE(doc.projects.empty());
  EXPECT_EQ(doc.nextId, 1);
}

TEST(TruncateToInt32, RangeAndNonFinite) {
  EXPECT_EQ(projectfile::TruncateToInt32(2.9), 2);
  EXPECT_EQ(projectfile::TruncateToInt32(-2.9), -2);
  EXPECT_EQ(projectfile::TruncateToInt32(2147483647.5), 2147483647);
  EXPECT_EQ(projectfile::TruncateToInt32(-2147483648.0), INT32_MIN);
  EXPECT_EQ(projectfile::TruncateToInt32(2147483648.0), INT32_MIN);
  EXPECT_EQ(projectfile::TruncateToInt32(1e300), INT32_MIN);
  EXPECT_EQ(projectfile::TruncateToInt32(std::numeric_limits<double>::quiet_NaN()), INT32_MIN);
  EXPECT_EQ(projectfile::TruncateToInt32(std::numeric_limits<double>::infinity()), INT32_MIN);
}

}  // namespace
