#include "model/project.h"

#include <gtest/gtest.h>

#include "support/language_scope.h"

#include "i18n/language.h"

namespace {

using testpaths::LanguageScope;

Project WithColor(int color) {
  Project p;
  p.color = color;
  return p;
}

Entry At(Date date, std::wstring text = {}) {
  Entry e;
  e.date = date;
  e.text = std::move(text);
  return e;
}

// ---------------------------------------------------------------------------------

TEST(ProjectDocumentOps, AddHandsOutIdsAndRepairsFields) {
  ProjectDocument doc;
  Project p;
  p.id = 77;  // ignored
  p.category = 9;
  p.entries = {At({2024, 3, 5}), At({2024, 1, 10}), At({2024, 3, 5}, L"second on the 5th")};
  p.entries[0].text = L"first on the 5th";
  int32_t id = doc.AddProject(p);
  EXPECT_EQ(id, 1);
  EXPECT_EQ(doc.nextId, 2);
  const Project* held = doc.Find(1);
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held->category, kCategoryPersonal);
  EXPECT_EQ(held->color, 0);
  EXPECT_EQ(held->created.size(), 19u);
  EXPECT_EQ(held->modified, held->created);
  ASSERT_EQ(held->entries.size(), 3u);
  EXPECT_EQ(held->entries[0].date, (Date{2024, 1, 10}));
  // The sort is stable: entries of one day keep their order.
  EXPECT_EQ(held->entries[1].text, L"first on the 5th");
  EXPECT_EQ(held->entries[2].text, L"second on the 5th");

  Project keep;
  keep.created = L"2020-01-01T00:00:00";
  doc.AddProject(keep);
  EXPECT_EQ(doc.projects.back().created, L"2020-01-01T00:00:00");
  EXPECT_NE(doc.projects.back().modified, L"2020-01-01T00:00:00");
}

TEST(ProjectDocumentOps, LeastUsedColor) {
  ProjectDocument doc;
  EXPECT_EQ(doc.LeastUsedColor(), 0);
  doc.AddProject(WithColor(0));
  doc.AddProject(WithColor(0));
  doc.AddProject(WithColor(1));
  EXPECT_EQ(doc.AddProject(WithColor(-1)), 4);
  EXPECT_EQ(doc.projects.back().color, 2);

  ProjectDocument full;
  for (int c = 0; c < 12; ++c) full.AddProject(WithColor(c));
  full.AddProject(WithColor(12));  // out of range counts as "no colour"
  EXPECT_EQ(full.projects.back().color, 0);

  ProjectDocument skewed;
  for (int c : {5, 5, 99}) skewed.projects.push_back(WithColor(c));
  EXPECT_EQ(skewed.LeastUsedColor(), 0);  // 99 is not counted, ties go to the lowest index
}

TEST(ProjectDocumentOps, UpdateAndRemove) {
  ProjectDocument doc;
  Project a;
  a.title = L"A";
  a.color = 4;
  doc.AddProject(a);
  Project b;
  b.title = L"B";
  doc.AddProject(b);

  Project changed = *doc.Find(1);
  changed.title = L"A2";
  changed.color = 40;  // not repaired by an update
  changed.category = -1;
  changed.entries = {At({2024, 5, 2}), At({2024, 5, 1})};
  doc.UpdateProject(changed);
  EXPECT_EQ(doc.Find(1)->title, L"A2");
  EXPECT_EQ(doc.Find(1)->color, 40);
  EXPECT_EQ(doc.Find(1)->category, kCategoryPersonal);
  EXPECT_EQ(doc.Find(1)->entries[0].date, (Date{2024, 5, 1}));

  Project stranger;
  stranger.id = 99;
  doc.UpdateProject(stranger);
  EXPECT_EQ(doc.projects.size(), 2u);

  EXPECT_FALSE(doc.RemoveProject(99));
  EXPECT_TRUE(doc.RemoveProject(1));
  ASSERT_EQ(doc.projects.size(), 1u);
  EXPECT_EQ(doc.projects[0].title, L"B");
  EXPECT_EQ(doc.AddProject(Project{}), 3);  // ids are never reused by the counter
}

