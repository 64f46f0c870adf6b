// File primitives shared by every reader and writer of the program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct JsonValue;

namespace fileio {

constexpr uint64_t kMaxTextFileBytes = 0x20000000;  // 512 MiB

// The whole file as UTF-8 bytes with a leading byte-order mark removed.
bool ReadFileBytes(const std::wstring& path, std::string& bytes, std::wstring& error);
// The whole file decoded from UTF-8 (malformed sequences become U+FFFD).
bool ReadTextFile(const std::wstring& path, std::wstring& text, std::wstring& error);

// Replaces the file through "<path>.tmp" and one replacing move, so the target holds
// either its old bytes or the complete new ones; the temporary file never survives.
bool WriteBytesSafely(const std::wstring& path, std::string_view bytes, std::wstring& error);
bool WriteTextFileSafely(const std::wstring& path, std::wstring_view text, std::wstring& error);

// Reads and parses a JSON file; lenient accepts comments and trailing commas.
bool ReadJsonFile(const std::wstring& path, bool lenient, JsonValue& value);

std::wstring FolderPart(std::wstring_view path);
std::wstring FileNamePart(std::wstring_view path);
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
// Creates the folder with all missing parents; true when it exists afterwards.
bool EnsureFolder(const std::wstring& path);

// The path made absolute against the current folder, with "." and ".." resolved,
// separators made backslashes, 8.3 components expanded where the file exists and a
// trailing separator dropped (a drive root keeps its own); empty when it cannot be made.
std::wstring FullNormalizedPath(const std::wstring& path);
// Whether two paths name the same file: equal full normalised paths (compared without
// regard to case) or, when both exist, the same volume serial number and file index, so
// relative, forward-slash, 8.3 and hard-linked forms all count as the same file.
bool IsSameFile(const std::wstring& a, const std::wstring& b);

// The system's message for an error code in the UI language when Windows has it.
std::wstring SystemErrorText(unsigned long code);

}  // namespace fileio
