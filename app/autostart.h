// The "start with Windows" entry under the user's Run key.
#pragma once

#include <string>

namespace autostart {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kValueName = L"Quenlor";

std::wstring RunningExecutable();
// "\"<exe>\" --startup"; empty for an empty path.
std::wstring CommandLineFor(const std::wstring& executable);

// Whether the entry starts this executable, or the program under its other name
// ("Tavrilo.exe" and "Quenlor.exe") when that file stands in the same folder.
bool IsPresent(const std::wstring& executable);
bool IsPresent();
// Writes or deletes the entry; a missing entry counts as deleted.
bool Set(bool on, const std::wstring& executable, std::wstring& error);
bool Set(bool on, std::wstring& error);

}  // namespace autostart
