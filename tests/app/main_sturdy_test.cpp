// The main window under conditions that used to lose data or touch freed state: paths in
// other forms than the dialogs give, failed saves, a rebuilt taskbar and the end of a
// Windows session in the middle of a question.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <climits>

#include "main_window_fixture.h"
#include "app/settings.h"
#include "app/startup.h"
#include "model/file_io.h"
#include "model/project_file.h"
#include "resources/command_ids.h"

namespace {

using apptest::MainWindowTest;

// Runs the test body with the process's working folder set to `folder`.
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::wstring& folder) {
    wchar_t buffer[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, buffer);
    previous_ = buffer;
    EXPECT_TRUE(SetCurrentDirectoryW(folder.c_str()));
  }
  ~WorkingFolder() { SetCurrentDirectoryW(previous_.c_str()); }

 private:
  std::wstring previous_;
};

std::string OneProject(int id) {
  return "{\"nextId\": 1, \"projects\": [{\"id\": " + std::to_string(id) +
         ", \"title\": \"P\", \"startDate\": \"2026-12-08\"}]}";
}

void AddProject(mainwindow::MainWindow& main) {
  main.ApplyEdit(
      [](ProjectDocument& document) {
        Project p;
        p.title = L"x";
        p.startDate = {2026, 12, 8};
        document.AddProject(std::move(p));
        return true;
      },
      L"changed");
}

TEST_F(MainWindowTest, RelativePathsAreMadeAbsoluteWhereTheyArrive) {
  const std::wstring first = documents / L"a.qlproj";
  const std::wstring second = documents / L"sub\\b.qlproj";
  Put(first, OneProject(1));
  Put(second, OneProject(2));
  WorkingFolder here(documents.path());

  // The command line: what a second instance sends and what the first one stores.
  EXPECT_EQ(startup::ParseArguments({L"a.qlproj"}).path, first);
  EXPECT_EQ(startup::ParseArguments({L"--STARTUP", L"sub/../sub/b.qlproj", L"ignored"}).path, second);
  EXPECT_TRUE(startup::ParseArguments({L"--startup"}).path.empty());

  auto& main = Create(L"a.qlproj");
  EXPECT_EQ(main.currentPath(), first);
  EXPECT_EQ(settings::ReadLastFile(), first) << "a later start from elsewhere must find it";

  // A hand-over that still carries a relative path is resolved in the receiving process.
  std::wstring relative = L"sub\\b.qlproj";
  COPYDATASTRUCT data{1, static_cast<DWORD>((relative.size() + 1) * 2), relative.data()};
  EXPECT_EQ(SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
  EXPECT_EQ(main.currentPath(), second);
  EXPECT_EQ(settings::ReadLastFile(), second);
}

TEST_F(MainWindowTest, ExportRefusesEveryFormOfTheOpenFile) {
  const std::wstring path = documents / L"LongFolderName\\work project.qlproj";
  Put(path, OneProject(7));
  WorkingFolder here(documents.path());
  wchar_t shortForm[MAX_PATH] = {};
  GetShortPathNameW(path.c_str(), shortForm, MAX_PATH);
  std::wstring slashes = path;
  for (auto& c : slashes) c = c == L'\\' ? L'/' : c;

  auto& main = Create(path);
  main.SelectProject(7);
  const std::string before = Bytes(path);
  for (const std::wstring& form : {std::wstring(L"LongFolderName\\work project.qlproj"), slashes,
                                   std::wstring(shortForm), std::wstring(L".\\LongFolderName\\..\\LongFolderName\\"
                                                                         L"work project.qlproj")}) {
    SCOPED_TRACE(testing::Message() << "form " << std::string(form.begin(), form.end()));
    messages.clear();
    dialogAnswers = {form};
    main.RunCommand(IDM_EXPORT_PROJECT);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, L"Export project");
    EXPECT_EQ(messages[0].flags & 0xF0, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(Bytes(path), before);
  }
  EXPECT_FALSE(main.modified());
}

TEST_F(MainWindowTest, ExportOfTheLargestIdKeepsNextIdInRange) {
  const std::wstring path = documents / L"max.qlproj";
  Put(path, OneProject(INT32_MAX));
  auto& main = Create(path);
  ASSERT_EQ(main.document().projects.size(), 1u);
  main.SelectProject(INT32_MAX);
  const std::wstring target = documents / L"exported.qlproj";
  dialogAnswers = {target};
  main.RunCommand(IDM_EXPORT_PROJECT);
  EXPECT_NE(Bytes(target).find("\"nextId\": 2147483647"), std::string::npos) << Bytes(target);
  ProjectDocument back;
  std::wstring error;
  EXPECT_TRUE(projectfile::LoadProjectFile(target, back, error)) << std::string(error.begin(), error.end());
}

TEST_F(MainWindowTest, AFailedNewProjectFileShowsTheRestoredProjects) {
  const std::wstring path = documents / L"two.qlproj";
  Put(path, "{\"projects\": [{\"id\": 1, \"title\": \"A\", \"startDate\": \"2026-12-08\"},"
            "{\"id\": 2, \"title\": \"B\", \"startDate\": \"2026-12-08\"}]}");
  auto& main = Create(path);
  calendar::GoToDate(main.calendar(), {2026, 12, 8});
  const std::wstring counts = main.StatusPartText(3);
  const std::wstring day = main.StatusPartText(1);
  ASSERT_NE(counts.find(L"2"), std::wstring::npos);
  // A file where the new file's folder should be: the folder cannot be made, the save fails.
  Put(documents / L"blocker", "x");
  dialogAnswers = {documents / L"blocker\\new.qlproj"};
  main.RunCommand(IDM_FILE_NEW);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].caption, L"Save failed");
  EXPECT_EQ(main.document().projects.size(), 2u);
  EXPECT_EQ(main.currentPath(), path);
  EXPECT_EQ(main.StatusPartText(3), counts);
  EXPECT_EQ(main.StatusPartText(1), day);
  EXPECT_EQ(calendar::ProjectsOnDay(main.calendar(), {2026, 12, 8}).size(), 2u);
}

