#include "aisync/agent_host_sessions.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "aisync/copilot_reader.h"
#include "sqlite_fixture.h"
#include "support/temp_dir.h"

namespace {

using aisync::AgentHostRead;
using aisync::AgentHostSessionMap;

const char kIdA[] = "0a1b2c3d-4e5f-6a7b-8c9d-0e1f2a3b4c5d";
const char kIdB[] = "1a1b2c3d-4e5f-6a7b-8c9d-0e1f2a3b4c5d";
const char kIdC[] = "2a1b2c3d-4e5f-6a7b-8c9d-0e1f2a3b4c5d";
const char kOwner[] = "9F9F9F9F-4E5F-6A7B-8C9D-0E1F2A3B4C5D";

std::wstring W(const std::string& text) { return utf8::ToWide(text); }

std::string Rows() {
  return std::string(testsqlite::AgentHostSchema()) +
         "INSERT INTO sessions VALUES('copilotcli:/" + kIdA + "','copilotcli','explicit');"
         "INSERT INTO sessions VALUES('copilotcli:/" + kIdB + "','copilotcli','implicit');"  // not explicit
         "INSERT INTO sessions VALUES('other:/" + kIdC + "','claude','explicit');"
         "INSERT INTO session_chat_state VALUES('copilotcli:/x/y/" + kIdC + "');"
         "INSERT INTO session_chat_state VALUES('copilotcli:/not-an-id');"
         "INSERT INTO chats_v2 VALUES('copilotcli:/" + kOwner + "','{\"sdkSessionId\":\"" + kIdA + "\"}',0);"
         "INSERT INTO chats_v2 VALUES('copilotcli:/" + kOwner + "','{\"sdkSessionId\":\"" + kIdB + "\"}',1);"
         "INSERT INTO chats_v2 VALUES('copilotcli:/" + kOwner + "','not json',0);"
         "INSERT INTO chats_v2 VALUES('copilotcli:/short','{\"sdkSessionId\":\"" + kIdC + "\"}',0);";
}

TEST(AgentHostSessions, SessionIdsAreThirtySixHexDigitsAndHyphens) {
  EXPECT_TRUE(aisync::IsCopilotSessionId(W(kIdA)));
  EXPECT_TRUE(aisync::IsCopilotSessionId(W(kOwner)));
  EXPECT_TRUE(aisync::IsCopilotSessionId(L"------------------------------------"));
  EXPECT_FALSE(aisync::IsCopilotSessionId(W(kIdA).substr(1)));
  EXPECT_FALSE(aisync::IsCopilotSessionId(W(kIdA) + L"0"));
  EXPECT_FALSE(aisync::IsCopilotSessionId(L"0a1b2c3d-4e5f-6a7b-8c9d-0e1f2a3b4c5g"));
  EXPECT_FALSE(aisync::IsCopilotSessionId(L"0a1b2c3d_4e5f-6a7b-8c9d-0e1f2a3b4c5d"));
  EXPECT_FALSE(aisync::IsCopilotSessionId(L""));
}

TEST(AgentHostSessions, ExplicitSessionsChatStateAndChatsMapping) {
  testpaths::TempDir dir;
  std::wstring db = dir / L"agent-host.db";
  ASSERT_TRUE(testsqlite::CreateDatabase(db, Rows()));
  AgentHostSessionMap map;
  EXPECT_EQ(aisync::ReadAgentHostSessions(db, map), AgentHostRead::Done);
  // A is explicit but its chat names another owner: the chat wins. B is neither explicit
  // nor in a live chat; C comes from the chat state (its chat's owner is no session id).
  AgentHostSessionMap expected{{W(kIdA), W(kOwner)}, {W(kIdC), W(kIdC)}};
  EXPECT_EQ(map, expected);
  // Reading leaves the file as it was: no journal, no write.
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(db + L"-journal")));
}

