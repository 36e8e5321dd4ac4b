#include "win32/responsive.h"

#include <commctrl.h>
#include <process.h>

#include <deque>
#include <vector>

namespace {

bool running = false;

struct HeldMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<HeldMessage> held;
// The headers of held tab notifications. A notification's own header is
// gone when its sender returns; a copy, one per tab and code, outlives the
// posted message that points at it (a deque never moves its elements).
std::deque<NMHDR> heldHeaders;

const NMHDR* KeepHeader(const NMHDR& header) {
  for (const NMHDR& kept : heldHeaders) {
    if (kept.hwndFrom == header.hwndFrom && kept.idFrom == header.idFrom && kept.code == header.code)
      return &kept;
  }
  heldHeaders.push_back(header);
  return &heldHeaders.back();
}

struct Job {
  void (*work)(void*);
  void* context;
};

unsigned __stdcall RunJob(void* argument) {
  const Job& job = *static_cast<const Job*>(argument);
  job.work(job.context);
  return 0;
}

}  // namespace

void BeginCommand() { running = true; }

void EndCommand(HWND dialog) {
  running = false;
  for (const HeldMessage& message : held)
    PostMessageW(dialog, message.message, message.wParam, message.lParam);
  held.clear();
}

bool HoldBackWhileRunning(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!running) return false;
  switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_CLOSE:
      held.push_back({message, wParam, lParam});
      return true;
    case WM_NOTIFY: {
      // Only a tab change acts; the other notifications (custom drawing and
      // the like) want their answer now and are answered as always.
      const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (header.code != static_cast<UINT>(TCN_SELCHANGE)) return false;
      held.push_back({message, wParam, reinterpret_cast<LPARAM>(KeepHeader(header))});
      return true;
    }
    default:
      return false;
  }
}

void Answer(HWND dialog) {
  MSG message;
  // Dispatches what other threads and programs sent (and lets the system
  // see the queue read); posted messages and input stay in the queue.
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE | PM_QS_PAINT);
  UpdateWindow(dialog);
}

bool AnswerDue() {
  static ULONGLONG last = 0;
  ULONGLONG now = GetTickCount64();
  if (now - last < kAnswerIntervalMs) return false;
  last = now;
  return true;
}

void RunWhileAnswering(HWND dialog, void (*work)(void*), void* context) {
  Job job{work, context};
  auto thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, RunJob, &job, 0, nullptr));
  if (thread == nullptr) {
    work(context);
    return;
  }
  for (;;) {
    DWORD woken =
        MsgWaitForMultipleObjects(1, &thread, FALSE, static_cast<DWORD>(kAnswerIntervalMs), QS_SENDMESSAGE);
    if (woken == WAIT_OBJECT_0) break;
    if (woken == WAIT_FAILED) {
      WaitForSingleObject(thread, INFINITE);
      break;
    }
    Answer(dialog);
  }
  CloseHandle(thread);
}
