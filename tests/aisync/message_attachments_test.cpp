// Collecting the files a prompt carries and saving copies of them into a record folder,
// on real temporary folders.
#include "aisync/message_attachments.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <regex>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "i18n/language.h"
#include "i18n/translate.h"
#include "model/file_io.h"
#include "model/unique_handle.h"
#include "support/language_scope.h"
#include "support/temp_dir.h"

namespace {

using aisync::AddAttachmentReference;
using aisync::AddAttachmentsUnderKey;
using aisync::AddFilesNamedInText;
using aisync::AiRecord;
using aisync::MessageAttachment;
using aisync::ResolveLocalReference;
using aisync::SanitizeFileName;
using aisync::SaveAttachment;
using testpaths::LanguageScope;
using testpaths::TempDir;

void WriteFile(const std::wstring& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::wstring error;
  ASSERT_TRUE(fileio::WriteBytesSafely(path, bytes, error)) << error;
}

std::string ReadFile(const std::wstring& path) {
  std::string bytes;
  std::wstring error;
  EXPECT_TRUE(fileio::ReadFileBytes(path, bytes, error)) << error;
  return bytes;
}

// Independent of the decoder under test, so a round trip checks it.
std::wstring Base64(const std::string& bytes) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::wstring out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    unsigned value = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) value |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) value |= static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[(value >> 18) & 63];
    out += kAlphabet[(value >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(value >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kAlphabet[value & 63] : '=';
  }
  return out;
}

std::vector<std::wstring> FolderNames(const std::wstring& folder) {
  std::vector<std::wstring> names;
  for (const auto& item : std::filesystem::directory_iterator(folder)) names.push_back(item.path().filename().wstring());
  std::sort(names.begin(), names.end());
  return names;
}

AiRecord RecordIn(const std::wstring& cwd, std::wstring text = L"") {
  AiRecord record;
  record.cwd = cwd;
  record.text = std::move(text);
  return record;
}

// --- Resolving references -------------------------------------------------------------

TEST(MessageAttachmentResolve, DrivePathsLoseLineSuffixesAndAreNormalised) {
  EXPECT_EQ(ResolveLocalReference(L"C:\\work\\src\\main.cpp:12", L"D:\\x"), L"C:\\work\\src\\main.cpp");
  EXPECT_EQ(ResolveLocalReference(L"C:\\work\\src\\main.cpp:12:5", L"D:\\x"), L"C:\\work\\src\\main.cpp");
  EXPECT_EQ(ResolveLocalReference(L"c:/work/a/../b.txt", L"D:\\x"), L"c:\\work\\b.txt");
  EXPECT_EQ(ResolveLocalReference(L"C:\\work\\.\\b.txt", L""), L"C:\\work\\b.txt");
}

TEST(MessageAttachmentResolve, RelativePathsJoinTheCwdButRootNamesDoNot) {
  EXPECT_EQ(ResolveLocalReference(L"docs/shot.png", L"C:\\work\\app"), L"C:\\work\\app\\docs\\shot.png");
  EXPECT_EQ(ResolveLocalReference(L"..\\lib\\a.h", L"C:\\work\\app\\"), L"C:\\work\\lib\\a.h");
  EXPECT_EQ(ResolveLocalReference(L"\\\\server\\share\\f.txt", L"C:\\work"), L"\\\\server\\share\\f.txt");
  EXPECT_EQ(ResolveLocalReference(L"//server/share/a/../f.txt", L"C:\\work"), L"\\\\server\\share\\f.txt");
  EXPECT_EQ(ResolveLocalReference(L"file://server/share/f.txt", L"C:\\work"), L"\\\\server\\share\\f.txt");
  // A path from the drive's root takes the drive of the cwd.
  EXPECT_EQ(ResolveLocalReference(L"\\tools\\x.exe", L"C:\\work"), L"C:\\tools\\x.exe");
  // A drive-relative path carries a root name of its own.
  EXPECT_EQ(ResolveLocalReference(L"D:notes.txt", L"C:\\work"), L"D:notes.txt");
}

TEST(MessageAttachmentResolve, FileUrisBecomePathsOtherUrisStay) {
  EXPECT_EQ(ResolveLocalReference(L"file:///C:/work/my%20notes.txt", L"D:\\x"), L"C:\\work\\my notes.txt");
  EXPECT_EQ(ResolveLocalReference(L"file:///C:/work/a.cpp:7", L"D:\\x"), L"C:\\work\\a.cpp");
  EXPECT_EQ(ResolveLocalReference(L"https://example.com/a.png", L"C:\\work"), L"https://example.com/a.png");
  EXPECT_EQ(ResolveLocalReference(L"", L"C:\\work"), L"");
}

// --- Collecting references ------------------------------------------------------------

TEST(MessageAttachmentCollect, SourcesAreKeptResolvedOrDropped) {
  AiRecord record = RecordIn(L"C:\\work\\app");
  AddAttachmentReference(record, L"data:image/png;base64,iVBORw0KGgo=", L"");
  AddAttachmentReference(record, L"https://example.com/x.png", L"x.png");
  AddAttachmentReference(record, L"shots/a.png", L"named.png");
  AddAttachmentReference(record, L"", L"ignored");
  ASSERT_EQ(record.attachments.size(), 3u);
  EXPECT_EQ(record.attachments[0], (MessageAttachment{L"data:image/png;base64,iVBORw0KGgo=", L""}));
  EXPECT_EQ(record.attachments[1], (MessageAttachment{L"https://example.com/x.png", L"x.png"}));
  EXPECT_EQ(record.attachments[2], (MessageAttachment{L"C:\\work\\app\\shots\\a.png", L"named.png"}));
}

TEST(MessageAttachmentCollect, TheSameSourceIsAddedOnce) {
  AiRecord record = RecordIn(L"C:\\work\\app");
  AddAttachmentReference(record, L"a.txt", L"first");
  AddAttachmentReference(record, L"C:\\work\\app\\a.txt", L"second");
  AddAttachmentReference(record, L"file:///C:/work/app/a.txt", L"third");
  AddAttachmentReference(record, L"C:\\work\\app\\a.txt:30", L"fourth");
  ASSERT_EQ(record.attachments.size(), 1u);
  EXPECT_EQ(record.attachments[0].suggestedName, L"first");
}

TEST(MessageAttachmentCollect, ListUnderAKeyTakesStringsAndObjectsInPreferenceOrder) {
  JsonValue root;
  std::wstring error;
  ASSERT_TRUE(json::Parse(LR"({"files": [
      "C:\\in\\plain.txt",
      {"local_path": "C:\\in\\local.txt", "filename": "fallback.txt"},
      {"url": "https://h/u.png", "path": "C:\\in\\preferred.txt", "name": "shown.txt", "filename": "no.txt"},
      {"path": 5, "file_path": "C:\\in\\typed.txt", "name": 7, "filename": "second.txt"},
      {"data": "data:image/gif;base64,R0lG"},
      {"name": "no source"},
      42, null, ["C:\\in\\nested.txt"]
    ], "other": "C:\\in\\not-a-list.txt"})",
                          false, root, error))
      << error;
  AiRecord record = RecordIn(L"C:\\work");
  AddAttachmentsUnderKey(root, L"files", record);
  AddAttachmentsUnderKey(root, L"other", record);
  AddAttachmentsUnderKey(root, L"missing", record);
  AddAttachmentsUnderKey(JsonValue::MakeString(L"x"), L"files", record);
  ASSERT_EQ(record.attachments.size(), 5u);
  EXPECT_EQ(record.attachments[0], (MessageAttachment{L"C:\\in\\plain.txt", L""}));
  EXPECT_EQ(record.attachments[1], (MessageAttachment{L"C:\\in\\local.txt", L"fallback.txt"}));
  EXPECT_EQ(record.attachments[2], (MessageAttachment{L"C:\\in\\preferred.txt", L"shown.txt"}));
  EXPECT_EQ(record.attachments[3], (MessageAttachment{L"C:\\in\\typed.txt", L"second.txt"}));
  EXPECT_EQ(record.attachments[4], (MessageAttachment{L"data:image/gif;base64,R0lG", L""}));
}

