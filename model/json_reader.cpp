// Recursive-descent reader over UTF-16 text, and the same reader over UTF-8 bytes for
// the pull reader that loads project files without decoding them whole first.
//
// Positions in messages report where the reader stands when it gives up: a character
// it only looks at to choose a branch (the start of a value, a separator, data after
// the document) is not consumed, so the position points at it; characters read as
// part of a token (a number, an escape sequence) are consumed before they are judged,
// so the position is just past them.
#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "i18n/translate.h"
#include "model/json.h"
#include "model/utf8.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define TAVRILO_JSON_SSE2 1
#endif

namespace json {
namespace {

// Values may sit at depths 0 to 200; the bound also caps the recursion of the reader.
constexpr int kMaxDepth = 200;

// Decimal mantissas of up to 15 digits are below 2^53, and powers of ten up to 1e22
// are exact doubles.
constexpr int kExactDigits = 15;
constexpr int kExactPower = 22;
constexpr double kPowersOfTen[kExactPower + 1] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline bool IsDigit(unsigned c) { return c >= L'0' && c <= L'9'; }

inline bool IsNumberChar(unsigned c) {
  return IsDigit(c) || c == L'.' || c == L'+' || c == L'-' || c == L'e' || c == L'E';
}

inline int HexValue(unsigned c) {
  if (c >= L'0' && c <= L'9') return static_cast<int>(c - L'0');
  if (c >= L'a' && c <= L'f') return static_cast<int>(c - L'a') + 10;
  if (c >= L'A' && c <= L'F') return static_cast<int>(c - L'A') + 10;
  return -1;
}

// The sign and magnitude of a decimal token whose conversion fell outside the double
// range decide between an infinity and a zero, as the C library's conversion does.
// Only the sign of the power of ten matters (out-of-range tokens lie beyond 1e308 or
// below 1e-324), so the exponent saturates instead of overflowing.
template <typename Char>
double OutOfRangeResult(const Char* s, const Char* e) {
  bool negative = *s == L'-';
  if (negative) ++s;
  // Power of ten of the leading significant digit: 2 for 123.4, -2 for 0.05.
  long long power = 0;
  bool significant = false;
  bool fraction = false;
  for (; s < e && *s != L'e' && *s != L'E'; ++s) {
    if (*s == L'.') {
      fraction = true;
    } else if (fraction) {
      if (!significant) {
        --power;
        significant = *s != L'0';
      }
    } else if (significant) {
      ++power;
    } else {
      significant = *s != L'0';
    }
  }
  long long exponent = 0;
  if (s < e) {
    ++s;
    bool negativeExponent = false;
    if (*s == L'+' || *s == L'-') negativeExponent = *s++ == L'-';
    for (; s < e; ++s) {
      if (exponent < 1000000000LL) exponent = exponent * 10 + (*s - L'0');
    }
    if (negativeExponent) exponent = -exponent;
  }
  double result = power + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  return negative ? -result : result;
}

// Converts a token of the characters the reader consumes for a number. It accepts
// exactly the tokens that the C library's wide-string-to-double conversion consumes
// completely: an optional minus sign, digits with an optional point (at least one digit
// on either side of it), and an optional exponent with at least one digit.
template <typename Char>
bool ConvertNumber(const Char* begin, const Char* end, double& value) {
  const Char* s = begin;
  bool negative = false;
  if (s < end && *s == L'-') {
    negative = true;
    ++s;
  }
  // The digits are gathered on the way for the exact path below.
  uint64_t mantissa = 0;
  int significant = 0;
  const Char* intStart = s;
  for (; s < end && IsDigit(*s); ++s) {
    mantissa = mantissa * 10 + static_cast<uint64_t>(*s - L'0');
    if (mantissa != 0 && ++significant > kExactDigits) break;
  }
  while (s < end && IsDigit(*s)) ++s;
  const std::ptrdiff_t intDigits = s - intStart;
  std::ptrdiff_t fracDigits = 0;
  if (s < end && *s == L'.') {
    const Char* fracStart = ++s;
    for (; s < end && IsDigit(*s) && significant <= kExactDigits; ++s) {
      mantissa = mantissa * 10 + static_cast<uint64_t>(*s - L'0');
      if (mantissa != 0) ++significant;
    }
    while (s < end && IsDigit(*s)) ++s;
    fracDigits = s - fracStart;
  }
  if (intDigits + fracDigits == 0) return false;
  long long exponent = 0;
  if (s < end && (*s == L'e' || *s == L'E')) {
    ++s;
    bool negativeExponent = false;
    if (s < end && (*s == L'+' || *s == L'-')) negativeExponent = *s++ == L'-';
    const Char* expStart = s;
    for (; s < end && IsDigit(*s); ++s) {
      if (exponent < 100000) exponent = exponent * 10 + (*s - L'0');
    }
    if (s == expStart) return false;
    if (negativeExponent) exponent = -exponent;
  }
  if (s != end) return false;

  // Up to 15 significant digits and a power of ten up to 22 are both exact doubles, so
  // one multiplication or division rounds correctly, as the general conversion would.
  if (significant <= kExactDigits) {
    const long long power = exponent - fracDigits;
    if (power >= -kExactPower && power <= kExactPower) {
      const double m = static_cast<double>(mantissa);
      const double result = power >= 0 ? m * kPowersOfTen[power] : m / kPowersOfTen[-power];
      value = negative ? -result : result;
      return true;
    }
  }

  // The token is pure ASCII by now; from_chars rounds correctly and is independent of
  // the locale, which the C library's conversion is not.
  const size_t length = static_cast<size_t>(end - begin);
  char small[128];
  std::string large;
  char* narrow = small;
  if (length > sizeof(small)) {
    large.resize(length);
    narrow = large.data();
  }
  for (size_t i = 0; i < length; ++i) narrow[i] = static_cast<char>(begin[i]);
  double converted = 0;
  std::from_chars_result r = std::from_chars(narrow, narrow + length, converted);
  if (r.ptr != narrow + length) return false;
  if (r.ec == std::errc::result_out_of_range) {
    value = OutOfRangeResult(begin, end);
    return true;
  }
  if (r.ec != std::errc()) return false;
  value = converted;
  return true;
}

// The end of a run of string characters: the first double quote or backslash, or the
// end of the text. `high` collects the bits above 0x7F of the characters passed over.
inline const wchar_t* ScanStringRun(const wchar_t* p, const wchar_t* end, unsigned& high) {
  for (; p < end && *p != L'"' && *p != L'\\'; ++p) high |= *p & ~0x7Fu;
  return p;
}

inline const unsigned char* ScanStringRun(const unsigned char* p, const unsigned char* end, unsigned& high) {
#if defined(TAVRILO_JSON_SSE2)
  // Sixteen bytes at a time: entry texts are long runs between their escapes.
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i backslash = _mm_set1_epi8('\\');
  while (end - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned stop = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, quote), _mm_cmpeq_epi8(bytes, backslash))));
    const unsigned upper = static_cast<unsigned>(_mm_movemask_epi8(bytes));
    if (stop != 0) {
      const int n = std::countr_zero(stop);
      high |= upper & ((1u << n) - 1);
      return p + n;
    }
    high |= upper;
    p += 16;
  }
