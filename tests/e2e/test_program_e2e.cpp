// Whole-program tests: the real executable started in a scratch directory,
// its standard output captured, closed the way the close box closes it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <filesystem>
#include <string>
#include <vector>

#include "dialog/control_ids.h"
#include "tests/support/program_driver.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/settings_record.h"
#include "tests/support/wav_file.h"
#include "tests/support/wine_drives.h"

namespace {

// Runs the card check beside the tool on dir; its exit code and report.
ProgramRun CheckCard(const std::string& dir) { return RunConsoleProgram("cardcheck.exe", "\"" + dir + "\""); }

ProgramRun StartAndClose(const std::string& dir) {
  Program program = Start(dir);
  return Close(program);
}

}  // namespace

TEST(Program, StartsWithoutSettingsTracesStartUpAndClosesWithZero) {
  ScratchDir scratch;
  Program tool = Start(scratch.str());
  // On code page 936 the dialog is the first window: no notice before it.
  EXPECT_NE(GetDlgItem(tool.window, IDC_STATUS_LINE), nullptr) << "another window came before the dialog";
  ProgramRun run = Close(tool);
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
  bool boxShown;  // a message box of the tool was open while the copy ran
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
    // A box counts only when the copy is still running after it was seen:
    // the held click may run Generate the moment the copy ends, between the
    // check of the Copy button above and this look for a box.
    bool box = WaitForModal(tool, 1) != nullptr;
    reads.push_back({answered, text, box && !IsWindowEnabled(copy)});
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
  Confirm(box);
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
  Confirm(box);

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

  // Sensor playback by hour (the plan names the dog for every hour), timed
  // playback off; the dog sounds copied; the settings written.
  ASSERT_TRUE(PrepareCardWithTool(card, source));

  ProgramRun check = CheckCard(card);
  EXPECT_EQ(check.exitCode, 0u) << check.out;
  EXPECT_NE(check.out.find(u8"播放延时: 10 秒"), std::string::npos) << check.out;
  EXPECT_NE(check.out.find(u8"存储卡可以使用"), std::string::npos) << check.out;

  std::string dog = card + "\\audio\\SenseSpecify\\dog";
  std::string settings = card + "\\CFG_BROADCAST.bin";
  std::vector<unsigned char> good = ReadAllBytes(settings);
  // Each fault on its own turns the verdict, with its own problem.
  std::vector<unsigned char> truncated = PcmWav(1, 16000, 16, 1600);
  truncated.resize(truncated.size() / 2);
  WriteAllBytes(dog + "\\bark2.wav", truncated);
  check = CheckCard(card);
  EXPECT_EQ(check.exitCode, 1u);
  EXPECT_NE(check.out.find(u8"文件被截断"), std::string::npos) << check.out;
  WriteAllBytes(dog + "\\bark2.wav", PcmWav(1, 16000, 16, 1600));

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
  // Quoted with its closing backslash, as "E:\" is typed or dropped, the
  // card is still the card.
  check = CheckCard(card + "\\");
  EXPECT_EQ(check.exitCode, 1u) << check.out;
  EXPECT_NE(check.out.find(u8"存储卡还不能使用"), std::string::npos) << check.out;
}

