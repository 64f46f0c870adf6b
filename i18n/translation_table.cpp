#include "i18n/translation_table.h"

#include <cwchar>

#include "model/utf8.h"

namespace i18n {
namespace {

// Column order of the file and the language slot each column fills.
constexpr int kColumnSlots[6] = {kKorean, kEnglish, kJapanese, kFrench, kGerman, kChinese};

void ParseLine(std::wstring_view line, std::map<std::wstring, TranslationTable::Row, std::less<>>& rows) {
  if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
  if (line.empty() || line.front() == L'#') return;

  TranslationTable::Row row;
  int fields = 0;
  size_t start = 0;
  while (fields < 6) {
    size_t tab = line.find(L'\t', start);
    std::wstring_view field = line.substr(start, tab == std::wstring_view::npos ? std::wstring_view::npos : tab - start);
    row[kColumnSlots[fields]] = UnescapeField(field);
    ++fields;
    if (tab == std::wstring_view::npos) break;
    start = tab + 1;
  }
  if (fields < 6 || row[kKorean].empty()) return;
  std::wstring key = row[kKorean];
  rows.try_emplace(std::move(key), std::move(row));
}

}  // namespace

std::wstring UnescapeField(std::wstring_view field) {
  std::wstring out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    wchar_t c = field[i];
    if (c == L'\\' && i + 1 < field.size()) {
      wchar_t next = field[i + 1];
      if (next == L'\\') {
        out.push_back(L'\\');
        ++i;
        continue;
      }
      if (next == L'n') {
        out.push_back(L'\n');
        ++i;
        continue;
      }
      if (next == L't') {
        out.push_back(L'\t');
        ++i;
        continue;
      }
    }
    out.push_back(c);
  }
  return out;
}

TranslationTable TranslationTable::Parse(std::string_view utf8) {
  TranslationTable table;
  std::wstring text = utf8::ToWide(utf8);
  std::wstring_view rest = text;
  if (!rest.empty() && rest.front() == 0xFEFF) rest.remove_prefix(1);
  while (!rest.empty()) {
    size_t lf = rest.find(L'\n');
    ParseLine(rest.substr(0, lf), table.rows_);
    if (lf == std::wstring_view::npos) break;
    rest.remove_prefix(lf + 1);
  }
  return table;
}

const TranslationTable::Row* TranslationTable::Find(std::wstring_view korean) const {
  auto it = rows_.find(korean);
  return it == rows_.end() ? nullptr : &it->second;
}

const wchar_t* TranslationTable::Lookup(const wchar_t* korean, int language) const {
  if (korean == nullptr) return korean;
  const Row* row = Find(std::wstring_view(korean, std::wcslen(korean)));
  if (row == nullptr) return korean;
  if (language > 0 && language < kLanguageCount && !(*row)[language].empty()) {
    return (*row)[language].c_str();
  }
  if (!(*row)[kEnglish].empty()) return (*row)[kEnglish].c_str();
  return korean;
}

}  // namespace i18n
