#include "ui/kit/snapshot.h"

#include <vector>

#include "ui/kit/gdi.h"
#include "ui/kit/gdiplus_include.h"

namespace kit {
namespace {

bool PngEncoder(CLSID& clsid) {
  UINT count = 0, bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
  std::vector<BYTE> buffer(bytes);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (lstrcmpW(encoders[i].MimeType, L"image/png") == 0) {
      clsid = encoders[i].Clsid;
      return true;
    }
  }
  return false;
}

}  // namespace

bool SaveBitmapPng(HBITMAP bitmap, const std::wstring& path) {
  CLSID clsid;
  if (bitmap == nullptr || !PngEncoder(clsid)) return false;
  Gdiplus::Bitmap image(bitmap, nullptr);
  return image.Save(path.c_str(), &clsid, nullptr) == Gdiplus::Ok;
}

bool SaveWindowPng(HWND window, const std::wstring& path) {
  RECT r{};
  if (!GetWindowRect(window, &r)) return false;
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  WindowDc screen(nullptr);
  UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), w, h));
  if (!memory || !bitmap) return false;
  {
    SelectObjectScope select(memory.get(), bitmap.get());
    RECT all{0, 0, w, h};
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    FillRect(memory.get(), &all, white);
    // A window on screen is copied from the screen, children and all; PrintWindow
    // leaves the children out under Wine.
    bool copied = IsWindowVisible(window) && !IsIconic(window) &&
                  BitBlt(memory.get(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY | CAPTUREBLT);
    if (!copied && !PrintWindow(window, memory.get(), 0)) {
      SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(memory.get()),
                   PRF_CHILDREN | PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    }
  }
  return SaveBitmapPng(bitmap.get(), path);
}

}  // namespace kit
