#include "vscode/installer.h"

#include <mutex>
#include <string_view>

#include "i18n/translate.h"
#include "model/file_io.h"
#include "model/json.h"
#include "resources/resource_ids.h"
#include "vscode/command_line.h"
#include "vscode/path_text.h"

namespace vscode {

namespace {

std::mutex& InstallerLock() {
  static std::mutex lock;
  return lock;
}

std::wstring LowerCased(std::wstring text) {
  if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

std::string_view PackageBytes(HMODULE module) {
  if (module == nullptr) module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(IDR_SESSION_EXTENSION), RT_RCDATA);
  if (info == nullptr) return {};
  HGLOBAL handle = LoadResource(module, info);
  const void* data = handle != nullptr ? LockResource(handle) : nullptr;
  if (data == nullptr) return {};
  return std::string_view(static_cast<const char*>(data), SizeofResource(module, info));
}

}  // namespace

bool IsInstalled(const VsCodeInstall& install) {
  JsonValue root;
  if (!fileio::ReadJsonFile(JoinPath(install.extensionsFolder, L"extensions.json"), false, root)) return false;
  if (!root.IsArray()) return false;
  for (const JsonValue& item : root.items) {
    if (!item.IsObject()) continue;
    const JsonValue* identifier = json::Lookup(item, L"identifier");
    if (identifier == nullptr || !identifier->IsObject()) continue;
    if (LowerCased(json::StringOr(*identifier, L"id")) != kExtensionId) continue;
    // Another version of ours counts as missing: "--force" installs the carried one over it.
    if (json::StringOr(item, L"version") == kExtensionVersion) return true;
  }
  return false;
}

std::wstring FindInstallCommand(const std::wstring& executableFolder) {
  std::wstring cli = JoinPath(JoinPath(executableFolder, L"resources"), JoinPath(L"app", L"out", L"cli.js"));
  if (fileio::FileExists(cli)) return cli;

  std::wstring script;
  std::wstring ignored;
  if (!fileio::ReadTextFile(JoinPath(executableFolder, L"bin", L"code.cmd"), script, ignored) &&
      !fileio::ReadTextFile(JoinPath(executableFolder, L"bin", L"code-insiders.cmd"), script, ignored)) {
    return {};
  }
  // The launcher names the executable first and the script it runs second.
  constexpr std::wstring_view kMarker = L"%~dp0..\\";
  size_t first = script.find(kMarker);
  if (first == std::wstring::npos) return {};
  size_t second = script.find(kMarker, first + kMarker.size());
  if (second == std::wstring::npos) return {};
  size_t start = second + kMarker.size();
  size_t end = script.find(L'"', start);
  std::wstring relative = script.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
  std::wstring command = JoinPath(executableFolder, relative);
  return fileio::FileExists(command) ? command : std::wstring();
}

bool EnsureInstalled(const VsCodeInstall& install, const std::wstring& packageFolder, std::wstring& error,
                     const InstallerOptions& options) {
  std::lock_guard<std::mutex> guard(InstallerLock());
  if (IsInstalled(install)) return true;

  std::wstring command = FindInstallCommand(fileio::FolderPart(install.executable));
  if (command.empty()) {
    error = i18n::Translate(L"VS Code 확장 설치 명령을 찾을 수 없습니다.");
    return false;
  }
  std::string_view package = PackageBytes(options.packageModule);
  if (package.empty()) {
    error = i18n::Translate(L"Tavrilo 세션 확장 패키지를 찾을 수 없습니다.");
    return false;
  }
  std::wstring packagePath = JoinPath(packageFolder, kPackageFileName);
  std::wstring writeError;
  if (!fileio::WriteBytesSafely(packagePath, package, writeError)) {
    error = i18n::Translate(L"Tavrilo 세션 확장 패키지를 저장하지 못했습니다.");
    return false;
  }

  RunRequest run;
  run.executable = install.executable;
  run.arguments = QuoteArgument(command) + L" --install-extension " + QuoteArgument(packagePath) +
                  L" --force --do-not-sync";
  run.runAsNode = true;
  run.timeoutMs = options.timeoutMs;
  return RunVsCode(run, error);
}

}  // namespace vscode
