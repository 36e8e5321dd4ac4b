// CFG_BROADCAST.bin on a card, and the temporary names its new content is
// written under before it is put in place. The tool's Generate and cardclone
// write a card's settings the same way, through CreateConfigTemp.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

#include "common/file_io.h"

constexpr const char* kConfigFileName = "CFG_BROADCAST.bin";
// The new settings are written into a temporary file first, flushed to the
// medium and then put in place, so a failed write never leaves a damaged
// CFG_BROADCAST.bin behind. The temporary names, "CFG_BROADCAST.~00" to
// "CFG_BROADCAST.~99", are the programs' own; they are no longer than the
// file's name, so every directory that can hold the settings file can hold
// them too. The first name where a new file can be made is used; what stands
// at a name is never opened, and only what can be nothing but the programs'
// own leftover is removed and its name used again (IsConfigLeftover).
constexpr int kConfigTempCount = 100;

// Composes "CFG_BROADCAST.~NN" for number NN (0..99) into out; false (out
// empty) when it does not fit.
bool ComposeConfigTempName(char* out, std::size_t size, int number);

// The same as a string: "CFG_BROADCAST.~07".
std::string ConfigTempName(int number);

// A write cut short (a card pulled, the program ended) leaves, at a
// temporary name, a plain writable file that is empty (made, not yet written)
// or holds the whole record (written, not yet put in place): the record is
// written in one piece, far smaller than any medium's block. Anything else
// there (a folder, a read-only file, a user's notes of any other size) is
// someone else's and is never touched.
bool IsConfigLeftover(const std::filesystem::path& path);

// Opens out as a new file at the first temporary name where one can be made,
// by the rule above; pathOf(number) gives the path of temporary name number.
// Returns the number of the name opened, or -1 when none could be; tried is
// the number of the last name tried.
int CreateConfigTemp(OutFile& out, const std::function<std::filesystem::path(int number)>& pathOf,
                     int& tried);
