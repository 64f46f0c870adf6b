// Renders every piece of the drawing kit to PNG files under build/screenshots/ so that a
// person can look at them: buttons in every style and state, menus, the flat date picker
// and each kind of message box in Korean and English.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "i18n/language.h"
#include "i18n/translate.h"
#include "resources/resource_ids.h"
#include "ui/kit/colors.h"
#include "ui/kit/date_picker.h"
#include "ui/kit/draw.h"
#include "ui/kit/fonts.h"
#include "ui/kit/msgbox.h"
#include "ui/kit/snapshot.h"
#include "ui_test_util.h"

namespace {

using i18n::FormatText;
using i18n::Translate;

struct LanguageScope {
  int saved = i18n::ConfiguredLanguage();
  explicit LanguageScope(int language) { i18n::SetLanguage(language); }
  ~LanguageScope() { i18n::SetLanguage(saved); }
};

const wchar_t* Suffix(int language) { return language == i18n::kKorean ? L"ko" : L"en"; }

void Label(HDC dc, HFONT font, int x, int y, const std::wstring& text, COLORREF color = kit::color::kMutedText) {
  kit::SelectObjectScope select(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, color);
  RECT r{x, y, x + 400, y + 40};
  DrawTextW(dc, text.c_str(), -1, &r, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

// Copies a rectangle of the screen (screen coordinates).
bool SaveScreenRect(const RECT& r, const std::wstring& name) {
  testui::PumpMessages();
  testui::PixelCanvas canvas(r.right - r.left, r.bottom - r.top);
  kit::WindowDc screen(nullptr);
  BitBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), screen.get(), r.left, r.top, SRCCOPY);
  return canvas.Save(name);
}

RECT ClientOnScreen(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The menu bar and the client area below it, as shown on screen.
RECT BarAndClientOnScreen(HWND window) {
  RECT r = ClientOnScreen(window);
  MENUBARINFO bar{};
  bar.cbSize = sizeof(bar);
  if (GetMenuBarInfo(window, OBJID_MENU, 0, &bar)) UnionRect(&r, &r, &bar.rcBar);
  return r;
}

// Under Xvfb there is no window manager to draw frames, so the client area is taken from
// the screen and the caption is written in a band above it, to check its text.
bool SaveBoxPng(HWND box, const std::wstring& name, HFONT font) {
  testui::PumpMessages();
  RECT r = ClientOnScreen(box);
  const int band = 30;
  testui::PixelCanvas canvas(r.right - r.left, r.bottom - r.top + band, kit::Rgb(0xE9ECF2));
  kit::WindowDc screen(nullptr);
  BitBlt(canvas.dc(), 0, band, canvas.width(), canvas.height() - band, screen.get(), r.left, r.top, SRCCOPY);
  Label(canvas.dc(), font, 10, 7, testui::WindowText(box), kit::color::kText);
  return canvas.Save(name);
}

TEST(KitGallery, ButtonsInEveryStyleAndState) {
  testui::EnsureUi();
  for (int language : {i18n::kKorean, i18n::kEnglish}) {
    LanguageScope scope(language);
    kit::OwnedFontSet fonts(96);
    testui::HostWindow host;
    const int left = 150, top = 40, cellW = 112, cellH = 52;
    const COLORREF backgrounds[] = {kit::color::kWhite, kit::color::kWindow};
    const wchar_t* styleNames[] = {L"secondary", L"primary", L"danger", L"ghost"};
    const wchar_t* texts[] = {Translate(L"취소"), Translate(L"확인"), Translate(L"삭제"), Translate(L"모두 펼치기")};
    const wchar_t* stateNames[] = {L"normal", L"hot", L"pressed", L"disabled", L"focused"};
    testui::PixelCanvas canvas(left + 5 * cellW + 10, top + 8 * cellH + 10, kit::color::kWhite);
    for (int s = 0; s < 5; ++s) Label(canvas.dc(), fonts->small, left + s * cellW + 4, 14, stateNames[s]);
    int row = 0;
    for (COLORREF background : backgrounds) {
      for (int style = 0; style < 4; ++style, ++row) {
        int y = top + row * cellH;
        canvas.Fill(RECT{0, y, canvas.width(), y + cellH}, background);
        std::wstring name = std::wstring(styleNames[style]) + (background == kit::color::kWhite ? L" / white" : L" / #FAFBFD");
        Label(canvas.dc(), fonts->small, 10, y + 18, name);
        HWND button = kit::CreateKitButton(host.hwnd, 100 + row, texts[style], style, background);
        MoveWindow(button, 0, 0, 92, 34, FALSE);
        SendMessageW(button, WM_SETFONT,
                     reinterpret_cast<WPARAM>(style == kit::kButtonPrimary ? fonts->semibold : fonts->body), FALSE);
        const UINT states[] = {0, 0, ODS_SELECTED, ODS_DISABLED, ODS_FOCUS};
        for (int s = 0; s < 5; ++s) {
          if (s == 1) SendMessageW(button, WM_MOUSEMOVE, 0, 0);
          DRAWITEMSTRUCT item{};
          item.CtlType = ODT_BUTTON;
          item.itemState = states[s];
          item.hwndItem = button;
          item.hDC = canvas.dc();
          int x = left + s * cellW;
          item.rcItem = RECT{x, y + 9, x + 92, y + 43};
          ASSERT_TRUE(kit::DrawKitButton(item));
          if (s == 1) SendMessageW(button, WM_MOUSELEAVE, 0, 0);
        }
      }
    }
    EXPECT_TRUE(canvas.Save(std::wstring(L"kit_buttons_") + Suffix(language)));
  }
}

// The program's File menu and Language submenu, as the main window builds them.
kit::UniqueMenu FileMenu() {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, Translate(L"새 프로젝트 파일(&N)...\tCtrl+Shift+N"));
  AppendMenuW(menu, MF_STRING, 2, Translate(L"열기(&O)...\tCtrl+O"));
  AppendMenuW(menu, MF_STRING, 3, Translate(L"저장(&S)\tCtrl+S"));
  AppendMenuW(menu, MF_STRING | MF_GRAYED, 4, Translate(L"다른 이름으로 저장(&A)...\tCtrl+Shift+S"));
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, 5, Translate(L"프로젝트 가져오기(&I)..."));
  AppendMenuW(menu, MF_STRING, 6, Translate(L"프로젝트 내보내기(&E)..."));
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING | MF_CHECKED, 7, Translate(L"자동 저장(&U)"));
  AppendMenuW(menu, MF_STRING, 8, Translate(L"Windows 시작 시 자동 실행(&W)"));
  HMENU language = CreatePopupMenu();
  AppendMenuW(language, MF_STRING, 20, Translate(L"시스템 언어"));
  for (int i = 1; i < i18n::kLanguageCount; ++i) AppendMenuW(language, MF_STRING, 20 + i, i18n::kLanguageNativeNames[i]);
  CheckMenuRadioItem(language, 20, 26, 22, MF_BYCOMMAND);
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(language), Translate(L"언어(&L)"));
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, 9, Translate(L"종료(&X)"));
  return kit::UniqueMenu(menu);
}

