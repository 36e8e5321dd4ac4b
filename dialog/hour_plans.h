// The three hour-plan grids of the plan tab: one combo per hour and plan,
// each bound to its entry of the record's `type`.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "dialog/control_tables.h"

// Control ids of the schedule A and schedule B combos, in hour order.
constexpr std::array<uint16_t, kHoursPerPlan> MakePlanIdList(int plan) {
  std::array<uint16_t, kHoursPerPlan> ids{};
  for (int hour = 0; hour < kHoursPerPlan; ++hour)
    ids[hour] = static_cast<uint16_t>(kHourRows[hour].combo[plan]);
  return ids;
}
constexpr std::array<uint16_t, kHoursPerPlan> wIDList_ComboTMPA = MakePlanIdList(1);
constexpr std::array<uint16_t, kHoursPerPlan> wIDList_ComboTMPB = MakePlanIdList(2);

// A selection change in a sensor plan combo (a command of id with code):
// stores it and returns true; false for any other command.
bool StoreSensorPlanChoice(int id, int code);

// A selection change in a schedule A or B combo (the command's wParam):
// stores it, traces it and returns 1; 0 for any other command.
int StoreTimedPlanChoice(WPARAM wParam);
