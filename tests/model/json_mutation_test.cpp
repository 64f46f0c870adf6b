// Mutation testing of the reader: realistic documents are damaged in many small ways
// and fed to the strict and the lenient reader. Every run is deterministic (fixed
// seeds) and bounded by the number of inputs, never by a clock.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "i18n/translate.h"
#include "model/json.h"
#include "model/utf8.h"

namespace {

// A project file as the program writes it, with Korean and emoji text.
const wchar_t* const kProjectFile = LR"({
  "version": 2,
  "nextId": 4,
  "projects": [
    {
      "id": 1,
      "title": "달력 개편 🚀",
      "location": "C:\\Users\\민지\\Projects\\달력",
      "startDate": "2024-03-01",
      "endDate": "",
      "status": "inProgress",
      "completedDate": "",
      "category": "external",
      "color": 7,
      "entries": [
        {
          "date": "2024-03-02",
          "text": "회의 메모\n- 일정 확정 ✅\n- \"따옴표\" 처리\t끝",
          "tags": [
            "회의",
            "AI"
          ],
          "files": [
            "C:\\Users\\민지\\Pictures\\화면 😀.png"
          ],
          "links": [
            {
              "url": "https://example.com/a?q=1&x=\u00e9",
              "title": "설계 문서"
            }
          ]
        }
      ],
      "codexImports": [
        "codex:0193f6d2-7c1e-7000-8000-5a1b2c3d4e5f:17"
      ],
      "lastAiSession": {
        "source": 2,
        "session": "0193f6d2-7c1e-7000-8000-5a1b2c3d4e5f",
        "time": "2024-03-02T10:15:00"
      }
    },
    {
      "id": 3,
      "title": "사내 교육 🎓",
      "location": "",
      "startDate": "2023-11-20",
      "endDate": "2024-01-31",
      "status": "completed",
      "completedDate": "2024-01-31",
      "category": "internal",
      "color": 0,
      "entries": [],
      "codexImports": [],
      "ratio": -0.125,
      "budget": 1.5e6
    }
  ]
}
)";

// One line of an assistant's JSON Lines log.
const wchar_t* const kLogLine =
    LR"({"timestamp":"2025-01-05T09:12:44.123Z","type":"response_item","payload":{"type":"message","role":"user","content":[{"type":"input_text","text":"빌드 오류 고쳐줘 😅\n```cpp\nint x = 1;\n```"}],"cwd":"C:\\work\\tavrilo"},"tokens":1234,"cost":0.0123,"ok":true,"parent":null,"tag":"\ud83d\ude00"})";

// A VS Code settings file with comments and trailing commas.
const wchar_t* const kSettings = LR"(// Place your settings in this file to overwrite the defaults
{
  /* 편집기 */
  "editor.fontSize": 14,
  "editor.rulers": [80, 120,],
  "files.exclude": {
    "**/.git": true, // hidden
    "**/node_modules": true,
  },
  // 터미널
  "terminal.integrated.defaultProfile.windows": "PowerShell",
  "workbench.colorCustomizations": {"editor.background": "#1e1e1e"},
  "chat.editor.fontFamily": "Pretendard, 'Malgun Gothic'",
}
)";

const std::array<const wchar_t*, 3> kSamples = {kProjectFile, kLogLine, kSettings};

std::string Snippet(const std::wstring& text) {
  std::string out;
  for (size_t i = 0; i < text.size() && i < 300; ++i) {
    wchar_t c = text[i];
    if (c >= 0x20 && c < 0x7F && c != L'\\') {
      out.push_back(static_cast<char>(c));
    } else {
      char buf[12];
      std::snprintf(buf, sizeof(buf), "\\u%04x", static_cast<unsigned>(c));
      out += buf;
    }
  }
  if (text.size() > 300) out += "... (" + std::to_string(text.size()) + " units)";
  return out;
}

// Reads each input in both modes and checks what must hold whatever the input.
class Checker {
 public:
  Checker() {
    for (const wchar_t* key :
         {L"문서 끝에 알 수 없는 데이터가 있습니다.", L"중첩이 너무 깊습니다.", L"예상치 못한 문서 끝입니다.",
          L"잘못된 값입니다.", L"잘못된 숫자입니다.", L"잘못된 이스케이프 문자입니다.",
          L"잘못된 유니코드 이스케이프입니다.", L"문자열이 닫히지 않았습니다.", L"배열 형식이 잘못되었습니다.",
          L"객체 형식이 잘못되었습니다."}) {
      messages_.emplace_back(i18n::Translate(key));
    }
    std::wstring suffix = i18n::Translate(L" (위치 %zu)");
    size_t at = suffix.find(L"%zu");
    suffixBefore_ = suffix.substr(0, at);
    suffixAfter_ = suffix.substr(at + 3);
  }

