// Filled anti-aliased circles for one paint. Under Wine every GDI+ fill on a device
// context costs about four alpha blends of the same pixels, and the year view draws
// hundreds of circles in a few dozen colours and a few sizes. So each size (with its
// position within a pixel) is rasterised once by GDI+ as a coverage mask, coloured into a
// slot of an atlas bitmap, and blended from there wherever it recurs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "ui/kit/gdi.h"

namespace calendar {

class CircleCache {
 public:
  CircleCache() = default;
  ~CircleCache();
  CircleCache(const CircleCache&) = delete;
  CircleCache& operator=(const CircleCache&) = delete;

  // Same pixels as kit::FillCircle, up to the rounding of the blend; circles too large
  // for an atlas slot, or a failure to build one, fall back to kit::FillCircle.
  void Fill(HDC dc, float cx, float cy, float r, COLORREF color);
  size_t MaskCount() const { return masks_.size(); }
  size_t SpriteCount() const { return sprites_.size(); }

 private:
  // Radius and the centre's offset within its pixel, in quarter pixels.
  using Shape = std::tuple<int, int, int>;
  using Sprite = std::tuple<COLORREF, int, int, int>;
  struct Mask {
    int size = 0;
    std::vector<uint8_t> coverage;  // size x size; empty when it could not be rendered
  };
  struct Page {
    kit::UniqueBitmap bitmap;
    kit::UniqueMemoryDc dc;
    uint32_t* bits = nullptr;
    std::unique_ptr<kit::SelectObjectScope> selection;  // released before the DC and bitmap
  };
  struct Slot {
    int page = -1;
    int x = 0, y = 0, size = 0;
  };

  const Mask& MaskFor(const Shape& shape);
  bool Place(HDC reference, const Sprite& key, const Mask& mask, Slot& slot);

  std::map<Shape, Mask> masks_;
  std::map<Sprite, Slot> sprites_;
  std::vector<std::unique_ptr<Page>> pages_;
  int nextSlot_ = 0;
};

}  // namespace calendar
