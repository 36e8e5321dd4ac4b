// How the copy shows its progress: each file's text on the status line, and
// the dialog answering the system between files and during a long one.
#pragma once

#include <windows.h>

// Holds the status line's painting while an entry's files are copied, and
// paints it again afterwards.
void BeginCopyProgress(HWND dialog);
void EndCopyProgress(HWND dialog);

// Sets the status line to text; the dialog answers and repaints when it is
// due, so the status line is seen moving on from file to file.
void ShowCopyStatus(HWND dialog, const char* text);

// CopyFileEx's progress routine, with the dialog as its data: one large
// sound file onto a slow card can take longer than Windows waits for an
// answer, so the dialog answers between the file's chunks too.
DWORD CALLBACK AnswerWhileCopying(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD,
                                  HANDLE, HANDLE, LPVOID dialog);
