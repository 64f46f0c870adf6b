#include "aisync/codex_source.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "codex_test_reader.h"
#include "source_driver.h"
#include "support/temp_dir.h"

namespace {

// The Codex reader behind the source interface reads exactly as it does on its own,
// incrementally, with byte offsets that make prompt keys.
TEST(CodexSource, SameRecordsAsTheReaderThroughTheInterface) {
  testpaths::TempDir dir;
  std::wstring log = dir / L"rollout.jsonl";
  const std::string meta =
      R"({"timestamp":"2024-05-01T09:00:00Z","type":"session_meta","payload":{"id":"S1","cwd":"C:\\Work","source":"vscode"}})";
  const std::string prompt =
      R"({"timestamp":"2024-05-01T10:00:00Z","type":"event_msg","payload":{"type":"user_message","message":"Fix it"}})";
  const std::string reply =
      R"({"timestamp":"2024-05-01T10:00:05Z","type":"event_msg","payload":{"type":"agent_message","message":"Done."}})";
  std::ofstream(std::filesystem::path(log), std::ios::binary) << meta << "\n" << prompt << "\n";

  int finds = 0;
  aisync::CodexSource source([&](std::wstring& /*status*/) {
    ++finds;
    return std::vector<std::wstring>{log};
  });
  testsources::SourceDriver driver(source);
  auto records = driver.Pass();
  std::ofstream(std::filesystem::path(log), std::ios::binary | std::ios::app) << reply << "\n";
  auto more = driver.Pass();
  records.insert(records.end(), more.begin(), more.end());
  // The reply waits for a twin that never comes; a quiet look six seconds on lets it go.
  driver.SetTicks(6000);
  more = driver.Pass();
  records.insert(records.end(), more.begin(), more.end());

  codextest::FileReader reader(Date{2024, 1, 1});
  reader.Lines({meta, prompt, reply});
  reader.Expire();
  std::vector<aisync::AiRecord>& direct = reader.out;
  ASSERT_EQ(direct.size(), 2u);
  EXPECT_EQ(records, direct);
  EXPECT_EQ(records[0].key, L"S1:2024-05-01T10:00:00Z:" + std::to_wstring(meta.size() + 1));
  EXPECT_EQ(finds, 3);
  EXPECT_TRUE(aisync::CodexSource(nullptr).FindFiles(*std::make_unique<std::wstring>()).empty());
}

}  // namespace
