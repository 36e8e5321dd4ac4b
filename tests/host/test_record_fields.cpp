// The vocabulary tables as data: the record's fields against the record, the
// conversions both ways, and the pages against the fields that choose them.
#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>

#include "settings/playback_pages.h"
#include "settings/record_fields.h"

namespace {

int OffsetOf(uint8_t BroadcastConfig::*member) {
  BroadcastConfig c{};
  return static_cast<int>(&(c.*member) - reinterpret_cast<uint8_t*>(&c));
}

std::string Item(const RecordField& field, int index) {
  char text[kComboItemSize];
  return ComboItemText(field, index, text, sizeof text) ? text : "<none>";
}

}  // namespace

TEST(RecordFields, CoverEveryByteButThePlansOnceInRecordOrder) {
  std::set<std::string> names;
  int expected = 0;
  for (const RecordField& field : kRecordFields) {
    if (expected == static_cast<int>(offsetof(BroadcastConfig, type))) expected += kHoursPerPlan * kPlanCount;
    EXPECT_EQ(OffsetOf(field.member), expected) << field.name;
    EXPECT_TRUE(names.insert(field.name).second) << field.name;
    ++expected;
  }
  EXPECT_EQ(expected, static_cast<int>(kConfigSize));
}

TEST(RecordFields, ItemsAndConversionsAgreeBothWays) {
  for (const RecordField& field : kRecordFields) {
    SCOPED_TRACE(field.name);
    if (field.fromIndex == nullptr) {
      EXPECT_STREQ(field.name, "Vol") << "only the trackbar has no items";
      EXPECT_EQ(Item(field, 0), "<none>");
      continue;
    }
    if (field.IsList()) {
      EXPECT_EQ(field.first, 0) << "a list's index is its value";
      EXPECT_STREQ(field.unit, "");
    }
    for (int index = 0; index < field.ItemCount(); ++index) {
      // Item `index` stores first + index and is selected again by that value.
      EXPECT_EQ(field.fromIndex(index), field.first + index);
      EXPECT_EQ(field.toIndex(field.fromIndex(index)), index);
      EXPECT_NE(Item(field, index), "<none>") << index;
      if (field.IsList()) {
        EXPECT_NE(field.items[index], nullptr) << index;
      }
    }
    for (int unused = field.ItemCount(); unused < kMaxListItems; ++unused) {
      EXPECT_EQ(field.items[unused], nullptr) << unused;
    }
    // A stored value the dialog does not offer selects no item.
    EXPECT_EQ(field.toIndex(static_cast<uint8_t>(field.last + 1)), field.ItemCount());
    if (field.first > 0) {
      EXPECT_LT(field.toIndex(static_cast<uint8_t>(field.first - 1)), 0);
    }
    EXPECT_EQ(Item(field, field.ItemCount()), "<none>");
  }
  EXPECT_EQ(Item(RecordFieldOf(&BroadcastConfig::Dly), 0), "5 秒");
  EXPECT_EQ(Item(RecordFieldOf(&BroadcastConfig::PauseDays), 29), "30");
  EXPECT_EQ(Item(RecordFieldOf(&BroadcastConfig::IntervalSecond), 59), "59");
  EXPECT_EQ(Item(RecordFieldOf(&BroadcastConfig::TimerMod), 1), "周期循环");
  EXPECT_EQ(Item(RecordFieldOf(&BroadcastConfig::TMLPen), 0), "开") << "capture on is 0";
}

TEST(PlaybackPages, EachPageIsChosenByItsModeItem) {
  std::set<std::string> captions;
  for (int page = 0; page < kCopyPageCount; ++page) {
    const CopyPageInfo& info = kCopyPages[page];
    EXPECT_EQ(info.perKind, page >= kFirstKindPage) << page;
    EXPECT_TRUE(captions.insert(info.caption).second) << page;
    // The mode combo's item at the page's value says random or by hour.
    const RecordField& mode = RecordFieldOf(info.mode);
    ASSERT_LT(info.modeValue, mode.ItemCount()) << page;
    EXPECT_STREQ(mode.items[info.modeValue], info.perKind ? kItemByHour : kItemRandom) << page;
    EXPECT_EQ(info.timed, info.mode != &BroadcastConfig::SenMod) << page;
  }
  EXPECT_EQ(kRandomPageCount, kFirstKindPage);
  for (int plan = 0; plan < kPlanCount; ++plan) {
    EXPECT_EQ(kPlanPages[plan].copyPage, kFirstKindPage + plan) << "plans in the order of `type`";
    EXPECT_TRUE(captions.insert(kPlanPages[plan].caption).second) << plan;
  }
  // A schedule's random files lie beside its kind folders.
  EXPECT_STREQ(kCopyPages[1].folder, kCopyPages[4].folder);
  EXPECT_STREQ(kCopyPages[2].folder, kCopyPages[5].folder);
}
