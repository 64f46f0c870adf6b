// AI history sync on the window's thread: (a) a restart after a long history, through the
// real worker, scanner and apply step, until the one prompt written since is filed; (b) a
// backlog of new records filed into large project files, tick by tick.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include "aisync/imported_keys.h"
#include "aisync/log_scanner.h"
#include "aisync/record_store.h"
#include "aisync/sync_apply.h"
#include "aisync/sync_worker.h"
#include "bench/bench.h"
#include "model/project_file.h"
#include "model/utf8.h"

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor time of this thread: on a machine shared with other work a tick's wall time
// also holds the time the scheduler gave to others and the disk's flushes.
double ThreadCpuMs() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

std::wstring Folder(const wchar_t* name) {
  return TempPath(std::wstring(name) + L"-" + std::to_wstring(GetCurrentProcessId()));
}

void RemoveTree(const std::wstring& path) {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(path), ignored);
}

std::string Escaped(const std::wstring& path) {
  std::string out;
  for (char c : utf8::FromWide(path)) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

std::string SessionLine(int session, const std::wstring& cwd) {
  return R"({"timestamp":"2024-05-01T09:00:00.000Z","type":"session_meta","payload":{"id":"s)" +
         std::to_string(session) + R"(","cwd":")" + Escaped(cwd) +
         R"(","originator":"codex_vscode","cli_version":"0.46.0","source":"vscode","model":"gpt-5-codex"}})"
         "\n";
}

std::string PromptLine(int n) {
  return R"({"timestamp":"2024-05-01T10:00:00.000Z","type":"event_msg","payload":{"type":"user_message","message":"Please fix the failing test number )" +
         std::to_string(n) + R"( and explain the cause","client_id":"c)" + std::to_string(n) +
         R"(","images":[],"local_images":[]}})"
         "\n";
}

// What lies between two prompts in a real log: a tool call, its output, a token count.
std::string ToolLines(int n) {
  std::string output;
  for (int i = 0; i < 12; ++i) output += "[" + std::to_string(i * 8) + "%] Building CXX object module_" + std::to_string(n + i) + ".cpp.obj\\n";
  return R"({"timestamp":"2024-05-01T10:02:00Z","type":"response_item","payload":{"type":"function_call","name":"shell","arguments":"{\"command\":[\"cmake\",\"--build\",\"build\"]}","call_id":"call_)" +
         std::to_string(n) +
         R"("}})"
         "\n"
         R"({"timestamp":"2024-05-01T10:02:04Z","type":"response_item","payload":{"type":"function_call_output","call_id":"call_)" +
         std::to_string(n) + R"(","output":")" + output +
         R"("}})"
         "\n"
         R"({"timestamp":"2024-05-01T10:02:06Z","type":"event_msg","payload":{"type":"token_count","info":{"total_token_usage":{"input_tokens":12034,"output_tokens":845}}}})"
         "\n";
}

// The turn's model, which Codex writes after the prompt.
std::string TurnLine(const std::wstring& cwd) {
  return R"({"timestamp":"2024-05-01T10:00:01.000Z","type":"turn_context","payload":{"cwd":")" + Escaped(cwd) +
         R"(","model":"gpt-5-codex"}})"
         "\n";
}

std::wstring PromptKey(int session, int n) { return L"s" + std::to_wstring(session) + L":c" + std::to_wstring(n); }

std::wstring LogPath(const std::wstring& home, int file) {
  wchar_t name[96];
  std::swprintf(name, 96, L"\\sessions\\2024\\%02d\\%02d\\rollout-%05d.jsonl", 1 + file / 280 % 12, 1 + file / 10 % 28,
                file);
  return home + name;
}

struct TickStats {
  int ticks = 0;
  double totalMs = 0;
  double longestMs = 0;
  double medianMs = 0;
};

TickStats Summarise(std::vector<double> times) {
  TickStats stats;
  stats.ticks = static_cast<int>(times.size());
  if (times.empty()) return stats;
  for (double t : times) stats.totalMs += t;
  std::sort(times.begin(), times.end());
  stats.longestMs = times.back();
  stats.medianMs = times[times.size() / 2];
  return stats;
}

// The main window's side of one tick, as app/main_sync.cpp runs it.
struct Driver {
  ProjectDocument document;
  std::wstring path;
  std::deque<aisync::AiRecord> queue;
  aisync::ImportedKeys keys;
  aisync::UnsavedFilings unsaved;
  int filed = 0;
  std::wstring lastError;

