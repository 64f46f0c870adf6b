// AI sync with a long history: records filed before are recognised by one lookup, the
// worker drops them before they take room in its bound, and a tick that has used its
// time ends early, its save shared with the next few ticks.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "aisync/imported_keys.h"
#include "aisync/log_scanner.h"
#include "aisync/sync_apply.h"
#include "aisync/sync_worker.h"
#include "support/eventually.h"
#include "support/temp_dir.h"

namespace {

using aisync::AiRecord;
using testpaths::Eventually;

AiRecord Keyed(const std::wstring& key) {
  AiRecord r;
  r.key = key;
  return r;
}

Project WithKeys(std::vector<std::wstring> keys) {
  Project p;
  p.codexImports = std::move(keys);
  return p;
}

// Files a record into the first project the way the record store does (the key joins
// its list, a failure leaves the document alone); keys listed in `refuse` fail, once.
struct KeyFiler {
  std::vector<std::wstring> order;  // keys in filing order
  std::set<std::wstring> refuse;
  int saves = 0;
  int failSaves = 0;  // how many saves from now on fail

  aisync::FileRecordFn File() {
    return [this](AiRecord record, ProjectDocument& doc, bool& changed, std::wstring& error) {
      for (const auto& p : doc.projects) {
        for (const auto& key : p.codexImports) {
          if (key == record.key) return true;  // settled before: nothing to do
        }
      }
      if (refuse.erase(record.key) != 0) {
        error = L"not yet: " + record.key;
        return false;
      }
      doc.projects[0].codexImports.push_back(record.key);
      order.push_back(record.key);
      changed = true;
      return true;
    };
  }
  aisync::SaveDocumentFn Save() {
    return [this](const ProjectDocument&, std::wstring& error) {
      if (failSaves > 0) {
        --failSaves;
        error = L"disk full";
        return false;
      }
      ++saves;
      return true;
    };
  }
};

TEST(ImportedKeys, FollowsFilingAndNoticesEveryOtherChangeOfTheLists) {
  ProjectDocument doc;
  doc.AddProject(WithKeys({L"a", L"b"}));
  doc.AddProject(WithKeys({L"c"}));
  aisync::ImportedKeys keys;
  keys.Rebuild(doc);
  EXPECT_TRUE(keys.Contains(L"a") && keys.Contains(L"b") && keys.Contains(L"c"));
  EXPECT_FALSE(keys.Contains(L"A")) << "keys compare exactly";
  EXPECT_TRUE(keys.InStepWith(doc));

  doc.projects[1].codexImports.push_back(L"d");
  keys.Add(L"d", doc);
  EXPECT_TRUE(keys.Contains(L"d"));
  EXPECT_TRUE(keys.InStepWith(doc)) << "filing through Add keeps the set in step";

  struct Change {
    const char* what;
    std::function<void(ProjectDocument&)> apply;
  };
  const Change changes[] = {
      {"a project deleted", [](ProjectDocument& d) { d.RemoveProject(d.projects[0].id); }},
      {"a project imported with keys", [](ProjectDocument& d) { d.AddProject(WithKeys({L"x"})); }},
      {"a project imported without keys", [](ProjectDocument& d) { d.AddProject(Project()); }},
      {"one project with one key swapped for another",
       [](ProjectDocument& d) {
         d.RemoveProject(d.projects[1].id);
         d.AddProject(WithKeys({L"y", L"z"}));
       }},
      {"the document replaced", [](ProjectDocument& d) { d = ProjectDocument(); }},
  };
  for (const Change& change : changes) {
    ProjectDocument edited = doc;
    change.apply(edited);
    EXPECT_FALSE(keys.InStepWith(edited)) << change.what;
    aisync::ImportedKeys rebuilt;
    rebuilt.Rebuild(edited);
    EXPECT_TRUE(rebuilt.InStepWith(edited)) << change.what;
  }
  doc.RemoveProject(doc.projects[0].id);
  keys.Rebuild(doc);
  EXPECT_FALSE(keys.Contains(L"a")) << "a deleted project's keys are forgotten";
  EXPECT_TRUE(keys.Contains(L"d"));
}

TEST(SyncApply, FiledKeysAreSkippedFreeOfTheBoundAndNewRecordsKeepTheirOrder) {
  ProjectDocument doc;
  std::vector<std::wstring> old;
  for (int i = 0; i < 150; ++i) old.push_back(L"old" + std::to_wstring(i));
  doc.AddProject(WithKeys(old));
  aisync::ImportedKeys keys;
  keys.Rebuild(doc);

  // The worker hands over old records mixed with new ones, one of which must wait.
  std::deque<AiRecord> queue;
  for (int i = 0; i < 150; ++i) {
    queue.push_back(Keyed(old[static_cast<size_t>(i)]));
    if (i % 50 == 49) queue.push_back(Keyed(L"new" + std::to_wstring(i / 50)));
  }
  queue.push_back(Keyed(L"old7"));  // met twice in the logs
  KeyFiler filer;
  filer.refuse = {L"new0"};
  aisync::UnsavedFilings unsaved;
  aisync::ApplyOptions options;
  options.keys = &keys;
  options.unsaved = &unsaved;
  options.records = 4;

  auto result = aisync::ApplyPending(queue, doc, filer.File(), filer.Save(), options);
  EXPECT_EQ(result.skipped, 151);
  EXPECT_EQ(result.filed, 2) << "151 filed records did not use up a bound of 4";
  EXPECT_EQ(result.filedKeys, (std::vector<std::wstring>{L"new1", L"new2"}));
  EXPECT_EQ(result.lastError, L"not yet: new0");
  ASSERT_EQ(queue.size(), 1u) << "the failed record waits at the back";
  EXPECT_EQ(queue.front().key, L"new0");
  EXPECT_TRUE(result.saved);
  EXPECT_EQ(filer.saves, 1) << "one save for the tick";
  EXPECT_TRUE(keys.Contains(L"new1") && keys.Contains(L"new2"));
  EXPECT_TRUE(keys.InStepWith(doc));

  result = aisync::ApplyPending(queue, doc, filer.File(), filer.Save(), options);
  EXPECT_EQ(result.filedKeys, (std::vector<std::wstring>{L"new0"}));
  EXPECT_TRUE(queue.empty());
  EXPECT_EQ(filer.order, (std::vector<std::wstring>{L"new1", L"new2", L"new0"})) << "each filed once";
  EXPECT_EQ(doc.projects[0].codexImports.size(), 153u);
}

TEST(SyncApply, ATickOutOfTimeEndsAndItsSaveWaitsAFewTicks) {
  ProjectDocument doc;
  doc.AddProject(Project());
  std::deque<AiRecord> queue;
  for (int i = 0; i < 12; ++i) queue.push_back(Keyed(L"k" + std::to_wstring(i)));
  KeyFiler filer;
  aisync::UnsavedFilings unsaved;
  aisync::ApplyOptions options;
  options.unsaved = &unsaved;
  options.timeUsedUp = [] { return true; };  // every record uses up the tick

  std::vector<int> savedAtTick, filedPerTick;
  std::vector<size_t> keysAfterTick;
  for (int tick = 1; !queue.empty() && tick < 40; ++tick) {
    auto result = aisync::ApplyPending(queue, doc, filer.File(), filer.Save(), options);
    filedPerTick.push_back(result.filed);
    if (result.saved) savedAtTick.push_back(tick);
    keysAfterTick.push_back(doc.projects[0].codexImports.size());
  }
  static_assert(aisync::kTicksBetweenSaves == 5, "the tick pattern below assumes five");
  EXPECT_EQ(filedPerTick, (std::vector<int>{1, 1, 1, 1, 0, 1, 1, 1, 1, 0, 1, 1, 1, 1}))
      << "busy ticks put their save off; the fifth tick opens with it and has no time left to file";
  EXPECT_EQ(savedAtTick, (std::vector<int>{5, 10, 14})) << "the tick that empties the queue saves at once";
  EXPECT_EQ(filer.saves, 3);
  EXPECT_EQ(keysAfterTick[8], 8u) << "unsaved filings stay in the document meanwhile";
  EXPECT_EQ(unsaved.records, 0);
  std::vector<std::wstring> expected;
  for (int i = 0; i < 12; ++i) expected.push_back(L"k" + std::to_wstring(i));
  EXPECT_EQ(filer.order, expected) << "in order, each once";
}

TEST(SyncApply, AFailedShareSaveKeepsTheFilingsAndIsRetried) {
  ProjectDocument doc;
  doc.AddProject(Project());
  std::deque<AiRecord> queue{Keyed(L"a"), Keyed(L"b")};
  KeyFiler filer;
  filer.failSaves = 1;
  aisync::UnsavedFilings unsaved;
  aisync::ApplyOptions options;
  options.unsaved = &unsaved;

  auto result = aisync::ApplyPending(queue, doc, filer.File(), filer.Save(), options);
  EXPECT_EQ(result.filed, 2);
  EXPECT_FALSE(result.saved);
  EXPECT_EQ(result.lastError, L"disk full");
  EXPECT_EQ(doc.projects[0].codexImports, (std::vector<std::wstring>{L"a", L"b"})) << "nothing undone, nothing lost";
  EXPECT_EQ(unsaved.records, 2);

  result = aisync::ApplyPending(queue, doc, filer.File(), filer.Save(), options);
  EXPECT_TRUE(result.saved) << "the next tick retries the save, with nothing new to file";
  EXPECT_EQ(result.filed, 0);
  EXPECT_TRUE(result.lastError.empty());
  EXPECT_EQ(filer.order, (std::vector<std::wstring>{L"a", L"b"}));

  std::wstring error;
  EXPECT_TRUE(aisync::SaveUnsavedFilings(doc, filer.Save(), unsaved, error)) << "nothing left to save";
  EXPECT_EQ(filer.saves, 1);
}

TEST(LogScannerKnownKeys, FiledRecordsAreDroppedAsTheyAreReadAndDoNotEndThePass) {
  testpaths::TempDir home;
  const std::wstring folder = home / L"sessions\\2024\\05";
  std::filesystem::create_directories(std::filesystem::path(folder));
  std::string text =
      R"({"timestamp":"2024-05-01T09:00:00Z","type":"session_meta","payload":{"id":"S","cwd":"C:\\Work","source":"vscode"}})"
      "\n";
  for (int i = 0; i < 250; ++i) {
    text += R"({"timestamp":"2024-05-01T10:00:00Z","type":"event_msg","payload":{"type":"user_message","model":"m","message":"p)" +
            std::to_string(i) + R"(","client_id":"c)" + std::to_string(i) + "\"}}\n";
  }
  std::ofstream(std::filesystem::path(folder + L"\\rollout-1.jsonl"), std::ios::binary) << text;
  aisync::LogFolders folders;
  folders.codexHome = home.path();

