// The message box as a real modal window: its buttons, keys and closing values, what it
// does to its owner, its long-text form, and the fall-back to the system box.
#include <gtest/gtest.h>

#include "i18n/language.h"
#include "resources/resource_ids.h"
#include "ui/kit/msgbox.h"
#include "ui_test_util.h"

namespace {

using testui::BoxButtons;
using testui::BoxDriver;
using testui::HostWindow;

struct LanguageScope {
  int saved = i18n::ConfiguredLanguage();
  explicit LanguageScope(int language) { i18n::SetLanguage(language); }
  ~LanguageScope() { i18n::SetLanguage(saved); }
};

// Opens a box over the owner, lets the action run on it and returns the box's result.
int RunBox(HWND owner, UINT flags, std::function<void(HWND)> action, const wchar_t* text = L"내용을 확인하세요.") {
  testui::EnsureUi();
  BoxDriver driver(std::move(action));
  int result = widgets::MsgBox(owner, text, L"Tavrilo", flags);
  EXPECT_TRUE(driver.acted()) << "the box never showed";
  EXPECT_FALSE(driver.forcedClose()) << "the action did not end the box";
  return result;
}

void Key(HWND box, WPARAM key) {
  HWND target = GetFocus();
  PostMessageW(target != nullptr ? target : box, WM_KEYDOWN, key, 0);
  PostMessageW(target != nullptr ? target : box, WM_KEYUP, key, 0xC0000000);
}

void Close(HWND box) { PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); }

