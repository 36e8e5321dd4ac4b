// The dialog procedure of dialog 104.
#pragma once

#include <windows.h>

extern HINSTANCE AppInstance;

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The working folder and the record in it, read once a run: by the first
// dialog as it starts, or before it is made.
void LoadStartingState();

// WM_INITDIALOG: fills every control from the record and applies the rules.
void InitializeDialog(HWND dialog);
