// The shell's folder browser, for the save directory and every source.
#pragma once

#include <windows.h>

// Results of ChooseFolder besides 0 (chosen), 1 (cancelled), -1 (no buffer).
constexpr int kFolderUnusable = 2;

// Lets the user pick a file-system folder. destination is a kPathSize buffer;
// textControl, when given, is set to the chosen path. Returns 0 when a folder
// was chosen, 1 when the user cancelled (or the choice has no path), -1 when
// no destination is given, kFolderUnusable when the folder's path has no
// exact form in the ANSI code page or does not fit (destination unchanged).
int ChooseFolder(char* destination, HWND textControl);

// Tells the user on the status line that the last folder chosen could not be
// used, naming it as the shell does.
void ReportUnusableFolder(HWND dialog);
