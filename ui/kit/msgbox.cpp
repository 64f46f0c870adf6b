#include "ui/kit/msgbox.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "i18n/translate.h"
#include "ui/kit/base_window.h"
#include "ui/kit/buttons.h"
#include "ui/kit/colors.h"
#include "ui/kit/draw.h"
#include "ui/kit/fonts.h"
#include "ui/kit/gdi.h"
#include "ui/kit/msgbox_layout.h"
#include "ui/kit/scale.h"

namespace widgets {
namespace {

constexpr wchar_t kClassName[] = L"QuenlorMsgBox";
constexpr int kEditId = 100;

struct SymbolLook {
  const wchar_t* glyph;
  COLORREF ink;
  COLORREF disc;
};

SymbolLook LookOf(MsgBoxSymbol symbol) {
  switch (symbol) {
    case MsgBoxSymbol::kQuestion: return {L"?", kit::color::kAccent, kit::color::kAccentTint};
    case MsgBoxSymbol::kWarning: return {L"!", kit::Rgb(0xD4A83A), kit::Rgb(0xFCF3D8)};
    case MsgBoxSymbol::kError: return {L"!", kit::color::kDangerMark, kit::color::kDangerBackground};
    default: return {L"i", kit::Rgb(0x78A8E8), kit::Rgb(0xE2EEFC)};
  }
}

const wchar_t* ButtonText(int id) {
  switch (id) {
    case IDCANCEL: return i18n::Translate(L"취소");
    case IDYES: return i18n::Translate(L"예");
    case IDNO: return i18n::Translate(L"아니요");
    default: return i18n::Translate(L"확인");
  }
}

// What one box shows and how it ended. It lives in MsgBox's frame and outlives the window.
struct BoxRequest {
  std::wstring text;
  MsgBoxButtons buttons;
  MsgBoxSymbol symbol = MsgBoxSymbol::kNone;
  kit::UniqueIcon icon;
  HBITMAP picture = nullptr;
  bool longText = false;
  int dpi = 96;
  kit::OwnedFontSet fonts;
  MsgBoxLayout layout;
  bool done = false;
  int result = 0;
};

// The window's state, handed to the window at its creation and freed with it. A modeless
// box owns its request; a modal one borrows it from MsgBox's frame.
class BoxWindow : public kit::BaseWindow<BoxWindow> {
 public:
  explicit BoxWindow(BoxRequest& borrowed) : request(borrowed) {}
  explicit BoxWindow(std::unique_ptr<BoxRequest> own) : owned(std::move(own)), request(*owned) {}

  std::unique_ptr<BoxRequest> owned;
  BoxRequest& request;
  std::vector<HWND> buttons;
  HWND edit = nullptr;
  HWND lastFocus = nullptr;

