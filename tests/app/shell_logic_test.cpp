#include "app/shell_logic.h"

#include <gtest/gtest.h>

#include <fstream>
#include <filesystem>

#include "support/language_scope.h"
#include "support/temp_dir.h"

namespace {

using testpaths::LanguageScope;

TEST(Placement, ShowCommandRules) {
  EXPECT_EQ(shell::PlacementShowCommand(SW_SHOWMAXIMIZED, SW_SHOWNORMAL, false), SW_SHOWMAXIMIZED);
  EXPECT_EQ(shell::PlacementShowCommand(SW_SHOWMINIMIZED, SW_SHOWNORMAL, false), SW_SHOWNORMAL);
  // A shortcut that starts minimised wins over a stored maximised window.
  EXPECT_EQ(shell::PlacementShowCommand(SW_SHOWMAXIMIZED, SW_SHOWMINNOACTIVE, false), SW_SHOWMINNOACTIVE);
  EXPECT_EQ(shell::PlacementShowCommand(SW_SHOWNORMAL, SW_MINIMIZE, false), SW_MINIMIZE);
  EXPECT_EQ(shell::PlacementShowCommand(SW_SHOWNORMAL, SW_SHOWNOACTIVATE, false), SW_SHOWNOACTIVATE);
  EXPECT_EQ(shell::PlacementShowCommand(SW_SHOWMAXIMIZED, SW_SHOWNOACTIVATE, false), SW_SHOWMAXIMIZED);
  EXPECT_EQ(shell::PlacementShowCommand(SW_SHOWMAXIMIZED, SW_SHOWMINIMIZED, true), SW_HIDE);
}

TEST(Placement, DefaultRectangle) {
  RECT big = shell::DefaultWindowRect(RECT{0, 0, 1920, 1040}, 96);
  EXPECT_EQ(big.right - big.left, 1320);
  EXPECT_EQ(big.bottom - big.top, 860);
  EXPECT_EQ(big.left, 300);
  EXPECT_EQ(big.top, 90);
  RECT small = shell::DefaultWindowRect(RECT{0, 0, 1280, 680}, 96);
  EXPECT_EQ(small.right - small.left, 1203);
  EXPECT_EQ(small.bottom - small.top, 625);
  RECT offset = shell::DefaultWindowRect(RECT{1920, 40, 3840, 1080}, 144);
  EXPECT_EQ(offset.right - offset.left, 1804);  // 94 % of 1920 is below 1320 * 1.5
  EXPECT_GE(offset.left, 1920);
}

TEST(TitleAndStatus, Title) {
  LanguageScope english(i18n::kEnglish);
  EXPECT_EQ(shell::WindowTitle(L"", false), L"Tavrilo 1.9.3 - Untitled");
  EXPECT_EQ(shell::WindowTitle(L"C:\\Docs\\Plan.qlproj", true), L"Tavrilo 1.9.3 - Plan.qlproj *");
}

TEST(TitleAndStatus, StatusTexts) {
  LanguageScope english(i18n::kEnglish);
  shell::StatusFacts facts;
  facts.statusMessage = L"Ready";
  facts.selectedDate = {2024, 7, 4};
  facts.projectsOnSelectedDay = 2;
  facts.viewMode = 1;
  facts.activeCount = 5;
  facts.completedCount = 3;
  auto parts = shell::StatusTexts(facts);
  EXPECT_EQ(parts[0], L"  Ready");
  EXPECT_EQ(parts[1], L"Jul 4, 2024 (Thu)  ·  Projects: 2");
  EXPECT_EQ(parts[2], L"Week view");
  EXPECT_EQ(parts[3], L"Active: 5  ·  Completed: 3");
  EXPECT_EQ(parts[4], L"Unsaved document  ·  AI logging on");

  facts.currentPath = L"C:\\a\\b.qlproj";
  facts.projectsOnSelectedDay = 0;
  facts.aiSyncEnabled = false;
  parts = shell::StatusTexts(facts);
  EXPECT_EQ(parts[1], L"Jul 4, 2024 (Thu)");
  EXPECT_EQ(parts[4], L"b.qlproj  ·  Autosave  ·  AI logging off");
  facts.autoSave = false;
  EXPECT_EQ(shell::StatusTexts(facts)[4], L"b.qlproj  ·  Saved  ·  AI logging off");
  facts.modified = true;
  EXPECT_EQ(shell::StatusTexts(facts)[4], L"b.qlproj  ·  Modified  ·  AI logging off");
  facts.currentPath.clear();
  EXPECT_EQ(shell::StatusTexts(facts)[4], L"Unsaved document  ·  Modified  ·  AI logging off");

  LanguageScope korean(i18n::kKorean);
  EXPECT_EQ(shell::StatusTexts(facts)[3], L"진행중 5  ·  완료 3");
}

TEST(TitleAndStatus, PartEdgesKeepTheirMinimums) {
  auto wide = shell::StatusPartEdges(1320, 96);
  EXPECT_EQ(wide[3], 1060);
  EXPECT_EQ(wide[2], 910);
  EXPECT_EQ(wide[1], 814);
  EXPECT_EQ(wide[0], 564);
  EXPECT_EQ(wide[4], -1);
  auto narrow = shell::StatusPartEdges(300, 96);
  EXPECT_EQ(narrow[0], 60);
  EXPECT_EQ(narrow[1], 80);
  EXPECT_EQ(narrow[2], 100);
  EXPECT_EQ(narrow[3], 120);
  auto scaled = shell::StatusPartEdges(1980, 144);
  EXPECT_EQ(scaled[3], 1980 - 390);
}

TEST(FileNames, SafeFileName) {
  EXPECT_EQ(shell::SafeFileName(L"*a/b:c."), L"_a_b_c");
  EXPECT_EQ(shell::SafeFileName(L"a/b:c."), L"a_b_c");
  EXPECT_EQ(shell::SafeFileName(L"  report . . "), L"report");
  EXPECT_EQ(shell::SafeFileName(L"tab\there"), L"tab_here");
  EXPECT_EQ(shell::SafeFileName(L"분기 <보고서>|?"), L"분기 _보고서___");
  {
    LanguageScope korean(i18n::kKorean);
    EXPECT_EQ(shell::SafeFileName(L"   "), L"프로젝트");
  }
  LanguageScope english(i18n::kEnglish);
  EXPECT_EQ(shell::SafeFileName(L" ... "), L"Project");
}

TEST(CopyData, OnlyWellFormedPathsAreTaken) {
  std::wstring path;
  const wchar_t good[] = L"C:\\a.qlproj";
  EXPECT_TRUE(shell::CopyDataPath(1, sizeof(good), good, path));
  EXPECT_EQ(path, L"C:\\a.qlproj");
  EXPECT_FALSE(shell::CopyDataPath(2, sizeof(good), good, path));
  EXPECT_FALSE(shell::CopyDataPath(1, sizeof(good) - 2, good, path)) << "missing terminator";
  EXPECT_FALSE(shell::CopyDataPath(1, sizeof(good) - 1, good, path)) << "odd size";
  EXPECT_FALSE(shell::CopyDataPath(1, 1, good, path));
  EXPECT_FALSE(shell::CopyDataPath(1, sizeof(good), nullptr, path));
  std::wstring huge(32768, L'x');
  huge.back() = L'\0';
  EXPECT_TRUE(shell::CopyDataPath(1, 65536, huge.data(), path));
  std::wstring tooBig(32769, L'\0');
  EXPECT_FALSE(shell::CopyDataPath(1, 65538, tooBig.data(), path));
  const wchar_t empty[] = L"";
  EXPECT_TRUE(shell::CopyDataPath(1, 2, empty, path));
  EXPECT_EQ(path, L"");
  const wchar_t embedded[] = L"C:\\a\0junk";
  EXPECT_TRUE(shell::CopyDataPath(1, sizeof(embedded), embedded, path));
  EXPECT_EQ(path, L"C:\\a");
}

TEST(FileNames, DefaultPathPrefersCurrentThenEarlier) {
  testpaths::TempDir base;
  EXPECT_EQ(shell::ChooseDefaultPath(base.path()), base.path() + L"\\Tavrilo\\Tavrilo.qlproj");
  std::filesystem::create_directories(std::filesystem::path(base.path() + L"\\Quenlor"));
  std::ofstream(std::filesystem::path(base.path() + L"\\Quenlor\\Quenlor.qlproj")) << "{}";
  EXPECT_EQ(shell::ChooseDefaultPath(base.path()), base.path() + L"\\Quenlor\\Quenlor.qlproj");
  std::filesystem::create_directories(std::filesystem::path(base.path() + L"\\Tavrilo\\Tavrilo.qlproj"));
  EXPECT_EQ(shell::ChooseDefaultPath(base.path()), base.path() + L"\\Quenlor\\Quenlor.qlproj")
      << "a folder with the file's name is not the file";
}

TEST(AboutAndReleaseNotes, Texts) {
  {
    LanguageScope korean(i18n::kKorean);
    std::wstring about = shell::AboutText(L"");
    EXPECT_TRUE(about.starts_with(L"Tavrilo 1.9.3\n개발자: "));
    EXPECT_TRUE(about.ends_with(L"데이터 파일: (저장되지 않음)"));
  }
  LanguageScope english(i18n::kEnglish);
  EXPECT_TRUE(shell::AboutText(L"").ends_with(L"Data file: (Unsaved)"));
  EXPECT_TRUE(shell::AboutText(L"C:\\x.qlproj").ends_with(L"Data file: C:\\x.qlproj"));

  std::wstring notes = shell::ReleaseNotesText();
  size_t headings = 0;
  for (const wchar_t* heading : {L"Nov 22, 2026 (Sun)", L"Nov 21, 2026 (Sat)", L"Nov 17, 2026 (Tue)"}) {
    size_t at = notes.find(heading);
    EXPECT_NE(at, std::wstring::npos) << "missing heading";
    if (at != std::wstring::npos) ++headings;
    EXPECT_EQ(notes.find(heading, at + 1), std::wstring::npos) << "a date heading repeated";
  }
  EXPECT_EQ(headings, 3u);
  EXPECT_TRUE(notes.starts_with(L"Nov 22, 2026 (Sun)\n\nTavrilo 1.9.2\n• Supports the new"));
  EXPECT_NE(notes.find(L"Tavrilo 1.9.1\n• Help now shows"), std::wstring::npos);
  EXPECT_NE(notes.find(L"\n\nTavrilo 1.9.0\n• "), std::wstring::npos) << "same-date rows follow without a heading";
  EXPECT_EQ(shell::ReleaseNotesCaption(), L"Tavrilo 1.9.3 - Update history");
}

}  // namespace

namespace {

TEST(AboutAndReleaseNotes, DueOnlyWhenPendingAndTheWindowIsUsable) {
  struct Case {
    bool pending, messageWaiting, enabled, visible, minimized, due;
  };
  const Case cases[] = {
      {true, false, true, true, false, true},
      {false, false, true, true, false, false},  // already shown
      {true, true, true, true, false, false},    // the start-up message comes first
      {true, false, false, true, false, false},  // a modal box is open
      {true, false, true, false, false, false},  // hidden in the tray
      {true, false, true, true, true, false},    // minimized
  };
  for (const Case& c : cases) {
    shell::ReleaseNotesFacts facts;
    facts.pending = c.pending;
    facts.startupMessageWaiting = c.messageWaiting;
    facts.windowEnabled = c.enabled;
    facts.windowVisible = c.visible;
    facts.windowMinimized = c.minimized;
    EXPECT_EQ(shell::ReleaseNotesDue(facts), c.due)
        << c.pending << c.messageWaiting << c.enabled << c.visible << c.minimized;
  }
}

}  // namespace
