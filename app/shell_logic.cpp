#include "app/shell_logic.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "i18n/translate.h"
#include "model/file_io.h"
#include "ui/kit/gdi.h"
#include "ui/kit/scale.h"

namespace shell {

int PlacementShowCommand(UINT storedShowCmd, int programShowCmd, bool startHidden) {
  int show = storedShowCmd == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  if (programShowCmd == SW_SHOWMINIMIZED || programShowCmd == SW_MINIMIZE || programShowCmd == SW_SHOWMINNOACTIVE) {
    show = programShowCmd;
  } else if (programShowCmd == SW_SHOWNOACTIVATE && storedShowCmd != SW_SHOWMAXIMIZED) {
    show = SW_SHOWNOACTIVATE;
  }
  if (startHidden) show = SW_HIDE;
  return show;
}

RECT DefaultWindowRect(const RECT& workArea, int dpi) {
  // 1320 x 860 at 96 DPI, but never more than 94 % and 92 % of the work area.
  constexpr int kWidth = 1320, kHeight = 860;
  int areaWidth = workArea.right - workArea.left;
  int areaHeight = workArea.bottom - workArea.top;
  int width = std::min(areaWidth * 94 / 100, MulDiv(kWidth, dpi, 96));
  int height = std::min(areaHeight * 92 / 100, MulDiv(kHeight, dpi, 96));
  int x = workArea.left + (areaWidth - width) / 2;
  int y = workArea.top + (areaHeight - height) / 2;
  return RECT{x, y, x + width, y + height};
}

std::wstring WindowTitle(const std::wstring& currentPath, bool modified) {
  std::wstring title = std::wstring(kProductName) + L" " + kVersion + L" - ";
  title += currentPath.empty() ? std::wstring(i18n::Translate(L"제목 없음")) : fileio::FileNamePart(currentPath);
  if (modified) title += L" *";
  return title;
}

std::array<std::wstring, 5> StatusTexts(const StatusFacts& f) {
  std::array<std::wstring, 5> parts;
  parts[0] = L"  " + f.statusMessage;
  parts[1] = dates::LongDateText(f.selectedDate, true);
  if (dates::IsValid(f.selectedDate) && f.projectsOnSelectedDay > 0) {
    parts[1] += L"  ·  ";
    parts[1] += i18n::FormatText(L"프로젝트 {0}개", {std::to_wstring(f.projectsOnSelectedDay)});
  }
  static const wchar_t* const kViews[] = {I18N_KEY(L"일간 보기"), I18N_KEY(L"주간 보기"), I18N_KEY(L"월간 보기"),
                                         I18N_KEY(L"년간 보기")};
  parts[2] = i18n::Translate(kViews[std::clamp(f.viewMode, 0, 3)]);
  parts[3] = i18n::Translate(L"진행중 ") + std::to_wstring(f.activeCount) + i18n::Translate(L"  ·  완료 ") +
             std::to_wstring(f.completedCount);
  if (f.currentPath.empty()) {
    parts[4] = i18n::Translate(L"저장되지 않은 문서");
  } else {
    parts[4] = fileio::FileNamePart(f.currentPath);
  }
  if (f.modified) {
    parts[4] += i18n::Translate(L"  ·  수정됨");
  } else if (!f.currentPath.empty()) {
    parts[4] += f.autoSave ? i18n::Translate(L"  ·  자동 저장") : i18n::Translate(L"  ·  저장됨");
  }
  parts[4] += f.aiSyncEnabled ? i18n::Translate(L"  ·  AI 기록 켜짐") : i18n::Translate(L"  ·  AI 기록 꺼짐");
  return parts;
}

std::array<int, 5> StatusPartEdges(int clientWidth, int dpi, const std::array<int, 5>& textWidths) {
  // Usual widths at 96 DPI of the parts from the right: file, counts, view, selected
  // day; the message takes the rest. A longer text widens its part while the message
  // keeps its minimum; a squeezed part keeps a sliver.
  constexpr int kFilePart = 260, kCountsPart = 150, kViewPart = 96, kDayPart = 250;
  constexpr int kSizeGrip = 18;
  constexpr int kMinMessagePart = 60, kMinPart = 20;
  auto px = [dpi](int n) { return kit::Scale(n, dpi); };
  auto part = [&](int usual, int text, int extra = 0) {
    return std::max(px(usual), text > 0 ? text + px(kStatusPartMargins + extra) : 0);
  };
  int file = part(kFilePart, textWidths[4], kSizeGrip), counts = part(kCountsPart, textWidths[3]);
  int view = part(kViewPart, textWidths[2]), day = part(kDayPart, textWidths[1]);
  int a = clientWidth - file;
  int c = a - counts - view;
  int p0 = std::max(c - day, px(kMinMessagePart));
  int p1 = std::max(c, p0 + px(kMinPart));
  int p2 = std::max(a - counts, p1 + px(kMinPart));
  int p3 = std::max(a, p2 + px(kMinPart));
  return {p0, p1, p2, p3, -1};
}

std::wstring SafeFileName(std::wstring_view title) {
  std::wstring name;
  for (wchar_t c : title) {
    bool forbidden = c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos;
    name.push_back(forbidden ? L'_' : c);
  }
  constexpr std::wstring_view kBlank = L" \t\r\n";
  size_t first = name.find_first_not_of(kBlank);
  if (first == std::wstring::npos) {
    name.clear();
  } else {
    name = name.substr(first, name.find_last_not_of(kBlank) - first + 1);
  }
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
  if (name.empty()) name = i18n::Translate(L"프로젝트");
  return name;
}

std::wstring AbsolutePath(const std::wstring& path) {
  std::wstring full = fileio::FullNormalizedPath(path);
  return full.empty() ? path : full;
}

bool CopyDataPath(ULONG_PTR dwData, DWORD cbData, const void* lpData, std::wstring& path) {
  if (dwData != 1 || lpData == nullptr || cbData <= 1 || cbData > 65536 || cbData % 2 != 0) return false;
  const wchar_t* text = static_cast<const wchar_t*>(lpData);
  size_t units = cbData / 2;
  if (text[units - 1] != L'\0') return false;
  path.assign(text, wcsnlen(text, units));
  return true;
}

std::wstring CurrentDefaultPath(const std::wstring& base) { return base + L"\\Tavrilo\\Tavrilo.qlproj"; }
std::wstring EarlierDefaultPath(const std::wstring& base) { return base + L"\\Quenlor\\Quenlor.qlproj"; }

std::wstring ChooseDefaultPath(const std::wstring& base) {
  std::wstring current = CurrentDefaultPath(base);
  if (fileio::FileExists(current)) return current;
  std::wstring earlier = EarlierDefaultPath(base);
  if (fileio::FileExists(earlier)) return earlier;
  return current;
}

std::wstring DocumentsFolder() {
  kit::CoTaskString known;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, KF_FLAG_CREATE, nullptr, known.put())) && known.get()) {
    folder = known.get();
  }
  if (folder.empty()) {
    std::wstring exe(32768, L'\0');
    exe.resize(GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size())));
    folder = fileio::FolderPart(exe);
  }
  return folder;
}

