// A card's day at a glance: one picture of its settings, three rows
// (感应播放, 定时播放A, 定时播放B) of 24 hour cells, each with its kind's
// caption and colour; a row the settings do not use greyed with the reason;
// an hour whose kind has no usable file on the card marked; beside it the
// values that are days, intervals, the volume and the delay, as the
// settings give them. The picture says nothing the settings do not say.
// This is its description, computed once; the window draws it with GDI and
// the HTML pages write it out, each a thin rendering of the same cells.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cardcheck/card_model.h"
#include "cardcheck/day_colours.h"
#include "settings/broadcast_config.h"

struct DayCell {
  int hour = 0;
  int kind = 0;          // the plan's value, as the settings hold it
  bool known = false;    // it names a sound kind
  std::string caption;   // the kind's caption, or "12 (无此种类)" (KindCaption)
  DayColour colour;      // the kind's (kNoKindColour for none)
  int files = -1;        // usable files of the kind's folder on the card; -1 where the row is not in use
  bool noFiles = false;  // in use, and nothing to play: marked (hatched, kTextDayNoFiles)
};

struct DayRow {
  std::string title;   // the plan's caption: "感应播放"
  bool inUse = false;  // the settings play this row's hours as it says
  std::string reason;  // why not, in the settings' own words: "随机播放: 不按小时"
  std::array<DayCell, kHoursPerPlan> cells;
};

// A value beside the rows: its caption and its text, as cardcheck words it
// ("A播放天数", "28 天").
struct DayValue {
  std::string caption;
  std::string text;
};

struct DayPicture {
  bool drawn = false;  // the settings were read: without them there is no picture
  std::array<DayRow, kPlanCount> rows;
  std::vector<DayValue> values;
};

// The picture of the card report describes (its settings and the files it
// found in each kind's folder).
DayPicture DescribeDay(const CardReport& report);
