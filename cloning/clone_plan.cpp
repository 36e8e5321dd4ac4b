#include "cloning/clone_plan.h"

#include <algorithm>
#include <cstring>

#include "cloning/card_names.h"
#include "common/tree_walk.h"
#include "cloning/cloning_texts.h"
#include "settings/audio_folders.h"
#include "settings/config_names.h"

namespace fs = std::filesystem;

GoldenNames::GoldenNames(const GoldenCard& golden) {
  for (const std::string& folder : golden.folders) folders.insert(folder);
  for (const GoldenFile& file : golden.files) files.insert(file.rel);
  for (const std::string& folder : golden.folders) spellings[FoldCase(folder)] = folder;
  for (const GoldenFile& file : golden.files) spellings[FoldCase(file.rel)] = file.rel;
}

// The card keeps its own spelling: renaming a folder is not safe on every
// FAT driver (fusefat loses the folder's contents). Under the golden
// spelling the entry is then compared with the golden one like any other.
std::string GoldenSpelling(const GoldenNames& names, const fs::path& dir, const std::string& rel) {
  auto golden = names.spellings.find(FoldCase(rel));
  if (golden == names.spellings.end()) return rel;
  auto lastName = [](const std::string& path) { return fs::u8path(path.substr(path.rfind('/') + 1)); };
  return IdOf(dir / lastName(golden->second)) == IdOf(dir / lastName(rel)) ? golden->second : rel;
}

namespace {

class Planner {
 public:
  Planner(const GoldenCard& golden, const Target& target, bool keepExtra)
      : golden_(golden), target_(target), names_(golden), keepExtra_(keepExtra) {
    unit_ = std::max<uint64_t>(target.volume.allocationUnit, 1);
    for (std::size_t i = 0; i < golden.files.size(); ++i) fileIndex_[golden.files[i].rel] = i;
  }

  CardPlan Plan() {
    plan_.files.assign(golden_.files.size(), FileAction::kWrite);
    if (target_.volume.maxFileSize != 0 && golden_.largestFile > target_.volume.maxFileSize) {
      for (const GoldenFile& file : golden_.files) {
        if (file.size > target_.volume.maxFileSize) {
          Refuse(Format(kTextTooLargeForCard, CardSpelling(file.rel).c_str()));
          return plan_;
        }
      }
    }
    plan_.settingsSame = SettingsSame();
    if (!SurveyAudio()) return plan_;
    for (const std::string& folder : golden_.folders) {
      if (existing_.count(folder) == 0) plan_.makeFolders.push_back(folder);
    }
    CountFiles();
    CheckRoom();
    return plan_;
  }

 private:
  // Records why the card is not written; false, for the step to return.
  bool Refuse(const std::string& reason) {
    if (plan_.refusal.empty()) plan_.refusal = reason;
    return false;
  }
  uint64_t Rounded(uint64_t bytes) const { return (bytes + unit_ - 1) / unit_ * unit_; }

  bool SettingsSame() {
    InFile in;
    if (!in.Open(target_.path / kConfigFileName, false)) return false;
    unsigned char bytes[kConfigSize + 1];
    long long got = in.Read(bytes, sizeof bytes);
    return got == static_cast<long long>(kConfigSize) &&
           std::memcmp(bytes, golden_.settings.data(), kConfigSize) == 0;
  }

  bool SurveyAudio() {
    const std::string audio = kAudioFolder;
    fs::path path = target_.path / fs::u8path(audio);
    EntryInfo info;
    IoError error;
    if (!LookAt(path, info, error)) return Refuse(Format(kTextCannotList, audio.c_str(), error.text.c_str()));
    if (info.kind == EntryKind::kMissing) return true;
    if (info.kind == EntryKind::kFolder && (golden_.hasAudio || keepExtra_)) {
      existing_.insert(audio);
      return Survey(path, audio);
    }
    return Remove(path, audio, info);
  }

  // A walk of the card's folder dir (rel below the card); a folder that
  // cannot be listed refuses the card.
  bool Walk(const fs::path& dir, const std::string& rel, const TreeVisitor& visitor) {
    std::string unlisted;
    IoError error;
    if (WalkTree(dir, rel, visitor, unlisted, error)) return true;
    if (unlisted.empty()) return false;
    return Refuse(Format(kTextCannotList, CardSpelling(unlisted).c_str(), error.text.c_str()));
  }

  // The entries of the card's folder dir, against the golden tree.
  bool Survey(const fs::path& dir, const std::string& rel) {
    TreeVisitor visitor;
    visitor.visit = [this](const fs::path& in, const std::string& folder, const FolderEntry& entry,
                           std::string& into) { return SurveyEntry(in, folder, entry, into); };
    return Walk(dir, rel, visitor);
  }

