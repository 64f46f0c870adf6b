// The entry panel's window state, shared by its window, layout and painting code.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "model/project.h"
#include "ui/kit/base_window.h"
#include "ui/kit/fonts.h"
#include "views/entry_panel.h"
#include "views/entry_panel_model.h"

namespace Gdiplus {
class Bitmap;
}

namespace entrypanel {

struct AttachmentRow {
  AttachmentRow();
  ~AttachmentRow();
  AttachmentRow(AttachmentRow&&) noexcept;
  AttachmentRow& operator=(AttachmentRow&&) noexcept;

  std::wstring reference;
  bool stored = false;
  bool previewLoaded = false;
  std::unique_ptr<Gdiplus::Bitmap> preview;
  HWND button = nullptr;
  HWND removeButton = nullptr;
};

struct EntryCard {
  Date date;
  bool expanded = true;
  bool textScroll = false;
  HWND textEdit = nullptr;
  HWND tagEdit = nullptr;
  HWND attachButton = nullptr;
  HWND linkButton = nullptr;
  HWND linkEdit = nullptr;
  std::vector<std::wstring> tags;
  std::vector<std::wstring> attachments;
  std::vector<AttachmentRow> rows;
  CardGeometry geometry;
  int textHeight = 0;  // from the last layout pass
};

struct PanelState : kit::BaseWindow<PanelState> {
  PanelState(const kit::FontSet* f, const Services* s) : fonts(f), services(s) {}
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  const kit::FontSet* fonts;
  const Services* services;
  std::vector<std::unique_ptr<EntryCard>> cards;
  std::wstring location;
  Date fixedToday;
  int scrollY = 0;
  int contentHeight = 0;
  int wheelRemainder = 0;
  int hoverHeaderCard = -1;
  int hoverDeleteCard = -1;
  int hoverTagCard = -1;
  int hoverTagIndex = -1;
  bool trackingMouse = false;
  bool suppressNotify = false;
  bool inLayout = false;
  bool layoutAgain = false;
  int layoutPasses = 0;  // passes run by the last layout, for tests

  int dpi() const { return fonts != nullptr ? fonts->dpi : 96; }
  Date today() const;
};

// Posted by a text editor on each key so that its caret is scrolled into view.
constexpr UINT kScrollCaretMessage = WM_APP + 1;

// The panel's own writes into its editors must not count as the user's changes.
class SuppressScope {
 public:
  explicit SuppressScope(PanelState& panel) : panel_(panel), saved_(panel.suppressNotify) {
    panel.suppressNotify = true;
  }
  ~SuppressScope() { panel_.suppressNotify = saved_; }
  SuppressScope(const SuppressScope&) = delete;
  SuppressScope& operator=(const SuppressScope&) = delete;

 private:
  PanelState& panel_;
  bool saved_;
};

// ---- entry_panel.cpp -----------------------------------------------------------------
HINSTANCE InstanceOf(const PanelState& panel);
HWND DialogOf(const PanelState& panel);
int Ask(const PanelState& panel, const std::wstring& text, const wchar_t* caption, UINT flags);
// The change notification to the dialog, unless suppressed.
void Notify(PanelState& panel);
EntryCard* CardOfControl(PanelState& panel, HWND control, AttachmentRow** row = nullptr);
int CardIndexOf(const PanelState& panel, const EntryCard* card);
bool CardHasFocus(const PanelState& panel, const EntryCard& card);
std::wstring WindowText(HWND window);
// Swaps the text editor for one with (or without) its own scroll bar.
void RecreateTextEdit(PanelState& panel, EntryCard& card, bool scroll);

// ---- entry_panel_inputs.cpp ----------------------------------------------------------
bool CreateCardControls(PanelState& panel, EntryCard& card, const std::wstring& text);
void DestroyCardControls(EntryCard& card);
// Tab order follows the cards.
void FixTabOrder(PanelState& panel);
void CommitTags(PanelState& panel, EntryCard& card);
void OpenLinkInput(PanelState& panel, EntryCard& card);
void CloseLinkInput(PanelState& panel, EntryCard& card);
// Saves the pending link; false (input kept and focused) when it is refused.
bool SaveLinkInput(PanelState& panel, EntryCard& card);
void AddStoredAttachments(PanelState& panel, EntryCard& card, const std::vector<std::wstring>& references);

// ---- entry_panel_layout.cpp ----------------------------------------------------------
// Lays out all cards, moves the controls, re-creates text editors that need (or no
// longer need) a scroll bar, and repeats while a pass asks for another, at most 4 times.
void LayOut(PanelState& panel);
void ScrollTo(PanelState& panel, int position);
// Scrolls a rectangle given in client coordinates into view with the 8-px margin.
void ScrollIntoView(PanelState& panel, const RECT& rect, int margin = 8);
void ScrollCaretIntoView(PanelState& panel, HWND edit);
void RebuildRows(PanelState& panel, EntryCard& card);

// ---- entry_panel_paint.cpp -----------------------------------------------------------
void PaintPanel(const PanelState& panel, HDC dc, const RECT& client);
void DrawRowButton(const PanelState& panel, const DRAWITEMSTRUCT& item);

}  // namespace entrypanel