#endif
  for (; p < end && *p != '"' && *p != '\\'; ++p) high |= *p & 0x80u;
  return p;
}

// How many UTF-16 units [p, end) gives: for UTF-8 its lead bytes, two for a four-byte
// form (malformed bytes may give a little more or less: only a reservation uses it).
inline size_t Utf16Units(const wchar_t* p, const wchar_t* end) { return static_cast<size_t>(end - p); }

inline size_t Utf16Units(const unsigned char* p, const unsigned char* end) {
  size_t units = 0;
#if defined(TAVRILO_JSON_SSE2)
  const __m128i belowLead = _mm_set1_epi8(-64);  // signed: 0x80..0xBF, the continuation bytes
  const __m128i belowFour = _mm_set1_epi8(-17);  // signed: above it 0xF0..0xFF (and ASCII)
  while (end - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned continuation = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(bytes, belowLead)));
    const unsigned four = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi8(bytes, belowFour))) &
                          static_cast<unsigned>(_mm_movemask_epi8(bytes));
    units += 16 - static_cast<size_t>(std::popcount(continuation)) + static_cast<size_t>(std::popcount(four));
    p += 16;
  }
#endif
  for (; p < end; ++p) units += (*p & 0xC0) == 0x80 ? 0 : *p >= 0xF0 ? 2 : 1;
  return units;
}

