// AI history sync as the main window runs it, with a worker fed by a fake scan.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "main_window_fixture.h"
#include "support/eventually.h"
#include "model/file_io.h"
#include "resources/command_ids.h"

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

}  // namespace
