// Background launches as the main window tracks them: failures inside the task, the order
// and the owner check of polling, the launch copy and the texts of a result.
#include <gtest/gtest.h>

#include <future>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>

#include "i18n/language.h"
#include "support/eventually.h"
#include "support/language_scope.h"
#include "vscode/launch_tracker.h"

namespace {

using vscode::LaunchOrigin;
using vscode::LaunchResult;
using vscode::LaunchTracker;

HWND FakeHandle(uintptr_t value) { return reinterpret_cast<HWND>(value); }

TEST(VsCodeLaunchTask, ExceptionsBecomeFailedResults) {
  LaunchResult result = vscode::StartLaunchTask([]() -> LaunchResult {
                          throw std::runtime_error("\xEC\x9E\x91\xEC\x97\x85 \xEC\x8B\xA4\xED\x8C\xA8: disk");
                        }).get();
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message, L"작업 실패: disk") << "the exception's text read as UTF-8";

  testpaths::LanguageScope english(i18n::kEnglish);
  result = vscode::StartLaunchTask([]() -> LaunchResult { throw 42; }).get();
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.message.empty());

  result = vscode::StartLaunchTask([] { return LaunchResult{true, L"", true}; }).get();
  EXPECT_TRUE(result.ok);
  EXPECT_TRUE(result.reusedWindow);
}

TEST(VsCodeLaunchTracker, FinishedLaunchesAreTakenInOrderOnceTheirOwnerCanReport) {
  // Each launch waits for its own gate, named by the project's location.
  std::mutex lock;
  std::map<std::wstring, std::promise<void>> gates;
  std::map<std::wstring, std::shared_future<void>> opened;
  for (const wchar_t* name : {L"a", L"b", L"c"}) opened[name] = gates[name].get_future().share();
  LaunchTracker tracker([&](const Project& project) {
    std::shared_future<void> gate;
    {
      std::lock_guard<std::mutex> guard(lock);
      gate = opened.at(project.location);
    }
    gate.wait();
    if (project.location == L"b") throw std::runtime_error("b failed");
    return LaunchResult{true, L"", project.location == L"c"};
  });
  // A failed assertion must not leave the tracker waiting for a gate that never opens.
  struct ReleaseAll {
    std::map<std::wstring, std::promise<void>>& gates;
    ~ReleaseAll() {
      for (auto& gate : gates) {
        try {
          gate.second.set_value();
        } catch (const std::future_error&) {
        }
      }
    }
  } release{gates};
  const LaunchOrigin mainWindow{FakeHandle(0x10), nullptr};
  const LaunchOrigin dialog{FakeHandle(0x20), FakeHandle(0x21)};
  Project a, b, c;
  a.location = L"a";
  b.location = L"b";
  c.location = L"c";
  tracker.Start(mainWindow, a);
  tracker.Start(dialog, b);
  tracker.Start(mainWindow, c);
  EXPECT_EQ(tracker.pending(), 3u);

  auto everyone = [](const LaunchOrigin&) { return true; };
  EXPECT_TRUE(tracker.TakeFinished(everyone).empty()) << "nothing has finished";

  gates[L"c"].set_value();
  gates[L"b"].set_value();
  std::vector<vscode::FinishedLaunch> taken;
  // The dialog's owner is disabled (a message box is open over it): its result waits.
  auto dialogBusy = [&](const LaunchOrigin& origin) { return origin.owner != dialog.owner; };
  ASSERT_TRUE(testpaths::Eventually([&] {
    auto more = tracker.TakeFinished(dialogBusy);
    taken.insert(taken.end(), more.begin(), more.end());
    return !taken.empty();
  }));
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_EQ(taken[0].origin.owner, mainWindow.owner);
  EXPECT_TRUE(taken[0].result.reusedWindow) << "launch c";
  EXPECT_EQ(tracker.pending(), 2u);

  gates[L"a"].set_value();
  // Both finished before they are taken, so one poll sees them in start order.
  ASSERT_TRUE(testpaths::Eventually([&] {
    size_t offered = 0;
    tracker.TakeFinished([&](const LaunchOrigin&) {
      ++offered;
      return false;
    });
    return offered == 2;
  }));
  EXPECT_EQ(tracker.pending(), 2u) << "refused results stay";
  taken = tracker.TakeFinished(everyone);
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[0].origin.owner, mainWindow.owner) << "start order: a before b";
  EXPECT_TRUE(taken[0].result.ok);
  EXPECT_EQ(taken[1].origin.button, dialog.button);
  EXPECT_FALSE(taken[1].result.ok);
  EXPECT_EQ(taken[1].result.message, L"b failed");
  EXPECT_EQ(tracker.pending(), 0u);
}

TEST(VsCodeLaunchTracker, LaunchCopyCarriesRecordKeysOnlyWithoutAStoredSession) {
  Project project;
  project.id = 7;
  project.title = L"보고서";
  project.location = L"D:\\Work\\Proj";
  project.codexImports = {L"k1", L"k2"};
  project.entries.push_back(Entry{Date{2024, 5, 1}, L"text", {}, {}});

  Project copy = vscode::LaunchCopy(project);
  EXPECT_EQ(copy.location, project.location);
  EXPECT_EQ(copy.codexImports, project.codexImports) << "the record folders tell the latest conversation";
  EXPECT_TRUE(copy.entries.empty());
  EXPECT_TRUE(copy.title.empty());

  project.lastAiSession = LastAiSession{kAiSourceCodex, L"s", L"m", L"2024-05-01T10:00:00Z", L""};
  copy = vscode::LaunchCopy(project);
  EXPECT_EQ(copy.lastAiSession, project.lastAiSession);
  EXPECT_TRUE(copy.codexImports.empty());
}

TEST(VsCodeLaunchTracker, ResultsReadAsWarningOrStatus) {
  struct Case {
    bool ok;
    const wchar_t* message;
    bool reused;
    bool warning;
    const wchar_t* text;
  };
  const Case cases[] = {
      {false, L"VS Code 실행 파일을 찾을 수 없습니다.", false, true, L"VS Code 실행 파일을 찾을 수 없습니다."},
      {true, L"VS Code 확장 설치 명령을 찾을 수 없습니다.", false, true, L"VS Code 확장 설치 명령을 찾을 수 없습니다."},
      {true, L"", true, false, L"열려 있는 프로젝트의 VS Code 창을 표시했습니다."},
      {true, L"", false, false, L"VS Code에 프로젝트 열기를 요청했습니다."},
  };
  testpaths::LanguageScope korean(i18n::kKorean);
  for (const auto& c : cases) {
    vscode::LaunchReport report = vscode::DescribeLaunchResult(LaunchResult{c.ok, c.message, c.reused});
    EXPECT_EQ(report.warning, c.warning) << c.text;
    EXPECT_EQ(report.text, c.text);
  }
}

}  // namespace
