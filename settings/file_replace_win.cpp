#include <windows.h>

#include "settings/file_replace.h"

// The C runtime's rename() refuses an existing target on Windows; MoveFileEx
// replaces it, and write-through makes sure the card holds the new file when
// the call returns.
bool ReplaceWithFile(const char* source, const char* target) {
  return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
