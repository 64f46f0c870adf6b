#include "i18n/translation_table.h"

#include <gtest/gtest.h>

namespace {

using i18n::TranslationTable;

TEST(TranslationTableParse, SkipsCommentsBlankLinesAndShortRows) {
  auto table = TranslationTable::Parse(
      "# Korean source\tEnglish\tJapanese\tFrench\tGerman\tSimplified Chinese\n"
      "\n"
      "\r\n"
      "#주석\tComment\tc\tc\tc\tc\n"
      "저장\tSave\t保存\tEnregistrer\tSpeichern\t保存\n"
      "다섯\tfive\tfields\tonly\there\n"
      "\tEmpty key\ta\tb\tc\td\n");
  EXPECT_EQ(table.size(), 1u);
  ASSERT_NE(table.Find(L"저장"), nullptr);
  EXPECT_EQ(table.Find(L"#주석"), nullptr);
  EXPECT_EQ(table.Find(L"다섯"), nullptr);
  EXPECT_STREQ(table.Lookup(L"저장", i18n::kGerman), L"Speichern");
  EXPECT_STREQ(table.Lookup(L"저장", i18n::kFrench), L"Enregistrer");
  EXPECT_STREQ(table.Lookup(L"저장", i18n::kChinese), L"保存");
}

TEST(TranslationTableParse, ColumnsLandInLanguageSlots) {
  auto table = TranslationTable::Parse("가\tE\tJ\tF\tD\tZ");  // last line without a line feed
  const auto* row = table.Find(L"가");
  ASSERT_NE(row, nullptr);
  EXPECT_EQ((*row)[i18n::kSystemLanguage], L"");
  EXPECT_EQ((*row)[i18n::kEnglish], L"E");
  EXPECT_EQ((*row)[i18n::kKorean], L"가");
  EXPECT_EQ((*row)[i18n::kJapanese], L"J");
  EXPECT_EQ((*row)[i18n::kFrench], L"F");
  EXPECT_EQ((*row)[i18n::kGerman], L"D");
  EXPECT_EQ((*row)[i18n::kChinese], L"Z");
}

TEST(TranslationTableParse, SeventhFieldIgnoredAndCarriageReturnDropped) {
  auto table = TranslationTable::Parse("가\tE\tJ\tF\tD\tZ\textra\tmore\r\n나\tE2\tJ2\tF2\tD2\tZ2\r\n");
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ((*table.Find(L"가"))[i18n::kChinese], L"Z");
  EXPECT_EQ((*table.Find(L"나"))[i18n::kChinese], L"Z2");
}

TEST(TranslationTableParse, FirstRowOfAKeyWins) {
  auto table = TranslationTable::Parse("가\tfirst\tJ\tF\tD\tZ\n가\tsecond\tJ\tF\tD\tZ\n");
  EXPECT_EQ(table.size(), 1u);
  EXPECT_STREQ(table.Lookup(L"가", i18n::kEnglish), L"first");
}

TEST(TranslationTableParse, ByteOrderMarkAndInvalidUtf8) {
  auto table = TranslationTable::Parse("\xEF\xBB\xBF가\tE\tJ\tF\tD\tZ\n\xFF나\tE\tJ\tF\tD\tZ\n");
  EXPECT_NE(table.Find(L"가"), nullptr);
  EXPECT_NE(table.Find(L"\xFFFD나"), nullptr);
}

TEST(TranslationTableParse, EscapesInFields) {
  EXPECT_EQ(i18n::UnescapeField(LR"(a\\nb)"), L"a\\nb");  // backslash, backslash, n
  EXPECT_EQ(i18n::UnescapeField(LR"(a\nb)"), L"a\nb");
  EXPECT_EQ(i18n::UnescapeField(LR"(저장(&S)\tCtrl+S)"), L"저장(&S)\tCtrl+S");
  EXPECT_EQ(i18n::UnescapeField(LR"(\q)"), L"\\q");
  EXPECT_EQ(i18n::UnescapeField(LR"(end\)"), L"end\\");
  EXPECT_EQ(i18n::UnescapeField(LR"(\\\n)"), L"\\\n");
  EXPECT_EQ(i18n::UnescapeField(LR"(\\새 프로젝트)"), L"\\새 프로젝트");

  auto table = TranslationTable::Parse("줄\\n바꿈\tLine\\nbreak\tJ\tF\tD\tZ\n");
  EXPECT_STREQ(table.Lookup(L"줄\n바꿈", i18n::kEnglish), L"Line\nbreak");
}

TEST(TranslationTableLookup, FallsBackToEnglishThenKorean) {
  // Empty fields cannot be written in a six-field row with a trailing tab-less end, so
  // build rows whose fields are empty in the middle.
  auto table = TranslationTable::Parse("가\tEnglish\t\tF\tD\tZ\n나\t\t\tF\tD\tZ\n");
  EXPECT_STREQ(table.Lookup(L"가", i18n::kJapanese), L"English");
  const wchar_t* key = L"나";
  EXPECT_EQ(table.Lookup(key, i18n::kJapanese), key);
  EXPECT_STREQ(table.Lookup(L"나", i18n::kFrench), L"F");
}

TEST(TranslationTableLookup, UnknownTextComesBackAsGiven) {
  auto table = TranslationTable::Parse("가\tE\tJ\tF\tD\tZ\n");
  const wchar_t* text = L"가 ";  // no trimming: a trailing space is another key
  for (int language = 1; language < i18n::kLanguageCount; ++language) {
    EXPECT_EQ(table.Lookup(text, language), text);
  }
  EXPECT_EQ(table.Lookup(nullptr, i18n::kEnglish), nullptr);
}

TEST(TranslationTableLookup, EmptyTableReturnsEveryArgument) {
  auto table = TranslationTable::Parse("");
  const wchar_t* text = L"저장";
  EXPECT_EQ(table.Lookup(text, i18n::kEnglish), text);
}

}  // namespace
