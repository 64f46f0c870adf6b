// The circle cache must put down the same pixels as the kit's GDI+ circle, reuse what it
// rendered, and fall back when a circle does not fit its atlas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "calendar_fixture.h"
#include "ui/kit/draw.h"
#include "views/calendar_circles.h"

namespace {

using calendar::CircleCache;

// Pixels that differ by more than the rounding of a blend.
int DifferentPixels(const caltest::Canvas& a, const caltest::Canvas& b, int width, int height) {
  int count = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      COLORREF p = a.At(x, y), q = b.At(x, y);
      int worst = std::max({std::abs(GetRValue(p) - GetRValue(q)), std::abs(GetGValue(p) - GetGValue(q)),
                            std::abs(GetBValue(p) - GetBValue(q))});
      count += worst > 3 ? 1 : 0;
    }
  }
  return count;
}

void Clear(const caltest::Canvas& canvas, int width, int height) {
  kit::FillSolidRect(canvas.dc(), RECT{0, 0, width, height}, RGB(250, 251, 253));
}

TEST(CalendarCircles, MatchTheKitCircleWhereverTheCentreFalls) {
  testui::EnsureUi();
  constexpr int kSize = 120;
  caltest::Canvas expected(kSize, kSize), actual(kSize, kSize);
  CircleCache cache;
  struct Case {
    float cx, cy, r;
    COLORREF color;
  } cases[] = {{30, 30, 12, RGB(122, 138, 230)}, {70.5f, 30, 12, RGB(122, 138, 230)}, {30.5f, 80.5f, 4, RGB(102, 190, 152)},
               {80.25f, 80.75f, 2, RGB(238, 156, 112)}, {60, 60, 40, RGB(200, 140, 200)}};
  for (const Case& c : cases) {
    Clear(expected, kSize, kSize);
    Clear(actual, kSize, kSize);
    kit::FillCircle(expected.dc(), c.cx, c.cy, c.r, c.color);
    cache.Fill(actual.dc(), c.cx, c.cy, c.r, c.color);
    // Wine's GDI+ rasterises small circles without smoothing and may round an edge pixel
    // differently on a bitmap than on a DC; anything beyond a few edge pixels is a shift.
    int allowed = std::max(2, static_cast<int>(2 * 3.1416f * c.r / 8));
    EXPECT_LE(DifferentPixels(expected, actual, kSize, kSize), allowed) << "circle at " << c.cx << ", " << c.cy;
    EXPECT_EQ(actual.At(static_cast<int>(c.cx), static_cast<int>(c.cy)), c.color) << "solid in the middle";
  }
  // The 40 px circle is too large for an atlas slot and went straight to GDI+.
  EXPECT_EQ(cache.SpriteCount(), 4u);
}

TEST(CalendarCircles, RendersEachShapeOnceAndEachColourOncePerShape) {
  testui::EnsureUi();
  caltest::Canvas canvas(400, 100);
  CircleCache cache;
  for (int i = 0; i < 10; ++i) {
    cache.Fill(canvas.dc(), 20.0f + 30 * i, 20, 12, RGB(1, 2, 3));
    cache.Fill(canvas.dc(), 20.0f + 30 * i, 60, 12, RGB(200, 2, 3));
  }
  EXPECT_EQ(cache.MaskCount(), 1u);
  EXPECT_EQ(cache.SpriteCount(), 2u);
  cache.Fill(canvas.dc(), 20.5f, 20, 12, RGB(1, 2, 3));
  EXPECT_EQ(cache.MaskCount(), 2u) << "half a pixel further is another shape";

  // More colours than one atlas page holds.
  for (int i = 0; i < 150; ++i) cache.Fill(canvas.dc(), 50, 50, 6, RGB(i, 0, 0));
  EXPECT_EQ(cache.SpriteCount(), 153u);
  EXPECT_EQ(canvas.At(50, 50), RGB(149, 0, 0)) << "the last colour drawn from a later page";
}

}  // namespace
