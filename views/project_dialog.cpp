// The project dialog's window: its controls, their initial values and every command.
#include "views/project_dialog.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include "i18n/translate.h"
#include "model/file_io.h"
#include "model/project_file.h"
#include "ui/kit/buttons.h"
#include "ui/kit/child_windows.h"
#include "ui/kit/colors.h"
#include "ui/kit/date_picker.h"
#include "ui/kit/draw.h"
#include "ui/kit/gdi.h"
#include "ui/kit/msgbox.h"
#include "ui/kit/scale.h"
#include "ui/kit/work_area.h"
#include "views/project_dialog_logic.h"
#include "views/project_dialog_state.h"
#include "views/shell_pickers.h"

namespace projectdlg {
namespace {

using kit::Scale;

const wchar_t* const kCategoryNames[3] = {I18N_KEY(L"개인프로젝트"), I18N_KEY(L"내부프로젝트"),
                                          I18N_KEY(L"외부프로젝트")};

HWND MakeEdit(DialogState& state, int id) {
  return CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 10, 10,
                         state.window(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(state.window(), GWLP_HINSTANCE)), nullptr);
}

HWND MakePicker(DialogState& state, int id, DWORD extra) {
  HWND picker = CreateWindowExW(0, DATETIMEPICK_CLASSW, L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | DTS_SHORTDATECENTURYFORMAT | extra, 0, 0, 10, 10,
                                state.window(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(state.window(), GWLP_HINSTANCE)),
                                nullptr);
  if (picker != nullptr) kit::ApplyFlatDatePicker(picker);
  return picker;
}

HWND MakeButton(DialogState& state, int id, const wchar_t* korean, int style) {
  return kit::CreateKitButton(state.window(), id, korean != nullptr ? i18n::Translate(korean) : L"", style,
                              kit::color::kWindow);
}

void SetPickerDate(HWND picker, const Date& date, bool checked) {
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(date.year);
  time.wMonth = static_cast<WORD>(date.month);
  time.wDay = static_cast<WORD>(date.day);
  time.wDayOfWeek = static_cast<WORD>(dates::WeekDay(date));
  // Some implementations refuse a null time with GDT_NONE; a date to keep is harmless.
  SendMessageW(picker, DTM_SETSYSTEMTIME, checked ? GDT_VALID : GDT_NONE, reinterpret_cast<LPARAM>(&time));
}

Date PickerDate(HWND picker) {
  SYSTEMTIME time{};
  if (picker == nullptr || SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID) {
    return Date{};
  }
  Date date{time.wYear, time.wMonth, time.wDay};
  return dates::IsValid(date) ? date : Date{};
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

void SetDirty(DialogState& state) {
  if (!state.loading) state.dirty = true;
}

void ApplyFonts(DialogState& state) {
  const kit::FontSet& f = state.fonts.get();
  for (HWND child = GetWindow(state.window(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    int id = GetDlgCtrlID(child);
    if (id == kPanelId) continue;
    HFONT font = id == kAddDateId ? f.semibold : f.body;
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (lstrcmpiW(name, DATETIMEPICK_CLASSW) == 0) {
      SendMessageW(child, DTM_SETMCFONT, reinterpret_cast<WPARAM>(f.body), FALSE);
      SendMessageW(child, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(dates::NumericDatePicture()));
    }
  }
  if (state.panel != nullptr) entrypanel::ApplyFonts(state.panel);
}

bool CreateControls(DialogState& state) {
  HWND title = MakeEdit(state, kTitleId);
  HWND location = MakeEdit(state, kLocationId);
  if (title == nullptr || location == nullptr) return false;
  SendMessageW(title, EM_SETLIMITTEXT, 200, 0);
  SendMessageW(title, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(i18n::Translate(L"프로젝트 제목을 입력하세요")));
  SendMessageW(location, EM_SETCUEBANNER, FALSE,
               reinterpret_cast<LPARAM>(i18n::Translate(L"폴더 경로를 입력하거나 '찾아보기'로 선택하세요")));
  MakeButton(state, kBrowseId, L"찾아보기…", kit::kButtonSecondary);
  MakeButton(state, kOpenFolderId, L"폴더 열기", kit::kButtonSecondary);
  if (state.services.openInVsCode) MakeButton(state, kVsCodeId, L"VS Code 열기", kit::kButtonSecondary);
  for (int i = 0; i < 3; ++i) MakeButton(state, kFirstCategoryId + i, kCategoryNames[i], kit::kButtonSecondary);
  for (int i = 0; i < kPaletteSize; ++i) MakeButton(state, kFirstSwatchId + i, nullptr, kit::kButtonSecondary);
  MakePicker(state, kStartPickerId, 0);
  MakePicker(state, kEndPickerId, DTS_SHOWNONE);
  MakeButton(state, kCompletedId, L"완료된 프로젝트", kit::kButtonSecondary);
  MakePicker(state, kAddPickerId, 0);
  MakeButton(state, kAddDateId, L"+ 날짜 추가", kit::kButtonPrimary);
  MakeButton(state, kExpandAllId, L"모두 펼치기", kit::kButtonGhost);
  MakeButton(state, kCollapseAllId, L"모두 접기", kit::kButtonGhost);
  state.panel = entrypanel::CreateEntryPanel(state.window(), &state.fonts.get(), &state.panelServices);
  if (state.panel == nullptr) return false;
  HWND remove = MakeButton(state, kDeleteId, L"삭제", kit::kButtonDanger);
  if (state.isNew && remove != nullptr) {
    ShowWindow(remove, SW_HIDE);
    EnableWindow(remove, FALSE);
  }
  MakeButton(state, kExportId, L"내보내기…", kit::kButtonSecondary);
  MakeButton(state, kCancelId, L"취소", kit::kButtonSecondary);
  MakeButton(state, kSaveId, L"저장", kit::kButtonPrimary);
  return true;
}

void InitialiseControls(DialogState& state) {
  const Project& p = state.project;
  SetWindowTextW(state.child(kTitleId), p.title.c_str());
  SetWindowTextW(state.child(kLocationId), p.location.c_str());
  Date today = state.today();
  Date start = dates::IsValid(p.startDate) ? p.startDate : dates::IsValid(state.defaultDate) ? state.defaultDate : today;
  SetPickerDate(state.child(kStartPickerId), start, true);
  // An unchecked end picker shows the start date greyed, not whatever day it is.
  SetPickerDate(state.child(kEndPickerId), dates::IsValid(p.endDate) ? p.endDate : start, true);
  if (!dates::IsValid(p.endDate)) SetPickerDate(state.child(kEndPickerId), start, false);
  SetPickerDate(state.child(kAddPickerId), dates::IsValid(state.defaultDate) ? state.defaultDate : today, true);
  entrypanel::SetFixedToday(state.panel, state.services.today);
  entrypanel::SetLocation(state.panel, TrimWhite(p.location));
  entrypanel::SetEntries(state.panel, p.entries);
}

LRESULT OnCreate(DialogState& state) {
  state.fonts.Rebuild(kit::WindowDpi(state.window()));
  if (!CreateControls(state)) return -1;
  ApplyFonts(state);
  InitialiseControls(state);
  LayOutDialog(state);
  state.dirty = false;
  state.loading = false;
  return 0;
}

DialogFields FieldsOf(DialogState& state) {
  DialogFields fields;
  fields.title = TextOf(state.child(kTitleId));
  fields.location = TextOf(state.child(kLocationId));
  fields.category = state.category;
  fields.color = state.colorIndex;
  fields.start = PickerDate(state.child(kStartPickerId));
  fields.end = PickerDate(state.child(kEndPickerId));
  fields.completed = state.completed;
  fields.entries = entrypanel::GetEntries(state.panel);
  return fields;
}

bool AcceptAllCards(DialogState& state) {
  int count = entrypanel::CardCount(state.panel);
  for (int i = 0; i < count; ++i) {
    if (!entrypanel::AcceptCard(state.panel, i)) return false;
  }
  return true;
}

void Refuse(DialogState& state, const wchar_t* text, const wchar_t* caption, int focusId) {
  Ask(state, i18n::Translate(text), i18n::Translate(caption), MB_OK | MB_ICONWARNING);
  SetFocus(state.child(focusId));
}

void Browse(DialogState& state) {
  std::wstring typed = TrimWhite(TextOf(state.child(kLocationId)));
  std::wstring start = fileio::FolderExists(typed) ? typed : std::wstring();
  std::wstring chosen;
  bool picked = state.services.pickFolder ? state.services.pickFolder(state.window(), start, chosen)
                                          : shellpickers::PickFolder(state.window(), start, chosen);
  if (!picked || chosen.empty()) return;
  SetWindowTextW(state.child(kLocationId), chosen.c_str());
  if (TrimWhite(TextOf(state.child(kTitleId))).empty()) {
    std::wstring folder = chosen;
    while (folder.size() > 1 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    std::wstring last = fileio::FileNamePart(folder);
    SetWindowTextW(state.child(kTitleId), (last.empty() ? folder : last).c_str());
  }
}

void OpenFolder(DialogState& state) {
  std::wstring folder = TrimWhite(TextOf(state.child(kLocationId)));
  const wchar_t* caption = i18n::Translate(L"폴더 열기");
  if (folder.empty()) {
    Ask(state, i18n::Translate(L"프로젝트 위치가 지정되지 않았습니다.\n'찾아보기'로 폴더를 먼저 선택하세요."), caption,
        MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (!fileio::FolderExists(folder)) {
    Ask(state, i18n::Translate(L"폴더를 찾을 수 없습니다.\n") + folder, caption, MB_OK | MB_ICONWARNING);
    return;
  }
  if (state.services.reveal) {
    state.services.reveal(state.window(), folder, L"");
  } else {
    ShellExecuteW(state.window(), L"open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
}

void Export(DialogState& state) {
  if (!AcceptAllCards(state)) return;
  Project exported = ExportedProject(CollectProject(state.project, FieldsOf(state), state.today()));
  std::wstring proposed = ExportFileName(exported.title), path;
  bool picked = state.services.pickExportPath ? state.services.pickExportPath(state.window(), proposed, path)
                                              : shellpickers::PickExportPath(state.window(), proposed, path);
  if (!picked || path.empty()) return;
  if (!state.services.openFilePath.empty() && fileio::IsSameFile(path, state.services.openFilePath)) {
    Ask(state, i18n::Translate(L"현재 열려 있는 프로젝트 파일에는 내보낼 수 없습니다.\n다른 파일 이름을 지정하세요."),
        i18n::Translate(L"프로젝트 내보내기"), MB_OK | MB_ICONWARNING);
    return;
  }
  std::wstring error;
  const int32_t nextId = exported.id < INT32_MAX ? exported.id + 1 : INT32_MAX;
  if (projectfile::SaveProjectFile(path, {exported}, nextId, error)) {
    Ask(state, i18n::Translate(L"프로젝트를 내보냈습니다.\n") + path, i18n::Translate(L"내보내기 완료"),
        MB_OK | MB_ICONINFORMATION);
  } else {
    Ask(state, i18n::Translate(L"파일을 저장하지 못했습니다.\n") + path, i18n::Translate(L"내보내기 실패"),
        MB_OK | MB_ICONERROR);
  }
}

void Delete(DialogState& state) {
  std::wstring title = TrimWhite(TextOf(state.child(kTitleId)));
  std::wstring text =
      i18n::FormatText(L"'{0}' 프로젝트를 삭제하시겠습니까?\n삭제한 프로젝트는 되돌릴 수 없습니다.", {title});
  if (Ask(state, text, i18n::Translate(L"프로젝트 삭제"), MB_YESNO | MB_ICONWARNING) != IDYES) return;
  state.result = kDeleteRequested;
  state.done = true;
}

void OpenInVsCode(DialogState& state) {
  HWND button = state.child(kVsCodeId);
  if (!state.services.openInVsCode || button == nullptr || !IsWindowEnabled(button)) return;
  state.services.openInVsCode(state.window(), button, VsCodeProject(state.project, TextOf(state.child(kLocationId))));
}

void Select(DialogState& state, int& current, int value, int firstId, int count) {
  if (current == value) return;
  current = value;
  for (int i = 0; i < count; ++i) InvalidateRect(state.child(firstId + i), nullptr, FALSE);
  InvalidateRect(state.window(), &state.layout.header, FALSE);
  SetDirty(state);
}

void OnCommand(DialogState& state, int id, int code) {
  if (id >= kFirstCategoryId && id < kFirstCategoryId + 3) {
    Select(state, state.category, id - kFirstCategoryId, kFirstCategoryId, 3);
    return;
  }
  if (id >= kFirstSwatchId && id < kFirstSwatchId + kPaletteSize) {
    Select(state, state.colorIndex, id - kFirstSwatchId, kFirstSwatchId, kPaletteSize);
    return;
  }
  switch (id) {
    case kTitleId:
    case kLocationId:
      if (code == EN_CHANGE) {
        SetDirty(state);
        if (id == kLocationId) entrypanel::SetLocation(state.panel, TrimWhite(TextOf(state.child(kLocationId))));
      } else if (code == EN_SETFOCUS || code == EN_KILLFOCUS) {
        InvalidateRect(state.window(), nullptr, FALSE);
      }
      return;
    case kBrowseId: Browse(state); return;
    case kOpenFolderId: OpenFolder(state); return;
    case kVsCodeId: OpenInVsCode(state); return;
    case kCompletedId:
      state.completed = !state.completed;
      InvalidateRect(state.child(kCompletedId), nullptr, FALSE);
      InvalidateRect(state.window(), &state.layout.header, FALSE);
      SetDirty(state);
      return;
    case kAddDateId: AddDateFromPicker(state); return;
    case kExpandAllId: entrypanel::ExpandAll(state.panel); return;
    case kCollapseAllId: entrypanel::CollapseAll(state.panel); return;
    case kPanelId:
      if (code == entrypanel::kChangedNotification) SetDirty(state);
      return;
    case kDeleteId: Delete(state); return;
    case kExportId: Export(state); return;
    case IDCANCEL:
    case kCancelId: Close(state); return;
    case kSaveId: Save(state); return;
    default: return;
  }
}

void OnLeftButtonDown(DialogState& state, POINT p) {
  if (PtInRect(&state.layout.titleBox, p)) SetFocus(state.child(kTitleId));
  if (PtInRect(&state.layout.locationBox, p)) SetFocus(state.child(kLocationId));
}

void OnDpiChanged(DialogState& state, int dpi, const RECT* suggested) {
  state.fonts.Rebuild(dpi);
  ApplyFonts(state);
  if (suggested != nullptr) {
    SetWindowPos(state.window(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  LayOutDialog(state);
}

}  // namespace

DialogState::DialogState(const Project& p, bool n, const Date& d, Services s)
    : project(p), isNew(n), defaultDate(d), services(std::move(s)), fonts(96) {
  category = ClampCategory(p.category);
  colorIndex = ClampColor(p.color);
  completed = p.completed;
  panelServices.pickFiles = services.pickFiles;
  panelServices.messageBox = services.messageBox;
  panelServices.reveal = services.reveal;
  panelServices.documentsFolder = services.documentsFolder;
}

int Ask(DialogState& state, const std::wstring& text, const wchar_t* caption, UINT flags) {
  if (state.services.messageBox) return state.services.messageBox(state.window(), text, caption, flags);
  return widgets::MsgBox(state.window(), text.c_str(), caption, flags);
}

void LayOutDialog(DialogState& state) {
  RECT client{};
  GetClientRect(state.window(), &client);
  const kit::FontSet& f = state.fonts.get();
  kit::WindowDc dc(state.window());
  DialogTextWidths text;
  text.browse = kit::TextWidth(dc.get(), f.body, i18n::Translate(L"찾아보기…"));
  text.openFolder = kit::TextWidth(dc.get(), f.body, i18n::Translate(L"폴더 열기"));
  text.vsCode = kit::TextWidth(dc.get(), f.body, i18n::Translate(L"VS Code 열기"));
  for (const wchar_t* name : kCategoryNames) {
    text.categoryName = std::max(text.categoryName, kit::TextWidth(dc.get(), f.body, i18n::Translate(name)));
  }
  text.entriesLabel = kit::TextWidth(dc.get(), f.bold, i18n::Translate(L"내용"));
  text.addDate = kit::TextWidth(dc.get(), f.semibold, i18n::Translate(L"+ 날짜 추가"));
  text.expandAll = kit::TextWidth(dc.get(), f.body, i18n::Translate(L"모두 펼치기"));
  text.collapseAll = kit::TextWidth(dc.get(), f.body, i18n::Translate(L"모두 접기"));
  text.completed = kit::TextWidth(dc.get(), f.body, i18n::Translate(L"완료된 프로젝트"));
  text.lineHeight = kit::LineHeight(dc.get(), f.body);
  state.layout = LayoutDialog(client.right, client.bottom, state.dpi(), state.isNew,
                              state.child(kVsCodeId) != nullptr, text);
  const DialogLayout& l = state.layout;

  struct Placement {
    int id;
    const RECT* rect;
  };
  const Placement placements[] = {
      {kTitleId, &l.titleEdit},         {kLocationId, &l.locationEdit},   {kBrowseId, &l.browse},
      {kOpenFolderId, &l.openFolder},   {kVsCodeId, &l.vsCode},           {kStartPickerId, &l.startPicker},
      {kEndPickerId, &l.endPicker},     {kCompletedId, &l.completed},     {kAddPickerId, &l.addPicker},
      {kAddDateId, &l.addDate},         {kExpandAllId, &l.expandAll},     {kCollapseAllId, &l.collapseAll},
      {kPanelId, &l.panel},             {kDeleteId, &l.deleteButton},     {kExportId, &l.exportButton},
      {kCancelId, &l.cancelButton},     {kSaveId, &l.saveButton},
  };
  auto move = [&](int id, const RECT& r) { kit::PlaceChild(state.child(id), r); };
  for (const Placement& p : placements) move(p.id, *p.rect);
  for (int i = 0; i < 3; ++i) move(kFirstCategoryId + i, l.categories[i]);
  for (int i = 0; i < kPaletteSize; ++i) move(kFirstSwatchId + i, l.swatches[i]);
  InvalidateRect(state.window(), nullptr, FALSE);
}

void AddDateFromPicker(DialogState& state) {
  Date date = PickerDate(state.child(kAddPickerId));
  if (!dates::IsValid(date)) date = state.today();
  entrypanel::AddDate(state.panel, date);
}

void Save(DialogState& state) {
  if (!AcceptAllCards(state)) return;
  Project collected = CollectProject(state.project, FieldsOf(state), state.today());
  switch (FirstRefusal(collected, [](const std::wstring& folder) { return fileio::FolderExists(folder); })) {
    case Refusal::kTitleEmpty: Refuse(state, L"프로젝트 제목을 입력해 주세요.", L"제목 필요", kTitleId); return;
    case Refusal::kEndBeforeStart:
      Refuse(state, L"종료일은 시작일과 같거나 이후여야 합니다.", L"날짜 확인", kEndPickerId);
      return;
    case Refusal::kFolderMissing: {
      std::wstring text = i18n::Translate(L"프로젝트 위치 폴더가 존재하지 않습니다.\n") + collected.location +
                          i18n::Translate(L"\n\n그래도 저장하시겠습니까?");
      if (Ask(state, text, i18n::Translate(L"폴더 확인"), MB_YESNO | MB_ICONQUESTION) != IDYES) {
        SetFocus(state.child(kLocationId));
        return;
      }
      break;
    }
    case Refusal::kNone: break;
  }
  state.project = std::move(collected);
  state.result = kSaved;
  state.done = true;
}

void Close(DialogState& state) {
  if (!state.dirty) {
    state.result = kClosed;
    state.done = true;
    return;
  }
  switch (Ask(state, i18n::Translate(L"변경한 내용을 저장하시겠습니까?"), L"Tavrilo", MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: Save(state); return;
    case IDNO:
      state.result = kClosed;
      state.done = true;
      return;
    default: return;
  }
}

LRESULT DialogState::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE: return OnCreate(*this);
    case WM_SIZE: LayOutDialog(*this); return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      info->ptMinTrackSize = kit::MinTrackSizeWithin(kMinTrackWidth, kMinTrackHeight, dpi(), kit::WorkAreaNear(window()));
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      kit::DoubleBufferedPaint paint(window());
      PaintDialog(*this, paint.dc(), paint.client());
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT client{};
      GetClientRect(window(), &client);
      PaintDialog(*this, reinterpret_cast<HDC>(wparam), client);
      return 0;
    }
    case WM_COMMAND: OnCommand(*this, LOWORD(wparam), HIWORD(wparam)); return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header != nullptr && header->code == DTN_DATETIMECHANGE &&
          (header->idFrom == kStartPickerId || header->idFrom == kEndPickerId)) {
        SetDirty(*this);
      }
      return 0;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (DrawDialogItem(*this, item) || kit::DrawKitButton(item)) return TRUE;
      break;
    }
    case WM_LBUTTONDOWN: OnLeftButtonDown(*this, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}); return 0;
    case WM_CTLCOLOREDIT:
      SetTextColor(reinterpret_cast<HDC>(wparam), kit::color::kText);
      SetBkColor(reinterpret_cast<HDC>(wparam), kit::color::kWhite);
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    case WM_CTLCOLORSTATIC: {
      static kit::UniqueBrush windowBrush(CreateSolidBrush(kit::color::kWindow));
      SetBkColor(reinterpret_cast<HDC>(wparam), kit::color::kWindow);
      return reinterpret_cast<LRESULT>(windowBrush.get());
    }
    case WM_DPICHANGED: OnDpiChanged(*this, HIWORD(wparam), reinterpret_cast<const RECT*>(lparam)); return 0;
    case WM_CLOSE: Close(*this); return 0;
    default: break;
  }
  return DefaultProc(message, wparam, lparam);
}

DialogState* StateOf(HWND dialog) { return DialogState::FromWindow(dialog); }

}  // namespace projectdlg
