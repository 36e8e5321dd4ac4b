// Puts a completely written file in place of another, in one step, and
// removes a file that was left incomplete.
#pragma once

// Replaces target with source (both in the same directory). True on success;
// on failure the target is unchanged.
bool ReplaceWithFile(const char* source, const char* target);

// Removes the file at path. True on success.
bool RemoveFile(const char* path);
