// What the console programs share: their arguments in UTF-8 and their output
// in UTF-8, on the Windows console too.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Makes the console show UTF-8 output (Windows); nothing elsewhere.
void UseUtf8Console();

// The arguments after the program name, in UTF-8. On Windows the narrow argv
// is in the ANSI code page and loses names outside it, so they are taken from
// the wide command line, split by SplitCommandLine.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// A Windows command line (UTF-8) split into its words, the program first:
// blanks outside double quotes separate, every double quote opens or closes
// a quoted part, a backslash is always itself. The usual rule (the C runtime's
// and CommandLineToArgvW's) takes a backslash before a quote as an escape, so
// the way a drive is typed or dropped, "E:\", becomes E:" and swallows what
// follows; a double quote can never be part of a file name.
std::vector<std::string> SplitCommandLine(const std::string& line);

// Writes text as it is and flushes, so that interleaved output stays ordered.
void WriteText(std::FILE* stream, const std::string& text);

// True when stdout is a terminal that takes cursor movements (on Windows the
// console's virtual terminal mode is switched on for it).
bool StdoutIsLiveTerminal();

// A console program started from Explorer (double-clicked, or a folder
// dropped on it) gets a console window of its own, which closes the moment the
// program ends, before anyone has read what it printed. It is then the only
// process on its console. From a command window (the shell shares the
// console), from a script, or with its output or input redirected, nobody
// needs to be kept waiting.
bool ShouldWaitForKey(unsigned long consoleProcesses, bool inputIsConsole, bool outputIsConsole);

// What a console program alone on its console shows last.
constexpr wchar_t kTextPressAnyKey[] = L"\n按任意键关闭窗口";

// Whether this process was started alone on its console, with its input and
// output on it (ShouldWaitForKey for this process; Windows only). Asked at
// the start: a process that attaches to the console later does not count.
bool StartedAloneOnItsConsole();

// What StartedAloneOnItsConsole said when RunConsoleProgram began: started
// from Explorer (double-clicked, or with folders or drives dropped on it).
bool ConsoleStartedAlone();

// Whether someone at a console or terminal answers this program: its input
// and output are both one.
bool InteractiveConsole();

// Shows question and reads one line of the answer; true when it is "y"
// (either case).
bool AskYes(const std::string& question);

// Shows kTextPressAnyKey and waits for a key other than Shift, Ctrl, Alt or
// a Windows key (Windows); nothing elsewhere.
void WaitForKey();

// A console program's main: UTF-8 output, its console window titled title
// (Windows), the command, and then, started from Explorer, the wait for a
// key so its window stays until it has been read. The title is set once the
// program knows whether it was started alone. Returns the command's exit
// code.
int RunConsoleProgram(int argc, char** argv, const wchar_t* title, int (*command)(int argc, char** argv));