 private:
  friend class kit::BaseWindow<BoxWindow>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
};

void Finish(HWND window, BoxWindow& box, int result) {
  if (box.request.done) return;
  box.request.done = true;
  box.request.result = result;
  if (box.owned) {
    // Nobody waits for a modeless box's answer: it simply goes (this frees `box`).
    DestroyWindow(window);
    return;
  }
  // The modal loop may be waiting in GetMessage when this runs inside a sent message.
  PostMessageW(window, WM_NULL, 0, 0);
}

HWND DefaultButton(const BoxWindow& box) {
  int index = box.request.buttons.defaultIndex;
  return index >= 0 && index < static_cast<int>(box.buttons.size()) ? box.buttons[index] : nullptr;
}

HWND FocusedButton(const BoxWindow& box) {
  HWND focus = GetFocus();
  for (HWND button : box.buttons) {
    if (button == focus) return button;
  }
  return nullptr;
}

bool CreateChildren(HWND window, BoxWindow& box) {
  BoxRequest& request = box.request;
  const MsgBoxLayout& layout = request.layout;
  auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
  auto S = [&](int n) { return kit::Scale(n, request.dpi); };
  if (request.longText) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL |
                  (layout.editScrolls ? WS_VSCROLL : 0);
    const RECT& r = layout.text;
    box.edit = CreateWindowExW(0, L"EDIT", L"", style, r.left, r.top, r.right - r.left, r.bottom - r.top, window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), instance, nullptr);
    if (box.edit == nullptr) return false;
    SendMessageW(box.edit, WM_SETFONT, reinterpret_cast<WPARAM>(request.fonts->body), FALSE);
    SendMessageW(box.edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(S(kMsgBoxEditMargin), S(kMsgBoxEditMargin)));
    SendMessageW(box.edit, EM_SETLIMITTEXT, 0, 0);
    SetWindowTextW(box.edit, ToEditLineBreaks(request.text).c_str());
  }
  for (size_t i = 0; i < request.buttons.ids.size(); ++i) {
    int id = request.buttons.ids[i];
    HWND button = kit::CreateKitButton(window, id, ButtonText(id), i == 0 ? kit::kButtonPrimary : kit::kButtonSecondary,
                                       kit::color::kWindow);
    if (button == nullptr) return false;
    const RECT& r = layout.buttons[i];
    MoveWindow(button, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    HFONT font = i == 0 ? request.fonts->semibold : request.fonts->body;
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    box.buttons.push_back(button);
  }
  return true;
}

void PaintSymbol(HDC dc, const BoxRequest& request) {
  const RECT& r = request.layout.icon;
  if (r.right <= r.left) return;
  int size = r.right - r.left;
  if (request.icon) {
    DrawIconEx(dc, r.left, r.top, request.icon.get(), size, size, 0, nullptr, DI_NORMAL);
    return;
  }
  if (request.symbol == MsgBoxSymbol::kNone) return;
  SymbolLook look = LookOf(request.symbol);
  kit::FillCircle(dc, r.left + size / 2.0f, r.top + size / 2.0f, size / 2.0f, look.disc);
  kit::SelectObjectScope select(dc, request.fonts->title);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, look.ink);
  RECT glyph = r;
  DrawTextW(dc, look.glyph, -1, &glyph, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void PaintPicture(HDC dc, const BoxRequest& request) {
  const RECT& r = request.layout.picture;
  if (request.picture == nullptr || r.right <= r.left || r.bottom <= r.top) return;
  BITMAP info{};
  if (GetObjectW(request.picture, sizeof(info), &info) == 0 || info.bmWidth <= 0) return;
  kit::UniqueMemoryDc source(CreateCompatibleDC(dc));
  if (!source) return;
  {
    kit::SelectObjectScope select(source.get(), request.picture);
    int oldMode = SetStretchBltMode(dc, HALFTONE);
    POINT oldOrigin{};
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);
    StretchBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source.get(), 0, 0, info.bmWidth,
               std::abs(info.bmHeight), SRCCOPY);
    SetStretchBltMode(dc, oldMode);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
  }
  HBRUSH frame = CreateSolidBrush(kit::color::kControlBorder);
  kit::UniqueBrush owned(frame);
  FrameRect(dc, &r, frame);
}

void Paint(HWND window, HDC dc, const BoxWindow& box) {
  const BoxRequest& request = box.request;
  RECT client{};
  GetClientRect(window, &client);
  kit::FillSolidRect(dc, client, kit::color::kWhite);
  RECT row = request.layout.buttonRow;
  row.right = client.right;
  row.bottom = client.bottom;
  kit::FillSolidRect(dc, row, kit::color::kWindow);
  kit::DrawSeparator(dc, 0, client.right, row.top);
  PaintSymbol(dc, request);
  if (!request.longText) {
    kit::SelectObjectScope select(dc, request.fonts->body);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kit::color::kText);
    RECT text = request.layout.text;
    DrawTextW(dc, request.text.c_str(), static_cast<int>(request.text.size()), &text,
              DT_LEFT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
  }
  PaintPicture(dc, request);
}

void OnCommand(HWND window, BoxWindow& box, WPARAM wparam, LPARAM lparam) {
  auto from = reinterpret_cast<HWND>(lparam);
  for (HWND button : box.buttons) {
    if (from == button && from != nullptr) {
      Finish(window, box, GetDlgCtrlID(button));
      return;
    }
  }
  switch (LOWORD(wparam)) {
    case IDCANCEL:
      // Escape without a cancel button means the same as closing the box.
      Finish(window, box, box.request.buttons.closeResult);
      break;
    case IDOK: {
      // Enter outside the buttons (for example in the long text) takes the focused or default button.
      HWND target = FocusedButton(box);
      if (target == nullptr) target = DefaultButton(box);
      if (target != nullptr) Finish(window, box, GetDlgCtrlID(target));
      break;
    }
    default:
      break;
  }
}

