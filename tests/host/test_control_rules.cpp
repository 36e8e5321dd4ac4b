#include <gtest/gtest.h>

#include "settings/control_rules.h"
#include "tests/support/settings_record.h"

namespace {

BroadcastConfig WithCapture(BroadcastConfig c, uint8_t tmlpen) {
  c.TMLPen = tmlpen;
  return c;
}

}  // namespace

TEST(ControlRules, DefaultRecordLocksEverythingButTheCapture) {
  const BroadcastConfig& c = kDefaultConfig;
  EXPECT_FALSE(SettingsControlsEnabled(c));
  EXPECT_FALSE(ScheduleControlsEnabled(c));
  EXPECT_TRUE(PlanGridVisible(0, 0));
  EXPECT_FALSE(PlanGridVisible(1, 0));
  EXPECT_FALSE(PlanGridEnabled(0, 0, c));
  EXPECT_FALSE(RandomRowEnabled(0, c));
  EXPECT_FALSE(CopyButtonEnabled(CopyControlsOn(c), 0, c));
  EXPECT_FALSE(CaptureSwitchLocked(c));
  EXPECT_TRUE(CaptureIntervalEnabled(c));
}

TEST(ControlRules, PlaybackOnFromTheDefaults) {
  BroadcastConfig c = kDefaultConfig;
  c.Ena = 1;
  EXPECT_TRUE(SettingsControlsEnabled(c));
  EXPECT_TRUE(ScheduleControlsEnabled(c));
  EXPECT_TRUE(CaptureSwitchLocked(c));
  EXPECT_TRUE(RandomRowEnabled(0, c));
  EXPECT_TRUE(CopyButtonEnabled(CopyControlsOn(c), 0, c));
  EXPECT_FALSE(PlanGridEnabled(0, 0, c)) << "SenMod 1 is random playback";
}

TEST(ControlRules, ScheduleControlsNeedTimedPlayback) {
  // Playback on, timed playback off: the schedule kinds and play days are locked.
  EXPECT_FALSE(ScheduleControlsEnabled(Modes(1, 0, 1, 0, 0)));
  EXPECT_TRUE(ScheduleControlsEnabled(Modes(1, 2, 1, 0, 0))) << "any timed mode but 0";
}

TEST(ControlRules, PlanGridsFollowTheirModes) {
  BroadcastConfig c = Modes(1, 1, 2, 0, 1);
  EXPECT_TRUE(PlanGridEnabled(0, 0, c));
  EXPECT_FALSE(PlanGridEnabled(1, 1, c)) << "AlarmA 0 is random";
  EXPECT_TRUE(PlanGridEnabled(2, 2, c));
  EXPECT_FALSE(PlanGridEnabled(2, 0, c)) << "a hidden grid is always disabled";
  c.TimerMod = 0;
  EXPECT_FALSE(PlanGridEnabled(2, 2, c));
}

TEST(ControlRules, ScheduleSourcesWithTimedPlaybackOff) {
  // Ena 1, TimerMod 0, AlarmA 1, copy page 4: rows usable, Copy not.
  BroadcastConfig c = Modes(1, 0, 1, 1, 0);
  EXPECT_TRUE(KindRowsEnabled(4, true, 4, c));
  EXPECT_FALSE(CopyButtonEnabled(true, 4, c));
  EXPECT_FALSE(PlanGridEnabled(1, 1, c));
  // AlarmA 0: the page 1 random row and its Copy are locked too.
  c.AlarmA = 0;
  EXPECT_FALSE(RandomRowEnabled(1, c));
  EXPECT_FALSE(CopyButtonEnabled(true, 1, c));
}

TEST(ControlRules, KindRowsOnlyOnTheirShownPageAndWhenOn) {
  BroadcastConfig c = Modes(1, 1, 2, 1, 1);
  for (int page = 3; page <= 5; ++page) {
    EXPECT_TRUE(KindRowsEnabled(page, true, page, c)) << page;
    EXPECT_FALSE(KindRowsEnabled(page, false, page, c)) << page;
    EXPECT_FALSE(KindRowsEnabled(page, true, page == 3 ? 4 : 3, c)) << page;
  }
}

