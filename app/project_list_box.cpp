#include "app/project_list_box.h"

#include <commctrl.h>
#include <windowsx.h>

#include <memory>
#include <unordered_map>
#include <utility>

#include "app/project_list_painter.h"
#include "resources/command_ids.h"
#include "ui/kit/draw.h"
#include "ui/kit/gdi.h"
#include "ui/kit/scale.h"

namespace projectlist {
namespace {

constexpr UINT_PTR kSubclassId = 0x504C;  // "PL"

struct ListState {
  const kit::FontSet* fonts = nullptr;
  WNDPROC listProc = nullptr;  // the list box's own procedure, under the subclass
  int hover = -1;
  bool trackingLeave = false;
  std::wstring emptyText;
  // What the rows were filled with, so that a refill to the same rows (a keystroke that
  // does not change the result) keeps them.
  std::vector<std::pair<int32_t, std::wstring>> filled;
};

// The state also hangs on a window property: MinGW's import library lacks
// GetWindowSubclass, and HoverItem must find it from the parent's WM_DRAWITEM.
constexpr const wchar_t* kStateProperty = L"QL.ProjectList";

ListState* State(HWND list) {
  if (list == nullptr) return nullptr;
  return static_cast<ListState*>(GetPropW(list, kStateProperty));
}

// Messages a refill sends by the thousand go straight to the list box's own procedure:
// the subclass passes them through unchanged anyway, and under Wine each message
// through a comctl32 subclass costs a server round trip (about 50 us), which made a
// 2,000-row refill take 200 ms.
LRESULT CallList(HWND list, const ListState* state, UINT message, WPARAM wparam, LPARAM lparam) {
  if (state != nullptr && state->listProc != nullptr) return CallWindowProcW(state->listProc, list, message, wparam, lparam);
  return SendMessageW(list, message, wparam, lparam);
}

int RowCount(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); }

bool RowRect(HWND list, int row, RECT& rect) {
  return row >= 0 && SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)) != LB_ERR;
}

void InvalidateRow(HWND list, int row) {
  RECT rect{};
  if (RowRect(list, row, rect)) InvalidateRect(list, &rect, FALSE);
}

// The row under a client point; -1 below the last row or outside the list.
int RowAt(HWND list, POINT point) {
  LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
  if (hit == LB_ERR || HIWORD(hit) != 0) return -1;
  int row = LOWORD(hit);
  RECT rect{};
  return RowRect(list, row, rect) && PtInRect(&rect, point) ? row : -1;
}

void NotifyParent(HWND list, WORD code) {
  int id = GetDlgCtrlID(list);
  SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(list));
}

void SendCommand(HWND list, int command) { SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(command, 0), 0); }

void OnMouseMove(HWND list, ListState& state, POINT point) {
  if (!state.trackingLeave) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, list, 0};
    state.trackingLeave = TrackMouseEvent(&track) != FALSE;
  }
  int row = RowAt(list, point);
  if (row == state.hover) return;
  InvalidateRow(list, state.hover);
  state.hover = row;
  InvalidateRow(list, row);
}

void OnMouseLeave(HWND list, ListState& state) {
  state.trackingLeave = false;
  int old = std::exchange(state.hover, -1);
  InvalidateRow(list, old);
}

bool OnRightButtonDown(HWND list, POINT point) {
  int row = RowAt(list, point);
  if (row < 0) return false;
  SetFocus(list);
  if (SendMessageW(list, LB_GETCURSEL, 0, 0) != row) {
    SendMessageW(list, LB_SETCURSEL, row, 0);
    NotifyParent(list, LBN_SELCHANGE);
  }
  return true;
}

void PaintEmpty(HWND list, const ListState& state, HDC given) {
  kit::FontSet fallback;
  const kit::FontSet& fonts = state.fonts != nullptr ? *state.fonts : fallback;
  if (given != nullptr) {
    RECT client{};
    GetClientRect(list, &client);
    PaintEmptyList(given, client, state.emptyText, fonts);
    return;
  }
  kit::DoubleBufferedPaint paint(list);
  PaintEmptyList(paint.dc(), paint.client(), state.emptyText, fonts);
}