  // A golden folder is gone into under its golden spelling (childRel).
  WalkStep SurveyEntry(const fs::path& dir, const std::string& rel, const FolderEntry& entry,
                       std::string& childRel) {
    const fs::path path = dir / fs::u8path(entry.name);
    const EntryKind kind = entry.info.kind;
    auto next = [](bool ok) { return ok ? WalkStep::kNext : WalkStep::kStop; };
    // Only what a clone cut short can have left is removed unasked: a plain
    // file of its temporary name in a folder it writes. Anything else of
    // such a name is a user's, and goes (or stays) like any other extra.
    if (kind == EntryKind::kFile && IsCopyTempName(entry.name) && names_.folders.count(rel) > 0)
      return next(Remove(path, childRel, entry.info, true));
    bool plain = kind == EntryKind::kFolder || kind == EntryKind::kFile;
    if (plain && names_.folders.count(childRel) == 0 && names_.files.count(childRel) == 0)
      childRel = GoldenSpelling(names_, dir, childRel);
    bool goldenFolder = names_.folders.count(childRel) > 0, goldenFile = names_.files.count(childRel) > 0;
    if (kind == EntryKind::kFolder && goldenFolder) {
      existing_.insert(childRel);
      return WalkStep::kEnter;
    }
    if (kind == EntryKind::kFile && goldenFile) {
      std::size_t index = fileIndex_[childRel];
      if (entry.info.size == golden_.files[index].size) {
        plan_.files[index] = FileAction::kCompare;
      } else {
        replacedBytes_ += Rounded(entry.info.size);
      }
      return WalkStep::kNext;
    }
    if (keepExtra_ && !goldenFolder && !goldenFile) return WalkStep::kNext;
    return next(Remove(path, rel + "/" + entry.name, entry.info));
  }

  // An entry that goes: a folder with all it holds (never through a link,
  // never into another file system).
  bool Remove(const fs::path& path, const std::string& rel, const EntryInfo& info, bool leftover = false) {
    Removal removal{rel, info.kind, 1, Rounded(info.size), leftover};
    if (info.kind == EntryKind::kMountPoint)
      return Refuse(Format(kTextMountInAudio, CardSpelling(rel).c_str()));
    if (info.kind == EntryKind::kFolder) {
      removal.files = 0;
      removal.bytes = 0;
      if (!Measure(path, rel, removal)) return false;
    }
    if (!leftover) {
      plan_.removeFiles += removal.files;
      plan_.removeBytes += removal.bytes;
    }
    plan_.removals.push_back(removal);
    return true;
  }

  // The files a folder that goes holds, and their room.
  bool Measure(const fs::path& dir, const std::string& rel, Removal& removal) {
    TreeVisitor visitor;
    visitor.visit = [&](const fs::path&, const std::string&, const FolderEntry& entry,
                        const std::string& childRel) {
      if (entry.info.kind == EntryKind::kMountPoint) {
        Refuse(Format(kTextMountInAudio, CardSpelling(childRel).c_str()));
        return WalkStep::kStop;
      }
      if (entry.info.kind == EntryKind::kFolder) return WalkStep::kEnter;
      ++removal.files;
      removal.bytes += Rounded(entry.info.size);
      return WalkStep::kNext;
    };
    return Walk(dir, rel, visitor);
  }

  void CountFiles() {
    for (std::size_t i = 0; i < golden_.files.size(); ++i) {
      uint64_t size = golden_.files[i].size;
      if (plan_.files[i] == FileAction::kCompare) {
        ++plan_.compareFiles;
        plan_.compareBytes += size;
      } else {
        ++plan_.writeFiles;
        plan_.writeBytes += size;
      }
    }
  }

  // Room for every file written, its folders and the settings, and for the
  // temporary copies of the files it replaces (a batch at a time), counting
  // what is removed and what is replaced as freed.
  void CheckRoom() {
    uint64_t written = 0, replacing = 0, largest = 0;
    for (std::size_t i = 0; i < golden_.files.size(); ++i) {
      uint64_t size = Rounded(golden_.files[i].size);
      if (plan_.files[i] == FileAction::kWrite) written += size;
      if (plan_.files[i] == FileAction::kCompare) replacing += size;
      largest = std::max(largest, size);
    }
    replacing = std::min(replacing + replacedBytes_, Rounded(kBatchBytes) + largest);
    plan_.needed = written + replacing + unit_ * plan_.makeFolders.size() + (plan_.settingsSame ? 0 : unit_);
    plan_.available = target_.volume.available + plan_.removeBytes + replacedBytes_;
    // A file system that reports no size at all (fusefat does) cannot tell
    // its room; such a card is found full, if it is, while it is written.
    if (target_.volume.capacity != 0 && plan_.needed > plan_.available) {
      Refuse(Format(kTextNoRoom, SizeText(plan_.needed).c_str(), SizeText(plan_.available).c_str()));
    }
  }

  const GoldenCard& golden_;
  const Target& target_;
  const GoldenNames names_;
  bool keepExtra_;
  uint64_t unit_ = 1;
  std::unordered_map<std::string, std::size_t> fileIndex_;
  std::unordered_set<std::string> existing_;  // golden folders the card has
  uint64_t replacedBytes_ = 0;                // old files of other sizes at golden names
  CardPlan plan_;
};

}  // namespace

CardPlan PlanCard(const GoldenCard& golden, const Target& target, bool keepExtra) {
  return Planner(golden, target, keepExtra).Plan();
}

std::string RemovalText(const Removal& removal) {
  const std::string shown = CardSpelling(removal.rel);
  switch (removal.kind) {
    case EntryKind::kFolder:
      return Format(kTextPlanRemoveFolder, shown.c_str(), removal.files);
    case EntryKind::kLink:
      return Format(kTextPlanRemoveLink, shown.c_str());
    default:
      return Format(kTextPlanRemove, shown.c_str());
  }
}
