#include <windows.h>

#include "settings/file_replace.h"

namespace {

// The C runtime opens files through the wide API, which under Wine takes
// paths longer than MAX_PATH, while the ANSI calls refuse them. Replacing and
// removing go the wide way too, so a file the runtime could create can also
// be put in place or removed again.
bool Widen(const char* path, wchar_t (&wide)[1024]) {
  return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, wide, 1024) != 0;
}

}  // namespace

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
