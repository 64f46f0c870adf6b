#include "aisync/log_scanner.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "aisync/codex_source.h"
#include "model/unique_handle.h"
#include "support/temp_dir.h"

namespace {

using aisync::AiRecord;
using aisync::LogScanner;

const char kMeta[] =
    R"({"timestamp":"2024-05-01T09:00:00Z","type":"session_meta","payload":{"id":"S1","cwd":"C:\\Work","source":"vscode"}})";

// The prompt names its model, so the reader has no reason to hold it back.
std::string PromptLine(int n) {
  return R"({"timestamp":"2024-05-01T10:00:00Z","type":"event_msg","payload":{"type":"user_message","model":"gpt-5","message":"prompt )" +
         std::to_string(n) + R"(","client_id":"c)" + std::to_string(n) + "\"}}";
}

// The hold slot of a Codex file the scanner has looked at.
aisync::CodexFileContext& CodexHeld(LogScanner& scanner, const std::wstring& path) {
  return static_cast<aisync::CodexFileContext&>(*scanner.State(path).context);
}

class ScannerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folders.codexHome = home.path();
    std::filesystem::create_directories(std::filesystem::path(home / L"sessions\\2024\\05"));
  }
  std::wstring Log(const wchar_t* name) { return home / (std::wstring(L"sessions\\2024\\05\\") + name); }
  static void Append(const std::wstring& path, const std::string& text) {
    std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::app) << text;
  }
  std::vector<AiRecord> Pass(LogScanner& scanner) {
    std::vector<AiRecord> out;
    std::wstring status;
    scanner.ScanPass(out, status);
    lastStatus = status;
    return out;
  }

  testpaths::TempDir home;
  aisync::LogFolders folders;
  std::wstring lastStatus;
};

TEST_F(ScannerTest, OnlyCompleteLinesAndOnlyNewBytes) {
  std::wstring log = Log(L"rollout-1.jsonl");
  Append(log, std::string(kMeta) + "\n" + PromptLine(1));  // no line feed yet
  LogScanner scanner(folders, {2024, 1, 1});
  EXPECT_TRUE(Pass(scanner).empty()) << "the unfinished line waits";
  Append(log, "\n");
  auto records = Pass(scanner);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].key, L"S1:c1");
  EXPECT_TRUE(Pass(scanner).empty()) << "nothing new, nothing read";

  Append(log, PromptLine(2) + "\n");
  records = Pass(scanner);
  ASSERT_EQ(records.size(), 1u) << "only the appended line is handed over";
  EXPECT_EQ(records[0].key, L"S1:c2");
  const auto* state = scanner.StateOf(log);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->offset, std::filesystem::file_size(std::filesystem::path(log)));
}

TEST_F(ScannerTest, ReplacedFileIsReadAgainFromTheStart) {
  std::wstring log = Log(L"rollout-2.jsonl");
  Append(log, std::string(kMeta) + "\n" + PromptLine(1) + "\n" + PromptLine(2) + "\n");
  LogScanner scanner(folders, {2024, 1, 1});
  EXPECT_EQ(Pass(scanner).size(), 2u);
  std::ofstream(std::filesystem::path(log), std::ios::binary | std::ios::trunc) << kMeta << "\n" << PromptLine(3) << "\n";
  auto records = Pass(scanner);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].key, L"S1:c3");
  // A replacement without its session line has no context any more: it yields nothing.
  std::ofstream(std::filesystem::path(log), std::ios::binary | std::ios::trunc) << PromptLine(4) << "\n";
  EXPECT_TRUE(Pass(scanner).empty());
}

TEST_F(ScannerTest, AHundredRecordsEndThePass) {
  std::string lines = std::string(kMeta) + "\n";
  for (int i = 0; i < 130; ++i) lines += PromptLine(i) + "\n";
  Append(Log(L"a.jsonl"), lines);
  Append(Log(L"b.jsonl"), std::string(kMeta) + "\n" + PromptLine(999) + "\n");
  LogScanner scanner(folders, {2024, 1, 1});
  auto first = Pass(scanner);
  ASSERT_EQ(first.size(), 100u);
  EXPECT_EQ(first.back().key, L"S1:c99");
  auto second = Pass(scanner);
  ASSERT_EQ(second.size(), 31u) << "the rest of a.jsonl, then b.jsonl";
  EXPECT_EQ(second.front().key, L"S1:c100");
  EXPECT_EQ(second.back().key, L"S1:c999");
}

