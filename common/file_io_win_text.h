// What the Windows halves of the file layer share: an error in the system's
// own words, and UTF-16 turned into UTF-8. Windows only.
#pragma once

#include <windows.h>

#include <string>

#include "common/file_io.h"

// Records code (by default the thread's last error) in error, with the
// system's text for it in the user's language.
void FailWithSystemText(IoError& error, DWORD code = GetLastError());

std::string Utf8(const wchar_t* text);