LRESULT HandleListMessage(HWND list, ListState& state, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      // The selected row's outline shows where the keyboard focus is.
      LRESULT result = DefSubclassProc(list, message, wparam, lparam);
      InvalidateRow(list, static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)));
      return result;
    }
    case WM_GETDLGCODE: {
      // A dialog-style message loop must leave Enter and Escape to the list.
      LRESULT code = DefSubclassProc(list, message, wparam, lparam);
      const MSG* msg = reinterpret_cast<const MSG*>(lparam);
      if (msg != nullptr && msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        code |= DLGC_WANTMESSAGE;
      }
      return code;
    }
    case WM_KEYDOWN:
      switch (wparam) {
        case VK_RETURN: SendCommand(list, IDM_PROJECT_MANAGE); return 0;
        case VK_DELETE: SendCommand(list, IDM_PROJECT_DELETE); return 0;
        case VK_ESCAPE: NotifyParent(list, kListEscape); return 0;
        default: break;
      }
      break;
    case WM_CHAR:
      if (wparam == VK_RETURN || wparam == VK_ESCAPE) return 0;
      break;
    case WM_MOUSEMOVE:
      OnMouseMove(list, state, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      break;
    case WM_MOUSELEAVE:
      OnMouseLeave(list, state);
      break;
    case WM_RBUTTONDOWN:
      if (OnRightButtonDown(list, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)})) return 0;
      break;
    case WM_ERASEBKGND:
      if (RowCount(list) == 0) return 1;  // the paint below fills everything
      break;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      if (RowCount(list) == 0) {
        PaintEmpty(list, state, reinterpret_cast<HDC>(wparam));
        return 0;
      }
      break;
    default:
      break;
  }
  return DefSubclassProc(list, message, wparam, lparam);
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR data) {
  auto* state = reinterpret_cast<ListState*>(data);
  if (message == WM_NCDESTROY) {
    RemovePropW(list, kStateProperty);
    RemoveWindowSubclass(list, ListProc, kSubclassId);
    delete state;
    return DefSubclassProc(list, message, wparam, lparam);
  }
  try {
    return HandleListMessage(list, *state, message, wparam, lparam);
  } catch (...) {
    // Nothing may unwind into the system's dispatch code; a failed paint is not retried.
    if (message == WM_PAINT) {
      ValidateRect(list, nullptr);
      return 0;
    }
    return DefSubclassProc(list, message, wparam, lparam);
  }
}

}  // namespace

bool AttachListBehaviour(HWND list, const kit::FontSet* fonts) {
  if (list == nullptr || State(list) != nullptr) return false;
  auto state = std::make_unique<ListState>();
  state->fonts = fonts;
  state->listProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(list, GWLP_WNDPROC));
  if (!SetPropW(list, kStateProperty, state.get())) return false;
  if (!SetWindowSubclass(list, ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(state.get()))) {
    RemovePropW(list, kStateProperty);
    return false;
  }
  state.release();  // freed at WM_NCDESTROY
  return true;
}

HWND CreateProjectList(HWND parent, int id, const kit::FontSet* fonts) {
  HWND list = CreateWindowExW(0, L"LISTBOX", nullptr, kListStyle, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
  if (list == nullptr) return nullptr;
  if (!AttachListBehaviour(list, fonts)) {
    DestroyWindow(list);
    return nullptr;
  }
  return list;
}

int HoverItem(HWND list) {
  const ListState* state = State(list);
  return state != nullptr ? state->hover : -1;
}

void FillList(HWND list, const std::vector<int32_t>& rows, const ProjectDocument& document, int32_t selectedId,
              const std::wstring& emptyText) {
  if (list == nullptr) return;
  std::unordered_map<int32_t, const Project*> byId;
  byId.reserve(document.projects.size());
  for (const Project& p : document.projects) byId.emplace(p.id, &p);

  std::vector<std::pair<int32_t, std::wstring>> wanted;
  wanted.reserve(rows.size());
  for (int32_t id : rows) {
    auto it = byId.find(id);
    wanted.emplace_back(id, it != byId.end() ? it->second->title : std::wstring());
  }

  ListState* state = State(list);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  bool same = state != nullptr && state->filled == wanted && RowCount(list) == static_cast<int>(wanted.size());
  if (!same) {
    int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    CallList(list, state, LB_INITSTORAGE, wanted.size(), wanted.size() * 64);
    for (const auto& [id, title] : wanted) {
      LRESULT row = CallList(list, state, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
      if (row >= 0) CallList(list, state, LB_SETITEMDATA, row, static_cast<LPARAM>(id));
    }
    if (top > 0) SendMessageW(list, LB_SETTOPINDEX, top, 0);
    if (state != nullptr) state->filled = std::move(wanted);
  }
  SendMessageW(list, LB_SETCURSEL, RowOf(rows, selectedId), 0);
  if (state != nullptr) {
    state->hover = -1;
    state->emptyText = emptyText;
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

int SelectRowOf(HWND list, int32_t id) {
  int found = -1;
  if (id != 0) {
    const ListState* state = State(list);
    int count = RowCount(list);
    for (int row = 0; row < count; ++row) {
      if (static_cast<int32_t>(CallList(list, state, LB_GETITEMDATA, row, 0)) == id) {
        found = row;
        break;
      }
    }
  }
  SendMessageW(list, LB_SETCURSEL, found, 0);
  return found;
}

int32_t SelectedRowId(HWND list) {
  LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (row == LB_ERR) return 0;
  return static_cast<int32_t>(SendMessageW(list, LB_GETITEMDATA, row, 0));
}

std::wstring EmptyText(HWND list) {
  const ListState* state = State(list);
  return state != nullptr ? state->emptyText : std::wstring();
}

}  // namespace projectlist
