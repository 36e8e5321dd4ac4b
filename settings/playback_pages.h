// The pages of the dialog's two tabs and what each one stands for. The plan
// tab has a page per hour plan of the record. The copy tab has a page per
// kind of playback: where its sound files lie on the card and which setting
// makes the device play them. A new page is described here, once; the tabs,
// the enable rules, the audio tree and cardcheck read it.
//
#pragma once

#include <array>
#include <cstdint>

#include "settings/broadcast_config.h"
#include "settings/hour_captions.h"

constexpr int kCopyPageCount = 6;
constexpr int kRandomPageCount = 3;  // copy pages 0..2: the files directly in the page's folder
constexpr int kFirstKindPage = 3;    // copy pages 3..5: one subfolder per sound kind

// Folders of the audio tree below the card's directory, all below one top
// folder. A schedule's random files lie beside the kind folders of the same
// schedule.
#define BCT_AUDIO_FOLDER "audio"
constexpr const char* kAudioFolder = BCT_AUDIO_FOLDER;
constexpr const char* kSenseRandFolder = BCT_AUDIO_FOLDER "\\SenseRand";
constexpr const char* kSenseSpecifyFolder = BCT_AUDIO_FOLDER "\\SenseSpecify";
constexpr const char* kAlarmAFolder = BCT_AUDIO_FOLDER "\\Alarm\\A";
constexpr const char* kAlarmBFolder = BCT_AUDIO_FOLDER "\\Alarm\\B";
#undef BCT_AUDIO_FOLDER

struct CopyPageInfo {
  const char* caption;             // the tab's caption
  const char* folder;              // below the card's directory
  bool perKind;                    // one subfolder per sound kind; else the files directly in folder
  bool timed;                      // a timed schedule's page: it also needs timed playback
  uint8_t BroadcastConfig::*mode;  // the field that chooses this page's playback...
  uint8_t modeValue;               // ...by holding this value
};

constexpr std::array<CopyPageInfo, kCopyPageCount> kCopyPages = {{
    {"感应随机", kSenseRandFolder, false, false, &BroadcastConfig::SenMod, 1},
    {"定时随机A", kAlarmAFolder, false, true, &BroadcastConfig::AlarmA, 0},
    {"定时随机B", kAlarmBFolder, false, true, &BroadcastConfig::AlarmB, 0},
    {"感应据时", kSenseSpecifyFolder, true, false, &BroadcastConfig::SenMod, 2},
    {"定时据时A", kAlarmAFolder, true, true, &BroadcastConfig::AlarmA, 1},
    {"定时据时B", kAlarmBFolder, true, true, &BroadcastConfig::AlarmB, 1},
}};

// One field of every copy page, in page order: the tab's captions, the
// pages' folders.
template <typename Field>
constexpr std::array<Field, kCopyPageCount> EachCopyPage(Field CopyPageInfo::*field) {
  std::array<Field, kCopyPageCount> values{};
  for (int page = 0; page < kCopyPageCount; ++page) values[page] = kCopyPages[page].*field;
  return values;
}

struct PlanPageInfo {
  const char* caption;  // the tab's caption
  int copyPage;         // the by-hour copy page whose kind folders the plan plays from
};

// In the order of the plans in the record's `type`.
constexpr std::array<PlanPageInfo, kPlanCount> kPlanPages = {{
    {"感应播放", 3},
    {"定时播放A", 4},
    {"定时播放B", 5},
}};

// The plans' clock hours, in hour order: "00:00-00:59".
#define BCT_HOUR_CAPTION_ITEM(h) BCT_HOUR_CAPTION(h),
constexpr std::array<const char*, kHoursPerPlan> kHourCaptions = {{BCT_HOURS(BCT_HOUR_CAPTION_ITEM)}};
#undef BCT_HOUR_CAPTION_ITEM

// Whether the record's mode field chooses page's kind of playback. The enable
// rules add the playback switch and timed playback, each in its own way.
constexpr bool ModeChoosesPage(const CopyPageInfo& page, const BroadcastConfig& c) {
  return c.*page.mode == page.modeValue;
}
