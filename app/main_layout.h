// Where the main window's parts go for a client size: pure arithmetic over measured
// text widths, so that it can be checked at any DPI without a window.
#pragma once

#include <windows.h>

namespace mainwindow {

struct LayoutInput {
  int width = 0;              // client width
  int height = 0;             // client height
  int dpi = 96;
  int statusBarHeight = 0;    // 0 when the status bar is hidden
  int panelWidth = 300;       // stored, 96-DPI pixels
  int listSplit = 620;        // thousandths
  int searchLabelWidth = 0;   // "검색" in SemiBold
  int resetTextWidth = 0;     // "초기화" in Body
  int newProjectTextWidth = 0;  // "+ 새 프로젝트" in Body
};

struct Layout {
  int contentHeight = 0;  // C
  int panel = 0;          // P, the drawn panel width
  RECT searchLabel{};
  RECT searchFrame{};
  RECT searchBox{};
  RECT resetButton{};
  RECT categoryBox{};     // its height is the drop-down height
  RECT activeHeader{};
  RECT newProjectButton{};
  RECT activeFrame{};
  RECT splitterBand{};
  RECT completedHeader{};
  RECT completedFrame{};
  RECT activeList{};
  RECT completedList{};
  RECT calendar{};
  int listAreaHeight = 1;
};

Layout ComputeLayout(const LayoutInput& in);

// 0 none, 1 the panel splitter, 2 the list splitter.
int SplitterAt(const Layout& layout, int dpi, POINT point);
// The stored values a drag position gives, clamped to their ranges.
int PanelWidthFromDrag(int x, int offset, int dpi);
int ListSplitFromDrag(int y, int offset, int dpi, int listAreaHeight);

}  // namespace mainwindow
