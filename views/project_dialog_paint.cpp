// Painting of the project dialog and of its own owner-drawn controls.
#include <algorithm>

#include "i18n/translate.h"
#include "ui/kit/buttons.h"
#include "ui/kit/colors.h"
#include "ui/kit/draw.h"
#include "ui/kit/gdi.h"
#include "ui/kit/scale.h"
#include "views/project_dialog_logic.h"
#include "views/project_dialog_state.h"

namespace projectdlg {
namespace {

using kit::Rgb;
using kit::Scale;
namespace color = kit::color;

struct CategoryLook {
  const wchar_t* name;
  COLORREF dot;
  COLORREF background;
  COLORREF text;
};

const CategoryLook kCategories[3] = {
    {I18N_KEY(L"개인프로젝트"), Rgb(0x66BE98), Rgb(0xE2F5EC), Rgb(0x348060)},
    {I18N_KEY(L"내부프로젝트"), Rgb(0x7A8AE6), Rgb(0xECEFFD), Rgb(0x5462BE)},
    {I18N_KEY(L"외부프로젝트"), Rgb(0xE89660), Rgb(0xFDEEE2), Rgb(0xB06030)},
};

const wchar_t* const kLabelTexts[kLabelCount] = {
    I18N_KEY(L"제목"),   I18N_KEY(L"프로젝트 위치"), I18N_KEY(L"구분"), I18N_KEY(L"마킹 색상 (프로젝트별)"),
    I18N_KEY(L"시작일"), I18N_KEY(L"종료일 (선택)"), I18N_KEY(L"상태"),
};

void Text(HDC dc, HFONT font, COLORREF ink, const std::wstring& text, RECT r, UINT format) {
  kit::SelectObjectScope select(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ink);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_NOPREFIX | DT_SINGLELINE);
}

float F(int n, int dpi) { return static_cast<float>(Scale(n, dpi)); }

void PaintHeaderChips(const DialogState& state, HDC dc, int& chipLeft) {
  const kit::FontSet& f = state.fonts.get();
  const int dpi = state.dpi();
  const int m = Scale(24, dpi);
  RECT client{};
  GetClientRect(state.window(), &client);
  int right = client.right - m;
  const int top = Scale(24, dpi), bottom = Scale(52, dpi);
  if (!state.isNew) {
    std::wstring status = i18n::Translate(state.completed ? L"완료" : L"진행중");
    int w = kit::TextWidth(dc, f.semibold, status) + Scale(24, dpi);
    RECT badge{right - w, top, right, bottom};
    kit::PaletteColor palette = kit::ProjectColor(state.colorIndex);
    COLORREF fill = state.completed ? Rgb(0xEFF0F4) : palette.light;
    COLORREF ink = state.completed ? color::kMutedText : kit::BlendColor(palette.main, color::kText, 90);
    kit::FillRoundRect(dc, badge, F(14, dpi), fill);
    Text(dc, f.semibold, ink, status, badge, DT_CENTER | DT_VCENTER);
    right = badge.left - Scale(8, dpi);
  }
  const CategoryLook& look = kCategories[ClampCategory(state.category)];
  std::wstring name = i18n::Translate(look.name);
  int w = kit::TextWidth(dc, f.semibold, name) + Scale(36, dpi);
  RECT chip{right - w, top, right, bottom};
  kit::FillRoundRect(dc, chip, F(14, dpi), look.background);
  kit::FillCircle(dc, static_cast<float>(chip.left + Scale(14, dpi)), (top + bottom) / 2.0f, F(4, dpi), look.dot);
  RECT label{chip.left + Scale(22, dpi), top, chip.right - Scale(8, dpi), bottom};
  Text(dc, f.semibold, look.text, name, label, DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
  chipLeft = chip.left;
}

void PaintField(const DialogState& state, HDC dc, const RECT& box, int editId) {
  const int dpi = state.dpi();
  bool focused = GetFocus() == state.child(editId);
  kit::FillRoundRect(dc, box, F(8, dpi), color::kWhite);
  kit::DrawRoundRect(dc, box, F(8, dpi), focused ? color::kAccent : color::kControlBorder, focused ? 1.5f : 1.0f);
}

// A memory bitmap for one owner-drawn item on the window background.
class ItemCanvas {
 public:
  explicit ItemCanvas(const DRAWITEMSTRUCT& item)
      : item_(item), w_(item.rcItem.right - item.rcItem.left), h_(item.rcItem.bottom - item.rcItem.top),
        memory_(CreateCompatibleDC(item.hDC)), bitmap_(CreateCompatibleBitmap(item.hDC, std::max(1, w_), std::max(1, h_))),
        select_(memory_.get(), bitmap_.get()) {
    kit::FillSolidRect(memory_.get(), RECT{0, 0, w_, h_}, color::kWindow);
  }
  ~ItemCanvas() { BitBlt(item_.hDC, item_.rcItem.left, item_.rcItem.top, w_, h_, memory_.get(), 0, 0, SRCCOPY); }
  ItemCanvas(const ItemCanvas&) = delete;
  ItemCanvas& operator=(const ItemCanvas&) = delete;

  HDC dc() const { return memory_.get(); }
  int width() const { return w_; }
  int height() const { return h_; }

 private:
  const DRAWITEMSTRUCT& item_;
  int w_, h_;
  kit::UniqueMemoryDc memory_;
  kit::UniqueBitmap bitmap_;
  kit::SelectObjectScope select_;
};

void DrawCompleted(const DialogState& state, const DRAWITEMSTRUCT& item) {
  ItemCanvas canvas(item);
  HDC dc = canvas.dc();
  const int dpi = state.dpi();
  bool hot = kit::KitButtonHot(item.hwndItem);
  bool focused = (item.itemState & ODS_FOCUS) != 0;
  int size = Scale(20, dpi);
  int top = (canvas.height() - size) / 2;
  RECT box{Scale(4, dpi), top, Scale(4, dpi) + size, top + size};
  if (state.completed) {
    kit::FillRoundRect(dc, box, F(5, dpi), hot ? color::kAccentPressed : color::kAccent);
    kit::DrawCheck(dc, (box.left + box.right) / 2.0f, (box.top + box.bottom) / 2.0f, F(10, dpi), color::kWhite,
                   2.0f * dpi / 96.0f);
  } else {
    kit::FillRoundRect(dc, box, F(5, dpi), color::kWhite);
    kit::DrawRoundRect(dc, box, F(5, dpi), hot ? color::kAccent : color::kControlBorder, 1.5f * dpi / 96.0f);
  }
  if (focused) {
    RECT ring = box;
    InflateRect(&ring, Scale(3, dpi) + 1, Scale(3, dpi) + 1);
    kit::DrawRoundRect(dc, ring, F(7, dpi), kit::BlendColor(color::kAccent, color::kWindow, 120), 1.5f * dpi / 96.0f);
  }
  RECT label{box.right + Scale(10, dpi), 0, canvas.width(), canvas.height()};
  Text(dc, state.fonts->body, state.completed ? color::kText : color::kMutedText, i18n::Translate(L"완료된 프로젝트"),
       label, DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
}

void DrawCategory(const DialogState& state, const DRAWITEMSTRUCT& item, int index) {
  ItemCanvas canvas(item);
  HDC dc = canvas.dc();
  const int dpi = state.dpi();
  const CategoryLook& look = kCategories[index];
  bool selected = state.category == index;
  bool hot = kit::KitButtonHot(item.hwndItem);
  bool focused = (item.itemState & ODS_FOCUS) != 0;
  RECT r{1, 1, canvas.width() - 1, canvas.height() - 1};
  kit::FillRoundRect(dc, r, F(8, dpi), selected ? look.background : hot ? color::kHoverFill : color::kWhite);
  if (selected) {
    kit::DrawRoundRect(dc, r, F(8, dpi), look.dot, 1.5f * dpi / 96.0f);
  } else if (focused) {
    kit::DrawRoundRect(dc, r, F(8, dpi), color::kAccent, 1.5f * dpi / 96.0f);
  } else {
    kit::DrawRoundRect(dc, r, F(8, dpi), color::kControlBorder, 1.0f);
  }
  HFONT font = selected ? state.fonts->semibold : state.fonts->body;
  std::wstring name = i18n::Translate(look.name);
  int textWidth = kit::TextWidth(dc, font, name);
  int group = Scale(8, dpi) + Scale(8, dpi) + textWidth;
  int left = std::max(Scale(8, dpi), (canvas.width() - group) / 2);
  float cy = canvas.height() / 2.0f;
  kit::FillCircle(dc, static_cast<float>(left + Scale(4, dpi)), cy, F(4, dpi),
                  selected ? look.dot : kit::BlendColor(look.dot, color::kWhite, 90));
  RECT label{left + Scale(16, dpi), 0, canvas.width() - Scale(4, dpi), canvas.height()};
  Text(dc, font, selected ? look.text : color::kMutedText, name, label, DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
}

void DrawSwatch(const DialogState& state, const DRAWITEMSTRUCT& item, int index) {
  ItemCanvas canvas(item);
  HDC dc = canvas.dc();
  const int dpi = state.dpi();
  kit::PaletteColor palette = kit::ProjectColor(index);
  bool selected = state.colorIndex == index;
  bool focused = (item.itemState & ODS_FOCUS) != 0;
  bool hot = kit::KitButtonHot(item.hwndItem);
  float cx = canvas.width() / 2.0f, cy = canvas.height() / 2.0f;
  float r = std::min(canvas.width(), canvas.height()) / 2.0f;
  float outer = r - 1;
  float disc;
  if (selected || focused) {
    RECT ring{static_cast<int>(cx - outer), static_cast<int>(cy - outer), static_cast<int>(cx + outer + 0.5f),
              static_cast<int>(cy + outer + 0.5f)};
    kit::DrawRoundRect(dc, ring, outer, selected ? palette.main : color::kAccent, 1.5f * dpi / 96.0f);
    disc = outer - F(4, dpi);
  } else if (hot) {
    kit::FillCircle(dc, cx, cy, outer, color::kHoverFill);
    disc = outer - F(2, dpi);
  } else {
    disc = outer - F(2, dpi);
  }
  disc = std::max(disc, 2.0f);
  kit::FillCircle(dc, cx, cy, disc, palette.main);
  if (selected) kit::DrawCheck(dc, cx, cy, std::max(F(6, dpi), disc), color::kWhite, 2.0f * dpi / 96.0f);
}

}  // namespace

void PaintDialog(const DialogState& state, HDC dc, const RECT& client) {
  const kit::FontSet& f = state.fonts.get();
  const DialogLayout& l = state.layout;
  const int dpi = state.dpi();
  const int m = Scale(24, dpi);
  kit::FillSolidRect(dc, client, color::kWindow);
  RECT header{0, 0, client.right, Scale(76, dpi)};
  kit::FillSolidRect(dc, header, color::kWhite);
  kit::DrawSeparator(dc, 0, client.right, header.bottom - 1);

  int chipLeft = client.right - m;
  PaintHeaderChips(state, dc, chipLeft);
  RECT heading{m, Scale(14, dpi), chipLeft - Scale(12, dpi), Scale(44, dpi)};
  Text(dc, f.title, color::kText, i18n::Translate(state.isNew ? L"새 프로젝트 등록" : L"프로젝트 관리"), heading,
       DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
  RECT subtitle{m, Scale(44, dpi), chipLeft - Scale(12, dpi), Scale(66, dpi)};
  Text(dc, f.small, color::kMutedText, SubtitleText(state.project, state.isNew, state.defaultDate), subtitle,
       DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);

  for (int i = 0; i < kLabelCount; ++i) {
    Text(dc, f.small, color::kMutedText, i18n::Translate(kLabelTexts[i]), l.labels[i],
         DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
  }
  PaintField(state, dc, l.titleBox, kTitleId);
  PaintField(state, dc, l.locationBox, kLocationId);
  Text(dc, f.bold, color::kText, i18n::Translate(L"내용"), l.entriesLabel, DT_LEFT | DT_VCENTER);

  const RECT& frame = l.entriesFrame;
  kit::DrawSeparator(dc, frame.left, frame.right, frame.top);
  kit::DrawSeparator(dc, frame.left, frame.right, frame.bottom - 1);
  RECT leftEdge{frame.left, frame.top, frame.left + 1, frame.bottom};
  RECT rightEdge{frame.right - 1, frame.top, frame.right, frame.bottom};
  kit::FillSolidRect(dc, leftEdge, color::kLine);
  kit::FillSolidRect(dc, rightEdge, color::kLine);

  kit::FillSolidRect(dc, l.footer, color::kWhite);
  kit::DrawSeparator(dc, 0, client.right, l.footer.top);
}

bool DrawDialogItem(const DialogState& state, const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_BUTTON) return false;
  int id = static_cast<int>(item.CtlID);
  if (id == kCompletedId) {
    DrawCompleted(state, item);
    return true;
  }
  if (id >= kFirstCategoryId && id < kFirstCategoryId + 3) {
    DrawCategory(state, item, id - kFirstCategoryId);
    return true;
  }
  if (id >= kFirstSwatchId && id < kFirstSwatchId + kPaletteSize) {
    DrawSwatch(state, item, id - kFirstSwatchId);
    return true;
  }
  return false;
}

}  // namespace projectdlg
