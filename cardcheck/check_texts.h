// Everything cardcheck says, in one place: the report's headings and lines,
// the problems it finds on a card and in a sound file, and its usage. Texts
// with parts that change are printf templates for Format(); the words of
// the settings themselves (captions, items, units, page and kind names) are
// the dialog's, in settings/record_fields.h and settings/playback_pages.h.
// All UTF-8.
#pragma once

// The title of its console window: the program's description.
constexpr wchar_t kTextConsoleTitle[] = L"存储卡检查";

// ---- the command line -------------------------------------------------------------
constexpr char kTextUsage[] =
    "用法: cardcheck [--json] [--html 网页] [--expect 指纹] [--record 记录] [目录]\n"
    "检查存储卡 (默认为当前目录) 上的设置、音频文件和播放计划，不写入存储卡。\n"
    "  --json           以一个 JSON 文档输出报告\n"
    "  --html 网页      另把报告写成一个网页文件 (.html)，可在浏览器里查看和打印 (A4)\n"
    "  --expect 指纹    存储卡的指纹须与此相同 (样板卡的指纹，8 或 16 位)\n"
    "  --record 记录    在制卡记录 (.csv) 里查找这张卡上次写入的结果，看卡上的内容是否与当时相同\n"
    "退出码: 0 可以使用，1 发现问题，2 无法读取存储卡或记录，或用法错误\n";
// Before the usage: the program's name, then what was wrong.
constexpr char kTextUsageError[] = "cardcheck: %s\n";
constexpr char kTextUnknownOption[] = "未知选项 %s";
constexpr char kTextOneDirectory[] = "只能检查一个目录";
constexpr char kTextNoDirectory[] = "cardcheck: 找不到目录 %s\n";
constexpr char kTextNotADirectory[] =
    "cardcheck: %s 是文件，不是文件夹：请给出存储卡 (或电脑上放着卡内容的文件夹)\n";

constexpr char kTextRecordNotGiven[] = "--record 后面需要制卡记录文件";
constexpr char kTextHtmlNotGiven[] = "--html 后面需要网页文件的名字";
// The page as given, then the system's words.
constexpr char kTextHtmlUnwritable[] = "cardcheck: 无法写入网页 %s (%s)\n";
// The record as given, then the system's words.
constexpr char kTextNoRecord[] = "cardcheck: 找不到制卡记录 %s\n";
constexpr char kTextRecordUnreadable[] = "cardcheck: 无法读取制卡记录 %s (%s)\n";

// The system's words.
constexpr char kTextCardUnreadable[] = "无法读取存储卡 (%s)";

// A card that is ready but of which the user should know.
constexpr char kTextPlaysNothing[] = "注意: 设备不会播放任何声音";
constexpr char kTextWarningLine[] = "%s\n";

// ---- the fingerprint ----------------------------------------------------------------
// Its short form, before the verdict.
constexpr char kTextFingerprint[] = "指纹: %s\n";
// A path below the card, then the system's words.
constexpr char kTextFingerprintUnreadable[] = "无法读取 %s，算不出指纹 (%s)";
// The card's short fingerprint, then the one expected as the user gave it.
constexpr char kTextNotTheGolden[] = "指纹 %s 与样板不同 (应为 %s)";
constexpr char kTextBadExpect[] = "--expect 需要 8 或 16 位十六进制的指纹 (如 1A2B-3C4D)，不是 %s";

// ---- the record of the cards written (--record) ----------------------------------------
// After the fingerprint. A card made: the row's time ("12-10 08:31") and the
// golden card's short fingerprint, then how the card is now.
constexpr char kTextRecordWritten[] = "记录: 上次 %s 写入，样板 %s";
constexpr char kTextRecordSame[] = "，与当时相同\n";
// The card's short fingerprint now, then the row's.
constexpr char kTextRecordChanged[] = "，已改变 (卡指纹 现在 %s，当时 %s)\n";
// The card's fingerprint could not be worked out now: the row's.
constexpr char kTextRecordThen[] = "，卡指纹 当时 %s\n";
// A card that failed: the row's time and reason.
constexpr char kTextRecordFailed[] = "记录: 上次 %s 写入失败 (%s)\n";
// The card's volume serial, label and capacity.
constexpr char kTextRecordNotFound[] = "记录里没有这张卡 (卷序列号 %s，卷标 %s，容量 %s)\n";
constexpr char kTextRecordNone[] = "无";
constexpr char kTextRecordNoSerial[] = "记录: 这张卡没有卷序列号，无法在记录里查找\n";
constexpr char kTextRecordNotADrive[] =
    "记录: 这不是一个磁盘的根目录，无法在记录里查找 (记录按存储卡的卷序列号查找)\n";
