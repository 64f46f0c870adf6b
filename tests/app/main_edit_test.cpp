// The main window's one edit path, its services and the keyboard routing of its modeless
// windows.
#include <gtest/gtest.h>

#include "app/services.h"
#include "app/shell_logic.h"
#include "i18n/translate.h"
#include "main_window_fixture.h"
#include "model/file_io.h"
#include "model/project_file.h"
#include "resources/command_ids.h"
#include "ui/kit/snapshot.h"

namespace {

using apptest::MainWindowTest;

std::wstring Title(HWND window) {
  std::wstring title(256, L'\0');
  title.resize(GetWindowTextW(window, title.data(), 256));
  return title;
}

auto AddNamed(const wchar_t* title) {
  return [title](ProjectDocument& document) {
    Project p;
    p.title = title;
    p.startDate = {2026, 12, 8};
    document.AddProject(p);
    return true;
  };
}

size_t SavedProjects(const std::wstring& path) {
  std::vector<Project> saved;
  std::wstring error;
  return projectfile::ReadProjects(path, saved, error) ? saved.size() : 0;
}

TEST_F(MainWindowTest, AnEditRefreshesTheStatusBarAndSavesOrMarksTheTitle) {
  auto& main = Create();
  const std::wstring path = main.currentPath();

  // A change that changes nothing leaves everything as it was.
  const std::wstring before = main.statusMessage();
  EXPECT_FALSE(main.ApplyEdit([](ProjectDocument&) { return false; }, L"never shown"));
  EXPECT_EQ(main.statusMessage(), before);
  EXPECT_FALSE(main.modified());
  EXPECT_FALSE(fileio::FileExists(path)) << "nothing to save";

  // Auto-save on: saved at once, the title unmarked, the status bar tells.
  ASSERT_TRUE(main.ApplyEdit(AddNamed(L"first"), L"First added"));
  EXPECT_EQ(main.StatusPartText(0), L"  First added");
  EXPECT_EQ(main.StatusPartText(3), L"Active: 1  ·  Completed: 0");
  EXPECT_EQ(SavedProjects(path), 1u);
  EXPECT_FALSE(main.modified());
  EXPECT_EQ(Title(window), L"Tavrilo 1.9.3 - Tavrilo.qlproj");

  // Auto-save off: the file keeps the old content and the title carries the mark.
  main.RunCommand(IDM_AUTOSAVE);
  ASSERT_TRUE(main.ApplyEdit(AddNamed(L"second"), L"Second added"));
  EXPECT_EQ(main.StatusPartText(0), L"  Second added");
  EXPECT_EQ(main.StatusPartText(4), L"Tavrilo.qlproj  ·  Modified  ·  AI logging on");
  EXPECT_EQ(SavedProjects(path), 1u);
  EXPECT_TRUE(main.modified());
  EXPECT_EQ(Title(window), L"Tavrilo 1.9.3 - Tavrilo.qlproj *");
  EXPECT_EQ(main.document().projects.size(), 2u);
  EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowTest, AnEditThatSavedItselfIsNotMarkedOrSavedAgain) {
  const std::wstring path = documents / L"own.qlproj";
  auto& main = Create(path);
  main.RunCommand(IDM_AUTOSAVE);  // off: only the change itself may write
  std::wstring status;
  bool applied = main.ApplyEdit(
      [&](ProjectDocument& document) {
        AddNamed(L"x")(document);
        std::wstring error;
        status = L"written by the change";
        return projectfile::SaveProjectFile(path, document.projects, document.nextId, error);
      },
      status, mainwindow::MainWindow::EditSave::kSavedByChange);
  ASSERT_TRUE(applied);
  EXPECT_FALSE(main.modified());
  EXPECT_EQ(main.statusMessage(), L"written by the change") << "the status is read after the change";
  EXPECT_EQ(SavedProjects(path), 1u);
  EXPECT_EQ(Title(window), L"Tavrilo 1.9.3 - own.qlproj");
}

TEST_F(MainWindowTest, ReleaseNotesTakeEnterAndTabThroughTheDialogRouting) {
  auto& main = Create();
  Show();
  HWND notes = main.releaseNotesWindow();
  ASSERT_NE(notes, nullptr);
  HWND ok = GetDlgItem(notes, IDOK);
  ASSERT_NE(ok, nullptr);
  SetFocus(ok);
  MSG tab{ok, WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_TRUE(main.PreTranslate(tab));
  EXPECT_NE(GetFocus(), ok) << "Tab moves on inside the notes";
  EXPECT_TRUE(IsChild(notes, GetFocus()));

  SetFocus(ok);
  MSG enter{ok, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_TRUE(main.PreTranslate(enter));
  testui::PumpMessages();
  EXPECT_FALSE(IsWindow(notes)) << "Enter on OK closes them";

  // With the notes gone their keys are the main window's again.
  HWND search = main.child(mainwindow::kSearchBoxId);
  SetFocus(search);
  MSG other{search, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
  EXPECT_TRUE(main.PreTranslate(other)) << "Escape in the search box resets it";
}

TEST(MainWindowServices, EmptySlotsGetTheRealOnesAndGivenOnesStay) {
  mainwindow::Services given;
  int asked = 0;
  given.showMessage = [&](HWND, const std::wstring&, const std::wstring&, UINT) { return ++asked, IDNO; };
  given.today = [] { return Date{2030, 1, 2}; };
  mainwindow::Services services = mainwindow::WithDefaults(given);
  EXPECT_EQ(services.showMessage(nullptr, L"", L"", MB_OK), IDNO);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(services.today(), (Date{2030, 1, 2}));
  EXPECT_TRUE(services.chooseFile);
  EXPECT_TRUE(services.chooseFolder);
  EXPECT_TRUE(services.showAbout);
  EXPECT_EQ(mainwindow::DefaultServices().today(), dates::Today());
}

std::wstring g_aboutShot;
bool g_aboutCaptured = false;
std::wstring g_aboutText;

// Runs inside the real box's own message loop: photographs it and closes it.
VOID CALLBACK CaptureAboutAndClose(HWND, UINT, UINT_PTR id, DWORD) {
  HWND box = FindWindowW(L"QuenlorMsgBox", nullptr);
  if (box == nullptr || !IsWindowVisible(box)) return;
  KillTimer(nullptr, id);
  g_aboutCaptured = kit::SaveWindowPng(box, testui::ScreenshotPath(g_aboutShot));
  // The long text stands in a read-only edit.
  if (HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr)) {
    wchar_t text[4096] = {};
    GetWindowTextW(edit, text, 4096);
    g_aboutText = text;
  }
  PostMessageW(box, WM_CLOSE, 0, 0);
}

TEST(MainWindowServices, TheRealAboutBoxShowsTheTextWithItsPicture) {
  testui::EnsureUi();
  for (int language : {i18n::kKorean, i18n::kEnglish}) {
    testpaths::LanguageScope scope(language);
    const std::wstring path = L"C:\\Data\\Tavrilo.qlproj";
    g_aboutShot = language == i18n::kKorean ? L"about-ko" : L"about-en";
    g_aboutCaptured = false;
    g_aboutText.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 50, CaptureAboutAndClose);
    mainwindow::DefaultServices().showAbout(nullptr, shell::AboutText(path), i18n::Translate(L"Tavrilo 정보"));
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_aboutCaptured);
    EXPECT_TRUE(g_aboutText.ends_with(path));
  }
}

}  // namespace
