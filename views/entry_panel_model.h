// The entry panel's rules as plain functions: how entries become cards, how the tag
// input commits, and where every part of a card goes. Lengths in and out are device
// pixels; dpi scales the 96-DPI constants.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "model/project.h"

namespace entrypanel {

// ---- Cards from entries --------------------------------------------------------------

// Every line break (CR, LF or CR LF) as CR LF, the form a multi-line edit holds.
std::wstring ToCrLf(std::wstring_view text);

struct CardContent {
  Date date;
  std::wstring text;  // CR LF line breaks
  std::vector<std::wstring> tags;
  std::vector<std::wstring> attachments;
};

// One card per date in ascending order: entries of the same date are merged (texts
// joined by CR LF, tags and attachments added without duplicates); entries without a
// valid date are left out.
std::vector<CardContent> CardsFromEntries(const std::vector<Entry>& entries);

// Expanded on opening: today and later days.
bool StartsExpanded(const Date& cardDate, const Date& today);

// ---- Tag input -----------------------------------------------------------------------

// Characters that commit the tag input as soon as they are typed.
bool IsTagCommitChar(wchar_t c);
// Splits the trimmed input into tags and adds them by the tag rules; true when at least
// one tag was added.
bool CommitTagInput(std::wstring_view input, std::vector<std::wstring>& tags);

// ---- Card geometry -------------------------------------------------------------------

constexpr int kTextMinHeight = 84;

// Text editor height: at least one line; the maximum keeps the whole card in the panel.
int NeededTextHeight(int lineCount, int lineHeight, int dpi);
int MaxTextHeight(int clientHeight, int nonTextHeight, int dpi);
int MinTextHeight(bool hasRows, int maxHeight, int dpi);

// Tag chips flow left to right in 24-px rows and wrap; the input needs 200 px.
struct TagFlow {
  std::vector<RECT> chips;
  RECT inputFrame = {};
  int bottom = 0;
};
TagFlow FlowTags(int left, int top, int right, const std::vector<int>& chipTextWidths, int dpi);

// Attachment rows: plain rows take the whole width; rows with a preview are tiles in
// columns. A stored row leaves room at its right for its remove button.
struct RowPlace {
  RECT row = {};
  RECT remove = {};  // empty for rows that are not stored
};
struct RowFlow {
  std::vector<RowPlace> rows;
  int bottom = 0;
};
RowFlow FlowAttachmentRows(int left, int top, int width, const std::vector<bool>& hasPreview,
                           const std::vector<bool>& stored, int dpi);

// What a card's layout needs to know; widths and heights are device pixels.
struct CardInput {
  bool expanded = true;
  std::vector<int> chipTextWidths;  // "#" + tag in Small
  int tagLabelWidth = 0;            // "태그" in Small
  int attachButtonWidth = 0;
  int linkButtonWidth = 0;
  bool linkInput = false;
  int textHeight = kTextMinHeight;
  std::vector<bool> rowPreview;
  std::vector<bool> rowStored;
};

struct CardGeometry {
  RECT card = {};
  RECT header = {};
  RECT deleteButton = {};
  RECT tagLabel = {};
  TagFlow tags;
  RECT tagEdit = {};
  RECT attachButton = {};
  RECT linkButton = {};
  RECT linkEdit = {};  // empty without a link input
  RECT text = {};
  RowFlow rows;
  int nonTextHeight = 0;  // the card's height without its text editor
};

// Lays out one card whose top is `top` in a panel client `width` wide.
CardGeometry LayoutCard(int top, int width, const CardInput& input, int dpi);
int CardButtonWidth(int textWidth, int minimum, int dpi);

// All cards: top 10 px below the panel's top minus the scroll offset, 8 px apart; when
// the cards end more than 4 px above the bottom the last expanded card's text grows to
// fill the panel. contentHeight is the bottom of the last card without scrolling.
struct PanelGeometry {
  std::vector<CardGeometry> cards;
  int contentHeight = 0;
};
PanelGeometry LayoutCards(int width, int height, int scrollY, std::vector<CardInput> inputs, int dpi);

// Scrolling: a position within 0..max(0, content - page).
int ClampScroll(int position, int contentHeight, int pageHeight);
// The scroll position that shows [top, bottom) with the 8-px margin, moving as little as
// needed.
int ScrollToShow(int scrollY, int top, int bottom, int pageHeight, int contentHeight, int margin);

}  // namespace entrypanel
