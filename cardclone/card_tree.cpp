#include "cardclone/card_tree.h"

#include <system_error>
#include <vector>

#include "cardclone/clone_texts.h"
#include "settings/audio_folders.h"

namespace fs = std::filesystem;

GoldenNames::GoldenNames(const GoldenCard& golden) {
  for (const std::string& folder : golden.folders) folders.insert(folder);
  for (const GoldenFile& file : golden.files) files.insert(file.rel);
  for (const std::string& folder : golden.folders) spellings[LowerAscii(folder)] = folder;
  for (const GoldenFile& file : golden.files) spellings[LowerAscii(file.rel)] = file.rel;
}

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The card keeps its own spelling: renaming a folder is not safe on every
// FAT driver (fusefat loses the folder's contents). Under the golden
// spelling the entry is then compared with the golden one like any other.
std::string GoldenSpelling(const GoldenNames& names, const fs::path& dir, const std::string& rel) {
  auto golden = names.spellings.find(LowerAscii(rel));
  if (golden == names.spellings.end()) return rel;
  auto lastName = [](const std::string& path) { return fs::u8path(path.substr(path.rfind('/') + 1)); };
  return IdOf(dir / lastName(golden->second)) == IdOf(dir / lastName(rel)) ? golden->second : rel;
}

namespace {

int CountFiles(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_directory(fs::symlink_status(path, ec))) return 1;
  int files = 0;
  for (fs::recursive_directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_directory(ec)) ++files;
  }
  return files;
}

class TreeSweep {
 public:
  TreeSweep(const GoldenCard& golden, bool keepExtra, CardSession& card)
      : golden_(golden), names_(golden), keepExtra_(keepExtra), card_(card) {}

  bool Prepare() {
    std::string audio = std::string(kAudioFolder);
    fs::path audioPath = card_.target().path / fs::u8path(audio);
    std::error_code ec;
    fs::file_status status = fs::symlink_status(audioPath, ec);
    if (fs::exists(status)) {
      bool sweep = fs::is_directory(status) && (golden_.hasAudio || keepExtra_);
      if (!(sweep ? Sweep(audioPath, audio) : Remove(audioPath, audio))) return false;
    }
    return MakeFolders();
  }

 private:
  // Removes a file, or a folder with everything in it; counts the files.
  bool Remove(const fs::path& path, const std::string& rel) {
    if (!card_.Touch()) return false;
    int files = CountFiles(path);
    std::error_code ec;
    std::uintmax_t count = fs::remove_all(path, ec);
    if (ec || count == static_cast<std::uintmax_t>(-1)) {
      return card_.Fail(Format(kTextCannotRemove, CardSpelling(rel).c_str(), ec.message().c_str()));
    }
    if (path.filename().u8string() != kCloneTempName) card_.result().filesRemoved += files;
    return true;
  }

  // What the golden card lacks inside dir, and what is in the way there.
  bool Sweep(const fs::path& dir, const std::string& rel) {
    std::error_code ec;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(*it);
    if (ec) return card_.Fail(Format(kTextCannotList, CardSpelling(rel).c_str(), ec.message().c_str()));
    for (const fs::directory_entry& entry : entries) {
      if (!SweepEntry(dir, entry.path(), rel)) return false;
    }
    return true;
  }

  bool SweepEntry(const fs::path& dir, const fs::path& path, const std::string& rel) {
    std::string name = path.filename().u8string();
    std::string childRel = rel + "/" + name;
    if (names_.folders.count(childRel) == 0 && names_.files.count(childRel) == 0) {
      childRel = GoldenSpelling(names_, dir, childRel);
    }
    std::error_code ec;
    bool isFolder = fs::is_directory(fs::symlink_status(path, ec));
    bool goldenFolder = names_.folders.count(childRel) > 0;
    bool goldenFile = names_.files.count(childRel) > 0;
    if (name == kCloneTempName) return Remove(path, childRel);
    if (isFolder && goldenFolder) return Sweep(path, childRel);
    if (!isFolder && goldenFile) return true;  // compared with the golden file while copying
    if (keepExtra_ && !goldenFolder && !goldenFile) return true;
    return Remove(path, childRel);
  }

  bool MakeFolders() {
    for (const std::string& folder : golden_.folders) {
      fs::path path = card_.target().path / fs::u8path(folder);
      std::error_code ec;
      if (fs::is_directory(path, ec)) continue;
      if (!card_.Touch()) return false;
      if (!fs::create_directory(path, ec) && !fs::is_directory(path, ec)) {
        const std::string why = ec ? ec.message() : kTextFileInTheWay;
        return card_.Fail(Format(kTextCannotMakeFolder, CardSpelling(folder).c_str(), why.c_str()));
      }
    }
    return true;
  }

  const GoldenCard& golden_;
  const GoldenNames names_;
  bool keepExtra_;
  CardSession& card_;
};

}  // namespace

bool PrepareTree(const GoldenCard& golden, bool keepExtra, CardSession& card) {
  return TreeSweep(golden, keepExtra, card).Prepare();
}
