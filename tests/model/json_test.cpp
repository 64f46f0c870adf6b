#include "model/json.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "i18n/language.h"
#include "i18n/translate.h"
#include "model/utf8.h"
#include "support/language_scope.h"

namespace {

using testpaths::LanguageScope;

struct ParseResult {
  bool ok = false;
  JsonValue value;
  std::wstring error;
};

ParseResult Read(std::wstring_view text, bool lenient = false) {
  ParseResult r;
  r.ok = json::Parse(text, lenient, r.value, r.error);
  return r;
}

// The message the reader gives in Korean, where the text is the key itself.
std::wstring KoreanError(const wchar_t* key, size_t position) {
  return std::wstring(key) + L" (위치 " + std::to_wstring(position) + L")";
}

std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

std::wstring Compact(const JsonValue& v) {
  std::wstring out;
  json::Serialize(v, false, 0, out);
  return out;
}

std::wstring Pretty(const JsonValue& v, int depth = 0) {
  std::wstring out;
  json::Serialize(v, true, depth, out);
  return out;
}

std::wstring NumberText(double d) { return Compact(JsonValue::MakeNumber(d)); }

uint64_t Bits(double d) {
  uint64_t b;
  std::memcpy(&b, &d, sizeof(b));
  return b;
}

std::wstring Nested(int levels, wchar_t open, wchar_t close) {
  return std::wstring(static_cast<size_t>(levels), open) + std::wstring(static_cast<size_t>(levels), close);
}

// ---------------------------------------------------------------------------------
// The documented edge cases

TEST(JsonReader, TrailingCommaOnlyInLenientMode) {
  LanguageScope korean(i18n::kKorean);
  ParseResult strict = Read(L"[1, 2,]");
  EXPECT_FALSE(strict.ok);
  EXPECT_EQ(strict.error, KoreanError(L"잘못된 값입니다.", 6));

  ParseResult lenient = Read(L"[1, 2,]", true);
  ASSERT_TRUE(lenient.ok) << lenient.error;
  ASSERT_EQ(lenient.value.items.size(), 2u);
  EXPECT_EQ(lenient.value.items[1].number, 2);

  ParseResult object = Read(L"{\"a\": 1, }", true);
  ASSERT_TRUE(object.ok) << object.error;
  EXPECT_EQ(object.value.members.size(), 1u);
  EXPECT_EQ(Read(L"{\"a\": 1, }").error, KoreanError(L"객체 형식이 잘못되었습니다.", 9));

  // One trailing comma is tolerated, not an empty slot.
  EXPECT_EQ(Read(L"[1,,]", true).error, KoreanError(L"잘못된 값입니다.", 3));
  EXPECT_EQ(Read(L"[,]", true).error, KoreanError(L"잘못된 값입니다.", 1));
  EXPECT_EQ(Read(L"{,}", true).error, KoreanError(L"객체 형식이 잘못되었습니다.", 1));
}

TEST(JsonReader, CommentsOnlyInLenientMode) {
  LanguageScope korean(i18n::kKorean);
  const std::wstring text = L"// settings of the editor\n{ /* the only one */ \"a\": [1 /* one */, 2] // end\n}";
  ParseResult lenient = Read(text, true);
  ASSERT_TRUE(lenient.ok) << lenient.error;
  ASSERT_EQ(lenient.value.members.size(), 1u);
  EXPECT_EQ(lenient.value.members[0].first, L"a");
  EXPECT_EQ(lenient.value.members[0].second.items.size(), 2u);

  EXPECT_EQ(Read(text).error, KoreanError(L"잘못된 값입니다.", 0));
  EXPECT_EQ(Read(L"1 // c").error, KoreanError(L"문서 끝에 알 수 없는 데이터가 있습니다.", 2));

  // A line comment runs to either kind of line break or to the end of the text.
  EXPECT_TRUE(Read(L"[1, // x\r2]", true).ok);
  EXPECT_TRUE(Read(L"1 // no line break", true).ok);
  EXPECT_TRUE(Read(L"/**/1/***/", true).ok);
  EXPECT_TRUE(Read(L"/* a */ /* b */ // c\n // d\n 1", true).ok);
}

TEST(JsonReader, UnterminatedBlockCommentFailsWhereItStarts) {
  LanguageScope korean(i18n::kKorean);
  EXPECT_EQ(Read(L"/* x", true).error, KoreanError(L"잘못된 값입니다.", 0));
  // "*/" is searched only after the opening pair, so "/*/" does not close itself.
  EXPECT_EQ(Read(L"/*/ 1", true).error, KoreanError(L"잘못된 값입니다.", 0));
  EXPECT_EQ(Read(L"[1 /* x", true).error, KoreanError(L"배열 형식이 잘못되었습니다.", 3));
  EXPECT_EQ(Read(L"[1] /* x *", true).error, KoreanError(L"문서 끝에 알 수 없는 데이터가 있습니다.", 4));
  // A lone slash is no comment.
  EXPECT_EQ(Read(L"1 /", true).error, KoreanError(L"문서 끝에 알 수 없는 데이터가 있습니다.", 2));
  EXPECT_EQ(Read(L"/* only */", true).error, KoreanError(L"예상치 못한 문서 끝입니다.", 10));
  EXPECT_EQ(Read(L"// only", true).error, KoreanError(L"예상치 못한 문서 끝입니다.", 7));
}

TEST(JsonReader, NestingIsLimitedTo200LevelsBelowTheRoot) {
  LanguageScope korean(i18n::kKorean);
  EXPECT_TRUE(Read(Nested(200, L'[', L']')).ok);
  EXPECT_TRUE(Read(Nested(201, L'[', L']')).ok);
  ParseResult deep = Read(Nested(202, L'[', L']'));
  EXPECT_FALSE(deep.ok);
  EXPECT_EQ(deep.error, KoreanError(L"중첩이 너무 깊습니다.", 201));

  // Objects count the same way: the value of a member is one level below its object.
  std::wstring objects;
  for (int i = 0; i < 201; ++i) objects += L"{\"k\":";
  objects += L"1";
  objects += std::wstring(201, L'}');
  EXPECT_FALSE(Read(objects).ok);
  std::wstring shallower = objects.substr(5, objects.size() - 6);  // 200 objects
  ParseResult ok = Read(shallower);
  EXPECT_TRUE(ok.ok) << ok.error;

  // The limit is checked before the white space in front of the value is skipped.
  std::wstring spaced;
  for (int i = 0; i < 201; ++i) spaced += L"{\"k\": ";
  EXPECT_EQ(Read(spaced + L"1").error, KoreanError(L"중첩이 너무 깊습니다.", 200 * 6 + 5));

  // A scalar at depth 201 is as deep as a container there.
  EXPECT_EQ(Read(std::wstring(201, L'[') + L"1" + std::wstring(201, L']')).error,
            KoreanError(L"중첩이 너무 깊습니다.", 201));
  // Far deeper input stops at the limit instead of exhausting the stack.
  EXPECT_EQ(Read(std::wstring(1000000, L'[')).error, KoreanError(L"중첩이 너무 깊습니다.", 201));
  EXPECT_EQ(Read(L"[ [\t[" + std::wstring(300, L'[')).error.find(L"중첩이"), 0u);
}

TEST(JsonReader, DataAfterTheDocumentIsRejected) {
  LanguageScope korean(i18n::kKorean);
  EXPECT_EQ(Read(L"{\"a\":1}x").error, KoreanError(L"문서 끝에 알 수 없는 데이터가 있습니다.", 7));
  EXPECT_EQ(Read(L"1 2").error, KoreanError(L"문서 끝에 알 수 없는 데이터가 있습니다.", 2));
  EXPECT_EQ(Read(L"truex").error, KoreanError(L"문서 끝에 알 수 없는 데이터가 있습니다.", 4));
  EXPECT_EQ(Read(L"0x10").error, KoreanError(L"문서 끝에 알 수 없는 데이터가 있습니다.", 1));
  EXPECT_EQ(Read(std::wstring(L"null\0", 5)).error, KoreanError(L"문서 끝에 알 수 없는 데이터가 있습니다.", 4));
  EXPECT_TRUE(Read(L" \t\r\n{}\r\n ").ok);
}

TEST(JsonReader, ByteOrderMarkIsWhiteSpaceAnywhere) {
  ParseResult plain = Read(L"{\"a\":[1,true]}");
  ParseResult bom = Read(L"\xFEFF{\"a\":[1,true]}");
  ASSERT_TRUE(plain.ok);
  ASSERT_TRUE(bom.ok) << bom.error;
  EXPECT_TRUE(plain.value == bom.value);
  ParseResult scattered = Read(L"\xFEFF{\xFEFF\"a\"\xFEFF:\xFEFF[\xFEFF" L"1\xFEFF,\xFEFFtrue]\xFEFF}\xFEFF");
  ASSERT_TRUE(scattered.ok) << scattered.error;
  EXPECT_TRUE(plain.value == scattered.value);
  // Inside a string it is text, not white space.
  EXPECT_EQ(Read(L"\"\xFEFF\"").value.text, L"\xFEFF");
  // Other Unicode spaces are not white space.
  EXPECT_FALSE(Read(L"\x00A0" L"1").ok);
  EXPECT_FALSE(Read(L"\x3000" L"1").ok);
}

// ---------------------------------------------------------------------------------
// Failure messages and positions

struct ErrorCase {
  const wchar_t* text;
  bool lenient;
  const wchar_t* message;
  size_t position;
};

TEST(JsonReader, EachFailureReportsItsMessageAndPosition) {
  LanguageScope korean(i18n::kKorean);
  const wchar_t* kEnd = L"예상치 못한 문서 끝입니다.";
  const wchar_t* kValue = L"잘못된 값입니다.";
  const wchar_t* kNumber = L"잘못된 숫자입니다.";
  const wchar_t* kEscape = L"잘못된 이스케이프 문자입니다.";
  const wchar_t* kUnicode = L"잘못된 유니코드 이스케이프입니다.";
  const wchar_t* kString = L"문자열이 닫히지 않았습니다.";
  const wchar_t* kArray = L"배열 형식이 잘못되었습니다.";
  const wchar_t* kObject = L"객체 형식이 잘못되었습니다.";
  const ErrorCase cases[] = {
      {L"", false, kEnd, 0},
      {L"  \r\n", false, kEnd, 4},
      {L"\xFEFF", false, kEnd, 1},
      {L"[", false, kEnd, 1},
      {L"[1,", false, kEnd, 3},
      {L"[1,", true, kEnd, 3},
      {L"{\"a\":", false, kEnd, 5},
      // Values
      {L"tru", false, kValue, 0},
      {L"True", false, kValue, 0},
      {L"nul", false, kValue, 0},
      {L"fals", false, kValue, 0},
      {L"+1", false, kValue, 0},
      {L".5", false, kValue, 0},
      {L"'a'", false, kValue, 0},
      {L"]", false, kValue, 0},
      {L"[1,]", false, kValue, 3},
      {L"{\"a\":}", false, kValue, 5},
      {L"[\x00A0]", false, kValue, 1},
      // Numbers: the whole token is consumed before it is judged.
      {L"-", false, kNumber, 1},
      {L"-a", false, kNumber, 1},
      {L"--1", false, kNumber, 3},
      {L"-+1", false, kNumber, 3},
      {L"1e", false, kNumber, 2},
      {L"1e+", false, kNumber, 3},
      {L"1E-", false, kNumber, 3},
      {L"1.2.3", false, kNumber, 5},
      {L"1.e", false, kNumber, 3},
      {L"-.", false, kNumber, 2},
      {L"-.e1", false, kNumber, 4},
      {L"1e1.5", false, kNumber, 5},
      {L"1-2", false, kNumber, 3},
      {L"1+", false, kNumber, 2},
      {L"[1, 2e-]", false, kNumber, 7},
      {L"{\"n\": 0e++1}", false, kNumber, 11},
      // Strings
      {L"\"abc", false, kString, 4},
      {L"\"abc\\", false, kString, 5},
      {L"\"", false, kString, 1},
      {L"[\"a]", false, kString, 4},
      {L"\"\\x\"", false, kEscape, 3},
      {L"\"\\U0041\"", false, kEscape, 3},
      {L"\"\\'\"", false, kEscape, 3},
      {L"\"ab\\0\"", false, kEscape, 5},
      {L"\"\\u", false, kUnicode, 3},
      {L"\"\\u12", false, kUnicode, 3},
      {L"\"\\u12\"", false, kUnicode, 3},
      {L"\"\\u123\"", false, kUnicode, 7},  // the closing quote was read as a digit
      {L"\"\\u12G4\"", false, kUnicode, 6},
      {L"\"\\u 123\"", false, kUnicode, 4},
      {L"\"\\u-123\"", false, kUnicode, 4},
      {L"{\"\\q\":1}", false, kEscape, 4},
      // Arrays
      {L"[1", false, kArray, 2},
      {L"[1 2]", false, kArray, 3},
      {L"[1;2]", false, kArray, 2},
      {L"[1}", false, kArray, 2},
      {L"[1,2", true, kArray, 4},
      // Objects
      {L"{", false, kObject, 1},
      {L"{ ", true, kObject, 2},
      {L"{\"a\"", false, kObject, 4},
      {L"{\"a\" 1}", false, kObject, 5},
      {L"{\"a\"=1}", false, kObject, 4},
      {L"{\"a\":1", false, kObject, 6},
      {L"{\"a\":1]", false, kObject, 6},
      {L"{\"a\":1 \"b\":2}", false, kObject, 7},
      {L"{\"a\":1,}", false, kObject, 7},
      {L"{\"a\":1,", true, kObject, 7},
      {L"{a:1}", false, kObject, 1},
      {L"{1:2}", false, kObject, 1},
      {L"{'a':1}", true, kObject, 1},
      {L"{\"a\":1,,}", true, kObject, 7},
      {L"{\"a", false, kString, 3},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "text: " << utf8::FromWide(c.text) << (c.lenient ? " (lenient)" : ""));
    ParseResult r = Read(c.text, c.lenient);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, KoreanError(c.message, c.position));
  }
}

