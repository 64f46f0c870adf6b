#include "views/project_dialog_logic.h"

#include <cwctype>

#include "i18n/translate.h"

namespace projectdlg {

std::wstring TrimWhite(std::wstring_view text) {
  size_t first = 0, last = text.size();
  while (first < last && std::iswspace(text[first])) ++first;
  while (last > first && std::iswspace(text[last - 1])) --last;
  return std::wstring(text.substr(first, last - first));
}

Project CollectProject(const Project& working, const DialogFields& fields, const Date& today) {
  Project project = working;
  project.title = TrimWhite(fields.title);
  project.location = TrimWhite(fields.location);
  project.category = ClampCategory(fields.category);
  project.color = ClampColor(fields.color);
  project.startDate = dates::IsValid(fields.start) ? fields.start : Date{};
  project.endDate = dates::IsValid(fields.end) ? fields.end : Date{};
  project.completed = fields.completed;
  if (!project.completed) {
    project.completedDate = Date{};
  } else if (!dates::IsValid(project.completedDate)) {
    project.completedDate = today;
  }
  project.entries = fields.entries;
  project.SortEntries();
  return project;
}

Refusal FirstRefusal(const Project& collected, const std::function<bool(const std::wstring&)>& folderExists) {
  if (collected.title.empty()) return Refusal::kTitleEmpty;
  if (dates::IsValid(collected.startDate) && dates::IsValid(collected.endDate) &&
      dates::Less(collected.endDate, collected.startDate)) {
    return Refusal::kEndBeforeStart;
  }
  if (!collected.location.empty() && !(folderExists && folderExists(collected.location))) {
    return Refusal::kFolderMissing;
  }
  return Refusal::kNone;
}

std::wstring ExportFileName(std::wstring_view title) {
  std::wstring name(title);
  for (wchar_t& c : name) {
    if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) c = L'_';
  }
  name = TrimWhite(name);
  return name.empty() ? std::wstring(i18n::Translate(L"프로젝트")) : name;
}

Project ExportedProject(Project collected) {
  if (collected.title.empty()) collected.title = i18n::Translate(L"제목 없음");
  if (collected.id < 1) collected.id = 1;
  return collected;
}

std::wstring NormalizedFolder(std::wstring_view path) {
  std::wstring folder = TrimWhite(path);
  for (wchar_t& c : folder) {
    if (c == L'/') c = L'\\';
  }
  while (folder.size() > 1 && folder.back() == L'\\' && !(folder.size() == 3 && folder[1] == L':')) {
    folder.pop_back();
  }
  return folder;
}

Project VsCodeProject(const Project& stored, const std::wstring& typedLocation) {
  Project fresh;
  fresh.location = TrimWhite(typedLocation);
  if (NormalizedFolder(fresh.location) == NormalizedFolder(stored.location)) {
    fresh.lastAiSession = stored.lastAiSession;
    if (stored.lastAiSession.source == kAiSourceNone) fresh.codexImports = stored.codexImports;
  }
  return fresh;
}

std::wstring SubtitleText(const Project& project, bool isNew, const Date& defaultDate) {
  if (isNew) {
    Date start = dates::IsValid(project.startDate) ? project.startDate : defaultDate;
    if (!dates::IsValid(start)) return i18n::Translate(L"새 프로젝트를 등록합니다.");
    return i18n::FormatText(L"{0}부터 시작하는 새 프로젝트를 등록합니다.", {dates::LongDateText(start, true)});
  }
  std::wstring text;
  Date created = dates::ParseStorageText(project.created);
  if (dates::IsValid(created)) text = i18n::Translate(L"등록 ") + dates::NumericDateText(created);
  Date modified = dates::ParseStorageText(project.modified);
  if (dates::IsValid(modified)) {
    if (!text.empty()) text += L"   ·   ";
    text += i18n::Translate(L"최근 수정 ") + dates::NumericDateText(modified);
    if (project.modified.size() > 15) text += L" " + project.modified.substr(11, 5);
  }
  if (text.empty()) text = i18n::Translate(L"프로젝트 정보와 날짜별 내용을 관리합니다.");
  return text;
}

KeyAction ClassifyKey(WPARAM key, bool control, FocusKind focus) {
  if (key == 'S' && control) return KeyAction::kSave;
  if (key == VK_ESCAPE) return focus == FocusKind::kLinkInput ? KeyAction::kCancelLinkInput : KeyAction::kClose;
  if (key != VK_RETURN) return KeyAction::kNotHandled;
  switch (focus) {
    case FocusKind::kButton: return KeyAction::kClickButton;
    case FocusKind::kAddDatePicker: return KeyAction::kAddDate;
    case FocusKind::kEntryPanel:
    case FocusKind::kLinkInput: return KeyAction::kNotHandled;
    case FocusKind::kTitle: return KeyAction::kToLocation;
    default: return KeyAction::kSwallow;
  }
}

int ClampCategory(int category) { return category >= 0 && category <= 2 ? category : 0; }
int ClampColor(int color) { return color >= 0 && color < kPaletteSize ? color : 0; }

}  // namespace projectdlg
