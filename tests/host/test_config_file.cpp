// The settings file operations. Compiled into the host tests and into the
// Windows tests, so the same cases run on glibc and on the Windows C runtime.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/broadcast_config.h"
#include "settings/config_file.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/settings_record.h"

namespace {

std::vector<unsigned char> RecordBytes() {
  return std::vector<unsigned char>(ConfigBytes(), ConfigBytes() + kConfigSize);
}

void SetSaveDirectory(const std::string& dir) {
  std::snprintf(SaveDirectory, sizeof SaveDirectory, "%s", dir.c_str());
}

std::string ConfigPath(const char* name = kConfigFileName) {
  char path[kConfigPathSize];
  EXPECT_TRUE(ComposeConfigPath(path, sizeof path, name));
  return path;
}

std::string TempPath(int number) {
  char path[kConfigPathSize];
  EXPECT_TRUE(ComposeConfigTempPath(path, sizeof path, number));
  return path;
}

// Each test gets an empty card directory as save directory and a record with
// the defaults. On Linux the backslash join puts the file beside the card
// directory as "card\CFG_BROADCAST.bin"; the tests use the composed path.
class ConfigFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Config = kDefaultConfig;
    card_ = (scratch_.path() / "card").string();
    std::filesystem::create_directories(card_);
    SetSaveDirectory(card_);
  }
  void TearDown() override {
    Config = kDefaultConfig;
    SetSaveDirectory("C:\\");
  }

  // Runs fn with standard output captured; returns the trace.
  template <typename Fn>
  std::string Traced(Fn fn) {
    ::testing::internal::CaptureStdout();
    fn();
    return WithoutCarriageReturns(::testing::internal::GetCapturedStdout());
  }

  ScratchDir scratch_;
  std::string card_;
};

}  // namespace

TEST_F(ConfigFileTest, PathJoinsWithOneBackslashEvenAfterADriveRoot) {
  SetSaveDirectory("C:\\");
  EXPECT_EQ(ConfigPath(), "C:\\\\CFG_BROADCAST.bin");
  SetSaveDirectory("D:\\card");
  EXPECT_EQ(ConfigPath(), "D:\\card\\CFG_BROADCAST.bin");
}

TEST_F(ConfigFileTest, LongestSaveDirectoryStillComposesAndOverlongOnesAreRefused) {
  std::string longest(kPathSize - 1, 'x');
  SetSaveDirectory(longest);
  EXPECT_EQ(TempPath(kConfigTempCount - 1), longest + "\\CFG_BROADCAST.~99");

  char small[24];
  EXPECT_FALSE(ComposeConfigPath(small, sizeof small));
  EXPECT_STREQ(small, "") << "a truncated path must never be used";
}

TEST_F(ConfigFileTest, LengthOfMissingEmptyAndOrdinaryFiles) {
  std::string path = (scratch_.path() / "f.bin").string();
  EXPECT_EQ(GetFileLength(path.c_str()), 0);
  WriteAllBytes(path, {});
  EXPECT_EQ(GetFileLength(path.c_str()), 0);
  WriteAllBytes(path, std::vector<unsigned char>(1000, 7));
  EXPECT_EQ(GetFileLength(path.c_str()), 1000);
}

TEST_F(ConfigFileTest, DefaultRecordWritesExactlyTheDefaultBytes) {
  std::string trace = Traced([] { EXPECT_EQ(WriteConfigFile(), 0); });
  EXPECT_EQ(ReadAllBytes(ConfigPath()), SettingsBytes(kDefaultConfig));
  EXPECT_FALSE(std::filesystem::exists(TempPath(0)));
  EXPECT_EQ(trace, "Open file - \"" + TempPath(0) + "\" success!\n" +
                       "________________________________________________\n");
}

TEST_F(ConfigFileTest, MissingFileIsRejectedAndRecordKept) {
  Config.Vol = 3;
  std::string trace = Traced([] { EXPECT_EQ(ReadConfigFile(), -1); });
  EXPECT_EQ(trace, "sizeof = 86\niGetFileSize = 0\nFile szie != struct size!\n");
  EXPECT_EQ(Config.Vol, 3);
}

