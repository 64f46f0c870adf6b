#include "app/main_window.h"

#include <gtest/gtest.h>

#include "main_window_fixture.h"
#include "app/settings.h"
#include "model/file_io.h"
#include "model/project_file.h"
#include "resources/command_ids.h"
#include "ui/kit/snapshot.h"

namespace {

using apptest::MainWindowTest;

std::string ProjectsJson(std::initializer_list<int> ids) {
  std::string json = "{\"nextId\": 4, \"projects\": [";
  bool first = true;
  for (int id : ids) {
    if (!first) json += ",";
    first = false;
    json += "{\"id\": " + std::to_string(id) + ", \"title\": \"P" + std::to_string(id) +
            "\", \"startDate\": \"2026-12-0" + std::to_string(id % 9 + 1) + "\"}";
  }
  return json + "]}";
}

Project Titled(const wchar_t* title) {
  Project p;
  p.title = title;
  p.startDate = {2026, 12, 8};
  return p;
}

// Adds a project through the window's one edit path.
void Add(mainwindow::MainWindow& main, const wchar_t* title, const wchar_t* status) {
  main.ApplyEdit(
      [title](ProjectDocument& document) {
        document.AddProject(Titled(title));
        return true;
      },
      status);
}

// ---------------------------------------------------------------------------------

TEST_F(MainWindowTest, FirstStartWithoutAFile) {
  auto& main = Create();
  const std::wstring expected = documents / L"Tavrilo\\Tavrilo.qlproj";
  EXPECT_EQ(main.currentPath(), expected);
  EXPECT_EQ(main.statusMessage(), L"New project file · Saves on first change");
  EXPECT_FALSE(fileio::FolderExists(documents / L"Tavrilo")) << "nothing is written before the first change";
  EXPECT_EQ(main.StatusPartText(4), L"Tavrilo.qlproj  ·  Autosave  ·  AI logging on");

  Add(main, L"first", L"changed");
  EXPECT_TRUE(fileio::FileExists(expected)) << "the first change creates folder and file";
  EXPECT_FALSE(main.modified());
  EXPECT_EQ(settings::ReadLastFile(), expected);
  std::wstring title(256, L'\0');
  title.resize(GetWindowTextW(window, title.data(), 256));
  EXPECT_EQ(title, L"Tavrilo 1.9.3 - Tavrilo.qlproj");
}

TEST_F(MainWindowTest, EarlierDefaultIsOpenedAndSavedBackThere) {
  const std::wstring earlier = documents / L"Quenlor\\Quenlor.qlproj";
  Put(earlier, ProjectsJson({1, 2}));
  auto& main = Create();
  EXPECT_EQ(main.currentPath(), earlier);
  EXPECT_EQ(main.document().projects.size(), 2u);
  EXPECT_EQ(main.statusMessage(), L"Project file loaded.");
  Add(main, L"third", L"added");
  std::vector<Project> back;
  std::wstring error;
  ASSERT_TRUE(projectfile::ReadProjects(earlier, back, error));
  EXPECT_EQ(back.size(), 3u);
  EXPECT_FALSE(fileio::FileExists(documents / L"Tavrilo\\Tavrilo.qlproj"));
}

TEST_F(MainWindowTest, CorruptFileIsProtected) {
  const std::wstring path = documents / L"Tavrilo\\Tavrilo.qlproj";
  const std::string corrupt = "{\"projects\": [ {\"id\": 1,, ]";
  Put(path, corrupt);
  auto& main = Create();
  EXPECT_TRUE(main.currentPath().empty());
  EXPECT_TRUE(main.document().projects.empty());
  EXPECT_EQ(main.statusMessage(), L"Could not open file.");
  ASSERT_FALSE(main.pendingMessage().empty());
  EXPECT_TRUE(messages.empty()) << "the message waits until the window is visible";

  Show();
  SendMessageW(window, mainwindow::kStartupFinished, 0, 0);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].caption, L"Tavrilo");
  EXPECT_EQ(messages[0].flags & 0xF0, static_cast<UINT>(MB_ICONWARNING));
  EXPECT_TRUE(messages[0].text.starts_with(L"Could not open the project file.\n" + path + L"\n\nInvalid file format: "));
  EXPECT_TRUE(messages[0].text.ends_with(L"Use Save As to save it elsewhere."));
  EXPECT_TRUE(main.pendingMessage().empty());

  Add(main, L"new", L"changed");
  EXPECT_EQ(Bytes(path), corrupt) << "auto-save must never touch the unreadable file";
  EXPECT_TRUE(main.modified());
}

