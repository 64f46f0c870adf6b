// Screenshots of the project dialog as it is on screen, for a new project and for one
// with several cards, tags, a preview tile and link rows, in Korean and English; saved
// under build/screenshots to be looked at.
#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "i18n/language.h"
#include "support/language_scope.h"
#include "support/registry_sandbox.h"
#include "support/temp_dir.h"
#include "ui/kit/snapshot.h"
#include "views/project_dialog.h"
#include "views/project_dialog_state.h"

namespace {

using dlgtest::MakeEntry;

const Date kToday{2026, 3, 18};

struct Shot {
  int language;
  const wchar_t* tag;
};

void ShootDialog(Project project, bool isNew, Date defaultDate, const std::wstring& name,
                 const std::function<void(HWND, projectdlg::DialogState&)>& arrange = {}) {
  testpaths::RegistrySandbox registry;
  testui::EnsureUi();
  projectdlg::Services services;
  services.today = kToday;
  services.messageBox = [](HWND, const std::wstring&, const std::wstring&, UINT) { return IDNO; };
  services.openInVsCode = [](HWND, HWND, const Project&) {};
  services.onShown = [&](HWND dialog) {
    projectdlg::DialogState* state = projectdlg::StateOf(dialog);
    ASSERT_NE(state, nullptr);
    if (arrange) arrange(dialog, *state);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASE);
    // The X server shows what Wine drew only after a moment.
    for (int i = 0; i < 6; ++i) {
      testui::PumpMessages();
      Sleep(50);
    }
    EXPECT_TRUE(kit::SaveWindowPng(dialog, testui::ScreenshotPath(name)));

    // Nothing the layout placed may stick out of the client area or overlap the footer.
    RECT client{};
    GetClientRect(dialog, &client);
    const projectdlg::DialogLayout& l = state->layout;
    EXPECT_LE(l.saveButton.right, client.right);
    EXPECT_LE(l.entriesFrame.bottom, l.footer.top);
    EXPECT_GE(l.expandAll.left, l.addDate.right) << "the entries bar's buttons do not overlap";
    state->dirty = false;
    SendMessageW(dialog, WM_CLOSE, 0, 0);
  };
  projectdlg::Show(nullptr, project, isNew, defaultDate, services);
}

TEST(ProjectDialogScreens, NewProject) {
  for (Shot shot : {Shot{i18n::kKorean, L"ko"}, Shot{i18n::kEnglish, L"en"}, Shot{i18n::kFrench, L"fr"},
                    Shot{i18n::kGerman, L"de"}}) {
    testpaths::LanguageScope language(shot.language);
    ShootDialog(Project{}, true, Date{2026, 3, 5}, std::wstring(L"project_dialog_new_") + shot.tag);
  }
}

TEST(ProjectDialogScreens, NewProjectAt144Dpi) {
  // Wine reports 96 DPI for every window; the message a monitor change sends gives 144.
  testpaths::LanguageScope language(i18n::kKorean);
  Project project;
  project.entries = {MakeEntry(kToday, L"150% 배율에서 본 카드", {L"배율"})};
  ShootDialog(project, true, kToday, L"project_dialog_new_ko_144", [](HWND dialog, projectdlg::DialogState& state) {
    RECT suggested{0, 0, 1170, 1040};
    SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(state.dpi(), 144);
  });
}

TEST(ProjectDialogScreens, ProjectWithCardsTagsPreviewAndLinks) {
  dlgtest::ComScope com;
  testpaths::TempDir dir;
  std::wstring png = dir / L"design-mockup.png";
  ASSERT_TRUE(dlgtest::WritePng(png, 640, 360));
  Project project;
  project.id = 3;
  project.title = L"웹사이트 리뉴얼 / Website redesign";
  project.location = dir.path();
  project.category = 2;
  project.color = 5;
  project.startDate = Date{2026, 3, 2};
  project.endDate = Date{2026, 4, 10};
  project.created = L"2026-03-02T09:10:00";
  project.modified = L"2026-03-18T16:42:05";
  project.entries = {
      MakeEntry(Date{2026, 3, 9}, L"킥오프 회의 메모\n요구사항 정리", {L"회의"}),
      MakeEntry(kToday, L"시안 검토 — 헤더와 메뉴 구성을 확정했습니다.\nReviewed the mock-up with the team.\n첨부: " + png,
                {L"디자인", L"UI", L"review", L"very-long-tag-name-for-wrapping"},
                {L"https://example.com/specs/website-redesign", L"C:\\Projects\\Site\\notes\\brief.docx"}),
      MakeEntry(Date{2026, 3, 25}, L"", {L"배포"}),
  };
  for (Shot shot : {Shot{i18n::kKorean, L"ko"}, Shot{i18n::kEnglish, L"en"}, Shot{i18n::kGerman, L"de"}}) {
    testpaths::LanguageScope language(shot.language);
    ShootDialog(project, false, kToday, std::wstring(L"project_dialog_rich_") + shot.tag,
                [](HWND dialog, projectdlg::DialogState& state) {
                  // Room for the cards: the dialog as a person would enlarge it.
                  SetWindowPos(dialog, nullptr, 0, 0, 900, 1040, SWP_NOZORDER);
                  const auto* panel = entrypanel::StateOf(state.panel);
                  ASSERT_EQ(panel->cards.size(), 3u);
                  EXPECT_FALSE(panel->cards[0]->expanded);
                  ASSERT_EQ(panel->cards[1]->rows.size(), 3u);
                  EXPECT_NE(panel->cards[1]->rows[2].preview, nullptr) << "the PNG line has a preview tile";
                  // Rows and chips stay inside their card, and cards do not overlap.
                  for (size_t i = 0; i < panel->cards.size(); ++i) {
                    const auto& g = panel->cards[i]->geometry;
                    for (const auto& row : g.rows.rows) {
                      EXPECT_LE(row.row.right, g.card.right);
                      EXPECT_LE(row.row.bottom, g.card.bottom);
                    }
                    for (const RECT& chip : g.tags.chips) EXPECT_LE(chip.right, g.card.right);
                    if (i > 0) {
                      EXPECT_GE(g.card.top, panel->cards[i - 1]->geometry.card.bottom);
                    }
                  }
                });
    ShootDialog(project, false, kToday, std::wstring(L"project_dialog_collapsed_") + shot.tag,
                [](HWND dialog, projectdlg::DialogState& state) {
                  SendMessageW(GetDlgItem(dialog, projectdlg::kCollapseAllId), BM_CLICK, 0, 0);
                  EXPECT_FALSE(state.dirty);
                });
  }
}

}  // namespace
