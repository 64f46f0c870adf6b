// Which faces the font sets really get: the embedded Pretendard, the fallbacks, and the
// languages that need their own system face.
#include <gtest/gtest.h>

#include "i18n/language.h"
#include "ui/kit/fonts.h"
#include "ui_test_util.h"

namespace {

std::wstring LogicalFace(HFONT font) {
  LOGFONTW lf{};
  GetObjectW(font, sizeof(lf), &lf);
  return lf.lfFaceName;
}

// Restores the language the other tests expect, whatever an assertion did.
struct LanguageScope {
  int saved = i18n::ConfiguredLanguage();
  ~LanguageScope() { i18n::SetLanguage(saved); }
};

TEST(KitFonts, FamiliesByLanguageAndAvailability) {
  auto korean = kit::FamiliesFor(i18n::kKorean, true);
  EXPECT_EQ(korean.base, L"Pretendard");
  EXPECT_EQ(korean.semibold, L"Pretendard SemiBold");
  EXPECT_TRUE(korean.semiboldIsSeparateFace);
  auto fallback = kit::FamiliesFor(i18n::kEnglish, false);
  EXPECT_EQ(fallback.base, L"Segoe UI");
  EXPECT_EQ(fallback.semibold, L"Segoe UI");
  EXPECT_FALSE(fallback.semiboldIsSeparateFace);
  for (bool pretendard : {true, false}) {
    auto japanese = kit::FamiliesFor(i18n::kJapanese, pretendard);
    EXPECT_EQ(japanese.base, L"Yu Gothic UI");
    EXPECT_EQ(japanese.semibold, L"Yu Gothic UI");
    EXPECT_FALSE(japanese.semiboldIsSeparateFace);
    auto chinese = kit::FamiliesFor(i18n::kChinese, pretendard);
    EXPECT_EQ(chinese.base, L"Microsoft YaHei UI");
    EXPECT_EQ(chinese.semibold, L"Microsoft YaHei UI");
  }
  EXPECT_EQ(kit::FamiliesFor(i18n::kGerman, true).base, L"Pretendard");
}

TEST(KitFonts, EmbeddedFacesResolveAndFallBackWithoutThem) {
  testui::EnsureUi();
  LanguageScope language;
  i18n::SetLanguage(i18n::kKorean);
  ASSERT_TRUE(kit::PretendardAvailable()) << "loaded from this test program's resources";
  {
    kit::OwnedFontSet fonts(96);
    EXPECT_EQ(kit::ResolvedFaceName(fonts->body), L"Pretendard");
    EXPECT_EQ(kit::ResolvedFaceName(fonts->semibold), L"Pretendard SemiBold");
    LOGFONTW lf{};
    GetObjectW(fonts->semibold, sizeof(lf), &lf);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL) << "the semibold face carries its weight itself";
    GetObjectW(fonts->title, sizeof(lf), &lf);
    EXPECT_EQ(lf.lfHeight, -20);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
  }
  {
    kit::OwnedFontSet fonts(144);
    LOGFONTW lf{};
    GetObjectW(fonts->body, sizeof(lf), &lf);
    EXPECT_EQ(lf.lfHeight, -21);
  }

  // A module without the font resources: nothing to register, so the fallback family.
  kit::UnloadEmbeddedFonts();
  EXPECT_FALSE(kit::LoadEmbeddedFonts(GetModuleHandleW(L"kernel32.dll")));
  EXPECT_FALSE(kit::PretendardAvailable());
  {
    kit::OwnedFontSet fonts(96);
    EXPECT_EQ(LogicalFace(fonts->body), L"Segoe UI");
    EXPECT_EQ(LogicalFace(fonts->semibold), L"Segoe UI");
    LOGFONTW lf{};
    GetObjectW(fonts->semibold, sizeof(lf), &lf);
    EXPECT_EQ(lf.lfWeight, FW_SEMIBOLD);
  }

  kit::UnloadEmbeddedFonts();
  ASSERT_TRUE(kit::LoadEmbeddedFonts(GetModuleHandleW(nullptr))) << "the later screenshots need Pretendard back";
}

TEST(KitFonts, JapaneseUsesItsSystemFaceEvenWithPretendard) {
  testui::EnsureUi();
  ASSERT_TRUE(kit::PretendardAvailable());
  LanguageScope language;
  i18n::SetLanguage(i18n::kJapanese);
  kit::OwnedFontSet fonts(96);
  EXPECT_EQ(LogicalFace(fonts->body), L"Yu Gothic UI");
  EXPECT_EQ(LogicalFace(fonts->semibold), L"Yu Gothic UI");
  LOGFONTW lf{};
  GetObjectW(fonts->semibold, sizeof(lf), &lf);
  EXPECT_EQ(lf.lfWeight, FW_SEMIBOLD) << "no separate semibold face: the weight does it";
  i18n::SetLanguage(i18n::kEnglish);
  fonts.Rebuild(96);
  EXPECT_EQ(LogicalFace(fonts->body), L"Pretendard");
}

TEST(KitFonts, RebuildReplacesAndDestroyReleases) {
  testui::EnsureUi();
  kit::FontSet set;
  kit::BuildFontSet(set, 0);
  EXPECT_EQ(set.dpi, 96) << "a DPI below 1 means 96";
  HFONT oldBody = set.body;
  kit::BuildFontSet(set, 120);
  EXPECT_EQ(GetObjectType(oldBody), 0u) << "rebuilding deletes the old fonts";
  EXPECT_EQ(set.dpi, 120);
  HFONT fonts[] = {set.body, set.small, set.semibold, set.bold, set.title, set.huge, set.item};
  kit::DestroyFontSet(set);
  for (HFONT font : fonts) EXPECT_EQ(GetObjectType(font), 0u);
  EXPECT_EQ(set.body, nullptr);
  kit::DestroyFontSet(set);  // twice is harmless
}

}  // namespace
