#include "ui/kit/msgbox_layout.h"

#include <algorithm>

#include "ui/kit/scale.h"

namespace widgets {

MsgBoxButtons MsgBoxButtonsFor(UINT flags) {
  MsgBoxButtons set;
  switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
      set.ids = {IDOK, IDCANCEL};
      set.closeResult = IDCANCEL;
      break;
    case MB_YESNOCANCEL:
      set.ids = {IDYES, IDNO, IDCANCEL};
      set.closeResult = IDCANCEL;
      break;
    case MB_YESNO:
      set.ids = {IDYES, IDNO};
      set.closeResult = IDNO;
      break;
    default:
      set.ids = {IDOK};
      set.closeResult = IDOK;
      break;
  }
  int asked = static_cast<int>((flags & MB_DEFMASK) >> 8);
  set.defaultIndex = std::min(asked, static_cast<int>(set.ids.size()) - 1);
  return set;
}

MsgBoxSymbol MsgBoxSymbolFor(UINT flags) {
  switch (flags & MB_ICONMASK) {
    case MB_ICONERROR: return MsgBoxSymbol::kError;
    case MB_ICONQUESTION: return MsgBoxSymbol::kQuestion;
    case MB_ICONWARNING: return MsgBoxSymbol::kWarning;
    case MB_ICONINFORMATION: return MsgBoxSymbol::kInformation;
    default: return MsgBoxSymbol::kNone;
  }
}

namespace {

// Sizes at 96 DPI.
constexpr int kMargin = 24;
constexpr int kIconGap = 16;
constexpr int kButtonWidth = 92;
constexpr int kButtonHeight = 34;
constexpr int kButtonGap = 8;
constexpr int kButtonRowHeight = 60;
constexpr int kButtonRowInset = 20;      // right edge to the last button
constexpr int kShortTextWidth = 380;     // where a short message wraps
constexpr int kShortTextMinWidth = 220;
constexpr int kBothMargins = 48;         // text or picture to both sides
constexpr int kLongMinWidth = 252;
constexpr int kLongMaxWidth = 600;
constexpr int kLongMaxWidthWithPicture = 656;
constexpr int kEditChrome = 26;          // the edit's margins and scroll bar
constexpr int kEditSlack = 10;
constexpr int kEditMinHeight = 240;
constexpr int kEditMaxHeight = 366;
constexpr int kEditFloorHeight = 78;     // what a very small screen still gets
constexpr int kPictureReserve = 145;     // kept for the picture below the text
constexpr int kPictureGap = 14;

}  // namespace

MsgBoxLayout LayoutMsgBox(const MsgBoxMetrics& m, const MsgBoxMeasure& measure) {
  auto S = [&](int n) { return kit::Scale(n, m.dpi); };
  const int margin = S(kMargin), iconSize = S(kMsgBoxIconSize), iconGap = S(kIconGap);
  const int buttonWidth = S(kButtonWidth), buttonHeight = S(kButtonHeight), buttonGap = S(kButtonGap);
  const int rowHeight = S(kButtonRowHeight);
  const int count = std::max(m.buttonCount, 0);
  const int buttonsWidth = count * buttonWidth + std::max(count - 1, 0) * buttonGap;
  const int textLeft = m.hasIcon ? margin + iconSize + iconGap : margin;
  const bool hasPicture = m.picture.cx > 0 && m.picture.cy > 0;
  const int workWidth = m.workArea.right - m.workArea.left;
  const int workHeight = m.workArea.bottom - m.workArea.top;

  MsgBoxLayout layout;
  if (m.hasIcon) layout.icon = RECT{margin, margin, margin + iconSize, margin + iconSize};
  int contentBottom = margin;

  if (!m.longText) {
    SIZE text = measure(S(kShortTextWidth));
    int iconColumn = m.hasIcon ? iconSize + iconGap : 0;
    layout.client.cx = std::max(S(kBothMargins) + iconColumn + std::max<int>(text.cx, S(kShortTextMinWidth)),
                                 S(2 * kButtonRowInset) + buttonsWidth);
    int textTop = margin;
    if (m.hasIcon && iconSize > text.cy) textTop += (iconSize - text.cy) / 2;
    int textRight = textLeft + std::min<int>(S(kShortTextWidth), layout.client.cx - margin - textLeft);
    layout.text = RECT{textLeft, textTop, textRight, textTop + text.cy};
    contentBottom = margin + std::max<int>(text.cy, m.hasIcon ? iconSize : 0);
  } else {
    int width = workWidth - m.frame.cx - margin;
    layout.client.cx = std::clamp(width, S(kLongMinWidth), hasPicture ? S(kLongMaxWidthWithPicture) : S(kLongMaxWidth));
    SIZE text = measure(layout.client.cx - textLeft - margin - S(kEditChrome));
    int natural = text.cy + S(kEditSlack);
    int editHeight = hasPicture ? natural : std::clamp(natural, S(kEditMinHeight), S(kEditMaxHeight));
    int room = workHeight - m.frame.cy - margin - margin - rowHeight - (hasPicture ? S(kPictureReserve) : 0);
    editHeight = std::max(std::min(editHeight, room), S(kEditFloorHeight));
    layout.editScrolls = natural > editHeight;
    layout.text = RECT{textLeft, margin, layout.client.cx - margin, margin + editHeight};
    contentBottom = margin + std::max(editHeight, m.hasIcon ? iconSize : 0);

    if (hasPicture) {
      int top = contentBottom + S(kPictureGap);
      int pictureWidth = layout.client.cx - S(kBothMargins);
      int pictureHeight = MulDiv(pictureWidth, m.picture.cy, m.picture.cx);
      int left = workHeight - m.frame.cy - rowHeight - margin - top;
      if (pictureHeight > left) {
        pictureHeight = std::max(left, 0);
        pictureWidth = MulDiv(pictureHeight, m.picture.cx, m.picture.cy);
      }
      if (pictureWidth > 0 && pictureHeight > 0) {
        int x = (layout.client.cx - pictureWidth) / 2;
        layout.picture = RECT{x, top, x + pictureWidth, top + pictureHeight};
        contentBottom = top + pictureHeight;
      }
    }
  }

  layout.client.cy = contentBottom + margin + rowHeight;
  layout.buttonRow = RECT{0, layout.client.cy - rowHeight, layout.client.cx, layout.client.cy};
  int x = layout.client.cx - S(kButtonRowInset) - buttonsWidth;
  int y = layout.buttonRow.top + (rowHeight - buttonHeight) / 2;
  for (int i = 0; i < count; ++i) {
    layout.buttons.push_back(RECT{x, y, x + buttonWidth, y + buttonHeight});
    x += buttonWidth + buttonGap;
  }
  return layout;
}

POINT PlaceMsgBox(SIZE window, const RECT* owner, const RECT& workArea) {
  const RECT& around = owner != nullptr ? *owner : workArea;
  POINT p{around.left + ((around.right - around.left) - window.cx) / 2,
          around.top + ((around.bottom - around.top) - window.cy) / 2};
  // The top-left corner wins when the box is larger than the work area: its caption
  // and its first lines stay reachable.
  p.x = std::max(std::min(p.x, workArea.right - window.cx), workArea.left);
  p.y = std::max(std::min(p.y, workArea.bottom - window.cy), workArea.top);
  return p;
}

std::wstring ToEditLineBreaks(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size() + text.size() / 16);
  for (wchar_t c : text) {
    if (c == L'\r') continue;
    if (c == L'\n') out.push_back(L'\r');
    out.push_back(c);
  }
  return out;
}

}  // namespace widgets
