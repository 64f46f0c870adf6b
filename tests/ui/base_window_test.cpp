// The window-state template: the state is handed over at creation, freed with the
// window, and no failure leaves a half-built window or a leaked state behind.
#include "ui/kit/base_window.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

enum class OnCreate { kSucceed, kFail, kThrow };

struct Counters {
  int alive = 0;
  int creates = 0;
  int destroys = 0;
};

class ProbeWindow : public kit::BaseWindow<ProbeWindow> {
 public:
  ProbeWindow(Counters& counters, OnCreate onCreate) : counters_(counters), onCreate_(onCreate) { ++counters_.alive; }
  ~ProbeWindow() { --counters_.alive; }

  bool throwOnPaint = false;
  bool throwOnUser = false;

 private:
  friend class kit::BaseWindow<ProbeWindow>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_CREATE:
        ++counters_.creates;
        if (onCreate_ == OnCreate::kThrow) throw std::runtime_error("no resources");
        return onCreate_ == OnCreate::kFail ? -1 : 0;
      case WM_DESTROY:
        ++counters_.destroys;
        return 0;
      case WM_PAINT:
        if (throwOnPaint) throw std::runtime_error("paint failed");
        break;
      case WM_APP:
        if (throwOnUser) throw std::logic_error("handler failed");
        return 42;
      default:
        break;
    }
    return DefaultProc(message, wparam, lparam);
  }

  Counters& counters_;
  OnCreate onCreate_;
};

constexpr wchar_t kProbeClass[] = L"TavriloProbeWindow";

HWND CreateProbe(Counters& counters, OnCreate onCreate, ProbeWindow** state = nullptr) {
  EXPECT_TRUE(ProbeWindow::Register(ProbeWindow::ClassInfo(GetModuleHandleW(nullptr), kProbeClass)));
  auto probe = std::make_unique<ProbeWindow>(counters, onCreate);
  if (state != nullptr) *state = probe.get();
  kit::WindowCreateArgs args;
  args.className = kProbeClass;
  args.style = WS_OVERLAPPEDWINDOW;
  args.width = 200;
  args.height = 120;
  return ProbeWindow::Create(std::move(probe), args);
}

TEST(BaseWindow, StateLivesExactlyAsLongAsItsWindow) {
  Counters counters;
  ProbeWindow* state = nullptr;
  HWND window = CreateProbe(counters, OnCreate::kSucceed, &state);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(counters.alive, 1);
  EXPECT_EQ(ProbeWindow::FromWindow(window), state);
  EXPECT_EQ(state->window(), window);
  EXPECT_EQ(SendMessageW(window, WM_APP, 0, 0), 42) << "messages reach the member handler";

  EXPECT_TRUE(ProbeWindow::Register(ProbeWindow::ClassInfo(GetModuleHandleW(nullptr), kProbeClass)))
      << "registering twice is not a failure";
  DestroyWindow(window);
  EXPECT_EQ(counters.destroys, 1);
  EXPECT_EQ(counters.alive, 0) << "freed at WM_NCDESTROY";
  EXPECT_EQ(ProbeWindow::FromWindow(window), nullptr);
}

TEST(BaseWindow, FailedOrThrowingCreationLeavesNoWindowAndNoState) {
  for (OnCreate how : {OnCreate::kFail, OnCreate::kThrow}) {
    Counters counters;
    HWND window = CreateProbe(counters, how);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(counters.creates, 1) << "WM_CREATE ran";
    EXPECT_EQ(counters.alive, 0) << "the state was freed";
    EXPECT_EQ(FindWindowW(kProbeClass, nullptr), nullptr) << "no half-built window stays";
  }
}

TEST(BaseWindow, StateIsFreedWhenTheWindowNeverTakesIt) {
  Counters counters;
  auto probe = std::make_unique<ProbeWindow>(counters, OnCreate::kSucceed);
  kit::WindowCreateArgs args;
  args.className = L"TavriloNoSuchClass";
  EXPECT_EQ(ProbeWindow::Create(std::move(probe), args), nullptr);
  EXPECT_EQ(counters.alive, 0);
  EXPECT_EQ(ProbeWindow::Create(nullptr, args), nullptr) << "no state, no window";
}

TEST(BaseWindow, ExceptionsStopAtTheWindowProcedure) {
  Counters counters;
  ProbeWindow* state = nullptr;
  HWND window = CreateProbe(counters, OnCreate::kSucceed, &state);
  ASSERT_NE(window, nullptr);
  state->throwOnUser = true;
  EXPECT_EQ(SendMessageW(window, WM_APP, 0, 0), 0) << "the default handling answers instead";

  state->throwOnPaint = true;
  ShowWindow(window, SW_SHOWNA);
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
  RECT update{};
  EXPECT_FALSE(GetUpdateRect(window, &update, FALSE)) << "a failed paint validates, so it is not asked again at once";
  DestroyWindow(window);
  EXPECT_EQ(counters.alive, 0);
}

TEST(BaseWindow, FromWindowIgnoresOtherClasses) {
  HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  SetWindowLongPtrW(other, GWLP_USERDATA, 0x1234);
  EXPECT_EQ(ProbeWindow::FromWindow(other), nullptr);
  EXPECT_EQ(ProbeWindow::FromWindow(nullptr), nullptr);
  DestroyWindow(other);
  EXPECT_EQ(ProbeWindow::FromWindow(other), nullptr) << "a destroyed window";
}

}  // namespace
