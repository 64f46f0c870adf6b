// The main window's decisions that need no window: placement, the text of the title
// and status bar, file names, and the checks of what a second instance hands over.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <string_view>

#include "model/date.h"
#include "version.h"

namespace shell {

constexpr const wchar_t* kProductName = L"Tavrilo";
constexpr const wchar_t* kVersion = TAVRILO_VERSION_WIDE;

// Show command for a restored placement (stored one from the settings, the one
// Windows passed to the program, and the start-hidden flag).
int PlacementShowCommand(UINT storedShowCmd, int programShowCmd, bool startHidden);
// The default window rectangle centred in a work area.
RECT DefaultWindowRect(const RECT& workArea, int dpi);

// "Tavrilo 1.9.3 - <file> *"
std::wstring WindowTitle(const std::wstring& currentPath, bool modified);

struct StatusFacts {
  std::wstring statusMessage;
  Date selectedDate;
  int projectsOnSelectedDay = 0;
  int viewMode = 2;
  int activeCount = 0;
  int completedCount = 0;
  std::wstring currentPath;
  bool modified = false;
  bool autoSave = true;
  bool aiSyncEnabled = true;
};
std::array<std::wstring, 5> StatusTexts(const StatusFacts& facts);
// Right edges of the five status bar parts for a client width (the last is -1). Parts 1
// to 4 are at least their usual width and, room permitting, as wide as the measured
// width of their text (`textWidths`, pixels; the first is not used) with its margins.
std::array<int, 5> StatusPartEdges(int clientWidth, int dpi, const std::array<int, 5>& textWidths = {});
// The margins a status bar part keeps beside its text, at 96 DPI.
constexpr int kStatusPartMargins = 10;

// A file name made from a project title: no characters Windows forbids, no blank or
// dotted ends, the translated "프로젝트" when nothing is left.
std::wstring SafeFileName(std::wstring_view title);

// The path made absolute against this process's working folder (as it stands when
// the path arrives), or the path as given when it cannot be made absolute.
std::wstring AbsolutePath(const std::wstring& path);

// The path a WM_COPYDATA hand-over carries, when its shape is right.
bool CopyDataPath(ULONG_PTR dwData, DWORD cbData, const void* lpData, std::wstring& path);

// Default project file: the current default when it exists, else the earlier default
// when that exists, else the current default. The base is the Documents folder.
std::wstring CurrentDefaultPath(const std::wstring& base);
std::wstring EarlierDefaultPath(const std::wstring& base);
std::wstring ChooseDefaultPath(const std::wstring& base);
std::wstring DocumentsFolder();

// The About text and the release-notes body.
std::wstring AboutText(const std::wstring& currentPath);
std::wstring ReleaseNotesText();
std::wstring ReleaseNotesCaption();

// Whether the release notes open now: they are pending, no start-up message waits to be
// shown first, and the main window is usable (enabled, visible, not minimized).
struct ReleaseNotesFacts {
  bool pending = false;
  bool startupMessageWaiting = false;
  bool windowEnabled = false;
  bool windowVisible = false;
  bool windowMinimized = false;
};
bool ReleaseNotesDue(const ReleaseNotesFacts& facts);

}  // namespace shell
