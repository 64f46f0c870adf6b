// The two shapes a project takes on the calendar: the bar of the month view and the
// card of the week and day views.
#pragma once

#include <windows.h>

#include <string>

#include "model/project.h"
#include "views/calendar_draw.h"
#include "views/calendar_text.h"

namespace calendar {

void PaintProjectBar(const PaintContext& ctx, const RECT& bar, const Project& project, bool hovered,
                     bool selected);

// A card measured once and then drawn, so that fitting its text is not done twice.
struct CardContent {
  FittedText text;
  bool hasText = false;
  int height = 0;
};

CardContent MeasureProjectCard(const PaintContext& ctx, int width, const Project& project, const Date& date,
                               bool detailed, int maxLines);
void PaintProjectCard(const PaintContext& ctx, const RECT& card, const Project& project, bool detailed,
                      const CardContent& content, bool hovered, bool selected);

}  // namespace calendar