TEST_F(ScannerTest, OldFilesAreOpenedOnlyWhileSomeoneWritesThem) {
  std::wstring log = Log(L"old.jsonl");
  Append(log, std::string(kMeta) + "\n" + PromptLine(1) + "\n");
  {
    // Last written in 2023, before the since date.
    UniqueFile file(CreateFileW(log.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    SYSTEMTIME st{2023, 6, 0, 1, 12, 0, 0, 0};
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &ft));
  }
  LogScanner scanner(folders, {2024, 1, 1});
  EXPECT_TRUE(Pass(scanner).empty());
  EXPECT_EQ(scanner.StateOf(log)->offset, 0u) << "an old file nobody writes is not read";
  UniqueFile writer(CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(writer.valid());
  EXPECT_EQ(Pass(scanner).size(), 1u) << "an assistant still writing it makes it current";
}

TEST_F(ScannerTest, AHeldBackPromptLeavesAfterSixSeconds) {
  std::wstring log = Log(L"pending.jsonl");
  Append(log, std::string(kMeta) + "\n");
  uint64_t now = 1000000;
  LogScanner scanner(folders, {2024, 1, 1});
  scanner.SetTickSource([&now] { return now; });
  EXPECT_TRUE(Pass(scanner).empty());
  AiRecord held;
  held.key = L"S1:held";
  CodexHeld(scanner, log).pending = held;
  CodexHeld(scanner, log).pendingSince = now;
  now += 5999;
  EXPECT_TRUE(Pass(scanner).empty()) << "not before 6 seconds";
  now += 1;
  auto records = Pass(scanner);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].key, L"S1:held");
  EXPECT_TRUE(CodexHeld(scanner, log).pending.key.empty());
  EXPECT_TRUE(Pass(scanner).empty()) << "emitted once";
}

