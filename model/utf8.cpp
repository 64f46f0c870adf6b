#include "model/utf8.h"

namespace utf8 {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;

}  // namespace

void AppendWide(std::wstring& out, std::string_view bytes) {
  // Never more units than bytes: write through a pointer into room made up front, and
  // trim afterwards, instead of a capacity check per character.
  const size_t base = out.size();
  out.resize(base + bytes.size());
  wchar_t* w = out.data() + base;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    unsigned char b = *p;
    if (b < 0x80) {
      // Runs of ASCII dominate project files.
      *w++ = static_cast<wchar_t>(b);
      ++p;
      continue;
    }
    int need;
    char32_t cp;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the first continuation byte
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1;
      cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2;
      cp = b & 0x0F;
      if (b == 0xE0) lo = 0xA0;          // overlong
      if (b == 0xED) hi = 0x9F;          // UTF-16 surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3;
      cp = b & 0x07;
      if (b == 0xF0) lo = 0x90;          // overlong
      if (b == 0xF4) hi = 0x8F;          // past U+10FFFF
    } else {
      *w++ = kReplacement;
      ++p;
      continue;
    }
    ++p;
    bool ok = true;
    for (int i = 0; i < need; ++i) {
      if (p >= end) {
        ok = false;
        break;
      }
      unsigned char c = *p;
      unsigned char min = i == 0 ? lo : 0x80;
      unsigned char max = i == 0 ? hi : 0xBF;
      if (c < min || c > max) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (c & 0x3F);
      ++p;
    }
    if (!ok) {
      *w++ = kReplacement;
    } else if (cp >= 0x10000) {
      // Four bytes give two units: still no more units than bytes.
      cp -= 0x10000;
      *w++ = static_cast<wchar_t>(0xD800 + (cp >> 10));
      *w++ = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    } else {
      *w++ = static_cast<wchar_t>(cp);
    }
  }
  out.resize(static_cast<size_t>(w - out.data()));
}

std::wstring ToWide(std::string_view bytes) {
  std::wstring out;
  AppendWide(out, bytes);
  return out;
}

void AppendUtf8(std::string& out, std::wstring_view text) {
  out.reserve(out.size() + text.size());
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    char32_t c = static_cast<char16_t>(text[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n) {
      char32_t d = static_cast<char16_t>(text[i + 1]);
      if (d >= 0xDC00 && d <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00);
        ++i;
      }
    }
    if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
    if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
}

std::string FromWide(std::wstring_view text) {
  std::string out;
  AppendUtf8(out, text);
  return out;
}

}  // namespace utf8
