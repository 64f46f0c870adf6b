// Filing the records that the worker found, a few per timer tick, on the main thread.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "aisync/ai_record.h"
#include "aisync/imported_keys.h"
#include "model/project.h"

namespace aisync {

constexpr size_t kRecordsPerTick = 10;
// The share of a timer tick that filing may take before the window must answer again.
constexpr std::chrono::milliseconds kTickBudget{25};
// A save of a large project file costs more than a tick's budget, so while a backlog is
// worked off the filings of a few ticks share one save.
constexpr int kTicksBetweenSaves = 5;

using FileRecordFn = std::function<bool(AiRecord record, ProjectDocument& document, bool& changed, std::wstring& error)>;
using SaveDocumentFn = std::function<bool(const ProjectDocument& document, std::wstring& error)>;
// True once the tick has used its time.
using TimeUsedUpFn = std::function<bool()>;

// Filings kept in the document but not saved yet, carried from tick to tick.
struct UnsavedFilings {
  int records = 0;
  int ticks = 0;  // ticks that ended with them unsaved
};

struct ApplyOptions {
  // Records that needed filing (filed, or failed and queued again) per tick; records that
  // turn out to be settled already do not count.
  size_t records = kRecordsPerTick;
  // Keys already filed: such records leave the queue after one lookup, free of the bound
  // above. Keys filed now are added. May be null.
  ImportedKeys* keys = nullptr;
  // Checked after each record; the tick ends once it says so. Null: no time bound.
  TimeUsedUpFn timeUsedUp;
  // Null: every record that changes the document is saved at once, and a failed save
  // undoes it. Otherwise the tick saves once at its end, or, when it ran out of time with
  // records still queued, leaves that save to a later tick: the kTicksBetweenSaves-th
  // busy tick opens with it and files only in the time it leaves. A failed save keeps
  // the filings in the document and is retried. The filing function must then leave the
  // document untouched when it fails, as FileAiRecord does, since no copy is taken.
  UnsavedFilings* unsaved = nullptr;
};

struct ApplyResult {
  int filed = 0;            // records that changed the document
  int skipped = 0;          // records whose key was already filed
  bool saved = false;       // the file was written and now holds every filing
  std::wstring lastError;   // the last failure of this tick, empty when none
  std::vector<std::wstring> filedKeys;
};

// Files records from the front of the queue, each at most once per tick. One that fails
// (or whose save fails, or that throws) leaves the document as before and goes to the
// back of the queue.
ApplyResult ApplyPending(std::deque<AiRecord>& queue, ProjectDocument& document, const FileRecordFn& file,
                         const SaveDocumentFn& save, const ApplyOptions& options);
// Ten records, each saved at once.
ApplyResult ApplyPending(std::deque<AiRecord>& queue, ProjectDocument& document, const FileRecordFn& file,
                         const SaveDocumentFn& save, size_t limit = kRecordsPerTick);

// Saves filings that busy ticks left unsaved, before sync stops or restarts; true when
// there was nothing to save.
bool SaveUnsavedFilings(const ProjectDocument& document, const SaveDocumentFn& save, UnsavedFilings& unsaved,
                        std::wstring& error);

// A time bound measured on the steady clock from the call.
TimeUsedUpFn TimeBudget(std::chrono::milliseconds budget);

}  // namespace aisync
