// Drives a log source the way the scanner does, from whole files on disk: lines mode hands
// over complete lines appended since the last look, whole-file mode reads a file when the
// source asks for it; a look without new bytes is idle; every look ends in AfterLook.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "aisync/log_listing.h"
#include "aisync/log_source.h"

namespace testsources {

class SourceDriver {
 public:
  explicit SourceDriver(aisync::LogSource& source, Date since = Date{2024, 1, 1}) : source_(source) {
    settings_.since = since;
  }

  void SetTicks(uint64_t ticks) { settings_.ticks = ticks; }
  void SetRecordLimit(size_t limit) { settings_.recordLimit = limit; }

  std::vector<aisync::AiRecord> Pass(std::wstring* statusOut = nullptr) {
    std::vector<aisync::AiRecord> out;
    std::wstring status;
    source_.Poll(status);
    for (const auto& path : source_.FindFiles(status)) Look(path, out);
    if (statusOut != nullptr) *statusOut = status;
    return out;
  }

  void Look(const std::wstring& path, std::vector<aisync::AiRecord>& out) {
    if (out.size() >= settings_.recordLimit) return;
    aisync::FileStamp stamp;
    if (!aisync::StampOf(path, stamp)) return;
    State& state = states_[path];
    if (!state.context) state.context = source_.MakeContext(path);
    size_t first = out.size();
    if (source_.ReadMode() == aisync::LogReadMode::WholeFile) {
      std::string bytes;
      if (source_.WantsWholeFile(*state.context, stamp) && aisync::ReadWholeLogFile(path, 1u << 27, bytes)) {
        source_.HandleWholeFile(bytes, stamp, *state.context, settings_, out);
      }
    } else if (stamp.size != state.offset) {
      std::string bytes;
      aisync::ReadWholeLogFile(path, 1u << 27, bytes);
      if (bytes.size() < state.offset) {
        source_.Abandon(*state.context, out);
        state = State{0, {}, source_.MakeContext(path)};
      }
      // Like the scanner: the unfinished tail counts as consumed and waits for its line feed.
      std::string pending = state.unfinished + bytes.substr(static_cast<size_t>(state.offset));
      uint64_t start = state.offset - state.unfinished.size();
      size_t at = 0;
      while (out.size() < settings_.recordLimit) {
        size_t feed = pending.find('\n', at);
        if (feed == std::string::npos) break;
        source_.HandleLine(std::string_view(pending).substr(at, feed - at), start + at, *state.context, settings_, out);
        at = feed + 1;
      }
      if (out.size() < settings_.recordLimit) {
        state.unfinished = pending.substr(at);
        state.offset = bytes.size();
      } else {
        state.unfinished.clear();
        state.offset = start + at;
      }
    } else {
      source_.Idle(*state.context, settings_, out);
    }
    source_.AfterLook(path, *state.context, out, first);
  }

 private:
  struct State {
    uint64_t offset = 0;  // bytes consumed, the unfinished line included
    std::string unfinished;
    std::unique_ptr<aisync::LogFileContext> context;
  };
  aisync::LogSource& source_;
  aisync::ReadSettings settings_;
  std::map<std::wstring, State> states_;
};

}  // namespace testsources
