// The entry panel window: its messages (mouse, scrolling, commands of its controls) and
// the operations the project dialog calls.
#include "views/entry_panel.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "i18n/translate.h"
#include "model/references.h"
#include "ui/kit/buttons.h"
#include "ui/kit/colors.h"
#include "ui/kit/draw.h"
#include "ui/kit/gdi.h"
#include "ui/kit/gdiplus_include.h"
#include "ui/kit/msgbox.h"
#include "ui/kit/scale.h"
#include "views/entry_panel_state.h"

namespace entrypanel {

AttachmentRow::AttachmentRow() = default;
AttachmentRow::~AttachmentRow() = default;
AttachmentRow::AttachmentRow(AttachmentRow&&) noexcept = default;
AttachmentRow& AttachmentRow::operator=(AttachmentRow&&) noexcept = default;

namespace {

using kit::Scale;

constexpr UINT kScrollControlMessage = WM_APP + 2;
constexpr int kLineStep = 2;                      // Body lines per line-scroll step
constexpr int kWheelStep = 56;                    // px per wheel notch

PanelState* PanelOf(HWND panel) { return PanelState::FromWindow(panel); }

bool CardHasContent(const EntryCard& card) {
  return GetWindowTextLengthW(card.textEdit) > 0 || !card.tags.empty() || GetWindowTextLengthW(card.tagEdit) > 0 ||
         !card.attachments.empty() || (card.linkEdit != nullptr && GetWindowTextLengthW(card.linkEdit) > 0);
}

void FocusPanelIfInside(PanelState& panel, const EntryCard& card) {
  HWND focus = GetFocus();
  if (focus != nullptr && (focus == card.textEdit || focus == card.tagEdit || focus == card.linkEdit)) {
    SetFocus(panel.window());
  }
}

void ScrollCardIntoView(PanelState& panel, const EntryCard& card) { ScrollIntoView(panel, card.geometry.card); }

void FocusText(PanelState& /*panel*/, EntryCard& card) {
  if (card.textEdit != nullptr) SetFocus(card.textEdit);
}

void SetExpanded(PanelState& panel, EntryCard& card, bool expanded) {
  if (card.expanded == expanded) return;
  if (!expanded) FocusPanelIfInside(panel, card);
  card.expanded = expanded;
  LayOut(panel);
  if (expanded) {
    ScrollCardIntoView(panel, card);
    FocusText(panel, card);
  }
}

void DeleteCard(PanelState& panel, size_t index) {
  EntryCard& card = *panel.cards[index];
  if (CardHasContent(card)) {
    std::wstring text = i18n::FormatText(L"{0} 날짜의 내용을 삭제하시겠습니까?", {dates::LongDateText(card.date, true)});
    if (Ask(panel, text, i18n::Translate(L"내용 삭제"), MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  }
  // The question's own message loop may have changed the list.
  auto it = std::find_if(panel.cards.begin(), panel.cards.end(), [&](const auto& c) { return c.get() == &card; });
  if (it == panel.cards.end()) return;
  FocusPanelIfInside(panel, card);
  DestroyCardControls(**it);
  panel.cards.erase(it);
  panel.hoverHeaderCard = panel.hoverDeleteCard = panel.hoverTagCard = panel.hoverTagIndex = -1;
  LayOut(panel);
  Notify(panel);
}

void OpenRow(PanelState& panel, EntryCard& card, const AttachmentRow& row) {
  std::wstring target = row.reference, error;
  bool ok = true;
  if (references::IsWebLink(row.reference)) {
    std::wstring documents = panel.services != nullptr ? panel.services->documentsFolder : std::wstring();
    ok = documents.empty() ? attachments::LinkShortcutPath(row.reference, panel.location, card.date, target, error)
                           : attachments::LinkShortcutPathIn(row.reference, panel.location, card.date, documents,
                                                             target, error);
  }
  if (ok) {
    std::wstring openError;
    ok = attachments::OpenAttachmentFolder(DialogOf(panel), target, openError,
                                           panel.services != nullptr ? panel.services->reveal : attachments::RevealFn());
    if (!ok) error = openError;
  }
  if (!ok) {
    Ask(panel, error.empty() ? std::wstring(i18n::Translate(L"첨부파일의 폴더를 열 수 없습니다.")) : error,
        i18n::Translate(L"첨부 폴더 열기"), MB_OK | MB_ICONWARNING);
  }
}

void RemoveRow(PanelState& panel, EntryCard& card, const std::wstring& reference) {
  auto it = std::find(card.attachments.begin(), card.attachments.end(), reference);
  if (it == card.attachments.end()) return;
  card.attachments.erase(it);
  if (card.attachButton != nullptr) SetFocus(card.attachButton);
  RebuildRows(panel, card);
  LayOut(panel);
  Notify(panel);
}

void AttachFiles(PanelState& panel, EntryCard& card) {
  HWND owner = DialogOf(panel);
  std::vector<std::wstring> files = panel.services != nullptr && panel.services->pickFiles
                                        ? panel.services->pickFiles(owner)
                                        : attachments::PickFiles(owner);
  AddStoredAttachments(panel, card, files);
}

// ---- Messages --------------------------------------------------------------------------

void OnCommand(PanelState& panel, WORD code, HWND control) {
  AttachmentRow* row = nullptr;
  EntryCard* card = CardOfControl(panel, control, &row);
  if (card == nullptr) return;
  if (control == card->textEdit) {
    if (code == EN_CHANGE && !panel.suppressNotify) {
      RebuildRows(panel, *card);
      LayOut(panel);
      ScrollCaretIntoView(panel, card->textEdit);
      Notify(panel);
    } else if (code == EN_SETFOCUS || code == EN_KILLFOCUS) {
      // The selection a Tab makes is only set after the focus moves.
      if (code == EN_SETFOCUS) PostMessageW(panel.window(), kScrollCaretMessage, reinterpret_cast<WPARAM>(control), 0);
      InvalidateRect(panel.window(), nullptr, FALSE);
    }
    return;
  }
  if (control == card->tagEdit) {
    if (code == EN_CHANGE) {
      Notify(panel);
    } else if (code == EN_KILLFOCUS) {
      CommitTags(panel, *card);
      InvalidateRect(panel.window(), nullptr, FALSE);
    } else if (code == EN_SETFOCUS) {
      ScrollIntoView(panel, card->geometry.tags.inputFrame);
      InvalidateRect(panel.window(), nullptr, FALSE);
    }
    return;
  }
  if (control == card->linkEdit) {
    if (code == EN_SETFOCUS) PostMessageW(panel.window(), kScrollControlMessage, reinterpret_cast<WPARAM>(control), 0);
    if (code == EN_SETFOCUS || code == EN_KILLFOCUS) InvalidateRect(panel.window(), nullptr, FALSE);
    return;
  }
  if (code != BN_CLICKED) return;
  if (control == card->attachButton) {
    AttachFiles(panel, *card);
  } else if (control == card->linkButton) {
    if (card->linkEdit == nullptr) {
      OpenLinkInput(panel, *card);
    } else {
      SaveLinkInput(panel, *card);
    }
  } else if (row != nullptr && control == row->button) {
    OpenRow(panel, *card, *row);
  } else if (row != nullptr && control == row->removeButton) {
    std::wstring reference = row->reference;  // the row goes away while removing
    RemoveRow(panel, *card, reference);
  }
}

int CardAt(const PanelState& panel, POINT p) {
  for (size_t i = 0; i < panel.cards.size(); ++i) {
    if (PtInRect(&panel.cards[i]->geometry.card, p)) return static_cast<int>(i);
  }
  return -1;
}

// The chip whose remove mark is under the point: the right 18 px of the chip.
int ChipRemoveAt(const PanelState& panel, const EntryCard& card, POINT p) {
  if (!card.expanded) return -1;
  const auto& chips = card.geometry.tags.chips;
  for (size_t i = 0; i < chips.size(); ++i) {
    RECT mark = chips[i];
    mark.left = std::max(mark.left, mark.right - Scale(20, panel.dpi()));
    if (PtInRect(&mark, p)) return static_cast<int>(i);
  }
  return -1;
}

void OnLeftButtonDown(PanelState& panel, POINT p) {
  int index = CardAt(panel, p);
  if (index < 0) {
    SetFocus(panel.window());
    return;
  }
  EntryCard& card = *panel.cards[index];
  if (PtInRect(&card.geometry.deleteButton, p)) {
    DeleteCard(panel, static_cast<size_t>(index));
    return;
  }
  if (PtInRect(&card.geometry.header, p)) {
    SetExpanded(panel, card, !card.expanded);
    return;
  }
  int chip = ChipRemoveAt(panel, card, p);
  if (chip >= 0) {
    card.tags.erase(card.tags.begin() + chip);
    panel.hoverTagCard = panel.hoverTagIndex = -1;
    LayOut(panel);
    Notify(panel);
    return;
  }
  RECT tagRow{card.geometry.tagLabel.left, card.geometry.tagLabel.top, card.geometry.card.right,
              card.geometry.tags.bottom};
  SetFocus(PtInRect(&tagRow, p) ? card.tagEdit : card.textEdit);
}

void OnMouseMove(PanelState& panel, POINT p) {
  if (!panel.trackingMouse) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, panel.window(), 0};
    panel.trackingMouse = TrackMouseEvent(&track) != FALSE;
  }
  int header = -1, del = -1, tagCard = -1, tagIndex = -1;
  int index = CardAt(panel, p);
  if (index >= 0) {
    const EntryCard& card = *panel.cards[index];
    if (PtInRect(&card.geometry.deleteButton, p)) del = index;
    if (PtInRect(&card.geometry.header, p)) header = index;
    tagIndex = ChipRemoveAt(panel, card, p);
    if (tagIndex >= 0) tagCard = index;
  }
  if (header != panel.hoverHeaderCard || del != panel.hoverDeleteCard || tagCard != panel.hoverTagCard ||
      tagIndex != panel.hoverTagIndex) {
    panel.hoverHeaderCard = header;
    panel.hoverDeleteCard = del;
    panel.hoverTagCard = tagCard;
    panel.hoverTagIndex = tagIndex;
    InvalidateRect(panel.window(), nullptr, FALSE);
  }
}

void OnMouseLeave(PanelState& panel) {
  panel.trackingMouse = false;
  panel.hoverHeaderCard = panel.hoverDeleteCard = panel.hoverTagCard = panel.hoverTagIndex = -1;
  InvalidateRect(panel.window(), nullptr, FALSE);
}

void OnVScroll(PanelState& panel, WORD code) {
  RECT client{};
  GetClientRect(panel.window(), &client);
  int page = client.bottom;
  int line = kLineStep * kit::LineHeight(kit::WindowDc(panel.window()).get(), panel.fonts->body);
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  GetScrollInfo(panel.window(), SB_VERT, &info);
  int position = panel.scrollY;
  switch (code) {
    case SB_LINEUP: position -= line; break;
    case SB_LINEDOWN: position += line; break;
    case SB_PAGEUP: position -= page; break;
    case SB_PAGEDOWN: position += page; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = panel.contentHeight; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    default: return;
  }
  ScrollTo(panel, position);
}

void OnWheel(PanelState& panel, int delta) {
  panel.wheelRemainder += delta;
  int notches = panel.wheelRemainder / WHEEL_DELTA;
  panel.wheelRemainder -= notches * WHEEL_DELTA;
  if (notches != 0) ScrollTo(panel, panel.scrollY - notches * Scale(kWheelStep, panel.dpi()));
}

// Focus that arrives by Tab must not stay out of sight: typing would change text the
// user cannot see.
void OnFocusedControlChanged(PanelState& panel, HWND control) {
  if (CardOfControl(panel, control) == nullptr || !IsWindowVisible(control) || GetFocus() != control) return;
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, panel.window(), reinterpret_cast<POINT*>(&r), 2);
  ScrollIntoView(panel, r);
}

LRESULT OnControlColor(HDC dc) {
  SetTextColor(dc, kit::color::kText);
  SetBkColor(dc, kit::color::kWhite);
  return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

}  // namespace

HINSTANCE InstanceOf(const PanelState& panel) {
  return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(panel.window(), GWLP_HINSTANCE));
}

