#include "common/status_line.h"

void SetStatusLine(HWND dialog, const char* text) { SetDlgItemTextA(dialog, kStatusLineId, text); }
