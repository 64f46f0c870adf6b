// The JSON value type and its member and item helpers. The reader lives in
// json_reader.cpp, the writer in json_writer.cpp.
#include "model/json.h"

JsonValue::JsonValue() = default;
JsonValue::~JsonValue() = default;
JsonValue::JsonValue(const JsonValue&) = default;
JsonValue::JsonValue(JsonValue&&) noexcept = default;
JsonValue& JsonValue::operator=(const JsonValue&) = default;
JsonValue& JsonValue::operator=(JsonValue&&) noexcept = default;

JsonValue JsonValue::MakeBool(bool value) {
  JsonValue v;
  v.kind = JsonKind::Bool;
  v.boolean = value;
  return v;
}

JsonValue JsonValue::MakeNumber(double value) {
  JsonValue v;
  v.kind = JsonKind::Number;
  v.number = value;
  return v;
}

JsonValue JsonValue::MakeString(std::wstring value) {
  JsonValue v;
  v.kind = JsonKind::String;
  v.text = std::move(value);
  return v;
}

JsonValue JsonValue::MakeArray() {
  JsonValue v;
  v.kind = JsonKind::Array;
  return v;
}

JsonValue JsonValue::MakeObject() {
  JsonValue v;
  v.kind = JsonKind::Object;
  return v;
}

bool operator==(const JsonValue& a, const JsonValue& b) {
  if (a.kind != b.kind) return false;
  // Only the field that the kind uses takes part: a value built by hand may carry
  // leftovers in the others that the writer never shows.
  switch (a.kind) {
    case JsonKind::Null: return true;
    case JsonKind::Bool: return a.boolean == b.boolean;
    case JsonKind::Number: return a.number == b.number;
    case JsonKind::String: return a.text == b.text;
    case JsonKind::Array: return a.items == b.items;
    case JsonKind::Object: return a.members == b.members;
  }
  return false;
}

namespace json {
namespace {

// A value that is asked to hold members or items takes that kind first, so a
// default-constructed value can be filled without a separate MakeObject call.
void BecomeObject(JsonValue& value) {
  if (value.kind != JsonKind::Object) value = JsonValue::MakeObject();
}

}  // namespace

const JsonValue* Lookup(const JsonValue& object, std::wstring_view key) {
  if (object.kind != JsonKind::Object) return nullptr;
  for (const auto& member : object.members) {
    if (member.first == key) return &member.second;
  }
  return nullptr;
}

JsonValue* Lookup(JsonValue& object, std::wstring_view key) {
  return const_cast<JsonValue*>(Lookup(static_cast<const JsonValue&>(object), key));
}

void SetMember(JsonValue& object, std::wstring key, JsonValue value) {
  BecomeObject(object);
  if (JsonValue* existing = Lookup(object, key)) {
    *existing = std::move(value);
    return;
  }
  object.members.emplace_back(std::move(key), std::move(value));
}

void AppendMember(JsonValue& object, std::wstring key, JsonValue value) {
  BecomeObject(object);
  object.members.emplace_back(std::move(key), std::move(value));
}

void PushItem(JsonValue& array, JsonValue value) {
  if (array.kind != JsonKind::Array) array = JsonValue::MakeArray();
  array.items.push_back(std::move(value));
}

std::wstring StringOr(const JsonValue& object, std::wstring_view key, std::wstring_view fallback) {
  const JsonValue* v = Lookup(object, key);
  if (v != nullptr && v->kind == JsonKind::String) return v->text;
  return std::wstring(fallback);
}

double NumberOr(const JsonValue& object, std::wstring_view key, double fallback) {
  const JsonValue* v = Lookup(object, key);
  return v != nullptr && v->kind == JsonKind::Number ? v->number : fallback;
}

bool BoolOr(const JsonValue& object, std::wstring_view key, bool fallback) {
  const JsonValue* v = Lookup(object, key);
  return v != nullptr && v->kind == JsonKind::Bool ? v->boolean : fallback;
}

}  // namespace json
