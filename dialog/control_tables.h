// The dialog's controls as tables, in the orders the code walks them: hour
// order for the plan grids, sound-kind order for the per-kind copy rows. What
// the pages stand for is in settings/playback_pages.h.
#pragma once

#include <array>

#include "dialog/control_ids.h"
#include "settings/broadcast_config.h"
#include "settings/playback_pages.h"

// The copy tab's captions in page order: the tab's items and the pages'
// names in the status line.
constexpr std::array<const char*, kCopyPageCount> kCopyPageCaptions = EachCopyPage(&CopyPageInfo::caption);

struct HourRow {
  int hour;
  int label;
  std::array<int, kPlanCount> combo;  // by plan page: sensor, schedule A, schedule B
};

#define BCT_HOUR_ROW_ENTRY(hour, label, sensor, a, b) {hour, label, {{sensor, a, b}}},
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
