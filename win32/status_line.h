// The status line at the bottom of the dialog: every operation reports by
// replacing its whole text.
#pragma once

#include <windows.h>

// Identifier of the status line static in dialog 104.
constexpr int kStatusLineId = 40191;

void SetStatusLine(HWND dialog, const char* text);
void SetStatusLineW(HWND dialog, const wchar_t* text);

// The status line paints itself whenever its text is set, and painting two
// texts for every one of many small files costs more than copying them.
// While held, it takes its texts unpainted (no redraw); released, it is
// painted again.
void HoldStatusLinePainting(HWND dialog, bool hold);
