// One turn of a conversation with an AI coding assistant, as the log readers produce it
// and the record store files it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/date.h"
#include "model/project.h"

namespace aisync {

// A file sent with a prompt: a "data:" URI, a local path, or another URI kept as it is.
struct MessageAttachment {
  std::wstring source;
  std::wstring suggestedName;  // may be empty

  friend bool operator==(const MessageAttachment&, const MessageAttachment&) = default;
};

struct AiRecord {
  std::wstring key;        // unique, stable identity of the turn
  std::wstring session;
  std::wstring cwd;        // absolute, as logged
  std::wstring timestamp;  // UTC, ISO 8601 with "Z"
  std::wstring text;       // a reply's raw text; the store cleans it
  Date localDate;          // a reply carries the date of its prompt
  std::wstring localTime;  // "HH:MM:SS"
  std::vector<MessageAttachment> attachments;  // prompts only
  bool isReply = false;
  std::wstring phase;             // replies: "commentary", "final_answer", "final" or empty
  std::wstring parentKey;         // replies: key of the prompt answered
  std::wstring requestTime;       // replies: "HH:MM:SS" of that prompt
  std::wstring requestTimestamp;  // replies: UTC timestamp of that prompt
  int32_t sourceKind = kAiSourceCodex;
  std::wstring model;
  std::wstring workspace;  // VS Code Chat session file; empty otherwise

  friend bool operator==(const AiRecord&, const AiRecord&) = default;
};

}  // namespace aisync
