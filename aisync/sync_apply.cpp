#include "aisync/sync_apply.h"

#include <exception>
#include <optional>

#include "model/utf8.h"

namespace aisync {

namespace {

bool Save(const ProjectDocument& document, const SaveDocumentFn& save, std::wstring& error) {
  try {
    return save(document, error);
  } catch (const std::exception& e) {
    error = utf8::ToWide(e.what());
    return false;
  }
}

}  // namespace

ApplyResult ApplyPending(std::deque<AiRecord>& queue, ProjectDocument& document, const FileRecordFn& file,
                         const SaveDocumentFn& save, const ApplyOptions& options) {
  ApplyResult result;
  const bool batched = options.unsaved != nullptr;
  auto timeUsedUp = [&options] { return options.timeUsedUp && options.timeUsedUp(); };
  bool outOfTime = false;
  bool wrote = false;
  std::wstring saveError;
  // A save that busy ticks have put off as long as they may opens this tick, and filing
  // gets only the time it leaves: one tick never pays for both.
  if (batched && options.unsaved->records > 0 && options.unsaved->ticks + 1 >= kTicksBetweenSaves) {
    wrote = SaveUnsavedFilings(document, save, *options.unsaved, saveError);
    outOfTime = timeUsedUp();
  }
  size_t worked = 0;
  // A record that fails goes to the back; counting visits keeps it from coming up twice.
  for (size_t visits = queue.size(); visits > 0 && worked < options.records && !outOfTime; --visits) {
    AiRecord record = std::move(queue.front());
    queue.pop_front();
    if (options.keys != nullptr && options.keys->Contains(record.key)) {
      ++result.skipped;
      continue;
    }
    std::optional<ProjectDocument> undo;
    if (!batched) undo = document;
    bool changed = false;
    bool ok = false;
    std::wstring error;
    try {
      ok = file(record, document, changed, error);
      if (ok && changed && !batched) ok = Save(document, save, error);
    } catch (const std::exception& e) {
      ok = false;
      error = utf8::ToWide(e.what());
    }
    outOfTime = timeUsedUp();
    if (ok && !changed) continue;
    ++worked;
    if (ok) {
      ++result.filed;
      if (batched) ++options.unsaved->records;
      if (options.keys != nullptr) options.keys->Add(record.key, document);
      result.filedKeys.push_back(std::move(record.key));
      continue;
    }
    if (undo) document = std::move(*undo);
    queue.push_back(std::move(record));
    result.lastError = error;
  }
  if (!batched) {
    result.saved = result.filed > 0;
    return result;
  }
  UnsavedFilings& unsaved = *options.unsaved;
  const bool backlog = outOfTime && !queue.empty();
  if (unsaved.records > 0 && backlog && unsaved.ticks + 1 < kTicksBetweenSaves) {
    ++unsaved.ticks;
  } else if (unsaved.records > 0 && saveError.empty()) {
    wrote = SaveUnsavedFilings(document, save, unsaved, saveError);
  }
  result.saved = wrote && unsaved.records == 0;
  if (!saveError.empty()) result.lastError = saveError;
  return result;
}

ApplyResult ApplyPending(std::deque<AiRecord>& queue, ProjectDocument& document, const FileRecordFn& file,
                         const SaveDocumentFn& save, size_t limit) {
  ApplyOptions options;
  options.records = limit;
  return ApplyPending(queue, document, file, save, options);
}

bool SaveUnsavedFilings(const ProjectDocument& document, const SaveDocumentFn& save, UnsavedFilings& unsaved,
                        std::wstring& error) {
  if (unsaved.records == 0) return true;
  if (!Save(document, save, error)) {
    ++unsaved.ticks;
    return false;
  }
  unsaved = UnsavedFilings();
  return true;
}

TimeUsedUpFn TimeBudget(std::chrono::milliseconds budget) {
  const auto end = std::chrono::steady_clock::now() + budget;
  return [end] { return std::chrono::steady_clock::now() >= end; };
}

}  // namespace aisync