  aisync::SaveDocumentFn Save() const {
    return [this](const ProjectDocument& doc, std::wstring& error) {
      return projectfile::SaveProjectFile(path, doc.projects, doc.nextId, error);
    };
  }
  aisync::ApplyResult Tick(aisync::SyncWorker* worker) {
    if (worker != nullptr) {
      std::vector<aisync::AiRecord> arrived;
      std::wstring status;
      worker->Take(arrived, status, queue.size());
      for (auto& record : arrived) queue.push_back(std::move(record));
    }
    aisync::ApplyOptions options;
    options.keys = &keys;
    options.timeUsedUp = aisync::TimeBudget(aisync::kTickBudget);
    options.unsaved = &unsaved;
    aisync::ApplyResult result = aisync::ApplyPending(queue, document, aisync::FileAiRecord, Save(), options);
    if (worker != nullptr) worker->Settle(queue.size(), result.filedKeys);
    filed += result.filed;
    if (!result.lastError.empty()) lastError = result.lastError;
    return result;
  }
};

// (a) N prompts filed before, spread over 2,000 logs, and one appended since.
void RestartAfterHistory(int filedBefore) {
  const int kFiles = 2000;
  const std::wstring root = Folder(L"tavrilo-bench-restart");
  const std::wstring home = root + L"\\codex";
  const std::wstring work = root + L"\\work";
  std::filesystem::create_directories(std::filesystem::path(work));

  Driver driver;
  driver.document = SyntheticDocument(360, 18000, 20261208);
  Project project;
  project.title = L"work";
  project.location = work;
  project.codexImports.reserve(static_cast<size_t>(filedBefore));
  std::wstring lastLog;
  int n = 0;
  for (int file = 0; file < kFiles; ++file) {
    const int prompts = filedBefore / kFiles + (file < filedBefore % kFiles ? 1 : 0);
    std::string text = SessionLine(file, work);
    for (int i = 0; i < prompts; ++i, ++n) {
      text += PromptLine(n) + TurnLine(work) + ToolLines(n);
      project.codexImports.push_back(PromptKey(file, n));
    }
    lastLog = LogPath(home, file);
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(lastLog).parent_path(), ignored);
    std::ofstream(std::filesystem::path(lastLog), std::ios::binary) << text;
  }
  std::ofstream(std::filesystem::path(lastLog), std::ios::binary | std::ios::app) << PromptLine(999999) + TurnLine(work);
  const std::wstring fresh = PromptKey(kFiles - 1, 999999);
  driver.document.AddProject(std::move(project));
  driver.path = root + L"\\projects.qlproj";
  std::wstring error;
  projectfile::SaveProjectFile(driver.path, driver.document.projects, driver.document.nextId, error);

  // The restart: the key set from the document, the worker with its snapshot, ticks
  // every second as the window's timer gives them.
  const Clock::time_point start = Clock::now();
  driver.keys.Rebuild(driver.document);
  aisync::SyncWorker worker;
  aisync::LogFolders folders;
  folders.codexHome = home;
  aisync::SyncWorker* known = &worker;
  auto passTimes = std::make_shared<std::vector<double>>();  // read after the worker stopped
  worker.Start(
      [folders, known, passTimes] {
        auto scanner = std::make_shared<aisync::LogScanner>(folders, Date{2024, 1, 1});
        scanner->SetKnownKeys([known](const std::wstring& key) { return known->Known(key); });
        return [scanner, passTimes](std::vector<aisync::AiRecord>& out, std::wstring& status) {
          const Clock::time_point passStart = Clock::now();
          scanner->ScanPass(out, status);
          passTimes->push_back(MsSince(passStart));
        };
      },
      std::chrono::seconds(3), driver.keys.Snapshot());
  std::vector<double> ticks;
  double filedAfter = -1;
  for (int tick = 1; tick <= 120 && filedAfter < 0; ++tick) {
    std::this_thread::sleep_until(start + std::chrono::seconds(tick));
    const Clock::time_point tickStart = Clock::now();
    driver.Tick(&worker);
    ticks.push_back(MsSince(tickStart));
    if (driver.keys.Contains(fresh)) filedAfter = MsSince(start);
  }
  worker.Stop();
  TickStats stats = Summarise(ticks);
  char name[64];
  std::snprintf(name, sizeof name, "restart, %d filed before", filedBefore);
  std::printf("%-36s %12.0f %10.1f %10.1f %8d  %s; first scan pass %.0f ms\n", name, filedAfter, stats.longestMs,
              stats.medianMs, stats.ticks, filedAfter < 0 ? "NOT FILED" : (driver.filed == 1 ? "1 filed" : "WRONG COUNT"),
              passTimes->empty() ? 0.0 : passTimes->front());
  std::fflush(stdout);
  RemoveTree(root);
}

