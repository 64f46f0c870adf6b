// The project dialog run for real through projectdlg::Show: each test acts from the
// dialog's onShown hook with the messages a user's clicks and keys produce, and the
// pickers and message boxes answer from scripts.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/settings.h"
#include "dialog_fixture.h"
#include "i18n/language.h"
#include "model/project_file.h"
#include "support/language_scope.h"
#include "support/registry_sandbox.h"
#include "support/temp_dir.h"
#include "views/project_dialog.h"
#include "views/project_dialog_logic.h"
#include "views/project_dialog_state.h"

namespace {

using dlgtest::MakeEntry;
using namespace projectdlg;

const Date kToday{2026, 3, 18};

// A visible owner standing in for the main window.
class Owner {
 public:
  Owner() {
    testui::EnsureUi();
    testui::RegisterTestClass(L"TavriloDialogTestOwner", DefWindowProcW);
    window_ = CreateWindowExW(0, L"TavriloDialogTestOwner", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1200,
                              1000, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~Owner() { DestroyWindow(window_); }
  HWND get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

struct DialogRun {
  testpaths::RegistrySandbox registry;
  Owner owner;
  dlgtest::ScriptedBoxes boxes;
  Services services;
  std::vector<std::pair<std::wstring, std::wstring>> revealed;

  DialogRun() {
    services.today = kToday;
    services.messageBox = [this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) {
      return boxes(owner, text, caption, flags);
    };
    services.reveal = [this](HWND, const std::wstring& folder, const std::wstring& file) {
      revealed.emplace_back(folder, file);
      return true;
    };
  }

  // closeAfter false leaves the dialog to its loop (the body posts what ends it).
  int Show(Project& project, bool isNew, Date defaultDate, std::function<void(HWND, DialogState&)> body,
           bool closeAfter = true) {
    services.onShown = [&](HWND dialog) {
      DialogState* state = StateOf(dialog);
      ASSERT_NE(state, nullptr);
      body(dialog, *state);
      // Whatever the body left open is closed without saving.
      if (closeAfter && !state->done) {
        state->dirty = false;
        SendMessageW(dialog, WM_CLOSE, 0, 0);
      }
    };
    return projectdlg::Show(owner.get(), project, isNew, defaultDate, services);
  }
};

Date PickerDate(HWND picker, DWORD* kind = nullptr) {
  SYSTEMTIME t{};
  DWORD result = static_cast<DWORD>(SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&t)));
  if (kind != nullptr) *kind = result;
  return result == GDT_VALID ? Date{t.wYear, t.wMonth, t.wDay} : Date{};
}

void SetPicker(HWND picker, Date date) {
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(date.year);
  t.wMonth = static_cast<WORD>(date.month);
  t.wDay = static_cast<WORD>(date.day);
  SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
  // What the control tells its parent when the user picks a date.
  NMDATETIMECHANGE change{};
  change.nmhdr.hwndFrom = picker;
  change.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(picker));
  change.nmhdr.code = DTN_DATETIMECHANGE;
  change.st = t;
  SendMessageW(GetParent(picker), WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
}

void ClickButton(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool FocusWithin(HWND window) {
  HWND focus = GetFocus();
  return focus != nullptr && (focus == window || IsChild(window, focus));
}

TEST(ProjectDialogWindow, NewProjectStartsOnTheGivenDateWithoutEndAndDisablesTheOwner) {
  testpaths::LanguageScope korean(i18n::kKorean);
  DialogRun run;
  Project project;
  int result = run.Show(project, true, Date{2026, 3, 5}, [&](HWND dialog, DialogState& state) {
    EXPECT_FALSE(IsWindowEnabled(run.owner.get())) << "modal over the owner";
    EXPECT_EQ(dlgtest::TextOf(dialog), L"새 프로젝트 등록 - Tavrilo");
    EXPECT_EQ(PickerDate(GetDlgItem(dialog, kStartPickerId)), (Date{2026, 3, 5}));
    DWORD kind = 0;
    PickerDate(GetDlgItem(dialog, kEndPickerId), &kind);
    EXPECT_EQ(kind, static_cast<DWORD>(GDT_NONE)) << "no end date";
    EXPECT_EQ(PickerDate(GetDlgItem(dialog, kAddPickerId)), (Date{2026, 3, 5}));
    EXPECT_EQ(SubtitleText(state.project, state.isNew, state.defaultDate),
              L"2026년 3월 5일 (목)부터 시작하는 새 프로젝트를 등록합니다.");
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kTitleId));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, kDeleteId)));
    EXPECT_EQ(GetDlgItem(dialog, kVsCodeId), nullptr) << "no callback, no button";
    EXPECT_FALSE(state.dirty);
    ClickButton(dialog, kCancelId);
    EXPECT_TRUE(run.boxes.asked.empty()) << "nothing changed, nothing asked";
    EXPECT_TRUE(state.done);
  });
  EXPECT_EQ(result, kClosed);
  EXPECT_TRUE(IsWindowEnabled(run.owner.get()));
  EXPECT_TRUE(project.title.empty());
}

