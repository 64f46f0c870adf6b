// The colours of the program's flat style and the twelve project colours.
#pragma once

#include <windows.h>

namespace kit {

constexpr COLORREF Rgb(unsigned hex) { return RGB((hex >> 16) & 0xFF, (hex >> 8) & 0xFF, hex & 0xFF); }

namespace color {
constexpr COLORREF kText = Rgb(0x2C303A);
constexpr COLORREF kMutedText = Rgb(0x787F8F);
constexpr COLORREF kHintText = Rgb(0xB6BBC7);
constexpr COLORREF kLine = Rgb(0xE4E7EE);
constexpr COLORREF kControlBorder = Rgb(0xD0D5E0);
constexpr COLORREF kAccent = Rgb(0x7A8AE6);
constexpr COLORREF kAccentPressed = Rgb(0x6272D2);
constexpr COLORREF kAccentHot = Rgb(0x6E7EDC);
constexpr COLORREF kAccentLight = Rgb(0xA8B3EE);
constexpr COLORREF kAccentTint = Rgb(0xECEFFD);
constexpr COLORREF kNeutralTint = Rgb(0xEFF0F4);  // the completed list's count badge
constexpr COLORREF kHoverFill = Rgb(0xEFF1F6);
constexpr COLORREF kPressedFill = Rgb(0xE4E7EF);
constexpr COLORREF kPanel = Rgb(0xF4F6FA);
constexpr COLORREF kWindow = Rgb(0xFAFBFD);
constexpr COLORREF kSunday = Rgb(0xEE8484);
constexpr COLORREF kSaturday = Rgb(0x7AA4EA);
constexpr COLORREF kCompleted = Rgb(0xB0B6C4);
constexpr COLORREF kDangerText = Rgb(0xC45858);
constexpr COLORREF kDangerBackground = Rgb(0xFDECEC);
constexpr COLORREF kDangerMark = Rgb(0xE47C7C);
constexpr COLORREF kWhite = Rgb(0xFFFFFF);
}  // namespace color

struct PaletteColor {
  COLORREF main;
  COLORREF light;
};

// Index outside 0..11 gives entry 0.
PaletteColor ProjectColor(int index);

// Per channel (a * (255 - w) + b * w) / 255.
COLORREF BlendColor(COLORREF a, COLORREF b, int w);

}  // namespace kit
