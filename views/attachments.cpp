#include "views/attachments.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <intshcut.h>
#include <wincodec.h>

#include "i18n/translate.h"
#include "model/file_io.h"
#include "ui/kit/gdi.h"
#include "ui/kit/gdiplus_include.h"

namespace attachments {
namespace {

constexpr unsigned kPreviewMaxWidth = 720;
constexpr unsigned kPreviewMaxHeight = 320;
constexpr unsigned long long kPreviewMaxPixels = 100000000ull;

std::wstring KnownDocumentsFolder() {
  wchar_t* known = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, KF_FLAG_CREATE, nullptr, &known)) && known) folder = known;
  CoTaskMemFree(known);
  return folder;
}

bool IsFile(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WriteInternetShortcut(const std::wstring& link, const std::wstring& path) {
  kit::ComPtr<IUniformResourceLocatorW> shortcut;
  if (FAILED(CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER, IID_IUniformResourceLocatorW,
                              shortcut.put_void()))) {
    return false;
  }
  if (FAILED(shortcut->SetURL(link.c_str(), 0))) return false;
  kit::ComPtr<IPersistFile> file;
  if (FAILED(shortcut->QueryInterface(IID_IPersistFile, file.put_void()))) return false;
  return SUCCEEDED(file->Save(path.c_str(), TRUE)) && IsFile(path);
}

}  // namespace

std::wstring LinkFolder(const std::wstring& base, const Date& date) {
  std::wstring folder = base;
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return folder + L"Quenlor\\" + dates::ToStorageText(date) + L"\\Links";
}

bool LinkShortcutPathIn(std::wstring_view link, const std::wstring& projectFolder, const Date& date,
                        const std::wstring& documentsFolder, std::wstring& path, std::wstring& error) {
  path.clear();
  error.clear();
  std::wstring normalized = references::NormalizeReference(link);
  if (normalized.empty() || !references::IsWebLink(normalized) || !dates::IsValid(date)) return false;
  const std::wstring& base = fileio::FolderExists(projectFolder) ? projectFolder : documentsFolder;
  std::wstring folder = base.empty() ? std::wstring() : LinkFolder(base, date);
  if (folder.empty() || !fileio::EnsureFolder(folder)) {
    error = i18n::Translate(L"링크를 저장할 로컬 폴더를 찾을 수 없습니다.");
    return false;
  }
  std::wstring candidate = folder + L"\\" + references::LinkShortcutFileName(normalized);
  if (!IsFile(candidate) && !WriteInternetShortcut(normalized, candidate)) {
    error = std::wstring(i18n::Translate(L"웹 링크 바로 가기를 저장할 수 없습니다.\n")) + candidate;
    return false;
  }
  path = std::move(candidate);
  return true;
}

bool LinkShortcutPath(std::wstring_view link, const std::wstring& projectFolder, const Date& date,
                      std::wstring& path, std::wstring& error) {
  std::wstring documents = fileio::FolderExists(projectFolder) ? std::wstring() : KnownDocumentsFolder();
  return LinkShortcutPathIn(link, projectFolder, date, documents, path, error);
}