// A Windows whose ANSI code page is not 936 garbles every text of the tool:
// the notice, in UTF-16, says why, before the dialog; then the tool goes on.
// Wine takes a process's code page from its Unix locale, so ctest runs this
// case, and the tool it starts, under en_US.UTF-8: code page 1252.
TEST(Program, OnAnotherCodePageANoticeInChineseAndEnglishComesFirst) {
  ASSERT_EQ(GetACP(), 1252u)
      << "this case runs under a locale of code page 1252 (BCT_WINE_LOCALE=en_US.UTF-8)";
  ScratchDir scratch;
  Program tool = Start(scratch.str());
  HWND notice = tool.window;
  bool noticeFirst = notice != nullptr && GetDlgItem(notice, IDC_STATUS_LINE) == nullptr;
  EXPECT_TRUE(noticeFirst) << "the dialog came without the notice";
  if (noticeFirst) {
    EXPECT_EQ(TextOf(notice), L"系统区域设置 / System locale");
    std::wstring text = TextOf(GetDlgItem(notice, 0xFFFF));  // the message box's text
    for (const wchar_t* part :
         {L"“非 Unicode 程序的语言”", L"不是“中文(简体，中国)”，当前代码页为 1252。", L"intl.cpl",
          L"本程序会继续运行，但其中的文字将无法正常显示。", L"the current code page is 1252",
          L"Change system locale...", L"The tool goes on, but its texts will be unreadable."}) {
      EXPECT_NE(text.find(part), std::wstring::npos) << "missing: " << std::filesystem::path(part).u8string();
    }
    PostMessageW(notice, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    tool.window = nullptr;
    for (int i = 0; i < 200 && tool.window == nullptr; ++i) {
      Sleep(50);
      HWND window = VisibleWindowOf(tool.process.dwProcessId);
      if (window != nullptr && GetDlgItem(window, IDC_STATUS_LINE) != nullptr) tool.window = window;
    }
    EXPECT_NE(tool.window, nullptr) << "the dialog did not follow the notice";
  }
  ProgramRun run = Close(tool);
  EXPECT_EQ(run.exitCode, 0u);
  // The notice writes no trace line; the start-up traces as usual.
  EXPECT_EQ(run.out.find("uwLangID="), 0u) << run.out;
  EXPECT_NE(run.out.find("sizeof = 86\niGetFileSize = 0\nFile szie != struct size!\n"), std::string::npos)
      << run.out;
}

// The one version of the project: the dialog's label, and the version
// resources of every program (fixed and text, file and product).
TEST(Program, EveryProgramCarriesTheVersionTheDialogShows) {
  ScratchDir scratch;
  Program tool = Start(scratch.str());
  ASSERT_NE(tool.window, nullptr);
  std::wstring label = TextOf(GetDlgItem(tool.window, IDC_LABEL_VERSION));
  Close(tool);
  ASSERT_EQ(label.rfind(L"V", 0), 0u) << std::filesystem::path(label).u8string();
  std::wstring version = label.substr(1);

  struct Expected {
    const char* exe;
    const wchar_t* description;
  };
  for (const Expected& program :
       {Expected{BCT_TOOL_EXE, L"声音播放器存储卡配置"}, Expected{"cardcheck.exe", L"存储卡检查"},
        Expected{"cardclone.exe", L"存储卡批量复制"}}) {
    SCOPED_TRACE(program.exe);
    std::wstring path = std::filesystem::path(BesideThisProgram(program.exe)).wstring();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<unsigned char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    for (auto [ms, ls] : {std::pair{fixed->dwFileVersionMS, fixed->dwFileVersionLS},
                          std::pair{fixed->dwProductVersionMS, fixed->dwProductVersionLS}}) {
      wchar_t numbers[64];
      std::swprintf(numbers, 64, L"%u.%u.%u", HIWORD(ms), LOWORD(ms), HIWORD(ls));
      EXPECT_EQ(numbers, version);
      EXPECT_EQ(LOWORD(ls), 0u);
    }
    auto text = [&](const wchar_t* name) {
      wchar_t* value = nullptr;
      UINT chars = 0;
      std::wstring key = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
      if (!VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &chars))
        return std::wstring();
      return std::wstring(value);
    };
    EXPECT_EQ(text(L"FileVersion"), version);
    EXPECT_EQ(text(L"ProductVersion"), version);
    EXPECT_EQ(text(L"FileDescription"), program.description);
  }
}

