// The project lists over a large document: what one keystroke in the search box costs
// (the filter applied and both lists refilled), and one paint of a full list.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/project_list.h"
#include "app/project_list_box.h"
#include "app/project_list_painter.h"
#include "bench/bench.h"
#include "ui/kit/fonts.h"
#include "ui/kit/gdi.h"
#include "ui/kit/gdiplus_include.h"
#include "views/calendar_view.h"

namespace bench {
namespace {

constexpr int kProjects = 2000;
constexpr int kEntries = 100000;
constexpr int kRuns = 9;
constexpr int kKeystrokeRuns = 20;

class GdiplusSession {
 public:
  GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
  }
  ~GdiplusSession() { Gdiplus::GdiplusShutdown(token_); }
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;

 private:
  ULONG_PTR token_ = 0;
};

// A hidden window in the main window's place: it hosts both lists and draws their rows.
class ListParent {
 public:
  ListParent(const ProjectDocument* document, const kit::FontSet* fonts) : document_(document), fonts_(fonts) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TavriloProjectListBenchParent";
    RegisterClassExW(&wc);
    window_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 700, 1000, nullptr, nullptr, wc.hInstance,
                              this);
    active_ = projectlist::CreateProjectList(window_, 1002, fonts);
    completed_ = projectlist::CreateProjectList(window_, 1003, fonts);
    for (HWND list : {active_, completed_}) {
      SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(fonts->body), FALSE);
      SendMessageW(list, LB_SETITEMHEIGHT, 0, projectlist::kRowHeight);
    }
    // A tall panel, as on a large monitor: about twelve rows in view.
    MoveWindow(active_, 0, 0, 290, 920, FALSE);
    MoveWindow(completed_, 300, 0, 290, 920, FALSE);
    // The main window's calendar takes the same filter at every keystroke.
    calendar::RegisterCalendarViewClass(wc.hInstance);
    calendar_ = calendar::CreateCalendarView(window_, document, fonts, Date{2024, 5, 1});
  }
  ~ListParent() {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  ListParent(const ListParent&) = delete;
  ListParent& operator=(const ListParent&) = delete;

  HWND active() const { return active_; }
  HWND completed() const { return completed_; }
  HWND calendar() const { return calendar_; }
  int rowsDrawn() const { return rowsDrawn_; }
  void resetRowsDrawn() { rowsDrawn_ = 0; }

 private:
  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NCCREATE) {
      SetWindowLongPtrW(w, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* self = reinterpret_cast<ListParent*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (m == WM_DRAWITEM && self != nullptr) {
      ++self->rowsDrawn_;
      projectlist::DrawListItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp), *self->document_, *self->fonts_);
      return TRUE;
    }
    if (m == WM_MEASUREITEM && projectlist::MeasureListItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp), 96)) {
      return TRUE;
    }
    return DefWindowProcW(w, m, wp, lp);
  }

  const ProjectDocument* document_;
  const kit::FontSet* fonts_;
  HWND window_ = nullptr;
  HWND active_ = nullptr;
  HWND completed_ = nullptr;
  HWND calendar_ = nullptr;
  int rowsDrawn_ = 0;
};

// What the main window does for one change of the search box: the filter from the
// header, the surviving selection, one pass of the search, the calendar's filter, both
// lists refilled, the status text.
size_t ApplyFilter(const ProjectDocument& doc, ListParent& parent, const std::wstring& text, int32_t& selected) {
  projectlist::Filter filter = projectlist::MakeFilter(text, 0);
  selected = projectlist::KeptSelection(doc, selected, filter);
  std::vector<char> matches = projectlist::MatchAll(doc, filter);
  if (HWND view = parent.calendar()) {
    calendar::SetSelectedProject(view, selected);
    calendar::SetFilter(view, filter.searchText, filter.categoryFilter, matches);
  }
  projectlist::Lists lists = projectlist::BuildLists(doc, matches);
  projectlist::FillList(parent.active(), lists.active, doc, selected,
                        projectlist::EmptyListText(projectlist::kActiveList, filter));
  projectlist::FillList(parent.completed(), lists.completed, doc, selected,
                        projectlist::EmptyListText(projectlist::kCompletedList, filter));
  std::wstring status = projectlist::FilterStatusText(filter, lists.RowCount());
  (void)status;
  return lists.RowCount();
}

