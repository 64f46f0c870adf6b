#include "model/file_io.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <fstream>

#include "i18n/language.h"
#include "model/unique_handle.h"
#include "support/paths.h"
#include "support/temp_dir.h"

namespace {

using testpaths::TempDir;

std::string Bytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Put(const std::wstring& path, std::string_view bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// ---------------------------------------------------------------------------------

TEST(ReadTextFile, DropsByteOrderMarkAndReplacesBadUtf8) {
  TempDir dir;
  Put(dir / L"bom.txt", "\xEF\xBB\xBF가나");
  Put(dir / L"bad.txt", "a\xFF" "b\xE4\xB8");
  Put(dir / L"empty.txt", "");
  Put(dir / L"short-bom.txt", "\xEF\xBB");
  std::wstring text, error;
  ASSERT_TRUE(fileio::ReadTextFile(dir / L"bom.txt", text, error));
  EXPECT_EQ(text, L"가나");
  ASSERT_TRUE(fileio::ReadTextFile(dir / L"bad.txt", text, error));
  EXPECT_EQ(text, L"a\xFFFD" L"b\xFFFD");
  ASSERT_TRUE(fileio::ReadTextFile(dir / L"empty.txt", text, error));
  EXPECT_EQ(text, L"");
  ASSERT_TRUE(fileio::ReadTextFile(dir / L"short-bom.txt", text, error));
  EXPECT_EQ(text, L"\xFFFD");
}

TEST(ReadTextFile, MissingFileAndSizeLimit) {
  TempDir dir;
  std::wstring text, error;
  EXPECT_FALSE(fileio::ReadTextFile(dir / L"missing.qlproj", text, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(error, fileio::SystemErrorText(ERROR_FILE_NOT_FOUND));

  // A sparse file just over the limit is refused without reading it.
  std::wstring big = dir / L"big.bin";
  {
    UniqueFile file(CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file.valid());
    LARGE_INTEGER size;
    size.QuadPart = static_cast<LONGLONG>(fileio::kMaxTextFileBytes) + 1;
    ASSERT_TRUE(SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file.get()));
  }
  i18n::SetLanguage(i18n::kEnglish);
  EXPECT_FALSE(fileio::ReadTextFile(big, text, error));
  EXPECT_EQ(error, L"The file is too large.");
}

TEST(ReadTextFile, SharesOnlyWithOtherReaders) {
  TempDir dir;
  std::wstring path = dir / L"projects.qlproj";
  Put(path, "line\n");
  std::wstring text, error;
  {
    UniqueFile reader(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader.valid());
    EXPECT_TRUE(fileio::ReadTextFile(path, text, error));
    EXPECT_EQ(text, L"line\n");
  }
  // A file someone is writing may be half written: refuse it rather than read a torso.
  UniqueFile writer(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(writer.valid());
  EXPECT_FALSE(fileio::ReadTextFile(path, text, error));
  EXPECT_EQ(error, fileio::SystemErrorText(ERROR_SHARING_VIOLATION));
}

// ---------------------------------------------------------------------------------

TEST(SafeWrite, ReplacesAndCreatesMissingFolders) {
  TempDir dir;
  std::wstring path = dir / L"a\\b\\c\\file.qlproj";
  std::wstring error;
  ASSERT_TRUE(fileio::WriteTextFileSafely(path, L"첫 번째", error)) << error;
  EXPECT_EQ(Bytes(path), "첫 번째");
  ASSERT_TRUE(fileio::WriteTextFileSafely(path, L"second", error)) << error;
  EXPECT_EQ(Bytes(path), "second");
  ASSERT_TRUE(fileio::WriteTextFileSafely(path, L"", error)) << error;
  EXPECT_EQ(Bytes(path), "");
  EXPECT_FALSE(fileio::FileExists(path + L".tmp"));
  // A stale temporary file from a crash is simply replaced.
  Put(path + L".tmp", "stale");
  ASSERT_TRUE(fileio::WriteTextFileSafely(path, L"fresh", error)) << error;
  EXPECT_EQ(Bytes(path), "fresh");
  EXPECT_FALSE(fileio::FileExists(path + L".tmp"));
}

class SafeWriteFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    i18n::SetLanguage(i18n::kEnglish);
    target_ = dir_ / L"projects.qlproj";
    Put(target_, old_);
  }
  void ExpectUntouched() {
    EXPECT_EQ(Bytes(target_), old_);
    EXPECT_FALSE(fileio::FileExists(target_ + L".tmp")) << "temporary file left behind";
  }

  TempDir dir_;
  std::wstring target_;
  const std::string old_ = "{\"projects\": []}\n";
};

TEST_F(SafeWriteFailure, ReadOnlyTarget) {
  ASSERT_TRUE(SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_READONLY));
  std::wstring error;
  EXPECT_FALSE(fileio::WriteTextFileSafely(target_, L"new content", error));
  EXPECT_EQ(error, fileio::SystemErrorText(ERROR_ACCESS_DENIED));
  ExpectUntouched();
}

TEST_F(SafeWriteFailure, TargetHeldOpenWithoutDeleteSharing) {
  UniqueFile holder(CreateFileW(target_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder.valid());
  std::wstring error;
  EXPECT_FALSE(fileio::WriteTextFileSafely(target_, L"new content", error));
  EXPECT_FALSE(error.empty());
  holder.reset();
  ExpectUntouched();
}

TEST_F(SafeWriteFailure, FolderCannotBeCreated) {
  // A file stands where a parent folder would have to be.
  std::wstring blocked = dir_ / L"projects.qlproj\\sub";
  std::wstring error;
  EXPECT_FALSE(fileio::WriteTextFileSafely(blocked + L"\\x.qlproj", L"data", error));
  EXPECT_EQ(error, L"Could not create folder: " + blocked);
  ExpectUntouched();
}

TEST_F(SafeWriteFailure, TemporaryNameTakenByAFolder) {
  ASSERT_TRUE(CreateDirectoryW((target_ + L".tmp").c_str(), nullptr));
  std::wstring error;
  EXPECT_FALSE(fileio::WriteTextFileSafely(target_, L"new content", error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Bytes(target_), old_);
  RemoveDirectoryW((target_ + L".tmp").c_str());
}

TEST(SafeWriteFullDisk, OldFileSurvivesWhenTheDiskFills) {
  std::wstring disk = testpaths::BuildFile(L"fulldisk");
  if (!fileio::FileExists(disk + L"\\.mounted")) {
    GTEST_SKIP() << "SKIPPED: no small tmpfs mounted at " << std::filesystem::path(disk).string()
                 << " (the tests must run as root for the full-disk case)";
  }
  i18n::SetLanguage(i18n::kEnglish);
  std::wstring target = disk + L"\\projects.qlproj";
  std::wstring filler = disk + L"\\filler.bin";
  const std::string old = "{\"projects\": [], \"old\": true}\n";
  Put(target, old);
  {
    // Fill what is left, a block at a time, until the system says the disk is full.
    UniqueFile file(CreateFileW(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file.valid());
    std::string block(4096, 'x');
    DWORD written = 0;
    while (WriteFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &written, nullptr) && written == block.size()) {
    }
  }
  std::wstring error;
  std::wstring big(200000, L'가');
  EXPECT_FALSE(fileio::WriteTextFileSafely(target, big, error));
  EXPECT_EQ(error, fileio::SystemErrorText(ERROR_DISK_FULL));
  EXPECT_EQ(Bytes(target), old);
  EXPECT_FALSE(fileio::FileExists(target + L".tmp"));
  DeleteFileW(filler.c_str());
  DeleteFileW(target.c_str());
}

// ---------------------------------------------------------------------------------

TEST(PathParts, FolderAndFileName) {
  EXPECT_EQ(fileio::FolderPart(L"C:\\a\\b.qlproj"), L"C:\\a");
  EXPECT_EQ(fileio::FolderPart(L"C:/a/b.qlproj"), L"C:/a");
  EXPECT_EQ(fileio::FolderPart(L"b.qlproj"), L"");
  EXPECT_EQ(fileio::FileNamePart(L"C:\\a\\b.qlproj"), L"b.qlproj");
  EXPECT_EQ(fileio::FileNamePart(L"C:\\a/b"), L"b");
  EXPECT_EQ(fileio::FileNamePart(L"b.qlproj"), L"b.qlproj");
  EXPECT_EQ(fileio::FileNamePart(L"C:\\a\\"), L"");
}

TEST(PathParts, ExistenceAndEnsureFolder) {
  TempDir dir;
  Put(dir / L"f.txt", "x");
  EXPECT_TRUE(fileio::FileExists(dir / L"f.txt"));
  EXPECT_FALSE(fileio::FileExists(dir.path()));
  EXPECT_TRUE(fileio::FolderExists(dir.path()));
  EXPECT_TRUE(fileio::EnsureFolder(dir.path()));
  EXPECT_TRUE(fileio::EnsureFolder(dir / L"x\\y\\z"));
  EXPECT_TRUE(fileio::FolderExists(dir / L"x\\y\\z"));
  EXPECT_FALSE(fileio::EnsureFolder(dir / L"f.txt"));
  EXPECT_FALSE(fileio::EnsureFolder(dir / L"f.txt\\sub"));
}

// The working folder is put back however the test ends.
class CurrentFolderScope {
 public:
  explicit CurrentFolderScope(const std::wstring& folder) {
    wchar_t previous[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH + 1, previous);
    previous_ = previous;
    SetCurrentDirectoryW(folder.c_str());
  }
  ~CurrentFolderScope() { SetCurrentDirectoryW(previous_.c_str()); }

 private:
  std::wstring previous_;
};

TEST(FileIdentity, OtherSpellingsOfOneFileAreTheSameFile) {
  TempDir dir;
  std::filesystem::create_directories(std::filesystem::path(dir / L"Sub Folder"));
  const std::wstring file = dir / L"Sub Folder\\Projects.qlproj";
  Put(file, "{}");
  Put(dir / L"Sub Folder\\other.qlproj", "{}");
  CurrentFolderScope here(dir / L"Sub Folder");

  std::wstring forward = file;
  std::replace(forward.begin(), forward.end(), L'\\', L'/');
  std::wstring upper = file;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](wchar_t c) { return std::towupper(c); });
  wchar_t shortPath[MAX_PATH + 1] = {};
  ASSERT_NE(GetShortPathNameW(file.c_str(), shortPath, MAX_PATH + 1), 0u);
  const bool hardLinked = CreateHardLinkW((dir / L"linked.qlproj").c_str(), file.c_str(), nullptr) != FALSE;

  struct Case {
    std::wstring a, b;
    bool same;
  } cases[] = {
      {file, file, true},
      {file, L"Projects.qlproj", true},
      {file, L".\\..\\Sub Folder\\Projects.qlproj", true},
      {file, forward, true},
      {file, upper, true},
      {file, shortPath, true},
      {dir / L"Sub Folder\\", dir / L"Sub Folder", true},
      {file, dir / L"Sub Folder\\other.qlproj", false},
      {file, dir / L"Sub Folder\\missing.qlproj", false},
      // Files that do not exist yet are the same only by their full paths.
      {dir / L"new.qlproj", L"..\\NEW.qlproj", true},
      {dir / L"new.qlproj", dir / L"newer.qlproj", false},
      {L"", L"", false},
      {file, L"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fileio::IsSameFile(c.a, c.b), c.same) << std::filesystem::path(c.a).string() << " | "
                                                    << std::filesystem::path(c.b).string();
    EXPECT_EQ(fileio::IsSameFile(c.b, c.a), c.same);
  }
  if (hardLinked) {
    EXPECT_TRUE(fileio::IsSameFile(dir / L"linked.qlproj", file));
    EXPECT_FALSE(fileio::IsSameFile(dir / L"linked.qlproj", dir / L"Sub Folder\\other.qlproj"));
  }
  EXPECT_EQ(fileio::FullNormalizedPath(L"Projects.qlproj"), file);
  EXPECT_EQ(fileio::FullNormalizedPath(L"C:/"), L"C:\\");
}

TEST(SystemErrorText, KnownAndUnknownCodes) {
  i18n::SetLanguage(i18n::kEnglish);
  std::wstring text = fileio::SystemErrorText(ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(text.empty());
  EXPECT_NE(text.back(), L'\n');
  EXPECT_NE(text.back(), L' ');
  EXPECT_EQ(fileio::SystemErrorText(0x2FFFFFFF), L"Unknown error");
}

TEST(UniqueHandles, CloseOnceAndMove) {
  TempDir dir;
  std::wstring path = dir / L"h.txt";
  UniqueFile a(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(a.valid());
  HANDLE raw = a.get();
  UniqueFile b(std::move(a));
  EXPECT_FALSE(a.valid());
  EXPECT_EQ(b.get(), raw);
  // While b owns the handle without sharing, nobody else can open the file.
  EXPECT_EQ(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  b = UniqueFile();
  UniqueFile c(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(c.valid()) << "the moved-from and reassigned wrappers must have closed the handle";
  UniqueHandle none;
  EXPECT_FALSE(none);
  static_assert(!std::is_copy_constructible_v<UniqueFile>);
  static_assert(std::is_nothrow_move_constructible_v<UniqueFile>);
}

}  // namespace