HWND DialogOf(const PanelState& panel) {
  HWND root = GetAncestor(panel.window(), GA_ROOT);
  return root != nullptr ? root : panel.window();
}

int Ask(const PanelState& panel, const std::wstring& text, const wchar_t* caption, UINT flags) {
  HWND owner = DialogOf(panel);
  if (panel.services != nullptr && panel.services->messageBox) {
    return panel.services->messageBox(owner, text, caption, flags);
  }
  return widgets::MsgBox(owner, text.c_str(), caption, flags);
}

void Notify(PanelState& panel) {
  if (panel.suppressNotify) return;
  HWND parent = GetParent(panel.window());
  if (parent == nullptr) return;
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(panel.window()), kChangedNotification),
               reinterpret_cast<LPARAM>(panel.window()));
}

EntryCard* CardOfControl(PanelState& panel, HWND control, AttachmentRow** row) {
  for (auto& card : panel.cards) {
    if (control == card->textEdit || control == card->tagEdit || control == card->attachButton ||
        control == card->linkButton || control == card->linkEdit) {
      return card.get();
    }
    for (auto& r : card->rows) {
      if (control == r.button || control == r.removeButton) {
        if (row != nullptr) *row = &r;
        return card.get();
      }
    }
  }
  return nullptr;
}

