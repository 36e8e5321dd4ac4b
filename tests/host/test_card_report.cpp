// Reading a card: the settings decoded, the folders in use, the files and the
// plans, on card directories built in a scratch directory; and the program's
// exit codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "cardcheck/card_report.h"
#include "settings/broadcast_config.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/settings_record.h"
#include "tests/support/shell_run.h"
#include "tests/support/wav_file.h"

namespace fs = std::filesystem;

namespace {

std::vector<unsigned char> ShortWav() { return PcmWav(1, 16000, 16, 16000); }

const SettingField& Field(const std::vector<SettingField>& fields, const std::string& name) {
  auto it = std::find_if(fields.begin(), fields.end(), [&](const SettingField& f) { return f.name == name; });
  if (it == fields.end()) throw std::runtime_error("no field " + name);
  return *it;
}

std::vector<std::string> BadFields(const BroadcastConfig& c) {
  std::vector<std::string> bad;
  for (const SettingField& f : DecodeSettings(c)) {
    if (!f.ok()) bad.push_back(f.name);
  }
  return bad;
}

// Sensor by hour (dog until 11:59, bear after), schedule A random, schedule B
// by hour (tiger all day).
BroadcastConfig ReadyConfig() {
  BroadcastConfig c = Modes(1, 1, 2, 0, 1);
  c.Dly = 10;
  for (int h = 0; h < 24; ++h) {
    c.type[PlanEntry(0, h)] = h < 12 ? kDog : kBear;
    c.type[PlanEntry(1, h)] = kFox;  // not in use: schedule A is random
    c.type[PlanEntry(2, h)] = kTiger;
  }
  return c;
}

using ProgramRun = ShellRun;

// Runs the real program with the given arguments, in directory `in` when one
// is given; standard error is dropped.
ProgramRun RunCardcheck(const std::string& args, const std::string& in = "") {
  std::string command = std::string("'") + CARDCHECK_EXE + "' " + args + " 2>/dev/null";
  if (!in.empty()) command = "cd '" + in + "' && " + command;
  return RunShell(command);
}

std::size_t Count(const std::vector<std::string>& problems, const std::string& part) {
  return static_cast<std::size_t>(std::count_if(problems.begin(), problems.end(), [&](const std::string& p) {
    return p.find(part) != std::string::npos;
  }));
}

// A card in a scratch directory: settings and files written as the tool
// would leave them.
class CardTest : public ::testing::Test {
 protected:
  void WriteSettings(const BroadcastConfig& c) {
    WriteAllBytes((card() / "CFG_BROADCAST.bin").string(), SettingsBytes(c));
  }
  // folder in the card's backslash form.
  fs::path Folder(const std::string& folder) {
    std::string path = folder;
    std::replace(path.begin(), path.end(), '\\', '/');
    fs::create_directories(card() / path);
    return card() / path;
  }
  void AddFile(const std::string& folder, const std::string& name, const std::vector<unsigned char>& bytes) {
    WriteAllBytes((Folder(folder) / name).string(), bytes);
  }
  void AddWavs(const std::string& folder, int count) {
    for (int i = 0; i < count; ++i) AddFile(folder, "sound" + std::to_string(i) + ".wav", ShortWav());
  }
  const FolderCheck& FolderIn(const CardReport& r, const std::string& folder) {
    for (const FolderCheck& f : r.folders) {
      if (f.folder == folder) return f;
    }
    throw std::runtime_error("folder not checked: " + folder);
  }
  fs::path card() const { return scratch_.path() / "card"; }

  // ReadyConfig with every folder filled.
  void MakeReadyCard() {
    fs::create_directories(card());
    WriteSettings(ReadyConfig());
    AddWavs("audio\\SenseSpecify\\dog", 3);
    AddWavs("audio\\SenseSpecify\\bear", 2);
    AddWavs("audio\\Alarm\\A", 4);
    AddWavs("audio\\Alarm\\B\\tiger", 1);
  }

