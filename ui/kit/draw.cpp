#include "ui/kit/draw.h"

#include "ui/kit/colors.h"
#include "ui/kit/gdi.h"
#include "ui/kit/gdiplus_include.h"

namespace kit {
namespace {

Gdiplus::Color ToGdiplus(COLORREF c) { return Gdiplus::Color(255, GetRValue(c), GetGValue(c), GetBValue(c)); }

void AddRoundRectPath(Gdiplus::GraphicsPath& path, const RECT& rect, float radius) {
  float x = static_cast<float>(rect.left), y = static_cast<float>(rect.top);
  float w = static_cast<float>(rect.right - rect.left), h = static_cast<float>(rect.bottom - rect.top);
  float r = EffectiveRadius(rect, radius);
  if (r <= 0) {
    path.AddRectangle(Gdiplus::RectF(x, y, w, h));
    return;
  }
  float d = r * 2;
  path.AddArc(x, y, d, d, 180, 90);
  path.AddArc(x + w - d, y, d, d, 270, 90);
  path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
  path.AddArc(x, y + h - d, d, d, 90, 90);
  path.CloseFigure();
}

void StrokeLines(HDC dc, const Gdiplus::PointF* points, int count, COLORREF color, float penWidth, bool roundJoin) {
  Gdiplus::Graphics g(dc);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  Gdiplus::Pen pen(ToGdiplus(color), penWidth);
  pen.SetStartCap(Gdiplus::LineCapRound);
  pen.SetEndCap(Gdiplus::LineCapRound);
  if (roundJoin) pen.SetLineJoin(Gdiplus::LineJoinRound);
  g.DrawLines(&pen, points, count);
}

}  // namespace

float EffectiveRadius(const RECT& rect, float radius) {
  float w = static_cast<float>(rect.right - rect.left), h = static_cast<float>(rect.bottom - rect.top);
  float limit = (w < h ? w : h) / 2;
  float r = radius < limit ? radius : limit;
  return r <= 0.5f ? 0.0f : r;
}

RECT OutlineRect(const RECT& rect, float penWidth) {
  int inset = static_cast<int>(penWidth * 0.5f + 0.5f);
  RECT r = rect;
  InflateRect(&r, -inset, -inset);
  // A stroke wider than what is left would paint over the whole shape: draw nothing.
  int pen = static_cast<int>(penWidth + 0.5f);
  if (r.right - r.left < pen || r.bottom - r.top < pen || r.right <= r.left || r.bottom <= r.top) return RECT{};
  return r;
}

void FillRoundRect(HDC dc, const RECT& rect, float radius, COLORREF color) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  Gdiplus::Graphics g(dc);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  Gdiplus::GraphicsPath path;
  AddRoundRectPath(path, rect, radius);
  Gdiplus::SolidBrush brush(ToGdiplus(color));
  g.FillPath(&brush, &path);
}

void DrawRoundRect(HDC dc, const RECT& rect, float radius, COLORREF color, float penWidth) {
  RECT r = OutlineRect(rect, penWidth);
  if (r.right <= r.left || r.bottom <= r.top) return;
  Gdiplus::Graphics g(dc);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  Gdiplus::GraphicsPath path;
  AddRoundRectPath(path, r, radius);
  Gdiplus::Pen pen(ToGdiplus(color), penWidth);
  g.DrawPath(&pen, &path);
}

void FillCircle(HDC dc, float cx, float cy, float r, COLORREF color) {
  Gdiplus::Graphics g(dc);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  Gdiplus::SolidBrush brush(ToGdiplus(color));
  g.FillEllipse(&brush, cx - r, cy - r, 2 * r, 2 * r);
}

void DrawChevron(HDC dc, float cx, float cy, float size, int direction, COLORREF color, float penWidth) {
  float a = size / 4, b = size / 2;
  Gdiplus::PointF p[3];
  switch (direction) {
    case kChevronDown: p[0] = {cx - b, cy - a}; p[1] = {cx, cy + a}; p[2] = {cx + b, cy - a}; break;
    case kChevronLeft: p[0] = {cx + a, cy - b}; p[1] = {cx - a, cy}; p[2] = {cx + a, cy + b}; break;
    case kChevronUp: p[0] = {cx - b, cy + a}; p[1] = {cx, cy - a}; p[2] = {cx + b, cy + a}; break;
    default: p[0] = {cx - a, cy - b}; p[1] = {cx + a, cy}; p[2] = {cx - a, cy + b}; break;
  }
  StrokeLines(dc, p, 3, color, penWidth, true);
}

void DrawCross(HDC dc, float cx, float cy, float size, COLORREF color, float penWidth) {
  float h = size / 2;
  Gdiplus::PointF first[2] = {{cx - h, cy - h}, {cx + h, cy + h}};
  Gdiplus::PointF second[2] = {{cx - h, cy + h}, {cx + h, cy - h}};
  StrokeLines(dc, first, 2, color, penWidth, false);
  StrokeLines(dc, second, 2, color, penWidth, false);
}

void DrawCheck(HDC dc, float cx, float cy, float size, COLORREF color, float penWidth) {
  Gdiplus::PointF p[3] = {{cx - size / 2, cy}, {cx - size / 6, cy + 0.33f * size}, {cx + size / 2, cy - 0.3f * size}};
  StrokeLines(dc, p, 3, color, penWidth, true);
}

void DrawSeparator(HDC dc, int x1, int x2, int y) { FillSolidRect(dc, RECT{x1, y, x2, y + 1}, color::kLine); }

void FillSolidRect(HDC dc, const RECT& rect, COLORREF color) {
  COLORREF old = SetBkColor(dc, color);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

int LineHeight(HDC dc, HFONT font) {
  SelectObjectScope select(dc, font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  return tm.tmHeight;
}

int TextWidth(HDC dc, HFONT font, std::wstring_view text) {
  if (text.empty()) return 0;
  SelectObjectScope select(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

DoubleBufferedPaint::DoubleBufferedPaint(HWND window) : paint_(window) {
  GetClientRect(window, &client_);
  int w = client_.right - client_.left, h = client_.bottom - client_.top;
  if (w <= 0 || h <= 0) return;
  memory_.reset(CreateCompatibleDC(paint_.dc()));
  if (memory_) bitmap_.reset(CreateCompatibleBitmap(paint_.dc(), w, h));
  if (bitmap_) selected_.emplace(memory_.get(), bitmap_.get());
}

DoubleBufferedPaint::~DoubleBufferedPaint() {
  if (!bitmap_) return;
  const RECT& r = paint_.paintRect();
  BitBlt(paint_.dc(), r.left, r.top, r.right - r.left, r.bottom - r.top, memory_.get(), r.left, r.top, SRCCOPY);
}

}  // namespace kit
