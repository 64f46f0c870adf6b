// The writer: one layout, produced either as UTF-16 or directly as UTF-8 so that
// saving a large document does not build the whole text twice.
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/json.h"

namespace json {
namespace {

// Integral values below this magnitude are written as integers; beyond it "%.17g"
// decides, which keeps 1e15 and larger in the form the C library would give.
constexpr double kIntegerLimit = 1e15;

// Writes the characters of a number into buf and returns their count. Non-finite
// values have no JSON form: an infinity is written as a literal that the reader's
// conversion overflows back to the same infinity, and NaN, which nothing could read
// back as itself, becomes null rather than a document the reader rejects.
size_t FormatNumber(double v, char* buf, size_t size) {
  if (std::isnan(v)) {
    std::memcpy(buf, "null", 4);
    return 4;
  }
  if (std::isinf(v)) {
    if (v > 0) {
      std::memcpy(buf, "1e999", 5);
      return 5;
    }
    std::memcpy(buf, "-1e999", 6);
    return 6;
  }
  std::to_chars_result r;
  if (std::fabs(v) < kIntegerLimit && std::trunc(v) == v) {
    r = std::to_chars(buf, buf + size, static_cast<long long>(v));
  } else {
    // Same digits as "%.17g", without the locale and format parsing of printf.
    r = std::to_chars(buf, buf + size, v, std::chars_format::general, 17);
  }
  return static_cast<size_t>(r.ptr - buf);
}

template <class Char>
class Writer {
 public:
  using String = std::basic_string<Char>;

  Writer(String& out, bool pretty) : out_(out), pretty_(pretty) {}

  void Value(const JsonValue& v, int depth) {
    switch (v.kind) {
      case JsonKind::Null: Ascii("null", 4); break;
      case JsonKind::Bool: v.boolean ? Ascii("true", 4) : Ascii("false", 5); break;
      case JsonKind::Number: {
        char buf[40];
        Ascii(buf, FormatNumber(v.number, buf, sizeof(buf)));
        break;
      }
      case JsonKind::String: Text(v.text); break;
      case JsonKind::Array:
        if (v.items.empty()) {
          Ascii("[]", 2);
          break;
        }
        out_.push_back(Char('['));
        for (size_t i = 0; i < v.items.size(); ++i) {
          if (i != 0) out_.push_back(Char(','));
          Break(depth + 1);
          Value(v.items[i], depth + 1);
        }
        Break(depth);
        out_.push_back(Char(']'));
        break;
      case JsonKind::Object:
        if (v.members.empty()) {
          Ascii("{}", 2);
          break;
        }
        out_.push_back(Char('{'));
        for (size_t i = 0; i < v.members.size(); ++i) {
          if (i != 0) out_.push_back(Char(','));
          Break(depth + 1);
          Text(v.members[i].first);
          if (pretty_) {
            Ascii(": ", 2);
          } else {
            out_.push_back(Char(':'));
          }
          Value(v.members[i].second, depth + 1);
        }
        Break(depth);
        out_.push_back(Char('}'));
        break;
    }
  }

  // Used by the streaming writer as well.
  void Ascii(const char* s, size_t n) {
    if constexpr (sizeof(Char) == 1) {
      out_.append(s, n);
    } else {
      for (size_t i = 0; i < n; ++i) out_.push_back(static_cast<Char>(s[i]));
    }
  }

  void Break(int depth) {
    if (!pretty_) return;
    out_.push_back(Char('\n'));
    if (depth > 0) out_.append(static_cast<size_t>(depth) * 2, Char(' '));
  }

  // Writes the escape of a unit that cannot appear as itself, into at most 6 places.
  static size_t Escape(wchar_t c, Char* dst) {
    Char e = 0;
    switch (c) {
      case L'\b': e = Char('b'); break;
      case L'\t': e = Char('t'); break;
      case L'\n': e = Char('n'); break;
      case L'\f': e = Char('f'); break;
      case L'\r': e = Char('r'); break;
      case L'"': e = Char('"'); break;
      case L'\\': e = Char('\\'); break;
      default: {
        static const char kHex[] = "0123456789abcdef";
        dst[0] = Char('\\');
        dst[1] = Char('u');
        dst[2] = Char('0');
        dst[3] = Char('0');
        dst[4] = Char(kHex[(c >> 4) & 0xF]);
        dst[5] = Char(kHex[c & 0xF]);
        return 6;
      }
    }
    dst[0] = Char('\\');
    dst[1] = e;
    return 2;
  }

  static bool NeedsEscape(wchar_t c) { return c < 0x20 || c == L'"' || c == L'\\'; }

  void Text(std::wstring_view s) {
    out_.push_back(Char('"'));
    if constexpr (sizeof(Char) == 1) {
      Utf8Body(s);
    } else {
      WideBody(s);
    }
    out_.push_back(Char('"'));
  }

