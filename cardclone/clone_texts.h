// What cardclone says to the user, all in one place: its usage, why nothing
// was done, the plan, the report and the progress lines. Templates are
// printf formats filled by Format; where what fills them is not plain from
// the name, a comment says. UTF-8, like every text of the console programs.
// What every program that makes cards says is in cloning/cloning_texts.h.
#pragma once

#include <cstdint>
#include <string>

#include "common/text_format.h"

// The title of its console window: the program's description.
constexpr wchar_t kTextConsoleTitle[] = L"存储卡批量复制";

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
    "  --label 名字 [--first 数字]\n"
    "                每张做好的卡依次改卷标为 名字01、名字02…… (从 --first 起，默认 1；有 --record "
    "时接着记录里\n"
    "                这个名字用过的最大编号往下编)。只在 Windows 上可用\n"
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
constexpr char kTextNoRecordGiven[] = "--record 后面要写记录文件的名字";
// The record file, then the system's words.
constexpr char kTextRecordUnwritable[] = "无法写入记录 %s (%s)";
constexpr char kTextRecordNotWritten[] = "cardclone: 无法写入记录 %s (%s)，这些卡没有记进去\n";
constexpr char kTextTargetsRefused[] = "目标卡被拒绝";
constexpr char kTextNoLabelGiven[] = "--label 后面要写卷标的名字";
// What was given after --first.
constexpr char kTextBadFirst[] = "--first 后面要写编号的第一个数字 (0 到 99999999)，而不是“%s”";
constexpr char kTextFirstWithoutLabel[] = "--first 只和 --label 一起用";
constexpr char kTextLabelsNotHere[] =
    "在 Linux 上不改存储卡的卷标 (改写已挂载的 FAT 卡的引导扇区不安全)：请去掉 --label，或者在 Windows "
    "上制卡";
constexpr char kTextLabelRefused[] = "卷标放不进目标卡";
// The record file, then the system's words.
constexpr char kTextRecordUnreadable[] = "无法读取记录 %s (%s)，不知道这个名字已经用到哪个编号";
// The first label, the second.
constexpr char kTextPlanLabels[] = "做好的卡依次改卷标: %s、%s……\n";

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
// After a card's line: the label it now has, or why it is not the one it was to get.
constexpr char kTextCardLabelled[] = "  卷标 %s\n";
constexpr char kTextCardNotLabelled[] = "  %s\n";
constexpr char kTextNotVerified[] = "未校验";
// Cards ready, cards failed.
constexpr char kTextSummary[] = "%d 张存储卡可以使用，%zu 张失败\n";

// ---- progress, a line per card --------------------------------------------------
// The target, the percentage, bytes done and in all (SizeText), the state.
constexpr char kTextProgressLine[] = "  %s  %3d%%  %s / %s  %s";
constexpr char kTextProgressWriting[] = "写入中";
constexpr char kTextProgressDone[] = "完成";
constexpr char kTextProgressFailed[] = "失败";