// Lays the items of a converted popup out the way Windows does and paints them through
// the kit's own WM_MEASUREITEM / WM_DRAWITEM handling.
void RenderMenu(HMENU menu, int selected, bool bar, const std::wstring& name) {
  int count = GetMenuItemCount(menu);
  std::vector<MEASUREITEMSTRUCT> sizes(count);
  std::vector<MENUITEMINFOW> infos(count);
  UINT width = 0, height = 0;
  for (int i = 0; i < count; ++i) {
    infos[i].cbSize = sizeof(MENUITEMINFOW);
    infos[i].fMask = MIIM_DATA | MIIM_STATE | MIIM_ID | MIIM_FTYPE;
    GetMenuItemInfoW(menu, i, TRUE, &infos[i]);
    sizes[i].CtlType = ODT_MENU;
    sizes[i].itemData = infos[i].dwItemData;
    LRESULT r;
    ASSERT_TRUE(kit::HandleMenuMessage(nullptr, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&sizes[i]), r));
    if (bar) {
      width += sizes[i].itemWidth;
      height = std::max(height, sizes[i].itemHeight);
    } else {
      width = std::max(width, sizes[i].itemWidth);
      height += sizes[i].itemHeight;
    }
  }
  const int frame = bar ? 0 : 4;
  testui::PixelCanvas canvas(width + 2 * frame, height + 2 * frame, kit::color::kWhite);
  kit::UniqueBrush border(CreateSolidBrush(kit::color::kControlBorder));
  RECT all{0, 0, canvas.width(), canvas.height()};
  FrameRect(canvas.dc(), &all, border.get());
  int x = frame, y = frame;
  for (int i = 0; i < count; ++i) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemID = infos[i].wID;
    item.hwndItem = reinterpret_cast<HWND>(menu);
    item.hDC = canvas.dc();
    item.itemData = infos[i].dwItemData;
    int w = bar ? static_cast<int>(sizes[i].itemWidth) : static_cast<int>(width);
    int h = bar ? static_cast<int>(height) : static_cast<int>(sizes[i].itemHeight);
    item.rcItem = RECT{x, y, x + w, y + h};
    if (infos[i].fState & MFS_GRAYED) item.itemState |= ODS_GRAYED | ODS_DISABLED;
    if (infos[i].fState & MFS_CHECKED) item.itemState |= ODS_CHECKED;
    if (i == selected) item.itemState |= ODS_SELECTED;
    LRESULT r;
    ASSERT_TRUE(kit::HandleMenuMessage(nullptr, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item), r));
    (bar ? x : y) += bar ? w : h;
  }
  EXPECT_TRUE(canvas.Save(name));
}

