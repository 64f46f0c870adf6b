// The background worker of AI history sync: scans the logs every few seconds and hands
// the records it finds to the main thread through one locked list.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "aisync/ai_record.h"
#include "aisync/imported_keys.h"

namespace aisync {

class SyncWorker {
 public:
  // One scan pass: appends records and sets a status text (empty when all is well).
  using ScanPass = std::function<void(std::vector<AiRecord>& out, std::wstring& status)>;
  // Builds the pass on the worker's own thread, so its state never crosses threads.
  using ScanFactory = std::function<ScanPass()>;

  // No pass starts while this many records wait, counted over the shared list and the
  // records the main thread took but has not settled yet.
  static constexpr size_t kBackPressure = 200;
  // A pass that returns this many records was cut short by the scanner's bound: more is
  // waiting in the logs, so the next pass follows at once instead of after the pause.
  static constexpr size_t kFullPass = 100;

  SyncWorker() = default;
  ~SyncWorker();
  SyncWorker(const SyncWorker&) = delete;
  SyncWorker& operator=(const SyncWorker&) = delete;

  // `known`: the keys already filed; records carrying them are dropped before they are
  // handed over.
  void Start(ScanFactory factory, std::chrono::milliseconds pause = std::chrono::seconds(3), KeySet known = {});
  // Sets the stop flag, joins the thread and forgets what was waiting and what was known.
  void Stop();
  // Ends the pause at once.
  void Wake();
  bool running() const { return thread_.joinable(); }

  // Moves every waiting record out (in order) and copies the status text.
  void Take(std::vector<AiRecord>& records, std::wstring& status);
  // The same for a caller that keeps `held` records of earlier takes queued: those and
  // the ones taken now count against the back-pressure bound until Settle.
  void Take(std::vector<AiRecord>& records, std::wstring& status, size_t held);
  // After a tick: `held` records are still queued on the main thread, and `filed` keys
  // were filed (so later copies of those records are dropped here).
  void Settle(size_t held, const std::vector<std::wstring>& filed);
  // The known keys changed by another path than filing (a project deleted or imported).
  void ReplaceKnownKeys(KeySet known);
  size_t waiting();
  size_t known();
  // Whether a key is known, for the scanner on the worker's thread (takes the mutex).
  bool Known(const std::wstring& key);
  // How often the worker has begun its pause: a test waits for it to settle.
  size_t pauses();

 private:
  void Loop(ScanFactory factory, std::chrono::milliseconds pause);

  std::mutex mutex_;
  std::condition_variable signal_;
  bool stop_ = false;
  bool wake_ = false;
  std::vector<AiRecord> results_;
  size_t held_ = 0;
  size_t pauses_ = 0;
  KeySet known_;
  std::wstring status_;
  std::thread thread_;
};

}  // namespace aisync
