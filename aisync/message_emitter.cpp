#include "aisync/message_emitter.h"

#include "aisync/folder_match.h"
#include "aisync/log_time.h"

namespace aisync {
namespace {

void EmitPending(PromptHold& hold, std::vector<AiRecord>& out) {
  if (hold.pending.key.empty()) return;
  out.push_back(std::move(hold.pending));
  hold.pending = AiRecord();
  hold.pendingSince = 0;
}

}  // namespace

bool HasVisibleText(std::wstring_view text) { return text.find_first_not_of(L" \t\r\n") != std::wstring_view::npos; }

void EmitMessage(AiRecord record, std::wstring_view id, bool assistant, PromptHold& hold,
                 const ReadSettings& settings, std::vector<AiRecord>& out) {
  if (id.empty() || record.session.empty() || !IsAbsoluteFolderPath(record.cwd)) return;
  if (!UtcToLocal(record.timestamp, record.localDate, record.localTime)) return;
  record.key = (record.sourceKind == kAiSourceChat ? L"chat-agent:" : L"claude:") + record.session + L":";
  record.key += id;
  bool visible = HasVisibleText(record.text);

  if (assistant) {
    if (hold.lastPromptKey.empty()) return;
    if (!hold.pending.key.empty()) {
      if (!record.model.empty()) hold.pending.model = record.model;
      EmitPending(hold, out);
    }
    if (!visible) return;
    record.isReply = true;
    record.parentKey = hold.lastPromptKey;
    record.requestTimestamp = hold.lastPromptTimestamp;
    record.requestTime = hold.lastPromptTime;
    record.localDate = hold.lastPromptDate;
    out.push_back(std::move(record));
    return;
  }

  if (!visible) return;
  EmitPending(hold, out);
  hold.lastPromptKey.clear();
  // Replies to a prompt from before the since date are dropped with it.
  if (dates::Less(record.localDate, settings.since)) return;
  hold.lastPromptKey = record.key;
  hold.lastPromptTimestamp = record.timestamp;
  hold.lastPromptTime = record.localTime;
  hold.lastPromptDate = record.localDate;
  hold.pending = std::move(record);
  hold.pendingSince = settings.ticks;
}

void FlushStalePrompt(PromptHold& hold, uint64_t ticks, std::vector<AiRecord>& out) {
  if (hold.pending.key.empty() || ticks < hold.pendingSince || ticks - hold.pendingSince < kPendingPromptMs) return;
  EmitPending(hold, out);
}

void ReleaseHeldPrompt(PromptHold& hold, std::vector<AiRecord>& out) { EmitPending(hold, out); }

}  // namespace aisync