// Reads UTF-16 units (Char = wchar_t) or UTF-8 bytes (Char = unsigned char). Every
// character the grammar itself names is ASCII, so the one reader serves both; bytes of
// UTF-8 are decoded only inside strings, where a run between two ASCII characters
// decodes exactly as it would within the whole text. Outside strings a UTF-8 reader
// stops at any byte above 0x7F, even where the UTF-16 reader would skip U+FEFF.
template <typename Char>
class Reader {
  template <typename>
  friend class json::BasicPullReader;

 public:
  Reader(const Char* text, size_t size, bool lenient)
      : begin_(text), p_(text), end_(text + size), lenient_(lenient) {}

  bool ParseDocument(JsonValue& root) {
    SkipSpace();
    if (!ParseValue(root, 0)) return false;
    SkipSpace();
    if (p_ != end_) return Fail(i18n::Translate(L"문서 끝에 알 수 없는 데이터가 있습니다."));
    return true;
  }

  std::wstring ErrorText() const {
    std::wstring out = message_ != nullptr ? message_ : L"";
    // The suffix is translated like any text; the position is put in by hand rather than
    // through a printf format, since a translation must never act as one.
    std::wstring_view suffix = i18n::Translate(L" (위치 %zu)");
    wchar_t digits[24];
    wchar_t* d = digits + 24;
    size_t n = static_cast<size_t>(p_ - begin_);
    do {
      *--d = static_cast<wchar_t>(L'0' + n % 10);
      n /= 10;
    } while (n != 0);
    std::wstring_view number(d, static_cast<size_t>(digits + 24 - d));
    size_t at = suffix.find(L"%zu");
    if (at == std::wstring_view::npos) {
      out.append(suffix);
    } else {
      out.append(suffix.substr(0, at));
      out.append(number);
      out.append(suffix.substr(at + 3));
    }
    return out;
  }

 private:
  bool Fail(const wchar_t* message) {
    message_ = message;
    return false;
  }

  void SkipSpace() {
    for (;;) {
      // A local pointer: a byte read through p_ could alias p_ itself, which would make
      // the compiler store it on every step.
      const Char* p = p_;
      while (p < end_) {
        // Most units are above the space character, so they leave after one test.
        const unsigned c = *p;
        if (c > L' ' ? c != 0xFEFF : c != L' ' && c != L'\n' && c != L'\r' && c != L'\t') break;
        ++p;
      }
      p_ = p;
      if (!lenient_ || end_ - p_ < 2 || p_[0] != L'/') return;
      if (p_[1] == L'/') {
        p_ += 2;
        while (p_ < end_ && *p_ != L'\n' && *p_ != L'\r') ++p_;
        continue;
      }
      if (p_[1] != L'*') return;
      const Char* q = p_ + 2;
      while (q + 1 < end_ && !(q[0] == L'*' && q[1] == L'/')) ++q;
      // An unclosed block comment is left in place so that the caller fails on it.
      if (q + 1 >= end_) return;
      p_ = q + 2;
    }
  }

  bool Matches(const wchar_t* word, size_t length) const {
    if (static_cast<size_t>(end_ - p_) < length) return false;
    for (size_t i = 0; i < length; ++i) {
      if (static_cast<unsigned>(p_[i]) != static_cast<unsigned>(word[i])) return false;
    }
    return true;
  }

  bool ParseValue(JsonValue& out, int depth) {
    if (depth > kMaxDepth) return TooDeep();
    SkipSpace();
    return ParseValueHere(out, depth);
  }

  bool TooDeep() { return Fail(i18n::Translate(L"중첩이 너무 깊습니다.")); }

