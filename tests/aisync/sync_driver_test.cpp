#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "aisync/sync_apply.h"
#include "aisync/sync_worker.h"

namespace {

using aisync::AiRecord;

AiRecord Numbered(int n) {
  AiRecord r;
  r.key = L"k" + std::to_wstring(n);
  return r;
}

// Files a record as a new project titled after its key; a key listed in `refuse` fails.
struct FakeStore {
  std::vector<std::wstring> refuse;
  int saves = 0;
  bool failSave = false;

  aisync::FileRecordFn File() {
    return [this](AiRecord record, ProjectDocument& doc, bool& changed, std::wstring& error) {
      for (const auto& key : refuse) {
        if (key == record.key) {
          error = L"waiting for " + key;
          // A failed attempt may have touched the document; the driver must undo it.
          doc.projects.clear();
          return false;
        }
      }
      Project p;
      p.title = record.key;
      doc.AddProject(p);
      changed = true;
      return true;
    };
  }
  aisync::SaveDocumentFn Save() {
    return [this](const ProjectDocument&, std::wstring& error) {
      ++saves;
      if (failSave) error = L"disk full";
      return !failSave;
    };
  }
};

TEST(SyncApply, TwentyFiveRecordsTakeThreeTicks) {
  std::deque<AiRecord> queue;
  for (int i = 0; i < 25; ++i) queue.push_back(Numbered(i));
  ProjectDocument doc;
  FakeStore store;
  std::vector<int> perTick;
  while (!queue.empty()) perTick.push_back(aisync::ApplyPending(queue, doc, store.File(), store.Save()).filed);
  EXPECT_EQ(perTick, (std::vector<int>{10, 10, 5}));
  EXPECT_EQ(store.saves, 25) << "a save after every record that changed the document";
  EXPECT_EQ(doc.projects.size(), 25u);
}

TEST(SyncApply, FailuresGoToTheBackAndLeaveTheDocumentAlone) {
  std::deque<AiRecord> queue{Numbered(1), Numbered(2), Numbered(3)};
  ProjectDocument doc;
  Project existing;
  existing.title = L"existing";
  doc.AddProject(existing);
  FakeStore store;
  store.refuse = {L"k1"};
  auto result = aisync::ApplyPending(queue, doc, store.File(), store.Save());
  EXPECT_EQ(result.filed, 2);
  EXPECT_EQ(result.lastError, L"waiting for k1");
  ASSERT_EQ(queue.size(), 1u);
  EXPECT_EQ(queue.front().key, L"k1");
  ASSERT_EQ(doc.projects.size(), 3u) << "the failed attempt's damage was undone";
  EXPECT_EQ(doc.projects[0].title, L"existing");

  store.refuse.clear();
  store.failSave = true;
  result = aisync::ApplyPending(queue, doc, store.File(), store.Save());
  EXPECT_EQ(result.filed, 0);
  EXPECT_EQ(result.lastError, L"disk full");
  EXPECT_EQ(doc.projects.size(), 3u) << "a record whose save failed is not kept";
  EXPECT_EQ(queue.size(), 1u);
}

TEST(SyncApply, ExceptionsCountAsFailures) {
  std::deque<AiRecord> queue{Numbered(1)};
  ProjectDocument doc;
  auto throwing = [](AiRecord, ProjectDocument&, bool&, std::wstring&) -> bool { throw std::runtime_error("boom"); };
  FakeStore store;
  auto result = aisync::ApplyPending(queue, doc, throwing, store.Save());
  EXPECT_EQ(result.lastError, L"boom");
  EXPECT_EQ(queue.size(), 1u);
}

TEST(SyncWorker, ScansHandsOverAndStops) {
  std::atomic<int> passes{0};
  aisync::SyncWorker worker;
  worker.Start(
      [&passes] {
        return [&passes](std::vector<AiRecord>& out, std::wstring& status) {
          int n = ++passes;
          out.push_back(Numbered(n));
          status = L"pass " + std::to_wstring(n);
        };
      },
      std::chrono::hours(1));
  // The first pass runs at once; the next only when woken, not after the long pause.
  for (int i = 0; i < 200 && passes.load() < 1; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(passes.load(), 1);
  worker.Wake();
  for (int i = 0; i < 200 && passes.load() < 2; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(passes.load(), 2);

  std::vector<AiRecord> taken;
  std::wstring status;
  for (int i = 0; i < 200 && worker.waiting() < 2; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  worker.Take(taken, status);
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[0].key, L"k1");
  EXPECT_EQ(status, L"pass 2");
  EXPECT_EQ(worker.waiting(), 0u);

  worker.Stop();
  EXPECT_FALSE(worker.running());
  int after = passes.load();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(passes.load(), after) << "a stopped worker scans no more";
}

TEST(SyncWorker, WaitsWhileTooManyRecordsAreUntaken) {
  std::atomic<int> passes{0};
  aisync::SyncWorker worker;
  worker.Start(
      [&passes] {
        return [&passes](std::vector<AiRecord>& out, std::wstring&) {
          ++passes;
          for (int i = 0; i < 150; ++i) out.push_back(Numbered(i));
        };
      },
      std::chrono::milliseconds(1));
  for (int i = 0; i < 300 && passes.load() < 2; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(passes.load(), 2) << "with 300 records waiting the worker must not scan again";
  EXPECT_EQ(worker.waiting(), 300u);
  std::vector<AiRecord> taken;
  std::wstring status;
  worker.Take(taken, status);
  for (int i = 0; i < 300 && passes.load() < 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_GE(passes.load(), 3) << "taking the records lets it scan again";
  worker.Stop();
  EXPECT_EQ(worker.waiting(), 0u) << "stopping forgets what waited";
}

}  // namespace
