#include "aisync/agent_host_sessions.h"

#include <windows.h>

#include "aisync/sqlite_handles.h"
#include "model/json.h"
#include "model/utf8.h"

namespace aisync {
namespace {

constexpr char kExplicitSessions[] =
    "SELECT session_uri FROM sessions WHERE provider='copilotcli' AND registration_source='explicit' "
    "UNION SELECT storage_resource FROM session_chat_state WHERE storage_resource LIKE 'copilotcli:/%'";
// Databases written before the registration source and the chat state existed.
constexpr char kOlderSessions[] = "SELECT session_uri FROM sessions WHERE provider='copilotcli'";
constexpr char kChats[] =
    "SELECT owner_session_uri, provider_data FROM chats_v2 WHERE tombstoned=0 AND owner_session_uri LIKE "
    "'copilotcli:/%' AND provider_data IS NOT NULL";

// SQLite's primary result codes fall into: try again later, or the file is unusable.
AgentHostRead Classify(int code) {
  switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_READONLY:  // a hot journal that only a writer may roll back
    case SQLITE_PROTOCOL:
      return AgentHostRead::Busy;
    default:
      return AgentHostRead::Damaged;
  }
}

std::wstring ColumnText(sqlite3_stmt* statement, int column) {
  const unsigned char* text = sqlite3_column_text(statement, column);
  return text != nullptr ? utf8::ToWide(reinterpret_cast<const char*>(text)) : std::wstring();
}

std::wstring AfterLastSlash(const std::wstring& text) {
  size_t slash = text.rfind(L'/');
  return slash == std::wstring::npos ? text : text.substr(slash + 1);
}

// Steps through every row; false with the failing code when a step fails.
template <typename RowFn>
bool EachRow(sqlite3_stmt* statement, int& failure, RowFn&& row) {
  for (;;) {
    int code = sqlite3_step(statement);
    if (code == SQLITE_DONE) return true;
    if (code != SQLITE_ROW) {
      failure = code;
      return false;
    }
    row(statement);
  }
}

}  // namespace

bool IsCopilotSessionId(std::wstring_view text) {
  if (text.size() != 36) return false;
  for (wchar_t c : text) {
    bool hex = (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
    if (!hex && c != L'-') return false;
  }
  return true;
}

AgentHostRead ReadAgentHostSessions(const std::wstring& databasePath, AgentHostSessionMap& map) {
  if (databasePath.empty()) return AgentHostRead::Done;
  DWORD attributes = GetFileAttributesW(databasePath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return AgentHostRead::Done;

  sqlite3* raw = nullptr;
  int code = sqlite3_open_v2(utf8::FromWide(databasePath).c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  UniqueSqliteDatabase database(raw);
  if (code != SQLITE_OK) return Classify(code);

  auto prepare = [&](const char* sql, UniqueSqliteStatement& statement) {
    sqlite3_stmt* prepared = nullptr;
    int result = sqlite3_prepare_v2(database.get(), sql, -1, &prepared, nullptr);
    statement.reset(prepared);
    return result;
  };

  int failure = SQLITE_OK;
  {
    UniqueSqliteStatement sessions;
    code = prepare(kExplicitSessions, sessions);
    // Only a missing table or column means an older layout; anything else is the file.
    if (code == SQLITE_ERROR) code = prepare(kOlderSessions, sessions);
    if (code != SQLITE_OK && code != SQLITE_ERROR) return Classify(code);
    if (code == SQLITE_OK) {
      bool complete = EachRow(sessions.get(), failure, [&](sqlite3_stmt* row) {
        std::wstring id = AfterLastSlash(ColumnText(row, 0));
        if (IsCopilotSessionId(id) && map.find(id) == map.end()) map.emplace(id, id);
      });
      if (!complete) return Classify(failure);
    }
  }

  UniqueSqliteStatement chats;
  code = prepare(kChats, chats);
  if (code == SQLITE_ERROR) return AgentHostRead::Done;  // no chats table yet
  if (code != SQLITE_OK) return Classify(code);
  bool complete = EachRow(chats.get(), failure, [&](sqlite3_stmt* row) {
    std::wstring owner = AfterLastSlash(ColumnText(row, 0));
    JsonValue data;
    std::wstring error;
    if (!json::Parse(ColumnText(row, 1), false, data, error)) return;
    std::wstring sdkSession = json::StringOr(data, L"sdkSessionId");
    if (IsCopilotSessionId(owner) && IsCopilotSessionId(sdkSession)) map[sdkSession] = owner;
  });
  return complete ? AgentHostRead::Done : Classify(failure);
}

}  // namespace aisync
