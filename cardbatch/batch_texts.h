// The texts of the many-card window, UTF-8 (the window widens them for the
// W functions). Formats take Format's arguments (common/text_format.h).
#pragma once

constexpr char kTextTitle[] = "批量制卡";
// The golden card.
constexpr char kTextNoGolden[] = "还没有选择样板卡";
constexpr char kTextChooseGoldenPrompt[] = "选择样板卡 (存储卡或电脑上的文件夹):";
constexpr char kTextGoldenLoading[] = "正在检查样板卡...";
constexpr char kTextGoldenReady[] = "样板卡可以使用";
constexpr char kTextGoldenUnusable[] = "样板卡不能使用: %s";
constexpr char kTextGoldenMoreProblems[] = " (共 %zu 个问题，全部见“检查报告...”)";
constexpr char kTextGoldenFiles[] = "%d 个声音文件，%s";
constexpr char kTextGoldenFingerprint[] = "指纹: %s";
constexpr char kTextPlaybackOff[] = "播放关";
constexpr char kTextPlaybackOn[] = "播放开";
constexpr char kTextSettingWords[] = "%s %s";
constexpr char kTextSeparator[] = "，";
// After the values under the golden card's day: what a hatched hour means
// (the words for "no file to play").
constexpr char kTextDayHatchLegend[] = "斜线的小时: %s";
// The list's columns.
constexpr char kColumnDrive[] = "盘符";
constexpr char kColumnLabel[] = "卷标";
constexpr char kColumnCapacity[] = "容量";
constexpr char kColumnFree[] = "可用";
constexpr char kColumnOnCard[] = "卡上现有";
constexpr char kColumnProgress[] = "进度";
constexpr char kColumnResult[] = "结果";
// What is on a card now.
constexpr char kTextEmpty[] = "空卡";
constexpr char kTextIdentical[] = "与样板相同";
constexpr char kTextOtherSounds[] = "其他声音 (将删除 %d 个文件)";
constexpr char kTextToWrite[] = "将写入 %d 个文件";
constexpr char kTextToRewrite[] = "与样板不同，将改写";
constexpr char kTextOutside[] = "audio 以外另有 %d 项 (保留，不改动)";
constexpr char kTextLooking[] = "正在查看...";
constexpr char kTextNoLabel[] = "(无卷标)";
// A card the record knows: when its last run was (ShortRecordTime), the
// golden card's fingerprint then (8 digits), and whether it is still as made.
constexpr char kTextLastMade[] = "上次: %s 写入，样板 %s，%s";
constexpr char kTextSameAsThen[] = "与当时相同";
constexpr char kTextChangedSince[] = "已改变";
// When, and why it failed.
constexpr char kTextLastFailed[] = "上次: %s 写入失败 (%s)";
// The selected card, said in full below the list.
constexpr char kTextDetailNoneSelected[] =
    "在上面的列表里点一张卡，这里显示它的全部情况：卡上有什么、写卡时删除哪些文件、结果和原因。";
// The drive, the label, the capacity and the room free.
constexpr char kTextDetailCard[] = "%s  卷标 %s，容量 %s，可用 %s";
constexpr char kTextDetailOnCard[] = "卡上现有: %s";
constexpr char kTextDetailRemovals[] = "写卡时将删除 (audio 以外的东西都保留):";
constexpr char kTextDetailProgress[] = "进度: %s";
constexpr char kTextDetailResult[] = "结果: %s";
// A card's row while and after it is written.
constexpr char kTextWaiting[] = "等待写入";
constexpr char kTextRowWriting[] = "正在写入，请勿取出";
constexpr char kTextRowReady[] = "可以使用，可以取出";
constexpr char kTextRowFailed[] = "失败: %s，可以取出";
constexpr char kTextNeedsConfirm[] = "需要确认";
constexpr char kTextPercent[] = "%d%%";
// The buttons and boxes.
constexpr char kTextChooseGolden[] = "选择样板卡...";
constexpr char kTextGoldenReport[] = "检查报告...";
constexpr char kTextReportTitle[] = "样板卡的检查报告";
constexpr char kTextClose[] = "关闭";
constexpr char kTextStart[] = "开始制卡";
constexpr char kTextStop[] = "停止";
constexpr char kTextAutoWrite[] = "插卡即写";
constexpr char kTextWanted[] = "共需";
constexpr char kTextWantedUnit[] = "张";
constexpr char kTextLabelHeading[] = "卷标";
constexpr char kTextLabelKeep[] = "不改";
constexpr char kTextLabelNumbered[] = "编号";
constexpr char kTextLabelFirstHeading[] = "从";
constexpr char kTextLabelFirstDefault[] = "1";
constexpr char kTextLabelNameMissing[] =
    "卷标选了“编号”，但还没有写名字。\n\n在“编号”后面写上名字 (例如 北坡)，在“从”后面写第一个编号，"
    "做好的卡就依次叫 北坡01、北坡02……；不想改卷标请选“不改”。";