TEST(MessageAttachmentText, RelativeMarkdownImageAttachesOnlyWhenTheFileExists) {
  TempDir dir;
  WriteFile(dir / L"img\\shot.png", "png");
  WriteFile(dir / L"docs\\my notes.txt", "notes");
  AiRecord record = RecordIn(dir.path(), L"See ![screen](img/shot.png), [gone](img/none.png) and "
                                         L"[notes](<docs/my notes.txt>) and [folder](img).");
  AddFilesNamedInText(record);
  ASSERT_EQ(record.attachments.size(), 2u);
  EXPECT_EQ(record.attachments[0], (MessageAttachment{dir / L"img\\shot.png", L""}));
  EXPECT_EQ(record.attachments[1].source, dir / L"docs\\my notes.txt");

  AiRecord missing = RecordIn(dir.path(), L"![x](img/other.png)");
  AddFilesNamedInText(missing);
  EXPECT_TRUE(missing.attachments.empty());
}

TEST(MessageAttachmentText, QuotedDrivePathsAndFileReferencesFollowPatternOrder) {
  TempDir dir;
  const std::wstring quoted = dir / L"src\\main.cpp";
  const std::wstring ticked = dir / L"src\\util.h";
  const std::wstring referenced = dir / L"README.md";
  const std::wstring linked = dir / L"a.png";
  for (const auto& path : {quoted, ticked, referenced, linked}) WriteFile(path, "x");
  // The "#file:" reference comes first in the text but its pattern is searched last.
  AiRecord record = RecordIn(L"C:\\elsewhere", L"#file:" + referenced + L"\nFix \"" + quoted + L":12\" and `" +
                                                   ticked + L":3:9`; see [a](" + linked + L")");
  AddFilesNamedInText(record);
  ASSERT_EQ(record.attachments.size(), 4u);
  EXPECT_EQ(record.attachments[0].source, linked);
  EXPECT_EQ(record.attachments[1].source, quoted);
  EXPECT_EQ(record.attachments[2].source, ticked);
  EXPECT_EQ(record.attachments[3].source, referenced);
}

