#include "aisync/sync_worker.h"

#include <exception>

#include "i18n/translate.h"
#include "model/utf8.h"

namespace aisync {

SyncWorker::~SyncWorker() { Stop(); }

void SyncWorker::Start(ScanFactory factory, std::chrono::milliseconds pause, KeySet known) {
  Stop();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = false;
    wake_ = false;
    known_ = std::move(known);
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
  held_ = 0;
  known_.clear();
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
  held_ = 0;
  for (auto& record : results_) records.push_back(std::move(record));
  results_.clear();
}

void SyncWorker::Take(std::vector<AiRecord>& records, std::wstring& status, size_t held) {
  std::lock_guard<std::mutex> lock(mutex_);
  status = status_;
  held_ = held + results_.size();
  for (auto& record : results_) records.push_back(std::move(record));
  results_.clear();
}

void SyncWorker::Settle(size_t held, const std::vector<std::wstring>& filed) {
  bool freed = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    freed = held < held_ && results_.size() + held_ >= kBackPressure && results_.size() + held < kBackPressure;
    held_ = held;
    known_.insert(filed.begin(), filed.end());
    // A worker held back by the bound goes on at once instead of after its pause.
    if (freed) wake_ = true;
  }
  if (freed) signal_.notify_all();
}

void SyncWorker::ReplaceKnownKeys(KeySet known) {
  std::lock_guard<std::mutex> lock(mutex_);
  known_ = std::move(known);
}

size_t SyncWorker::waiting() {
  std::lock_guard<std::mutex> lock(mutex_);
  return results_.size();
}

size_t SyncWorker::pauses() {
  std::lock_guard<std::mutex> lock(mutex_);
  return pauses_;
}

bool SyncWorker::Known(const std::wstring& key) {
  std::lock_guard<std::mutex> lock(mutex_);
  return known_.count(key) != 0;
}

size_t SyncWorker::known() {
  std::lock_guard<std::mutex> lock(mutex_);
  return known_.size();
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
    if (results_.size() + held_ < kBackPressure && pass) {
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
      const bool cutShort = found.size() >= kFullPass;
      for (auto& record : found) {
        if (known_.count(record.key) == 0) results_.push_back(std::move(record));
      }
      status_ = std::move(status);
      if (stop_) break;
      if (cutShort && results_.size() + held_ < kBackPressure) continue;
    }
    ++pauses_;
    auto until = std::chrono::steady_clock::now() + pause;
    signal_.wait_until(lock, until, [this] { return stop_ || wake_; });
    wake_ = false;
  }
}

}  // namespace aisync