bool RevealInShell(HWND owner, const std::wstring& folder, const std::wstring& file) {
  if (!file.empty()) {
    PIDLIST_ABSOLUTE item = nullptr;
    if (SUCCEEDED(SHParseDisplayName(file.c_str(), nullptr, &item, 0, nullptr)) && item != nullptr) {
      HRESULT opened = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
      CoTaskMemFree(item);
      if (SUCCEEDED(opened)) return true;
    }
  }
  auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

bool OpenAttachmentFolder(HWND owner, std::wstring_view reference, std::wstring& error, const RevealFn& reveal) {
  error.clear();
  std::wstring path = references::NormalizeReference(reference);
  if (path.empty() || references::IsWebLink(path)) return false;
  bool isFolder = fileio::FolderExists(path);
  std::wstring folder = isFolder ? path : fileio::FolderPart(path);
  if (folder.size() == 2 && folder[1] == L':') folder += L'\\';  // "C:" alone is the current folder there
  if (!fileio::FolderExists(folder)) {
    error = std::wstring(i18n::Translate(L"저장된 폴더를 찾을 수 없습니다.\n")) + path;
    return false;
  }
  std::wstring file = !isFolder && IsFile(path) ? path : std::wstring();
  bool opened = reveal ? reveal(owner, folder, file) : RevealInShell(owner, folder, file);
  if (!opened) error = std::wstring(i18n::Translate(L"폴더를 열 수 없습니다.\n")) + folder;
  return opened;
}

std::vector<std::wstring> PickFiles(HWND owner) {
  std::vector<std::wstring> chosen;
  kit::ComPtr<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                              dialog.put_void()))) {
    return chosen;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_ALLOWMULTISELECT | FOS_FILEMUSTEXIST | FOS_FORCEFILESYSTEM);
  dialog->SetTitle(i18n::Translate(L"첨부할 파일 선택"));
  dialog->SetOkButtonLabel(i18n::Translate(L"열기"));
  if (FAILED(dialog->Show(owner))) return chosen;
  kit::ComPtr<IShellItemArray> items;
  if (FAILED(dialog->GetResults(items.put()))) return chosen;
  DWORD count = 0;
  items->GetCount(&count);
  for (DWORD i = 0; i < count; ++i) {
    kit::ComPtr<IShellItem> item;
    if (FAILED(items->GetItemAt(i, item.put()))) continue;
    wchar_t* path = nullptr;
    if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) && path != nullptr) {
      references::AddUniqueReference(chosen, path);
    }
    CoTaskMemFree(path);
  }
  return chosen;
}

bool PreviewSize(unsigned width, unsigned height, unsigned& previewWidth, unsigned& previewHeight) {
  if (width == 0 || height == 0) return false;
  if (static_cast<unsigned long long>(width) * height > kPreviewMaxPixels) return false;
  double scale = 1.0;
  scale = std::min(scale, static_cast<double>(kPreviewMaxWidth) / width);
  scale = std::min(scale, static_cast<double>(kPreviewMaxHeight) / height);
  previewWidth = std::max(1u, static_cast<unsigned>(width * scale + 0.5));
  previewHeight = std::max(1u, static_cast<unsigned>(height * scale + 0.5));
  return true;
}

bool WantsPreview(std::wstring_view reference) {
  if (reference.size() < 3 || reference[1] != L':' || reference[2] != L'\\') return false;
  wchar_t drive = reference[0];
  if (!((drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z'))) return false;
  if (!references::HasImageExtension(reference)) return false;
  wchar_t root[4] = {drive, L':', L'\\', 0};
  return GetDriveTypeW(root) != DRIVE_REMOTE;
}

std::unique_ptr<Gdiplus::Bitmap> LoadPreview(const std::wstring& path) {
  if (!WantsPreview(path)) return nullptr;
  kit::ComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              factory.put_void()))) {
    return nullptr;
  }
  kit::ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                decoder.put()))) {
    return nullptr;
  }
  kit::ComPtr<IWICBitmapFrameDecode> frame;
  UINT width = 0, height = 0;
  if (FAILED(decoder->GetFrame(0, frame.put())) || FAILED(frame->GetSize(&width, &height))) return nullptr;
  unsigned targetWidth = 0, targetHeight = 0;
  if (!PreviewSize(width, height, targetWidth, targetHeight)) return nullptr;
  kit::ComPtr<IWICBitmapScaler> scaler;
  if (FAILED(factory->CreateBitmapScaler(scaler.put())) ||
      FAILED(scaler->Initialize(frame.get(), targetWidth, targetHeight, WICBitmapInterpolationModeFant))) {
    return nullptr;
  }
  kit::ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(scaler.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                                   0.0, WICBitmapPaletteTypeCustom))) {
    return nullptr;
  }
  auto bitmap = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(targetWidth), static_cast<INT>(targetHeight),
                                                  PixelFormat32bppPARGB);
  if (bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
  Gdiplus::Rect all(0, 0, static_cast<INT>(targetWidth), static_cast<INT>(targetHeight));
  Gdiplus::BitmapData data{};
  if (bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &data) != Gdiplus::Ok) {
    return nullptr;
  }
  UINT stride = static_cast<UINT>(data.Stride < 0 ? -data.Stride : data.Stride);
  HRESULT copied = converter->CopyPixels(nullptr, stride, stride * targetHeight, static_cast<BYTE*>(data.Scan0));
  bitmap->UnlockBits(&data);
  if (FAILED(copied)) return nullptr;
  return bitmap;
}

}  // namespace attachments
