// Attachment references, link shortcuts, folder opening and previews.
#include <gtest/gtest.h>
#include <objbase.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/references.h"
#include "support/temp_dir.h"
#include "support/ui_env.h"
#include "ui/kit/gdi.h"
#include "ui/kit/gdiplus_include.h"
#include "views/attachments.h"

namespace {

using namespace references;

TEST(AttachmentReferences, NormalizationAcceptsAndRefuses) {
  struct Case {
    const wchar_t* input;
    const wchar_t* expected;  // empty: refused
  };
  const Case cases[] = {
      {L"  https://example.com/a?b#c  ", L"https://example.com/a?b#c"},
      {L"HTTPS://Example.com/path with space", L""},
      {L"https:///path", L""},
      {L"http://", L""},
      {L"https://host/a\\b", L""},
      {L"https://host/\"q\"", L""},
      {L"C:/Users/me/notes.txt", L"C:\\Users\\me\\notes.txt"},
      {L"d:\\folder\\", L"d:\\folder\\"},
      {L"\\\\?\\C:\\long\\path.txt", L""},
      {L"//./C:/device", L""},
      {L"relative\\file.txt", L""},
      {L"\\rooted\\file.txt", L""},
      {L"C:\\a\\b:stream", L""},
      {L"C:\\what?.txt", L""},
      {L"C:\\a\tb", L""},
      {L"1:\\digits", L""},
      {L"   ", L""},
      {L"file:///C:/Users/me/My%20File.txt", L"C:\\Users\\me\\My File.txt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NormalizeReference(c.input), c.expected) << testing::PrintToString(std::wstring(c.input));
  }
  EXPECT_EQ(NormalizeReference(L"C:\\" + std::wstring(kMaxReferenceLength, L'a')), L"") << "longer than 32,767";
}

TEST(AttachmentReferences, DuplicatesFollowTheKindOfReference) {
  std::vector<std::wstring> list;
  EXPECT_TRUE(AddUniqueReference(list, L"C:\\Data\\Report.PNG"));
  EXPECT_FALSE(AddUniqueReference(list, L"c:/data/report.png")) << "same local path in other case";
  EXPECT_TRUE(AddUniqueReference(list, L"https://example.com/Page"));
  EXPECT_TRUE(AddUniqueReference(list, L"https://example.com/page")) << "web links compare exactly";
  EXPECT_FALSE(AddUniqueReference(list, L" https://example.com/Page "));
  EXPECT_FALSE(AddUniqueReference(list, L"not a reference"));
  EXPECT_EQ(list, (std::vector<std::wstring>{L"C:\\Data\\Report.PNG", L"https://example.com/Page",
                                             L"https://example.com/page"}));
}

TEST(AttachmentReferences, AttachmentLinesOfTheText) {
  std::wstring text =
      L"첨부: C:\\a\\one.png\r\n"
      L"note 첨부: C:\\not\\mid-line.png\n"
      L"첨부: https://example.com/x\n"
      L"첨부:C:\\missing\\space.png\n"
      L"첨부: c:\\A\\ONE.png\n"
      L"첨부: nonsense\n"
      L"첨부: D:\\last.jpg";
  EXPECT_EQ(ReferencesInText(text),
            (std::vector<std::wstring>{L"C:\\a\\one.png", L"https://example.com/x", L"D:\\last.jpg"}))
      << "the CR before a line feed is trimmed; repeats and invalid lines are skipped";
  EXPECT_TRUE(ReferencesInText(L"").empty());
}

TEST(AttachmentReferences, DisplayNamesAndImageExtensions) {
  EXPECT_EQ(DisplayName(L"C:\\a\\b\\photo.png"), L"photo.png");
  EXPECT_EQ(DisplayName(L"C:\\a\\folder\\"), L"C:\\a\\folder\\");
  EXPECT_EQ(DisplayName(L"https://example.com/a/b"), L"https://example.com/a/b");
  EXPECT_TRUE(HasImageExtension(L"C:\\x\\Y.JPEG"));
  EXPECT_TRUE(HasImageExtension(L"C:\\x\\y.wdp"));
  EXPECT_FALSE(HasImageExtension(L"C:\\x.png\\readme"));
  EXPECT_FALSE(HasImageExtension(L"C:\\x\\png"));
  EXPECT_FALSE(HasImageExtension(L"C:\\x\\y.pngx"));
}

TEST(AttachmentLinks, ShortcutNameIsTheFnvHashOfTheUtf8Bytes) {
  // Values computed independently from the FNV-1a definition.
  EXPECT_EQ(LinkShortcutFileName(L"https://example.com/"), L"link-0c8b41cfdcb3c914.url");
  EXPECT_EQ(LinkShortcutFileName(L"https://예제.kr/경로"), L"link-832fdbb78594f56f.url");
  EXPECT_EQ(LinkShortcutFileName(L""), L"link-cbf29ce484222325.url");
  EXPECT_EQ(attachments::LinkFolder(L"C:\\p\\", Date{2026, 1, 2}), L"C:\\p\\Quenlor\\2026-01-02\\Links");
}

TEST(AttachmentLinks, ShortcutIsCreatedOnceUnderTheProjectOrDocuments) {
  kit::ComApartment com(COINIT_APARTMENTTHREADED);
  testpaths::TempDir project, documents;
  std::wstring path, error;
  const std::wstring link = L"https://example.com/";
  const Date date{2026, 1, 2};

  ASSERT_TRUE(attachments::LinkShortcutPathIn(link, project.path(), date, documents.path(), path, error)) << error;
  EXPECT_EQ(path, project.path() + L"\\Quenlor\\2026-01-02\\Links\\link-0c8b41cfdcb3c914.url");
  std::ifstream first{std::filesystem::path(path)};
  std::string content((std::istreambuf_iterator<char>(first)), std::istreambuf_iterator<char>());
  EXPECT_NE(content.find("URL=https://example.com/"), std::string::npos) << content;
  first.close();

  // A second click reuses the file as it is.
  { std::ofstream(std::filesystem::path(path), std::ios::app) << "; kept\n"; }
  std::wstring again;
  ASSERT_TRUE(attachments::LinkShortcutPathIn(link, project.path(), date, documents.path(), again, error));
  EXPECT_EQ(again, path);
  std::ifstream second{std::filesystem::path(path)};
  std::string reread((std::istreambuf_iterator<char>(second)), std::istreambuf_iterator<char>());
  EXPECT_NE(reread.find("; kept"), std::string::npos);

  // A missing project folder sends the shortcut to Documents.
  ASSERT_TRUE(attachments::LinkShortcutPathIn(link, project / L"gone", date, documents.path(), path, error));
  EXPECT_EQ(path, documents.path() + L"\\Quenlor\\2026-01-02\\Links\\link-0c8b41cfdcb3c914.url");
  EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);

  // Not a web link: no result and nothing to report.
  EXPECT_FALSE(attachments::LinkShortcutPathIn(L"C:\\x.txt", project.path(), date, documents.path(), path, error));
  EXPECT_TRUE(error.empty());
  // No folder can be made: the user is told.
  EXPECT_FALSE(attachments::LinkShortcutPathIn(link, L"", date, L"Q:\\no\\such\\drive", path, error));
  EXPECT_FALSE(error.empty());
}

TEST(AttachmentFolders, OpeningSelectsTheFileOrReportsWhatIsMissing) {
  testpaths::TempDir dir;
  std::wstring file = dir / L"picture.png";
  { std::ofstream(std::filesystem::path(file)) << "x"; }
  std::vector<std::pair<std::wstring, std::wstring>> opened;
  bool answer = true;
  attachments::RevealFn reveal = [&](HWND, const std::wstring& folder, const std::wstring& selected) {
    opened.emplace_back(folder, selected);
    return answer;
  };
  std::wstring error;
  EXPECT_TRUE(attachments::OpenAttachmentFolder(nullptr, file, error, reveal)) << error;
  EXPECT_TRUE(attachments::OpenAttachmentFolder(nullptr, dir.path(), error, reveal));
  EXPECT_TRUE(attachments::OpenAttachmentFolder(nullptr, dir / L"deleted.txt", error, reveal))
      << "a missing file still opens the folder it was in";
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[0], std::make_pair(dir.path(), file));
  EXPECT_EQ(opened[1], std::make_pair(dir.path(), std::wstring()));
  EXPECT_EQ(opened[2], std::make_pair(dir.path(), std::wstring()));

