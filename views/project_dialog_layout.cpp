#include "views/project_dialog_layout.h"

#include <algorithm>

#include "ui/kit/scale.h"
#include "ui/kit/work_area.h"

namespace projectdlg {
namespace {

using kit::Scale;

RECT Rect(int left, int top, int right, int bottom) { return RECT{left, top, right, bottom}; }

// An edit centred vertically inside its framed box, 12 px from the sides.
RECT EditIn(const RECT& box, int lineHeight, int dpi) {
  int h = std::min(static_cast<int>(box.bottom - box.top) - 2, lineHeight + Scale(4, dpi));
  int top = box.top + (box.bottom - box.top - h) / 2;
  return Rect(box.left + Scale(12, dpi), top, std::max(box.left + Scale(12, dpi), box.right - Scale(12, dpi)), top + h);
}

}  // namespace

int ButtonWidth(int textWidth, int minimum, int dpi) { return std::max(Scale(minimum, dpi), textWidth + Scale(22, dpi)); }

int SwatchSize(int available, int dpi) {
  if (12 * Scale(28, dpi) + 11 * Scale(4, dpi) <= available) return Scale(28, dpi);
  return std::max(Scale(18, dpi), (available - 11 * Scale(4, dpi)) / 12);
}

DialogLayout LayoutDialog(int width, int height, int dpi, bool isNew, bool hasVsCode, const DialogTextWidths& text) {
  DialogLayout l;
  const int m = Scale(24, dpi);
  const int right = width - m;
  const int label = Scale(20, dpi);
  auto S = [dpi](int n) { return Scale(n, dpi); };

  l.header = Rect(0, 0, width, S(76));
  int y = S(94);
  l.labels[kLabelTitle] = Rect(m, y, right, y + label);
  y += label;
  l.titleBox = Rect(m, y, right, y + S(38));
  l.titleEdit = EditIn(l.titleBox, text.lineHeight, dpi);
  y = l.titleBox.bottom + S(16);

  l.labels[kLabelLocation] = Rect(m, y, right, y + label);
  y += label;
  int browseW = ButtonWidth(text.browse, 96, dpi);
  int openW = ButtonWidth(text.openFolder, 96, dpi);
  int x = right;
  if (hasVsCode) {
    int vsW = ButtonWidth(text.vsCode, 110, dpi);
    l.vsCode = Rect(x - vsW, y, x, y + S(38));
    x = l.vsCode.left - S(8);
  }
  l.openFolder = Rect(x - openW, y, x, y + S(38));
  l.browse = Rect(l.openFolder.left - S(8) - browseW, y, l.openFolder.left - S(8), y + S(38));
  l.locationBox = Rect(m, y, std::max(m + S(40), static_cast<int>(l.browse.left) - S(8)), y + S(38));
  l.locationEdit = EditIn(l.locationBox, text.lineHeight, dpi);
  y = l.locationBox.bottom + S(16);

  int categoryW = std::max(S(92), S(40) + text.categoryName);
  l.labels[kLabelCategory] = Rect(m, y, m + 3 * categoryW + 2 * S(6), y + label);
  y += label;
  for (int i = 0; i < 3; ++i) {
    int left = m + i * (categoryW + S(6));
    l.categories[i] = Rect(left, y, left + categoryW, y + S(36));
  }
  y += S(36) + S(10);

  l.labels[kLabelColor] = Rect(m, y, right, y + label);
  y += label + S(6);
  int swatch = SwatchSize(width - 2 * m, dpi);
  int swatchTop = y + (S(36) - swatch) / 2;
  for (int i = 0; i < 12; ++i) {
    int left = m + i * (swatch + S(4));
    l.swatches[i] = Rect(left, swatchTop, left + swatch, swatchTop + swatch);
  }
  y += S(36) + S(12);

  l.labels[kLabelStart] = Rect(m, y, m + S(160), y + label);
  l.labels[kLabelEnd] = Rect(m + S(176), y, m + S(336), y + label);
  l.labels[kLabelStatus] = Rect(m + S(360), y, std::max(m + S(360), right), y + label);
  y += label + S(6);
  l.startPicker = Rect(m, y, m + S(160), y + S(38));
  l.endPicker = Rect(m + S(176), y, m + S(336), y + S(38));
  // 170 px, or what a longer label needs (box, gap and text) while the row has room.
  int completedW = std::max(S(170), S(4 + 20 + 10 + 6) + text.completed);
  l.completed = Rect(m + S(356), y, std::max(m + S(356 + 170), std::min(m + S(356) + completedW, right)), y + S(38));
  y += S(38) + S(22);

  l.entriesLabel = Rect(m, y, m + std::max(S(48), text.entriesLabel + S(4)), y + S(38));
  l.addPicker = Rect(l.entriesLabel.right + S(8), y, l.entriesLabel.right + S(8 + 150), y + S(38));
  int addW = ButtonWidth(text.addDate, 104, dpi);
  l.addDate = Rect(l.addPicker.right + S(8), y, l.addPicker.right + S(8) + addW, y + S(38));
  int collapseW = ButtonWidth(text.collapseAll, 88, dpi);
  int expandW = ButtonWidth(text.expandAll, 96, dpi);
  l.collapseAll = Rect(right - collapseW, y, right, y + S(38));
  l.expandAll = Rect(l.collapseAll.left - S(4) - expandW, y, l.collapseAll.left - S(4), y + S(38));
  y += S(38) + S(10);

  l.footer = Rect(0, height - S(70), width, height);
  // On a short screen the entries frame shrinks, down to nothing, rather than run under
  // the footer's buttons.
  int frameBottom = std::max(y, static_cast<int>(l.footer.top) - S(16));
  l.entriesFrame = Rect(m, y, right, frameBottom);
  l.panel = Rect(m + 1, y + 1, std::max(m + 1, right - 1), std::max(y + 1, frameBottom - 1));

  int buttonTop = l.footer.top + (S(70) - S(38)) / 2;
  int buttonBottom = buttonTop + S(38);
  if (!isNew) l.deleteButton = Rect(m, buttonTop, m + S(84), buttonBottom);
  int exportLeft = isNew ? m : m + S(84) + S(8);
  l.exportButton = Rect(exportLeft, buttonTop, exportLeft + S(104), buttonBottom);
  l.saveButton = Rect(right - S(104), buttonTop, right, buttonBottom);
  l.cancelButton = Rect(l.saveButton.left - S(8) - S(88), buttonTop, l.saveButton.left - S(8), buttonBottom);
  return l;
}

RECT InitialWindowRect(int storedWidth, int storedHeight, int dpi, const RECT& ownerRect, const RECT& workArea) {
  int maxW = std::max(1, static_cast<int>(workArea.right - workArea.left) - 40);
  int maxH = std::max(1, static_cast<int>(workArea.bottom - workArea.top) - 40);
  // A size stored on a smaller screen or at another scale may lie under the minimum.
  POINT least = kit::MinTrackSizeWithin(kMinTrackWidth, kMinTrackHeight, dpi, Rect(0, 0, maxW, maxH));
  int w = std::clamp(MulDiv(storedWidth, dpi, 96), static_cast<int>(least.x), maxW);
  int h = std::clamp(MulDiv(storedHeight, dpi, 96), static_cast<int>(least.y), maxH);
  int x = ownerRect.left + (ownerRect.right - ownerRect.left - w) / 2;
  int y = ownerRect.top + (ownerRect.bottom - ownerRect.top - h) / 2;
  x = std::clamp(x, static_cast<int>(workArea.left), std::max(static_cast<int>(workArea.left), static_cast<int>(workArea.right) - w));
  y = std::clamp(y, static_cast<int>(workArea.top), std::max(static_cast<int>(workArea.top), static_cast<int>(workArea.bottom) - h));
  return Rect(x, y, x + w, y + h);
}

}  // namespace projectdlg
