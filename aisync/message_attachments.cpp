#include "aisync/message_attachments.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>

#include "i18n/translate.h"
#include "model/file_io.h"
#include "model/unique_handle.h"

namespace aisync {
namespace {

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::towlower(text[i]) != std::towlower(prefix[i])) return false;
  }
  return true;
}

bool IsFileUri(std::wstring_view text) { return StartsWithNoCase(text, L"file://"); }
bool HasScheme(std::wstring_view text) { return text.find(L"://") != std::wstring_view::npos; }

bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveAbsolute(std::wstring_view text) {
  return text.size() >= 3 && ((text[0] >= L'A' && text[0] <= L'Z') || (text[0] >= L'a' && text[0] <= L'z')) &&
         text[1] == L':' && IsSlash(text[2]);
}

// UNC paths (\\server\share) and device paths (\\?\...) name their own root.
bool IsUncLike(std::wstring_view text) { return text.size() >= 2 && IsSlash(text[0]) && IsSlash(text[1]); }

std::wstring PathFromFileUri(std::wstring_view uri) {
  std::wstring url(uri);
  std::wstring path(32768, L'\0');
  DWORD length = static_cast<DWORD>(path.size());
  if (FAILED(PathCreateFromUrlW(url.c_str(), path.data(), &length, 0))) return {};
  path.resize(wcsnlen(path.c_str(), path.size()));
  return path;
}

std::wstring ExtensionForMime(std::wstring_view mime) {
  struct Row {
    const wchar_t* mime;
    const wchar_t* extension;
  };
  static constexpr Row kTable[] = {
      {L"image/png", L".png"},  {L"image/jpeg", L".jpg"},      {L"image/webp", L".webp"},
      {L"image/gif", L".gif"},  {L"application/pdf", L".pdf"}, {L"audio/wav", L".wav"},
  };
  for (const Row& row : kTable) {
    if (mime == row.mime) return row.extension;
  }
  return L".bin";
}

using CryptStringToBinaryWFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, BYTE*, DWORD*, DWORD*, DWORD*);

// The window-free library links no crypt32; the decoder is looked up once instead, so
// the tests of this library and the program share the same system decoder.
CryptStringToBinaryWFn SystemBase64Decoder() {
  static const CryptStringToBinaryWFn decoder = []() -> CryptStringToBinaryWFn {
    HMODULE module = LoadLibraryExW(L"crypt32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr) return nullptr;
    return reinterpret_cast<CryptStringToBinaryWFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "CryptStringToBinaryW")));
  }();
  return decoder;
}

constexpr DWORD kCryptStringBase64 = 0x00000001;  // CRYPT_STRING_BASE64

bool DecodeBase64(std::wstring_view payload, std::string& bytes, std::wstring& error) {
  CryptStringToBinaryWFn decode = SystemBase64Decoder();
  std::wstring text(payload);
  DWORD size = 0;
  if (decode == nullptr || text.size() > MAXDWORD ||
      !decode(text.c_str(), static_cast<DWORD>(text.size()), kCryptStringBase64, nullptr, &size, nullptr,
              nullptr)) {
    error = i18n::Translate(L"첨부파일의 Base64 데이터를 읽지 못했습니다.");
    return false;
  }
  bytes.assign(size, '\0');
  if (size != 0 && !decode(text.c_str(), static_cast<DWORD>(text.size()), kCryptStringBase64,
                           reinterpret_cast<BYTE*>(bytes.data()), &size, nullptr, nullptr)) {
    error = i18n::Translate(L"첨부파일을 변환하지 못했습니다.");
    return false;
  }
  bytes.resize(size);
  return true;
}

