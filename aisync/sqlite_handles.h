// Owners of SQLite's database and statement handles, so that every early return
// finalizes and closes what it opened.
#pragma once

#include <sqlite3.h>

#include "model/unique_handle.h"

struct SqliteDatabaseTraits {
  using Handle = sqlite3*;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { sqlite3_close(h); }
};

struct SqliteStatementTraits {
  using Handle = sqlite3_stmt*;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { sqlite3_finalize(h); }
};

using UniqueSqliteDatabase = UniqueResource<SqliteDatabaseTraits>;
using UniqueSqliteStatement = UniqueResource<SqliteStatementTraits>;
