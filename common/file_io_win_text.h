// What the Windows halves of the programs share: an error in the system's
// own words, UTF-16 turned into UTF-8 and back. Windows only.
#pragma once

#include <windows.h>

#include <string>

#include "common/file_io.h"

// Records code (by default the thread's last error) in error, with the
// system's text for it in the user's language.
void FailWithSystemText(IoError& error, DWORD code = GetLastError());

std::string Utf8(const wchar_t* text);

inline std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return L"";
  int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], size);
  return wide;
}
