// Copilot CLI sessions (<Copilot home>\session-state\<id>\events.jsonl) that VS Code ran,
// either through its agent host or with VS Code named in the session's workspace.yaml.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "aisync/agent_host_sessions.h"
#include "aisync/log_listing.h"
#include "aisync/log_source.h"
#include "aisync/message_emitter.h"
#include "model/json.h"

namespace aisync {

struct CopilotContext : LogFileContext {
  std::wstring session;
  std::wstring cwd;
  std::wstring model;
  std::wstring lastInteractionId;
  PromptHold hold;
};

// One parsed event line.
void HandleCopilotLine(const JsonValue& line, CopilotContext& context, const ReadSettings& settings,
                       std::vector<AiRecord>& out);

// Whether a workspace.yaml text names VS Code as the session's client: its first
// "client_name:" starts a line and is followed by "vscode" or "vscode-agent-host".
bool WorkspaceNamesVsCode(std::wstring_view yaml);

// The locator VS Code reopens an agent-host session by.
std::wstring AgentHostSessionLocator(const std::wstring& folderName, const AgentHostSessionMap& map);

struct CopilotFolders {
  std::wstring copilotHome;
  std::wstring vscodeUser;          // the agent-host databases live below these
  std::wstring vscodeInsidersUser;
};

class CopilotSource : public LogSource {
 public:
  explicit CopilotSource(CopilotFolders folders) : folders_(std::move(folders)) {}
  // Lists the session folders through `list` (the scanner's remembered listings).
  void SetLister(FolderLister list) { list_ = std::move(list); }

  int SourceKind() const override { return kAiSourceChat; }
  LogReadMode ReadMode() const override { return LogReadMode::Lines; }
  // Builds the session map anew from both agent-host databases.
  void Poll(std::wstring& status) override;
  std::vector<std::wstring> FindFiles(std::wstring& status) override;
  std::unique_ptr<LogFileContext> MakeContext(const std::wstring& /*path*/) override {
    return std::make_unique<CopilotContext>();
  }
  void HandleLine(std::string_view line, uint64_t lineStart, LogFileContext& context, const ReadSettings& settings,
                  std::vector<AiRecord>& out) override;
  void Idle(LogFileContext& context, const ReadSettings& settings, std::vector<AiRecord>& out) override;
  void Abandon(LogFileContext& context, std::vector<AiRecord>& out) override {
    ReleaseHeldPrompt(static_cast<CopilotContext&>(context).hold, out);
  }
  // Gives the records of a session the agent-host locator as their session.
  void AfterLook(const std::wstring& path, LogFileContext& context, std::vector<AiRecord>& out,
                 size_t first) override;

  const AgentHostSessionMap& SessionMap() const { return map_; }

 private:
  // Whether a session's workspace.yaml names VS Code, kept per folder with the file's
  // stamp, so an idle pass costs one attribute query per session instead of a read.
  bool NamesVsCode(const std::wstring& sessionFolder);

  CopilotFolders folders_;
  FolderLister list_ = ListFolder;
  AgentHostSessionMap map_;
  struct YamlVerdict {
    FileStamp stamp;
    bool vscode = false;
  };
  std::map<std::wstring, YamlVerdict, std::less<>> yaml_;
};

}  // namespace aisync
