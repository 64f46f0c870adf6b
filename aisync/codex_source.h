// The Codex reader behind the source interface, unchanged: its files come from the
// scanner's recursive listing, handed in as a function.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "aisync/codex_reader.h"
#include "aisync/log_source.h"
#include "aisync/message_emitter.h"

namespace aisync {

struct CodexFileContext : LogFileContext {
  CodexContext codex;
  AiRecord pending;           // a record waiting for its turn's model or its phase
  uint64_t pendingSince = 0;  // tick count when it was held
};

class CodexSource : public LogSource {
 public:
  using FileFinder = std::function<std::vector<std::wstring>(std::wstring& status)>;
  explicit CodexSource(FileFinder finder) : finder_(std::move(finder)) {}

  int SourceKind() const override { return kAiSourceCodex; }
  LogReadMode ReadMode() const override { return LogReadMode::Lines; }
  std::vector<std::wstring> FindFiles(std::wstring& status) override {
    if (!finder_) return {};
    return finder_(status);
  }
  std::unique_ptr<LogFileContext> MakeContext(const std::wstring& path) override {
    return std::make_unique<CodexFileContext>();
  }
  void HandleLine(std::string_view line, uint64_t lineStart, LogFileContext& context, const ReadSettings& settings,
                  std::vector<AiRecord>& out) override {
    auto& file = static_cast<CodexFileContext&>(context);
    HandleCodexLine(line, lineStart, file.codex, CodexHold{file.pending, file.pendingSince, settings.ticks},
                    settings.since, out);
  }
  // A held record goes out once its file has been quiet for six seconds.
  void Idle(LogFileContext& context, const ReadSettings& settings, std::vector<AiRecord>& out) override {
    auto& file = static_cast<CodexFileContext&>(context);
    if (!file.pending.key.empty() && settings.ticks - file.pendingSince >= kPendingPromptMs) {
      out.push_back(std::move(file.pending));
      file.pending = AiRecord();
    }
  }

 private:
  FileFinder finder_;
};

}  // namespace aisync