Date PanelState::today() const { return dates::IsValid(fixedToday) ? fixedToday : dates::Today(); }

int CardIndexOf(const PanelState& panel, const EntryCard* card) {
  for (size_t i = 0; i < panel.cards.size(); ++i) {
    if (panel.cards[i].get() == card) return static_cast<int>(i);
  }
  return -1;
}

bool CardHasFocus(const PanelState& /*panel*/, const EntryCard& card) {
  HWND focus = GetFocus();
  if (focus == nullptr) return false;
  if (focus == card.textEdit || focus == card.tagEdit || focus == card.linkEdit || focus == card.attachButton ||
      focus == card.linkButton) {
    return true;
  }
  for (const auto& row : card.rows) {
    if (focus == row.button || focus == row.removeButton) return true;
  }
  return false;
}

std::wstring WindowText(HWND window) {
  if (window == nullptr) return {};
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

LRESULT PanelState::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE: LayOut(*this); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      kit::DoubleBufferedPaint paint(window());
      PaintPanel(*this, paint.dc(), paint.client());
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT client{};
      GetClientRect(window(), &client);
      PaintPanel(*this, reinterpret_cast<HDC>(wparam), client);
      return 0;
    }
    case WM_VSCROLL: OnVScroll(*this, LOWORD(wparam)); return 0;
    case WM_MOUSEWHEEL: OnWheel(*this, GET_WHEEL_DELTA_WPARAM(wparam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(*this, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}); return 0;
    case WM_MOUSELEAVE: OnMouseLeave(*this); return 0;
    case WM_LBUTTONDOWN: OnLeftButtonDown(*this, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}); return 0;
    case WM_COMMAND: OnCommand(*this, HIWORD(wparam), reinterpret_cast<HWND>(lparam)); return 0;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item.CtlType == ODT_BUTTON && (item.itemAction & ODA_FOCUS) != 0 && (item.itemState & ODS_FOCUS) != 0) {
        // Scrolling moves windows, which must not happen inside their painting.
        PostMessageW(window(), kScrollControlMessage, reinterpret_cast<WPARAM>(item.hwndItem), 0);
      }
      if (kit::DrawKitButton(item)) return TRUE;
      if (item.CtlType == ODT_BUTTON) {
        DrawRowButton(*this, item);
        return TRUE;
      }
      break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: return OnControlColor(reinterpret_cast<HDC>(wparam));
    case kScrollCaretMessage: ScrollCaretIntoView(*this, reinterpret_cast<HWND>(wparam)); return 0;
    case kScrollControlMessage: OnFocusedControlChanged(*this, reinterpret_cast<HWND>(wparam)); return 0;
    default: break;
  }
  return DefaultProc(message, wparam, lparam);
}

