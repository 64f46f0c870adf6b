// The user's preferences and remembered window state under
// HKEY_CURRENT_USER\Software\Quenlor. Nothing is cached: every call opens the key.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/date.h"

namespace settings {

constexpr const wchar_t* kKeyPath = L"Software\\Quenlor";

uint32_t ReadSettingDword(const wchar_t* name, uint32_t fallback);
std::wstring ReadSettingString(const wchar_t* name, std::wstring_view fallback);
// The raw bytes of a REG_BINARY value; false when absent or of another type.
bool ReadSettingBinary(const wchar_t* name, std::vector<uint8_t>& bytes);
LSTATUS WriteSettingDword(const wchar_t* name, uint32_t value);
LSTATUS WriteSettingString(const wchar_t* name, std::wstring_view text);
LSTATUS WriteSettingBinary(const wchar_t* name, const void* data, uint32_t size);

// The stored panel width (96-DPI pixels) and list split (thousandths of the list area
// given to the active list): defaults and the ranges their readers accept.
constexpr int kDefaultPanelWidth = 300;
constexpr int kMinPanelWidth = 270;
constexpr int kMaxPanelWidth = 900;
constexpr int kDefaultListSplit = 620;
constexpr int kMinListSplit = 120;
constexpr int kMaxListSplit = 880;

// The values, each with its default and the range its readers accept.
std::wstring ReadLanguageCode();
bool ReadAutoSave();
bool ReadStatusBar();
int ReadPanelWidth();
int ReadListSplit();
int ReadViewMode();        // 0 day, 1 week, 2 month, 3 year
bool ReadCodexSync();
// The stored since date, or today's date written back when it is missing or invalid.
Date ReadCodexSyncSince();
int ReadDialogWidth();
int ReadDialogHeight();
std::wstring ReadLastFile();
// A stored placement that is exactly one WINDOWPLACEMENT with a usable normal rectangle.
bool ReadWindowPlacement(WINDOWPLACEMENT& placement);

// The rules of the readers, as pure functions.
int ClampPanelWidth(uint32_t stored);
int ClampListSplit(uint32_t stored);
int ViewModeFromStored(uint32_t stored);
bool IsUsablePlacement(const void* data, size_t size);

}  // namespace settings
