// Puts a completely written file in place of another, in one step, and
// removes a file that was left incomplete.
#pragma once

#include <cstdio>

// Creates path as a new, empty file open for binary writing. Never opens or
// truncates anything that already stands at that name: then it returns
// nullptr with occupied set; nullptr with occupied false means that no file
// can be made there at all (missing directory, read-only or removed card).
std::FILE* CreateNewFile(const char* path, bool* occupied);

// Pushes what the stream holds through the C runtime's buffer and the
// system's cache onto the medium (FlushFileBuffers on Windows, fsync on
// POSIX). True when the medium has it.
bool FlushFileToMedium(std::FILE* file);

// True when path names a regular file of at most maxBytes that may be
// written and removed (not read-only, not a folder).
bool IsSmallWritableFile(const char* path, long maxBytes);

// Replaces target with source (both in the same directory), written through
// to the medium. True on success; on failure the target is unchanged.
bool ReplaceWithFile(const char* source, const char* target);

// Removes the file at path. True on success.
bool RemoveFile(const char* path);