TEST_F(ScannerTest, RememberedFolderListingsFollowChanges) {
  std::wstring folder = home / L"sessions\\2024\\05";
  Append(Log(L"first.jsonl"), "");
  auto age = [&folder] {
    // Pretend the folder was last changed an hour ago, so its listing may be remembered.
    UniqueFile dir(CreateFileW(folder.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= 36000000000ULL;
    FILETIME old{t.LowPart, t.HighPart};
    return SetFileTime(dir.get(), nullptr, nullptr, &old) != FALSE;
  };
  ASSERT_TRUE(age());
  LogScanner scanner(folders, {2024, 1, 1});
  std::wstring status;
  EXPECT_EQ(scanner.CodexFiles(status).size(), 1u);
  EXPECT_EQ(scanner.CodexFiles(status).size(), 1u) << "from the remembered listing";
  Append(Log(L"second.jsonl"), "");  // moves the folder's last-write time
  EXPECT_EQ(scanner.CodexFiles(status).size(), 2u);
  ASSERT_TRUE(age());
  EXPECT_EQ(scanner.CodexFiles(status).size(), 2u);
  DeleteFileW(Log(L"first.jsonl").c_str());
  EXPECT_EQ(scanner.CodexFiles(status).size(), 1u) << "a removed file leaves the listing";
}

// A file system that does not move a folder's write time when an entry is added: the
// remembered listing is renewed once it is a minute old.
TEST_F(ScannerTest, RememberedListingsAreRenewedWithinAMinute) {
  std::wstring folder = home / L"sessions\\2024\\05";
  Append(Log(L"first.jsonl"), std::string(kMeta) + "\n" + PromptLine(1) + "\n");
  FILETIME old;
  {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= 36000000000ULL;
    old = FILETIME{t.LowPart, t.HighPart};
  }
  auto setBack = [&folder, &old] {
    UniqueFile dir(CreateFileW(folder.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return SetFileTime(dir.get(), nullptr, nullptr, &old) != FALSE;
  };
  ASSERT_TRUE(setBack());
  uint64_t now = 5000000;
  LogScanner scanner(folders, {2024, 1, 1});
  scanner.SetTickSource([&now] { return now; });
  ASSERT_EQ(Pass(scanner).size(), 1u);

  Append(Log(L"second.jsonl"), std::string(kMeta) + "\n" + PromptLine(2) + "\n");
  ASSERT_TRUE(setBack());  // the write time says nothing changed
  std::vector<AiRecord> found;
  for (int second = 0; second <= 60 && found.empty(); ++second) {
    found = Pass(scanner);
    now += 1000;
  }
  ASSERT_EQ(found.size(), 1u) << "the new file is filed within 60 s";
  EXPECT_EQ(found[0].key, L"S1:c2");
}

// Unfinished lines are bounded: one longer than the line bound is dropped up to its
// line feed, all files together hold at most the held bound, and every line after an
// over-long one is still read.
TEST_F(ScannerTest, LongUnfinishedLinesAreBoundedAndLaterLinesStillRead) {
  const size_t kLine = 100 * 1024, kHeld = 300 * 1024;
  std::vector<std::wstring> logs;
  for (int i = 0; i < 8; ++i) {
    logs.push_back(Log((L"long-" + std::to_wstring(i) + L".jsonl").c_str()));
    Append(logs.back(), std::string(kMeta) + "\n" + std::string(1024 * 1024, 'x'));  // no line feed
  }
  LogScanner scanner(folders, {2024, 1, 1});
  scanner.SetLineBounds(kLine, kHeld);
  auto held = [&] {
    size_t total = 0;
    for (const auto& log : logs) {
      if (const auto* state = scanner.StateOf(log)) total += state->unfinishedLine.size();
    }
    return total;
  };
  EXPECT_TRUE(Pass(scanner).empty());
  EXPECT_LE(held(), kHeld);
  EXPECT_EQ(held(), scanner.HeldBytes());
  for (size_t i = 0; i < logs.size(); ++i) Append(logs[i], std::string(512 * 1024, 'y'));
  EXPECT_TRUE(Pass(scanner).empty());
  EXPECT_LE(held(), kHeld);

  for (size_t i = 0; i < logs.size(); ++i) {
    Append(logs[i], "\n");
    Append(logs[i], PromptLine(static_cast<int>(i)) + "\n");
  }
  std::vector<std::wstring> keys;
  for (int pass = 0; pass < 3; ++pass) {
    for (const auto& record : Pass(scanner)) keys.push_back(record.key);
  }
  EXPECT_EQ(keys.size(), logs.size());
  EXPECT_EQ(held(), 0u);
  EXPECT_EQ(scanner.HeldBytes(), 0u);
}

// Lines under the line bound that together do not fit: the files that find no room read
// their line again later, and nothing is lost.
TEST_F(ScannerTest, FilesWaitingForRoomLoseNoLine) {
  const size_t kLine = 100 * 1024, kHeld = 200 * 1024;
  std::vector<std::wstring> logs;
  const std::string longPrompt = PromptLine(7).insert(PromptLine(7).find("prompt ") + 7, std::string(80 * 1024, 'z'));
  for (int i = 0; i < 5; ++i) {
    logs.push_back(Log((L"room-" + std::to_wstring(i) + L".jsonl").c_str()));
    Append(logs.back(), std::string(kMeta) + "\n" + longPrompt.substr(0, 70 * 1024));
  }
  LogScanner scanner(folders, {2024, 1, 1});
  scanner.SetLineBounds(kLine, kHeld);
  EXPECT_TRUE(Pass(scanner).empty());
  EXPECT_LE(scanner.HeldBytes(), kHeld);
  for (const auto& log : logs) Append(log, longPrompt.substr(70 * 1024) + "\n" + PromptLine(8) + "\n");
  size_t prompts = 0, longOnes = 0;
  for (int pass = 0; pass < 6; ++pass) {
    for (const auto& record : Pass(scanner)) {
      ++prompts;
      if (record.text.size() > 80 * 1024) ++longOnes;
    }
    EXPECT_LE(scanner.HeldBytes(), kHeld);
  }
  EXPECT_EQ(longOnes, logs.size()) << "every long line arrives whole";
  EXPECT_EQ(prompts, 2 * logs.size());
}

TEST_F(ScannerTest, CodexFilesAreSortedByPathElements) {
  Append(home / L"sessions\\2024\\05\\b.jsonl", "");
  std::filesystem::create_directories(std::filesystem::path(home / L"sessions\\2024\\05\\a"));
  Append(home / L"sessions\\2024\\05\\a\\z.jsonl", "");
  Append(home / L"sessions\\2024\\05\\a.jsonl", "");
  Append(home / L"sessions\\2024\\05\\notes.txt", "");
  LogScanner scanner(folders, {2024, 1, 1});
  std::wstring status;
  auto files = scanner.CodexFiles(status);
  ASSERT_EQ(files.size(), 3u);
  EXPECT_TRUE(files[0].ends_with(L"\\a\\z.jsonl")) << "the folder a sorts before the file a.jsonl";
  EXPECT_TRUE(files[1].ends_with(L"\\a.jsonl"));
  EXPECT_TRUE(files[2].ends_with(L"\\b.jsonl"));
  EXPECT_TRUE(status.empty());

  aisync::LogFolders none;
  LogScanner disabled(none, {2024, 1, 1});
  EXPECT_TRUE(disabled.CodexFiles(status).empty());
}

}  // namespace
