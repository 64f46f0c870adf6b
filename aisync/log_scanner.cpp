#include "aisync/log_scanner.h"

#include <windows.h>

#include <algorithm>

#include "i18n/translate.h"
#include "model/file_io.h"
#include "model/unique_handle.h"

namespace aisync {
namespace {

std::wstring Environment(const wchar_t* name) {
  std::wstring value(32768, L'\0');
  DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
  if (length == 0 || length >= 32768) return {};
  value.resize(length);
  return value;
}

std::wstring Join(const std::wstring& folder, const wchar_t* name) {
  if (folder.empty()) return {};
  return folder.back() == L'\\' || folder.back() == L'/' ? folder + name : folder + L"\\" + name;
}

// Paths compare element by element, each element by its code units.
bool PathLess(const std::wstring& a, const std::wstring& b) {
  size_t i = 0, j = 0;
  for (;;) {
    size_t ae = a.find_first_of(L"\\/", i), be = b.find_first_of(L"\\/", j);
    std::wstring_view x = std::wstring_view(a).substr(i, ae == std::wstring::npos ? std::wstring::npos : ae - i);
    std::wstring_view y = std::wstring_view(b).substr(j, be == std::wstring::npos ? std::wstring::npos : be - j);
    if (x != y) return x < y;
    if (ae == std::wstring::npos || be == std::wstring::npos) return ae == std::wstring::npos && be != std::wstring::npos;
    i = ae + 1;
    j = be + 1;
  }
}

bool IsRealDirectory(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool LocalDateOf(const FILETIME& written, Date& date) {
  SYSTEMTIME utc, local;
  if (!FileTimeToSystemTime(&written, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return false;
  date = Date{local.wYear, local.wMonth, local.wDay};
  return true;
}

}  // namespace

std::wstring_view SourceShortName(int sourceKind) {
  switch (sourceKind) {
    case kAiSourceChat: return L"Chat";
    case kAiSourceCodex: return L"Codex";
    case kAiSourceClaude: return L"Claude Code";
    default: return L"AI";
  }
}

LogFolders LogFoldersFromEnvironment() {
  LogFolders folders;
  std::wstring profile = Environment(L"USERPROFILE");
  std::wstring appData = Environment(L"APPDATA");
  folders.codexHome = Environment(L"CODEX_HOME");
  if (folders.codexHome.empty()) folders.codexHome = Join(profile, L".codex");
  folders.vscodeUser = Join(appData, L"Code\\User");
  folders.vscodeInsidersUser = Join(appData, L"Code - Insiders\\User");
  folders.claude = Environment(L"CLAUDE_CONFIG_DIR");
  if (folders.claude.empty()) folders.claude = Join(profile, L".claude");
  folders.copilot = Environment(L"COPILOT_HOME");
  if (folders.copilot.empty()) folders.copilot = Join(profile, L".copilot");
  return folders;
}

LogScanner::LogScanner(LogFolders folders, Date since)
    : folders_(std::move(folders)), since_(since), ticks_([] { return GetTickCount64(); }) {}

// Listing a folder is the dearest part of an idle pass; a folder whose last-write time
// has not moved has the same entries (adding, removing or renaming an entry moves it).
// A folder written in the last two seconds is listed again, so that an entry added in
// the same clock tick as the previous listing is not missed.
bool LogScanner::ListJsonl(const std::wstring& folder, std::vector<std::wstring>& files, DWORD& errorCode) const {
  WIN32_FILE_ATTRIBUTE_DATA attributes;
  if (!GetFileAttributesExW(folder.c_str(), GetFileExInfoStandard, &attributes)) {
    errorCode = GetLastError();
    return errorCode == ERROR_FILE_NOT_FOUND || errorCode == ERROR_PATH_NOT_FOUND;
  }
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  auto ticks = [](const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  uint64_t written = ticks(attributes.ftLastWriteTime);
  bool settled = ticks(now) > written && ticks(now) - written > 20000000ULL;
  auto cached = folderCache_.find(folder);
  if (settled && cached != folderCache_.end() && cached->second.written == written) {
    files.insert(files.end(), cached->second.files.begin(), cached->second.files.end());
    for (const auto& sub : cached->second.folders) {
      if (!ListJsonl(sub, files, errorCode)) return false;
    }
    return true;
  }

  FolderListing listing;
  listing.written = written;
  WIN32_FIND_DATAW data;
  // No short names and bigger batches.
  UniqueFind find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH));
  if (!find) {
    errorCode = GetLastError();
    return errorCode == ERROR_FILE_NOT_FOUND;
  }
  do {
    std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    std::wstring path = folder + L"\\" + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // Directory links and junctions are not followed.
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) listing.folders.push_back(std::move(path));
    } else if (name.size() > 6 && name.compare(name.size() - 6, 6, L".jsonl") == 0) {
      listing.files.push_back(std::move(path));
    }
  } while (FindNextFileW(find.get(), &data));
  DWORD last = GetLastError();
  if (last != ERROR_NO_MORE_FILES) {
    errorCode = last;
    files.insert(files.end(), listing.files.begin(), listing.files.end());
    return false;
  }
  files.insert(files.end(), listing.files.begin(), listing.files.end());
  std::vector<std::wstring> subfolders = listing.folders;
  if (settled) {
    folderCache_[folder] = std::move(listing);
  } else {
    folderCache_.erase(folder);
  }
  for (const auto& sub : subfolders) {
    if (!ListJsonl(sub, files, errorCode)) return false;
  }
  return true;
}

std::vector<std::wstring> LogScanner::CodexFiles(std::wstring& status) const {
  std::vector<std::wstring> files;
  std::wstring sessions = Join(folders_.codexHome, L"sessions");
  if (sessions.empty() || !IsRealDirectory(sessions)) return files;
  DWORD errorCode = 0;
  if (!ListJsonl(sessions, files, errorCode)) {
    status = i18n::Translate(L"Codex 세션 검색 대기: ") + fileio::SystemErrorText(errorCode);
  }
  std::sort(files.begin(), files.end(), PathLess);
  return files;
}

void LogScanner::ScanPass(std::vector<AiRecord>& out, std::wstring& status) {
  status.clear();
  for (const auto& file : CodexFiles(status)) LookAtFile(file, kAiSourceCodex, out, status);
  // VS Code Chat, Claude Code and Copilot CLI logs are read by their own readers, which
  // plug in here in this order once they exist.
}

const FileReadState* LogScanner::StateOf(const std::wstring& path) const {
  auto it = states_.find(path);
  return it == states_.end() ? nullptr : &it->second;
}

void LogScanner::LookAtFile(const std::wstring& path, int sourceKind, std::vector<AiRecord>& out,
                            std::wstring& status) {
  if (out.size() >= recordLimit_) return;
  WIN32_FILE_ATTRIBUTE_DATA attributes;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes)) return;
  uint64_t size = (static_cast<uint64_t>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
  FileReadState& state = states_[path];
  bool changed = state.seen && size != state.lastSize;
  state.seen = true;
  state.lastSize = size;

  if (size != 0 && size != state.offset) {
    Date written;
    if (LocalDateOf(attributes.ftLastWriteTime, written) && dates::Less(written, since_) && !changed &&
        state.offset == 0) {
      // An old file matters only while an assistant still writes it: a reader that
      // refuses to share writing fails exactly then.
      UniqueFile probe(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (probe) return;
      if (GetLastError() != ERROR_SHARING_VIOLATION) return;
    }
    ReadNewBytes(path, sourceKind, state, out, status);
    return;
  }
  if (!state.pending.key.empty() && ticks_() - state.pendingSince > 5999) {
    Emit(std::move(state.pending), out);
    state.pending = AiRecord();
  }
}

void LogScanner::ReadNewBytes(const std::wstring& path, int sourceKind, FileReadState& state,
                              std::vector<AiRecord>& out, std::wstring& status) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) {
    status = i18n::FormatText(L"{0} 기록 읽기 대기: {1}",
                              {SourceShortName(sourceKind), fileio::SystemErrorText(GetLastError())});
    return;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return;
  if (static_cast<uint64_t>(size.QuadPart) < state.offset) {
    // Truncated or replaced: start over with a fresh context. A record held back was
    // read from the old bytes and may not be in the new ones.
    if (!state.pending.key.empty()) Emit(std::move(state.pending), out);
    state = FileReadState();
  }
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(state.offset);
  if (!SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN)) return;

  std::vector<char> block(65536);
  uint64_t readThisCall = 0;
  while (out.size() < recordLimit_ && readThisCall < kBytesPerRead) {
    DWORD got = 0;
    if (!ReadFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &got, nullptr) || got == 0) break;
    readThisCall += got;
    const char* p = block.data();
    const char* end = p + got;
    while (p < end) {
      const char* lineFeed = static_cast<const char*>(memchr(p, '\n', static_cast<size_t>(end - p)));
      if (lineFeed == nullptr) {
        state.unfinishedLine.append(p, end);
        state.offset += static_cast<uint64_t>(end - p);
        break;
      }
      state.unfinishedLine.append(p, lineFeed);
      state.offset += static_cast<uint64_t>(lineFeed - p) + 1;
      uint64_t lineStart = state.offset - 1 - state.unfinishedLine.size();
      std::string line = std::move(state.unfinishedLine);
      state.unfinishedLine.clear();
      HandleLine(sourceKind, line, lineStart, state, out);
      p = lineFeed + 1;
      if (out.size() >= recordLimit_) return;  // the next pass goes on after this line
    }
  }
}

void LogScanner::HandleLine(int sourceKind, const std::string& line, uint64_t lineStart, FileReadState& state,
                            std::vector<AiRecord>& out) {
  const size_t before = out.size();
  if (sourceKind == kAiSourceCodex) {
    HandleCodexLine(line, lineStart, state.codex, CodexHold{state.pending, state.pendingSince, ticks_()}, since_, out);
  }
  DropKnown(out, before);
}

void LogScanner::Emit(AiRecord&& record, std::vector<AiRecord>& out) const {
  out.push_back(std::move(record));
  DropKnown(out, out.size() - 1);
}

void LogScanner::DropKnown(std::vector<AiRecord>& out, size_t from) const {
  if (!known_ || from >= out.size()) return;
  auto kept = std::remove_if(out.begin() + static_cast<std::ptrdiff_t>(from), out.end(),
                             [this](const AiRecord& record) { return known_(record.key); });
  out.erase(kept, out.end());
}

}  // namespace aisync
