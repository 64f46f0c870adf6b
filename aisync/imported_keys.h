// Every record key filed under any project of the open document, so that a record met
// again after a restart is recognised by one lookup instead of a walk over every
// project's list. Lives beside the document on the main thread; the worker gets copies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>

#include "model/project.h"

namespace aisync {

using KeySet = std::unordered_set<std::wstring>;

class ImportedKeys {
 public:
  // Counts in the keys of every project.
  void Rebuild(const ProjectDocument& document);
  // A key the apply step has just filed into `document` (given as it is now).
  void Add(const std::wstring& key, const ProjectDocument& document);
  bool Contains(const std::wstring& key) const { return keys_.count(key) != 0; }
  size_t size() const { return keys_.size(); }

  // False when the document's projects or their key lists changed by another path than
  // Rebuild and Add (a project deleted or imported): the set must then be rebuilt
  // before it may vouch for a key. Costs one step per project.
  bool InStepWith(const ProjectDocument& document) const;

  // A copy for the worker thread.
  KeySet Snapshot() const { return keys_; }

 private:
  static uint64_t Fingerprint(const ProjectDocument& document);

  KeySet keys_;
  uint64_t fingerprint_ = 0;
};

}  // namespace aisync