TEST_F(ConfigFileTest, FilesOfWrongLengthAreRejectedAndRecordKept) {
  std::vector<std::size_t> lengths;
  for (std::size_t length = 0; length <= 200; ++length) {
    if (length != kConfigSize) lengths.push_back(length);
  }
  for (std::size_t length : {std::size_t{BUFSIZ}, std::size_t{BUFSIZ} + 86, std::size_t{1} << 20}) {
    lengths.push_back(length);
  }
  for (std::size_t length : lengths) {
    // A file whose first 86 bytes would make a valid record all the same.
    std::vector<unsigned char> bytes(length, 0xAB);
    for (std::size_t i = 0; i < length && i < kConfigSize; ++i) bytes[i] = static_cast<unsigned char>(i % 3);
    WriteAllBytes(ConfigPath(), bytes);
    std::vector<unsigned char> before = RecordBytes();
    std::string trace = Traced([] { EXPECT_EQ(ReadConfigFile(), -1); });
    EXPECT_EQ(trace,
              "sizeof = 86\niGetFileSize = " + std::to_string(length) + "\nFile szie != struct size!\n")
        << "length " << length;
    EXPECT_EQ(RecordBytes(), before) << "length " << length;
  }
}

TEST_F(ConfigFileTest, OutOfRangeValuesLoadAndWriteBackUnchanged) {
  std::vector<unsigned char> bytes(kConfigSize);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(200 + i);
  bytes[0] = 2;  // Ena
  bytes[7] = 0;  // Dly
  WriteAllBytes(ConfigPath(), bytes);

  std::string trace = Traced([] { EXPECT_EQ(ReadConfigFile(), 0); });
  EXPECT_EQ(RecordBytes(), bytes);

  std::string expected = "sizeof = 86\niGetFileSize = 86\nOpen file - \"" + ConfigPath() +
                         "\" success!\n_bufsiz = " + std::to_string(BUFSIZ) + "\n" +
                         "Ena = 2\nVol = 201\nTimerMod = 205\nSenMod = 206\nAlarmA = 208\n"
                         "AlarmB = 209\nTMLPen = 26\nDly = 0\n";
  for (int h = 0; h < 24; ++h) {
    expected += "type[" + std::to_string(h) + "] = " + std::to_string((210 + h) & 0xFF) + "\n";
  }
  EXPECT_EQ(trace, expected);

  std::filesystem::remove(ConfigPath());
  Traced([] { EXPECT_EQ(WriteConfigFile(), 0); });
  EXPECT_EQ(ReadAllBytes(ConfigPath()), bytes);
}

TEST_F(ConfigFileTest, GenerateWritesReadsBackAndReportsSuccess) {
  Config.Ena = 1;
  Config.Dly = 10;
  std::vector<unsigned char> chosen = RecordBytes();
  GenerateResult result{};
  std::string trace = Traced([&] { result = RunGenerate(); });

  EXPECT_TRUE(result.succeeded);
  EXPECT_EQ(std::string(result.statusText), "在“" + card_ + "”生成了配置文件：CFG_BROADCAST.bin。");
  EXPECT_EQ(ReadAllBytes(ConfigPath()), chosen);
  EXPECT_EQ(RecordBytes(), chosen);
  // Write, separator, then a complete read-back.
  EXPECT_EQ(trace.rfind("Open file - \"" + TempPath(0) + "\" success!\n____", 0), 0u) << trace;
  EXPECT_NE(trace.find("Ena = 1\n"), std::string::npos);
  EXPECT_NE(trace.find("Dly = 10\n"), std::string::npos);
  EXPECT_NE(trace.find("type[23] = 0\n"), std::string::npos);
  EXPECT_EQ(trace.find("Generate fail!"), std::string::npos);
}

