// The real programs driven from another process, as a technician or a
// script would: the tool started in a folder with its standard output going
// to a file, its dialog and its modal windows worked through their controls,
// and the console programs run to their end. The programs are the ones
// built beside the test program.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dialog/control_ids.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/visible_window.h"
#include "tests/support/wait_until.h"
#include "tests/support/wav_file.h"

#ifndef BCT_TOOL_EXE
#error "BCT_TOOL_EXE must name the built tool"
#endif

struct ProgramRun {
  DWORD exitCode = 0xFFFFFFFF;
  std::string out;  // standard output and error, line ends folded to "\n"
  bool windowSeen = false;
};

// A running tool: its process and its dialog.
struct Program {
  PROCESS_INFORMATION process{};
  HANDLE out = nullptr;
  std::string outPath;
  HWND window = nullptr;
};

// The full path of a program built beside this test program.
inline std::string BesideThisProgram(const std::string& name) {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  return path.substr(0, path.find_last_of('\\') + 1) + name;
}

// A file for a child's standard output and error; the child inherits it.
inline HANDLE InheritableOutput(const std::string& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

inline std::string OutputIn(const std::string& path) {
  std::vector<unsigned char> bytes = ReadAllBytes(path);
  return WithoutCarriageReturns(std::string(bytes.begin(), bytes.end()));
}

// Starts the tool in dir with its standard output going to a file and waits
// for its first window: the dialog, or a notice before it.
inline Program Start(const std::string& dir) {
  Program program;
  program.outPath = dir + "\\stdout.txt";
  program.out = InheritableOutput(program.outPath);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = program.out;
  startup.hStdError = program.out;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::string command = "\"" + BesideThisProgram(BCT_TOOL_EXE) + "\"";
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, dir.c_str(), &startup,
                      &program.process)) {
    return program;
  }
  // As patient as every other wait: a machine busy with other work can take
  // many seconds to start a Wine program.
  WaitUntil([&] {
    program.window = VisibleWindowOf(program.process.dwProcessId);
    return program.window != nullptr || WaitForSingleObject(program.process.hProcess, 0) == WAIT_OBJECT_0;
  });
  return program;
}

// Closes the dialog the way the close box does and collects the run.
inline ProgramRun Close(Program& program) {
  ProgramRun run;
  run.windowSeen = program.window != nullptr;
  if (program.process.hProcess == nullptr) return run;
  if (program.window) PostMessageA(program.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(program.process.hProcess, 20000) != WAIT_OBJECT_0) {
    TerminateProcess(program.process.hProcess, 99);
  }
  GetExitCodeProcess(program.process.hProcess, &run.exitCode);
  CloseHandle(program.process.hThread);
  CloseHandle(program.process.hProcess);
  CloseHandle(program.out);
  run.out = OutputIn(program.outPath);
  return run;
}

// Memory inside the tool's process, for the control messages whose pointers
// the platform does not carry across processes (TCM_GETITEMRECT,
// TVM_GETITEM, BFFM_SETSELECTION).
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, size_t size) : process_(process) {
    address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBuffer() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }
  LPARAM address() const { return reinterpret_cast<LPARAM>(address_); }
  void Write(const void* data, size_t size, size_t offset = 0) {
    WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
  }
  void Read(void* data, size_t size, size_t offset = 0) const {
    ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
  }

 private:
  HANDLE process_;
  void* address_;
};

inline std::wstring TextOf(HWND window) {
  wchar_t text[1024] = L"";
  SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return text;
}

// A visible dialog window of the tool other than its main dialog: the
// message box or the folder browser.
inline HWND WaitForModal(const Program& program, int tries = 200) {
  HWND found = nullptr;
  for (int i = 0; i < tries && found == nullptr; ++i) {
    Sleep(50);
    found = VisibleWindowOf(program.process.dwProcessId, program.window, L"#32770");
  }
  return found;
}

