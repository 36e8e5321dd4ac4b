#include "common/status_line.h"

void SetStatusLine(HWND dialog, const char* text) {
  // The status line is looked up once per dialog: a copy reports twice per
  // file, and under Wine every lookup lists all of the dialog's ~300
  // controls, which costs about as much as a lookup of the file itself.
  static HWND cachedDialog = nullptr;
  static HWND cachedStatus = nullptr;
  if (dialog != cachedDialog || !IsWindow(cachedStatus)) {
    cachedDialog = dialog;
    cachedStatus = GetDlgItem(dialog, kStatusLineId);
  }
  SendMessageA(cachedStatus, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
