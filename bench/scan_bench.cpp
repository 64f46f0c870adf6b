// The Codex log scanner: the cost of a pass that finds nothing new (paid every few
// seconds for as long as the program runs) and the reading speed over a large backlog
// (paid once, when sync is turned on for an existing Codex history).
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "aisync/log_scanner.h"
#include "bench/bench.h"

namespace bench {
namespace {

const Date kSince{2024, 1, 1};

std::wstring TempFolder(const wchar_t* name) {
  return TempPath(std::wstring(name) + L"-" + std::to_wstring(GetCurrentProcessId()));
}

std::string Meta(int n) {
  return R"({"timestamp":"2024-05-01T09:00:00.000Z","type":"session_meta","payload":{"id":"0196a1b2-0000-7e5f-8a9b-)" +
         std::to_string(100000000 + n) +
         R"(","timestamp":"2024-05-01T09:00:00.000Z","cwd":"C:\\Users\\dev\\src\\app","originator":"codex_vscode","cli_version":"0.46.0","source":"vscode","model":"gpt-5-codex"}})"
         "\n";
}

std::string Prompt(int n) {
  return R"({"timestamp":"2024-05-01T10:00:00.000Z","type":"event_msg","payload":{"type":"user_message","message":"Please fix the failing test number )" +
         std::to_string(n) + R"( in the build and explain the cause","client_id":"c-)" + std::to_string(n) +
         R"(","images":[],"local_images":[]}})"
         "\n";
}

std::string Reply(int n) {
  return R"({"timestamp":"2024-05-01T10:00:09.500Z","type":"event_msg","payload":{"type":"agent_message","message":"Done: the link order was wrong in step )" +
         std::to_string(n) + R"(.\n\nI moved the core library before the app target and the test passes now.","phase":"final_answer"}})"
         "\n";
}

// The bulk of a real log: tool calls and their output, reasoning and token counts. None
// of these carries the words the reader looks for.
std::string ToolLines(int n) {
  std::string output;
  for (int i = 0; i < 24; ++i) {
    output += '[';
    output += std::to_string(i * 4);
    output += "%] Building CXX object CMakeFiles/core.dir/src/module_";
    output += std::to_string(n + i);
    output += ".cpp.obj\\n";
  }
  return R"({"timestamp":"2024-05-01T10:02:00Z","type":"response_item","payload":{"type":"function_call","name":"shell","arguments":"{\"command\":[\"powershell\",\"-Command\",\"cmake --build build --target core\"],\"workdir\":\"C:\\\\Users\\\\dev\\\\src\\\\app\"}","call_id":"call_)" +
         std::to_string(n) +
         R"("}})"
         "\n"
         R"({"timestamp":"2024-05-01T10:02:04Z","type":"response_item","payload":{"type":"function_call_output","call_id":"call_)" +
         std::to_string(n) + R"(","output":"{\"output\":\")" + output +
         R"(\",\"metadata\":{\"exit_code\":0,\"duration_seconds\":3.2}}"}})"
         "\n"
         R"({"timestamp":"2024-05-01T10:02:05Z","type":"response_item","payload":{"type":"reasoning","summary":[{"type":"summary_text","text":"**Checking the link order** of the targets before changing anything."}],"encrypted_content":"gAAAAABo0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"}})"
         "\n"
         R"({"timestamp":"2024-05-01T10:02:06Z","type":"event_msg","payload":{"type":"token_count","info":{"total_token_usage":{"input_tokens":12034,"cached_input_tokens":9000,"output_tokens":845}}}})"
         "\n";
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

// A log of about `bytes` bytes: a conversation with one prompt and one reply per
// `exchangeEvery` tool rounds, or only tool rounds when that is 0.
std::string LogText(int file, size_t bytes, int exchangeEvery) {
  std::string text = Meta(file);
  for (int round = 0; text.size() < bytes; ++round) {
    if (exchangeEvery > 0 && round % exchangeEvery == 0) text += Prompt(round) + Reply(round);
    text += ToolLines(round);
  }
  return text;
}

// Files spread over year/month/day folders as Codex lays them out.
std::wstring DayFolder(const std::wstring& home, int file, int filesPerDay) {
  int day = file / filesPerDay;
  wchar_t name[64];
  std::swprintf(name, 64, L"\\sessions\\%04d\\%02d\\%02d", 2024 + day / 336, 1 + day / 28 % 12, 1 + day % 28);
  return home + name;
}

