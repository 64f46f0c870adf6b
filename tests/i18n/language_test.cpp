#include "i18n/language.h"

#include <gtest/gtest.h>

#include "i18n/translate.h"

namespace {

TEST(LanguageCodes, MatchOnTheFirstTwoLettersOnly) {
  EXPECT_EQ(i18n::LanguageFromCode(L"ko"), i18n::kKorean);
  EXPECT_EQ(i18n::LanguageFromCode(L"KO-kr"), i18n::kKorean);
  EXPECT_EQ(i18n::LanguageFromCode(L"ko_KR"), i18n::kKorean);
  EXPECT_EQ(i18n::LanguageFromCode(L"KO"), i18n::kKorean);
  EXPECT_EQ(i18n::LanguageFromCode(L"ja_JP"), i18n::kJapanese);
  EXPECT_EQ(i18n::LanguageFromCode(L"zh-TW"), i18n::kChinese);
  EXPECT_EQ(i18n::LanguageFromCode(L"fr-CA"), i18n::kFrench);
  EXPECT_EQ(i18n::LanguageFromCode(L"de-AT"), i18n::kGerman);
  EXPECT_EQ(i18n::LanguageFromCode(L"en-GB"), i18n::kEnglish);
  EXPECT_EQ(i18n::LanguageFromCode(L"kor"), i18n::kSystemLanguage);
  EXPECT_EQ(i18n::LanguageFromCode(L"k"), i18n::kSystemLanguage);
  EXPECT_EQ(i18n::LanguageFromCode(L""), i18n::kSystemLanguage);
  EXPECT_EQ(i18n::LanguageFromCode(L"es-ES"), i18n::kSystemLanguage);
  EXPECT_EQ(i18n::LanguageFromCode(L"ko.KR"), i18n::kSystemLanguage);
}

TEST(LanguageCodes, EveryCodeMapsBackToItsIndex) {
  for (int i = 1; i < i18n::kLanguageCount; ++i) EXPECT_EQ(i18n::LanguageFromCode(i18n::kLanguageCodes[i]), i);
  EXPECT_STREQ(i18n::kLanguageCodes[0], L"");
}

TEST(LanguageDetection, FirstSupportedPreferredLanguageWins) {
  EXPECT_EQ(i18n::PickLanguage({L"pt-BR", L"ja-JP"}, L"ko-KR"), i18n::kJapanese);
  EXPECT_EQ(i18n::PickLanguage({L"pt-BR", L"it-IT"}, L"es-ES"), i18n::kEnglish);
  EXPECT_EQ(i18n::PickLanguage({L"pt-BR"}, L"de-DE"), i18n::kGerman);
  EXPECT_EQ(i18n::PickLanguage({}, L""), i18n::kEnglish);
  int detected = i18n::DetectSystemLanguage();
  EXPECT_GE(detected, 1);
  EXPECT_LT(detected, i18n::kLanguageCount);
}

TEST(LanguageSelection, ConfiguredAndCurrentValues) {
  i18n::SetLanguage(i18n::kGerman);
  EXPECT_EQ(i18n::ConfiguredLanguage(), i18n::kGerman);
  EXPECT_EQ(i18n::CurrentLanguage(), i18n::kGerman);

  i18n::SetLanguage(0);
  EXPECT_EQ(i18n::ConfiguredLanguage(), i18n::kSystemLanguage);
  EXPECT_EQ(i18n::CurrentLanguage(), i18n::DetectSystemLanguage());

  i18n::SetLanguage(7);  // out of range counts as "follow the system"
  EXPECT_EQ(i18n::ConfiguredLanguage(), i18n::kSystemLanguage);
  EXPECT_GE(i18n::CurrentLanguage(), 1);

  i18n::SetLanguage(-3);
  EXPECT_EQ(i18n::ConfiguredLanguage(), i18n::kSystemLanguage);
  i18n::SetLanguage(i18n::kEnglish);
}

}  // namespace
