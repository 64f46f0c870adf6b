// The resources linked into the program: what start-up and the windows load by id.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "resources/command_ids.h"
#include "resources/resource_ids.h"
#include "support/paths.h"
#include "version.h"

namespace {

std::string_view ResourceBytes(WORD id, const wchar_t* type) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (info == nullptr) return {};
  HGLOBAL handle = LoadResource(module, info);
  return std::string_view(static_cast<const char*>(LockResource(handle)), SizeofResource(module, info));
}

TEST(Resources, AcceleratorTableHasEveryShortcut) {
  HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ACCELERATORS));
  ASSERT_NE(table, nullptr);
  ACCEL entries[32];
  int count = CopyAcceleratorTableW(table, entries, 32);
  DestroyAcceleratorTable(table);

  struct Expected {
    WORD key;
    bool shift;
    WORD command;
  };
  const Expected expected[] = {
      {'F', false, IDM_FIND},        {'N', false, IDM_PROJECT_NEW},  {'N', true, IDM_FILE_NEW},
      {'O', false, IDM_FILE_OPEN},   {'S', false, IDM_FILE_SAVE},    {'S', true, IDM_FILE_SAVE_AS},
      {'1', false, IDM_VIEW_DAY},    {'2', false, IDM_VIEW_WEEK},    {'3', false, IDM_VIEW_MONTH},
      {'4', false, IDM_VIEW_YEAR},   {'T', false, IDM_VIEW_TODAY},   {'G', false, IDM_VIEW_GOTO_DATE},
      {VK_LEFT, false, IDM_VIEW_PREVIOUS}, {VK_RIGHT, false, IDM_VIEW_NEXT}};
  ASSERT_EQ(count, static_cast<int>(std::size(expected)));
  for (const auto& want : expected) {
    bool found = false;
    for (int i = 0; i < count; ++i) {
      const ACCEL& a = entries[i];
      BYTE flags = FVIRTKEY | FCONTROL | (want.shift ? FSHIFT : 0);
      if (a.key == want.key && (a.fVirt & ~FNOINVERT) == flags) {
        EXPECT_EQ(a.cmd, want.command) << "key " << want.key;
        found = true;
      }
    }
    EXPECT_TRUE(found) << "no accelerator for key " << want.key << (want.shift ? " with Shift" : "");
  }
  EXPECT_EQ(IDM_FILE_NEW, 40002);
  EXPECT_EQ(IDM_VIEW_NEXT, 40207);
}

TEST(Resources, ManifestDeclaresDpiCodePageAndControls) {
  std::string_view manifest = ResourceBytes(1, MAKEINTRESOURCEW(24));
  ASSERT_FALSE(manifest.empty());
  for (const char* needle : {"name=\"Tavrilo.App\"", "version=\"1.0.0.0\"", "Microsoft.Windows.Common-Controls",
                             "version=\"6.0.0.0\"", "level=\"asInvoker\"", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
                             ">true/pm<", ">PerMonitorV2<", ">UTF-8<"}) {
    EXPECT_NE(manifest.find(needle), std::string_view::npos) << needle;
  }
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colors, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST(Resources, IconHasNineSizesStoredAsPng) {
  std::string_view group = ResourceBytes(IDI_APP, MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  ASSERT_GE(group.size(), 6u);
  WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
  ASSERT_EQ(count, 9);
  ASSERT_EQ(group.size(), 6u + count * sizeof(GroupIconEntry));
  std::set<int> sizes;
  for (WORD i = 0; i < count; ++i) {
    auto* entry = reinterpret_cast<const GroupIconEntry*>(group.data() + 6 + i * sizeof(GroupIconEntry));
    sizes.insert(entry->width == 0 ? 256 : entry->width);
    std::string_view image = ResourceBytes(entry->id, MAKEINTRESOURCEW(3));  // RT_ICON
    ASSERT_GE(image.size(), 8u);
    EXPECT_EQ(image.substr(0, 8), std::string_view("\x89PNG\r\n\x1a\n", 8));
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 20, 24, 32, 40, 48, 64, 128, 256}));
  HICON small = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, 0));
  EXPECT_NE(small, nullptr);
  if (small) DestroyIcon(small);
}

TEST(Resources, TranslationTableIsTheRepositoryFile) {
  std::ifstream in(std::filesystem::path(testpaths::SourceFile(L"resources\\translations.tsv")), std::ios::binary);
  std::stringstream file;
  file << in.rdbuf();
  std::string_view embedded = ResourceBytes(IDR_TRANSLATIONS, MAKEINTRESOURCEW(10));
  EXPECT_GT(embedded.size(), 50000u);
  EXPECT_TRUE(embedded == file.str()) << "the program carries a stale copy of translations.tsv";
}

}  // namespace

namespace {

std::wstring VersionString(const std::vector<char>& block, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || value == nullptr) return {};
  return std::wstring(static_cast<const wchar_t*>(value));
}

}  // namespace

