// The entry panel's cards: their controls, the tag and link inputs, and the subclasses
// that give the editors their keys.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "i18n/translate.h"
#include "model/references.h"
#include "ui/kit/buttons.h"
#include "ui/kit/colors.h"
#include "ui/kit/scale.h"
#include "views/entry_panel_state.h"

namespace entrypanel {
namespace {

using kit::Scale;

constexpr UINT_PTR kTextSubclassId = 0x51455458;  // "QETX"
constexpr UINT_PTR kTagSubclassId = 0x51455447;   // "QETG"
constexpr UINT_PTR kLinkSubclassId = 0x51454C4B;  // "QELK"

LRESULT ForwardWheel(PanelState& panel, UINT message, WPARAM wparam, LPARAM lparam) {
  return SendMessageW(panel.window(), message, wparam, lparam);
}

bool EditCanScroll(HWND edit, int delta) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  if (!GetScrollInfo(edit, SB_VERT, &info)) return false;
  if (delta > 0) return info.nPos > info.nMin;
  return info.nPos + static_cast<int>(info.nPage) <= info.nMax;
}

void DestroyRow(AttachmentRow& row) {
  if (row.button != nullptr) DestroyWindow(row.button);
  if (row.removeButton != nullptr) DestroyWindow(row.removeButton);
  row.button = row.removeButton = nullptr;
}




void RemoveLastTag(PanelState& panel, EntryCard& card) {
  if (card.tags.empty()) return;
  card.tags.pop_back();
  LayOut(panel);
  Notify(panel);
}

// ---- Link input ------------------------------------------------------------------------

void UpdateLinkButtonText(const EntryCard& card) {
  if (card.linkButton == nullptr) return;
  SetWindowTextW(card.linkButton, i18n::Translate(card.linkEdit != nullptr ? L"링크 저장" : L"링크 추가"));
  InvalidateRect(card.linkButton, nullptr, FALSE);
}


LRESULT CALLBACK LinkEditProc(HWND edit, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR ref);




// ---- Subclasses ------------------------------------------------------------------------

LRESULT CALLBACK TextEditProc(HWND edit, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR ref) {
  auto& panel = *reinterpret_cast<PanelState*>(ref);
  switch (message) {
    case WM_KEYDOWN: PostMessageW(panel.window(), kScrollCaretMessage, reinterpret_cast<WPARAM>(edit), 0); break;
    case WM_MOUSEWHEEL: {
      EntryCard* card = CardOfControl(panel, edit);
      if (card == nullptr || !card->textScroll || !EditCanScroll(edit, GET_WHEEL_DELTA_WPARAM(wparam))) {
        return ForwardWheel(panel, message, wparam, lparam);
      }
      break;
    }
    case WM_GETDLGCODE: {
      // Tab leaves the editor like any other field of the form. Arriving by Tab does not
      // select the whole entry as a one-line field would: the next key would replace it.
      LRESULT code = DefSubclassProc(edit, message, wparam, lparam);
      auto* msg = reinterpret_cast<const MSG*>(lparam);
      if (msg != nullptr && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB) code &= ~DLGC_WANTALLKEYS;
      return code & ~(DLGC_WANTTAB | DLGC_HASSETSEL);
    }
    case WM_NCDESTROY: RemoveWindowSubclass(edit, TextEditProc, id); break;
    default: break;
  }
  return DefSubclassProc(edit, message, wparam, lparam);
}

// Enter belongs to a tag or link input (it commits what was typed), not to the dialog's
// default button.
LRESULT DlgCodeWithEnter(HWND edit, WPARAM wparam, LPARAM lparam) {
  LRESULT code = DefSubclassProc(edit, WM_GETDLGCODE, wparam, lparam);
  auto* msg = reinterpret_cast<const MSG*>(lparam);
  if (msg != nullptr && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
  return code;
}

LRESULT CALLBACK TagEditProc(HWND edit, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR ref) {
  auto& panel = *reinterpret_cast<PanelState*>(ref);
  switch (message) {
    case WM_GETDLGCODE: return DlgCodeWithEnter(edit, wparam, lparam);
    case WM_KEYDOWN:
      if (EntryCard* card = CardOfControl(panel, edit)) {
        if (wparam == VK_RETURN) {
          CommitTags(panel, *card);
          return 0;
        }
        if (wparam == VK_BACK && GetWindowTextLengthW(edit) == 0) {
          RemoveLastTag(panel, *card);
          return 0;
        }
      }
      break;
    case WM_CHAR:
      if (IsTagCommitChar(static_cast<wchar_t>(wparam))) {
        if (EntryCard* card = CardOfControl(panel, edit)) CommitTags(panel, *card);
        return 0;
      }
      break;
    case WM_MOUSEWHEEL: return ForwardWheel(panel, message, wparam, lparam);
    case WM_NCDESTROY: RemoveWindowSubclass(edit, TagEditProc, id); break;
    default: break;
  }
  return DefSubclassProc(edit, message, wparam, lparam);
}

LRESULT CALLBACK LinkEditProc(HWND edit, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR ref) {
  auto& panel = *reinterpret_cast<PanelState*>(ref);
  switch (message) {
    case WM_GETDLGCODE: return DlgCodeWithEnter(edit, wparam, lparam);
    case WM_KEYDOWN:
      if (wparam == VK_RETURN) {
        if (EntryCard* card = CardOfControl(panel, edit)) SaveLinkInput(panel, *card);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wparam == L'\r' || wparam == L'\n') return 0;
      break;
    case WM_MOUSEWHEEL: return ForwardWheel(panel, message, wparam, lparam);
    case WM_NCDESTROY: RemoveWindowSubclass(edit, LinkEditProc, id); break;
    default: break;
  }
  return DefSubclassProc(edit, message, wparam, lparam);
}

// ---- Cards -----------------------------------------------------------------------------

HWND CreateTextEdit(PanelState& panel, bool scroll) {
  DWORD style = WS_CHILD | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | (scroll ? WS_VSCROLL : 0);
  HWND edit = CreateWindowExW(0, L"EDIT", L"", style, 0, 0, Scale(200, panel.dpi()), Scale(kTextMinHeight, panel.dpi()),
                              panel.window(), nullptr, InstanceOf(panel), nullptr);
  if (edit == nullptr) return nullptr;
  SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(panel.fonts->body), FALSE);
  SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
  SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
               MAKELPARAM(Scale(2, panel.dpi()), Scale(2, panel.dpi())));
  SetWindowSubclass(edit, TextEditProc, kTextSubclassId, reinterpret_cast<DWORD_PTR>(&panel));
  return edit;
}

}  // namespace