TEST(KitGallery, PopupMenus) {
  testui::EnsureUi();
  kit::SetMenuFontSet(nullptr);
  for (int language : {i18n::kKorean, i18n::kEnglish}) {
    LanguageScope scope(language);
    kit::UniqueMenu menu = FileMenu();
    kit::MakeMenuOwnerDrawn(menu.get(), false);
    RenderMenu(menu.get(), 1, false, std::wstring(L"menu_popup_") + Suffix(language));
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_SUBMENU;
    GetMenuItemInfoW(menu.get(), 10, TRUE, &info);
    ASSERT_NE(info.hSubMenu, nullptr);
    RenderMenu(info.hSubMenu, 4, false, std::wstring(L"menu_language_") + Suffix(language));
    kit::ReleaseOwnerDrawnMenu(menu.get());

    kit::UniqueMenu bar(CreateMenu());
    for (const wchar_t* title : {L"파일(&F)", L"프로젝트(&P)", L"보기(&V)", L"검색(&S)", L"연동(&L)", L"설정(&T)", L"도움말(&H)"}) {
      AppendMenuW(bar.get(), MF_STRING, 0, Translate(title));
    }
    kit::MakeMenuOwnerDrawn(bar.get(), true);
    RenderMenu(bar.get(), 1, true, std::wstring(L"menu_bar_items_") + Suffix(language));
    kit::ReleaseOwnerDrawnMenu(bar.get());
  }
}

// The real thing: a menu bar on a window, and a popup opened with TrackPopupMenu and
// captured from the screen while it is open.
TEST(KitGallery, MenuBarAndOpenPopupOnScreen) {
  testui::EnsureUi();
  kit::SetMenuFontSet(nullptr);
  for (int language : {i18n::kKorean, i18n::kEnglish}) {
    LanguageScope scope(language);
    HMENU bar = CreateMenu();
    kit::UniqueMenu file = FileMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file.release()), Translate(L"파일(&F)"));
    for (const wchar_t* title : {L"프로젝트(&P)", L"보기(&V)", L"검색(&S)", L"연동(&L)", L"설정(&T)", L"도움말(&H)"}) {
      AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), Translate(title));
    }
    kit::MakeMenuOwnerDrawn(bar, true);
    testui::HostWindow host(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 720, 420, bar);
    host.background = kit::color::kWindow;
    DrawMenuBar(host.hwnd);
    SetForegroundWindow(host.hwnd);
    RedrawWindow(host.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    static std::wstring shotName;
    static bool captured;
    static HWND shotOwner;
    shotOwner = host.hwnd;
    shotName = std::wstring(L"menu_open_") + Suffix(language);
    captured = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR, DWORD) {
      HWND popup = FindWindowW(L"#32768", nullptr);
      if (popup != nullptr && IsWindowVisible(popup) && !captured) {
        captured = true;
        RECT r;
        GetWindowRect(popup, &r);
        // The popup sits over the window: take both so the menu is seen in place.
        RECT below = BarAndClientOnScreen(shotOwner);
        UnionRect(&r, &r, &below);
        SaveScreenRect(r, shotName);
      }
      if (captured) EndMenu();
    });
    RECT client;
    GetWindowRect(host.hwnd, &client);
    HMENU popup = GetSubMenu(bar, 0);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN, client.left + 30, client.top + 80, 0, host.hwnd, nullptr);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(captured) << "the popup menu never showed";

    testui::PumpMessages();
    RedrawWindow(host.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HiliteMenuItem(host.hwnd, bar, 1, MF_BYPOSITION | MF_HILITE);
    EXPECT_TRUE(SaveScreenRect(BarAndClientOnScreen(host.hwnd), std::wstring(L"menu_bar_") + Suffix(language)));
    kit::ReleaseOwnerDrawnMenu(bar);
  }
}

