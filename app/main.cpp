#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <cwchar>

#include "app/dialog_proc.h"
#include "dialog/control_ids.h"

namespace {

// The ANSI code page the tool's texts are written in.
constexpr UINT kToolCodePage = 936;

// Every text the tool sets is in code page 936. On a Windows whose ANSI code
// page is another one they all come out garbled, and nothing tells the user
// why; this notice is UTF-16, so it reads correctly on any system.
void NoticeWrongCodePage() {
  UINT codePage = GetACP();
  if (codePage == kToolCodePage) return;
  wchar_t text[2048];
  std::swprintf(text, sizeof text / sizeof text[0],
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
                L"The tool goes on, but its texts will be unreadable.",
                codePage, codePage);
  MessageBoxW(nullptr, text, L"系统区域设置 / System locale", MB_OK | MB_ICONWARNING);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  AppInstance = instance;
  InitCommonControls();
  NoticeWrongCodePage();
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, DialogProc, 0));
}
