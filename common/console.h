// What the console programs share: their arguments in UTF-8 and their output
// in UTF-8, on the Windows console too.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Makes the console show UTF-8 output (Windows); nothing elsewhere.
void UseUtf8Console();

// The arguments after the program name, in UTF-8. On Windows the narrow argv
// is in the ANSI code page and loses names outside it, so they are taken from
// the wide command line.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Writes text as it is and flushes, so that interleaved output stays ordered.
void WriteText(std::FILE* stream, const std::string& text);
