// What cardclone says to the user, all in one place: its usage, why nothing
// was done, why a card failed, the report and the progress lines. Templates
// are printf formats filled by Format; where what fills them is not plain
// from the name, a comment says. UTF-8, like every text of the console
// programs. A path below a card is shown as the card spells it
// ("audio\SenseRand"), a target as it was given.
#pragma once

#include <cstdint>
#include <string>

#include "common/text_format.h"

// The title of its console window: the program's description.
constexpr wchar_t kTextConsoleTitle[] = L"存储卡批量复制";

// What was being done to a file when an operation on it failed.
enum class FileStep { kWriting, kReading, kReadingBack };
// "写入 audio\SenseRand\a.wav 时" for the file rel ('/'-separated, below the card).
std::string Doing(FileStep step, const std::string& rel);

// ---- usage ------------------------------------------------------------------
// The settings file's name, then the audio folder twice.
constexpr char kTextUsage[] =
    "用法: cardclone [--json] [--keep-extra] [--dry-run] [--yes] [--any-folder] [--record 文件] 样板卡 "
    "目标卡...\n"
    "把检查过的样板卡的 %s 和 %s 文件夹逐字节复制到每张目标卡上，读回校验，多张卡同时写。\n"
    "目标卡必须是存储卡 (可移动磁盘的根目录)。先列出每张卡要写入和删除的内容，要删除文件时先询问。\n"
    "  --json        以一个 JSON 文档输出结果\n"
    "  --keep-extra  保留目标卡 %s 里样板卡没有的文件和文件夹 (默认删除)\n"
    "  --dry-run     只列出计划，不写入\n"
    "  --yes         要删除文件时不再询问 (用于脚本)\n"
    "  --any-folder  也允许文件夹和固定磁盘作为目标 (用于脚本和测试；系统盘的根目录除外)\n"
    "  --record 文件 每张写过的卡在这个 CSV 记录文件末尾加一行\n"
    "退出码: 0 全部可以使用 (或只列出了计划)，1 有卡失败，2 什么都没做 "
    "(用法错误、样板卡不能使用、目标被拒绝、没有确认)\n"
    "例如 (Windows): cardclone E:\\ F: G: H:\n"
    "例如 (Linux):   cardclone /media/样板卡 /media/card1 /media/card2\n"
    "在 Windows 上更简单的做法是“批量制卡”窗口 (cardbatch.exe)：选一次样板卡，插卡，点一下。\n";
// The option, then the usage.
constexpr char kTextUnknownOption[] = "cardclone: 未知选项 %s\n%s";
constexpr char kTextTooFewCards[] = "cardclone: 需要一张样板卡和至少一张目标卡\n%s";

// ---- nothing done: a heading, the reasons numbered, the last line ------------
constexpr char kTextNothingDoneHeading[] = "cardclone: %s\n";
constexpr char kTextNumberedReason[] = "  %zu. %s\n";
constexpr char kTextNothingWritten[] = "没有写入任何存储卡。\n";

// ---- the record of the cards written -------------------------------------------
// Its first row, exactly as the records of every program that makes cards.
constexpr char kRecordHeader[] =
    "时间,盘符,卷标,卷序列号,容量字节,样板,样板指纹,卡指纹,结果,原因,写入文件,删除文件,写入字节,秒,程序版本";
constexpr char kRecordReady[] = "可以使用";
constexpr char kRecordFailed[] = "失败";
constexpr char kTextNoRecordGiven[] = "--record 后面要写记录文件的名字";
// The record file, then the system's words.
constexpr char kTextRecordUnwritable[] = "无法写入记录 %s (%s)";
constexpr char kTextRecordNotWritten[] = "cardclone: 无法写入记录 %s (%s)，这些卡没有记进去\n";

constexpr char kTextNoGoldenCard[] = "找不到样板卡";
constexpr char kTextNoSuchFolder[] = "找不到目录 %s";
constexpr char kTextGoldenNotReady[] = "样板卡还不能使用 (%zu 个问题)";
constexpr char kTextGoldenUnreadable[] = "无法读取样板卡";
constexpr char kTextTargetsRefused[] = "目标卡被拒绝";

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

// ---- the plan, said before anything is written ------------------------------------
// A medium's label (kTextPlanLabel, or nothing), its capacity and its free room.
constexpr char kTextPlanLabel[] = "卷标 %s，";
constexpr char kTextPlanMedium[] = "%s容量 %s，可用 %s";
// The golden card as given, its medium, its files and their bytes.
constexpr char kTextPlanGolden[] = "样板卡: %s (%s): %zu 个文件，%s\n将写入:\n";
// A target as given and its medium; then what it gets, or why not.
constexpr char kTextPlanCard[] = "  %s (%s): ";
constexpr char kTextPlanRefused[] = "不写这张卡: %s\n";
// Files to write and their bytes, files of the same size to compare, files to remove.
constexpr char kTextPlanCounts[] = "写入 %d 个文件 (%s)，比较 %d 个大小相同的文件，删除 %d 个文件\n";
constexpr char kTextPlanRemove[] = "    删除 %s\n";
constexpr char kTextPlanRemoveFolder[] = "    删除 %s (文件夹，%d 个文件)\n";
constexpr char kTextPlanRemoveLink[] = "    删除 %s (链接，只删除链接本身)\n";
constexpr char kTextPlanMoreRemovals[] = "    ……另有 %zu 项要删除\n";
constexpr char kTextDryRun[] = "(--dry-run: 只列出计划，没有写入任何存储卡)\n";
// Asked once, on an interactive console, for all the cards.
constexpr char kTextAskRemove[] =
    "以上存储卡上的这些文件将被删除。继续吗? 输入 y 后按回车继续，其他输入取消: ";
constexpr char kTextAskWrite[] = "写入以上存储卡吗? 输入 y 后按回车继续，其他输入取消: ";
constexpr char kTextNotConfirmed[] = "没有确认";
constexpr char kTextNeedsYes[] = "会删除存储卡上的文件，但没有确认 (在命令行上确认请加 --yes)";

// ---- the report -----------------------------------------------------------------
// The target, its outcome, the files written, removed and found identical,
// the bytes written (SizeText), the seconds, whether verified.
constexpr char kTextCardLine[] = "%s  %s，写入 %d 个文件，删除 %d 个，已相同 %d 个，%s，%.1f 秒，%s\n";
constexpr char kTextCardReady[] = "可以使用";
constexpr char kTextCardFailed[] = "失败 (%s)";
constexpr char kTextVerified[] = "已校验";
constexpr char kTextNotVerified[] = "未校验";
// Cards ready, cards failed.
constexpr char kTextSummary[] = "%d 张存储卡可以使用，%zu 张失败\n";

// ---- progress, a line per card --------------------------------------------------
// The target, the percentage, bytes done and in all (SizeText), the state.
constexpr char kTextProgressLine[] = "  %s  %3d%%  %s / %s  %s";
constexpr char kTextProgressWriting[] = "写入中";
constexpr char kTextProgressDone[] = "完成";
constexpr char kTextProgressFailed[] = "失败";
