// cardclone, the real program on card folders in a scratch directory: what a
// target holds afterwards, what is left alone, what is refused, what a second
// run writes. Real FAT cards, full and removed ones are in cardclone_fat.sh.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "settings/broadcast_config.h"
#include "settings/config_names.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/settings_record.h"
#include "tests/support/shell_run.h"
#include "tests/support/wav_file.h"

namespace fs = std::filesystem;

namespace {

using CloneRunOut = ShellRun;

CloneRunOut Clone(const std::string& args) {
  return RunShell(std::string("'") + CARDCLONE_EXE + "' " + args + " 2>&1");
}

// The scratch cards are folders, and removals are confirmed.
CloneRunOut CloneFolders(const std::string& args) { return Clone("--any-folder --yes " + args); }

// Every file below root with its bytes (and every folder, as an empty entry).
std::map<std::string, std::vector<unsigned char>> Tree(const fs::path& root) {
  std::map<std::string, std::vector<unsigned char>> tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    std::string rel = fs::relative(entry.path(), root).generic_string();
    tree[rel] = entry.is_directory() ? std::vector<unsigned char>{} : ReadAllBytes(entry.path().string());
  }
  return tree;
}

// Write times of everything below root: unchanged when nothing was written.
std::map<std::string, fs::file_time_type> Times(const fs::path& root) {
  std::map<std::string, fs::file_time_type> times;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    times[entry.path().string()] = entry.last_write_time();
  return times;
}

std::map<std::string, std::vector<unsigned char>> Only(
    const std::map<std::string, std::vector<unsigned char>>& tree, const std::string& prefix) {
  std::map<std::string, std::vector<unsigned char>> part;
  for (const auto& [rel, bytes] : tree) {
    if (rel.rfind(prefix, 0) == 0) part[rel] = bytes;
  }
  return part;
}

class CloneTest : public ::testing::Test {
 protected:
  // Sensor playback at random: the device plays audio/SenseRand. Files of
  // several chunks, of exactly one chunk, empty, in a Chinese name, and a
  // folder the settings do not use.
  void SetUp() override {
    BroadcastConfig c = Modes(1, 0, 1, 0, 0);
    c.Dly = 10;
    settings_ = SettingsBytes(c);
    PutFile(golden() / "CFG_BROADCAST.bin", settings_);
    PutFile(golden() / "audio/SenseRand/big.wav", PcmWavOfSize(2 * 1048576 + 1000, 0x11));
    PutFile(golden() / "audio/SenseRand/one chunk.wav", PcmWavOfSize(1048576, 0x22));
    PutFile(golden() / "audio/SenseRand/狗叫.wav", PcmWavOfSize(5000, 0x33));
    PutFile(golden() / "audio/SenseRand/empty.txt", {});
    PutFile(golden() / "audio/Alarm/A/dog/bark.wav", PcmWavOfSize(3000, 0x44));
    fs::create_directories(golden() / "audio/Alarm/B/bird A");
    PutFile(golden() / "captures/golden-only.jpg", {1, 2, 3});
  }
  fs::path golden() const { return scratch_.path() / "golden"; }
  fs::path Card(const std::string& name) const {
    fs::create_directories(scratch_.path() / name);
    return scratch_.path() / name;
  }
  // A card used before: old settings, other sounds, captures, a user's file,
  // a golden file's name holding other bytes of the same size past the first
  // chunk, and one golden file already there.
  fs::path UsedCard(const std::string& name) {
    fs::path card = Card(name);
    PutFile(card / "CFG_BROADCAST.bin", std::vector<unsigned char>(86, 7));
    PutFile(card / "audio/SenseRand/stale.wav", PcmWavOfSize(4000, 0x55));
    PutFile(card / "audio/SenseSpecify/dog/old.wav", PcmWavOfSize(4000, 0x66));
    std::vector<unsigned char> almost = PcmWavOfSize(2 * 1048576 + 1000, 0x11);
    almost[1048576 + 5] ^= 1;
    PutFile(card / "audio/SenseRand/big.wav", almost);
    PutFile(card / "audio/SenseRand/狗叫.wav", PcmWavOfSize(5000, 0x33));
    PutFile(card / "captures/0001.jpg", {9, 9, 9});
    PutFile(card / "notes.txt", {'k', 'e', 'e', 'p'});
    // Beside the settings: a user's file at a name that looks temporary, the
    // leftover of a settings write cut short, and a user's file at the next
    // temporary name.
    PutFile(card / "CFG_BROADCAST.tmp", {'m', 'i', 'n', 'e'});
    PutFile(card / "CFG_BROADCAST.~00", std::vector<unsigned char>(86, 1));
    PutFile(card / "CFG_BROADCAST.~01", std::vector<unsigned char>(200, 'u'));
    return card;
  }
  void ExpectCloneOf(const fs::path& card) {
    auto goldenTree = Tree(golden());
    auto cardTree = Tree(card);
    EXPECT_EQ(Only(cardTree, "audio"), Only(goldenTree, "audio"));
    EXPECT_EQ(cardTree["CFG_BROADCAST.bin"], settings_);
  }

