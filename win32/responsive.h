// Keeping the dialog answering the system while one of its commands runs.
//
// A long command (a copy of thousands of files, a settings write to a slow
// card) runs on the dialog's thread. Windows takes a window whose thread has
// not looked at its message queue for 5 s as hung: it shows "(Not
// Responding)", puts a ghost without the status line in its place and offers
// to end the program, in the middle of a copy. So a running command looks at
// the queue often: it answers the messages other threads and programs send
// and repaints the dialog, while what the user does (mouse, keys) and what is
// posted stay queued and are handled after the command, as before. A message
// that would start another command meanwhile (a click sent by another
// program, a notification a sent message makes a control give) is held back
// and handled after the running one: no command ever runs inside another.
#pragma once

#include <windows.h>

// How often a running command answers, in milliseconds.
constexpr ULONGLONG kAnswerIntervalMs = 40;

// A command of the dialog starts and ends. When it ends, the messages held
// back meanwhile are posted to the dialog again, in the order they came.
void BeginCommand();
void EndCommand(HWND dialog);

// While a command runs: keeps a message that would start another command or
// end the dialog (WM_COMMAND, a tab change, WM_HSCROLL, WM_CLOSE) for later
// and returns true. False when no command runs, and for every other message.
bool HoldBackWhileRunning(UINT message, WPARAM wParam, LPARAM lParam);

// Answers the messages sent to this thread's windows and repaints the dialog.
void Answer(HWND dialog);

// Whether kAnswerIntervalMs have passed since the last answer; the next
// Answer is then due. Cheap enough to ask for every file.
bool AnswerDue();

// Runs work(context) on a helper thread while this thread keeps answering;
// returns when work has ended.
void RunWhileAnswering(HWND dialog, void (*work)(void*), void* context);
