// VS Code Chat session files: a whole ".json" document, or a ".jsonl" log of patches that
// builds the document line by line.
#pragma once

#include <string_view>

#include "model/json.h"

namespace aisync {

// Applies one patch line ("kind" 0 replaces the document; 1 sets, 2 cuts and appends to
// an array, 3 clears the value at the key path "k"). Lines that do not parse, lack a
// known kind or whose path does not lead anywhere change nothing.
void ApplyChatPatch(std::string_view line, JsonValue& document);

// The session document of a file's bytes (a leading byte-order mark is dropped); false
// unless the result is an object.
bool ChatDocumentFromJson(std::string_view bytes, JsonValue& document);
bool ChatDocumentFromPatchLog(std::string_view bytes, JsonValue& document);

}  // namespace aisync
