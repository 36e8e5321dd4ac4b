// A card's fingerprint: a short code that says whether two cards hold the
// same settings and sounds. It goes into records and onto labels, so its
// definition never changes:
//   one line "PATH\tSIZE\tDIGEST\n" for CFG_BROADCAST.bin (when present) and
//   for every plain file below audio at any depth; PATH relative to the card
//   root with '/' separators, UTF-8, ASCII letters lower-cased (FAT ignores
//   case); SIZE in decimal; DIGEST the XXH3-128 of the bytes as 32 lower-case
//   hex digits (canonical form, high half first). The lines sorted by their
//   bytes; the fingerprint is the XXH3-64 (seed 0) of the lines one after
//   another, as 16 upper-case hex digits, shown short as its first 8 in two
//   groups: "1A2B-3C4D".
// Links and other file systems inside audio are never followed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cardcheck/card_model.h"
#include "cardcheck/checksum.h"

struct FingerprintEntry {
  std::string path;  // relative to the card root, '/' separators, UTF-8, as spelled on the card
  uint64_t size = 0;
  Digest128 digest;
};

// The fingerprint of these entries, 16 upper-case hex digits.
std::string FingerprintOf(const std::vector<FingerprintEntry>& entries);

// "1A2B-3C4D" from the full fingerprint.
std::string ShortFingerprint(const std::string& fingerprint);

// A fingerprint as a user writes it: 8 or 16 hex digits, either case, a dash
// allowed after the 4th; false when it is none. digits gets them upper-cased.
bool ParseFingerprint(const std::string& text, std::string& digits);

// True when the full fingerprint begins with the digits parsed from a user.
bool FingerprintMatches(const std::string& fingerprint, const std::string& digits);

// Files of a card whose bytes were measured already (while they were
// written and read back), by their path as on the card: a file listed there
// at that size is taken as its entry says instead of being read again.
using KnownFiles = std::map<std::string, FingerprintEntry>;

// Reads the settings file and the audio tree of the card at root and sums
// them (all but the known files). False with problem (UTF-8) when a file or
// folder cannot be read.
bool CardFingerprint(const std::filesystem::path& root, std::string& fingerprint, std::string& problem,
                     const KnownFiles& known = {});

// The card's fingerprint into report, and a problem when it cannot be worked
// out or does not begin with expect (digits from ParseFingerprint, empty for
// none; expectGiven as the user wrote it).
void AddFingerprint(const std::filesystem::path& card, const std::string& expect,
                    const std::string& expectGiven, CardReport& report);
