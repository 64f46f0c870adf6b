#include "ui/kit/menus.h"

#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "i18n/language.h"
#include "ui/kit/colors.h"
#include "ui/kit/draw.h"
#include "ui/kit/fonts.h"
#include "ui/kit/gdi.h"
#include "ui/kit/scale.h"

namespace kit {
namespace {

constexpr COLORREF kMenuBarBackground = Rgb(0xF8F9FC);

// Sizes at 96 DPI.
constexpr int kSeparatorWidth = 10;
constexpr int kSeparatorHeight = 9;
constexpr int kSeparatorInset = 10;
constexpr int kBarItemPadding = 12;
constexpr int kBarItemHeight = 28;
constexpr int kBarHighlightInsetX = 1;
constexpr int kBarHighlightInsetY = 3;
constexpr int kItemHeight = 32;
constexpr int kLabelLeft = 34;          // room for the check mark
constexpr int kLabelRight = 12;
constexpr int kAcceleratorRight = 14;
constexpr int kTailWithoutAccelerator = 16;
constexpr int kAcceleratorGap = 40;
constexpr int kHighlightInsetX = 4;
constexpr int kHighlightInsetY = 1;
constexpr int kHighlightRadius = 5;
constexpr int kCheckCenter = 18;        // from the item's left edge
constexpr int kRadioRadius = 4;
constexpr int kCheckSize = 10;
constexpr int kCheckStroke = 2;
constexpr COLORREF kMenuBarHighlight = Rgb(0xE2E7FC);

struct MenuItemRecord {
  std::wstring label;        // text before the first tab, with its "&" mnemonic
  std::wstring accelerator;  // text after the tab
  bool menuBar = false;
  bool separator = false;
  int language = -1;  // draw in this language's font instead of the menu font
};

// Each converted menu owns the records of its own items, so that releasing a menu frees
// exactly what it holds. Item data is only trusted when it is a live record: other code
// may own-draw items of the same menus with data of its own.
struct RecordStore {
  std::unordered_map<HMENU, std::vector<std::unique_ptr<MenuItemRecord>>> byMenu;
  std::unordered_set<ULONG_PTR> live;
};

RecordStore& Records() {
  static RecordStore store;
  return store;
}

const MenuItemRecord* FindRecord(ULONG_PTR data) {
  return Records().live.count(data) != 0 ? reinterpret_cast<const MenuItemRecord*>(data) : nullptr;
}

const FontSet* g_menuFonts = nullptr;

const FontSet& MenuFonts() {
  if (g_menuFonts != nullptr) return *g_menuFonts;
  // Built on first use and again when the language or the embedded faces change,
  // because either may change the family.
  static OwnedFontSet fallback;
  static int builtLanguage = -1;
  static bool builtWithPretendard = false;
  if (builtLanguage != i18n::CurrentLanguage() || builtWithPretendard != PretendardAvailable()) {
    fallback.Rebuild(96);
    builtLanguage = i18n::CurrentLanguage();
    builtWithPretendard = PretendardAvailable();
  }
  return fallback.get();
}

HBRUSH MenuBarBrush() {
  // Menus keep a borrowed brush; it must live as long as any menu bar can.
  static UniqueBrush brush(CreateSolidBrush(kMenuBarBackground));
  return brush.get();
}

wchar_t Lower(wchar_t c) {
  CharLowerBuffW(&c, 1);
  return c;
}

SIZE TextExtent(HDC dc, HFONT font, const std::wstring& text, UINT format) {
  if (text.empty()) return SIZE{0, 0};
  SelectObjectScope select(dc, font);
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT | DT_SINGLELINE);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

HFONT LabelFont(const MenuItemRecord& record, const FontSet& fonts) {
  return record.language >= 0 ? BodyFontFor(record.language, fonts.dpi) : fonts.body;
}

void MeasureItem(const MenuItemRecord& record, MEASUREITEMSTRUCT& measure) {
  const FontSet& fonts = MenuFonts();
  int dpi = fonts.dpi;
  if (record.separator) {
    measure.itemWidth = Scale(kSeparatorWidth, dpi);
    measure.itemHeight = Scale(kSeparatorHeight, dpi);
    return;
  }
  WindowDc screen(nullptr);
  int label = TextExtent(screen.get(), LabelFont(record, fonts), record.label, 0).cx;
  if (record.menuBar) {
    measure.itemWidth = label + Scale(kBarItemPadding, dpi);
    measure.itemHeight = Scale(kBarItemHeight, dpi);
    return;
  }
  int tail = Scale(kTailWithoutAccelerator, dpi);
  if (!record.accelerator.empty()) {
    tail = TextExtent(screen.get(), fonts.body, record.accelerator, DT_NOPREFIX).cx + Scale(kAcceleratorGap, dpi);
  }
  measure.itemWidth = label + tail + Scale(kLabelLeft, dpi);
  measure.itemHeight = Scale(kItemHeight, dpi);
}

// The radio flag may be set after conversion (CheckMenuRadioItem does), so it is read
// from the item itself.
bool IsRadioItem(HMENU menu, ULONG_PTR data) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    if (GetMenuItemInfoW(menu, i, TRUE, &info) && info.dwItemData == data) {
      return (info.fType & MFT_RADIOCHECK) != 0;
    }
  }
  return false;
}

