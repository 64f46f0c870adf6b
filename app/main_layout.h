// Where the main window's parts go for a client size: pure arithmetic over measured
// text widths, so that it can be checked at any DPI without a window.
#pragma once

#include <windows.h>

#include "app/settings.h"

namespace mainwindow {

// The main window's sizes at 96 DPI, scaled where they are used.
namespace metrics {
constexpr int kHeaderHeight = 54;          // the search band above the calendar
constexpr int kListRowHeight = 76;         // a project row in either list
constexpr int kStatusBarMinHeight = 26;
constexpr int kMinTrackWidth = 900;
constexpr int kMinTrackHeight = 600;
constexpr int kMinCalendarWidth = 560;     // what the panel leaves at least
// Header band.
constexpr int kBandMargin = 16;            // window edge to the search label and the category box
constexpr int kFrameTop = 10;              // search frame and reset button
constexpr int kFrameHeight = 34;
constexpr int kMinSearchLabelWidth = 68;
constexpr int kSearchLabelPadding = 26;
constexpr int kSearchLabelGap = 8;
constexpr int kMinSearchWidth = 110;
constexpr int kSearchInset = 8;            // frame to edit, horizontally
constexpr int kSearchEditTop = 17;
constexpr int kSearchEditHeight = 23;
constexpr int kSearchEditTrim = 18;        // frame width minus edit width
constexpr int kMinResetWidth = 76;
constexpr int kButtonPadding = 24;         // text to both edges of a kit button
constexpr int kControlGap = 8;
constexpr int kReservedRight = 48;         // gaps and margin right of the search frame
constexpr int kCategoryTop = 12;
constexpr int kCategoryWidth = 180;
constexpr int kCategoryDropHeight = 200;   // the combo box's height with its list open
constexpr int kSearchFrameRadius = 8;
// Left panel.
constexpr int kPanelPadding = 14;
constexpr int kActiveHeaderTop = 62;
constexpr int kActiveHeaderBottom = 100;
constexpr int kNewProjectHeight = 30;
constexpr int kListTop = 102;
constexpr int kFrameGap = 2;               // header to frame, frame to bottom reserve
constexpr int kSplitterHeight = 18;
constexpr int kCompletedHeaderHeight = 38;
constexpr int kMinListHeight = 96;
constexpr int kListInset = 5;              // frame to list box
constexpr int kListFrameRadius = 10;
constexpr int kMinFrameToPaint = 4;
constexpr int kPanelSplitterGrab = 6;      // left of the panel edge
constexpr int kPanelSplitterGrabRight = 1;
constexpr int kGripWidth = 36;
constexpr int kGripHeight = 4;
constexpr int kGripRadius = 2;
// Group header badge.
constexpr int kBadgeMinWidth = 20;
constexpr int kBadgePadding = 14;
constexpr int kBadgeHeight = 20;
constexpr int kBadgeRadius = 10;
constexpr int kBadgeGap = 8;
constexpr int kHeaderTextInset = 2;
}  // namespace metrics

struct LayoutInput {
  int width = 0;              // client width
  int height = 0;             // client height
  int dpi = 96;
  int statusBarHeight = 0;    // 0 when the status bar is hidden
  int panelWidth = settings::kDefaultPanelWidth;  // stored, 96-DPI pixels
  int listSplit = settings::kDefaultListSplit;    // thousandths
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

// A list's header: where its title may end, given the right limit of the title and
// its count badge (the button beside it, or the row's end) and the badge's width.
struct GroupHeaderPlace {
  int titleLeft = 0;
  int titleRoom = 0;  // the width the title may take before it is cut with an ellipsis
};
GroupHeaderPlace PlaceGroupHeader(const RECT& row, int limit, int badgeWidth, int dpi);

// The splitter under a point, or the one being dragged.
enum class Splitter { kNone, kPanel, kLists };
Splitter SplitterAt(const Layout& layout, int dpi, POINT point);
// The stored values a drag position gives, clamped to their ranges.
int PanelWidthFromDrag(int x, int offset, int dpi);
int ListSplitFromDrag(int y, int offset, int dpi, int listAreaHeight);

}  // namespace mainwindow
