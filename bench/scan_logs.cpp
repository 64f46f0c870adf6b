#include "bench/scan_logs.h"

#include <sqlite3.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "aisync/log_listing.h"
#include "aisync/sqlite_handles.h"
#include "model/utf8.h"

namespace bench {
namespace {

const char kCwd[] = R"(C:\\Users\\dev\\src\\app)";
const char kPrompt[] = "Please fix the failing test number ";
const char kReply[] = "Done: the link order was wrong in step ";

std::string Num(int n) { return std::to_string(n); }

// The build output that makes up most of every assistant's log.
std::string BuildOutput(int n) {
  std::string output;
  for (int i = 0; i < 24; ++i) {
    output += '[' + Num(i * 4) + "%] Building CXX object CMakeFiles/core.dir/src/module_" + Num(n + i) + ".cpp.obj\\n";
  }
  return output;
}

// Codex: session_meta, user_message and agent_message events between tool calls.
struct CodexLog {
  static std::string Start(int file) {
    return R"({"timestamp":"2024-05-01T09:00:00.000Z","type":"session_meta","payload":{"id":"0196a1b2-0000-7e5f-8a9b-)" +
           Num(100000000 + file) + R"(","timestamp":"2024-05-01T09:00:00.000Z","cwd":")" + kCwd +
           R"(","originator":"codex_vscode","cli_version":"0.46.0","source":"vscode","model":"gpt-5-codex"}})" "\n";
  }
  static std::string Prompt(int /*file*/, int n) {
    return R"({"timestamp":"2024-05-01T10:00:00.000Z","type":"event_msg","payload":{"type":"user_message","message":")" +
           std::string(kPrompt) + Num(n) + R"( in the build","client_id":"c-)" + Num(n) +
           R"(","images":[],"local_images":[]}})" "\n";
  }
  static std::string Reply(int /*file*/, int n) {
    return R"({"timestamp":"2024-05-01T10:00:09.500Z","type":"event_msg","payload":{"type":"agent_message","message":")" +
           std::string(kReply) + Num(n) + R"(.\n\nThe test passes now.","phase":"final_answer"}})" "\n";
  }
  static std::string Tools(int /*file*/, int n) {
    return R"({"timestamp":"2024-05-01T10:02:00Z","type":"response_item","payload":{"type":"function_call","name":"shell","arguments":"{\"command\":[\"powershell\",\"-Command\",\"cmake --build build --target core\"]}","call_id":"call_)" +
           Num(n) + R"("}})" "\n"
           R"({"timestamp":"2024-05-01T10:02:04Z","type":"response_item","payload":{"type":"function_call_output","call_id":"call_)" +
           Num(n) + R"(","output":"{\"output\":\")" + BuildOutput(n) + R"(\",\"metadata\":{\"exit_code\":0}}"}})" "\n"
           R"({"timestamp":"2024-05-01T10:02:05Z","type":"response_item","payload":{"type":"reasoning","summary":[{"type":"summary_text","text":"**Checking the link order** of the targets."}],"encrypted_content":"gAAAAABo0123456789abcdefghijklmnopqrstuvwxyz"}})" "\n"
           R"({"timestamp":"2024-05-01T10:02:06Z","type":"event_msg","payload":{"type":"token_count","info":{"total_token_usage":{"input_tokens":12034,"output_tokens":845}}}})" "\n";
  }
};

// Claude Code: user and assistant lines; tool calls and their results are lines of
// their own without text.
struct ClaudeLog {
  static std::string Line(int file, const std::string& type, const std::string& uuid, const std::string& message,
                          const char* stamp) {
    return R"({"parentUuid":null,"isSidechain":false,"userType":"external","cwd":")" + std::string(kCwd) +
           R"(","sessionId":"5e55-)" + Num(file) + R"(","version":"2.0.14","gitBranch":"main","entrypoint":"claude-vscode","type":")" +
           type + R"(","message":)" + message + R"(,"uuid":")" + uuid + R"(","timestamp":")" + stamp + "\"}\n";
  }
  static std::string Start(int /*file*/) { return {}; }
  static std::string Prompt(int file, int n) {
    return Line(file, "user", "u-" + Num(n), R"({"role":"user","content":")" + std::string(kPrompt) + Num(n) + "\"}",
                "2024-05-01T10:00:00.000Z");
  }
  static std::string Reply(int file, int n) {
    return Line(file, "assistant", "a-" + Num(n),
                R"({"model":"claude-sonnet-4-5","role":"assistant","content":[{"type":"text","text":")" +
                    std::string(kReply) + Num(n) + R"(."}]})",
                "2024-05-01T10:00:09.500Z");
  }
  static std::string Tools(int file, int n) {
    return Line(file, "assistant", "t-" + Num(n),
                R"({"model":"claude-sonnet-4-5","role":"assistant","content":[{"type":"tool_use","id":"toolu_)" + Num(n) +
                    R"(","name":"Bash","input":{"command":"cmake --build build --target core"}}]})",
                "2024-05-01T10:02:00.000Z") +
           Line(file, "user", "r-" + Num(n),
                R"({"role":"user","content":[{"type":"tool_result","tool_use_id":"toolu_)" + Num(n) +
                    R"(","content":")" + BuildOutput(n) + R"("}]})",
                "2024-05-01T10:02:04.000Z");
  }
};

