// Finds the AI assistants' log files, reads only what was appended since the last look
// and hands each complete line to the reader of its source.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "aisync/ai_record.h"
#include "aisync/codex_reader.h"

namespace aisync {

struct FileReadState {
  bool seen = false;
  uint64_t lastSize = 0;
  uint64_t offset = 0;           // bytes consumed: complete lines and the unfinished one
  std::string unfinishedLine;    // bytes after the last line feed
  CodexContext codex;
  AiRecord pending;              // held back: a prompt until its model is known, a reply until its phase is
  uint64_t pendingSince = 0;     // tick count when it was held back
};

struct LogFolders {
  std::wstring codexHome;
  std::wstring vscodeUser;
  std::wstring vscodeInsidersUser;
  std::wstring claude;
  std::wstring copilot;
};

// The folders from CODEX_HOME, APPDATA, CLAUDE_CONFIG_DIR, COPILOT_HOME and USERPROFILE.
LogFolders LogFoldersFromEnvironment();

class LogScanner {
 public:
  static constexpr size_t kRecordsPerPass = 100;
  static constexpr uint64_t kBytesPerRead = 16u * 1024 * 1024;

  LogScanner(LogFolders folders, Date since);

  // One pass over every source, in order; the status text is cleared first and says
  // what had to wait.
  void ScanPass(std::vector<AiRecord>& out, std::wstring& status);
  // Reads the new bytes of one file of a source kind (2 Codex).
  void LookAtFile(const std::wstring& path, int sourceKind, std::vector<AiRecord>& out, std::wstring& status);

  // The sorted ".jsonl" files below <Codex home>\sessions, not following directory links.
  std::vector<std::wstring> CodexFiles(std::wstring& status) const;

  const FileReadState* StateOf(const std::wstring& path) const;
  // The state of a file, created on first use (readers that hold a prompt back set its
  // pending record here).
  FileReadState& State(const std::wstring& path) { return states_[path]; }
  // Replaces the tick count (tests and the benchmark).
  void SetTickSource(std::function<uint64_t()> ticks) { ticks_ = std::move(ticks); }
  // Lifts the per-pass record bound (the benchmark measures raw reading speed).
  void SetRecordLimit(size_t limit) { recordLimit_ = limit; }
  // Records whose key this calls filed already are dropped as soon as they are read, so
  // that after a restart a long history does not fill pass after pass of 100.
  void SetKnownKeys(std::function<bool(const std::wstring& key)> known) { known_ = std::move(known); }

 private:
  void ReadNewBytes(const std::wstring& path, int sourceKind, FileReadState& state, std::vector<AiRecord>& out,
                    std::wstring& status);
  void HandleLine(int sourceKind, const std::string& line, uint64_t lineStart, FileReadState& state,
                  std::vector<AiRecord>& out);
  void Emit(AiRecord&& record, std::vector<AiRecord>& out) const;
  void DropKnown(std::vector<AiRecord>& out, size_t from) const;

  struct FolderListing {
    uint64_t written = 0;
    std::vector<std::wstring> files;    // ".jsonl" files directly inside
    std::vector<std::wstring> folders;  // real sub-folders
  };
  bool ListJsonl(const std::wstring& folder, std::vector<std::wstring>& files, DWORD& errorCode) const;

  LogFolders folders_;
  Date since_;
  mutable std::map<std::wstring, FolderListing> folderCache_;
  std::map<std::wstring, FileReadState> states_;
  std::function<uint64_t()> ticks_;
  size_t recordLimit_ = kRecordsPerPass;
  std::function<bool(const std::wstring& key)> known_;
};

// Short names of the source kinds in messages: "Chat", "Codex", "Claude Code", "AI".
std::wstring_view SourceShortName(int sourceKind);

}  // namespace aisync
