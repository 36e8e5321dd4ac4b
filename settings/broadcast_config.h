// The device's settings record: 86 one-byte fields, back to back. Its bytes
// are the whole content of CFG_BROADCAST.bin, so layout and encodings are
// fixed by the device.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr int kHoursPerPlan = 24;
constexpr int kPlanCount = 3;  // sensor, schedule A, schedule B

struct BroadcastConfig {
  uint8_t Ena;                               // playback switch: 0 off, 1 on
  uint8_t Vol;                               // volume step 1..8
  uint8_t PauseDays;                         // 1..30
  uint8_t PlayDaysA;                         // 1..30
  uint8_t PlayDaysB;                         // 1..30
  uint8_t TimerMod;                          // timed playback: 0 off, 1 cyclic loop
  uint8_t SenMod;                            // sensor playback: 0 off, 1 random, 2 by hour
  uint8_t Dly;                               // playback delay in seconds, 5..30
  uint8_t AlarmA;                            // schedule A: 0 random, 1 by hour
  uint8_t AlarmB;                            // schedule B: 0 random, 1 by hour
  uint8_t type[kHoursPerPlan * kPlanCount];  // SoundKind per hour: sensor, A, B
  uint8_t TMLPen;                            // timed capture: 0 ON, 1 off (the other way from Ena)
  uint8_t IntervalHour;                      // 0..23
  uint8_t IntervalMinute;                    // 0..59
  uint8_t IntervalSecond;                    // 0..59
};

constexpr std::size_t kConfigSize = 86;

static_assert(sizeof(BroadcastConfig) == kConfigSize, "the record is 86 bytes");
static_assert(offsetof(BroadcastConfig, Ena) == 0, "offset of Ena");
static_assert(offsetof(BroadcastConfig, Vol) == 1, "offset of Vol");
static_assert(offsetof(BroadcastConfig, PauseDays) == 2, "offset of PauseDays");
static_assert(offsetof(BroadcastConfig, PlayDaysA) == 3, "offset of PlayDaysA");
static_assert(offsetof(BroadcastConfig, PlayDaysB) == 4, "offset of PlayDaysB");
static_assert(offsetof(BroadcastConfig, TimerMod) == 5, "offset of TimerMod");
static_assert(offsetof(BroadcastConfig, SenMod) == 6, "offset of SenMod");
static_assert(offsetof(BroadcastConfig, Dly) == 7, "offset of Dly");
static_assert(offsetof(BroadcastConfig, AlarmA) == 8, "offset of AlarmA");
static_assert(offsetof(BroadcastConfig, AlarmB) == 9, "offset of AlarmB");
static_assert(offsetof(BroadcastConfig, type) == 10, "offset of type");
static_assert(offsetof(BroadcastConfig, TMLPen) == 82, "offset of TMLPen");
static_assert(offsetof(BroadcastConfig, IntervalHour) == 83, "offset of IntervalHour");
static_assert(offsetof(BroadcastConfig, IntervalMinute) == 84, "offset of IntervalMinute");
static_assert(offsetof(BroadcastConfig, IntervalSecond) == 85, "offset of IntervalSecond");

// The values the record holds at program start and keeps when no valid
// settings file is read.
constexpr BroadcastConfig kDefaultConfig = {
    0, 5, 7, 28, 28, 1, 1, 5, 0, 0, {}, 0, 1, 0, 0,
};

// The one record of the process, edited in place by the dialog.
extern BroadcastConfig Config;

// Byte view of the record in offset order, for the settings file.
uint8_t* ConfigBytes();

// Index into `type` of hour h (0..23) of plan p (0 sensor, 1 A, 2 B).
constexpr int PlanEntry(int plan, int hour) { return plan * kHoursPerPlan + hour; }

// ---- sound kinds ------------------------------------------------------------

enum SoundKind : uint8_t {
  kDog,
  kTiger,
  kLeopard,
  kHuman,
  kLynx,
  kFox,
  kBear,
  kBirdA,
  kBirdB,
  kBirdC,
};

constexpr int kSoundKindCount = 10;

struct SoundKindInfo {
  const char* caption;  // shown in the plan combos and the copy tab (code page 936)
  const char* folder;   // the kind's folder in the audio tree
};

// In code order: the item index of a plan combo is the code.
constexpr std::array<SoundKindInfo, kSoundKindCount> kSoundKinds = {{
    {"狗", "dog"},
    {"虎", "tiger"},
    {"豹", "leopard"},
    {"人", "human"},
    {"猞猁", "lynx"},
    {"赤狐", "fox"},
    {"黑熊", "bear"},
    {"鸟A", "bird A"},
    {"鸟B", "bird B"},
    {"鸟C", "bird C"},
}};

// ---- control <-> field conversions -------------------------------------------
// A combo reports its selection as a signed index (-1 for none); fields store
// the low byte of what the conversion gives. The inverse may give an index
// outside the list for a value read from a file: the combo then shows no
// selection, and the record keeps the value.

constexpr int kDayFirst = 1, kDayLast = 30;
constexpr int kDelayFirst = 5, kDelayLast = 30;
constexpr int kVolumeMin = 1, kVolumeMax = 8;

constexpr uint8_t DayFromIndex(long index) { return static_cast<uint8_t>(index + kDayFirst); }
constexpr int IndexFromDay(uint8_t days) { return days - kDayFirst; }

constexpr uint8_t DelayFromIndex(long index) { return static_cast<uint8_t>(index + kDelayFirst); }
constexpr int IndexFromDelay(uint8_t seconds) { return seconds - kDelayFirst; }

// Every other combo: the field is the index itself.
constexpr uint8_t FieldFromIndex(long index) { return static_cast<uint8_t>(index); }
constexpr int IndexFromField(uint8_t value) { return value; }

// The volume trackbar's position is the step itself.
constexpr uint8_t VolumeFromPosition(long position) { return static_cast<uint8_t>(position); }
