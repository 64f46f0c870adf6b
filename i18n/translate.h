// Display-time translation of the Korean source texts written at the call sites.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "i18n/translation_table.h"

// Marks a Korean source text that is translated later through a variable (tables of
// labels); the translation coverage test checks these like direct Translate calls.
#define I18N_KEY(text) text

namespace i18n {

// The text of a Korean source string in the current language. In Korean the argument
// itself comes back; otherwise a pointer into the table that lives until the process
// ends, or the argument when the table has no row for it.
const wchar_t* Translate(const wchar_t* korean);

// Translates the template, then replaces "{d}" (one decimal digit d below the number
// of arguments) by argument d. Every other character is copied unchanged.
std::wstring FormatText(const wchar_t* korean, std::initializer_list<std::wstring_view> args);

// The placeholder step of FormatText on an already translated text.
std::wstring FillPlaceholders(std::wstring_view text, const std::wstring_view* args, size_t count);

// The table built from resource 204 of the program's own module, once per process
// and thread-safe; empty when the resource is missing.
const TranslationTable& BuiltInTable();

}  // namespace i18n
