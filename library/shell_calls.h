// The few shell functions the tool calls, found in the system's shell32 and
// ole32 the first time one is needed rather than at start-up: loading both
// costs every run (under Wine about a tenth of the time until the window
// shows), and most runs neither browse nor copy.
#pragma once

#include <windows.h>
#include <shlobj.h>

struct ShellFunctions {
  decltype(&SHBrowseForFolderA) browseForFolder = nullptr;
  decltype(&SHGetPathFromIDListW) pathFromItem = nullptr;
  decltype(&CoTaskMemFree) freeItem = nullptr;
  decltype(&SHCreateDirectoryExA) createDirectory = nullptr;
};

// Loaded once; a function the system lacks stays nullptr.
const ShellFunctions& SystemShell();
