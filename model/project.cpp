#include "model/project.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cwctype>

#include "i18n/translate.h"
#include "model/references.h"

namespace {

constexpr std::wstring_view kSourceNames[] = {L"", L"VS Code Chat", L"VS Code Codex", L"VS Code Claude Code"};
constexpr std::wstring_view kSourceShortNames[] = {L"", L"Chat", L"Codex", L"Claude Code"};
constexpr std::wstring_view kCategoryNames[] = {L"personal", L"internal", L"external"};

// Lines that end the request text of an AI block, checked in this order.
constexpr std::wstring_view kSectionHeads[] = {
    L"\n기록: ",           L"\n첨부: ",           L"\n[Codex 진행 · ",   L"\n[Codex 답변 · ",
    L"\n[Chat 진행 · ",    L"\n[Chat 답변 · ",    L"\n[Claude Code 진행 · ", L"\n[Claude Code 답변 · ",
    L"\n[VS Code Codex · ", L"\n[VS Code Chat · ", L"\n[VS Code Claude Code · "};

constexpr std::wstring_view kSeparator = L" · ";

std::wstring_view TrimBreaks(std::wstring_view text) {
  constexpr std::wstring_view kBlank = L" \t\r\n";
  size_t first = text.find_first_not_of(kBlank);
  if (first == std::wstring_view::npos) return {};
  size_t last = text.find_last_not_of(kBlank);
  return text.substr(first, last - first + 1);
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// "HH:MM:SS" with hours up to 23 and minutes and seconds up to 59.
bool IsClockTime(std::wstring_view t) {
  if (t.size() != 8) return false;
  for (size_t i : {0u, 1u, 3u, 4u, 6u, 7u}) {
    if (!IsDigit(t[i])) return false;
  }
  if (t[2] != L':' || t[5] != L':') return false;
  return t.substr(0, 2) <= L"23" && t.substr(3, 2) <= L"59" && t.substr(6, 2) <= L"59";
}

bool IsTagBreak(wchar_t c) { return c == L'#' || c == L',' || c == L';' || c == 0x3000 || std::iswspace(c); }

bool SameKey(const Date& a, const Date& b) { return a == b; }

}  // namespace

std::wstring_view AiSourceName(int32_t source) {
  return source >= 1 && source <= 3 ? kSourceNames[source] : std::wstring_view();
}

std::wstring_view AiSourceShortName(int32_t source) {
  return source >= 1 && source <= 3 ? kSourceShortNames[source] : std::wstring_view();
}

int32_t AiSourceFromName(std::wstring_view name) {
  for (int32_t source = 1; source <= 3; ++source) {
    if (name == kSourceNames[source]) return source;
  }
  return kAiSourceNone;
}

std::wstring_view CategoryName(int32_t category) { return kCategoryNames[NormalizedCategory(category)]; }

int32_t CategoryFromName(std::wstring_view name) {
  for (int32_t category = kCategoryPersonal; category <= kCategoryExternal; ++category) {
    if (name == kCategoryNames[category]) return category;
  }
  return kCategoryPersonal;
}

int32_t NormalizedCategory(int32_t category) {
  return category >= kCategoryPersonal && category <= kCategoryExternal ? category : kCategoryPersonal;
}

namespace {

// Hangul syllables and CJK ideographs have no case: most Korean text never needs the
// system call.
bool Caseless(wchar_t c) { return (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0x4E00 && c <= 0x9FFF); }

// The system's lower-casing into a reused buffer. ASCII is lowered here (the search
// lower-cases every tag of the document on each keystroke, and the system call per
// string dominated that); only text with other cased letters asks the system.
void LowerInto(std::wstring& out, std::wstring_view text) {
  out.assign(text);
  bool ask = false;
  for (wchar_t& c : out) {
    if (c < 0x80) {
      if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
    } else if (!Caseless(c)) {
      ask = true;
    }
  }
  if (ask) CharLowerBuffW(out.data(), static_cast<DWORD>(out.size()));
}

// How a tag is searched. Stored tags are normalised already and mostly lower-case, so
// most are searched as they are; one that is not normalised (built in code rather than
// read or typed) is searched the way All tags would show it.
enum class TagForm { kAsIs, kLower, kNormalize };

TagForm ClassifyTag(std::wstring_view tag) {
  if (tag.size() > tags::kMaxTagLength) return TagForm::kNormalize;
  TagForm form = TagForm::kAsIs;
  for (wchar_t c : tag) {
    if (c < 0x80) {
      if (c <= 0x20 || c == L'#' || c == L',' || c == L';') return TagForm::kNormalize;
      if (c >= L'A' && c <= L'Z') form = TagForm::kLower;
    } else if (!Caseless(c)) {  // Hangul and ideographs are neither blank nor cased
      if (IsTagBreak(c)) return TagForm::kNormalize;
      form = TagForm::kLower;
    }
  }
  return form;
}

}  // namespace

std::wstring LowerCase(std::wstring_view text) {
  std::wstring lower;
  LowerInto(lower, text);
  return lower;
}

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
  // The system's lower-casing maps unit to unit, so lengths must match; ASCII (nearly
  // every tag) is compared without asking the system.
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    wchar_t x = a[i], y = b[i];
    if (x == y) continue;
    if (x < 0x80 && y < 0x80) {
      if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x + 32);
      if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y + 32);
      if (x != y) return false;
      continue;
    }
    CharLowerBuffW(&x, 1);
    CharLowerBuffW(&y, 1);
    if (x != y) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------
