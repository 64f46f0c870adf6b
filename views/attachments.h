// Where an entry's attachments live and how the user reaches them: the file picker, the
// Internet shortcut of a web link, opening the folder of a file, and image previews.
// The reference rules themselves are in model/references.h.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/date.h"
#include "model/references.h"

namespace Gdiplus {
class Bitmap;
}

namespace attachments {

// base\Quenlor\YYYY-MM-DD\Links
std::wstring LinkFolder(const std::wstring& base, const Date& date);

// The shortcut file of a web link for an entry's date, created on first use and reused
// afterwards. The folder lies under the project folder when it exists, otherwise under
// documentsFolder. False with a translated error (possibly empty: not a web link).
bool LinkShortcutPathIn(std::wstring_view link, const std::wstring& projectFolder, const Date& date,
                        const std::wstring& documentsFolder, std::wstring& path, std::wstring& error);
// The same with the user's Documents folder.
bool LinkShortcutPath(std::wstring_view link, const std::wstring& projectFolder, const Date& date,
                      std::wstring& path, std::wstring& error);

// Shows a folder in the shell: with `file` selected when it is not empty. The real one is
// SHOpenFolderAndSelectItems, falling back to ShellExecute "open" on the folder.
using RevealFn = std::function<bool(HWND owner, const std::wstring& folder, const std::wstring& file)>;
bool RevealInShell(HWND owner, const std::wstring& folder, const std::wstring& file);

// Opens the folder that holds a local reference (the folder itself for a folder), with
// the file selected. Web links are not opened here. reveal may be empty (the shell).
bool OpenAttachmentFolder(HWND owner, std::wstring_view reference, std::wstring& error,
                          const RevealFn& reveal = {});

// The file-open dialog for attachments; the chosen file-system paths, normalised and
// without duplicates. Empty when cancelled or when the dialog cannot be created.
std::vector<std::wstring> PickFiles(HWND owner);

// The preview box: at most 720 x 320, never enlarged, at least 1 x 1. False for an
// empty image or one of more than 100,000,000 pixels.
bool PreviewSize(unsigned width, unsigned height, unsigned& previewWidth, unsigned& previewHeight);
// Whether a reference is a local image on a drive that is not a network drive.
bool WantsPreview(std::wstring_view reference);
// The decoded, scaled preview as a premultiplied ARGB bitmap; null when the file is not
// an image WIC can decode, or too large.
std::unique_ptr<Gdiplus::Bitmap> LoadPreview(const std::wstring& path);

}  // namespace attachments
