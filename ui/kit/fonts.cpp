#include "ui/kit/fonts.h"

#include <map>
#include <utility>
#include <vector>

#include "i18n/language.h"
#include "resources/resource_ids.h"
#include "ui/kit/gdi.h"
#include "ui/kit/scale.h"

namespace kit {
namespace {

std::vector<HANDLE> g_fontHandles;
bool g_pretendard = false;

HFONT MakeFont(int size, int weight, const std::wstring& family, int dpi) {
  LOGFONTW lf = {};
  lf.lfHeight = -Scale(size, dpi);
  lf.lfWeight = weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_PRECIS;
  lf.lfQuality = CLEARTYPE_QUALITY;
  lstrcpynW(lf.lfFaceName, family.c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

}  // namespace

int WindowDpi(HWND window) {
  int dpi = window != nullptr ? static_cast<int>(GetDpiForWindow(window)) : 0;
  if (dpi <= 0) {
    WindowDc screen(nullptr);
    if (screen) dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
  }
  return dpi > 0 ? dpi : 96;
}

std::wstring ResolvedFaceName(HFONT font) {
  WindowDc screen(nullptr);
  if (!screen || font == nullptr) return {};
  SelectObjectScope select(screen.get(), font);
  wchar_t face[32] = {};
  GetTextFaceW(screen.get(), 32, face);
  return face;
}

bool LoadEmbeddedFonts(HMODULE module) {
  // Registering the faces twice would only pile up handles.
  if (!g_fontHandles.empty()) return g_pretendard;
  for (int id : {IDR_FONT_REGULAR, IDR_FONT_SEMIBOLD, IDR_FONT_BOLD}) {
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (info == nullptr) continue;
    HGLOBAL data = LoadResource(module, info);
    void* bytes = data ? LockResource(data) : nullptr;
    DWORD size = SizeofResource(module, info);
    if (bytes == nullptr || size == 0) continue;
    DWORD installed = 0;
    HANDLE handle = AddFontMemResourceEx(bytes, size, nullptr, &installed);
    if (handle != nullptr) g_fontHandles.push_back(handle);
  }
  g_pretendard = false;
  if (g_fontHandles.empty()) return false;
  UniqueFont probe(MakeFont(14, FW_NORMAL, L"Pretendard", 96));
  g_pretendard = ResolvedFaceName(probe.get()) == L"Pretendard";
  return g_pretendard;
}

void UnloadEmbeddedFonts() {
  for (HANDLE handle : g_fontHandles) RemoveFontMemResourceEx(handle);
  g_fontHandles.clear();
  g_pretendard = false;
}

bool PretendardAvailable() { return g_pretendard; }

FontFamilies FamiliesFor(int language, bool pretendard) {
  FontFamilies families;
  if (language == i18n::kJapanese) {
    families.base = L"Yu Gothic UI";
  } else if (language == i18n::kChinese) {
    families.base = L"Microsoft YaHei UI";
  } else {
    families.base = pretendard ? L"Pretendard" : L"Segoe UI";
  }
  if (pretendard && language != i18n::kJapanese && language != i18n::kChinese) {
    families.semibold = L"Pretendard SemiBold";
    families.semiboldIsSeparateFace = true;
  } else {
    families.semibold = families.base;
  }
  return families;
}

void BuildFontSet(FontSet& set, int dpi) {
  DestroyFontSet(set);
  set.dpi = dpi < 1 ? 96 : dpi;
  FontFamilies families = FamiliesFor(i18n::CurrentLanguage(), g_pretendard);
  set.body = MakeFont(14, FW_NORMAL, families.base, set.dpi);
  set.small = MakeFont(12, FW_NORMAL, families.base, set.dpi);
  set.semibold = MakeFont(14, families.semiboldIsSeparateFace ? FW_NORMAL : FW_SEMIBOLD, families.semibold, set.dpi);
  set.bold = MakeFont(14, FW_BOLD, families.base, set.dpi);
  set.title = MakeFont(20, FW_BOLD, families.base, set.dpi);
  set.huge = MakeFont(40, FW_BOLD, families.base, set.dpi);
  set.item = MakeFont(12, FW_NORMAL, families.base, set.dpi);
}

HFONT BodyFontFor(int language, int dpi) {
  static std::map<std::pair<int, int>, UniqueFont> fonts;
  dpi = dpi < 1 ? 96 : dpi;
  // Whether the embedded faces are loaded decides the family, so it is part of the key.
  int key = language * 2 + (g_pretendard ? 1 : 0);
  UniqueFont& font = fonts[{key, dpi}];
  if (!font) font.reset(MakeFont(14, FW_NORMAL, FamiliesFor(language, g_pretendard).base, dpi));
  return font.get();
}

void DestroyFontSet(FontSet& set) {
  for (HFONT* font : {&set.body, &set.small, &set.semibold, &set.bold, &set.title, &set.huge, &set.item}) {
    if (*font != nullptr) DeleteObject(*font);
    *font = nullptr;
  }
}

}  // namespace kit
