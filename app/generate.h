// The Generate command of button 40152 "生成配置".
#pragma once

#include <windows.h>

// Writes CFG_BROADCAST.bin into the save directory, reads it back, reports on
// the status line and, on success, in a message box owned by the dialog.
void Generate(HWND dialog);
