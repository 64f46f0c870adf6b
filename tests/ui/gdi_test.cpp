// The owning wrappers of ui/kit/gdi.h: each handle is released exactly once, by the last owner.
#include <gtest/gtest.h>

#include <type_traits>

#include "ui/kit/gdi.h"
#include "ui_test_util.h"

namespace {

static_assert(!std::is_copy_constructible_v<kit::UniqueFont>);
static_assert(!std::is_copy_assignable_v<kit::UniqueBitmap>);
static_assert(std::is_nothrow_move_constructible_v<kit::UniqueMemoryDc>);
static_assert(!std::is_copy_constructible_v<kit::WindowDc>);
static_assert(!std::is_copy_constructible_v<kit::SelectObjectScope>);
static_assert(!std::is_copy_constructible_v<kit::ComPtr<IUnknown>>);

HFONT NewFont() { return CreateFontW(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"); }

TEST(KitRaii, GdiObjectIsDeletedOnceByItsLastOwner) {
  HFONT raw = NewFont();
  ASSERT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_FONT));
  {
    kit::UniqueFont first(raw);
    kit::UniqueFont second(std::move(first));
    EXPECT_FALSE(first.valid());
    EXPECT_EQ(second.get(), raw);
    kit::UniqueFont third;
    third = std::move(second);
    EXPECT_EQ(third.get(), raw);
    kit::UniqueFont& alias = third;
    third = std::move(alias);  // self-move must not delete the font
    EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_FONT));
  }
  EXPECT_EQ(GetObjectType(raw), 0u);
}

TEST(KitRaii, ResetAndReleaseHandOverOwnership) {
  HFONT a = NewFont();
  HFONT b = NewFont();
  kit::UniqueFont font(a);
  font.reset(b);
  EXPECT_EQ(GetObjectType(a), 0u) << "reset deletes the old object";
  HFONT released = font.release();
  EXPECT_FALSE(font.valid());
  EXPECT_EQ(GetObjectType(released), static_cast<DWORD>(OBJ_FONT)) << "release gives it up undeleted";
  DeleteObject(released);
}

TEST(KitRaii, MemoryDcAndBitmapAndSelection) {
  kit::WindowDc screen(nullptr);
  ASSERT_TRUE(screen);
  HDC rawDc = CreateCompatibleDC(screen.get());
  HBITMAP rawBitmap = CreateCompatibleBitmap(screen.get(), 4, 4);
  HFONT rawFont = NewFont();
  {
    kit::UniqueMemoryDc dc(rawDc);
    kit::UniqueBitmap bitmap(rawBitmap);
    kit::UniqueFont font(rawFont);
    HGDIOBJ stockFont = GetCurrentObject(rawDc, OBJ_FONT);
    {
      kit::SelectObjectScope outer(rawDc, rawFont);
      EXPECT_EQ(GetCurrentObject(rawDc, OBJ_FONT), rawFont);
      {
        kit::SelectObjectScope moved(std::move(outer));
        EXPECT_EQ(GetCurrentObject(rawDc, OBJ_FONT), rawFont);
      }
      // The moved-to scope restored the previous font; the moved-from one must not act again.
      EXPECT_EQ(GetCurrentObject(rawDc, OBJ_FONT), stockFont);
    }
    EXPECT_EQ(GetCurrentObject(rawDc, OBJ_FONT), stockFont);
    kit::SelectObjectScope none(rawDc, nullptr);  // selecting nothing restores nothing
    {
      kit::SelectObjectScope selectBitmap(rawDc, rawBitmap);
      EXPECT_EQ(GetCurrentObject(rawDc, OBJ_BITMAP), rawBitmap);
    }
    EXPECT_NE(GetCurrentObject(rawDc, OBJ_BITMAP), rawBitmap);
  }
  EXPECT_EQ(GetObjectType(rawDc), 0u);
  EXPECT_EQ(GetObjectType(rawBitmap), 0u);
  EXPECT_EQ(GetObjectType(rawFont), 0u);
}

// Counts AddRef and Release, for the COM pointer.
class CountedUnknown : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override {
    ++releases;
    return --refs;
  }
  ULONG refs = 1;
  int releases = 0;
};

TEST(KitRaii, ComPtrReleasesEachReferenceOnce) {
  CountedUnknown a, b;
  {
    kit::ComPtr<IUnknown> first;
    *first.put() = &a;
    kit::ComPtr<IUnknown> second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), &a);
    EXPECT_EQ(a.releases, 0);
    // put() on a filled pointer releases what it held before handing out the slot.
    *second.put() = &b;
    EXPECT_EQ(a.releases, 1);
    kit::ComPtr<IUnknown> third;
    third = std::move(second);
    kit::ComPtr<IUnknown>& alias = third;
    third = std::move(alias);
    EXPECT_EQ(b.releases, 0);
  }
  EXPECT_EQ(a.releases, 1);
  EXPECT_EQ(b.releases, 1);
  EXPECT_EQ(b.refs, 0u);
}

}  // namespace
