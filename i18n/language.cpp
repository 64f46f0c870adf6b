#include "i18n/language.h"

#include <windows.h>

#include <atomic>
#include <cwctype>

namespace i18n {

const wchar_t* const kLanguageCodes[kLanguageCount] = {
    L"", L"en-US", L"ko-KR", L"ja-JP", L"fr-FR", L"de-DE", L"zh-CN"};

const wchar_t* const kLanguageNativeNames[kLanguageCount] = {
    L"시스템 언어", L"English", L"한국어", L"日本語", L"Français", L"Deutsch", L"简体中文"};

namespace {

std::atomic<int> g_configured{kSystemLanguage};
std::atomic<int> g_current{kEnglish};

}  // namespace

int LanguageFromCode(std::wstring_view code) {
  if (code.size() < 2) return kSystemLanguage;
  if (code.size() > 2 && code[2] != L'-' && code[2] != L'_') return kSystemLanguage;
  for (int i = 1; i < kLanguageCount; ++i) {
    const wchar_t* known = kLanguageCodes[i];
    if (std::towlower(code[0]) == std::towlower(known[0]) &&
        std::towlower(code[1]) == std::towlower(known[1])) {
      return i;
    }
  }
  return kSystemLanguage;
}

int PickLanguage(const std::vector<std::wstring>& preferredNames, std::wstring_view fallbackName) {
  for (const auto& name : preferredNames) {
    if (int language = LanguageFromCode(name); language != kSystemLanguage) return language;
  }
  if (int language = LanguageFromCode(fallbackName); language != kSystemLanguage) return language;
  return kEnglish;
}

int DetectSystemLanguage() {
  std::vector<std::wstring> names;
  ULONG count = 0;
  ULONG chars = 0;
  if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &chars) && chars > 0) {
    std::wstring buffer(chars, L'\0');
    if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, buffer.data(), &chars)) {
      // A double-NUL-terminated list of names.
      for (size_t pos = 0; pos < buffer.size() && buffer[pos] != L'\0';) {
        std::wstring name(buffer.c_str() + pos);
        pos += name.size() + 1;
        names.push_back(std::move(name));
      }
    }
  }
  wchar_t fallback[85] = {};
  if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), fallback, 85, 0) == 0) {
    fallback[0] = L'\0';
  }
  return PickLanguage(names, fallback);
}

void SetLanguage(int language) {
  if (language < 0 || language >= kLanguageCount) language = kSystemLanguage;
  g_configured.exchange(language);
  if (language == kSystemLanguage) language = DetectSystemLanguage();
  g_current.exchange(language);
  LCID lcid = LocaleNameToLCID(kLanguageCodes[language], 0);
  if (lcid != 0) SetThreadUILanguage(LANGIDFROMLCID(lcid));
}

int CurrentLanguage() { return g_current.load(); }

int ConfiguredLanguage() { return g_configured.load(); }

}  // namespace i18n
