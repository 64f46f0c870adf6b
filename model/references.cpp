#include "model/references.h"

#include <cwctype>

namespace references {
namespace {

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::towlower(text[i]) != prefix[i]) return false;
  }
  return true;
}

}  // namespace

bool IsWebLink(std::wstring_view reference) {
  return StartsWithNoCase(reference, L"https://") || StartsWithNoCase(reference, L"http://");
}

std::wstring DisplayName(std::wstring_view reference) {
  if (IsWebLink(reference)) return std::wstring(reference);
  size_t separator = reference.find_last_of(L"\\/");
  if (separator == std::wstring_view::npos) return std::wstring(reference);
  std::wstring_view last = reference.substr(separator + 1);
  return std::wstring(last.empty() ? reference : last);
}

}  // namespace references
