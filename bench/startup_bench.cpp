// Start-up time and peak memory of a dialog program, measured from outside:
// process start until its dialog is shown and the program waits for input
// (start-up population done), then the peak working set, then WM_CLOSE.
//   startup_bench <runs> <program.exe> <working folder>
// Prints "startup <program> median <ms> ms peak <KiB> KiB".
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/visible_window.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: startup_bench <runs> <program.exe> <working folder>\n");
    return 2;
  }
  int runs = std::max(1, std::atoi(argv[1]));
  std::string command = std::string("\"") + argv[2] + "\"";
  std::vector<double> times;
  SIZE_T peak = 0;
  for (int run = 0; run < runs; ++run) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    auto start = std::chrono::steady_clock::now();
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, argv[3], &startup,
                        &process)) {
      std::fprintf(stderr, "cannot start %s\n", argv[2]);
      return 2;
    }
    WaitForInputIdle(process.hProcess, 20000);
    HWND window = nullptr;
    while ((window = VisibleWindowOf(process.dwProcessId)) == nullptr) {
      if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory))
      peak = std::max(peak, memory.PeakWorkingSetSize);
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.hProcess, 20000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(nul);
  }
  std::sort(times.begin(), times.end());
  std::printf("startup %s median %.1f ms peak %zu KiB\n", argv[2], times[times.size() / 2], peak / 1024);
  return 0;
}
