#include "aisync/attachment_retries.h"

#include <windows.h>

namespace aisync {
namespace {

// A record that stopped asking (its worker restarted, or it was filed elsewhere) is
// forgotten after an hour, so the book cannot grow without end.
constexpr uint64_t kForgetUnaskedMs = 60 * 60 * 1000;

}  // namespace

AttachmentRetries::AttachmentRetries() : AttachmentRetries([] { return GetTickCount64(); }) {}

AttachmentRetries::AttachmentRetries(Clock clock) : clock_(std::move(clock)) {}

bool AttachmentRetries::MayWait(const std::wstring& recordKey, const std::wstring& source) {
  const uint64_t now = clock_();
  for (auto it = firstFailure_.begin(); it != firstFailure_.end();) {
    it = now - it->second.last > kForgetUnaskedMs ? firstFailure_.erase(it) : std::next(it);
  }
  auto it = firstFailure_.try_emplace({recordKey, source}, Times{now, now}).first;
  it->second.last = now;
  return now - it->second.first < kWaitMs;
}

void AttachmentRetries::Forget(const std::wstring& recordKey) {
  auto it = firstFailure_.lower_bound({recordKey, std::wstring()});
  while (it != firstFailure_.end() && it->first.first == recordKey) it = firstFailure_.erase(it);
}

AttachmentRetries& SharedAttachmentRetries() {
  static AttachmentRetries retries;
  return retries;
}

}  // namespace aisync
