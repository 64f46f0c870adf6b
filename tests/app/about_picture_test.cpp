// Renders the program as it looks in use and keeps the picture that the About box
// shows (scripts/make-about-picture copies it into the resources).
#include <gtest/gtest.h>

#include "main_window_fixture.h"
#include "ui/kit/gdi.h"
#include "ui/kit/snapshot.h"

namespace {

using apptest::MainWindowTest;

std::string SampleProjects() {
  struct Sample {
    const char* title;
    const char* start;
    const char* end;
    int color;
    bool completed;
  };
  const Sample samples[] = {
      {"분기 보고서 작성", "2026-11-02", "2026-11-20", 1, false},
      {"Tavrilo 데스크톱 앱 리뉴얼", "2026-11-05", "2026-12-18", 0, false},
      {"Website redesign", "2026-11-09", "2026-11-27", 2, false},
      {"모바일 앱 QA", "2026-11-16", "2026-11-24", 5, false},
      {"보안 점검", "2026-11-18", "2026-11-19", 8, false},
      {"Budget planning", "2026-11-23", "2026-11-30", 3, false},
      {"법무 검토 요청", "2026-11-10", "2026-11-12", 10, false},
      {"데이터 마이그레이션", "2026-11-25", "2026-12-04", 6, false},
      {"Release 2.3", "2026-10-20", "2026-11-06", 4, true},
      {"신규 입사자 온보딩", "2026-10-01", "2026-10-31", 9, true},
  };
  std::string json = "{\"projects\": [";
  int id = 0;
  for (const auto& s : samples) {
    if (id > 0) json += ",";
    ++id;
    json += "{\"id\": " + std::to_string(id) + ", \"title\": \"" + s.title + "\", \"startDate\": \"" + s.start +
            "\", \"endDate\": \"" + s.end + "\", \"color\": " + std::to_string(s.color) +
            (s.completed ? std::string(", \"status\": \"completed\", \"completedDate\": \"") + s.end + "\"" : "") +
            ", \"entries\": [{\"date\": \"" + s.start + "\", \"text\": \"시작\", \"tags\": [\"plan\"]}]}";
  }
  return json + "]}";
}

// A 24-bit bottom-up BMP, the form the resource compiler embeds as a bitmap.
bool SaveBmp(HBITMAP bitmap, int width, int height, const std::wstring& path) {
  BITMAPINFOHEADER info{sizeof(info), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  int stride = (width * 3 + 3) & ~3;
  std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
  kit::WindowDc screen(nullptr);
  if (!GetDIBits(screen.get(), bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS)) {
    return false;
  }
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  info.biSizeImage = static_cast<DWORD>(pixels.size());
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (out == nullptr) return false;
  fwrite(&file, sizeof(file), 1, out);
  fwrite(&info, sizeof(info), 1, out);
  fwrite(pixels.data(), 1, pixels.size(), out);
  fclose(out);
  return true;
}

TEST_F(MainWindowTest, AboutPreviewPicture) {
  testpaths::LanguageScope korean(i18n::kKorean);
  const std::wstring path = documents / L"Tavrilo\\Tavrilo.qlproj";
  Put(path, SampleProjects());
  auto& main = Create(path);
  SetWindowPos(window, nullptr, 0, 0, 1176, 600, SWP_NOZORDER | SWP_NOACTIVATE);
  calendar::SetFixedToday(main.calendar(), {2026, 11, 18});
  calendar::GoToDate(main.calendar(), {2026, 11, 18});
  calendar::SelectDate(main.calendar(), {2026, 11, 18});
  main.SelectProject(2);
  Show();
  if (HWND notes = main.releaseNotesWindow()) SendMessageW(notes, WM_CLOSE, 0, 0);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  testui::PumpMessages();

  const std::wstring full = testui::ScreenshotPath(L"about-preview-full");
  ASSERT_TRUE(kit::SaveWindowPng(window, full));

  // Reduced and smoothed: the 1176 x 600 window (the smallest height the window takes)
  // becomes the 960 x 490 picture.
  RECT r;
  GetWindowRect(window, &r);
  kit::WindowDc screen(nullptr);
  kit::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  kit::UniqueBitmap picture(CreateCompatibleBitmap(screen.get(), 960, 490));
  {
    kit::SelectObjectScope select(memory.get(), picture.get());
    SetStretchBltMode(memory.get(), HALFTONE);
    SetBrushOrgEx(memory.get(), 0, 0, nullptr);
    ASSERT_TRUE(StretchBlt(memory.get(), 0, 0, 960, 490, screen.get(), r.left, r.top, r.right - r.left,
                           r.bottom - r.top, SRCCOPY));
  }
  EXPECT_TRUE(kit::SaveBitmapPng(picture.get(), testui::ScreenshotPath(L"about-preview")));
  EXPECT_TRUE(SaveBmp(picture.get(), 960, 490, testpaths::BuildFile(L"about-preview.bmp")));
}

}  // namespace