  EXPECT_FALSE(attachments::OpenAttachmentFolder(nullptr, dir / L"no\\such\\file.txt", error, reveal));
  EXPECT_NE(error.find(L"no\\such\\file.txt"), std::wstring::npos) << "the message names the reference";
  EXPECT_FALSE(attachments::OpenAttachmentFolder(nullptr, L"https://example.com/", error, reveal));
  answer = false;
  EXPECT_FALSE(attachments::OpenAttachmentFolder(nullptr, file, error, reveal));
  EXPECT_NE(error.find(dir.path()), std::wstring::npos) << "a failed open names the folder";
  EXPECT_EQ(opened.size(), 4u);
}

TEST(AttachmentPreviews, SizeIsBoundedAndHugeImagesAreRefused) {
  struct Case {
    unsigned w, h;
    bool ok;
    unsigned pw, ph;
  };
  const Case cases[] = {
      {1440, 640, true, 720, 320},  {20000, 10000, false, 0, 0}, {10000, 10000, true, 320, 320},
      {100, 50, true, 100, 50},     {0, 10, false, 0, 0},        {5000, 1, true, 720, 1},
      {1, 5000, true, 1, 320},
  };
  for (const Case& c : cases) {
    unsigned pw = 0, ph = 0;
    EXPECT_EQ(attachments::PreviewSize(c.w, c.h, pw, ph), c.ok) << c.w << "x" << c.h;
    if (c.ok) {
      EXPECT_EQ(pw, c.pw) << c.w << "x" << c.h;
      EXPECT_EQ(ph, c.ph) << c.w << "x" << c.h;
    }
  }
}

