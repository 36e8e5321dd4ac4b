#include <cstdio>

#include "settings/file_replace.h"

// rename() replaces an existing target atomically on POSIX file systems.
bool ReplaceWithFile(const char* source, const char* target) { return std::rename(source, target) == 0; }

bool RemoveFile(const char* path) { return std::remove(path) == 0; }
