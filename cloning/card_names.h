// Names on a card as FAT takes them: without case, so that "S1.wav" and
// "s1.wav" are one file there and "senserand" is the folder "SenseRand".
// Also the names of cardclone's own temporary files.
#pragma once

#include <string>

// name with its letters in one case, as FAT compares long names: ASCII,
// Latin-1, Latin Extended-A, Greek, Cyrillic and full-width Latin letters
// are folded; every other character stays (Chinese has no case).
std::string FoldCase(const std::string& utf8);

// The temporary name a golden file is written under beside its final name
// (number tells the files of one batch apart), and whether a name is one that
// CopyTempName makes (or earlier versions made): a golden card holding one
// is refused, and a plain file of such a name in a folder the clone writes
// can only be a leftover of a clone cut short. Nothing else is taken for one.
std::string CopyTempName(std::size_t number);
bool IsCopyTempName(const std::string& name);