TEST(AgentHostSessions, OlderLayoutFallsBackToAllCopilotSessions) {
  testpaths::TempDir dir;
  std::wstring db = dir / L"agent-host.db";
  ASSERT_TRUE(testsqlite::CreateDatabase(
      db, std::string("CREATE TABLE sessions(session_uri TEXT, provider TEXT);") +
              "INSERT INTO sessions VALUES('copilotcli:/" + kIdA + "','copilotcli');" +
              "INSERT INTO sessions VALUES('" + kIdB + "','copilotcli');" +
              "INSERT INTO sessions VALUES('copilotcli:/" + kIdC + "','codex');"));
  AgentHostSessionMap map{{W(kIdB), W(kOwner)}};  // an earlier database's mapping stays
  EXPECT_EQ(aisync::ReadAgentHostSessions(db, map), AgentHostRead::Done);
  AgentHostSessionMap expected{{W(kIdA), W(kIdA)}, {W(kIdB), W(kOwner)}};
  EXPECT_EQ(map, expected);
}

TEST(AgentHostSessions, MissingDamagedAndBusyDatabases) {
  testpaths::TempDir dir;
  AgentHostSessionMap map;
  EXPECT_EQ(aisync::ReadAgentHostSessions(L"", map), AgentHostRead::Done);
  EXPECT_EQ(aisync::ReadAgentHostSessions(dir / L"missing.db", map), AgentHostRead::Done);
  std::filesystem::create_directories(std::filesystem::path(dir / L"folder.db"));
  EXPECT_EQ(aisync::ReadAgentHostSessions(dir / L"folder.db", map), AgentHostRead::Done);

  std::wstring garbage = dir / L"garbage.db";
  std::ofstream(std::filesystem::path(garbage), std::ios::binary) << std::string(8192, 'x');
  EXPECT_EQ(aisync::ReadAgentHostSessions(garbage, map), AgentHostRead::Damaged);

  // A real database cut short: its pages past the first are gone.
  std::wstring cut = dir / L"cut.db";
  std::string rows = std::string(testsqlite::AgentHostSchema()) + "BEGIN;";
  for (int i = 0; i < 400; ++i) {
    rows += "INSERT INTO sessions VALUES('copilotcli:/" + std::string(kIdA) + "','copilotcli','explicit');";
  }
  ASSERT_TRUE(testsqlite::CreateDatabase(cut, rows + "COMMIT;"));
  std::filesystem::resize_file(std::filesystem::path(cut), 4096 * 2 + 100);
  EXPECT_EQ(aisync::ReadAgentHostSessions(cut, map), AgentHostRead::Damaged);
  EXPECT_TRUE(map.empty() || map.size() == 1u);

  // A writer in the middle of committing holds the file: the read gives up at once
  // instead of waiting on it or blocking it.
  std::wstring busy = dir / L"busy.db";
  ASSERT_TRUE(testsqlite::CreateDatabase(busy, Rows()));
  testsqlite::Connection writer(busy);
  ASSERT_TRUE(writer.Run("BEGIN EXCLUSIVE; INSERT INTO sessions VALUES('x','copilotcli','explicit');"));
  map.clear();
  EXPECT_EQ(aisync::ReadAgentHostSessions(busy, map), AgentHostRead::Busy);
  ASSERT_TRUE(writer.Run("COMMIT;"));
  EXPECT_EQ(aisync::ReadAgentHostSessions(busy, map), AgentHostRead::Done);
  EXPECT_EQ(map.size(), 2u);
}

TEST(AgentHostSessions, HotJournalLeftByACrashedWriterIsLeftToItsOwner) {
  testpaths::TempDir dir;
  std::wstring db = dir / L"agent-host.db";
  std::string rows = Rows() + "BEGIN;";
  for (int i = 0; i < 300; ++i) rows += "INSERT INTO sessions VALUES('" + std::string(200, 'x') + "','p','e');";
  ASSERT_TRUE(testsqlite::CreateDatabase(db, rows + "COMMIT;"));
  // A writer whose changes no longer fit its cache has started overwriting the file; a
  // copy of both files taken now is what a crash in the middle leaves behind.
  testsqlite::Connection writer(db);
  ASSERT_TRUE(writer.Run("PRAGMA cache_size=1; BEGIN; UPDATE sessions SET provider='q' WHERE provider='p';"));
  std::wstring crashed = dir / L"crashed.db";
  ASSERT_TRUE(CopyFileW(db.c_str(), crashed.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW((db + L"-journal").c_str(), (crashed + L"-journal").c_str(), FALSE));
  ASSERT_TRUE(writer.Run("ROLLBACK;"));
  AgentHostSessionMap map;
  EXPECT_EQ(aisync::ReadAgentHostSessions(crashed, map), AgentHostRead::Busy);
  // Only the owner may roll it back: the journal is still there, the file untouched.
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(crashed + L"-journal")));
}

