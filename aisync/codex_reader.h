// Codex conversation logs (JSON Lines below <Codex home>\sessions) turned into AI records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "aisync/ai_record.h"

namespace aisync {

// Whether the model of the coming turn is known. Some Codex builds write a turn's
// turn_context before its user_message, others after it; session_meta lines of real
// builds carry no model at all.
enum class CodexTurnModel {
  kOpen,     // nothing said yet about the next turn
  kAhead,    // a turn_context (or a session_meta model) came before the next prompt
  kAwaited,  // the last prompt went out, or was dropped, before its turn's turn_context
};

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
  CodexTurnModel turnModel = CodexTurnModel::kOpen;
  // Phases of this turn's assistant response_item messages not yet matched with their
  // agent_message event, by the FNV-1a hash of the text (oldest first, bounded).
  std::vector<std::pair<uint64_t, std::wstring>> twinPhases;
  uint64_t heldReplyText = 0;  // text hash of a reply held until its twin is read
};

// The file's slot for one record held back: a prompt until its turn's model is known, a
// reply without a phase until the response_item twin that names it is read. Whatever
// the reader does not release itself, the scanner emits once it has waited long enough.
struct CodexHold {
  AiRecord& record;  // empty key: nothing held
  uint64_t& since;   // tick count when it was held
  uint64_t now;
};

// Handles one complete line (UTF-8, without its line feed) that starts at byte `offset`
// of its file: updates the context and appends the records that are ready, a record
// released from the hold first.
void HandleCodexLine(std::string_view line, uint64_t offset, CodexContext& context, CodexHold hold,
                     const Date& since, std::vector<AiRecord>& out);

}  // namespace aisync
