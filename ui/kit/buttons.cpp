#include "ui/kit/buttons.h"

#include <commctrl.h>

#include "ui/kit/colors.h"
#include "ui/kit/draw.h"
#include "ui/kit/gdi.h"
#include "ui/kit/scale.h"

namespace kit {
namespace {

constexpr wchar_t kStyleProperty[] = L"QL.BtnStyle";
constexpr wchar_t kBackgroundProperty[] = L"QL.BtnBg";
constexpr wchar_t kHotProperty[] = L"QL.BtnHot";
// Black is a legal background; the flag keeps a stored black distinguishable from "no property".
constexpr UINT_PTR kBackgroundPresent = 0x1000000;
constexpr UINT_PTR kHoverSubclassId = 0x51424854;  // "QBHT"

LRESULT CALLBACK HoverSubclassProc(HWND button, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                   DWORD_PTR) {
  switch (message) {
    case WM_MOUSEMOVE:
      if (GetPropW(button, kHotProperty) == nullptr) {
        SetPropW(button, kHotProperty, reinterpret_cast<HANDLE>(1));
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, button, 0};
        TrackMouseEvent(&track);
        InvalidateRect(button, nullptr, FALSE);
      }
      break;
    case WM_MOUSELEAVE:
      if (RemovePropW(button, kHotProperty) != nullptr) InvalidateRect(button, nullptr, FALSE);
      break;
    case WM_ERASEBKGND:
      // The whole face is painted from a memory bitmap; erasing first would flicker.
      return 1;
    case WM_NCDESTROY:
      RemovePropW(button, kStyleProperty);
      RemovePropW(button, kBackgroundProperty);
      RemovePropW(button, kHotProperty);
      RemoveWindowSubclass(button, HoverSubclassProc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(button, message, wparam, lparam);
}

struct ButtonLook {
  COLORREF fill;
  COLORREF text;
  bool outline;
};

ButtonLook LookFor(int style, bool hot, bool pressed, bool disabled, COLORREF background) {
  using namespace color;
  switch (style) {
    case kButtonSecondary:
      return {pressed ? kPressedFill : hot ? kHoverFill : kWhite, disabled ? kHintText : kText, true};
    case kButtonPrimary: {
      COLORREF fill = disabled ? BlendColor(kAccent, kWhite, 130)
                      : pressed ? kAccentPressed
                      : hot     ? BlendColor(kAccent, kAccentPressed, 120)
                                : kAccent;
      return {fill, kWhite, false};
    }
    case kButtonDanger: {
      COLORREF fill = pressed ? BlendColor(kDangerBackground, kDangerMark, 70)
                      : hot   ? BlendColor(kDangerBackground, kDangerMark, 35)
                              : kDangerBackground;
      return {fill, disabled ? kHintText : kDangerText, false};
    }
    case kButtonGhost:
      return {pressed ? kPressedFill : hot ? kHoverFill : background,
              disabled ? kHintText : hot ? kText : kMutedText, false};
    default:
      return {kWhite, kText, false};
  }
}

// Sizes at 96 DPI.
constexpr int kCornerRadius = 6;
constexpr int kOutlineWidth = 1;
constexpr int kFocusRingWidth = 2;
constexpr int kTextInset = 6;

void PaintButtonFace(HDC dc, const RECT& rect, HWND button, UINT state) {
  int style = KitButtonStyle(button);
  COLORREF background = color::kWhite;
  KitButtonBackground(button, background);
  bool disabled = (state & ODS_DISABLED) != 0;
  ButtonLook look = LookFor(style, KitButtonHot(button), (state & ODS_SELECTED) != 0, disabled, background);
  int dpi = WindowDpi(button);
  float radius = static_cast<float>(Scale(kCornerRadius, dpi));

  FillSolidRect(dc, rect, background);
  FillRoundRect(dc, rect, radius, look.fill);
  if (look.outline) DrawRoundRect(dc, rect, radius, color::kControlBorder, static_cast<float>(Scale(kOutlineWidth, dpi)));
  if ((state & ODS_FOCUS) != 0 && (state & ODS_NOFOCUSRECT) == 0) {
    COLORREF ring = style == kButtonPrimary ? color::kAccentPressed : color::kAccent;
    DrawRoundRect(dc, rect, radius, ring, static_cast<float>(Scale(kFocusRingWidth, dpi)));
  }

  wchar_t text[128] = {};
  GetWindowTextW(button, text, 128);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
  if (font == nullptr) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SelectObjectScope selectFont(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, look.text);
  RECT textRect = rect;
  InflateRect(&textRect, -Scale(kTextInset, dpi), 0);
  DrawTextW(dc, text, -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

}  // namespace

HWND CreateKitButton(HWND parent, int id, const wchar_t* text, int style, COLORREF background, DWORD extraStyles) {
  auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  HWND button = CreateWindowExW(0, L"Button", text ? text : L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW | extraStyles, 0, 0, 0, 0, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (button == nullptr) return nullptr;
  SetPropW(button, kStyleProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(style + 1)));
  SetPropW(button, kBackgroundProperty,
           reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(background & 0xFFFFFF) | kBackgroundPresent));
  SetWindowSubclass(button, HoverSubclassProc, kHoverSubclassId, 0);
  return button;
}

int KitButtonStyle(HWND button) {
  auto stored = reinterpret_cast<INT_PTR>(GetPropW(button, kStyleProperty));
  return stored == 0 ? -1 : static_cast<int>(stored - 1);
}

bool KitButtonBackground(HWND button, COLORREF& color) {
  auto stored = reinterpret_cast<UINT_PTR>(GetPropW(button, kBackgroundProperty));
  if (stored == 0) return false;
  color = static_cast<COLORREF>(stored & 0xFFFFFF);
  return true;
}

bool KitButtonHot(HWND button) { return GetPropW(button, kHotProperty) != nullptr; }

bool DrawKitButton(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_BUTTON || item.hwndItem == nullptr || KitButtonStyle(item.hwndItem) < 0) return false;
  const RECT& target = item.rcItem;
  int width = target.right - target.left, height = target.bottom - target.top;
  if (width <= 0 || height <= 0) return true;

  UniqueMemoryDc memory(CreateCompatibleDC(item.hDC));
  UniqueBitmap bitmap(memory ? CreateCompatibleBitmap(item.hDC, width, height) : nullptr);
  if (!bitmap) {
    // Out of GDI memory: a flickering button is better than none.
    PaintButtonFace(item.hDC, target, item.hwndItem, item.itemState);
    return true;
  }
  {
    SelectObjectScope selectBitmap(memory.get(), bitmap.get());
    PaintButtonFace(memory.get(), RECT{0, 0, width, height}, item.hwndItem, item.itemState);
    BitBlt(item.hDC, target.left, target.top, width, height, memory.get(), 0, 0, SRCCOPY);
  }
  return true;
}

bool ClickFocusedButton(HWND window) {
  HWND focus = GetFocus();
  if (focus == nullptr || window == nullptr || !IsChild(window, focus)) return false;
  wchar_t className[16] = {};
  GetClassNameW(focus, className, 16);
  if (lstrcmpiW(className, L"Button") != 0) return false;
  LONG type = GetWindowLongW(focus, GWL_STYLE) & BS_TYPEMASK;
  if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON && type != BS_OWNERDRAW) return false;
  SendMessageW(focus, BM_CLICK, 0, 0);
  return true;
}

}  // namespace kit
