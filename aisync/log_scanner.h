// Finds the AI assistants' log files and drives each source's reader over them: JSON
// Lines logs are read only from where the last look stopped and handed over line by line,
// rewritten documents are read whole when their source asks for them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "aisync/ai_record.h"
#include "aisync/log_listing.h"
#include "aisync/log_source.h"

namespace aisync {

struct FileReadState {
  bool seen = false;
  uint64_t lastSize = 0;
  // Lines: bytes consumed, complete lines and the unfinished one. Whole files: the size
  // at the last read, 0 while it was never read.
  uint64_t offset = 0;
  std::string unfinishedLine;    // bytes after the last line feed
  bool skippingLine = false;     // the current line outgrew the line bound: dropped up to its line feed
  std::unique_ptr<LogFileContext> context;  // the source's, made on first sight
};

struct LogFolders {
  std::wstring codexHome;
  std::wstring vscodeUser;
  std::wstring vscodeInsidersUser;
  std::wstring claude;
  std::wstring copilot;
  // User folders of portable VS Code installations ("data\user-data\User"), whose chat
  // sessions are read after those of the two folders above.
  std::vector<std::wstring> vscodePortableUsers;
};

// The folders from CODEX_HOME, APPDATA, CLAUDE_CONFIG_DIR, COPILOT_HOME and USERPROFILE.
LogFolders LogFoldersFromEnvironment();

// Adds the user folders of the portable VS Code installations the locator finds (a "data"
// folder beside the executable, or VSCODE_PORTABLE). It asks the registry, the standard
// installation folders and the search path, so it belongs on the sync worker's thread.
void AddPortableVsCodeFolders(LogFolders& folders);

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
  // A document read whole is never bigger than this (a chat session is far smaller).
  static constexpr uint64_t kMaxWholeFileBytes = 128u * 1024 * 1024;
  // A remembered folder listing is used for at most this long, even when the folder's
  // last-write time says nothing changed (not every file system keeps it up to date).
  static constexpr uint64_t kListingMaxAgeMs = 60000;

  // The four sources in pass order: Codex, VS Code Chat, Claude Code, Copilot.
  LogScanner(LogFolders folders, Date since);
  // The Codex source lists through this scanner, so the scanner stays where it was made.
  LogScanner(const LogScanner&) = delete;
  LogScanner& operator=(const LogScanner&) = delete;

  // One pass over every source, in order; the status text is cleared first and says
  // what had to wait.
  void ScanPass(std::vector<AiRecord>& out, std::wstring& status);
  // Reads what is new in one file of a source.
  void LookAtFile(LogSource& source, const std::wstring& path, std::vector<AiRecord>& out, std::wstring& status);

  // The sorted ".jsonl" files below <Codex home>\sessions, not following directory links.
  std::vector<std::wstring> CodexFiles(std::wstring& status) const;

  const FileReadState* StateOf(const std::wstring& path) const;
  // The state of a file, created on first use (without a context until its first look).
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
  // Records whose key this calls filed already are dropped as soon as they are read, so
  // that after a restart a long history does not fill pass after pass of 100.
  void SetKnownKeys(std::function<bool(const std::wstring& key)> known) { known_ = std::move(known); }

 private:
  void ReadNewBytes(LogSource& source, const std::wstring& path, FileReadState& state, const ReadSettings& settings,
                    std::vector<AiRecord>& out, std::wstring& status);
  void ReadWholeFile(LogSource& source, const std::wstring& path, FileReadState& state, const FileStamp& stamp,
                     const ReadSettings& settings, std::vector<AiRecord>& out);
  // Takes the bytes of a line whose line feed has not come yet; false when there is no
  // room to hold them (the file's offset then points at the start of that line again).
  bool TakeUnfinished(FileReadState& state, const char* begin, const char* end);
  void ReleaseUnfinished(FileReadState& state);
  void DropKnown(std::vector<AiRecord>& out, size_t from) const;

  struct FolderListing {
    uint64_t written = 0;
    uint64_t listedAt = 0;              // tick count of the listing
    std::vector<std::wstring> files;    // ".jsonl" files directly inside
    std::vector<std::wstring> folders;  // real sub-folders
  };
  bool ListJsonl(const std::wstring& folder, std::vector<std::wstring>& files, DWORD& errorCode) const;

  LogFolders folders_;
  Date since_;
  std::vector<std::unique_ptr<LogSource>> sources_;
  mutable std::map<std::wstring, FolderListing> folderCache_;  // Codex: ".jsonl" files and sub-folders
  ListingCache listings_;                                      // the other sources' plain listings
  std::map<std::wstring, FileReadState> states_;
  std::function<uint64_t()> ticks_;
  size_t recordLimit_ = kRecordsPerPass;
  size_t maxLineBytes_ = kMaxLineBytes;
  size_t maxHeldBytes_ = kMaxHeldBytes;
  size_t heldBytes_ = 0;
  std::function<bool(const std::wstring& key)> known_;
};

}  // namespace aisync