constexpr char kTextRecordSkipped[] = "(记录中有 %llu 行无法读取，已跳过)\n";

// ---- the settings -------------------------------------------------------------------
constexpr char kTextNoSettings[] = "没有 %s";
constexpr char kTextSettingsUnreadable[] = "无法读取 %s";
constexpr char kTextSettingsSize[] = "%s 有 %llu 字节，应为 %llu 字节";
// A field's caption, then its problem.
constexpr char kTextBadSetting[] = "设置 %s: %s";
// The value, then the items the dialog offers ("0 关, 1 开").
constexpr char kTextNotAnItem[] = "%d 不是对话框的选项 (%s)";
constexpr char kTextOfferedItem[] = "%d %s";
constexpr char kTextItemSeparator[] = ", ";
// The value, then the range and its unit.
constexpr char kTextOutOfRange[] = "%d 不在对话框的范围内 (%d..%d%s)";
// A plan entry: the value, the last kind's code, the first and last kinds.
constexpr char kTextNotAKind[] = "%d 不是对话框的选项 (0..%d: %s..%s)";
constexpr char kTextNoSuchKind[] = "%d (无此种类)";

// ---- the folders and files ----------------------------------------------------------
// Each after the folder as the card spells it.
constexpr char kTextFolderUnreadable[] = "%s: 无法读取文件夹 (%s)";
constexpr char kTextFolderMissing[] = "%s: 文件夹不存在";
constexpr char kTextNoSounds[] = "%s: 没有 .wav 文件";
constexpr char kTextMixedFormats[] = "%s: 文件格式不一致：";
// One format of a mixed folder: how many files, then the format's words.
constexpr char kTextFormatCount[] = "%d 个 %s";
constexpr char kTextFormatSeparator[] = "，";
// A damaged file: the folder, the file's name, what is wrong.
constexpr char kTextBadFile[] = "%s\\%s: %s";
// An hour of a plan that plays nothing: the plan, the hours, the kind, why.
constexpr char kTextBadHour[] = "%s %s %s: %s";
constexpr char kTextNoGoodSoundsIn[] = "%s 里没有可用的 .wav 文件";
constexpr char kTextHourPlaysNothing[] = "这个小时不会播放";

// ---- a sound file's header ------------------------------------------------------------
constexpr char kTextWavTooShort[] = "只有 %llu 字节，不是 WAV 文件";
constexpr char kTextWavReadFailed[] = "读取失败";
constexpr char kTextWavNotRiff[] = "不是 RIFF 文件";
constexpr char kTextWavNotWave[] = "RIFF 文件，但不是 WAVE";
constexpr char kTextWavTruncated[] = "文件被截断：RIFF 头写明 %llu 字节，文件只有 %llu 字节";
constexpr char kTextWavTrailing[] = "RIFF 头写明 %llu 字节，文件却有 %llu 字节";
constexpr char kTextFmtTooShort[] = "fmt 块只有 %llu 字节，至少应有 16 字节";
constexpr char kTextExtensibleTooShort[] = "WAVE_FORMAT_EXTENSIBLE 的 fmt 块太短 (%llu 字节)";
constexpr char kTextNoChannels[] = "声道数为 0";
constexpr char kTextNoSampleRate[] = "采样率为 0";
constexpr char kTextNoBits[] = "采样位数为 0";
// The block align, the channels and bits, what the block align should be.
constexpr char kTextWrongBlockAlign[] = "块对齐为 %llu，%llu 声道 %llu 位应为 %llu";
constexpr char kTextNoBlockAlign[] = "块对齐为 0";
constexpr char kTextFmtPastEnd[] = "fmt 块超出文件末尾";
constexpr char kTextFmtAfterData[] = "fmt 块在 data 块之后";
constexpr char kTextChunkHeaderCut[] = "第 %llu 字节处的块头被截断";
constexpr char kTextDataPastEnd[] = "data 块写明 %llu 字节，超出文件末尾 %llu 字节";
// A chunk's name: 'LIST', or its id in hex.
constexpr char kTextChunkPastEnd[] = "%s 块超出文件末尾";
constexpr char kTextMissingPad[] = "奇数长度的 %s 块后缺少填充字节";
constexpr char kTextTooManyChunks[] = "块超过 %d 个";
constexpr char kTextNoFmt[] = "没有 fmt 块";
constexpr char kTextNoData[] = "没有 data 块";
constexpr char kTextNoSamples[] = "data 块里没有声音";
constexpr char kTextWavCannotOpen[] = "无法打开";
constexpr char kTextWavNoLength[] = "无法读取长度";
constexpr char kTextNonStandardSubFormat[] = "非标准子格式";
constexpr char kTextExtensible[] = "WAVE_FORMAT_EXTENSIBLE (%s)";
// What must agree between the files of one folder.
constexpr char kTextFormatWords[] = "%u 声道 %u Hz %u 位";

