#include "app/settings.h"

#include <algorithm>
#include <cstring>

#include "model/unique_handle.h"

namespace settings {
namespace {

UniqueRegKey OpenForReading() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return UniqueRegKey();
  return UniqueRegKey(key);
}

LSTATUS OpenForWriting(UniqueRegKey& key) {
  HKEY raw = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr, &raw, nullptr);
  if (status == ERROR_SUCCESS) key.reset(raw);
  return status;
}

LSTATUS WriteValue(const wchar_t* name, DWORD type, const void* data, DWORD size) {
  UniqueRegKey key;
  LSTATUS status = OpenForWriting(key);
  if (status != ERROR_SUCCESS) return status;
  return RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size);
}

}  // namespace

uint32_t ReadSettingDword(const wchar_t* name, uint32_t fallback) {
  UniqueRegKey key = OpenForReading();
  if (!key) return fallback;
  DWORD type = 0, value = 0, size = sizeof(value);
  if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return fallback;
  }
  return value;
}

std::wstring ReadSettingString(const wchar_t* name, std::wstring_view fallback) {
  UniqueRegKey key = OpenForReading();
  if (!key) return std::wstring(fallback);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ ||
      size == 0) {
    return std::wstring(fallback);
  }
  // The stored bytes may lack their terminator or hold several strings: read into a
  // zeroed buffer with room for one more unit, then stop at the first NUL.
  std::wstring buffer(size / 2 + 1, L'\0');
  DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return std::wstring(fallback);
  }
  buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
  return buffer;
}

bool ReadSettingBinary(const wchar_t* name, std::vector<uint8_t>& bytes) {
  bytes.clear();
  UniqueRegKey key = OpenForReading();
  if (!key) return false;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_BINARY) {
    return false;
  }
  bytes.resize(size);
  if (size != 0 && RegQueryValueExW(key.get(), name, nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS) {
    bytes.clear();
    return false;
  }
  bytes.resize(size);
  return true;
}

LSTATUS WriteSettingDword(const wchar_t* name, uint32_t value) {
  DWORD v = value;
  return WriteValue(name, REG_DWORD, &v, sizeof(v));
}

LSTATUS WriteSettingString(const wchar_t* name, std::wstring_view text) {
  std::wstring terminated(text);
  return WriteValue(name, REG_SZ, terminated.c_str(), static_cast<DWORD>((terminated.size() + 1) * sizeof(wchar_t)));
}

LSTATUS WriteSettingBinary(const wchar_t* name, const void* data, uint32_t size) {
  return WriteValue(name, REG_BINARY, data, size);
}

int ClampPanelWidth(uint32_t stored) { return std::clamp(static_cast<int32_t>(stored), kMinPanelWidth, kMaxPanelWidth); }

int ClampListSplit(uint32_t stored) { return std::clamp(static_cast<int32_t>(stored), kMinListSplit, kMaxListSplit); }

int ViewModeFromStored(uint32_t stored) { return stored >= 4 ? 3 : static_cast<int>(stored); }

bool IsUsablePlacement(const void* data, size_t size) {
  if (data == nullptr || size != sizeof(WINDOWPLACEMENT)) return false;
  WINDOWPLACEMENT placement;
  std::memcpy(&placement, data, sizeof(placement));
  const RECT& r = placement.rcNormalPosition;
  return r.right - r.left > 200 && r.bottom - r.top > 150;
}

std::wstring ReadLanguageCode() { return ReadSettingString(L"Language", L""); }
bool ReadAutoSave() { return ReadSettingDword(L"AutoSave", 1) != 0; }
bool ReadStatusBar() { return ReadSettingDword(L"StatusBar", 1) != 0; }
int ReadPanelWidth() { return ClampPanelWidth(ReadSettingDword(L"PanelWidth", kDefaultPanelWidth)); }
int ReadListSplit() { return ClampListSplit(ReadSettingDword(L"ListSplit", kDefaultListSplit)); }
int ReadViewMode() { return ViewModeFromStored(ReadSettingDword(L"ViewMode", 2)); }
bool ReadCodexSync() { return ReadSettingDword(L"CodexSync", 1) != 0; }
int ReadDialogWidth() { return static_cast<int>(ReadSettingDword(L"DialogWidth", 780)); }
int ReadDialogHeight() { return static_cast<int>(ReadSettingDword(L"DialogHeight", 840)); }
std::wstring ReadLastFile() { return ReadSettingString(L"LastFile", L""); }

Date ReadCodexSyncSince() {
  Date since = dates::ParseStorageText(ReadSettingString(L"CodexSyncSince", L""));
  if (dates::IsValid(since)) return since;
  since = dates::Today();
  WriteSettingString(L"CodexSyncSince", dates::ToStorageText(since));
  return since;
}

bool ReadWindowPlacement(WINDOWPLACEMENT& placement) {
  std::vector<uint8_t> bytes;
  if (!ReadSettingBinary(L"WindowPlacement", bytes) || !IsUsablePlacement(bytes.data(), bytes.size())) return false;
  std::memcpy(&placement, bytes.data(), sizeof(placement));
  return true;
}

}  // namespace settings
