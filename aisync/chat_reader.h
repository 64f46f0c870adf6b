// VS Code Chat sessions (<user folder>\workspaceStorage\<workspace>\chatSessions\*.json and
// *.jsonl) of VS Code and VS Code Insiders: every request a prompt, and once its response
// is complete, a reply.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "aisync/log_listing.h"
#include "aisync/log_source.h"
#include "model/json.h"

namespace aisync {

constexpr uint64_t kMaxChatSessionBytes = 134217728;  // 128 MiB

struct ChatFileContext : LogFileContext {
  std::wstring path;
  bool marked = false;  // read completely at `stamp`
  FileStamp stamp;
  std::unordered_set<std::wstring> emitted;  // keys already emitted from this file in this run
};

// Milliseconds since 1970 as "YYYY-MM-DDTHH:MM:SS.mmmZ"; false outside 1 ms to the end of
// the year 9999.
bool ChatTimestamp(double milliseconds, std::wstring& timestamp);

// A "file://" URI as a local path; empty for anything else or when it does not convert.
std::wstring FileUriToPath(std::wstring_view uri);

// The folder a workspace storage sub-folder belongs to, from its workspace.json: the
// "folder" URI, or the first folder of the "workspace" file. Empty when unknown.
std::wstring ChatWorkspaceFolder(const std::wstring& workspaceStorageFolder);

// The response parts of a request that carry text, joined with a blank line.
std::wstring ChatResponseText(const JsonValue* response);

// Emits what a session document holds and the file has not emitted yet. True when every
// request was handled (the file can be marked); false when the record limit cut it short.
bool ReadChatDocument(const JsonValue& document, const std::wstring& sessionFile, const std::wstring& workspaceFolder,
                      std::unordered_set<std::wstring>& emitted, const ReadSettings& settings,
                      std::vector<AiRecord>& out);

// The chat session files below both user folders, in scan order.
std::vector<std::wstring> ChatSessionFiles(const std::wstring& userFolder, const FolderLister& list = ListFolder);

class ChatSource : public LogSource {
 public:
  ChatSource(std::wstring vscodeUser, std::wstring vscodeInsidersUser)
      : user_(std::move(vscodeUser)), insidersUser_(std::move(vscodeInsidersUser)) {}

  // Lists the session folders through `list` (the scanner's remembered listings).
  void SetLister(FolderLister list) { list_ = std::move(list); }

  int SourceKind() const override { return kAiSourceChat; }
  LogReadMode ReadMode() const override { return LogReadMode::WholeFile; }
  std::vector<std::wstring> FindFiles(std::wstring& status) override;
  std::unique_ptr<LogFileContext> MakeContext(const std::wstring& path) override;
  bool WantsWholeFile(const LogFileContext& context, const FileStamp& stamp) const override;
  void HandleWholeFile(std::string_view bytes, const FileStamp& stamp, LogFileContext& context,
                       const ReadSettings& settings, std::vector<AiRecord>& out) override;

 private:
  std::wstring user_;
  std::wstring insidersUser_;
  FolderLister list_ = ListFolder;
};

}  // namespace aisync
