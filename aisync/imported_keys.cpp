#include "aisync/imported_keys.h"

namespace aisync {

namespace {

// Spreads (id, list length) over 64 bits; summed, so the order of projects does not matter.
uint64_t Mix(int32_t id, size_t count) {
  uint64_t x = (static_cast<uint64_t>(static_cast<uint32_t>(id)) << 32) ^ static_cast<uint64_t>(count);
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdull;
  x ^= x >> 33;
  x *= 0xc4ceb9fe1a85ec53ull;
  x ^= x >> 33;
  return x;
}

}  // namespace

uint64_t ImportedKeys::Fingerprint(const ProjectDocument& document) {
  uint64_t sum = document.projects.size();
  for (const Project& project : document.projects) sum += Mix(project.id, project.codexImports.size());
  return sum;
}

void ImportedKeys::Rebuild(const ProjectDocument& document) {
  KeySet keys;
  size_t total = 0;
  for (const Project& project : document.projects) total += project.codexImports.size();
  keys.reserve(total);
  for (const Project& project : document.projects) keys.insert(project.codexImports.begin(), project.codexImports.end());
  keys_ = std::move(keys);
  fingerprint_ = Fingerprint(document);
}

void ImportedKeys::Add(const std::wstring& key, const ProjectDocument& document) {
  keys_.insert(key);
  fingerprint_ = Fingerprint(document);
}

bool ImportedKeys::InStepWith(const ProjectDocument& document) const { return Fingerprint(document) == fingerprint_; }

}  // namespace aisync
