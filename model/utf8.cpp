#include "model/utf8.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define TAVRILO_UTF8_SSE2 1
#endif

namespace utf8 {
namespace {

static_assert(sizeof(wchar_t) == 2, "the block widening writes UTF-16 units");

constexpr wchar_t kReplacement = 0xFFFD;

// Units decoded at a time into a buffer on the stack and then appended: the string's
// memory is written once, instead of being zero-filled by a resize first and written
// again (for a large file the untouched pages of a fresh allocation are most of the cost).
constexpr size_t kChunkUnits = 4096;
constexpr size_t kPieceChunkUnits = 512;
// The most units one step below writes: a block of sixteen.
constexpr ptrdiff_t kStepUnits = 16;

// Widens the ASCII run at the start of [p, end) sixteen bytes at a time and returns
// where it stopped: at the first non-ASCII byte, where fewer than sixteen bytes are
// left, or where the output has no room for another block. Project files are mostly
// ASCII (keys, dates, paths, indentation). A whole block is stored even when only its
// first units count; the caller keeps room for it.
const unsigned char* WidenAsciiRun(const unsigned char* p, const unsigned char* end, wchar_t*& w,
                                   const wchar_t* limit) {
#if defined(TAVRILO_UTF8_SSE2)
  const __m128i zero = _mm_setzero_si128();
  while (end - p >= 16 && limit - w >= kStepUnits) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(w), _mm_unpacklo_epi8(bytes, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(w + 8), _mm_unpackhi_epi8(bytes, zero));
    const int high = _mm_movemask_epi8(bytes);
    if (high != 0) {
      // Only the units before the first high byte count; the caller decodes from there.
      const int ascii = std::countr_zero(static_cast<unsigned>(high));
      w += ascii;
      return p + ascii;
    }
    p += 16;
    w += 16;
  }
#else
  while (end - p >= 8 && limit - w >= kStepUnits) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if ((word & 0x8080808080808080ULL) != 0) break;
    for (int i = 0; i < 8; ++i) w[i] = static_cast<wchar_t>(p[i]);
    p += 8;
    w += 8;
  }
#endif
  return p;
}

// Decodes from p until the input ends or the output has less than one step of room
// left before `limit`; returns where it stopped.
const unsigned char* DecodeSome(const unsigned char* p, const unsigned char* end, wchar_t*& w,
                                const wchar_t* limit) {
  while (p < end && limit - w >= kStepUnits) {
    unsigned char b = *p;
    if (b < 0x80) {
      p = WidenAsciiRun(p, end, w, limit);
      // The last few bytes, or the ASCII bytes the block check left before a high one.
      while (p < end && *p < 0x80 && w < limit) *w++ = static_cast<wchar_t>(*p++);
      continue;
    }
    // Well-formed two- and three-byte forms (Hangul, kana, punctuation) take a short
    // road; everything else, malformed input included, goes through the general one.
    if (b >= 0xE0 && b <= 0xEF && end - p >= 3) {
      const unsigned char c1 = p[1], c2 = p[2];
      const unsigned char lo = b == 0xE0 ? 0xA0 : 0x80, hi = b == 0xED ? 0x9F : 0xBF;
      if (c1 >= lo && c1 <= hi && (c2 & 0xC0) == 0x80) {
        *w++ = static_cast<wchar_t>(((b & 0x0F) << 12) | ((c1 & 0x3F) << 6) | (c2 & 0x3F));
        p += 3;
        continue;
      }
    } else if (b >= 0xC2 && b <= 0xDF && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
      *w++ = static_cast<wchar_t>(((b & 0x1F) << 6) | (p[1] & 0x3F));
      p += 2;
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
      cp -= 0x10000;
      *w++ = static_cast<wchar_t>(0xD800 + (cp >> 10));
      *w++ = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    } else {
      *w++ = static_cast<wchar_t>(cp);
    }
  }
  return p;
}

template <size_t ChunkUnits>
void AppendInChunks(std::wstring& out, std::string_view bytes) {
  wchar_t chunk[ChunkUnits];
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    wchar_t* w = chunk;
    p = DecodeSome(p, end, w, chunk + ChunkUnits);
    out.append(chunk, static_cast<size_t>(w - chunk));
  }
}

}  // namespace

void AppendWide(std::wstring& out, std::string_view bytes) {
  // Never more units than bytes, so one reservation holds the whole text.
  out.reserve(out.size() + bytes.size());
  AppendInChunks<kChunkUnits>(out, bytes);
}

void AppendWidePiece(std::wstring& out, std::string_view bytes) {
  // Pieces are mostly short strings: a small buffer keeps the frame below a page, so
  // no stack probe runs on each call.
  AppendInChunks<kPieceChunkUnits>(out, bytes);
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
