// Every text the program hands to the translation lookup must have a complete row:
// a missing translation fails here instead of reaching a user.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "i18n/translation_table.h"
#include "model/utf8.h"
#include "support/paths.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t lf = text.find('\n', start);
    if (lf == std::string::npos) lf = text.size();
    lines.push_back(text.substr(start, lf - start));
    start = lf + 1;
  }
  return lines;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return fields;
}

std::string TableText() { return ReadAll(testpaths::SourceFile(L"resources\\translations.tsv")); }

// The C++ escapes that may appear in a wide literal of our sources.
std::wstring DecodeLiteral(const std::wstring& body) {
  std::wstring out;
  for (size_t i = 0; i < body.size(); ++i) {
    if (body[i] != L'\\' || i + 1 == body.size()) {
      out.push_back(body[i]);
      continue;
    }
    wchar_t c = body[++i];
    switch (c) {
      case L'n': out.push_back(L'\n'); break;
      case L't': out.push_back(L'\t'); break;
      case L'r': out.push_back(L'\r'); break;
      case L'0': out.push_back(L'\0'); break;
      default: out.push_back(c); break;  // \\ \" \'
    }
  }
  return out;
}

// Keys named at Translate/FormatText call sites, with adjacent literals joined.
std::set<std::wstring> KeysUsedBySources() {
  std::set<std::wstring> keys;
  const std::wregex call(LR"re((?:Translate|FormatText|I18N_KEY)\s*\(\s*((?:L"(?:[^"\\]|\\.)*"\s*)+))re");
  const std::wregex piece(LR"re(L"((?:[^"\\]|\\.)*)")re");
  for (const wchar_t* folder : {L"app", L"model", L"views", L"ui", L"i18n", L"aisync", L"vscode"}) {
    fs::path root = testpaths::SourceFile(folder);
    if (!fs::exists(root)) continue;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
      auto ext = item.path().extension();
      if (ext != L".cpp" && ext != L".h") continue;
      std::wstring source = utf8::ToWide(ReadAll(item.path()));
      for (std::wsregex_iterator it(source.begin(), source.end(), call), end; it != end; ++it) {
        std::wstring joined;
        std::wstring literals = (*it)[1].str();
        for (std::wsregex_iterator p(literals.begin(), literals.end(), piece); p != end; ++p) {
          joined += DecodeLiteral((*p)[1].str());
        }
        keys.insert(joined);
      }
    }
  }
  return keys;
}

TEST(TranslationCoverage, TableRowsAreComplete) {
  std::string text = TableText();
  ASSERT_FALSE(text.empty()) << "resources/translations.tsv not found";
  ASSERT_FALSE(text.starts_with("\xEF\xBB\xBF")) << "the table is stored without a byte-order mark";
  EXPECT_EQ(text.find('\r'), std::string::npos) << "lines end with a single line feed";
  auto lines = SplitLines(text);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "# Korean source\tEnglish\tJapanese\tFrench\tGerman\tSimplified Chinese");

  std::set<std::string> keys;
  for (size_t i = 1; i < lines.size(); ++i) {
    const auto& line = lines[i];
    SCOPED_TRACE("line " + std::to_string(i + 1) + ": " + line);
    ASSERT_FALSE(line.empty());
    ASSERT_NE(line[0], '#');
    auto fields = SplitTabs(line);
    ASSERT_EQ(fields.size(), 6u);
    for (const auto& field : fields) EXPECT_FALSE(field.empty());
    EXPECT_TRUE(keys.insert(fields[0]).second) << "duplicate key";
    EXPECT_EQ(utf8::FromWide(utf8::ToWide(line)), line) << "invalid UTF-8";
  }
  EXPECT_GE(keys.size(), 250u);
}

// Placeholders, accelerators and key labels must survive translation, or a control
// would lose its value, its mnemonic or its shortcut text.
TEST(TranslationCoverage, TranslationsKeepPlaceholdersAndMarks) {
  auto table = i18n::TranslationTable::Parse(TableText());
  const std::wregex placeholder(LR"(\{[0-9]\})");
  for (const auto& [key, row] : table.rows()) {
    std::multiset<std::wstring> wanted;
    for (std::wsregex_iterator it(key.begin(), key.end(), placeholder), end; it != end; ++it) wanted.insert(it->str());
    std::set<std::wstring> wantedSet(wanted.begin(), wanted.end());
    bool keyHasAccelerator = std::regex_search(key, std::wregex(LR"(&[^&])"));
    bool keyHasTab = key.find(L'\t') != std::wstring::npos;
    for (int language = 1; language < i18n::kLanguageCount; ++language) {
      const std::wstring& text = row[language];
      SCOPED_TRACE(utf8::FromWide(key) + " / language " + std::to_string(language));
      std::set<std::wstring> found;
      for (std::wsregex_iterator it(text.begin(), text.end(), placeholder), end; it != end; ++it) found.insert(it->str());
      EXPECT_EQ(found, wantedSet);
      if (keyHasAccelerator) {
        EXPECT_TRUE(std::regex_search(text, std::wregex(LR"(&[^&])")));
      }
      EXPECT_EQ(text.find(L'\t') != std::wstring::npos, keyHasTab);
    }
  }
}

TEST(TranslationCoverage, EverySourceTextHasARow) {
  auto table = i18n::TranslationTable::Parse(TableText());
  auto keys = KeysUsedBySources();
  EXPECT_FALSE(keys.empty());
  for (const auto& key : keys) {
    EXPECT_NE(table.Find(key), nullptr) << "no translation row for \"" << utf8::FromWide(key) << "\"";
  }
}

}  // namespace