TEST(JsonReader, MessagesAreTranslated) {
  ASSERT_GT(i18n::BuiltInTable().size(), 0u) << "the test program must carry the translation table";
  LanguageScope english(i18n::kEnglish);
  EXPECT_EQ(Read(L"[1, 2,]").error, L"Invalid value. (position 6)");
  EXPECT_EQ(Read(L"{\"a\":1}x").error, L"Unexpected data at the end of the document. (position 7)");
  EXPECT_EQ(Read(Nested(202, L'[', L']')).error, L"Nesting is too deep. (position 201)");
  EXPECT_EQ(Read(L"[").error, L"Unexpected end of document. (position 1)");
  EXPECT_EQ(Read(L"1e").error, L"Invalid number. (position 2)");
  EXPECT_EQ(Read(L"\"\\x\"").error, L"Invalid escape character. (position 3)");
  EXPECT_EQ(Read(L"\"\\u12\"").error, L"Invalid Unicode escape. (position 3)");
  EXPECT_EQ(Read(L"\"abc").error, L"Unterminated string. (position 4)");
  EXPECT_EQ(Read(L"[1 2]").error, L"Invalid array format. (position 3)");
  EXPECT_EQ(Read(L"{1:2}").error, L"Invalid object format. (position 1)");
}

TEST(JsonReader, MessagesFollowTheLanguageSwitch) {
  std::wstring english;
  {
    LanguageScope scope(i18n::kEnglish);
    english = Read(L"[1 2]").error;
  }
  {
    LanguageScope scope(i18n::kKorean);
    EXPECT_EQ(Read(L"[1 2]").error, L"배열 형식이 잘못되었습니다. (위치 3)");
  }
  EXPECT_EQ(Read(L"[1 2]").error, english);
  EXPECT_FALSE(english.empty());
  EXPECT_NE(english.find(L"3)"), std::wstring::npos);
}

