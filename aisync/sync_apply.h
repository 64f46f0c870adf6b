// Filing the records that the worker found, a few per timer tick, on the main thread.
#pragma once

#include <deque>
#include <functional>
#include <string>

#include "aisync/ai_record.h"
#include "model/project.h"

namespace aisync {

constexpr size_t kRecordsPerTick = 10;

using FileRecordFn = std::function<bool(AiRecord record, ProjectDocument& document, bool& changed, std::wstring& error)>;
using SaveDocumentFn = std::function<bool(const ProjectDocument& document, std::wstring& error)>;

struct ApplyResult {
  int filed = 0;            // records that changed the document and were saved
  std::wstring lastError;   // the last failure of this tick, empty when none
};

// Files up to `limit` records from the front of the queue. A record that changes the
// document is saved at once; one that fails (or whose save fails, or that throws) leaves
// the document exactly as before and goes to the back of the queue.
ApplyResult ApplyPending(std::deque<AiRecord>& queue, ProjectDocument& document, const FileRecordFn& file,
                         const SaveDocumentFn& save, size_t limit = kRecordsPerTick);

}  // namespace aisync
