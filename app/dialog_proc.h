// The dialog procedure of dialog 104.
#pragma once

#include <windows.h>

extern HINSTANCE AppInstance;

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// WM_INITDIALOG: fills every control from the record and applies the rules.
void InitializeDialog(HWND dialog);