constexpr char kTextLabelNameMissingRow[] = "没有写卡: 卷标的名字是空的";
constexpr char kTextLabelsRefusedHeading[] = "卷标放不进以下存储卡，没有写入任何存储卡:\n\n";
// The drive, then why.
constexpr char kTextLabelsRefusedLine[] = "%s %s\n";
constexpr char kTextLabelsRefusedEnd[] = "\n请换一个短一些的名字，或者选“不改”。";
// The record, then the system's words.
constexpr char kTextRecordUnreadableForLabels[] =
    "无法读取记录文件，不知道这个卷标名字已经用到哪个编号，没有写任何存储卡。\n\n记录文件: %s\n原因: %s";
constexpr char kTextOpenRecord[] = "打开记录";
constexpr char kTextPrintSheet[] = "打印制卡单";
// The sheet of the cards made: its file (when the window opened:
// "2026-12-10-0831"), its title (the day), the heading of its table.
constexpr char kTextSheetFileName[] = "制卡单-%s.html";
constexpr char kTextSheetTitle[] = "制卡单 %s";
constexpr char kTextSheetCards[] = "本次做的卡";
// The sheet's file, then the system's words.
constexpr char kTextCannotWriteSheet[] = "无法写入制卡单 %s (%s)。";
constexpr char kTextNoHtmlProgram[] =
    "这台电脑上没有能打开 .html 文件的程序。\n\n制卡单: "
    "%s\n\n已在资源管理器里选中它：可以用浏览器打开后打印。";
constexpr char kTextCannotOpenSheet[] =
    "无法用默认的程序打开制卡单。\n\n制卡单: %s\n\n已在资源管理器里选中它，可以从那里打开。";
constexpr char kTextGoldenHeading[] = "样板卡:";
constexpr char kTextRecordHeading[] = "记录:";
// The summary line.
constexpr char kTextSessionSummary[] = "本次: 可以使用 %d 张，失败 %d 张";
constexpr char kTextStillToMake[] = "，还需 %d 张";
constexpr char kTextAllMade[] = "，已够 %d 张";
constexpr char kTextStopping[] = "正在停止，写到一半的卡不会带设置文件...";
// Questions.
constexpr char kTextAskRemoveHeading[] = "以下存储卡上的文件将被删除 (audio 以外的文件保留):\n\n";
constexpr char kTextAskRemoveLine[] = "%s %s: %d 个文件\n";
constexpr char kTextAskRemoveEnd[] = "\n继续制卡吗?";
constexpr char kTextNothingTicked[] = "没有勾选可以写入的存储卡。";
constexpr char kTextGoldenChangedBeforeRun[] =
    "样板卡已改动，没有写入任何存储卡。\n\n窗口上方是重新读取的样板卡和它的新指纹。核对无误后，再按“开始制卡”"
    "。";
constexpr char kTextAskStopAndClose[] =
    "正在制卡。停止并关闭吗?\n写到一半的卡不会带设置文件，下次制卡可以完成。";
constexpr char kTextAskCloseUnrecorded[] =
    "还有 %zu 行没有写入记录文件:\n%s\n\n关闭后这些行将丢失。仍要关闭吗?";
// The record.
constexpr char kTextRecordFileName[] = "制卡记录.csv";
constexpr char kTextRecordWaiting[] = "记录文件无法写入 (%s)，%zu 行等待写入，稍后自动重试";
// The record file, then the system's words.
constexpr char kTextRecordCannotStart[] =
    "无法写入记录文件，没有写任何存储卡。\n\n记录文件: %s\n原因: %s\n\n"
    "请关闭正打开着它的程序 (例如 Excel)，或者确认它所在的文件夹存在 (也可以用 --record 指定别的记录文件)，"
    "然后再按“开始制卡”。";
constexpr char kTextRecordHeld[] = "没有写卡: 记录文件无法写入";
// The record file.
constexpr char kTextNoCsvProgram[] =
    "这台电脑上没有能打开 .csv 文件的程序。\n\n记录文件: %s\n\n已在资源管理器里选中它：可以用 Excel、WPS "
    "或记事本打开。";
constexpr char kTextCannotOpenRecord[] =
    "无法用默认的程序打开记录文件。\n\n记录文件: %s\n\n已在资源管理器里选中它，可以从那里打开。";
// The record file, then the system's words.
constexpr char kTextCannotMakeRecord[] = "无法建立记录文件 %s (%s)。请确认它所在的文件夹存在。";
constexpr char kTextBatchUsage[] =
    "用法: cardbatch [--golden 文件夹] [--record 文件]\n"
    "  --golden 文件夹  样板卡 (存储卡或文件夹)\n"
    "  --record 文件    制卡记录 (默认: 文档文件夹中的 制卡记录.csv)";
