#include "cloning/golden_card.h"

#include <algorithm>
#include <map>
#include <system_error>

#include "cloning/card_names.h"
#include "common/tree_walk.h"
#include "cloning/cloning_texts.h"
#include "settings/audio_folders.h"
#include "settings/config_names.h"

namespace fs = std::filesystem;

namespace {

std::string Unreadable(const std::string& rel, const IoError& error) {
  const std::string why = error.tooLong ? std::string(kTextPathTooLong) : error.text;
  return Format(kTextGoldenEntryUnreadable, CardSpelling(rel).c_str(), why.c_str());
}

// One entry of a golden folder: a folder (listed in turn) or a file, or why
// the golden card cannot be copied.
std::string ListEntry(const fs::path& path, const FolderEntry& entry, const std::string& childRel,
                      GoldenCard& golden) {
  const std::string shown = CardSpelling(childRel);
  // A card is copied whole or not at all: a clone's temporary name would not
  // reach the cards, while the golden card's fingerprint counts it.
  if (IsCopyTempName(entry.name)) return Format(kTextGoldenTempName, shown.c_str());
  switch (entry.info.kind) {
    case EntryKind::kFolder:
      golden.folders.push_back(childRel);
      golden.folderIds.push_back(IdOf(path));
      return "";
    case EntryKind::kFile:
      golden.files.push_back({childRel, entry.info.size, entry.info.modified});
      golden.totalBytes += entry.info.size;
      golden.largestFile = std::max(golden.largestFile, entry.info.size);
      return "";
    case EntryKind::kLink:
      return Format(kTextGoldenLink, shown.c_str());
    case EntryKind::kMountPoint:
      return Format(kTextGoldenMountPoint, shown.c_str());
    default:
      // A device or a pipe has no bytes to copy.
      return Format(kTextGoldenEntryNotCopyable, shown.c_str());
  }
}

// Two names of one folder that FAT takes for one.
std::string Collision(const std::vector<FolderEntry>& entries, const std::string& rel) {
  std::map<std::string, std::string> seen;
  for (const FolderEntry& entry : entries) {
    auto [at, added] = seen.emplace(FoldCase(entry.name), entry.name);
    if (!added) {
      return Format(kTextGoldenNamesCollide, CardSpelling(rel + "/" + at->second).c_str(),
                    CardSpelling(rel + "/" + entry.name).c_str());
    }
  }
  return "";
}

// Lists dir into golden, depth first, names in byte order so that every run
// walks the same way.
std::string ListTree(const fs::path& dir, const std::string& rel, GoldenCard& golden) {
  std::string problem;
  TreeVisitor visitor;
  visitor.listed = [&](const std::string& folder, std::vector<FolderEntry>& entries) {
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    problem = Collision(entries, folder);
    return problem.empty();
  };
  visitor.visit = [&](const fs::path& in, const std::string&, const FolderEntry& entry,
                      const std::string& childRel) {
    problem = ListEntry(in / fs::u8path(entry.name), entry, childRel, golden);
    if (!problem.empty()) return WalkStep::kStop;
    return entry.info.kind == EntryKind::kFolder ? WalkStep::kEnter : WalkStep::kNext;
  };
  std::string unlisted;
  IoError error;
  if (!WalkTree(dir, rel, visitor, unlisted, error) && problem.empty()) problem = Unreadable(unlisted, error);
  return problem;
}

std::string ReadSettings(const fs::path& root, GoldenCard& golden) {
  fs::path settings = root / kConfigFileName;
  EntryInfo info;
  IoError error;
  InFile in;
  bool looked = LookAt(settings, info, error);
  if (looked && info.kind == EntryKind::kLink) return Format(kTextGoldenLink, kConfigFileName);
  bool plain = looked && info.kind == EntryKind::kFile;
  golden.settings.assign(kConfigSize + 1, 0);
  long long got =
      plain && in.Open(settings, false) ? in.Read(golden.settings.data(), golden.settings.size()) : -1;
  if (got != static_cast<long long>(kConfigSize)) {
    return Format(got < 0 ? kTextGoldenSettingsUnreadable : kTextGoldenSettingsWrongSize, kConfigFileName);
  }
  golden.settings.resize(kConfigSize);
  return "";
}

}  // namespace

fs::path TargetPath(const std::string& argument) {
#ifdef _WIN32
  if (argument.size() == 2 && argument[1] == ':') return fs::u8path(argument + "\\");
#endif
  return fs::u8path(argument);
}

std::string ReadGoldenCard(const fs::path& root, GoldenCard& golden) {
  golden.root = root;
  golden.id = IdOf(root);
  IoError error;
  VolumeOf(root, golden.volume, error);
  std::string problem = ReadSettings(root, golden);
  if (!problem.empty()) return problem;

  const std::string audio = kAudioFolder;
  fs::path audioPath = root / fs::u8path(audio);
  EntryInfo info;
  if (!LookAt(audioPath, info, error)) return Unreadable(audio, error);
  if (info.kind == EntryKind::kMissing) return "";
  if (info.kind == EntryKind::kLink) return Format(kTextGoldenLink, audio.c_str());
  if (info.kind != EntryKind::kFolder) return Format(kTextGoldenAudioNotAFolder, audio.c_str());
  golden.hasAudio = true;
  golden.folders.push_back(audio);
  golden.folderIds.push_back(IdOf(audioPath));
  return ListTree(audioPath, audio, golden);
}

std::string GoldenChange(const GoldenCard& golden) {
  GoldenCard now;
  std::string problem = ReadGoldenCard(golden.root, now);
  if (!problem.empty()) return problem;
  auto changed = [](const std::string& rel) { return Format(kTextGoldenChanged, CardSpelling(rel).c_str()); };
  if (now.settings != golden.settings) return changed(kConfigFileName);
  // Every name of either listing, in byte order: the first that differs.
  std::map<std::string, std::pair<const GoldenFile*, const GoldenFile*>> files;
  for (const GoldenFile& file : golden.files) files[file.rel].first = &file;
  for (const GoldenFile& file : now.files) files[file.rel].second = &file;
  std::map<std::string, int> folders;
  for (const std::string& folder : golden.folders) folders[folder] += 1;
  for (const std::string& folder : now.folders) folders[folder] += 2;
  for (const auto& [rel, seen] : folders) {
    if (seen != 3) return changed(rel);
  }
  for (const auto& [rel, pair] : files) {
    const GoldenFile* was = pair.first;
    const GoldenFile* is = pair.second;
    if (!was || !is || was->size != is->size || was->modified != is->modified) return changed(rel);
  }
  return "";
}

std::string LoadGoldenCard(const std::string& given, GoldenCard& golden, CardReport& check,
                           std::vector<std::string>& problems) {
  const fs::path path = TargetPath(given);
  golden.given = given;
  golden.root = path;
  IoError error;
  VolumeOf(path, golden.volume, error);
  std::error_code ec;
  if (!fs::is_directory(path, ec)) {
    problems = {Format(kTextNoSuchFolder, given.c_str())};
    return kTextNoGoldenCard;
  }
  check = CheckCard(path);
  if (!check.Ready()) {
    problems = check.problems;
    return Format(kTextGoldenNotReady, check.problems.size());
  }
  std::string problem = ReadGoldenCard(path, golden);
  if (!problem.empty()) {
    problems = {problem};
    return kTextGoldenUnreadable;
  }
  golden.warnings = check.warnings;
  return "";
}
