// Files sent with a prompt: collecting their references and saving copies of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "aisync/ai_record.h"
#include "model/json.h"

namespace aisync {

// A "file://" URI or a path, made local and absolute against the record's cwd (a
// trailing ":line" after a drive path is dropped); other URIs come back unchanged;
// empty when it cannot be resolved.
std::wstring ResolveLocalReference(std::wstring_view text, const std::wstring& cwd);
// Adds one reference unless it is empty or the record already has that source.
void AddAttachmentReference(AiRecord& record, std::wstring_view source, std::wstring_view suggestedName);
// Adds what the array member `key` of a log object lists (strings or objects with a
// path and a name).
void AddAttachmentsUnderKey(const JsonValue& object, std::wstring_view key, AiRecord& record);
// Adds the existing files that the record's text names (Markdown links, quoted drive
// paths, "#file:" references).
void AddFilesNamedInText(AiRecord& record);
// The references those patterns find, in pattern order and then text order: Markdown
// link targets "](…)", drive paths between backticks or quotes, and "#file:" lines.
std::vector<std::wstring> PathsNamedInText(std::wstring_view text);

// The last path component with forbidden characters replaced, trailing dots and spaces
// removed, long names shortened; "attachment" when nothing is left.
std::wstring SanitizeFileName(std::wstring_view name);
// Why an attachment could not be saved: its local source is gone for good (not found,
// its folder not found, or a folder instead of a file), or for a reason that may pass
// (sharing, access, a full disk, a remote or unreadable source).
enum class AttachmentFailure { Transient, Missing };

// Writes the attachment into the record folder as "<position>_<name>" through a
// temporary file and a replacing move; the saved file's path or a translated error.
bool SaveAttachment(const MessageAttachment& attachment, const std::wstring& recordFolder, int position,
                    std::wstring& savedPath, std::wstring& error);
bool SaveAttachment(const MessageAttachment& attachment, const std::wstring& recordFolder, int position,
                    std::wstring& savedPath, std::wstring& error, AttachmentFailure& failure);

}  // namespace aisync
