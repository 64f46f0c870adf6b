#include "aisync/record_store.h"

#include <algorithm>
#include <filesystem>
#include <unordered_set>
#include <vector>

#include "aisync/message_attachments.h"
#include "aisync/reply_cleanup.h"
#include "i18n/translate.h"
#include "model/date.h"
#include "model/file_io.h"
#include "model/json.h"

namespace aisync {

namespace {

constexpr wchar_t kAutoTag[] = L"자동기록";

bool IsValidRecord(const AiRecord& record) {
  return !record.key.empty() && dates::IsValid(record.localDate) && IsAbsoluteFolderPath(record.cwd);
}

// The first project whose imported keys hold the key (exact comparison).
const Project* ProjectHoldingKey(const ProjectDocument& document, const std::wstring& key) {
  for (const Project& project : document.projects) {
    if (std::find(project.codexImports.begin(), project.codexImports.end(), key) != project.codexImports.end()) {
      return &project;
    }
  }
  return nullptr;
}

const Project* ProjectCoveringFolder(const ProjectDocument& document, const std::wstring& normalizedCwd) {
  std::vector<std::wstring> folders;
  folders.reserve(document.projects.size());
  for (const Project& project : document.projects) folders.push_back(NormalizedFolderPath(project.location));
  int index = FindCoveringFolder(folders, normalizedCwd);
  return index < 0 ? nullptr : &document.projects[static_cast<size_t>(index)];
}

Project NewProjectFor(const AiRecord& record) {
  Project project;
  project.location = NewProjectLocation(record.cwd);
  project.title = FolderTitle(project.location);
  project.startDate = record.localDate;
  return project;
}

Entry& EntryOfDate(Project& project, const Date& date) {
  for (Entry& entry : project.entries) {
    if (entry.date == date) return entry;
  }
  Entry entry;
  entry.date = date;
  project.entries.push_back(std::move(entry));
  return project.entries.back();
}

void UpdateLatestSession(const AiRecord& record, LastAiSession& latest) {
  const std::wstring& stamp = record.isReply ? record.requestTimestamp : record.timestamp;
  if (stamp.empty() || TimestampSortKey(stamp) < TimestampSortKey(latest.timestamp)) return;
  std::wstring model = record.model;
  // A reply logged without a model still belongs to the conversation whose model we know.
  if (model.empty() && latest.session == record.session) model = latest.model;
  latest.source = record.sourceKind;
  latest.session = record.session;
  latest.model = std::move(model);
  latest.timestamp = stamp;
  latest.workspace = record.workspace;
}

// "notCopied": the attachments filed without a copy, with why ("missing" or "failed").
JsonValue NotCopiedJson(const std::vector<std::pair<std::wstring, const wchar_t*>>& notCopied) {
  JsonValue list = JsonValue::MakeArray();
  for (const auto& [source, reason] : notCopied) {
    JsonValue item = JsonValue::MakeObject();
    json::AppendMember(item, L"source", JsonValue::MakeString(source));
    json::AppendMember(item, L"reason", JsonValue::MakeString(reason));
    json::PushItem(list, std::move(item));
  }
  return list;
}

// Copies the attachments and writes the record's two files; false with the first error.
// An attachment that cannot be copied ends filing only while the record may still
// wait for it.
bool WriteRecordFolder(const AiRecord& record, const std::wstring& folder, AttachmentRetries& retries,
                       std::wstring& block, std::wstring& error) {
  std::vector<std::wstring> paths;
  std::vector<std::wstring> names;
  std::vector<std::pair<std::wstring, const wchar_t*>> notCopied;
  if (!record.isReply) {
    for (size_t i = 0; i < record.attachments.size(); ++i) {
      const MessageAttachment& attachment = record.attachments[i];
      std::wstring saved, failed;
      AttachmentFailure failure = AttachmentFailure::Transient;
      if (SaveAttachment(attachment, folder, static_cast<int>(i + 1), saved, failed, failure)) {
        names.push_back(fileio::FileNamePart(saved));
        paths.push_back(std::move(saved));
      } else if (failure == AttachmentFailure::Missing) {
        notCopied.emplace_back(attachment.source, L"missing");
      } else if (!retries.MayWait(record.key, attachment.source)) {
        notCopied.emplace_back(attachment.source, L"failed");
      } else {
        error = std::move(failed);
        return false;
      }
    }
  }
  block = EntryBlock(record, paths, folder);
  const std::wstring textFile = folder + (record.isReply ? L"\\reply.md" : L"\\prompt.md");
  if (!fileio::WriteTextFileSafely(textFile, block, error)) return false;
  JsonValue metadata = RecordJson(record, names);
  if (!notCopied.empty()) json::AppendMember(metadata, L"notCopied", NotCopiedJson(notCopied));
  return fileio::WriteTextFileSafely(folder + L"\\record.json", json::WriteDocument(metadata), error);
}

}  // namespace

std::wstring TimestampSortKey(std::wstring_view timestamp) {
  std::wstring key(timestamp);
  if (!key.empty() && key.back() == L'Z') key.pop_back();
  if (key.size() == 19) key.push_back(L'.');
  if (key.size() >= 20 && key.size() < 29) key.append(29 - key.size(), L'0');
  return key;
}

std::wstring RecordRoot(const Project& project) {
  if (project.location.empty()) return {};
  // A drive-root location already ends with its separator.
  const wchar_t last = project.location.back();
  return project.location + (last == L'\\' || last == L'/' ? L"Quenlor" : L"\\Quenlor");
}

bool FileAiRecord(AiRecord record, ProjectDocument& document, bool& changed, std::wstring& error) {
  return FileAiRecordWithRetries(std::move(record), document, SharedAttachmentRetries(), changed, error);
}

bool FileAiRecordWithRetries(AiRecord record, ProjectDocument& document, AttachmentRetries& retries, bool& changed,
                             std::wstring& error) {
  changed = false;
  error.clear();
  if (record.isReply) {
    record.text = CleanReplyText(record.text);
    if (record.text.empty()) return true;
  }
  if (!IsValidRecord(record)) {
    error = i18n::Translate(L"AI 기록의 프로젝트 경로나 전송 날짜가 올바르지 않습니다.");
    return false;
  }
  if (ProjectHoldingKey(document, record.key) != nullptr) return true;

  // The document is touched only at the very end, so every failure below leaves it as it was.
  Project project;
  bool isNew = false;
  if (record.isReply) {
    const Project* prompt = ProjectHoldingKey(document, record.parentKey);
    if (prompt == nullptr) {
      error = i18n::Translate(L"AI 답변의 원래 프롬프트 저장을 기다리고 있습니다.");
      return false;
    }
    project = *prompt;
  } else if (const Project* covering = ProjectCoveringFolder(document, NormalizedFolderPath(record.cwd))) {
    project = *covering;
  } else {
    project = NewProjectFor(record);
    isNew = true;
  }

  if (!fileio::FolderExists(project.location)) {
    error = i18n::Translate(L"프로젝트 폴더를 찾을 수 없습니다.\n") + project.location;
    return false;
  }
  const std::wstring folder = RecordRoot(project) + L"\\" + RecordFolderName(record);
  if (!fileio::EnsureFolder(folder)) {
    error = i18n::Translate(L"기록 폴더를 만들지 못했습니다: ") + folder;
    return false;
  }
  std::wstring block;
  if (!WriteRecordFolder(record, folder, retries, block, error)) return false;
  retries.Forget(record.key);

  Entry& entry = EntryOfDate(project, record.localDate);
  if (!entry.text.empty()) entry.text += L"\r\n\r\n";
  entry.text += block;
  tags::Add(entry.tags, SourceLabel(record.sourceKind));
  tags::Add(entry.tags, kAutoTag);
  project.codexImports.push_back(record.key);
  UpdateLatestSession(record, project.lastAiSession);

  if (isNew) {
    document.AddProject(std::move(project));
  } else {
    document.UpdateProject(std::move(project));
  }
  changed = true;
  return true;
}

LastAiSession LatestAiSession(const Project& project) {
  if (project.lastAiSession.source != kAiSourceNone) return project.lastAiSession;
  LastAiSession latest;
  const std::wstring root = RecordRoot(project);
  if (project.codexImports.empty() || root.empty()) return latest;
  const std::unordered_set<std::wstring> imported(project.codexImports.begin(), project.codexImports.end());

  namespace fs = std::filesystem;
  std::error_code failure;
  std::vector<std::wstring> dateFolders;
  for (fs::directory_iterator it(fs::path(root), failure), end; !failure && it != end; it.increment(failure)) {
    std::error_code kindFailure;
    if (it->is_directory(kindFailure)) dateFolders.push_back(it->path().wstring());
  }
  std::sort(dateFolders.begin(), dateFolders.end());

  std::wstring latestKey;
  for (const std::wstring& dateFolder : dateFolders) {
    failure.clear();
    for (fs::directory_iterator it(fs::path(dateFolder), failure), end; !failure && it != end;
         it.increment(failure)) {
      JsonValue record;
      if (!fileio::ReadJsonFile(it->path().wstring() + L"\\record.json", false, record) || !record.IsObject()) {
        continue;
      }
      if (imported.count(json::StringOr(record, L"key")) == 0) continue;
      const int32_t source = AiSourceFromName(json::StringOr(record, L"source"));
      if (source == kAiSourceNone) continue;
      const JsonValue* requestStamp = json::Lookup(record, L"requestTimestamp");
      std::wstring stamp = requestStamp != nullptr && requestStamp->IsString() ? requestStamp->text
                                                                                : json::StringOr(record, L"timestamp");
      std::wstring key = TimestampSortKey(stamp);
      if (latest.source != kAiSourceNone && key < latestKey) continue;
      latest.source = source;
      latest.session = json::StringOr(record, L"session");
      latest.model = json::StringOr(record, L"model");
      latest.timestamp = std::move(stamp);
      latest.workspace = json::StringOr(record, L"workspace");
      latestKey = std::move(key);
    }
  }
  return latest;
}

}  // namespace aisync
