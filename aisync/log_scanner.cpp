#include "aisync/log_scanner.h"

#include <windows.h>

#include <algorithm>

#include "aisync/chat_reader.h"
#include "aisync/claude_reader.h"
#include "aisync/codex_source.h"
#include "aisync/copilot_reader.h"
#include "aisync/log_listing.h"
#include "aisync/record_block.h"
#include "i18n/translate.h"
#include "model/file_io.h"
#include "model/unique_handle.h"
#include "vscode/locator.h"

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

void AddPortableVsCodeFolders(LogFolders& folders) {
  auto same = [](const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
  };
  for (vscode::Edition edition : {vscode::Edition::Stable, vscode::Edition::Insiders}) {
    vscode::VsCodeInstall install = vscode::Locate(edition);
    if (install.workspaceStorageFolder.empty()) continue;
    std::wstring user = fileio::FolderPart(install.workspaceStorageFolder);
    // An installed (not portable) edition keeps its data in the APPDATA folders already read.
    if (user.empty() || same(user, folders.vscodeUser) || same(user, folders.vscodeInsidersUser)) continue;
    if (std::none_of(folders.vscodePortableUsers.begin(), folders.vscodePortableUsers.end(),
                     [&](const std::wstring& known) { return same(known, user); })) {
      folders.vscodePortableUsers.push_back(std::move(user));
    }
  }
}

LogScanner::LogScanner(LogFolders folders, Date since)
    : folders_(std::move(folders)),
      since_(since),
      listings_([this] { return ticks_(); }),
      ticks_([] { return GetTickCount64(); }) {
  sources_.push_back(std::make_unique<CodexSource>([this](std::wstring& status) { return CodexFiles(status); }));
  auto chat = std::make_unique<ChatSource>(folders_.vscodeUser, folders_.vscodeInsidersUser);
  chat->SetLister(listings_.Lister());
  sources_.push_back(std::move(chat));
  const auto& portable = folders_.vscodePortableUsers;
  for (size_t i = 0; i < portable.size(); i += 2) {
    auto more = std::make_unique<ChatSource>(portable[i], i + 1 < portable.size() ? portable[i + 1] : std::wstring());
    more->SetLister(listings_.Lister());
    sources_.push_back(std::move(more));
  }
  auto claude = std::make_unique<ClaudeSource>(folders_.claude);
  claude->SetLister(listings_.Lister());
  sources_.push_back(std::move(claude));
  auto copilot =
      std::make_unique<CopilotSource>(CopilotFolders{folders_.copilot, folders_.vscodeUser, folders_.vscodeInsidersUser});
  copilot->SetLister(listings_.Lister());
  sources_.push_back(std::move(copilot));
}

// Listing a folder is the dearest part of an idle pass; a folder whose last-write time
// has not moved has the same entries (adding, removing or renaming an entry moves it).
// A folder written in the last two seconds is listed again, so that an entry added in
// the same clock tick as the previous listing is not missed. Some file systems (network
// shares, some drivers) do not move a folder's time, so every listing is also renewed
// once it is a minute old.
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
  const uint64_t listedAt = ticks_();
  auto cached = folderCache_.find(folder);
  if (settled && cached != folderCache_.end() && cached->second.written == written &&
      listedAt - cached->second.listedAt < kListingMaxAgeMs) {
    files.insert(files.end(), cached->second.files.begin(), cached->second.files.end());
    for (const auto& sub : cached->second.folders) {
      if (!ListJsonl(sub, files, errorCode)) return false;
    }
    return true;
  }

  FolderListing listing;
  listing.written = written;
  listing.listedAt = listedAt;
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
  for (const auto& source : sources_) {
    // A full pass leaves the remaining sources, their session maps included, to the next.
    if (out.size() >= recordLimit_) return;
    source->Poll(status);
    for (const auto& file : source->FindFiles(status)) {
      if (out.size() >= recordLimit_) break;
      LookAtFile(*source, file, out, status);
    }
  }
}

const FileReadState* LogScanner::StateOf(const std::wstring& path) const {
  auto it = states_.find(path);
  return it == states_.end() ? nullptr : &it->second;
}

