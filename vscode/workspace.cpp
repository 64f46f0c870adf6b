#include "vscode/workspace.h"

#include <windows.h>
#include <objbase.h>

#include <filesystem>

#include "aisync/folder_match.h"
#include "i18n/translate.h"
#include "model/file_io.h"
#include "vscode/open_window.h"
#include "vscode/path_text.h"

namespace vscode {

namespace {

constexpr size_t kGuidTextUnits = 39;  // braces, 36 characters and the NUL

JsonValue StringValue(const wchar_t* text) { return JsonValue::MakeString(text); }

}  // namespace

JsonValue WorkspaceDocument(const std::wstring& folder) {
  JsonValue entry = JsonValue::MakeObject();
  json::AppendMember(entry, L"path", JsonValue::MakeString(folder));
  JsonValue folders = JsonValue::MakeArray();
  json::PushItem(folders, std::move(entry));
  JsonValue document = JsonValue::MakeObject();
  json::AppendMember(document, L"folders", std::move(folders));
  return document;
}

JsonValue RestoreRequest(const std::wstring& folder, const LastAiSession& session) {
  JsonValue messages = JsonValue::MakeObject();
  json::AppendMember(messages, L"chatFile", StringValue(i18n::Translate(L"Chat 세션 파일을 찾을 수 없습니다.")));
  json::AppendMember(messages, L"claudeExtension",
                     StringValue(i18n::Translate(L"Claude Code 확장을 사용할 수 없습니다.")));
  json::AppendMember(messages, L"codexExtension", StringValue(i18n::Translate(L"Codex 확장을 사용할 수 없습니다.")));
  json::AppendMember(messages, L"openFailed", StringValue(i18n::Translate(L"Tavrilo: AI 대화를 열지 못했습니다.")));

  JsonValue request = JsonValue::MakeObject();
  json::AppendMember(request, L"source", JsonValue::MakeString(std::wstring(AiSourceName(session.source))));
  json::AppendMember(request, L"session", JsonValue::MakeString(session.session));
  json::AppendMember(request, L"model", JsonValue::MakeString(session.model));
  json::AppendMember(request, L"workspace", JsonValue::MakeString(session.workspace));
  json::AppendMember(request, L"folder", JsonValue::MakeString(folder));
  json::AppendMember(request, L"messages", std::move(messages));
  return request;
}

std::wstring WorkspaceFileName(const std::wstring& folder) {
  std::wstring name = std::filesystem::path(folder).filename().wstring();
  return (name.empty() ? std::wstring(L"Project") : name) + L".code-workspace";
}

std::wstring NewWorkspaceIdentifier() {
  GUID guid{};
  if (FAILED(CoCreateGuid(&guid))) return {};
  wchar_t text[kGuidTextUnits] = {};
  if (StringFromGUID2(guid, text, static_cast<int>(kGuidTextUnits)) != static_cast<int>(kGuidTextUnits)) return {};
  return std::wstring(text + 1, 36);
}

std::wstring PrepareWorkspace(const std::wstring& baseFolder, const std::wstring& folder,
                              const LastAiSession& session, std::wstring& error) {
  const std::wstring fileName = WorkspaceFileName(folder);
  const std::wstring key = aisync::NormalizedFolderPath(folder);
  const std::wstring workspaces = JoinPath(baseFolder, L"Workspaces");

  // One generated folder per project folder, so VS Code keeps the window's state
  // between openings.
  std::wstring workspaceFile;
  std::error_code failure;
  for (std::filesystem::directory_iterator it(workspaces, failure), end; !failure && it != end;
       it.increment(failure)) {
    std::wstring candidate = JoinPath(it->path().wstring(), fileName);
    if (WorkspaceFileListsFolder(candidate, key, true)) {
      workspaceFile = candidate;
      break;
    }
  }

  if (workspaceFile.empty()) {
    std::wstring identifier = NewWorkspaceIdentifier();
    if (identifier.empty()) {
      error = i18n::Translate(L"VS Code 창의 작업공간 식별자를 만들지 못했습니다.");
      return {};
    }
    std::wstring candidate = JoinPath(workspaces, identifier, fileName);
    if (!fileio::WriteBytesSafely(candidate, json::WriteDocumentUtf8(WorkspaceDocument(folder)), error)) return {};
    workspaceFile = candidate;
  }

  const std::wstring requestFile = JoinPath(fileio::FolderPart(workspaceFile), L"restore.json");
  if (session.source != kAiSourceNone) {
    if (!fileio::WriteBytesSafely(requestFile, json::WriteDocumentUtf8(RestoreRequest(folder, session)), error)) {
      return {};
    }
  } else {
    // A request left from an earlier opening would reopen an old conversation.
    DeleteFileW(requestFile.c_str());
  }
  return workspaceFile;
}

}  // namespace vscode
