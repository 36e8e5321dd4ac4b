// A target's audio tree made ready for the golden files: what the golden
// card lacks goes (unless kept at the user's request), what stands in the way
// of a golden file or folder goes, and the golden folders are made. Files
// already under a golden name stay, to be compared while copying.
#pragma once

#include <filesystem>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "cardclone/card_session.h"
#include "cardclone/golden_card.h"

// The golden audio tree by name ('/'-separated below the card).
struct GoldenNames {
  explicit GoldenNames(const GoldenCard& golden);
  std::unordered_set<std::string> folders, files;
  std::unordered_map<std::string, std::string> spellings;  // lower case -> golden spelling
};

// ASCII letters in lower case; every other byte as it is.
std::string LowerAscii(std::string text);

// The name rel of an entry found in folder dir, in its golden spelling where
// the card's file system takes the two spellings for the same entry (FAT
// ignores case: "senserand" there is "SenseRand"); otherwise rel itself.
std::string GoldenSpelling(const GoldenNames& names, const std::filesystem::path& dir,
                           const std::string& rel);

// Prepares the card's audio tree for the golden one; false after recording why.
bool PrepareTree(const GoldenCard& golden, bool keepExtra, CardSession& card);