void LogScanner::LookAtFile(LogSource& source, const std::wstring& path, std::vector<AiRecord>& out,
                            std::wstring& status) {
  if (out.size() >= recordLimit_) return;
  WIN32_FILE_ATTRIBUTE_DATA attributes;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes)) return;
  FileStamp stamp;
  stamp.size = (static_cast<uint64_t>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
  stamp.lastWrite = (static_cast<uint64_t>(attributes.ftLastWriteTime.dwHighDateTime) << 32) |
                    attributes.ftLastWriteTime.dwLowDateTime;
  FileReadState& state = states_[path];
  if (!state.context) state.context = source.MakeContext(path);
  bool changed = state.seen && stamp.size != state.lastSize;
  state.seen = true;
  state.lastSize = stamp.size;

  const ReadSettings settings{since_, ticks_(), recordLimit_};
  const size_t first = out.size();
  const bool whole = source.ReadMode() == LogReadMode::WholeFile;
  const bool due =
      whole ? source.WantsWholeFile(*state.context, stamp) : stamp.size != 0 && stamp.size != state.offset;
  if (due) {
    Date written;
    bool skip = false;
    if (LocalDateOf(attributes.ftLastWriteTime, written) && dates::Less(written, since_) && !changed &&
        state.offset == 0) {
      // An old file matters only while an assistant still writes it: a reader that
      // refuses to share writing fails exactly then.
      UniqueFile probe(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      skip = probe || GetLastError() != ERROR_SHARING_VIOLATION;
    }
    if (!skip && whole) {
      ReadWholeFile(source, path, state, stamp, settings, out);
    } else if (!skip) {
      ReadNewBytes(source, path, state, settings, out, status);
    }
  } else if (!whole) {
    source.Idle(*state.context, settings, out);
  }
  source.AfterLook(path, *state.context, out, first);
  DropKnown(out, first);
}

void LogScanner::ReadWholeFile(LogSource& source, const std::wstring& path, FileReadState& state,
                               const FileStamp& stamp, const ReadSettings& settings, std::vector<AiRecord>& out) {
  std::string bytes;
  // A file caught mid-write or too big is tried again on a later pass.
  if (!ReadWholeLogFile(path, kMaxWholeFileBytes, bytes)) return;
  source.HandleWholeFile(bytes, stamp, *state.context, settings, out);
  state.offset = bytes.size();
}

void LogScanner::ReadNewBytes(LogSource& source, const std::wstring& path, FileReadState& state,
                              const ReadSettings& settings, std::vector<AiRecord>& out, std::wstring& status) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) {
    status = i18n::FormatText(L"{0} 기록 읽기 대기: {1}",
                              {SourceLabel(source.SourceKind()), fileio::SystemErrorText(GetLastError())});
    return;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return;
  if (static_cast<uint64_t>(size.QuadPart) < state.offset) {
    // Truncated or replaced: start over with a fresh context. A record held back was
    // read from the old bytes and may not be in the new ones, so it goes out first.
    source.Abandon(*state.context, out);
    ReleaseUnfinished(state);
    state = FileReadState();
    state.context = source.MakeContext(path);
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
        if (!TakeUnfinished(state, p, end)) return;
        break;
      }
      const size_t piece = static_cast<size_t>(lineFeed - p);
      state.offset += piece + 1;
      p = lineFeed + 1;
      if (state.skippingLine || state.unfinishedLine.size() + piece > maxLineBytes_) {
        // The end of an over-long line: it is dropped, and the lines after it count again.
        state.skippingLine = false;
        ReleaseUnfinished(state);
        continue;
      }
      const uint64_t lineStart = state.offset - 1 - piece - state.unfinishedLine.size();
      const size_t before = out.size();
      if (state.unfinishedLine.empty()) {
        // The common case: the whole line lies in this block.
        source.HandleLine(std::string_view(lineFeed - piece, piece), lineStart, *state.context, settings, out);
      } else {
        heldBytes_ -= state.unfinishedLine.size();
        std::string line = std::move(state.unfinishedLine);
        state.unfinishedLine = std::string();
        line.append(lineFeed - piece, lineFeed);
        source.HandleLine(line, lineStart, *state.context, settings, out);
      }
      // Records filed before cost nothing of the pass's bound.
      DropKnown(out, before);
      if (out.size() >= recordLimit_) return;  // the next pass goes on after this line
    }
  }
}

bool LogScanner::TakeUnfinished(FileReadState& state, const char* begin, const char* end) {
  const size_t count = static_cast<size_t>(end - begin);
  if (state.skippingLine) {
    state.offset += count;
    return true;
  }
  if (state.unfinishedLine.size() + count > maxLineBytes_) {
    // Too long to be worth holding: drop what is held and the rest up to the line feed.
    ReleaseUnfinished(state);
    state.skippingLine = true;
    state.offset += count;
    return true;
  }
  if (heldBytes_ + count > maxHeldBytes_) {
    // Other files hold the room: give this partial line back to the file.
    state.offset -= state.unfinishedLine.size();
    ReleaseUnfinished(state);
    return false;
  }
  state.unfinishedLine.append(begin, end);
  heldBytes_ += count;
  state.offset += count;
  return true;
}

void LogScanner::ReleaseUnfinished(FileReadState& state) {
  heldBytes_ -= state.unfinishedLine.size();
  // Swapped out, not cleared, so that the memory really goes back.
  std::string().swap(state.unfinishedLine);
}

void LogScanner::DropKnown(std::vector<AiRecord>& out, size_t from) const {
  if (!known_ || from >= out.size()) return;
  auto kept = std::remove_if(out.begin() + static_cast<std::ptrdiff_t>(from), out.end(),
                             [this](const AiRecord& record) { return known_(record.key); });
  out.erase(kept, out.end());
}

}  // namespace aisync
