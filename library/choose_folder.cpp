#include "library/choose_folder.h"

#include <cstdio>
#include <cwchar>

#include "library/shell_calls.h"
#include "win32/status_line.h"
#include "settings/save_directory.h"
#include "settings/tool_texts.h"

namespace {

// The folder the last unusable choice named, in the shell's own UTF-16.
wchar_t rejected[MAX_PATH];

}  // namespace

int ChooseFolder(char* destination, HWND textControl) {
  BROWSEINFOA info{};
  info.hwndOwner = GetForegroundWindow();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  if (destination == nullptr) return -1;

  const ShellFunctions& shell = SystemShell();
  // Without the system's shell there is no folder to choose: as a cancel.
  if (shell.browseForFolder == nullptr || shell.pathFromItem == nullptr || shell.freeItem == nullptr) return 1;
  PIDLIST_ABSOLUTE item = shell.browseForFolder(&info);
  if (item == nullptr) return 1;
  // The conversion fails for folders without a file-system path. Taking that
  // as a choice would leave an empty source, and a copy would then search
  // "\*.wav" at the root of the current drive: it counts as a cancel.
  wchar_t wide[MAX_PATH] = L"";
  BOOL converted = shell.pathFromItem(item, wide);
  shell.freeItem(item);
  if (!converted || wide[0] == L'\0') return 1;

  // The program works with ANSI paths. A name that the code page cannot spell
  // would come out with "?" in it (or a look-alike), naming another folder
  // or none; a path of more than 259 bytes would be cut. Neither is taken.
  // The path is converted, converted back and compared: the flag that would
  // refuse look-alikes directly (WC_NO_BEST_FIT_CHARS) and the report of a
  // default character are refused by code page 65001 (UTF-8, Windows'
  // "Beta: Use Unicode UTF-8 for worldwide language support"), where no
  // folder could be chosen at all.
  char path[kPathSize] = "";
  wchar_t back[MAX_PATH] = L"";
  int length = WideCharToMultiByte(CP_ACP, 0, wide, -1, path, sizeof path, nullptr, nullptr);
  if (length == 0 || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, back, MAX_PATH) == 0 ||
      std::wcscmp(back, wide) != 0) {
    std::swprintf(rejected, MAX_PATH, L"%ls", wide);
    return kFolderUnusable;
  }

  std::snprintf(destination, kPathSize, "%s", path);
  if (textControl != nullptr) SetWindowTextA(textControl, destination);
  return 0;
}

void ReportUnusableFolder(HWND dialog) {
  wchar_t status[kStatusTextSize];
  std::swprintf(status, kStatusTextSize, kTextFolderUnusable, rejected);
  SetStatusLineW(dialog, status);
}
