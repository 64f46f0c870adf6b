#include "vscode/command_line.h"

#include <windows.h>

#include <algorithm>
#include <memory>

namespace vscode {

namespace {

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// Variables that belong to the VS Code (or Electron) process the program was started
// from and would confuse the new one.
bool Dropped(std::wstring_view name, bool modelGiven) {
  if (StartsWithIgnoringCase(name, L"VSCODE_")) {
    return !EqualsIgnoringCase(name, L"VSCODE_PORTABLE") && !EqualsIgnoringCase(name, L"VSCODE_EXTENSIONS");
  }
  if (EqualsIgnoringCase(name, L"ELECTRON_RUN_AS_NODE")) return true;
  return modelGiven && EqualsIgnoringCase(name, L"ANTHROPIC_MODEL");
}

}  // namespace

std::wstring QuoteArgument(std::wstring_view text) {
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : text) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') {
      quoted.append(backslashes * 2 + 1, L'\\');
    } else {
      quoted.append(backslashes, L'\\');
    }
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

bool IsPassableModel(std::wstring_view model) {
  if (model.empty()) return false;
  return std::all_of(model.begin(), model.end(), [](wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'.' ||
           c == L'_' || c == L'-';
  });
}

std::wstring_view EnvironmentEntryName(std::wstring_view entry) {
  size_t separator = entry.size() > 1 ? entry.find(L'=', 1) : std::wstring_view::npos;
  return separator == std::wstring_view::npos ? entry : entry.substr(0, separator);
}

std::vector<std::wstring> VsCodeEnvironment(const std::vector<std::wstring>& own, bool runAsNode,
                                            std::wstring_view model) {
  const bool modelGiven = !model.empty();
  std::vector<std::wstring> entries;
  entries.reserve(own.size() + 2);
  for (const std::wstring& entry : own) {
    if (entry.empty() || Dropped(EnvironmentEntryName(entry), modelGiven)) continue;
    entries.push_back(entry);
  }
  if (runAsNode) entries.push_back(L"ELECTRON_RUN_AS_NODE=1");
  if (modelGiven) entries.push_back(L"ANTHROPIC_MODEL=" + std::wstring(model));
  std::stable_sort(entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_LESS_THAN;
  });
  return entries;
}

std::wstring EnvironmentBlock(const std::vector<std::wstring>& entries) {
  std::wstring block;
  for (const std::wstring& entry : entries) {
    block += entry;
    block.push_back(L'\0');
  }
  block.push_back(L'\0');
  // An empty environment is still two NULs: CreateProcess reads up to a double NUL.
  if (entries.empty()) block.push_back(L'\0');
  return block;
}

std::vector<std::wstring> CurrentEnvironment() {
  std::vector<std::wstring> entries;
  std::unique_ptr<wchar_t, decltype(&FreeEnvironmentStringsW)> block(GetEnvironmentStringsW(),
                                                                     &FreeEnvironmentStringsW);
  if (!block) return entries;
  for (const wchar_t* entry = block.get(); *entry != L'\0'; entry += wcslen(entry) + 1) entries.emplace_back(entry);
  return entries;
}

}  // namespace vscode
