// What a filed AI record leaves behind in text: its folder name, the block appended to
// the project's entry (also written as prompt.md or reply.md) and record.json.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "aisync/ai_record.h"
#include "model/json.h"

namespace aisync {

// "Chat", "Codex", "Claude Code", and "AI" for any other source.
std::wstring SourceLabel(int32_t sourceKind);

// "YYYY-MM-DD\HHMMSS_<FNV-1a of the key's UTF-8, 16 hex digits>": the same record
// always gets the same folder, so a retried filing rewrites it.
std::wstring RecordFolderName(const AiRecord& record);

// Heading line, text, one line per copied attachment and the record folder line, all
// joined by CR LF; every line break inside the text becomes CR LF too. `record.text`
// must already be the text as filed.
std::wstring EntryBlock(const AiRecord& record, const std::vector<std::wstring>& attachmentPaths,
                        const std::wstring& recordFolder);

// The record.json object; `fileNames` are the copied attachments' names in order.
JsonValue RecordJson(const AiRecord& record, const std::vector<std::wstring>& fileNames);

}  // namespace aisync