TEST(ProjectDocumentOps, DamagedCounterNeverReusesAnId) {
  ProjectDocument doc;
  Project held;
  held.id = 5;
  doc.projects.push_back(held);
  doc.nextId = 5;
  EXPECT_EQ(doc.AddProject(Project{}), 6);
  doc.nextId = 0;
  EXPECT_EQ(doc.AddProject(Project{}), 7);
  doc.nextId = INT32_MAX;
  EXPECT_EQ(doc.AddProject(Project{}), INT32_MAX);
  int32_t next = doc.AddProject(Project{});
  EXPECT_GE(next, 1);
  EXPECT_NE(next, 5);
  EXPECT_NE(next, INT32_MAX);
}

// ---------------------------------------------------------------------------------

TEST(ProjectSpan, EffectiveStartAndEnd) {
  Project p;
  p.entries = {At({2024, 3, 5}), At({2024, 1, 10})};
  EXPECT_EQ(p.EffectiveStart(), (Date{2024, 1, 10}));
  p.endDate = {2023, 12, 31};
  EXPECT_EQ(p.EffectiveEnd(), (Date{2024, 3, 5}));
  p.endDate = {2024, 6, 1};
  EXPECT_EQ(p.EffectiveEnd(), (Date{2024, 6, 1}));
  p.startDate = {2024, 2, 1};  // entries before the planned start still count
  EXPECT_EQ(p.EffectiveStart(), (Date{2024, 1, 10}));
  EXPECT_TRUE(p.SpansDate({2024, 1, 10}));
  EXPECT_TRUE(p.SpansDate({2024, 6, 1}));
  EXPECT_FALSE(p.SpansDate({2024, 6, 2}));
  EXPECT_FALSE(p.SpansDate({2024, 1, 9}));
}

TEST(ProjectSpan, WithoutDates) {
  Project p;
  EXPECT_EQ(p.EffectiveStart(), Date{});
  EXPECT_EQ(p.EffectiveEnd(), Date{});
  EXPECT_FALSE(p.SpansDate({2024, 1, 1}));
  p.endDate = {2024, 5, 5};  // an end alone is a one-day span
  EXPECT_EQ(p.EffectiveEnd(), (Date{2024, 5, 5}));
  EXPECT_FALSE(p.SpansDate({2024, 5, 5}));
  p.startDate = {2024, 5, 5};
  EXPECT_TRUE(p.SpansDate({2024, 5, 5}));
}

// ---------------------------------------------------------------------------------

TEST(Tags, NormalizeDropsSeparatorsAndCuts) {
  EXPECT_EQ(tags::Normalize(L" #a,b;c\u3000d\te\x01"), L"abcde");
  std::wstring fifty(50, L'x');
  EXPECT_EQ(tags::Normalize(fifty), std::wstring(40, L'x'));
  // A pair cut in half would become U+FFFD once written; the cut steps back instead.
  std::wstring emoji = std::wstring(39, L'y') + L"\U0001F600";
  EXPECT_EQ(tags::Normalize(emoji), std::wstring(39, L'y'));
  std::wstring fits = std::wstring(38, L'y') + L"\U0001F600";
  EXPECT_EQ(tags::Normalize(fits), fits);
}

TEST(Tags, SplitAndCaseInsensitiveDuplicates) {
  auto list = tags::Split(L"#Design, UI;ux");
  ASSERT_EQ(list, (std::vector<std::wstring>{L"Design", L"UI", L"ux"}));
  EXPECT_FALSE(tags::Add(list, L"design"));
  EXPECT_FALSE(tags::Add(list, L"#DESIGN"));
  EXPECT_FALSE(tags::Add(list, L"  "));
  EXPECT_TRUE(tags::Add(list, L"Designs"));
  EXPECT_EQ(tags::Split(L"한글\u3000태그##"), (std::vector<std::wstring>{L"한글", L"태그"}));
  // Control characters are not separators in the field; the normalisation drops them.
  EXPECT_EQ(tags::Split(L"a\x01" L"b"), (std::vector<std::wstring>{L"ab"}));
  EXPECT_EQ(tags::Split(L"ÄRGER ärger"), (std::vector<std::wstring>{L"ÄRGER"}));
}

