// The embedded Pretendard faces and the per-window set of fonts.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace kit {

// Registers the three embedded faces (RCDATA 201-203) for this process. True when the
// face "Pretendard" can then be selected. Call once at start-up.
bool LoadEmbeddedFonts(HMODULE module);
// Removes what LoadEmbeddedFonts registered, in load order.
void UnloadEmbeddedFonts();
bool PretendardAvailable();

// The embedded faces for the lifetime of the object (the program's start-up holds one).
class EmbeddedFonts {
 public:
  explicit EmbeddedFonts(HMODULE module) { LoadEmbeddedFonts(module); }
  ~EmbeddedFonts() { UnloadEmbeddedFonts(); }
  EmbeddedFonts(const EmbeddedFonts&) = delete;
  EmbeddedFonts& operator=(const EmbeddedFonts&) = delete;
};

struct FontFamilies {
  std::wstring base;
  std::wstring semibold;
  bool semiboldIsSeparateFace = false;
};
// Families for a language, given whether the embedded faces are usable.
FontFamilies FamiliesFor(int language, bool pretendard);

struct FontSet {
  int dpi = 96;
  HFONT body = nullptr;      // 14 px regular
  HFONT small = nullptr;     // 12 px regular
  HFONT semibold = nullptr;  // 14 px semibold
  HFONT bold = nullptr;      // 14 px bold
  HFONT title = nullptr;     // 20 px bold
  HFONT huge = nullptr;      // 40 px bold
  HFONT item = nullptr;      // 12 px regular
};

// Rebuilds the set's fonts for a DPI in the current language (deleting the old ones).
void BuildFontSet(FontSet& set, int dpi);
void DestroyFontSet(FontSet& set);

// A font set that destroys itself, for windows that keep one in their state.
class OwnedFontSet {
 public:
  OwnedFontSet() = default;
  explicit OwnedFontSet(int dpi) { BuildFontSet(set_, dpi); }
  ~OwnedFontSet() { DestroyFontSet(set_); }
  OwnedFontSet(const OwnedFontSet&) = delete;
  OwnedFontSet& operator=(const OwnedFontSet&) = delete;
  void Rebuild(int dpi) { BuildFontSet(set_, dpi); }
  const FontSet& get() const { return set_; }
  int dpi() const { return set_.dpi; }
  const FontSet* operator->() const { return &set_; }

 private:
  FontSet set_;
};

// The body font (14 px regular) of a language's families at a DPI, whatever the current
// language: a language's own name is drawn in it, because the current language's face
// may have no glyphs for that script. Kept for the life of the process.
HFONT BodyFontFor(int language, int dpi);

// The face name a font really resolves to on this system.
std::wstring ResolvedFaceName(HFONT font);

}  // namespace kit
