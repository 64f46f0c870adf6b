#include "vscode/open_project.h"

#include <windows.h>

#include <filesystem>
#include <mutex>
#include <optional>

#include "aisync/record_store.h"
#include "i18n/translate.h"
#include "model/file_io.h"
#include "vscode/command_line.h"
#include "vscode/path_text.h"
#include "vscode/run_vscode.h"
#include "vscode/workspace.h"

namespace vscode {

namespace {

constexpr wchar_t kWindowArguments[] = L"--new-window --skip-add-to-recently-opened ";

std::mutex& LaunchLock() {
  static std::mutex lock;
  return lock;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

LaunchResult Failed(std::wstring message) { return LaunchResult{false, std::move(message), false}; }

}  // namespace

bool LaunchFolder(const std::wstring& location, std::wstring& folder, std::wstring& error) {
  if (location.empty()) {
    error = i18n::Translate(L"프로젝트 관리에서 작업 폴더를 지정하세요.");
    return false;
  }
  std::wstring full;
  if (DWORD needed = GetFullPathNameW(location.c_str(), 0, nullptr, nullptr); needed != 0) {
    full.assign(needed, L'\0');
    DWORD written = GetFullPathNameW(location.c_str(), needed, full.data(), nullptr);
    full.resize(written != 0 && written < needed ? written : 0);
  }
  const size_t rootLength = std::filesystem::path(full).root_path().native().size();
  while (full.size() > rootLength && IsSeparator(full.back())) full.pop_back();
  if (full.empty() || !fileio::FolderExists(full)) {
    error = i18n::Translate(L"프로젝트 폴더를 찾을 수 없습니다.\n") + location;
    return false;
  }
  folder = std::move(full);
  return true;
}

LaunchResult OpenProject(const Project& project, const OpenOptions& options) {
  std::wstring folder;
  std::wstring error;
  if (!LaunchFolder(project.location, folder, error)) return Failed(std::move(error));

  std::lock_guard<std::mutex> guard(LaunchLock());
  const VsCodeInstall stable = Locate(Edition::Stable);
  const VsCodeInstall insiders = Locate(Edition::Insiders);

  for (const VsCodeInstall* install : {&stable, &insiders}) {
    if (!install->found()) continue;
    std::optional<OpenWindow> window = FindOpenWindow(*install, folder, options.holders);
    if (!window) continue;
    RunRequest run;
    run.executable = install->executable;
    run.arguments = kWindowArguments + QuoteArgument(window->target);
    run.foregroundProcess = window->processId;
    if (!RunVsCode(run, error)) return Failed(std::move(error));
    return LaunchResult{true, L"", true};
  }

  const VsCodeInstall& chosen = stable.found() ? stable : insiders;
  if (!chosen.found()) return Failed(i18n::Translate(L"VS Code 실행 파일을 찾을 수 없습니다."));
  const std::wstring localAppData = EnvironmentValue(L"LOCALAPPDATA");
  if (localAppData.empty()) return Failed(i18n::Translate(L"Windows 사용자 데이터 폴더를 찾을 수 없습니다."));
  const std::wstring base = JoinPath(localAppData, L"Quenlor", L"VSCode");

  LastAiSession session = aisync::LatestAiSession(project);
  std::wstring warning;
  if (session.source != kAiSourceNone) {
    std::wstring installError;
    if (!fileio::EnsureFolder(base) || !EnsureInstalled(chosen, base, installError, options.installer)) {
      // The window still opens; only the conversation is not reopened.
      warning = installError.empty() ? std::wstring(i18n::Translate(L"VS Code의 Tavrilo 세션 확장을 준비하지 못했습니다."))
                                     : installError;
      session = LastAiSession{};
    }
  }

  std::wstring workspaceFile = PrepareWorkspace(base, folder, session, error);
  if (workspaceFile.empty()) return Failed(std::move(error));

  RunRequest run;
  run.executable = chosen.executable;
  if (session.source == kAiSourceClaude && IsPassableModel(session.model)) run.model = session.model;
  run.arguments = kWindowArguments;
  if (!run.model.empty()) run.arguments += L"--preserve-env ";
  run.arguments += QuoteArgument(workspaceFile);
  if (!RunVsCode(run, error)) return Failed(std::move(error));
  return LaunchResult{true, std::move(warning), false};
}

}  // namespace vscode
