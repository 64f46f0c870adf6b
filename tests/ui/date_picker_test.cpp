// The flat date picker: the background finder, and the text the control shows on screen
// while it is not focused, disabled or unchecked.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "ui/kit/colors.h"
#include "ui/kit/date_picker.h"
#include "ui/kit/fonts.h"
#include "ui_test_util.h"

namespace {

TEST(KitDatePicker, DominantColorIgnoresTextPixels) {
  // DIB pixels are 0x00RRGGBB; a COLORREF is 0x00BBGGRR.
  std::vector<DWORD> pixels(100, 0x00FAFBFD);
  for (int i = 0; i < 30; ++i) pixels[i * 3] = 0x002C303A;  // glyph pixels
  pixels[1] = 0x00FAFBFE;                                  // an anti-aliased edge
  EXPECT_EQ(kit::DominantColor(pixels.data(), pixels.size(), 0), RGB(0xFA, 0xFB, 0xFD));
  std::vector<DWORD> redOnBlue(10, 0x000000FF);
  redOnBlue[0] = 0x00FF0000;
  EXPECT_EQ(kit::DominantColor(redOnBlue.data(), redOnBlue.size(), 0), RGB(0, 0, 255));
  // The alpha byte of a 32-bit DIB is not part of the colour.
  std::vector<DWORD> alpha = {0xFF123456, 0x00123456, 0x80ABCDEF};
  EXPECT_EQ(kit::DominantColor(alpha.data(), alpha.size(), 0), RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(kit::DominantColor(nullptr, 0, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(kit::DominantColor(pixels.data(), 0, RGB(1, 2, 3)), RGB(1, 2, 3));
}

// What the picker shows on screen, read from its own window DC.
void CaptureClient(HWND window, testui::PixelCanvas& canvas) {
  testui::PumpMessages();
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  kit::WindowDc dc(window);
  BitBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), dc.get(), 0, 0, SRCCOPY);
}

struct PickerFixture {
  testui::HostWindow host{WS_OVERLAPPEDWINDOW | WS_VISIBLE, 360, 200};
  kit::OwnedFontSet fonts{96};
  HWND picker = nullptr;
  HWND other = nullptr;

  explicit PickerFixture(DWORD extra) {
    picker = CreateWindowExW(0, DATETIMEPICK_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | DTS_SHORTDATEFORMAT | extra,
                             20, 20, 200, 30, host.hwnd, reinterpret_cast<HMENU>(50), GetModuleHandleW(nullptr),
                             nullptr);
    other = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 20, 80, 100, 24, host.hwnd,
                            reinterpret_cast<HMENU>(51), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(picker, WM_SETFONT, reinterpret_cast<WPARAM>(fonts->body), TRUE);
    SYSTEMTIME date{};
    date.wYear = 2024;
    date.wMonth = 3;
    date.wDay = 15;
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
    kit::ApplyFlatDatePicker(picker);
    SetForegroundWindow(host.hwnd);
    SetFocus(other);
  }
};

TEST(KitDatePicker, FlatTextOnlyWhileNotFocused) {
  testui::EnsureUi();
  PickerFixture f(0);
  ASSERT_NE(f.picker, nullptr);
  RECT client;
  GetClientRect(f.picker, &client);
  testui::PixelCanvas canvas(client.right, client.bottom);
  RECT text{0, 0, client.right - GetSystemMetrics(SM_CXVSCROLL) - 2, client.bottom};

  CaptureClient(f.picker, canvas);
  int flatInk = canvas.Count(text, kit::color::kText, 6);
  EXPECT_GT(flatInk, 15) << "the date is drawn in the kit's text colour";
  EXPECT_EQ(canvas.Count(text, RGB(0, 0, 0), 0), 0) << "no black system text in the flat look";
  COLORREF background = canvas.At(2, client.bottom / 2);

  SetFocus(f.picker);
  ASSERT_EQ(GetFocus(), f.picker);
  CaptureClient(f.picker, canvas);
  EXPECT_LT(canvas.Count(text, kit::color::kText, 6), flatInk / 2) << "focused, the control paints itself";

  SetFocus(f.other);
  CaptureClient(f.picker, canvas);
  EXPECT_GT(canvas.Count(text, kit::color::kText, 6), 15) << "losing the focus repaints it flat again";
  EXPECT_EQ(canvas.At(2, client.bottom / 2), background);

  EnableWindow(f.picker, FALSE);
  CaptureClient(f.picker, canvas);
  EXPECT_EQ(canvas.Count(text, kit::color::kText, 6), 0);
  EXPECT_GT(canvas.Count(text, GetSysColor(COLOR_GRAYTEXT), 6), 15) << "disabled text is grey";
}

TEST(KitDatePicker, UncheckedOptionalDateIsGrey) {
  testui::EnsureUi();
  PickerFixture f(DTS_SHOWNONE);
  SYSTEMTIME ignored{};
  GetLocalTime(&ignored);
  bool nullAccepted = SendMessageW(f.picker, DTM_SETSYSTEMTIME, GDT_NONE, 0) != 0;
  // Windows ignores the date with GDT_NONE; Wine refuses a null one (tests/WINE.md).
  if (!nullAccepted) SendMessageW(f.picker, DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&ignored));
  RECT client;
  GetClientRect(f.picker, &client);
  testui::PixelCanvas canvas(client.right, client.bottom);
  RECT text{24, 0, client.right - GetSystemMetrics(SM_CXVSCROLL) - 2, client.bottom};
  CaptureClient(f.picker, canvas);
  EXPECT_EQ(canvas.Count(text, kit::color::kText, 6), 0);
  EXPECT_GT(canvas.Count(text, GetSysColor(COLOR_GRAYTEXT), 6), 15);

  SYSTEMTIME date{};
  date.wYear = 2024;
  date.wMonth = 12;
  date.wDay = 31;
  SendMessageW(f.picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
  CaptureClient(f.picker, canvas);
  EXPECT_GT(canvas.Count(text, kit::color::kText, 6), 15) << "checked again, the text is dark";
}

}  // namespace