// This thread's processor time in ms. Coarse (a scheduler tick), but summed over many
// runs it shows the work itself when other processes share the machine's cores.
double ThreadCpuMs() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

// One keystroke as the user makes it: the lists hold the result of the text before,
// then the text with one more character is applied; only the latter is timed.
Stats MeasureKeystroke(const ProjectDocument& doc, ListParent& parent, const std::wstring& before,
                       const std::wstring& typed, size_t& rows, double& cpuMs) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> times;
  double cpu = 0;
  for (int run = 0; run <= kKeystrokeRuns; ++run) {
    int32_t selected = doc.projects[doc.projects.size() / 2].id;
    ApplyFilter(doc, parent, before, selected);
    LARGE_INTEGER start, end;
    double cpuStart = ThreadCpuMs();
    QueryPerformanceCounter(&start);
    rows = ApplyFilter(doc, parent, typed, selected);
    QueryPerformanceCounter(&end);
    if (run == 0) continue;  // warm-up
    cpu += ThreadCpuMs() - cpuStart;
    times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
  }
  std::sort(times.begin(), times.end());
  cpuMs = cpu / kKeystrokeRuns;
  return Stats{times.front(), times[times.size() / 2]};
}

void MeasureTyping(const ProjectDocument& doc, ListParent& parent, const std::wstring& word) {
  double worst = 0;
  for (size_t n = 1; n <= word.size(); ++n) {
    std::wstring typed = word.substr(0, n);
    size_t rows = 0;
    double cpu = 0;
    Stats stats = MeasureKeystroke(doc, parent, word.substr(0, n - 1), typed, rows, cpu);
    worst = std::max(worst, stats.medianMs);
    std::string shown(typed.begin(), typed.end());
    char extra[64];
    std::snprintf(extra, sizeof extra, "%zu rows, %.1f ms processor", rows, cpu);
    PrintRow("keystroke '" + shown + "'", stats, extra);
  }
  std::string shown(word.begin(), word.end());
  std::printf("  worst median keystroke of '%s': %.2f ms\n", shown.c_str(), worst);
}

void MeasureFullPaint(ListParent& parent, const ProjectDocument& doc) {
  int32_t selected = 0;
  ApplyFilter(doc, parent, L"", selected);
  SendMessageW(parent.active(), LB_SETCURSEL, 1, 0);
  RECT client{};
  GetClientRect(parent.active(), &client);
  kit::WindowDc screen(nullptr);
  kit::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  kit::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
  kit::SelectObjectScope select(memory.get(), bitmap.get());
  parent.resetRowsDrawn();
  Stats paint = Measure(kRuns, [&] {
    SendMessageW(parent.active(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT | PRF_ERASEBKGND);
  });
  int perPaint = parent.rowsDrawn() / (kRuns + 1);
  PrintRow("paint full list", paint,
           std::to_string(perPaint) + " rows, " + std::to_string(client.right) + " x " + std::to_string(client.bottom));
}

}  // namespace

void RunProjectListBench() {
  GdiplusSession gdiplus;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  kit::LoadEmbeddedFonts(GetModuleHandleW(nullptr));
  {
    kit::OwnedFontSet fonts(96);
    ProjectDocument doc = SyntheticDocument(kProjects, kEntries, 20240501);
    ListParent parent(&doc, &fonts.get());
    PrintTitle("project lists, " + std::to_string(kProjects) + " projects, " + std::to_string(kEntries) +
               " entries: Apply filter (one search pass, the calendar's filter, both lists) per keystroke");
    MeasureTyping(doc, parent, L"build");
    MeasureTyping(doc, parent, L"#review");
    int32_t selected = 0;
    Stats reset = Measure(kRuns, [&] { ApplyFilter(doc, parent, L"", selected); });
    PrintRow("reset (all projects)", reset, std::to_string(kProjects) + " rows");
    MeasureFullPaint(parent, doc);
  }
  kit::UnloadEmbeddedFonts();
}

}  // namespace bench
