// The target cards as given on the command line, and the checks that refuse
// them before anything is written.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "cloning/golden_card.h"
#include "common/file_io.h"

struct Target {
  std::string given;  // as on the command line
  std::filesystem::path path;
  FileId id;
  VolumeInfo volume;  // the medium it lies on
};

// The same for one target on its own (the window's cards, each in a reader
// of its own): why it is refused, or empty.
std::string RefuseTarget(const GoldenCard& golden, Target& target, bool anyFolder);

// Whether volume is the root of the drive the golden card lies on: never a
// target, and not listed as a card.
bool OnGoldenDrive(const VolumeInfo& golden, const VolumeInfo& volume);

// Every reason to refuse the targets, one text each: missing, the golden
// card itself, inside it or holding it, the same folder twice, or one target
// inside another; not a card (on Windows the root of a removable drive, on
// Linux the root of a mounted file system), the system's drive or "/", the
// drive this program runs from, or the golden card's drive. anyFolder lets
// folders and fixed drives be targets (scripts, tests), never the root of
// the system's drive or "/". Fills the targets' ids and volumes.
std::vector<std::string> RefuseTargets(const GoldenCard& golden, std::vector<Target>& targets,
                                       bool anyFolder);
