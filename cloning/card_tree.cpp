#include "cloning/card_tree.h"

#include <vector>

#include "cloning/cloning_texts.h"
#include "common/tree_walk.h"
#include "settings/audio_folders.h"

namespace fs = std::filesystem;

namespace {

// Removes the entry at path (rel below the card) of the given kind, a folder
// with everything in it, what it holds first; files counts the files and
// links removed, failed names what could not be.
bool RemoveTree(const fs::path& path, const std::string& rel, EntryKind kind, int& files, IoError& error,
                std::string& failed) {
  failed = rel;
  if (kind == EntryKind::kFolder) {
    TreeVisitor visitor;
    visitor.visit = [&](const fs::path& in, const std::string&, const FolderEntry& entry,
                        const std::string& childRel) {
      if (entry.info.kind == EntryKind::kFolder) return WalkStep::kEnter;
      failed = childRel;
      if (!RemoveEntry(in / fs::u8path(entry.name), entry.info.kind, error)) return WalkStep::kStop;
      ++files;
      return WalkStep::kNext;
    };
    visitor.left = [&](const fs::path& folder, const std::string& folderRel) {
      failed = folderRel;
      return RemoveEntry(folder, EntryKind::kFolder, error);
    };
    std::string unlisted;
    if (!WalkTree(path, rel, visitor, unlisted, error)) {
      if (!unlisted.empty()) failed = unlisted;
      return false;
    }
    failed = rel;
  }
  if (!RemoveEntry(path, kind, error)) return false;
  if (kind != EntryKind::kFolder) ++files;
  return true;
}

bool MakeFolders(const CardPlan& plan, CardSession& card) {
  for (const std::string& folder : plan.makeFolders) {
    if (!card.Touch()) return false;
    fs::path path = card.target().path / fs::u8path(folder);
    IoError error;
    if (MakeFolder(path, error)) continue;
    // The first failure's own words, not those of a look afterwards.
    EntryInfo info;
    IoError ignored;
    if (LookAt(path, info, ignored) && info.kind == EntryKind::kFolder) continue;
    const std::string why = info.kind == EntryKind::kFile ? std::string(kTextFileInTheWay) : error.text;
    return card.Fail(Format(kTextCannotMakeFolder, CardSpelling(folder).c_str(), why.c_str()));
  }
  return true;
}

}  // namespace

bool PrepareTree(const CardPlan& plan, CardSession& card) {
  for (const Removal& removal : plan.removals) {
    if (!card.Touch()) return false;
    int files = 0;
    IoError error;
    std::string failed;
    fs::path path = card.target().path / fs::u8path(removal.rel);
    if (!RemoveTree(path, removal.rel, removal.kind, files, error, failed)) {
      if (!card.StillTheCard()) return false;
      return card.Fail(Format(kTextCannotRemove, CardSpelling(failed).c_str(), error.text.c_str()));
    }
    if (!removal.leftover) card.result().filesRemoved += files;
  }
  return MakeFolders(plan, card);
}
