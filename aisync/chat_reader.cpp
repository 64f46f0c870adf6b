#include "aisync/chat_reader.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <filesystem>

#include "aisync/chat_document.h"
#include "aisync/folder_match.h"
#include "aisync/log_listing.h"
#include "aisync/log_time.h"
#include "aisync/message_emitter.h"
#include "aisync/reply_cleanup.h"
#include "model/file_io.h"

namespace aisync {
namespace {

constexpr double kLastMillisecond = 253402300799999.0;  // 9999-12-31T23:59:59.999Z
constexpr uint64_t kUnixEpochAsFileTimeMs = 11644473600000ULL;

bool IsTrue(const JsonValue& object, std::wstring_view key) {
  const JsonValue* value = json::Lookup(object, key);
  return value != nullptr && value->IsBool() && value->boolean;
}

// "modelState"."value", 1 when the request has no model state, -1 when unusable.
double ModelState(const JsonValue& request) {
  const JsonValue* state = json::Lookup(request, L"modelState");
  if (state == nullptr) return 1;
  const JsonValue* value = json::Lookup(*state, L"value");
  return value != nullptr && value->IsNumber() ? value->number : -1;
}

std::wstring WorkingDirectory(const JsonValue& document) {
  const JsonValue* directory = json::Lookup(document, L"workingDirectory");
  if (directory == nullptr) return {};
  if (directory->IsString()) return FileUriToPath(directory->text);
  if (directory->IsObject()) {
    const JsonValue* scheme = json::Lookup(*directory, L"scheme");
    const JsonValue* path = json::Lookup(*directory, L"path");
    if (scheme != nullptr && scheme->IsString() && path != nullptr && path->IsString()) {
      return FileUriToPath(scheme->text + L"://" + path->text);
    }
  }
  return {};
}

std::wstring SessionName(const JsonValue& document, const std::wstring& sessionFile) {
  const JsonValue* id = json::Lookup(document, L"sessionId");
  if (id != nullptr && id->IsString()) return id->text;
  std::wstring name = fileio::FileNamePart(sessionFile);
  size_t dot = name.rfind(L'.');
  return dot == std::wstring::npos ? name : name.substr(0, dot);
}

bool TimeOf(double milliseconds, std::wstring& timestamp, Date& localDate, std::wstring& localTime) {
  return ChatTimestamp(milliseconds, timestamp) && UtcToLocal(timestamp, localDate, localTime);
}

}  // namespace

bool ChatTimestamp(double milliseconds, std::wstring& timestamp) {
  if (!(milliseconds > 0 && milliseconds <= kLastMillisecond)) return false;
  uint64_t ticks = (static_cast<uint64_t>(milliseconds) + kUnixEpochAsFileTimeMs) * 10000ULL;
  FILETIME fileTime{static_cast<DWORD>(ticks & 0xffffffffULL), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME utc;
  if (!FileTimeToSystemTime(&fileTime, &utc)) return false;
  wchar_t text[40];
  std::swprintf(text, 40, L"%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", utc.wYear, utc.wMonth, utc.wDay, utc.wHour,
                utc.wMinute, utc.wSecond, utc.wMilliseconds);
  timestamp = text;
  return true;
}

std::wstring FileUriToPath(std::wstring_view uri) {
  if (!uri.starts_with(L"file://")) return {};
  std::wstring url(uri);
  std::wstring path(32768, L'\0');
  DWORD length = static_cast<DWORD>(path.size());
  if (FAILED(PathCreateFromUrlW(url.c_str(), path.data(), &length, 0))) return {};
  path.resize(wcsnlen(path.c_str(), path.size()));
  // VS Code escapes the drive's colon ("file:///c%3A/..."); a converter that unescapes
  // only after splitting off the root leaves "\c:\...", which names no folder.
  const wchar_t drive = path.size() >= 3 ? static_cast<wchar_t>(path[1] | 0x20) : L'\0';
  if (drive >= L'a' && drive <= L'z' && path[0] == L'\\' && path[2] == L':') path.erase(0, 1);
  return path;
}

std::wstring ChatWorkspaceFolder(const std::wstring& workspaceStorageFolder) {
  JsonValue description;
  if (!fileio::ReadJsonFile(JoinPath(workspaceStorageFolder, L"workspace.json"), true, description)) return {};
  const JsonValue* folder = json::Lookup(description, L"folder");
  std::wstring result = folder != nullptr && folder->IsString() ? FileUriToPath(folder->text) : std::wstring();
  if (!result.empty()) return result;
  const JsonValue* workspace = json::Lookup(description, L"workspace");
  if (workspace == nullptr || !workspace->IsString()) return {};
  std::wstring workspaceFile = FileUriToPath(workspace->text);
  JsonValue definition;
  if (workspaceFile.empty() || !fileio::ReadJsonFile(workspaceFile, true, definition)) return {};
  const JsonValue* folders = json::Lookup(definition, L"folders");
  if (folders == nullptr || !folders->IsArray() || folders->items.empty()) return {};
  const JsonValue& first = folders->items.front();
  result = FileUriToPath(json::StringOr(first, L"uri"));
  if (!result.empty()) return result;
  std::wstring relative = json::StringOr(first, L"path");
  if (relative.empty()) return {};
  // Workspace files usually name their folders relative to themselves ("../app"); an
  // absolute one stands on its own.
  std::filesystem::path joined = IsAbsoluteFolderPath(relative)
                                     ? std::filesystem::path(relative)
                                     : std::filesystem::path(fileio::FolderPart(workspaceFile)) / relative;
  return joined.lexically_normal().wstring();
}

std::wstring ChatResponseText(const JsonValue* response) {
  std::wstring text;
  if (response == nullptr || !response->IsArray()) return text;
  for (const auto& part : response->items) {
    std::wstring piece;
    if (part.IsString()) {
      piece = part.text;
    } else if (part.IsObject()) {
      const JsonValue* kind = json::Lookup(part, L"kind");
      bool plain = kind == nullptr || (kind->IsString() && kind->text.empty());
      if (plain) {
        piece = json::StringOr(part, L"value");
      } else if (kind->IsString() && kind->text == L"markdownContent") {
        const JsonValue* content = json::Lookup(part, L"content");
        if (content != nullptr && content->IsString()) piece = content->text;
        if (content != nullptr && content->IsObject()) piece = json::StringOr(*content, L"value");
      }
    }
    if (piece.empty()) continue;
    if (!text.empty()) text += L"\n\n";
    text += piece;
  }
  return text;
}

bool ReadChatDocument(const JsonValue& document, const std::wstring& sessionFile, const std::wstring& workspaceFolder,
                      std::unordered_set<std::wstring>& emitted, const ReadSettings& settings,
                      std::vector<AiRecord>& out) {
  std::wstring cwd = WorkingDirectory(document);
  if (cwd.empty()) cwd = workspaceFolder;
  const JsonValue* requests = json::Lookup(document, L"requests");
  if (requests == nullptr || !IsAbsoluteFolderPath(cwd)) return true;
  if (!requests->IsArray()) return true;
  std::wstring session = SessionName(document, sessionFile);
  const JsonValue* creation = json::Lookup(document, L"creationDate");

  for (const auto& request : requests->items) {
    if (out.size() >= settings.recordLimit) return false;
    if (!request.IsObject() || IsTrue(request, L"isSystemInitiated") || IsTrue(request, L"requestHiddenFromTranscript")) {
      continue;
    }
    AiRecord prompt;
    prompt.sourceKind = kAiSourceChat;
    prompt.session = session;
    prompt.cwd = cwd;
    prompt.workspace = sessionFile;
    prompt.model = json::StringOr(request, L"modelId");
    const JsonValue* stamp = json::Lookup(request, L"timestamp");
    if (stamp == nullptr || !stamp->IsNumber()) stamp = creation;
    double milliseconds = stamp != nullptr && stamp->IsNumber() ? stamp->number : 0;
    if (!TimeOf(milliseconds, prompt.timestamp, prompt.localDate, prompt.localTime)) continue;
    if (dates::Less(prompt.localDate, settings.since)) continue;
    std::wstring requestId = json::StringOr(request, L"requestId");
    if (requestId.empty()) continue;
    prompt.key = L"chat:" + session + L":" + requestId;
    const JsonValue* message = json::Lookup(request, L"message");
    if (message != nullptr && message->IsString()) {
      prompt.text = message->text;
    } else if (message != nullptr) {
      prompt.text = json::StringOr(*message, L"text");
    }
    if (!HasVisibleText(prompt.text)) continue;
    if (emitted.insert(prompt.key).second) {
      out.push_back(prompt);
      if (out.size() >= settings.recordLimit) return false;
    }

    double state = ModelState(request);
    if (state != 1 && state != 2 && state != 3) continue;
    const JsonValue* complete = json::Lookup(request, L"isComplete");
    if (complete != nullptr && complete->IsBool() && !complete->boolean) continue;
    std::wstring text = CleanReplyText(ChatResponseText(json::Lookup(request, L"response")));
    if (text.empty()) continue;
    AiRecord reply = std::move(prompt);
    reply.isReply = true;
    reply.phase = L"final_answer";
    reply.parentKey = reply.key;
    reply.key += L":reply";
    reply.requestTime = reply.localTime;
    reply.requestTimestamp = reply.timestamp;
    reply.text = std::move(text);
    const JsonValue* answered = json::Lookup(request, L"responseTimestamp");
    std::wstring timestamp, localTime;
    Date ignoredDate;
    if (answered != nullptr && answered->IsNumber() && TimeOf(answered->number, timestamp, ignoredDate, localTime)) {
      reply.timestamp = std::move(timestamp);
      reply.localTime = std::move(localTime);
    }
    if (emitted.insert(reply.key).second) out.push_back(std::move(reply));
  }
  return true;
}

std::vector<std::wstring> ChatSessionFiles(const std::wstring& userFolder, const FolderLister& list) {
  std::vector<std::wstring> files;
  for (const auto& workspace : list(JoinPath(userFolder, L"workspaceStorage"))) {
    if (!workspace.isFolder) continue;
    for (const auto& entry : list(JoinPath(workspace.path, L"chatSessions"))) {
      std::wstring_view extension = Extension(entry.name);
      if (!entry.isFolder && (extension == L".json" || extension == L".jsonl")) files.push_back(entry.path);
    }
  }
  return files;
}

std::vector<std::wstring> ChatSource::FindFiles(std::wstring& /*status*/) {
  std::vector<std::wstring> files = ChatSessionFiles(user_, list_);
  std::vector<std::wstring> insiders = ChatSessionFiles(insidersUser_, list_);
  files.insert(files.end(), insiders.begin(), insiders.end());
  return files;
}

std::unique_ptr<LogFileContext> ChatSource::MakeContext(const std::wstring& path) {
  auto context = std::make_unique<ChatFileContext>();
  context->path = path;
  return context;
}

bool ChatSource::WantsWholeFile(const LogFileContext& context, const FileStamp& stamp) const {
  const auto& chat = static_cast<const ChatFileContext&>(context);
  return !chat.marked || !(chat.stamp == stamp);
}

void ChatSource::HandleWholeFile(std::string_view bytes, const FileStamp& stamp, LogFileContext& context,
                                 const ReadSettings& settings, std::vector<AiRecord>& out) {
  auto& chat = static_cast<ChatFileContext&>(context);
  JsonValue document;
  bool parsed = Extension(chat.path) == L".jsonl" ? ChatDocumentFromPatchLog(bytes, document)
                                                  : ChatDocumentFromJson(bytes, document);
  // An unparsable file (often one caught mid-write) is tried again on every pass.
  if (!parsed) return;
  // <workspace>\chatSessions\<file>: the workspace storage folder is two levels up.
  std::wstring workspaceFolder = ChatWorkspaceFolder(fileio::FolderPart(fileio::FolderPart(chat.path)));
  if (!ReadChatDocument(document, chat.path, workspaceFolder, chat.emitted, settings, out)) return;
  chat.marked = true;
  chat.stamp = stamp;
}

}  // namespace aisync