LRESULT BoxWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND window = window_;
  BoxWindow& box = *this;
  switch (message) {
    case WM_CREATE:
      return CreateChildren(window, box) ? 0 : -1;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      kit::DoubleBufferedPaint paint(window);
      Paint(window, paint.dc(), box);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(window, reinterpret_cast<HDC>(wparam), box);
      return 0;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item != nullptr && kit::DrawKitButton(*item)) return TRUE;
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
      if (reinterpret_cast<HWND>(lparam) == box.edit) {
        auto dc = reinterpret_cast<HDC>(wparam);
        SetTextColor(dc, kit::color::kText);
        SetBkColor(dc, kit::color::kWhite);
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
      }
      break;
    case DM_GETDEFID: {
      // Enter follows the dialog rule: the focused button, otherwise the default one.
      HWND target = FocusedButton(box);
      if (target == nullptr) target = DefaultButton(box);
      if (target != nullptr) return MAKELRESULT(GetDlgCtrlID(target), DC_HASDEFID);
      return 0;
    }
    case WM_COMMAND:
      OnCommand(window, box, wparam, lparam);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window, focus)) box.lastFocus = focus;
      } else {
        HWND target = box.lastFocus != nullptr && IsWindow(box.lastFocus) ? box.lastFocus : DefaultButton(box);
        if (target != nullptr) SetFocus(target);
        return 0;
      }
      break;
    case WM_CLOSE:
      Finish(window, box, box.request.buttons.closeResult);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

SIZE MeasureText(const std::wstring& text, HFONT font, int width) {
  kit::WindowDc screen(nullptr);
  if (!screen) return SIZE{width, 0};
  kit::SelectObjectScope select(screen.get(), font);
  RECT r{0, 0, width, 0};
  DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

SIZE FrameSize(DWORD style, DWORD exStyle, int dpi) {
  RECT r{0, 0, 0, 0};
  if (!AdjustWindowRectExForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
  }
  return SIZE{r.right - r.left, r.bottom - r.top};
}

int RunModal(HWND root, kit::UniqueWindow& window, BoxRequest& request) {
  HWND box = window.get();
  bool disabledOwner = root != nullptr && IsWindowEnabled(root);
  if (disabledOwner) EnableWindow(root, FALSE);

  bool quit = false;
  WPARAM quitCode = 0;
  MSG msg;
  while (!request.done && IsWindow(box)) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      quit = true;
      quitCode = msg.wParam;
      break;
    }
    if (got == -1) break;
    if (!IsDialogMessageW(box, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  // The owner is enabled before the box goes, so that Windows hands activation back to it.
  if (disabledOwner) EnableWindow(root, TRUE);
  window.reset();
  if (root != nullptr && IsWindowVisible(root)) SetActiveWindow(root);
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
  return request.done ? request.result : request.buttons.closeResult;
}

struct BoxPlan {
  HWND root = nullptr;
  bool ownerVisible = false;
  DWORD style = 0;
  DWORD exStyle = 0;
  POINT at{};
  SIZE window{};
};

// Fills the request (fonts, icon, layout) and works out the window's styles and place.
BoxPlan Prepare(BoxRequest& request, HWND owner, const wchar_t* text, UINT flags, int iconId, HBITMAP picture,
                bool longText) {
  BoxPlan plan;
  plan.root = owner != nullptr && IsWindow(owner) ? GetAncestor(owner, GA_ROOT) : nullptr;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  request.text = text;
  request.buttons = MsgBoxButtonsFor(flags);
  request.symbol = MsgBoxSymbolFor(flags);
  request.picture = picture;
  request.longText = longText || picture != nullptr;
  request.dpi = kit::WindowDpi(plan.root);
  request.fonts.Rebuild(request.dpi);
  auto S = [&](int n) { return kit::Scale(n, request.dpi); };
  if (iconId != 0) {
    request.icon.reset(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, S(kMsgBoxIconSize), S(kMsgBoxIconSize), LR_DEFAULTCOLOR)));
  }

  plan.ownerVisible = plan.root != nullptr && IsWindowVisible(plan.root);
  bool overOwner = plan.ownerVisible && !IsIconic(plan.root);
  plan.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | (picture != nullptr ? WS_CLIPCHILDREN : 0);
  plan.exStyle =
      WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | (plan.ownerVisible ? 0 : WS_EX_TOPMOST | WS_EX_APPWINDOW);

  HMONITOR monitor = MonitorFromWindow(plan.root, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO monitorInfo{};
  monitorInfo.cbSize = sizeof(monitorInfo);
  if (!GetMonitorInfoW(monitor, &monitorInfo)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitorInfo.rcWork, 0);
  }

  MsgBoxMetrics metrics;
  metrics.dpi = request.dpi;
  metrics.buttonCount = static_cast<int>(request.buttons.ids.size());
  metrics.hasIcon = request.icon.valid() || request.symbol != MsgBoxSymbol::kNone;
  metrics.longText = request.longText;
  if (picture != nullptr) {
    BITMAP info{};
    if (GetObjectW(picture, sizeof(info), &info) != 0) metrics.picture = SIZE{info.bmWidth, std::abs(info.bmHeight)};
  }
  metrics.frame = FrameSize(plan.style, plan.exStyle, request.dpi);
  metrics.workArea = monitorInfo.rcWork;
  std::wstring measured = ToEditLineBreaks(request.text);
  HFONT body = request.fonts->body;
  request.layout = LayoutMsgBox(metrics, [&](int width) { return MeasureText(measured, body, width); });

  plan.window = SIZE{request.layout.client.cx + metrics.frame.cx, request.layout.client.cy + metrics.frame.cy};
  RECT ownerRect{};
  if (overOwner) GetWindowRect(plan.root, &ownerRect);
  plan.at = PlaceMsgBox(plan.window, overOwner ? &ownerRect : nullptr, monitorInfo.rcWork);
  return plan;
}