TEST_F(MainWindowTest, CorruptFileShowsTheWindowEvenWhenStartedHidden) {
  const std::wstring path = documents / L"broken.qlproj";
  Put(path, "not json");
  auto& main = Create(path, true);
  EXPECT_FALSE(IsWindowVisible(window));
  SendMessageW(window, mainwindow::kStartupFinished, 0, 0);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(Bytes(path), "not json");
  EXPECT_TRUE(main.currentPath().empty());
}

TEST_F(MainWindowTest, FailedSaveKeepsTheChangesMarked) {
  const std::wstring path = documents / L"ro.qlproj";
  Put(path, ProjectsJson({1}));
  auto& main = Create(path);
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
  Add(main, L"x", L"changed");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].caption, L"Save failed");
  EXPECT_TRUE(messages[0].text.starts_with(L"Could not save the project file.\n" + path + L"\n\n"));
  EXPECT_TRUE(main.modified());
  EXPECT_EQ(main.currentPath(), path);
  EXPECT_EQ(main.StatusPartText(4), L"ro.qlproj  ·  Modified  ·  AI logging on");
}

TEST_F(MainWindowTest, ConfirmDiscardAnswers) {
  auto& main = Create();
  EXPECT_TRUE(main.ConfirmDiscard()) << "nothing to lose";
  main.RunCommand(IDM_AUTOSAVE);  // off, so the change stays unsaved
  Add(main, L"x", L"changed");
  ASSERT_TRUE(main.modified());

  answers = {IDCANCEL};
  EXPECT_FALSE(main.ConfirmDiscard());
  EXPECT_EQ(messages.back().text, L"There are unsaved changes.\nSave them?");
  answers = {IDNO};
  EXPECT_TRUE(main.ConfirmDiscard());
  EXPECT_TRUE(main.modified());
}

TEST_F(MainWindowTest, YesWithoutAPathAsksWhereAndCancellingStopsTheOpen) {
  const std::wstring broken = documents / L"Tavrilo\\Tavrilo.qlproj";
  Put(broken, "{");
  auto& main = Create();  // protection mode: no path
  Add(main, L"x", L"changed");
  const std::wstring other = documents / L"other.qlproj";
  Put(other, ProjectsJson({5}));
  answers = {IDYES};
  dialogAnswers = {L""};  // the Save As dialog is cancelled
  EXPECT_FALSE(main.OpenPath(other));
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_TRUE(dialogs[0].save);
  EXPECT_EQ(dialogs[0].title, L"Save As");
  EXPECT_EQ(main.document().projects.size(), 1u) << "the open was cancelled";
  EXPECT_TRUE(main.currentPath().empty());
}

TEST_F(MainWindowTest, ExportRefusesTheOpenFileInAnyCase) {
  const std::wstring path = documents / L"work.qlproj";
  Put(path, ProjectsJson({7}));
  auto& main = Create(path);
  // Selecting a project is the project list's job; the export only needs the id.
  main.RunCommand(IDM_EXPORT_PROJECT);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, L"Select a project in the left pane to export it.");

  main.SelectProject(7);
  std::wstring upper = path;
  for (auto& c : upper) c = static_cast<wchar_t>(towupper(c));
  dialogAnswers = {upper};
  const std::string before = Bytes(path);
  main.RunCommand(IDM_EXPORT_PROJECT);
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].suggested, documents / L"P7.qlproj");
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].caption, L"Export project");
  EXPECT_EQ(messages[1].flags & 0xF0, static_cast<UINT>(MB_ICONWARNING));
  EXPECT_EQ(Bytes(path), before);

  dialogAnswers = {documents / L"exported.qlproj"};
  main.RunCommand(IDM_EXPORT_PROJECT);
  std::string exported = Bytes(documents / L"exported.qlproj");
  EXPECT_NE(exported.find("\"nextId\": 8"), std::string::npos);
  EXPECT_EQ(main.statusMessage(), L"Exported project: " + (documents / L"exported.qlproj"));
}

