#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/broadcast_config.h"
#include "tests/support/settings_record.h"

TEST(BroadcastConfig, DefaultsAreTheDeviceDefaultBytes) {
  std::vector<unsigned char> expected = {0, 5, 7, 28, 28, 1, 1, 5, 0, 0};
  expected.insert(expected.end(), 72, 0);
  expected.insert(expected.end(), {0, 1, 0, 0});
  ASSERT_EQ(expected.size(), kConfigSize);
  EXPECT_EQ(SettingsBytes(kDefaultConfig), expected);
  EXPECT_EQ(SettingsBytes(Config), expected) << "the process record starts with the defaults";
}

TEST(BroadcastConfig, ByteViewIsTheRecordInOffsetOrder) {
  BroadcastConfig saved = Config;
  ConfigBytes()[7] = 30;
  ConfigBytes()[81] = 9;
  EXPECT_EQ(Config.Dly, 30);
  EXPECT_EQ(Config.type[71], 9);
  Config = saved;
}

TEST(BroadcastConfig, PlanEntriesLandOnTheirBytes) {
  // Sensor plan 00:00-00:59 is byte 10; schedule B 23:00-23:59 is byte 81.
  EXPECT_EQ(offsetof(BroadcastConfig, type) + PlanEntry(0, 0), 10u);
  EXPECT_EQ(offsetof(BroadcastConfig, type) + PlanEntry(2, 23), 81u);
  EXPECT_EQ(PlanEntry(1, 0), 24);
  EXPECT_EQ(offsetof(BroadcastConfig, type) + PlanEntry(0, 7), 17u);
}

TEST(SoundKind, CaptionsAndFoldersInCodeOrder) {
  const char* folders[] = {"dog", "tiger", "leopard", "human",  "lynx",
                           "fox", "bear",  "bird A",  "bird B", "bird C"};
  for (int code = 0; code < kSoundKindCount; ++code) {
    EXPECT_STREQ(kSoundKinds[code].folder, folders[code]) << "code " << code;
  }
  EXPECT_EQ(kSoundKinds[kBear].folder, std::string("bear"));
}

TEST(SoundKind, CaptionsAreCodePage936) {
  // The compiler stores narrow literals in code page 936: "狗" is B9 B7,
  // "猞猁" is E2 A6 E1 FB, "鸟C" is C4 F1 43. UTF-8 bytes here would mean the
  // execution character set is wrong.
  EXPECT_STREQ(kSoundKinds[kDog].caption, "\xB9\xB7");
  EXPECT_STREQ(kSoundKinds[kLynx].caption, "\xE2\xA6\xE1\xFB");
  EXPECT_STREQ(kSoundKinds[kBirdC].caption, "\xC4\xF1\x43");
}

// Every field's conversions both ways are in test_record_fields.cpp; these
// are the edges no list item reaches.
TEST(Conversions, OnlyTheLowByteIsStoredAndValuesOutsideTheListsSelectNothing) {
  EXPECT_EQ(FieldFromIndex(0x109), 9);
  EXPECT_EQ(VolumeFromPosition(8), 8);
  // Values from a file outside the lists give indices no combo holds, so the
  // combo shows no selection instead of a wrong one.
  EXPECT_LT(IndexFromDelay(0), 0);
  EXPECT_LT(IndexFromDay(0), 0);
  EXPECT_GT(IndexFromDelay(200), kDelayLast - kDelayFirst);
}
