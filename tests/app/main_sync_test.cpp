// AI history sync as the main window runs it, with a worker fed by a fake scan.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "main_window_fixture.h"
#include "support/eventually.h"
#include "model/file_io.h"
#include "resources/command_ids.h"
#include "views/project_dialog.h"

namespace {

using testpaths::Eventually;

using apptest::MainWindowTest;

aisync::AiRecord Prompt(int n, const std::wstring& cwd) {
  aisync::AiRecord r;
  r.key = L"S:" + std::to_wstring(n);
  r.session = L"S";
  r.cwd = cwd;
  r.timestamp = L"2026-12-08T01:00:00Z";
  r.localDate = {2026, 12, 8};
  r.localTime = L"10:00:00";
  r.text = L"prompt " + std::to_wstring(n);
  return r;
}

size_t FiledKeys(const ProjectDocument& doc) {
  size_t n = 0;
  for (const auto& p : doc.projects) n += p.codexImports.size();
  return n;
}

class MainSyncTest : public MainWindowTest {
 protected:
  // A scan that hands over `count` prompts from the work folder once, then nothing.
  void FeedPrompts(mainwindow::MainWindow& main, int count) {
    work = std::make_unique<testpaths::TempDir>();
    std::wstring cwd = work->path();
    // These tests count records per tick; the tick's time bound is tested on its own.
    main.SetSyncTickBudget(std::chrono::hours(1));
    main.SetSyncScanFactory([this, count, cwd] {
      return [this, count, cwd](std::vector<aisync::AiRecord>& out, std::wstring&) {
        if (passes++ == 0) {
          for (int i = 0; i < count; ++i) out.push_back(Prompt(i, cwd));
        }
      };
    });
    // The pass runs before its records reach the shared list: wait for the records.
    ASSERT_TRUE(Eventually([&main, count] { return main.syncRecordsWaiting() == static_cast<size_t>(count); }));
  }

  std::atomic<int> passes{0};
  std::unique_ptr<testpaths::TempDir> work;
};

TEST_F(MainSyncTest, TwentyFiveRecordsOverThreeTicks) {
  auto& main = Create();
  FeedPrompts(main, 25);
  std::vector<size_t> filed;
  for (int tick = 0; tick < 3; ++tick) {
    SendMessageW(window, WM_TIMER, mainwindow::kTimerId, 0);
    filed.push_back(FiledKeys(main.document()));
  }
  EXPECT_EQ(filed, (std::vector<size_t>{10, 20, 25}));
  ASSERT_EQ(main.document().projects.size(), 1u) << "one new project for the unknown folder";
  EXPECT_EQ(main.document().projects[0].location, work->path());
  EXPECT_FALSE(main.modified()) << "each filed record was saved";
  EXPECT_TRUE(fileio::FileExists(main.currentPath()));
  EXPECT_EQ(main.syncStatusText(), L"Logging · Saved: 25 · Pending: 0");
  EXPECT_EQ(main.statusMessage(), L"Saved 5 VS Code AI entries automatically.");
}

TEST_F(MainSyncTest, NothingIsFiledWhileTheWindowIsDisabled) {
  auto& main = Create();
  FeedPrompts(main, 3);
  EnableWindow(window, FALSE);
  SendMessageW(window, WM_TIMER, mainwindow::kTimerId, 0);
  EXPECT_EQ(FiledKeys(main.document()), 0u);
  EnableWindow(window, TRUE);
  SendMessageW(window, WM_TIMER, mainwindow::kTimerId, 0);
  EXPECT_EQ(FiledKeys(main.document()), 3u);
}

TEST_F(MainSyncTest, AnUnsavedDocumentWaitsForAFile) {
  Put(documents / L"Tavrilo\\Tavrilo.qlproj", "{broken");
  auto& main = Create();  // protection mode: no path
  FeedPrompts(main, 2);
  SendMessageW(window, WM_TIMER, mainwindow::kTimerId, 0);
  EXPECT_EQ(main.syncStatusText(), L"Save the project file to start syncing.");
  EXPECT_EQ(FiledKeys(main.document()), 0u);
  dialogAnswers = {documents / L"saved.qlproj"};
  ASSERT_TRUE(main.SaveAs());
  SendMessageW(window, WM_TIMER, mainwindow::kTimerId, 0);
  EXPECT_EQ(FiledKeys(main.document()), 2u) << "filing starts once the document has a file";
}

TEST_F(MainSyncTest, SyncNowWakesTheWorkerAndTurningItOffStopsIt) {
  auto& main = Create();
  main.SetSyncScanFactory([this] {
    return [this](std::vector<aisync::AiRecord>&, std::wstring&) { ++passes; };
  });
  ASSERT_TRUE(Eventually([this] { return passes.load() >= 1; }));
  int before = passes.load();
  main.RunCommand(IDM_SYNC_NOW);
  // The worker pauses three seconds between passes; waking it must not wait that long.
  EXPECT_TRUE(Eventually([&] { return passes.load() > before; }, 2)) << "woken before the 3-second pause ends";

  main.RunCommand(IDM_SYNC_TOGGLE);
  EXPECT_FALSE(main.aiSyncEnabled());
  EXPECT_EQ(main.syncStatusText(), L"VS Code AI logging is off");
  EXPECT_EQ(main.statusMessage(), L"VS Code AI logging disabled.");
  int stopped = passes.load();
  main.RunCommand(IDM_SYNC_NOW);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(passes.load(), stopped) << "no worker runs while sync is off";
  EXPECT_EQ(main.StatusPartText(4).find(L"AI logging off") != std::wstring::npos, true);
}

TEST_F(MainSyncTest, SyncStatusDialogListsTheFolders) {
  auto& main = Create();
  main.RunCommand(IDM_SYNC_STATUS);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].caption, L"VS Code AI sync status");
  EXPECT_NE(messages[0].text.find(L"\n\nLogging since: "), std::wstring::npos);
  EXPECT_NE(messages[0].text.find(L"\nCodex folder: "), std::wstring::npos);
  EXPECT_NE(messages[0].text.find(L"\nProject file: " + main.currentPath()), std::wstring::npos);
}