TEST(Tags, AllTagsKeepsTheFirstSpelling) {
  Project p;
  p.entries = {At({2024, 1, 1}), At({2024, 1, 2})};
  p.entries[0].tags = {L"Work", L"ui"};
  p.entries[1].tags = {L"work", L"UI", L"docs"};
  EXPECT_EQ(p.AllTags(), (std::vector<std::wstring>{L"Work", L"ui", L"docs"}));
}

// ---------------------------------------------------------------------------------

TEST(ProjectSearch, PlainAndTagWords) {
  Project p;
  p.title = L"Quarterly report";
  p.entries = {At({2024, 1, 1})};
  p.entries[0].tags = {L"work-items"};
  EXPECT_TRUE(p.MatchesSearch(L"#Work report", -1));
  EXPECT_FALSE(p.MatchesSearch(L"#report", -1));  // tag words never look at the title
  EXPECT_TRUE(p.MatchesSearch(L"QUARTER", -1));
  EXPECT_TRUE(p.MatchesSearch(L"items", -1));      // plain words also look at tags
  EXPECT_FALSE(p.MatchesSearch(L"report budget", -1));
  EXPECT_TRUE(p.MatchesSearch(L"", -1));
  EXPECT_TRUE(p.MatchesSearch(L"  #  ", -1));       // an empty tag word is skipped
  EXPECT_TRUE(p.MatchesSearch(L"\treport\n", -1));
}

TEST(ProjectSearch, WordsAcrossEntriesAndUnusualTags) {
  Project p;
  p.title = L"Ünïcode Ärger 프로젝트";
  p.entries = {At({2024, 1, 1}), At({2024, 2, 1})};
  p.entries[0].tags = {L"ДИЗАЙН", L"회의"};
  // Built in code without the tag rules: searched as All tags shows them.
  p.entries[1].tags = {L"#Work Items", std::wstring(45, L'x') + L"tail", L"#"};
  struct {
    const wchar_t* query;
    bool matches;
  } cases[] = {
      {L"ärger", true},            // the system lower-cases beyond ASCII
      {L"ÜNÏCODE", true},
      {L"#дизайн #workitems", true},  // tag words satisfied by tags of different entries
      {L"#work items", true},      // "items" is a plain word, found in the tag "WorkItems"
      {L"#work", true},
      {L"#workitems 프로젝트 회의", true},
      {L"#프로젝트", false},          // a tag word never looks at the title
      {L"#tail", false},           // cut at 40 units like every stored tag
      {L"#xxxxx", true},
      {L"#дизайн missing", false},
  };
  for (auto c : cases) {
    EXPECT_EQ(p.MatchesSearch(c.query, -1), c.matches) << testing::PrintToString(std::wstring(c.query));
  }
  EXPECT_EQ(LowerCase(L"ABC Ärger 회의 ДИЗАЙН"), L"abc ärger 회의 дизайн");
}

