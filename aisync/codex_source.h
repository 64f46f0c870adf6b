// The Codex reader behind the source interface, unchanged: its files come from the
// scanner's recursive listing, handed in as a function.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "aisync/codex_reader.h"
#include "aisync/log_source.h"

namespace aisync {

struct CodexFileContext : LogFileContext {
  CodexContext codex;
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
    HandleCodexLine(line, lineStart, static_cast<CodexFileContext&>(context).codex, settings.since, out);
  }

 private:
  FileFinder finder_;
};

}  // namespace aisync
