#include "vscode/run_vscode.h"

#include "i18n/translate.h"
#include "model/file_io.h"
#include "model/unique_handle.h"
#include "vscode/command_line.h"

namespace vscode {

bool RunVsCode(const RunRequest& request, std::wstring& error) {
  std::wstring commandLine = QuoteArgument(request.executable) + L" " + request.arguments;
  std::wstring environment =
      EnvironmentBlock(VsCodeEnvironment(CurrentEnvironment(), request.runAsNode, request.model));
  std::wstring folder = fileio::FolderPart(request.executable);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  DWORD flags = CREATE_UNICODE_ENVIRONMENT | (request.runAsNode ? CREATE_NO_WINDOW : 0);
  if (!CreateProcessW(request.executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags,
                      environment.data(), folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    error = fileio::SystemErrorText(GetLastError());
    return false;
  }
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);

  if (request.runAsNode) {
    // A script host that hangs is abandoned, not killed: it may still finish the install.
    DWORD exitCode = 1;
    if (WaitForSingleObject(process.get(), request.timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &exitCode) || exitCode != 0) {
      error = i18n::Translate(L"VS Code의 Tavrilo 세션 확장을 설치하지 못했습니다.");
      return false;
    }
    return true;
  }
  AllowSetForegroundWindow(request.foregroundProcess != 0 ? request.foregroundProcess : info.dwProcessId);
  return true;
}

}  // namespace vscode
