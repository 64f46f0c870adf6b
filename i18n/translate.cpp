#include "i18n/translate.h"

#include <windows.h>

#include "i18n/language.h"
#include "resources/resource_ids.h"

namespace i18n {
namespace {

std::string_view LoadTableResource() {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(IDR_TRANSLATIONS), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (info == nullptr) return {};
  HGLOBAL handle = LoadResource(module, info);
  if (handle == nullptr) return {};
  const void* data = LockResource(handle);
  DWORD size = SizeofResource(module, info);
  if (data == nullptr || size == 0) return {};
  // Resource memory belongs to the module image and needs no release.
  return std::string_view(static_cast<const char*>(data), size);
}

}  // namespace

const TranslationTable& BuiltInTable() {
  static const TranslationTable table = TranslationTable::Parse(LoadTableResource());
  return table;
}

const wchar_t* Translate(const wchar_t* korean) {
  int language = CurrentLanguage();
  if (language == kKorean) return korean;
  return BuiltInTable().Lookup(korean, language);
}

std::wstring FillPlaceholders(std::wstring_view text, const std::wstring_view* args, size_t count) {
  std::wstring out;
  out.reserve(text.size() + 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'{' && i + 2 < text.size() && text[i + 2] == L'}' && text[i + 1] >= L'0' &&
        text[i + 1] <= L'9') {
      size_t index = static_cast<size_t>(text[i + 1] - L'0');
      if (index < count) {
        out.append(args[index]);
        i += 2;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

std::wstring FormatText(const wchar_t* korean, std::initializer_list<std::wstring_view> args) {
  return FillPlaceholders(Translate(korean), args.begin(), args.size());
}

}  // namespace i18n