TEST(MsgBoxWindow, ClosingGivesTheSetsClosingValue) {
  HostWindow owner(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  EXPECT_EQ(RunBox(owner.hwnd, MB_YESNO | MB_ICONQUESTION, Close), IDNO);
  EXPECT_EQ(RunBox(owner.hwnd, MB_OKCANCEL | MB_ICONWARNING, Close), IDCANCEL);
  EXPECT_EQ(RunBox(owner.hwnd, MB_ABORTRETRYIGNORE, Close), IDOK) << "unknown sets are a single OK";
}

TEST(MsgBoxWindow, ButtonsAreTranslatedAndClickable) {
  HostWindow owner(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  for (int language : {i18n::kKorean, i18n::kEnglish}) {
    LanguageScope scope(language);
    std::vector<std::wstring> texts;
    int result = RunBox(owner.hwnd, MB_YESNOCANCEL | MB_ICONQUESTION, [&](HWND box) {
      auto buttons = BoxButtons(box);
      for (HWND b : buttons) texts.push_back(testui::WindowText(b));
      ASSERT_EQ(buttons.size(), 3u);
      EXPECT_EQ(kit::KitButtonStyle(buttons[0]), kit::kButtonPrimary);
      EXPECT_EQ(kit::KitButtonStyle(buttons[1]), kit::kButtonSecondary);
      RECT a, b;
      GetWindowRect(buttons[0], &a);
      GetWindowRect(buttons[2], &b);
      EXPECT_LT(a.left, b.left) << "display order follows the set";
      SendMessageW(buttons[1], BM_CLICK, 0, 0);
    });
    EXPECT_EQ(result, IDNO);
    if (language == i18n::kKorean) {
      EXPECT_EQ(texts, (std::vector<std::wstring>{L"예", L"아니요", L"취소"}));
    } else {
      EXPECT_EQ(texts, (std::vector<std::wstring>{L"Yes", L"No", L"Cancel"}));
    }
  }
}

TEST(MsgBoxWindow, DefaultButtonHasFocusAndEnterClicksTheFocusedOne) {
  HostWindow owner(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND focused = nullptr;
  std::vector<HWND> buttons;
  EXPECT_EQ(RunBox(owner.hwnd, MB_YESNOCANCEL | MB_DEFBUTTON2,
                   [&](HWND box) {
                     buttons = BoxButtons(box);
                     focused = GetFocus();
                     Key(box, VK_RETURN);
                   }),
            IDNO);
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_EQ(focused, buttons[1]);

  EXPECT_EQ(RunBox(owner.hwnd, MB_OKCANCEL, [](HWND box) { Key(box, VK_RETURN); }), IDOK);
  EXPECT_EQ(RunBox(owner.hwnd, MB_YESNO | MB_DEFBUTTON4, [](HWND box) { Key(box, VK_RETURN); }), IDNO)
      << "a default beyond the last button means the last";
  // Tab moves the focus to the next button; Enter then takes that one, not the default.
  EXPECT_EQ(RunBox(owner.hwnd, MB_OKCANCEL,
                   [](HWND box) {
                     Key(box, VK_TAB);
                     PostMessageW(box, WM_NULL, 0, 0);
                     SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR id, DWORD) {
                       KillTimer(nullptr, id);
                       HWND b = testui::FindMsgBox();
                       if (b != nullptr) Key(b, VK_RETURN);
                     });
                   }),
            IDCANCEL);
}

TEST(MsgBoxWindow, EscapeCancelsOrCloses) {
  HostWindow owner(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  EXPECT_EQ(RunBox(owner.hwnd, MB_YESNOCANCEL, [](HWND box) { Key(box, VK_ESCAPE); }), IDCANCEL);
  EXPECT_EQ(RunBox(owner.hwnd, MB_YESNO, [](HWND box) { Key(box, VK_ESCAPE); }), IDNO)
      << "without a cancel button Escape means closing";
}

TEST(MsgBoxWindow, OwnerIsTheRootAndIsDisabledWhileOpen) {
  HostWindow owner(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 400);
  HWND child = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20, owner.hwnd, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  bool enabledWhileOpen = true;
  HWND boxOwner = nullptr;
  LONG_PTR exStyle = 0, style = 0;
  POINT boxCentre{}, ownerCentre{};
  RunBox(child, MB_OK | MB_ICONINFORMATION, [&](HWND box) {
    enabledWhileOpen = IsWindowEnabled(owner.hwnd) != FALSE;
    boxOwner = GetWindow(box, GW_OWNER);
    exStyle = GetWindowLongPtrW(box, GWL_EXSTYLE);
    style = GetWindowLongPtrW(box, GWL_STYLE);
    RECT b, o;
    GetWindowRect(box, &b);
    GetWindowRect(owner.hwnd, &o);
    boxCentre = {(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    ownerCentre = {(o.left + o.right) / 2, (o.top + o.bottom) / 2};
    Close(box);
  });
  EXPECT_FALSE(enabledWhileOpen);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd)) << "enabled again afterwards";
  EXPECT_EQ(boxOwner, owner.hwnd) << "a child control's top-level window owns the box";
  EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
  EXPECT_TRUE(exStyle & WS_EX_CONTROLPARENT);
  EXPECT_FALSE(exStyle & WS_EX_TOPMOST) << "a visible owner keeps the box in its own z-order";
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_CLIPCHILDREN);
  EXPECT_LE(std::abs(boxCentre.x - ownerCentre.x), 1);
  EXPECT_LE(std::abs(boxCentre.y - ownerCentre.y), 1);
  EXPECT_EQ(testui::FindMsgBox(), nullptr) << "the box is destroyed";

  // An owner that was disabled by someone else stays disabled.
  EnableWindow(owner.hwnd, FALSE);
  RunBox(owner.hwnd, MB_OK, Close);
  EXPECT_FALSE(IsWindowEnabled(owner.hwnd));
  EnableWindow(owner.hwnd, TRUE);
}

TEST(MsgBoxWindow, WithoutAVisibleOwnerTheBoxStaysOnTop) {
  HostWindow hidden;  // never shown
  for (HWND owner : {static_cast<HWND>(nullptr), hidden.hwnd}) {
    LONG_PTR exStyle = 0;
    RunBox(owner, MB_OK, [&](HWND box) {
      exStyle = GetWindowLongPtrW(box, GWL_EXSTYLE);
      Close(box);
    });
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_APPWINDOW);
  }
}

