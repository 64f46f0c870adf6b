#include "app/settings.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/registry_sandbox.h"

namespace {

using testpaths::RegistrySandbox;

// Writes a value with any type and bytes, as another program or an old version might.
void PutRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, settings::kKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

TEST(Settings, MissingKeyGivesEveryDefault) {
  RegistrySandbox sandbox;
  EXPECT_EQ(settings::ReadLanguageCode(), L"");
  EXPECT_TRUE(settings::ReadAutoSave());
  EXPECT_TRUE(settings::ReadStatusBar());
  EXPECT_EQ(settings::ReadPanelWidth(), 300);
  EXPECT_EQ(settings::ReadListSplit(), 620);
  EXPECT_EQ(settings::ReadViewMode(), 2);
  EXPECT_TRUE(settings::ReadCodexSync());
  EXPECT_EQ(settings::ReadDialogWidth(), 780);
  EXPECT_EQ(settings::ReadDialogHeight(), 840);
  EXPECT_EQ(settings::ReadLastFile(), L"");
  WINDOWPLACEMENT placement;
  EXPECT_FALSE(settings::ReadWindowPlacement(placement));
}

TEST(Settings, ClampsOnReading) {
  RegistrySandbox sandbox;
  for (auto [stored, used] : {std::pair<uint32_t, int>{50, 270}, {5000, 900}, {0xFFFFFFFF, 270}, {555, 555}}) {
    settings::WriteSettingDword(L"PanelWidth", stored);
    EXPECT_EQ(settings::ReadPanelWidth(), used) << stored;
  }
  for (auto [stored, used] : {std::pair<uint32_t, int>{0, 120}, {999, 880}, {0x80000000, 120}, {500, 500}}) {
    settings::WriteSettingDword(L"ListSplit", stored);
    EXPECT_EQ(settings::ReadListSplit(), used) << stored;
  }
  for (auto [stored, used] : {std::pair<uint32_t, int>{0, 0}, {3, 3}, {7, 3}, {0xFFFFFFFF, 3}}) {
    settings::WriteSettingDword(L"ViewMode", stored);
    EXPECT_EQ(settings::ReadViewMode(), used) << stored;
  }
}

TEST(Settings, WrongTypesCountAsAbsent) {
  RegistrySandbox sandbox;
  const wchar_t text[] = L"0";
  PutRaw(L"ViewMode", REG_SZ, text, sizeof(text));
  EXPECT_EQ(settings::ReadViewMode(), 2);
  PutRaw(L"CodexSync", REG_SZ, text, sizeof(text));
  EXPECT_TRUE(settings::ReadCodexSync());
  DWORD number = 1;
  PutRaw(L"Language", REG_DWORD, &number, sizeof(number));
  EXPECT_EQ(settings::ReadLanguageCode(), L"");
  PutRaw(L"Language", REG_SZ, L"", 0);  // a zero-size string is absent too
  EXPECT_EQ(settings::ReadSettingString(L"Language", L"fallback"), L"fallback");
  // The next write replaces the value with the right type.
  settings::WriteSettingDword(L"ViewMode", 1);
  EXPECT_EQ(settings::ReadViewMode(), 1);
}

TEST(Settings, StringsStopAtTheFirstNul) {
  RegistrySandbox sandbox;
  const wchar_t unterminated[] = {L'k', L'o'};
  PutRaw(L"Language", REG_SZ, unterminated, sizeof(unterminated));
  EXPECT_EQ(settings::ReadLanguageCode(), L"ko");
  const wchar_t embedded[] = L"de-DE\0garbage";
  PutRaw(L"Language", REG_SZ, embedded, sizeof(embedded));
  EXPECT_EQ(settings::ReadLanguageCode(), L"de-DE");
  const BYTE odd[] = {'a', 0, 'b'};  // an odd byte count must not read past the data
  PutRaw(L"Language", REG_SZ, odd, sizeof(odd));
  std::wstring read = settings::ReadLanguageCode();
  EXPECT_TRUE(read == L"a" || read == L"ab") << read.size();
}

TEST(Settings, RoundTripsOfEachType) {
  RegistrySandbox sandbox;
  EXPECT_EQ(settings::WriteSettingString(L"LastFile", L"C:\\문서\\Tavrilo.qlproj"), ERROR_SUCCESS);
  EXPECT_EQ(settings::ReadLastFile(), L"C:\\문서\\Tavrilo.qlproj");
  settings::WriteSettingDword(L"AutoSave", 0);
  EXPECT_FALSE(settings::ReadAutoSave());
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  placement.showCmd = SW_SHOWMAXIMIZED;
  placement.rcNormalPosition = {10, 20, 211, 171};  // 201 x 151
  settings::WriteSettingBinary(L"WindowPlacement", &placement, sizeof(placement));
  WINDOWPLACEMENT back{};
  ASSERT_TRUE(settings::ReadWindowPlacement(back));
  EXPECT_EQ(back.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
  EXPECT_EQ(back.rcNormalPosition.right, 211);
}

TEST(Settings, PlacementMustBeOneStructureOfUsableSize) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  placement.rcNormalPosition = {0, 0, 201, 151};
  EXPECT_EQ(sizeof(placement), 44u);
  EXPECT_TRUE(settings::IsUsablePlacement(&placement, 44));
  EXPECT_FALSE(settings::IsUsablePlacement(&placement, 43));
  placement.rcNormalPosition = {0, 0, 200, 151};
  EXPECT_FALSE(settings::IsUsablePlacement(&placement, 44));
  placement.rcNormalPosition = {0, 0, 201, 150};
  EXPECT_FALSE(settings::IsUsablePlacement(&placement, 44));
  EXPECT_FALSE(settings::IsUsablePlacement(nullptr, 44));

  RegistrySandbox sandbox;
  placement.rcNormalPosition = {0, 0, 800, 600};
  std::vector<uint8_t> longer(48, 0);
  std::memcpy(longer.data(), &placement, 44);
  settings::WriteSettingBinary(L"WindowPlacement", longer.data(), 48);
  WINDOWPLACEMENT back;
  EXPECT_FALSE(settings::ReadWindowPlacement(back));
}

TEST(Settings, InvalidSinceDateIsReplacedByTodayAndWrittenBack) {
  RegistrySandbox sandbox;
  settings::WriteSettingString(L"CodexSyncSince", L"2024-02-30");
  EXPECT_EQ(settings::ReadCodexSyncSince(), dates::Today());
  EXPECT_EQ(settings::ReadSettingString(L"CodexSyncSince", L""), dates::ToStorageText(dates::Today()));
  settings::WriteSettingString(L"CodexSyncSince", L"no date at all");
  EXPECT_EQ(settings::ReadCodexSyncSince(), dates::Today());
  settings::WriteSettingString(L"CodexSyncSince", L"2023-11-05");
  EXPECT_EQ(settings::ReadCodexSyncSince(), (Date{2023, 11, 5}));
  EXPECT_EQ(settings::ReadSettingString(L"CodexSyncSince", L""), L"2023-11-05");
}

TEST(Settings, SandboxKeepsTheRealKeyUntouched) {
  {
    RegistrySandbox sandbox;
    settings::WriteSettingDword(L"PanelWidth", 777);
    EXPECT_EQ(settings::ReadPanelWidth(), 777);
  }
  {
    RegistrySandbox another;
    EXPECT_EQ(settings::ReadPanelWidth(), 300);
  }
}

}  // namespace
