#include "views/calendar_items.h"

#include <algorithm>

#include "i18n/translate.h"
#include "ui/kit/draw.h"

namespace calendar {
namespace {

namespace color = kit::color;

int TextWidthOfCard(const PaintContext& ctx, int width) { return std::max(ctx.S(20), width - ctx.S(28)); }

HFONT CardTextFont(const PaintContext& ctx, bool detailed) {
  return detailed ? ctx.fonts->body : ctx.fonts->small;
}

std::wstring PeriodLine(const Project& project) {
  std::wstring line = i18n::Translate(L"기간 ");
  line += dates::NumericDateText(project.EffectiveStart());
  line += L" ~ ";
  line += dates::NumericDateText(project.EffectiveEnd());
  if (!project.location.empty()) {
    line += i18n::Translate(L"   ·   위치 ");
    line += project.location;
  }
  return line;
}

}  // namespace

void PaintProjectBar(const PaintContext& ctx, const RECT& bar, const Project& project, bool hovered,
                     bool selected) {
  kit::PaletteColor colors = ProjectColors(project);
  COLORREF fill = hovered ? kit::BlendColor(colors.light, colors.main, 50) : colors.light;
  kit::FillRoundRect(ctx.dc, bar, static_cast<float>(ctx.S(4)), fill);
  RECT accent{bar.left + ctx.S(3), bar.top + ctx.S(4), bar.left + ctx.S(6), bar.bottom - ctx.S(4)};
  kit::FillRoundRect(ctx.dc, accent, static_cast<float>(ctx.S(2)), colors.main);
  if (selected) {
    kit::DrawRoundRect(ctx.dc, bar, static_cast<float>(ctx.S(4)), colors.main, static_cast<float>(ctx.S(2)));
  }
  RECT title{bar.left + ctx.S(10), bar.top, bar.right - ctx.S(4), bar.bottom};
  PaintTextLine(ctx.dc, ctx.fonts->item, project.title, title,
                project.completed ? color::kMutedText : color::kText);
}

CardContent MeasureProjectCard(const PaintContext& ctx, int width, const Project& project, const Date& date,
                               bool detailed, int maxLines) {
  CardContent content;
  int pad = ctx.S(10);
  content.height = 2 * pad + LineHeightOf(ctx, ctx.fonts->semibold);
  if (detailed) content.height += LineHeightOf(ctx, ctx.fonts->small) + ctx.S(3);
  if (maxLines >= 1) {
    std::wstring text = CardText(project, date);
    if (!text.empty()) {
      HFONT font = CardTextFont(ctx, detailed);
      int textWidth = TextWidthOfCard(ctx, width);
      content.text = FitText(text, LineHeightOf(ctx, font), maxLines, [&](std::wstring_view candidate) {
        return WrappedTextHeight(ctx.dc, font, candidate, textWidth);
      });
      content.hasText = !content.text.text.empty();
    }
  }
  if (content.hasText) content.height += content.text.height + ctx.S(6);
  return content;
}

void PaintProjectCard(const PaintContext& ctx, const RECT& card, const Project& project, bool detailed,
                      const CardContent& content, bool hovered, bool selected) {
  kit::PaletteColor colors = ProjectColors(project);
  float radius = static_cast<float>(ctx.S(8));
  kit::FillRoundRect(ctx.dc, card, radius, hovered ? kit::BlendColor(colors.light, colors.main, 45) : colors.light);
  RECT accent{card.left + ctx.S(7), card.top + ctx.S(9), card.left + ctx.S(10), card.bottom - ctx.S(9)};
  kit::FillRoundRect(ctx.dc, accent, static_cast<float>(ctx.S(2)), colors.main);
  if (selected) kit::DrawRoundRect(ctx.dc, card, radius, colors.main, static_cast<float>(ctx.S(2)));

  int textLeft = card.left + ctx.S(18);
  int textRight = textLeft + TextWidthOfCard(ctx, card.right - card.left);
  int titleHeight = LineHeightOf(ctx, ctx.fonts->semibold);
  int y = card.top + ctx.S(10);
  int titleRight = textRight;

  if (detailed) {
    const wchar_t* status = project.completed ? i18n::Translate(L"완료") : i18n::Translate(L"진행중");
    int badgeWidth = TextWidthOf(ctx.dc, ctx.fonts->small, status) + ctx.S(14);
    RECT badge{textRight - badgeWidth, y, textRight, y + titleHeight};
    kit::FillRoundRect(ctx.dc, badge, static_cast<float>(ctx.S(9)), color::kWhite);
    PaintTextLine(ctx.dc, ctx.fonts->small, status, badge, project.completed ? color::kMutedText : colors.main,
                  DT_CENTER);
    titleRight = badge.left - ctx.S(8);
  }

  PaintTextLine(ctx.dc, ctx.fonts->semibold, project.title, RECT{textLeft, y, titleRight, y + titleHeight},
                project.completed ? color::kMutedText : color::kText);
  y += titleHeight;

  if (detailed) {
    y += ctx.S(3);
    int smallHeight = LineHeightOf(ctx, ctx.fonts->small);
    PaintTextLine(ctx.dc, ctx.fonts->small, PeriodLine(project), RECT{textLeft, y, textRight, y + smallHeight},
                  color::kMutedText);
    y += smallHeight;
  }

  if (content.hasText) {
    y += ctx.S(6);
    PaintText(ctx.dc, CardTextFont(ctx, detailed), content.text.text,
              RECT{textLeft, y, textRight, y + content.text.height}, detailed ? color::kText : color::kMutedText,
              DT_WORDBREAK | DT_EDITCONTROL);
  }
}

}  // namespace calendar
