#include "app/main_layout.h"

#include <algorithm>

#include "ui/kit/scale.h"

namespace mainwindow {

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
  P = std::min(P, std::max(px(270), W - px(560)));
  P = std::max(P, px(270));
  out.panel = P;

  // Header band.
  int t = std::max(px(68), px(26) + in.searchLabelWidth);
  int l = std::max(px(76), px(24) + in.resetTextWidth);
  int u = W - (px(48) + l + px(180));
  int v = std::max(t + px(110), u);
  out.searchLabel = {px(16), px(10), t - px(8), px(44)};
  out.searchFrame = {t, px(10), v, px(44)};
  out.searchBox = {t + px(8), px(17), t + px(8) + (v - t - px(18)), px(17) + px(23)};
  out.resetButton = {v + px(8), px(10), v + px(8) + l, px(10) + px(34)};
  out.categoryBox = {W - px(16) - px(180), px(12), W - px(16), px(12) + px(200)};

  // Left panel.
  const int left = px(14), right = P - px(14);
  out.activeHeader = {left, px(62), right, px(100)};
  int buttonWidth = px(24) + in.newProjectTextWidth;
  int rowMiddle = (out.activeHeader.top + out.activeHeader.bottom) / 2;
  out.newProjectButton = {right - buttonWidth, rowMiddle - px(30) / 2, right, rowMiddle - px(30) / 2 + px(30)};

  int L = C - px(14) - px(2) - px(100) - px(18) - px(38) - px(2);
  int L0 = std::max(L, 0);
  out.listAreaHeight = (L <= 0 || L0 == 1) ? 1 : L0;
  int K = std::min(px(96), L0 / 2);
  int h = static_cast<int>(static_cast<long long>(L0) * in.listSplit / 1000);
  h = std::max(h, K);
  h = std::min(h, std::max(K, L0 - K));

  int top = px(102);
  out.activeFrame = {left, top, right, top + h};
  out.splitterBand = {left, top + h, right, top + h + px(18)};
  out.completedHeader = {left, out.splitterBand.bottom, right, out.splitterBand.bottom + px(38)};
  int completedTop = out.completedHeader.bottom + px(2);
  out.completedFrame = {left, completedTop, right, std::max(completedTop, C - px(14))};
  out.activeList = Inset(out.activeFrame, px(5));
  out.completedList = Inset(out.completedFrame, px(5));

  out.calendar = {P + 1, px(54), P + 1 + std::max(W - P - 1, 0), px(54) + std::max(C - px(54), 0)};
  return out;
}

int SplitterAt(const Layout& layout, int dpi, POINT point) {
  auto px = [&](int n) { return kit::Scale(n, dpi); };
  if (point.y >= px(54) && point.y < layout.contentHeight && point.x >= layout.panel - px(6) &&
      point.x <= layout.panel + px(1)) {
    return 1;
  }
  if (PtInRect(&layout.splitterBand, point)) return 2;
  return 0;
}

int PanelWidthFromDrag(int x, int offset, int dpi) { return std::clamp(MulDiv(x - offset, 96, dpi), 270, 900); }

int ListSplitFromDrag(int y, int offset, int dpi, int listAreaHeight) {
  return std::clamp(MulDiv(y - offset - kit::Scale(102, dpi), 1000, std::max(listAreaHeight, 1)), 120, 880);
}

}  // namespace mainwindow