TEST(JsonReader, FailureReplacesTheCallersMessageAndSuccessKeepsIt) {
  JsonValue root = JsonValue::MakeString(L"old");
  std::wstring error = L"previous text";
  EXPECT_FALSE(json::Parse(L"[", false, root, error));
  EXPECT_EQ(error.find(L"previous"), std::wstring::npos);
  EXPECT_FALSE(error.empty());

  // The root is rebuilt, not merged into.
  JsonValue target = JsonValue::MakeObject();
  json::AppendMember(target, L"stale", JsonValue::MakeBool(true));
  std::wstring none = L"untouched";
  ASSERT_TRUE(json::Parse(L"[7]", false, target, none));
  EXPECT_EQ(none, L"untouched");
  EXPECT_TRUE(target.IsArray());
  EXPECT_TRUE(target.members.empty());
  ASSERT_EQ(target.items.size(), 1u);
  EXPECT_EQ(target.items[0].number, 7);
}

// ---------------------------------------------------------------------------------
// Values

TEST(JsonReader, LiteralsAndScalarsAtTheRoot) {
  ParseResult t = Read(L"true");
  ASSERT_TRUE(t.ok);
  EXPECT_TRUE(t.value.IsBool());
  EXPECT_TRUE(t.value.boolean);
  ParseResult f = Read(L" false ");
  ASSERT_TRUE(f.ok);
  EXPECT_TRUE(f.value.IsBool());
  EXPECT_FALSE(f.value.boolean);
  ParseResult n = Read(L"null");
  ASSERT_TRUE(n.ok);
  EXPECT_EQ(n.value.kind, JsonKind::Null);
  ParseResult s = Read(L"\"\"");
  ASSERT_TRUE(s.ok);
  EXPECT_TRUE(s.value.IsString());
  EXPECT_TRUE(s.value.text.empty());
  // A literal ends after its own letters; the separator check belongs to the container.
  ParseResult packed = Read(L"[true,false,null,1,\"x\"]");
  ASSERT_TRUE(packed.ok) << packed.error;
  EXPECT_EQ(packed.value.items.size(), 5u);
  EXPECT_FALSE(Read(L"[truefalse]").ok);
}

