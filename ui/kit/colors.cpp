#include "ui/kit/colors.h"

namespace kit {

PaletteColor ProjectColor(int index) {
  static constexpr PaletteColor kPalette[12] = {
      {Rgb(0x78A8E8), Rgb(0xE2EEFC)}, {Rgb(0x66BE98), Rgb(0xDEF4EA)}, {Rgb(0xEE9C70), Rgb(0xFDECE0)},
      {Rgb(0xA086DA), Rgb(0xEEE8FA)}, {Rgb(0xD6B248), Rgb(0xFBF4DA)}, {Rgb(0xE47C9C), Rgb(0xFCE6EE)},
      {Rgb(0x52B0BA), Rgb(0xDCF2F4)}, {Rgb(0xEA8278), Rgb(0xFDE6E3)}, {Rgb(0x8696E2), Rgb(0xE8ECFC)},
      {Rgb(0x96BE60), Rgb(0xECF6DE)}, {Rgb(0xC88CC8), Rgb(0xF6E8F6)}, {Rgb(0xC49C74), Rgb(0xF7EEE4)}};
  return kPalette[index >= 0 && index < 12 ? index : 0];
}

COLORREF BlendColor(COLORREF a, COLORREF b, int w) {
  auto mix = [w](int x, int y) { return static_cast<BYTE>((x * (255 - w) + y * w) / 255); };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

}  // namespace kit
