// Running the project dialog modally: size and place, the key filter, the private
// message loop, and the size remembered for next time.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "app/settings.h"
#include "i18n/translate.h"
#include "ui/kit/buttons.h"
#include "ui/kit/scale.h"
#include "ui/kit/work_area.h"
#include "views/entry_panel.h"
#include "views/project_dialog.h"
#include "views/project_dialog_logic.h"
#include "views/project_dialog_state.h"

namespace projectdlg {
namespace {

constexpr int kProgramIconId = 101;

bool IsWithin(HWND ancestor, HWND window) { return window != nullptr && (window == ancestor || IsChild(ancestor, window)); }

bool IsPushButton(HWND dialog, HWND focus) {
  if (focus == nullptr || !IsChild(dialog, focus)) return false;
  wchar_t name[16] = {};
  GetClassNameW(focus, name, 16);
  if (lstrcmpiW(name, L"Button") != 0) return false;
  LONG type = GetWindowLongW(focus, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW;
}

FocusKind FocusKindOf(DialogState& state) {
  HWND focus = GetFocus();
  if (IsPushButton(state.window(), focus)) return FocusKind::kButton;
  if (IsWithin(state.child(kAddPickerId), focus)) return FocusKind::kAddDatePicker;
  if (entrypanel::CardWithFocusedLinkInput(state.panel) >= 0) return FocusKind::kLinkInput;
  if (IsWithin(state.panel, focus)) return FocusKind::kEntryPanel;
  if (focus == state.child(kTitleId)) return FocusKind::kTitle;
  return FocusKind::kOther;
}

void FocusAtOpening(DialogState& state) {
  HWND title = state.child(kTitleId);
  if (!state.isNew && !state.project.title.empty() && dates::IsValid(state.defaultDate) &&
      entrypanel::FocusDate(state.panel, state.defaultDate)) {
    return;
  }
  SetFocus(title);
  int end = GetWindowTextLengthW(title);
  SendMessageW(title, EM_SETSEL, end, end);
}

void RememberSize(HWND dialog, int dpi) {
  if (IsZoomed(dialog) || IsIconic(dialog)) return;
  RECT r{};
  if (!GetWindowRect(dialog, &r)) return;
  settings::WriteSettingDword(L"DialogWidth", static_cast<uint32_t>(MulDiv(r.right - r.left, 96, dpi)));
  settings::WriteSettingDword(L"DialogHeight", static_cast<uint32_t>(MulDiv(r.bottom - r.top, 96, dpi)));
}

}  // namespace

bool RegisterDialogClasses(HINSTANCE instance) {
  WNDCLASSEXW wc = DialogState::ClassInfo(instance, kDialogClass);
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kProgramIconId));
  wc.hIconSm = wc.hIcon;
  return DialogState::Register(wc) && entrypanel::RegisterEntryPanelClass(instance);
}

bool PreTranslate(HWND dialog, MSG& msg) {
  if (msg.message != WM_KEYDOWN || !IsWithin(dialog, msg.hwnd)) return false;
  DialogState* state = StateOf(dialog);
  if (state == nullptr) return false;
  bool control = GetKeyState(VK_CONTROL) < 0;
  switch (ClassifyKey(msg.wParam, control, FocusKindOf(*state))) {
    case KeyAction::kNotHandled: return false;
    case KeyAction::kSave: Save(*state); return true;
    case KeyAction::kClose: Close(*state); return true;
    case KeyAction::kCancelLinkInput:
      entrypanel::CancelCardInput(state->panel, entrypanel::CardWithFocusedLinkInput(state->panel));
      return true;
    case KeyAction::kClickButton: kit::ClickFocusedButton(dialog); return true;
    case KeyAction::kAddDate: AddDateFromPicker(*state); return true;
    case KeyAction::kToLocation: SetFocus(state->child(kLocationId)); return true;
    case KeyAction::kSwallow: return true;
  }
  return false;
}

int Show(HWND owner, Project& project, bool isNew, const Date& defaultDate, const Services& services) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterDialogClasses(instance)) return kClosed;
  int dpi = kit::WindowDpi(owner);
  RECT work = kit::WorkAreaNear(owner);
  RECT ownerRect = work;
  if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &ownerRect);
  RECT r = InitialWindowRect(settings::ReadDialogWidth(), settings::ReadDialogHeight(), dpi, ownerRect, work);

  kit::WindowCreateArgs args;
  args.exStyle = WS_EX_CONTROLPARENT;
  args.className = kDialogClass;
  args.title = i18n::Translate(isNew ? L"새 프로젝트 등록 - Tavrilo" : L"프로젝트 관리 - Tavrilo");
  args.style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
  args.x = r.left;
  args.y = r.top;
  args.width = r.right - r.left;
  args.height = r.bottom - r.top;
  args.parent = owner;
  args.instance = instance;
  HWND dialog = DialogState::Create(std::make_unique<DialogState>(project, isNew, defaultDate, services), args);
  DialogState* state = StateOf(dialog);
  if (state == nullptr) return kClosed;

  ShowWindow(dialog, SW_SHOW);
  UpdateWindow(dialog);
  FocusAtOpening(*state);
  if (owner != nullptr) EnableWindow(owner, FALSE);
  if (services.onShown) services.onShown(dialog);

  MSG msg{};
  while ((state = StateOf(dialog)) != nullptr && !state->done) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (PreTranslate(dialog, msg) || IsDialogMessageW(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }

  if (owner != nullptr) EnableWindow(owner, TRUE);
  int result = kClosed;
  if ((state = StateOf(dialog)) != nullptr) {
    RememberSize(dialog, state->dpi());
    result = state->result;
    if (result == kSaved) project = state->project;
  }
  if (IsWindow(dialog)) DestroyWindow(dialog);
  if (owner != nullptr) SetForegroundWindow(owner);
  return result;
}

}  // namespace projectdlg