void PaintMenuBarItem(HDC dc, const RECT& rect, const MenuItemRecord& record, UINT state, const FontSet& fonts) {
  int dpi = fonts.dpi;
  FillSolidRect(dc, rect, kMenuBarBackground);
  if ((state & (ODS_SELECTED | ODS_HOTLIGHT)) != 0) {
    RECT highlight = rect;
    InflateRect(&highlight, -Scale(kBarHighlightInsetX, dpi), -Scale(kBarHighlightInsetY, dpi));
    FillRoundRect(dc, highlight, static_cast<float>(Scale(kHighlightRadius, dpi)), kMenuBarHighlight);
  }
  SelectObjectScope select(dc, fonts.body);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, (state & ODS_INACTIVE) != 0 ? color::kMutedText : color::kText);
  RECT text = rect;
  UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | ((state & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0);
  DrawTextW(dc, record.label.c_str(), static_cast<int>(record.label.size()), &text, format);
}

void PaintPopupItem(HDC dc, const RECT& rect, const MenuItemRecord& record, UINT state, bool radio,
                    const FontSet& fonts) {
  int dpi = fonts.dpi;
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  FillSolidRect(dc, rect, color::kWhite);
  if (record.separator) {
    DrawSeparator(dc, rect.left + Scale(kSeparatorInset, dpi), rect.right - Scale(kSeparatorInset, dpi),
                  rect.top + height / 2);
    return;
  }
  bool unavailable = (state & (ODS_GRAYED | ODS_DISABLED)) != 0;
  if ((state & ODS_SELECTED) != 0 && !unavailable) {
    RECT highlight = rect;
    InflateRect(&highlight, -Scale(kHighlightInsetX, dpi), -Scale(kHighlightInsetY, dpi));
    FillRoundRect(dc, highlight, static_cast<float>(Scale(kHighlightRadius, dpi)), color::kAccentTint);
  }
  float cy = rect.top + height / 2.0f;
  if ((state & ODS_CHECKED) != 0) {
    float cx = static_cast<float>(rect.left + Scale(kCheckCenter, dpi));
    if (radio) {
      FillCircle(dc, cx, cy, static_cast<float>(Scale(kRadioRadius, dpi)), color::kAccent);
    } else {
      DrawCheck(dc, cx, cy, static_cast<float>(Scale(kCheckSize, dpi)), color::kAccent,
                static_cast<float>(Scale(kCheckStroke, dpi)));
    }
  }
  SelectObjectScope select(dc, LabelFont(record, fonts));
  SetBkMode(dc, TRANSPARENT);
  UINT hide = (state & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0;
  SetTextColor(dc, unavailable ? color::kHintText : color::kText);
  RECT label{rect.left + Scale(kLabelLeft, dpi), rect.top, rect.left + width - Scale(kLabelRight, dpi), rect.bottom};
  DrawTextW(dc, record.label.c_str(), static_cast<int>(record.label.size()), &label,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | hide);
  if (!record.accelerator.empty()) {
    SetTextColor(dc, (state & ODS_DISABLED) != 0 ? color::kHintText : color::kMutedText);
    RECT accelerator{rect.left + Scale(kLabelLeft, dpi), rect.top, rect.left + width - Scale(kAcceleratorRight, dpi),
                     rect.bottom};
    DrawTextW(dc, record.accelerator.c_str(), static_cast<int>(record.accelerator.size()), &accelerator,
              DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
}

void DrawItem(const MenuItemRecord& record, const DRAWITEMSTRUCT& item) {
  const FontSet& fonts = MenuFonts();
  const RECT& target = item.rcItem;
  int width = target.right - target.left, height = target.bottom - target.top;
  if (width <= 0 || height <= 0) return;
  auto menu = reinterpret_cast<HMENU>(item.hwndItem);
  bool radio = !record.menuBar && IsRadioItem(menu, item.itemData);
  RECT local{0, 0, width, height};

  UniqueMemoryDc memory(CreateCompatibleDC(item.hDC));
  UniqueBitmap bitmap(memory ? CreateCompatibleBitmap(item.hDC, width, height) : nullptr);
  HDC dc = item.hDC;
  RECT rect = target;
  std::optional<SelectObjectScope> selectBitmap;
  if (bitmap) {
    selectBitmap.emplace(memory.get(), bitmap.get());
    dc = memory.get();
    rect = local;
  }
  if (record.menuBar) {
    PaintMenuBarItem(dc, rect, record, item.itemState, fonts);
  } else {
    PaintPopupItem(dc, rect, record, item.itemState, radio, fonts);
  }
  if (bitmap) BitBlt(item.hDC, target.left, target.top, width, height, memory.get(), 0, 0, SRCCOPY);
}

void ForgetItems(HMENU menu) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA | MIIM_SUBMENU;
    if (!GetMenuItemInfoW(menu, i, TRUE, &info)) continue;
    if (info.hSubMenu != nullptr) ForgetItems(info.hSubMenu);
  }
  RecordStore& store = Records();
  auto owned = store.byMenu.find(menu);
  if (owned == store.byMenu.end()) return;
  for (const auto& record : owned->second) store.live.erase(reinterpret_cast<ULONG_PTR>(record.get()));
  store.byMenu.erase(owned);
}

// Hands a WM_MEASUREITEM or WM_DRAWITEM item to `handle` when it is one of our records.
template <typename Item, typename Handler>
bool ForMenuItem(Item* item, LRESULT& result, Handler handle) {
  if (item == nullptr || item->CtlType != ODT_MENU) return false;
  const MenuItemRecord* record = FindRecord(item->itemData);
  if (record == nullptr) return false;
  handle(*record, *item);
  result = TRUE;
  return true;
}

}  // namespace

