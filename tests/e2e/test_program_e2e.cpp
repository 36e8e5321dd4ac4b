// Whole-program tests: the real executable started in a scratch directory,
// its standard output captured, closed the way the close box closes it.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"

#ifndef BCT_TOOL_EXE
#error "BCT_TOOL_EXE must name the built tool"
#endif

namespace {

struct ProgramRun {
  DWORD exitCode = 0xFFFFFFFF;
  std::string out;
  bool windowSeen = false;
};

HWND FindToolWindow(DWORD pid) {
  struct Search {
    DWORD pid;
    HWND found;
  } search{pid, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->pid && IsWindowVisible(window)) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Starts the tool in dir, waits for its dialog, sends WM_CLOSE, waits for exit.
ProgramRun StartAndClose(const std::string& dir) {
  ProgramRun run;
  std::string outPath = dir + "\\stdout.txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = out;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  // The tool is built beside this test program.
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string tool = self;
  tool = tool.substr(0, tool.find_last_of('\\') + 1) + BCT_TOOL_EXE;
  std::string command = "\"" + tool + "\"";
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, dir.c_str(), &startup,
                      &process)) {
    CloseHandle(out);
    return run;
  }
  HWND window = nullptr;
  for (int i = 0; i < 300 && window == nullptr; ++i) {
    Sleep(50);
    window = FindToolWindow(process.dwProcessId);
  }
  run.windowSeen = window != nullptr;
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(out);
  std::ifstream in(outPath, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  run.out = WithoutCarriageReturns(text.str());
  return run;
}

}  // namespace

TEST(Program, StartsWithoutSettingsTracesStartUpAndClosesWithZero) {
  ScratchDir scratch;
  ProgramRun run = StartAndClose(scratch.str());
  ASSERT_TRUE(run.windowSeen) << "the dialog never appeared";
  EXPECT_EQ(run.exitCode, 0u);
  char lang[32];
  std::snprintf(lang, sizeof lang, "uwLangID=0x%04x\n", static_cast<unsigned>(GetSystemDefaultLangID()));
  EXPECT_EQ(run.out, std::string(lang) + "sizeof = 86\niGetFileSize = 0\nFile szie != struct size!\n");
}

TEST(Program, ReadsTheSettingsFileOfItsWorkingDirectory) {
  ScratchDir scratch;
  std::vector<unsigned char> bytes(86, 0);
  bytes[0] = 1;   // Ena
  bytes[1] = 3;   // Vol
  bytes[7] = 12;  // Dly
  bytes[10] = 6;  // sensor plan 00:00
  WriteAllBytes(scratch.str() + "\\CFG_BROADCAST.bin", bytes);
  ProgramRun run = StartAndClose(scratch.str());
  ASSERT_TRUE(run.windowSeen);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_NE(run.out.find("iGetFileSize = 86\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Ena = 1\nVol = 3\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Dly = 12\ntype[0] = 6\n"), std::string::npos) << run.out;
}