TEST(ProjectDialogWindow, EndBeforeStartIsRefusedAndEqualDatesAreSaved) {
  testpaths::LanguageScope korean(i18n::kKorean);
  DialogRun run;
  Project project;
  int result = run.Show(project, true, Date{2026, 3, 5}, [&](HWND dialog, DialogState& state) {
    ClickButton(dialog, kSaveId);
    ASSERT_EQ(run.boxes.asked.size(), 1u);
    EXPECT_EQ(run.boxes.asked[0].caption, L"제목 필요");
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kTitleId));

    SetWindowTextW(GetDlgItem(dialog, kTitleId), L"  Launch  ");
    SetPicker(GetDlgItem(dialog, kEndPickerId), Date{2026, 3, 4});
    ClickButton(dialog, kSaveId);
    ASSERT_EQ(run.boxes.asked.size(), 2u);
    EXPECT_EQ(run.boxes.asked[1].caption, L"날짜 확인");
    EXPECT_TRUE(FocusWithin(GetDlgItem(dialog, kEndPickerId))) << "the end picker is focused";
    EXPECT_FALSE(state.done);

    SetPicker(GetDlgItem(dialog, kEndPickerId), Date{2026, 3, 5});
    ClickButton(dialog, kSaveId);
    EXPECT_TRUE(state.done);
  });
  EXPECT_EQ(result, kSaved);
  EXPECT_EQ(project.title, L"Launch");
  EXPECT_EQ(project.startDate, (Date{2026, 3, 5}));
  EXPECT_EQ(project.endDate, (Date{2026, 3, 5}));
}

TEST(ProjectDialogWindow, MissingFolderSavesAfterYesAndReturnsToTheFieldAfterNo) {
  testpaths::LanguageScope korean(i18n::kKorean);
  testpaths::TempDir dir;
  DialogRun run;
  Project project;
  project.title = L"Site";
  project.id = 4;
  std::wstring missing = dir / L"not-yet";
  int result = run.Show(project, false, Date{}, [&](HWND dialog, DialogState& state) {
    SetWindowTextW(GetDlgItem(dialog, kLocationId), missing.c_str());
    EXPECT_TRUE(state.dirty);
    ClickButton(dialog, kSaveId);  // answered No
    ASSERT_EQ(run.boxes.asked.size(), 1u);
    EXPECT_EQ(run.boxes.asked[0].caption, L"폴더 확인");
    EXPECT_NE(run.boxes.asked[0].text.find(missing), std::wstring::npos);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kLocationId));
    EXPECT_FALSE(state.done);
    run.boxes.answers.push_back(IDYES);
    ClickButton(dialog, kSaveId);
    EXPECT_TRUE(state.done);
  });
  EXPECT_EQ(result, kSaved);
  EXPECT_EQ(project.location, missing);
  EXPECT_EQ(project.id, 4);
}