  // A value whose leading white space has been skipped and whose depth is checked.
  bool ParseValueHere(JsonValue& out, int depth) {
    if (p_ == end_) return Fail(i18n::Translate(L"예상치 못한 문서 끝입니다."));
    switch (*p_) {
      case L'{':
        ++p_;
        return ParseObject(out, depth);
      case L'[':
        ++p_;
        return ParseArray(out, depth);
      case L'"':
        ++p_;
        out.kind = JsonKind::String;
        return ParseString(out.text);
      case L't':
        if (Matches(L"true", 4)) {
          p_ += 4;
          out.kind = JsonKind::Bool;
          out.boolean = true;
          return true;
        }
        break;
      case L'f':
        if (Matches(L"false", 5)) {
          p_ += 5;
          out.kind = JsonKind::Bool;
          out.boolean = false;
          return true;
        }
        break;
      case L'n':
        if (Matches(L"null", 4)) {
          p_ += 4;
          out.kind = JsonKind::Null;
          return true;
        }
        break;
      default:
        if (*p_ == L'-' || IsDigit(*p_)) return ParseNumber(out);
        break;
    }
    return Fail(i18n::Translate(L"잘못된 값입니다."));
  }

  bool ParseNumber(JsonValue& out) {
    out.kind = JsonKind::Number;
    return ParseNumber(out.number);
  }

  bool ParseNumber(double& value) {
    const Char* start = p_;
    if (*p_ == L'-') ++p_;
    while (p_ < end_ && IsNumberChar(*p_)) ++p_;
    if (!ConvertNumber(start, p_, value)) return Fail(i18n::Translate(L"잘못된 숫자입니다."));
    return true;
  }

  // A string that holds no escape is the text between its quotes; only one with escapes
  // (or, in UTF-8, one that is long or not ASCII) is copied into `scratch`. Fails like
  // ParseString. The view lasts until the next string is read.
  bool ParseStringView(std::wstring_view& out, std::wstring& scratch) {
    if constexpr (std::is_same_v<Char, wchar_t>) {
      const Char* run = p_;
      while (p_ < end_ && *p_ != L'"' && *p_ != L'\\') ++p_;
      if (p_ < end_ && *p_ == L'"') {
        out = std::wstring_view(run, static_cast<size_t>(p_ - run));
        ++p_;
        return true;
      }
      p_ = run;
    } else {
      // Keys, dates and names are short and ASCII: widened into a buffer of the reader.
      unsigned high = 0;
      const Char* q = ScanStringRun(p_, end_, high);
      if (q < end_ && *q == L'"' && high == 0 && static_cast<size_t>(q - p_) <= std::size(shortText_)) {
        wchar_t* w = shortText_;
        for (const Char* c = p_; c < q; ++c) *w++ = static_cast<wchar_t>(*c);
        out = std::wstring_view(shortText_, static_cast<size_t>(q - p_));
        p_ = q + 1;
        return true;
      }
    }
    scratch.clear();
    if (!ParseString(scratch)) return false;
    out = scratch;
    return true;
  }

  // The units a string's rest gives at most, from its first escape on: the raw rest of
  // the string bounds it, so one reservation replaces the regrowth that each escape
  // would cause. In UTF-8 only lead bytes count (two for a pair).
  size_t RestUnits(const Char* run, const Char* escape) const {
    const Char* q = escape;
    for (;;) {
      unsigned high = 0;
      q = ScanStringRun(q, end_, high);
      if (q == end_ || *q == L'"') break;
      q = end_ - q >= 2 ? q + 2 : end_;  // the backslash and the character it escapes
    }
    return Utf16Units(run, q);
  }

  // Appends the characters of [run, end), decoded when they are UTF-8; `high` tells
  // whether any of those bytes is above 0x7F.
  static void AppendRun(std::wstring& out, const Char* run, const Char* end, unsigned high) {
    if constexpr (std::is_same_v<Char, wchar_t>) {
      out.append(run, end);
    } else if (high == 0) {
      // Keys, dates and much of the text are plain ASCII: widened in place.
      const size_t at = out.size();
      out.resize(at + static_cast<size_t>(end - run));
      for (wchar_t* w = out.data() + at; run < end; ++run) *w++ = static_cast<wchar_t>(*run);
    } else {
      utf8::AppendWidePiece(out, std::string_view(reinterpret_cast<const char*>(run), static_cast<size_t>(end - run)));
    }
  }

