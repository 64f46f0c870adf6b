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

namespace aisync {

class SyncWorker {
 public:
  // One scan pass: appends records and sets a status text (empty when all is well).
  using ScanPass = std::function<void(std::vector<AiRecord>& out, std::wstring& status)>;
  // Builds the pass on the worker's own thread, so its state never crosses threads.
  using ScanFactory = std::function<ScanPass()>;

  static constexpr size_t kBackPressure = 200;

  SyncWorker() = default;
  ~SyncWorker();
  SyncWorker(const SyncWorker&) = delete;
  SyncWorker& operator=(const SyncWorker&) = delete;

  void Start(ScanFactory factory, std::chrono::milliseconds pause = std::chrono::seconds(3));
  // Sets the stop flag, joins the thread and forgets what was waiting.
  void Stop();
  // Ends the pause at once.
  void Wake();
  bool running() const { return thread_.joinable(); }

  // Moves every waiting record out (in order) and copies the status text.
  void Take(std::vector<AiRecord>& records, std::wstring& status);
  size_t waiting();

 private:
  void Loop(ScanFactory factory, std::chrono::milliseconds pause);

  std::mutex mutex_;
  std::condition_variable signal_;
  bool stop_ = false;
  bool wake_ = false;
  std::vector<AiRecord> results_;
  std::wstring status_;
  std::thread thread_;
};

}  // namespace aisync
