// The main window's own painting (header band, panel, list frames, splitter grip) and
// the dragging of its two splitters.
#include <windows.h>

#include <algorithm>
#include <string>

#include "app/main_window.h"
#include "i18n/translate.h"
#include "ui/kit/colors.h"
#include "ui/kit/draw.h"
#include "ui/kit/gdi.h"
#include "ui/kit/scale.h"

namespace mainwindow {

using namespace metrics;

void MainWindow::PaintGroupHeader(HDC dc, const RECT& row, const wchar_t* title, int count, int limit,
                                  COLORREF badgeFill, COLORREF countColor) {
  auto px = [&](int n) { return kit::Scale(n, dpi_); };
  const kit::FontSet& fonts = fonts_.get();
  std::wstring countText = std::to_wstring(count);
  int badge = std::max(px(kBadgeMinWidth), px(kBadgePadding) + kit::TextWidth(dc, fonts.small, countText));
  GroupHeaderPlace place = PlaceGroupHeader(row, limit, badge, dpi_);
  int x0 = place.titleLeft;
  int x1 = x0 + std::min(place.titleRoom, kit::TextWidth(dc, fonts.semibold, title));
  SetBkMode(dc, TRANSPARENT);
  {
    kit::SelectObjectScope font(dc, fonts.semibold);
    SetTextColor(dc, kit::color::kText);
    RECT text{x0, row.top, x1, row.bottom};
    DrawTextW(dc, title, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
  int middle = (row.top + row.bottom) / 2;
  int pillTop = middle - px(kBadgeHeight / 2);
  RECT pill{x1 + px(kBadgeGap), pillTop, x1 + px(kBadgeGap) + badge, pillTop + px(kBadgeHeight)};
  kit::FillRoundRect(dc, pill, static_cast<float>(px(kBadgeRadius)), badgeFill);
  kit::SelectObjectScope font(dc, fonts.small);
  SetTextColor(dc, countColor);
  DrawTextW(dc, countText.c_str(), -1, &pill, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
}

void MainWindow::PaintSplitterGrip(HDC dc) {
  auto px = [&](int n) { return kit::Scale(n, dpi_); };
  const RECT& band = layout_.splitterBand;
  int cx = (band.left + band.right) / 2, cy = (band.top + band.bottom) / 2;
  int left = cx - px(kGripWidth / 2), top = cy - px(kGripHeight / 2);
  RECT grip{left, top, left + px(kGripWidth), top + px(kGripHeight)};
  bool active = dragging_ == Splitter::kLists || hoverSplitter_ == Splitter::kLists;
  kit::FillRoundRect(dc, grip, static_cast<float>(px(kGripRadius)),
                     active ? kit::color::kAccent : kit::color::kControlBorder);
}

void MainWindow::OnPaint() {
  kit::DoubleBufferedPaint paint(window_);
  HDC dc = paint.dc();
  auto px = [&](int n) { return kit::Scale(n, dpi_); };
  const kit::FontSet& fonts = fonts_.get();
  const RECT& client = paint.client();
  const Layout& l = layout_;
  const int header = px(kHeaderHeight);
  kit::FillSolidRect(dc, client, kit::color::kPanel);
  kit::FillSolidRect(dc, RECT{l.panel, header, l.panel + 1, l.contentHeight}, kit::color::kLine);
  kit::FillSolidRect(dc, RECT{0, 0, client.right, header}, kit::color::kWhite);
  kit::FillSolidRect(dc, RECT{0, header - 1, client.right, header}, kit::color::kLine);

  SetBkMode(dc, TRANSPARENT);
  {
    kit::SelectObjectScope font(dc, fonts.semibold);
    SetTextColor(dc, kit::color::kMutedText);
    RECT label = l.searchLabel;
    DrawTextW(dc, i18n::Translate(L"검색"), -1, &label, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  }
  kit::DrawRoundRect(dc, l.searchFrame, static_cast<float>(px(kSearchFrameRadius)), kit::color::kControlBorder, 1.0f);

  int activeRows = static_cast<int>(SendMessageW(child(kActiveListId), LB_GETCOUNT, 0, 0));
  int completedRows = static_cast<int>(SendMessageW(child(kCompletedListId), LB_GETCOUNT, 0, 0));
  PaintGroupHeader(dc, l.activeHeader, i18n::Translate(L"진행중인 프로젝트"), std::max(activeRows, 0),
                   l.newProjectButton.left - px(kControlGap), kit::color::kAccentTint, kit::color::kAccentPressed);
  PaintGroupHeader(dc, l.completedHeader, i18n::Translate(L"완료 프로젝트"), std::max(completedRows, 0),
                   l.completedHeader.right, kit::color::kNeutralTint, kit::color::kMutedText);

  for (const RECT* frame : {&l.activeFrame, &l.completedFrame}) {
    if (frame->bottom - frame->top < px(kMinFrameToPaint)) continue;
    kit::FillRoundRect(dc, *frame, static_cast<float>(px(kListFrameRadius)), kit::color::kWhite);
    kit::DrawRoundRect(dc, *frame, static_cast<float>(px(kListFrameRadius)), kit::color::kLine, 1.0f);
  }
  PaintSplitterGrip(dc);
}

LRESULT MainWindow::OnSetCursor(WPARAM wparam, LPARAM lparam) {
  if (reinterpret_cast<HWND>(wparam) == window_ && LOWORD(lparam) == HTCLIENT) {
    Splitter splitter = dragging_;
    if (splitter == Splitter::kNone) {
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(window_, &p);
      splitter = SplitterAt(layout_, dpi_, p);
    }
    if (splitter != Splitter::kNone) {
      SetCursor(LoadCursorW(nullptr, splitter == Splitter::kPanel ? IDC_SIZEWE : IDC_SIZENS));
      return TRUE;
    }
  }
  return DefaultProc(WM_SETCURSOR, wparam, lparam);
}

void MainWindow::OnLeftButtonDown(POINT point) {
  Splitter hit = SplitterAt(layout_, dpi_, point);
  if (hit == Splitter::kNone) return;
  dragging_ = hit;
  dragOffset_ = hit == Splitter::kPanel ? point.x - layout_.panel : point.y - layout_.splitterBand.top;
  SetCapture(window_);
  InvalidateRect(window_, nullptr, FALSE);
}

void MainWindow::OnMouseMove(POINT point) {
  if (dragging_ != Splitter::kNone) {
    if (dragging_ == Splitter::kPanel) {
      panelWidth_ = PanelWidthFromDrag(point.x, dragOffset_, dpi_);
    } else {
      listSplit_ = ListSplitFromDrag(point.y, dragOffset_, dpi_, layout_.listAreaHeight);
    }
    LayOut();
    UpdateWindow(window_);
    return;
  }
  Splitter hit = SplitterAt(layout_, dpi_, point);
  if (hit != hoverSplitter_) {
    hoverSplitter_ = hit;
    InvalidateRect(window_, nullptr, FALSE);
    if (hit != Splitter::kNone) {
      TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window_, 0};
      TrackMouseEvent(&track);
    }
  }
}

void MainWindow::OnCaptureChanged() {
  if (dragging_ == Splitter::kNone) return;
  dragging_ = Splitter::kNone;
  InvalidateRect(window_, nullptr, FALSE);
  SaveSettings();
}

}  // namespace mainwindow
