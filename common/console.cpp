#include "common/console.h"

#include <algorithm>

#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include "common/file_io_win_text.h"
#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

// Shift, Ctrl, Alt and the Windows keys alone close nothing: they are the
// first half of Alt+Tab and the like, pressed to look at another window.
bool ClosesTheWindow(const KEY_EVENT_RECORD& key) {
  if (!key.bKeyDown) return false;
  switch (key.wVirtualKeyCode) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LWIN:
    case VK_RWIN:
      return false;
    default:
      return true;
  }
}
#endif

}  // namespace

void UseUtf8Console() {
#ifdef _WIN32
  SetConsoleOutputCP(CP_UTF8);
#endif
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
  const wchar_t* wide = GetCommandLineW();
  int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size > 0) {
    std::string line(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &line[0], size, nullptr, nullptr);
    line.resize(line.size() - 1);
    std::vector<std::string> words = SplitCommandLine(line);
    if (!words.empty()) words.erase(words.begin());
    return words;
  }
#endif
  return std::vector<std::string>(argv + 1, argv + argc);
}

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false;
  bool inWord = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

void WriteText(std::FILE* stream, const std::string& text) {
#ifdef _WIN32
  // On a console the text goes in as UTF-16: bytes written through the C
  // runtime are translated by it on the way (Wine's msvcrt takes them one by
  // one as characters of its C locale), whatever the console's code page.
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  if (IsConsole(handle)) {
    std::fflush(stream);
    const std::wstring wide = Wide(text);
    // In pieces: older consoles refuse one write of more than about 64 KiB.
    constexpr std::size_t kPiece = 8192;
    for (std::size_t at = 0; at < wide.size();) {
      std::size_t count = std::min(kPiece, wide.size() - at);
      // Never between the two halves of a surrogate pair.
      if (at + count < wide.size() && IS_HIGH_SURROGATE(wide[at + count - 1])) --count;
      DWORD written = 0;
      if (!WriteConsoleW(handle, wide.data() + at, static_cast<DWORD>(count), &written, nullptr)) break;
      at += count;
    }
    return;
  }
#endif
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

bool StdoutIsLiveTerminal() {
#ifdef _WIN32
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (out == INVALID_HANDLE_VALUE || !GetConsoleMode(out, &mode)) return false;
  return SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
#else
  if (!::isatty(STDOUT_FILENO)) return false;
  const char* term = std::getenv("TERM");
  return term == nullptr || std::strcmp(term, "dumb") != 0;
#endif
}

bool ShouldWaitForKey(unsigned long consoleProcesses, bool inputIsConsole, bool outputIsConsole) {
  return consoleProcesses == 1 && inputIsConsole && outputIsConsole;
}

bool StartedAloneOnItsConsole() {
#ifdef _WIN32
  DWORD processes[2];
  DWORD count = GetConsoleProcessList(processes, 2);
  return ShouldWaitForKey(count, IsConsole(GetStdHandle(STD_INPUT_HANDLE)),
                          IsConsole(GetStdHandle(STD_OUTPUT_HANDLE)));
#else
  return false;
#endif
}

void WaitForKey() {
#ifdef _WIN32
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  WriteConsoleW(output, kTextPressAnyKey,
                static_cast<DWORD>(sizeof kTextPressAnyKey / sizeof kTextPressAnyKey[0] - 1), &written,
                nullptr);
  // Keys pressed while the program was still working are not the answer.
  FlushConsoleInputBuffer(input);
  for (;;) {
    INPUT_RECORD record;
    DWORD read = 0;
    if (!ReadConsoleInputW(input, &record, 1, &read) || read == 0) return;
    if (record.EventType == KEY_EVENT && ClosesTheWindow(record.Event.KeyEvent)) return;
  }
#endif
}

namespace {

bool startedAlone = false;

}  // namespace

bool ConsoleStartedAlone() { return startedAlone; }

bool InteractiveConsole() {
#ifdef _WIN32
  return IsConsole(GetStdHandle(STD_INPUT_HANDLE)) && IsConsole(GetStdHandle(STD_OUTPUT_HANDLE));
#else
  return ::isatty(STDIN_FILENO) && ::isatty(STDOUT_FILENO);
#endif
}

bool AskYes(const std::string& question) {
  WriteText(stdout, question);
  std::string answer;
  for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) answer += static_cast<char>(c);
  while (!answer.empty() && (answer.back() == '\r' || answer.back() == ' ')) answer.pop_back();
  return answer == "y" || answer == "Y";
}

int RunConsoleProgram(int argc, char** argv, const wchar_t* title, int (*command)(int argc, char** argv)) {
  UseUtf8Console();
  // Decided first: a process that joins the console later (a screen reader,
  // a program reading the window's text) does not make it a command window.
  bool alone = StartedAloneOnItsConsole();
  startedAlone = alone;
#ifdef _WIN32
  SetConsoleTitleW(title);
#else
  (void)title;
#endif
  int code = command(argc, argv);
  if (alone) WaitForKey();
  return code;
}
