#include "views/entry_panel_model.h"

#include <algorithm>
#include <cwctype>

#include "model/references.h"
#include "ui/kit/scale.h"

namespace entrypanel {
namespace {

using kit::Scale;

constexpr int kCardInset = 12;
constexpr int kContentLeft = 26;
constexpr int kHeaderHeight = 40;
constexpr int kGap = 8;
constexpr int kTagRow = 24;
constexpr int kTagRowGap = 6;
constexpr int kTagInputWidth = 200;
constexpr int kButtonRow = 26;
constexpr int kLinkInputMin = 160;
constexpr int kBottomPadding = 12;
constexpr int kRowHeight = 27;
constexpr int kRowGap = 6;
constexpr int kTileImageHeight = 128;
constexpr int kTileMinWidth = 206;
constexpr int kTileMaxWidth = 272;
constexpr int kRemoveWidth = 26;

RECT Rect(int left, int top, int right, int bottom) { return RECT{left, top, right, bottom}; }

}  // namespace

std::wstring ToCrLf(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (c == L'\r') {
      if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      out += L"\r\n";
    } else if (c == L'\n') {
      out += L"\r\n";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::vector<CardContent> CardsFromEntries(const std::vector<Entry>& entries) {
  std::vector<const Entry*> sorted;
  for (const Entry& entry : entries) sorted.push_back(&entry);
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Entry* a, const Entry* b) { return dates::Less(a->date, b->date); });
  std::vector<CardContent> cards;
  for (const Entry* entry : sorted) {
    if (!dates::IsValid(entry->date)) continue;
    if (cards.empty() || !(cards.back().date == entry->date)) {
      CardContent card;
      card.date = entry->date;
      cards.push_back(std::move(card));
    } else if (!cards.back().text.empty()) {
      cards.back().text += L"\r\n";
    }
    CardContent& card = cards.back();
    card.text += ToCrLf(entry->text);
    for (const auto& tag : entry->tags) tags::Add(card.tags, tag);
    for (const auto& reference : entry->attachments) references::AddUniqueReference(card.attachments, reference);
  }
  return cards;
}

bool StartsExpanded(const Date& cardDate, const Date& today) { return !dates::Less(cardDate, today); }

bool IsTagCommitChar(wchar_t c) { return c == L',' || c == L';' || c == L'\r' || c == L'\n'; }

bool CommitTagInput(std::wstring_view input, std::vector<std::wstring>& list) {
  size_t first = 0, last = input.size();
  while (first < last && std::iswspace(input[first])) ++first;
  while (last > first && std::iswspace(input[last - 1])) --last;
  if (first == last) return false;
  size_t before = list.size();
  tags::SplitInto(input.substr(first, last - first), list);
  return list.size() > before;
}

int NeededTextHeight(int lineCount, int lineHeight, int dpi) {
  return std::max(1, lineCount) * lineHeight + Scale(6, dpi);
}

int MaxTextHeight(int clientHeight, int nonTextHeight, int dpi) {
  return std::max(Scale(kTextMinHeight, dpi), clientHeight - nonTextHeight - Scale(44, dpi) - Scale(40, dpi));
}

int MinTextHeight(bool hasRows, int maxHeight, int dpi) {
  if (!hasRows) return Scale(kTextMinHeight, dpi);
  return std::clamp(maxHeight * 2 / 3, Scale(kTextMinHeight, dpi), Scale(240, dpi));
}

TagFlow FlowTags(int left, int top, int right, const std::vector<int>& chipTextWidths, int dpi) {
  TagFlow flow;
  const int rowHeight = Scale(kTagRow, dpi);
  const int gap = Scale(kTagRowGap, dpi);
  int x = left, y = top;
  bool rowEmpty = true;
  for (int textWidth : chipTextWidths) {
    int width = std::min(textWidth + Scale(36, dpi), std::max(Scale(60, dpi), right - x));
    if (!rowEmpty && x + width > right) {
      x = left;
      y += rowHeight + gap;
      width = std::min(textWidth + Scale(36, dpi), std::max(Scale(60, dpi), right - x));
    }
    flow.chips.push_back(Rect(x, y, x + width, y + rowHeight));
    x += width + gap;
    rowEmpty = false;
  }
  if (!rowEmpty && right - x < Scale(kTagInputWidth, dpi)) {
    x = left;
    y += rowHeight + gap;
  }
  flow.inputFrame = Rect(x, y, std::max(right, x + Scale(32, dpi)), y + rowHeight);
  flow.bottom = y + rowHeight;
  return flow;
}

RowFlow FlowAttachmentRows(int left, int top, int width, const std::vector<bool>& hasPreview,
                           const std::vector<bool>& stored, int dpi) {
  RowFlow flow;
  const int gap = Scale(kRowGap, dpi);
  const int rowHeight = Scale(kRowHeight, dpi);
  const int tileHeight = Scale(kTileImageHeight + kRowHeight, dpi);
  const int columns = std::max(1, (width + gap) / (gap + Scale(kTileMinWidth, dpi)));
  const int tileWidth = std::min((width - (columns - 1) * gap) / columns, Scale(kTileMaxWidth, dpi));
  int x = left, y = top, lineBottom = top;
  bool lineEmpty = true;
  for (size_t i = 0; i < hasPreview.size(); ++i) {
    RowPlace place;
    RECT slot;
    if (hasPreview[i]) {
      if (!lineEmpty && x + tileWidth > left + width) {
        y = lineBottom + gap;
        x = left;
        lineEmpty = true;
      }
      slot = Rect(x, y, x + tileWidth, y + tileHeight);
      x += tileWidth + gap;
    } else {
      if (!lineEmpty) {
        y = lineBottom + gap;
        lineEmpty = true;
      }
      slot = Rect(left, y, left + width, y + rowHeight);
      x = left + width + gap;  // the next row starts a new line
    }
    lineEmpty = false;
    lineBottom = std::max(lineBottom, static_cast<int>(slot.bottom));
    place.row = slot;
    if (i < stored.size() && stored[i]) {
      place.row.right = std::max(static_cast<int>(slot.left) + 1, static_cast<int>(slot.right) - Scale(kRemoveWidth + 4, dpi));
      place.remove = Rect(slot.right - Scale(kRemoveWidth, dpi), slot.top, slot.right, slot.top + rowHeight);
    }
    flow.rows.push_back(place);
  }
  flow.bottom = hasPreview.empty() ? top : lineBottom;
  return flow;
}

int CardButtonWidth(int textWidth, int minimum, int dpi) {
  return std::max(Scale(minimum, dpi), textWidth + Scale(18, dpi));
}

CardGeometry LayoutCard(int top, int width, const CardInput& input, int dpi) {
  CardGeometry g;
  const int cardLeft = Scale(kCardInset, dpi);
  const int cardRight = std::max(cardLeft + Scale(40, dpi), width - Scale(kCardInset, dpi));
  const int left = Scale(kContentLeft, dpi);
  const int right = left + std::max(Scale(40, dpi), width - Scale(52, dpi));
  g.header = Rect(cardLeft, top, cardRight, top + Scale(kHeaderHeight, dpi));
  g.deleteButton = Rect(cardRight - Scale(38, dpi), top + Scale(6, dpi), cardRight - Scale(10, dpi),
                        top + Scale(kHeaderHeight - 6, dpi));
  int y = g.header.bottom;
  if (!input.expanded) {
    g.card = Rect(cardLeft, top, cardRight, y);
    g.nonTextHeight = y - top;
    return g;
  }
  y += Scale(kGap, dpi);
  g.tagLabel = Rect(left, y, left + input.tagLabelWidth, y + Scale(kTagRow, dpi));
  g.tags = FlowTags(left + input.tagLabelWidth + Scale(14, dpi), y, right, input.chipTextWidths, dpi);
  const RECT& frame = g.tags.inputFrame;
  g.tagEdit = Rect(frame.left + Scale(6, dpi), frame.top + Scale(2, dpi),
                   std::max(static_cast<int>(frame.left) + Scale(6 + 20, dpi), static_cast<int>(frame.right) - Scale(6, dpi)),
                   frame.top + Scale(22, dpi));
  y = g.tags.bottom + Scale(kGap, dpi);

  const int rowHeight = Scale(kButtonRow, dpi);
  g.attachButton = Rect(left, y, left + input.attachButtonWidth, y + rowHeight);
  int linkLeft = g.attachButton.right + Scale(6, dpi);
  g.linkButton = Rect(linkLeft, y, linkLeft + input.linkButtonWidth, y + rowHeight);
  y += rowHeight;
  if (input.linkInput) {
    int needed = input.attachButtonWidth + input.linkButtonWidth + Scale(6 + 6 + kLinkInputMin, dpi);
    if (right - left >= needed) {
      g.linkEdit = Rect(g.linkButton.right + Scale(6, dpi), g.linkButton.top, right, g.linkButton.bottom);
    } else {
      y += Scale(6, dpi);
      g.linkEdit = Rect(left, y, right, y + rowHeight);
      y += rowHeight;
    }
  }
  y += Scale(2 + 6, dpi);
  g.text = Rect(left, y, right, y + input.textHeight);
  y = g.text.bottom;
  if (!input.rowPreview.empty()) {
    y += Scale(kGap, dpi);
    g.rows = FlowAttachmentRows(left, y, right - left, input.rowPreview, input.rowStored, dpi);
    y = g.rows.bottom;
  }
  y += Scale(kBottomPadding, dpi);
  g.card = Rect(cardLeft, top, cardRight, y);
  g.nonTextHeight = (y - top) - input.textHeight;
  return g;
}

PanelGeometry LayoutCards(int width, int height, int scrollY, std::vector<CardInput> inputs, int dpi) {
  auto place = [&](PanelGeometry& out) {
    out.cards.clear();
    int top = Scale(10, dpi) - scrollY;
    for (const CardInput& input : inputs) {
      out.cards.push_back(LayoutCard(top, width, input, dpi));
      top = out.cards.back().card.bottom + Scale(8, dpi);
    }
    out.contentHeight = out.cards.empty() ? 0 : static_cast<int>(out.cards.back().card.bottom) + scrollY;
  };
  PanelGeometry geometry;
  place(geometry);
  int shortfall = height - geometry.contentHeight;
  if (!inputs.empty() && shortfall > Scale(4, dpi)) {
    for (size_t i = inputs.size(); i-- > 0;) {
      if (!inputs[i].expanded) continue;
      inputs[i].textHeight += shortfall;
      place(geometry);
      break;
    }
  }
  return geometry;
}

int ClampScroll(int position, int contentHeight, int pageHeight) {
  return std::clamp(position, 0, std::max(0, contentHeight - pageHeight));
}

int ScrollToShow(int scrollY, int top, int bottom, int pageHeight, int contentHeight, int margin) {
  // top and bottom are in content coordinates (unscrolled).
  int target = scrollY;
  if (bottom + margin > scrollY + pageHeight) target = bottom + margin - pageHeight;
  if (top - margin < target) target = top - margin;
  return ClampScroll(target, contentHeight, pageHeight);
}

}  // namespace entrypanel
