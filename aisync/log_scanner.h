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
  bool skippingLine = false;     // the current line outgrew the line bound: dropped up to its line feed
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
  // A log line longer than this is skipped, not held (a prompt with a pasted screenshot
  // stays well below it); the unfinished lines of all files together never hold more
  // than kMaxHeldBytes (a file that finds no room gives its partial line back and reads
  // it again from the file once room is free).
  static constexpr size_t kMaxLineBytes = 16u * 1024 * 1024;
  static constexpr size_t kMaxHeldBytes = 32u * 1024 * 1024;
  // A remembered folder listing is used for at most this long, even when the folder's
  // last-write time says nothing changed (not every file system keeps it up to date).
  static constexpr uint64_t kListingMaxAgeMs = 60000;

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
  // Replaces the two bounds on unfinished lines (tests use small ones).
  void SetLineBounds(size_t maxLineBytes, size_t maxHeldBytes) {
    maxLineBytes_ = maxLineBytes;
    maxHeldBytes_ = maxHeldBytes;
  }
  // Bytes of unfinished lines held across all files.
  size_t HeldBytes() const { return heldBytes_; }

 private:
  void ReadNewBytes(const std::wstring& path, int sourceKind, FileReadState& state, std::vector<AiRecord>& out,
                    std::wstring& status);
  void HandleLine(int sourceKind, const std::string& line, uint64_t lineStart, FileReadState& state,
                  std::vector<AiRecord>& out);
  // Takes the bytes of a line whose line feed has not come yet; false when there is no
  // room to hold them (the file's offset then points at the start of that line again).
  bool TakeUnfinished(FileReadState& state, const char* begin, const char* end);
  void ReleaseUnfinished(FileReadState& state);

  struct FolderListing {
    uint64_t written = 0;
    uint64_t listedAt = 0;              // tick count of the listing
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
  size_t maxLineBytes_ = kMaxLineBytes;
  size_t maxHeldBytes_ = kMaxHeldBytes;
  size_t heldBytes_ = 0;
};

}  // namespace aisync
