// The Codex reader behind the source interface: its files come from the scanner's
// recursive listing, handed in as a function, and the record it holds back lives in the
// file's context.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "aisync/codex_reader.h"
#include "aisync/log_source.h"

namespace aisync {

// A record held back by the reader goes out on its own once its file has been quiet
// for longer than this.
constexpr uint64_t kCodexHoldMs = 5999;

struct CodexFileContext : LogFileContext {
  CodexContext codex;
  AiRecord pending;           // held back: a prompt until its model is known, a reply until its phase is
  uint64_t pendingSince = 0;  // tick count when it was held back
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
  std::unique_ptr<LogFileContext> MakeContext(const std::wstring& /*path*/) override {
    return std::make_unique<CodexFileContext>();
  }
  void HandleLine(std::string_view line, uint64_t lineStart, LogFileContext& context, const ReadSettings& settings,
                  std::vector<AiRecord>& out) override {
    auto& file = static_cast<CodexFileContext&>(context);
    HandleCodexLine(line, lineStart, file.codex, CodexHold{file.pending, file.pendingSince, settings.ticks},
                    settings.since, out);
  }
  void Idle(LogFileContext& context, const ReadSettings& settings, std::vector<AiRecord>& out) override {
    auto& file = static_cast<CodexFileContext&>(context);
    if (!file.pending.key.empty() && settings.ticks - file.pendingSince > kCodexHoldMs) Release(file, out);
  }
  void Abandon(LogFileContext& context, std::vector<AiRecord>& out) override {
    Release(static_cast<CodexFileContext&>(context), out);
  }

 private:
  static void Release(CodexFileContext& file, std::vector<AiRecord>& out) {
    if (file.pending.key.empty()) return;
    out.push_back(std::move(file.pending));
    file.pending = AiRecord();
  }

  FileFinder finder_;
};

}  // namespace aisync
