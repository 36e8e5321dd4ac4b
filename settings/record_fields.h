// The settings record's scalar fields in the words the dialog shows them:
// for each field its caption, its combo's items or the range and unit of the
// values the dialog offers, and how a combo's index becomes the stored value
// and back. The dialog fills and selects its combos and stores their choices
// from this table; cardcheck decodes and checks a card's record with it. A
// new field is described here, once.
//
// The texts are literals in a header, so they take the execution character
// set of the unit that includes them: code page 936 in the tool, UTF-8 in the
// console programs. Read them from the including unit's own code or tables
// (RecordFieldOf only in constant expressions), never through an inline
// function that reaches the table itself: units of both character sets link
// into one program, and the linker keeps one copy of such a function.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "settings/broadcast_config.h"

// Items that several lists share.
constexpr const char* kItemOff = "关";
constexpr const char* kItemOn = "开";
constexpr const char* kItemModeOff = "关闭";
constexpr const char* kItemCyclic = "周期循环";
constexpr const char* kItemRandom = "随机播放";
constexpr const char* kItemByHour = "据时指定";

// Units, as written after a number.
constexpr const char* kUnitDays = " 天";
constexpr const char* kUnitSeconds = " 秒";
constexpr const char* kUnitHours = " 时";
constexpr const char* kUnitMinutes = " 分";

constexpr int kIntervalHourLast = 23;
constexpr int kIntervalMinuteLast = 59;
constexpr int kIntervalSecondLast = 59;

constexpr int kMaxListItems = 3;
constexpr std::size_t kComboItemSize = 16;  // room for the longest combo item

struct RecordField {
  const char* name;     // the record's name for it: "Dly"
  const char* caption;  // the dialog's caption: "播放延时"
  uint8_t BroadcastConfig::*member;
  // A list field: its combo's items in index order (the rest nullptr). A
  // number field: none.
  std::array<const char*, kMaxListItems> items;
  int first;  // the values the dialog offers, first..last
  int last;
  const char* unit;    // a number field's unit, "" for none
  bool itemsShowUnit;  // the combo's items carry the unit ("5 秒"), else "%d" alone
  // Combo index -> stored value, and back; the index is outside the list for
  // a value the dialog does not offer. None for the trackbar (Vol), whose
  // position is the value itself.
  uint8_t (*fromIndex)(long index);
  int (*toIndex)(uint8_t value);

  constexpr bool IsList() const { return items[0] != nullptr; }
  constexpr int ItemCount() const { return last - first + 1; }
  constexpr bool Offers(int value) const { return value >= first && value <= last; }
};

constexpr std::size_t kRecordFieldCount = 14;

// In record order. Ena is shown by two radio buttons (index 0 "关", 1 "开")
// and Vol by a trackbar; every other field by a combo.
// clang-format off
constexpr std::array<RecordField, kRecordFieldCount> kRecordFields = {{
    // name, caption, member,
    //   items, first, last, unit, itemsShowUnit, fromIndex, toIndex
    {"Ena", "播放开关", &BroadcastConfig::Ena,
        {kItemOff, kItemOn}, 0, 1, "", false, FieldFromIndex, IndexFromField},
    {"Vol", "播放音量", &BroadcastConfig::Vol,
        {}, kVolumeMin, kVolumeMax, "", false, nullptr, nullptr},
    {"PauseDays", "播放暂停天数", &BroadcastConfig::PauseDays,
        {}, kDayFirst, kDayLast, kUnitDays, false, DayFromIndex, IndexFromDay},
    {"PlayDaysA", "A播放天数", &BroadcastConfig::PlayDaysA,
        {}, kDayFirst, kDayLast, kUnitDays, false, DayFromIndex, IndexFromDay},
    {"PlayDaysB", "B播放天数", &BroadcastConfig::PlayDaysB,
        {}, kDayFirst, kDayLast, kUnitDays, false, DayFromIndex, IndexFromDay},
    {"TimerMod", "定时播放模式", &BroadcastConfig::TimerMod,
        {kItemModeOff, kItemCyclic}, 0, 1, "", false, FieldFromIndex, IndexFromField},
    {"SenMod", "感应播放模式", &BroadcastConfig::SenMod,
        {kItemModeOff, kItemRandom, kItemByHour}, 0, 2, "", false, FieldFromIndex, IndexFromField},
    {"Dly", "播放延时", &BroadcastConfig::Dly,
        {}, kDelayFirst, kDelayLast, kUnitSeconds, true, DelayFromIndex, IndexFromDelay},
    {"AlarmA", "定时A播放方式", &BroadcastConfig::AlarmA,
        {kItemRandom, kItemByHour}, 0, 1, "", false, FieldFromIndex, IndexFromField},
    {"AlarmB", "定时B播放方式", &BroadcastConfig::AlarmB,
        {kItemRandom, kItemByHour}, 0, 1, "", false, FieldFromIndex, IndexFromField},
    // Stored the other way round from Ena: 0 is on.
    {"TMLPen", "定时拍摄", &BroadcastConfig::TMLPen,
        {kItemOn, kItemOff}, 0, 1, "", false, FieldFromIndex, IndexFromField},
    {"IntervalHour", "拍摄间隔(时)", &BroadcastConfig::IntervalHour,
        {}, 0, kIntervalHourLast, kUnitHours, false, FieldFromIndex, IndexFromField},
    {"IntervalMinute", "拍摄间隔(分)", &BroadcastConfig::IntervalMinute,
        {}, 0, kIntervalMinuteLast, kUnitMinutes, false, FieldFromIndex, IndexFromField},
    {"IntervalSecond", "拍摄间隔(秒)", &BroadcastConfig::IntervalSecond,
        {}, 0, kIntervalSecondLast, kUnitSeconds, false, FieldFromIndex, IndexFromField},
}};
// clang-format on

// The table's entry for member; for tables built at compile time, where a
// member the table lacks does not compile.
constexpr const RecordField& RecordFieldOf(uint8_t BroadcastConfig::*member) {
  for (const RecordField& field : kRecordFields) {
    if (field.member == member) return field;
  }
  throw "not a scalar field of the record";
}

// Item `index` (0 .. ItemCount() - 1) of field's combo: the list's word, or
// the value the item stores, "%d" with the unit where the items show it. False (out empty)
// for an index outside the list or a text that does not fit.
inline bool ComboItemText(const RecordField& field, int index, char* out, std::size_t size) {
  if (size == 0) return false;
  out[0] = '\0';
  if (field.fromIndex == nullptr || index < 0 || index >= field.ItemCount()) return false;
  int written = field.IsList() ? std::snprintf(out, size, "%s", field.items[index])
                               : std::snprintf(out, size, "%d%s", field.fromIndex(index),
                                               field.itemsShowUnit ? field.unit : "");
  if (written >= 0 && static_cast<std::size_t>(written) < size) return true;
  out[0] = '\0';
  return false;
}