TEST_F(MainWindowTest, ARebuiltTaskbarThatKeptTheIconLeavesTheWindowAlone) {
  auto& main = Create(L"", true);
  ASSERT_TRUE(main.trayIconAdded());
  ASSERT_FALSE(IsWindowVisible(window));
  // The icon is still registered: a plain add is refused as a duplicate.
  SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(main.trayIconAdded());
  EXPECT_FALSE(IsWindowVisible(window)) << "the hidden window must stay hidden";
  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(messages.empty()) << "closing must not warn about a missing icon";

  // Once the icon is really gone, the next rebuild adds it again.
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = 1;
  Shell_NotifyIconW(NIM_DELETE, &data);
  SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(main.trayIconAdded());
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &data)) << "the icon exists";
}

// Windows may end the session while the exit or unsaved-changes question is open: the
// window and its state go inside the question's loop, and nothing may run on afterwards.
TEST_F(MainWindowTest, TheSessionEndingDuringAQuestionStopsEverything) {
  struct Case {
    int questionThatEnds;  // 0 the exit question, 1 the unsaved-changes question
    int answer;
    bool throughEndSession;  // otherwise Windows asks first (WM_QUERYENDSESSION)
  };
  for (const Case& c : {Case{0, IDYES, false}, Case{0, IDNO, false}, Case{1, IDYES, false}, Case{1, IDCANCEL, false},
                        Case{0, IDYES, true}, Case{0, IDCANCEL, true}}) {
    SCOPED_TRACE(testing::Message() << "question " << c.questionThatEnds << " answer " << c.answer << " query "
                                    << c.throughEndSession);
    messages.clear();
    dialogs.clear();
    settings::WriteSettingDword(L"AutoSave", 0);  // so the unsaved-changes question comes
    auto& main = Create();
    Show();
    AddProject(main);
    ASSERT_TRUE(main.modified());
    int asked = 0;
    reply = [&](const apptest::ShownMessage&) {
      if (asked++ == c.questionThatEnds) {
        SendMessageW(window, WM_ENDSESSION, TRUE, 0);
        return c.answer;
      }
      return IDYES;
    };
    if (c.throughEndSession) {
      // The question of WM_QUERYENDSESSION is the unsaved-changes one.
      SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP);
    } else {
      main.RunCommand(IDM_EXIT);
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(asked, c.questionThatEnds + 1) << "no question after the end";
    EXPECT_TRUE(dialogs.empty()) << "no Save As after the end";
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    window = nullptr;
  }
}

}  // namespace
