#include <windows.h>

#include <string>

#include "cardclone/card_io.h"

namespace fs = std::filesystem;

namespace {

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

void Fail(IoError& error) {
  DWORD code = GetLastError();
  error.code = static_cast<int>(code);
  error.full = code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL || code == ERROR_FILE_TOO_LARGE;
  // The system's text in the user's language, as UTF-16, turned into UTF-8.
  wchar_t text[512] = L"";
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                text, 512, nullptr);
  while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L' ')) {
    --length;
  }
  char utf8[1536] = "";
  int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8, sizeof utf8 - 1, nullptr,
                                 nullptr);
  error.text = size > 0 ? std::string(utf8, static_cast<std::size_t>(size)) : "";
  if (error.text.empty()) error.text = "Windows error " + std::to_string(code);
}

HANDLE H(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
std::intptr_t Keep(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(handle);
}

}  // namespace

OutFile::~OutFile() {
  if (handle_ != -1) CloseHandle(H(handle_));
}

bool OutFile::Create(const fs::path& path) {
  handle_ = Keep(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (handle_ == -1) {
    Fail(error_);
    return false;
  }
  return true;
}

bool OutFile::CreateNew(const fs::path& path, bool& occupied) {
  handle_ =
      Keep(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD code = GetLastError();
  occupied = handle_ == -1 && (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS);
  if (handle_ == -1) {
    Fail(error_);
    return false;
  }
  return true;
}

bool OutFile::Write(const void* data, std::size_t size) {
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    DWORD part = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(H(handle_), at, part, &written, nullptr) || written == 0) {
      if (written == 0 && GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_DISK_FULL);
      Fail(error_);
      return false;
    }
    at += written;
    size -= written;
  }
  return true;
}

bool OutFile::FlushToMedium() {
  if (!FlushFileBuffers(H(handle_))) {
    Fail(error_);
    return false;
  }
  return true;
}

bool OutFile::Close() {
  if (handle_ == -1) return true;
  BOOL closed = CloseHandle(H(handle_));
  handle_ = -1;
  if (!closed) {
    Fail(error_);
    return false;
  }
  return true;
}

InFile::~InFile() { Close(); }

bool InFile::Open(const fs::path& path, bool uncached) {
  DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN | (uncached ? FILE_FLAG_NO_BUFFERING : 0);
  handle_ =
      Keep(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr));
  if (handle_ == -1 && uncached && GetLastError() == ERROR_INVALID_PARAMETER) {
    // A file system that cannot read past its cache still gets the read-back.
    uncached = false;
    handle_ = Keep(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  }
  if (handle_ == -1) {
    Fail(error_);
    return false;
  }
  uncached_ = uncached;
  return true;
}

long long InFile::Read(void* data, std::size_t size) {
  char* at = static_cast<char*>(data);
  std::size_t done = 0;
  // Uncached reads must start on an aligned address: after a short read (the
  // end of the file) there is nothing more to read anyway.
  while (done < size && (!uncached_ || done % kIoAlign == 0)) {
    DWORD part = size - done > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size - done);
    DWORD got = 0;
    if (!ReadFile(H(handle_), at + done, part, &got, nullptr)) {
      Fail(error_);
      return -1;
    }
    if (got == 0) break;
    done += got;
  }
  return static_cast<long long>(done);
}

void InFile::Close() {
  if (handle_ != -1) CloseHandle(H(handle_));
  handle_ = -1;
}

bool PutFileInPlace(const fs::path& from, const fs::path& to, IoError& error) {
  // Write-through: the card holds the new name when the call returns.
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Fail(error);
    return false;
  }
  return true;
}

FolderId IdOfFolder(const fs::path& path) {
  FolderId id;
  // Backup semantics open folders; no access right is needed for the id.
  HANDLE handle =
      CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return id;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(handle, &info)) {
    id.valid = true;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  }
  CloseHandle(handle);
  return id;
}

bool StdoutIsLiveTerminal() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (out == INVALID_HANDLE_VALUE || !GetConsoleMode(out, &mode)) return false;
  return SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}