TEST(ProjectSearch, OneQueryOverManyProjectsJudgesEachAlone) {
  // A query read once is tried against every project of the document: what one project
  // satisfied must not carry over to the next.
  auto make = [](const wchar_t* title, std::vector<std::wstring> tags, int32_t category) {
    Project p;
    p.title = title;
    p.category = category;
    p.entries = {At({2024, 1, 1})};
    p.entries[0].tags = std::move(tags);
    return p;
  };
  std::vector<Project> projects = {
      make(L"Alpha launch", {L"beta"}, kCategoryPersonal),     // both words
      make(L"Alpha only", {L"gamma"}, kCategoryPersonal),      // the title word alone
      make(L"Nothing", {L"beta"}, kCategoryPersonal),          // the tag word alone
      make(L"ALPHA", {L"x", L"BETA-2"}, kCategoryInternal),    // both, in another category
      make(L"Alpha", {}, kCategoryPersonal),                   // no tags at all
  };
  EXPECT_EQ(ProjectSearch(L"alpha #beta", -1).MatchAll(projects), (std::vector<char>{1, 0, 0, 1, 0}));
  EXPECT_EQ(ProjectSearch(L"alpha #beta", kCategoryPersonal).MatchAll(projects), (std::vector<char>{1, 0, 0, 0, 0}));
  EXPECT_EQ(ProjectSearch(L"#beta #beta alpha alpha", -1).MatchAll(projects), (std::vector<char>{1, 0, 0, 1, 0}))
      << "a repeated word is satisfied by one find";
  EXPECT_EQ(ProjectSearch(L"  ", kCategoryInternal).MatchAll(projects), (std::vector<char>{0, 0, 0, 1, 0}));
  EXPECT_TRUE(ProjectSearch(L"alpha", -1).MatchAll({}).empty());
}

TEST(ProjectSearch, CategoryFilter) {
  Project p;
  p.title = L"x";
  p.category = kCategoryInternal;
  EXPECT_TRUE(p.MatchesSearch(L"", -1));
  EXPECT_TRUE(p.MatchesSearch(L"", kCategoryInternal));
  EXPECT_FALSE(p.MatchesSearch(L"", kCategoryPersonal));
  p.category = 7;  // unknown categories count as personal
  EXPECT_TRUE(p.MatchesSearch(L"", kCategoryPersonal));
}

// ---------------------------------------------------------------------------------

Project Dated(int32_t id, Date start, Date completedDate = {}) {
  Project p;
  p.id = id;
  p.startDate = start;
  p.completedDate = completedDate;
  return p;
}

std::vector<int32_t> Ids(const std::vector<const Project*>& list) {
  std::vector<int32_t> ids;
  for (const auto* p : list) ids.push_back(p->id);
  return ids;
}

TEST(ProjectOrders, ActiveEarlierStartThenLowerId) {
  Project noDates = Dated(1, {});
  Project fromEntries = Dated(2, {});
  fromEntries.entries = {At({2024, 2, 1})};
  std::vector<Project> all = {Dated(9, {2024, 3, 1}), Dated(4, {2024, 3, 1}), fromEntries, Dated(3, {2024, 1, 1}), noDates};
  std::vector<const Project*> list;
  for (const auto& p : all) list.push_back(&p);
  projectorder::SortActive(list);
  EXPECT_EQ(Ids(list), (std::vector<int32_t>{1, 3, 2, 4, 9}));
}

TEST(ProjectOrders, CompletedLaterFirstThenHigherId) {
  Project byEnd = Dated(5, {2024, 1, 1});
  byEnd.endDate = {2024, 4, 1};
  std::vector<Project> all = {Dated(2, {}, {2024, 3, 1}), Dated(7, {}, {2024, 3, 1}), byEnd, Dated(1, {}, {2024, 2, 1})};
  std::vector<const Project*> list;
  for (const auto& p : all) list.push_back(&p);
  projectorder::SortCompleted(list);
  EXPECT_EQ(Ids(list), (std::vector<int32_t>{5, 7, 2, 1}));
}

// ---------------------------------------------------------------------------------

constexpr const wchar_t* kChatBlock =
    L"[VS Code Chat · 09:15:00 · gpt-5]\r\nFix the build\r\n기록: C:\\work\\Quenlor\\2024-07-04\\091500_0123456789abcdef\r\n";

TEST(PromptHeadings, SingleChatPrompt) {
  Entry e = At({2024, 7, 4}, kChatBlock);
  auto scan = e.ScanPromptHeadings();
  EXPECT_EQ(scan.count, 1);
  EXPECT_EQ(scan.latestTime, L"09:15:00");
  EXPECT_EQ(scan.latestLabel, L"Chat · gpt-5");
  EXPECT_FALSE(scan.mixedKinds);
  EXPECT_EQ(e.LatestRequestText(), L"Fix the build");
  LanguageScope korean(i18n::kKorean);
  EXPECT_EQ(e.DisplayText(), L"Chat 1건 · 최근 09:15:00 · gpt-5\r\nFix the build");
}

