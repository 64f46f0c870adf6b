#include "aisync/chat_document.h"

#include <cmath>

#include "model/utf8.h"

namespace aisync {
namespace {

std::string_view WithoutBom(std::string_view bytes) {
  return bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
}

bool AsIndex(double number, size_t size, size_t& index) {
  if (!(number >= 0) || number != std::floor(number) || number >= static_cast<double>(size)) return false;
  index = static_cast<size_t>(number);
  return true;
}

// The value the key path leads to, creating missing object members on the way; null when
// the path runs into something it cannot enter.
JsonValue* Walk(JsonValue& document, const JsonValue* path) {
  JsonValue* at = &document;
  if (path == nullptr || !path->IsArray()) return at;
  for (const auto& step : path->items) {
    if (step.IsString()) {
      if (at->kind == JsonKind::Null) *at = JsonValue::MakeObject();
      if (!at->IsObject()) return nullptr;
      JsonValue* member = json::Lookup(*at, step.text);
      if (member == nullptr) {
        at->members.emplace_back(step.text, JsonValue());
        member = &at->members.back().second;
      }
      at = member;
    } else if (step.IsNumber()) {
      size_t index = 0;
      if (!at->IsArray() || !AsIndex(step.number, at->items.size(), index)) return nullptr;
      at = &at->items[index];
    } else {
      return nullptr;
    }
  }
  return at;
}

}  // namespace

void ApplyChatPatch(std::string_view line, JsonValue& document) {
  if (line.find_first_not_of(" \t\r\n") == std::string_view::npos) return;
  JsonValue patch;
  std::wstring error;
  if (!json::Parse(utf8::ToWide(line), false, patch, error) || !patch.IsObject()) return;
  double kind = json::NumberOr(patch, L"kind", -1);
  JsonValue* value = json::Lookup(patch, L"v");
  if (kind == 0) {
    document = value != nullptr ? std::move(*value) : JsonValue();
    return;
  }
  if (kind != 1 && kind != 2 && kind != 3) return;
  JsonValue* target = Walk(document, json::Lookup(patch, L"k"));
  if (target == nullptr) return;
  if (kind == 1) {
    if (value != nullptr) *target = std::move(*value);
  } else if (kind == 2) {
    if (!target->IsArray()) return;
    if (const JsonValue* cut = json::Lookup(patch, L"i"); cut != nullptr && cut->IsNumber()) {
      size_t keep = 0;
      // A fractional cut keeps the whole elements below it.
      if (cut->number >= 0 && cut->number < static_cast<double>(target->items.size())) {
        keep = static_cast<size_t>(cut->number);
        target->items.resize(keep);
      }
    }
    if (value != nullptr && value->IsArray()) {
      for (auto& item : value->items) target->items.push_back(std::move(item));
    }
  } else {
    *target = JsonValue();
  }
}

bool ChatDocumentFromJson(std::string_view bytes, JsonValue& document) {
  std::wstring error;
  return json::Parse(utf8::ToWide(WithoutBom(bytes)), false, document, error) && document.IsObject();
}

bool ChatDocumentFromPatchLog(std::string_view bytes, JsonValue& document) {
  document = JsonValue();
  bytes = WithoutBom(bytes);
  while (!bytes.empty()) {
    size_t end = bytes.find('\n');
    ApplyChatPatch(bytes.substr(0, end), document);
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
  }
  return document.IsObject();
}

}  // namespace aisync
