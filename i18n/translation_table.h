// The six-column translation table: Korean source text to the text of each language.
#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>

#include "i18n/language.h"

namespace i18n {

class TranslationTable {
 public:
  using Row = std::array<std::wstring, kLanguageCount>;

  // Parses the UTF-8 table text: a line per row, tab-separated fields in the order
  // Korean, English, Japanese, French, German, Simplified Chinese. Lines starting with
  // '#' and empty lines are skipped, rows with fewer than six fields or an empty Korean
  // field are dropped, and the first row of a key wins. Never fails.
  static TranslationTable Parse(std::string_view utf8);

  // The text of a key in a language, falling back to English and then to the key
  // itself. Returns a pointer into the table or the argument; never allocates.
  const wchar_t* Lookup(const wchar_t* korean, int language) const;

  const Row* Find(std::wstring_view korean) const;
  size_t size() const { return rows_.size(); }
  const std::map<std::wstring, Row, std::less<>>& rows() const { return rows_; }

 private:
  std::map<std::wstring, Row, std::less<>> rows_;
};

// Undoes the field escapes: \\ to a backslash, \n to a line feed, \t to a tab.
// Any other backslash stays as it is.
std::wstring UnescapeField(std::wstring_view field);

}  // namespace i18n
