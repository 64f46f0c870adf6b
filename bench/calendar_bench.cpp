// The calendar view over a large document: rebuilding the day index, and one full paint
// of each view into a memory bitmap, on the busiest day of the document.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "bench/bench.h"
#include "ui/kit/fonts.h"
#include "ui/kit/gdi.h"
#include "ui/kit/gdiplus_session.h"
#include "ui/kit/scale.h"
#include "views/calendar_state.h"
#include "views/calendar_view.h"

namespace bench {
namespace {

constexpr int kProjects = 2000;
constexpr int kEntries = 100000;
constexpr int kRuns = 9;

// A hidden top-level window standing in for the main window.
kit::UniqueWindow HiddenParent(int width, int height) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TavriloCalendarBenchParent";
  RegisterClassExW(&wc);
  return kit::UniqueWindow(CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, width, height, nullptr,
                                           nullptr, wc.hInstance, nullptr));
}

Date BusiestDay(HWND view) {
  const calendar::CalendarView* state = calendar::CalendarState(view);
  int32_t best = 0;
  size_t most = 0;
  for (const auto& [day, list] : state->dayIndex) {
    if (list.size() > most || (list.size() == most && day < best)) {
      best = day;
      most = list.size();
    }
  }
  return dates::FromDayNumber(best);
}

void MeasurePaints(const ProjectDocument& doc, int dpi, const std::string& suffix) {
  int width = kit::Scale(1280, dpi), height = kit::Scale(800, dpi);
  kit::OwnedFontSet fonts(dpi);
  kit::UniqueWindow parent = HiddenParent(width, height);
  kit::UniqueWindow viewWindow(calendar::CreateCalendarView(parent.get(), &doc, &fonts.get(), Date{2023, 1, 1}));
  HWND view = viewWindow.get();
  if (view == nullptr) {
    std::printf("calendar view could not be created\n");
    return;
  }
  MoveWindow(view, 0, 0, width, height, FALSE);

  if (suffix.empty()) {
    Stats rebuild = Measure(kRuns, [&] { calendar::RebuildDayIndex(view); });
    PrintRow("RebuildDayIndex", rebuild, std::to_string(calendar::CalendarState(view)->dayIndex.size()) + " days");
  }

  Date busiest = BusiestDay(view);
  size_t onDay = calendar::ProjectsOnDay(view, busiest).size();
  calendar::SetFixedToday(view, busiest);
  calendar::SetSelectedProject(view, doc.projects[doc.projects.size() / 2].id);
  calendar::GoToDate(view, busiest);

  kit::WindowDc screen(nullptr);
  kit::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  kit::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
  kit::SelectObjectScope select(memory.get(), bitmap.get());

  const char* names[] = {"day", "week", "month", "year"};
  for (int mode : {calendar::kDayView, calendar::kWeekView, calendar::kMonthView, calendar::kYearView}) {
    calendar::SetViewMode(view, mode);
    Stats paint = Measure(kRuns, [&] { calendar::PaintCalendarTo(view, memory.get()); });
    std::wstring day = dates::ToStorageText(busiest);
    std::string extra = std::to_string(onDay) + " projects on " + std::string(day.begin(), day.end());
    if (mode == calendar::kDayView) {
      extra += ", content " + std::to_string(calendar::CalendarState(view)->contentHeight) + " px";
    }
    PrintRow(std::string("paint ") + names[mode] + " view" + suffix, paint, extra);
  }
}

}  // namespace

void RunCalendarBench() {
  kit::GdiplusSession gdiplus;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  kit::EmbeddedFonts fonts(GetModuleHandleW(nullptr));
  calendar::RegisterCalendarViewClass(GetModuleHandleW(nullptr));

  ProjectDocument doc = SyntheticDocument(kProjects, kEntries, 20240501);
  PrintTitle("calendar view, " + std::to_string(kProjects) + " projects, " + std::to_string(kEntries) +
             " entries, 1280 x 800");
  MeasurePaints(doc, 96, "");
  MeasurePaints(doc, 144, " @144 DPI");
}

}  // namespace bench
