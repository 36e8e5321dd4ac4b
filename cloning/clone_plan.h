// What the clone will do to one target card, worked out before anything is
// written, from the golden listing and the card's audio tree as it stands:
// the golden files to write and those of the same size to compare while
// copying, what goes from the card's audio tree (files, folders, links; never
// what a link points to), the folders to make, and whether the card has the
// room. A card that cannot take the golden card (no room, a file FAT cannot
// hold, another file system mounted inside its audio tree, an audio tree it
// cannot read) carries its reason and is not written at all.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "cloning/clone_targets.h"
#include "cloning/golden_card.h"
#include "common/file_io.h"

// The golden audio tree by name ('/'-separated below the card).
struct GoldenNames {
  explicit GoldenNames(const GoldenCard& golden);
  std::unordered_set<std::string> folders, files;
  std::unordered_map<std::string, std::string> spellings;  // folded -> golden spelling
};

// The name rel of an entry found in folder dir, in its golden spelling where
// the card's file system takes the two spellings for the same entry (FAT
// ignores case: "senserand" there is "SenseRand"); otherwise rel itself.
std::string GoldenSpelling(const GoldenNames& names, const std::filesystem::path& dir,
                           const std::string& rel);

// One entry to remove from the card's audio tree.
struct Removal {
  std::string rel;  // '/'-separated below the card, as the card spells it
  EntryKind kind = EntryKind::kFile;
  int files = 0;          // the files it holds (1 for a file or a link)
  uint64_t bytes = 0;     // what they take
  bool leftover = false;  // a temporary file of a clone cut short: removed, not counted
};

// What becomes of a golden file on the card.
enum class FileAction : unsigned char {
  kWrite,    // not there, or of another size: written
  kCompare,  // a file of the same size stands there: compared, written only where it differs
};

struct CardPlan {
  std::string refusal;  // why the card is not written; empty when it is
  std::vector<Removal> removals;
  std::vector<std::string> makeFolders;  // golden folders missing on the card, parents first
  std::vector<FileAction> files;         // by golden file
  int writeFiles = 0, compareFiles = 0, removeFiles = 0;
  uint64_t writeBytes = 0, compareBytes = 0, removeBytes = 0;
  bool settingsSame = false;  // the card's settings file holds the golden bytes
  uint64_t needed = 0, available = 0;
  bool Removes() const { return removeFiles > 0; }
};

CardPlan PlanCard(const GoldenCard& golden, const Target& target, bool keepExtra);

// One entry a plan removes, as every program names it ("    删除 audio\a.wav\n").
std::string RemovalText(const Removal& removal);

// A card's golden files are written in batches: each batch flushed to the
// medium at once, read back and put in place before the next one.
constexpr uint64_t kBatchBytes = 8u << 20;
constexpr std::size_t kBatchFiles = 64;
