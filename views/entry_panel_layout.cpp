// Placing the entry panel's cards and controls, scrolling, and the attachment rows.
#include <algorithm>

#include "i18n/translate.h"
#include "model/references.h"
#include "ui/kit/buttons.h"
#include "ui/kit/child_windows.h"
#include "ui/kit/colors.h"
#include "ui/kit/draw.h"
#include "ui/kit/gdi.h"
#include "ui/kit/gdiplus_include.h"
#include "ui/kit/scale.h"
#include "views/attachments.h"
#include "views/entry_panel_state.h"

namespace entrypanel {
namespace {

using kit::Scale;

constexpr int kMaxPasses = 4;
// The editor sits inside a painted frame that is the card's text area.
constexpr int kTextInsetX = 6;
constexpr int kTextInsetY = 4;

RECT EditRectIn(const RECT& text, int dpi) {
  RECT r = text;
  InflateRect(&r, -Scale(kTextInsetX, dpi), -Scale(kTextInsetY, dpi));
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

struct Measures {
  int tagLabel = 0;
  int attachButton = 0;
  int linkButton = 0;
  int lineHeight = 0;
};

Measures Measure(const PanelState& panel, HDC dc) {
  Measures m;
  const kit::FontSet& f = *panel.fonts;
  int dpi = panel.dpi();
  m.tagLabel = kit::TextWidth(dc, f.small, i18n::Translate(L"태그"));
  m.attachButton = CardButtonWidth(kit::TextWidth(dc, f.small, i18n::Translate(L"파일 첨부…")), 92, dpi);
  int add = kit::TextWidth(dc, f.small, i18n::Translate(L"링크 추가"));
  int save = kit::TextWidth(dc, f.small, i18n::Translate(L"링크 저장"));
  m.linkButton = CardButtonWidth(std::max(add, save), 80, dpi);
  m.lineHeight = kit::LineHeight(dc, f.body);
  return m;
}

CardInput InputFor(const PanelState& panel, const EntryCard& card, const Measures& m, HDC dc) {
  CardInput input;
  input.expanded = card.expanded;
  input.tagLabelWidth = m.tagLabel;
  for (const auto& tag : card.tags) input.chipTextWidths.push_back(kit::TextWidth(dc, panel.fonts->small, L"#" + tag));
  input.attachButtonWidth = m.attachButton;
  input.linkButtonWidth = m.linkButton;
  input.linkInput = card.linkEdit != nullptr;
  for (const auto& row : card.rows) {
    input.rowPreview.push_back(row.preview != nullptr);
    input.rowStored.push_back(row.stored);
  }
  return input;
}

// Scrolling moves every control; each paints anew at its new place (the pixels Windows
// would carry along showed blank parts of preview tiles after scrolling up).
void Place(HWND control, const RECT& r, bool visible) {
  kit::PlaceChild(control, r, visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
}

int ControlWidth(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  return r.right - r.left;
}

void UpdateScrollBar(PanelState& panel, int page) {
  // Without SIF_DISABLENOSCROLL the bar disappears when everything fits.
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = std::max(0, panel.contentHeight - 1);
  info.nPage = static_cast<UINT>(std::max(0, page));
  info.nPos = panel.scrollY;
  SetScrollInfo(panel.window(), SB_VERT, &info, TRUE);
}

void LayoutPass(PanelState& panel) {
  RECT client{};
  GetClientRect(panel.window(), &client);
  const int width = client.right, height = client.bottom;
  const int dpi = panel.dpi();
  kit::WindowDc dc(panel.window());
  Measures m = Measure(panel, dc.get());

  std::vector<CardInput> inputs;
  std::vector<bool> wantScroll;
  for (auto& card : panel.cards) {
    CardInput input = InputFor(panel, *card, m, dc.get());
    input.textHeight = 0;
    int nonText = LayoutCard(0, width, input, dpi).nonTextHeight;
    int lines = static_cast<int>(SendMessageW(card->textEdit, EM_GETLINECOUNT, 0, 0));
    int needed = NeededTextHeight(lines, m.lineHeight, dpi) + 2 * Scale(kTextInsetY, dpi);
    int maxHeight = MaxTextHeight(height, nonText, dpi);
    int minHeight = std::min(MinTextHeight(!card->rows.empty(), maxHeight, dpi), maxHeight);
    input.textHeight = std::clamp(needed, minHeight, maxHeight);
    wantScroll.push_back(card->expanded && needed > maxHeight);
    inputs.push_back(std::move(input));
  }

  PanelGeometry geometry = LayoutCards(width, height, panel.scrollY, inputs, dpi);
  int clamped = ClampScroll(panel.scrollY, geometry.contentHeight, height);
  if (clamped != panel.scrollY) {
    panel.scrollY = clamped;
    geometry = LayoutCards(width, height, panel.scrollY, inputs, dpi);
  }
  panel.contentHeight = geometry.contentHeight;

  for (size_t i = 0; i < panel.cards.size(); ++i) {
    EntryCard& card = *panel.cards[i];
    const CardGeometry& g = geometry.cards[i];
    RECT editRect = EditRectIn(g.text, dpi);
    bool widthChanged = ControlWidth(card.textEdit) != editRect.right - editRect.left;
    card.geometry = g;
    card.textHeight = g.text.bottom - g.text.top;
    bool show = card.expanded;
    Place(card.textEdit, editRect, show);
    Place(card.tagEdit, g.tagEdit, show);
    Place(card.attachButton, g.attachButton, show);
    Place(card.linkButton, g.linkButton, show);
    Place(card.linkEdit, g.linkEdit, show);
    // A collapsed card lays out no rows; its row controls must still be hidden, or they
    // stay on screen, live, over the headers below.
    for (size_t r = 0; r < card.rows.size(); ++r) {
      bool placed = show && r < g.rows.rows.size();
      Place(card.rows[r].button, placed ? g.rows.rows[r].row : RECT{}, placed);
      Place(card.rows[r].removeButton, placed ? g.rows.rows[r].remove : RECT{}, placed);
    }
    // A new width re-wraps the text, so its line count is only known after this move.
    if (show && widthChanged && GetWindowTextLengthW(card.textEdit) > 0) panel.layoutAgain = true;
    if (show && wantScroll[i] != card.textScroll) {
      RecreateTextEdit(panel, card, wantScroll[i]);
      panel.layoutAgain = true;
    }
  }
  UpdateScrollBar(panel, height);
}

}  // namespace

void LayOut(PanelState& panel) {
  if (panel.window() == nullptr || panel.fonts == nullptr) return;
  if (panel.inLayout) {
    panel.layoutAgain = true;
    return;
  }
  panel.inLayout = true;
  int passes = 0;
  do {
    panel.layoutAgain = false;
    LayoutPass(panel);
    ++passes;
  } while (panel.layoutAgain && passes < kMaxPasses);
  panel.layoutAgain = false;
  panel.inLayout = false;
  panel.layoutPasses = passes;
  InvalidateRect(panel.window(), nullptr, FALSE);
}

void ScrollTo(PanelState& panel, int position) {
  RECT client{};
  GetClientRect(panel.window(), &client);
  int clamped = ClampScroll(position, panel.contentHeight, client.bottom);
  if (clamped == panel.scrollY) return;
  panel.scrollY = clamped;
  LayOut(panel);
}

void ScrollIntoView(PanelState& panel, const RECT& rect, int margin) {
  RECT client{};
  GetClientRect(panel.window(), &client);
  int top = rect.top + panel.scrollY, bottom = rect.bottom + panel.scrollY;
  ScrollTo(panel, ScrollToShow(panel.scrollY, top, bottom, client.bottom, panel.contentHeight,
                               Scale(margin, panel.dpi())));
}

void ScrollCaretIntoView(PanelState& panel, HWND edit) {
  bool ours = false;
  for (const auto& card : panel.cards) ours |= card->textEdit == edit;
  if (!ours || !IsWindow(edit)) return;
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  POINT caret{};
  if (GetFocus() != edit || !GetCaretPos(&caret)) {
    LRESULT pos = SendMessageW(edit, EM_POSFROMCHAR, end, 0);
    if (pos == -1) return;
    caret = POINT{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  }
  MapWindowPoints(edit, panel.window(), &caret, 1);
  int line = kit::LineHeight(kit::WindowDc(panel.window()).get(), panel.fonts->body);
  RECT r{caret.x, caret.y, caret.x + 1, caret.y + line};
  ScrollIntoView(panel, r, 4);
}

void RebuildRows(PanelState& panel, EntryCard& card) {
  std::vector<std::wstring> wanted = card.attachments;
  size_t storedCount = wanted.size();
  for (const auto& reference : references::ReferencesInText(WindowText(card.textEdit))) {
    references::AddUniqueReference(wanted, reference);
  }
  std::vector<AttachmentRow> rows;
  for (size_t i = 0; i < wanted.size(); ++i) {
    bool stored = i < storedCount;
    auto same = std::find_if(card.rows.begin(), card.rows.end(), [&](const AttachmentRow& row) {
      return row.button != nullptr && row.reference == wanted[i] && row.stored == stored;
    });
    if (same != card.rows.end()) {
      rows.push_back(std::move(*same));
      same->button = same->removeButton = nullptr;
      continue;
    }
    AttachmentRow row;
    row.reference = wanted[i];
    row.stored = stored;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(panel.window(), GWLP_HINSTANCE));
    row.button = CreateWindowExW(0, L"BUTTON", references::DisplayName(row.reference).c_str(),
                                 WS_CHILD | WS_TABSTOP | BS_OWNERDRAW, 0, 0, 10, 10, panel.window(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRowButtonId)), instance, nullptr);
    if (row.button == nullptr) continue;
    SendMessageW(row.button, WM_SETFONT, reinterpret_cast<WPARAM>(panel.fonts->small), FALSE);
    if (stored) {
      row.removeButton = kit::CreateKitButton(panel.window(), kRemoveButtonId, L"\u00D7", kit::kButtonGhost,
                                              kit::color::kWhite);
      if (row.removeButton != nullptr) {
        ShowWindow(row.removeButton, SW_HIDE);
        SendMessageW(row.removeButton, WM_SETFONT, reinterpret_cast<WPARAM>(panel.fonts->body), FALSE);
      }
    }
    if (attachments::WantsPreview(row.reference)) row.preview = attachments::LoadPreview(row.reference);
    row.previewLoaded = true;
    rows.push_back(std::move(row));
  }
  for (auto& old : card.rows) {
    if (old.button != nullptr) DestroyWindow(old.button);
    if (old.removeButton != nullptr) DestroyWindow(old.removeButton);
  }
  card.rows = std::move(rows);
  // Rows follow the card's other controls in the tab order.
  HWND previous = card.linkEdit != nullptr ? card.linkEdit : card.linkButton;
  for (auto& row : card.rows) {
    for (HWND control : {row.button, row.removeButton}) {
      if (control == nullptr || previous == nullptr) continue;
      SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      previous = control;
    }
  }
}

}  // namespace entrypanel