int FindMenuMnemonic(const std::vector<std::wstring>& labels, wchar_t typed) {
  wchar_t wanted = Lower(typed);
  for (size_t i = 0; i < labels.size(); ++i) {
    const std::wstring& label = labels[i];
    for (size_t k = 0; k + 1 < label.size(); ++k) {
      if (label[k] != L'&') continue;
      if (label[k + 1] == L'&') {
        ++k;  // a literal ampersand, not a mnemonic
        continue;
      }
      if (Lower(label[k + 1]) == wanted) return static_cast<int>(i);
    }
  }
  return -1;
}

void MakeMenuOwnerDrawn(HMENU menu, bool isMenuBar) {
  if (menu == nullptr || !IsMenu(menu)) return;
  MENUINFO menuInfo{};
  menuInfo.cbSize = sizeof(menuInfo);
  menuInfo.fMask = MIM_BACKGROUND;
  menuInfo.hbrBack = isMenuBar ? MenuBarBrush() : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  SetMenuInfo(menu, &menuInfo);

  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
    if (!GetMenuItemInfoW(menu, i, TRUE, &info)) continue;
    if (info.hSubMenu != nullptr) MakeMenuOwnerDrawn(info.hSubMenu, false);
    if ((info.fType & MFT_OWNERDRAW) != 0) continue;

    auto record = std::make_unique<MenuItemRecord>();
    record->menuBar = isMenuBar;
    record->separator = (info.fType & MFT_SEPARATOR) != 0;
    if (!record->separator && info.cch > 0) {
      std::wstring text(info.cch + 1, L'\0');
      MENUITEMINFOW textInfo{};
      textInfo.cbSize = sizeof(textInfo);
      textInfo.fMask = MIIM_STRING;
      textInfo.dwTypeData = text.data();
      textInfo.cch = static_cast<UINT>(text.size());
      if (GetMenuItemInfoW(menu, i, TRUE, &textInfo)) text.resize(textInfo.cch);
      else text.clear();
      size_t tab = text.find(L'\t');
      record->label = text.substr(0, tab);
      if (tab != std::wstring::npos) record->accelerator = text.substr(tab + 1);
    }

    MENUITEMINFOW change{};
    change.cbSize = sizeof(change);
    change.fMask = MIIM_FTYPE | MIIM_DATA;
    change.fType = info.fType | MFT_OWNERDRAW;
    change.dwItemData = reinterpret_cast<ULONG_PTR>(record.get());
    if (SetMenuItemInfoW(menu, i, TRUE, &change)) {
      Records().live.insert(change.dwItemData);
      Records().byMenu[menu].push_back(std::move(record));
    }
  }
}

