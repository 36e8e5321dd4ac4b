// cardclone's parts on their own: the piece window between the golden reader
// and the card writers, the refusals of the targets, and the FAT spelling
// rule. The whole program is in test_cardclone.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <memory>
#include <numeric>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <sys/mount.h>

#include "cloning/card_names.h"
#include "cloning/clone_plan.h"
#include "cloning/clone_record.h"
#include "cloning/golden_reader.h"
#include "cloning/clone_targets.h"
#include "cloning/piece_window.h"
#include "common/text_format.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/wait_until.h"

namespace fs = std::filesystem;

namespace {

using namespace std::chrono_literals;

TEST(PieceWindow, TheSlowestWriterSetsThePaceAndEveryWriterTakesEveryPieceInOrder) {
  constexpr int kPieces = 10;
  constexpr int kHeld = 3;
  PieceWindow<int> window(2, kHeld);
  std::atomic<int> pushed{0};
  std::thread reader([&] {
    for (int i = 0; i < kPieces; ++i) {
      window.Push(std::make_shared<const int>(i));
      ++pushed;
    }
    window.End();
  });
  std::vector<int> fast, slow;
  std::thread fastWriter([&] {
    while (auto piece = window.Next(0)) fast.push_back(*piece);
  });

  // The slow writer has taken nothing: the reader stops at the maximum...
  EXPECT_TRUE(WaitUntil([&] { return pushed == kHeld; }));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(pushed, kHeld);
  // ...and is woken only once half the window is free, to fill it again.
  slow.push_back(*window.Next(1));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(pushed, kHeld);
  slow.push_back(*window.Next(1));
  EXPECT_TRUE(WaitUntil([&] { return pushed == kHeld + 2; }));

  while (auto piece = window.Next(1)) slow.push_back(*piece);
  reader.join();
  fastWriter.join();
  std::vector<int> all(kPieces);
  std::iota(all.begin(), all.end(), 0);
  EXPECT_EQ(fast, all);
  EXPECT_EQ(slow, all);
}

// A card far slower than the golden card's reader: the reader would run
// ahead by the whole card, and waits instead; the pieces alive at any time
// are the window's and the one each writer works on.
TEST(PieceWindow, PiecesHeldStayBoundedWhenOneCardIsFarSlower) {
  struct Counted {
    static std::atomic<int>& Alive() {
      static std::atomic<int> alive{0};
      return alive;
    }
    static std::atomic<int>& Most() {
      static std::atomic<int> most{0};
      return most;
    }
    Counted() {
      int now = ++Alive();
      for (int most = Most(); now > most && !Most().compare_exchange_weak(most, now);) {
      }
    }
    ~Counted() { --Alive(); }
  };
  constexpr int kPieces = 400;
  PieceWindow<Counted> window(2, kWindowPieces);
  std::thread reader([&] {
    for (int i = 0; i < kPieces; ++i) window.Push(std::make_shared<const Counted>());
    window.End();
  });
  int fast = 0, slow = 0;
  std::thread fastWriter([&] {
    while (window.Next(0)) ++fast;
  });
  while (auto piece = window.Next(1)) {
    ++slow;
    std::this_thread::sleep_for(100us);  // the slow card's pace
  }
  reader.join();
  fastWriter.join();
  EXPECT_EQ(fast, kPieces);
  EXPECT_EQ(slow, kPieces);
  EXPECT_LE(Counted::Most().load(), static_cast<int>(kWindowPieces) + 2);
  EXPECT_GE(Counted::Most().load(), static_cast<int>(kWindowPieces) / 2) << "the window was used";
  EXPECT_EQ(Counted::Alive().load(), 0);
}

TEST(PieceWindow, AWriterThatLeavesHoldsNoPiecesAndNobodyBack) {
  PieceWindow<int> window(2, 2);
  auto first = std::make_shared<const int>(0);
  std::weak_ptr<const int> held = first;
  ASSERT_TRUE(window.Push(std::move(first)));
  ASSERT_TRUE(window.Push(std::make_shared<const int>(1)));
  EXPECT_EQ(*window.Next(0), 0);
  EXPECT_EQ(*window.Next(0), 1);
  EXPECT_FALSE(held.expired()) << "writer 1 has yet to take it";

  window.Leave(1);
  ASSERT_TRUE(held.expired());
  // Full while writer 1 was there; now writer 0 alone sets the pace.
  ASSERT_TRUE(window.Push(std::make_shared<const int>(2)));
  ASSERT_TRUE(window.Push(std::make_shared<const int>(3)));
  EXPECT_EQ(*window.Next(0), 2);

  window.Leave(0);
  EXPECT_FALSE(window.Push(std::make_shared<const int>(4))) << "nobody is left to take it";
}

TEST(RefuseTargets, EveryTargetThatIsOrHoldsOrSitsInTheGoldenCardOrAnotherTargetIsRefused) {
  ScratchDir scratch;
  const fs::path root = scratch.path();
  fs::create_directories(root / "golden/audio/SenseRand");
  fs::create_directories(root / "golden/captures");
  WriteAllBytes((root / "golden/CFG_BROADCAST.bin").string(), std::vector<unsigned char>(86, 0));
  fs::create_directories(root / "used/captures");
  fs::create_directories(root / "fresh");
  fs::create_directory_symlink(root / "golden", root / "link");
  GoldenCard golden;
  ASSERT_EQ(ReadGoldenCard(root / "golden", golden), "");

  const std::string used = (root / "used").string(), fresh = (root / "fresh").string();
  const std::string missing = (root / "missing").string(), link = (root / "link").string();
  const std::string dotted = (root / "used/../golden/.").string(), usedAgain = (root / "used/.").string();
  const std::string captures = (root / "golden/captures").string(),
                    usedCaptures = (root / "used/captures").string();
  struct Case {
    std::vector<std::string> given;
    std::vector<std::string> refusals;
  } cases[] = {
      {{used, fresh}, {}},
      {{used, missing}, {"目标不存在或不是文件夹: " + missing}},
      {{link}, {"目标就是样板卡: " + link}},
      {{dotted}, {"目标就是样板卡: " + dotted}},
      {{captures}, {"目标在样板卡里面: " + captures}},
      {{root.string()}, {"目标包含样板卡: " + root.string()}},
      {{used, usedAgain}, {"同一个目标给了两次: " + used + " 和 " + usedAgain}},
      {{usedCaptures, used}, {"一个目标在另一个目标里面: " + usedCaptures + " 和 " + used}},
      {{used, usedCaptures}, {"一个目标在另一个目标里面: " + used + " 和 " + usedCaptures}},
      // Each target's own reasons first, then those of pairs.
      {{used, missing, link, usedAgain},
       {"目标不存在或不是文件夹: " + missing, "目标就是样板卡: " + link,
        "同一个目标给了两次: " + used + " 和 " + usedAgain}},
  };
  for (const Case& c : cases) {
    std::vector<Target> targets;
    for (const std::string& given : c.given) targets.push_back({given, TargetPath(given), {}, {}});
    EXPECT_EQ(RefuseTargets(golden, targets, true), c.refusals) << c.given.back();
    if (c.refusals.empty()) {
      EXPECT_EQ(targets[1].id, IdOf(root / "fresh"));
    }
  }
}

// A golden file written after it was listed is neither the old file nor the
// new one by the time it is read: it is not copied.
TEST(GoldenReader, AFileChangedSinceItWasListedEndsTheReading) {
  ScratchDir scratch;
  const fs::path root = scratch.path();
  WriteAllBytes((root / "CFG_BROADCAST.bin").string(), std::vector<unsigned char>(86, 0));
  fs::create_directories(root / "audio");
  WriteAllBytes((root / "audio/a.wav").string(), std::vector<unsigned char>(3000, 1));
  WriteAllBytes((root / "audio/b.wav").string(), std::vector<unsigned char>(3000, 2));
  GoldenCard golden;
  ASSERT_EQ(ReadGoldenCard(root, golden), "");
  std::vector<std::string> errors;
  auto readAll = [&] {
    GoldenWindow window(1, 4);
    std::thread reader([&] { ReadGolden(golden, window); });
    errors.clear();
    while (auto piece = window.Next(0)) errors.push_back(piece->readError);
    reader.join();
  };
  readAll();
  EXPECT_EQ(errors, (std::vector<std::string>{"", ""}));
  WriteAllBytes((root / "audio/b.wav").string(), std::vector<unsigned char>(3000, 3));
  fs::last_write_time(root / "audio/b.wav",
                      fs::last_write_time(root / "audio/b.wav") + std::chrono::seconds(2));
  readAll();
  // Read whole, but written after it was listed: told once all is read.
  EXPECT_EQ(errors, (std::vector<std::string>{"", "", "样板卡在复制时被改动: audio\\b.wav"}));
}

// Only a card is a target: the root of a mounted file system other than the
// system's own, the golden card's or the program's; --any-folder lets any
// folder be one, never "/" itself.
TEST(RefuseTargets, OnlyTheRootOfAnotherMountedFileSystemIsACard) {
  ScratchDir scratch;
  const fs::path root = scratch.path();
  fs::create_directories(root / "card");
  fs::create_directories(root / "folder");
  fs::create_directories(root / "golden/audio");
  WriteAllBytes((root / "golden/CFG_BROADCAST.bin").string(), std::vector<unsigned char>(86, 0));
  GoldenCard golden;
  ASSERT_EQ(ReadGoldenCard(root / "golden", golden), "");
  bool mounted = ::mount("tmpfs", (root / "card").c_str(), "tmpfs", 0, "size=1m") == 0;
  if (mounted) fs::create_directories(root / "card/sub");
  auto refusal = [&](const fs::path& path, bool anyFolder) {
    std::vector<Target> targets = {{path.string(), path, {}, {}}};
    std::vector<std::string> refusals = RefuseTargets(golden, targets, anyFolder);
    return refusals.empty() ? std::string() : refusals.front().substr(0, refusals.front().find(':'));
  };
  // A folder is said to be one, and how to write one named, though it lies on
  // the system's file system.
  EXPECT_EQ(refusal(root / "folder", false),
            "目标不是存储卡 (不是一个磁盘的根目录；要写入文件夹请加 --any-folder)");
  EXPECT_EQ(refusal(root / "folder", true), "");
  EXPECT_NE(refusal("/", true), "") << "it holds the golden card, and it is the system's";
  if (mounted) {
    EXPECT_EQ(refusal(root / "card", false), "");
    EXPECT_EQ(refusal(root / "card/sub", false),
              "目标不是存储卡 (不是一个磁盘的根目录；要写入文件夹请加 --any-folder)");
    EXPECT_EQ(refusal(root / "card/sub", true), "");
    ::umount2((root / "card").c_str(), MNT_DETACH);
  } else {
    GTEST_SKIP() << "tmpfs mounts are refused here";
  }
}

// Linux folders tell case apart; a link under the golden spelling stands in
// for FAT, where both spellings name one entry.
TEST(CardTree, AnEntryTakesItsGoldenSpellingOnlyWhereTheCardTakesBothSpellingsForIt) {
  GoldenCard golden;
  golden.folders = {"audio", "audio/SenseRand"};
  golden.files = {{"audio/SenseRand/狗叫.WAV", 1}};
  GoldenNames names(golden);
  ScratchDir card;
  const fs::path audio = card.path() / "audio";
  fs::create_directories(audio / "senserand");
  fs::create_directories(audio / "SENSERAND");
  EXPECT_EQ(GoldenSpelling(names, audio, "audio/senserand"), "audio/senserand");
  fs::create_directory_symlink("senserand", audio / "SenseRand");
  EXPECT_EQ(GoldenSpelling(names, audio, "audio/senserand"), "audio/SenseRand");
  EXPECT_EQ(GoldenSpelling(names, audio, "audio/SENSERAND"), "audio/SENSERAND") << "another entry";
  EXPECT_EQ(GoldenSpelling(names, audio, "audio/other"), "audio/other");
  EXPECT_EQ(FoldCase("AUDIO/SenseRand/狗叫.WAV"), "audio/senserand/狗叫.wav");
  EXPECT_EQ(FoldCase("ÄÖ Ωμ Жук Ĳ"), "äö ωμ жук ĳ");
}

}  // namespace