bool RegisterEntryPanelClass(HINSTANCE instance) {
  WNDCLASSEXW wc = PanelState::ClassInfo(instance, kEntryPanelClass);
  return PanelState::Register(wc);
}

HWND CreateEntryPanel(HWND parent, const kit::FontSet* fonts, const Services* services) {
  if (fonts == nullptr) return nullptr;
  kit::WindowCreateArgs args;
  args.exStyle = WS_EX_CONTROLPARENT;
  args.className = kEntryPanelClass;
  args.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL;
  args.x = args.y = 0;
  args.width = args.height = 100;
  args.parent = parent;
  args.menuOrId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEntryPanelId));
  args.instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  return PanelState::Create(std::make_unique<PanelState>(fonts, services), args);
}

void SetEntries(HWND window, const std::vector<Entry>& entries) {
  PanelState* panel = PanelOf(window);
  if (panel == nullptr) return;
  SuppressScope quiet(*panel);
  for (auto& card : panel->cards) DestroyCardControls(*card);
  panel->cards.clear();
  panel->scrollY = 0;
  panel->hoverHeaderCard = panel->hoverDeleteCard = panel->hoverTagCard = panel->hoverTagIndex = -1;
  Date today = panel->today();
  for (CardContent& content : CardsFromEntries(entries)) {
    auto card = std::make_unique<EntryCard>();
    card->date = content.date;
    card->expanded = StartsExpanded(content.date, today);
    card->tags = std::move(content.tags);
    card->attachments = std::move(content.attachments);
    if (!CreateCardControls(*panel, *card, content.text)) continue;
    panel->cards.push_back(std::move(card));
    RebuildRows(*panel, *panel->cards.back());
  }
  FixTabOrder(*panel);
  LayOut(*panel);
}