  ScratchDir scratch_;
};

}  // namespace

TEST(CardReport, SettingsInTheDialogsWordsAsUtf8) {
  // Bytes spelled out: the captions must not come out in code page 936.
  EXPECT_EQ(KindCaption(kDog), "\xE7\x8B\x97");  // 狗
  BroadcastConfig c = ReadyConfig();
  c.type[PlanEntry(2, 7)] = kBear;
  std::vector<SettingField> fields = DecodeSettings(c);
  EXPECT_EQ(fields.size(), 14u + 72u);
  EXPECT_EQ(Field(fields, "Dly").caption, "\xE6\x92\xAD\xE6\x94\xBE\xE5\xBB\xB6\xE6\x97\xB6");  // 播放延时
  EXPECT_EQ(Field(fields, "Dly").text, "10 \xE7\xA7\x92");                                      // 10 秒
  const SettingField& bear = Field(fields, "type[" + std::to_string(PlanEntry(2, 7)) + "]");
  EXPECT_EQ(bear.caption, "定时播放B 07:00-07:59");
  EXPECT_EQ(bear.text, "黑熊");
  // The capture switch is stored the other way round from the playback switch.
  EXPECT_EQ(Field(fields, "TMLPen").text, "开");
  c.TMLPen = 1;
  EXPECT_EQ(Field(DecodeSettings(c), "TMLPen").text, "关");
  EXPECT_TRUE(BadFields(c).empty());
}

TEST(CardReport, ValuesOutsideTheDialogsListsAreFlagged) {
  struct Case {
    const char* field;
    uint8_t BroadcastConfig::*member;
    uint8_t bad;
    uint8_t edge;  // the nearest value the dialog offers
  } cases[] = {
      {"Ena", &BroadcastConfig::Ena, 2, 1},
      {"Vol", &BroadcastConfig::Vol, 0, 1},
      {"Vol", &BroadcastConfig::Vol, 9, 8},
      {"PauseDays", &BroadcastConfig::PauseDays, 0, 1},
      {"PlayDaysA", &BroadcastConfig::PlayDaysA, 31, 30},
      {"PlayDaysB", &BroadcastConfig::PlayDaysB, 255, 30},
      {"TimerMod", &BroadcastConfig::TimerMod, 2, 1},
      {"SenMod", &BroadcastConfig::SenMod, 3, 2},
      {"Dly", &BroadcastConfig::Dly, 4, 5},
      {"Dly", &BroadcastConfig::Dly, 31, 30},
      {"AlarmA", &BroadcastConfig::AlarmA, 2, 1},
      {"AlarmB", &BroadcastConfig::AlarmB, 7, 1},
      {"TMLPen", &BroadcastConfig::TMLPen, 2, 1},
      {"IntervalHour", &BroadcastConfig::IntervalHour, 24, 23},
      {"IntervalMinute", &BroadcastConfig::IntervalMinute, 60, 59},
      {"IntervalSecond", &BroadcastConfig::IntervalSecond, 60, 59},
  };
  for (const Case& k : cases) {
    BroadcastConfig c = kDefaultConfig;
    c.*k.member = k.bad;
    EXPECT_EQ(BadFields(c), std::vector<std::string>{k.field}) << k.field << " = " << int(k.bad);
    c.*k.member = k.edge;
    EXPECT_TRUE(BadFields(c).empty()) << k.field << " = " << int(k.edge);
  }
  BroadcastConfig c = kDefaultConfig;
  c.type[PlanEntry(1, 13)] = kSoundKindCount;
  c.type[PlanEntry(2, 0)] = kBirdC;
  EXPECT_EQ(BadFields(c), std::vector<std::string>{"type[37]"});
  EXPECT_EQ(Field(DecodeSettings(c), "type[37]").text, "10 (无此种类)");
}