namespace {

// cardcheck started with a console of its own, as Explorer starts it (or,
// through cmd, as a command window runs it), with its output to outPath
// when that is given.
PROCESS_INFORMATION StartCardCheckInNewConsole(const std::string& commandLine,
                                               const std::string& outPath = "") {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  HANDLE out = nullptr;
  if (!outPath.empty()) {
    out = InheritableOutput(outPath);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
  }
  std::string command = commandLine;
  PROCESS_INFORMATION process{};
  CreateProcessA(nullptr, &command[0], nullptr, nullptr, out != nullptr, CREATE_NEW_CONSOLE, nullptr, nullptr,
                 &startup, &process);
  if (out != nullptr) CloseHandle(out);
  return process;
}

// The text on the console of process pid, read by attaching to it.
std::wstring ConsoleText(DWORD pid) {
  std::wstring text;
  FreeConsole();
  if (!AttachConsole(pid)) return text;
  HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  CONSOLE_SCREEN_BUFFER_INFO buffer{};
  if (GetConsoleScreenBufferInfo(screen, &buffer)) {
    std::wstring cells(static_cast<size_t>(buffer.dwSize.X) * buffer.dwSize.Y, L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(screen, &cells[0], static_cast<DWORD>(cells.size()), COORD{0, 0}, &read);
    text = cells.substr(0, read);
  }
  CloseHandle(screen);
  FreeConsole();
  return text;
}

// Presses a key on the console of process pid.
void PressKey(DWORD pid, WORD key, wchar_t character) {
  FreeConsole();
  if (!AttachConsole(pid)) return;
  HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
  INPUT_RECORD records[2] = {};
  for (int i = 0; i < 2; ++i) {
    records[i].EventType = KEY_EVENT;
    records[i].Event.KeyEvent.bKeyDown = i == 0;
    records[i].Event.KeyEvent.wRepeatCount = 1;
    records[i].Event.KeyEvent.wVirtualKeyCode = key;
    records[i].Event.KeyEvent.uChar.UnicodeChar = character;
  }
  DWORD written = 0;
  WriteConsoleInputW(input, records, 2, &written);
  CloseHandle(input);
  FreeConsole();
}

bool Ends(const PROCESS_INFORMATION& process, DWORD milliseconds) {
  return WaitForSingleObject(process.hProcess, milliseconds) == WAIT_OBJECT_0;
}

// Asks done every 50 ms until it says yes; false when a minute passes first.
template <typename Done>
bool WaitFor(Done done) {
  for (ULONGLONG start = GetTickCount64(); GetTickCount64() - start < 60000; Sleep(50)) {
    if (done()) return true;
  }
  return false;
}

void Release(PROCESS_INFORMATION& process) {
  if (process.hProcess == nullptr) return;
  if (!Ends(process, 0)) TerminateProcess(process.hProcess, 99);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  process = PROCESS_INFORMATION{};
}

}  // namespace

// Double-clicked or given a folder by drag and drop, cardcheck has a console
// window of its own: it keeps it open, with its verdict, until a key.
TEST(CardCheck, AloneOnItsConsoleItWaitsForAKeyBeforeClosing) {
  ScratchDir scratch;
  PROCESS_INFORMATION check =
      StartCardCheckInNewConsole("\"" + BesideThisProgram("cardcheck.exe") + "\" \"" + scratch.str() + "\"");
  ASSERT_NE(check.hProcess, nullptr);
  // Joining its console to read it before cardcheck has asked whether it
  // started alone would make it a program run from a command window, which
  // never waits: the console window takes the program's title once it has
  // asked. (Under load the first start of a console under Wine takes seconds.)
  auto titled = [] { return FindWindowW(nullptr, L"存储卡检查") != nullptr; };
  ASSERT_TRUE(WaitFor([&] { return titled() || Ends(check, 0); })) << "no console window";
  ASSERT_TRUE(titled()) << "cardcheck ended without waiting";
  std::wstring screen;
  WaitFor([&] {
    screen = ConsoleText(check.dwProcessId);
    return screen.find(L"按任意键关闭窗口") != std::wstring::npos || Ends(check, 0);
  });
  EXPECT_NE(screen.find(L"结论: 存储卡还不能使用"), std::wstring::npos)
      << std::filesystem::path(screen).u8string();
  ASSERT_NE(screen.find(L"按任意键关闭窗口"), std::wstring::npos) << std::filesystem::path(screen).u8string();
  // A Shift alone is no answer; a key is.
  PressKey(check.dwProcessId, VK_SHIFT, 0);
  EXPECT_FALSE(Ends(check, 500)) << "it closed without waiting";
  PressKey(check.dwProcessId, 'A', L'a');
  EXPECT_TRUE(Ends(check, 10000)) << "a key did not close it";
  DWORD code = 0;
  GetExitCodeProcess(check.hProcess, &code);
  EXPECT_EQ(code, 1u);  // its verdict still makes the exit code
  Release(check);
}

// From a command window (the shell shares the console) or with its output
// redirected, it ends at once.
TEST(CardCheck, FromACommandWindowOrRedirectedItNeverWaits) {
  ScratchDir scratch;
  std::string cardcheck = "\"" + BesideThisProgram("cardcheck.exe") + "\" \"" + scratch.str() + "\"";
  char system[MAX_PATH] = "";
  GetSystemDirectoryA(system, MAX_PATH);
  PROCESS_INFORMATION fromCmd =
      StartCardCheckInNewConsole("\"" + std::string(system) + "\\cmd.exe\" /c \"" + cardcheck + "\"");
  ASSERT_NE(fromCmd.hProcess, nullptr);
  EXPECT_TRUE(Ends(fromCmd, 15000)) << "it waited under a command window";
  Release(fromCmd);

  std::string outPath = scratch.str() + "\\report.txt";
  PROCESS_INFORMATION redirected = StartCardCheckInNewConsole(cardcheck, outPath);
  ASSERT_NE(redirected.hProcess, nullptr);
  EXPECT_TRUE(Ends(redirected, 15000)) << "it waited with its output redirected";
  Release(redirected);
  std::string report = OutputIn(outPath);
  EXPECT_NE(report.find(u8"结论"), std::string::npos) << report;
  EXPECT_EQ(report.find(u8"按任意键"), std::string::npos) << report;
}

// A card back from the field, looked up in the record by its drive's serial,
// label and capacity: its last row, and whether it is still as it was made.
// The record says; the card's check alone makes the exit code.
TEST(CardCheck, ACardBackFromTheFieldIsLookedUpInTheRecord) {
  ScratchDir scratch;
  const std::string card = scratch.str() + "\\card", record = scratch.str() + "\\record.csv";
  std::filesystem::create_directories(card + "\\audio\\SenseRand");
  WriteAllBytes(card + "\\CFG_BROADCAST.bin", SettingsBytes(kDefaultConfig));  // ready: playback off
  PutBytes(card + "\\.windows-label", "CARD P");
  PutBytes(card + "\\.windows-serial", "1234abcd");
  WineDrive drive(L'P', DRIVE_REMOVABLE, std::filesystem::path(card).wstring());
  ASSERT_TRUE(drive.ok()) << "Wine's mount manager did not take the drive";
  ULARGE_INTEGER total{};
  ASSERT_TRUE(GetDiskFreeSpaceExW(L"P:\\", nullptr, &total, nullptr));
  const std::string exact = std::to_string(total.QuadPart);
  char rounded[32];  // as a spreadsheet shows a long number: 2.56061E+11
  std::snprintf(rounded, sizeof rounded, "%.5E", static_cast<double>(total.QuadPart));

  const ProgramRun first = RunConsoleProgram("cardcheck.exe", "--json P:\\");
  const std::size_t at = first.out.find("\"fingerprint\":\"");
  ASSERT_NE(at, std::string::npos) << first.out;
  const std::string made = first.out.substr(at + 15, 16);
  const std::string header =
      std::string("\xEF\xBB\xBF") + u8"时间,盘符,卷标,卷序列号,容量字节,样板,样板指纹,卡指纹,结果,原因\r\n";
  const std::string older = u8"2026-12-09T10:00:00+08:00,P:,CARD P,1234-ABCD," + exact +
                            u8",D:\\样板,03066C29A1B2C3D4,FFFF0000FFFF0000,可以使用,\r\n";
  const std::string last = u8"2026-12-10T08:31:05+08:00,P:,card p,1234-abcd," + std::string(rounded) +
                           u8",D:\\样板,03066C29A1B2C3D4," + made + u8",可以使用,\r\n";
  const std::string otherCard =
      u8"2026-12-10T09:00:00+08:00,P:,CARD Q,1234-ABCD," + exact + u8",,,,可以使用,\r\n";
  PutBytes(record, header + older + "2026-12-09,P:,CARD P,1234-ABCD,7.9 GB\r\n" + last + otherCard);
  const std::string args = "--record \"" + record + "\" P:\\";

  ProgramRun run = RunConsoleProgram("cardcheck.exe", args);
  EXPECT_EQ(run.exitCode, 0u) << run.out;
  EXPECT_NE(
      run.out.find(
          u8"指纹: " + made.substr(0, 4) + "-" + made.substr(4, 4) +
          u8"\n记录: 上次 12-10 08:31 写入，样板 0306-6C29，与当时相同\n(记录中有 1 行无法读取，已跳过)\n"),
      std::string::npos)
      << run.out;

  PutBytes(card + "\\audio\\SenseRand\\new.wav", "not the sounds it was made with");
  run = RunConsoleProgram("cardcheck.exe", args);
  EXPECT_NE(run.out.find(u8"，已改变 (卡指纹 现在 "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(u8"，当时 " + made.substr(0, 4) + "-" + made.substr(4, 4) + ")\n"),
            std::string::npos)
      << run.out;
  run = RunConsoleProgram("cardcheck.exe", "--json " + args);
  EXPECT_NE(run.out.find("\"serial\":\"1234-ABCD\",\"label\":\"CARD P\",\"capacity\":" + exact +
                         ",\"found\":true,\"time\":\"2026-12-10T08:31:05+08:00\""),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("\"result\":\"ready\",\"reason\":\"\",\"same\":false,\"skipped_lines\":1}"),
            std::string::npos)
      << run.out;

  PutBytes(record, header + last + u8"2026-12-11T09:00:00+08:00,P:,CARD P,1234-ABCD," + exact +
                       u8",D:\\样板,03066C29A1B2C3D4,,失败,\"存储卡已满, 换一张\"\r\n");
  run = RunConsoleProgram("cardcheck.exe", args);
  EXPECT_EQ(run.exitCode, 0u) << run.out;
  EXPECT_NE(run.out.find(u8"\n记录: 上次 12-11 09:00 写入失败 (存储卡已满, 换一张)\n结论"), std::string::npos)
      << run.out;

  PutBytes(record, header + otherCard);
  run = RunConsoleProgram("cardcheck.exe", args);
  EXPECT_NE(run.out.find(u8"记录里没有这张卡 (卷序列号 1234-ABCD，卷标 CARD P，容量 "), std::string::npos)
      << run.out;

  // A record that cannot be read, or is not there, answers nothing.
  run = RunConsoleProgram("cardcheck.exe", "--record \"" + scratch.str() + "\" P:\\");
  EXPECT_EQ(run.exitCode, 2u) << run.out;
  EXPECT_NE(run.out.find(u8"cardcheck: 无法读取制卡记录 "), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find(u8"结论"), std::string::npos) << run.out;
  EXPECT_EQ(RunConsoleProgram("cardcheck.exe", "--record \"" + record + ".old\" P:\\").exitCode, 2u);
}