  bool ParseString(std::wstring& out) {
    const Char* p = p_;
    const Char* run = p;
    bool reserved = false;
    for (;;) {
      unsigned high = 0;
      p = ScanStringRun(p, end_, high);
      if (p == end_) {
        p_ = p;
        return Fail(i18n::Translate(L"문자열이 닫히지 않았습니다."));
      }
      if (*p == L'"') {
        AppendRun(out, run, p, high);
        p_ = p + 1;
        return true;
      }
      if (!reserved) {
        out.reserve(out.size() + RestUnits(run, p));
        reserved = true;
      }
      AppendRun(out, run, p, high);
      ++p;
      if (p == end_) {
        p_ = p;
        return Fail(i18n::Translate(L"문자열이 닫히지 않았습니다."));
      }
      const unsigned e = *p++;
      switch (e) {
        case L'"': out.push_back(L'"'); break;
        case L'/': out.push_back(L'/'); break;
        case L'\\': out.push_back(L'\\'); break;
        case L'b': out.push_back(L'\b'); break;
        case L'f': out.push_back(L'\f'); break;
        case L'n': out.push_back(L'\n'); break;
        case L'r': out.push_back(L'\r'); break;
        case L't': out.push_back(L'\t'); break;
        case L'u': {
          if (end_ - p < 4) {
            p_ = p;
            return Fail(i18n::Translate(L"잘못된 유니코드 이스케이프입니다."));
          }
          unsigned unit = 0;
          for (int i = 0; i < 4; ++i) {
            int h = HexValue(*p++);
            if (h < 0) {
              p_ = p;
              return Fail(i18n::Translate(L"잘못된 유니코드 이스케이프입니다."));
            }
            unit = unit * 16 + static_cast<unsigned>(h);
          }
          out.push_back(static_cast<wchar_t>(unit));
          break;
        }
        default:
          p_ = p;
          return Fail(i18n::Translate(L"잘못된 이스케이프 문자입니다."));
      }
      run = p;
    }
  }

  bool ParseArray(JsonValue& out, int depth) {
    out.kind = JsonKind::Array;
    SkipSpace();
    if (p_ < end_ && *p_ == L']') {
      ++p_;
      return true;
    }
    const size_t base = items_.size();
    for (;;) {
      if (depth >= kMaxDepth) return TooDeep();
      SkipSpace();
      if (StartsContainer()) {
        JsonValue item;
        if (!ParseValueHere(item, depth + 1)) return false;
        items_.push_back(std::move(item));
      } else if (!ParseValueHere(items_.emplace_back(), depth + 1)) {
        return false;
      }
      SkipSpace();
      if (p_ == end_) break;
      if (*p_ == L',') {
        ++p_;
        if (lenient_) {
          SkipSpace();
          if (p_ < end_ && *p_ == L']') {
            ++p_;
            return TakeItems(out, base);
          }
        }
        continue;
      }
      if (*p_ == L']') {
        ++p_;
        return TakeItems(out, base);
      }
      break;
    }
    return Fail(i18n::Translate(L"배열 형식이 잘못되었습니다."));
  }

  // Scalars are read straight into their slot on the scratch stack; a container goes
  // through a local value first, because its own children may grow (and move) the stack.
  bool StartsContainer() const { return p_ < end_ && (*p_ == L'[' || *p_ == L'{'); }

  // Moves a container's children from the top of a scratch stack into the container.
  template <typename T>
  static bool TakeFromStack(std::vector<T>& target, std::vector<T>& stack, size_t base) {
    target.reserve(stack.size() - base);
    for (size_t i = base; i < stack.size(); ++i) target.push_back(std::move(stack[i]));
    stack.resize(base);
    return true;
  }
  bool TakeItems(JsonValue& out, size_t base) { return TakeFromStack(out.items, items_, base); }
  bool TakeMembers(JsonValue& out, size_t base) { return TakeFromStack(out.members, members_, base); }