TEST(MessageAttachmentText, FileInTheListAndInTheTextIsAttachedOnce) {
  TempDir dir;
  const std::wstring file = dir / L"diagram.png";
  WriteFile(file, "x");
  JsonValue root;
  std::wstring error;
  ASSERT_TRUE(json::Parse(L"{\"images\": [\"diagram.png\"]}", false, root, error)) << error;
  AiRecord record = RecordIn(dir.path(), L"Look at ![d](diagram.png) and \"" + file + L"\"");
  AddAttachmentsUnderKey(root, L"images", record);
  AddFilesNamedInText(record);
  ASSERT_EQ(record.attachments.size(), 1u);
  EXPECT_EQ(record.attachments[0].source, file);
}

TEST(MessageAttachmentText, LongPromptLinesAreSearchedWithoutCrashing) {
  TempDir dir;
  WriteFile(dir / L"late.txt", "x");
  std::wstring filler(40000, L'w');
  AiRecord record = RecordIn(dir.path(), L"[a](" + filler + L") \"C:" + filler + L" #file:" + filler + L"\n" +
                                             filler + L" ![late](late.txt)");
  AddFilesNamedInText(record);
  ASSERT_EQ(record.attachments.size(), 1u);
  EXPECT_EQ(record.attachments[0].source, dir / L"late.txt");
}

// --- File names -----------------------------------------------------------------------

TEST(MessageAttachmentName, ForbiddenCharactersTrailingDotsAndEmptyNames) {
  EXPECT_EQ(SanitizeFileName(L"C:\\up/load\\a:b*c?\"d<e>f|g.txt"), L"a_b_c__d_e_f_g.txt");
  EXPECT_EQ(SanitizeFileName(L"tab\there\x01.png"), L"tab_here_.png");
  EXPECT_EQ(SanitizeFileName(L"report. . ."), L"report");
  EXPECT_EQ(SanitizeFileName(L"보고서 최종.pdf"), L"보고서 최종.pdf");
  EXPECT_EQ(SanitizeFileName(L""), L"attachment");
  EXPECT_EQ(SanitizeFileName(L" . "), L"attachment");
  EXPECT_EQ(SanitizeFileName(L"folder/"), L"attachment");
}

TEST(MessageAttachmentName, LongNamesKeepAHundredCharactersAndTheExtension) {
  const std::wstring stem(145, L'n');
  EXPECT_EQ(SanitizeFileName(stem + L".json"), std::wstring(100, L'n') + L".json");
  const std::wstring exact(116, L'e');
  EXPECT_EQ(SanitizeFileName(exact + L".txt"), exact + L".txt");  // 120 characters stay
  EXPECT_EQ(SanitizeFileName(std::wstring(130, L'x')), std::wstring(100, L'x'));
  EXPECT_EQ(SanitizeFileName(std::wstring(110, L'y') + L".abcdefghijklmnopqrstu"),
            std::wstring(100, L'y') + L".abcdefghijklmno");
  // The shortening applies to the last component only.
  EXPECT_EQ(SanitizeFileName(std::wstring(200, L'd') + L"\\short.txt"), L"short.txt");
}