void Click(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::wstring TextOf(HWND window) {
  wchar_t text[128] = {};
  GetWindowTextW(window, text, 128);
  return text;
}

TEST_F(MainSyncTest, TheProjectDialogIsModalAndFilingWaitsForIt) {
  auto& main = Create();
  Show();
  FeedPrompts(main, 3);
  bool ownerEnabled = true;
  size_t filedWhileOpen = 99;
  onDialog = [&](HWND dialog) {
    ownerEnabled = IsWindowEnabled(window) != FALSE;
    SendMessageW(window, WM_TIMER, mainwindow::kTimerId, 0);
    filedWhileOpen = FiledKeys(main.document());
    Click(dialog, projectdlg::kCancelId);
  };
  main.RunCommand(IDM_PROJECT_NEW);
  ASSERT_EQ(dialogsShown, 1);
  EXPECT_FALSE(ownerEnabled) << "the dialog disables the main window";
  EXPECT_EQ(filedWhileOpen, 0u) << "nothing is filed under an open dialog";
  EXPECT_TRUE(IsWindowEnabled(window));
  SendMessageW(window, WM_TIMER, mainwindow::kTimerId, 0);
  EXPECT_EQ(FiledKeys(main.document()), 3u) << "filed at the first tick after it closed";
}

class MainLaunchTest : public MainSyncTest {
 protected:
  // A launch that records its project and finishes when the test lets it.
  void GateLaunches(vscode::LaunchResult result, bool throws = false) {
    launch = [this, result, throws](const Project& project) {
      {
        std::lock_guard<std::mutex> lock(mutex);
        launched.push_back(project);
      }
      for (int i = 0; i < 3000 && !release.load(); ++i) Sleep(10);
      finished = true;
      if (throws) throw std::runtime_error("broken pipe");
      return result;
    };
  }

  // Ticks until the launches are reported (or give up after a few seconds).
  bool ReportedWithin(mainwindow::MainWindow& main) {
    return Eventually([&] {
      SendMessageW(window, WM_TIMER, mainwindow::kTimerId, 0);
      return main.pendingLaunchCount() == 0;
    }, 10);
  }

  std::mutex mutex;
  std::vector<Project> launched;
  std::atomic<bool> release{false};
  std::atomic<bool> finished{false};
};

TEST_F(MainLaunchTest, TheMenuLaunchFilesFirstAndReportsOnlyOnceTheWindowIsEnabled) {
  auto& main = Create();
  Show();
  FeedPrompts(main, 1);
  int32_t id = 0;
  ASSERT_TRUE(main.ApplyEdit(
      [&](ProjectDocument& document) {
        Project p;
        p.title = L"Work";
        p.startDate = {2026, 12, 1};
        p.location = work->path();
        id = document.AddProject(p);
        return true;
      },
      L"added"));
  main.SelectProject(id);
  GateLaunches({true, L"", false});

  main.RunCommand(IDM_PROJECT_VSCODE);
  EXPECT_EQ(main.statusMessage(), L"Opening VS Code.");
  ASSERT_TRUE(Eventually([&] {
    std::lock_guard<std::mutex> lock(mutex);
    return launched.size() == 1;
  }));
  {
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(launched[0].location, work->path());
    EXPECT_EQ(launched[0].lastAiSession.session, L"S") << "the waiting record was filed before the launch copy";
    EXPECT_TRUE(launched[0].title.empty()) << "a launch copy carries only what the launch needs";
  }

  // The launch finishes while a project dialog is open over the main window: it waits.
  size_t pendingWhileOpen = 0;
  onDialog = [&](HWND dialog) {
    release = true;
    EXPECT_TRUE(Eventually([&] { return finished.load(); }));
    Sleep(100);
    SendMessageW(window, WM_TIMER, mainwindow::kTimerId, 0);
    pendingWhileOpen = main.pendingLaunchCount();
    Click(dialog, projectdlg::kCancelId);
  };
  main.RunCommand(IDM_PROJECT_MANAGE);
  EXPECT_EQ(pendingWhileOpen, 1u) << "not reported while its owner is disabled";
  ASSERT_TRUE(ReportedWithin(main));
  EXPECT_EQ(main.statusMessage(), L"Asked VS Code to open the project.");
  EXPECT_TRUE(messages.empty());
}

TEST_F(MainLaunchTest, TheDialogsButtonShowsItIsBusyAndTheWarningComesOverTheDialog) {
  auto& main = Create();
  Show();
  int32_t id = 0;
  ASSERT_TRUE(main.ApplyEdit(
      [&](ProjectDocument& document) {
        Project p;
        p.title = L"Work";
        p.startDate = {2026, 12, 1};
        id = document.AddProject(p);
        return true;
      },
      L"added"));
  main.SelectProject(id);
  GateLaunches({false, L"VS Code was not found.", false});

  std::wstring busyText, doneText;
  bool busyEnabled = true, doneEnabled = false, reported = false;
  HWND shownDialog = nullptr;
  onDialog = [&](HWND dialog) {
    shownDialog = dialog;
    HWND button = GetDlgItem(dialog, projectdlg::kVsCodeId);
    if (button == nullptr) {
      ADD_FAILURE() << "the button exists for an existing project";
      Click(dialog, projectdlg::kCancelId);
      return;
    }
    Click(dialog, projectdlg::kVsCodeId);
    busyText = TextOf(button);
    busyEnabled = IsWindowEnabled(button) != FALSE;
    release = true;
    reported = ReportedWithin(main);
    doneText = TextOf(button);
    doneEnabled = IsWindowEnabled(button) != FALSE;
    Click(dialog, projectdlg::kCancelId);
  };
  main.RunCommand(IDM_PROJECT_MANAGE);
  EXPECT_EQ(busyText, L"Opening…");
  EXPECT_FALSE(busyEnabled);
  ASSERT_TRUE(reported) << "reported while the dialog is open and enabled";
  EXPECT_EQ(doneText, L"Open in VS Code");
  EXPECT_TRUE(doneEnabled);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].owner, shownDialog) << "the warning comes over the dialog";
  EXPECT_EQ(messages[0].caption, L"Open in VS Code");
  EXPECT_EQ(messages[0].text, L"VS Code was not found.");
  EXPECT_EQ(messages[0].flags & MB_ICONMASK, UINT{MB_ICONWARNING});
  EXPECT_EQ(main.statusMessage(), L"VS Code was not found.");

  // A new project's dialog has no such button.
  bool hasButton = true;
  onDialog = [&](HWND dialog) {
    hasButton = GetDlgItem(dialog, projectdlg::kVsCodeId) != nullptr;
    Click(dialog, projectdlg::kCancelId);
  };
  main.RunCommand(IDM_PROJECT_NEW);
  EXPECT_FALSE(hasButton);

  // A launch that throws is a failed launch, reported over the main window.
  release = false;
  finished = false;
  GateLaunches({}, true);
  main.RunCommand(IDM_PROJECT_VSCODE);
  release = true;
  ASSERT_TRUE(ReportedWithin(main));
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].text, L"broken pipe");
  EXPECT_EQ(messages[1].owner, window);
}

}  // namespace
