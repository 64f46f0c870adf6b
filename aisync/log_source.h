// The one shape every AI assistant's log reader has towards the scanner: it names its
// files, keeps a context per file, and turns either complete lines or a whole file into
// AI records. The scanner owns the passes, the file read states, the byte reading and
// the bounds; the sources own everything that depends on the assistant.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "aisync/ai_record.h"
#include "model/date.h"

namespace aisync {

// What a reader needs to know about the pass it runs in.
struct ReadSettings {
  Date since;                // records dated before it are not wanted
  uint64_t ticks = 0;        // system tick count (ms) at this look
  size_t recordLimit = 100;  // the pass stops taking records at this many
};

// Size and last-write time (FILETIME ticks) of a file, as one attribute query gives them.
struct FileStamp {
  uint64_t size = 0;
  uint64_t lastWrite = 0;

  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// A reader's conversation context for one file. The scanner keeps it in the file's read
// state and makes a new one when the file shrinks (then it is read from byte 0).
class LogFileContext {
 public:
  virtual ~LogFileContext() = default;
};

enum class LogReadMode {
  Lines,      // append-only JSON Lines: only complete new lines are handed over
  WholeFile,  // rewritten documents: read whole whenever the reader asks for it
};

// A pass drives each source in turn (Codex, VS Code Chat, Claude Code, Copilot): Poll,
// then FindFiles, then one look per file while the output holds fewer records than the
// limit. A look reads the file's attributes (nothing happens when that fails), finds or
// creates the file's read state with MakeContext, and then:
// - Lines: when the size differs from the bytes consumed, the new complete lines go to
//   HandleLine (a shrunken file first has its context abandoned, then gets a fresh read
//   state and context); otherwise Idle is called.
// - WholeFile: when WantsWholeFile says so, the whole file (ReadWholeLogFile) goes to
//   HandleWholeFile; a file that cannot be read whole is tried again next pass.
// Every look ends with AfterLook, even when nothing was read.
class LogSource {
 public:
  virtual ~LogSource() = default;

  // 1 Chat (VS Code Chat and Copilot), 2 Codex, 3 Claude Code: names the source in
  // status texts ("{0} 기록 읽기 대기: {1}").
  virtual int SourceKind() const = 0;
  virtual LogReadMode ReadMode() const = 0;

  // Once per pass, before FindFiles: state that lives outside the log files (the agent
  // host's session map) is refreshed here. May set the pass's status text.
  virtual void Poll(std::wstring& /*status*/) {}
  // The files to look at in this pass, in order. May set the status text.
  virtual std::vector<std::wstring> FindFiles(std::wstring& status) = 0;
  virtual std::unique_ptr<LogFileContext> MakeContext(const std::wstring& path) = 0;

  // Lines mode: one complete line (UTF-8 bytes without its line feed) starting at byte
  // `lineStart` of the file.
  virtual void HandleLine(std::string_view /*line*/, uint64_t /*lineStart*/, LogFileContext& /*context*/,
                          const ReadSettings& /*settings*/, std::vector<AiRecord>& /*out*/) {}
  // Lines mode: a look that found no new bytes (a held-back prompt may be due).
  virtual void Idle(LogFileContext& /*context*/, const ReadSettings& /*settings*/, std::vector<AiRecord>& /*out*/) {}

  // Lines mode: the file shrank, so this context is dropped for a fresh one; whatever it
  // holds back was read from the old bytes and goes out now.
  virtual void Abandon(LogFileContext& /*context*/, std::vector<AiRecord>& /*out*/) {}

  // Whole-file mode: whether the file, as it stands now, has to be read.
  virtual bool WantsWholeFile(const LogFileContext& /*context*/, const FileStamp& /*stamp*/) const { return false; }
  // Whole-file mode: the complete file, read at `stamp`.
  virtual void HandleWholeFile(std::string_view /*bytes*/, const FileStamp& /*stamp*/, LogFileContext& /*context*/,
                               const ReadSettings& /*settings*/, std::vector<AiRecord>& /*out*/) {}

  // After every look at a file (whether or not it was read): the records at
  // [first, out.size()) came from this file in this look.
  virtual void AfterLook(const std::wstring& /*path*/, LogFileContext& /*context*/, std::vector<AiRecord>& /*out*/,
                         size_t /*first*/) {}
};

}  // namespace aisync