TEST(CardReport, CategoriesInUseForEveryModeCombination) {
  for (int ena = 0; ena <= 2; ++ena) {
    for (int sen = 0; sen <= 3; ++sen) {
      for (int timer = 0; timer <= 2; ++timer) {
        for (int a = 0; a <= 2; ++a) {
          for (int b = 0; b <= 2; ++b) {
            auto u8 = [](int v) { return static_cast<uint8_t>(v); };
            BroadcastConfig c = Modes(u8(ena), u8(timer), u8(sen), u8(a), u8(b));
            std::vector<int> expected;
            if (ena == 1) {
              if (sen == 1) expected.push_back(0);
              if (timer == 1 && a == 0) expected.push_back(1);
              if (timer == 1 && b == 0) expected.push_back(2);
              if (sen == 2) expected.push_back(3);
              if (timer == 1 && a == 1) expected.push_back(4);
              if (timer == 1 && b == 1) expected.push_back(5);
            }
            EXPECT_EQ(PagesInUse(c), expected) << "Ena " << ena << " SenMod " << sen << " TimerMod " << timer
                                               << " AlarmA " << a << " AlarmB " << b;
          }
        }
      }
    }
  }
}

TEST(CardReport, KindsAPlanNamesAndTheirFolders) {
  BroadcastConfig c = kDefaultConfig;
  for (int h = 0; h < 24; ++h) c.type[PlanEntry(1, h)] = kBirdB;
  c.type[PlanEntry(1, 3)] = kLynx;
  c.type[PlanEntry(1, 20)] = kLynx;
  c.type[PlanEntry(1, 21)] = 200;
  c.type[PlanEntry(2, 0)] = kHuman;   // another plan's entry
  c.type[PlanEntry(2, 23)] = kTiger;  // the last hour counts too
  EXPECT_EQ(KindsOfPlan(c, 1), (std::vector<int>{kLynx, kBirdB}));
  EXPECT_EQ(KindsOfPlan(c, 2), (std::vector<int>{kDog, kTiger, kHuman}));
  EXPECT_EQ(KindsOfPlan(c, 0), std::vector<int>{kDog});
  EXPECT_EQ(FolderOf(0, -1), "audio\\SenseRand");
  EXPECT_EQ(FolderOf(2, -1), "audio\\Alarm\\B");
  EXPECT_EQ(FolderOf(4, kBirdB), "audio\\Alarm\\A\\bird B");
  EXPECT_EQ(FolderOf(3, kBear), "audio\\SenseSpecify\\bear");
}

TEST(CardReport, JsonStringsAreEscaped) {
  EXPECT_EQ(JsonString("audio\\Alarm\\A"), "\"audio\\\\Alarm\\\\A\"");
  EXPECT_EQ(JsonString("say \"hi\"\n\t"), "\"say \\\"hi\\\"\\n\\t\"");
  EXPECT_EQ(JsonString(std::string("a\0b\x1F", 4)), "\"a\\u0000b\\u001f\"");
  EXPECT_EQ(JsonString("黑熊"), "\"黑熊\"");
  // Names that are not UTF-8 (possible on a Linux card) must not break the document.
  EXPECT_EQ(JsonString("\xB9\xB7.wav"), "\"\xEF\xBF\xBD\xEF\xBF\xBD.wav\"");
  // A cut-off sequence is one U+FFFD, as Unicode recommends (one per maximal subpart).
  EXPECT_EQ(JsonString("\xE7\x8B"), "\"\xEF\xBF\xBD\"") << "a cut-off sequence";
  EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"") << "a surrogate";
}