  // The first 240 were filed before; of the other ten, every second one was too.
  auto known = [](const std::wstring& key) {
    int n = std::stoi(key.substr(key.find(L":c") + 2));
    return n < 240 || n % 2 == 0;
  };
  aisync::LogScanner scanner(folders, {2024, 1, 1});
  scanner.SetKnownKeys(known);
  std::vector<AiRecord> out;
  std::wstring status;
  scanner.ScanPass(out, status);
  std::vector<std::wstring> keys;
  for (const auto& r : out) keys.push_back(r.key);
  EXPECT_EQ(keys, (std::vector<std::wstring>{L"S:c241", L"S:c243", L"S:c245", L"S:c247", L"S:c249"}))
      << "one pass reads past 245 known records";
  out.clear();
  scanner.ScanPass(out, status);
  EXPECT_TRUE(out.empty()) << "and nothing again";

  aisync::LogScanner unfiltered(folders, {2024, 1, 1});
  out.clear();
  unfiltered.ScanPass(out, status);
  EXPECT_EQ(out.size(), aisync::LogScanner::kRecordsPerPass) << "without the key test the pass bound applies";
}

TEST(SyncWorker, DropsFiledKeysAndReadsOnAtOnceAfterAPassCutShort) {
  // Five full passes of old records, then one new record: without reading on at once
  // the new record would wait out five pauses of an hour.
  std::atomic<int> passes{0};
  aisync::KeySet known;
  for (int i = 0; i < 500; ++i) known.insert(L"old" + std::to_wstring(i));
  aisync::SyncWorker worker;
  worker.Start(
      [&passes] {
        return [&passes](std::vector<AiRecord>& out, std::wstring&) {
          int n = passes++;
          if (n < 5) {
            for (int i = 0; i < 100; ++i) out.push_back(Keyed(L"old" + std::to_wstring(n * 100 + i)));
          } else if (n == 5) {
            out.push_back(Keyed(L"new"));
            out.push_back(Keyed(L"filed meanwhile"));
          }
        };
      },
      std::chrono::hours(1), known);
  EXPECT_EQ(worker.known(), 500u);
  ASSERT_TRUE(Eventually([&] { return worker.pauses() >= 1; }));
  EXPECT_EQ(passes.load(), 6);

  std::vector<AiRecord> taken;
  std::wstring status;
  worker.Take(taken, status, 0);
  ASSERT_EQ(taken.size(), 2u) << "only records not filed before are handed over";
  EXPECT_EQ(taken[0].key, L"new");
  worker.Settle(0, {L"new"});
  EXPECT_EQ(worker.known(), 501u) << "keys filed since the start join the snapshot";
  worker.Stop();
  EXPECT_EQ(worker.known(), 0u);
}