TEST_F(MainWindowTest, ImportGivesFreshIdsAndSelectsTheLast) {
  const std::wstring path = documents / L"main.qlproj";
  Put(path, "{\"projects\": [{\"id\": 9}]}");
  auto& main = Create(path);
  ASSERT_EQ(main.document().nextId, 10);
  const std::wstring source = documents / L"three.qlproj";
  Put(source, ProjectsJson({1, 2, 3}));
  dialogAnswers = {source};
  main.RunCommand(IDM_IMPORT_PROJECTS);
  ASSERT_EQ(main.document().projects.size(), 4u);
  EXPECT_EQ(main.document().projects[1].id, 10);
  EXPECT_EQ(main.document().projects[2].id, 11);
  EXPECT_EQ(main.document().projects[3].id, 12);
  EXPECT_EQ(main.selectedProjectId(), 12);
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back().text, L"Projects imported: 3.");
  EXPECT_EQ(main.statusMessage(), L"Projects imported: 3.");
  std::vector<Project> saved;
  std::wstring error;
  ASSERT_TRUE(projectfile::ReadProjects(path, saved, error));
  EXPECT_EQ(saved.size(), 4u) << "auto-save wrote the import";
}

TEST_F(MainWindowTest, CloseHidesToTheTrayWithoutAsking) {
  auto& main = Create();
  Show();
  main.RunCommand(IDM_AUTOSAVE);
  Add(main, L"x", L"changed");
  ASSERT_TRUE(main.trayIconAdded());
  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(main.modified());
  WINDOWPLACEMENT placement;
  EXPECT_TRUE(settings::ReadWindowPlacement(placement)) << "hiding saves the settings";
}

TEST_F(MainWindowTest, ExitAsksAndASecondExitOnlyShowsTheWindow) {
  auto& main = Create();
  Show();
  int nested = 0;
  reply = [&](const apptest::ShownMessage&) {
    if (nested++ == 0) main.RunCommand(IDM_EXIT);  // chosen again while asking
    return IDNO;
  };
  main.RunCommand(IDM_EXIT);
  ASSERT_EQ(messages.size(), 1u) << "the second exit must not ask again";
  EXPECT_EQ(messages[0].caption, L"Exit Tavrilo");
  EXPECT_EQ(messages[0].flags & 0xF00, static_cast<UINT>(MB_DEFBUTTON2));
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(main.exitInProgress());

  reply = [](const apptest::ShownMessage&) { return IDYES; };
  main.RunCommand(IDM_EXIT);
  EXPECT_FALSE(IsWindow(window));
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "destroying the window ends the loop";
  window = nullptr;
}

TEST_F(MainWindowTest, CopyDataOpensOnlyWellFormedPaths) {
  auto& main = Create();
  const std::wstring other = documents / L"other.qlproj";
  Put(other, ProjectsJson({3}));
  COPYDATASTRUCT data{1, static_cast<DWORD>((other.size() + 1) * 2), const_cast<wchar_t*>(other.c_str())};
  EXPECT_EQ(SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
  EXPECT_EQ(main.currentPath(), other);
  EXPECT_TRUE(IsWindowVisible(window));

  std::wstring huge(32769, L'a');
  COPYDATASTRUCT tooBig{1, 65538, huge.data()};
  EXPECT_EQ(SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&tooBig)), 0);

  wchar_t empty[1] = {L'\0'};
  COPYDATASTRUCT emptyPath{1, 2, empty};
  EXPECT_EQ(SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&emptyPath)), TRUE);
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back().caption, L"Open failed");
  EXPECT_EQ(main.currentPath(), other) << "a failed open leaves the document";
}

