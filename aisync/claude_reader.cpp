#include "aisync/claude_reader.h"

#include "aisync/log_listing.h"
#include "model/utf8.h"

namespace aisync {
namespace {

bool IsTrue(const JsonValue& object, std::wstring_view key) {
  const JsonValue* value = json::Lookup(object, key);
  return value != nullptr && value->IsBool() && value->boolean;
}

bool IsVsCodeEntrypoint(std::wstring_view entrypoint) {
  return entrypoint == L"claude-vscode" || entrypoint == L"vscode" || entrypoint == L"sdk-vscode";
}

}  // namespace

bool ParseLogLine(std::string_view line, JsonValue& root) {
  std::wstring error;
  return json::Parse(utf8::ToWide(line), false, root, error) && root.IsObject();
}

std::wstring ClaudeContentText(const JsonValue* content) {
  if (content == nullptr) return {};
  if (content->IsString()) return content->text;
  std::wstring text;
  if (!content->IsArray()) return text;
  for (const auto& block : content->items) {
    if (!block.IsObject() || json::StringOr(block, L"type") != L"text") continue;
    std::wstring part = json::StringOr(block, L"text");
    if (part.empty()) continue;
    if (!text.empty()) text += L"\n\n";
    text += part;
  }
  return text;
}

void HandleClaudeLine(const JsonValue& line, ClaudeContext& context, const ReadSettings& settings,
                      std::vector<AiRecord>& out) {
  if (!line.IsObject() || IsTrue(line, L"isSidechain") || IsTrue(line, L"isMeta")) return;
  std::wstring type = json::StringOr(line, L"type");
  if (type != L"user" && type != L"assistant") return;
  std::wstring entrypoint = json::StringOr(line, L"entrypoint");
  if (!entrypoint.empty()) context.fromVsCode = IsVsCodeEntrypoint(entrypoint);
  const JsonValue* message = json::Lookup(line, L"message");
  if (!context.fromVsCode || message == nullptr) return;

  std::wstring cwd = json::StringOr(line, L"cwd");
  if (!cwd.empty()) context.cwd = std::move(cwd);
  std::wstring session = json::StringOr(line, L"sessionId");
  if (!session.empty()) context.session = std::move(session);

  AiRecord record;
  record.sourceKind = kAiSourceClaude;
  record.session = context.session;
  record.cwd = context.cwd;
  record.timestamp = json::StringOr(line, L"timestamp");
  record.text = ClaudeContentText(json::Lookup(*message, L"content"));
  record.phase = L"final_answer";
  record.model = json::StringOr(*message, L"model");
  // Claude Code's own placeholder for turns that no model produced.
  if (record.model == L"<synthetic>") record.model.clear();
  EmitMessage(std::move(record), json::StringOr(line, L"uuid"), type == L"assistant", context.hold, settings, out);
}

std::vector<std::wstring> ClaudeTranscripts(const std::wstring& claudeFolder, const FolderLister& list) {
  std::vector<std::wstring> files;
  for (const auto& project : list(JoinPath(claudeFolder, L"projects"))) {
    if (!project.isFolder) continue;
    for (const auto& entry : list(project.path)) {
      if (!entry.isFolder && Extension(entry.name) == L".jsonl") files.push_back(entry.path);
    }
  }
  return files;
}

void ClaudeSource::HandleLine(std::string_view line, uint64_t /*lineStart*/, LogFileContext& context,
                              const ReadSettings& settings, std::vector<AiRecord>& out) {
  JsonValue root;
  if (ParseLogLine(line, root)) HandleClaudeLine(root, static_cast<ClaudeContext&>(context), settings, out);
}

void ClaudeSource::Idle(LogFileContext& context, const ReadSettings& settings, std::vector<AiRecord>& out) {
  FlushStalePrompt(static_cast<ClaudeContext&>(context).hold, settings.ticks, out);
}

}  // namespace aisync
