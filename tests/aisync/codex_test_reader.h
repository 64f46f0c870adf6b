// The Codex reader driven line by line the way the scanner drives it for one file, with
// the file's hold slot; Expire stands for the hold running out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "aisync/codex_reader.h"

namespace codextest {

struct FileReader {
  explicit FileReader(Date since) : since(since) {}

  void Line(std::string_view line, uint64_t offset) {
    aisync::HandleCodexLine(line, offset, context, aisync::CodexHold{held, heldSince, now}, since, out);
  }
  // Feeds whole lines, each followed by its line feed, from byte 0.
  void Lines(const std::vector<std::string>& lines) {
    for (const auto& line : lines) {
      Line(line, offset);
      offset += line.size() + 1;
    }
  }
  void Expire() {
    if (held.key.empty()) return;
    out.push_back(std::move(held));
    held = aisync::AiRecord();
  }

  Date since;
  aisync::CodexContext context;
  aisync::AiRecord held;
  uint64_t heldSince = 0;
  uint64_t now = 0;
  uint64_t offset = 0;
  std::vector<aisync::AiRecord> out;
};

}  // namespace codextest