// --- Saving ---------------------------------------------------------------------------

class MessageAttachmentSave : public ::testing::Test {
 protected:
  std::wstring Folder() const { return dir_ / L"record"; }
  void SetUp() override { std::filesystem::create_directories(Folder()); }

  TempDir dir_;
  std::wstring saved_;
  std::wstring error_;
};

TEST_F(MessageAttachmentSave, PngDataUriWithoutNameBecomesNumberedAttachmentPng) {
  const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  ASSERT_TRUE(SaveAttachment({L"data:image/png;base64," + Base64(png), L""}, Folder(), 3, saved_, error_)) << error_;
  EXPECT_EQ(saved_, Folder() + L"\\3_attachment.png");
  EXPECT_EQ(ReadFile(saved_), png);
  EXPECT_EQ(FolderNames(Folder()), std::vector<std::wstring>{L"3_attachment.png"});
}

TEST_F(MessageAttachmentSave, MimeTypesMapToExtensionsAndUnknownOnesToBin) {
  const struct {
    const wchar_t* mime;
    const wchar_t* name;
  } kCases[] = {
      {L"image/jpeg", L"1_attachment.jpg"},      {L"image/webp", L"2_attachment.webp"},
      {L"image/gif", L"3_attachment.gif"},       {L"application/pdf", L"4_attachment.pdf"},
      {L"audio/wav", L"5_attachment.wav"},       {L"application/x-custom", L"6_attachment.bin"},
      {L"IMAGE/PNG", L"7_attachment.bin"},       {L"", L"8_attachment.bin"},
  };
  int position = 0;
  for (const auto& c : kCases) {
    ++position;
    std::wstring source = std::wstring(L"data:") + c.mime + L";base64,aGVsbG8=";
    ASSERT_TRUE(SaveAttachment({source, L""}, Folder(), position, saved_, error_)) << c.mime << error_;
    EXPECT_EQ(saved_, Folder() + L"\\" + c.name);
    EXPECT_EQ(ReadFile(saved_), "hello");
  }
}

TEST_F(MessageAttachmentSave, DataUriRoundTripsEveryByteAcrossLineBreaks) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
  std::wstring encoded = Base64(bytes);
  std::wstring wrapped;
  for (size_t i = 0; i < encoded.size(); i += 64) wrapped += encoded.substr(i, 64) + L"\r\n";
  ASSERT_TRUE(SaveAttachment({L"data:application/octet-stream;name=x;base64," + wrapped, L"../up:load.bin"},
                             Folder(), 1, saved_, error_))
      << error_;
  EXPECT_EQ(saved_, Folder() + L"\\1_up_load.bin");
  EXPECT_EQ(ReadFile(saved_), bytes);
}

TEST_F(MessageAttachmentSave, MalformedDataUrisFailWithTranslatedMessages) {
  LanguageScope english(i18n::kEnglish);
  EXPECT_FALSE(SaveAttachment({L"data:image/png,aGVsbG8=", L""}, Folder(), 1, saved_, error_));
  EXPECT_EQ(error_, L"Could not read the attachment format.");
  error_.clear();
  EXPECT_FALSE(SaveAttachment({L"data:image/png;base64", L""}, Folder(), 1, saved_, error_));
  EXPECT_EQ(error_, L"Could not read the attachment format.");
  // ";base64" behind the comma belongs to the payload.
  error_.clear();
  EXPECT_FALSE(SaveAttachment({L"data:text/plain,x;base64", L""}, Folder(), 1, saved_, error_));
  EXPECT_EQ(error_, L"Could not read the attachment format.");

  error_.clear();
  EXPECT_FALSE(SaveAttachment({L"data:image/png;base64,@@@@", L""}, Folder(), 1, saved_, error_));
  EXPECT_TRUE(error_ == i18n::Translate(L"첨부파일의 Base64 데이터를 읽지 못했습니다.") ||
              error_ == i18n::Translate(L"첨부파일을 변환하지 못했습니다."))
      << error_;
  EXPECT_NE(error_.find(L"Base64"), std::wstring::npos) << error_;
  EXPECT_TRUE(saved_.empty());
  EXPECT_TRUE(FolderNames(Folder()).empty());
}

