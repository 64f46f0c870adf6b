// A scratch folder for one test, removed with everything in it afterwards.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace testpaths {

class TempDir {
 public:
  TempDir() {
    wchar_t base[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, base);
    static int counter = 0;
    path_ = std::wstring(base) + L"tavrilo-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    // Read-only files would block the removal.
    for (auto& item : std::filesystem::recursive_directory_iterator(path_, ignored)) {
      SetFileAttributesW(item.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

}  // namespace testpaths
