// The in-memory project document: projects with their dated entries, the tag rules,
// the search predicate and the two orders of the project lists.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/date.h"

enum AiSessionSource : int32_t {
  kAiSourceNone = 0,
  kAiSourceChat = 1,
  kAiSourceCodex = 2,
  kAiSourceClaude = 3,
};

// "VS Code Chat", "VS Code Codex", "VS Code Claude Code"; empty for anything else.
std::wstring_view AiSourceName(int32_t source);
// "Chat", "Codex", "Claude Code"; empty for anything else.
std::wstring_view AiSourceShortName(int32_t source);
// Exact, case-sensitive match of a display name; 0 when none matches.
int32_t AiSourceFromName(std::wstring_view name);

struct LastAiSession {
  int32_t source = kAiSourceNone;
  std::wstring session;
  std::wstring model;
  std::wstring timestamp;
  std::wstring workspace;

  friend bool operator==(const LastAiSession&, const LastAiSession&) = default;
};

// What a scan of an entry's text finds among the headings the AI sync writes.
struct PromptHeadingScan {
  int count = 0;
  size_t latestPosition = std::wstring::npos;  // start of the latest heading's line
  size_t latestLineEnd = std::wstring::npos;   // its terminating line feed
  std::wstring latestTime;                     // "HH:MM:SS"
  std::wstring latestLabel;                    // short name, then " · " and the model if any
  std::wstring latestModel;                    // text after the time and " · ", may be empty
  bool mixedKinds = false;
};

struct Entry {
  Date date;
  std::wstring text;
  std::vector<std::wstring> tags;
  std::vector<std::wstring> attachments;

  PromptHeadingScan ScanPromptHeadings() const;
  std::wstring LatestRequestText() const;
  std::wstring DisplayText() const;

  friend bool operator==(const Entry&, const Entry&) = default;
};

enum ProjectCategory : int32_t { kCategoryPersonal = 0, kCategoryInternal = 1, kCategoryExternal = 2 };
constexpr int kPaletteSize = 12;

struct Project {
  int32_t id = 0;
  std::wstring title;
  std::wstring location;
  Date startDate;
  Date endDate;
  bool completed = false;
  Date completedDate;
  int32_t color = -1;
  int32_t category = kCategoryPersonal;
  std::wstring created;
  std::wstring modified;
  std::vector<Entry> entries;
  std::vector<std::wstring> codexImports;
  LastAiSession lastAiSession;

  void SortEntries();
  Date EffectiveStart() const;
  Date EffectiveEnd() const;
  bool SpansDate(const Date& date) const;
  std::vector<std::wstring> AllTags() const;
  // A negative category filter admits every category. To try one query against many
  // projects, ProjectSearch reads it once.
  bool MatchesSearch(std::wstring_view query, int categoryFilter) const;
  std::wstring LatestRequestText() const;

  friend bool operator==(const Project&, const Project&) = default;
};

// A search box's text and a category choice, read once and then tried against many
// projects: every word must be in the title or in a tag, a word starting with '#' only
// in a tag, ignoring case.
class ProjectSearch {
 public:
  // A negative category filter admits every category.
  ProjectSearch(std::wstring_view query, int categoryFilter);
  bool Matches(const Project& project) const;
  // One flag per project, in the same order.
  std::vector<char> MatchAll(const std::vector<Project>& projects) const;

 private:
  struct Word {
    std::wstring text;
    bool tagOnly = false;
  };
  std::vector<Word> words_;
  int categoryFilter_ = -1;
};

// "personal", "internal", "external" as the project file names them.
std::wstring_view CategoryName(int32_t category);
// The category a name gives; personal for any other text.
int32_t CategoryFromName(std::wstring_view name);
int32_t NormalizedCategory(int32_t category);

struct ProjectDocument {
  std::vector<Project> projects;
  int32_t nextId = 1;

  // Appends a copy with a fresh id, a colour when it has none, repaired category and
  // time stamps, and sorted entries; returns the id.
  int32_t AddProject(Project project);
  // Replaces the held project with the same id; unknown ids change nothing. Either the
  // whole replacement happens or, when memory runs out, none of it.
  void UpdateProject(Project project);
  bool RemoveProject(int32_t id);
  int LeastUsedColor() const;
  void Clear();

  Project* Find(int32_t id);
  const Project* Find(int32_t id) const;
};

namespace tags {

constexpr size_t kMaxTagLength = 40;

std::wstring Normalize(std::wstring_view text);
// Adds the normalised tag unless it is empty or already present ignoring case.
bool Add(std::vector<std::wstring>& list, std::wstring_view text);
// Splits text typed in a tag field ("#a, b;c d") and adds each tag.
void SplitInto(std::wstring_view text, std::vector<std::wstring>& list);
std::vector<std::wstring> Split(std::wstring_view text);

}  // namespace tags

namespace projectorder {

// Earlier start first; the lower id on equal starts.
void SortActive(std::vector<const Project*>& projects);
// Later completion first; the higher id on equal dates.
void SortCompleted(std::vector<const Project*>& projects);

}  // namespace projectorder

// The operating system's lower-casing, used wherever the lists compare text.
std::wstring LowerCase(std::wstring_view text);
// Equal after that lower-casing.
bool SameIgnoringCase(std::wstring_view a, std::wstring_view b);
