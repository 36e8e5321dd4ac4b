// What the clone says, for every program that makes cards (cardclone and the
// many-card window): why a golden card or a target is refused, why a card
// failed, what a plan removes, and the record's own words. Templates are
// printf formats filled by Format; where what fills them is not plain from
// the name, a comment says. UTF-8. A path below a card is shown as the card
// spells it ("audio\SenseRand"), a target as it was given.
#pragma once

#include <string>

#include "common/text_format.h"

// What was being done to a file when an operation on it failed.
enum class FileStep { kWriting, kReading, kReadingBack };
// "写入 audio\SenseRand\a.wav 时" for the file rel ('/'-separated, below the card).
std::string Doing(FileStep step, const std::string& rel);

// ---- the record of the cards written -------------------------------------------
// Its first row, exactly as the records of every program that makes cards.
constexpr char kRecordHeader[] =
    "时间,盘符,卷标,卷序列号,容量字节,样板,样板指纹,卡指纹,结果,原因,写入文件,删除文件,写入字节,秒,程序版本";
constexpr char kRecordReady[] = "可以使用";
constexpr char kRecordFailed[] = "失败";

constexpr char kTextNoGoldenCard[] = "找不到样板卡";
constexpr char kTextNoSuchFolder[] = "找不到目录 %s";
constexpr char kTextGoldenNotReady[] = "样板卡还不能使用 (%zu 个问题)";
constexpr char kTextGoldenUnreadable[] = "无法读取样板卡";

// The golden card cannot be read: the entry, then the system's words.
constexpr char kTextGoldenEntryUnreadable[] = "无法读取样板卡的 %s (%s)";
constexpr char kTextGoldenEntryNotCopyable[] = "样板卡的 %s 既不是普通文件也不是文件夹，无法复制";
constexpr char kTextGoldenLink[] = "样板卡的 %s 是链接 (符号链接或联接)，不复制链接：请换成文件或文件夹本身";
constexpr char kTextGoldenMountPoint[] = "样板卡的 %s 是另一个磁盘的挂载点，不复制";
// Two names of one folder, the first one kept.
constexpr char kTextGoldenNamesCollide[] = "样板卡的 %s 和 %s 只有大小写不同，在存储卡上会成为同一个文件";
constexpr char kTextGoldenSettingsUnreadable[] = "无法读取样板卡的 %s";
constexpr char kTextGoldenSettingsWrongSize[] = "无法读取样板卡的 %s (长度不对)";
constexpr char kTextGoldenAudioNotAFolder[] = "样板卡的 %s 不是文件夹";
constexpr char kTextGoldenTempName[] =
    "样板卡的 %s 用的是 cardclone 自己的临时文件名，不能复制：请把它改名或删除";

// The targets refused, each as given; a pair in the order given.
constexpr char kTextTargetMissing[] = "目标不存在或不是文件夹: %s";
constexpr char kTextTargetUnknown[] = "无法识别目标文件夹: %s";
constexpr char kTextTargetIsGolden[] = "目标就是样板卡: %s";
constexpr char kTextTargetInGolden[] = "目标在样板卡里面: %s";
constexpr char kTextTargetHoldsGolden[] = "目标包含样板卡: %s";
constexpr char kTextTargetTwice[] = "同一个目标给了两次: %s 和 %s";
constexpr char kTextTargetInTarget[] = "一个目标在另一个目标里面: %s 和 %s";
constexpr char kTextTargetSystem[] = "目标是系统盘或在系统盘上: %s";
constexpr char kTextTargetNotARoot[] =
    "目标不是存储卡 (不是一个磁盘的根目录；要写入文件夹请加 --any-folder): %s";
constexpr char kTextTargetNotRemovable[] =
    "目标不是存储卡 (不是可移动磁盘；要写入固定磁盘请加 --any-folder): %s";
constexpr char kTextTargetProgramDrive[] = "目标是本程序所在的磁盘: %s";
constexpr char kTextTargetGoldenDrive[] = "目标和样板卡在同一个磁盘上: %s";