TEST(CloneRecord, FieldsQuotedAsRfc4180AndTimesWithTheirOffset) {
  struct {
    const char* text;
    const char* field;
  } cases[] = {{"", ""},
               {"E:", "E:"},
               {"写入 audio\\a.wav 时出错: 设备未就绪。", "写入 audio\\a.wav 时出错: 设备未就绪。"},
               {"a,b", "\"a,b\""},
               {"say \"hi\"", "\"say \"\"hi\"\"\""},
               {"two\r\nlines", "\"two\r\nlines\""},
               {" padded", "\" padded\""},
               // What a spreadsheet would run is written as text.
               {"=1+1", "\"'=1+1\""},
               {"+cmd|' /C calc'!A0", "\"'+cmd|' /C calc'!A0\""},
               {"@SUM(A1)", "\"'@SUM(A1)\""},
               {"-2+3", "\"'-2+3\""},
               {"\tx", "\"'\tx\""},
               {"\rx", "\"'\rx\""},
               {"=\"a\",b", "\"'=\"\"a\"\",b\""},
               {"a=1+1", "a=1+1"},
               {"2026-12-09T08:00:00-03:30", "2026-12-09T08:00:00-03:30"}};
  for (const auto& c : cases) EXPECT_EQ(CsvField(c.text), c.field) << c.text;

  RecordRow row;
  row.time = "2026-12-09T08:00:00+08:00";
  row.drive = "F:";
  row.label = "CARD, 1";
  row.serial = SerialText(0x1234ABCDu);
  row.capacity = 31914983424u;
  row.golden = "D:\\样板";
  row.goldenFingerprint = row.cardFingerprint = "001C84BED2EB69D1";
  row.ready = true;
  row.filesWritten = 3;
  row.bytesWritten = 1048576;
  row.seconds = 2.46;
  row.version = "1.1.8";
  EXPECT_EQ(RecordLine(row),
            "2026-12-09T08:00:00+08:00,F:,\"CARD, 1\",1234-ABCD,31914983424,D:\\样板,001C84BED2EB69D1,"
            "001C84BED2EB69D1,可以使用,,3,0,1048576,2.5,1.1.8\r\n");
  EXPECT_EQ(SerialText(0), "");

  const char* zone = std::getenv("TZ");
  std::string saved = zone ? zone : "";
  std::time_t when = 1765267200;  // 2025-12-09T08:00:00Z
  for (const auto& [tz, text] : {std::pair<const char*, const char*>{"UTC0", "2025-12-09T08:00:00+00:00"},
                                 {"CST-8", "2025-12-09T16:00:00+08:00"},
                                 {"NST3:30", "2025-12-09T04:30:00-03:30"}}) {
    setenv("TZ", tz, 1);
    tzset();
    EXPECT_EQ(LocalTimeText(when), text) << tz;
  }
  if (zone)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

TEST(Sizes, InOneUnitForEveryProgram) {
  EXPECT_EQ(SizeText(0), "0.0 MB");
  EXPECT_EQ(SizeText(3'200'000), "3.2 MB");
  EXPECT_EQ(SizeText(999'940'000), "999.9 MB");
  EXPECT_EQ(SizeText(1'000'000'000), "1.0 GB");
  EXPECT_EQ(SizeText(270'553'200'000), "270.6 GB");
}

TEST(CloneRecord, RowsThatCannotBeWrittenWaitForTheNextFlush) {
  ScratchDir scratch;
  PendingRecord record(scratch.path() / "not yet" / "record.csv");
  RecordRow row;
  row.drive = "F:";
  record.Add({row, row});
  std::string error;
  EXPECT_FALSE(record.Flush(error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(record.waiting(), 2u);
  std::filesystem::create_directory(scratch.path() / "not yet");
  ASSERT_TRUE(record.Flush(error)) << error;
  EXPECT_EQ(record.waiting(), 0u);
  row.drive = "G:";
  record.Add({row});
  ASSERT_TRUE(record.Flush(error)) << error;
  std::ifstream in(record.file(), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4) << text;
  EXPECT_NE(text.find(",F:,"), std::string::npos);
  EXPECT_GT(text.find(",G:,"), text.rfind(",F:,")) << "in the order added";
}
