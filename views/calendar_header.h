// The calendar's header bar: navigation, period title, view switch and date lookup.
#pragma once

#include <windows.h>

#include "ui/kit/fonts.h"
#include "views/calendar_draw.h"
#include "views/calendar_layout.h"
#include "views/calendar_state.h"

namespace calendar {

HeaderTextWidths MeasureHeaderTexts(HDC dc, const kit::FontSet& fonts);
void PaintHeader(const PaintContext& ctx, const CalendarView& view, int width);

}  // namespace calendar