TEST(AgentHostSessions, WriteAheadLogDatabaseIsReadWhileItsOwnerWrites) {
  testpaths::TempDir dir;
  std::wstring db = dir / L"agent-host.db";
  testsqlite::Connection owner(db);
  ASSERT_TRUE(owner.Run("PRAGMA journal_mode=WAL;" + Rows())) << owner.error();
  // The owner keeps a write transaction open: readers see the last commit.
  ASSERT_TRUE(owner.Run(std::string("BEGIN IMMEDIATE; INSERT INTO sessions VALUES('copilotcli:/") + kIdB +
                        "','copilotcli','explicit');"));
  AgentHostSessionMap map;
  EXPECT_EQ(aisync::ReadAgentHostSessions(db, map), AgentHostRead::Done);
  EXPECT_EQ(map.size(), 2u);
  ASSERT_TRUE(owner.Run("COMMIT;"));
  map.clear();
  EXPECT_EQ(aisync::ReadAgentHostSessions(db, map), AgentHostRead::Done);
  EXPECT_EQ(map.size(), 3u);
  // And the owner can still write after the reader came and went.
  EXPECT_TRUE(owner.Run("INSERT INTO sessions VALUES('a','b','c');"));
}

TEST(AgentHostSessions, PollReportsADamagedDatabaseAndReadsTheOther) {
  testpaths::TempDir dir;
  std::filesystem::create_directories(std::filesystem::path(dir / L"Code\\User\\globalStorage"));
  std::filesystem::create_directories(std::filesystem::path(dir / L"Insiders\\User\\globalStorage"));
  std::ofstream(std::filesystem::path(dir / L"Code\\User\\globalStorage\\agent-host.db"), std::ios::binary)
      << "SQLite format 3" << std::string(100, '\0');
  ASSERT_TRUE(testsqlite::CreateDatabase(dir / L"Insiders\\User\\globalStorage\\agent-host.db", Rows()));
  aisync::CopilotSource source({dir / L"copilot", dir / L"Code\\User", dir / L"Insiders\\User"});
  std::wstring status;
  source.Poll(status);
  EXPECT_NE(status.find(L"Code\\User\\globalStorage\\agent-host.db"), std::wstring::npos) << status;
  EXPECT_EQ(source.SessionMap().size(), 2u);
  // Nothing left over from the pass before: the map is built anew.
  std::filesystem::remove(std::filesystem::path(dir / L"Insiders\\User\\globalStorage\\agent-host.db"));
  source.Poll(status);
  EXPECT_TRUE(source.SessionMap().empty());
}

TEST(AgentHostSessions, DamagedBytesNeverCrashTheRead) {
  testpaths::TempDir dir;
  std::wstring good = dir / L"good.db";
  ASSERT_TRUE(testsqlite::CreateDatabase(good, Rows()));
  std::ifstream in(std::filesystem::path(good), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  std::mt19937_64 random(0xdb5eed);
  int damaged = 0;
  for (int i = 0; i < 300; ++i) {
    std::string copy = bytes;
    if (i % 3 == 0) copy.resize(random() % copy.size());
    for (int n = 1 + static_cast<int>(random() % 16); n > 0; --n) copy[random() % copy.size()] = static_cast<char>(random());
    std::wstring path = dir / (L"m" + std::to_wstring(i) + L".db");
    std::ofstream(std::filesystem::path(path), std::ios::binary) << copy;
    AgentHostSessionMap map;
    if (aisync::ReadAgentHostSessions(path, map) != AgentHostRead::Done) ++damaged;
    for (const auto& [sdk, owner] : map) {
      EXPECT_TRUE(aisync::IsCopilotSessionId(sdk));
      EXPECT_TRUE(aisync::IsCopilotSessionId(owner));
    }
  }
  EXPECT_GT(damaged, 0);
}

}  // namespace