TEST(PromptHeadings, MixedKindsShowAi) {
  Entry e = At({2024, 7, 4}, std::wstring(kChatBlock) +
                                 L"[VS Code Codex · 10:00:00 · gpt-5-codex]\r\nAdd tests\r\n기록: C:\\x\r\n");
  auto scan = e.ScanPromptHeadings();
  EXPECT_EQ(scan.count, 2);
  EXPECT_TRUE(scan.mixedKinds);
  EXPECT_EQ(e.LatestRequestText(), L"Add tests");
  {
    LanguageScope korean(i18n::kKorean);
    EXPECT_EQ(e.DisplayText(), L"AI 2건 · 최근 10:00:00 · Codex · gpt-5-codex\r\nAdd tests");
  }
  LanguageScope english(i18n::kEnglish);
  EXPECT_EQ(e.DisplayText(), L"AI: 2 · Latest 10:00:00 · Codex · gpt-5-codex\r\nAdd tests");
}

TEST(PromptHeadings, LinesThatAreNotHeadings) {
  EXPECT_EQ(At({2024, 1, 1}, L"[VS Code Chat · 24:00:00 · x]\n").ScanPromptHeadings().count, 0);
  EXPECT_EQ(At({2024, 1, 1}, L"[VS Code Chat · 23:60:00 · x]\n").ScanPromptHeadings().count, 0);
  EXPECT_EQ(At({2024, 1, 1}, L"[VS Code Chat · 09:15:00 · x]").ScanPromptHeadings().count, 0);  // last line
  EXPECT_EQ(At({2024, 1, 1}, L" [VS Code Chat · 09:15:00 · x]\n").ScanPromptHeadings().count, 0);
  EXPECT_EQ(At({2024, 1, 1}, L"[VS Code Chat · 09:15:00 · ]\n").ScanPromptHeadings().count, 0);
  EXPECT_EQ(At({2024, 1, 1}, L"[VS Code Chat · 09:15:00x]\n").ScanPromptHeadings().count, 0);
  EXPECT_EQ(At({2024, 1, 1}, L"[VS Code Chat · 9:15:00 · x]\n").ScanPromptHeadings().count, 0);
  EXPECT_EQ(At({2024, 1, 1}, L"[VS Code Chat · 09:15:00 · x] \n").ScanPromptHeadings().count, 0);
  EXPECT_EQ(At({2024, 1, 1}, L"[Codex 답변 · 09:15:00 · x]\n").ScanPromptHeadings().count, 0);
  // Without a model part the "]" follows the time directly.
  auto bare = At({2024, 1, 1}, L"text\n[VS Code Claude Code · 23:59:59]\nhello").ScanPromptHeadings();
  EXPECT_EQ(bare.count, 1);
  EXPECT_EQ(bare.latestLabel, L"Claude Code");
  EXPECT_EQ(bare.latestModel, L"");
}

TEST(PromptHeadings, EqualTimesPreferTheLaterHeading) {
  Entry e = At({2024, 1, 1}, L"[VS Code Codex · 08:00:00 · b]\nsecond\n"
                             L"[VS Code Chat · 08:00:00 · a]\nfirst\n");
  // Codex is scanned first, but the Chat heading stands later in the text.
  EXPECT_EQ(e.ScanPromptHeadings().latestLabel, L"Chat · a");
  EXPECT_EQ(e.LatestRequestText(), L"first");
}

