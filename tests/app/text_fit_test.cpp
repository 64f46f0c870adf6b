// Every translated label measured with the real fonts against the box it is drawn in,
// in all six languages at 96 and 144 DPI. A box too small for its text shows a cut
// word or an ellipsis the text was never meant to have.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <set>
#include <string>
#include <vector>

#include "app/main_layout.h"
#include "app/shell_logic.h"
#include "i18n/language.h"
#include "i18n/translate.h"
#include "support/language_scope.h"
#include "support/ui_env.h"
#include "ui/kit/draw.h"
#include "ui/kit/fonts.h"
#include "ui/kit/gdi.h"
#include "ui/kit/scale.h"
#include "model/date.h"
#include "views/calendar_header.h"
#include "views/calendar_layout.h"
#include "views/calendar_text.h"
#include "views/entry_panel_model.h"
#include "views/project_dialog_layout.h"

namespace {

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

struct Misfit {
  std::string where;
  std::wstring text;
  int needed;
  int room;
};

class Fitter {
 public:
  explicit Fitter(int dpi) : fonts_(dpi), dc_(CreateCompatibleDC(nullptr)) {}
  const kit::FontSet& fonts() const { return fonts_.get(); }
  int dpi() const { return fonts_->dpi; }
  int S(int n) const { return kit::Scale(n, dpi()); }
  HDC dc() const { return dc_.get(); }
  int Width(HFONT font, const std::wstring& text) const { return kit::TextWidth(dc_.get(), font, text); }

  // `padding` is what the box keeps for itself (margins, borders) at 96 DPI.
  void Check(const std::string& where, HFONT font, const std::wstring& text, int room, int padding = 0) {
    int needed = Width(font, text) + S(padding);
    if (needed > room) misfits.push_back({where, text, needed, room});
  }
  void Check(const std::string& where, HFONT font, const std::wstring& text, const RECT& box, int padding = 0) {
    Check(where, font, text, static_cast<int>(box.right - box.left), padding);
  }

  std::vector<Misfit> misfits;