void DestroyCardControls(EntryCard& card) {
  for (HWND* control : {&card.textEdit, &card.tagEdit, &card.attachButton, &card.linkButton, &card.linkEdit}) {
    if (*control != nullptr) DestroyWindow(*control);
    *control = nullptr;
  }
  for (auto& row : card.rows) DestroyRow(row);
  card.rows.clear();
}

// Tab order follows the cards: text, tags, attach, link, link input, then the rows.
void FixTabOrder(PanelState& panel) {
  HWND previous = HWND_TOP;
  auto place = [&](HWND control) {
    if (control == nullptr) return;
    SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    previous = control;
  };
  for (auto& card : panel.cards) {
    place(card->textEdit);
    place(card->tagEdit);
    place(card->attachButton);
    place(card->linkButton);
    place(card->linkEdit);
    for (auto& row : card->rows) {
      place(row.button);
      place(row.removeButton);
    }
  }
}

void CommitTags(PanelState& panel, EntryCard& card) {
  if (card.tagEdit == nullptr) return;
  std::wstring input = WindowText(card.tagEdit);
  if (input.empty()) return;
  bool added = CommitTagInput(input, card.tags);
  {
    SuppressScope quiet(panel);
    SetWindowTextW(card.tagEdit, L"");
  }
  if (added) {
    LayOut(panel);
    Notify(panel);
  }
}

void CloseLinkInput(PanelState& panel, EntryCard& card) {
  if (card.linkEdit == nullptr) return;
  bool hadFocus = GetFocus() == card.linkEdit;
  HWND edit = card.linkEdit;
  card.linkEdit = nullptr;
  if (hadFocus && card.linkButton != nullptr) SetFocus(card.linkButton);
  DestroyWindow(edit);
  UpdateLinkButtonText(card);
  LayOut(panel);
}

void OpenLinkInput(PanelState& panel, EntryCard& card) {
  card.linkEdit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                                  0, 0, 10, 10, panel.window(), nullptr, InstanceOf(panel), nullptr);
  if (card.linkEdit == nullptr) return;
  SendMessageW(card.linkEdit, WM_SETFONT, reinterpret_cast<WPARAM>(panel.fonts->small), FALSE);
  SendMessageW(card.linkEdit, EM_SETLIMITTEXT, references::kMaxReferenceLength, 0);
  SendMessageW(card.linkEdit, EM_SETCUEBANNER, TRUE,
               reinterpret_cast<LPARAM>(i18n::Translate(L"웹 주소 또는 파일·폴더 경로")));
  SetWindowSubclass(card.linkEdit, LinkEditProc, kLinkSubclassId, reinterpret_cast<DWORD_PTR>(&panel));
  UpdateLinkButtonText(card);
  FixTabOrder(panel);
  LayOut(panel);
  RECT r{};
  GetWindowRect(card.linkEdit, &r);
  MapWindowPoints(nullptr, panel.window(), reinterpret_cast<POINT*>(&r), 2);
  ScrollIntoView(panel, r);
  SetFocus(card.linkEdit);
}