TEST(JsonReader, StringsDecodeEveryEscape) {
  ParseResult r = Read(LR"("q\" s\/ b\\ \b\f\n\r\t \u0041\u00e9\u00E9\uAC00 \u0000")");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.value.text, std::wstring(L"q\" s/ b\\ \b\f\n\r\t A\xE9\xE9\xAC00 \0", 21));

  // Surrogate escapes become the units as written, paired or not.
  EXPECT_EQ(Read(L"\"\\uD83D\\uDE00\"").value.text, L"\xD83D\xDE00");
  EXPECT_EQ(Read(L"\"\\uDE00\\uD83D\"").value.text, L"\xDE00\xD83D");
  EXPECT_EQ(Read(L"\"x\\uD800\"").value.text, L"x\xD800");

  // Unescaped characters, controls and NUL included, are copied as they are.
  std::wstring raw(L"\"a\tb\nc\x01\0d\xD800\xFFFF\"", 12);
  ParseResult copied = Read(raw);
  ASSERT_TRUE(copied.ok) << copied.error;
  EXPECT_EQ(copied.value.text, raw.substr(1, raw.size() - 2));

  // Keys go through the same decoding.
  ParseResult key = Read(L"{\"a\\u0062\\n\":1}");
  ASSERT_TRUE(key.ok);
  EXPECT_EQ(key.value.members[0].first, L"ab\n");

  // Long runs with escapes between them keep every piece in order.
  std::wstring longText(5000, L'가');
  ParseResult longRun = Read(L"\"" + longText + L"\\n" + longText + L"\"");
  ASSERT_TRUE(longRun.ok);
  EXPECT_EQ(longRun.value.text, longText + L"\n" + longText);
}

TEST(JsonReader, NumbersFollowTheTokenRule) {
  struct Case {
    const wchar_t* text;
    double value;
  };
  const Case cases[] = {
      {L"0", 0},           {L"7", 7},         {L"007", 7},         {L"-12", -12},
      {L"1.", 1},          {L"-.5", -0.5},    {L"0.5", 0.5},       {L"2.50", 2.5},
      {L"1e3", 1000},      {L"1E3", 1000},    {L"1e+3", 1000},     {L"1e-3", 0.001},
      {L"1.e2", 100},      {L"-2.5E-1", -0.25}, {L"123456789012345", 123456789012345.0},
      {L"999999999999999", 999999999999999.0}, {L"-999999999999999", -999999999999999.0},
      {L"1234567890123456", 1234567890123456.0},
      {L"12345678901234567890", 12345678901234567890.0},
      {L"0000000000000000000000001", 1},
      {L"9007199254740993", 9007199254740992.0},  // halfway: ties to even
      {L"9007199254740995", 9007199254740996.0},
      {L"9007199254740993.0000000000000000001", 9007199254740994.0},
      {L"2.2250738585072011e-308", 2.2250738585072011e-308},
      {L"1.7976931348623157e308", 1.7976931348623157e308},
      {L"4.9e-324", std::numeric_limits<double>::denorm_min()},
      {L"0.1", 0.1},
      {L"1e23", 1e23},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(utf8::FromWide(c.text));
    ParseResult r = Read(c.text);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_TRUE(r.value.IsNumber());
    EXPECT_EQ(Bits(r.value.number), Bits(c.value));
  }
  EXPECT_TRUE(std::signbit(Read(L"-0").value.number));
  EXPECT_TRUE(std::signbit(Read(L"-0.0e5").value.number));
  EXPECT_FALSE(std::signbit(Read(L"0").value.number));
}

TEST(JsonReader, NumbersOutsideTheDoubleRangeSaturate) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    std::wstring text;
    double value;
  };
  const Case cases[] = {
      {L"1e999", inf},
      {L"-1e999", -inf},
      {L"1.7976931348623159e308", inf},
      {L"1e-999", 0},
      {L"2.4e-324", 0},
      {L"0.00001e-320", 0},
      {L"123e99999999999999999999", inf},
      {L"0.000000001e99999999999999999999", inf},
      {L"1e-99999999999999999999", 0},
      {L"0e99999999999999999999", 0},
      {L"1" + std::wstring(400, L'0'), inf},
      {L"0." + std::wstring(400, L'0') + L"1", 0},
      {L"0." + std::wstring(400, L'0') + L"1e402", 10},
      {L"0." + std::wstring(300, L'0') + L"1e300", 0.1},
      {L"-" + std::wstring(200, L'0') + L"3." + std::wstring(300, L'0'), -3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(utf8::FromWide(c.text.substr(0, 60)));
    ParseResult r = Read(c.text);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(Bits(r.value.number), Bits(c.value));
  }
  EXPECT_TRUE(std::signbit(Read(L"-1e-999").value.number));
}

