// Sets environment variables for one test and puts the previous values back afterwards.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testpaths {

class EnvironmentScope {
 public:
  EnvironmentScope() = default;
  ~EnvironmentScope() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      SetEnvironmentVariableW(it->first.c_str(), it->second ? it->second->c_str() : nullptr);
    }
  }
  EnvironmentScope(const EnvironmentScope&) = delete;
  EnvironmentScope& operator=(const EnvironmentScope&) = delete;

  // An empty value removes the variable.
  void Set(const std::wstring& name, const std::wstring& value) {
    saved_.emplace_back(name, Get(name));
    SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
  }

  static std::optional<std::wstring> Get(const std::wstring& name) {
    DWORD needed = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::wstring value(needed, L'\0');
    DWORD length = GetEnvironmentVariableW(name.c_str(), value.data(), needed);
    value.resize(length);
    return value;
  }

 private:
  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> saved_;
};

}  // namespace testpaths
