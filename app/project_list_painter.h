// Drawing of the project list rows and of a list without rows.
#pragma once

#include <windows.h>

#include <string_view>

#include "model/project.h"
#include "ui/kit/fonts.h"

namespace projectlist {

// Rows are this tall at 96 DPI.
constexpr int kRowHeight = 76;

// Where the parts of a row go, for a row of the given size at its own origin.
struct RowGeometry {
  RECT card;      // the rounded selection and hover background
  POINT dot;      // centre of the colour dot
  int dotRadius;
  int checkSize;  // the check over the dot of a completed project
  RECT title;
  RECT subtitle;
  RECT thirdLine;
};
RowGeometry RowGeometryFor(int width, int height, int dpi);

struct RowState {
  bool selected = false;
  bool focused = false;  // the list has the keyboard focus
  bool hovered = false;
};

// Paints one row at the DC's origin; a missing project leaves only the white row.
void PaintRow(HDC dc, int width, int height, const Project* project, RowState state, const kit::FontSet& fonts);

// WM_DRAWITEM of a project list: paints the row through a memory bitmap, with the
// list's hover row and focus. False when the item is not a list box row to draw.
bool DrawListItem(const DRAWITEMSTRUCT& item, const ProjectDocument& document, const kit::FontSet& fonts);

// WM_MEASUREITEM of a project list. False for anything else.
bool MeasureListItem(MEASUREITEMSTRUCT& item, int dpi);

// Where the hint of an empty list stands inside its client area: centred, wrapped
// between 8-px margins, vertically centred but at least 6 px from the top.
RECT EmptyTextRect(const RECT& client, int textHeight, int dpi);
// The white client area of a list without rows, with its hint.
void PaintEmptyList(HDC dc, const RECT& client, std::wstring_view text, const kit::FontSet& fonts);

}  // namespace projectlist
