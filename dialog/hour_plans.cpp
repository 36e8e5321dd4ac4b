#include "dialog/hour_plans.h"

#include "common/trace.h"
#include "dialog/control_states.h"
#include "settings/broadcast_config.h"

bool StoreSensorPlanChoice(int id, int code) {
  for (const HourRow& row : kHourRows) {
    if (row.combo[0] != id) continue;
    // Any other notification of a plan combo stores nothing.
    if (code == CBN_SELCHANGE) Config.type[PlanEntry(0, row.hour)] = FieldFromIndex(SelectionOf(id));
    return true;
  }
  return false;
}

int StoreTimedPlanChoice(WPARAM wParam) {
  if (HIWORD(wParam) != CBN_SELCHANGE) return 0;
  int id = LOWORD(wParam);
  for (int hour = 0; hour < kHoursPerPlan; ++hour) {
    if (wIDList_ComboTMPA[hour] == id) {
      long lIndex = SelectionOf(kHourRows[hour].combo[1]);
      Config.type[PlanEntry(1, hour)] = FieldFromIndex(lIndex);
      Trace("wIDList_ComboTMPA patch - %d, lIndex = %d.\n", hour, static_cast<int>(lIndex));
      return 1;
    }
    if (wIDList_ComboTMPB[hour] == id) {
      long lIndex = SelectionOf(kHourRows[hour].combo[2]);
      Config.type[PlanEntry(2, hour)] = FieldFromIndex(lIndex);
      Trace("wIDList_ComboTMPB patch - %d, lIndex = %d.\n", hour, static_cast<int>(lIndex));
      return 1;
    }
  }
  return 0;
}
