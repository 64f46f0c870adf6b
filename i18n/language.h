// The language the program shows its texts in, and the language the user chose.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace i18n {

// Language indexes. Their order is also the order of the Language menu, the slot order
// of the translation table and what the stored "Language" setting maps to.
enum Language : int {
  kSystemLanguage = 0,  // follow Windows; never a current language
  kEnglish = 1,
  kKorean = 2,
  kJapanese = 3,
  kFrench = 4,
  kGerman = 5,
  kChinese = 6,
};
constexpr int kLanguageCount = 7;

// Code stored in the settings and used as the UI locale; empty for kSystemLanguage.
extern const wchar_t* const kLanguageCodes[kLanguageCount];
// Menu label of each language in its own script; slot 0 is the Korean source text of
// "System language", which callers translate.
extern const wchar_t* const kLanguageNativeNames[kLanguageCount];

// "ko", "KO-kr", "ja_JP", "zh-TW" and "fr-CA" give 2, 2, 3, 6 and 4; anything else 0.
int LanguageFromCode(std::wstring_view code);

// The first of the names (in preference order) that names a language, else the
// language of fallbackName, else English. Separated from the system calls for tests.
int PickLanguage(const std::vector<std::wstring>& preferredNames, std::wstring_view fallbackName);

// Index 1..6 matching the user's Windows display languages.
int DetectSystemLanguage();

// Makes a language configured and current (0 follows the system) and sets the
// thread's UI language, so that system-drawn texts follow when Windows can.
void SetLanguage(int language);

int CurrentLanguage();     // 1..6; English until something sets it
int ConfiguredLanguage();  // 0..6

}  // namespace i18n