TEST(KitGallery, FlatDatePickers) {
  testui::EnsureUi();
  LanguageScope scope(i18n::kKorean);
  kit::OwnedFontSet fonts(96);
  testui::HostWindow host(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 520, 300);
  host.background = kit::color::kWindow;
  struct Picker {
    const wchar_t* label;
    DWORD style;
    bool enabled;
    bool none;
  };
  const Picker pickers[] = {{L"flat", 0, true, false},
                            {L"flat, optional date set", DTS_SHOWNONE, true, false},
                            {L"flat, optional date unchecked", DTS_SHOWNONE, true, true},
                            {L"disabled", 0, false, false},
                            {L"focused (system look)", 0, true, false}};
  HWND focused = nullptr;
  int y = 16;
  for (const Picker& p : pickers) {
    HWND label = CreateWindowExW(0, L"STATIC", p.label, WS_CHILD | WS_VISIBLE, 16, y + 6, 220, 22, host.hwnd, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(fonts->small), FALSE);
    HWND picker = CreateWindowExW(0, DATETIMEPICK_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | p.style, 240, y,
                                  230, 32, host.hwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(picker, WM_SETFONT, reinterpret_cast<WPARAM>(fonts->body), FALSE);
    SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(Translate(L"yyyy'년' M'월' d'일'")));
    SYSTEMTIME date{};
    date.wYear = 2025;
    date.wMonth = 6;
    date.wDay = 9;
    SendMessageW(picker, DTM_SETSYSTEMTIME, p.none ? GDT_NONE : GDT_VALID, reinterpret_cast<LPARAM>(&date));
    kit::ApplyFlatDatePicker(picker);
    if (!p.enabled) EnableWindow(picker, FALSE);
    focused = picker;
    y += 52;
  }
  SetForegroundWindow(host.hwnd);
  SetFocus(focused);
  RedrawWindow(host.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_TRUE(SaveScreenRect(ClientOnScreen(host.hwnd), L"date_picker_flat"));
}

// A stand-in for the About picture: a small drawing of the program's main window.
kit::UniqueBitmap AboutPicture() {
  kit::WindowDc screen(nullptr);
  kit::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), 640, 360));
  kit::UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
  {
    kit::SelectObjectScope select(dc.get(), bitmap.get());
    kit::FillSolidRect(dc.get(), RECT{0, 0, 640, 360}, kit::color::kWindow);
    kit::FillSolidRect(dc.get(), RECT{0, 0, 180, 360}, kit::color::kPanel);
    for (int i = 0; i < 6; ++i) {
      kit::FillRoundRect(dc.get(), RECT{14, 20 + i * 44, 166, 54 + i * 44}, 6, kit::color::kWhite);
      kit::FillCircle(dc.get(), 30, 37.0f + i * 44, 5, kit::ProjectColor(i).main);
    }
    for (int row = 0; row < 5; ++row) {
      for (int col = 0; col < 7; ++col) {
        RECT cell{196 + col * 62, 24 + row * 66, 252 + col * 62, 84 + row * 66};
        kit::FillRoundRect(dc.get(), cell, 6, kit::color::kWhite);
        if ((row * 7 + col) % 5 == 2) {
          kit::FillRoundRect(dc.get(), RECT{cell.left + 4, cell.top + 22, cell.right - 4, cell.top + 32}, 4,
                             kit::ProjectColor(row + col).light);
        }
      }
    }
  }
  return bitmap;
}

struct BoxShot {
  const wchar_t* name;
  UINT flags;
  std::wstring text;
  std::wstring caption;
  int iconId = 0;
  bool longText = false;
  bool picture = false;
};

