// Where every part of the project dialog goes, as a plain function of the client size,
// the DPI and the measured texts. All lengths are device pixels.
#pragma once

#include <windows.h>

#include <vector>

namespace projectdlg {

constexpr int kMinTrackWidth = 720;
constexpr int kMinTrackHeight = 700;

// Text widths as measured in the fonts the controls use.
struct DialogTextWidths {
  int browse = 0;        // "찾아보기…", Body
  int openFolder = 0;    // "폴더 열기", Body
  int vsCode = 0;        // "VS Code 열기", Body
  int categoryName = 0;  // the widest category name, Body
  int entriesLabel = 0;  // "내용", Bold
  int addDate = 0;       // "+ 날짜 추가", SemiBold
  int expandAll = 0;     // "모두 펼치기", Body
  int collapseAll = 0;   // "모두 접기", Body
  int completed = 0;     // "완료된 프로젝트", Body
  int lineHeight = 0;    // Body line height, for the edits inside their frames
};

enum LabelId : int {
  kLabelTitle,
  kLabelLocation,
  kLabelCategory,
  kLabelColor,
  kLabelStart,
  kLabelEnd,
  kLabelStatus,
  kLabelCount,
};

struct DialogLayout {
  RECT header = {};
  RECT labels[kLabelCount] = {};
  RECT titleBox = {};
  RECT titleEdit = {};
  RECT locationBox = {};
  RECT locationEdit = {};
  RECT browse = {};
  RECT openFolder = {};
  RECT vsCode = {};  // empty without the VS Code button
  RECT categories[3] = {};
  RECT swatches[12] = {};
  RECT startPicker = {};
  RECT endPicker = {};
  RECT completed = {};
  RECT entriesLabel = {};
  RECT addPicker = {};
  RECT addDate = {};
  RECT expandAll = {};
  RECT collapseAll = {};
  RECT entriesFrame = {};
  RECT panel = {};
  RECT footer = {};
  RECT deleteButton = {};  // empty for a new project
  RECT exportButton = {};
  RECT cancelButton = {};
  RECT saveButton = {};
};

DialogLayout LayoutDialog(int width, int height, int dpi, bool isNew, bool hasVsCode, const DialogTextWidths& text);

// The larger of the minimum and the text + 22 px.
int ButtonWidth(int textWidth, int minimum, int dpi);
// The swatch size: 28 px unless twelve of them (4 px apart) do not fit the width.
int SwatchSize(int available, int dpi);

// The opening size: the stored 96-DPI size scaled, limited to the work area less 40 px,
// centred on the owner and moved inside the work area.
RECT InitialWindowRect(int storedWidth, int storedHeight, int dpi, const RECT& ownerRect, const RECT& workArea);

}  // namespace projectdlg
