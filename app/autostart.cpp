#include "app/autostart.h"

#include <windows.h>

#include "i18n/translate.h"
#include "model/file_io.h"
#include "model/unique_handle.h"

namespace autostart {
namespace {

bool SameTextIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() &&
         (a.empty() || CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                            static_cast<int>(b.size()), TRUE) == CSTR_EQUAL);
}

bool ReadEntry(std::wstring& text) {
  DWORD bytes = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValueName, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS ||
      bytes == 0) {
    return false;
  }
  std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValueName, RRF_RT_REG_SZ, nullptr, buffer.data(), &bytes) !=
      ERROR_SUCCESS) {
    return false;
  }
  text.assign(buffer.c_str(), wcsnlen(buffer.c_str(), buffer.size()));
  return true;
}

std::wstring ErrorText(LSTATUS status) {
  return i18n::Translate(L"자동 실행 설정을 변경하지 못했습니다. (오류 ") + std::to_wstring(static_cast<long>(status)) +
         L")";
}

}  // namespace

std::wstring RunningExecutable() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path;
}

std::wstring CommandLineFor(const std::wstring& executable) {
  if (executable.empty()) return {};
  return L"\"" + executable + L"\" --startup";
}

bool IsPresent(const std::wstring& executable) {
  std::wstring stored;
  if (!ReadEntry(stored)) return false;
  std::wstring expected = CommandLineFor(executable);
  if (expected.empty() || stored.empty()) return false;
  if (SameTextIgnoringCase(stored, expected)) return true;

  // The program was renamed; an entry made under its other name still starts it.
  std::wstring name = fileio::FileNamePart(executable);
  std::wstring other;
  if (SameTextIgnoringCase(name, L"Tavrilo.exe")) {
    other = L"Quenlor.exe";
  } else if (SameTextIgnoringCase(name, L"Quenlor.exe")) {
    other = L"Tavrilo.exe";
  } else {
    return false;
  }
  std::wstring folder = fileio::FolderPart(executable);
  std::wstring otherPath = folder.empty() ? other : folder + L"\\" + other;
  return fileio::FileExists(otherPath) && SameTextIgnoringCase(stored, CommandLineFor(otherPath));
}

bool IsPresent() { return IsPresent(RunningExecutable()); }

bool Set(bool on, const std::wstring& executable, std::wstring& error) {
  HKEY raw = nullptr;
  LSTATUS status =
      RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &raw, nullptr);
  if (status != ERROR_SUCCESS) {
    error = ErrorText(status);
    return false;
  }
  UniqueRegKey key(raw);
  if (on) {
    std::wstring command = CommandLineFor(executable);
    status = command.empty() ? ERROR_BAD_PATHNAME
                             : RegSetValueExW(key.get(), kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                              static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  } else {
    status = RegDeleteValueW(key.get(), kValueName);
    if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
  }
  if (status != ERROR_SUCCESS) {
    error = ErrorText(status);
    return false;
  }
  return true;
}

bool Set(bool on, std::wstring& error) { return Set(on, RunningExecutable(), error); }

}  // namespace autostart