std::vector<BoxShot> Shots() {
  std::wstring notes;
  const wchar_t* dates[] = {L"2025-06-09", L"2025-05-20", L"2025-04-02", L"2025-03-11"};
  const wchar_t* lines[] = {L"VS Code Codex의 새 대화 기록 형식을 지원하고 누락된 기록을 복구합니다.",
                            L"도움말에 프로그램 화면과 개발자 정보를 추가했습니다.",
                            L"업데이트 내역을 날짜별로 표시합니다.",
                            L"Quenlor의 이름을 Tavrilo로 변경했습니다.",
                            L"달력과 체크 표시를 조합한 로고를 적용했습니다.",
                            L"업데이트 프로그램에서 기존 설치를 업그레이드할 수 있습니다.",
                            L"시작할 때 버전과 업데이트 내역을 표시합니다.",
                            L"설정에서 Windows 표시 언어 또는 6개 언어를 선택할 수 있습니다.",
                            L"프로젝트에 태그, 검색, 구분과 색상 표시를 추가했습니다."};
  for (int d = 0; d < 4; ++d) {
    notes += std::wstring(dates[d]) + L"\n";
    for (int i = 0; i < 4; ++i) notes += std::wstring(L"  • ") + Translate(lines[(d * 2 + i) % 9]) + L"\n";
    notes += L"\n";
  }
  std::wstring about = std::wstring(L"Tavrilo 1.0.0") +
                       Translate(L"\n\n프로젝트 일정과 작업 내용을 캘린더로 관리하는 프로그램입니다.\n\n• 날짜를 더블클릭하여 새 프로젝트 등록\n• 목록을 클릭하면 캘린더에 표시, 더블클릭하면 관리\n• 일간 / 주간 / 월간 / 년간 보기 및 날짜 조회\n\n데이터 파일: ") +
                       L"C:\\Users\\user\\Documents\\Tavrilo\\Tavrilo.qlproj\n\n" +
                       FormatText(L"개발자: {0}\n이메일: {1}", {L"Tavrilo", L"hello@tavrilo.example"});
  return {
      {L"information", MB_OK | MB_ICONINFORMATION, FormatText(L"'{0}' 프로젝트를 저장했습니다.", {L"Tavrilo 2.0"}),
       Translate(L"프로젝트 관리")},
      {L"warning", MB_OK | MB_ICONWARNING,
       Translate(L"프로젝트 위치가 지정되지 않았습니다.\n'찾아보기'로 폴더를 먼저 선택하세요."), Translate(L"폴더 확인")},
      {L"error", MB_OK | MB_ICONERROR,
       std::wstring(Translate(L"프로젝트 파일을 저장하지 못했습니다.\n")) + Translate(L"파일이 너무 큽니다."),
       Translate(L"저장 실패")},
      {L"question", MB_YESNOCANCEL | MB_ICONQUESTION, Translate(L"변경 내용이 저장되지 않았습니다.\n저장하시겠습니까?"),
       L"Tavrilo"},
      {L"delete", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2,
       FormatText(L"'{0}' 프로젝트를 삭제하시겠습니까?\n삭제한 프로젝트는 되돌릴 수 없습니다.", {L"Tavrilo 2.0"}),
       Translate(L"프로젝트 삭제")},
      {L"wrapped", MB_OK | MB_ICONINFORMATION,
       Translate(L"시스템 트레이 아이콘을 만들지 못했습니다. 파일 > 종료를 사용해 주세요.") + std::wstring(L" ") +
           Translate(L"AI 기록 저장을 재시도합니다. 연동 메뉴에서 상태를 확인할 수 있습니다."),
       Translate(L"VS Code AI 연동 상태")},
      {L"long_text", MB_OK, notes, Translate(L"업데이트 내역"), 0, true},
      {L"long_picture", MB_OK, about, Translate(L"Tavrilo 정보"), IDI_APP, true, true},
  };
}

TEST(KitGallery, MessageBoxes) {
  testui::EnsureUi();
  testui::HostWindow owner(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 1000, 700);
  owner.background = kit::color::kPanel;
  kit::UniqueBitmap picture = AboutPicture();
  for (int language : {i18n::kKorean, i18n::kEnglish}) {
    LanguageScope scope(language);
    kit::OwnedFontSet fonts(96);
    for (const BoxShot& shot : Shots()) {
      std::wstring name = std::wstring(L"msgbox_") + shot.name + L"_" + Suffix(language);
      bool saved = false;
      testui::BoxDriver driver([&](HWND box) {
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        saved = SaveBoxPng(box, name, fonts->body);
        PostMessageW(box, WM_CLOSE, 0, 0);
      });
      if (shot.picture) {
        widgets::MsgBoxWithPicture(owner.hwnd, shot.text.c_str(), shot.caption.c_str(), shot.flags, picture.get(),
                                   shot.iconId);
      } else {
        widgets::MsgBox(owner.hwnd, shot.text.c_str(), shot.caption.c_str(), shot.flags, shot.iconId, 0, shot.longText);
      }
      EXPECT_TRUE(saved) << testing::PrintToString(name.size());
    }
  }
}

}  // namespace