bool MakeLogs(const std::wstring& home, int files, int filesPerDay, size_t bytesPerFile, int exchangeEvery,
              double& totalBytes) {
  totalBytes = 0;
  for (int i = 0; i < files; ++i) {
    std::wstring folder = DayFolder(home, i, filesPerDay);
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(folder), ignored);
    std::string text = LogText(i, bytesPerFile, exchangeEvery);
    if (!WriteBytes(folder + L"\\rollout-" + std::to_wstring(i) + L".jsonl", text)) return false;
    totalBytes += static_cast<double>(text.size());
  }
  return true;
}

void RemoveTree(const std::wstring& path) {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(path), ignored);
}

aisync::LogFolders CodexOnly(const std::wstring& home) {
  aisync::LogFolders folders;
  folders.codexHome = home;
  return folders;
}

// A fresh scanner per run, as after a restart of the sync worker, with the record bound
// lifted so one pass reads the whole backlog.
Stats MeasureFirstPass(const std::wstring& home, int runs, size_t& records) {
  return Measure(runs, [&] {
    aisync::LogScanner scanner(CodexOnly(home), kSince);
    scanner.SetRecordLimit(SIZE_MAX);
    std::vector<aisync::AiRecord> out;
    std::wstring status;
    scanner.ScanPass(out, status);
    records = out.size();
  });
}

}  // namespace

void RunScanBench() {
  PrintTitle("Codex log scanner");

  // (a) A pass over many logs of which none changed: one attribute query per file.
  const int kIdleFiles = 5000;
  const std::wstring idleHome = TempFolder(L"tavrilo-bench-codex-idle");
  double idleBytes = 0;
  if (!MakeLogs(idleHome, kIdleFiles, 20, 4000, 2, idleBytes)) {
    std::printf("could not write the idle logs\n");
    RemoveTree(idleHome);
    return;
  }
  {
    aisync::LogScanner scanner(CodexOnly(idleHome), kSince);
    scanner.SetRecordLimit(SIZE_MAX);
    std::vector<aisync::AiRecord> first;
    std::wstring status;
    scanner.ScanPass(first, status);
    size_t stray = 0;
    Stats idle = Measure(15, [&] {
      std::vector<aisync::AiRecord> out;
      scanner.ScanPass(out, status);
      stray += out.size();
    });
    char extra[128];
    std::snprintf(extra, sizeof extra, "%d files, %zu records first, %zu after (target < 100 ms)", kIdleFiles,
                  first.size(), stray);
    PrintRow("idle pass, nothing changed", idle, extra);
    // Where an idle pass goes: the recursive listing, and one attribute query per file.
    std::vector<std::wstring> files;
    Stats listing = Measure(15, [&] { files = scanner.CodexFiles(status); });
    PrintRow("  of which listing the sessions folder", listing);
    Stats attributes = Measure(15, [&] {
      WIN32_FILE_ATTRIBUTE_DATA data;
      for (const auto& file : files) GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data);
    });
    PrintRow("  of which the attribute queries alone", attributes);
  }
  RemoveTree(idleHome);

  // (b) The first pass over a backlog: mostly tool output that the raw-byte pre-filter
  // rejects, plus prompts and replies; and a backlog of rejected lines only.
  const int kBacklogFiles = 200;
  const size_t kBytesPerFile = 1000 * 1000;
  struct Backlog {
    const wchar_t* name;
    const char* label;
    int exchangeEvery;
  };
  for (const Backlog& backlog : {Backlog{L"tavrilo-bench-codex-mixed", "first pass, 200 MB mixed backlog", 10},
                                 Backlog{L"tavrilo-bench-codex-tools", "first pass, 200 MB pre-filter rejected", 0}}) {
    const std::wstring home = TempFolder(backlog.name);
    double bytes = 0;
    if (!MakeLogs(home, kBacklogFiles, 10, kBytesPerFile, backlog.exchangeEvery, bytes)) {
      std::printf("could not write the backlog\n");
      RemoveTree(home);
      return;
    }
    size_t records = 0;
    Stats pass = MeasureFirstPass(home, 3, records);
    char extra[128];
    std::snprintf(extra, sizeof extra, "%s, %.1f MB, %zu records (target >= 100 MB/s)", Rate(bytes, pass).c_str(),
                  bytes / 1e6, records);
    PrintRow(backlog.label, pass, extra);
    RemoveTree(home);
  }
}

}  // namespace bench
