#include "aisync/record_block.h"

#include "aisync/log_time.h"
#include "model/date.h"
#include "model/project.h"

namespace aisync {

namespace {

// The heading must stay on one line, or the entry's heading scan would not find it.
std::wstring ModelLabel(const std::wstring& model) {
  if (model.empty()) return L"모델 미확인";
  std::wstring label = model;
  for (wchar_t& c : label) {
    if (c == L'\r' || c == L'\n') c = L' ';
  }
  return label;
}

// Logs break lines with a bare LF (some with CR LF); Windows edit controls show only
// CR LF as a break, and one block must not mix the two.
std::wstring WithCrLf(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' || text[i] == L'\n') {
      out += L"\r\n";
      if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::wstring HeadingLabel(const AiRecord& record) {
  if (!record.isReply) return std::wstring(AiSourceName(record.sourceKind));
  return SourceLabel(record.sourceKind) + (record.phase == L"commentary" ? L" 진행" : L" 답변");
}

}  // namespace

std::wstring SourceLabel(int32_t sourceKind) {
  std::wstring_view name = AiSourceShortName(sourceKind);
  return name.empty() ? std::wstring(L"AI") : std::wstring(name);
}

std::wstring RecordFolderName(const AiRecord& record) {
  std::wstring time;
  for (wchar_t c : record.localTime) {
    if (c != L':') time.push_back(c);
  }
  return dates::ToStorageText(record.localDate) + L"\\" + time + L"_" + Fnv1aHex(record.key);
}

std::wstring EntryBlock(const AiRecord& record, const std::vector<std::wstring>& attachmentPaths,
                        const std::wstring& recordFolder) {
  std::wstring block = L"[" + HeadingLabel(record) + L" · " + record.localTime;
  if (record.isReply) block += L" · 요청 " + record.requestTime;
  block += L" · " + ModelLabel(record.model) + L"]";
  block += L"\r\n" + WithCrLf(record.text);
  for (const std::wstring& path : attachmentPaths) block += L"\r\n첨부: " + path;
  block += L"\r\n기록: " + recordFolder;
  return block;
}

JsonValue RecordJson(const AiRecord& record, const std::vector<std::wstring>& fileNames) {
  JsonValue object = JsonValue::MakeObject();
  json::AppendMember(object, L"source", JsonValue::MakeString(std::wstring(AiSourceName(record.sourceKind))));
  json::AppendMember(object, L"model", JsonValue::MakeString(record.model));
  json::AppendMember(object, L"role", JsonValue::MakeString(record.isReply ? L"assistant" : L"user"));
  if (record.isReply) {
    json::AppendMember(object, L"phase", JsonValue::MakeString(record.phase));
    json::AppendMember(object, L"parentKey", JsonValue::MakeString(record.parentKey));
    json::AppendMember(object, L"requestTime", JsonValue::MakeString(record.requestTime));
    json::AppendMember(object, L"requestTimestamp", JsonValue::MakeString(record.requestTimestamp));
  }
  json::AppendMember(object, L"key", JsonValue::MakeString(record.key));
  json::AppendMember(object, L"session", JsonValue::MakeString(record.session));
  json::AppendMember(object, L"cwd", JsonValue::MakeString(record.cwd));
  if (!record.workspace.empty()) json::AppendMember(object, L"workspace", JsonValue::MakeString(record.workspace));
  json::AppendMember(object, L"timestamp", JsonValue::MakeString(record.timestamp));
  json::AppendMember(object, L"localDate", JsonValue::MakeString(dates::ToStorageText(record.localDate)));
  json::AppendMember(object, L"text", JsonValue::MakeString(record.text));
  JsonValue files = JsonValue::MakeArray();
  for (const std::wstring& name : fileNames) json::PushItem(files, JsonValue::MakeString(name));
  json::AppendMember(object, L"files", std::move(files));
  return object;
}

}  // namespace aisync