// Copilot: session events, messages of one interaction, and tool executions.
struct CopilotLog {
  static std::string Id(int file) {
    char id[40];
    std::snprintf(id, sizeof id, "%08x-0000-4000-8000-%012x", file, file);
    return id;
  }
  static std::string Event(const std::string& type, const std::string& id, const char* stamp, const std::string& data) {
    return R"({"type":")" + type + R"(","id":")" + id + R"(","timestamp":")" + stamp + R"(","data":)" + data + "}\n";
  }
  static std::string Start(int file) {
    return Event("session.start", "s", "2024-05-01T09:00:00.000Z",
                 R"({"sessionId":")" + Id(file) + R"(","context":{"cwd":")" + kCwd + R"("},"selectedModel":"gpt-5"})");
  }
  static std::string Prompt(int /*file*/, int n) {
    return Event("user.message", "u-" + Num(n), "2024-05-01T10:00:00.000Z",
                 R"({"content":")" + std::string(kPrompt) + Num(n) + R"(","interactionId":"i-)" + Num(n) + "\"}");
  }
  static std::string Reply(int /*file*/, int n) {
    return Event("assistant.message", "a-" + Num(n), "2024-05-01T10:00:09.500Z",
                 R"({"content":")" + std::string(kReply) + Num(n) + R"(.","interactionId":"i-)" + Num(n) + "\"}");
  }
  static std::string Tools(int /*file*/, int n) {
    return Event("tool.execution_start", "t-" + Num(n), "2024-05-01T10:02:00.000Z",
                 R"({"toolCallId":"call_)" + Num(n) +
                     R"(","toolName":"powershell","arguments":{"command":"cmake --build build --target core"}})") +
           Event("tool.execution_complete", "r-" + Num(n), "2024-05-01T10:02:04.000Z",
                 R"({"toolCallId":"call_)" + Num(n) + R"(","success":true,"result":{"content":")" + BuildOutput(n) +
                     "\"}}");
  }
};

template <typename Log>
std::string LinesText(int file, size_t bytes, int exchangeEvery) {
  std::string text = Log::Start(file);
  int round = 0;
  for (; text.size() < bytes; ++round) {
    bool exchange = exchangeEvery > 0 && round % exchangeEvery == 0;
    if (exchange) text += Log::Prompt(file, round);
    text += Log::Tools(file, round);
    if (exchange) text += Log::Reply(file, round);
  }
  return text;
}

// VS Code Chat: one session document whose requests carry their tool output in the response.
std::string ChatText(int file, size_t bytes) {
  std::string text = R"({"version":3,"requesterUsername":"dev","responderUsername":"GitHub Copilot","sessionId":"chat-)" +
                     Num(file) + R"(","creationDate":1714554000000,"requests":[)";
  for (int n = 0; text.size() < bytes; ++n) {
    if (n > 0) text += ',';
    text += R"({"requestId":"request_)" + Num(n) + R"(","message":{"text":")" + kPrompt + Num(n) +
            R"("},"variableData":{"variables":[]},"response":[{"value":"Looking at the build."},)"
            R"({"kind":"toolInvocationSerialized","invocationMessage":{"value":"Running cmake"},"resultDetails":{"output":")" +
            BuildOutput(n) + R"("}},{"value":")" + kReply + Num(n) +
            R"(."}],"timestamp":1714557600000,"modelId":"copilot/gpt-5","modelState":{"value":1},"responseId":"response_)" +
            Num(n) + "\"}";
  }
  return text + "]}";
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

void AddFolder(LogTree& tree, const std::wstring& folder) {
  for (const auto& known : tree.folders) {
    if (known == folder) return;
  }
  tree.folders.push_back(folder);
}

bool AddLog(LogTree& tree, const std::wstring& path, const std::string& text) {
  if (!WriteBytes(path, text)) return false;
  tree.files.push_back(path);
  tree.bytes += static_cast<double>(text.size());
  return true;
}

