#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <cwchar>
#include <vector>

#include "app/dialog_proc.h"
#include "dialog/control_ids.h"
#include "dialog/control_states.h"
#include "settings/tool_texts.h"

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
  std::swprintf(text, sizeof text / sizeof text[0], kTextCodePageNotice, codePage, codePage);
  MessageBoxW(nullptr, text, kTextCodePageTitle, MB_OK | MB_ICONWARNING);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  AppInstance = instance;
  InitCommonControls();
  NoticeWrongCodePage();
  // The record is read first, so that the dialog is made with its controls
  // shown, hidden, enabled and disabled as the record wants them: changing
  // them one by one once it exists costs a round trip each (under Wine a
  // third of the start-up work).
  LoadStartingState();
  std::vector<unsigned char> dialog = StartingTemplate(instance, IDD_MAIN);
  if (dialog.empty())
    return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, DialogProc, 0));
  return static_cast<int>(DialogBoxIndirectParamA(instance, reinterpret_cast<LPCDLGTEMPLATEA>(dialog.data()),
                                                  nullptr, DialogProc, 0));
}