TEST_F(MessageAttachmentSave, RemoteSourcesCannotBeSaved) {
  LanguageScope english(i18n::kEnglish);
  EXPECT_FALSE(SaveAttachment({L"https://example.com/a.png", L"a.png"}, Folder(), 1, saved_, error_));
  EXPECT_EQ(error_, L"Cannot save a remote attachment without a local file: https://example.com/a.png");
  EXPECT_TRUE(FolderNames(Folder()).empty());
}

TEST_F(MessageAttachmentSave, LocalFilesAreCopiedUnderTheirOwnOrTheSuggestedName) {
  const std::wstring source = dir_ / L"in\\Report final.pdf";
  WriteFile(source, "%PDF-1.7 body");
  ASSERT_TRUE(SaveAttachment({source, L""}, Folder(), 2, saved_, error_)) << error_;
  EXPECT_EQ(saved_, Folder() + L"\\2_Report final.pdf");
  EXPECT_EQ(ReadFile(saved_), "%PDF-1.7 body");
  ASSERT_TRUE(SaveAttachment({source, L"renamed?.pdf"}, Folder(), 3, saved_, error_)) << error_;
  EXPECT_EQ(saved_, Folder() + L"\\3_renamed_.pdf");
  EXPECT_EQ(FolderNames(Folder()), (std::vector<std::wstring>{L"2_Report final.pdf", L"3_renamed_.pdf"}));
  EXPECT_TRUE(fileio::FileExists(source));
}

TEST_F(MessageAttachmentSave, RetryReplacesEarlierCopiesEvenOfReadOnlySources) {
  const std::wstring source = dir_ / L"in\\locked.txt";
  WriteFile(source, "first");
  ASSERT_TRUE(SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SaveAttachment({source, L""}, Folder(), 1, saved_, error_)) << error_;
  EXPECT_FALSE(GetFileAttributesW(saved_.c_str()) & FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_NORMAL));
  WriteFile(source, "second");
  ASSERT_TRUE(SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SaveAttachment({source, L""}, Folder(), 1, saved_, error_)) << error_;
  EXPECT_EQ(ReadFile(saved_), "second");
  ASSERT_TRUE(SaveAttachment({L"data:image/png;base64,aGVsbG8=", L"locked.txt"}, Folder(), 1, saved_, error_))
      << error_;
  EXPECT_EQ(ReadFile(saved_), "hello");
  EXPECT_EQ(FolderNames(Folder()), std::vector<std::wstring>{L"1_locked.txt"});
}

TEST_F(MessageAttachmentSave, FailedCopyNamesTheSourceAndLeavesNoTemporaryFile) {
  LanguageScope english(i18n::kEnglish);
  const std::wstring missing = dir_ / L"in\\missing.txt";
  EXPECT_FALSE(SaveAttachment({missing, L""}, Folder(), 1, saved_, error_));
  const std::wstring prefix = L"Could not copy attachment: " + missing + L"\n";
  ASSERT_EQ(error_.substr(0, prefix.size()), prefix);
  EXPECT_GT(error_.size(), prefix.size());  // the system's reason follows
  EXPECT_TRUE(FolderNames(Folder()).empty());

  // A folder standing where the copy must go makes the final move fail after the
  // temporary file was written.
  const std::wstring source = dir_ / L"in\\present.txt";
  WriteFile(source, "x");
  std::filesystem::create_directories(Folder() + L"\\4_present.txt");
  error_.clear();
  EXPECT_FALSE(SaveAttachment({source, L""}, Folder(), 4, saved_, error_));
  EXPECT_EQ(error_.substr(0, 27), L"Could not copy attachment: ");
  EXPECT_FALSE(fileio::FileExists(Folder() + L"\\4_present.txt.tmp"));
  EXPECT_TRUE(saved_.empty());
}

