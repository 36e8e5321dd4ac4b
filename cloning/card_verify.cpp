#include "cloning/card_verify.h"

#include <map>
#include <vector>

#include "cloning/card_names.h"
#include "common/tree_walk.h"
#include "cloning/cloning_texts.h"
#include "settings/audio_folders.h"

namespace fs = std::filesystem;

namespace {

struct Found {
  std::string rel;  // as the card spells it
  EntryInfo info;
};

// Every entry below the card's audio folder, by name as compared.
bool ListTree(const fs::path& dir, const std::string& rel, bool ignoresCase,
              std::map<std::string, Found>& found, IoError& error) {
  TreeVisitor visitor;
  visitor.visit = [&](const fs::path&, const std::string&, const FolderEntry& entry,
                      const std::string& childRel) {
    found[ignoresCase ? FoldCase(childRel) : childRel] = {childRel, entry.info};
    return WalkStep::kEnter;
  };
  std::string unlisted;
  return WalkTree(dir, rel, visitor, unlisted, error);
}

// Whether the card's file system takes names without case: the audio folder
// found again under another spelling.
bool IgnoresCase(const fs::path& root) {
  std::string other = kAudioFolder;
  for (char& c : other) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  FileId spelled = IdOf(root / kAudioFolder);
  return spelled.valid && spelled == IdOf(root / other);
}

}  // namespace

bool VerifyTree(const GoldenCard& golden, bool keepExtra, CardSession& card,
                std::vector<std::string>& spelled) {
  spelled.clear();
  if (!golden.hasAudio) return true;
  const fs::path& root = card.target().path;
  const bool ignoresCase = IgnoresCase(root);
  std::map<std::string, Found> found;
  IoError error;
  if (!ListTree(root / kAudioFolder, kAudioFolder, ignoresCase, found, error))
    return card.FailIo(Doing(FileStep::kReadingBack, kAudioFolder), error);
  auto take = [&](const std::string& rel, EntryKind kind, uint64_t size) {
    auto at = found.find(ignoresCase ? FoldCase(rel) : rel);
    if (at == found.end()) return card.Fail(Format(kTextCardLacks, CardSpelling(rel).c_str()));
    const EntryInfo& info = at->second.info;
    if (info.kind != kind || (kind == EntryKind::kFile && info.size != size))
      return card.Fail(Format(kTextCardDiffers, CardSpelling(at->second.rel).c_str()));
    if (kind == EntryKind::kFile) spelled.push_back(at->second.rel);
    found.erase(at);
    return true;
  };
  for (const GoldenFile& file : golden.files) {
    if (!take(file.rel, EntryKind::kFile, file.size)) return false;
  }
  for (const std::string& folder : golden.folders) {
    if (folder != kAudioFolder && !take(folder, EntryKind::kFolder, 0)) return false;
  }
  if (keepExtra || found.empty()) return true;
  return card.Fail(Format(kTextCardHasMore, CardSpelling(found.begin()->second.rel).c_str()));
}