TEST(JsonReader, NumberConversionIsCorrectlyRounded) {
  // Any correctly rounding conversion turns 17 significant digits (and the shortest
  // form) of a double back into that very double.
  std::mt19937_64 rng(20240611);
  for (int i = 0; i < 20000; ++i) {
    uint64_t bits = rng();
    double d;
    std::memcpy(&d, &bits, sizeof(d));
    if (!std::isfinite(d)) continue;
    char buf[64];
    for (const char* format : {"%.17g", "%.25e"}) {
      std::snprintf(buf, sizeof(buf), format, d);
      ParseResult r = Read(Widen(buf));
      ASSERT_TRUE(r.ok) << buf;
      ASSERT_EQ(Bits(r.value.number), Bits(d)) << buf;
    }
    std::to_chars_result shortest = std::to_chars(buf, buf + sizeof(buf), d);
    ParseResult r = Read(Widen(std::string(buf, shortest.ptr)));
    ASSERT_TRUE(r.ok) << std::string(buf, shortest.ptr);
    ASSERT_EQ(Bits(r.value.number), Bits(d)) << std::string(buf, shortest.ptr);
  }
  // Short mantissas with small powers of ten, the common case in real files.
  for (int i = 0; i < 20000; ++i) {
    const std::string digits = std::to_string(rng() % 1000000000000000ULL >> (rng() % 50));
    const size_t point = 1 + rng() % digits.size();
    std::string token = rng() % 2 == 0 ? "-" : "";
    token.append(digits, 0, point);
    if (point < digits.size()) {
      token += '.';
      token.append(digits, point, std::string::npos);
    }
    if (rng() % 2 == 0) {
      token += 'e';
      token += std::to_string(static_cast<int>(rng() % 61) - 30);
    }
    double expected = 0;
    ASSERT_EQ(std::from_chars(token.data(), token.data() + token.size(), expected).ec, std::errc()) << token;
    ParseResult r = Read(Widen(token));
    ASSERT_TRUE(r.ok) << token;
    ASSERT_EQ(Bits(r.value.number), Bits(expected)) << token;
  }
  // Integers around the end of the exact range go through the general conversion.
  for (uint64_t n = (1ULL << 53) - 50; n < (1ULL << 53) + 50; ++n) {
    ParseResult r = Read(std::to_wstring(n));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.value.number, static_cast<double>(n)) << n;
  }
}

// ---------------------------------------------------------------------------------
// Objects: order, duplicates, look-ups and edits

TEST(JsonObject, DuplicateKeysAreKeptAndTheFirstWins) {
  ParseResult r = Read(L"{\"k\":1,\"k\":2}");
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.value.members.size(), 2u);
  ASSERT_NE(json::Lookup(r.value, L"k"), nullptr);
  EXPECT_EQ(json::Lookup(r.value, L"k")->number, 1);

  json::SetMember(r.value, L"k", JsonValue::MakeNumber(3));
  ASSERT_EQ(r.value.members.size(), 2u);
  EXPECT_EQ(r.value.members[0].second.number, 3);
  EXPECT_EQ(r.value.members[1].second.number, 2);
  EXPECT_EQ(Compact(r.value), L"{\"k\":3,\"k\":2}");
}

TEST(JsonObject, SetReplacesInPlaceAndAppendsNewKeysAtTheEnd) {
  JsonValue o = JsonValue::MakeObject();
  json::SetMember(o, L"b", JsonValue::MakeNumber(1));
  json::SetMember(o, L"a", JsonValue::MakeNumber(2));
  json::SetMember(o, L"b", JsonValue::MakeString(L"x"));
  EXPECT_EQ(Compact(o), L"{\"b\":\"x\",\"a\":2}");
  json::AppendMember(o, L"a", JsonValue::MakeBool(true));
  EXPECT_EQ(Compact(o), L"{\"b\":\"x\",\"a\":2,\"a\":true}");
  EXPECT_EQ(json::Lookup(o, L"a")->number, 2);

  // Lookup returns a handle that edits the member itself.
  json::Lookup(o, L"b")->text = L"y";
  EXPECT_EQ(json::StringOr(o, L"b"), L"y");
}

TEST(JsonObject, LookupComparesWholeKeysExactly) {
  JsonValue o = JsonValue::MakeObject();
  json::AppendMember(o, L"Name", JsonValue::MakeNumber(1));
  json::AppendMember(o, L"name", JsonValue::MakeNumber(2));
  json::AppendMember(o, std::wstring(L"na\0me", 5), JsonValue::MakeNumber(3));
  json::AppendMember(o, L"", JsonValue::MakeNumber(4));
  EXPECT_EQ(json::Lookup(o, L"name")->number, 2);
  EXPECT_EQ(json::Lookup(o, L"Name")->number, 1);
  EXPECT_EQ(json::Lookup(o, std::wstring_view(L"na\0me", 5))->number, 3);
  EXPECT_EQ(json::Lookup(o, L"")->number, 4);
  EXPECT_EQ(json::Lookup(o, L"nam"), nullptr);
  EXPECT_EQ(json::Lookup(o, L"names"), nullptr);
  EXPECT_EQ(json::Lookup(o, L"na"), nullptr);

  // Non-objects have no members, whatever they carry.
  JsonValue array = JsonValue::MakeArray();
  array.members.emplace_back(L"name", JsonValue::MakeNumber(5));
  EXPECT_EQ(json::Lookup(array, L"name"), nullptr);
  const JsonValue null;
  EXPECT_EQ(json::Lookup(null, L"name"), nullptr);
}

