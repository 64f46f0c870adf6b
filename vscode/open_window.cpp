#include "vscode/open_window.h"

#include <restartmanager.h>

#include <filesystem>

#include "aisync/folder_match.h"
#include "model/file_io.h"
#include "model/json.h"
#include "model/unique_handle.h"
#include "vscode/file_uri.h"
#include "vscode/path_text.h"

namespace vscode {

namespace {

constexpr DWORD kImagePathUnits = 32768;

struct RestartSessionTraits {
  using Handle = DWORD;
  static Handle Invalid() { return static_cast<DWORD>(-1); }
  static bool IsValid(Handle h) { return h != static_cast<DWORD>(-1); }
  static void Close(Handle h) { RmEndSession(h); }
};
using UniqueRestartSession = UniqueResource<RestartSessionTraits>;

bool SamePathIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

std::wstring ProcessImage(DWORD processId) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return {};
  std::wstring image(kImagePathUnits, L'\0');
  DWORD length = kImagePathUnits;
  if (!QueryFullProcessImageNameW(process.get(), 0, image.data(), &length)) return {};
  image.resize(length);
  return image;
}

bool HasCodeWorkspaceExtension(const std::wstring& path) {
  constexpr std::wstring_view kExtension = L".code-workspace";
  if (path.size() < kExtension.size()) return false;
  std::wstring tail = path.substr(path.size() - kExtension.size());
  return SamePathIgnoringCase(tail, std::wstring(kExtension));
}

}  // namespace

std::vector<DWORD> RestartManagerHolders(const std::wstring& file) {
  std::vector<DWORD> ids;
  DWORD raw = 0;
  wchar_t sessionKey[CCH_RM_SESSION_KEY + 1] = {};
  if (RmStartSession(&raw, 0, sessionKey) != ERROR_SUCCESS) return ids;
  UniqueRestartSession session(raw);
  const wchar_t* files[] = {file.c_str()};
  if (RmRegisterResources(session.get(), 1, files, 0, nullptr, 0, nullptr) != ERROR_SUCCESS) return ids;
  UINT needed = 0;
  UINT count = 0;
  DWORD reasons = 0;
  if (RmGetList(session.get(), &needed, &count, nullptr, &reasons) != ERROR_MORE_DATA || needed == 0) return ids;
  std::vector<RM_PROCESS_INFO> processes(needed);
  count = needed;
  if (RmGetList(session.get(), &needed, &count, processes.data(), &reasons) != ERROR_SUCCESS) return ids;
  for (UINT i = 0; i < count && i < processes.size(); ++i) ids.push_back(processes[i].Process.dwProcessId);
  return ids;
}

DWORD HeldOpenBy(const std::wstring& file, const std::wstring& executable, const FileHolderQuery& holders) {
  // A file nobody holds opens without sharing; only a sharing violation is worth asking
  // who holds it.
  {
    UniqueFile probe(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (probe) return 0;
    if (GetLastError() != ERROR_SHARING_VIOLATION) return 0;
  }
  if (!holders) return 0;
  for (DWORD id : holders(file)) {
    std::wstring image = ProcessImage(id);
    if (!image.empty() && SamePathIgnoringCase(image, executable)) return id;
  }
  return 0;
}

bool WorkspaceFileListsFolder(const std::wstring& workspaceFile, const std::wstring& key, bool exactlyOne) {
  JsonValue root;
  if (!fileio::ReadJsonFile(workspaceFile, true, root) || !root.IsObject()) return false;
  const JsonValue* folders = json::Lookup(root, L"folders");
  if (folders == nullptr || !folders->IsArray()) return false;
  if (exactlyOne && folders->items.size() != 1) return false;
  const std::filesystem::path base(fileio::FolderPart(workspaceFile));
  for (const JsonValue& item : folders->items) {
    if (!item.IsObject()) continue;
    std::wstring path = FileUriToPath(json::StringOr(item, L"uri"));
    if (path.empty()) {
      const JsonValue* relative = json::Lookup(item, L"path");
      if (relative == nullptr || !relative->IsString()) continue;
      // An absolute "path" replaces the base when joined.
      path = (base / std::filesystem::path(relative->text)).wstring();
    }
    if (aisync::NormalizedFolderPath(path) == key) return true;
  }
  return false;
}

std::optional<OpenWindow> FindOpenWindow(const VsCodeInstall& install, const std::wstring& folder,
                                         const FileHolderQuery& holders) {
  if (install.workspaceStorageFolder.empty()) return std::nullopt;
  const std::wstring key = aisync::NormalizedFolderPath(folder);
  std::optional<OpenWindow> candidate;
  std::error_code failure;
  for (std::filesystem::directory_iterator it(install.workspaceStorageFolder, failure), end; !failure && it != end;
       it.increment(failure)) {
    std::error_code kindFailure;
    if (!it->is_directory(kindFailure)) continue;
    const std::wstring storage = it->path().wstring();
    JsonValue description;
    if (!fileio::ReadJsonFile(JoinPath(storage, L"workspace.json"), false, description)) continue;
    const std::wstring state = JoinPath(storage, L"state.vscdb");

    std::wstring opened = FileUriToPath(json::StringOr(description, L"folder"));
    if (!opened.empty() && aisync::NormalizedFolderPath(opened) == key) {
      if (DWORD id = HeldOpenBy(state, install.executable, holders); id != 0) return OpenWindow{opened, id};
      continue;
    }
    if (candidate) continue;
    std::wstring workspace = FileUriToPath(json::StringOr(description, L"workspace"));
    if (workspace.empty() || !HasCodeWorkspaceExtension(workspace) ||
        !WorkspaceFileListsFolder(workspace, key, false)) {
      continue;
    }
    if (DWORD id = HeldOpenBy(state, install.executable, holders); id != 0) candidate = OpenWindow{workspace, id};
  }
  return candidate;
}

}  // namespace vscode