TEST_F(MainWindowTest, AutoSaveToggleSavesPendingChanges) {
  auto& main = Create();
  main.RunCommand(IDM_AUTOSAVE);
  EXPECT_EQ(main.statusMessage(), L"Autosave disabled. Press Ctrl+S to save.");
  Add(main, L"x", L"changed");
  EXPECT_TRUE(main.modified());
  main.RunCommand(IDM_AUTOSAVE);
  EXPECT_FALSE(main.modified());
  EXPECT_TRUE(fileio::FileExists(main.currentPath()));
  EXPECT_EQ(main.statusMessage(), L"Autosave enabled.");
}

TEST_F(MainWindowTest, LayoutKeepsTheCalendarWideAndTheListsApart) {
  auto& main = Create();
  Show();
  const auto& layout = main.layout();
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(layout.panel, 300);
  EXPECT_EQ(layout.calendar.left, 301);
  EXPECT_EQ(layout.calendar.right, client.right);
  EXPECT_LE(layout.activeFrame.bottom, layout.splitterBand.top);
  EXPECT_LE(layout.completedHeader.bottom, layout.completedFrame.top);
  RECT calendar;
  GetWindowRect(main.calendar(), &calendar);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&calendar), 2);
  EXPECT_EQ(calendar.left, layout.calendar.left);
  EXPECT_EQ(calendar.top, 54);
}

TEST_F(MainWindowTest, Screenshots) {
  const std::wstring path = documents / L"rich.qlproj";
  std::string json = "{\"projects\": [";
  for (int i = 1; i <= 14; ++i) {
    if (i > 1) json += ",";
    json += "{\"id\": " + std::to_string(i) + ", \"title\": \"프로젝트 " + std::to_string(i) + " Design review\"" +
            ", \"startDate\": \"2026-12-" + (i < 10 ? "0" : "") + std::to_string(i) + "\", \"endDate\": \"2026-12-" +
            std::to_string(10 + i) + "\", \"color\": " + std::to_string(i % 12) +
            (i % 4 == 0 ? ", \"status\": \"completed\", \"completedDate\": \"2026-12-20\"" : "") + "}";
  }
  json += "]}";
  Put(path, json);
  for (int language : {i18n::kKorean, i18n::kEnglish, i18n::kJapanese, i18n::kFrench, i18n::kGerman,
                       i18n::kChinese}) {
    testpaths::LanguageScope scope(language);
    for (bool withProjects : {false, true}) {
      Create(withProjects ? path : L"");
      Show();
      // "ko", "en", "ja", ...: the language part of the locale name.
      std::wstring name = std::wstring(L"main-") + std::wstring(i18n::kLanguageCodes[language]).substr(0, 2) +
                          (withProjects ? L"-projects" : L"-empty");
      EXPECT_TRUE(kit::SaveWindowPng(window, testui::ScreenshotPath(name)));
      DestroyWindow(window);
      testui::PumpMessages();
      window = nullptr;
    }
  }
}

}  // namespace

