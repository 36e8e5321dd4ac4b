#include "library/copy_progress.h"

#include "win32/responsive.h"
#include "win32/status_line.h"

namespace {

// Painting two texts for every one of many small files costs more than
// copying them: the held status line is painted whenever the dialog answers.
void AnswerDuringCopy(HWND dialog) {
  if (!AnswerDue()) return;
  HoldStatusLinePainting(dialog, false);
  Answer(dialog);
  HoldStatusLinePainting(dialog, true);
}

}  // namespace

void BeginCopyProgress(HWND dialog) { HoldStatusLinePainting(dialog, true); }

void EndCopyProgress(HWND dialog) { HoldStatusLinePainting(dialog, false); }

void ShowCopyStatus(HWND dialog, const char* text) {
  SetStatusLine(dialog, text);
  AnswerDuringCopy(dialog);
}

DWORD CALLBACK AnswerWhileCopying(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD,
                                  HANDLE, HANDLE, LPVOID dialog) {
  AnswerDuringCopy(static_cast<HWND>(dialog));
  return PROGRESS_CONTINUE;
}
