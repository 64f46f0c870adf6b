// The program's own JSON reader (strict, or lenient for comments and trailing commas)
// and its writer with one fixed pretty layout.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class JsonKind : int32_t { Null = 0, Bool = 1, Number = 2, String = 3, Array = 4, Object = 5 };

struct JsonValue {
  JsonKind kind = JsonKind::Null;
  bool boolean = false;
  double number = 0;
  std::wstring text;
  std::vector<JsonValue> items;
  std::vector<std::pair<std::wstring, JsonValue>> members;

  // Defined where JsonValue is complete: the members' pair type needs it, and only some
  // compilers put off instantiating the implicit ones until then.
  JsonValue();
  ~JsonValue();
  JsonValue(const JsonValue&);
  JsonValue(JsonValue&&) noexcept;
  JsonValue& operator=(const JsonValue&);
  JsonValue& operator=(JsonValue&&) noexcept;

  static JsonValue MakeBool(bool value);
  static JsonValue MakeNumber(double value);
  static JsonValue MakeString(std::wstring value);
  static JsonValue MakeArray();
  static JsonValue MakeObject();

  bool IsObject() const { return kind == JsonKind::Object; }
  bool IsArray() const { return kind == JsonKind::Array; }
  bool IsString() const { return kind == JsonKind::String; }
  bool IsNumber() const { return kind == JsonKind::Number; }
  bool IsBool() const { return kind == JsonKind::Bool; }
};

bool operator==(const JsonValue& a, const JsonValue& b);

namespace json {

// Parses a whole document. On failure `error` holds the translated message with the
// translated position suffix; `root` is then unspecified. On success `error` is left as
// it was. Never throws for bad input.
bool Parse(std::wstring_view text, bool lenient, JsonValue& root, std::wstring& error);

// First member with exactly this key; null for a missing key or a non-object.
const JsonValue* Lookup(const JsonValue& object, std::wstring_view key);
JsonValue* Lookup(JsonValue& object, std::wstring_view key);
// These three first turn a value of another kind into an empty object (or array).
// Replaces the first member with this key in place, or appends one.
void SetMember(JsonValue& object, std::wstring key, JsonValue value);
void AppendMember(JsonValue& object, std::wstring key, JsonValue value);
void PushItem(JsonValue& array, JsonValue value);

// A member's value when it exists and has the right kind, else the fallback.
std::wstring StringOr(const JsonValue& object, std::wstring_view key, std::wstring_view fallback = {});
double NumberOr(const JsonValue& object, std::wstring_view key, double fallback);
bool BoolOr(const JsonValue& object, std::wstring_view key, bool fallback);

// Appends the text of a value; pretty output indents two spaces per level. Infinities
// are written as 1e999 and -1e999 (which read back as the same infinity) and NaN as
// null, so nothing written is rejected by Parse.
void Serialize(const JsonValue& value, bool pretty, int depth, std::wstring& out);
// Pretty text at depth 0 plus one line feed.
std::wstring WriteDocument(const JsonValue& value);
// The same document as UTF-8 bytes, produced without the UTF-16 detour.
std::string WriteDocumentUtf8(const JsonValue& value);

// Reads a document (strict rules) piece by piece, for callers that keep only part of a
// large document and need no tree. It accepts exactly what Parse accepts; it gives no
// message: on a failure the caller parses again with Parse to learn what is wrong.
// Over UTF-8 bytes (Char = char) it decodes only the strings it hands out, as the whole
// text would decode, and it also fails at any byte above 0x7F outside a string (where
// Parse of the decoded text would skip U+FEFF as white space): the caller then reads the
// decoded text instead.
template <typename Char>
class BasicPullReader {
 public:
  explicit BasicPullReader(std::basic_string_view<Char> text);
  ~BasicPullReader();
  BasicPullReader(const BasicPullReader&) = delete;
  BasicPullReader& operator=(const BasicPullReader&) = delete;

  // The kind of the next value, judged by its first character (Null also stands for
  // anything that is no value at all: reading it then fails).
  JsonKind Peek();
  bool BeginObject();
  bool BeginArray();
  // The next member of the open object; false at its end (or on a failure).
  bool NextMember(std::wstring& key);
  // The same with the key as a view: into the text when it has no escapes, else into
  // `scratch`. The view lasts until the next call that reads.
  bool NextMember(std::wstring_view& key, std::wstring& scratch);
  // Whether the open array has another item; false at its end (or on a failure).
  bool NextItem();
  bool ReadString(std::wstring& out);
  // A string as a view, as NextMember gives keys: no copy for a string without escapes.
  bool ReadStringView(std::wstring_view& out, std::wstring& scratch);
  // A number alone, without a value around it.
  bool ReadNumber(double& out);
  bool ReadValue(JsonValue& out);
  bool Skip();
  // True when the whole document was read and only white space follows.
  bool Finish();
  bool failed() const;

 private:
  bool Begin(wchar_t open);
  bool Next(wchar_t close);
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

using PullReader = BasicPullReader<wchar_t>;
using Utf8PullReader = BasicPullReader<char>;
extern template class BasicPullReader<wchar_t>;
extern template class BasicPullReader<char>;

// Writes a document in the same pretty UTF-8 layout as WriteDocumentUtf8 without
// building a tree first: for large documents whose values already live elsewhere.
class Utf8StreamWriter {
 public:
  explicit Utf8StreamWriter(std::string& out);
  ~Utf8StreamWriter();
  Utf8StreamWriter(const Utf8StreamWriter&) = delete;
  Utf8StreamWriter& operator=(const Utf8StreamWriter&) = delete;

  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  void Key(std::wstring_view key);  // followed by exactly one value
  void String(std::wstring_view text);
  void Number(double value);
  void Bool(bool value);
  void Null();
  void EndDocument();  // the final line feed

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace json
