// The project dialog's decisions and geometry, checked without a window.
#include <gtest/gtest.h>

#include "i18n/language.h"
#include "support/language_scope.h"
#include "ui/kit/work_area.h"
#include "views/project_dialog_layout.h"
#include "views/project_dialog_logic.h"

namespace {

using namespace projectdlg;

TEST(ProjectDialogLogic, CollectTrimsAndKeepsOrSetsTheCompletionDate) {
  Project working;
  working.id = 7;
  working.codexImports = {L"k1"};
  DialogFields fields;
  fields.title = L"  Site \t";
  fields.location = L" C:\\work\\site ";
  fields.category = 5;
  fields.color = 11;
  fields.start = Date{2026, 3, 5};
  fields.completed = true;
  fields.entries = {Entry{Date{2026, 3, 9}, L"b", {}, {}}, Entry{Date{2026, 3, 6}, L"a", {}, {}}};
  const Date today{2026, 3, 18};

  Project p = CollectProject(working, fields, today);
  EXPECT_EQ(p.id, 7);
  EXPECT_EQ(p.title, L"Site");
  EXPECT_EQ(p.location, L"C:\\work\\site");
  EXPECT_EQ(p.category, 0) << "out of range becomes personal";
  EXPECT_EQ(p.color, 11);
  EXPECT_FALSE(dates::IsValid(p.endDate));
  EXPECT_EQ(p.completedDate, today) << "newly completed: today";
  EXPECT_EQ(p.entries[0].text, L"a") << "entries sorted";
  EXPECT_EQ(p.codexImports, working.codexImports) << "what the dialog does not show is kept";

  working.completed = true;
  working.completedDate = Date{2025, 12, 1};
  EXPECT_EQ(CollectProject(working, fields, today).completedDate, (Date{2025, 12, 1})) << "an existing date stays";
  fields.completed = false;
  EXPECT_FALSE(dates::IsValid(CollectProject(working, fields, today).completedDate)) << "unticking clears it";
}

TEST(ProjectDialogLogic, RefusalsComeInOrder) {
  auto exists = [](const std::wstring& folder) { return folder == L"C:\\there"; };
  Project p;
  p.startDate = Date{2026, 3, 5};
  p.endDate = Date{2026, 3, 4};
  p.location = L"C:\\missing";
  EXPECT_EQ(FirstRefusal(p, exists), Refusal::kTitleEmpty);
  p.title = L"t";
  EXPECT_EQ(FirstRefusal(p, exists), Refusal::kEndBeforeStart);
  p.endDate = p.startDate;
  EXPECT_EQ(FirstRefusal(p, exists), Refusal::kFolderMissing) << "equal dates pass";
  p.location = L"C:\\there";
  EXPECT_EQ(FirstRefusal(p, exists), Refusal::kNone);
  p.location.clear();
  p.startDate = Date{};
  p.endDate = Date{2020, 1, 1};
  EXPECT_EQ(FirstRefusal(p, exists), Refusal::kNone) << "no start: any end; no folder: nothing to check";
}

TEST(ProjectDialogLogic, ExportNamesAndIds) {
  testpaths::LanguageScope korean(i18n::kKorean);
  EXPECT_EQ(ExportFileName(L"Q1/Q2: what?"), L"Q1_Q2_ what_");
  EXPECT_EQ(ExportFileName(L"a\\b*c\"d<e>f|g\th"), L"a_b_c_d_e_f_g_h");
  EXPECT_EQ(ExportFileName(L"  name  "), L"name");
  EXPECT_EQ(ExportFileName(L"   "), L"프로젝트");
  Project p;
  p.id = 0;
  Project exported = ExportedProject(p);
  EXPECT_EQ(exported.id, 1);
  EXPECT_EQ(exported.title, L"제목 없음");
  p.id = 41;
  p.title = L"x";
  EXPECT_EQ(ExportedProject(p).id, 41);
}

TEST(ProjectDialogLogic, VsCodeProjectCarriesTheSessionOnlyForTheStoredFolder) {
  Project stored;
  stored.location = L"C:\\Work\\Site\\";
  stored.codexImports = {L"a", L"b"};
  Project sameFolder = VsCodeProject(stored, L" C:/Work/Site ");
  EXPECT_EQ(sameFolder.location, L"C:/Work/Site");
  EXPECT_EQ(sameFolder.codexImports, stored.codexImports) << "no session: the imports go along";
  stored.lastAiSession.source = kAiSourceCodex;
  stored.lastAiSession.session = L"s1";
  sameFolder = VsCodeProject(stored, L"C:\\Work\\Site");
  EXPECT_EQ(sameFolder.lastAiSession, stored.lastAiSession);
  EXPECT_TRUE(sameFolder.codexImports.empty());
  Project other = VsCodeProject(stored, L"C:\\Work\\Other");
  EXPECT_EQ(other.lastAiSession.source, kAiSourceNone);
  EXPECT_EQ(NormalizedFolder(L"C:\\"), L"C:\\");
}

TEST(ProjectDialogLogic, SubtitleForNewAndEditedProjects) {
  testpaths::LanguageScope korean(i18n::kKorean);
  Project fresh;
  EXPECT_EQ(SubtitleText(fresh, true, Date{2026, 3, 5}), L"2026년 3월 5일 (목)부터 시작하는 새 프로젝트를 등록합니다.");
  EXPECT_EQ(SubtitleText(fresh, true, Date{}), L"새 프로젝트를 등록합니다.");
  Project edited;
  edited.created = L"2026-01-02T08:00:00";
  edited.modified = L"2026-03-04T14:35:10";
  EXPECT_EQ(SubtitleText(edited, false, Date{}), L"등록 2026-01-02   ·   최근 수정 2026-03-04 14:35");
  edited.created.clear();
  EXPECT_EQ(SubtitleText(edited, false, Date{}), L"최근 수정 2026-03-04 14:35");
  edited.modified = L"2026-03-04";
  EXPECT_EQ(SubtitleText(edited, false, Date{}), L"최근 수정 2026-03-04") << "no time in a short stamp";
  EXPECT_EQ(SubtitleText(Project{}, false, Date{}), L"프로젝트 정보와 날짜별 내용을 관리합니다.");
}

TEST(ProjectDialogLogic, KeyFilterTable) {
  struct Case {
    WPARAM key;
    bool control;
    FocusKind focus;
    KeyAction action;
  };
  const Case cases[] = {
      {'S', true, FocusKind::kEntryPanel, KeyAction::kSave},
      {'S', false, FocusKind::kOther, KeyAction::kNotHandled},
      {VK_ESCAPE, false, FocusKind::kLinkInput, KeyAction::kCancelLinkInput},
      {VK_ESCAPE, false, FocusKind::kEntryPanel, KeyAction::kClose},
      {VK_RETURN, false, FocusKind::kButton, KeyAction::kClickButton},
      {VK_RETURN, false, FocusKind::kAddDatePicker, KeyAction::kAddDate},
      {VK_RETURN, false, FocusKind::kEntryPanel, KeyAction::kNotHandled},
      {VK_RETURN, false, FocusKind::kLinkInput, KeyAction::kNotHandled},
      {VK_RETURN, false, FocusKind::kTitle, KeyAction::kToLocation},
      {VK_RETURN, false, FocusKind::kOther, KeyAction::kSwallow},
      {VK_TAB, false, FocusKind::kOther, KeyAction::kNotHandled},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassifyKey(c.key, c.control, c.focus), c.action) << c.key << " focus " << static_cast<int>(c.focus);
  }
}

