#include "model/project_file.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "i18n/translate.h"
#include "model/date.h"
#include "model/file_io.h"
#include "model/references.h"
#include "model/utf8.h"

namespace projectfile {
namespace {

Date DateMember(const JsonValue& object, std::wstring_view key) {
  const JsonValue* value = json::Lookup(object, key);
  if (value == nullptr || !value->IsString()) return {};
  return dates::ParseStorageText(value->text);
}

// The parsed tree is thrown away after reading, so its strings are moved, not copied.
std::wstring TakeString(JsonValue& object, std::wstring_view key) {
  JsonValue* value = json::Lookup(object, key);
  if (value == nullptr || !value->IsString()) return {};
  return std::move(value->text);
}

int32_t IntMember(const JsonValue& object, std::wstring_view key, int32_t fallback) {
  const JsonValue* value = json::Lookup(object, key);
  if (value == nullptr || !value->IsNumber()) return fallback;
  return TruncateToInt32(value->number);
}

template <typename AddFn>
void ReadStringArray(JsonValue& object, std::wstring_view key, AddFn add) {
  JsonValue* array = json::Lookup(object, key);
  if (array == nullptr || !array->IsArray()) return;
  for (auto& item : array->items) {
    if (item.IsString()) add(item.text);
  }
}

bool ReadEntry(JsonValue& object, Entry& entry) {
  entry.date = DateMember(object, L"date");
  if (!dates::IsValid(entry.date)) return false;
  entry.text = TakeString(object, L"text");
  ReadStringArray(object, L"tags", [&](const std::wstring& tag) { tags::Add(entry.tags, tag); });
  ReadStringArray(object, L"attachments",
                  [&](const std::wstring& ref) { references::AddUniqueReference(entry.attachments, ref); });
  return true;
}

Project ReadProject(JsonValue& object) {
  Project p;
  p.id = IntMember(object, L"id", 0);
  p.title = TakeString(object, L"title");
  p.location = TakeString(object, L"location");
  const JsonValue* status = json::Lookup(object, L"status");
  p.completed = status != nullptr && status->IsString() && status->text == L"completed";
  p.startDate = DateMember(object, L"startDate");
  p.endDate = DateMember(object, L"endDate");
  p.completedDate = DateMember(object, L"completedDate");
  p.color = IntMember(object, L"color", -1);
  p.category = kCategoryPersonal;
  if (const JsonValue* category = json::Lookup(object, L"category"); category != nullptr && category->IsString()) {
    p.category = CategoryFromName(category->text);
  }
  p.created = TakeString(object, L"created");
  p.modified = TakeString(object, L"modified");
  if (JsonValue* entries = json::Lookup(object, L"entries"); entries != nullptr && entries->IsArray()) {
    p.entries.reserve(entries->items.size());
    for (auto& item : entries->items) {
      if (!item.IsObject()) continue;
      Entry entry;
      if (ReadEntry(item, entry)) p.entries.push_back(std::move(entry));
    }
  }
  ReadStringArray(object, L"codexImports", [&](std::wstring& key) { p.codexImports.push_back(std::move(key)); });
  if (JsonValue* session = json::Lookup(object, L"lastAiSession"); session != nullptr && session->IsObject()) {
    p.lastAiSession.source = AiSourceFromName(json::StringOr(*session, L"source"));
    p.lastAiSession.session = TakeString(*session, L"session");
    p.lastAiSession.model = TakeString(*session, L"model");
    p.lastAiSession.timestamp = TakeString(*session, L"timestamp");
    p.lastAiSession.workspace = TakeString(*session, L"workspace");
  }

  FinishReadProject(p);
  return p;
}

JsonValue DateValue(const Date& date) { return JsonValue::MakeString(dates::ToStorageText(date)); }

JsonValue StringArray(const std::vector<std::wstring>& list) {
  JsonValue array = JsonValue::MakeArray();
  array.items.reserve(list.size());
  for (const auto& s : list) json::PushItem(array, JsonValue::MakeString(s));
  return array;
}

JsonValue EntryToJson(const Entry& entry) {
  JsonValue object = JsonValue::MakeObject();
  object.members.reserve(4);
  json::AppendMember(object, L"date", DateValue(entry.date));
  json::AppendMember(object, L"text", JsonValue::MakeString(entry.text));
  if (!entry.tags.empty()) json::AppendMember(object, L"tags", StringArray(entry.tags));
  if (!entry.attachments.empty()) json::AppendMember(object, L"attachments", StringArray(entry.attachments));
  return object;
}

JsonValue ProjectToJson(const Project& p) {
  JsonValue object = JsonValue::MakeObject();
  object.members.reserve(14);
  json::AppendMember(object, L"id", JsonValue::MakeNumber(p.id));
  json::AppendMember(object, L"title", JsonValue::MakeString(p.title));
  json::AppendMember(object, L"location", JsonValue::MakeString(p.location));
  json::AppendMember(object, L"status", JsonValue::MakeString(p.completed ? L"completed" : L"active"));
  json::AppendMember(object, L"startDate", DateValue(p.startDate));
  json::AppendMember(object, L"endDate", DateValue(p.endDate));
  json::AppendMember(object, L"completedDate", DateValue(p.completedDate));
  json::AppendMember(object, L"color", JsonValue::MakeNumber(p.color));
  json::AppendMember(object, L"category", JsonValue::MakeString(std::wstring(CategoryName(p.category))));
  json::AppendMember(object, L"created", JsonValue::MakeString(p.created));
  json::AppendMember(object, L"modified", JsonValue::MakeString(p.modified));
  JsonValue entries = JsonValue::MakeArray();
  entries.items.reserve(p.entries.size());
  for (const auto& entry : p.entries) json::PushItem(entries, EntryToJson(entry));
  json::AppendMember(object, L"entries", std::move(entries));
  if (!p.codexImports.empty()) json::AppendMember(object, L"codexImports", StringArray(p.codexImports));
  std::wstring_view source = AiSourceName(p.lastAiSession.source);
  if (!source.empty()) {
    JsonValue session = JsonValue::MakeObject();
    json::AppendMember(session, L"source", JsonValue::MakeString(std::wstring(source)));
    json::AppendMember(session, L"session", JsonValue::MakeString(p.lastAiSession.session));
    json::AppendMember(session, L"model", JsonValue::MakeString(p.lastAiSession.model));
    json::AppendMember(session, L"timestamp", JsonValue::MakeString(p.lastAiSession.timestamp));
    json::AppendMember(session, L"workspace", JsonValue::MakeString(p.lastAiSession.workspace));
    json::AppendMember(object, L"lastAiSession", std::move(session));
  }
  return object;
}

void WriteStrings(json::Utf8StreamWriter& w, const std::vector<std::wstring>& list) {
  w.BeginArray();
  for (const auto& s : list) w.String(s);
  w.EndArray();
}

void WriteProject(json::Utf8StreamWriter& w, const Project& p) {
  w.BeginObject();
  w.Key(L"id");
  w.Number(p.id);
  w.Key(L"title");
  w.String(p.title);
  w.Key(L"location");
  w.String(p.location);
  w.Key(L"status");
  w.String(p.completed ? L"completed" : L"active");
  w.Key(L"startDate");
  w.String(dates::ToStorageText(p.startDate));
  w.Key(L"endDate");
  w.String(dates::ToStorageText(p.endDate));
  w.Key(L"completedDate");
  w.String(dates::ToStorageText(p.completedDate));
  w.Key(L"color");
  w.Number(p.color);
  w.Key(L"category");
  w.String(CategoryName(p.category));
  w.Key(L"created");
  w.String(p.created);
  w.Key(L"modified");
  w.String(p.modified);
  w.Key(L"entries");
  w.BeginArray();
  for (const auto& entry : p.entries) {
    w.BeginObject();
    w.Key(L"date");
    w.String(dates::ToStorageText(entry.date));
    w.Key(L"text");
    w.String(entry.text);
    if (!entry.tags.empty()) {
      w.Key(L"tags");
      WriteStrings(w, entry.tags);
    }
    if (!entry.attachments.empty()) {
      w.Key(L"attachments");
      WriteStrings(w, entry.attachments);
    }
    w.EndObject();
  }
  w.EndArray();
  if (!p.codexImports.empty()) {
    w.Key(L"codexImports");
    WriteStrings(w, p.codexImports);
  }
  std::wstring_view source = AiSourceName(p.lastAiSession.source);
  if (!source.empty()) {
    w.Key(L"lastAiSession");
    w.BeginObject();
    w.Key(L"source");
    w.String(source);
    w.Key(L"session");
    w.String(p.lastAiSession.session);
    w.Key(L"model");
    w.String(p.lastAiSession.model);
    w.Key(L"timestamp");
    w.String(p.lastAiSession.timestamp);
    w.Key(L"workspace");
    w.String(p.lastAiSession.workspace);
    w.EndObject();
  }
  w.EndObject();
}

}  // namespace

std::string ProjectFileText(const std::vector<Project>& projects, int32_t nextId, const std::wstring& savedAt) {
  std::string out;
  out.reserve(256 + projects.size() * 1024);
  json::Utf8StreamWriter w(out);
  w.BeginObject();
  w.Key(L"format");
  w.String(L"Quenlor.ProjectFile");
  w.Key(L"version");
  w.Number(1);
  w.Key(L"app");
  w.String(L"Tavrilo 1.9.1");
  w.Key(L"savedAt");
  w.String(savedAt);
  w.Key(L"nextId");
  w.Number(nextId);
  w.Key(L"projects");
  w.BeginArray();
  for (const auto& p : projects) WriteProject(w, p);
  w.EndArray();
  w.EndObject();
  w.EndDocument();
  return out;
}

void FinishReadProject(Project& p) {
  p.SortEntries();
  if (!dates::IsValid(p.startDate)) {
    p.startDate = p.EffectiveStart();
    if (!dates::IsValid(p.startDate)) p.startDate = dates::Today();
  }
}

int32_t TruncateToInt32(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(value);
}

bool ProjectsFromJson(JsonValue& root, std::vector<Project>& projects, std::wstring& error) {
  JsonValue* list = root.IsObject() ? json::Lookup(root, L"projects") : nullptr;
  if (list == nullptr || !list->IsArray()) {
    projects.clear();
    error = i18n::Translate(L"Tavrilo 프로젝트 파일이 아닙니다.");
    return false;
  }
  projects.clear();
  projects.reserve(list->items.size());
  for (auto& item : list->items) {
    if (item.IsObject()) projects.push_back(ReadProject(item));
  }
  return true;
}

bool ReadProjects(const std::wstring& path, std::vector<Project>& projects, std::wstring& error) {
  std::string bytes;
  if (!fileio::ReadFileBytes(path, bytes, error)) {
    projects.clear();
    return false;
  }
  return ProjectsFromBytes(bytes, projects, error);
}

bool ProjectsFromBytes(std::string_view bytes, std::vector<Project>& projects, std::wstring& error) {
  // A well-formed file is read without a UTF-16 copy of the whole text; the decoded text
  // is made only for what the straight path declines, and gives the error message.
  if (ReadProjectsFastUtf8(bytes, projects)) return true;
  return ProjectsFromText(utf8::ToWide(bytes), projects, error);
}

bool ProjectsFromText(std::wstring_view text, std::vector<Project>& projects, std::wstring& error) {
  if (ReadProjectsFast(text, projects)) return true;
  // The tree reader says what is wrong (or reads what the fast path left to it).
  JsonValue root;
  std::wstring parseError;
  if (!json::Parse(text, false, root, parseError)) {
    // The fast path may have read some projects before it gave up; a failed read
    // hands back none of them.
    projects.clear();
    error = i18n::Translate(L"파일 형식이 올바르지 않습니다: ") + parseError;
    return false;
  }
  return ProjectsFromJson(root, projects, error);
}

void RepairLoadedProjects(std::vector<Project> projects, ProjectDocument& document) {
  std::unordered_set<int32_t> seen;
  int64_t largest = 0;
  for (auto& p : projects) {
    if (p.id < 1 || !seen.insert(p.id).second) {
      p.id = 0;
    } else {
      largest = std::max<int64_t>(largest, p.id);
    }
  }
  for (auto& p : projects) {
    if (p.id != 0) continue;
    if (largest < INT32_MAX) {
      p.id = static_cast<int32_t>(++largest);
    } else {
      // Every id above the largest is taken by the range itself: use the lowest free one.
      int32_t candidate = 1;
      while (seen.count(candidate) != 0) ++candidate;
      p.id = candidate;
    }
    seen.insert(p.id);
  }
  document.projects = std::move(projects);
  document.nextId = largest < INT32_MAX ? static_cast<int32_t>(largest + 1) : INT32_MAX;
  for (auto& p : document.projects) {
    if (p.color < 0 || p.color >= kPaletteSize) p.color = document.LeastUsedColor();
  }
}

bool LoadProjectFile(const std::wstring& path, ProjectDocument& document, std::wstring& error) {
  std::vector<Project> projects;
  if (!ReadProjects(path, projects, error)) return false;
  RepairLoadedProjects(std::move(projects), document);
  return true;
}

JsonValue ProjectsToJson(const std::vector<Project>& projects, int32_t nextId, const std::wstring& savedAt) {
  JsonValue root = JsonValue::MakeObject();
  json::AppendMember(root, L"format", JsonValue::MakeString(L"Quenlor.ProjectFile"));
  json::AppendMember(root, L"version", JsonValue::MakeNumber(1));
  json::AppendMember(root, L"app", JsonValue::MakeString(L"Tavrilo 1.9.1"));
  json::AppendMember(root, L"savedAt", JsonValue::MakeString(savedAt));
  json::AppendMember(root, L"nextId", JsonValue::MakeNumber(nextId));
  JsonValue list = JsonValue::MakeArray();
  list.items.reserve(projects.size());
  for (const auto& p : projects) json::PushItem(list, ProjectToJson(p));
  json::AppendMember(root, L"projects", std::move(list));
  return root;
}

bool SaveProjectFile(const std::wstring& path, const std::vector<Project>& projects, int32_t nextId,
                     std::wstring& error) {
  return fileio::WriteBytesSafely(path, ProjectFileText(projects, nextId, dates::LocalTimeStamp()), error);
}

}  // namespace projectfile
