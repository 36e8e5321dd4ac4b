// A window of another process, found the way a user sees it: visible and
// top-level. Shared by the whole-program tests and the start-up benchmark,
// which must agree on when the tool's dialog is there.
#pragma once

#include <windows.h>

#include <string>

// The first visible top-level window of process pid other than except, of
// windowClass when one is given.
inline HWND VisibleWindowOf(DWORD pid, HWND except = nullptr, const wchar_t* windowClass = nullptr) {
  struct Search {
    DWORD pid;
    HWND except;
    const wchar_t* windowClass;
    HWND found;
  } search{pid, except, windowClass, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != s->pid || window == s->except || !IsWindowVisible(window)) return TRUE;
        if (s->windowClass != nullptr) {
          wchar_t cls[32] = L"";
          GetClassNameW(window, cls, 32);
          if (std::wstring(cls) != s->windowClass) return TRUE;
        }
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}