  bool ParseObject(JsonValue& out, int depth) {
    out.kind = JsonKind::Object;
    SkipSpace();
    if (p_ < end_ && *p_ == L'}') {
      ++p_;
      return true;
    }
    const size_t base = members_.size();
    for (;;) {
      SkipSpace();
      if (p_ == end_ || *p_ != L'"') break;
      ++p_;
      const size_t index = members_.size();
      if (!ParseString(members_.emplace_back().first)) return false;
      SkipSpace();
      if (p_ == end_ || *p_ != L':') break;
      ++p_;
      if (depth >= kMaxDepth) return TooDeep();
      SkipSpace();
      if (StartsContainer()) {
        JsonValue value;
        if (!ParseValueHere(value, depth + 1)) return false;
        members_[index].second = std::move(value);
      } else if (!ParseValueHere(members_[index].second, depth + 1)) {
        return false;
      }
      SkipSpace();
      if (p_ == end_) break;
      if (*p_ == L',') {
        ++p_;
        if (lenient_) {
          SkipSpace();
          if (p_ < end_ && *p_ == L'}') {
            ++p_;
            return TakeMembers(out, base);
          }
        }
        continue;
      }
      if (*p_ == L'}') {
        ++p_;
        return TakeMembers(out, base);
      }
      break;
    }
    return Fail(i18n::Translate(L"객체 형식이 잘못되었습니다."));
  }

  const Char* begin_;
  const Char* p_;
  const Char* end_;
  bool lenient_;
  const wchar_t* message_ = nullptr;
  wchar_t shortText_[32];  // the last short string handed out as a view (UTF-8 only)
  std::vector<JsonValue> items_;
  std::vector<std::pair<std::wstring, JsonValue>> members_;
};

}  // namespace

// ---------------------------------------------------------------------------------
// The pull reader walks the same grammar with the same primitives (strict mode) but
// lets the caller decide what to keep, so that large documents need no tree.

// UTF-8 is read as unsigned bytes, so that every byte compares as its value.
template <typename Char>
using UnitOf = std::conditional_t<std::is_same_v<Char, wchar_t>, wchar_t, unsigned char>;

template <typename Char>
struct BasicPullReader<Char>::Impl {
  explicit Impl(std::basic_string_view<Char> text)
      : reader(reinterpret_cast<const UnitOf<Char>*>(text.data()), text.size(), false) {}
  Reader<UnitOf<Char>> reader;
  // One entry per open container: whether its first child is still to come.
  std::vector<bool> first;
  bool failed = false;

  bool Fail() {
    failed = true;
    return false;
  }
  int Depth() const { return static_cast<int>(first.size()); }
};

template <typename Char>
BasicPullReader<Char>::BasicPullReader(std::basic_string_view<Char> text) : impl_(std::make_unique<Impl>(text)) {}
template <typename Char>
BasicPullReader<Char>::~BasicPullReader() = default;

template <typename Char>
bool BasicPullReader<Char>::failed() const { return impl_->failed; }

template <typename Char>
JsonKind BasicPullReader<Char>::Peek() {
  auto& r = impl_->reader;
  r.SkipSpace();
  if (r.p_ == r.end_) return JsonKind::Null;
  switch (*r.p_) {
    case L'{': return JsonKind::Object;
    case L'[': return JsonKind::Array;
    case L'"': return JsonKind::String;
    case L't':
    case L'f': return JsonKind::Bool;
    case L'-': return JsonKind::Number;
    default: return IsDigit(*r.p_) ? JsonKind::Number : JsonKind::Null;
  }
}

template <typename Char>
bool BasicPullReader<Char>::Begin(wchar_t open) {
  auto& r = impl_->reader;
  if (impl_->failed) return false;
  // The container itself sits one level below its parent; values may reach depth 200.
  if (impl_->Depth() > kMaxDepth) return impl_->Fail();
  r.SkipSpace();
  if (r.p_ == r.end_ || *r.p_ != open) return impl_->Fail();
  ++r.p_;
  impl_->first.push_back(true);
  return true;
}

template <typename Char>
bool BasicPullReader<Char>::BeginObject() { return Begin(L'{'); }
template <typename Char>
bool BasicPullReader<Char>::BeginArray() { return Begin(L'['); }

