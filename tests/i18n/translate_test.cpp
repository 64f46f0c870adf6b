#include "i18n/translate.h"

#include <gtest/gtest.h>

#include "support/language_scope.h"

#include <thread>
#include <vector>

#include "i18n/language.h"

namespace {

using testpaths::LanguageScope;

TEST(Translate, KoreanReturnsTheVeryPointer) {
  LanguageScope korean(i18n::kKorean);
  const wchar_t* known = L"저장";
  const wchar_t* unknown = L"이런 문장은 표에 없습니다";
  EXPECT_EQ(i18n::Translate(known), known);
  EXPECT_EQ(i18n::Translate(unknown), unknown);
}

TEST(Translate, UnknownTextIsReturnedInEveryLanguage) {
  const wchar_t* unknown = L"이런 문장은 표에 없습니다";
  for (int language = 1; language < i18n::kLanguageCount; ++language) {
    LanguageScope scope(language);
    EXPECT_EQ(i18n::Translate(unknown), unknown);
  }
}

TEST(Translate, BuiltInTableServesEveryLanguage) {
  ASSERT_GT(i18n::BuiltInTable().size(), 250u) << "translation resource missing from the program";
  const wchar_t* key = L"저장";
  ASSERT_NE(i18n::BuiltInTable().Find(key), nullptr);
  {
    LanguageScope english(i18n::kEnglish);
    EXPECT_STREQ(i18n::Translate(key), L"Save");
    // Pointers stay valid and stable: a second lookup gives the same storage.
    EXPECT_EQ(i18n::Translate(key), i18n::Translate(L"저장"));
  }
  for (int language = 1; language < i18n::kLanguageCount; ++language) {
    if (language == i18n::kKorean) continue;
    LanguageScope scope(language);
    EXPECT_STRNE(i18n::Translate(key), key) << language;
  }
}

TEST(Translate, FirstLookupFromManyThreadsBuildsOneTable) {
  LanguageScope english(i18n::kEnglish);
  std::vector<const wchar_t*> results(8);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < results.size(); ++i) {
    threads.emplace_back([&results, i] { results[i] = i18n::Translate(L"저장"); });
  }
  for (auto& t : threads) t.join();
  for (const wchar_t* r : results) EXPECT_EQ(r, results[0]);
}

TEST(FormatText, PlaceholderRules) {
  std::wstring_view one[] = {L"A"};
  EXPECT_EQ(i18n::FillPlaceholders(L"{0} and {1}", one, 1), L"A and {1}");
  EXPECT_EQ(i18n::FillPlaceholders(L"{0}{0}", one, 1), L"AA");
  EXPECT_EQ(i18n::FillPlaceholders(L"{12}", one, 1), L"{12}");
  EXPECT_EQ(i18n::FillPlaceholders(L"{x}{0", one, 1), L"{x}{0");
  EXPECT_EQ(i18n::FillPlaceholders(L"{", one, 1), L"{");
  EXPECT_EQ(i18n::FillPlaceholders(L"{{0}}", one, 1), L"{A}");
  std::wstring_view two[] = {L"first", L"{0}"};
  // An argument's own braces are not filled again.
  EXPECT_EQ(i18n::FillPlaceholders(L"{1}-{0}", two, 2), L"{0}-first");
  EXPECT_EQ(i18n::FillPlaceholders(L"{0}", nullptr, 0), L"{0}");
}

TEST(FormatText, TranslatesBeforeFilling) {
  {
    LanguageScope korean(i18n::kKorean);
    EXPECT_EQ(i18n::FormatText(L"프로젝트 {0}개", {L"3"}), L"프로젝트 3개");
  }
  {
    LanguageScope english(i18n::kEnglish);
    EXPECT_EQ(i18n::FormatText(L"프로젝트 {0}개", {L"3"}), L"Projects: 3");
    EXPECT_EQ(i18n::FormatText(L"없는 {0} 문장 {1}", {L"x"}), L"없는 x 문장 {1}");
  }
}

}  // namespace