void SetMenuItemLanguage(HMENU menu, UINT commandId, int language) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_DATA;
  // By command, the search includes the submenus.
  if (menu == nullptr || !GetMenuItemInfoW(menu, commandId, FALSE, &info)) return;
  if (FindRecord(info.dwItemData) != nullptr) reinterpret_cast<MenuItemRecord*>(info.dwItemData)->language = language;
}

void ReleaseOwnerDrawnMenu(HMENU menu) {
  if (menu != nullptr && IsMenu(menu)) ForgetItems(menu);
}

OwnerDrawnMenu MakeOwnerDrawn(UniqueMenu menu, bool isMenuBar) {
  MakeMenuOwnerDrawn(menu.get(), isMenuBar);
  return OwnerDrawnMenu(menu.release());
}

void SetMenuFontSet(const FontSet* fonts) { g_menuFonts = fonts; }

bool HandleMenuMessage(HWND /*window*/, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  try {
    switch (message) {
      case WM_MEASUREITEM:
        return ForMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lparam), result, MeasureItem);
      case WM_DRAWITEM:
        return ForMenuItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lparam), result, DrawItem);
      case WM_MENUCHAR: {
        auto menu = reinterpret_cast<HMENU>(lparam);
        if (menu == nullptr || !IsMenu(menu)) return false;
        std::vector<std::wstring> labels;
        int count = GetMenuItemCount(menu);
        for (int i = 0; i < count; ++i) {
          MENUITEMINFOW info{};
          info.cbSize = sizeof(info);
          info.fMask = MIIM_DATA;
          const MenuItemRecord* record =
              GetMenuItemInfoW(menu, i, TRUE, &info) ? FindRecord(info.dwItemData) : nullptr;
          labels.push_back(record != nullptr ? record->label : std::wstring());
        }
        int index = FindMenuMnemonic(labels, static_cast<wchar_t>(LOWORD(wparam)));
        if (index < 0) return false;
        result = MAKELRESULT(index, MNC_EXECUTE);
        return true;
      }
      default:
        return false;
    }
  } catch (...) {
    // Called from window procedures: a failure leaves the message to Windows.
    return false;
  }
}

}  // namespace kit