TEST_F(ConfigFileTest, AFailedWriteKeepsTheOlderFileAndTheUsersValues) {
  // No card directory at all: the first temporary file cannot be made.
  SetSaveDirectory((scratch_.path() / "missing" / "card").string());
  Config.Ena = 1;
  Config.Vol = 8;
  std::vector<unsigned char> chosen = RecordBytes();
  GenerateResult result{};
  std::string trace = Traced([&] { result = RunGenerate(); });
  EXPECT_FALSE(result.succeeded);
  EXPECT_STREQ(result.statusText, "生配置文件失败！");
  EXPECT_EQ(RecordBytes(), chosen);
  EXPECT_EQ(trace, "Open file - \"" + TempPath(0) + "\" err!\n" +
                       "________________________________________________\n" + "Generate fail!\n");

  // An older, valid settings file is on the card, and folders stand at every
  // name the new file could be written to first.
  SetSaveDirectory(card_);
  std::vector<unsigned char> older = SettingsBytes(kDefaultConfig);
  older[1] = 2;
  WriteAllBytes(ConfigPath(), older);
  for (int number = 0; number < kConfigTempCount; ++number)
    std::filesystem::create_directories(TempPath(number));
  Config.Vol = 7;
  chosen = RecordBytes();
  trace = Traced([&] { result = RunGenerate(); });
  EXPECT_FALSE(result.succeeded);
  EXPECT_STREQ(result.statusText, "生配置文件失败！");
  EXPECT_EQ(ReadAllBytes(ConfigPath()), older) << "the older file must survive";
  EXPECT_EQ(RecordBytes(), chosen) << "the older file must not be read back into the record";
  EXPECT_NE(trace.find("Generate fail!\n"), std::string::npos);
  EXPECT_EQ(trace.find("sizeof = "), std::string::npos) << "no read-back after a failed write";
}

TEST_F(ConfigFileTest, WhatStandsAtTheTemporaryNamesNeverBlocksGenerateNorIsOverwritten) {
  // An older settings file is replaced whole, every round. A folder, a
  // read-only file and a user's own file stand at the first temporary
  // names (their notes, 8 bytes: small, but no record), a leftover of a
  // write cut short at the next one (empty: made, never written), and a
  // user's file at the name older versions used.
  WriteAllBytes(ConfigPath(), std::vector<unsigned char>(86, 0xEE));
  std::filesystem::create_directories(TempPath(0));
  WriteAllBytes(TempPath(1), std::vector<unsigned char>(20, 'r'));
  std::filesystem::permissions(TempPath(1), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  std::vector<unsigned char> users = {'m', 'y', ' ', 'n', 'o', 't', 'e', 's'};
  WriteAllBytes(TempPath(2), users);
  WriteAllBytes(TempPath(3), {});
  WriteAllBytes(ConfigPath("CFG_BROADCAST.tmp"), SettingsBytes(kDefaultConfig));

  for (int round = 0; round < 3; ++round) {
    Config.Vol = static_cast<uint8_t>(2 + round);
    GenerateResult result{};
    std::string trace = Traced([&] { result = RunGenerate(); });
    EXPECT_TRUE(result.succeeded) << round;
    EXPECT_EQ(ReadAllBytes(ConfigPath()), RecordBytes()) << round;
    EXPECT_EQ(ReadAllBytes(ConfigPath()).at(1), 2 + round);
    // The leftover's name is used again, and the trace names that file.
    EXPECT_EQ(trace.rfind("Open file - \"" + TempPath(3) + "\" success!\n", 0), 0u) << trace;
    EXPECT_FALSE(std::filesystem::exists(TempPath(3))) << "leftovers do not pile up";
    EXPECT_FALSE(std::filesystem::exists(TempPath(4)));
    EXPECT_TRUE(std::filesystem::is_directory(TempPath(0)));
    EXPECT_EQ(ReadAllBytes(TempPath(1)), std::vector<unsigned char>(20, 'r'));
    EXPECT_EQ(ReadAllBytes(TempPath(2)), users);
    EXPECT_EQ(ReadAllBytes(ConfigPath("CFG_BROADCAST.tmp")), SettingsBytes(kDefaultConfig));
    // A write cut short after the flush leaves the whole record behind.
    WriteAllBytes(TempPath(3), RecordBytes());
  }
  std::filesystem::permissions(TempPath(1), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}
