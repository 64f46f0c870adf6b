#include "views/shell_pickers.h"

#include <shobjidl.h>

#include "i18n/translate.h"
#include "model/file_io.h"
#include "ui/kit/gdi.h"

namespace shellpickers {
namespace {

bool ResultPath(IFileDialog* dialog, std::wstring& chosen) {
  kit::ComPtr<IShellItem> item;
  if (FAILED(dialog->GetResult(item.put()))) return false;
  wchar_t* path = nullptr;
  bool ok = SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) && path != nullptr;
  if (ok) chosen = path;
  CoTaskMemFree(path);
  return ok;
}

}  // namespace

bool PickFolder(HWND owner, const std::wstring& startFolder, std::wstring& chosen) {
  kit::ComPtr<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                              dialog.put_void()))) {
    return false;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  dialog->SetTitle(i18n::Translate(L"프로젝트 폴더 선택"));
  dialog->SetOkButtonLabel(i18n::Translate(L"폴더 선택"));
  if (!startFolder.empty() && fileio::FolderExists(startFolder)) {
    kit::ComPtr<IShellItem> start;
    if (SUCCEEDED(SHCreateItemFromParsingName(startFolder.c_str(), nullptr, IID_IShellItem, start.put_void()))) {
      dialog->SetFolder(start.get());
    }
  }
  if (FAILED(dialog->Show(owner))) return false;
  return ResultPath(dialog.get(), chosen);
}

bool PickExportPath(HWND owner, const std::wstring& proposedName, std::wstring& chosen) {
  kit::ComPtr<IFileSaveDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileSaveDialog,
                              dialog.put_void()))) {
    return false;
  }
  std::wstring projectFiles = i18n::Translate(L"Tavrilo 프로젝트 파일 (*.qlproj)");
  std::wstring allFiles = i18n::Translate(L"모든 파일 (*.*)");
  COMDLG_FILTERSPEC types[] = {{projectFiles.c_str(), L"*.qlproj"}, {allFiles.c_str(), L"*.*"}};
  dialog->SetFileTypes(2, types);
  dialog->SetDefaultExtension(L"qlproj");
  dialog->SetTitle(i18n::Translate(L"프로젝트 내보내기"));
  dialog->SetOkButtonLabel(i18n::Translate(L"저장"));
  dialog->SetFileName(proposedName.c_str());
  if (FAILED(dialog->Show(owner))) return false;
  return ResultPath(dialog.get(), chosen);
}

}  // namespace shellpickers
