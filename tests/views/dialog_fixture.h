// What the entry panel and project dialog tests share: the panel in a plain parent that
// counts change notifications, scripted answers for message boxes, and PNG helpers.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <deque>
#include <string>
#include <vector>

#include "support/pixel_canvas.h"
#include "support/ui_env.h"
#include "ui/kit/fonts.h"
#include "ui/kit/gdi.h"
#include "ui/kit/gdiplus_include.h"
#include "views/entry_panel.h"
#include "views/entry_panel_state.h"

namespace dlgtest {

inline Entry MakeEntry(Date date, std::wstring text, std::vector<std::wstring> tags = {},
                       std::vector<std::wstring> attachments = {}) {
  Entry e;
  e.date = date;
  e.text = std::move(text);
  e.tags = std::move(tags);
  e.attachments = std::move(attachments);
  return e;
}

// The shell and WIC objects the dialog uses need COM on the test's thread.
struct ComScope : kit::ComApartment {
  ComScope() : kit::ComApartment(COINIT_APARTMENTTHREADED) {}
};

// Message boxes answered from a script; every question is recorded.
struct ScriptedBoxes {
  struct Question {
    std::wstring text;
    std::wstring caption;
    UINT flags;
  };
  std::vector<Question> asked;
  std::deque<int> answers;  // empty: IDNO for yes/no boxes, IDOK otherwise

  int operator()(HWND, const std::wstring& text, const std::wstring& caption, UINT flags) {
    asked.push_back({text, caption, flags});
    if (!answers.empty()) {
      int answer = answers.front();
      answers.pop_front();
      return answer;
    }
    return (flags & 0xF) == MB_YESNO || (flags & 0xF) == MB_YESNOCANCEL ? IDNO : IDOK;
  }
};

inline std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

inline void Type(HWND edit, const std::wstring& text) {
  for (wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 0);
}

// The messages a key press gives after TranslateMessage.
inline void Key(HWND window, WPARAM key) {
  SendMessageW(window, WM_KEYDOWN, key, 0);
  if (key == VK_BACK || key == VK_RETURN) SendMessageW(window, WM_CHAR, key == VK_BACK ? L'\b' : L'\r', 0);
  SendMessageW(window, WM_KEYUP, key, 0);
}

inline POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

inline void Click(HWND window, POINT p) {
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

// Writes a PNG of the given size, filled with one colour.
inline bool WritePng(const std::wstring& path, int width, int height) {
  Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
  Gdiplus::Graphics g(&bitmap);
  g.Clear(Gdiplus::Color(255, 120, 168, 232));
  Gdiplus::SolidBrush brush(Gdiplus::Color(255, 238, 156, 112));
  g.FillEllipse(&brush, width / 4, height / 4, width / 2, height / 2);
  UINT count = 0, size = 0;
  Gdiplus::GetImageEncodersSize(&count, &size);
  std::vector<BYTE> buffer(size);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  Gdiplus::GetImageEncoders(count, size, codecs);
  for (UINT i = 0; i < count; ++i) {
    if (std::wstring(codecs[i].MimeType) == L"image/png") {
      return bitmap.Save(path.c_str(), &codecs[i].Clsid, nullptr) == Gdiplus::Ok;
    }
  }
  return false;
}

// The panel in a visible top-level parent that plays the dialog's part.
class PanelHost {
 public:
  explicit PanelHost(int width = 640, int height = 520, int dpi = 96) : fonts_((testui::EnsureUi(), dpi)) {
    testui::RegisterTestClass(L"TavriloPanelTestParent", ParentProc);
    entrypanel::RegisterEntryPanelClass(GetModuleHandleW(nullptr));
    services.messageBox = [this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) {
      return boxes(owner, text, caption, flags);
    };
    services.reveal = [this](HWND, const std::wstring& folder, const std::wstring& file) {
      revealed.emplace_back(folder, file);
      return true;
    };
    parent_ = CreateWindowExW(WS_EX_CONTROLPARENT, L"TavriloPanelTestParent", L"Panel test",
                              WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, width, height, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
    panel_ = entrypanel::CreateEntryPanel(parent_, &fonts_.get(), &services);
    entrypanel::SetFixedToday(panel_, Date{2026, 3, 18});
    MoveWindow(panel_, 0, 0, width, height, TRUE);
  }
  ~PanelHost() {
    if (IsWindow(parent_)) DestroyWindow(parent_);
  }
  PanelHost(const PanelHost&) = delete;
  PanelHost& operator=(const PanelHost&) = delete;

  HWND panel() const { return panel_; }
  HWND parent() const { return parent_; }
  const entrypanel::PanelState& state() const { return *entrypanel::StateOf(panel_); }
  entrypanel::EntryCard& card(size_t i) const { return *const_cast<entrypanel::PanelState&>(state()).cards.at(i); }

  // Paints the panel and prints its visible child controls over it.
  void Shoot(const std::wstring& name) const {
    RECT client{};
    GetClientRect(panel_, &client);
    testui::PixelCanvas canvas(client.right, client.bottom);
    entrypanel::PaintTo(panel_, canvas.dc());
    PrintChildren(panel_, canvas.dc());
    canvas.Save(name);
  }

  static void PrintChildren(HWND window, HDC dc) {
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      if (!IsWindowVisible(child)) continue;
      RECT r{};
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
      POINT old{};
      SetViewportOrgEx(dc, r.left, r.top, &old);
      SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
      SetViewportOrgEx(dc, old.x, old.y, nullptr);
    }
  }

  entrypanel::Services services;
  ScriptedBoxes boxes;
  std::vector<std::pair<std::wstring, std::wstring>> revealed;
  int changes = 0;

 private:
  static LRESULT CALLBACK ParentProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NCCREATE) {
      SetWindowLongPtrW(w, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* self = reinterpret_cast<PanelHost*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (m == WM_COMMAND && self != nullptr && LOWORD(wp) == entrypanel::kEntryPanelId &&
        HIWORD(wp) == entrypanel::kChangedNotification) {
      ++self->changes;
      return 0;
    }
    if (m == WM_NCDESTROY) SetWindowLongPtrW(w, GWLP_USERDATA, 0);
    return DefWindowProcW(w, m, wp, lp);
  }

  kit::OwnedFontSet fonts_;
  HWND parent_ = nullptr;
  HWND panel_ = nullptr;
};

}  // namespace dlgtest