std::wstring AboutText(const std::wstring& currentPath) {
  std::wstring text = std::wstring(kProductName) + L" " + kVersion + L"\n";
  text += i18n::FormatText(L"개발자: {0}\n이메일: {1}", {L"Tavrilo Team", L"support@tavrilo.app"});
  text += i18n::Translate(
      L"\n\n프로젝트 일정과 작업 내용을 캘린더로 관리하는 프로그램입니다.\n\n• 날짜를 더블클릭하여 새 프로젝트 등록\n• "
      L"목록을 클릭하면 캘린더에 표시, 더블클릭하면 관리\n• 일간 / 주간 / 월간 / 년간 보기 및 날짜 조회\n\n데이터 파일: ");
  text += currentPath.empty() ? std::wstring(i18n::Translate(L"(저장되지 않음)")) : currentPath;
  return text;
}

bool ReleaseNotesDue(const ReleaseNotesFacts& facts) {
  return facts.pending && !facts.startupMessageWaiting && facts.windowEnabled && facts.windowVisible &&
         !facts.windowMinimized;
}

namespace {

struct ReleaseRow {
  Date date;
  const wchar_t* title;
  const wchar_t* lines[2];
};

// Titles are product names and stay as they are; the lines are translated.
const ReleaseRow kReleases[] = {
    {{2026, 11, 22}, L"Tavrilo 1.9.2", {I18N_KEY(L"VS Code Codex의 새 대화 기록 형식을 지원하고 누락된 기록을 복구합니다."), nullptr}},
    {{2026, 11, 21},
     L"Tavrilo 1.9.1",
     {I18N_KEY(L"도움말에 프로그램 화면과 개발자 정보를 추가했습니다."), I18N_KEY(L"업데이트 내역을 날짜별로 표시합니다.")}},
    {{2026, 11, 21}, L"Tavrilo 1.9.0", {I18N_KEY(L"Quenlor의 이름을 Tavrilo로 변경했습니다."), nullptr}},
    {{2026, 11, 21}, L"Quenlor 1.8.1", {I18N_KEY(L"달력과 체크 표시를 조합한 로고를 적용했습니다."), nullptr}},
    {{2026, 11, 21},
     L"Quenlor 1.8.0",
     {I18N_KEY(L"업데이트 프로그램에서 기존 설치를 업그레이드할 수 있습니다."), I18N_KEY(L"시작할 때 버전과 업데이트 내역을 표시합니다.")}},
    {{2026, 11, 21}, L"Quenlor 1.7.0", {I18N_KEY(L"설정에서 Windows 표시 언어 또는 6개 언어를 선택할 수 있습니다."), nullptr}},
    {{2026, 11, 17}, L"Quenlor 1.1.0", {I18N_KEY(L"프로젝트에 태그, 검색, 구분과 색상 표시를 추가했습니다."), nullptr}},
};

}  // namespace

std::wstring ReleaseNotesText() {
  std::wstring text;
  const Date* previous = nullptr;
  for (const auto& row : kReleases) {
    if (previous != nullptr) text += L"\n\n";
    if (previous == nullptr || !(row.date == *previous)) {
      text += dates::LongDateText(row.date, true);
      text += L"\n\n";
    }
    text += row.title;
    for (const wchar_t* line : row.lines) {
      if (line == nullptr) continue;
      text += L"\n• ";
      text += i18n::Translate(line);
    }
    previous = &row.date;
  }
  return text;
}

std::wstring ReleaseNotesCaption() {
  return std::wstring(kProductName) + L" " + kVersion + L" - " + i18n::Translate(L"업데이트 내역");
}

}  // namespace shell
