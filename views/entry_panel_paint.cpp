// Painting of the entry panel: the card list on its background and the attachment rows.
#include <algorithm>

#include "i18n/translate.h"
#include "model/references.h"
#include "ui/kit/colors.h"
#include "ui/kit/draw.h"
#include "ui/kit/gdi.h"
#include "ui/kit/gdiplus_include.h"
#include "ui/kit/scale.h"
#include "views/entry_panel_state.h"

namespace entrypanel {
namespace {

using kit::Scale;
namespace color = kit::color;

void Text(HDC dc, HFONT font, COLORREF ink, const std::wstring& text, RECT r, UINT format) {
  kit::SelectObjectScope select(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ink);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_NOPREFIX);
}

COLORREF DateColor(const Date& date, const Date& today) {
  int weekDay = dates::WeekDay(date);
  if (weekDay == 0) return color::kSunday;
  if (weekDay == 6) return color::kSaturday;
  return dates::Less(date, today) ? color::kMutedText : color::kText;
}

void PaintEmpty(const PanelState& panel, HDC dc, const RECT& client) {
  const kit::FontSet& f = *panel.fonts;
  int m = client.bottom / 2;
  int h = kit::LineHeight(dc, f.body);
  RECT first{client.left, m - h - Scale(2, panel.dpi()), client.right, m};
  Text(dc, f.body, color::kMutedText, i18n::Translate(L"아직 기록된 내용이 없습니다."), first,
       DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  RECT second{client.left, m + Scale(4, panel.dpi()), client.right, m + Scale(4, panel.dpi()) + h};
  Text(dc, f.small, color::kHintText, i18n::Translate(L"날짜를 선택하고 '날짜 추가'를 눌러 내용을 기록하세요."), second,
       DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

void PaintHeader(const PanelState& panel, const EntryCard& card, int index, HDC dc) {
  const kit::FontSet& f = *panel.fonts;
  const int dpi = panel.dpi();
  const CardGeometry& g = card.geometry;
  const RECT& header = g.header;
  const int cy = (header.top + header.bottom) / 2;
  if (panel.hoverHeaderCard == index) {
    RECT hover = header;
    InflateRect(&hover, -Scale(3, dpi), -Scale(3, dpi));
    kit::FillRoundRect(dc, hover, static_cast<float>(Scale(7, dpi)), color::kHoverFill);
  }
  kit::DrawChevron(dc, static_cast<float>(header.left + Scale(20, dpi)), static_cast<float>(cy),
                   static_cast<float>(Scale(8, dpi)), card.expanded ? kit::kChevronDown : kit::kChevronRight,
                   color::kMutedText, 1.6f * dpi / 96.0f);

  Date today = panel.today();
  std::wstring dateText = dates::LongDateText(card.date, true);
  int textLeft = header.left + Scale(36, dpi);
  int textLimit = g.deleteButton.left - Scale(8, dpi);
  int textWidth = std::min(kit::TextWidth(dc, f.semibold, dateText), std::max(0, textLimit - textLeft));
  RECT dateRect{textLeft, header.top, textLimit, header.bottom};
  Text(dc, f.semibold, DateColor(card.date, today), dateText, dateRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);

  int x = textLeft + textWidth + Scale(10, dpi);
  bool isToday = card.date == today;
  const wchar_t* badge = isToday ? L"오늘" : dates::Less(card.date, today) ? L"지난 날짜" : L"예정";
  std::wstring badgeText = i18n::Translate(badge);
  int badgeWidth = kit::TextWidth(dc, f.small, badgeText) + Scale(16, dpi);
  if (x + badgeWidth <= g.deleteButton.left) {
    RECT pill{x, cy - Scale(11, dpi), x + badgeWidth, cy + Scale(11, dpi)};
    kit::FillRoundRect(dc, pill, static_cast<float>(Scale(11, dpi)), isToday ? color::kAccentTint : color::kPanel);
    Text(dc, f.small, isToday ? color::kAccentPressed : color::kMutedText, badgeText, pill,
         DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    int dotX = pill.right + Scale(10, dpi) + Scale(3, dpi);
    bool hasContent = GetWindowTextLengthW(card.textEdit) > 0 || !card.attachments.empty();
    if (!card.expanded && hasContent && dotX + Scale(3, dpi) <= g.deleteButton.left) {
      kit::FillCircle(dc, static_cast<float>(dotX), static_cast<float>(cy), static_cast<float>(Scale(3, dpi)),
                      color::kControlBorder);
    }
  }

  const RECT& del = g.deleteButton;
  bool hot = panel.hoverDeleteCard == index;
  if (hot) kit::FillRoundRect(dc, del, static_cast<float>(Scale(6, dpi)), color::kDangerBackground);
  kit::DrawCross(dc, (del.left + del.right) / 2.0f, (del.top + del.bottom) / 2.0f, static_cast<float>(Scale(8, dpi)),
                 hot ? color::kDangerMark : color::kHintText, 1.5f * dpi / 96.0f);
}

void PaintBody(const PanelState& panel, const EntryCard& card, int index, HDC dc) {
  const kit::FontSet& f = *panel.fonts;
  const int dpi = panel.dpi();
  const CardGeometry& g = card.geometry;
  kit::DrawSeparator(dc, g.card.left + 1, g.card.right - 1, g.header.bottom);
  Text(dc, f.small, color::kMutedText, i18n::Translate(L"태그"), g.tagLabel, DT_LEFT | DT_VCENTER | DT_SINGLELINE);

  for (size_t i = 0; i < g.tags.chips.size() && i < card.tags.size(); ++i) {
    const RECT& chip = g.tags.chips[i];
    bool hot = panel.hoverTagCard == index && panel.hoverTagIndex == static_cast<int>(i);
    kit::FillRoundRect(dc, chip, static_cast<float>(Scale(8, dpi)), hot ? color::kDangerBackground : color::kAccentTint);
    RECT label{chip.left + Scale(10, dpi), chip.top, chip.right - Scale(22, dpi), chip.bottom};
    Text(dc, f.small, color::kAccentPressed, L"#" + card.tags[i], label,
         DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    kit::DrawCross(dc, static_cast<float>(chip.right - Scale(12, dpi)), (chip.top + chip.bottom) / 2.0f,
                   static_cast<float>(Scale(6, dpi)), hot ? color::kDangerMark : color::kMutedText, 1.4f * dpi / 96.0f);
  }

  HWND focus = GetFocus();
  const RECT& frame = g.tags.inputFrame;
  kit::FillRoundRect(dc, frame, static_cast<float>(Scale(6, dpi)), color::kWhite);
  kit::DrawRoundRect(dc, frame, static_cast<float>(Scale(6, dpi)),
                     focus == card.tagEdit ? color::kAccent : color::kLine, 1.0f);

  // The text editor has no border of its own; a quiet frame around it shows where typing goes.
  RECT textFrame = g.text;
  kit::DrawRoundRect(dc, textFrame, static_cast<float>(Scale(6, dpi)),
                     focus == card.textEdit ? color::kAccent : color::kLine, 1.0f);
}

void PaintCard(const PanelState& panel, const EntryCard& card, int index, HDC dc) {
  const int dpi = panel.dpi();
  const RECT& r = card.geometry.card;
  kit::FillRoundRect(dc, r, static_cast<float>(Scale(10, dpi)), color::kWhite);
  if (CardHasFocus(panel, card)) {
    kit::DrawRoundRect(dc, r, static_cast<float>(Scale(10, dpi)), color::kAccent, 1.5f * dpi / 96.0f);
  } else {
    kit::DrawRoundRect(dc, r, static_cast<float>(Scale(10, dpi)), color::kLine, 1.0f);
  }
  PaintHeader(panel, card, index, dc);
  if (card.expanded) PaintBody(panel, card, index, dc);
}

const AttachmentRow* RowOf(const PanelState& panel, HWND button) {
  for (const auto& card : panel.cards) {
    for (const auto& row : card->rows) {
      if (row.button == button) return &row;
    }
  }
  return nullptr;
}

}  // namespace

void PaintPanel(const PanelState& panel, HDC dc, const RECT& client) {
  kit::FillSolidRect(dc, client, color::kPanel);
  if (panel.fonts == nullptr) return;
  if (panel.cards.empty()) {
    PaintEmpty(panel, dc, client);
    return;
  }
  for (size_t i = 0; i < panel.cards.size(); ++i) {
    const EntryCard& card = *panel.cards[i];
    RECT both{};
    if (!IntersectRect(&both, &card.geometry.card, &client)) continue;
    PaintCard(panel, card, static_cast<int>(i), dc);
  }
}

void DrawRowButton(const PanelState& panel, const DRAWITEMSTRUCT& item) {
  const int dpi = panel.dpi();
  const int w = item.rcItem.right - item.rcItem.left, h = item.rcItem.bottom - item.rcItem.top;
  if (w <= 0 || h <= 0) return;
  kit::UniqueMemoryDc memory(CreateCompatibleDC(item.hDC));
  kit::UniqueBitmap bitmap(CreateCompatibleBitmap(item.hDC, w, h));
  if (!memory || !bitmap) return;
  kit::SelectObjectScope select(memory.get(), bitmap.get());
  HDC dc = memory.get();
  RECT all{0, 0, w, h};
  kit::FillSolidRect(dc, all, color::kWhite);
  bool pressed = (item.itemState & ODS_SELECTED) != 0;
  bool focused = (item.itemState & ODS_FOCUS) != 0;
  kit::FillRoundRect(dc, all, static_cast<float>(Scale(6, dpi)), pressed ? color::kPressedFill : color::kPanel);
  if (focused) kit::DrawRoundRect(dc, all, static_cast<float>(Scale(6, dpi)), color::kAccent, 1.0f);

  const AttachmentRow* row = RowOf(panel, item.hwndItem);
  std::wstring name = row != nullptr ? references::DisplayName(row->reference) : WindowText(item.hwndItem);
  RECT nameRect{Scale(8, dpi), 0, w - Scale(8, dpi), std::min(h, Scale(27, dpi))};
  Text(dc, panel.fonts->small, color::kAccentPressed, name, nameRect,
       DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_PATH_ELLIPSIS);

  if (row != nullptr && row->preview != nullptr) {
    int boxW = w - Scale(16, dpi);
    int boxH = h - Scale(27 + 8, dpi);
    auto imageW = static_cast<int>(row->preview->GetWidth());
    auto imageH = static_cast<int>(row->preview->GetHeight());
    if (boxW > 0 && boxH > 0 && imageW > 0 && imageH > 0) {
      double scale = std::min(static_cast<double>(boxW) / imageW, static_cast<double>(boxH) / imageH);
      int drawW = std::max(1, static_cast<int>(imageW * scale));
      int drawH = std::max(1, static_cast<int>(imageH * scale));
      int x = Scale(8, dpi) + (boxW - drawW) / 2;
      int y = Scale(27 + 2, dpi);
      Gdiplus::Graphics graphics(dc);
      graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
      graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
      graphics.DrawImage(row->preview.get(), Gdiplus::Rect(x, y, drawW, drawH));
    }
  }
  BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, w, h, dc, 0, 0, SRCCOPY);
}

}  // namespace entrypanel