  ScratchDir scratch_;
  std::vector<unsigned char> settings_;
};

TEST_F(CloneTest, UsedAndFreshCardsComeOutIdenticalAndOnlyTheAudioTreeAndSettingsChange) {
  fs::path used = UsedCard("used"), fresh = Card("fresh");
  auto goldenBefore = Tree(golden());
  CloneRunOut run = CloneFolders(Quoted(golden()) + " " + Quoted(used) + " " + Quoted(fresh));
  EXPECT_EQ(run.exitCode, 0) << run.out;
  ExpectCloneOf(used);
  ExpectCloneOf(fresh);
  auto usedTree = Tree(used);
  EXPECT_EQ(usedTree["captures/0001.jpg"], (std::vector<unsigned char>{9, 9, 9}));
  EXPECT_EQ(usedTree["notes.txt"], (std::vector<unsigned char>{'k', 'e', 'e', 'p'}));
  EXPECT_EQ(usedTree.count("captures/golden-only.jpg"), 0u);
  EXPECT_EQ(usedTree["CFG_BROADCAST.tmp"], (std::vector<unsigned char>{'m', 'i', 'n', 'e'}));
  EXPECT_EQ(usedTree.count("CFG_BROADCAST.~00"), 0u) << "the leftover is removed, no new one is left";
  EXPECT_EQ(usedTree["CFG_BROADCAST.~01"], std::vector<unsigned char>(200, 'u'));
  EXPECT_EQ(usedTree.count("CFG_BROADCAST.~02"), 0u);
  EXPECT_EQ(Tree(golden()), goldenBefore);
  EXPECT_NE(run.out.find(used.string() + "  可以使用，写入 4 个文件，删除 2 个，已相同 1 个，"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find(fresh.string() + "  可以使用，写入 5 个文件，删除 0 个，已相同 0 个，3.2 MB，"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("\n2 张存储卡可以使用，0 张失败\n"), std::string::npos) << run.out;

  // Again on the finished cards: nothing is written, not even the settings.
  auto times = Times(used);
  CloneRunOut again = CloneFolders("--json " + Quoted(golden()) + " " + Quoted(used) + " " + Quoted(fresh));
  EXPECT_EQ(again.exitCode, 0) << again.out;
  EXPECT_EQ(Times(used), times);
  nlohmann::json doc = nlohmann::json::parse(again.out);
  ASSERT_EQ(doc["cards"].size(), 2u);
  for (const auto& card : doc["cards"]) {
    EXPECT_EQ(card["ready"], true);
    EXPECT_EQ(card["verified"], true);
    EXPECT_EQ(card["files_written"], 0);
    EXPECT_EQ(card["files_removed"], 0);
    EXPECT_EQ(card["files_identical"], 5);
    EXPECT_EQ(card["bytes_written"], 0);
  }
  EXPECT_EQ(doc["ready"], 2);
  EXPECT_EQ(doc["failed"], 0);
}

TEST_F(CloneTest, KeepExtraKeepsOtherSoundsButNotALeftOverTemporaryFile) {
  fs::path used = UsedCard("used");
  PutFile(used / "audio/SenseRand/.cardclone.tmp", {1});
  CloneRunOut run = CloneFolders("--keep-extra " + Quoted(golden()) + " " + Quoted(used));
  EXPECT_EQ(run.exitCode, 0) << run.out;
  auto tree = Tree(used);
  EXPECT_EQ(tree.count("audio/SenseRand/stale.wav"), 1u);
  EXPECT_EQ(tree.count("audio/SenseSpecify/dog/old.wav"), 1u);
  EXPECT_EQ(tree.count("audio/SenseRand/.cardclone.tmp"), 0u);
  EXPECT_EQ(tree["audio/SenseRand/big.wav"], PcmWavOfSize(2 * 1048576 + 1000, 0x11));
  EXPECT_EQ(tree["CFG_BROADCAST.bin"], settings_);
}

TEST_F(CloneTest, RefusedTargetsAndAGoldenCardNotReadyLeaveEveryCardAsItWas) {
  fs::path used = UsedCard("used");
  fs::create_directory_symlink(golden(), scratch_.path() / "link");
  auto before = Tree(scratch_.path());
  struct Case {
    std::string args;
    std::string says;
  } cases[] = {
      {"--any-folder " + Quoted(golden()) + " " + Quoted(used) + " " + Quoted(scratch_.path() / "link"),
       "目标卡被拒绝\n  1. 目标就是样板卡"},
      {Quoted(golden()), "需要一张样板卡和至少一张目标卡"},
      {"--bogus " + Quoted(golden()) + " " + Quoted(used), "未知选项 --bogus"},
      // A folder, wherever it lies, is said to be one, and --any-folder named.
      {Quoted(golden()) + " " + Quoted(used),
       "目标不是存储卡 (不是一个磁盘的根目录；要写入文件夹请加 --any-folder): " + used.string()},
      // A mounted card's label is never written here.
      {"--any-folder --yes --label 北坡 " + Quoted(golden()) + " " + Quoted(used),
       "在 Linux 上不改存储卡的卷标"},
      {"--first 3 " + Quoted(golden()) + " " + Quoted(used), "--first 只和 --label 一起用"},
      {"--label N --first -1 " + Quoted(golden()) + " " + Quoted(used), "--first 后面要写编号的第一个数字"},
  };
  for (const Case& c : cases) {
    CloneRunOut run = Clone(c.args);
    EXPECT_EQ(run.exitCode, 2) << c.args << "\n" << run.out;
    EXPECT_NE(run.out.find(c.says), std::string::npos) << c.args << "\n" << run.out;
  }
  EXPECT_EQ(Tree(scratch_.path()), before);
  CloneRunOut help = Clone("--help");
  EXPECT_EQ(help.exitCode, 0);
  for (const char* part :
       {"例如 (Windows): cardclone E:\\ F:", "例如 (Linux):", "“批量制卡”窗口 (cardbatch.exe)"})
    EXPECT_NE(help.out.find(part), std::string::npos) << part << "\n" << help.out;

  // A golden card whose plan names a kind without sounds is not ready.
  PutFile(golden() / "CFG_BROADCAST.bin", SettingsBytes(Modes(1, 0, 2, 0, 0)));
  before = Tree(scratch_.path());
  CloneRunOut run = Clone("--json " + Quoted(golden()) + " " + Quoted(used));
  EXPECT_EQ(run.exitCode, 2) << run.out;
  nlohmann::json doc = nlohmann::json::parse(run.out);
  EXPECT_EQ(doc["done"], false);
  EXPECT_NE(doc["errors"][0].get<std::string>().find("audio\\SenseSpecify\\dog"), std::string::npos)
      << run.out;
  EXPECT_EQ(Tree(scratch_.path()), before);

  // A golden card that plays nothing is ready: cloned, with the check's warning first.
  PutFile(golden() / "CFG_BROADCAST.bin", SettingsBytes(Modes(0, 0, 0, 0, 0)));
  CloneRunOut silent = CloneFolders("--dry-run " + Quoted(golden()) + " " + Quoted(used));
  EXPECT_EQ(silent.exitCode, 0) << silent.out;
  EXPECT_EQ(silent.out.rfind("注意: 设备不会播放任何声音\n样板卡: ", 0), 0u) << silent.out;
}

TEST_F(CloneTest, ProgressIsShownOnATerminalOnly) {
  fs::path card = Card("card");
  // script(1) gives the program a terminal of its own.
  std::string command = std::string("script -qec \"'") + CARDCLONE_EXE + "' --any-folder " +
                        Quoted(golden()) + " " + Quoted(card) + "\" /dev/null";
  CloneRunOut onTerminal = Clone("--help >/dev/null; " + command);
  EXPECT_NE(onTerminal.out.find("写入中"), std::string::npos) << onTerminal.out;
  EXPECT_NE(onTerminal.out.find("\x1b[0J"), std::string::npos) << onTerminal.out;
  EXPECT_NE(onTerminal.out.find("1 张存储卡可以使用"), std::string::npos) << onTerminal.out;
  CloneRunOut piped = CloneFolders(Quoted(golden()) + " " + Quoted(card));
  EXPECT_EQ(piped.out.find("\x1b"), std::string::npos) << piped.out;
}

// A scratch card is a folder; --yes is what the user would answer.
TEST_F(CloneTest, NothingIsRemovedBeforeTheUserSaysSoAndADryRunOnlyShowsThePlan) {
  fs::path used = UsedCard("used");
  auto before = Tree(scratch_.path());
  const std::string cards = Quoted(golden()) + " " + Quoted(used);
  CloneRunOut unasked = Clone("--any-folder " + cards + " </dev/null");
  EXPECT_EQ(unasked.exitCode, 2) << unasked.out;
  EXPECT_NE(unasked.out.find("    删除 audio\\SenseRand\\stale.wav\n"), std::string::npos) << unasked.out;
  EXPECT_NE(unasked.out.find("    删除 audio\\SenseSpecify (文件夹，1 个文件)\n"), std::string::npos)
      << unasked.out;
  EXPECT_NE(unasked.out.find("在命令行上确认请加 --yes"), std::string::npos) << unasked.out;
  // Sizes from 1 GB up in GB, as the window says them (the scratch cards lie on a disk).
  EXPECT_TRUE(std::regex_search(unasked.out, std::regex("\\(容量 \\d+\\.\\d GB，可用 \\d+\\.\\d [GM]B\\)")))
      << unasked.out;
  CloneRunOut dry = Clone("--any-folder --dry-run " + cards);
  EXPECT_EQ(dry.exitCode, 0) << dry.out;
  EXPECT_NE(dry.out.find("写入 3 个文件 (1.1 MB)，比较 2 个大小相同的文件，删除 2 个文件\n"),
            std::string::npos)
      << dry.out;
  // On a terminal it asks once; anything but y writes nothing.
  std::string onTerminal =
      std::string("script -qec \"'") + CARDCLONE_EXE + "' --any-folder " + cards + "\" /dev/null";
  CloneRunOut no = RunShell("printf 'n\\n' | " + onTerminal + " 2>&1");
  EXPECT_NE(no.out.find("继续吗? 输入 y 后按回车继续"), std::string::npos) << no.out;
  EXPECT_NE(no.out.find("没有写入任何存储卡"), std::string::npos) << no.out;
  EXPECT_EQ(Tree(scratch_.path()), before);
  CloneRunOut yes = RunShell("printf 'y\\n' | " + onTerminal + " 2>&1");
  EXPECT_NE(yes.out.find("1 张存储卡可以使用"), std::string::npos) << yes.out;
  ExpectCloneOf(used);
}

TEST_F(CloneTest, LinksAreNeverFollowedAndNamesFatWouldMergeAreRefused) {
  fs::path outside = scratch_.path() / "outside";
  PutFile(outside / "keep.wav", PcmWavOfSize(3000, 0x99));
  fs::path card = UsedCard("card");
  fs::create_directory_symlink(outside, card / "audio/SenseRand/linked folder");
  fs::create_symlink(outside / "keep.wav", card / "audio/SenseRand/linked.wav");
  fs::create_directories(card / "audio/Alarm");
  fs::create_directory_symlink(outside, card / "audio/Alarm/A");  // at a golden folder's name
  CloneRunOut run = CloneFolders(Quoted(golden()) + " " + Quoted(card));
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.out.find("    删除 audio\\Alarm\\A (链接，只删除链接本身)\n"), std::string::npos) << run.out;
  ExpectCloneOf(card);
  EXPECT_EQ(Tree(outside),
            (std::map<std::string, std::vector<unsigned char>>{{"keep.wav", PcmWavOfSize(3000, 0x99)}}));

  // In the golden card a link, and two names FAT takes for one, are refused.
  auto before = Tree(scratch_.path());
  fs::create_symlink(outside / "keep.wav", golden() / "audio/SenseRand/shadow.wav");
  CloneRunOut link = CloneFolders(Quoted(golden()) + " " + Quoted(card));
  EXPECT_EQ(link.exitCode, 2) << link.out;
  EXPECT_NE(link.out.find("样板卡的 audio\\SenseRand\\shadow.wav 是链接"), std::string::npos) << link.out;
  fs::remove(golden() / "audio/SenseRand/shadow.wav");
  PutFile(golden() / "audio/SenseRand/BIG.wav", PcmWavOfSize(3000, 0x11));
  CloneRunOut cases = CloneFolders(Quoted(golden()) + " " + Quoted(card));
  EXPECT_EQ(cases.exitCode, 2) << cases.out;
  EXPECT_NE(cases.out.find("样板卡的 audio\\SenseRand\\BIG.wav 和 audio\\SenseRand\\big.wav 只有大小写不同"),
            std::string::npos)
      << cases.out;
  fs::remove(golden() / "audio/SenseRand/BIG.wav");
  // The settings file as a link is named as one, like a sound.
  fs::rename(golden() / "CFG_BROADCAST.bin", outside / "settings.bin");
  fs::create_symlink(outside / "settings.bin", golden() / "CFG_BROADCAST.bin");
  CloneRunOut settings = CloneFolders(Quoted(golden()) + " " + Quoted(card));
  EXPECT_EQ(settings.exitCode, 2) << settings.out;
  EXPECT_NE(settings.out.find("样板卡的 CFG_BROADCAST.bin 是链接"), std::string::npos) << settings.out;
  fs::remove(golden() / "CFG_BROADCAST.bin");
  fs::rename(outside / "settings.bin", golden() / "CFG_BROADCAST.bin");
  EXPECT_EQ(Tree(scratch_.path()), before);
}

// A card whose settings cannot be written, or whose files cannot be, carries
// no settings file afterwards: it never looks ready.
TEST_F(CloneTest, ACardThatFailsCarriesNoSettingsFile) {
  fs::path card = Card("card");
  ASSERT_EQ(CloneFolders(Quoted(golden()) + " " + Quoted(card)).exitCode, 0);
  auto check = [&] {
    return RunShell(std::string("'") + CARDCHECK_EXE + "' " + Quoted(card) + " >/dev/null").exitCode;
  };
  ASSERT_EQ(check(), 0);
  // Other valid settings, the same sounds, and no temporary name free for
  // the new settings: the old file goes all the same.
  BroadcastConfig other = Modes(1, 0, 1, 0, 0);
  other.Dly = 20;
  PutFile(card / "CFG_BROADCAST.bin", SettingsBytes(other));
  ASSERT_EQ(check(), 0);
  for (int n = 0; n < 100; ++n) fs::create_directories(card / ConfigTempName(n));
  CloneRunOut settings = CloneFolders(Quoted(golden()) + " " + Quoted(card));
  EXPECT_EQ(settings.exitCode, 1) << settings.out;
  EXPECT_FALSE(fs::exists(card / "CFG_BROADCAST.bin"));
  EXPECT_NE(check(), 0);
  for (int n = 0; n < 100; ++n) fs::remove(card / ConfigTempName(n));

  // A finished card, one golden sound changed, its rewrite failing; then a
  // read-back that differs from what was written; then the file gone from
  // the card after its read-back, before the card's last listing.
  ASSERT_EQ(CloneFolders(Quoted(golden()) + " " + Quoted(card)).exitCode, 0);
  PutFile(golden() / "audio/SenseRand/狗叫.wav", PcmWavOfSize(5000, 0x34));
  for (const char* fault :
       {"write:.cardclone-", "read:.cardclone-", "vanish:/card/audio/SenseRand/狗叫.wav"}) {
    CloneRunOut faulty =
        RunShell(std::string("BCT_FAULT=") + fault + " ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD='" +
                 IO_FAULT_SHIM + "' '" + CARDCLONE_EXE + "' --any-folder --yes " + Quoted(golden()) + " " +
                 Quoted(card) + " 2>&1");
    EXPECT_EQ(faulty.exitCode, 1) << fault << "\n" << faulty.out;
    if (std::string(fault).rfind("vanish:", 0) == 0) {
      EXPECT_NE(faulty.out.find("失败 (存储卡上少了 audio\\SenseRand\\狗叫.wav)"), std::string::npos)
          << faulty.out;
    }
    EXPECT_FALSE(fs::exists(card / "CFG_BROADCAST.bin")) << fault;
    EXPECT_NE(check(), 0) << fault;
  }
  EXPECT_EQ(CloneFolders(Quoted(golden()) + " " + Quoted(card)).exitCode, 0)
      << "a later run finishes the card";
  ExpectCloneOf(card);
}

TEST_F(CloneTest, WhatStandsAtAGoldenNameIsReplacedEvenWithExtrasKept) {
  fs::path card = Card("card");
  fs::create_directories(card / "audio/SenseRand/狗叫.wav/inside");  // a folder at a golden file's name
  std::vector<unsigned char> longer = PcmWavOfSize(1048576, 0x22);
  longer.push_back(0);  // the golden file, and one byte more
  PutFile(card / "audio/SenseRand/one chunk.wav", longer);
  PutFile(card / "audio/SenseRand/mine.wav", PcmWavOfSize(3000, 0x77));
  CloneRunOut run = CloneFolders("--keep-extra " + Quoted(golden()) + " " + Quoted(card));
  EXPECT_EQ(run.exitCode, 0) << run.out;
  auto tree = Tree(card);
  EXPECT_EQ(tree["audio/SenseRand/狗叫.wav"], PcmWavOfSize(5000, 0x33));
  EXPECT_EQ(tree["audio/SenseRand/one chunk.wav"], PcmWavOfSize(1048576, 0x22));
  EXPECT_EQ(tree["audio/SenseRand/mine.wav"], PcmWavOfSize(3000, 0x77)) << "an extra kept";
}

// Every read-back opens the file written and drops what the system cached
// of it first, so the bytes come from the medium; a large golden file onto a
// slow card is held a window at a time, not whole.
TEST_F(CloneTest, ReadBacksComeFromTheMediumAndMemoryStaysBounded) {
  constexpr std::size_t kLarge = 192u << 20;
  PutFile(golden() / "audio/SenseRand/large.wav", PcmWavOfSize(kLarge, 0x5A));
  fs::path card = Card("card");
  // One trace file per thread (-ff): a thread's calls are never split by
  // another's ("<unfinished ...>").
  fs::path traces = scratch_.path() / "trace";
  fs::create_directories(traces);
  CloneRunOut traced = RunShell("ASAN_OPTIONS=detect_leaks=0 strace -ff -qq -e trace=openat,fadvise64 -o '" +
                                (traces / "t").string() + "' '" + CARDCLONE_EXE + "' --any-folder --yes " +
                                Quoted(golden()) + " " + Quoted(card) + " 2>&1");
  if (traced.exitCode != 0 && traced.out.find("strace") != std::string::npos)
    GTEST_SKIP() << "no strace here";
  ASSERT_EQ(traced.exitCode, 0) << traced.out;
  // "openat(AT_FDCWD, ".../.cardclone-3.tmp", O_RDONLY|O_CLOEXEC) = 7", then
  // "fadvise64(7, 0, 0, POSIX_FADV_DONTNEED) = 0" of the same thread.
  std::regex open(R"(openat\([^"]*"[^"]*\.cardclone-\d+\.tmp", O_RDONLY[^)]*\) = (\d+))");
  int readBacks = 0;
  for (const auto& file : fs::directory_iterator(traces)) {
    std::vector<unsigned char> bytes = ReadAllBytes(file.path().string());
    std::string trace(bytes.begin(), bytes.end());
    for (std::sregex_iterator it(trace.begin(), trace.end(), open), end; it != end; ++it) {
      // The first advice the thread gives about that descriptor.
      std::regex advice("fadvise64\\(" + (*it)[1].str() + ", ([^)]*)\\)");
      std::smatch first;
      std::string rest = trace.substr(static_cast<std::size_t>(it->position() + it->length()));
      ASSERT_TRUE(std::regex_search(rest, first, advice)) << (*it)[0].str();
      EXPECT_EQ(first[1].str(), "0, 0, POSIX_FADV_DONTNEED") << (*it)[0].str();
      ++readBacks;
    }
  }
  EXPECT_EQ(readBacks, 6) << "one read-back per file written";

  // (The address sanitizer would keep what is freed for a while: only a little.)
  fs::remove_all(card);
  fs::create_directories(card);
  CloneRunOut timed = RunShell(
      "BCT_FAULT=slow:.cardclone- ASAN_OPTIONS=verify_asan_link_order=0:quarantine_size_mb=4 LD_PRELOAD='" +
      std::string(IO_FAULT_SHIM) + "' /usr/bin/time -f 'peak %M' '" + CARDCLONE_EXE +
      "' --any-folder --yes " + Quoted(golden()) + " " + Quoted(card) + " 2>&1");
  ASSERT_EQ(timed.exitCode, 0) << timed.out;
  std::size_t at = timed.out.rfind("peak ");
  ASSERT_NE(at, std::string::npos) << timed.out;
  EXPECT_LT(std::stoul(timed.out.substr(at + 5)), 128u * 1024) << "KiB, for a file of 192 MiB";
}