// The target appears complete or not at all: a half-written attachment would be
// indistinguishable from a good one once the record is filed.
bool WriteThroughTemporary(const std::wstring& target, const std::string& bytes, std::wstring& error) {
  const std::wstring temporary = target + L".tmp";
  auto fail = [&](DWORD code) {
    DeleteFileW(temporary.c_str());
    error = fileio::SystemErrorText(code);
    return false;
  };
  {
    UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file) return fail(GetLastError());
    size_t offset = 0;
    while (offset < bytes.size()) {
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - offset, 1u << 30));
      DWORD written = 0;
      if (!WriteFile(file.get(), bytes.data() + offset, chunk, &written, nullptr) || written == 0) {
        DWORD code = GetLastError();
        file.reset();
        return fail(code == ERROR_SUCCESS ? ERROR_WRITE_FAULT : code);
      }
      offset += written;
    }
    if (!FlushFileBuffers(file.get())) {
      DWORD code = GetLastError();
      file.reset();
      return fail(code);
    }
  }
  if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return fail(GetLastError());
  }
  return true;
}

// CopyFileW carries a read-only attribute over; the copy would then block both the
// clean-up of the temporary file and the replacing move when a failed filing is retried.
void ClearReadOnly(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
}

bool CopyThroughTemporary(const std::wstring& source, const std::wstring& target, std::wstring& error) {
  const std::wstring temporary = target + L".tmp";
  ClearReadOnly(temporary);
  bool copied = CopyFileW(source.c_str(), temporary.c_str(), FALSE) != FALSE;
  DWORD code = copied ? ERROR_SUCCESS : GetLastError();
  if (copied) {
    ClearReadOnly(temporary);
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      code = GetLastError();
      copied = false;
    }
  }
  if (copied) return true;
  ClearReadOnly(temporary);
  DeleteFileW(temporary.c_str());
  error = std::wstring(i18n::Translate(L"첨부파일 복사 실패: ")) + source + L"\n" + fileio::SystemErrorText(code);
  return false;
}

// A source that is not there (nor its folder) or that is a folder will not become a
// file by waiting; everything else might.
bool SourceIsMissing(const std::wstring& source) {
  const DWORD attributes = GetFileAttributesW(source.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const DWORD code = GetLastError();
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_INVALID_NAME;
}

std::wstring TargetPath(const std::wstring& recordFolder, int position, std::wstring_view name) {
  return recordFolder + L"\\" + std::to_wstring(position) + L"_" + SanitizeFileName(name);
}

bool SaveDataUri(const MessageAttachment& attachment, const std::wstring& recordFolder, int position,
                 std::wstring& savedPath, std::wstring& error) {
  std::wstring_view source = attachment.source;
  size_t comma = source.find(L',');
  if (comma == std::wstring_view::npos || source.substr(0, comma).find(L";base64") == std::wstring_view::npos) {
    error = i18n::Translate(L"첨부 데이터 형식을 읽을 수 없습니다.");
    return false;
  }
  std::wstring_view afterScheme = source.substr(5);
  std::wstring_view mime = afterScheme.substr(0, afterScheme.find(L';'));
  std::wstring name = attachment.suggestedName.empty() ? L"attachment" + ExtensionForMime(mime)
                                                       : attachment.suggestedName;
  std::string bytes;
  if (!DecodeBase64(source.substr(comma + 1), bytes, error)) return false;
  std::wstring target = TargetPath(recordFolder, position, name);
  if (!WriteThroughTemporary(target, bytes, error)) return false;
  savedPath = std::move(target);
  return true;
}

}  // namespace

std::wstring ResolveLocalReference(std::wstring_view text, const std::wstring& cwd) {
  std::wstring path = IsFileUri(text) ? PathFromFileUri(text) : std::wstring(text);
  if (path.size() > 3 && path[1] == L':') {
    size_t colon = path.find(L':', 2);
    if (colon != std::wstring::npos) path.resize(colon);
  }
  if (path.empty() || HasScheme(path)) return path;
  if (IsUncLike(path)) {
    // libstdc++ sees no root name in "\\server" and would fold the two leading
    // separators into one; the server part is kept apart from the normalisation.
    size_t hostEnd = path.find_first_of(L"\\/", 2);
    if (hostEnd == std::wstring::npos) return L"\\\\" + path.substr(2);
    return L"\\\\" + path.substr(2, hostEnd - 2) +
           std::filesystem::path(path.substr(hostEnd)).lexically_normal().wstring();
  }
  std::filesystem::path local(path);
  if (!IsDriveAbsolute(path) && !local.has_root_name()) local = std::filesystem::path(cwd) / local;
  return local.lexically_normal().wstring();
}

