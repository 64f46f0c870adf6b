#include "aisync/codex_reader.h"

#include <algorithm>

#include "aisync/log_time.h"
#include "aisync/message_attachments.h"
#include "aisync/reply_cleanup.h"
#include "model/json.h"
#include "model/utf8.h"

namespace aisync {
namespace {

// A turn writes a few assistant messages; more unmatched twins than this means their
// events are not coming.
constexpr size_t kTwinsKept = 16;

bool Contains(std::string_view line, std::string_view word) { return line.find(word) != std::string_view::npos; }

// Most lines of a session log are tool output; only these words can make a line matter,
// and looking for them in the raw bytes spares the JSON parse of everything else.
bool MayMatter(std::string_view line) {
  for (std::string_view word : {std::string_view("session_meta"), std::string_view("turn_context"),
                                std::string_view("\"user_message\""), std::string_view("\"agent_message\""),
                                std::string_view("\"UserMessage\""), std::string_view("\"AgentMessage\"")}) {
    if (Contains(line, word)) return true;
  }
  // The assistant's own copy of a message, which some builds give the phase instead of the event.
  return Contains(line, "\"assistant\"") && Contains(line, "response_item");
}

const JsonValue* Member(const JsonValue* object, std::wstring_view key) {
  return object != nullptr ? json::Lookup(*object, key) : nullptr;
}

std::wstring StringMember(const JsonValue* object, std::wstring_view key) {
  const JsonValue* value = Member(object, key);
  return value != nullptr && value->IsString() ? value->text : std::wstring();
}

bool IsBlank(const std::wstring& text) { return text.find_first_not_of(L" \t\r\n") == std::wstring::npos; }

bool IsKnownPhase(const std::wstring& phase) {
  return phase.empty() || phase == L"commentary" || phase == L"final_answer" || phase == L"final";
}

uint64_t TextHash(const std::wstring& text) { return Fnv1a64(utf8::FromWide(text)); }

bool HoldsPrompt(const CodexHold& hold) { return !hold.record.key.empty() && !hold.record.isReply; }
bool HoldsReply(const CodexHold& hold) { return !hold.record.key.empty() && hold.record.isReply; }

void Release(CodexHold& hold, std::vector<AiRecord>& out) {
  if (hold.record.key.empty()) return;
  out.push_back(std::move(hold.record));
  hold.record = AiRecord();
}

void Hold(CodexHold& hold, AiRecord&& record) {
  hold.record = std::move(record);
  hold.since = hold.now;
}

void ReadSessionMeta(const JsonValue& payload, CodexContext& context, CodexHold& hold, std::vector<AiRecord>& out) {
  Release(hold, out);  // it belongs to the conversation so far
  const JsonValue* id = json::Lookup(payload, L"id");
  std::wstring session = id != nullptr && id->IsString() ? id->text : StringMember(&payload, L"session_id");
  if (session != context.session) {
    // Replies of the new conversation must not hang off the old one's prompt.
    context.lastPromptKey.clear();
    context.lastPromptTime.clear();
    context.lastPromptTimestamp.clear();
    context.lastPromptDate = Date{};
  }
  context.session = std::move(session);
  context.cwd = StringMember(&payload, L"cwd");
  context.model = StringMember(&payload, L"model");
  if (const JsonValue* source = json::Lookup(payload, L"source")) {
    context.fromVsCode = source->IsString() && source->text == L"vscode";
  } else {
    context.fromVsCode = StringMember(&payload, L"originator") == L"codex_vscode";
  }
  std::wstring threadSource = StringMember(&payload, L"thread_source");
  if (!threadSource.empty() && threadSource != L"user") context.fromVsCode = false;
  context.turnModel = context.model.empty() ? CodexTurnModel::kOpen : CodexTurnModel::kAhead;
  context.twinPhases.clear();
}

void ReadTurnContext(const JsonValue& payload, CodexContext& context, CodexHold& hold, std::vector<AiRecord>& out) {
  std::wstring cwd = StringMember(&payload, L"cwd");
  if (!cwd.empty()) context.cwd = cwd;
  std::wstring model = StringMember(&payload, L"model");
  if (!model.empty()) context.model = model;
  if (HoldsPrompt(hold)) {
    // The turn of the held prompt: now its model is known.
    hold.record.model = context.model;
    Release(hold, out);
    context.turnModel = CodexTurnModel::kOpen;
    return;
  }
  Release(hold, out);
  context.turnModel =
      context.turnModel == CodexTurnModel::kAwaited ? CodexTurnModel::kOpen : CodexTurnModel::kAhead;
}

// A response_item message of the assistant: the twin of an agent_message event.
void ReadAssistantItem(const JsonValue& payload, CodexContext& context, CodexHold& hold,
                       std::vector<AiRecord>& out) {
  if (StringMember(&payload, L"type") != L"message" || StringMember(&payload, L"role") != L"assistant") return;
  std::wstring text;
  if (const JsonValue* content = Member(&payload, L"content"); content != nullptr && content->IsArray()) {
    for (const auto& element : content->items) text += StringMember(&element, L"text");
  }
  std::wstring phase = StringMember(&payload, L"phase");
  uint64_t hash = TextHash(text);
  if (HoldsReply(hold) && context.heldReplyText == hash) {
    if (IsKnownPhase(phase)) hold.record.phase = phase;
    Release(hold, out);
    return;
  }
  context.twinPhases.emplace_back(hash, std::move(phase));
  if (context.twinPhases.size() > kTwinsKept) context.twinPhases.erase(context.twinPhases.begin());
}

// The phase of the twin read before the event, which is then used up.
bool TakeTwinPhase(CodexContext& context, uint64_t hash, std::wstring& phase) {
  auto twin = std::find_if(context.twinPhases.begin(), context.twinPhases.end(),
                           [hash](const auto& entry) { return entry.first == hash; });
  if (twin == context.twinPhases.end()) return false;
  phase = std::move(twin->second);
  context.twinPhases.erase(twin);
  return true;
}

void AppendContentText(const JsonValue* item, const wchar_t* type, std::wstring& text) {
  const JsonValue* content = Member(item, L"content");
  if (content == nullptr || !content->IsArray()) return;
  for (const auto& element : content->items) {
    if (StringMember(&element, L"type") == type) text += StringMember(&element, L"text");
  }
}

void AddContentImages(const JsonValue* item, AiRecord& record) {
  const JsonValue* content = Member(item, L"content");
  if (content == nullptr || !content->IsArray()) return;
  for (const auto& element : content->items) {
    std::wstring type = StringMember(&element, L"type");
    if (type == L"image") AddAttachmentReference(record, StringMember(&element, L"image_url"), L"");
    if (type == L"local_image") AddAttachmentReference(record, StringMember(&element, L"path"), L"");
  }
}

// `record` carries the common fields; `holder` is the item or the payload.
void HandlePrompt(AiRecord&& record, const JsonValue& holder, const JsonValue* item, bool ownModel, bool modelAhead,
                  uint64_t offset, CodexContext& context, CodexHold& hold, std::vector<AiRecord>& out) {
  AddContentImages(item, record);
  std::wstring id = StringMember(&holder, L"client_id");
  if (id.empty() && item != nullptr) id = StringMember(item, L"id");
  if (id.empty()) id = record.timestamp + L":" + std::to_wstring(offset);
  record.key = record.session + L":" + id;
  for (const wchar_t* list : {L"images", L"local_images", L"files", L"local_files", L"attachments", L"audio",
                              L"local_audio"}) {
    AddAttachmentsUnderKey(holder, list, record);
  }
  AddFilesNamedInText(record);
  if (IsBlank(record.text) && record.attachments.empty()) return;
  context.lastPromptKey = record.key;
  context.lastPromptTime = record.localTime;
  context.lastPromptTimestamp = record.timestamp;
  context.lastPromptDate = record.localDate;
  if (ownModel || modelAhead) {
    context.turnModel = CodexTurnModel::kOpen;
    out.push_back(std::move(record));
  } else {
    Hold(hold, std::move(record));
  }
}

void HandleReply(AiRecord&& record, const JsonValue& holder, const Date& since, CodexContext& context,
                 CodexHold& hold, std::vector<AiRecord>& out) {
  std::wstring phase = StringMember(&holder, L"phase");
  if (!IsKnownPhase(phase)) return;
  if (context.lastPromptKey.empty() || !dates::IsValid(context.lastPromptDate) ||
      dates::Less(context.lastPromptDate, since)) {
    return;
  }
  record.isReply = true;
  record.phase = phase;
  record.parentKey = context.lastPromptKey;
  record.requestTime = context.lastPromptTime;
  record.requestTimestamp = context.lastPromptTimestamp;
  record.localDate = context.lastPromptDate;
  // The key is made from the event alone, even when the phase comes from its twin, so
  // that replies filed before twins were read are recognised.
  record.key = record.session + L":assistant:" + record.timestamp + L":" + Fnv1aHex(phase + L"\n" + record.text);
  uint64_t textHash = TextHash(record.text);
  std::wstring twinPhase;
  bool twinRead = TakeTwinPhase(context, textHash, twinPhase);
  record.text = CleanReplyText(record.text);
  if (record.text.empty()) return;
  if (phase.empty()) {
    if (!twinRead) {
      context.heldReplyText = textHash;
      Hold(hold, std::move(record));
      return;
    }
    if (IsKnownPhase(twinPhase)) record.phase = twinPhase;
  }
  out.push_back(std::move(record));
}

}  // namespace

void HandleCodexLine(std::string_view line, uint64_t offset, CodexContext& context, CodexHold hold,
                     const Date& since, std::vector<AiRecord>& out) {
  if (!MayMatter(line)) return;
  JsonValue root;
  std::wstring error;
  if (!json::Parse(utf8::ToWide(line), false, root, error) || !root.IsObject()) return;
  const JsonValue* payload = json::Lookup(root, L"payload");
  if (payload == nullptr || !payload->IsObject()) return;
  std::wstring type = StringMember(&root, L"type");
  if (type == L"session_meta") {
    ReadSessionMeta(*payload, context, hold, out);
    return;
  }
  if (type == L"turn_context") {
    ReadTurnContext(*payload, context, hold, out);
    return;
  }
  if (!context.fromVsCode || context.session.empty() || context.cwd.empty()) return;
  if (type == L"response_item") {
    ReadAssistantItem(*payload, context, hold, out);
    return;
  }
  if (type != L"event_msg") return;

  const JsonValue* item = StringMember(payload, L"type") == L"item_completed" ? Member(payload, L"item") : nullptr;
  if (item != nullptr && !item->IsObject()) item = nullptr;
  const JsonValue* holder = item != nullptr ? item : payload;
  std::wstring kind = StringMember(holder, L"type");
  bool prompt = kind == L"user_message" || kind == L"UserMessage";
  bool reply = kind == L"agent_message" || kind == L"AgentMessage";
  if (!prompt && !reply) return;
  const JsonValue* model = Member(payload, L"model");
  bool ownModel = model != nullptr && model->IsString();
  bool modelAhead = context.turnModel == CodexTurnModel::kAhead;
  if (prompt) {
    Release(hold, out);  // the turn before is over
    context.lastPromptKey.clear();
    context.twinPhases.clear();
    // A turn_context read from here on belongs to this prompt's turn.
    context.turnModel = CodexTurnModel::kAwaited;
  } else if (HoldsPrompt(hold)) {
    // The turn's first reply: its model is the one the prompt went to.
    hold.record.model = ownModel ? model->text : context.model;
    Release(hold, out);
    context.turnModel = CodexTurnModel::kOpen;
  } else {
    Release(hold, out);  // a held reply whose twin did not come before the next message
    if (context.turnModel == CodexTurnModel::kAwaited) context.turnModel = CodexTurnModel::kOpen;
  }

  AiRecord record;
  record.timestamp = StringMember(&root, L"timestamp");
  if (!UtcToLocal(record.timestamp, record.localDate, record.localTime)) return;
  if (dates::Less(record.localDate, since)) return;
  record.session = context.session;
  record.cwd = context.cwd;
  record.model = ownModel ? model->text : context.model;
  record.sourceKind = kAiSourceCodex;
  record.text = StringMember(holder, L"message");
  if (item != nullptr) AppendContentText(item, prompt ? L"text" : L"Text", record.text);
  if (prompt) {
    HandlePrompt(std::move(record), *holder, item, ownModel, modelAhead, offset, context, hold, out);
  } else {
    HandleReply(std::move(record), *holder, since, context, hold, out);
  }
}

}  // namespace aisync
