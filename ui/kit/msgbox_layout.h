// The message box's rules that need no window: which buttons and symbol the flags ask
// for, where everything goes, and where the box is placed. All lengths are device pixels
// for the given DPI.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace widgets {

// The symbol or icon drawn left of the text, and the long text's inner margins, at 96 DPI.
constexpr int kMsgBoxIconSize = 40;
constexpr int kMsgBoxEditMargin = 7;

struct MsgBoxButtons {
  std::vector<int> ids;  // IDOK, IDCANCEL, IDYES, IDNO in display order
  int closeResult = IDOK;  // what closing the box without a button means
  int defaultIndex = 0;    // the button focused when the box opens
};
MsgBoxButtons MsgBoxButtonsFor(UINT flags);

enum class MsgBoxSymbol { kNone, kError, kQuestion, kWarning, kInformation };
MsgBoxSymbol MsgBoxSymbolFor(UINT flags);

struct MsgBoxMetrics {
  int dpi = 96;
  int buttonCount = 1;
  bool hasIcon = false;
  bool longText = false;   // text in a scrolling edit, width from the work area
  SIZE picture{};          // bitmap size of the long form's picture; 0 x 0 without one
  SIZE frame{};            // window size less client size
  RECT workArea{};
};

// Word-wrapped size of the box's text when it may use this width.
using MsgBoxMeasure = std::function<SIZE(int width)>;

struct MsgBoxLayout {
  SIZE client{};
  RECT icon{};           // empty without an icon
  RECT text{};           // the text (short form) or the edit (long form)
  bool editScrolls = false;
  RECT picture{};        // empty without a picture
  RECT buttonRow{};
  std::vector<RECT> buttons;
};
MsgBoxLayout LayoutMsgBox(const MsgBoxMetrics& metrics, const MsgBoxMeasure& measure);

// Top-left corner of a box of this window size: centred over the owner's rectangle (or
// the work area when there is none), then moved inside the work area.
POINT PlaceMsgBox(SIZE window, const RECT* owner, const RECT& workArea);

// What a multi-line edit needs: carriage returns dropped, every line feed made CR LF.
std::wstring ToEditLineBreaks(std::wstring_view text);

}  // namespace widgets