TEST(AttachmentPreviews, LoadsAPngAsPremultipliedArgbAndSkipsOthers) {
  testui::EnsureUi();
  kit::ComApartment com(COINIT_APARTMENTTHREADED);
  testpaths::TempDir dir;
  std::wstring png = dir / L"wide.png";
  {
    Gdiplus::Bitmap source(1440, 640, PixelFormat32bppARGB);
    Gdiplus::Graphics g(&source);
    g.Clear(Gdiplus::Color(255, 40, 160, 90));
    CLSID encoder{};
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; ++i) {
      if (std::wstring(codecs[i].MimeType) == L"image/png") encoder = codecs[i].Clsid;
    }
    ASSERT_EQ(source.Save(png.c_str(), &encoder, nullptr), Gdiplus::Ok);
  }
  auto preview = attachments::LoadPreview(png);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->GetWidth(), 720u);
  EXPECT_EQ(preview->GetHeight(), 320u);
  EXPECT_EQ(preview->GetPixelFormat(), PixelFormat32bppPARGB);
  Gdiplus::Color pixel;
  preview->GetPixel(360, 160, &pixel);
  EXPECT_NEAR(pixel.GetG(), 160, 2);

  std::wstring fake = dir / L"fake.png";
  { std::ofstream(std::filesystem::path(fake)) << "not an image"; }
  EXPECT_EQ(attachments::LoadPreview(fake), nullptr);
  EXPECT_EQ(attachments::LoadPreview(dir / L"notes.txt"), nullptr);
  EXPECT_FALSE(attachments::WantsPreview(L"https://example.com/a.png"));
}

}  // namespace
