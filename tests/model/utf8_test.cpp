// The block-wise decoder against a plain byte-at-a-time one that states the replacement
// rules directly: every input, at every alignment, must decode to the same units.
#include "model/utf8.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace {

// One U+FFFD per maximal bad subpart: a lead byte that cannot start a sequence, or a
// valid lead followed by too few fitting continuation bytes.
std::wstring ReferenceDecode(const std::string& bytes) {
  std::wstring out;
  size_t i = 0;
  const size_t n = bytes.size();
  auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
  while (i < n) {
    const unsigned char b = at(i++);
    if (b < 0x80) {
      out.push_back(static_cast<wchar_t>(b));
      continue;
    }
    int need = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1, cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2, cp = b & 0x0F;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3, cp = b & 0x07;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    } else {
      out.push_back(0xFFFD);
      continue;
    }
    bool ok = true;
    for (int k = 0; k < need; ++k) {
      const unsigned char min = k == 0 ? lo : 0x80, max = k == 0 ? hi : 0xBF;
      if (i >= n || at(i) < min || at(i) > max) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (at(i++) & 0x3F);
    }
    if (!ok) {
      out.push_back(0xFFFD);
    } else if (cp >= 0x10000) {
      out.push_back(static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<wchar_t>(cp));
    }
  }
  return out;
}

TEST(Utf8Decode, KnownForms) {
  struct Case {
    std::string bytes;
    std::wstring units;
  } cases[] = {
      {"", L""},
      {"plain ascii that is longer than one block of sixteen", L"plain ascii that is longer than one block of sixteen"},
      {"\xED\x95\x9C\xEA\xB8\x80", L"\uD55C\uAE00"},
      {"\xC3\xA9t\xC3\xA9", L"\u00E9t\u00E9"},
      {"\xF0\x9F\x98\x80", L"\U0001F600"},
      {"\xC0\xAF", L"\xFFFD\xFFFD"},                  // overlong lead, stray continuation
      {"\xE0\x80\xAF", L"\xFFFD\xFFFD\xFFFD"},         // overlong three-byte form
      {"\xED\xA0\x80", L"\xFFFD\xFFFD\xFFFD"},         // an encoded surrogate
      {"\xF4\x90\x80\x80", L"\xFFFD\xFFFD\xFFFD\xFFFD"},  // past U+10FFFF
      {"\xE2\x82", L"\xFFFD"},                         // cut short at the end
      {"0123456789abcde\xE2\x82\xAC" "0123456789abcdef", L"0123456789abcde\u20AC0123456789abcdef"},
      {"0123456789abcdef\xFF", L"0123456789abcdef\xFFFD"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf8::ToWide(c.bytes), c.units) << testing::PrintToString(c.bytes);
    EXPECT_EQ(ReferenceDecode(c.bytes), c.units) << testing::PrintToString(c.bytes);
  }
  std::wstring appended = L"kept";
  utf8::AppendWide(appended, "\xEA\xB8\x80 after");
  EXPECT_EQ(appended, L"kept\uAE00 after");
}

// Long ASCII runs with odd bytes dropped in at every offset of a block, and random
// mixtures of valid and broken sequences, short and long.
TEST(Utf8Decode, AgreesWithTheByteAtATimeRulesEverywhere) {
  static const char* const kPieces[] = {
      "a", " ", "\"key\": ", "\n    ", "\xED\x95\x9C", "\xC3\xA9", "\xF0\x9F\x98\x80", "\xE2\x82", "\x80", "\xFF",
      "\xC0", "\xED\xA0\x80", "\xF4\x90", "\xE0\xA0", "\xF0\x90\x80", "0123456789abcdef0123456789"};
  std::mt19937 rng(20261208);
  for (int round = 0; round < 4000; ++round) {
    std::string bytes;
    // Some texts run past the decoder's working chunk of a few thousand units.
    const int pieces = static_cast<int>(round % 10 == 0 ? 1500 + rng() % 1500 : rng() % 40);
    for (int i = 0; i < pieces; ++i) {
      if (rng() % 5 == 0) {
        bytes.push_back(static_cast<char>(rng() & 0xFF));
      } else {
        bytes += kPieces[rng() % std::size(kPieces)];
      }
    }
    ASSERT_EQ(utf8::ToWide(bytes), ReferenceDecode(bytes)) << testing::PrintToString(bytes);
  }
  for (size_t length = 0; length < 70; ++length) {
    for (size_t at = 0; at < length; ++at) {
      for (unsigned char odd : {0x80, 0xC3, 0xE2, 0xF0, 0xFF}) {
        std::string bytes(length, 'x');
        bytes[at] = static_cast<char>(odd);
        ASSERT_EQ(utf8::ToWide(bytes), ReferenceDecode(bytes)) << length << " " << at << " " << int(odd);
      }
    }
  }
}

}  // namespace
