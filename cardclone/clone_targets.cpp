#include "cardclone/clone_targets.h"

#include <algorithm>
#include <system_error>

#include "cardclone/clone_texts.h"

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

// Why the target cannot be written, whatever the others are; empty when it
// can. Fills its id and the ids of it and the folders above it.
std::string RefusalOf(const GoldenCard& golden, const std::vector<FileId>& goldenUp, Target& target,
                      std::vector<FileId>& up) {
  std::error_code ec;
  if (!fs::is_directory(target.path, ec)) return Format(kTextTargetMissing, target.given.c_str());
  target.id = IdOf(target.path);
  up = IdsUpward(target.path);
  if (!target.id.valid) return Format(kTextTargetUnknown, target.given.c_str());
  if (target.id == golden.id) return Format(kTextTargetIsGolden, target.given.c_str());
  if (Contains(up, golden.id) || Contains(golden.folderIds, target.id))
    return Format(kTextTargetInGolden, target.given.c_str());
  if (Contains(goldenUp, target.id)) return Format(kTextTargetHoldsGolden, target.given.c_str());
  return "";
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

fs::path TargetPath(const std::string& argument) {
#ifdef _WIN32
  if (argument.size() == 2 && argument[1] == ':') return fs::u8path(argument + "\\");
#endif
  return fs::u8path(argument);
}

std::vector<std::string> RefuseTargets(const GoldenCard& golden, std::vector<Target>& targets) {
  std::vector<std::string> refusals;
  std::vector<FileId> goldenUp = IdsUpward(golden.root);
  std::vector<std::vector<FileId>> up(targets.size());
  for (std::size_t i = 0; i < targets.size(); ++i) {
    std::string refusal = RefusalOf(golden, goldenUp, targets[i], up[i]);
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