TEST(ProjectDialogLayout, RowsFollowEachOtherFromTheHeaderToTheFooter) {
  DialogTextWidths text;
  text.browse = text.openFolder = 50;
  text.vsCode = 70;
  text.categoryName = 60;
  text.entriesLabel = 30;
  text.addDate = 60;
  text.expandAll = text.collapseAll = 50;
  text.lineHeight = 18;
  DialogLayout l = LayoutDialog(760, 800, 96, false, true, text);
  EXPECT_EQ(l.labels[kLabelTitle].top, 94);
  EXPECT_EQ(l.titleBox.top, 114);
  EXPECT_EQ(l.titleBox.right, 736);
  EXPECT_EQ(l.vsCode.right, 736);
  EXPECT_EQ(l.vsCode.left, 736 - 110);
  EXPECT_EQ(l.openFolder.right, l.vsCode.left - 8);
  EXPECT_EQ(l.browse.right, l.openFolder.left - 8);
  EXPECT_EQ(l.locationBox.right, l.browse.left - 8);
  EXPECT_EQ(l.labels[kLabelLocation].top, 152 + 16);
  EXPECT_EQ(l.categories[0].top, 262);
  EXPECT_EQ(l.categories[1].left, 24 + 100 + 6) << "40 + the widest name";
  EXPECT_EQ(l.swatches[0].top, 334 + 4) << "28-px swatches centred in the 36-px row";
  EXPECT_EQ(l.swatches[11].left, 24 + 11 * 32);
  EXPECT_EQ(l.startPicker.top, 408);
  EXPECT_EQ(l.endPicker.left, 24 + 176);
  EXPECT_EQ(l.completed.left, 24 + 356);
  EXPECT_EQ(l.completed.right, 24 + 356 + 170) << "a short label keeps 170 px";
  text.completed = 200;
  EXPECT_EQ(LayoutDialog(760, 800, 96, false, true, text).completed.right, 24 + 356 + 240) << "a long one grows";
  text.completed = 900;
  EXPECT_EQ(LayoutDialog(760, 800, 96, false, true, text).completed.right, 736) << "up to the margin";
  text.completed = 0;
  EXPECT_EQ(l.entriesLabel.top, 468);
  EXPECT_EQ(l.entriesLabel.right, 24 + 48);
  EXPECT_EQ(l.addPicker.left, 24 + 48 + 8);
  EXPECT_EQ(l.collapseAll.right, 736);
  EXPECT_EQ(l.expandAll.right, l.collapseAll.left - 4);
  EXPECT_EQ(l.entriesFrame.top, 516);
  EXPECT_EQ(l.entriesFrame.bottom, 800 - 70 - 16);
  EXPECT_EQ(l.panel.left, 25);
  EXPECT_EQ(l.footer.top, 730);
  EXPECT_EQ(l.saveButton.right, 736);
  EXPECT_EQ(l.cancelButton.right, l.saveButton.left - 8);
  EXPECT_EQ(l.deleteButton.left, 24);
  EXPECT_EQ(l.exportButton.left, 24 + 84 + 8);
  EXPECT_EQ(l.saveButton.top, 730 + 16);

  DialogLayout fresh = LayoutDialog(760, 620, 96, true, false, text);
  EXPECT_TRUE(IsRectEmpty(&fresh.deleteButton));
  EXPECT_TRUE(IsRectEmpty(&fresh.vsCode));
  EXPECT_EQ(fresh.openFolder.right, 736);
  EXPECT_EQ(fresh.exportButton.left, 24);
  EXPECT_EQ(fresh.entriesFrame.bottom, 620 - 70 - 16) << "a short window shrinks the entries";
  // However short the window (a 150 % scale on a small screen), the entries never run
  // under the footer's buttons.
  for (int dpi : {96, 144}) {
    for (int height : {610, 620, 640, 700, 760}) {
      DialogLayout s = LayoutDialog(MulDiv(760, dpi, 96), MulDiv(height, dpi, 96), dpi, false, true, text);
      EXPECT_LE(s.entriesFrame.bottom, s.footer.top) << dpi << " dpi, " << height;
      EXPECT_LE(s.panel.bottom, s.saveButton.top) << dpi << " dpi, " << height;
      EXPECT_GE(s.panel.bottom, s.panel.top) << dpi << " dpi, " << height;
    }
  }

  DialogLayout big = LayoutDialog(1140, 1200, 144, false, false, text);
  EXPECT_EQ(big.titleBox.top, 171);
  EXPECT_EQ(big.saveButton.right, 1140 - 36);
}

