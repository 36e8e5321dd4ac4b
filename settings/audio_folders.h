// The audio tree on a card as the device reads it: the folder of each copy
// page and sound kind, and which files count as sounds. The tool's copy and
// the card check and clone all follow these rules.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>

#include "settings/playback_pages.h"

// Folder of each copy page below the card's directory, from the page table.
constexpr std::array<const char*, kCopyPageCount> kPageFolders = EachCopyPage(&CopyPageInfo::folder);

constexpr int kNoKind = -1;

// The folder of copy page's files of sound kind `kind`: the page's own folder
// on pages 0..2 (kind unused), the kind's subfolder on pages 3..5. False (out
// empty) for a page or kind out of range or when it does not fit.
bool FolderOfKind(int copyPage, int kind, char* out, std::size_t size);

// Whether the copy takes an entry the search for "*.wav" returned: its own
// name ends in ".wav" (any case) and does not begin with ".". On Windows the
// search also matches a name by its 8.3 short name, so "take.wave" (short
// name "TAKE~1.WAV") is returned too; such names are passed over.
bool IsCopiedSoundName(const char* name);

// A folder of the tree as the card spells it ("audio\Alarm\A"), as a path
// below card.
std::filesystem::path FolderPath(const std::filesystem::path& card, const std::string& folder);

// A path below the card written with '/' ("audio/Alarm/A") as the card
// spells it: "audio\Alarm\A".
std::string CardSpelling(const std::string& relative);