TEST(ProjectDialogWindow, TickingAndUntickingCompletedAsksOnClose) {
  testpaths::LanguageScope korean(i18n::kKorean);
  DialogRun run;
  Project project;
  project.title = L"Site";
  int result = run.Show(project, false, Date{}, [&](HWND dialog, DialogState& state) {
    ClickButton(dialog, kCompletedId);
    ClickButton(dialog, kCompletedId);
    EXPECT_FALSE(state.completed);
    ClickButton(dialog, kCancelId);  // answered No
    ASSERT_EQ(run.boxes.asked.size(), 1u);
    EXPECT_EQ(run.boxes.asked[0].text, L"변경한 내용을 저장하시겠습니까?");
    EXPECT_EQ(run.boxes.asked[0].flags & 0xF, static_cast<UINT>(MB_YESNOCANCEL));
  });
  EXPECT_EQ(result, kClosed);
}

TEST(ProjectDialogWindow, CompletingStoresTodayAndReopeningClearsIt) {
  DialogRun run;
  Project project;
  project.title = L"Site";
  ASSERT_EQ(run.Show(project, false, Date{},
                     [&](HWND dialog, DialogState&) {
                       ClickButton(dialog, kCompletedId);
                       ClickButton(dialog, kSaveId);
                     }),
            kSaved);
  EXPECT_TRUE(project.completed);
  EXPECT_EQ(project.completedDate, kToday);

  ASSERT_EQ(run.Show(project, false, Date{},
                     [&](HWND dialog, DialogState& state) {
                       EXPECT_TRUE(state.completed);
                       ClickButton(dialog, kCompletedId);
                       ClickButton(dialog, kSaveId);
                     }),
            kSaved);
  EXPECT_FALSE(project.completed);
  EXPECT_FALSE(dates::IsValid(project.completedDate));
}

TEST(ProjectDialogWindow, StoredSizeChangesOnlyWhenClosedInNormalState) {
  DialogRun run;
  settings::WriteSettingDword(L"DialogWidth", 800);
  settings::WriteSettingDword(L"DialogHeight", 760);
  Project project;
  run.Show(project, true, kToday, [&](HWND dialog, DialogState&) {
    RECT r{};
    GetWindowRect(dialog, &r);
    EXPECT_EQ(r.right - r.left, 800);
    ShowWindow(dialog, SW_MAXIMIZE);
  });
  EXPECT_EQ(settings::ReadDialogWidth(), 800) << "a maximised dialog keeps the stored size";
  EXPECT_EQ(settings::ReadDialogHeight(), 760);

  run.Show(project, true, kToday, [&](HWND dialog, DialogState&) {
    SetWindowPos(dialog, nullptr, 0, 0, 900, 780, SWP_NOMOVE | SWP_NOZORDER);
  });
  EXPECT_EQ(settings::ReadDialogWidth(), 900);
  EXPECT_EQ(settings::ReadDialogHeight(), 780);

  run.Show(project, true, kToday, [&](HWND dialog, DialogState&) {
    SetWindowPos(dialog, nullptr, 0, 0, 300, 300, SWP_NOMOVE | SWP_NOZORDER);
    RECT r{};
    GetWindowRect(dialog, &r);
    EXPECT_GE(r.right - r.left, 720) << "the minimum track size";
    EXPECT_GE(r.bottom - r.top, 700);
  });
}

TEST(ProjectDialogWindow, ControlsMovedByAResizePaintAnew) {
  // The bottom row follows the window's lower edge. A moved control whose old pixels
  // were carried along showed, after maximising, what the window had drawn there before.
  DialogRun run;
  Project project;
  project.id = 4;
  project.title = L"Moved";
  project.startDate = kToday;
  run.Show(project, false, kToday, [&](HWND dialog, DialogState&) {
    RECT r{};
    GetWindowRect(dialog, &r);
    UpdateWindow(dialog);
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SetWindowPos(dialog, nullptr, 0, 0, r.right - r.left + 60, r.bottom - r.top + 80, SWP_NOMOVE | SWP_NOZORDER);
    for (int id : {kSaveId, kCancelId, kDeleteId, kExportId}) {
      HWND button = GetDlgItem(dialog, id);
      RECT client{}, update{};
      GetClientRect(button, &client);
      GetUpdateRect(button, &update, FALSE);
      EXPECT_TRUE(IsWindowVisible(button));
      EXPECT_TRUE(EqualRect(&client, &update)) << "control " << id << " waits to paint only part of itself";
    }
  });
}

