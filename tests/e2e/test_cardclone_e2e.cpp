// cardclone.exe under Wine between drive letters: a card prepared by the
// real tool cloned onto two cards, checked by cardcheck.exe. Run only through
// cardclone_wine.sh, which maps the drive letters R: and S: to folders and
// names the Z: spelling of R:'s folder in BCT_CLONE_R_AS_Z.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/program_driver.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/wav_file.h"

TEST(CardCloneOnDrives, ACardPreparedByTheToolClonesOntoTwoDriveLetters) {
  const char* rAsZ = std::getenv("BCT_CLONE_R_AS_Z");
  ASSERT_NE(rAsZ, nullptr) << "run through cardclone_wine.sh";
  ScratchDir scratch;
  std::string golden = scratch.str() + "\\golden";
  std::string source = scratch.str() + "\\dog sounds";
  ASSERT_TRUE(PrepareCardWithTool(golden, source));

  // "R:" is the drive's root, not its current folder.
  ProgramRun clone = RunConsoleProgram("cardclone.exe", "\"" + golden + "\" R: S:\\");
  EXPECT_EQ(clone.exitCode, 0u) << clone.out;
  EXPECT_NE(clone.out.find(u8"R:  可以使用，写入 2 个文件，删除 0 个，已相同 0 个，"), std::string::npos)
      << clone.out;
  EXPECT_NE(clone.out.find(u8"S:\\  可以使用，写入 2 个文件，删除 1 个，"), std::string::npos) << clone.out;
  EXPECT_NE(clone.out.find(u8"2 张存储卡可以使用，0 张失败"), std::string::npos) << clone.out;
  for (const char* card : {"R:\\", "S:\\"}) {
    ProgramRun check = RunConsoleProgram("cardcheck.exe", card);
    EXPECT_EQ(check.exitCode, 0u) << card << "\n" << check.out;
    EXPECT_NE(check.out.find(u8"存储卡可以使用"), std::string::npos) << check.out;
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
}
