// The shell's folder browser, for the save directory and every source.
#pragma once

#include <windows.h>

// Lets the user pick a file-system folder. destination is a kPathSize buffer;
// textControl, when given, is set to the chosen path. Returns 0 when a folder
// was chosen, 1 when the user cancelled (or the choice has no path), -1 when
// no destination is given.
int ChooseFolder(char* destination, HWND textControl);
