#include "win32/status_line.h"

namespace {

// The status line is looked up once per dialog: a copy reports twice per
// file, and under Wine every lookup lists all of the dialog's ~300
// controls, which costs about as much as a lookup of the file itself.
HWND StatusLine(HWND dialog) {
  static HWND cachedDialog = nullptr;
  static HWND cachedStatus = nullptr;
  if (dialog != cachedDialog || !IsWindow(cachedStatus)) {
    cachedDialog = dialog;
    cachedStatus = GetDlgItem(dialog, kStatusLineId);
  }
  return cachedStatus;
}

}  // namespace

void SetStatusLine(HWND dialog, const char* text) {
  SendMessageA(StatusLine(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void SetStatusLineW(HWND dialog, const wchar_t* text) {
  SendMessageW(StatusLine(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void HoldStatusLinePainting(HWND dialog, bool hold) {
  HWND status = StatusLine(dialog);
  SendMessageA(status, WM_SETREDRAW, hold ? FALSE : TRUE, 0);
  if (!hold) InvalidateRect(status, nullptr, TRUE);
}
