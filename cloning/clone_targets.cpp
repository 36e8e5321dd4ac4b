#include "cloning/clone_targets.h"

#include <algorithm>
#include <system_error>

#include "cloning/cloning_texts.h"

namespace fs = std::filesystem;

namespace {

// The folder and every folder above it, as the file system resolves links.
std::vector<FileId> IdsUpward(const fs::path& path) {
  std::error_code ec;
  fs::path at = fs::canonical(path, ec);
  if (ec) at = fs::absolute(path, ec);
  std::vector<FileId> ids;
  for (;;) {
    ids.push_back(IdOf(at));
    fs::path parent = at.parent_path();
    if (parent == at || parent.empty()) break;
    at = parent;
  }
  return ids;
}

bool Contains(const std::vector<FileId>& ids, const FileId& id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// The media a target must not lie on (besides the golden card's).
struct Forbidden {
  std::uint64_t system = 0, program = 0;
};

Forbidden ForbiddenMedia() {
  Forbidden forbidden;
  VolumeInfo volume;
  IoError error;
  if (VolumeOf(SystemRoot(), volume, error)) forbidden.system = volume.device;
  if (VolumeOf(ProgramPath().parent_path(), volume, error)) forbidden.program = volume.device;
  return forbidden;
}

// Why the target is not a card that may be written; empty when it is.
std::string NotACard(const GoldenCard& golden, const Target& target, const Forbidden& forbidden,
                     bool anyFolder) {
  const VolumeInfo& volume = target.volume;
  const char* given = target.given.c_str();
  // A folder is said to be one, wherever it lies: --any-folder takes it.
  if (!volume.isRoot && !anyFolder) return Format(kTextTargetNotARoot, given);
  if (volume.device == forbidden.system && volume.isRoot) return Format(kTextTargetSystem, given);
  if (anyFolder) return "";
#ifdef _WIN32
  if (!volume.removable) return Format(kTextTargetNotRemovable, given);
#endif
  if (volume.device == forbidden.program) return Format(kTextTargetProgramDrive, given);
  if (OnGoldenDrive(golden.volume, volume)) return Format(kTextTargetGoldenDrive, given);
  return "";
}

// Why the target cannot be written, whatever the others are; empty when it
// can. Fills its id, its volume and the ids of it and the folders above it.
std::string RefusalOf(const GoldenCard& golden, const std::vector<FileId>& goldenUp,
                      const Forbidden& forbidden, bool anyFolder, Target& target, std::vector<FileId>& up) {
  std::error_code ec;
  if (!fs::is_directory(target.path, ec)) return Format(kTextTargetMissing, target.given.c_str());
  target.id = IdOf(target.path);
  up = IdsUpward(target.path);
  if (!target.id.valid) return Format(kTextTargetUnknown, target.given.c_str());
  if (target.id == golden.id) return Format(kTextTargetIsGolden, target.given.c_str());
  if (Contains(up, golden.id) || Contains(golden.folderIds, target.id))
    return Format(kTextTargetInGolden, target.given.c_str());
  if (Contains(goldenUp, target.id)) return Format(kTextTargetHoldsGolden, target.given.c_str());
  IoError error;
  if (!VolumeOf(target.path, target.volume, error)) return Format(kTextTargetUnknown, target.given.c_str());
  return NotACard(golden, target, forbidden, anyFolder);
}

// Why the earlier target and the later one cannot both be written; empty
// when they can.
std::string PairRefusal(const Target& earlier, const std::vector<FileId>& earlierUp, const Target& later,
                        const std::vector<FileId>& laterUp) {
  if (!earlier.id.valid || !later.id.valid) return "";
  if (earlier.id == later.id) return Format(kTextTargetTwice, earlier.given.c_str(), later.given.c_str());
  if (Contains(laterUp, earlier.id) || Contains(earlierUp, later.id)) {
    return Format(kTextTargetInTarget, earlier.given.c_str(), later.given.c_str());
  }
  return "";
}

}  // namespace

bool OnGoldenDrive(const VolumeInfo& golden, const VolumeInfo& volume) {
  return volume.isRoot && golden.device != 0 && volume.device == golden.device;
}

std::string RefuseTarget(const GoldenCard& golden, Target& target, bool anyFolder) {
  std::vector<FileId> up;
  return RefusalOf(golden, IdsUpward(golden.root), ForbiddenMedia(), anyFolder, target, up);
}

std::vector<std::string> RefuseTargets(const GoldenCard& golden, std::vector<Target>& targets,
                                       bool anyFolder) {
  std::vector<std::string> refusals;
  std::vector<FileId> goldenUp = IdsUpward(golden.root);
  const Forbidden forbidden = ForbiddenMedia();
  std::vector<std::vector<FileId>> up(targets.size());
  for (std::size_t i = 0; i < targets.size(); ++i) {
    std::string refusal = RefusalOf(golden, goldenUp, forbidden, anyFolder, targets[i], up[i]);
    if (!refusal.empty()) refusals.push_back(refusal);
  }
  for (std::size_t i = 0; i < targets.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      std::string refusal = PairRefusal(targets[j], up[j], targets[i], up[i]);
      if (!refusal.empty()) refusals.push_back(refusal);
    }
  }
  return refusals;
}