TEST(JsonObject, TypedLookupsFallBackOnMissingOrWrongKinds) {
  ParseResult r = Read(L"{\"s\":\"text\",\"n\":2.5,\"b\":true,\"z\":null,\"bs\":\"true\",\"ns\":\"1\",\"f\":false}");
  ASSERT_TRUE(r.ok);
  const JsonValue& o = r.value;
  EXPECT_EQ(json::StringOr(o, L"s"), L"text");
  EXPECT_EQ(json::StringOr(o, L"n"), L"");
  EXPECT_EQ(json::StringOr(o, L"z", L"default"), L"default");
  EXPECT_EQ(json::StringOr(o, L"missing", L"default"), L"default");
  EXPECT_EQ(json::NumberOr(o, L"n", -1), 2.5);
  EXPECT_EQ(json::NumberOr(o, L"ns", -1), -1);
  EXPECT_EQ(json::NumberOr(o, L"b", -1), -1);
  EXPECT_TRUE(json::BoolOr(o, L"b", false));
  EXPECT_FALSE(json::BoolOr(o, L"f", true));
  EXPECT_FALSE(json::BoolOr(o, L"bs", false));
  EXPECT_TRUE(json::BoolOr(o, L"n", true));
  const JsonValue notAnObject = JsonValue::MakeString(L"s");
  EXPECT_EQ(json::StringOr(notAnObject, L"s", L"d"), L"d");
}

TEST(JsonObject, EditingAValueOfAnotherKindTurnsItIntoTheContainer) {
  JsonValue v;  // null
  json::SetMember(v, L"a", JsonValue::MakeNumber(1));
  EXPECT_TRUE(v.IsObject());
  EXPECT_EQ(Compact(v), L"{\"a\":1}");

  JsonValue s = JsonValue::MakeString(L"gone");
  json::AppendMember(s, L"b", JsonValue());
  EXPECT_EQ(Compact(s), L"{\"b\":null}");

  JsonValue a;
  json::PushItem(a, JsonValue::MakeNumber(1));
  json::PushItem(a, JsonValue::MakeArray());
  EXPECT_EQ(Compact(a), L"[1,[]]");
  JsonValue o = JsonValue::MakeObject();
  json::AppendMember(o, L"k", JsonValue());
  json::PushItem(o, JsonValue::MakeBool(false));
  EXPECT_EQ(Compact(o), L"[false]");
}

TEST(JsonValueEquality, ComparesOnlyWhatTheKindUses) {
  JsonValue a = JsonValue::MakeNumber(1);
  JsonValue b = JsonValue::MakeNumber(1);
  b.text = L"leftover";
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(JsonValue::MakeNumber(1) == JsonValue::MakeBool(true));
  EXPECT_FALSE(JsonValue::MakeString(L"a") == JsonValue::MakeString(L"b"));
  EXPECT_TRUE(JsonValue::MakeNumber(0.0) == JsonValue::MakeNumber(-0.0));
  EXPECT_FALSE(JsonValue::MakeNumber(std::nan("")) == JsonValue::MakeNumber(std::nan("")));

  // Member order and duplicates are part of an object.
  EXPECT_FALSE(Read(L"{\"a\":1,\"b\":2}").value == Read(L"{\"b\":2,\"a\":1}").value);
  EXPECT_FALSE(Read(L"{\"a\":1}").value == Read(L"{\"a\":1,\"a\":1}").value);
  EXPECT_FALSE(Read(L"[[1]]").value == Read(L"[[2]]").value);
  EXPECT_TRUE(Read(L"[{\"a\":[null]}]").value == Read(L" [ { \"a\" : [ null ] } ] ").value);
}

// ---------------------------------------------------------------------------------
// Writer

TEST(JsonWriter, NumbersUseIntegerOrSeventeenDigitForm) {
  EXPECT_EQ(NumberText(3), L"3");
  EXPECT_EQ(NumberText(-3), L"-3");
  EXPECT_EQ(NumberText(2.5), L"2.5");
  EXPECT_EQ(NumberText(0.1), L"0.10000000000000001");
  EXPECT_EQ(NumberText(1e15), L"1000000000000000");
  EXPECT_EQ(NumberText(-1e15), L"-1000000000000000");
  EXPECT_EQ(NumberText(999999999999999.0), L"999999999999999");
  EXPECT_EQ(NumberText(1e15 + 0.5 + 0.5), L"1000000000000001");
  EXPECT_EQ(NumberText(999999999999999.5), L"999999999999999.5");
  EXPECT_EQ(NumberText(1e16), L"10000000000000000");
  EXPECT_EQ(NumberText(1e17), L"1e+17");
  EXPECT_EQ(NumberText(-0.0), L"0");
  EXPECT_EQ(NumberText(1e-7), L"9.9999999999999995e-08");
  EXPECT_EQ(NumberText(1e300), L"1.0000000000000001e+300");
  EXPECT_EQ(NumberText(1.7976931348623157e308), L"1.7976931348623157e+308");
  EXPECT_EQ(NumberText(std::numeric_limits<double>::denorm_min()), L"4.9406564584124654e-324");

  // Both rules agree with the C library's formatting.
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> fraction(-1e6, 1e6);
  std::uniform_int_distribution<long long> integer(-999999999999999LL, 999999999999999LL);
  for (int i = 0; i < 2000; ++i) {
    char buf[64];
    double d = fraction(rng);
    std::snprintf(buf, sizeof(buf), "%.17g", d);
    ASSERT_EQ(NumberText(d), Widen(buf));
    long long n = integer(rng);
    std::snprintf(buf, sizeof(buf), "%lld", n);
    ASSERT_EQ(NumberText(static_cast<double>(n)), Widen(buf));
    uint64_t bits = rng();
    std::memcpy(&d, &bits, sizeof(d));
    if (!std::isfinite(d) || (std::trunc(d) == d && std::fabs(d) < 1e15)) continue;
    std::snprintf(buf, sizeof(buf), "%.17g", d);
    ASSERT_EQ(NumberText(d), Widen(buf));
  }
}

