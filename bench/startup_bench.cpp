// Start-up time and peak memory of dialog programs, taking turns, timed the
// way a user waits: from CreateProcess until the program's first visible
// top-level window, polled every millisecond.
//   startup_bench <rounds> <program.exe>... <reference.exe> <working folder>
// Each round starts every program once, each round in another order, so a
// machine that slows down for a while slows all of them. Prints per program
//   "shown <program> median <ms> ms  ratio median <r> (rounds: <min> to <max>)"
// (the median of the rounds' program/reference ratios), then, from a second
// set of rounds that waits on WaitForInputIdle before looking (an older way
// of timing, which under Wine waits about as long for any program)
//   "idle <program> median <ms> ms peak <KiB> KiB".
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/visible_window.h"

namespace {

struct Start {
  double ms = -1;
  SIZE_T peak = 0;
};

// One start of program in folder; waitIdle waits on WaitForInputIdle first.
Start StartOnce(const char* program, const char* folder, bool waitIdle) {
  std::string command = std::string("\"") + program + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = nul;
  startup.hStdError = nul;
  Start result;
  auto start = std::chrono::steady_clock::now();
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, folder, &startup, &process)) {
    std::fprintf(stderr, "cannot start %s\n", program);
    std::exit(2);
  }
  if (waitIdle) WaitForInputIdle(process.hProcess, 20000);
  HWND window = nullptr;
  while ((window = VisibleWindowOf(process.dwProcessId)) == nullptr) {
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  if (window != nullptr)
    result.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) result.peak = memory.PeakWorkingSetSize;
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(nul);
  if (result.ms < 0) {
    std::fprintf(stderr, "%s showed no window\n", program);
    std::exit(2);
  }
  return result;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: startup_bench <rounds> <program.exe>... <reference.exe> <working folder>\n");
    return 2;
  }
  int rounds = std::max(1, std::atoi(argv[1]));
  std::vector<const char*> programs(argv + 2, argv + argc - 1);
  const char* folder = argv[argc - 1];
  const size_t count = programs.size(), reference = count - 1;
  for (const char* program : programs) StartOnce(program, folder, false);  // none pays for the first load

  std::vector<std::vector<double>> shown(count), ratios(count);
  for (int round = 0; round < rounds; ++round) {
    std::vector<double> ms(count);
    for (size_t turn = 0; turn < count; ++turn) {
      size_t which = (round + turn) % count;
      ms[which] = StartOnce(programs[which], folder, false).ms;
    }
    for (size_t which = 0; which < count; ++which) {
      shown[which].push_back(ms[which]);
      ratios[which].push_back(ms[which] / ms[reference]);
    }
  }
  for (size_t which = 0; which < count; ++which) {
    std::printf("shown %s median %.1f ms", programs[which], Median(shown[which]));
    if (which != reference)
      std::printf("  ratio median %.3f (rounds: %.3f to %.3f)", Median(ratios[which]),
                  *std::min_element(ratios[which].begin(), ratios[which].end()),
                  *std::max_element(ratios[which].begin(), ratios[which].end()));
    std::printf("\n");
  }

  std::vector<std::vector<double>> idle(count);
  std::vector<SIZE_T> peak(count, 0);
  for (int round = 0; round < rounds; ++round) {
    for (size_t turn = 0; turn < count; ++turn) {
      size_t which = (round + turn) % count;
      Start s = StartOnce(programs[which], folder, true);
      idle[which].push_back(s.ms);
      peak[which] = std::max(peak[which], s.peak);
    }
  }
  for (size_t which = 0; which < count; ++which)
    std::printf("idle %s median %.1f ms peak %zu KiB\n", programs[which], Median(idle[which]), peak[which] / 1024);
  return 0;
}
