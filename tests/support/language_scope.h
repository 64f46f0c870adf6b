// Switches the display language for one test and restores the previous choice.
#pragma once

#include "i18n/language.h"

namespace testpaths {

class LanguageScope {
 public:
  explicit LanguageScope(int language) : saved_(i18n::ConfiguredLanguage()) { i18n::SetLanguage(language); }
  ~LanguageScope() { i18n::SetLanguage(saved_); }
  LanguageScope(const LanguageScope&) = delete;
  LanguageScope& operator=(const LanguageScope&) = delete;

 private:
  int saved_;
};

}  // namespace testpaths