TEST(ProjectDialogWindow, BrowseFillsTheLocationAndAnEmptyTitle) {
  testpaths::TempDir dir;
  std::wstring alpha = dir / L"Alpha";
  CreateDirectoryW(alpha.c_str(), nullptr);
  DialogRun run;
  std::vector<std::wstring> starts;
  run.services.pickFolder = [&](HWND, const std::wstring& start, std::wstring& chosen) {
    starts.push_back(start);
    chosen = alpha + L"\\";
    return true;
  };
  Project project;
  run.Show(project, true, kToday, [&](HWND dialog, DialogState&) {
    ClickButton(dialog, kBrowseId);
    EXPECT_EQ(dlgtest::TextOf(GetDlgItem(dialog, kTitleId)), L"Alpha");
    EXPECT_EQ(dlgtest::TextOf(GetDlgItem(dialog, kLocationId)), alpha + L"\\");
    SetWindowTextW(GetDlgItem(dialog, kTitleId), L"Mine");
    ClickButton(dialog, kBrowseId);
    EXPECT_EQ(dlgtest::TextOf(GetDlgItem(dialog, kTitleId)), L"Mine") << "a typed title stays";
  });
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[0], L"") << "an empty field gives no start folder";
  EXPECT_EQ(starts[1], alpha + L"\\");
}