TEST(JsonWriter, NonFiniteNumbersStayReadable) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(NumberText(inf), L"1e999");
  EXPECT_EQ(NumberText(-inf), L"-1e999");
  EXPECT_EQ(NumberText(std::nan("")), L"null");

  JsonValue doc = JsonValue::MakeArray();
  json::PushItem(doc, JsonValue::MakeNumber(inf));
  json::PushItem(doc, JsonValue::MakeNumber(-inf));
  json::PushItem(doc, JsonValue::MakeNumber(-std::nan("")));
  ParseResult back = Read(json::WriteDocument(doc));
  ASSERT_TRUE(back.ok) << back.error;
  ASSERT_EQ(back.value.items.size(), 3u);
  EXPECT_EQ(back.value.items[0].number, inf);
  EXPECT_EQ(back.value.items[1].number, -inf);
  EXPECT_EQ(back.value.items[2].kind, JsonKind::Null);
  EXPECT_EQ(json::WriteDocumentUtf8(doc), "[\n  1e999,\n  -1e999,\n  null\n]\n");
}

TEST(JsonWriter, StringsEscapeOnlyWhatTheyMust) {
  auto written = [](std::wstring text) { return Compact(JsonValue::MakeString(std::move(text))); };
  EXPECT_EQ(written(L"\x01"), L"\"\\u0001\"");
  EXPECT_EQ(written(L"a/b"), L"\"a/b\"");
  EXPECT_EQ(written(L"프로젝트 달력"), L"\"프로젝트 달력\"");
  EXPECT_EQ(written(L"\"\\\b\t\n\f\r"), L"\"\\\"\\\\\\b\\t\\n\\f\\r\"");
  EXPECT_EQ(written(std::wstring(L"\0\x0B\x1F\x1B", 4)), L"\"\\u0000\\u000b\\u001f\\u001b\"");
  EXPECT_EQ(written(L"\x20\x7F\xD83D\xDE00\xFFFF\xD800"), L"\" \x7F\xD83D\xDE00\xFFFF\xD800\"");
  EXPECT_EQ(written(L""), L"\"\"");
  // Keys are written the same way.
  JsonValue o = JsonValue::MakeObject();
  json::AppendMember(o, L"a\"\n", JsonValue());
  EXPECT_EQ(Compact(o), L"{\"a\\\"\\n\":null}");

  // Every unit below U+0020 survives the trip.
  std::wstring controls;
  for (wchar_t c = 0; c < 0x20; ++c) controls.push_back(c);
  ParseResult back = Read(written(controls));
  ASSERT_TRUE(back.ok);
  EXPECT_EQ(back.value.text, controls);
}

TEST(JsonWriter, DocumentLayout) {
  JsonValue o = JsonValue::MakeObject();
  json::AppendMember(o, L"a", JsonValue::MakeArray());
  EXPECT_EQ(json::WriteDocument(o), L"{\n  \"a\": []\n}\n");

  ParseResult r = Read(L"{\"a\":[1,[],{},[true,{\"b\":null}]],\"c\":{\"d\":\"e\"},\"f\":{}}");
  ASSERT_TRUE(r.ok);
  const std::wstring expected =
      L"{\n"
      L"  \"a\": [\n"
      L"    1,\n"
      L"    [],\n"
      L"    {},\n"
      L"    [\n"
      L"      true,\n"
      L"      {\n"
      L"        \"b\": null\n"
      L"      }\n"
      L"    ]\n"
      L"  ],\n"
      L"  \"c\": {\n"
      L"    \"d\": \"e\"\n"
      L"  },\n"
      L"  \"f\": {}\n"
      L"}\n";
  EXPECT_EQ(json::WriteDocument(r.value), expected);
  EXPECT_EQ(Compact(r.value), L"{\"a\":[1,[],{},[true,{\"b\":null}]],\"c\":{\"d\":\"e\"},\"f\":{}}");

  EXPECT_EQ(json::WriteDocument(JsonValue()), L"null\n");
  EXPECT_EQ(json::WriteDocument(JsonValue::MakeArray()), L"[]\n");
  EXPECT_EQ(json::WriteDocument(JsonValue::MakeString(L"x")), L"\"x\"\n");
}

TEST(JsonWriter, SerializeAppendsAtTheGivenDepth) {
  ParseResult r = Read(L"[1,{\"a\":2}]");
  ASSERT_TRUE(r.ok);
  std::wstring out = L"prefix ";
  json::Serialize(r.value, true, 2, out);
  EXPECT_EQ(out, L"prefix [\n      1,\n      {\n        \"a\": 2\n      }\n    ]");
  // Compact output ignores the depth.
  std::wstring compact = L">";
  json::Serialize(r.value, false, 3, compact);
  EXPECT_EQ(compact, L">[1,{\"a\":2}]");
  EXPECT_EQ(Pretty(JsonValue::MakeObject(), 5), L"{}");
}

// ---------------------------------------------------------------------------------
// Round trips over generated documents

class RandomDocument {
 public:
  explicit RandomDocument(uint64_t seed) : rng_(seed) {}

  JsonValue Value(int depth, int maxDepth) {
    int pick = Uniform(0, depth >= maxDepth ? 3 : 5);
    switch (pick) {
      case 0: return Uniform(0, 3) == 0 ? JsonValue() : JsonValue::MakeBool(Uniform(0, 1) == 1);
      case 1:
      case 2: return JsonValue::MakeNumber(Number());
      case 3: return JsonValue::MakeString(Text());
      case 4: {
        JsonValue a = JsonValue::MakeArray();
        for (int n = Uniform(0, 5); n > 0; --n) json::PushItem(a, Value(depth + 1, maxDepth));
        return a;
      }
      default: {
        JsonValue o = JsonValue::MakeObject();
        for (int n = Uniform(0, 5); n > 0; --n) {
          // Repeated keys must survive too.
          std::wstring key = !o.members.empty() && Uniform(0, 6) == 0 ? o.members[0].first : Text();
          json::AppendMember(o, std::move(key), Value(depth + 1, maxDepth));
        }
        return o;
      }
    }
  }

