// Shape geometry, colour blending and scaling of the drawing kit, checked on the numbers
// and on the pixels the helpers really produce.
#include <gtest/gtest.h>

#include "ui/kit/colors.h"
#include "ui/kit/draw.h"
#include "ui/kit/scale.h"
#include "ui_test_util.h"

namespace {

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(KitGeometry, RadiusIsLimitedToHalfTheSmallerSide) {
  EXPECT_FLOAT_EQ(kit::EffectiveRadius(RECT{0, 0, 100, 10}, 8), 5.0f);
  EXPECT_FLOAT_EQ(kit::EffectiveRadius(RECT{0, 0, 10, 100}, 8), 5.0f);
  EXPECT_FLOAT_EQ(kit::EffectiveRadius(RECT{0, 0, 100, 40}, 6), 6.0f);
  // At most half a pixel of rounding is not worth a path of arcs.
  EXPECT_FLOAT_EQ(kit::EffectiveRadius(RECT{0, 0, 100, 1}, 8), 0.0f);
  EXPECT_FLOAT_EQ(kit::EffectiveRadius(RECT{0, 0, 100, 40}, 0.5f), 0.0f);
  EXPECT_FLOAT_EQ(kit::EffectiveRadius(RECT{0, 0, 100, 40}, -3), 0.0f);
  EXPECT_FLOAT_EQ(kit::EffectiveRadius(RECT{10, 10, 0, 0}, 6), 0.0f);
}

TEST(KitGeometry, OutlineIsInsetByHalfThePenRoundedUp) {
  EXPECT_TRUE(SameRect(kit::OutlineRect(RECT{0, 0, 10, 10}, 2), RECT{1, 1, 9, 9}));
  EXPECT_TRUE(SameRect(kit::OutlineRect(RECT{0, 0, 10, 10}, 1), RECT{1, 1, 9, 9}));
  EXPECT_TRUE(SameRect(kit::OutlineRect(RECT{0, 0, 10, 10}, 0.9f), RECT{0, 0, 10, 10}));
  EXPECT_TRUE(SameRect(kit::OutlineRect(RECT{0, 0, 10, 10}, 3), RECT{2, 2, 8, 8}));
  RECT none = kit::OutlineRect(RECT{0, 0, 3, 3}, 2);
  EXPECT_TRUE(IsRectEmpty(&none));
  none = kit::OutlineRect(RECT{0, 0, 40, 2}, 2);
  EXPECT_TRUE(IsRectEmpty(&none));
}

TEST(KitShapes, PixelsFollowTheGeometry) {
  testui::EnsureUi();
  const COLORREF fill = kit::color::kAccent;
  {
    // A pen of 2 on 3 x 3 pixels leaves nothing to stroke.
    testui::PixelCanvas canvas(8, 8);
    kit::DrawRoundRect(canvas.dc(), RECT{2, 2, 5, 5}, 6, RGB(0, 0, 0), 2);
    EXPECT_EQ(canvas.Count(RECT{0, 0, 8, 8}, RGB(255, 255, 255)), 64);
  }
  {
    // 10 px high with radius 8: the corners are cut with radius 5, the middle is solid.
    testui::PixelCanvas canvas(40, 10);
    kit::FillRoundRect(canvas.dc(), RECT{0, 0, 40, 10}, 8, fill);
    EXPECT_EQ(canvas.At(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(20, 5), fill);
    EXPECT_EQ(canvas.At(20, 0), fill);
    EXPECT_EQ(canvas.At(2, 5), fill);
  }
  {
    // A 1-px-high rounded rectangle is a plain line: its ends are filled too.
    testui::PixelCanvas canvas(20, 3);
    kit::FillRoundRect(canvas.dc(), RECT{0, 1, 20, 2}, 8, fill);
    EXPECT_EQ(canvas.At(0, 1), fill);
    EXPECT_EQ(canvas.At(19, 1), fill);
    EXPECT_EQ(canvas.At(10, 0), RGB(255, 255, 255));
  }
}

TEST(KitColors, BlendWeighsPerChannelWithIntegerDivision) {
  using kit::BlendColor;
  EXPECT_EQ(BlendColor(RGB(10, 20, 30), RGB(200, 100, 0), 0), RGB(10, 20, 30));
  EXPECT_EQ(BlendColor(RGB(10, 20, 30), RGB(200, 100, 0), 255), RGB(200, 100, 0));
  // 128/255 of 1 truncates to 0; no rounding up.
  EXPECT_EQ(BlendColor(RGB(0, 0, 0), RGB(1, 1, 1), 128), RGB(0, 0, 0));
  // The disabled primary button: (0x7A * 125 + 255 * 130) / 255 = 189 ...
  EXPECT_EQ(BlendColor(kit::color::kAccent, kit::color::kWhite, 130), RGB(189, 197, 242));
  // Channels must not leak into each other (red comes from the low byte of a COLORREF).
  EXPECT_EQ(BlendColor(RGB(255, 0, 0), RGB(0, 0, 255), 255), RGB(0, 0, 255));
  EXPECT_EQ(kit::Rgb(0x2C303A), RGB(0x2C, 0x30, 0x3A));
}

TEST(KitScale, MulDivRoundsToNearest) {
  EXPECT_EQ(kit::Scale(92, 144), 138);
  EXPECT_EQ(kit::Scale(92, 96), 92);
  EXPECT_EQ(kit::Scale(1, 144), 2);  // 1.5 rounds up, a truncating scale would give 1
  EXPECT_EQ(kit::Scale(34, 120), 43);  // 42.5
  EXPECT_EQ(kit::Scale(0, 192), 0);
  EXPECT_GE(kit::WindowDpi(nullptr), 96 / 2);
}

}  // namespace
