#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "dialog/control_tables.h"

TEST(ControlTables, HourRowsAreInHourOrderWithTheirCaptions) {
  for (int h = 0; h < kHoursPerPlan; ++h) {
    char caption[16];
    std::snprintf(caption, sizeof caption, "%02d:00-%02d:59", h, h);
    EXPECT_EQ(kHourRows[h].hour, h);
    EXPECT_STREQ(kHourCaptions[h], caption);
  }
  // Corners and the irregular ones the device plans are checked against.
  EXPECT_EQ(kHourRows[0].combo[0], 40050);
  EXPECT_EQ(kHourRows[0].combo[1], 40000);
  EXPECT_EQ(kHourRows[7].combo[0], 40109);
  EXPECT_EQ(kHourRows[19].combo[0], 40189);
  EXPECT_EQ(kHourRows[23].combo[2], 40102);
  EXPECT_EQ(kHourRows[13].label, 40186);
}

TEST(ControlTables, KindRowsFollowSoundKindOrder) {
  // Page 3 follows a rule: label 40207 + 3k, button + 1, check box + 2.
  for (int k = 0; k < kSoundKindCount; ++k) {
    EXPECT_EQ(kKindRows[0][k].label, 40207 + 3 * k);
    EXPECT_EQ(kKindRows[0][k].button, 40208 + 3 * k);
    EXPECT_EQ(kKindRows[0][k].check, 40209 + 3 * k);
  }
  // Pages 4 and 5 follow none; spot checks in kind order.
  EXPECT_EQ(kKindRows[1][kDog].check, 40117);
  EXPECT_EQ(kKindRows[1][kFox].check, 40077);
  EXPECT_EQ(kKindRows[1][kBear].button, 40083);
  EXPECT_EQ(kKindRows[2][kLeopard].button, 40165);
  EXPECT_EQ(kKindRows[2][kLeopard].check, 40166);
  EXPECT_EQ(kKindRows[2][kLynx].check, 40203);
  EXPECT_EQ(kKindRows[2][kBirdC].label, 40204);
}

TEST(ControlTables, EveryTableIdIsUniqueAndInTheDialogRange) {
  std::set<int> seen;
  int count = 0;
  auto add = [&](int id) {
    ++count;
    EXPECT_TRUE(seen.insert(id).second) << "id " << id << " appears twice";
    EXPECT_GE(id, 40000);
    EXPECT_LE(id, 40251);
  };
  for (const HourRow& row : kHourRows) {
    add(row.label);
    for (int id : row.combo) add(id);
  }
  for (const auto& page : kKindRows) {
    for (const SourceRow& row : page) {
      add(row.label);
      add(row.button);
      add(row.check);
    }
  }
  for (const SourceRow& row : kRandomRows) {
    add(row.label);
    add(row.button);
    add(row.check);
  }
  for (int id : {IDC_LABEL_UNUSED_A, IDC_LABEL_UNUSED_SENSE, IDC_LABEL_UNUSED_B, IDC_BTN_UNUSED_A,
                 IDC_BTN_UNUSED_SENSE, IDC_BTN_UNUSED_B, IDC_CHK_ENTRY_PAGE1, IDC_CHK_UNUSED_SENSE,
                 IDC_CHK_ENTRY_PAGE2}) {
    add(id);
  }
  EXPECT_EQ(count, 24 * 4 + 3 * 10 * 3 + 3 * 3 + 9);
}