// What the program asks of the system: every file it puts in place, a
// sound of a batch or its settings, was flushed to the medium (the batch by
// one syncfs, the settings by fsync) after its last write and before it
// took its name.
TEST_F(CloneTest, EveryFileIsOnTheMediumBeforeItIsPutInPlace) {
  fs::path card = Card("card"), traces = scratch_.path() / "trace";
  fs::create_directories(traces);
  CloneRunOut traced = RunShell(
      "ASAN_OPTIONS=detect_leaks=0 strace -ff -qq -e trace=openat,write,fsync,fdatasync,syncfs,rename -o '" +
      (traces / "t").string() + "' '" + CARDCLONE_EXE + "' --any-folder --yes " + Quoted(golden()) + " " +
      Quoted(card) + " 2>&1");
  if (traced.exitCode != 0 && traced.out.find("strace") != std::string::npos)
    GTEST_SKIP() << "no strace here";
  ASSERT_EQ(traced.exitCode, 0) << traced.out;
  // strace pads short calls: "syncfs(3)        = 0".
  const std::regex open(R"re(^openat\([^"]*"([^"]*)", O_WRONLY[^)]*\)\s+= (\d+))re"),
      write(R"(^write\((\d+),)"), fsync(R"(^f(?:data)?sync\((\d+)\)\s+= 0)"),
      syncfs(R"(^syncfs\(\d+\)\s+= 0)"), rename(R"re(^rename\("([^"]*)", "([^"]*)"\)\s+= 0)re");
  int sounds = 0, settings = 0;
  for (const auto& file : fs::directory_iterator(traces)) {
    std::ifstream in(file.path());
    std::map<std::string, std::string> pathOf;  // by descriptor
    std::map<std::string, bool> unflushed;      // by path: written since its last flush
    for (std::string line; std::getline(in, line);) {
      std::smatch m;
      if (std::regex_search(line, m, open)) {
        pathOf[m[2]] = m[1];
        unflushed[m[1]] = false;
      } else if (std::regex_search(line, m, write) && pathOf.count(m[1])) {
        unflushed[pathOf[m[1]]] = true;
      } else if (std::regex_search(line, m, fsync) && pathOf.count(m[1])) {
        unflushed[pathOf[m[1]]] = false;
      } else if (std::regex_search(line, syncfs)) {
        for (auto& entry : unflushed) entry.second = false;
      } else if (std::regex_search(line, m, rename) && unflushed.count(m[1])) {
        EXPECT_FALSE(unflushed[m[1]]) << "put in place before it was flushed: " << line;
        std::string to = m[2];
        (to.size() > 18 && to.compare(to.size() - 18, 18, "/CFG_BROADCAST.bin") == 0 ? settings : sounds) +=
            1;
      }
    }
  }
  EXPECT_EQ(sounds, 5);
  EXPECT_EQ(settings, 1);
  ExpectCloneOf(card);
}