// Presses OK of a modal window and waits until it is gone.
inline void Confirm(HWND modal) {
  PostMessageW(modal, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  for (int i = 0; i < 100 && IsWindow(modal); ++i) Sleep(50);
}

inline std::wstring SelectedTreeText(const Program& program, HWND tree) {
  auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (item == nullptr) return L"";
  RemoteBuffer remote(program.process.hProcess, sizeof(TVITEMW) + MAX_PATH * sizeof(wchar_t));
  TVITEMW get{};
  get.mask = TVIF_TEXT;
  get.hItem = item;
  get.pszText = reinterpret_cast<wchar_t*>(remote.address() + sizeof(TVITEMW));
  get.cchTextMax = MAX_PATH;
  remote.Write(&get, sizeof get);
  SendMessageW(tree, TVM_GETITEMW, 0, remote.address());
  wchar_t text[MAX_PATH] = L"";
  remote.Read(text, sizeof text, sizeof(TVITEMW));
  return text;
}

// Presses a button that opens the folder browser and chooses folder in it.
inline bool ChooseInBrowser(const Program& program, int button, const std::string& folder) {
  PostMessageW(GetDlgItem(program.window, button), BM_CLICK, 0, 0);
  HWND browser = WaitForModal(program);
  if (browser == nullptr) return false;
  HWND tree = FindWindowExW(browser, nullptr, L"SysTreeView32", nullptr);
  RemoteBuffer path(program.process.hProcess, folder.size() + 1);
  path.Write(folder.c_str(), folder.size() + 1);
  std::string leafAnsi = folder.substr(folder.find_last_of('\\') + 1);
  std::wstring leaf(leafAnsi.begin(), leafAnsi.end());
  for (int attempt = 0; attempt < 20; ++attempt) {
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, path.address());
    // Wine answers 0 even when the selection worked, and sometimes misses a
    // folder whose parent changed a moment ago: read the tree's selection
    // and try again a little later.
    if (SelectedTreeText(program, tree) == leaf) break;
    Sleep(250);
  }
  Confirm(browser);
  return true;
}

inline void ChooseItem(const Program& program, int combo, int index) {
  HWND window = GetDlgItem(program.window, combo);
  SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(program.window, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(window));
}

// A mouse click on a tab's page: the tab control then notifies the dialog
// itself (WM_NOTIFY cannot be sent from another process).
inline void ClickTab(const Program& program, int tab, int page) {
  HWND window = GetDlgItem(program.window, tab);
  RemoteBuffer rect(program.process.hProcess, sizeof(RECT));
  SendMessageW(window, TCM_GETITEMRECT, static_cast<WPARAM>(page), rect.address());
  RECT item{};
  rect.Read(&item, sizeof item);
  LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(window, WM_LBUTTONUP, 0, at);
}

// Runs a console program with the arguments, already quoted as a command
// line wants them, until it ends (60 s at most).
inline ProgramRun RunConsoleProgram(const std::string& exeName, const std::string& arguments) {
  ProgramRun run;
  char folder[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, folder);
  char outPath[MAX_PATH] = "";
  GetTempFileNameA(folder, "bct", 0, outPath);
  HANDLE out = InheritableOutput(outPath);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = out;
  std::string command = "\"" + BesideThisProgram(exeName) + "\" " + arguments;
  PROCESS_INFORMATION process{};
  if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, 60000);
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(out);
  run.out = OutputIn(outPath);
  DeleteFileA(outPath);
  return run;
}

// The folders card and source made, source holding bark1.wav and bark2.wav
// (PcmWav(1, 16000, 16, 1600)); then the real tool started in card: playback
// on, sensor playback by hour (the dog for every hour), timed playback off,
// delay 10 s; the .wav files of source copied into the dog folder; Generate.
// True when every step went through and the tool closed with 0.
inline bool PrepareCardWithTool(const std::string& card, const std::string& source) {
  std::filesystem::create_directories(card);
  std::filesystem::create_directories(source);
  for (const char* name : {"\\bark1.wav", "\\bark2.wav"})
    WriteAllBytes(source + name, PcmWav(1, 16000, 16, 1600));
  Program tool = Start(card);
  if (tool.window == nullptr) return false;
  SendMessageW(GetDlgItem(tool.window, IDC_RADIO_PLAY_ON), BM_CLICK, 0, 0);
  ChooseItem(tool, IDC_COMBO_SENSOR_MODE, 2);
  ChooseItem(tool, IDC_COMBO_TIMER_MODE, 0);
  ChooseItem(tool, IDC_COMBO_DELAY, 5);
  ClickTab(tool, IDC_TAB_COPY, 3);
  if (!ChooseInBrowser(tool, 40208, source)) return false;
  SendMessageW(GetDlgItem(tool.window, IDC_BTN_COPY), BM_CLICK, 0, 0);
  PostMessageW(GetDlgItem(tool.window, IDC_BTN_GENERATE), BM_CLICK, 0, 0);
  HWND box = WaitForModal(tool);
  if (box == nullptr) return false;
  Confirm(box);
  return Close(tool).exitCode == 0;
}