namespace {

TEST_F(MainWindowTest, AboutBoxAndReleaseNotes) {
  for (int language : {i18n::kKorean, i18n::kEnglish}) {
    testpaths::LanguageScope scope(language);
    const std::wstring suffix = language == i18n::kKorean ? L"-ko" : L"-en";
    auto& main = Create();
    Show();
    // The release notes open by themselves once the window is first usable.
    HWND notes = main.releaseNotesWindow();
    ASSERT_NE(notes, nullptr);
    EXPECT_FALSE(main.releaseNotesPending());
    EXPECT_TRUE(IsWindowEnabled(window)) << "the release notes are modeless";
    EXPECT_TRUE(kit::SaveWindowPng(notes, testui::ScreenshotPath(L"release-notes" + suffix)));
    main.RunCommand(IDM_RELEASE_NOTES);
    EXPECT_EQ(main.releaseNotesWindow(), notes) << "a second command brings the open window forward";

    // Escape closes them through the main window's pre-translation.
    HWND focus = GetFocus();
    MSG escape{focus ? focus : notes, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(main.PreTranslate(escape));
    testui::PumpMessages();
    EXPECT_FALSE(IsWindow(notes));

    // The About box goes through the services: no modal loop to break into here.
    abouts.clear();
    main.RunCommand(IDM_ABOUT);
    ASSERT_EQ(abouts.size(), 1u);
    EXPECT_EQ(aboutOwner, window);
    EXPECT_EQ(abouts[0].caption, language == i18n::kKorean ? L"Tavrilo 정보" : L"About Tavrilo");
    EXPECT_TRUE(abouts[0].text.ends_with(main.currentPath())) << "the About text ends with the data file";
    EXPECT_TRUE(messages.empty()) << "the About box is not an ordinary message";
    DestroyWindow(window);
    testui::PumpMessages();
    window = nullptr;
  }
}

}  // namespace

namespace {

TEST(MainWindowCreation, FailsCleanlyWithoutItsClass) {
  // An instance whose class was never registered: creation fails and frees its state
  // (a leak here would show under a leak checker; here it must at least not crash).
  mainwindow::StartupOptions options;
  HINSTANCE other = GetModuleHandleW(L"kernel32.dll");
  EXPECT_EQ(mainwindow::CreateMainWindow(other, options), nullptr);
  EXPECT_EQ(mainwindow::FromWindow(nullptr), nullptr);
}

}  // namespace

namespace {

using apptest::MainWindowTest;

TEST_F(MainWindowTest, LanguageSwitchRefreshesTextsAndReopensTheReleaseNotes) {
  auto& main = Create();
  Show();
  HWND notes = main.releaseNotesWindow();
  ASSERT_NE(notes, nullptr);
  main.RunCommand(IDM_LANGUAGE_FIRST + i18n::kKorean);
  EXPECT_EQ(i18n::CurrentLanguage(), i18n::kKorean);
  EXPECT_EQ(settings::ReadLanguageCode(), L"ko-KR");
  EXPECT_EQ(main.statusMessage(), L"언어 설정을 적용했습니다.");
  wchar_t text[64] = {};
  GetWindowTextW(main.child(mainwindow::kResetButtonId), text, 64);
  EXPECT_STREQ(text, L"초기화");
  EXPECT_FALSE(IsWindow(notes));
  ASSERT_NE(main.releaseNotesWindow(), nullptr) << "reopened in the new language";
  wchar_t caption[128] = {};
  GetWindowTextW(main.releaseNotesWindow(), caption, 128);
  EXPECT_STREQ(caption, L"Tavrilo 1.9.3 - 업데이트 내역");

  // Following the system keeps the mark on "System language" whatever the texts show.
  main.RunCommand(IDM_LANGUAGE_FIRST);
  EXPECT_EQ(i18n::ConfiguredLanguage(), 0);
  EXPECT_EQ(settings::ReadLanguageCode(), L"");
  HMENU bar = GetMenu(window);
  HMENU settingsMenu = GetSubMenu(bar, 5);
  HMENU languages = GetSubMenu(settingsMenu, 0);
  SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(languages), 0);
  EXPECT_TRUE(GetMenuState(languages, IDM_LANGUAGE_FIRST, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_FALSE(GetMenuState(languages, IDM_LANGUAGE_FIRST + i18n::kKorean, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(MainWindowTest, FocusRingAndEscapeInTheSearchBox) {
  auto& main = Create();
  Show();
  SetForegroundWindow(window);
  HWND search = main.child(mainwindow::kSearchBoxId);
  auto press = [&](WPARAM key) {
    MSG msg{GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
    return main.PreTranslate(msg);
  };
  SetFocus(main.calendar());
  EXPECT_TRUE(press(VK_TAB));
  EXPECT_EQ(GetFocus(), search) << "Tab from the calendar goes to the search box";
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  EXPECT_TRUE(press(VK_TAB));
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  HWND focus = GetFocus();
  EXPECT_TRUE(focus == main.calendar() || IsChild(main.calendar(), focus)) << "Shift+Tab goes back to the calendar";

  SetFocus(search);
  SetWindowTextW(search, L"report");
  SendMessageW(main.child(mainwindow::kCategoryBoxId), CB_SETCURSEL, 2, 0);
  EXPECT_TRUE(press(VK_ESCAPE));
  wchar_t text[32] = {};
  GetWindowTextW(search, text, 32);
  EXPECT_STREQ(text, L"");
  EXPECT_EQ(SendMessageW(main.child(mainwindow::kCategoryBoxId), CB_GETCURSEL, 0, 0), 0);
}

}  // namespace
