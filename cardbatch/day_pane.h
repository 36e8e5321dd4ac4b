// The golden card's day at a glance, drawn in the window's golden-card pane
// (an owner-drawn static) with GDI, at the window's DPI: the description
// (cardcheck/day_picture.h) says every cell, caption, colour, greyed row and
// mark; this only draws it. Windows only.
#pragma once

#include <windows.h>

#include "cardcheck/day_picture.h"

// Draws day into the item's rectangle with the control's font; nothing but
// the background when there is no picture.
void DrawDayPicture(const DRAWITEMSTRUCT& item, const DayPicture& day);
