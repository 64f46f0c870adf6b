// Reading the project file without a tree: the members the program keeps are taken
// straight from the text into the projects, everything else is checked and skipped.
// The rules are those of ProjectsFromJson (first member of a name wins, a member of
// another type gives the default); anything unusual falls back to that path.
#include <bitset>
#include <iterator>

#include "model/date.h"
#include "model/json.h"
#include "model/project_file.h"
#include "model/references.h"

namespace projectfile {
namespace {


// Reads a value of the expected kind, or skips whatever stands there. Returns false
// only when the text is broken.
template <typename PullReader>
bool TakeStringOr(PullReader& r, bool take, std::wstring& out) {
  if (take && r.Peek() == JsonKind::String) return r.ReadString(out);
  return r.Skip();
}

// Strings that are only looked at (dates, names to match) are read as views, so they
// cost no allocation of their own.
template <typename PullReader>
bool TakeView(PullReader& r, bool take, std::wstring_view& out, std::wstring& scratch) {
  if (take && r.Peek() == JsonKind::String) return r.ReadStringView(out, scratch);
  return r.Skip();
}

template <typename PullReader>
bool TakeDate(PullReader& r, bool take, Date& out, std::wstring& scratch) {
  if (take && r.Peek() == JsonKind::String) {
    std::wstring_view text;
    if (!r.ReadStringView(text, scratch)) return false;
    out = dates::ParseStorageText(text);
    return true;
  }
  return r.Skip();
}

template <typename PullReader>
bool TakeInt(PullReader& r, bool take, int32_t& out) {
  if (take && r.Peek() == JsonKind::Number) {
    double number = 0;
    if (!r.ReadNumber(number)) return false;
    out = TruncateToInt32(number);
    return true;
  }
  return r.Skip();
}

template <typename PullReader, typename AddFn>
bool TakeStrings(PullReader& r, bool take, std::wstring& scratch, AddFn add) {
  if (!take || r.Peek() != JsonKind::Array) return r.Skip();
  if (!r.BeginArray()) return false;
  std::wstring_view item;
  while (r.NextItem()) {
    if (r.Peek() == JsonKind::String) {
      if (!r.ReadStringView(item, scratch)) return false;
      add(item);
    } else if (!r.Skip()) {
      return false;
    }
  }
  return !r.failed();
}

// Sets the bit of a member name and tells whether this is its first occurrence.
template <size_t N>
bool First(std::bitset<N>& seen, size_t index) {
  if (seen.test(index)) return false;
  seen.set(index);
  return true;
}

template <typename PullReader>
bool ReadEntryObject(PullReader& r, Entry& entry, bool& keep, std::wstring& scratch,
                     std::vector<std::wstring>& tagList) {
  if (!r.BeginObject()) return false;
  std::bitset<4> seen;
  std::wstring_view key;
  bool haveDate = false;
  while (r.NextMember(key, scratch)) {
    bool ok;
    if (key == L"date") {
      bool first = First(seen, 0);
      if (first && r.Peek() == JsonKind::String) haveDate = true;
      ok = TakeDate(r, first, entry.date, scratch);
    } else if (key == L"text") {
      ok = TakeStringOr(r, First(seen, 1), entry.text);
    } else if (key == L"tags") {
      // Gathered in a reused list and then moved into one of exactly the right size.
      const bool first = First(seen, 2);
      tagList.clear();
      ok = TakeStrings(r, first, scratch, [&](std::wstring_view tag) { tags::Add(tagList, tag); });
      if (ok && first) entry.tags.assign(std::make_move_iterator(tagList.begin()), std::make_move_iterator(tagList.end()));
    } else if (key == L"attachments") {
      ok = TakeStrings(r, First(seen, 3), scratch,
                       [&](std::wstring_view ref) { references::AddUniqueReference(entry.attachments, ref); });
    } else {
      ok = r.Skip();
    }
    if (!ok) return false;
  }
  keep = haveDate && dates::IsValid(entry.date);
  return !r.failed();
}

template <typename PullReader>
bool ReadSession(PullReader& r, bool take, LastAiSession& session, std::wstring& scratch) {
  if (!take || r.Peek() != JsonKind::Object) return r.Skip();
  if (!r.BeginObject()) return false;
  std::bitset<5> seen;
  std::wstring_view key;
  std::wstring source;
  while (r.NextMember(key, scratch)) {
    bool ok;
    if (key == L"source") {
      ok = TakeStringOr(r, First(seen, 0), source);
    } else if (key == L"session") {
      ok = TakeStringOr(r, First(seen, 1), session.session);
    } else if (key == L"model") {
      ok = TakeStringOr(r, First(seen, 2), session.model);
    } else if (key == L"timestamp") {
      ok = TakeStringOr(r, First(seen, 3), session.timestamp);
    } else if (key == L"workspace") {
      ok = TakeStringOr(r, First(seen, 4), session.workspace);
    } else {
      ok = r.Skip();
    }
    if (!ok) return false;
  }
  session.source = AiSourceFromName(source);
  return !r.failed();
}

enum ProjectMember : size_t {
  kId, kTitle, kLocation, kStatus, kStart, kEnd, kCompletedDate, kColor, kCategory, kCreated, kModified,
  kEntries, kImports, kSession, kMemberCount
};

// `entryList` and `tagList` are reused lists that spare each project and entry the
// regrowth of its own lists.
template <typename PullReader>
bool ReadProjectObject(PullReader& r, Project& p, std::wstring& scratch, std::vector<Entry>& entryList,
                       std::vector<std::wstring>& tagList) {
  if (!r.BeginObject()) return false;
  std::bitset<kMemberCount> seen;
  std::wstring_view key, text;
  while (r.NextMember(key, scratch)) {
    bool ok;
    if (key == L"id") {
      ok = TakeInt(r, First(seen, kId), p.id);
    } else if (key == L"title") {
      ok = TakeStringOr(r, First(seen, kTitle), p.title);
    } else if (key == L"location") {
      ok = TakeStringOr(r, First(seen, kLocation), p.location);
    } else if (key == L"status") {
      bool first = First(seen, kStatus);
      text = {};
      ok = TakeView(r, first, text, scratch);
      if (first) p.completed = text == L"completed";
    } else if (key == L"startDate") {
      ok = TakeDate(r, First(seen, kStart), p.startDate, scratch);
    } else if (key == L"endDate") {
      ok = TakeDate(r, First(seen, kEnd), p.endDate, scratch);
    } else if (key == L"completedDate") {
      ok = TakeDate(r, First(seen, kCompletedDate), p.completedDate, scratch);
    } else if (key == L"color") {
      ok = TakeInt(r, First(seen, kColor), p.color);
    } else if (key == L"category") {
      bool first = First(seen, kCategory);
      text = {};
      ok = TakeView(r, first, text, scratch);
      if (first) p.category = CategoryFromName(text);
    } else if (key == L"created") {
      ok = TakeStringOr(r, First(seen, kCreated), p.created);
    } else if (key == L"modified") {
      ok = TakeStringOr(r, First(seen, kModified), p.modified);
    } else if (key == L"entries") {
      if (First(seen, kEntries) && r.Peek() == JsonKind::Array) {
        ok = r.BeginArray();
        entryList.clear();
        while (ok && r.NextItem()) {
          if (r.Peek() != JsonKind::Object) {
            ok = r.Skip();
            continue;
          }
          Entry entry;
          bool keep = false;
          ok = ReadEntryObject(r, entry, keep, scratch, tagList);
          if (ok && keep) entryList.push_back(std::move(entry));
        }
        ok = ok && !r.failed();
        if (ok) p.entries.assign(std::make_move_iterator(entryList.begin()), std::make_move_iterator(entryList.end()));
      } else {
        ok = r.Skip();
      }
    } else if (key == L"codexImports") {
      ok = TakeStrings(r, First(seen, kImports), scratch,
                       [&](std::wstring_view k) { p.codexImports.emplace_back(k); });
    } else if (key == L"lastAiSession") {
      ok = ReadSession(r, First(seen, kSession), p.lastAiSession, scratch);
    } else {
      ok = r.Skip();
    }
    if (!ok) return false;
  }
  return !r.failed();
}

template <typename PullReader, typename Text>
bool ReadProjectsWith(Text text, std::vector<Project>& projects) {
  projects.clear();
  PullReader r(text);
  if (r.Peek() != JsonKind::Object || !r.BeginObject()) return false;
  bool haveProjects = false;
  std::wstring_view key;
  std::wstring scratch;
  std::vector<Entry> entryList;
  std::vector<std::wstring> tagList;
  while (r.NextMember(key, scratch)) {
    if (key != L"projects" || haveProjects) {
      if (!r.Skip()) return false;
      continue;
    }
    haveProjects = true;
    // Only the first member of that name counts; anything but an array is not ours.
    if (r.Peek() != JsonKind::Array || !r.BeginArray()) return false;
    while (r.NextItem()) {
      if (r.Peek() != JsonKind::Object) {
        if (!r.Skip()) return false;
        continue;
      }
      Project p;
      if (!ReadProjectObject(r, p, scratch, entryList, tagList)) return false;
      FinishReadProject(p);
      projects.push_back(std::move(p));
    }
    if (r.failed()) return false;
  }
  return haveProjects && r.Finish();
}

}  // namespace

bool ReadProjectsFast(std::wstring_view text, std::vector<Project>& projects) {
  return ReadProjectsWith<json::PullReader>(text, projects);
}

bool ReadProjectsFastUtf8(std::string_view bytes, std::vector<Project>& projects) {
  return ReadProjectsWith<json::Utf8PullReader>(bytes, projects);
}

}  // namespace projectfile