// Cards on media of their own (tmpfs, bind mounts): skipped where mounts are refused.
TEST_F(CloneTest, ACardTooSmallIsRefusedUpFrontAndAMountInsideACardIsNeverEmptied) {
  fs::path small = Card("small"), host = Card("host"), outside = scratch_.path() / "outside";
  PutFile(outside / "keep.wav", {4, 5, 6});
  if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=1m") != 0) GTEST_SKIP() << "mounts are refused here";
  PutFile(small / "CFG_BROADCAST.bin", std::vector<unsigned char>(86, 7));
  fs::create_directories(host / "audio/SenseRand/mounted");
  bool bound =
      ::mount(outside.c_str(), (host / "audio/SenseRand/mounted").c_str(), nullptr, MS_BIND, nullptr) == 0;
  auto before = Tree(small);
  CloneRunOut run =
      Clone("--yes " + Quoted(golden()) + " " + Quoted(small) + " --any-folder " + Quoted(host));
  EXPECT_EQ(run.exitCode, 1) << run.out;
  EXPECT_NE(run.out.find("不写这张卡: 存储卡空间不足: 需要 3.2 MB，可用 1.0 MB"), std::string::npos)
      << run.out;
  EXPECT_EQ(Tree(small), before) << "refused up front, left as it was";
  if (bound) {
    EXPECT_NE(run.out.find("存储卡的 audio\\SenseRand\\mounted 是另一个磁盘的挂载点，不会清空它"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(ReadAllBytes((outside / "keep.wav").string()), (std::vector<unsigned char>{4, 5, 6}));
    ::umount2((host / "audio/SenseRand/mounted").c_str(), MNT_DETACH);
  }
  ::umount2(small.c_str(), MNT_DETACH);
}

// The golden card changed while it is copied, at a known point (when the
// reader starts on "one chunk.wav", after three files): whatever changed,
// every card fails, none keeps a settings file (not even one that needed no
// change) and no row of the record carries a card fingerprint.
TEST_F(CloneTest, AGoldenCardChangedWhileItIsCopiedFailsEveryCard) {
  fs::path made = Card("made"), fresh = Card("fresh"), record = scratch_.path() / "record.csv";
  BroadcastConfig other = Modes(1, 0, 1, 0, 0);
  other.Dly = 25;
  PutFile(scratch_.path() / "other.bin", SettingsBytes(other));
  const std::string g = Quoted(golden());
  const struct {
    std::string change, undo;
  } cases[] = {
      {"printf 'RIFF' > " + g + "/audio/SenseRand/new.wav", "rm " + g + "/audio/SenseRand/new.wav"},
      {"cp " + Quoted(scratch_.path() / "other.bin") + " " + g + "/CFG_BROADCAST.bin", ""},
      {"mkdir " + g + "/audio/Alarm/B/'bird B'", "rmdir " + g + "/audio/Alarm/B/'bird B'"},
      {"rm " + g + "/audio/Alarm/A/dog/bark.wav", ""},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(CloneFolders(Quoted(golden()) + " " + Quoted(made)).exitCode, 0);
    fs::remove_all(fresh);
    fs::create_directories(fresh);
    fs::remove(record);
    CloneRunOut run =
        RunShell("BCT_FAULT='hook:/golden/audio/SenseRand/one chunk.wav' BCT_HOOK=\"" + c.change +
                 "\" ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD='" + IO_FAULT_SHIM + "' '" +
                 CARDCLONE_EXE + "' --any-folder --yes --record " + Quoted(record) + " " + Quoted(golden()) +
                 " " + Quoted(made) + " " + Quoted(fresh) + " 2>&1");
    EXPECT_EQ(run.exitCode, 1) << c.change << "\n" << run.out;
    for (const fs::path& card : {made, fresh}) {
      EXPECT_NE(run.out.find(card.string() + "  失败 (样板卡在复制时被改动: "), std::string::npos)
          << c.change << "\n"
          << run.out;
      EXPECT_FALSE(fs::exists(card / "CFG_BROADCAST.bin")) << c.change << " " << card;
    }
    auto bytes = ReadAllBytes(record.string());
    std::string rows(bytes.begin(), bytes.end());
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 3) << rows;
    EXPECT_TRUE(std::regex_search(rows, std::regex(",[0-9A-F]{16},,失败,")) &&
                !std::regex_search(rows, std::regex(",[0-9A-F]{16},[0-9A-F]{16},")))
        << c.change << "\n"
        << rows;
    if (!c.undo.empty()) RunShell(c.undo);
    PutFile(golden() / "CFG_BROADCAST.bin", settings_);
    PutFile(golden() / "audio/Alarm/A/dog/bark.wav", PcmWavOfSize(3000, 0x44));
  }
}

// The clone's own temporary names: a golden card holding one is refused
// before anything is written; on a target only a plain file of such a name
// in a folder the clone writes goes unasked. A user's files at names that
// merely look like them are extras: in the plan, asked about, kept with
// --keep-extra.
TEST_F(CloneTest, OnlyTheClonesOwnTemporaryFilesGoUnasked) {
  fs::path card = Card("card");
  PutFile(golden() / "audio/SenseRand/.cardclone-7.tmp", {1, 2});
  auto before = Tree(scratch_.path());
  CloneRunOut refused = CloneFolders(Quoted(golden()) + " " + Quoted(card));
  EXPECT_EQ(refused.exitCode, 2) << refused.out;
  EXPECT_NE(refused.out.find("样板卡的 audio\\SenseRand\\.cardclone-7.tmp 用的是 cardclone 自己的临时文件名"),
            std::string::npos)
      << refused.out;
  EXPECT_EQ(Tree(scratch_.path()), before);
  fs::remove(golden() / "audio/SenseRand/.cardclone-7.tmp");

  PutFile(card / "audio/SenseRand/.cardclone-3.tmp", {3});  // a clone cut short left it
  PutFile(card / "audio/SenseRand/.cardclone-notes.tmp", {'n'});
  for (const char* name : {"a", "b", "c"}) PutFile(card / "audio/.cardclone-backup.tmp" / name, {'b'});
  const std::string cards = Quoted(golden()) + " " + Quoted(card);
  CloneRunOut unasked = Clone("--any-folder " + cards + " </dev/null");
  EXPECT_EQ(unasked.exitCode, 2) << unasked.out;
  EXPECT_NE(unasked.out.find("删除 4 个文件\n"), std::string::npos) << unasked.out;
  EXPECT_NE(unasked.out.find("    删除 audio\\SenseRand\\.cardclone-notes.tmp\n"), std::string::npos)
      << unasked.out;
  EXPECT_NE(unasked.out.find("    删除 audio\\.cardclone-backup.tmp (文件夹，3 个文件)\n"), std::string::npos)
      << unasked.out;
  EXPECT_EQ(unasked.out.find(".cardclone-3.tmp"), std::string::npos) << unasked.out;
  EXPECT_TRUE(fs::exists(card / "audio/SenseRand/.cardclone-notes.tmp"));

  CloneRunOut kept = CloneFolders("--keep-extra " + cards);
  EXPECT_EQ(kept.exitCode, 0) << kept.out;
  EXPECT_TRUE(fs::exists(card / "audio/SenseRand/.cardclone-notes.tmp"));
  EXPECT_TRUE(fs::exists(card / "audio/.cardclone-backup.tmp/c"));
  EXPECT_FALSE(fs::exists(card / "audio/SenseRand/.cardclone-3.tmp"));
  CloneRunOut removed = CloneFolders(cards);
  EXPECT_NE(removed.out.find("可以使用，写入 0 个文件，删除 4 个，"), std::string::npos) << removed.out;
  ExpectCloneOf(card);
}

}  // namespace