TEST(PromptHeadings, RequestTextRules) {
  // A reply section ends the request.
  Entry reply = At({2024, 1, 1}, L"[VS Code Codex · 08:00:00 · m]\r\n  ask  \r\n[Codex 답변 · 08:00:05 · 요청 08:00:00 · m]\r\nok\r\n");
  EXPECT_EQ(reply.LatestRequestText(), L"ask");
  // IDE context wrappers are reduced to the request.
  Entry wrapped = At({2024, 1, 1}, L"[VS Code Codex · 08:00:00 · m]\n# Context from my IDE setup:\n## Open tabs: a.cpp\n"
                                   L"## My request for Codex:\n  do the thing \n");
  EXPECT_EQ(wrapped.LatestRequestText(), L"do the thing");
  Entry noBreak = At({2024, 1, 1}, L"[VS Code Codex · 08:00:00 · m]\n# Context from my IDE\n## My request:");
  EXPECT_EQ(noBreak.LatestRequestText(), L"# Context from my IDE\n## My request:");
  // An empty prompt with only an image.
  Entry image = At({2024, 1, 1}, L"[VS Code Chat · 08:00:00 · m]\r\n\r\n첨부: C:\\a.png\r\n기록: C:\\r\r\n");
  LanguageScope korean(i18n::kKorean);
  EXPECT_EQ(image.LatestRequestText(), L"이미지·첨부파일 전송");
  EXPECT_EQ(At({2024, 1, 1}, L"plain").LatestRequestText(), L"");
}

TEST(EntryDisplay, PlainTextAndAttachments) {
  LanguageScope korean(i18n::kKorean);
  Entry e = At({2024, 1, 1}, L"  \r\n meeting notes \n");
  EXPECT_EQ(e.DisplayText(), L"meeting notes");
  Entry blank = At({2024, 1, 1}, L" \n ");
  EXPECT_EQ(blank.DisplayText(), L"");
  blank.attachments = {L"C:\\docs\\plan.pdf", L"https://example.com/x"};
  EXPECT_EQ(blank.DisplayText(), L"첨부 2건 · plan.pdf");
  blank.attachments = {L"https://example.com/x"};
  EXPECT_EQ(blank.DisplayText(), L"첨부 1건 · https://example.com/x");
  blank.attachments = {L"C:\\docs\\"};
  EXPECT_EQ(blank.DisplayText(), L"첨부 1건 · C:\\docs\\");
}

TEST(ProjectRequest, LatestAcrossEntries) {
  Project p;
  p.entries = {At({2024, 1, 2}, L"[VS Code Chat · 23:00:00 · m]\nolder day\n"),
               At({2024, 1, 3}, L"[VS Code Chat · 01:00:00 · m]\nnewer day\n"),
               At({2024, 1, 3}, L"[VS Code Chat · 01:00:00 · m]\nsame time later entry\n"),
               At({2024, 1, 3}, L"no headings here")};
  EXPECT_EQ(p.LatestRequestText(), L"same time later entry");
  p.entries.pop_back();
  p.entries.pop_back();
  p.entries.push_back(At({2024, 1, 3}, L"[VS Code Chat · 00:59:59 · m]\nearlier time\n"));
  EXPECT_EQ(p.LatestRequestText(), L"newer day");
  EXPECT_EQ(Project{}.LatestRequestText(), L"");
}

TEST(AiSources, NamesBothWays) {
  EXPECT_EQ(AiSourceName(kAiSourceCodex), L"VS Code Codex");
  EXPECT_EQ(AiSourceName(0), L"");
  EXPECT_EQ(AiSourceName(4), L"");
  EXPECT_EQ(AiSourceFromName(L"VS Code Claude Code"), kAiSourceClaude);
  EXPECT_EQ(AiSourceFromName(L"vs code chat"), kAiSourceNone);
  EXPECT_EQ(AiSourceFromName(L"VS Code Chat "), kAiSourceNone);
  EXPECT_EQ(CategoryName(2), L"external");
  EXPECT_EQ(CategoryName(-4), L"personal");
  for (int32_t category : {kCategoryPersonal, kCategoryInternal, kCategoryExternal}) {
    EXPECT_EQ(CategoryFromName(CategoryName(category)), category) << "one table both ways";
  }
  EXPECT_EQ(CategoryFromName(L"External"), kCategoryPersonal) << "names are exact";
  EXPECT_EQ(CategoryFromName(L""), kCategoryPersonal);
}

}  // namespace