TEST_F(CardTest, ReadyCardHasNoProblemsAndExitsZero) {
  MakeReadyCard();
  // What the device does not see: hidden files, other extensions, folders.
  AddFile("audio\\SenseSpecify\\dog", ".sound.wav", {1, 2, 3});
  AddFile("audio\\SenseSpecify\\dog", "notes.txt", {1, 2, 3});
  fs::create_directories(Folder("audio\\Alarm\\A") / "old.wav");
  AddFile("audio\\Alarm\\A", "LOUD.WAV", ShortWav());

  CardReport r = CheckCard(card());
  EXPECT_TRUE(r.Ready()) << ::testing::PrintToString(r.problems);
  EXPECT_EQ(r.pagesInUse, (std::vector<int>{1, 3, 5}));
  ASSERT_EQ(r.folders.size(), 4u);
  EXPECT_EQ(FolderIn(r, "audio\\SenseSpecify\\dog").goodFiles, 3);
  EXPECT_EQ(FolderIn(r, "audio\\Alarm\\A").goodFiles, 5) << "LOUD.WAV counts, the kind folders do not";
  const WavFile& wav = FolderIn(r, "audio\\Alarm\\B\\tiger").files.at(0);
  EXPECT_EQ(wav.name, "sound0.wav");
  EXPECT_DOUBLE_EQ(wav.info.Seconds(), 1.0);

  ASSERT_EQ(r.plans.size(), 2u);
  EXPECT_EQ(r.plans[0].plan, 0);
  EXPECT_EQ(r.plans[0].hours[11].goodFiles, 3);
  EXPECT_EQ(r.plans[0].hours[12].goodFiles, 2);
  EXPECT_EQ(r.plans[1].plan, 2);
  EXPECT_EQ(r.plans[1].hours[23].goodFiles, 1);

  ProgramRun run = RunCardcheck(Quoted(card()));
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.out.find("  播放延时: 10 秒\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  12:00-12:59  黑熊  2 个文件\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("sound0.wav  PCM 1 声道 16000 Hz 16 位 1.00 秒"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("[!]"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1), "结论: 存储卡可以使用 (0 个问题)\n");
  // The fingerprint before the verdict; a card that is not the one expected.
  std::smatch code;
  ASSERT_TRUE(std::regex_search(run.out, code, std::regex("\n指纹: ([0-9A-F]{4})-([0-9A-F]{4})\n结论")))
      << run.out;
  EXPECT_EQ(RunCardcheck("--expect " + code[1].str() + code[2].str() + " " + Quoted(card())).exitCode, 0);
  std::string other = code[1].str() + "-" + (code[2].str() == "0000" ? "0001" : "0000");
  ProgramRun wrong = RunCardcheck("--expect " + other + " " + Quoted(card()));
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_NE(wrong.out.find("与样板不同 (应为 " + other + ")"), std::string::npos) << wrong.out;
  EXPECT_EQ(RunCardcheck("--expect 12345 " + Quoted(card())).exitCode, 2);

  ProgramRun json = RunCardcheck("--json " + Quoted(card()));
  EXPECT_EQ(json.exitCode, 0);
  EXPECT_NE(json.out.find("\"folder\":\"audio\\\\SenseSpecify\\\\bear\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"problem_count\":0,\"warnings\":[],\"ready\":true}"), std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"fingerprint\":\"" + code[1].str() + code[2].str()), std::string::npos)
      << json.out;
}