  double Number() {
    switch (Uniform(0, 7)) {
      case 0: return Uniform(-1000, 1000);
      case 1: return static_cast<double>(static_cast<int64_t>(rng_()) >> Uniform(1, 63));
      case 2: return std::uniform_real_distribution<double>(-1e6, 1e6)(rng_);
      case 3: {
        double d;
        do {
          uint64_t bits = rng_();
          std::memcpy(&d, &bits, sizeof(d));
        } while (!std::isfinite(d));
        return d;
      }
      case 4: return std::numeric_limits<double>::denorm_min() * Uniform(1, 1000000);
      case 5: {
        const double specials[] = {0.0, -0.0, 1e15, -1e15, 999999999999999.0, 1e-7, 0.1,
                                   std::numeric_limits<double>::max(),
                                   std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity(), 9007199254740993.0};
        return specials[Uniform(0, 10)];
      }
      default: return std::ldexp(std::uniform_real_distribution<double>(-1, 1)(rng_), Uniform(-1074, 1023));
    }
  }

  std::wstring Text() {
    std::wstring s;
    for (int n = Uniform(0, 12); n > 0; --n) {
      switch (Uniform(0, 9)) {
        case 0: s.push_back(static_cast<wchar_t>(Uniform(0, 0x1F))); break;
        case 1: s.push_back(L"\"\\/"[Uniform(0, 2)]); break;
        case 2: s.push_back(static_cast<wchar_t>(Uniform(0xAC00, 0xD7A3))); break;
        case 3: s += L"\xD83D\xDE00"; break;
        case 4: s.push_back(static_cast<wchar_t>(Uniform(0xD800, 0xDFFF))); break;  // lone half
        case 5: s.push_back(static_cast<wchar_t>(Uniform(0x80, 0xFFFF))); break;
        case 6: s.push_back(0xFEFF); break;
        default: s.push_back(static_cast<wchar_t>(Uniform(0x20, 0x7E))); break;
      }
    }
    return s;
  }

  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

 private:
  std::mt19937_64 rng_;
};

// A broken surrogate pair cannot survive UTF-8, so such documents skip the byte trip.
bool HasLoneSurrogate(const std::wstring& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    wchar_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      return true;
    }
  }
  return false;
}

TEST(JsonRoundTrip, GeneratedDocumentsReadBackEqual) {
  RandomDocument gen(12345);
  int checked = 0;
  for (int i = 0; i < 1500; ++i) {
    JsonValue v = gen.Value(0, 1 + i % 7);
    std::wstring pretty = json::WriteDocument(v);
    ParseResult strict = Read(pretty);
    ASSERT_TRUE(strict.ok) << strict.error << "\n" << utf8::FromWide(pretty);
    ASSERT_TRUE(strict.value == v) << utf8::FromWide(pretty);
    // Writing what was read gives the same text again.
    ASSERT_EQ(json::WriteDocument(strict.value), pretty);

    std::wstring compact = Compact(v);
    ParseResult fromCompact = Read(compact, true);
    ASSERT_TRUE(fromCompact.ok) << fromCompact.error;
    ASSERT_TRUE(fromCompact.value == v) << utf8::FromWide(compact);

    std::string bytes = json::WriteDocumentUtf8(v);
    ASSERT_EQ(bytes, utf8::FromWide(pretty));
    if (!HasLoneSurrogate(pretty)) {
      ParseResult fromBytes = Read(utf8::ToWide(bytes));
      ASSERT_TRUE(fromBytes.ok);
      ASSERT_TRUE(fromBytes.value == v);
    }
    ++checked;
  }
  EXPECT_EQ(checked, 1500);
}

TEST(JsonRoundTrip, DeepestReadableDocumentWritesAndReadsBack) {
  JsonValue root = JsonValue::MakeNumber(42);
  for (int depth = 0; depth < 200; ++depth) {
    JsonValue parent = depth % 2 == 0 ? JsonValue::MakeArray() : JsonValue::MakeObject();
    if (parent.IsArray()) {
      json::PushItem(parent, std::move(root));
    } else {
      json::AppendMember(parent, L"k", std::move(root));
    }
    root = std::move(parent);
  }
  // The number sits at depth 200, the deepest place the reader allows.
  ParseResult back = Read(json::WriteDocument(root));
  ASSERT_TRUE(back.ok) << back.error;
  EXPECT_TRUE(back.value == root);

  JsonValue deeper = JsonValue::MakeArray();
  json::PushItem(deeper, std::move(root));
  ParseResult rejected = Read(json::WriteDocument(deeper));
  EXPECT_FALSE(rejected.ok);
}

TEST(JsonRoundTrip, Utf8OutputMatchesTheConvertedTextForEveryUnit) {
  // Every UTF-16 unit, alone and next to its neighbours, including broken pairs at the
  // end of the text and pairs in reverse order.
  std::wstring all;
  for (uint32_t c = 0; c <= 0xFFFF; ++c) all.push_back(static_cast<wchar_t>(c));
  all += L"\xD83D\xDE00\xDE00\xD83D\xD800";
  JsonValue v = JsonValue::MakeArray();
  json::PushItem(v, JsonValue::MakeString(all));
  json::PushItem(v, JsonValue::MakeString(all.substr(0xD7F0, 0x40)));
  json::PushItem(v, JsonValue::MakeString(L"\xDBFF"));
  JsonValue o = JsonValue::MakeObject();
  json::AppendMember(o, all.substr(0xD800, 3000), std::move(v));
  EXPECT_EQ(json::WriteDocumentUtf8(o), utf8::FromWide(json::WriteDocument(o)));
}

}  // namespace
