// Which Copilot CLI sessions VS Code's agent host ran, read from its SQLite database
// without ever writing to it or holding it against VS Code.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace aisync {

// Copilot CLI session id (folder name) -> agent-host session id.
using AgentHostSessionMap = std::map<std::wstring, std::wstring, std::less<>>;

// Exactly 36 characters, each a hexadecimal digit or "-".
bool IsCopilotSessionId(std::wstring_view text);

enum class AgentHostRead {
  Done,     // read (or nothing there to read)
  Busy,     // its owner is writing it: try again next pass
  Damaged,  // not a database, corrupt or cut short
};

// Adds the sessions of one agent-host database to the map. A missing file or folder is
// Done with nothing added; rows read before a failure are kept.
AgentHostRead ReadAgentHostSessions(const std::wstring& databasePath, AgentHostSessionMap& map);

}  // namespace aisync