// Only a source that is gone for good (or is a folder) is reported as missing; the
// others may pass and are worth another try.
TEST_F(MessageAttachmentSave, FailuresTellMissingSourcesFromPassingOnes) {
  const std::wstring locked = dir_ / L"in\\locked.txt";
  WriteFile(locked, "x");
  std::filesystem::create_directories(dir_ / L"in\\folder");
  UniqueFile hold(CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(hold.valid());
  struct Case {
    std::wstring source;
    aisync::AttachmentFailure expected;
  } cases[] = {
      {dir_ / L"in\\deleted.png", aisync::AttachmentFailure::Missing},
      {dir_ / L"no such folder\\shot.png", aisync::AttachmentFailure::Missing},
      {dir_ / L"in\\folder", aisync::AttachmentFailure::Missing},
      {locked, aisync::AttachmentFailure::Transient},
      {L"https://example.com/a.png", aisync::AttachmentFailure::Transient},
      {L"data:image/png,plain", aisync::AttachmentFailure::Transient},
  };
  for (const Case& c : cases) {
    auto failure = c.expected == aisync::AttachmentFailure::Missing ? aisync::AttachmentFailure::Transient
                                                                      : aisync::AttachmentFailure::Missing;
    EXPECT_FALSE(SaveAttachment({c.source, L""}, Folder(), 1, saved_, error_, failure));
    EXPECT_EQ(failure, c.expected) << std::filesystem::path(c.source).string();
  }
  EXPECT_TRUE(FolderNames(Folder()).empty());
}

TEST_F(MessageAttachmentSave, FailedDataWriteLeavesNoTemporaryFile) {
  std::filesystem::create_directories(Folder() + L"\\1_attachment.png");
  EXPECT_FALSE(SaveAttachment({L"data:image/png;base64,aGVsbG8=", L""}, Folder(), 1, saved_, error_));
  EXPECT_FALSE(error_.empty());
  EXPECT_FALSE(fileio::FileExists(Folder() + L"\\1_attachment.png.tmp"));
  // A record folder that does not exist fails the same way.
  error_.clear();
  EXPECT_FALSE(SaveAttachment({L"data:image/png;base64,aGVsbG8=", L""}, dir_ / L"absent", 1, saved_, error_));
  EXPECT_FALSE(error_.empty());
  EXPECT_TRUE(saved_.empty());
}

}  // namespace

namespace {

// The hand-written matching must find exactly what the three patterns find.
std::vector<std::wstring> ByRegex(const std::wstring& text) {
  static const std::wregex patterns[3] = {std::wregex(LR"re(\]\(<?([^\r\n)]+?)>?\))re"),
                                          std::wregex(LR"re([`"]([A-Za-z]:[\\/][^`"\r\n]+)[`"])re"),
                                          std::wregex(LR"re(#file:([^\r\n]+))re")};
  std::vector<std::wstring> found;
  for (const auto& pattern : patterns) {
    for (std::wsregex_iterator m(text.begin(), text.end(), pattern), end; m != end; ++m) found.push_back((*m)[1].str());
  }
  return found;
}

TEST(MessageAttachmentPatterns, HandMatchingAgreesWithThePatterns) {
  const std::wstring pieces[] = {L"](", L")", L"<", L">", L"\r", L"\n", L"`", L"\"", L"C:", L"c:\\", L"Z:/",
                                 L"\\", L"/", L"#file:", L"a", L"b.png", L" ", L"]", L"(", L"x"};
  std::mt19937 rng(20261208);
  for (int round = 0; round < 20000; ++round) {
    std::wstring text;
    int parts = static_cast<int>(rng() % 14);
    for (int i = 0; i < parts; ++i) text += pieces[rng() % std::size(pieces)];
    ASSERT_EQ(aisync::PathsNamedInText(text), ByRegex(text)) << "round " << round;
  }
  EXPECT_EQ(aisync::PathsNamedInText(L"see ![shot](<img/a b.png>) and `C:\\x\\y.txt` #file:notes.md\r\nrest"),
            (std::vector<std::wstring>{L"img/a b.png", L"C:\\x\\y.txt", L"notes.md"}));
}

TEST(MessageAttachmentPatterns, HostileTextIsReadInOnePass) {
  // Thousands of openings without a closing bracket made a backtracking matcher take
  // minutes; every candidate start must not rescan the rest of the text.
  std::wstring hostile;
  for (int i = 0; i < 200000; ++i) hostile += L"](";
  EXPECT_TRUE(aisync::PathsNamedInText(hostile).empty());
  std::wstring quotes;
  for (int i = 0; i < 200000; ++i) quotes += L"\"C:\\";
  EXPECT_TRUE(aisync::PathsNamedInText(quotes).empty());
}

}  // namespace
