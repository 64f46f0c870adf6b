// The log scanner over all four sources: the cost of a pass that finds nothing new (paid
// every few seconds for as long as the program runs), next to its floor, and the reading
// speed over a large backlog of each source (paid once, when sync is turned on for an
// existing history).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "aisync/chat_reader.h"
#include "aisync/claude_reader.h"
#include "aisync/copilot_reader.h"
#include "aisync/log_scanner.h"
#include "bench/bench.h"
#include "bench/scan_logs.h"
#include "model/unique_handle.h"

namespace bench {
namespace {

const Date kSince{2024, 1, 1};

std::wstring TempFolder(const wchar_t* name) {
  return TempPath(std::wstring(name) + L"-" + std::to_wstring(GetCurrentProcessId()));
}

void RemoveTree(const std::wstring& path) {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(path), ignored);
}

// What no scanner can avoid: listing each folder the sources look into, and one
// attribute query per log file.
void Floor(const LogTree& tree) {
  WIN32_FIND_DATAW data;
  for (const auto& folder : tree.folders) {
    UniqueFind find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
    if (!find) continue;
    while (FindNextFileW(find.get(), &data)) {
    }
  }
  WIN32_FILE_ATTRIBUTE_DATA attributes;
  for (const auto& file : tree.files) GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &attributes);
}

size_t Pass(aisync::LogScanner& scanner) {
  std::vector<aisync::AiRecord> out;
  std::wstring status;
  scanner.ScanPass(out, status);
  return out.size();
}

void IdlePass() {
  const int kFilesPerSource = 1250;
  const std::wstring home = TempFolder(L"tavrilo-bench-scan-idle");
  LogTree tree;
  for (LogKind kind : {LogKind::Codex, LogKind::Chat, LogKind::Claude, LogKind::Copilot}) {
    if (!MakeLogs(home, kind, kFilesPerSource, 4000, 2, tree)) {
      std::printf("could not write the idle logs\n");
      RemoveTree(home);
      return;
    }
  }
  aisync::LogScanner scanner(FoldersOf(home), kSince);
  scanner.SetRecordLimit(SIZE_MAX);
  const size_t first = Pass(scanner);
  size_t stray = 0;
  Stats idle = Measure(15, [&] { stray += Pass(scanner); });
  Stats floor = Measure(15, [&] { Floor(tree); });
  char extra[160];
  std::snprintf(extra, sizeof extra, "%zu files in %zu folders, %zu records first, %zu after (target < 100 ms)",
                tree.files.size(), tree.folders.size(), first, stray);
  PrintRow("idle pass, four sources, nothing changed", idle, extra);
  std::snprintf(extra, sizeof extra, "idle pass / floor = %.2f (target <= 2)", idle.minMs / floor.minMs);
  PrintRow("  floor: listings + 1 attribute query/file", floor, extra);
  // The pass that comes once a minute, when every remembered listing is renewed.
  uint64_t minutes = GetTickCount64();
  scanner.SetTickSource([&minutes] { return minutes; });
  Stats renewing = Measure(15, [&] {
    minutes += aisync::ListingCache::kMaxAgeMs;
    stray += Pass(scanner);
  });
  std::snprintf(extra, sizeof extra, "idle pass / floor = %.2f, %zu records after", renewing.minMs / floor.minMs, stray);
  PrintRow("idle pass renewing every listing (1/min)", renewing, extra);
  // Where the pass goes: the remembered listings (what the floor lists afresh), the
  // agent host's session map, and the attribute queries.
  const aisync::LogFolders folders = FoldersOf(home);
  std::wstring status;
  aisync::ListingCache cache([] { return GetTickCount64(); });
  aisync::ChatSource chat(folders.vscodeUser, folders.vscodeInsidersUser);
  aisync::ClaudeSource claude(folders.claude);
  aisync::CopilotSource copilot({folders.copilot, folders.vscodeUser, folders.vscodeInsidersUser});
  chat.SetLister(cache.Lister());
  claude.SetLister(cache.Lister());
  copilot.SetLister(cache.Lister());
  PrintRow("  of which the Copilot session map", Measure(15, [&] { copilot.Poll(status); }));
  PrintRow("  of which the listings (remembered)", Measure(15, [&] {
             scanner.CodexFiles(status);
             chat.FindFiles(status);
             claude.FindFiles(status);
             copilot.FindFiles(status);
           }),
           "Copilot's includes one workspace.yaml query per unmapped session");
  Stats attributes = Measure(15, [&] {
    WIN32_FILE_ATTRIBUTE_DATA data;
    for (const auto& file : tree.files) GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data);
  });
  PrintRow("  of which the attribute queries alone", attributes);
  RemoveTree(home);
}

// A fresh scanner per run, as after a restart of the sync worker, with the record bound
// lifted so one pass reads the whole backlog.
void FirstPass(LogKind kind, int exchangeEvery, const char* label) {
  const int kFiles = 200;
  const size_t kBytesPerFile = 1000 * 1000;
  const std::wstring home = TempFolder(L"tavrilo-bench-scan-backlog");
  LogTree tree;
  if (!MakeLogs(home, kind, kFiles, kBytesPerFile, exchangeEvery, tree)) {
    std::printf("could not write the backlog\n");
    RemoveTree(home);
    return;
  }
  size_t records = 0;
  Stats pass = Measure(2, [&] {
    aisync::LogScanner scanner(FoldersOf(home), kSince);
    scanner.SetRecordLimit(SIZE_MAX);
    records = Pass(scanner);
  });
  char extra[160];
  std::snprintf(extra, sizeof extra, "%s, %.1f MB, %zu records", Rate(tree.bytes, pass).c_str(), tree.bytes / 1e6,
                records);
  PrintRow(label, pass, extra);
  RemoveTree(home);
}

}  // namespace

void RunScanBench() {
  PrintTitle("AI log scanner");
  IdlePass();
  FirstPass(LogKind::Codex, 10, "first pass, 200 MB Codex backlog");
  FirstPass(LogKind::Codex, 0, "first pass, 200 MB Codex, pre-filter rejected");
  FirstPass(LogKind::Chat, 1, "first pass, 200 MB VS Code Chat backlog");
  FirstPass(LogKind::Claude, 10, "first pass, 200 MB Claude Code backlog");
  FirstPass(LogKind::Copilot, 10, "first pass, 200 MB Copilot backlog");
}

}  // namespace bench