TEST(ProjectDialogWindow, AddingAnExistingDateOnlyFocusesItsCard) {
  DialogRun run;
  Project project;
  project.title = L"Site";
  project.entries = {MakeEntry(Date{2026, 3, 10}, L"kept")};
  run.Show(project, false, Date{}, [&](HWND dialog, DialogState& state) {
    SetPicker(GetDlgItem(dialog, kAddPickerId), Date{2026, 3, 10});
    ClickButton(dialog, kAddDateId);
    EXPECT_FALSE(state.dirty);
    EXPECT_EQ(entrypanel::CardCount(state.panel), 1);
    const auto* panel = entrypanel::StateOf(state.panel);
    EXPECT_EQ(GetFocus(), panel->cards[0]->textEdit);

    SetPicker(GetDlgItem(dialog, kAddPickerId), Date{2026, 3, 12});
    SetFocus(GetDlgItem(dialog, kAddPickerId));
    MSG enter{GetFocus(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(PreTranslate(dialog, enter)) << "Enter in the add-date picker adds the date";
    EXPECT_EQ(entrypanel::CardCount(state.panel), 2);
    EXPECT_TRUE(state.dirty);
  });
}

TEST(ProjectDialogWindow, ExportWritesOneProjectWithTheNextIdAndASafeName) {
  testpaths::LanguageScope korean(i18n::kKorean);
  testpaths::TempDir dir;
  DialogRun run;
  std::wstring proposed;
  std::wstring path = dir / L"out.qlproj";
  run.services.pickExportPath = [&](HWND, const std::wstring& name, std::wstring& chosen) {
    proposed = name;
    chosen = path;
    return true;
  };
  Project project;
  project.id = 7;
  project.title = L"Q1/Q2: plan?";
  project.entries = {MakeEntry(Date{2026, 3, 10}, L"text")};
  run.Show(project, false, Date{}, [&](HWND dialog, DialogState& state) {
    ClickButton(dialog, kExportId);
    EXPECT_FALSE(state.done) << "export keeps the dialog open";
    EXPECT_FALSE(state.dirty);
  });
  EXPECT_EQ(proposed, L"Q1_Q2_ plan_");
  ASSERT_EQ(run.boxes.asked.size(), 1u);
  EXPECT_EQ(run.boxes.asked[0].caption, L"내보내기 완료");
  ProjectDocument doc;
  std::wstring error;
  ASSERT_TRUE(projectfile::LoadProjectFile(path, doc, error)) << error;
  ASSERT_EQ(doc.projects.size(), 1u);
  EXPECT_EQ(doc.projects[0].id, 7);
  EXPECT_EQ(doc.nextId, 8);
  EXPECT_EQ(doc.projects[0].entries.size(), 1u);

  // A target that cannot be written (a folder holds its name) reports the path.
  path = dir / L"taken.qlproj";
  CreateDirectoryW(path.c_str(), nullptr);
  run.Show(project, false, Date{}, [&](HWND dialog, DialogState&) { ClickButton(dialog, kExportId); });
  ASSERT_EQ(run.boxes.asked.size(), 2u);
  EXPECT_EQ(run.boxes.asked[1].caption, L"내보내기 실패");
  EXPECT_NE(run.boxes.asked[1].text.find(path), std::wstring::npos);
}

TEST(ProjectDialogWindow, ExportRefusesTheOpenFileAndKeepsTheLargestIdInRange) {
  testpaths::LanguageScope english(i18n::kEnglish);
  testpaths::TempDir dir;
  const std::wstring open = dir / L"open.qlproj";
  const std::string document = "{\"projects\": [{\"id\": 1}, {\"id\": 2}]}";
  {
    std::ofstream out(std::filesystem::path(open), std::ios::binary);
    out << document;
  }
  std::wstring slashes = open;
  for (auto& c : slashes) c = c == L'\\' ? L'/' : c;
  DialogRun run;
  run.services.openFilePath = open;
  std::wstring target;
  run.services.pickExportPath = [&](HWND, const std::wstring&, std::wstring& chosen) {
    chosen = target;
    return true;
  };
  Project project;
  project.id = INT32_MAX;
  project.title = L"last";
  for (const std::wstring& form : {slashes, dir / L"sub\\..\\OPEN.qlproj"}) {
    target = form;
    run.boxes.asked.clear();
    run.Show(project, false, Date{}, [&](HWND dialog, DialogState&) { ClickButton(dialog, kExportId); });
    ASSERT_EQ(run.boxes.asked.size(), 1u);
    EXPECT_EQ(run.boxes.asked[0].caption, L"Export project");
    std::ifstream in(std::filesystem::path(open), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), document);
  }

  target = dir / L"other.qlproj";
  run.Show(project, false, Date{}, [&](HWND dialog, DialogState&) { ClickButton(dialog, kExportId); });
  ProjectDocument exported;
  std::wstring error;
  ASSERT_TRUE(projectfile::LoadProjectFile(target, exported, error)) << error;
  EXPECT_EQ(exported.nextId, INT32_MAX);
}

TEST(ProjectDialogWindow, DeleteAndEscapeAndTheVsCodeButton) {
  DialogRun run;
  std::vector<Project> launched;
  run.services.openInVsCode = [&](HWND, HWND button, const Project& p) {
    EXPECT_NE(button, nullptr);
    launched.push_back(p);
  };
  Project project;
  project.title = L"Site";
  project.location = L"C:\\Work\\Site";
  project.lastAiSession.source = kAiSourceChat;
  project.lastAiSession.session = L"abc";
  Project before = project;
  run.boxes.answers = {IDNO, IDYES};
  int result = run.Show(project, false, Date{}, [&](HWND dialog, DialogState& state) {
    ClickButton(dialog, kVsCodeId);
    ClickButton(dialog, kDeleteId);  // No
    EXPECT_FALSE(state.done);
    ClickButton(dialog, kDeleteId);  // Yes
    EXPECT_TRUE(state.done);
  });
  EXPECT_EQ(result, kDeleteRequested);
  EXPECT_EQ(project, before) << "the caller removes it";
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_EQ(launched[0].lastAiSession.session, L"abc");

  result = run.Show(project, false, Date{}, [&](HWND dialog, DialogState& state) {
    SetFocus(GetDlgItem(dialog, kTitleId));
    MSG enter{GetFocus(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(PreTranslate(dialog, enter));
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kLocationId)) << "Enter in the title moves on";
    MSG escape{GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(PreTranslate(dialog, escape));
    EXPECT_TRUE(state.done);
  });
  EXPECT_EQ(result, kClosed);
}

TEST(ProjectDialogWindow, KeysThroughTheModalLoop) {
  // Posted keys take the real path: the key filter, IsDialogMessage, TranslateMessage.
  testpaths::LanguageScope korean(i18n::kKorean);
  DialogRun run;
  Project project;
  project.title = L"Site";
  project.entries = {MakeEntry(kToday, L"first")};
  std::wstring textWhenAsked;
  bool closePending = false;
  HWND edit = nullptr;
  HWND dialogWindow = nullptr;
  run.services.messageBox = [&](HWND, const std::wstring& text, const std::wstring& caption, UINT flags) {
    textWhenAsked = dlgtest::TextOf(edit);
    MSG pending{};
    closePending = PeekMessageW(&pending, dialogWindow, WM_CLOSE, WM_CLOSE, PM_NOREMOVE) != FALSE;
    return run.boxes(nullptr, text, caption, flags);
  };
  int result = run.Show(project, false, kToday, [&](HWND dialog, DialogState& state) {
    dialogWindow = dialog;
    edit = entrypanel::StateOf(state.panel)->cards[0]->textEdit;
    ASSERT_EQ(GetFocus(), edit);
    SendMessageW(edit, EM_SETSEL, 5, 5);
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageW(edit, WM_KEYUP, VK_RETURN, 0xC01C0001);
    // Escape comes as a later key would: after the character the Enter key produced.
    SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      HWND focus = GetFocus();
      PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
      PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
      // Ends the loop should Escape not (the question then comes without a close pending).
      PostMessageW(GetAncestor(focus, GA_ROOT), WM_CLOSE, 0, 0);
    });
  }, false);
  EXPECT_EQ(textWhenAsked, L"first\r\n") << "Enter is a new line in the text editor";
  ASSERT_EQ(run.boxes.asked.size(), 1u);
  EXPECT_TRUE(closePending) << "Escape closed the dialog and asked about the change";
  EXPECT_EQ(run.boxes.asked[0].text, L"변경한 내용을 저장하시겠습니까?");
  EXPECT_EQ(result, kClosed);
}

