// Whole-program tests: the real executable started in a scratch directory,
// its standard output captured, closed the way the close box closes it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <filesystem>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dialog/control_ids.h"
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

// A running tool: its process and its dialog.
struct Program {
  PROCESS_INFORMATION process{};
  HANDLE out = nullptr;
  std::string outPath;
  HWND window = nullptr;
};

// Starts the tool in dir with its standard output going to a file and waits
// for its dialog.
Program Start(const std::string& dir) {
  Program program;
  program.outPath = dir + "\\stdout.txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  program.out = CreateFileA(program.outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = program.out;
  startup.hStdError = program.out;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  // The tool is built beside this test program.
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string tool = self;
  tool = tool.substr(0, tool.find_last_of('\\') + 1) + BCT_TOOL_EXE;
  std::string command = "\"" + tool + "\"";
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, dir.c_str(), &startup,
                      &program.process)) {
    return program;
  }
  for (int i = 0; i < 300 && program.window == nullptr; ++i) {
    Sleep(50);
    program.window = FindToolWindow(program.process.dwProcessId);
  }
  return program;
}

// Closes the dialog the way the close box does and collects the run.
ProgramRun Close(Program& program) {
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
  std::ifstream in(program.outPath, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  run.out = WithoutCarriageReturns(text.str());
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

std::wstring TextOf(HWND window) {
  wchar_t text[1024] = L"";
  SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return text;
}

// A visible dialog window of the tool other than its main dialog: the
// message box or the folder browser.
HWND WaitForModal(const Program& program, int tries = 200) {
  struct Search {
    DWORD pid;
    HWND main;
    HWND found;
  } search{program.process.dwProcessId, program.window, nullptr};
  for (int i = 0; i < tries && search.found == nullptr; ++i) {
    Sleep(50);
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
          auto* s = reinterpret_cast<Search*>(param);
          DWORD pid = 0;
          GetWindowThreadProcessId(window, &pid);
          wchar_t cls[32] = L"";
          GetClassNameW(window, cls, 32);
          if (pid == s->pid && window != s->main && IsWindowVisible(window) &&
              std::wstring(cls) == L"#32770") {
            s->found = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
  }
  return search.found;
}

std::wstring SelectedTreeText(const Program& program, HWND tree) {
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
bool ChooseInBrowser(const Program& program, int button, const std::string& folder) {
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
    if (SelectedTreeText(program, tree) == leaf) break;
    Sleep(250);
  }
  PostMessageW(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  for (int i = 0; i < 100 && IsWindow(browser); ++i) Sleep(50);
  return true;
}

void ChooseItem(const Program& program, int combo, int index) {
  HWND window = GetDlgItem(program.window, combo);
  SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(program.window, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(window));
}

// A mouse click on a tab's page: the tab control then notifies the dialog
// itself (WM_NOTIFY cannot be sent from another process).
void ClickTab(const Program& program, int tab, int page) {
  HWND window = GetDlgItem(program.window, tab);
  RemoteBuffer rect(program.process.hProcess, sizeof(RECT));
  SendMessageW(window, TCM_GETITEMRECT, static_cast<WPARAM>(page), rect.address());
  RECT item{};
  rect.Read(&item, sizeof item);
  LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(window, WM_LBUTTONUP, 0, at);
}

// A small, well-formed PCM sound file: 16 kHz, mono, 16-bit, 0.1 s.
std::vector<unsigned char> PcmWave() {
  const uint32_t samples = 1600, dataBytes = samples * 2;
  std::vector<unsigned char> wave;
  auto text = [&](const char* four) { wave.insert(wave.end(), four, four + 4); };
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) wave.push_back(static_cast<unsigned char>(v >> (8 * i)));
  };
  auto u16 = [&](uint16_t v) {
    wave.push_back(static_cast<unsigned char>(v));
    wave.push_back(static_cast<unsigned char>(v >> 8));
  };
  text("RIFF");
  u32(36 + dataBytes);
  text("WAVE");
  text("fmt ");
  u32(16);
  u16(1);          // PCM
  u16(1);          // channels
  u32(16000);      // sample rate
  u32(16000 * 2);  // bytes per second
  u16(2);          // block align
  u16(16);         // bits per sample
  text("data");
  u32(dataBytes);
  for (uint32_t i = 0; i < samples; ++i) u16(static_cast<uint16_t>((i * 97) & 0x3FFF));
  return wave;
}

// Runs the card check beside the tool on dir; its exit code and report.
ProgramRun CheckCard(const std::string& dir) {
  ProgramRun run;
  std::string outPath = dir + "\\..\\cardcheck.txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = out;
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string exe = self;
  exe = exe.substr(0, exe.find_last_of('\\') + 1) + "cardcheck.exe";
  std::string command = "\"" + exe + "\" \"" + dir + "\"";
  PROCESS_INFORMATION process{};
  if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, 30000);
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(out);
  std::ifstream in(outPath, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  run.out = WithoutCarriageReturns(text.str());
  return run;
}

ProgramRun StartAndClose(const std::string& dir) {
  Program program = Start(dir);
  return Close(program);
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

namespace {

std::wstring WideOf(const std::string& ansi) {
  wchar_t wide[2048] = L"";
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, 2048);
  return wide;
}

// The names the platform's search returns for "<dir>\*.wav", in its order:
// the order the tool copies them in.
std::vector<std::string> SearchOrder(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*.wav").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

struct StatusRead {
  bool answered;
  std::wstring text;
  bool boxShown;  // a message box of the tool was open
};

// Reads the status line of a running copy from this process the way any
// program asks a window (WM_GETTEXT, 1 s timeout), every 100 ms until the
// Copy button comes back. After the first read it sends a click on
// 生成配置 when asked to.
std::vector<StatusRead> ReadWhileCopying(const Program& tool, bool clickGenerate = false) {
  HWND copy = GetDlgItem(tool.window, IDC_BTN_COPY);
  HWND status = GetDlgItem(tool.window, IDC_STATUS_LINE);
  std::vector<StatusRead> reads;
  for (int i = 0; i < 1000 && IsWindowEnabled(copy); ++i) Sleep(10);  // the copy starts
  for (int i = 0; i < 1200 && !IsWindowEnabled(copy); ++i) {
    wchar_t text[1024] = L"";
    DWORD_PTR length = 0;
    bool answered = SendMessageTimeoutW(status, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                                        1000, &length) != 0;
    reads.push_back({answered, text, WaitForModal(tool, 1) != nullptr});
    if (reads.size() == 1 && clickGenerate) {
      DWORD_PTR result = 0;
      reads.push_back({SendMessageTimeoutW(GetDlgItem(tool.window, IDC_BTN_GENERATE), BM_CLICK, 0, 0,
                                           SMTO_NORMAL, 1000, &result) != 0,
                       L"(click)", false});
    }
    Sleep(50);
  }
  return reads;
}

// Ends the tool if a failed check leaves it running (it holds this
// program's output open).
struct StopAtEnd {
  Program& tool;
  bool closed = false;
  ~StopAtEnd() {
    if (!closed && tool.process.hProcess) TerminateProcess(tool.process.hProcess, 99);
  }
};

}  // namespace

TEST(Program, KeepsAnsweringDuringALongCopyAndRunsWhatCameMeanwhileAfterIt) {
  ScratchDir scratch;
  std::string source = scratch.str() + "\\many";
  std::filesystem::create_directories(source);
  for (int i = 0; i < 3000; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "\\s%04d.wav", i);
    WriteAllBytes(source + name, std::vector<unsigned char>(64 + i % 64, static_cast<unsigned char>(i)));
  }
  // Playback on, sensor playback random: copy page 0 is usable.
  std::vector<unsigned char> settings(86, 0);
  settings[0] = 1;
  settings[1] = 5;
  settings[6] = 1;
  settings[7] = 5;
  WriteAllBytes(scratch.str() + "\\CFG_BROADCAST.bin", settings);

  Program tool = Start(scratch.str());
  StopAtEnd stopper{tool};
  ASSERT_NE(tool.window, nullptr);
  ASSERT_TRUE(ChooseInBrowser(tool, IDC_BTN_PAGE0_RANDOM, source));
  HWND copy = GetDlgItem(tool.window, IDC_BTN_COPY);
  ASSERT_TRUE(IsWindowEnabled(copy));

  std::vector<std::string> order = SearchOrder(source);
  ASSERT_EQ(order.size(), 3000u);
  std::string folder = scratch.str() + "\\audio\\SenseRand";
  std::string copyTrace = "复制:\n<NewFolder>" + folder + "\n";
  for (size_t i = 0; i < order.size(); ++i) copyTrace += (i == 0 ? "Find_0:" : "Find_1:") + order[i] + "\n";
  std::wstring lastText = L"复制“" + WideOf(source + "\\" + order.back()) + L"”...成功";

  // Another program reads the status line during the copy: every read is
  // answered and the texts move on from file to file, in the copy's order.
  PostMessageW(copy, BM_CLICK, 0, 0);
  std::vector<StatusRead> reads = ReadWhileCopying(tool);
  EXPECT_GE(reads.size(), 5u);
  std::wstring prefix = L"复制“" + WideOf(source) + L"\\";
  std::vector<size_t> positions;
  for (const StatusRead& read : reads) {
    EXPECT_TRUE(read.answered) << "a read during the copy was not answered";
    if (!read.answered || read.text.rfind(prefix, 0) != 0) continue;
    std::wstring name = read.text.substr(prefix.size(), 9);  // "s0000.wav"
    for (size_t i = 0; i < order.size(); ++i) {
      if (WideOf(order[i]) == name) positions.push_back(i);
    }
  }
  size_t distinct = 0;
  for (size_t i = 0; i < positions.size(); ++i) {
    if (i > 0) {
      EXPECT_LE(positions[i - 1], positions[i]) << "the status line goes from file to file";
    }
    if (i == 0 || positions[i] != positions[i - 1]) ++distinct;
  }
  EXPECT_GE(distinct, 3u) << "the texts move on";
  EXPECT_EQ(TextOf(GetDlgItem(tool.window, IDC_STATUS_LINE)), lastText);
  for (const std::string& name : order) {
    ASSERT_EQ(ReadAllBytes(folder + "\\" + name), ReadAllBytes(source + "\\" + name)) << name;
  }

  // A click on 生成配置 sent during a second copy (the same files again)
  // is answered at once and runs only after the copy.
  PostMessageW(copy, BM_CLICK, 0, 0);
  reads = ReadWhileCopying(tool, true);
  ASSERT_GE(reads.size(), 2u);
  EXPECT_EQ(reads[1].text, L"(click)");
  for (const StatusRead& read : reads) {
    EXPECT_TRUE(read.answered) << std::filesystem::path(read.text).u8string();
    EXPECT_FALSE(read.boxShown) << "Generate ran inside the copy";
  }
  HWND box = WaitForModal(tool);
  ASSERT_NE(box, nullptr) << "the click was lost";
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(50);
  stopper.closed = true;
  ProgramRun run = Close(tool);
  EXPECT_EQ(run.exitCode, 0u);
  std::string written = "Open file - \"" + scratch.str() + "\\CFG_BROADCAST.~00\" success!\n";
  EXPECT_NE(run.out.find(copyTrace + copyTrace + written), std::string::npos)
      << "two whole copies, then Generate:\n"
      << run.out.substr(0, 400);
  EXPECT_EQ(ReadAllBytes(scratch.str() + "\\CFG_BROADCAST.bin"), settings);
}

TEST(Program, ScriptedRunLeavesSettingsAudioTreeAndTrace) {
  ScratchDir scratch;
  std::string source = scratch.str() + "\\barks";
  std::filesystem::create_directories(source);
  WriteAllBytes(source + "\\bark.wav", {'R', 'I', 'F', 'F', 1, 2, 3});

  Program tool = Start(scratch.str());
  ASSERT_NE(tool.window, nullptr);
  SendMessageW(GetDlgItem(tool.window, IDC_RADIO_PLAY_ON), BM_CLICK, 0, 0);
  ChooseItem(tool, IDC_COMBO_DELAY, 5);        // 10 seconds
  ChooseItem(tool, IDC_COMBO_SENSOR_MODE, 2);  // by hour
  ChooseItem(tool, 40109, 6);                  // 07:00 "黑熊"

  PostMessageW(GetDlgItem(tool.window, IDC_BTN_GENERATE), BM_CLICK, 0, 0);
  HWND box = WaitForModal(tool);
  ASSERT_NE(box, nullptr) << "no message box after Generate";
  EXPECT_EQ(TextOf(box), L"通知");
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(50);

  ClickTab(tool, IDC_TAB_COPY, 3);
  EXPECT_EQ(SendMessageW(GetDlgItem(tool.window, IDC_TAB_COPY), TCM_GETCURSEL, 0, 0), 3);
  ASSERT_TRUE(ChooseInBrowser(tool, 40208, source));
  EXPECT_EQ(TextOf(GetDlgItem(tool.window, IDC_STATUS_LINE)),
            L"选择了“狗”的源目录：" + std::filesystem::path(source).wstring());
  SendMessageW(GetDlgItem(tool.window, IDC_BTN_COPY), BM_CLICK, 0, 0);
  ProgramRun run = Close(tool);

  EXPECT_EQ(run.exitCode, 0u);
  std::vector<unsigned char> settings = ReadAllBytes(scratch.str() + "\\CFG_BROADCAST.bin");
  ASSERT_EQ(settings.size(), 86u);
  EXPECT_EQ(settings[0], 1);   // Ena
  EXPECT_EQ(settings[6], 2);   // SenMod
  EXPECT_EQ(settings[7], 10);  // Dly
  EXPECT_EQ(settings[17], 6);  // sensor plan 07:00
  EXPECT_EQ(ReadAllBytes(scratch.str() + "\\audio\\SenseSpecify\\dog\\bark.wav"),
            (std::vector<unsigned char>{'R', 'I', 'F', 'F', 1, 2, 3}));
  std::string copyTrace = "复制:\n<SenseSpecPath[0]>" + source + "\n<NewFolder>" + scratch.str() +
                          "\\audio\\SenseSpecify\\dog\nFind_0:bark.wav\n";
  EXPECT_NE(run.out.find("Index_Dly = 5, lapse = 10\nIndex = 2\nIndex_Dly = 5, lapse = 10\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find(copyTrace), std::string::npos) << run.out;
  EXPECT_LT(run.out.find("lapse = 10"), run.out.find(copyTrace));

  // A second start in the same directory shows what was saved.
  Program again = Start(scratch.str());
  ASSERT_NE(again.window, nullptr);
  EXPECT_EQ(SendMessageW(GetDlgItem(again.window, IDC_RADIO_PLAY_ON), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(TextOf(GetDlgItem(again.window, IDC_COMBO_DELAY)), L"10 秒");
  EXPECT_EQ(TextOf(GetDlgItem(again.window, IDC_COMBO_SENSOR_MODE)), L"据时指定");
  EXPECT_EQ(TextOf(GetDlgItem(again.window, 40109)), L"黑熊");
  EXPECT_EQ(Close(again).exitCode, 0u);
}

TEST(Program, ACardPreparedByTheToolPassesTheCardCheckUntilSomethingIsWrong) {
  ScratchDir scratch;
  std::string card = scratch.str() + "\\card";
  std::string source = scratch.str() + "\\dog sounds";
  std::filesystem::create_directories(card);
  std::filesystem::create_directories(source);
  for (const char* name : {"\\bark1.wav", "\\bark2.wav"}) WriteAllBytes(source + name, PcmWave());

  // Sensor playback by hour (the plan names the dog for every hour), timed
  // playback off; the dog sounds copied; the settings written.
  Program tool = Start(card);
  ASSERT_NE(tool.window, nullptr);
  SendMessageW(GetDlgItem(tool.window, IDC_RADIO_PLAY_ON), BM_CLICK, 0, 0);
  ChooseItem(tool, IDC_COMBO_SENSOR_MODE, 2);
  ChooseItem(tool, IDC_COMBO_TIMER_MODE, 0);
  ChooseItem(tool, IDC_COMBO_DELAY, 5);
  ClickTab(tool, IDC_TAB_COPY, 3);
  ASSERT_TRUE(ChooseInBrowser(tool, 40208, source));
  SendMessageW(GetDlgItem(tool.window, IDC_BTN_COPY), BM_CLICK, 0, 0);
  PostMessageW(GetDlgItem(tool.window, IDC_BTN_GENERATE), BM_CLICK, 0, 0);
  HWND box = WaitForModal(tool);
  ASSERT_NE(box, nullptr);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(50);
  ASSERT_EQ(Close(tool).exitCode, 0u);

  ProgramRun check = CheckCard(card);
  EXPECT_EQ(check.exitCode, 0u) << check.out;
  EXPECT_NE(check.out.find(u8"播放延时: 10 秒"), std::string::npos) << check.out;
  EXPECT_NE(check.out.find(u8"存储卡可以使用"), std::string::npos) << check.out;

  std::string dog = card + "\\audio\\SenseSpecify\\dog";
  std::string settings = card + "\\CFG_BROADCAST.bin";
  std::vector<unsigned char> good = ReadAllBytes(settings);
  // Each fault on its own turns the verdict, with its own problem.
  std::vector<unsigned char> truncated = PcmWave();
  truncated.resize(truncated.size() / 2);
  WriteAllBytes(dog + "\\bark2.wav", truncated);
  check = CheckCard(card);
  EXPECT_EQ(check.exitCode, 1u);
  EXPECT_NE(check.out.find(u8"文件被截断"), std::string::npos) << check.out;
  WriteAllBytes(dog + "\\bark2.wav", PcmWave());

  std::vector<unsigned char> badDelay = good;
  badDelay[7] = 0;
  WriteAllBytes(settings, badDelay);
  check = CheckCard(card);
  EXPECT_EQ(check.exitCode, 1u);
  EXPECT_NE(check.out.find(u8"播放延时: 0 不在对话框的范围内"), std::string::npos) << check.out;
  WriteAllBytes(settings, good);

  std::filesystem::remove(dog + "\\bark1.wav");
  std::filesystem::remove(dog + "\\bark2.wav");
  check = CheckCard(card);
  EXPECT_EQ(check.exitCode, 1u);
  EXPECT_NE(check.out.find(u8"没有 .wav 文件"), std::string::npos) << check.out;
  EXPECT_NE(check.out.find(u8"存储卡还不能使用"), std::string::npos) << check.out;

  EXPECT_EQ(CheckCard(scratch.str() + "\\no such card").exitCode, 2u);
}