void AddStoredAttachments(PanelState& panel, EntryCard& card, const std::vector<std::wstring>& references) {
  bool added = false;
  for (const auto& reference : references) added |= references::AddUniqueReference(card.attachments, reference);
  if (!added) return;
  RebuildRows(panel, card);
  LayOut(panel);
  Notify(panel);
}

// Saves what the link input holds; false (with the input kept and focused) when refused.
bool SaveLinkInput(PanelState& panel, EntryCard& card) {
  if (card.linkEdit == nullptr) return true;
  std::wstring text = WindowText(card.linkEdit);
  size_t first = text.find_first_not_of(L" \t\r\n");
  if (first == std::wstring::npos) {
    CloseLinkInput(panel, card);
    return true;
  }
  std::wstring reference = references::NormalizeReference(text);
  if (reference.empty()) {
    Ask(panel, i18n::Translate(L"HTTP(S) 주소 또는 드라이브부터 시작하는 파일·폴더 경로를 입력하세요."),
        i18n::Translate(L"첨부 링크"), MB_OK | MB_ICONWARNING);
    if (!card.expanded) {
      card.expanded = true;
      LayOut(panel);
    }
    if (card.linkEdit != nullptr) {
      RECT r{};
      GetWindowRect(card.linkEdit, &r);
      MapWindowPoints(nullptr, panel.window(), reinterpret_cast<POINT*>(&r), 2);
      ScrollIntoView(panel, r);
      SetFocus(card.linkEdit);
    }
    return false;
  }
  CloseLinkInput(panel, card);
  AddStoredAttachments(panel, card, {reference});
  return true;
}

bool CreateCardControls(PanelState& panel, EntryCard& card, const std::wstring& text) {
  card.textEdit = CreateTextEdit(panel, false);
  card.tagEdit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 10,
                                 Scale(20, panel.dpi()), panel.window(), nullptr, InstanceOf(panel), nullptr);
  card.attachButton = kit::CreateKitButton(panel.window(), kAttachButtonId, i18n::Translate(L"파일 첨부…"),
                                           kit::kButtonSecondary, kit::color::kWhite);
  card.linkButton = kit::CreateKitButton(panel.window(), kLinkButtonId, i18n::Translate(L"링크 추가"),
                                         kit::kButtonSecondary, kit::color::kWhite);
  if (card.textEdit == nullptr || card.tagEdit == nullptr || card.attachButton == nullptr ||
      card.linkButton == nullptr) {
    DestroyCardControls(card);
    return false;
  }
  SendMessageW(card.tagEdit, WM_SETFONT, reinterpret_cast<WPARAM>(panel.fonts->small), FALSE);
  SendMessageW(card.tagEdit, EM_SETLIMITTEXT, 200, 0);
  SendMessageW(card.tagEdit, EM_SETCUEBANNER, TRUE,
               reinterpret_cast<LPARAM>(i18n::Translate(L"태그 입력 후 Enter (예: 회의, 디자인)")));
  SetWindowSubclass(card.tagEdit, TagEditProc, kTagSubclassId, reinterpret_cast<DWORD_PTR>(&panel));
  for (HWND button : {card.attachButton, card.linkButton}) {
    ShowWindow(button, SW_HIDE);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(panel.fonts->small), FALSE);
  }
  SuppressScope quiet(panel);
  SetWindowTextW(card.textEdit, text.c_str());
  return true;
}

// Swaps the text editor for one with (or without) its own scroll bar, keeping text,
// selection, focus and place in the tab order.
void RecreateTextEdit(PanelState& panel, EntryCard& card, bool scroll) {
  HWND old = card.textEdit;
  HWND fresh = CreateTextEdit(panel, scroll);
  if (fresh == nullptr) return;
  DWORD start = 0, end = 0;
  SendMessageW(old, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  bool hadFocus = GetFocus() == old;
  RECT r{};
  GetWindowRect(old, &r);
  MapWindowPoints(nullptr, panel.window(), reinterpret_cast<POINT*>(&r), 2);
  SetWindowPos(fresh, old, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
  {
    SuppressScope quiet(panel);
    SetWindowTextW(fresh, WindowText(old).c_str());
  }
  SendMessageW(fresh, EM_SETSEL, start, end);
  if (IsWindowVisible(old)) ShowWindow(fresh, SW_SHOWNA);
  card.textEdit = fresh;
  card.textScroll = scroll;
  if (hadFocus) SetFocus(fresh);
  DestroyWindow(old);
  if (hadFocus) SendMessageW(fresh, EM_SCROLLCARET, 0, 0);
}

}  // namespace entrypanel
