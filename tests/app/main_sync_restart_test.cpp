// A restart of the program after a long history: the real scanner reads every log again,
// and the one prompt written since must not wait behind the thousands filed before.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <set>

#include "main_window_fixture.h"
#include "model/project_file.h"
#include "model/utf8.h"
#include "resources/command_ids.h"
#include "support/environment_scope.h"
#include "support/eventually.h"
#include "support/log_text.h"

namespace {

using apptest::MainWindowTest;
using testpaths::Eventually;

std::string SessionLine(int session, const std::wstring& cwd) {
  return R"({"timestamp":")" + testpaths::UtcStamp(0) + R"(","type":"session_meta","payload":{"id":"s)" + std::to_string(session) +
         R"(","cwd":")" + testpaths::JsonPath(cwd) + R"(","originator":"codex_vscode","model":"gpt-5-codex"}})"
         "\n";
}

std::string PromptLine(int n) {
  return R"({"timestamp":")" + testpaths::UtcStamp(n % 60) +
         R"(","type":"event_msg","payload":{"type":"user_message","message":"prompt )" + std::to_string(n) +
         R"(","client_id":"c)" + std::to_string(n) + R"(","images":[],"local_images":[]}})"
         "\n";
}

// The turn's model, which Codex writes after the prompt.
std::string TurnLine(const std::wstring& cwd) {
  return R"({"timestamp":")" + testpaths::UtcStamp(0) + R"(","type":"turn_context","payload":{"cwd":")" + testpaths::JsonPath(cwd) +
         R"(","model":"gpt-5-codex"}})"
         "\n";
}

std::wstring PromptKey(int session, int n) { return L"s" + std::to_wstring(session) + L":c" + std::to_wstring(n); }

class MainSyncRestartTest : public MainWindowTest {
 public:
  using MainWindowTest::Create;
  testpaths::TempDir root;
};

TEST_F(MainSyncRestartTest, AfterFiveThousandFiledRecordsANewPromptIsFiledWithinThreeTicks) {
  const int kSessions = 50;
  const int kPerSession = 100;
  const std::wstring work = root / L"work";
  const std::wstring day = root / L"codex\\sessions\\2026\\12\\08";
  std::filesystem::create_directories(std::filesystem::path(work));
  std::filesystem::create_directories(std::filesystem::path(day));
  testpaths::EnvironmentScope environment;
  environment.Set(L"CODEX_HOME", root / L"codex");

  Project project;
  project.title = L"work";
  project.location = work;
  std::wstring lastLog;
  for (int s = 0; s < kSessions; ++s) {
    std::string text = SessionLine(s, work);
    for (int i = 0; i < kPerSession; ++i) {
      int n = s * kPerSession + i;
      text += PromptLine(n) + TurnLine(work);
      project.codexImports.push_back(PromptKey(s, n));
    }
    lastLog = day + L"\\rollout-" + std::to_wstring(1000 + s) + L".jsonl";
    std::ofstream(std::filesystem::path(lastLog), std::ios::binary) << text;
  }
  // The prompt written while the program was not running, at the end of the newest log.
  std::ofstream(std::filesystem::path(lastLog), std::ios::binary | std::ios::app) << PromptLine(9999) + TurnLine(work);
  const std::wstring fresh = PromptKey(kSessions - 1, 9999);

  const std::wstring file = documents / L"history.qlproj";
  std::wstring error;
  ASSERT_TRUE(projectfile::SaveProjectFile(file, {project}, 2, error)) << utf8::FromWide(error);

  auto& main = Create(file);
  ASSERT_EQ(main.document().projects.size(), 1u);
  EXPECT_EQ(main.syncKnownKeys(), 5000u) << "the key set follows the loaded document";

  int filedAtTick = 0;
  for (int tick = 1; tick <= 3 && filedAtTick == 0; ++tick) {
    // Ticks are driven here; between them the worker gets to finish what it has begun.
    ASSERT_TRUE(Eventually([&] { return main.syncRecordsWaiting() > 0 || main.pendingRecordCount() > 0; }));
    SendMessageW(window, WM_TIMER, mainwindow::kTimerId, 0);
    const auto& keys = main.document().projects[0].codexImports;
    if (std::find(keys.begin(), keys.end(), fresh) != keys.end()) filedAtTick = tick;
  }
  EXPECT_NE(filedAtTick, 0) << "the new prompt was not filed within three ticks";

  const auto& keys = main.document().projects[0].codexImports;
  EXPECT_EQ(keys.size(), 5001u);
  EXPECT_EQ(std::set<std::wstring>(keys.begin(), keys.end()).size(), keys.size()) << "nothing filed twice";
  EXPECT_EQ(keys.back(), fresh);
  EXPECT_FALSE(main.modified()) << "saved";
  std::vector<Project> saved;
  ASSERT_TRUE(projectfile::ReadProjects(file, saved, error));
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].codexImports.size(), 5001u);
  EXPECT_EQ(main.syncKnownKeys(), 5001u);
}