template <typename Char>
bool BasicPullReader<Char>::Next(wchar_t close) {
  auto& r = impl_->reader;
  if (impl_->failed || impl_->first.empty()) return false;
  r.SkipSpace();
  if (r.p_ == r.end_) return impl_->Fail();
  if (impl_->first.back()) {
    impl_->first.back() = false;
    if (*r.p_ == close) {
      ++r.p_;
      impl_->first.pop_back();
      return false;
    }
    return true;
  }
  if (*r.p_ == close) {
    ++r.p_;
    impl_->first.pop_back();
    return false;
  }
  if (*r.p_ != L',') return impl_->Fail();
  ++r.p_;
  return true;
}

template <typename Char>
bool BasicPullReader<Char>::NextItem() {
  if (!Next(L']')) return false;
  // A child value sits one level deeper than its array.
  if (impl_->Depth() > kMaxDepth) return impl_->Fail();
  return true;
}

template <typename Char>
bool BasicPullReader<Char>::NextMember(std::wstring& key) {
  if (!Next(L'}')) return false;
  auto& r = impl_->reader;
  r.SkipSpace();
  if (r.p_ == r.end_ || *r.p_ != L'"') return impl_->Fail();
  ++r.p_;
  key.clear();
  if (!r.ParseString(key)) return impl_->Fail();
  r.SkipSpace();
  if (r.p_ == r.end_ || *r.p_ != L':') return impl_->Fail();
  ++r.p_;
  if (impl_->Depth() > kMaxDepth) return impl_->Fail();
  return true;
}

template <typename Char>
bool BasicPullReader<Char>::NextMember(std::wstring_view& key, std::wstring& scratch) {
  if (!Next(L'}')) return false;
  auto& r = impl_->reader;
  r.SkipSpace();
  if (r.p_ == r.end_ || *r.p_ != L'"') return impl_->Fail();
  ++r.p_;
  if (!r.ParseStringView(key, scratch)) return impl_->Fail();
  r.SkipSpace();
  if (r.p_ == r.end_ || *r.p_ != L':') return impl_->Fail();
  ++r.p_;
  if (impl_->Depth() > kMaxDepth) return impl_->Fail();
  return true;
}

template <typename Char>
bool BasicPullReader<Char>::ReadStringView(std::wstring_view& out, std::wstring& scratch) {
  auto& r = impl_->reader;
  if (impl_->failed) return false;
  r.SkipSpace();
  if (r.p_ == r.end_ || *r.p_ != L'"') return impl_->Fail();
  ++r.p_;
  if (!r.ParseStringView(out, scratch)) return impl_->Fail();
  return true;
}

template <typename Char>
bool BasicPullReader<Char>::ReadNumber(double& out) {
  auto& r = impl_->reader;
  if (impl_->failed) return false;
  r.SkipSpace();
  if (r.p_ == r.end_ || (*r.p_ != L'-' && !IsDigit(*r.p_))) return impl_->Fail();
  if (!r.ParseNumber(out)) return impl_->Fail();
  return true;
}

template <typename Char>
bool BasicPullReader<Char>::ReadValue(JsonValue& out) {
  if (impl_->failed) return false;
  out = JsonValue();
  if (!impl_->reader.ParseValue(out, impl_->Depth())) return impl_->Fail();
  return true;
}

template <typename Char>
bool BasicPullReader<Char>::ReadString(std::wstring& out) {
  auto& r = impl_->reader;
  if (impl_->failed) return false;
  r.SkipSpace();
  if (r.p_ == r.end_ || *r.p_ != L'"') return impl_->Fail();
  ++r.p_;
  out.clear();
  if (!r.ParseString(out)) return impl_->Fail();
  return true;
}

template <typename Char>
bool BasicPullReader<Char>::Skip() {
  JsonValue ignored;
  return ReadValue(ignored);
}

template <typename Char>
bool BasicPullReader<Char>::Finish() {
  auto& r = impl_->reader;
  if (impl_->failed || !impl_->first.empty()) return false;
  r.SkipSpace();
  if (r.p_ != r.end_) return impl_->Fail();
  return true;
}

template class BasicPullReader<wchar_t>;
template class BasicPullReader<char>;

bool Parse(std::wstring_view text, bool lenient, JsonValue& root, std::wstring& error) {
  root = JsonValue();
  Reader<wchar_t> reader(text.data(), text.size(), lenient);
  if (reader.ParseDocument(root)) return true;
  error = reader.ErrorText();
  return false;
}

}  // namespace json