 private:
  kit::OwnedFontSet fonts_;
  kit::UniqueMemoryDc dc_;
};

// The status bar of a window of the default size (1320 px at 96 DPI) with the widest
// values each part shows.
void CheckStatusBar(Fitter& fit) {
  const int client = fit.S(1304);
  shell::StatusFacts facts;
  facts.selectedDate = {2026, 9, 30};  // a long weekday and month in every language
  facts.projectsOnSelectedDay = 88;
  facts.activeCount = 888;
  facts.completedCount = 888;
  facts.currentPath = L"C:\\Users\\me\\Documents\\Tavrilo\\Tavrilo.qlproj";
  for (int mode = 0; mode < 4; ++mode) {
    for (int flags = 0; flags < 8; ++flags) {
      facts.viewMode = mode;
      facts.modified = flags & 1;
      facts.autoSave = flags & 2;
      facts.aiSyncEnabled = flags & 4;
      auto texts = shell::StatusTexts(facts);
      // As the main window sets its parts: measured in the status bar's font.
      std::array<int, 5> measured{};
      for (int part = 1; part < 5; ++part) measured[part] = fit.Width(fit.fonts().small, texts[part]);
      auto edges = shell::StatusPartEdges(client, fit.dpi(), measured);
      int widths[5] = {edges[0], edges[1] - edges[0], edges[2] - edges[1], edges[3] - edges[2],
                       client - edges[3] - fit.S(18)};  // the size grip
      for (int part = 1; part < 5; ++part) {
        fit.Check("status bar part " + std::to_string(part), fit.fonts().small, texts[static_cast<size_t>(part)],
                  widths[part], shell::kStatusPartMargins);
      }
      // The message keeps a useful width beside the other parts.
      if (widths[0] < fit.S(300)) fit.misfits.push_back({"status message part", L"", fit.S(300), widths[0]});
    }
  }
}

// The left panel at its default width: the buttons and the two list headers.
void CheckMainPanel(Fitter& fit) {
  using namespace mainwindow;
  const kit::FontSet& f = fit.fonts();
  LayoutInput in;
  in.width = fit.S(1304);
  in.height = fit.S(800);
  in.dpi = fit.dpi();
  in.statusBarHeight = fit.S(24);
  in.searchLabelWidth = fit.Width(f.semibold, i18n::Translate(L"검색"));
  in.resetTextWidth = fit.Width(f.body, i18n::Translate(L"초기화"));
  in.newProjectTextWidth = fit.Width(f.body, i18n::Translate(L"+ 새 프로젝트"));
  Layout l = ComputeLayout(in);
  fit.Check("search label", f.semibold, i18n::Translate(L"검색"), l.searchLabel);
  fit.Check("reset button", f.body, i18n::Translate(L"초기화"), l.resetButton, 12);
  fit.Check("new project button", f.body, i18n::Translate(L"+ 새 프로젝트"), l.newProjectButton, 12);
  fit.Check("search cue banner", f.body, i18n::Translate(L"제목 또는 태그 검색 (#태그)"), l.searchBox, 4);
  for (const wchar_t* category : {I18N_KEY(L"모든 프로젝트"), I18N_KEY(L"개인프로젝트"), I18N_KEY(L"내부프로젝트"),
                                  I18N_KEY(L"외부프로젝트")}) {
    fit.Check("category box", f.body, i18n::Translate(category), l.categoryBox, 28);  // the drop arrow
  }
  const int badge = std::max(fit.S(metrics::kBadgeMinWidth), fit.S(metrics::kBadgePadding) + fit.Width(f.small, L"888"));
  GroupHeaderPlace active = PlaceGroupHeader(l.activeHeader, l.newProjectButton.left - fit.S(metrics::kControlGap),
                                             badge, fit.dpi());
  fit.Check("active list header", f.semibold, i18n::Translate(L"진행중인 프로젝트"), active.titleRoom);
  GroupHeaderPlace completed = PlaceGroupHeader(l.completedHeader, l.completedHeader.right, badge, fit.dpi());
  fit.Check("completed list header", f.semibold, i18n::Translate(L"완료 프로젝트"), completed.titleRoom);
}

// The project dialog at its opening size, with the texts its controls and labels show.
void CheckProjectDialog(Fitter& fit) {
  using namespace projectdlg;
  const kit::FontSet& f = fit.fonts();
  DialogTextWidths text;
  text.browse = fit.Width(f.body, i18n::Translate(L"찾아보기…"));
  text.openFolder = fit.Width(f.body, i18n::Translate(L"폴더 열기"));
  text.vsCode = fit.Width(f.body, i18n::Translate(L"VS Code 열기"));
  const wchar_t* categories[] = {I18N_KEY(L"개인프로젝트"), I18N_KEY(L"내부프로젝트"), I18N_KEY(L"외부프로젝트")};
  for (const wchar_t* name : categories) text.categoryName = std::max(text.categoryName, fit.Width(f.body, i18n::Translate(name)));
  text.entriesLabel = fit.Width(f.bold, i18n::Translate(L"내용"));
  text.addDate = fit.Width(f.semibold, i18n::Translate(L"+ 날짜 추가"));
  text.expandAll = fit.Width(f.body, i18n::Translate(L"모두 펼치기"));
  text.collapseAll = fit.Width(f.body, i18n::Translate(L"모두 접기"));
  text.completed = fit.Width(f.body, i18n::Translate(L"완료된 프로젝트"));
  text.lineHeight = fit.S(18);
  // The dialog opens at 900 x 860 (96 DPI) and may be made as small as its minimum.
  DialogLayout l = LayoutDialog(fit.S(kMinTrackWidth), fit.S(kMinTrackHeight), fit.dpi(), false, true, text);
  const wchar_t* labels[kLabelCount] = {I18N_KEY(L"제목"),   I18N_KEY(L"프로젝트 위치"), I18N_KEY(L"구분"),
                                        I18N_KEY(L"마킹 색상 (프로젝트별)"), I18N_KEY(L"시작일"),
                                        I18N_KEY(L"종료일 (선택)"), I18N_KEY(L"상태")};
  for (int i = 0; i < kLabelCount; ++i) {
    fit.Check("dialog label " + std::to_string(i), f.small, i18n::Translate(labels[i]), l.labels[i]);
  }
  fit.Check("browse", f.body, i18n::Translate(L"찾아보기…"), l.browse, 12);
  fit.Check("open folder", f.body, i18n::Translate(L"폴더 열기"), l.openFolder, 12);
  fit.Check("VS Code", f.body, i18n::Translate(L"VS Code 열기"), l.vsCode, 12);
  for (int i = 0; i < 3; ++i) fit.Check("category", f.body, i18n::Translate(categories[i]), l.categories[i], 12);
  fit.Check("completed", f.body, i18n::Translate(L"완료된 프로젝트"), l.completed, 4 + 20 + 10);
  fit.Check("entries label", f.bold, i18n::Translate(L"내용"), l.entriesLabel);
  fit.Check("add date", f.semibold, i18n::Translate(L"+ 날짜 추가"), l.addDate, 12);
  fit.Check("expand all", f.body, i18n::Translate(L"모두 펼치기"), l.expandAll, 12);
  fit.Check("collapse all", f.body, i18n::Translate(L"모두 접기"), l.collapseAll, 12);
  fit.Check("delete", f.body, i18n::Translate(L"삭제"), l.deleteButton, 12);
  fit.Check("export", f.body, i18n::Translate(L"내보내기…"), l.exportButton, 12);
  fit.Check("cancel", f.body, i18n::Translate(L"취소"), l.cancelButton, 12);
  fit.Check("save", f.body, i18n::Translate(L"저장"), l.saveButton, 12);
  fit.Check("title cue banner", f.body, i18n::Translate(L"프로젝트 제목을 입력하세요"), l.titleEdit, 4);
  fit.Check("location cue banner", f.body, i18n::Translate(L"폴더 경로를 입력하거나 '찾아보기'로 선택하세요"),
            l.locationEdit, 4);
}

// The calendar's header beside the panel of a default-size window: the navigation and
// view buttons, the date lookup and the longest period titles.
void CheckCalendarHeader(Fitter& fit, HDC dc) {
  using namespace calendar;
  const kit::FontSet& f = fit.fonts();
  const int width = fit.S(1304 - 301);
  HeaderTextWidths measured = MeasureHeaderTexts(dc, f);
  HeaderLayout l = LayoutHeader(width, measured, fit.dpi());
  const wchar_t* views[4] = {I18N_KEY(L"일간"), I18N_KEY(L"주간"), I18N_KEY(L"월간"), I18N_KEY(L"년간")};
  for (int i = 0; i < 4; ++i) fit.Check("view tab", f.semibold, i18n::Translate(views[i]), l.buttons[kButtonDay + i], 8);
  fit.Check("today", f.body, i18n::Translate(L"오늘"), l.buttons[kButtonToday], 8);
  fit.Check("go", f.semibold, i18n::Translate(L"조회"), l.buttons[kButtonGo], 8);
  fit.Check("date label", f.small, i18n::Translate(L"날짜 조회"), l.dateLabel);
  for (int mode : {kDayView, kWeekView, kMonthView, kYearView}) {
    for (Date date : {Date{2026, 9, 30}, Date{2026, 12, 30}, Date{2027, 2, 3}}) {
      fit.Check("period title", f.title, PeriodTitle(mode, date), l.title);
    }
  }
}

// The entry panel inside the project dialog at its smallest: a card's label, buttons
// and cue banners, and the empty panel's two lines.
void CheckEntryPanel(Fitter& fit) {
  using namespace entrypanel;
  const kit::FontSet& f = fit.fonts();
  const int width = fit.S(projectdlg::kMinTrackWidth - 2 * 28);
  CardInput input;
  input.tagLabelWidth = fit.Width(f.small, i18n::Translate(L"태그"));
  input.attachButtonWidth = CardButtonWidth(fit.Width(f.small, i18n::Translate(L"파일 첨부…")), 92, fit.dpi());
  input.linkButtonWidth = CardButtonWidth(std::max(fit.Width(f.small, i18n::Translate(L"링크 추가")),
                                                   fit.Width(f.small, i18n::Translate(L"링크 저장"))),
                                          80, fit.dpi());
  input.linkInput = true;
  CardGeometry g = LayoutCard(0, width, input, fit.dpi());
  fit.Check("tag label", f.small, i18n::Translate(L"태그"), g.tagLabel);
  fit.Check("attach button", f.small, i18n::Translate(L"파일 첨부…"), g.attachButton, 12);
  fit.Check("link button", f.small, i18n::Translate(L"링크 추가"), g.linkButton, 12);
  fit.Check("link button", f.small, i18n::Translate(L"링크 저장"), g.linkButton, 12);
  fit.Check("tag cue banner", f.small, i18n::Translate(L"태그 입력 후 Enter (예: 회의, 디자인)"), g.tagEdit, 4);
  fit.Check("link cue banner", f.small, i18n::Translate(L"웹 주소 또는 파일·폴더 경로"), g.linkEdit, 4);
  fit.Check("empty panel", f.body, i18n::Translate(L"아직 기록된 내용이 없습니다."), width);
  fit.Check("empty panel hint", f.small, i18n::Translate(L"날짜를 선택하고 '날짜 추가'를 눌러 내용을 기록하세요."), width);
}

TEST(TextFit, EveryLabelFitsItsBoxInEveryLanguage) {
  testui::EnsureUi();
  std::set<std::string> report;  // one line per text and box, however often it is checked
  for (int dpi : {96, 144}) {
    Fitter fit(dpi);
    for (int language : {i18n::kKorean, i18n::kEnglish, i18n::kJapanese, i18n::kFrench, i18n::kGerman,
                         i18n::kChinese}) {
      testpaths::LanguageScope scope(language);
      fit.misfits.clear();
      CheckStatusBar(fit);
      CheckMainPanel(fit);
      CheckProjectDialog(fit);
      CheckCalendarHeader(fit, fit.dc());
      CheckEntryPanel(fit);
      for (const Misfit& m : fit.misfits) {
        std::string text = Narrow(m.text);
        report.insert(Narrow(i18n::kLanguageCodes[language]) + " " + std::to_string(dpi) + " dpi, " + m.where +
                         ": \"" + text + "\" needs " + std::to_string(m.needed) + " px, has " +
                         std::to_string(m.room));
      }
    }
  }
  std::string all;
  for (const auto& line : report) all += line + "\n";
  EXPECT_TRUE(report.empty()) << report.size() << " cut texts:\n" << all;
}

}  // namespace
