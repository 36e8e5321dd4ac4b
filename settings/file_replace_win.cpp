#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "settings/file_replace.h"

namespace {

// The C runtime opens files through the wide API, which under Wine takes
// paths longer than MAX_PATH, while the ANSI calls refuse them. Creating,
// replacing and removing go the wide way too, so a file the runtime could
// create can also be put in place or removed again.
bool Widen(const char* path, wchar_t (&wide)[1024]) {
  return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, wide, 1024) != 0;
}

}  // namespace

std::FILE* CreateNewFile(const char* path, bool* occupied) {
  *occupied = false;
  wchar_t wide[1024];
  if (!Widen(path, wide)) return nullptr;
  // Shared as the runtime's own fopen shares a file it writes.
  HANDLE handle = CreateFileW(wide, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    // A folder at the name is refused with "access denied" rather than
    // "exists", so the name is looked at itself.
    *occupied = GetLastError() == ERROR_FILE_EXISTS || GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES;
    return nullptr;
  }
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(handle);
    DeleteFileW(wide);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, "wb");
  if (file == nullptr) {
    _close(fd);
    DeleteFileW(wide);
  }
  return file;
}

bool FlushFileToMedium(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

bool IsSmallWritableFile(const char* path, long maxBytes) {
  wchar_t wide[1024];
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!Widen(path, wide) || !GetFileAttributesExW(wide, GetFileExInfoStandard, &data)) return false;
  const DWORD refused = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DEVICE |
                        FILE_ATTRIBUTE_REPARSE_POINT;
  return (data.dwFileAttributes & refused) == 0 && data.nFileSizeHigh == 0 &&
         data.nFileSizeLow <= static_cast<DWORD>(maxBytes);
}

// The C runtime's rename() refuses an existing target on Windows; MoveFileEx
// replaces it, and write-through makes sure the card holds the new file when
// the call returns.
bool ReplaceWithFile(const char* source, const char* target) {
  wchar_t from[1024], to[1024];
  if (!Widen(source, from) || !Widen(target, to)) return false;
  return MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const char* path) {
  wchar_t wide[1024];
  return Widen(path, wide) && DeleteFileW(wide) != 0;
}
