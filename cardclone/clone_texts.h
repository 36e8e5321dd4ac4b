// What cardclone says to the user, all in one place: its usage, why nothing
// was done, why a card failed, the report and the progress lines. Templates
// are printf formats filled by Format; where what fills them is not plain
// from the name, a comment says. UTF-8, like every text of the console
// programs. A path below a card is shown as the card spells it
// ("audio\SenseRand"), a target as it was given.
#pragma once

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
    "用法: cardclone [--json] [--keep-extra] 样板卡 目标卡...\n"
    "把检查过的样板卡的 %s 和 %s 文件夹逐字节复制到每张目标卡上，读回校验，多张卡同时写。\n"
    "  --json        以一个 JSON 文档输出结果\n"
    "  --keep-extra  保留目标卡 %s 里样板卡没有的文件和文件夹 (默认删除)\n"
    "退出码: 0 全部可以使用，1 有卡失败，2 什么都没做 (用法错误、样板卡不能使用、目标被拒绝)\n";
// The option, then the usage.
constexpr char kTextUnknownOption[] = "cardclone: 未知选项 %s\n%s";
constexpr char kTextTooFewCards[] = "cardclone: 需要一张样板卡和至少一张目标卡\n%s";

// ---- nothing done: a heading, the reasons numbered, the last line ------------
constexpr char kTextNothingDoneHeading[] = "cardclone: %s\n";
constexpr char kTextNumberedReason[] = "  %zu. %s\n";
constexpr char kTextNothingWritten[] = "没有写入任何存储卡。\n";

constexpr char kTextNoGoldenCard[] = "找不到样板卡";
constexpr char kTextNoSuchFolder[] = "找不到目录 %s";
constexpr char kTextGoldenNotReady[] = "样板卡还不能使用 (%zu 个问题)";
constexpr char kTextGoldenUnreadable[] = "无法读取样板卡";
constexpr char kTextTargetsRefused[] = "目标卡被拒绝";

// The golden card cannot be read: the entry, then the system's words.
constexpr char kTextGoldenEntryUnreadable[] = "无法读取样板卡的 %s (%s)";
constexpr char kTextGoldenEntryNotCopyable[] = "样板卡的 %s 既不是普通文件也不是文件夹，无法复制";
constexpr char kTextGoldenSettingsUnreadable[] = "无法读取样板卡的 %s";
constexpr char kTextGoldenSettingsWrongSize[] = "无法读取样板卡的 %s (长度不对)";
constexpr char kTextGoldenAudioNotAFolder[] = "样板卡的 %s 不是文件夹";

// The targets refused, each as given; a pair in the order given.
constexpr char kTextTargetMissing[] = "目标不存在或不是文件夹: %s";
constexpr char kTextTargetUnknown[] = "无法识别目标文件夹: %s";
constexpr char kTextTargetIsGolden[] = "目标就是样板卡: %s";
constexpr char kTextTargetInGolden[] = "目标在样板卡里面: %s";
constexpr char kTextTargetHoldsGolden[] = "目标包含样板卡: %s";
constexpr char kTextTargetTwice[] = "同一个目标给了两次: %s 和 %s";
constexpr char kTextTargetInTarget[] = "一个目标在另一个目标里面: %s 和 %s";

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
constexpr char kTextGoldenReadFailed[] = "读取样板卡的 %s 时出错: %s";
// The card check's first problem; the count follows when there are more.
constexpr char kTextCardCheckFailed[] = "存储卡检查未通过: %s";
constexpr char kTextProblemCount[] = " (共 %zu 个问题)";

// ---- the report -----------------------------------------------------------------
// The target, its outcome, the files written, removed and found identical,
// the bytes written (kTextMegabytes), the seconds, whether verified.
constexpr char kTextCardLine[] = "%s  %s，写入 %d 个文件，删除 %d 个，已相同 %d 个，%s，%.1f 秒，%s\n";
constexpr char kTextCardReady[] = "可以使用";
constexpr char kTextCardFailed[] = "失败 (%s)";
constexpr char kTextVerified[] = "已校验";
constexpr char kTextNotVerified[] = "未校验";
constexpr char kTextMegabytes[] = "%.1f MB";
// Cards ready, cards failed.
constexpr char kTextSummary[] = "%d 张存储卡可以使用，%zu 张失败\n";

// ---- progress, a line per card --------------------------------------------------
// The target, the percentage, bytes done and in all (kTextMegabytes), the state.
constexpr char kTextProgressLine[] = "  %s  %3d%%  %s / %s  %s";
constexpr char kTextProgressWriting[] = "写入中";
constexpr char kTextProgressDone[] = "完成";
constexpr char kTextProgressFailed[] = "失败";