// ---- why a card failed --------------------------------------------------------
constexpr char kTextCardGone[] = "存储卡已移除或已更换";
// What was being done (Doing).
constexpr char kTextCardGoneWhile[] = "存储卡已移除或已更换 (%s)";
constexpr char kTextCardFullWhile[] = "存储卡已满 (%s)";
// What was being done, then the system's words.
constexpr char kTextFailedWhile[] = "%s出错: %s";
constexpr char kTextWriting[] = "写入 %s 时";
constexpr char kTextReading[] = "读取 %s 时";
constexpr char kTextReadingBack[] = "读回 %s 时";
// The file or folder, then the system's words.
constexpr char kTextCannotRemoveOld[] = "无法删除旧的 %s: %s";
constexpr char kTextCannotRemove[] = "无法删除 %s: %s";
constexpr char kTextCannotList[] = "无法读取 %s: %s";
constexpr char kTextCannotMakeFolder[] = "无法创建文件夹 %s: %s";
constexpr char kTextFileInTheWay[] = "已有同名文件";
constexpr char kTextReadBackMismatch[] = "读回校验不符: %s";
constexpr char kTextGoldenCutShort[] = "样板卡的文件没有读完";
// A run stopped by the user: the card carries no settings file.
constexpr char kTextStopped[] = "已停止，卡上没有设置文件 (再次制卡即可完成)";
// Cards not written at all, found out before anything was written.
// The file as the card would spell it.
constexpr char kTextTooLargeForCard[] = "文件超过 4 GB，FAT32 存储卡放不下: %s";
constexpr char kTextTooLargeWhile[] = "文件超过 4 GB，FAT32 存储卡放不下 (%s)";
// The room needed, the room there is (free and what would be removed).
constexpr char kTextNoRoom[] = "存储卡空间不足: 需要 %s，可用 %s";
constexpr char kTextMountInAudio[] = "存储卡的 %s 是另一个磁盘的挂载点，不会清空它";
constexpr char kTextPathTooLongWhile[] = "路径太长 (%s)";
constexpr char kTextPathTooLong[] = "路径太长";
constexpr char kTextFlushFailed[] = "无法把写入的内容保存到存储卡上";
constexpr char kTextGoldenChanged[] = "样板卡在复制时被改动: %s";
// After the writing: a file as the card spells it.
constexpr char kTextCardDiffers[] = "存储卡与样板卡不一致: %s";
constexpr char kTextCardLacks[] = "存储卡上少了 %s";
constexpr char kTextCardHasMore[] = "存储卡上多了 %s";
constexpr char kTextGoldenReadFailed[] = "读取样板卡的 %s 时出错: %s";
// The card check's first problem; the count follows when there are more.
constexpr char kTextCardCheckFailed[] = "存储卡检查未通过: %s";
constexpr char kTextProblemCount[] = " (共 %zu 个问题)";
constexpr char kTextPlanRemove[] = "    删除 %s\n";
constexpr char kTextPlanRemoveFolder[] = "    删除 %s (文件夹，%d 个文件)\n";
constexpr char kTextPlanRemoveLink[] = "    删除 %s (链接，只删除链接本身)\n";

// ---- numbered volume labels ------------------------------------------------------
// The label, the file system, what its labels take (one of the three below).
constexpr char kTextLabelTooLong[] = "卷标 %s 放不进这张卡 (%s 的卷标最多 %s)";
constexpr char kTextLabelFatLimit[] = "11 个字节，一个汉字占 2 个字节";
constexpr char kTextLabelExfatLimit[] = "11 个字符";
constexpr char kTextLabelNtfsLimit[] = "32 个字符";
// The longest name that fits, and its first label.
constexpr char kTextLabelLongestName[] = "：名字最长可以是“%s” (编号后为 %s)";
constexpr char kTextLabelNumberTooLong[] = "：编号本身就放不下";
// The label, then the character.
constexpr char kTextLabelFatChar[] =
    "卷标 %s 里有 FAT 卷标不能用的字符 %s (不能用 * ? . , ; : / \\ | + = < > [ ] \")";
constexpr char kTextLabelNoOem[] = "卷标 %s 里有这台电脑的 FAT 卷标写不出的字符";
constexpr char kTextLabelControl[] = "卷标 %s 里有控制字符";
constexpr char kTextLabelEmpty[] = "卷标的名字是空的";
constexpr char kTextLabelNotACard[] = "这是一个文件夹，不是整张存储卡，不能改卷标";
// A card made whose label did not take: the label, then why (the system's
// words, or what it reads back).
constexpr char kTextLabelNotSet[] = "卷标没有改成 %s (%s)";
constexpr char kTextLabelReadBack[] = "读回的卷标是“%s”";
