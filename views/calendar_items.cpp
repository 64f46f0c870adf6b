#include "views/calendar_items.h"

#include <algorithm>

#include "i18n/translate.h"
#include "ui/kit/draw.h"

namespace calendar {
namespace {

namespace color = kit::color;

// Sizes at 96 DPI. A bar is a project's line in a month cell; a card its block in the
// week and day views, measured and painted with the same numbers.
constexpr int kBarRadius = 4;
constexpr int kBarAccentLeft = 3;
constexpr int kBarAccentRight = 6;
constexpr int kBarAccentInsetY = 4;
constexpr int kBarTextLeft = 10;
constexpr int kBarTextRight = 4;
constexpr int kAccentRadius = 2;
constexpr int kSelectionStroke = 2;
constexpr int kCardRadius = 8;
constexpr int kCardPadding = 10;
constexpr int kCardAccentLeft = 7;
constexpr int kCardAccentRight = 10;
constexpr int kCardAccentInsetY = 9;
constexpr int kCardTextLeft = 18;
constexpr int kCardTextChrome = 28;   // the card's width minus its text's
constexpr int kMinCardTextWidth = 20;
constexpr int kCardDetailGap = 3;     // title to period line
constexpr int kCardTextGap = 6;       // to the entry text
constexpr int kBadgePadding = 14;
constexpr int kBadgeRadius = 9;
constexpr int kBadgeGap = 8;

int TextWidthOfCard(const PaintContext& ctx, int width) {
  return std::max(ctx.S(kMinCardTextWidth), width - ctx.S(kCardTextChrome));
}

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
  kit::FillRoundRect(ctx.dc, bar, static_cast<float>(ctx.S(kBarRadius)), fill);
  RECT accent{bar.left + ctx.S(kBarAccentLeft), bar.top + ctx.S(kBarAccentInsetY), bar.left + ctx.S(kBarAccentRight),
              bar.bottom - ctx.S(kBarAccentInsetY)};
  kit::FillRoundRect(ctx.dc, accent, static_cast<float>(ctx.S(kAccentRadius)), colors.main);
  if (selected) {
    kit::DrawRoundRect(ctx.dc, bar, static_cast<float>(ctx.S(kBarRadius)), colors.main,
                       static_cast<float>(ctx.S(kSelectionStroke)));
  }
  RECT title{bar.left + ctx.S(kBarTextLeft), bar.top, bar.right - ctx.S(kBarTextRight), bar.bottom};
  PaintTextLine(ctx.dc, ctx.fonts->item, project.title, title,
                project.completed ? color::kMutedText : color::kText);
}

CardContent MeasureProjectCard(const PaintContext& ctx, int width, const Project& project, const Date& date,
                               bool detailed, int maxLines) {
  CardContent content;
  int pad = ctx.S(kCardPadding);
  content.height = 2 * pad + LineHeightOf(ctx, ctx.fonts->semibold);
  if (detailed) content.height += LineHeightOf(ctx, ctx.fonts->small) + ctx.S(kCardDetailGap);
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
  if (content.hasText) content.height += content.text.height + ctx.S(kCardTextGap);
  return content;
}

void PaintProjectCard(const PaintContext& ctx, const RECT& card, const Project& project, bool detailed,
                      const CardContent& content, bool hovered, bool selected) {
  kit::PaletteColor colors = ProjectColors(project);
  float radius = static_cast<float>(ctx.S(kCardRadius));
  kit::FillRoundRect(ctx.dc, card, radius, hovered ? kit::BlendColor(colors.light, colors.main, 45) : colors.light);
  RECT accent{card.left + ctx.S(kCardAccentLeft), card.top + ctx.S(kCardAccentInsetY),
              card.left + ctx.S(kCardAccentRight), card.bottom - ctx.S(kCardAccentInsetY)};
  kit::FillRoundRect(ctx.dc, accent, static_cast<float>(ctx.S(kAccentRadius)), colors.main);
  if (selected) kit::DrawRoundRect(ctx.dc, card, radius, colors.main, static_cast<float>(ctx.S(kSelectionStroke)));

  int textLeft = card.left + ctx.S(kCardTextLeft);
  int textRight = textLeft + TextWidthOfCard(ctx, card.right - card.left);
  int titleHeight = LineHeightOf(ctx, ctx.fonts->semibold);
  int y = card.top + ctx.S(kCardPadding);
  int titleRight = textRight;

  if (detailed) {
    const wchar_t* status = project.completed ? i18n::Translate(L"완료") : i18n::Translate(L"진행중");
    int badgeWidth = TextWidthOf(ctx.dc, ctx.fonts->small, status) + ctx.S(kBadgePadding);
    RECT badge{textRight - badgeWidth, y, textRight, y + titleHeight};
    kit::FillRoundRect(ctx.dc, badge, static_cast<float>(ctx.S(kBadgeRadius)), color::kWhite);
    PaintTextLine(ctx.dc, ctx.fonts->small, status, badge, project.completed ? color::kMutedText : colors.main,
                  DT_CENTER);
    titleRight = badge.left - ctx.S(kBadgeGap);
  }

  PaintTextLine(ctx.dc, ctx.fonts->semibold, project.title, RECT{textLeft, y, titleRight, y + titleHeight},
                project.completed ? color::kMutedText : color::kText);
  y += titleHeight;

  if (detailed) {
    y += ctx.S(kCardDetailGap);
    int smallHeight = LineHeightOf(ctx, ctx.fonts->small);
    PaintTextLine(ctx.dc, ctx.fonts->small, PeriodLine(project), RECT{textLeft, y, textRight, y + smallHeight},
                  color::kMutedText);
    y += smallHeight;
  }

  if (content.hasText) {
    y += ctx.S(kCardTextGap);
    PaintText(ctx.dc, CardTextFont(ctx, detailed), content.text.text,
              RECT{textLeft, y, textRight, y + content.text.height}, detailed ? color::kText : color::kMutedText,
              DT_WORDBREAK | DT_EDITCONTROL);
  }
}

}  // namespace calendar