TEST_F(CardTest, EmptyKindFolderAndTruncatedFileAreProblems) {
  MakeReadyCard();
  fs::remove_all(Folder("audio\\SenseSpecify\\bear"));
  Folder("audio\\SenseSpecify\\bear");  // there, but empty
  std::vector<unsigned char> cut = ShortWav();
  cut.resize(cut.size() / 2);
  AddFile("audio\\SenseSpecify\\dog", "cut.wav", cut);
  fs::remove_all(Folder("audio\\Alarm\\B\\tiger"));

  CardReport r = CheckCard(card());
  EXPECT_EQ(Count(r.problems, "audio\\SenseSpecify\\bear: 没有 .wav 文件"), 1u);
  EXPECT_EQ(Count(r.problems, "audio\\SenseSpecify\\dog\\cut.wav: 文件被截断"), 1u);
  EXPECT_EQ(Count(r.problems, "audio\\Alarm\\B\\tiger: 文件夹不存在"), 1u);
  EXPECT_EQ(Count(r.problems, "感应播放 ") + Count(r.problems, "定时播放B "), 12u + 24u)
      << "every bear hour and every tiger hour";
  EXPECT_EQ(r.problems.size(), 3u + 12u + 24u) << ::testing::PrintToString(r.problems);
  EXPECT_EQ(FolderIn(r, "audio\\SenseSpecify\\dog").goodFiles, 3) << "the truncated file is not counted";
  EXPECT_TRUE(r.plans[0].hours[0].ok());
  EXPECT_FALSE(r.plans[0].hours[12].ok());

  ProgramRun run = RunCardcheck(Quoted(card()));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("  07:00-07:59  狗  3 个文件\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  13:00-13:59  黑熊  0 个文件  [!]"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("结论: 存储卡还不能使用 (39 个问题)\n"), std::string::npos) << run.out;
}

TEST_F(CardTest, DelayOfZeroIsTheOnlyProblem) {
  MakeReadyCard();
  BroadcastConfig c = ReadyConfig();
  c.Dly = 0;
  WriteSettings(c);
  CardReport r = CheckCard(card());
  ASSERT_EQ(r.problems.size(), 1u) << ::testing::PrintToString(r.problems);
  EXPECT_NE(r.problems[0].find("播放延时"), std::string::npos) << r.problems[0];
  EXPECT_EQ(r.folders.size(), 4u) << "the files are still checked";
  ProgramRun run = RunCardcheck(Quoted(card()));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("  播放延时: 0 秒  [!] "), std::string::npos) << run.out;
}

TEST_F(CardTest, MixedFormatsInOneFolder) {
  MakeReadyCard();
  AddFile("audio\\Alarm\\A", "stereo.wav", PcmWav(2, 44100, 16, 441));
  AddFile("audio\\Alarm\\A", "stereo2.wav", PcmWav(2, 44100, 16, 441));
  CardReport r = CheckCard(card());
  ASSERT_EQ(r.problems.size(), 1u) << ::testing::PrintToString(r.problems);
  EXPECT_TRUE(FolderIn(r, "audio\\Alarm\\A").mixedFormats);
  EXPECT_NE(r.problems[0].find("4 个 1 声道 16000 Hz 16 位"), std::string::npos) << r.problems[0];
  EXPECT_NE(r.problems[0].find("2 个 2 声道 44100 Hz 16 位"), std::string::npos) << r.problems[0];
}

TEST_F(CardTest, SettingsFileMissingOrOfWrongSizeStopsTheCheck) {
  MakeReadyCard();
  fs::remove(card() / "CFG_BROADCAST.bin");
  CardReport missing = CheckCard(card());
  EXPECT_EQ(missing.problems, std::vector<std::string>{"没有 CFG_BROADCAST.bin"});
  EXPECT_TRUE(missing.folders.empty());

  WriteAllBytes((card() / "CFG_BROADCAST.bin").string(), std::vector<unsigned char>(87, 1));
  CardReport longer = CheckCard(card());
  ASSERT_EQ(longer.problems.size(), 1u);
  EXPECT_NE(longer.problems[0].find("87"), std::string::npos) << longer.problems[0];
  EXPECT_TRUE(longer.fields.empty());
  EXPECT_TRUE(longer.folders.empty());

  ProgramRun run = RunCardcheck(Quoted(card()));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("结论: 存储卡还不能使用 (1 个问题)"), std::string::npos) << run.out;
}

