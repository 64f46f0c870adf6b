// Builds agent-host databases for tests from SQL text. The program itself only reads
// databases; writing them is the tests' business.
#pragma once

#include <sqlite3.h>

#include <string>

#include "aisync/sqlite_handles.h"
#include "model/utf8.h"

namespace testsqlite {

// An open read-write connection (created when missing) that runs SQL text.
class Connection {
 public:
  explicit Connection(const std::wstring& path) {
    sqlite3* raw = nullptr;
    sqlite3_open_v2(utf8::FromWide(path).c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    db_.reset(raw);
  }
  bool Run(const std::string& sql) {
    char* message = nullptr;
    int code = sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, &message);
    if (message != nullptr) {
      error_ = message;
      sqlite3_free(message);
    }
    return code == SQLITE_OK;
  }
  const std::string& error() const { return error_; }

 private:
  UniqueSqliteDatabase db_;
  std::string error_;
};

inline bool CreateDatabase(const std::wstring& path, const std::string& sql) {
  Connection connection(path);
  return connection.Run(sql);
}

// The current layout of the agent host's tables, as far as the reader uses them.
inline const char* AgentHostSchema() {
  return "CREATE TABLE sessions(session_uri TEXT, provider TEXT, registration_source TEXT);"
         "CREATE TABLE session_chat_state(storage_resource TEXT);"
         "CREATE TABLE chats_v2(owner_session_uri TEXT, provider_data TEXT, tombstoned INTEGER);";
}

}  // namespace testsqlite
