#include "app/main_layout.h"

#include <algorithm>

#include "ui/kit/scale.h"

namespace mainwindow {

using namespace metrics;

namespace {

RECT Inset(const RECT& r, int by) {
  RECT inner{r.left + by, r.top + by, r.right - by, r.bottom - by};
  if (inner.right < inner.left) inner.right = inner.left;
  if (inner.bottom < inner.top) inner.bottom = inner.top;
  return inner;
}

}  // namespace

Layout ComputeLayout(const LayoutInput& in) {
  auto px = [&](int n) { return kit::Scale(n, in.dpi); };
  Layout out;
  const int W = in.width;
  out.contentHeight = std::max(in.height - in.statusBarHeight, 0);
  const int C = out.contentHeight;

  int P = MulDiv(in.panelWidth, in.dpi, 96);
  P = std::min(P, std::max(px(settings::kMinPanelWidth), W - px(kMinCalendarWidth)));
  P = std::max(P, px(settings::kMinPanelWidth));
  out.panel = P;

  // Header band.
  const int frameBottom = px(kFrameTop + kFrameHeight);
  int t = std::max(px(kMinSearchLabelWidth), px(kSearchLabelPadding) + in.searchLabelWidth);
  int l = std::max(px(kMinResetWidth), px(kButtonPadding) + in.resetTextWidth);
  int u = W - (px(kReservedRight) + l + px(kCategoryWidth));
  int v = std::max(t + px(kMinSearchWidth), u);
  out.searchLabel = {px(kBandMargin), px(kFrameTop), t - px(kSearchLabelGap), frameBottom};
  out.searchFrame = {t, px(kFrameTop), v, frameBottom};
  out.searchBox = {t + px(kSearchInset), px(kSearchEditTop), t + px(kSearchInset) + (v - t - px(kSearchEditTrim)),
                   px(kSearchEditTop) + px(kSearchEditHeight)};
  out.resetButton = {v + px(kControlGap), px(kFrameTop), v + px(kControlGap) + l, px(kFrameTop) + px(kFrameHeight)};
  out.categoryBox = {W - px(kBandMargin) - px(kCategoryWidth), px(kCategoryTop), W - px(kBandMargin),
                     px(kCategoryTop) + px(kCategoryDropHeight)};

  // Left panel.
  const int left = px(kPanelPadding), right = P - px(kPanelPadding);
  out.activeHeader = {left, px(kActiveHeaderTop), right, px(kActiveHeaderBottom)};
  int buttonWidth = px(kButtonPadding) + in.newProjectTextWidth;
  int rowMiddle = (out.activeHeader.top + out.activeHeader.bottom) / 2;
  int buttonTop = rowMiddle - px(kNewProjectHeight) / 2;
  out.newProjectButton = {right - buttonWidth, buttonTop, right, buttonTop + px(kNewProjectHeight)};

  int L = C - px(kPanelPadding) - px(kFrameGap) - px(kActiveHeaderBottom) - px(kSplitterHeight) -
          px(kCompletedHeaderHeight) - px(kFrameGap);
  int L0 = std::max(L, 0);
  out.listAreaHeight = (L <= 0 || L0 == 1) ? 1 : L0;
  int K = std::min(px(kMinListHeight), L0 / 2);
  int h = static_cast<int>(static_cast<long long>(L0) * in.listSplit / 1000);
  h = std::max(h, K);
  h = std::min(h, std::max(K, L0 - K));

  int top = px(kListTop);
  out.activeFrame = {left, top, right, top + h};
  out.splitterBand = {left, top + h, right, top + h + px(kSplitterHeight)};
  out.completedHeader = {left, out.splitterBand.bottom, right, out.splitterBand.bottom + px(kCompletedHeaderHeight)};
  int completedTop = out.completedHeader.bottom + px(kFrameGap);
  out.completedFrame = {left, completedTop, right, std::max(completedTop, C - px(kPanelPadding))};
  out.activeList = Inset(out.activeFrame, px(kListInset));
  out.completedList = Inset(out.completedFrame, px(kListInset));

  const int header = px(kHeaderHeight);
  out.calendar = {P + 1, header, P + 1 + std::max(W - P - 1, 0), header + std::max(C - header, 0)};
  return out;
}

Splitter SplitterAt(const Layout& layout, int dpi, POINT point) {
  auto px = [&](int n) { return kit::Scale(n, dpi); };
  if (point.y >= px(kHeaderHeight) && point.y < layout.contentHeight &&
      point.x >= layout.panel - px(kPanelSplitterGrab) && point.x <= layout.panel + px(kPanelSplitterGrabRight)) {
    return Splitter::kPanel;
  }
  if (PtInRect(&layout.splitterBand, point)) return Splitter::kLists;
  return Splitter::kNone;
}

int PanelWidthFromDrag(int x, int offset, int dpi) {
  return std::clamp(MulDiv(x - offset, 96, dpi), settings::kMinPanelWidth, settings::kMaxPanelWidth);
}

int ListSplitFromDrag(int y, int offset, int dpi, int listAreaHeight) {
  return std::clamp(MulDiv(y - offset - kit::Scale(kListTop, dpi), 1000, std::max(listAreaHeight, 1)),
                    settings::kMinListSplit, settings::kMaxListSplit);
}

GroupHeaderPlace PlaceGroupHeader(const RECT& row, int limit, int badgeWidth, int dpi) {
  GroupHeaderPlace place;
  place.titleLeft = row.left + kit::Scale(metrics::kHeaderTextInset, dpi);
  place.titleRoom = std::max(0, limit - badgeWidth - kit::Scale(metrics::kBadgeGap, dpi) - place.titleLeft);
  return place;
}

}  // namespace mainwindow
