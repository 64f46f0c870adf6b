#include "app/project_list_painter.h"

#include <algorithm>
#include <string>

#include "app/project_list.h"
#include "app/project_list_box.h"
#include "ui/kit/colors.h"
#include "ui/kit/draw.h"
#include "ui/kit/gdi.h"
#include "ui/kit/scale.h"

namespace projectlist {
namespace {

// 96-DPI geometry of a row.
constexpr int kCardInsetX = 1;
constexpr int kCardInsetY = 2;
constexpr int kCardRadius = 8;
constexpr int kDotX = 16;
constexpr int kDotY = 20;
constexpr int kDotRadius = 5;
constexpr int kCheckSize = 6;
constexpr float kCheckStroke = 1.5f;
constexpr int kTextLeft = 30;
constexpr int kTextRightGap = 10;
constexpr int kTitleTop = 9, kTitleBottom = 31;
constexpr int kSubtitleTop = 32, kSubtitleBottom = 50;
constexpr int kThirdTop = 51, kThirdBottom = 69;
constexpr int kEmptyMarginX = 8;
constexpr int kEmptyMinTop = 6;

constexpr COLORREF kSelectedFill = kit::color::kAccentTint;
constexpr COLORREF kHoverFill = kit::color::kHoverFill;

void DrawLine(HDC dc, HFONT font, COLORREF color, const RECT& rect, std::wstring_view text) {
  if (text.empty() || rect.right <= rect.left) return;
  kit::SelectObjectScope select(dc, font);
  SetTextColor(dc, color);
  RECT r = rect;
  DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r,
            DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | DT_LEFT);
}

}  // namespace

RowGeometry RowGeometryFor(int width, int height, int dpi) {
  auto px = [dpi](int n) { return kit::Scale(n, dpi); };
  RowGeometry g{};
  g.card = RECT{px(kCardInsetX), px(kCardInsetY), width - px(kCardInsetX), height - px(kCardInsetY)};
  g.dot = POINT{px(kDotX), px(kDotY)};
  g.dotRadius = px(kDotRadius);
  g.checkSize = px(kCheckSize);
  int right = width - px(kTextRightGap);
  g.title = RECT{px(kTextLeft), px(kTitleTop), right, px(kTitleBottom)};
  g.subtitle = RECT{px(kTextLeft), px(kSubtitleTop), right, px(kSubtitleBottom)};
  g.thirdLine = RECT{px(kTextLeft), px(kThirdTop), right, px(kThirdBottom)};
  return g;
}

void PaintRow(HDC dc, int width, int height, const Project* project, RowState state, const kit::FontSet& fonts) {
  kit::FillSolidRect(dc, RECT{0, 0, width, height}, kit::color::kWhite);
  if (project == nullptr) return;
  const int dpi = fonts.dpi;
  const RowGeometry g = RowGeometryFor(width, height, dpi);
  const float radius = static_cast<float>(kit::Scale(kCardRadius, dpi));

  if (state.selected) {
    kit::FillRoundRect(dc, g.card, radius, kSelectedFill);
    if (state.focused) {
      kit::DrawRoundRect(dc, g.card, radius, kit::BlendColor(kSelectedFill, kit::color::kAccent, 140),
                         static_cast<float>(kit::Scale(1, dpi)));
    }
  } else if (state.hovered) {
    kit::FillRoundRect(dc, g.card, radius, kHoverFill);
  }

  const float cx = static_cast<float>(g.dot.x), cy = static_cast<float>(g.dot.y);
  kit::FillCircle(dc, cx, cy, static_cast<float>(g.dotRadius), kit::ProjectColor(project->color).main);
  if (project->completed) {
    kit::DrawCheck(dc, cx, cy, static_cast<float>(g.checkSize), kit::color::kWhite,
                   kCheckStroke * static_cast<float>(dpi) / 96.0f);
  }

  int oldMode = SetBkMode(dc, TRANSPARENT);
  DrawLine(dc, fonts.semibold, project->completed ? kit::color::kMutedText : kit::color::kText, g.title,
           TitleText(*project));
  DrawLine(dc, fonts.small, kit::color::kMutedText, g.subtitle, SubtitleText(*project));
  DrawLine(dc, fonts.small, kit::color::kText, g.thirdLine, ThirdLineText(*project));
  SetBkMode(dc, oldMode);
}

bool DrawListItem(const DRAWITEMSTRUCT& item, const ProjectDocument& document, const kit::FontSet& fonts) {
  if (item.CtlType != ODT_LISTBOX) return false;
  const int width = item.rcItem.right - item.rcItem.left, height = item.rcItem.bottom - item.rcItem.top;
  // Nothing to draw for the focus rectangle of an empty list or a collapsed row.
  if (item.itemID == static_cast<UINT>(-1) || width <= 0 || height <= 0) return true;

  RowState state;
  state.selected = (item.itemState & ODS_SELECTED) != 0;
  state.focused = GetFocus() == item.hwndItem;
  state.hovered = HoverItem(item.hwndItem) == static_cast<int>(item.itemID);
  const Project* project = document.Find(static_cast<int32_t>(item.itemData));

  kit::UniqueMemoryDc memory(CreateCompatibleDC(item.hDC));
  kit::UniqueBitmap bitmap(memory ? CreateCompatibleBitmap(item.hDC, width, height) : nullptr);
  if (!bitmap) {
    // Out of GDI memory: draw straight onto the screen rather than not at all.
    int saved = SaveDC(item.hDC);
    SetViewportOrgEx(item.hDC, item.rcItem.left, item.rcItem.top, nullptr);
    PaintRow(item.hDC, width, height, project, state, fonts);
    RestoreDC(item.hDC, saved);
    return true;
  }
  {
    kit::SelectObjectScope select(memory.get(), bitmap.get());
    PaintRow(memory.get(), width, height, project, state, fonts);
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, width, height, memory.get(), 0, 0, SRCCOPY);
  }
  return true;
}

bool MeasureListItem(MEASUREITEMSTRUCT& item, int dpi) {
  if (item.CtlType != ODT_LISTBOX) return false;
  item.itemHeight = static_cast<UINT>(kit::Scale(kRowHeight, dpi));
  return true;
}

RECT EmptyTextRect(const RECT& client, int textHeight, int dpi) {
  const int margin = kit::Scale(kEmptyMarginX, dpi);
  const int minTop = kit::Scale(kEmptyMinTop, dpi);
  RECT r{client.left + margin, 0, std::max<LONG>(client.left + margin, client.right - margin), 0};
  int top = client.top + (client.bottom - client.top - textHeight) / 2;
  r.top = std::max<LONG>(top, client.top + minTop);
  r.bottom = r.top + textHeight;
  return r;
}

void PaintEmptyList(HDC dc, const RECT& client, std::wstring_view text, const kit::FontSet& fonts) {
  kit::FillSolidRect(dc, client, kit::color::kWhite);
  if (text.empty()) return;
  const int margin = kit::Scale(kEmptyMarginX, fonts.dpi);
  const UINT format = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
  kit::SelectObjectScope select(dc, fonts.small);
  RECT measure{0, 0, std::max(1, static_cast<int>(client.right - client.left) - 2 * margin), 0};
  DrawTextW(dc, text.data(), static_cast<int>(text.size()), &measure, format | DT_CALCRECT);
  RECT r = EmptyTextRect(client, measure.bottom - measure.top, fonts.dpi);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kit::color::kHintText);
  DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r, format);
  SetBkMode(dc, oldMode);
}

}  // namespace projectlist