TEST(MsgBoxWindow, QuitMessageEndsTheBoxAndIsPostedAgain) {
  HostWindow owner(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  EXPECT_EQ(RunBox(owner.hwnd, MB_YESNO, [](HWND) { PostQuitMessage(7); }), IDNO);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd));
}

TEST(MsgBoxWindow, IconResourceTakesTheSymbolsPlace) {
  testui::EnsureUi();
  HostWindow owner(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  auto clientWidth = [&](int iconId) {
    int width = 0;
    BoxDriver driver([&](HWND box) {
      RECT r;
      GetClientRect(box, &r);
      width = r.right;
      Close(box);
    });
    widgets::MsgBox(owner.hwnd, L"짧은 글", L"Tavrilo", MB_OK, iconId);
    return width;
  };
  int plain = clientWidth(0);
  EXPECT_EQ(clientWidth(IDI_APP) - plain, 56) << "the icon column: 40 px and a 16-px gap";
  EXPECT_EQ(clientWidth(999), plain) << "an icon that cannot be loaded takes no room";
}

struct LongForm {
  bool hasEdit = false;
  LONG editStyle = 0;
  std::wstring editText;
  LONG boxStyle = 0;
  int result = 0;
};

LongForm OpenLong(HWND owner, const std::wstring& text, HBITMAP picture, int bitmapId) {
  testui::EnsureUi();
  LongForm form;
  BoxDriver driver([&](HWND box) {
    form.boxStyle = GetWindowLongW(box, GWL_STYLE);
    if (HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr); edit != nullptr) {
      form.hasEdit = true;
      form.editStyle = GetWindowLongW(edit, GWL_STYLE);
      std::wstring buffer(GetWindowTextLengthW(edit) + 1, L'\0');
      buffer.resize(GetWindowTextW(edit, buffer.data(), static_cast<int>(buffer.size())));
      form.editText = buffer;
      SetFocus(edit);
    }
    Key(box, VK_RETURN);
  });
  form.result = picture != nullptr || bitmapId == 0
                    ? widgets::MsgBoxWithPicture(owner, text.c_str(), L"Tavrilo", MB_OKCANCEL | MB_DEFBUTTON2, picture)
                    : widgets::MsgBox(owner, text.c_str(), L"Tavrilo", MB_OKCANCEL | MB_DEFBUTTON2, 0, bitmapId);
  return form;
}

