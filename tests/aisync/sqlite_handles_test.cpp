#include "aisync/sqlite_handles.h"

#include <gtest/gtest.h>

#include <type_traits>

#include "sqlite_fixture.h"
#include "support/temp_dir.h"

namespace {

static_assert(!std::is_copy_constructible_v<UniqueSqliteDatabase>);
static_assert(!std::is_copy_assignable_v<UniqueSqliteStatement>);
static_assert(std::is_nothrow_move_constructible_v<UniqueSqliteStatement>);

// The owners' effect is seen from another connection: a reading statement holds the
// file's shared lock, so a writer cannot commit until the statement is finalized, and a
// connection that began a transaction blocks others until it is closed.
TEST(SqliteHandles, FinalizingAndClosingReleaseTheirLocks) {
  testpaths::TempDir dir;
  std::wstring path = dir / L"locks.db";
  ASSERT_TRUE(testsqlite::CreateDatabase(path, "CREATE TABLE t(x); INSERT INTO t VALUES(1),(2);"));
  testsqlite::Connection writer(path);
  {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(utf8::FromWide(path).c_str(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    UniqueSqliteDatabase database(raw);
    sqlite3_stmt* prepared = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(database.get(), "SELECT x FROM t", -1, &prepared, nullptr), SQLITE_OK);
    UniqueSqliteStatement statement(prepared);
    ASSERT_EQ(sqlite3_step(statement.get()), SQLITE_ROW);
    EXPECT_FALSE(writer.Run("INSERT INTO t VALUES(3);"));  // the reader's lock is held
    UniqueSqliteStatement moved = std::move(statement);
    EXPECT_FALSE(statement.valid());
    EXPECT_FALSE(writer.Run("INSERT INTO t VALUES(3);"));  // moving did not finalize it
    moved.reset();
    EXPECT_TRUE(writer.Run("INSERT INTO t VALUES(3);"));

    testsqlite::Connection other(path);
    ASSERT_TRUE(other.Run("BEGIN EXCLUSIVE;"));
    EXPECT_FALSE(writer.Run("INSERT INTO t VALUES(4);"));
  }  // `other` closes here and with it its transaction
  EXPECT_TRUE(writer.Run("INSERT INTO t VALUES(4);"));
}

}  // namespace
