#include "aisync/codex_reader.h"

#include "aisync/log_time.h"
#include "aisync/message_attachments.h"
#include "aisync/reply_cleanup.h"
#include "model/json.h"
#include "model/utf8.h"

namespace aisync {
namespace {

// Most lines of a session log are tool output; only these words can make a line matter,
// and looking for them in the raw bytes spares the JSON parse of everything else.
bool MayMatter(std::string_view line) {
  for (std::string_view word : {std::string_view("session_meta"), std::string_view("turn_context"),
                                std::string_view("\"user_message\""), std::string_view("\"agent_message\""),
                                std::string_view("\"UserMessage\""), std::string_view("\"AgentMessage\"")}) {
    if (line.find(word) != std::string_view::npos) return true;
  }
  return false;
}

const JsonValue* Member(const JsonValue* object, std::wstring_view key) {
  return object != nullptr ? json::Lookup(*object, key) : nullptr;
}

std::wstring StringMember(const JsonValue* object, std::wstring_view key) {
  const JsonValue* value = Member(object, key);
  return value != nullptr && value->IsString() ? value->text : std::wstring();
}

bool IsBlank(const std::wstring& text) { return text.find_first_not_of(L" \t\r\n") == std::wstring::npos; }

void ReadSessionMeta(const JsonValue& payload, CodexContext& context) {
  const JsonValue* id = json::Lookup(payload, L"id");
  context.session = id != nullptr && id->IsString() ? id->text : StringMember(&payload, L"session_id");
  context.cwd = StringMember(&payload, L"cwd");
  context.model = StringMember(&payload, L"model");
  if (const JsonValue* source = json::Lookup(payload, L"source")) {
    context.fromVsCode = source->IsString() && source->text == L"vscode";
  } else {
    context.fromVsCode = StringMember(&payload, L"originator") == L"codex_vscode";
  }
  std::wstring threadSource = StringMember(&payload, L"thread_source");
  if (!threadSource.empty() && threadSource != L"user") context.fromVsCode = false;
}

void ReadTurnContext(const JsonValue& payload, CodexContext& context) {
  std::wstring cwd = StringMember(&payload, L"cwd");
  if (!cwd.empty()) context.cwd = cwd;
  std::wstring model = StringMember(&payload, L"model");
  if (!model.empty()) context.model = model;
}

void AppendContentText(const JsonValue* item, const wchar_t* type, std::wstring& text) {
  const JsonValue* content = Member(item, L"content");
  if (content == nullptr || !content->IsArray()) return;
  for (const auto& element : content->items) {
    if (StringMember(&element, L"type") == type) text += StringMember(&element, L"text");
  }
}

}  // namespace

void HandleCodexLine(std::string_view line, uint64_t offset, CodexContext& context, const Date& since,
                     std::vector<AiRecord>& out) {
  if (!MayMatter(line)) return;
  JsonValue root;
  std::wstring error;
  if (!json::Parse(utf8::ToWide(line), false, root, error) || !root.IsObject()) return;
  const JsonValue* payload = json::Lookup(root, L"payload");
  if (payload == nullptr || !payload->IsObject()) return;
  std::wstring type = StringMember(&root, L"type");
  if (type == L"session_meta") {
    ReadSessionMeta(*payload, context);
    return;
  }
  if (type == L"turn_context") {
    ReadTurnContext(*payload, context);
    return;
  }
  if (!context.fromVsCode || context.session.empty() || context.cwd.empty() || type != L"event_msg") return;

  const JsonValue* item = StringMember(payload, L"type") == L"item_completed" ? Member(payload, L"item") : nullptr;
  if (item != nullptr && !item->IsObject()) item = nullptr;
  const JsonValue* holder = item != nullptr ? item : payload;
  std::wstring kind = StringMember(holder, L"type");
  bool prompt = kind == L"user_message" || kind == L"UserMessage";
  bool reply = kind == L"agent_message" || kind == L"AgentMessage";
  if (prompt) context.lastPromptKey.clear();
  if (!prompt && !reply) return;

  AiRecord record;
  record.timestamp = StringMember(&root, L"timestamp");
  if (!UtcToLocal(record.timestamp, record.localDate, record.localTime)) return;
  if (dates::Less(record.localDate, since)) return;
  record.session = context.session;
  record.cwd = context.cwd;
  const JsonValue* model = Member(payload, L"model");
  record.model = model != nullptr && model->IsString() ? model->text : context.model;
  record.sourceKind = kAiSourceCodex;
  record.text = StringMember(holder, L"message");
  if (item != nullptr) AppendContentText(item, prompt ? L"text" : L"Text", record.text);

  if (prompt) {
    if (const JsonValue* content = Member(item, L"content"); content != nullptr && content->IsArray()) {
      for (const auto& element : content->items) {
        std::wstring elementType = StringMember(&element, L"type");
        if (elementType == L"image") AddAttachmentReference(record, StringMember(&element, L"image_url"), L"");
        if (elementType == L"local_image") AddAttachmentReference(record, StringMember(&element, L"path"), L"");
      }
    }
    std::wstring id = StringMember(holder, L"client_id");
    if (id.empty() && item != nullptr) id = StringMember(item, L"id");
    if (id.empty()) id = record.timestamp + L":" + std::to_wstring(offset);
    record.key = record.session + L":" + id;
    for (const wchar_t* list : {L"images", L"local_images", L"files", L"local_files", L"attachments", L"audio",
                                L"local_audio"}) {
      AddAttachmentsUnderKey(*holder, list, record);
    }
    AddFilesNamedInText(record);
    if (IsBlank(record.text) && record.attachments.empty()) return;
    context.lastPromptKey = record.key;
    context.lastPromptTime = record.localTime;
    context.lastPromptTimestamp = record.timestamp;
    context.lastPromptDate = record.localDate;
    out.push_back(std::move(record));
    return;
  }

  std::wstring phase = StringMember(holder, L"phase");
  if (!phase.empty() && phase != L"commentary" && phase != L"final_answer" && phase != L"final") return;
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
  record.key = record.session + L":assistant:" + record.timestamp + L":" + Fnv1aHex(phase + L"\n" + record.text);
  record.text = CleanReplyText(record.text);
  if (record.text.empty()) return;
  out.push_back(std::move(record));
}

}  // namespace aisync