TEST(SyncWorker, TheBoundCountsTheRecordsTheMainThreadStillHolds) {
  std::atomic<int> passes{0};
  aisync::SyncWorker worker;
  worker.Start(
      [&passes] {
        return [&passes](std::vector<AiRecord>& out, std::wstring&) {
          int n = passes++;
          for (int i = 0; i < 150; ++i) out.push_back(Keyed(std::to_wstring(n) + L":" + std::to_wstring(i)));
        };
      },
      std::chrono::milliseconds(1));
  // Two passes fill the shared list to 300; then the worker waits.
  ASSERT_TRUE(Eventually([&] { return worker.waiting() == 300 && worker.pauses() >= 1; }));
  std::vector<AiRecord> taken;
  std::wstring status;
  worker.Take(taken, status, 0);
  ASSERT_EQ(taken.size(), 300u);
  worker.Settle(250, {});  // filing lags: 250 still queued on the main thread
  size_t pauses = worker.pauses();
  ASSERT_TRUE(Eventually([&] { return worker.pauses() >= pauses + 5; }));
  EXPECT_EQ(passes.load(), 2) << "records queued on the main thread hold the worker back too";

  worker.Settle(120, {});
  ASSERT_TRUE(Eventually([&] { return passes.load() >= 3 && worker.pauses() > pauses + 5; }));
  EXPECT_EQ(passes.load(), 3) << "room for one pass: 120 held + 150 found reach the bound";
  EXPECT_EQ(worker.waiting(), 150u);
  worker.Stop();
}

}  // namespace