TEST(ProjectDialogWindow, DpiChangeRebuildsFontsAndScalesTheLayout) {
  DialogRun run;
  Project project;
  project.title = L"Site";
  project.entries = {MakeEntry(kToday, L"text", {L"tag"})};
  run.Show(project, false, Date{}, [&](HWND dialog, DialogState& state) {
    EXPECT_EQ(state.layout.titleBox.top, 114);
    RECT suggested{0, 0, 1170, 1000};
    SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(state.dpi(), 144);
    EXPECT_EQ(state.layout.titleBox.top, 171);
    RECT r{};
    GetWindowRect(dialog, &r);
    EXPECT_EQ(r.right - r.left, 1170) << "moved to the suggested rectangle";
    const auto* panel = entrypanel::StateOf(state.panel);
    EXPECT_EQ(panel->dpi(), 144) << "the panel shares the rebuilt font set";
    EXPECT_EQ(panel->cards[0]->geometry.header.bottom - panel->cards[0]->geometry.header.top, 60);
    EXPECT_FALSE(state.dirty);
  });
}

TEST(ProjectDialogWindow, EditingFocusesTheEntryOfTheClickedDateAndSavesPanelChanges) {
  DialogRun run;
  Project project;
  project.title = L"Site";
  project.entries = {MakeEntry(Date{2026, 3, 2}, L"a"), MakeEntry(Date{2026, 3, 9}, L"b")};
  int result = run.Show(project, false, Date{2026, 3, 9}, [&](HWND dialog, DialogState& state) {
    const auto* panel = entrypanel::StateOf(state.panel);
    ASSERT_EQ(panel->cards.size(), 2u);
    EXPECT_EQ(GetFocus(), panel->cards[1]->textEdit) << "the clicked date's entry";
    HWND tags = panel->cards[1]->tagEdit;
    SetFocus(tags);
    dlgtest::Type(tags, L"review,");
    EXPECT_TRUE(state.dirty);
    MSG save{GetFocus(), WM_KEYDOWN, 'S', 0, 0, {}};
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    EXPECT_TRUE(PreTranslate(dialog, save)) << "Ctrl+S";
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
  });
  EXPECT_EQ(result, kSaved);
  ASSERT_EQ(project.entries.size(), 2u);
  EXPECT_EQ(project.entries[1].tags, (std::vector<std::wstring>{L"review"}));
}

}  // namespace
