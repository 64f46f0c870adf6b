// Points HKEY_CURRENT_USER at a scratch key for the life of the object, so a test never
// reads or writes the user's own settings.
#pragma once

#include <windows.h>

#include <string>

namespace testpaths {

class RegistrySandbox {
 public:
  RegistrySandbox() {
    path_ = L"Software\\TavriloTestSandbox\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter());
    RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, key_);
  }
  ~RegistrySandbox() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(key_);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
  }
  RegistrySandbox(const RegistrySandbox&) = delete;
  RegistrySandbox& operator=(const RegistrySandbox&) = delete;

 private:
  static int& counter() {
    static int value = 0;
    return value;
  }
  std::wstring path_;
  HKEY key_ = nullptr;
};

}  // namespace testpaths