  testing::AssertionResult Check(const std::wstring& text) {
    ++inputs_;
    JsonValue strictValue;
    bool strictOk = false;
    for (bool lenient : {false, true}) {
      JsonValue value;
      std::wstring error;
      bool ok = json::Parse(text, lenient, value, error);
      const char* mode = lenient ? "lenient" : "strict";
      if (!ok) {
        ++rejected_;
        if (auto r = CheckMessage(error, text.size()); !r) return r << " (" << mode << ")";
        // Whatever strict mode accepts, lenient mode accepts the same way.
        if (lenient && strictOk) return testing::AssertionFailure() << "lenient rejects what strict accepts";
        continue;
      }
      ++accepted_;
      if (auto r = CheckRoundTrip(value); !r) return r << " (" << mode << ")";
      if (!lenient) {
        strictOk = true;
        strictValue = std::move(value);
      } else if (strictOk && !(value == strictValue)) {
        return testing::AssertionFailure() << "lenient and strict read different values";
      }
    }
    return testing::AssertionSuccess();
  }

  size_t inputs() const { return inputs_; }
  size_t accepted() const { return accepted_; }
  size_t rejected() const { return rejected_; }

 private:
  testing::AssertionResult CheckMessage(const std::wstring& error, size_t length) const {
    if (error.empty()) return testing::AssertionFailure() << "empty message";
    bool known = false;
    for (const std::wstring& m : messages_) {
      if (error.compare(0, m.size(), m) == 0 && error.compare(m.size(), suffixBefore_.size(), suffixBefore_) == 0) {
        known = true;
        size_t digits = m.size() + suffixBefore_.size();
        size_t end = digits;
        size_t position = 0;
        while (end < error.size() && error[end] >= L'0' && error[end] <= L'9') {
          position = position * 10 + static_cast<size_t>(error[end] - L'0');
          ++end;
        }
        if (end == digits || end - digits > 19) {
          return testing::AssertionFailure() << "no position in " << utf8::FromWide(error);
        }
        if (error.substr(end) != suffixAfter_) {
          return testing::AssertionFailure() << "text after the position in " << utf8::FromWide(error);
        }
        if (position > length) {
          return testing::AssertionFailure() << "position beyond the text (" << length << "): "
                                             << utf8::FromWide(error);
        }
        break;
      }
    }
    if (!known) return testing::AssertionFailure() << "unknown message " << utf8::FromWide(error);
    return testing::AssertionSuccess();
  }

  static testing::AssertionResult CheckRoundTrip(const JsonValue& value) {
    std::wstring written = json::WriteDocument(value);
    JsonValue back;
    std::wstring error;
    if (!json::Parse(written, false, back, error)) {
      return testing::AssertionFailure() << "written text does not read back: " << utf8::FromWide(error) << "\n"
                                         << Snippet(written);
    }
    if (!(back == value)) return testing::AssertionFailure() << "read back a different value:\n" << Snippet(written);
    if (json::WriteDocumentUtf8(value) != utf8::FromWide(written)) {
      return testing::AssertionFailure() << "UTF-8 writer differs from the converted text";
    }
    return testing::AssertionSuccess();
  }

  std::vector<std::wstring> messages_;
  std::wstring suffixBefore_;
  std::wstring suffixAfter_;
  size_t inputs_ = 0;
  size_t accepted_ = 0;
  size_t rejected_ = 0;
};

// Units that matter to the reader, plus the ones that are hard on text handling.
constexpr wchar_t kInteresting[] = {
    L'{', L'}', L'[', L']', L',', L':', L'"', L'\\', L'/', L'*', L'-', L'+', L'.', L'e', L'E', L'0',
    L'1', L'9', L'u', L't', L'f', L'n', L' ', L'\n', L'\r', L'\t', 0xFEFF, 0, 0xD800, 0xDBFF, 0xDC00,
    0xDFFF, 0xFFFF, 0xFFFD, 0x00A0, L'가', 0x1F};

class Mutator {
 public:
  explicit Mutator(uint32_t seed) : rng_(seed) {}

