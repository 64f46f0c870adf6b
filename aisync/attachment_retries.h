// How long a prompt may wait for an attachment that cannot be copied for a reason that
// may pass: the first failure of each attachment is remembered, and after ten minutes
// the record is filed without that copy instead of waiting for good.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>

namespace aisync {

class AttachmentRetries {
 public:
  static constexpr uint64_t kWaitMs = 10 * 60 * 1000;

  using Clock = std::function<uint64_t()>;  // milliseconds, monotonic
  AttachmentRetries();                      // the system's tick count
  explicit AttachmentRetries(Clock clock);

  // True while the record may keep waiting for this source; the first call for a
  // record and source starts its ten minutes.
  bool MayWait(const std::wstring& recordKey, const std::wstring& source);
  // Forgets what was remembered for a record (it was filed).
  void Forget(const std::wstring& recordKey);
  size_t size() const { return firstFailure_.size(); }

 private:
  struct Times {
    uint64_t first = 0;
    uint64_t last = 0;
  };
  Clock clock_;
  std::map<std::pair<std::wstring, std::wstring>, Times> firstFailure_;
};

// The one used by filing on the main thread.
AttachmentRetries& SharedAttachmentRetries();

}  // namespace aisync
