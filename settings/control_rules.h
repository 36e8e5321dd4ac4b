// When the dialog's controls are usable: the conditions of the enable and
// visibility rules, as plain functions of the record and the two tab pages.
// Some tests are "= 1" and some "!= 0" on purpose: a stored Ena of 2 (only
// possible from a file) locks the settings but not a plan grid. What differs
// per page (the mode field and value, whether the page is timed) comes from
// the page table; the tests of Ena and TimerMod stay written in each rule.
#pragma once

#include "settings/broadcast_config.h"
#include "settings/playback_pages.h"

// Plan grid g (0 sensor, 1 schedule A, 2 schedule B) is shown on its page only.
constexpr bool PlanGridVisible(int grid, int planPage) { return grid == planPage; }

// A shown grid is editable only while its plan is in use; a hidden one never.
constexpr bool PlanGridEnabled(int grid, int planPage, const BroadcastConfig& c) {
  if (grid != planPage || grid < 0 || grid >= kPlanCount || c.Ena == 0) return false;
  const CopyPageInfo& page = kCopyPages[kPlanPages[grid].copyPage];
  return (!page.timed || c.TimerMod != 0) && ModeChoosesPage(page, c);
}

// Volume, sensor mode, timer mode, delay, pause-days label and combo.
constexpr bool SettingsControlsEnabled(const BroadcastConfig& c) { return c.Ena == 1; }

// Schedule A/B kind combos and the two play-days combos.
constexpr bool ScheduleControlsEnabled(const BroadcastConfig& c) { return c.Ena == 1 && c.TimerMod != 0; }

// Label and browse button of the random source row of copy page 0, 1 or 2,
// whatever page is shown.
constexpr bool RandomRowEnabled(int page, const BroadcastConfig& c) {
  if (c.Ena != 1 || page < 0 || page >= kRandomPageCount) return false;
  return (!kCopyPages[page].timed || c.TimerMod != 0) && ModeChoosesPage(kCopyPages[page], c);
}

// Label and browse button of the per-kind rows of copy page 3, 4 or 5. These
// do not test TimerMod: the sources of a schedule can be chosen while timed
// playback is off, only the copy waits for it.
constexpr bool KindRowsEnabled(int page, bool on, int copyPage, const BroadcastConfig& c) {
  if (!on || page != copyPage || page < kFirstKindPage || page >= kCopyPageCount) return false;
  return ModeChoosesPage(kCopyPages[page], c);
}

// The Copy button, for the page shown.
constexpr bool CopyButtonEnabled(bool on, int copyPage, const BroadcastConfig& c) {
  if (!on || copyPage < 0 || copyPage >= kCopyPageCount) return false;
  const CopyPageInfo& page = kCopyPages[copyPage];
  return (!page.timed || c.TimerMod == 1) && ModeChoosesPage(page, c);
}

// The copy-tab rules run "on" exactly when playback is switched on.
constexpr bool CopyControlsOn(const BroadcastConfig& c) { return c.Ena == 1; }

// With cyclic timed playback on, the capture switch is locked (on).
constexpr bool CaptureSwitchLocked(const BroadcastConfig& c) { return c.TimerMod == 1 && c.Ena == 1; }

// The master rule switches the timed capture back on whenever it runs while
// timed playback is the cyclic loop, whatever Ena is.
constexpr bool CaptureNeedsSwitchingOn(const BroadcastConfig& c) { return c.TimerMod == 1 && c.TMLPen == 1; }

// The capture interval is usable while the timed capture is on (TMLPen 0).
constexpr bool CaptureIntervalEnabled(const BroadcastConfig& c) { return c.TMLPen == 0; }