void AddAttachmentReference(AiRecord& record, std::wstring_view source, std::wstring_view suggestedName) {
  if (source.empty()) return;
  std::wstring resolved;
  if (StartsWith(source, L"data:") || (HasScheme(source) && !IsFileUri(source))) {
    resolved = source;
  } else {
    resolved = ResolveLocalReference(source, record.cwd);
  }
  if (resolved.empty()) return;
  for (const MessageAttachment& existing : record.attachments) {
    if (existing.source == resolved) return;
  }
  record.attachments.push_back(MessageAttachment{std::move(resolved), std::wstring(suggestedName)});
}

void AddAttachmentsUnderKey(const JsonValue& object, std::wstring_view key, AiRecord& record) {
  const JsonValue* list = json::Lookup(object, key);
  if (list == nullptr || !list->IsArray()) return;
  for (const JsonValue& item : list->items) {
    if (item.IsString()) {
      AddAttachmentReference(record, item.text, L"");
      continue;
    }
    if (!item.IsObject()) continue;
    const JsonValue* source = nullptr;
    for (const wchar_t* member : {L"path", L"local_path", L"file_path", L"url", L"data"}) {
      const JsonValue* value = json::Lookup(item, member);
      if (value != nullptr && value->IsString()) {
        source = value;
        break;
      }
    }
    if (source == nullptr) continue;
    const JsonValue* name = json::Lookup(item, L"name");
    if (name == nullptr || !name->IsString()) name = json::Lookup(item, L"filename");
    AddAttachmentReference(record, source->text, name != nullptr && name->IsString() ? name->text : L"");
  }
}

namespace {

bool IsLineBreak(wchar_t c) { return c == L'\r' || c == L'\n'; }

// The first index from `from` on whose character satisfies `stop`, or the text's end.
// Callers ask with growing `from`, so the cursor only moves forward: one linear walk
// per pattern instead of a rescan for every candidate start.
template <typename Stop>
class ForwardFinder {
 public:
  ForwardFinder(std::wstring_view text, Stop stop) : text_(text), stop_(stop) {}
  size_t From(size_t from) {
    if (found_ < from || found_ == kUnset) {
      found_ = from;
      while (found_ < text_.size() && !stop_(text_[found_])) ++found_;
    }
    return found_;
  }