TEST(ProjectDialogLayout, SwatchesShrinkAndButtonsGrowWithTheirText) {
  EXPECT_EQ(SwatchSize(380, 96), 28);
  EXPECT_EQ(SwatchSize(379, 96), (379 - 44) / 12);
  EXPECT_EQ(SwatchSize(100, 96), 18);
  EXPECT_EQ(ButtonWidth(50, 96, 96), 96);
  EXPECT_EQ(ButtonWidth(120, 96, 96), 142);
  EXPECT_EQ(ButtonWidth(50, 96, 144), 144);
}

TEST(ProjectDialogLayout, OpeningRectangleFitsTheWorkArea) {
  RECT work{0, 0, 1920, 1040};
  RECT owner{100, 100, 1300, 900};
  RECT r = InitialWindowRect(780, 840, 96, owner, work);
  EXPECT_EQ(r.right - r.left, 780);
  EXPECT_EQ(r.left, 100 + (1200 - 780) / 2);
  EXPECT_EQ(r.top, 100 + (800 - 840) / 2) << "centred on the owner";
  RECT hi = InitialWindowRect(780, 840, 144, owner, work);
  EXPECT_EQ(hi.right - hi.left, 1170);
  EXPECT_EQ(hi.bottom - hi.top, 1000) << "the work area less 40 px";
  RECT corner = InitialWindowRect(780, 840, 96, RECT{1800, 900, 1900, 1000}, work);
  EXPECT_EQ(corner.right, 1920);
  EXPECT_EQ(corner.bottom, 1040);

  // A size stored on a small screen at 150 % lies under the minimum: raised to it...
  RECT small = InitialWindowRect(933, 573, 96, owner, work);
  EXPECT_EQ(small.right - small.left, 933);
  EXPECT_EQ(small.bottom - small.top, 700);
  // ...but never beyond the work area less 40 px.
  RECT laptop = InitialWindowRect(933, 573, 144, RECT{0, 0, 1440, 860}, RECT{0, 0, 1440, 860});
  EXPECT_EQ(laptop.right - laptop.left, 1400);
  EXPECT_EQ(laptop.bottom - laptop.top, 820);
}

TEST(ProjectDialogLayout, MinimumSizeStaysWithinTheScreen) {
  const struct {
    int dpi;
    RECT work;
    LONG width, height;
  } cases[] = {
      {96, {0, 0, 1920, 1040}, 720, 700},     // room enough: the minimum as it is
      {144, {0, 0, 1920, 1032}, 1080, 1032},  // 1080p at 150 %: no taller than the screen
      {144, {0, 0, 1440, 860}, 1080, 860},
      {192, {100, 50, 1100, 850}, 1000, 800}, // a secondary monitor's work area
      {144, {0, 0, 0, 0}, 1080, 1050},        // no monitor information: scaled only
  };
  for (const auto& c : cases) {
    POINT size = kit::MinTrackSizeWithin(kMinTrackWidth, kMinTrackHeight, c.dpi, c.work);
    EXPECT_EQ(size.x, c.width) << c.dpi << " dpi";
    EXPECT_EQ(size.y, c.height) << c.dpi << " dpi";
  }
}

}  // namespace
