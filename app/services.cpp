#include "app/services.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "i18n/translate.h"
#include "model/file_io.h"
#include "resources/resource_ids.h"
#include "ui/kit/gdi.h"
#include "ui/kit/msgbox.h"
#include "views/attachments.h"
#include "vscode/open_window.h"

namespace mainwindow {

namespace {

// Starts the dialog in the folder when it exists; the shell falls back to its own choice.
void StartIn(IFileDialog& dialog, const std::wstring& folder) {
  if (folder.empty() || !fileio::FolderExists(folder)) return;
  kit::ComPtr<IShellItem> item;
  if (SUCCEEDED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_IShellItem, item.put_void()))) {
    dialog.SetFolder(item.get());
  }
}

bool ShowAndTakePath(IFileDialog& dialog, HWND owner, std::wstring& chosen) {
  if (FAILED(dialog.Show(owner))) return false;
  kit::ComPtr<IShellItem> result;
  if (FAILED(dialog.GetResult(result.put()))) return false;
  kit::CoTaskString path;
  if (FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, path.put())) || path.get() == nullptr) return false;
  chosen = path.get();
  return true;
}

bool ChooseFileWithDialog(HWND owner, bool save, const std::wstring& title, const std::wstring& suggested,
                          std::wstring& chosen) {
  kit::ComPtr<IFileDialog> dialog;
  if (FAILED(CoCreateInstance(save ? CLSID_FileSaveDialog : CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IFileDialog, dialog.put_void()))) {
    return false;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  options |= FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | (save ? FOS_OVERWRITEPROMPT : FOS_FILEMUSTEXIST);
  dialog->SetOptions(options);
  std::wstring projectFiles = i18n::Translate(L"Tavrilo 프로젝트 파일 (*.qlproj)");
  std::wstring allFiles = i18n::Translate(L"모든 파일 (*.*)");
  COMDLG_FILTERSPEC types[] = {{projectFiles.c_str(), L"*.qlproj"}, {allFiles.c_str(), L"*.*"}};
  dialog->SetFileTypes(2, types);
  dialog->SetFileTypeIndex(1);
  dialog->SetDefaultExtension(L"qlproj");
  dialog->SetOkButtonLabel(save ? i18n::Translate(L"저장") : i18n::Translate(L"열기"));
  dialog->SetTitle(title.c_str());
  StartIn(*dialog.get(), fileio::FolderPart(suggested));
  if (save) dialog->SetFileName(fileio::FileNamePart(suggested).c_str());
  return ShowAndTakePath(*dialog.get(), owner, chosen);
}

bool ChooseFolderWithDialog(HWND owner, const std::wstring& title, const std::wstring& suggested,
                            std::wstring& chosen) {
  kit::ComPtr<IFileDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileDialog,
                              dialog.put_void()))) {
    return false;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  dialog->SetOkButtonLabel(i18n::Translate(L"폴더 선택"));
  dialog->SetTitle(title.c_str());
  StartIn(*dialog.get(), suggested);
  return ShowAndTakePath(*dialog.get(), owner, chosen);
}

}  // namespace

Services DefaultServices() {
  Services services;
  services.chooseFile = ChooseFileWithDialog;
  services.chooseFolder = ChooseFolderWithDialog;
  services.showMessage = [](HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) {
    return widgets::MsgBox(owner, text.c_str(), caption.c_str(), flags);
  };
  services.showAbout = [](HWND owner, const std::wstring& text, const std::wstring& caption) {
    widgets::MsgBox(owner, text.c_str(), caption.c_str(), MB_ICONINFORMATION, IDI_APP, IDB_ABOUT_PREVIEW);
  };
  services.today = [] { return dates::Today(); };
  services.processesUsingFile = [](const std::wstring& path) { return vscode::RestartManagerHolders(path); };
  services.revealInShell = [](HWND owner, const std::wstring& folder, const std::wstring& file) {
    return attachments::RevealInShell(owner, folder, file);
  };
  return services;
}

Services WithDefaults(Services services) {
  Services real = DefaultServices();
  if (!services.chooseFile) services.chooseFile = std::move(real.chooseFile);
  if (!services.chooseFolder) services.chooseFolder = std::move(real.chooseFolder);
  if (!services.showMessage) services.showMessage = std::move(real.showMessage);
  if (!services.showAbout) services.showAbout = std::move(real.showAbout);
  if (!services.today) services.today = std::move(real.today);
  if (!services.processesUsingFile) services.processesUsingFile = std::move(real.processesUsingFile);
  if (!services.openInVsCode) {
    // The launch asks the same holder query the window was given (tests give a fake).
    auto holders = services.processesUsingFile;
    services.openInVsCode = [holders](const Project& project) {
      vscode::OpenOptions options;
      options.holders = holders;
      return vscode::OpenProject(project, options);
    };
  }
  if (!services.revealInShell) services.revealInShell = std::move(real.revealInShell);
  return services;
}

}  // namespace mainwindow
