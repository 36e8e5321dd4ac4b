// Numbered volume labels: what each file system takes, and what a user is
// told when a name cannot fit. Run on both platforms: Windows counts FAT
// bytes in its OEM code page (936 under the tests' locale), Linux in 936.
#include <gtest/gtest.h>

#include <string>

#include "cloning/card_label.h"

TEST(CardLabel, NumbersHaveAtLeastTwoDigitsAndAsManyAsTheLastNeeds) {
  EXPECT_EQ(NumberedLabel(u8"北坡", 1, LabelDigits(20)), u8"北坡01");
  EXPECT_EQ(NumberedLabel(u8"北坡", 7, LabelDigits(150)), u8"北坡007");
  EXPECT_EQ(NumberedLabel("N", 100, LabelDigits(3)), "N100");
  EXPECT_EQ(LabelDigits(0), 2);
  EXPECT_EQ(LabelDigits(1000), 4);
}

TEST(CardLabel, EachFileSystemTakesWhatItsLabelsHold) {
  // FAT: 11 bytes, a Chinese character two of them.
  EXPECT_EQ(LabelProblem(u8"北坡观测01", "FAT32"), "");
  EXPECT_EQ(LabelProblem(u8"北坡观测站01", "FAT32"),
            u8"卷标 北坡观测站01 放不进这张卡 (FAT32 的卷标最多 11 个字节，一个汉字占 2 个字节)");
  EXPECT_EQ(LabelProblem("ABCDEFGHIJK", "FAT"), "");
  EXPECT_NE(LabelProblem("ABCDEFGHIJKL", "FAT"), "");
  for (const char* bad : {"A.B", "A+B", "A:B", "A\"B", "A[1]", "A*", "A/B", "A,B"})
    EXPECT_NE(LabelProblem(bad, "FAT32").find(u8"FAT 卷标不能用的字符"), std::string::npos) << bad;
  // A character the OEM code page lacks cannot be written to FAT at all.
  EXPECT_EQ(LabelProblem(u8"Ωmega\u00e9", "FAT32").find(u8"写不出"), std::string::npos);
  EXPECT_NE(LabelProblem(u8"\U0001F600", "FAT32").find(u8"写不出"), std::string::npos);
  // exFAT: 11 characters, whatever their bytes; the same names as NTFS.
  EXPECT_EQ(LabelProblem(u8"北坡观测站一号机01", "exFAT"), "");
  EXPECT_NE(LabelProblem(u8"北坡观测站一号机0001", "exFAT"), "");
  EXPECT_EQ(LabelProblem("A.B+C", "exFAT"), "");
  // NTFS and the rest: 32.
  EXPECT_EQ(LabelProblem(std::string(32, 'x'), "NTFS"), "");
  EXPECT_NE(LabelProblem(std::string(33, 'x'), "NTFS"), "");
  EXPECT_NE(LabelProblem("A\tB", "NTFS"), "");
  EXPECT_NE(LabelProblem("", "NTFS"), "");
}

TEST(CardLabel, ANameThatCannotFitIsToldWithTheLongestThatDoes) {
  EXPECT_EQ(NumberedLabelRefusal(u8"北坡观测站", 12, 2, "FAT32"),
            u8"卷标 北坡观测站12 放不进这张卡 (FAT32 的卷标最多 11 个字节，一个汉字占 2 个字节)"
            u8"：名字最长可以是“北坡观测” (编号后为 北坡观测12)");
  // The last number of the run counts: 北坡观测A fits up to 99 only.
  EXPECT_EQ(NumberedLabelRefusal(u8"北坡观测A", 99, 2, "FAT32"), "");
  EXPECT_NE(NumberedLabelRefusal(u8"北坡观测A", 100, 2, "FAT32").find(u8"名字最长可以是“北坡观测”"),
            std::string::npos);
  EXPECT_NE(NumberedLabelRefusal("A", 1, 12, "FAT32").find(u8"编号本身就放不下"), std::string::npos);
  // Not a length: no shorter name helps.
  EXPECT_EQ(NumberedLabelRefusal("A.B", 1, 2, "FAT32").find(u8"名字最长"), std::string::npos);
  // A folder has no label of its own.
  LabelNumbers numbers(u8"北坡", 1, 2);
  VolumeInfo folder;
  folder.fileSystem = "NTFS";
  EXPECT_NE(numbers.Refusal(3, folder), "");
  folder.isRoot = true;
  EXPECT_EQ(numbers.Refusal(3, folder), "");
  numbers.Raise(8);
  numbers.Raise(5);
  EXPECT_EQ(numbers.Next(), 8);
}

TEST(CardLabel, FatReportsItsLabelsUpperCased) {
  EXPECT_TRUE(SameLabel("beipo01", "BEIPO01"));
  EXPECT_TRUE(SameLabel(u8"北坡01", u8"北坡01"));
  EXPECT_FALSE(SameLabel("beipo01", "BEIPO02"));
  EXPECT_FALSE(SameLabel("BEIPO01", "beipo01"));
}
