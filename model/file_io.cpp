#include "model/file_io.h"

#include <windows.h>

#include <climits>

#include "i18n/translate.h"
#include "model/date.h"
#include "model/json.h"
#include "model/unique_handle.h"
#include "model/utf8.h"

namespace fileio {

std::wstring SystemErrorText(unsigned long code) {
  LANGID uiLanguage = LANGIDFROMLCID(LocaleNameToLCID(dates::UiLocaleName(), 0));
  DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  auto format = [&](LANGID language, DWORD& length) {
    wchar_t* buffer = nullptr;
    length = FormatMessageW(flags, nullptr, code, language, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    return UniqueResource<LocalMemoryTraits<wchar_t*>>(buffer);
  };
  DWORD length = 0;
  auto buffer = format(uiLanguage, length);
  if (length == 0) buffer = format(0, length);
  std::wstring text;
  if (length != 0 && buffer) text.assign(buffer.get(), length);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  if (text.empty()) text = i18n::Translate(L"알 수 없는 오류");
  return text;
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes, std::wstring& error) {
  bytes.clear();
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) {
    error = SystemErrorText(GetLastError());
    return false;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) {
    error = SystemErrorText(GetLastError());
    return false;
  }
  if (static_cast<uint64_t>(size.QuadPart) > kMaxTextFileBytes) {
    error = i18n::Translate(L"파일이 너무 큽니다.");
    return false;
  }
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() && !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    error = SystemErrorText(GetLastError());
    bytes.clear();
    return false;
  }
  bytes.resize(read);
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  return true;
}

bool ReadTextFile(const std::wstring& path, std::wstring& text, std::wstring& error) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes, error)) return false;
  text = utf8::ToWide(bytes);
  return true;
}

bool WriteBytesSafely(const std::wstring& path, std::string_view bytes, std::wstring& error) {
  std::wstring folder = FolderPart(path);
  if (!folder.empty() && !EnsureFolder(folder)) {
    error = i18n::Translate(L"폴더를 만들 수 없습니다: ") + folder;
    return false;
  }
  // Windows refuses to replace a read-only file only at the final move; asking first
  // gives the same answer without writing a temporary file at all, and also holds
  // where the move would replace it anyway.
  if (DWORD attributes = GetFileAttributesW(path.c_str());
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    error = SystemErrorText(ERROR_ACCESS_DENIED);
    return false;
  }
  const std::wstring temporary = path + L".tmp";
  {
    UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      error = SystemErrorText(GetLastError());
      return false;
    }
    DWORD written = 0;
    if (!bytes.empty() && !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
      DWORD code = GetLastError();
      file.reset();
      DeleteFileW(temporary.c_str());
      error = SystemErrorText(code);
      return false;
    }
    // A failed flush means the bytes may not be on disk: treat it like a failed write.
    if (!FlushFileBuffers(file.get())) {
      DWORD code = GetLastError();
      file.reset();
      DeleteFileW(temporary.c_str());
      error = SystemErrorText(code);
      return false;
    }
    file.reset();
    if (written != bytes.size()) {
      DWORD code = GetLastError();
      DeleteFileW(temporary.c_str());
      error = SystemErrorText(code == ERROR_SUCCESS ? ERROR_WRITE_FAULT : code);
      return false;
    }
  }
  if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DWORD code = GetLastError();
    DeleteFileW(temporary.c_str());
    error = SystemErrorText(code);
    return false;
  }
  return true;
}

bool WriteTextFileSafely(const std::wstring& path, std::wstring_view text, std::wstring& error) {
  return WriteBytesSafely(path, utf8::FromWide(text), error);
}

bool ReadJsonFile(const std::wstring& path, bool lenient, JsonValue& value) {
  std::wstring text;
  std::wstring error;
  if (!ReadTextFile(path, text, error)) return false;
  return json::Parse(text, lenient, value, error);
}

std::wstring FolderPart(std::wstring_view path) {
  size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, separator));
}

std::wstring FileNamePart(std::wstring_view path) {
  size_t separator = path.find_last_of(L"\\/");
  return std::wstring(separator == std::wstring_view::npos ? path : path.substr(separator + 1));
}

bool FileExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool EnsureFolder(const std::wstring& path) {
  if (path.empty()) return false;
  if (FolderExists(path)) return true;
  std::wstring parent = FolderPart(path);
  // Stop at a drive root ("C:") or a share root; those cannot be created.
  if (!parent.empty() && parent != path && !(parent.size() == 2 && parent[1] == L':') && !FolderExists(parent)) {
    if (!EnsureFolder(parent)) return false;
  }
  if (CreateDirectoryW(path.c_str(), nullptr)) return true;
  return GetLastError() == ERROR_ALREADY_EXISTS && FolderExists(path);
}

namespace {

struct FileIdentity {
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
};

// Opened without any access right, so a file held open by others is still identified.
bool IdentityOf(const std::wstring& path, FileIdentity& identity) {
  UniqueFile file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) return false;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file.get(), &info)) return false;
  identity = FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
  return true;
}

}  // namespace

std::wstring FullNormalizedPath(const std::wstring& path) {
  if (path.empty()) return {};
  DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return {};
  std::wstring full(needed, L'\0');
  DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return {};
  full.resize(length);
  // Short (8.3) components are expanded only where the file exists; otherwise the
  // full path stands as it is.
  if (DWORD longNeeded = GetLongPathNameW(full.c_str(), nullptr, 0); longNeeded != 0) {
    std::wstring longPath(longNeeded, L'\0');
    DWORD longLength = GetLongPathNameW(full.c_str(), longPath.data(), longNeeded);
    if (longLength != 0 && longLength < longNeeded) {
      longPath.resize(longLength);
      full = std::move(longPath);
    }
  }
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
  return full;
}

bool IsSameFile(const std::wstring& a, const std::wstring& b) {
  const std::wstring fullA = FullNormalizedPath(a);
  const std::wstring fullB = FullNormalizedPath(b);
  if (fullA.empty() || fullB.empty()) return false;
  if (fullA.size() <= INT_MAX && fullB.size() <= INT_MAX &&
      CompareStringOrdinal(fullA.c_str(), static_cast<int>(fullA.size()), fullB.c_str(),
                           static_cast<int>(fullB.size()), TRUE) == CSTR_EQUAL) {
    return true;
  }
  FileIdentity identityA, identityB;
  if (!IdentityOf(fullA, identityA) || !IdentityOf(fullB, identityB)) return false;
  return identityA.volume == identityB.volume && identityA.indexHigh == identityB.indexHigh &&
         identityA.indexLow == identityB.indexLow;
}

}  // namespace fileio
