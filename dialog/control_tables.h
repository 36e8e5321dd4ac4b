// The dialog's controls as tables, in the orders the code walks them: hour
// order for the plan grids, sound-kind order for the per-kind copy rows.
#pragma once

#include <array>

#include "dialog/control_ids.h"
#include "settings/broadcast_config.h"

constexpr int kCopyPageCount = 6;
constexpr int kRandomPageCount = 3;  // copy pages 0..2: one random source row
constexpr int kFirstKindPage = 3;    // copy pages 3..5: one row per sound kind

constexpr std::array<const char*, kCopyPageCount> kCopyPageCaptions = {
    {"感应随机", "定时随机A", "定时随机B", "感应据时", "定时据时A", "定时据时B"}};

struct HourRow {
  int hour;
  const char* caption;
  int label;
  std::array<int, kPlanCount> combo;  // by plan page: sensor, schedule A, schedule B
};

#define BCT_HOUR_ROW_ENTRY(hour, caption, label, sensor, a, b) {hour, caption, label, {{sensor, a, b}}},
constexpr std::array<HourRow, kHoursPerPlan> kHourRows = {{BCT_HOUR_ROWS(BCT_HOUR_ROW_ENTRY)}};
#undef BCT_HOUR_ROW_ENTRY

struct SourceRow {
  int label;
  int button;
  int check;
};

// kKindRows[page - kFirstKindPage][kind]
#define BCT_KIND_ROW_PAGE3(kind, l3, b3, c3, l4, b4, c4, l5, b5, c5) {l3, b3, c3},
#define BCT_KIND_ROW_PAGE4(kind, l3, b3, c3, l4, b4, c4, l5, b5, c5) {l4, b4, c4},
#define BCT_KIND_ROW_PAGE5(kind, l3, b3, c3, l4, b4, c4, l5, b5, c5) {l5, b5, c5},
constexpr std::array<std::array<SourceRow, kSoundKindCount>, kCopyPageCount - kFirstKindPage> kKindRows = {{
    {{BCT_KIND_ROWS(BCT_KIND_ROW_PAGE3)}},
    {{BCT_KIND_ROWS(BCT_KIND_ROW_PAGE4)}},
    {{BCT_KIND_ROWS(BCT_KIND_ROW_PAGE5)}},
}};
#undef BCT_KIND_ROW_PAGE3
#undef BCT_KIND_ROW_PAGE4
#undef BCT_KIND_ROW_PAGE5

// The random source rows of copy pages 0, 1 and 2.
constexpr std::array<SourceRow, kRandomPageCount> kRandomRows = {{
    {IDC_LABEL_PAGE0_RANDOM, IDC_BTN_PAGE0_RANDOM, IDC_CHK_PAGE0_RANDOM},
    {IDC_LABEL_PAGE1_RANDOM, IDC_BTN_PAGE1_RANDOM, IDC_CHK_PAGE1_RANDOM},
    {IDC_LABEL_PAGE2_RANDOM, IDC_BTN_PAGE2_RANDOM, IDC_CHK_PAGE2_RANDOM},
}};
