#include "app/autostart.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/language_scope.h"
#include "support/registry_sandbox.h"
#include "support/temp_dir.h"

namespace {

void PutRunEntry(const std::wstring& text) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, autostart::kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, autostart::kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

TEST(Autostart, SetAndClear) {
  testpaths::RegistrySandbox sandbox;
  const std::wstring exe = L"C:\\Program Files\\Tavrilo\\Tavrilo.exe";
  EXPECT_FALSE(autostart::IsPresent(exe));
  std::wstring error;
  ASSERT_TRUE(autostart::Set(true, exe, error)) << error.size();
  EXPECT_TRUE(autostart::IsPresent(exe));
  EXPECT_EQ(autostart::CommandLineFor(exe), L"\"C:\\Program Files\\Tavrilo\\Tavrilo.exe\" --startup");
  ASSERT_TRUE(autostart::Set(false, exe, error));
  EXPECT_FALSE(autostart::IsPresent(exe));
  // Deleting an entry that is already gone is not an error.
  EXPECT_TRUE(autostart::Set(false, exe, error));
}

TEST(Autostart, EmptyExecutablePathIsRefused) {
  testpaths::RegistrySandbox sandbox;
  testpaths::LanguageScope english(i18n::kEnglish);
  std::wstring error;
  EXPECT_FALSE(autostart::Set(true, L"", error));
  EXPECT_EQ(error, L"Could not change the startup setting. (Error 161)");
  EXPECT_FALSE(autostart::IsPresent(L""));
}

TEST(Autostart, LetterCaseOfThePathDoesNotMatter) {
  testpaths::RegistrySandbox sandbox;
  PutRunEntry(L"\"c:\\PROGRAM FILES\\tavrilo\\TAVRILO.EXE\" --STARTUP");
  EXPECT_TRUE(autostart::IsPresent(L"C:\\Program Files\\Tavrilo\\Tavrilo.exe"));
  PutRunEntry(L"\"C:\\Program Files\\Tavrilo\\Tavrilo.exe\"");
  EXPECT_FALSE(autostart::IsPresent(L"C:\\Program Files\\Tavrilo\\Tavrilo.exe"));
}

TEST(Autostart, OtherExecutableNameCountsOnlyWhileThatFileExists) {
  testpaths::RegistrySandbox sandbox;
  testpaths::TempDir dir;
  const std::wstring running = dir / L"Tavrilo.exe";
  const std::wstring other = dir / L"Quenlor.exe";
  PutRunEntry(autostart::CommandLineFor(other));
  EXPECT_FALSE(autostart::IsPresent(running));
  std::ofstream(std::filesystem::path(other)) << "MZ";
  EXPECT_TRUE(autostart::IsPresent(running));
  // The same holds the other way round, and not for any other name.
  PutRunEntry(autostart::CommandLineFor(running));
  EXPECT_FALSE(autostart::IsPresent(other)) << "Tavrilo.exe does not exist in the folder";
  EXPECT_FALSE(autostart::IsPresent(dir / L"Other.exe"));
}

}  // namespace