  size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(rng_() % n); }

  wchar_t Unit() {
    if (Below(3) == 0) return static_cast<wchar_t>(Below(0x10000));
    return kInteresting[Below(std::size(kInteresting))];
  }

  // Edits at the level of UTF-8 bytes, as a damaged file would be; the bytes are then
  // decoded the way files are, so invalid sequences become U+FFFD.
  std::wstring MutateBytes(const std::wstring& sample) {
    std::string bytes = utf8::FromWide(sample);
    for (size_t edits = 1 + Below(3); edits > 0 && !bytes.empty(); --edits) {
      size_t at = Below(bytes.size());
      switch (Below(6)) {
        case 0:
        case 1: bytes[at] = static_cast<char>(bytes[at] ^ (1 << Below(8))); break;
        case 2: bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), static_cast<char>(Below(256))); break;
        case 3: bytes.erase(at, 1 + Below(4)); break;
        case 4: bytes.insert(at, bytes.substr(Below(bytes.size()), 1 + Below(16))); break;
        default: bytes.resize(at); break;
      }
    }
    return utf8::ToWide(bytes);
  }

  // Edits at the level of UTF-16 units: lone surrogates and NULs reach the reader.
  std::wstring MutateUnits(const std::wstring& sample) {
    std::wstring s = sample;
    for (size_t edits = 1 + Below(4); edits > 0; --edits) {
      size_t at = Below(s.size() + 1);
      switch (Below(7)) {
        case 0: s.insert(at, 1, Unit()); break;
        case 1:
          if (at < s.size()) s[at] = Unit();
          break;
        case 2:
          if (at < s.size()) s.erase(at, 1 + Below(3));
          break;
        case 3:
          if (at < s.size()) s[at] = static_cast<wchar_t>(s[at] ^ (1 << Below(16)));
          break;
        case 4: {  // repeat a stretch, which often duplicates a member or an item
          size_t from = Below(s.size());
          s.insert(at, s.substr(from, 1 + Below(40)));
          break;
        }
        case 5:
          if (at + 1 < s.size()) std::swap(s[at], s[at + 1]);
          break;
        default: s.resize(at); break;
      }
    }
    return s;
  }

  // Replaces the number token that starts after a random ':' or '[' with a hard one.
  std::wstring MutateNumber(const std::wstring& sample) {
    static const wchar_t* const kTokens[] = {
        L"1e99999", L"-1e99999", L"1e-99999", L"4.9e-324", L"2.4e-324", L"1.7976931348623159e308",
        L"0e99999999999999999999", L"123456789012345678901234567890", L"-0", L"-0.0", L"007", L"1.",
        L"-.5", L"1.2.3", L"--5", L"-", L"1e", L"1e+", L"+1", L".5", L"0x1F", L"1_000", L"Infinity",
        L"NaN", L"-Infinity", L"1e1e1", L"9007199254740993", L"0.1e-5", L"1E+2", L"5-", L"-e5"};
    std::wstring token;
    if (Below(4) == 0) {
      // A long random run of number characters.
      static const wchar_t kChars[] = L"0123456789.eE+-";
      for (size_t n = 1 + Below(400); n > 0; --n) token.push_back(kChars[Below(15)]);
      if (Below(2) == 0) token[0] = L'1';
    } else {
      token = kTokens[Below(std::size(kTokens))];
    }
    size_t at = sample.find_first_of(L":[", Below(sample.size()));
    if (at == std::wstring::npos) return token;
    ++at;
    while (at < sample.size() && sample[at] == L' ') ++at;
    size_t end = at;
    while (end < sample.size() && sample[end] != L',' && sample[end] != L'}' && sample[end] != L']' &&
           sample[end] != L'\n') {
      ++end;
    }
    return sample.substr(0, at) + token + sample.substr(end);
  }

  // Puts a run of opening brackets (and maybe their closers) around or inside a sample.
  std::wstring MutateNesting(const std::wstring& sample) {
    size_t levels = 150 + Below(120);
    std::wstring open, close;
    for (size_t i = 0; i < levels; ++i) {
      if (Below(3) == 0) {
        open += L"{\"k\":";
        close.insert(close.begin(), L'}');
      } else {
        open += Below(5) == 0 ? L"[ " : L"[";
        close.insert(close.begin(), L']');
      }
    }
    if (Below(4) == 0) close.resize(Below(close.size() + 1));
    size_t at = sample.find_first_of(L":[", Below(sample.size()));
    if (at == std::wstring::npos || Below(3) == 0) return open + sample + close;
    size_t end = sample.find_first_of(L",}]", at + 1);
    if (end == std::wstring::npos) end = sample.size();
    return sample.substr(0, at + 1) + open + sample.substr(at + 1, end - at - 1) + close + sample.substr(end);
  }

 private:
  std::mt19937 rng_;
};