TEST_F(CardTest, PlaybackOffChecksTheSettingsOnlyAndWarnsThatNothingPlays) {
  fs::create_directories(card());
  BroadcastConfig c = ReadyConfig();  // every folder in use were it on, none filled
  c.Ena = 0;
  WriteSettings(c);
  CardReport off = CheckCard(card());
  EXPECT_TRUE(off.Ready()) << ::testing::PrintToString(off.problems);
  EXPECT_TRUE(off.pagesInUse.empty());
  EXPECT_TRUE(off.folders.empty());
  ProgramRun run = RunCardcheck(Quoted(card()));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("\n注意: 设备不会播放任何声音\n"), std::string::npos) << run.out;
  EXPECT_NE(
      RunCardcheck("--json " + Quoted(card())).out.find("\"warnings\":[\"注意: 设备不会播放任何声音\"]"),
      std::string::npos);
  // On, but neither by the sensor nor by the clock; either one plays.
  BroadcastConfig still = Modes(1, 0, 0, 0, 0);
  WriteSettings(still);
  EXPECT_EQ(CheckCard(card()).warnings, std::vector<std::string>{"注意: 设备不会播放任何声音"});
  for (BroadcastConfig plays : {Modes(1, 1, 0, 0, 0), Modes(1, 0, 1, 0, 0)}) {
    WriteSettings(plays);
    EXPECT_TRUE(CheckCard(card()).warnings.empty());
  }

  c.Ena = 2;
  WriteSettings(c);
  CardReport two = CheckCard(card());
  ASSERT_EQ(two.problems.size(), 1u);
  EXPECT_NE(two.problems[0].find("播放开关"), std::string::npos);
  EXPECT_TRUE(two.folders.empty());
}

TEST_F(CardTest, UnreadableCardAndWrongUsageExitTwo) {
  EXPECT_EQ(RunCardcheck(Quoted(card() / "missing")).exitCode, 2);
  MakeReadyCard();
  // A file is no card: said on standard error, and no report.
  const std::string file = Quoted(card() / "CFG_BROADCAST.bin");
  ShellRun stderrOnly = RunShell("'" + std::string(CARDCHECK_EXE) + "' " + file + " 2>&1 >/dev/null");
  EXPECT_EQ(stderrOnly.exitCode, 2);
  EXPECT_NE(stderrOnly.out.find("不是文件夹"), std::string::npos) << stderrOnly.out;
  ProgramRun report = RunCardcheck(file);
  EXPECT_EQ(report.exitCode, 2);
  EXPECT_EQ(report.out, "");
  EXPECT_EQ(RunCardcheck("--bogus " + Quoted(card())).exitCode, 2);
  EXPECT_EQ(RunCardcheck(Quoted(card()) + " " + Quoted(card())).exitCode, 2);
  // A card root the user may not read: unreadable, not a card without
  // settings (root reads everything, so the check runs as nobody).
  fs::permissions(card(), fs::perms::owner_all);
  fs::permissions(scratch_.path(), fs::perms::owner_all | fs::perms::others_exec);
  ShellRun denied = RunShell("setpriv --reuid=65534 --regid=65534 --clear-groups '" +
                             std::string(CARDCHECK_EXE) + "' " + Quoted(card()) + " 2>&1");
  if (denied.out.find("setpriv") == std::string::npos) {
    EXPECT_EQ(denied.exitCode, 2) << denied.out;
    EXPECT_NE(denied.out.find("无法读取存储卡"), std::string::npos) << denied.out;
    EXPECT_EQ(denied.out.find("没有 CFG_BROADCAST.bin"), std::string::npos) << denied.out;
  }
}

TEST_F(CardTest, CurrentDirectoryIsTheDefaultCard) {
  MakeReadyCard();
  ProgramRun here = RunCardcheck("--json", card().string());
  EXPECT_EQ(here.exitCode, 0) << here.out;
  EXPECT_NE(here.out.find("\"card\":" + JsonString(card().string())), std::string::npos) << here.out;
  fs::remove(card() / "CFG_BROADCAST.bin");
  here = RunCardcheck("", card().string());
  EXPECT_EQ(here.exitCode, 1);
  EXPECT_NE(here.out.find("没有 CFG_BROADCAST.bin"), std::string::npos) << here.out;
}
