// Puts a completely written file in place of another, in one step.
#pragma once

// Replaces target with source (both in the same directory). True on success;
// on failure the target is unchanged.
bool ReplaceWithFile(const char* source, const char* target);
