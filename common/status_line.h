// The status line at the bottom of the dialog: every operation reports by
// replacing its whole text.
#pragma once

#include <windows.h>

// Identifier of the status line static in dialog 104.
constexpr int kStatusLineId = 40191;

// Size of the buffer an operation composes its status text in.
constexpr int kStatusTextSize = 520;

void SetStatusLine(HWND dialog, const char* text);
