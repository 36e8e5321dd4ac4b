// cardclone.exe under Wine between drive letters: a card prepared by the
// real tool cloned onto two removable drives, checked by cardcheck.exe; a
// fixed drive refused; a link on a card never followed. Run only through
// cardclone_wine.sh, which maps the drive letters R:, S:, T: and U: to
// folders, names the Z: spelling of R:'s folder in BCT_CLONE_R_AS_Z and a
// golden card holding a link in BCT_CLONE_LINKED_GOLDEN.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/program_driver.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/wav_file.h"

TEST(CardCloneOnDrives, ACardPreparedByTheToolClonesOntoTwoDriveLetters) {
  const char* rAsZ = std::getenv("BCT_CLONE_R_AS_Z");
  const char* linkedGolden = std::getenv("BCT_CLONE_LINKED_GOLDEN");
  ASSERT_NE(rAsZ, nullptr) << "run through cardclone_wine.sh";
  ASSERT_NE(linkedGolden, nullptr) << "run through cardclone_wine.sh";
  ScratchDir scratch;
  std::string golden = scratch.str() + "\\golden";
  std::string source = scratch.str() + "\\dog sounds";
  ASSERT_TRUE(PrepareCardWithTool(golden, source));

  // The plan names each card by its drive, label and room; a card that
  // would lose a file needs a yes.
  ProgramRun unconfirmed = RunConsoleProgram("cardclone.exe", "\"" + golden + "\" R: S:\\");
  EXPECT_EQ(unconfirmed.exitCode, 2u) << unconfirmed.out;
  EXPECT_NE(unconfirmed.out.find(u8"  R: (卷标 CARD R，容量 "), std::string::npos) << unconfirmed.out;
  EXPECT_NE(unconfirmed.out.find(u8"    删除 audio\\SenseRand (文件夹，1 个文件)\n"), std::string::npos)
      << unconfirmed.out;
  EXPECT_NE(unconfirmed.out.find(u8"没有确认"), std::string::npos) << unconfirmed.out;

  // "R:" is the drive's root, not its current folder.
  // Each card leaves a row in the record, by drive, label and serial.
  const std::string record = scratch.str() + "\\record.csv";
  ProgramRun clone = RunConsoleProgram("cardclone.exe", "--yes --record \"" + record + "\" \"" + golden + "\" R: S:\\");
  EXPECT_EQ(clone.exitCode, 0u) << clone.out;
  EXPECT_NE(clone.out.find(u8"R:  可以使用，写入 2 个文件，删除 0 个，已相同 0 个，"), std::string::npos)
      << clone.out;
  EXPECT_NE(clone.out.find(u8"S:\\  可以使用，写入 2 个文件，删除 1 个，"), std::string::npos) << clone.out;
  EXPECT_NE(clone.out.find(u8"2 张存储卡可以使用，0 张失败"), std::string::npos) << clone.out;
  std::vector<unsigned char> recordBytes = ReadAllBytes(record);
  const std::string rows(recordBytes.begin(), recordBytes.end());
  EXPECT_NE(rows.find(u8",R:,CARD R,1234-ABCD,"), std::string::npos) << rows;
  EXPECT_NE(rows.find(u8",S:,CARD S,"), std::string::npos) << rows;
  for (const char* card : {"R:\\", "S:\\"}) {
    ProgramRun check = RunConsoleProgram("cardcheck.exe", card);
    EXPECT_EQ(check.exitCode, 0u) << card << "\n" << check.out;
    EXPECT_NE(check.out.find(u8"存储卡可以使用"), std::string::npos) << check.out;
    // The card's fingerprint is the one recorded for the golden card and it.
    std::size_t at = check.out.find(u8"指纹: ");
    ASSERT_NE(at, std::string::npos) << check.out;
    std::string code = check.out.substr(at + std::string(u8"指纹: ").size(), 9);
    code.erase(4, 1);
    EXPECT_NE(rows.find("," + code), std::string::npos) << code << "\n" << rows;
    EXPECT_EQ(ReadAllBytes(std::string(card) + "CFG_BROADCAST.bin"),
              ReadAllBytes(golden + "\\CFG_BROADCAST.bin"));
    EXPECT_EQ(ReadAllBytes(std::string(card) + "audio\\SenseSpecify\\dog\\bark2.wav"),
              PcmWav(1, 16000, 16, 1600));
  }

  // From one drive letter to the other: the card is already identical.
  ProgramRun again = RunConsoleProgram("cardclone.exe", "R: S:");
  EXPECT_EQ(again.exitCode, 0u) << again.out;
  EXPECT_NE(again.out.find(u8"S:  可以使用，写入 0 个文件，删除 0 个，已相同 2 个，"), std::string::npos)
      << again.out;

  // R:'s folder spelled through Z: is the golden card itself.
  ProgramRun refused = RunConsoleProgram("cardclone.exe", std::string("R:\\ S:\\ \"") + rAsZ + "\"");
  EXPECT_EQ(refused.exitCode, 2u) << refused.out;
  EXPECT_NE(refused.out.find(u8"目标就是样板卡"), std::string::npos) << refused.out;

  // Only removable drives are cards; a fixed one takes --any-folder.
  refused = RunConsoleProgram("cardclone.exe", "R: T:");
  EXPECT_EQ(refused.exitCode, 2u) << refused.out;
  EXPECT_NE(refused.out.find(u8"目标不是存储卡 (不是可移动磁盘"), std::string::npos) << refused.out;

  // A link on a card is removed as the link itself (Windows removes a link to
  // a folder with RemoveDirectory, never what it points to), or the card
  // fails: Wine cannot remove a Unix link to a folder, so U: fails here,
  // naming it. What the link points to stays either way (cardclone_wine.sh).
  ProgramRun linked = RunConsoleProgram("cardclone.exe", "--yes R: U:");
  EXPECT_EQ(linked.exitCode, 1u) << linked.out;
  EXPECT_NE(linked.out.find(u8"    删除 audio\\SenseRand (文件夹，1 个文件)"), std::string::npos)
      << linked.out;
  EXPECT_NE(linked.out.find(u8"U:  失败 (无法删除 audio\\SenseRand\\linked"), std::string::npos)
      << linked.out;
  EXPECT_NE(RunConsoleProgram("cardcheck.exe", "U:\\").exitCode, 0u) << "a failed card never looks ready";

  // A link in the golden card is refused before anything is written.
  refused = RunConsoleProgram("cardclone.exe", std::string("\"") + linkedGolden + "\" U:");
  EXPECT_EQ(refused.exitCode, 2u) << refused.out;
  EXPECT_NE(refused.out.find(u8"样板卡的 audio\\SenseRand\\linked 是链接"), std::string::npos) << refused.out;
}
