#include "aisync/copilot_reader.h"

#include "aisync/claude_reader.h"
#include "aisync/log_listing.h"
#include "i18n/translate.h"
#include "model/file_io.h"

namespace aisync {
namespace {

bool IsMessage(std::wstring_view type) { return type == L"user.message" || type == L"assistant.message"; }

std::wstring AgentHostDatabase(const std::wstring& userFolder) {
  return JoinPath(JoinPath(userFolder, L"globalStorage"), L"agent-host.db");
}

// The session folder's name, from the path of its event file.
std::wstring SessionFolderName(const std::wstring& eventFile) {
  std::wstring folder = fileio::FolderPart(eventFile);
  return fileio::FileNamePart(folder);
}

}  // namespace

void HandleCopilotLine(const JsonValue& line, CopilotContext& context, const ReadSettings& settings,
                       std::vector<AiRecord>& out) {
  const JsonValue* data = json::Lookup(line, L"data");
  if (data == nullptr || !data->IsObject()) return;
  std::wstring type = json::StringOr(line, L"type");
  if (type == L"session.start" || type == L"session.resume") {
    std::wstring session = json::StringOr(*data, L"sessionId");
    if (!session.empty()) context.session = std::move(session);
    if (const JsonValue* contextMember = json::Lookup(*data, L"context")) {
      if (const JsonValue* cwd = json::Lookup(*contextMember, L"cwd"); cwd != nullptr && cwd->IsString()) {
        context.cwd = cwd->text;
      }
    }
    if (const JsonValue* model = json::Lookup(*data, L"selectedModel"); model != nullptr && model->IsString()) {
      context.model = model->text;
    }
    return;
  }
  if (type == L"session.model_change" || type == L"session.model_changed") {
    const JsonValue* model = json::Lookup(*data, L"newModel");
    if (model == nullptr || !model->IsString()) model = json::Lookup(*data, L"selectedModel");
    if (model != nullptr && model->IsString()) context.model = model->text;
    return;
  }
  if (!IsMessage(type)) return;
  // A sub-agent's messages belong to its task, not to the user's conversation.
  if (!json::StringOr(*data, L"parentAgentTaskId").empty()) return;
  bool assistant = type == L"assistant.message";
  std::wstring interaction = json::StringOr(*data, L"interactionId");
  if (!assistant && !interaction.empty()) context.lastInteractionId = interaction;
  if (assistant && !interaction.empty() && !context.lastInteractionId.empty() &&
      interaction != context.lastInteractionId) {
    return;
  }

  AiRecord record;
  record.sourceKind = kAiSourceChat;
  record.session = context.session;
  record.cwd = context.cwd;
  record.timestamp = json::StringOr(line, L"timestamp");
  record.text = json::StringOr(*data, L"content");
  const JsonValue* model = json::Lookup(*data, L"model");
  record.model = model != nullptr && model->IsString() ? model->text : context.model;
  record.phase = json::StringOr(*data, L"phase", L"final_answer");
  EmitMessage(std::move(record), json::StringOr(line, L"id"), assistant, context.hold, settings, out);
}

bool WorkspaceNamesVsCode(std::wstring_view yaml) {
  constexpr std::wstring_view kKey = L"client_name:";
  size_t at = yaml.find(kKey);
  if (at == std::wstring_view::npos || (at != 0 && yaml[at - 1] != L'\n')) return false;
  std::wstring_view rest = yaml.substr(at + kKey.size());
  rest = rest.substr(0, rest.find(L'\n'));
  size_t first = rest.find_first_not_of(L" \t\r\n");
  if (first == std::wstring_view::npos) return false;
  rest = rest.substr(first, rest.find_last_not_of(L" \t\r\n") - first + 1);
  return rest == L"vscode" || rest == L"vscode-agent-host";
}

std::wstring AgentHostSessionLocator(const std::wstring& folderName, const AgentHostSessionMap& map) {
  auto mapped = map.find(folderName);
  return L"agent-host-copilotcli:/" + (mapped != map.end() ? mapped->second : folderName);
}

void CopilotSource::Poll(std::wstring& status) {
  map_.clear();
  // Without Copilot home there are no sessions to map.
  if (folders_.copilotHome.empty()) return;
  for (const std::wstring* user : {&folders_.vscodeUser, &folders_.vscodeInsidersUser}) {
    std::wstring database = AgentHostDatabase(*user);
    switch (ReadAgentHostSessions(database, map_)) {
      case AgentHostRead::Done:
        break;
      case AgentHostRead::Busy:
        status = i18n::FormatText(L"VS Code 에이전트 세션 목록이 사용 중이어서 다음 검색에서 읽습니다: {0}", {database});
        break;
      case AgentHostRead::Damaged:
        status = i18n::FormatText(L"VS Code 에이전트 세션 목록을 읽을 수 없습니다: {0}", {database});
        break;
    }
  }
}

std::vector<std::wstring> CopilotSource::FindFiles(std::wstring& /*status*/) {
  std::vector<std::wstring> files;
  for (const auto& folder : list_(JoinPath(folders_.copilotHome, L"session-state"))) {
    if (!folder.isFolder || !IsCopilotSessionId(folder.name)) continue;
    if (map_.find(folder.name) == map_.end() && !NamesVsCode(folder.path)) continue;
    files.push_back(JoinPath(folder.path, L"events.jsonl"));
  }
  return files;
}

bool CopilotSource::NamesVsCode(const std::wstring& sessionFolder) {
  std::wstring path = JoinPath(sessionFolder, L"workspace.yaml");
  FileStamp stamp;
  if (!StampOf(path, stamp)) {
    yaml_.erase(path);
    return false;
  }
  auto known = yaml_.find(path);
  if (known != yaml_.end() && known->second.stamp == stamp) return known->second.vscode;
  std::wstring yaml, error;
  bool vscode = fileio::ReadTextFile(path, yaml, error) && WorkspaceNamesVsCode(yaml);
  yaml_[path] = YamlVerdict{stamp, vscode};
  return vscode;
}

void CopilotSource::HandleLine(std::string_view line, uint64_t /*lineStart*/, LogFileContext& context,
                               const ReadSettings& settings, std::vector<AiRecord>& out) {
  JsonValue root;
  if (ParseLogLine(line, root)) HandleCopilotLine(root, static_cast<CopilotContext&>(context), settings, out);
}

void CopilotSource::Idle(LogFileContext& context, const ReadSettings& settings, std::vector<AiRecord>& out) {
  FlushStalePrompt(static_cast<CopilotContext&>(context).hold, settings.ticks, out);
}

void CopilotSource::AfterLook(const std::wstring& path, LogFileContext& /*context*/, std::vector<AiRecord>& out,
                              size_t first) {
  if (first >= out.size()) return;
  std::wstring locator = AgentHostSessionLocator(SessionFolderName(path), map_);
  for (size_t i = first; i < out.size(); ++i) out[i].session = locator;
}

}  // namespace aisync
