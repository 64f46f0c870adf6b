// The message rules shared by the Claude Code and Copilot readers: record keys, a prompt
// held back until the assistant's model is known, and replies linked to the last prompt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "aisync/ai_record.h"
#include "aisync/log_source.h"

namespace aisync {

// A held prompt goes out on its own after this long without new bytes in its file.
constexpr uint64_t kPendingPromptMs = 6000;

// The part of a conversation's context that the emitter keeps.
struct PromptHold {
  std::wstring lastPromptKey;
  std::wstring lastPromptTime;
  std::wstring lastPromptTimestamp;
  Date lastPromptDate;
  AiRecord pending;           // empty key: nothing held
  uint64_t pendingSince = 0;  // tick count when it was held
};

// `record` holds source kind, session, cwd, timestamp, text, model and phase. A message
// without id or session, with a cwd that is not absolute or a timestamp that does not
// convert is dropped without any other effect.
void EmitMessage(AiRecord record, std::wstring_view id, bool assistant, PromptHold& hold,
                 const ReadSettings& settings, std::vector<AiRecord>& out);

// Emits the held prompt when it has waited at least kPendingPromptMs.
void FlushStalePrompt(PromptHold& hold, uint64_t ticks, std::vector<AiRecord>& out);

// Emits the held prompt now, however long it has waited.
void ReleaseHeldPrompt(PromptHold& hold, std::vector<AiRecord>& out);

// Whether a text has anything but spaces, tabs, CR and LF.
bool HasVisibleText(std::wstring_view text);

}  // namespace aisync
