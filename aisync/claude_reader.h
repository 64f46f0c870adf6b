// Claude Code transcripts (JSON Lines in <Claude Code folder>\projects\<project>\) of
// conversations run from VS Code, turned into AI records.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "aisync/log_listing.h"
#include "aisync/log_source.h"
#include "aisync/message_emitter.h"
#include "model/json.h"

namespace aisync {

struct ClaudeContext : LogFileContext {
  bool fromVsCode = false;
  std::wstring session;
  std::wstring cwd;
  PromptHold hold;
};

// One parsed transcript line.
void HandleClaudeLine(const JsonValue& line, ClaudeContext& context, const ReadSettings& settings,
                      std::vector<AiRecord>& out);

// The text blocks of a message's "content" (a string, or an array of blocks of which only
// the "text" ones count), joined with a blank line.
std::wstring ClaudeContentText(const JsonValue* content);

// The ".jsonl" files of every project folder below <Claude Code folder>\projects.
std::vector<std::wstring> ClaudeTranscripts(const std::wstring& claudeFolder, const FolderLister& list = ListFolder);

class ClaudeSource : public LogSource {
 public:
  explicit ClaudeSource(std::wstring claudeFolder) : folder_(std::move(claudeFolder)) {}
  // Lists the project folders through `list` (the scanner's remembered listings).
  void SetLister(FolderLister list) { list_ = std::move(list); }

  int SourceKind() const override { return kAiSourceClaude; }
  LogReadMode ReadMode() const override { return LogReadMode::Lines; }
  std::vector<std::wstring> FindFiles(std::wstring& /*status*/) override { return ClaudeTranscripts(folder_, list_); }
  std::unique_ptr<LogFileContext> MakeContext(const std::wstring& /*path*/) override {
    return std::make_unique<ClaudeContext>();
  }
  void HandleLine(std::string_view line, uint64_t lineStart, LogFileContext& context, const ReadSettings& settings,
                  std::vector<AiRecord>& out) override;
  void Idle(LogFileContext& context, const ReadSettings& settings, std::vector<AiRecord>& out) override;
  void Abandon(LogFileContext& context, std::vector<AiRecord>& out) override {
    ReleaseHeldPrompt(static_cast<ClaudeContext&>(context).hold, out);
  }

 private:
  std::wstring folder_;
  FolderLister list_ = ListFolder;
};

// A line of a JSON Lines log as a JSON object; false for anything else.
bool ParseLogLine(std::string_view line, JsonValue& root);

}  // namespace aisync