// (b) 1,000 new records, 20 of them naming a 50 MB file, filed into a large document.
void Backlog(int entries, const std::string& label) {
  const std::wstring root = Folder(L"tavrilo-bench-backlog");
  const std::wstring work = root + L"\\work";
  std::filesystem::create_directories(std::filesystem::path(work));
  const std::wstring big = root + L"\\capture.bin";
  {
    std::ofstream out(std::filesystem::path(big), std::ios::binary);
    std::string block(1 << 20, 'x');
    for (int i = 0; i < 50; ++i) out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  Driver driver;
  driver.document = SyntheticDocument(entries / 50, entries, 20261208);
  Project project;
  project.title = L"work";
  project.location = work;
  driver.document.AddProject(std::move(project));
  driver.path = root + L"\\projects.qlproj";
  std::wstring error;
  projectfile::SaveProjectFile(driver.path, driver.document.projects, driver.document.nextId, error);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(driver.path.c_str(), GetFileExInfoStandard, &data);
  const double fileMb = static_cast<double>(data.nFileSizeLow) / 1e6;

  // A prompt and its reply, 500 times; every 25th prompt names the large file.
  std::vector<std::wstring> expected;
  for (int i = 0; i < 500; ++i) {
    aisync::AiRecord prompt;
    prompt.key = L"b:" + std::to_wstring(i);
    prompt.session = L"b";
    prompt.cwd = work;
    prompt.timestamp = L"2026-12-08T01:00:00Z";
    prompt.localDate = {2026, 12, 8};
    wchar_t time[16];
    std::swprintf(time, 16, L"%02d:%02d:%02d", 9 + i / 3600, i / 60 % 60, i % 60);
    prompt.localTime = time;
    prompt.text = L"Please look at the capture and fix test " + std::to_wstring(i);
    if (i % 25 == 0) prompt.attachments.push_back({big, L""});
    aisync::AiRecord reply = prompt;
    reply.attachments.clear();
    reply.isReply = true;
    reply.key = L"b:assistant:" + std::to_wstring(i);
    reply.parentKey = prompt.key;
    reply.requestTime = prompt.localTime;
    reply.requestTimestamp = prompt.timestamp;
    reply.phase = L"final_answer";
    reply.text = L"Fixed: the link order was wrong in step " + std::to_wstring(i) + L".";
    expected.push_back(prompt.key);
    expected.push_back(reply.key);
    driver.queue.push_back(std::move(prompt));
    driver.queue.push_back(std::move(reply));
  }
  driver.keys.Rebuild(driver.document);

  std::vector<double> ticks, cpu;
  std::string longest;  // what the longest tick did
  int over = 0;
  for (int tick = 0; tick < 20000 && (!driver.queue.empty() || driver.unsaved.records > 0); ++tick) {
    const bool bigNext = !driver.queue.empty() && !driver.queue.front().attachments.empty();
    const Clock::time_point tickStart = Clock::now();
    const double cpuStart = ThreadCpuMs();
    aisync::ApplyResult result = driver.Tick(nullptr);
    ticks.push_back(MsSince(tickStart));
    cpu.push_back(ThreadCpuMs() - cpuStart);
    if (ticks.back() > 250) ++over;
    if (ticks.back() >= *std::max_element(ticks.begin(), ticks.end())) {
      longest = std::to_string(result.filed) + " filed" + (result.saved ? ", saved" : "") +
                (bigNext && result.filed > 0 ? ", a 50 MB copy" : "");
    }
  }
  TickStats stats = Summarise(ticks);
  TickStats cpuStats = Summarise(cpu);

  // Nothing lost, nothing filed twice, in order, and all of it in the saved file.
  const std::vector<std::wstring>& filed = driver.document.projects.back().codexImports;
  std::vector<Project> saved;
  projectfile::ReadProjects(driver.path, saved, error);
  const bool inOrder = filed == expected;
  const bool inFile = !saved.empty() && saved.back().codexImports == expected;
  char name[96];
  std::snprintf(name, sizeof name, "backlog 1,000 into %.1f MB %s", fileMb, label.c_str());
  std::printf("%-36s %10.0f %10.1f %10.1f %8d  %s%s\n", name, stats.totalMs, stats.longestMs, stats.medianMs,
              stats.ticks, inOrder && inFile ? "all 1,000 filed once, in order, saved" : "MISMATCH",
              driver.lastError.empty() ? "" : ", had errors");
  std::printf("%-36s %10.0f %10.1f %10.1f %8s  %d ticks over 250 ms; the longest: %s\n", "  thread CPU time of the same",
              cpuStats.totalMs, cpuStats.longestMs, cpuStats.medianMs, "", over, longest.c_str());
  std::fflush(stdout);
  RemoveTree(root);
}

}  // namespace

void RunSyncBench(bool restartOnly) {
  std::printf("\nAI sync: restart after a long history (2,000 logs, real worker and apply step, 1 s ticks)\n");
  std::printf("%-36s %12s %10s %10s %8s\n", "measurement", "filed at ms", "longest", "median", "ticks");
  for (int n : {1000, 10000, 30000}) RestartAfterHistory(n);
  if (restartOnly) return;

  std::printf("\nAI sync: filing a backlog (apply step, %lld ms tick budget, save shared by up to %d ticks)\n",
              static_cast<long long>(aisync::kTickBudget.count()), aisync::kTicksBetweenSaves);
  std::printf("%-36s %10s %10s %10s %8s\n", "measurement", "busy ms", "longest", "median", "ticks");
  Backlog(18000, "file");
  Backlog(110000, "file");
}

}  // namespace bench
