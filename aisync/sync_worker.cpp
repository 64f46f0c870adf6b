#include "aisync/sync_worker.h"

#include <exception>

#include "i18n/translate.h"
#include "model/utf8.h"

namespace aisync {

SyncWorker::~SyncWorker() { Stop(); }

void SyncWorker::Start(ScanFactory factory, std::chrono::milliseconds pause) {
  Stop();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = false;
    wake_ = false;
  }
  thread_ = std::thread(&SyncWorker::Loop, this, std::move(factory), pause);
}

void SyncWorker::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  signal_.notify_all();
  if (thread_.joinable()) thread_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  results_.clear();
  status_.clear();
}

void SyncWorker::Wake() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    wake_ = true;
  }
  signal_.notify_all();
}

void SyncWorker::Take(std::vector<AiRecord>& records, std::wstring& status) {
  std::lock_guard<std::mutex> lock(mutex_);
  status = status_;
  for (auto& record : results_) records.push_back(std::move(record));
  results_.clear();
}

size_t SyncWorker::waiting() {
  std::lock_guard<std::mutex> lock(mutex_);
  return results_.size();
}

void SyncWorker::Loop(ScanFactory factory, std::chrono::milliseconds pause) {
  ScanPass pass;
  try {
    pass = factory();
  } catch (...) {
    // Without a scanner there is nothing to do but wait for the stop.
  }
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stop_) {
    if (results_.size() < kBackPressure && pass) {
      lock.unlock();
      std::vector<AiRecord> found;
      std::wstring status;
      try {
        pass(found, status);
      } catch (const std::exception& e) {
        status = i18n::Translate(L"VS Code AI 연동 오류: ") + utf8::ToWide(e.what());
      } catch (...) {
        status = i18n::Translate(L"VS Code AI 연동 오류: ");
      }
      lock.lock();
      for (auto& record : found) results_.push_back(std::move(record));
      status_ = std::move(status);
      if (stop_) break;
    }
    auto until = std::chrono::steady_clock::now() + pause;
    signal_.wait_until(lock, until, [this] { return stop_ || wake_; });
    wake_ = false;
  }
}

}  // namespace aisync