// Every card written leaves a row in the record: appended, never rewritten,
// with the golden card's fingerprint as cardcheck gives it; a failed card's
// row has no card fingerprint; a record that cannot be written stops the run
// before any card is written.
TEST_F(CloneTest, TheRecordGetsARowForEveryCardAndIsOnlyAddedTo) {
  fs::path used = UsedCard("used"), fresh = Card("fresh"), record = scratch_.path() / "制卡记录.csv";
  const std::string cards = Quoted(golden()) + " " + Quoted(used) + " " + Quoted(fresh);
  ASSERT_EQ(CloneFolders("--record " + Quoted(record) + " " + cards).exitCode, 0);
  std::string code = nlohmann::json::parse(
      RunShell(std::string("'") + CARDCHECK_EXE + "' --json " + Quoted(golden()) + " 2>/dev/null")
          .out)["fingerprint"];
  auto bytes = ReadAllBytes(record.string());
  std::string first(bytes.begin(), bytes.end());
  const std::string header =
      "\xEF\xBB\xBF时间,盘符,卷标,卷序列号,容量字节,样板,样板指纹,卡指纹,结果,原因,写入文件,"
      "删除文件,写入字节,秒,程序版本\r\n";
  ASSERT_EQ(first.rfind(header, 0), 0u) << first;
  std::regex ready("\r\n\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d,[^,\r\n]*" +
                   fresh.filename().string() + ",,,\\d+,[^,]*," + code + "," + code +
                   ",可以使用,,5,0,\\d+,\\d+\\.\\d,\\d+\\.\\d+\\.\\d+\r\n");
  EXPECT_TRUE(std::regex_search(first, ready)) << first;
  EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 3);

  // A card whose writes fail: its row says so; the record only grows.
  PutFile(golden() / "audio/SenseRand/狗叫.wav", PcmWavOfSize(5000, 0x35));
  RunShell(std::string("BCT_FAULT=write:/used/ ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD='") +
           IO_FAULT_SHIM + "' '" + CARDCLONE_EXE + "' --any-folder --yes --record " + Quoted(record) + " " +
           cards);
  bytes = ReadAllBytes(record.string());
  std::string second(bytes.begin(), bytes.end());
  EXPECT_EQ(second.rfind(first, 0), 0u) << second;
  std::string added = second.substr(first.size());
  EXPECT_EQ(std::count(added.begin(), added.end(), '\n'), 2) << added;
  EXPECT_TRUE(std::regex_search(added, std::regex("used,,,\\d+,[^,]*,[0-9A-F]{16},,失败,\"?写入 "))) << added;

  // A folder where the record should be: refused before any card is written.
  auto before = Tree(scratch_.path());
  CloneRunOut refused = CloneFolders("--record " + Quoted(scratch_.path() / "used") + " " + cards);
  EXPECT_EQ(refused.exitCode, 2) << refused.out;
  EXPECT_NE(refused.out.find("无法写入记录"), std::string::npos) << refused.out;
  EXPECT_EQ(Tree(scratch_.path()), before);
}
