// Files AI records under projects: the record folder on disk, the text block in the
// project's entry of that day, the imported keys and the project's newest conversation;
// and reads the newest conversation back from the record folders.
#pragma once

#include <string>
#include <string_view>

#include "aisync/ai_record.h"
#include "aisync/attachment_retries.h"
#include "aisync/folder_match.h"
#include "aisync/record_block.h"
#include "model/project.h"

namespace aisync {

// Time stamps of any precision made comparable as plain strings: the "Z" dropped and
// the fraction padded to nine digits ("...T10:00:00Z" -> "...T10:00:00.000000000").
std::wstring TimestampSortKey(std::wstring_view timestamp);

// The project's location + "\Quenlor"; empty for a project without a location.
std::wstring RecordRoot(const Project& project);

// Files one record. True when the record is settled: filed now, filed before, or a reply
// with nothing left after cleanup. False, with a translated `error`, when it must be
// retried later; the document is then exactly as it was (files already written into the
// record folder stay). `changed` tells whether the document was modified.
//
// An attachment whose local source is gone (or is a folder) does not hold the record
// back: it is filed without that copy, and record.json lists the source under
// "notCopied" with the reason "missing". Any other attachment failure holds the record
// back for at most ten minutes (counted by `retries`), then the same happens with the
// reason "failed".
bool FileAiRecord(AiRecord record, ProjectDocument& document, bool& changed, std::wstring& error);
bool FileAiRecordWithRetries(AiRecord record, ProjectDocument& document, AttachmentRetries& retries, bool& changed,
                             std::wstring& error);

// The project's stored newest conversation, or, when none is stored but records were
// imported, the newest one found in its record folders; source 0 when there is none.
LastAiSession LatestAiSession(const Project& project);

}  // namespace aisync