TEST(MsgBoxWindow, LongTextFormUsesAReadOnlyEdit) {
  HostWindow owner(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  LongForm small = OpenLong(owner.hwnd, L"첫 줄\n둘째 줄\r\n셋째 줄", nullptr, 0);
  ASSERT_TRUE(small.hasEdit);
  EXPECT_EQ(small.editText, L"첫 줄\r\n둘째 줄\r\n셋째 줄");
  EXPECT_TRUE(small.editStyle & ES_READONLY);
  EXPECT_TRUE(small.editStyle & ES_MULTILINE);
  EXPECT_FALSE(small.editStyle & WS_VSCROLL) << "three lines fit";
  EXPECT_FALSE(small.boxStyle & WS_CLIPCHILDREN);
  EXPECT_EQ(small.result, IDCANCEL) << "Enter in the text takes the default button";

  std::wstring many;
  for (int i = 0; i < 80; ++i) many += L"업데이트 내역 " + std::to_wstring(i) + L"\n";
  LongForm big = OpenLong(owner.hwnd, many, nullptr, 0);
  EXPECT_TRUE(big.editStyle & WS_VSCROLL);

  // The About picture is a resource of the program; a bitmap id that names nothing
  // still gives the long form, only without a picture.
  LongForm about = OpenLong(owner.hwnd, L"정보", nullptr, IDB_ABOUT_PREVIEW);
  EXPECT_TRUE(about.hasEdit);
  EXPECT_TRUE(about.boxStyle & WS_CLIPCHILDREN);
  LongForm missing = OpenLong(owner.hwnd, L"정보", nullptr, 999);
  EXPECT_TRUE(missing.hasEdit);
  EXPECT_FALSE(missing.boxStyle & WS_CLIPCHILDREN);

  testui::PixelCanvas picture(300, 200, RGB(120, 160, 220));
  LongForm withPicture = OpenLong(owner.hwnd, L"정보", picture.bitmap(), 0);
  EXPECT_TRUE(withPicture.hasEdit);
  EXPECT_TRUE(withPicture.boxStyle & WS_CLIPCHILDREN);
}

TEST(MsgBoxWindow, ModelessBoxLeavesTheOwnerEnabledAndDestroysItself) {
  testui::EnsureUi();
  HostWindow owner(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  auto open = [&] {
    HWND box = widgets::CreateModelessMsgBox(owner.hwnd, L"2026-11-22\n\nTavrilo 1.9.2\n• 줄", L"업데이트 내역",
                                             MB_ICONINFORMATION, IDI_APP);
    EXPECT_NE(box, nullptr);
    EXPECT_FALSE(IsWindowVisible(box)) << "the caller shows it";
    ShowWindow(box, SW_SHOW);
    return box;
  };

  HWND box = open();
  EXPECT_EQ(GetWindow(box, GW_OWNER), owner.hwnd);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd)) << "a modeless box does not disable its owner";
  EXPECT_NE(FindWindowExW(box, nullptr, L"Edit", nullptr), nullptr) << "always the long-text form";
  HWND ok = GetDlgItem(box, IDOK);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(kit::KitButtonStyle(ok), kit::kButtonPrimary);
  SendMessageW(box, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(box)) << "closing destroys it at once";

  box = open();
  SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindow(box));

  box = open();
  SetFocus(GetDlgItem(box, IDOK));
  MSG escape{GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
  EXPECT_TRUE(IsDialogMessageW(box, &escape));
  EXPECT_FALSE(IsWindow(box)) << "Escape through the dialog rules";
  testui::PumpMessages();
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd));
}

// Blocks the creation of the kit's box so that the system box has to stand in.
HHOOK g_hook = nullptr;
HWND g_systemBox = nullptr;

LRESULT CALLBACK BlockKitBox(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND) {
    auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lparam);
    const wchar_t* name = create->lpcs->lpszClass;
    if (!IS_INTRESOURCE(name) && lstrcmpW(name, L"QuenlorMsgBox") == 0) return 1;
    wchar_t actual[32] = {};
    GetClassNameW(reinterpret_cast<HWND>(wparam), actual, 32);
    if (lstrcmpW(actual, L"#32770") == 0 && create->lpcs->hwndParent == nullptr) {
      g_systemBox = reinterpret_cast<HWND>(wparam);
    }
  }
  return CallNextHookEx(g_hook, code, wparam, lparam);
}

TEST(MsgBoxWindow, FallsBackToTheSystemBoxWhenCreationFails) {
  testui::EnsureUi();
  g_systemBox = nullptr;
  g_hook = SetWindowsHookExW(WH_CBT, BlockKitBox, nullptr, GetCurrentThreadId());
  ASSERT_NE(g_hook, nullptr);
  UINT_PTR timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
    if (g_systemBox != nullptr && IsWindowVisible(g_systemBox)) {
      PostMessageW(g_systemBox, WM_COMMAND, IDCANCEL, 0);
    }
  });
  int result = widgets::MsgBox(nullptr, L"시스템 상자", L"Tavrilo", MB_OKCANCEL);
  KillTimer(nullptr, timer);
  UnhookWindowsHookEx(g_hook);
  EXPECT_NE(g_systemBox, nullptr) << "the system message box was shown";
  EXPECT_EQ(result, IDCANCEL);

  // The modeless box has no stand-in: the caller learns that it could not be opened.
  g_hook = SetWindowsHookExW(WH_CBT, BlockKitBox, nullptr, GetCurrentThreadId());
  HWND modeless = widgets::CreateModelessMsgBox(nullptr, L"내역", L"Tavrilo", MB_ICONINFORMATION);
  UnhookWindowsHookEx(g_hook);
  EXPECT_EQ(modeless, nullptr);
}

}  // namespace