 private:
  static constexpr size_t kUnset = static_cast<size_t>(-1);
  std::wstring_view text_;
  Stop stop_;
  size_t found_ = kUnset;
};

// "](" + optional "<" + the shortest run without ")", CR or LF that is followed by ")"
// or by ">)" (a Markdown link or image target).
void MarkdownTargets(std::wstring_view t, std::vector<std::wstring>& out) {
  auto terminator = [](wchar_t c) { return c == L')' || IsLineBreak(c); };
  ForwardFinder<decltype(terminator)> next(t, terminator);
  size_t i = 0;
  while (i + 1 < t.size()) {
    if (t[i] != L']' || t[i + 1] != L'(') {
      ++i;
      continue;
    }
    size_t open = i + 2;
    bool matched = false;
    // With the "<" taken first, then as part of the target.
    for (size_t capture : {open + 1, open}) {
      if (capture == open + 1 && (open >= t.size() || t[open] != L'<')) continue;
      size_t r = next.From(capture);
      if (r >= t.size() || t[r] != L')') continue;
      size_t end = (r >= capture + 2 && t[r - 1] == L'>') ? r - 1 : r;
      if (end < capture + 1) continue;
      out.emplace_back(t.substr(capture, end - capture));
      i = r + 1;
      matched = true;
      break;
    }
    if (!matched) ++i;
  }
}

// A drive path between backticks or double quotes.
void QuotedDrivePaths(std::wstring_view t, std::vector<std::wstring>& out) {
  auto quoteOrBreak = [](wchar_t c) { return c == L'`' || c == L'"' || IsLineBreak(c); };
  ForwardFinder<decltype(quoteOrBreak)> next(t, quoteOrBreak);
  auto isQuote = [](wchar_t c) { return c == L'`' || c == L'"'; };
  size_t i = 0;
  while (i + 4 < t.size()) {
    wchar_t drive = t[i + 1];
    bool start = isQuote(t[i]) && ((drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z')) &&
                 t[i + 2] == L':' && (t[i + 3] == L'\\' || t[i + 3] == L'/');
    if (start) {
      size_t j = next.From(i + 4);
      if (j > i + 4 && j < t.size() && isQuote(t[j])) {
        out.emplace_back(t.substr(i + 1, j - i - 1));
        i = j + 1;
        continue;
      }
    }
    ++i;
  }
}

// "#file:" and the rest of its line.
void FileReferences(std::wstring_view t, std::vector<std::wstring>& out) {
  constexpr std::wstring_view kHead = L"#file:";
  size_t i = 0;
  while ((i = t.find(kHead, i)) != std::wstring_view::npos) {
    size_t start = i + kHead.size();
    size_t end = start;
    while (end < t.size() && !IsLineBreak(t[end])) ++end;
    if (end > start) {
      out.emplace_back(t.substr(start, end - start));
      i = end;
    } else {
      ++i;
    }
  }
}

}  // namespace

std::vector<std::wstring> PathsNamedInText(std::wstring_view text) {
  std::vector<std::wstring> found;
  MarkdownTargets(text, found);
  QuotedDrivePaths(text, found);
  FileReferences(text, found);
  return found;
}

void AddFilesNamedInText(AiRecord& record) {
  // Prompts can be megabytes long and hostile; the patterns are matched by hand in one
  // pass each (a backtracking matcher took minutes on "](" repeated).
  for (const auto& reference : PathsNamedInText(record.text)) {
    std::wstring path = ResolveLocalReference(reference, record.cwd);
    if (!path.empty() && fileio::FileExists(path)) AddAttachmentReference(record, path, L"");
  }
}

std::wstring SanitizeFileName(std::wstring_view name) {
  size_t separator = name.find_last_of(L"\\/");
  std::wstring clean(separator == std::wstring_view::npos ? name : name.substr(separator + 1));
  for (wchar_t& c : clean) {
    if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) c = L'_';
  }
  while (!clean.empty() && (clean.back() == L'.' || clean.back() == L' ')) clean.pop_back();
  if (clean.size() > 120) {
    size_t dot = clean.rfind(L'.');
    std::wstring extension = dot == std::wstring::npos ? std::wstring() : clean.substr(dot, 16);
    clean = clean.substr(0, 100) + extension;
  }
  if (clean.empty()) clean = L"attachment";
  return clean;
}

bool SaveAttachment(const MessageAttachment& attachment, const std::wstring& recordFolder, int position,
                    std::wstring& savedPath, std::wstring& error) {
  AttachmentFailure ignored;
  return SaveAttachment(attachment, recordFolder, position, savedPath, error, ignored);
}

bool SaveAttachment(const MessageAttachment& attachment, const std::wstring& recordFolder, int position,
                    std::wstring& savedPath, std::wstring& error, AttachmentFailure& failure) {
  failure = AttachmentFailure::Transient;
  const std::wstring& source = attachment.source;
  if (HasScheme(source)) {
    error = std::wstring(i18n::Translate(L"로컬 원본이 없는 원격 첨부파일은 저장할 수 없습니다: ")) + source;
    return false;
  }
  if (StartsWith(source, L"data:")) return SaveDataUri(attachment, recordFolder, position, savedPath, error);

  std::wstring name = attachment.suggestedName.empty() ? fileio::FileNamePart(source) : attachment.suggestedName;
  std::wstring target = TargetPath(recordFolder, position, name);
  if (!CopyThroughTemporary(source, target, error)) {
    if (SourceIsMissing(source)) failure = AttachmentFailure::Missing;
    return false;
  }
  savedPath = std::move(target);
  return true;
}

}  // namespace aisync