TEST(ControlRules, StoredEnaOfTwoLocksSettingsButNotPlanGrids) {
  BroadcastConfig c = Modes(2, 1, 2, 1, 1);
  EXPECT_FALSE(SettingsControlsEnabled(c));
  EXPECT_FALSE(ScheduleControlsEnabled(c));
  EXPECT_FALSE(RandomRowEnabled(0, Modes(2, 1, 1, 0, 0)));
  EXPECT_FALSE(CopyControlsOn(c));
  EXPECT_FALSE(CopyButtonEnabled(CopyControlsOn(c), 3, c));
  EXPECT_TRUE(PlanGridEnabled(0, 0, c));
  EXPECT_TRUE(PlanGridEnabled(1, 1, c));
  EXPECT_FALSE(CaptureSwitchLocked(c));
}

TEST(ControlRules, CaptureFixUpNeedsOnlyCyclicTimedPlayback) {
  BroadcastConfig c = Modes(0, 1, 1, 0, 0);
  c.TMLPen = 1;
  EXPECT_TRUE(CaptureNeedsSwitchingOn(c)) << "also with playback off";
  EXPECT_FALSE(CaptureSwitchLocked(c));
  EXPECT_FALSE(CaptureIntervalEnabled(c));
  c.TimerMod = 0;
  EXPECT_FALSE(CaptureNeedsSwitchingOn(c));
}

TEST(ControlRules, CopyButtonPerPage) {
  struct Case {
    int page;
    BroadcastConfig config;
    bool enabled;
  } cases[] = {
      {0, Modes(1, 0, 1, 0, 0), true},  {0, Modes(1, 1, 2, 0, 0), false}, {1, Modes(1, 1, 0, 0, 0), true},
      {1, Modes(1, 2, 0, 0, 0), false}, {2, Modes(1, 1, 0, 0, 0), true},  {2, Modes(1, 1, 0, 0, 1), false},
      {3, Modes(1, 0, 2, 0, 0), true},  {4, Modes(1, 1, 0, 1, 0), true},  {5, Modes(1, 1, 0, 0, 1), true},
      {5, Modes(1, 1, 0, 0, 2), false}, {6, Modes(1, 1, 1, 1, 1), false},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(CopyButtonEnabled(true, k.page, k.config), k.enabled) << "page " << k.page;
  }
}

TEST(ControlRules, EveryTestOfEachRuleDecidesACase) {
  // In each case one test of the rule alone decides; a stored 2 tells "!= 0"
  // from "= 1".
  struct Case {
    const char* what;
    bool got;
    bool expected;
  } cases[] = {
      {"plan grid: Ena != 0", PlanGridEnabled(0, 0, Modes(0, 1, 2, 1, 1)), false},
      {"plan grid: TimerMod != 0", PlanGridEnabled(1, 1, Modes(1, 2, 2, 1, 1)), true},
      {"random row: its mode", RandomRowEnabled(0, Modes(1, 1, 2, 1, 1)), false},
      {"random row: TimerMod != 0", RandomRowEnabled(2, Modes(1, 2, 1, 0, 0)), true},
      {"random row: schedule A's own mode", RandomRowEnabled(1, Modes(1, 1, 0, 0, 1)), true},
      {"kind rows: their mode", KindRowsEnabled(4, true, 4, Modes(1, 1, 2, 0, 1)), false},
      {"capture lock: TimerMod = 1", CaptureSwitchLocked(Modes(1, 0, 1, 0, 0)), false},
      {"capture lock: TimerMod 2", CaptureSwitchLocked(Modes(1, 2, 1, 0, 0)), false},
      {"fix-up: TMLPen = 1", CaptureNeedsSwitchingOn(WithCapture(Modes(1, 1, 1, 0, 0), 0)), false},
      {"fix-up: TMLPen 2", CaptureNeedsSwitchingOn(WithCapture(Modes(1, 1, 1, 0, 0), 2)), false},
      {"fix-up: TimerMod 2", CaptureNeedsSwitchingOn(WithCapture(Modes(1, 2, 1, 0, 0), 1)), false},
      {"interval: TMLPen = 0", CaptureIntervalEnabled(WithCapture(kDefaultConfig, 2)), false},
  };
  for (const Case& k : cases) EXPECT_EQ(k.got, k.expected) << k.what;
}