// ---- the report -------------------------------------------------------------------
constexpr char kTextCard[] = "存储卡: %s\n\n";
// Marks a problem at the end of a line, or alone after a colon.
constexpr char kTextMark[] = "  [!] ";
constexpr char kTextMarkAlone[] = "[!] ";
// A marked entry of a plan line: its caption, its problem.
constexpr char kTextMarkedEntry[] = "  [!] %s: %s";
constexpr char kTextSettingsHeading[] = "[设置] %s, %llu 字节\n";
constexpr char kTextSettingsFailed[] = "[设置] %s%s%s\n\n";
constexpr char kTextFieldLine[] = "  %s: %s";
constexpr char kTextPlanHeading[] = "  %s计划:\n";
constexpr char kTextPlanHours[] = "    %02d-%02d时:";
constexpr char kTextPlaybackHeading[] = "\n[播放]\n";
// The playback switch's caption and its word for "on".
constexpr char kTextPlaybackNotOn[] = "  %s不是“%s”：设备不播放声音，不检查音频文件\n";
constexpr char kTextNothingInUse[] = "  没有使用中的播放方式，不检查音频文件\n";
constexpr char kTextInUse[] = "  %s: %s\n";
constexpr char kTextKindSubfolder[] = "\\<种类>";
constexpr char kTextFilesHeading[] = "\n[文件]\n";
constexpr char kTextFolderLine[] = "  %s: ";
constexpr char kTextFolderNotThere[] = "文件夹不存在\n";
constexpr char kTextFolderCounts[] = "%llu 个文件，%d 个可用";
constexpr char kTextNoSoundsMark[] = "没有 .wav 文件";
constexpr char kTextMixedMark[] = "文件格式不一致";
constexpr char kTextFileLine[] = "    %s  ";
// A good file: its format name, its format's words, its length.
constexpr char kTextWavWords[] = "%s %s %.2f%s";
constexpr char kTextPlanCheckHeading[] = "\n[%s计划]\n";
// An hour: its hours, the kind, the good files of the kind's folder.
constexpr char kTextHourLine[] = "  %s  %s  %d 个文件";
constexpr char kTextNoGoodFiles[] = "没有可用的文件";
constexpr char kTextProblemsHeading[] = "\n[问题]\n";
constexpr char kTextProblemLine[] = "  %llu. %s\n";
constexpr char kTextReady[] = "结论: 存储卡可以使用 (0 个问题)\n";
constexpr char kTextNotReady[] = "结论: 存储卡还不能使用 (%llu 个问题)\n";

// ---- the picture of the card's day (day_picture.h) --------------------------------------
// Why a plan's row is greyed: a field's caption and its value in words
// ("播放开关: 关"), or a random mode's word and kTextDayNotByHour.
constexpr char kTextDayReason[] = "%s: %s";
constexpr char kTextDayNotByHour[] = "不按小时";
// The dialog's label of the capture interval's three combos, and what
// stands between their values in words ("1 时 0 分 0 秒").
constexpr char kTextDayInterval[] = "拍摄间隔";
constexpr char kTextDayIntervalSeparator[] = " ";
// The sign of an hour in use whose kind has nothing to play: its count of
// files, written in its hatched cell (and, where a cell has no room, beside
// the picture for what the hatching means).
constexpr char kTextDayNoFiles[] = "0 个文件";

// ---- the report as a page (--html, card_html.h) -----------------------------------------
// The page's title: the card's folder.
constexpr char kTextHtmlTitle[] = "存储卡检查: %s";
// Above the picture of the card's day; the corner cell of its hour row.
constexpr char kTextDayHeading[] = "[一天的播放]";
constexpr char kTextDayHours[] = "时";
constexpr char kTextDayHour[] = "%02d";
// A card of very many files: how many, then the most the page lists one by one.
constexpr char kTextHtmlFilesOmitted[] =
    "卡上有 %llu 个 .wav 文件，超过 %d 个：这里只列出每个文件夹的文件数，每个文件见 cardcheck 输出的文本报告";
