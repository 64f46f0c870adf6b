// Damaged project files: whatever the bytes, reading never crashes, a failure always
// says where, and whatever is read is written back and read again unchanged.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "i18n/language.h"
#include "model/json.h"
#include "model/project_file.h"
#include "model/utf8.h"

namespace {

const char kSample[] = R"({
  "format": "Quenlor.ProjectFile",
  "version": 1,
  "app": "Tavrilo 1.9.1",
  "savedAt": "2026-12-01T10:00:00",
  "nextId": 4,
  "projects": [
    {
      "id": 1,
      "title": "분기 보고서 📊",
      "location": "C:\\Work\\report",
      "status": "active",
      "startDate": "2026-01-05",
      "endDate": "2026-03-31",
      "completedDate": "",
      "color": 3,
      "category": "internal",
      "created": "2026-01-05T09:00:00",
      "modified": "2026-02-01T18:00:00",
      "entries": [
        {
          "date": "2026-01-05",
          "text": "[VS Code Codex · 09:15:00 · gpt-5]\r\n빌드 고쳐 줘\r\n기록: C:\\Work\\report\\Quenlor\\2026-01-05\\091500_0123456789abcdef",
          "tags": ["Codex", "자동기록"],
          "attachments": ["C:\\Work\\report\\a.png", "https://example.com/x?y=1"]
        },
        {"date": "2026-1-7", "text": "line one\nline two\t\u0001"}
      ],
      "codexImports": ["codex:019a:1", "codex:019a:2"],
      "lastAiSession": {"source": "VS Code Codex", "session": "019a", "model": "gpt-5", "timestamp": "2026-01-05T09:15:00Z", "workspace": ""}
    },
    {"id": 3, "title": "done", "status": "completed", "completedDate": "2025-12-24", "color": 1, "entries": []},
    {"id": 3, "title": "duplicate id", "entries": [{"date": "1600-12-31"}]}
  ]
}
)";

std::string Mutate(const std::string& base, std::mt19937& rng) {
  std::string s = base;
  auto pos = [&](size_t n) { return n == 0 ? 0 : static_cast<size_t>(rng() % n); };
  int edits = 1 + static_cast<int>(rng() % 4);
  for (int i = 0; i < edits && !s.empty(); ++i) {
    switch (rng() % 7) {
      case 0: s[pos(s.size())] ^= static_cast<char>(1 << (rng() % 8)); break;
      case 1: s.erase(pos(s.size()), 1 + pos(8)); break;
      case 2: s.insert(pos(s.size() + 1), 1, "{}[],:\"\\0-e.\xC3\xED\xFF"[rng() % 16]); break;
      case 3: s.resize(pos(s.size() + 1)); break;
      case 4: {  // duplicate a slice somewhere else
        size_t from = pos(s.size()), len = pos(std::min<size_t>(80, s.size() - from) + 1);
        s.insert(pos(s.size() + 1), s.substr(from, len));
        break;
      }
      case 5: {  // a number that is far too large or malformed
        const char* numbers[] = {"1e999", "-1e999", "1e-999", "99999999999999999999", "0x10", "1.2.3", "-"};
        s.insert(pos(s.size() + 1), numbers[rng() % 7]);
        break;
      }
      default: {  // a lone surrogate or NUL
        const std::string units[] = {"\\ud800", "\\udc00", "\\u0000", std::string("\0", 1)};
        s.insert(pos(s.size() + 1), units[rng() % 4]);
        break;
      }
    }
  }
  return s;
}

TEST(ProjectFileMutation, ReadingDamagedFilesIsSafeAndStable) {
  i18n::SetLanguage(i18n::kEnglish);
  std::mt19937 rng(20261208);
  int read = 0, refused = 0;
  for (int round = 0; round < 20000; ++round) {
    const std::string bytes = Mutate(kSample, rng);
    std::wstring text = utf8::ToWide(bytes);
    // The tree-free reader that loads files must agree with the tree reader exactly.
    std::vector<Project> fast;
    bool fastRead = projectfile::ReadProjectsFast(text, fast);
    // So must the one that reads the bytes and decodes only strings (damaged sequences
    // next to quotes and escapes included); no mutation makes a byte-order mark, the
    // one thing it leaves to the decoded text.
    std::vector<Project> direct;
    ASSERT_EQ(projectfile::ReadProjectsFastUtf8(bytes, direct), fastRead) << "round " << round;
    if (fastRead) {
      ASSERT_TRUE(direct == fast) << "round " << round << ": the bytes reader differs";
    }
    JsonValue root;
    std::wstring error;
    if (!json::Parse(text, false, root, error)) {
      ASSERT_NE(error.find(L"(position "), std::wstring::npos) << "round " << round;
      ASSERT_FALSE(fastRead) << "round " << round << ": accepted what the reader refuses";
      ++refused;
      continue;
    }
    std::vector<Project> projects;
    if (!projectfile::ProjectsFromJson(root, projects, error)) {
      ASSERT_EQ(error, L"This is not a Tavrilo project file.");
      ASSERT_FALSE(fastRead) << "round " << round;
      ++refused;
      continue;
    }
    ASSERT_TRUE(fastRead) << "round " << round << ": refused a good file";
    ASSERT_TRUE(fast == projects) << "round " << round << ": the two readers differ";
    ++read;
    ProjectDocument doc;
    projectfile::RepairLoadedProjects(projects, doc);
    std::set<int32_t> ids;
    for (const auto& p : doc.projects) {
      ASSERT_GE(p.id, 1);
      ASSERT_TRUE(ids.insert(p.id).second) << "duplicate id after repair";
      ASSERT_TRUE(p.color >= 0 && p.color < 12);
      ASSERT_TRUE(dates::IsValid(p.startDate));
      for (const auto& e : p.entries) ASSERT_TRUE(dates::IsValid(e.date));
    }
    ASSERT_GT(doc.nextId, 0);

    // What was read survives a save and a second read unchanged.
    JsonValue written = projectfile::ProjectsToJson(doc.projects, doc.nextId, L"now");
    std::string streamed = projectfile::ProjectFileText(doc.projects, doc.nextId, L"now");
    ASSERT_EQ(streamed, json::WriteDocumentUtf8(written)) << "round " << round;
    // The saved bytes read back and saved again are the same bytes (UTF-8 has no form
    // for a lone surrogate, so the first save may turn one into U+FFFD, never later ones).
    {
      JsonValue reread;
      ASSERT_TRUE(json::Parse(utf8::ToWide(streamed), false, reread, error)) << "round " << round;
      std::vector<Project> saved;
      ASSERT_TRUE(projectfile::ProjectsFromJson(reread, saved, error));
      ProjectDocument again;
      projectfile::RepairLoadedProjects(saved, again);
      ASSERT_EQ(projectfile::ProjectFileText(again.projects, again.nextId, L"now"), streamed) << "round " << round;
    }
    JsonValue again;
    ASSERT_TRUE(json::Parse(json::WriteDocument(written), false, again, error)) << "round " << round;
    std::vector<Project> back;
    ASSERT_TRUE(projectfile::ProjectsFromJson(again, back, error));
    ASSERT_EQ(back.size(), doc.projects.size());
    for (size_t i = 0; i < back.size(); ++i) {
      Project expected = doc.projects[i];
      // Unknown AI sources are not written; an invalid end date is written empty.
      if (AiSourceName(expected.lastAiSession.source).empty()) expected.lastAiSession = {};
      ASSERT_TRUE(back[i] == expected) << "round " << round << " project " << i;
    }
  }
  EXPECT_GT(read, 1000);
  EXPECT_GT(refused, 1000);
}

}  // namespace
