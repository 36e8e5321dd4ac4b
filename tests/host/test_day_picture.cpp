// The picture of a card's day, described from cards built in a scratch
// directory and read with CheckCard.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "cardcheck/day_picture.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/settings_record.h"
#include "tests/support/wav_file.h"

namespace {

class DayPictureTest : public ::testing::Test {
 protected:
  DayPicture Describe(const BroadcastConfig& c) {
    WriteAllBytes((scratch_.path() / "CFG_BROADCAST.bin").string(), SettingsBytes(c));
    return DescribeDay(CheckCard(scratch_.path()));
  }
  void AddWavs(const std::string& folder, int count) {
    std::filesystem::create_directories(scratch_.path() / folder);
    for (int i = 0; i < count; ++i)
      WriteAllBytes((scratch_.path() / folder / (std::to_string(i) + ".wav")).string(),
                    PcmWav(1, 16000, 16, 1600));
  }
  ScratchDir scratch_;
};

bool Same(DayColour a, DayColour b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

}  // namespace

TEST_F(DayPictureTest, SensorByHourMarksTheHoursWhoseKindHasNoFiles) {
  BroadcastConfig c = Modes(1, 0, 2, 1, 1);
  for (int h = 0; h < kHoursPerPlan; ++h) {
    c.type[PlanEntry(0, h)] = h < 8 ? kDog : h < 16 ? kBear : kHuman;
    c.type[PlanEntry(1, h)] = kFox;
  }
  AddWavs("audio/SenseSpecify/dog", 2);
  AddWavs("audio/SenseSpecify/bear", 1);
  AddWavs("audio/SenseSpecify/human", 0);
  DayPicture p = Describe(c);
  ASSERT_TRUE(p.drawn);
  const DayRow& sensor = p.rows[0];
  EXPECT_EQ(sensor.title, "感应播放");
  EXPECT_TRUE(sensor.inUse);
  EXPECT_EQ(sensor.reason, "");
  const char* captions[] = {"狗", "黑熊", "人"};
  const int files[] = {2, 1, 0};
  for (int h = 0; h < kHoursPerPlan; ++h) {
    const DayCell& cell = sensor.cells[h];
    EXPECT_EQ(cell.hour, h);
    EXPECT_TRUE(cell.known);
    EXPECT_EQ(cell.caption, captions[h / 8]) << h;
    EXPECT_TRUE(Same(cell.colour, kKindColours[cell.kind])) << h;
    EXPECT_EQ(cell.files, files[h / 8]) << h;
    EXPECT_EQ(cell.noFiles, h >= 16) << h;
  }
  EXPECT_FALSE(Same(sensor.cells[0].colour, sensor.cells[8].colour));
  for (int plan : {1, 2}) {
    const DayRow& row = p.rows[plan];
    EXPECT_EQ(row.title, plan == 1 ? "定时播放A" : "定时播放B");
    EXPECT_FALSE(row.inUse);
    EXPECT_EQ(row.reason, "定时播放模式: 关闭");
    EXPECT_EQ(row.cells[3].caption, plan == 1 ? "赤狐" : "狗");  // a greyed row still says its plan
    EXPECT_EQ(row.cells[3].files, -1);
    EXPECT_FALSE(row.cells[3].noFiles);
  }
}

TEST_F(DayPictureTest, EachRowNotInUseSaysTheFirstSettingThatStopsIt) {
  struct Case {
    BroadcastConfig config;
    std::array<const char*, kPlanCount> reasons;  // "" for a row in use
  } cases[] = {
      {Modes(0, 1, 2, 1, 1), {"播放开关: 关", "播放开关: 关", "播放开关: 关"}},
      {Modes(2, 1, 2, 1, 1), {"播放开关: 2", "播放开关: 2", "播放开关: 2"}},
      {Modes(1, 1, 1, 0, 0), {"随机播放: 不按小时", "随机播放: 不按小时", "随机播放: 不按小时"}},
      {Modes(1, 0, 0, 0, 1), {"感应播放模式: 关闭", "定时播放模式: 关闭", "定时播放模式: 关闭"}},
      {Modes(1, 1, 0, 1, 0), {"感应播放模式: 关闭", "", "随机播放: 不按小时"}},
      {Modes(1, 2, 3, 1, 1), {"感应播放模式: 3", "定时播放模式: 2", "定时播放模式: 2"}},
      {Modes(1, 1, 2, 2, 1), {"", "定时A播放方式: 2", ""}},
  };
  for (const Case& k : cases) {
    DayPicture p = Describe(k.config);
    for (int plan = 0; plan < kPlanCount; ++plan) {
      EXPECT_EQ(p.rows[plan].reason, k.reasons[plan]) << plan;
      EXPECT_EQ(p.rows[plan].inUse, k.reasons[plan][0] == '\0') << plan;
    }
  }
}

TEST_F(DayPictureTest, AValueNamingNoKindIsGreyAndPlaysNothing) {
  BroadcastConfig c = Modes(1, 1, 0, 1, 0);
  c.type[PlanEntry(1, 5)] = 12;
  AddWavs("audio/Alarm/A/dog", 1);
  DayPicture p = Describe(c);
  const DayRow& row = p.rows[1];
  ASSERT_TRUE(row.inUse);
  EXPECT_FALSE(row.cells[5].known);
  EXPECT_EQ(row.cells[5].kind, 12);
  EXPECT_EQ(row.cells[5].caption, "12 (无此种类)");
  EXPECT_TRUE(Same(row.cells[5].colour, kNoKindColour));
  EXPECT_EQ(row.cells[5].files, 0);
  EXPECT_TRUE(row.cells[5].noFiles);
  EXPECT_EQ(row.cells[4].files, 1);
}

TEST_F(DayPictureTest, ValuesInTheWordsOfTheSettingsAndNoPictureWithoutThem) {
  BroadcastConfig c = Modes(0, 0, 0, 0, 0);
  c.Vol = 6, c.Dly = 12, c.PlayDaysA = 3, c.PlayDaysB = 4, c.PauseDays = 9, c.TMLPen = 1;
  c.IntervalHour = 1, c.IntervalMinute = 20, c.IntervalSecond = 0;
  std::vector<std::pair<std::string, std::string>> values;
  for (const DayValue& v : Describe(c).values) values.emplace_back(v.caption, v.text);
  std::vector<std::pair<std::string, std::string>> expected = {
      {"播放音量", "6"},        {"播放延时", "12 秒"}, {"A播放天数", "3 天"},          {"B播放天数", "4 天"},
      {"播放暂停天数", "9 天"}, {"定时拍摄", "关"},    {"拍摄间隔", "1 时 20 分 0 秒"}};
  EXPECT_EQ(values, expected);

  std::filesystem::remove(scratch_.path() / "CFG_BROADCAST.bin");
  EXPECT_FALSE(DescribeDay(CheckCard(scratch_.path())).drawn);
  WriteAllBytes((scratch_.path() / "CFG_BROADCAST.bin").string(), std::vector<unsigned char>(85, 1));
  EXPECT_FALSE(DescribeDay(CheckCard(scratch_.path())).drawn);
}

// The kinds' colours and the greys, as a viewer with each dichromacy sees
// them (Machado, Oliveira and Fernandes 2009, severity 1, on linear RGB),
// stay apart by CIE76 in CIELAB (D65), and are light enough for black text.
TEST(DayPicture, ColoursStayApartForTheCommonColourBlindnesses) {
  using Matrix = std::array<std::array<double, 3>, 3>;
  const Matrix kViews[] = {
      {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
      {{{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}},
      {{{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}},
      {{{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}},
  };
  auto linear = [](uint8_t v) {
    double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  std::vector<DayColour> colours(kKindColours.begin(), kKindColours.end());
  colours.push_back(kNoKindColour);
  colours.push_back(kUnusedColour);
  for (const Matrix& m : kViews) {
    std::vector<std::array<double, 3>> lab;
    for (DayColour c : colours) {
      double in[3] = {linear(c.r), linear(c.g), linear(c.b)}, rgb[3];
      for (int i = 0; i < 3; ++i)
        rgb[i] = std::fmin(1, std::fmax(0, m[i][0] * in[0] + m[i][1] * in[1] + m[i][2] * in[2]));
      double y = 0.2126 * rgb[0] + 0.7152 * rgb[1] + 0.0722 * rgb[2];
      double x = (0.4124 * rgb[0] + 0.3576 * rgb[1] + 0.1805 * rgb[2]) / 0.95047;
      double z = (0.0193 * rgb[0] + 0.1192 * rgb[1] + 0.9505 * rgb[2]) / 1.08883;
      auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116; };
      lab.push_back({116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))});
      EXPECT_GT((y + 0.05) / 0.05, 4.5);  // contrast with black text, as each viewer sees it
    }
    for (std::size_t i = 0; i < lab.size(); ++i) {
      for (std::size_t j = i + 1; j < lab.size(); ++j) {
        double d = std::hypot(lab[i][0] - lab[j][0], lab[i][1] - lab[j][1], lab[i][2] - lab[j][2]);
        EXPECT_GT(d, 10.0) << "colours " << i << " and " << j << ", view " << (&m - kViews);
      }
    }
  }
}
