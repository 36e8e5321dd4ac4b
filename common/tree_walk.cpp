#include "common/tree_walk.h"

namespace fs = std::filesystem;

bool WalkTree(const fs::path& path, const std::string& rel, const TreeVisitor& visitor, std::string& unlisted,
              IoError& error) {
  std::vector<FolderEntry> entries;
  if (!ListFolder(path, entries, error)) {
    unlisted = rel;
    return false;
  }
  if (visitor.listed && !visitor.listed(rel, entries)) return false;
  for (const FolderEntry& entry : entries) {
    std::string into = rel + "/" + entry.name;
    const WalkStep step = visitor.visit(path, rel, entry, into);
    if (step == WalkStep::kStop) return false;
    if (step != WalkStep::kEnter || entry.info.kind != EntryKind::kFolder) continue;
    const fs::path folder = path / fs::u8path(entry.name);
    if (!WalkTree(folder, into, visitor, unlisted, error)) return false;
    if (visitor.left && !visitor.left(folder, into)) return false;
  }
  return true;
}