std::vector<Entry> GetEntries(HWND window) {
  std::vector<Entry> entries;
  const PanelState* panel = PanelOf(window);
  if (panel == nullptr) return entries;
  for (const auto& card : panel->cards) {
    Entry entry;
    entry.date = card->date;
    entry.text = WindowText(card->textEdit);
    entry.tags = card->tags;
    tags::SplitInto(WindowText(card->tagEdit), entry.tags);
    entry.attachments = card->attachments;
    entries.push_back(std::move(entry));
  }
  return entries;
}

void SetLocation(HWND window, const std::wstring& folder) {
  if (PanelState* panel = PanelOf(window)) panel->location = folder;
}

bool AddDate(HWND window, const Date& date) {
  PanelState* panel = PanelOf(window);
  if (panel == nullptr || !dates::IsValid(date)) return false;
  for (auto& card : panel->cards) {
    if (card->date == date) {
      if (!card->expanded) {
        card->expanded = true;
        LayOut(*panel);
      }
      ScrollCardIntoView(*panel, *card);
      FocusText(*panel, *card);
      return false;
    }
  }
  auto card = std::make_unique<EntryCard>();
  card->date = date;
  card->expanded = true;
  if (!CreateCardControls(*panel, *card, L"")) return false;
  auto at = std::find_if(panel->cards.begin(), panel->cards.end(),
                         [&](const auto& c) { return dates::GreaterOrEqual(c->date, date); });
  EntryCard& added = **panel->cards.insert(at, std::move(card));
  FixTabOrder(*panel);
  LayOut(*panel);
  ScrollCardIntoView(*panel, added);
  FocusText(*panel, added);
  Notify(*panel);
  return true;
}