// The version block, the window title and the About box read the same version; a
// release that bumps one of them alone would show two versions to the user.
TEST(Resources, VersionBlockCarriesTheProgramVersion) {
  std::string_view raw = ResourceBytes(1, RT_VERSION);
  ASSERT_FALSE(raw.empty());
  std::vector<char> block(raw.begin(), raw.end());

  void* fixedPointer = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &fixedPointer, &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(fixedPointer);
  const std::wstring dotted = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                              std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                              std::to_wstring(HIWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(dotted, TAVRILO_VERSION_WIDE);
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(VersionString(block, L"FileVersion"), TAVRILO_VERSION_WIDE);
  EXPECT_EQ(VersionString(block, L"ProductVersion"), TAVRILO_VERSION_WIDE);
  EXPECT_EQ(VersionString(block, L"ProductName"), L"Tavrilo");
  EXPECT_EQ(VersionString(block, L"OriginalFilename"), L"Tavrilo.exe");
}

namespace {

uint32_t Crc32(std::string_view bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

uint32_t Read32(std::string_view bytes, size_t at) {
  if (at + 4 > bytes.size()) return 0;
  return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
         static_cast<uint8_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

uint16_t Read16(std::string_view bytes, size_t at) {
  if (at + 2 > bytes.size()) return 0;
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8);
}

std::string SourceBytes(const wchar_t* relative) {
  std::ifstream in(std::filesystem::path(testpaths::SourceFile(relative)), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace

// The session extension's package: a zip holding exactly the four entries VS Code reads,
// each byte for byte the file of the repository (compared by size and CRC-32).
TEST(Resources, SessionExtensionPackageHoldsExactlyItsFourFiles) {
  std::string_view package = ResourceBytes(IDR_SESSION_EXTENSION, RT_RCDATA);
  ASSERT_GT(package.size(), 22u);
  ASSERT_EQ(package.substr(0, 4), std::string_view("PK\x03\x04", 4));

  // The end-of-central-directory record closes the archive (no comment is written).
  const size_t end = package.size() - 22;
  ASSERT_EQ(Read32(package, end), 0x06054B50u);
  const uint16_t count = Read16(package, end + 10);
  size_t at = Read32(package, end + 16);

  struct Expected {
    const char* entry;
    const wchar_t* source;
  };
  const Expected expected[] = {
      {"[Content_Types].xml", L"vscode\\extension\\vsix\\content_types.xml"},
      {"extension.vsixmanifest", L"vscode\\extension\\vsix\\extension.vsixmanifest"},
      {"extension/package.json", L"vscode\\extension\\package.json"},
      {"extension/extension.js", L"vscode\\extension\\extension.js"},
  };
  ASSERT_EQ(count, std::size(expected));
  for (const auto& want : expected) {
    SCOPED_TRACE(want.entry);
    ASSERT_EQ(Read32(package, at), 0x02014B50u) << "central directory entry";
    const uint32_t crc = Read32(package, at + 16);
    const uint32_t size = Read32(package, at + 24);
    const uint16_t nameLength = Read16(package, at + 28);
    const size_t next = at + 46 + nameLength + Read16(package, at + 30) + Read16(package, at + 32);
    EXPECT_EQ(package.substr(at + 46, nameLength), want.entry);
    const std::string source = SourceBytes(want.source);
    ASSERT_FALSE(source.empty());
    EXPECT_EQ(size, source.size());
    EXPECT_EQ(crc, Crc32(source));
    at = next;
  }

  const std::string manifest = SourceBytes(L"vscode\\extension\\vsix\\extension.vsixmanifest");
  for (const char* needle : {"Version=\"2.0.0\"", "http://schemas.microsoft.com/developer/vsx-schema/2011",
                             "Language=\"en-US\" Id=\"project-session\" Version=\"1.2.0\" Publisher=\"quenlor-local\"",
                             "<DisplayName>Tavrilo Project Session</DisplayName>",
                             ">Reopens the AI conversation selected by Tavrilo.</Description>",
                             "<Categories>Other</Categories>", "Id=\"Microsoft.VisualStudio.Code\"",
                             "Type=\"Microsoft.VisualStudio.Code.Manifest\" Path=\"extension/package.json\" "
                             "Addressable=\"true\""}) {
    EXPECT_NE(manifest.find(needle), std::string::npos) << needle;
  }
  const std::string types = SourceBytes(L"vscode\\extension\\vsix\\content_types.xml");
  for (const char* needle : {"Extension=\"json\" ContentType=\"application/json\"",
                             "Extension=\"js\" ContentType=\"application/javascript\"",
                             "Extension=\"vsixmanifest\" ContentType=\"text/xml\""}) {
    EXPECT_NE(types.find(needle), std::string::npos) << needle;
  }
}