  void WideBody(std::wstring_view s) {
    const wchar_t* p = s.data();
    const wchar_t* end = p + s.size();
    const wchar_t* run = p;
    Char esc[6];
    for (; p < end; ++p) {
      if (!NeedsEscape(*p)) continue;
      out_.append(run, static_cast<size_t>(p - run));
      out_.append(esc, Escape(*p, esc));
      run = p + 1;
    }
    out_.append(run, static_cast<size_t>(end - run));
  }

  // Encodes through a small stack buffer: bulk appends without a per-byte capacity check
  // and without sizing the string for the worst case of a long text.
  void Utf8Body(std::wstring_view s) {
    constexpr size_t kBuffer = 1024;
    char buf[kBuffer];
    size_t n = 0;
    const size_t count = s.size();
    const wchar_t* t = s.data();
    for (size_t i = 0; i < count; ++i) {
      if (n > kBuffer - 8) {
        out_.append(buf, n);
        n = 0;
      }
      char32_t c = static_cast<char16_t>(t[i]);
      if (c < 0x80) {
        if (NeedsEscape(static_cast<wchar_t>(c))) {
          n += Escape(static_cast<wchar_t>(c), reinterpret_cast<Char*>(buf + n));
        } else {
          buf[n++] = static_cast<char>(c);
        }
        continue;
      }
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count) {
        char32_t d = static_cast<char16_t>(t[i + 1]);
        if (d >= 0xDC00 && d <= 0xDFFF) {
          c = 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00);
          ++i;
        }
      }
      // A surrogate without its partner has no UTF-8 form.
      if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
      if (c < 0x800) {
        buf[n++] = static_cast<char>(0xC0 | (c >> 6));
        buf[n++] = static_cast<char>(0x80 | (c & 0x3F));
      } else if (c < 0x10000) {
        buf[n++] = static_cast<char>(0xE0 | (c >> 12));
        buf[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        buf[n++] = static_cast<char>(0x80 | (c & 0x3F));
      } else {
        buf[n++] = static_cast<char>(0xF0 | (c >> 18));
        buf[n++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        buf[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        buf[n++] = static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    out_.append(buf, n);
  }

  void Char1(char c) { out_.push_back(static_cast<Char>(c)); }

 private:
  String& out_;
  bool pretty_;
};

}  // namespace

// The streaming writer keeps, per open container, whether anything was written into it
// yet, so that empty containers still come out as "[]" and "{}" exactly as the tree
// writer gives them.
struct Utf8StreamWriter::Impl {
  explicit Impl(std::string& out) : writer(out, true) {}
  Writer<char> writer;
  std::vector<bool> empty;  // one per open container
  bool afterKey = false;

  void BeforeValue() {
    if (afterKey) {
      afterKey = false;
      return;
    }
    if (empty.empty()) return;
    if (!empty.back()) writer.Char1(',');
    empty.back() = false;
    writer.Break(static_cast<int>(empty.size()));
  }
  void Open(char c) {
    BeforeValue();
    writer.Char1(c);
    empty.push_back(true);
  }
  void Close(char c) {
    bool wasEmpty = empty.back();
    empty.pop_back();
    if (!wasEmpty) writer.Break(static_cast<int>(empty.size()));
    writer.Char1(c);
  }
};

Utf8StreamWriter::Utf8StreamWriter(std::string& out) : impl_(std::make_unique<Impl>(out)) {}
Utf8StreamWriter::~Utf8StreamWriter() = default;
void Utf8StreamWriter::BeginObject() { impl_->Open('{'); }
void Utf8StreamWriter::EndObject() { impl_->Close('}'); }
void Utf8StreamWriter::BeginArray() { impl_->Open('['); }
void Utf8StreamWriter::EndArray() { impl_->Close(']'); }
void Utf8StreamWriter::Key(std::wstring_view key) {
  impl_->BeforeValue();
  impl_->writer.Text(key);
  impl_->writer.Ascii(": ", 2);
  impl_->afterKey = true;
}
void Utf8StreamWriter::String(std::wstring_view text) {
  impl_->BeforeValue();
  impl_->writer.Text(text);
}
void Utf8StreamWriter::Number(double value) {
  impl_->BeforeValue();
  char buf[40];
  impl_->writer.Ascii(buf, FormatNumber(value, buf, sizeof(buf)));
}
void Utf8StreamWriter::Bool(bool value) {
  impl_->BeforeValue();
  value ? impl_->writer.Ascii("true", 4) : impl_->writer.Ascii("false", 5);
}
void Utf8StreamWriter::Null() {
  impl_->BeforeValue();
  impl_->writer.Ascii("null", 4);
}
void Utf8StreamWriter::EndDocument() { impl_->writer.Char1('\n'); }

void Serialize(const JsonValue& value, bool pretty, int depth, std::wstring& out) {
  Writer<wchar_t>(out, pretty).Value(value, depth < 0 ? 0 : depth);
}

std::wstring WriteDocument(const JsonValue& value) {
  std::wstring out;
  Writer<wchar_t>(out, true).Value(value, 0);
  out.push_back(L'\n');
  return out;
}

std::string WriteDocumentUtf8(const JsonValue& value) {
  std::string out;
  Writer<char>(out, true).Value(value, 0);
  out.push_back('\n');
  return out;
}

}  // namespace json