// Tags

namespace tags {

std::wstring Normalize(std::wstring_view text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c < 0x20 || IsTagBreak(c)) continue;
    out.push_back(c);
  }
  if (out.size() > kMaxTagLength) {
    // Never keep half of a surrogate pair: it would turn into U+FFFD in the file.
    size_t cut = kMaxTagLength;
    if (out[cut - 1] >= 0xD800 && out[cut - 1] <= 0xDBFF) --cut;
    out.resize(cut);
  }
  return out;
}

namespace {

// Whether Normalize would give the text back unchanged. Tags read from a file were
// normalised when they were saved, so this is the usual case, and it needs no
// per-character call into the C library.
bool IsNormal(std::wstring_view text) {
  if (text.size() > kMaxTagLength) return false;
  for (wchar_t c : text) {
    if (c < 0x80) {
      if (c <= L' ' || c == L'#' || c == L',' || c == L';') return false;
    } else if (!Caseless(c) && IsTagBreak(c)) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool Add(std::vector<std::wstring>& list, std::wstring_view text) {
  std::wstring tag = IsNormal(text) ? std::wstring(text) : Normalize(text);
  if (tag.empty()) return false;
  for (const auto& existing : list) {
    if (SameIgnoringCase(existing, tag)) return false;
  }
  list.push_back(std::move(tag));
  return true;
}

void SplitInto(std::wstring_view text, std::vector<std::wstring>& list) {
  std::wstring current;
  for (wchar_t c : text) {
    if (IsTagBreak(c)) {
      Add(list, current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  Add(list, current);
}

std::vector<std::wstring> Split(std::wstring_view text) {
  std::vector<std::wstring> list;
  SplitInto(text, list);
  return list;
}

}  // namespace tags

// ---------------------------------------------------------------------------------
// Entries

PromptHeadingScan Entry::ScanPromptHeadings() const {
  PromptHeadingScan scan;
  const std::wstring_view all = text;
  int kindsSeen = 0;
  for (int32_t source = 1; source <= 3; ++source) {
    std::wstring prefix = L"[";
    prefix += kSourceNames[source];
    prefix += kSeparator;
    for (size_t at = all.find(prefix); at != std::wstring_view::npos; at = all.find(prefix, at + 1)) {
      if (at != 0 && all[at - 1] != L'\n') continue;
      size_t body = at + prefix.size();
      if (all.size() - body < 10) continue;
      size_t lineFeed = all.find(L'\n', body);
      if (lineFeed == std::wstring_view::npos) continue;
      size_t lineEnd = lineFeed;
      if (lineEnd > body && all[lineEnd - 1] == L'\r') --lineEnd;
      std::wstring_view rest = all.substr(body, lineEnd - body);  // time, model part and "]"
      if (rest.size() < 9 || rest.back() != L']') continue;
      std::wstring_view time = rest.substr(0, 8);
      if (!IsClockTime(time)) continue;
      std::wstring_view model;
      if (rest.size() != 9) {
        std::wstring_view after = rest.substr(8, rest.size() - 9);  // without the "]"
        if (after.size() < kSeparator.size() + 1 || after.substr(0, kSeparator.size()) != kSeparator) continue;
        model = after.substr(kSeparator.size());
      }
      ++scan.count;
      kindsSeen |= 1 << source;
      bool later = scan.latestPosition == std::wstring::npos || time > std::wstring_view(scan.latestTime) ||
                   (time == std::wstring_view(scan.latestTime) && at > scan.latestPosition);
      if (later) {
        scan.latestPosition = at;
        scan.latestLineEnd = lineFeed;
        scan.latestTime = time;
        scan.latestModel = model;
        scan.latestLabel = kSourceShortNames[source];
        if (!model.empty()) {
          scan.latestLabel += kSeparator;
          scan.latestLabel += model;
        }
      }
    }
  }
  scan.mixedKinds = kindsSeen != 0 && (kindsSeen & (kindsSeen - 1)) != 0;
  return scan;
}

namespace {

std::wstring RequestTextAfter(std::wstring_view text, size_t start) {
  size_t end = text.size();
  for (std::wstring_view head : kSectionHeads) {
    size_t found = text.find(head, start);
    if (found != std::wstring_view::npos && found < end) end = found;
  }
  std::wstring_view request = TrimBreaks(text.substr(start, end - start));
  constexpr std::wstring_view kIdeContext = L"# Context from my IDE";
  if (request.size() >= 21 && request.substr(0, kIdeContext.size()) == kIdeContext) {
    for (std::wstring_view header : {std::wstring_view(L"\n## My request:"), std::wstring_view(L"\n## My request for Codex:")}) {
      size_t at = request.find(header);
      if (at == std::wstring_view::npos) continue;
      size_t lineFeed = request.find(L'\n', at + 1);
      if (lineFeed != std::wstring_view::npos) request = TrimBreaks(request.substr(lineFeed + 1));
      break;
    }
  }
  if (request.empty()) return i18n::Translate(L"이미지·첨부파일 전송");
  return std::wstring(request);
}

}  // namespace

std::wstring Entry::LatestRequestText() const {
  PromptHeadingScan scan = ScanPromptHeadings();
  if (scan.count == 0) return {};
  return RequestTextAfter(text, scan.latestLineEnd + 1);
}

std::wstring Entry::DisplayText() const {
  PromptHeadingScan scan = ScanPromptHeadings();
  if (scan.count == 0) {
    std::wstring_view trimmed = TrimBreaks(text);
    if (trimmed.empty() && !attachments.empty()) {
      return i18n::FormatText(L"첨부 {0}건 · {1}",
                              {std::to_wstring(attachments.size()), references::DisplayName(attachments.front())});
    }
    return std::wstring(trimmed);
  }
  std::wstring label;
  std::wstring detail;
  if (scan.mixedKinds) {
    label = L"AI";
    detail = scan.latestLabel;
  } else {
    label = scan.latestLabel.substr(0, scan.latestLabel.find(kSeparator));
    detail = scan.latestModel;
  }
  std::wstring line = i18n::FormatText(L"{0} {1}건 · 최근 {2}", {label, std::to_wstring(scan.count), scan.latestTime});
  if (!detail.empty()) {
    line += kSeparator;
    line += detail;
  }
  line += L"\r\n";
  line += RequestTextAfter(text, scan.latestLineEnd + 1);
  return line;
}

// ---------------------------------------------------------------------------------
// Projects

void Project::SortEntries() {
  // Entries come sorted from a saved file; a stable sort of sorted entries changes
  // nothing but still moves every one of them.
  auto earlier = [](const Entry& a, const Entry& b) { return dates::Less(a.date, b.date); };
  if (std::is_sorted(entries.begin(), entries.end(), earlier)) return;
  std::stable_sort(entries.begin(), entries.end(), earlier);
}

Date Project::EffectiveStart() const {
  Date best = dates::IsValid(startDate) ? startDate : Date{};
  for (const auto& entry : entries) {
    if (!dates::IsValid(entry.date)) continue;
    if (!dates::IsValid(best) || dates::Less(entry.date, best)) best = entry.date;
  }
  return best;
}

Date Project::EffectiveEnd() const {
  Date start = EffectiveStart();
  if (dates::IsValid(endDate) && (!dates::IsValid(start) || dates::GreaterOrEqual(endDate, start))) return endDate;
  Date best = start;
  for (const auto& entry : entries) {
    if (!dates::IsValid(entry.date)) continue;
    if (!dates::IsValid(best) || dates::Greater(entry.date, best)) best = entry.date;
  }
  return best;
}

bool Project::SpansDate(const Date& date) const {
  Date start = EffectiveStart();
  Date end = EffectiveEnd();
  if (!dates::IsValid(start) || !dates::IsValid(end)) return false;
  return dates::GreaterOrEqual(date, start) && dates::GreaterOrEqual(end, date);
}

std::vector<std::wstring> Project::AllTags() const {
  std::vector<std::wstring> all;
  for (const auto& entry : entries) {
    for (const auto& tag : entry.tags) tags::Add(all, tag);
  }
  return all;
}

bool Project::MatchesSearch(std::wstring_view query, int categoryFilter) const {
  return ProjectSearch(query, categoryFilter).Matches(*this);
}

ProjectSearch::ProjectSearch(std::wstring_view query, int categoryFilter) : categoryFilter_(categoryFilter) {
  std::wstring lowerQuery = LowerCase(query);
  size_t pos = 0;
  while (pos < lowerQuery.size()) {
    while (pos < lowerQuery.size() && std::iswspace(lowerQuery[pos])) ++pos;
    size_t end = pos;
    while (end < lowerQuery.size() && !std::iswspace(lowerQuery[end])) ++end;
    std::wstring_view word(lowerQuery.data() + pos, end - pos);
    pos = end;
    if (word.empty()) continue;
    bool tagWord = word.front() == L'#';
    if (tagWord) word.remove_prefix(1);
    if (word.empty()) continue;
    words_.push_back({std::wstring(word), tagWord});
  }
}

bool ProjectSearch::Matches(const Project& project) const {
  if (categoryFilter_ >= 0 && categoryFilter_ != NormalizedCategory(project.category)) return false;
  size_t open = words_.size();
  if (open == 0) return true;
  std::vector<char> found(words_.size(), 0);
  std::wstring lowered;
  LowerInto(lowered, project.title);
  for (size_t i = 0; i < words_.size(); ++i) {
    if (!words_[i].tagOnly && lowered.find(words_[i].text) != std::wstring::npos) {
      found[i] = 1;
      --open;
    }
  }

  // Every word left must be found in some tag. Walking the entries' tags directly finds
  // the same as walking All tags: its case-insensitive duplicates lower-case alike.
  for (const auto& entry : project.entries) {
    for (const auto& tag : entry.tags) {
      if (open == 0) return true;
      std::wstring_view text = tag;
      switch (ClassifyTag(tag)) {
        case TagForm::kAsIs:
          break;
        case TagForm::kLower:
          LowerInto(lowered, tag);
          text = lowered;
          break;
        case TagForm::kNormalize:
          LowerInto(lowered, tags::Normalize(tag));
          text = lowered;
          break;
      }
      if (text.empty()) continue;
      for (size_t i = 0; i < words_.size(); ++i) {
        if (!found[i] && text.find(words_[i].text) != std::wstring_view::npos) {
          found[i] = 1;
          --open;
        }
      }
    }
  }
  return open == 0;
}

std::vector<char> ProjectSearch::MatchAll(const std::vector<Project>& projects) const {
  std::vector<char> matches(projects.size(), 0);
  for (size_t i = 0; i < projects.size(); ++i) matches[i] = Matches(projects[i]) ? 1 : 0;
  return matches;
}

std::wstring Project::LatestRequestText() const {
  const Entry* chosen = nullptr;
  std::wstring chosenTime;
  for (const auto& entry : entries) {
    PromptHeadingScan scan = entry.ScanPromptHeadings();
    if (scan.count == 0) continue;
    bool replace = chosen == nullptr || dates::Greater(entry.date, chosen->date) ||
                   (SameKey(entry.date, chosen->date) && scan.latestTime >= chosenTime);
    if (replace) {
      chosen = &entry;
      chosenTime = scan.latestTime;
    }
  }
  return chosen == nullptr ? std::wstring() : chosen->LatestRequestText();
}

// ---------------------------------------------------------------------------------
// Document

int32_t ProjectDocument::AddProject(Project project) {
  int32_t id = nextId;
  if (id < 1 || Find(id) != nullptr) {
    // A damaged counter must never hand out an id that is taken or below 1.
    int32_t highest = 0;
    for (const auto& p : projects) highest = std::max(highest, p.id);
    id = highest < INT32_MAX ? highest + 1 : 1;
    while (Find(id) != nullptr) ++id;
  }
  project.id = id;
  nextId = id < INT32_MAX ? id + 1 : id;
  if (project.color < 0 || project.color >= kPaletteSize) project.color = LeastUsedColor();
  project.category = NormalizedCategory(project.category);
  std::wstring now = dates::LocalTimeStamp();
  if (project.created.empty()) project.created = now;
  project.modified = now;
  project.SortEntries();
  projects.push_back(std::move(project));
  return id;
}

void ProjectDocument::UpdateProject(Project project) {
  Project* held = Find(project.id);
  if (held == nullptr) return;
  project.category = NormalizedCategory(project.category);
  project.modified = dates::LocalTimeStamp();
  project.SortEntries();
  *held = std::move(project);
}

bool ProjectDocument::RemoveProject(int32_t id) {
  auto it = std::find_if(projects.begin(), projects.end(), [id](const Project& p) { return p.id == id; });
  if (it == projects.end()) return false;
  projects.erase(it);
  return true;
}

int ProjectDocument::LeastUsedColor() const {
  std::array<int, kPaletteSize> uses{};
  for (const auto& p : projects) {
    if (p.color >= 0 && p.color < kPaletteSize) ++uses[p.color];
  }
  return static_cast<int>(std::min_element(uses.begin(), uses.end()) - uses.begin());
}

void ProjectDocument::Clear() { projects.clear(); }

Project* ProjectDocument::Find(int32_t id) {
  for (auto& p : projects) {
    if (p.id == id) return &p;
  }
  return nullptr;
}

const Project* ProjectDocument::Find(int32_t id) const { return const_cast<ProjectDocument*>(this)->Find(id); }

// ---------------------------------------------------------------------------------
// List orders

namespace projectorder {
namespace {

Date ActiveKey(const Project& p) { return dates::IsValid(p.startDate) ? p.startDate : p.EffectiveStart(); }
Date CompletedKey(const Project& p) { return dates::IsValid(p.completedDate) ? p.completedDate : p.EffectiveEnd(); }

}  // namespace

void SortActive(std::vector<const Project*>& projects) {
  std::stable_sort(projects.begin(), projects.end(), [](const Project* a, const Project* b) {
    Date ka = ActiveKey(*a), kb = ActiveKey(*b);
    if (!SameKey(ka, kb)) return dates::Less(ka, kb);
    return a->id < b->id;
  });
}

void SortCompleted(std::vector<const Project*>& projects) {
  std::stable_sort(projects.begin(), projects.end(), [](const Project* a, const Project* b) {
    Date ka = CompletedKey(*a), kb = CompletedKey(*b);
    if (!SameKey(ka, kb)) return dates::Greater(ka, kb);
    return a->id > b->id;
  });
}

}  // namespace projectorder
