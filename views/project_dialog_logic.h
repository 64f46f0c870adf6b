// The project dialog's decisions as plain functions: what the edited project becomes,
// what stops a save, what a key does, and the texts built from a project.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/project.h"

namespace projectdlg {

std::wstring TrimWhite(std::wstring_view text);

// What the dialog's controls hold when the project is collected.
struct DialogFields {
  std::wstring title;
  std::wstring location;
  int category = 0;
  int color = 0;
  Date start;  // invalid: the picker has none
  Date end;    // invalid: unchecked
  bool completed = false;
  std::vector<Entry> entries;
};

// The working copy with the fields applied: trimmed texts, a completion date of today
// when newly completed (kept when it already has one), none when not completed, and
// sorted entries.
Project CollectProject(const Project& working, const DialogFields& fields, const Date& today);

enum class Refusal { kNone, kTitleEmpty, kEndBeforeStart, kFolderMissing };
// The first rule the collected project breaks, in the order the dialog checks them.
Refusal FirstRefusal(const Project& collected, const std::function<bool(const std::wstring&)>& folderExists);

// The title as a file name: \ / : * ? " < > | and control characters become "_", then
// trimmed; "프로젝트" (translated) when nothing is left.
std::wstring ExportFileName(std::wstring_view title);
// The project written by Export: the title "제목 없음" (translated) when empty, an id of
// at least 1; the file's next id is that id + 1.
Project ExportedProject(Project collected);

// The project handed to the VS Code button: the typed location, and the stored AI
// conversation when the location is the stored one.
Project VsCodeProject(const Project& stored, const std::wstring& typedLocation);
// Paths compared as the same folder: separators unified, trailing separators dropped.
std::wstring NormalizedFolder(std::wstring_view path);

// The header's subtitle.
std::wstring SubtitleText(const Project& project, bool isNew, const Date& defaultDate);

// Where the keyboard focus is, as far as the key filter cares.
enum class FocusKind { kOther, kButton, kAddDatePicker, kEntryPanel, kLinkInput, kTitle };
enum class KeyAction { kNotHandled, kSave, kClose, kCancelLinkInput, kClickButton, kAddDate, kToLocation, kSwallow };
KeyAction ClassifyKey(WPARAM key, bool control, FocusKind focus);

int ClampCategory(int category);
int ClampColor(int color);

}  // namespace projectdlg