bool FocusDate(HWND window, const Date& date) {
  PanelState* panel = PanelOf(window);
  if (panel == nullptr) return false;
  for (auto& card : panel->cards) {
    if (!(card->date == date)) continue;
    if (!card->expanded) {
      card->expanded = true;
      LayOut(*panel);
    }
    ScrollCardIntoView(*panel, *card);
    FocusText(*panel, *card);
    Entry probe;
    probe.text = WindowText(card->textEdit);
    PromptHeadingScan scan = probe.ScanPromptHeadings();
    if (scan.count > 0 && scan.latestPosition != std::wstring::npos) {
      auto at = static_cast<WPARAM>(scan.latestPosition);
      SendMessageW(card->textEdit, EM_SETSEL, at, static_cast<LPARAM>(at));
      SendMessageW(card->textEdit, EM_SCROLLCARET, 0, 0);
      ScrollCaretIntoView(*panel, card->textEdit);
    }
    return true;
  }
  return false;
}

void ExpandAll(HWND window) {
  PanelState* panel = PanelOf(window);
  if (panel == nullptr) return;
  for (auto& card : panel->cards) card->expanded = true;
  LayOut(*panel);
  InvalidateRect(window, nullptr, FALSE);
}

void CollapseAll(HWND window) {
  PanelState* panel = PanelOf(window);
  if (panel == nullptr) return;
  for (auto& card : panel->cards) {
    FocusPanelIfInside(*panel, *card);
    card->expanded = false;
  }
  LayOut(*panel);
  InvalidateRect(window, nullptr, FALSE);
}

int CardCount(HWND window) {
  const PanelState* panel = PanelOf(window);
  return panel != nullptr ? static_cast<int>(panel->cards.size()) : 0;
}

bool AcceptCard(HWND window, int index) {
  PanelState* panel = PanelOf(window);
  if (panel == nullptr || index < 0 || index >= static_cast<int>(panel->cards.size())) return true;
  return SaveLinkInput(*panel, *panel->cards[index]);
}

void CancelCardInput(HWND window, int index) {
  PanelState* panel = PanelOf(window);
  if (panel == nullptr || index < 0 || index >= static_cast<int>(panel->cards.size())) return;
  CloseLinkInput(*panel, *panel->cards[index]);
}

int CardWithFocusedLinkInput(HWND window) {
  const PanelState* panel = PanelOf(window);
  HWND focus = GetFocus();
  if (panel == nullptr || focus == nullptr) return -1;
  for (size_t i = 0; i < panel->cards.size(); ++i) {
    if (panel->cards[i]->linkEdit == focus) return static_cast<int>(i);
  }
  return -1;
}

void ApplyFonts(HWND window) {
  PanelState* panel = PanelOf(window);
  if (panel == nullptr) return;
  auto set = [](HWND control, HFONT font) {
    if (control != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  };
  for (auto& card : panel->cards) {
    set(card->textEdit, panel->fonts->body);
    set(card->tagEdit, panel->fonts->small);
    set(card->attachButton, panel->fonts->small);
    set(card->linkButton, panel->fonts->small);
    set(card->linkEdit, panel->fonts->small);
    for (auto& row : card->rows) {
      set(row.button, panel->fonts->small);
      set(row.removeButton, panel->fonts->body);
    }
    SendMessageW(card->textEdit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                 MAKELPARAM(Scale(2, panel->dpi()), Scale(2, panel->dpi())));
  }
  LayOut(*panel);
  InvalidateRect(window, nullptr, FALSE);
}

void SetFixedToday(HWND window, const Date& today) {
  if (PanelState* panel = PanelOf(window)) {
    panel->fixedToday = dates::IsValid(today) ? today : Date{};
    InvalidateRect(window, nullptr, FALSE);
  }
}

void PaintTo(HWND window, HDC dc) {
  const PanelState* panel = PanelOf(window);
  if (panel == nullptr || dc == nullptr) return;
  RECT client{};
  GetClientRect(window, &client);
  PaintPanel(*panel, dc, client);
}

const PanelState* StateOf(HWND panel) { return PanelOf(panel); }

}  // namespace entrypanel
