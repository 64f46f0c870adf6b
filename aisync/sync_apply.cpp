#include "aisync/sync_apply.h"

#include <exception>

#include "model/utf8.h"

namespace aisync {

ApplyResult ApplyPending(std::deque<AiRecord>& queue, ProjectDocument& document, const FileRecordFn& file,
                         const SaveDocumentFn& save, size_t limit) {
  ApplyResult result;
  size_t n = queue.size() < limit ? queue.size() : limit;
  for (size_t i = 0; i < n; ++i) {
    AiRecord record = std::move(queue.front());
    queue.pop_front();
    ProjectDocument undo = document;
    bool changed = false;
    bool ok = false;
    std::wstring error;
    try {
      ok = file(record, document, changed, error);
      if (ok && changed) ok = save(document, error);
    } catch (const std::exception& e) {
      ok = false;
      error = utf8::ToWide(e.what());
    }
    if (ok) {
      if (changed) ++result.filed;
      continue;
    }
    document = std::move(undo);
    queue.push_back(std::move(record));
    result.lastError = error;
  }
  return result;
}

}  // namespace aisync