TEST(JsonMutation, SamplesThemselvesRead) {
  // The undamaged samples are the baseline: they must read, the settings file only
  // leniently.
  Checker checker;
  for (const wchar_t* sample : kSamples) ASSERT_TRUE(checker.Check(sample));
  JsonValue v;
  std::wstring error;
  EXPECT_TRUE(json::Parse(kProjectFile, false, v, error)) << utf8::FromWide(error);
  EXPECT_EQ(json::StringOr(json::Lookup(v, L"projects")->items[0], L"title"), L"달력 개편 🚀");
  EXPECT_TRUE(json::Parse(kLogLine, false, v, error)) << utf8::FromWide(error);
  EXPECT_EQ(json::StringOr(v, L"tag"), L"😀");
  EXPECT_FALSE(json::Parse(kSettings, false, v, error));
  EXPECT_TRUE(json::Parse(kSettings, true, v, error)) << utf8::FromWide(error);
  EXPECT_EQ(json::NumberOr(v, L"editor.fontSize", 0), 14);
}

TEST(JsonMutation, DamagedBytesAndUnits) {
  Checker checker;
  Mutator mutator(0x7a5c01);
  for (int i = 0; i < 90000; ++i) {
    std::wstring sample = kSamples[static_cast<size_t>(i) % kSamples.size()];
    std::wstring text = i % 2 == 0 ? mutator.MutateBytes(sample) : mutator.MutateUnits(sample);
    ASSERT_TRUE(checker.Check(text)) << "input " << i << ": " << Snippet(text);
  }
  EXPECT_EQ(checker.inputs(), 90000u);
  // Both outcomes must be common, or the damage is too mild or too harsh to probe much.
  EXPECT_GT(checker.accepted(), 5000u);
  EXPECT_GT(checker.rejected(), 50000u);
}

TEST(JsonMutation, TruncationAtEveryPosition) {
  Checker checker;
  for (const wchar_t* sample : {kLogLine, kSettings}) {
    std::wstring text = sample;
    for (size_t length = 0; length <= text.size(); ++length) {
      std::wstring prefix = text.substr(0, length);
      ASSERT_TRUE(checker.Check(prefix)) << "length " << length;
      // A cut inside a surrogate pair leaves a lone high half.
      ASSERT_TRUE(checker.Check(prefix + L'\xD83D'));
    }
  }
  // The log line is a single object, so none of its proper prefixes may read.
  EXPECT_GT(checker.rejected(), checker.accepted());
}

TEST(JsonMutation, DuplicatedMembersAndDeepNesting) {
  Checker checker;
  Mutator mutator(0x5eed02);
  size_t deepRejected = 0;
  for (int i = 0; i < 6000; ++i) {
    std::wstring sample = kSamples[static_cast<size_t>(i) % kSamples.size()];
    std::wstring text = mutator.MutateNesting(sample);
    ASSERT_TRUE(checker.Check(text)) << "input " << i << ": " << Snippet(text);
    JsonValue v;
    std::wstring error;
    if (!json::Parse(text, true, v, error) && error.find(i18n::Translate(L"중첩이 너무 깊습니다.")) == 0) ++deepRejected;
  }
  EXPECT_GT(deepRejected, 1000u);

  // Members repeated by hand: both copies are kept and the first one is found.
  JsonValue project;
  std::wstring error;
  ASSERT_TRUE(json::Parse(kProjectFile, false, project, error));
  std::mt19937 rng(3);
  for (int i = 0; i < 4000; ++i) {
    JsonValue copy = project;
    JsonValue& target = copy.members[rng() % copy.members.size()].second;
    JsonValue* object = &copy;
    if (target.IsArray() && !target.items.empty() && target.items[0].IsObject()) object = &target.items[0];
    size_t pick = rng() % object->members.size();
    auto duplicate = object->members[pick];
    duplicate.second = JsonValue::MakeNumber(i);
    object->members.insert(object->members.begin() + static_cast<std::ptrdiff_t>(rng() % (object->members.size() + 1)),
                           duplicate);
    std::wstring text = json::WriteDocument(copy);
    ASSERT_TRUE(checker.Check(text));
    JsonValue back;
    ASSERT_TRUE(json::Parse(text, false, back, error));
    ASSERT_TRUE(back == copy);
  }
}

TEST(JsonMutation, HugeAndMalformedNumbers) {
  Checker checker;
  Mutator mutator(0x6e756d);
  for (int i = 0; i < 12000; ++i) {
    std::wstring sample = kSamples[static_cast<size_t>(i) % kSamples.size()];
    std::wstring text = mutator.MutateNumber(sample);
    ASSERT_TRUE(checker.Check(text)) << "input " << i << ": " << Snippet(text);
  }
  EXPECT_GT(checker.accepted(), 1000u);
  EXPECT_GT(checker.rejected(), 1000u);
}

}  // namespace
