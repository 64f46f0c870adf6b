// Codex conversation logs (JSON Lines below <Codex home>\sessions) turned into AI records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "aisync/ai_record.h"

namespace aisync {

// What a Codex log file has said so far about its conversation.
struct CodexContext {
  std::wstring session;
  std::wstring cwd;
  std::wstring model;
  bool fromVsCode = false;
  std::wstring lastPromptKey;
  std::wstring lastPromptTime;
  std::wstring lastPromptTimestamp;
  Date lastPromptDate;
};

// Handles one complete line (UTF-8, without its line feed) that starts at byte `offset`
// of its file: updates the context and appends at most one record.
void HandleCodexLine(std::string_view line, uint64_t offset, CodexContext& context, const Date& since,
                     std::vector<AiRecord>& out);

}  // namespace aisync
