#include "views/calendar_circles.h"

#include <cmath>

#include "ui/kit/draw.h"
#include "ui/kit/gdiplus_include.h"

namespace calendar {
namespace {

constexpr int kQuarters = 4;
constexpr int kSlot = 64;
constexpr int kColumns = 16;
constexpr int kRows = 4;

int SpriteSize(float r) { return 2 * (static_cast<int>(std::ceil(r)) + 2); }

uint32_t Premultiplied(COLORREF color, uint32_t alpha) {
  auto channel = [alpha](uint32_t c) { return (c * alpha + 127) / 255; };
  return (alpha << 24) | (channel(GetRValue(color)) << 16) | (channel(GetGValue(color)) << 8) |
         channel(GetBValue(color));
}

}  // namespace

CircleCache::~CircleCache() = default;

const CircleCache::Mask& CircleCache::MaskFor(const Shape& shape) {
  auto found = masks_.find(shape);
  if (found != masks_.end()) return found->second;
  Mask& mask = masks_[shape];
  float r = static_cast<float>(std::get<0>(shape)) / kQuarters;
  float fx = static_cast<float>(std::get<1>(shape)) / kQuarters;
  float fy = static_cast<float>(std::get<2>(shape)) / kQuarters;
  mask.size = SpriteSize(r);
  if (mask.size > kSlot) return mask;

  Gdiplus::Bitmap image(mask.size, mask.size, PixelFormat32bppPARGB);
  if (image.GetLastStatus() != Gdiplus::Ok) return mask;
  {
    Gdiplus::Graphics g(&image);
    g.Clear(Gdiplus::Color(0, 0, 0, 0));
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
    float c = mask.size / 2.0f;
    g.FillEllipse(&white, c + fx - r, c + fy - r, 2 * r, 2 * r);
  }
  Gdiplus::Rect whole(0, 0, mask.size, mask.size);
  Gdiplus::BitmapData data{};
  if (image.LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) != Gdiplus::Ok) return mask;
  mask.coverage.resize(static_cast<size_t>(mask.size) * mask.size);
  for (int y = 0; y < mask.size; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(data.Scan0) +
                                                        static_cast<ptrdiff_t>(y) * data.Stride);
    for (int x = 0; x < mask.size; ++x) mask.coverage[static_cast<size_t>(y) * mask.size + x] = row[x] >> 24;
  }
  image.UnlockBits(&data);
  return mask;
}

bool CircleCache::Place(HDC reference, const Sprite& key, const Mask& mask, Slot& slot) {
  int page = nextSlot_ / (kColumns * kRows);
  if (page == static_cast<int>(pages_.size())) {
    auto fresh = std::make_unique<Page>();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kColumns * kSlot;
    info.bmiHeader.biHeight = -(kRows * kSlot);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    fresh->bitmap.reset(CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    fresh->dc.reset(CreateCompatibleDC(reference));
    if (!fresh->bitmap || !fresh->dc || bits == nullptr) return false;
    fresh->bits = static_cast<uint32_t*>(bits);
    fresh->selection = std::make_unique<kit::SelectObjectScope>(fresh->dc.get(), fresh->bitmap.get());
    pages_.push_back(std::move(fresh));
  }
  int index = nextSlot_++ % (kColumns * kRows);
  slot.page = page;
  slot.x = (index % kColumns) * kSlot;
  slot.y = (index / kColumns) * kSlot;
  slot.size = mask.size;

  GdiFlush();  // the page's DC may still hold a blend that reads these pixels
  COLORREF color = std::get<0>(key);
  uint32_t* bits = pages_[static_cast<size_t>(page)]->bits;
  for (int y = 0; y < mask.size; ++y) {
    uint32_t* row = bits + static_cast<size_t>(slot.y + y) * (kColumns * kSlot) + slot.x;
    const uint8_t* coverage = mask.coverage.data() + static_cast<size_t>(y) * mask.size;
    for (int x = 0; x < mask.size; ++x) row[x] = Premultiplied(color, coverage[x]);
  }
  return true;
}

void CircleCache::Fill(HDC dc, float cx, float cy, float r, COLORREF color) {
  if (r <= 0) return;
  int radius = static_cast<int>(std::lround(r * kQuarters));
  float baseX = std::floor(cx), baseY = std::floor(cy);
  int fx = static_cast<int>(std::lround((cx - baseX) * kQuarters));
  int fy = static_cast<int>(std::lround((cy - baseY) * kQuarters));
  if (fx == kQuarters) {
    baseX += 1;
    fx = 0;
  }
  if (fy == kQuarters) {
    baseY += 1;
    fy = 0;
  }
  const Mask& mask = MaskFor(Shape{radius, fx, fy});
  if (mask.coverage.empty()) {
    kit::FillCircle(dc, cx, cy, r, color);
    return;
  }
  Sprite key{color, radius, fx, fy};
  auto found = sprites_.find(key);
  if (found == sprites_.end()) {
    Slot slot;
    if (!Place(dc, key, mask, slot)) {
      kit::FillCircle(dc, cx, cy, r, color);
      return;
    }
    found = sprites_.emplace(key, slot).first;
  }
  const Slot& slot = found->second;
  int x0 = static_cast<int>(baseX) - slot.size / 2;
  int y0 = static_cast<int>(baseY) - slot.size / 2;
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiAlphaBlend(dc, x0, y0, slot.size, slot.size, pages_[static_cast<size_t>(slot.page)]->dc.get(), slot.x, slot.y,
                slot.size, slot.size, blend);
}

}  // namespace calendar