// The keys filed in the saved project file (0 while it is missing).
size_t KeysInFile(const std::wstring& path) {
  std::vector<Project> saved;
  std::wstring error;
  projectfile::ReadProjects(path, saved, error);
  size_t n = 0;
  for (const auto& p : saved) n += p.codexImports.size();
  return n;
}

// A window whose every tick runs out of time at once, fed `count` prompts by one pass.
mainwindow::MainWindow& OutOfTimeWindow(MainSyncRestartTest& test, int count) {
  auto& main = test.Create();
  main.SetSyncTickBudget(std::chrono::milliseconds(0));
  const std::wstring work = test.root / L"work";
  std::filesystem::create_directories(std::filesystem::path(work));
  auto passes = std::make_shared<std::atomic<int>>(0);
  main.SetSyncScanFactory([passes, work, count] {
    return [passes, work, count](std::vector<aisync::AiRecord>& out, std::wstring&) {
      if ((*passes)++ != 0) return;
      for (int i = 0; i < count; ++i) {
        aisync::AiRecord r;
        r.key = L"S:" + std::to_wstring(i);
        r.cwd = work;
        r.timestamp = L"2026-12-08T01:00:00Z";
        r.localDate = {2026, 12, 8};
        r.localTime = L"10:00:0" + std::to_wstring(i);
        r.text = L"prompt " + std::to_wstring(i);
        out.push_back(r);
      }
    };
  });
  EXPECT_TRUE(Eventually([&] { return main.syncRecordsWaiting() == static_cast<size_t>(count); }));
  return main;
}

TEST_F(MainSyncRestartTest, ATickOutOfTimeFilesOneRecordAndTheLastTickSaves) {
  auto& main = OutOfTimeWindow(*this, 3);
  std::vector<size_t> inDocument, inFile;
  std::vector<bool> modified;
  for (int tick = 0; tick < 3; ++tick) {
    SendMessageW(window, WM_TIMER, mainwindow::kTimerId, 0);
    inDocument.push_back(main.document().projects.empty() ? 0 : main.document().projects[0].codexImports.size());
    inFile.push_back(KeysInFile(main.currentPath()));
    modified.push_back(main.modified());
  }
  EXPECT_EQ(inDocument, (std::vector<size_t>{1, 2, 3})) << "one record per tick once the time is used up";
  EXPECT_EQ(inFile, (std::vector<size_t>{0, 0, 3})) << "the save waits for the tick that empties the queue";
  EXPECT_EQ(modified, (std::vector<bool>{true, true, false})) << "unsaved filings mark the document";
  EXPECT_EQ(main.syncStatusText(), L"Logging · Saved: 3 · Pending: 0");
}

TEST_F(MainSyncRestartTest, TurningSyncOffSavesFilingsABusyTickLeftUnsaved) {
  auto& main = OutOfTimeWindow(*this, 2);
  SendMessageW(window, WM_TIMER, mainwindow::kTimerId, 0);
  ASSERT_TRUE(main.modified());
  EXPECT_EQ(KeysInFile(main.currentPath()), 0u);
  main.RunCommand(IDM_SYNC_TOGGLE);
  EXPECT_FALSE(main.modified());
  EXPECT_EQ(KeysInFile(main.currentPath()), 1u) << "the filed record is saved; the other one waits for the next scan";
}

}  // namespace