HWND CreateBoxWindow(const BoxPlan& plan, const wchar_t* caption, std::unique_ptr<BoxWindow> state) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (!GetClassInfoExW(instance, kClassName, &existing)) RegisterMsgBoxClass(instance);
  kit::WindowCreateArgs args;
  args.exStyle = plan.exStyle;
  args.className = kClassName;
  args.title = caption;
  args.style = plan.style;
  args.x = plan.at.x;
  args.y = plan.at.y;
  args.width = plan.window.cx;
  args.height = plan.window.cy;
  args.parent = plan.root;
  args.instance = instance;
  return BoxWindow::Create(std::move(state), args);
}

int Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags, int iconId, HBITMAP picture,
         bool longText) {
  if (text == nullptr) text = L"";
  if (caption == nullptr) caption = L"";
  BoxRequest request;
  BoxPlan plan = Prepare(request, owner, text, flags, iconId, picture, longText);
  // Declared after the request it borrows, so it goes first on every path.
  kit::UniqueWindow window(CreateBoxWindow(plan, caption, std::make_unique<BoxWindow>(request)));
  if (!window) return MessageBoxW(owner, text, caption, flags);
  HWND box = window.get();

  if (request.symbol == MsgBoxSymbol::kWarning) MessageBeep(MB_ICONEXCLAMATION);
  if (request.symbol == MsgBoxSymbol::kError) MessageBeep(MB_ICONHAND);
  ShowWindow(box, SW_SHOW);
  if (!plan.ownerVisible) SetForegroundWindow(box);
  if (BoxWindow* state = BoxWindow::FromWindow(box); state != nullptr) {
    if (HWND button = DefaultButton(*state); button != nullptr) SetFocus(button);
  }
  UpdateWindow(box);
  return RunModal(plan.root, window, request);
}

int ShowOrFallBack(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags, int iconId, HBITMAP picture,
                   bool longText) {
  try {
    return Show(owner, text, caption, flags, iconId, picture, longText);
  } catch (...) {
    // Callers sit in window procedures; the system box still gets the message across.
    return MessageBoxW(owner, text, caption, flags);
  }
}

}  // namespace

bool RegisterMsgBoxClass(HINSTANCE instance) {
  // No double-clicks: a quick second click on a button is two clicks, as in system boxes.
  return BoxWindow::Register(BoxWindow::ClassInfo(instance, kClassName, 0));
}

int MsgBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags, int iconId, int bitmapId,
           bool longText) {
  kit::UniqueBitmap picture;
  if (bitmapId != 0) {
    picture.reset(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP,
                                                  0, 0, LR_CREATEDIBSECTION)));
  }
  // A missing picture still gets the long form it was asked for, only without the picture.
  return ShowOrFallBack(owner, text, caption, flags, iconId, picture.get(), longText || bitmapId != 0);
}

int MsgBoxWithPicture(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags, HBITMAP picture,
                      int iconId) {
  return ShowOrFallBack(owner, text, caption, flags, iconId, picture, true);
}

HWND CreateModelessMsgBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags, int iconId) {
  try {
    auto request = std::make_unique<BoxRequest>();
    BoxPlan plan = Prepare(*request, owner, text != nullptr ? text : L"", flags, iconId, nullptr, true);
    return CreateBoxWindow(plan, caption != nullptr ? caption : L"", std::make_unique<BoxWindow>(std::move(request)));
  } catch (...) {
    // The caller treats a missing window as "could not be opened" and may try again later.
    return nullptr;
  }
}

}  // namespace widgets
