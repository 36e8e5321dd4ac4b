// What the tool says to the user, all in one place: its status texts, its
// message boxes and the notice about the system's code page. The dialog's
// own captions are in the resource script, the words of the settings in
// settings/record_fields.h and settings/playback_pages.h. Narrow texts are
// in code page 936 like every text of the tool; the wide ones (UTF-16) read
// correctly whatever the system's code page.
#pragma once

// Size of the buffer a status text is composed in.
constexpr int kStatusTextSize = 520;

// ---- Generate (button "生成配置") ---------------------------------------------
constexpr char kTextGenerateFailed[] = "生配置文件失败！";
// The save directory, then the file's name.
constexpr char kTextGenerated[] = "在“%s”生成了配置文件：%s。";
constexpr char kTextGenerateBox[] = "成功生成配置文件!";
constexpr char kTextGenerateBoxTitle[] = "通知";

// ---- choosing folders ---------------------------------------------------------
// A sound kind's caption, then the folder.
constexpr char kTextKindSourceChosen[] = "选择了“%s”的源目录：%s";
// A copy page's caption, then the folder.
constexpr char kTextPageSourceChosen[] = "选择了“%s”源目录：%s";
// The folder as the shell names it.
constexpr wchar_t kTextFolderUnusable[] = L"无法使用所选文件夹（路径含有本程序不支持的字符或过长）：%ls";

// ---- the copy -------------------------------------------------------------------
// After the target folder's path.
constexpr char kTextFolderCreated[] = "目录创建成功！\n";
constexpr char kTextFolderExists[] = "目录已经存在。\n";
constexpr char kTextFolderFailed[] = "目录创建失败！\n";
// The source folder.
constexpr char kTextSourceTooLong[] = "源目录路径太长，未复制：%s";
// The source folder and the file's name, then one of the two results.
constexpr char kTextCopying[] = "复制“%s\\%s”...";
constexpr char kTextCopied[] = "成功";
constexpr char kTextNotCopied[] = "失败";

// ---- start-up on a system of another code page ------------------------------------
// The code page, twice.
constexpr wchar_t kTextCodePageNotice[] =
    L"本程序的文字是简体中文（代码页 936），但这台计算机的“非 Unicode 程序的语言”"
    L"（系统区域设置）不是“中文(简体，中国)”，当前代码页为 %u。\n\n"
    L"设置方法：按 Win+R，输入 intl.cpl 并回车，在“区域”窗口的“管理”选项卡中点"
    L"“更改系统区域设置...”，选择“中文(简体，中国)”，不要勾选“Beta 版: 使用 Unicode "
    L"UTF-8 提供全球语言支持”，确定后重新启动计算机。\n\n"
    L"本程序会继续运行，但其中的文字将无法正常显示。\n\n"
    L"This tool's texts are in Simplified Chinese (code page 936), but this computer's "
    L"language for non-Unicode programs (the system locale) is not Chinese (Simplified, "
    L"China); the current code page is %u.\n\n"
    L"To set it: press Win+R, type intl.cpl and press Enter; in Region, on the "
    L"Administrative tab, click \"Change system locale...\", choose Chinese (Simplified, "
    L"China), leave \"Beta: Use Unicode UTF-8 for worldwide language support\" unticked, "
    L"and restart the computer.\n\n"
    L"The tool goes on, but its texts will be unreadable.";
constexpr wchar_t kTextCodePageTitle[] = L"系统区域设置 / System locale";
