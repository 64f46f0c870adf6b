// Synthetic logs of the four AI assistants, laid out in their folders the way each
// assistant does, for the scanner benchmark.
#pragma once

#include <string>
#include <vector>

#include "aisync/log_scanner.h"

namespace bench {

enum class LogKind { Codex, Chat, Claude, Copilot };

// What was written: the folders a scan pass lists and the log files it looks at.
struct LogTree {
  std::vector<std::wstring> folders;
  std::vector<std::wstring> files;
  double bytes = 0;
};

// The log folders of a home laid out as MakeLogs writes them.
aisync::LogFolders FoldersOf(const std::wstring& home);

// `files` logs of about `bytesPerFile` bytes each for one assistant under `home`. Each
// log is mostly tool output, with a prompt and a reply every `exchangeEvery` rounds, and
// ends with a reply, so nothing is left waiting for a model. Copilot sessions alternate
// between the agent host's database and a workspace.yaml naming VS Code.
bool MakeLogs(const std::wstring& home, LogKind kind, int files, size_t bytesPerFile, int exchangeEvery,
              LogTree& tree);

const char* KindName(LogKind kind);

}  // namespace bench