bool RunSql(const std::wstring& database, const std::string& sql) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(database).parent_path(), ignored);
  sqlite3* raw = nullptr;
  sqlite3_open_v2(utf8::FromWide(database).c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  UniqueSqliteDatabase db(raw);
  return db && sqlite3_exec(db.get(), sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace

const char* KindName(LogKind kind) {
  switch (kind) {
    case LogKind::Codex: return "Codex";
    case LogKind::Chat: return "VS Code Chat";
    case LogKind::Claude: return "Claude Code";
    case LogKind::Copilot: return "Copilot";
  }
  return "";
}

aisync::LogFolders FoldersOf(const std::wstring& home) {
  aisync::LogFolders folders;
  folders.codexHome = home + L"\\codex";
  folders.vscodeUser = home + L"\\AppData\\Code\\User";
  folders.vscodeInsidersUser = home + L"\\AppData\\Code - Insiders\\User";
  folders.claude = home + L"\\claude";
  folders.copilot = home + L"\\copilot";
  return folders;
}

bool MakeLogs(const std::wstring& home, LogKind kind, int files, size_t bytesPerFile, int exchangeEvery,
              LogTree& tree) {
  const aisync::LogFolders folders = FoldersOf(home);
  // Codex lays its logs out by day, the others by workspace, project or session.
  const int kPerFolder = 20;
  std::string mapped = "CREATE TABLE sessions(session_uri TEXT, provider TEXT, registration_source TEXT);"
                       "CREATE TABLE session_chat_state(storage_resource TEXT);"
                       "CREATE TABLE chats_v2(owner_session_uri TEXT, provider_data TEXT, tombstoned INTEGER);";
  for (int i = 0; i < files; ++i) {
    const std::wstring group = std::to_wstring(i / kPerFolder);
    const std::wstring name = std::to_wstring(i);
    bool ok = true;
    switch (kind) {
      case LogKind::Codex: {
        int day = i / kPerFolder;
        wchar_t part[64];
        std::swprintf(part, 64, L"\\%04d\\%02d\\%02d", 2024 + day / 336, 1 + day / 28 % 12, 1 + day % 28);
        std::wstring sessions = folders.codexHome + L"\\sessions";
        std::wstring year = sessions + std::wstring(part).substr(0, 5), month = sessions + std::wstring(part).substr(0, 8);
        for (const auto& folder : {sessions, year, month, sessions + part}) AddFolder(tree, folder);
        ok = AddLog(tree, sessions + part + L"\\rollout-" + name + L".jsonl",
                    LinesText<CodexLog>(i, bytesPerFile, exchangeEvery));
        break;
      }
      case LogKind::Chat: {
        std::wstring storage = folders.vscodeUser + L"\\workspaceStorage";
        std::wstring workspace = storage + L"\\ws" + group;
        AddFolder(tree, storage);
        AddFolder(tree, workspace + L"\\chatSessions");
        if (i % kPerFolder == 0) ok = WriteBytes(workspace + L"\\workspace.json", R"({"folder":"file:///c%3A/Users/dev/src/app"})");
        ok = ok && AddLog(tree, workspace + L"\\chatSessions\\session-" + name + L".json", ChatText(i, bytesPerFile));
        break;
      }
      case LogKind::Claude: {
        std::wstring projects = folders.claude + L"\\projects";
        AddFolder(tree, projects);
        AddFolder(tree, projects + L"\\C--Users-dev-src-app" + group);
        ok = AddLog(tree, projects + L"\\C--Users-dev-src-app" + group + L"\\" + name + L".jsonl",
                    LinesText<ClaudeLog>(i, bytesPerFile, exchangeEvery));
        break;
      }
      case LogKind::Copilot: {
        std::wstring sessions = folders.copilot + L"\\session-state";
        std::wstring session = sessions + L"\\" + utf8::ToWide(CopilotLog::Id(i));
        AddFolder(tree, sessions);
        if (i % 2 == 0) {
          mapped += "INSERT INTO chats_v2 VALUES('copilotcli:/" + CopilotLog::Id(1000000 + i) + "','{\"sdkSessionId\":\"" +
                    CopilotLog::Id(i) + "\"}',0);";
        } else {
          ok = WriteBytes(session + L"\\workspace.yaml", "id: " + CopilotLog::Id(i) + "\nclient_name: vscode\n");
        }
        ok = ok && AddLog(tree, session + L"\\events.jsonl", LinesText<CopilotLog>(i, bytesPerFile, exchangeEvery));
        break;
      }
    }
    if (!ok) return false;
  }
  if (kind == LogKind::Copilot) return RunSql(folders.vscodeUser + L"\\globalStorage\\agent-host.db", mapped);
  return true;
}

}  // namespace bench
