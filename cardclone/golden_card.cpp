#include "cardclone/golden_card.h"

#include <algorithm>
#include <system_error>

#include "cardclone/clone_texts.h"
#include "settings/audio_folders.h"
#include "settings/config_names.h"

namespace fs = std::filesystem;

namespace {

std::string ListFolder(const fs::path& dir, const std::string& rel, GoldenCard& golden);

// One entry of a golden folder: a folder listed in turn, or a file.
std::string ListEntry(const fs::directory_entry& entry, const std::string& childRel, GoldenCard& golden) {
  std::error_code ec;
  fs::file_status link = entry.symlink_status(ec);
  fs::file_status target = entry.status(ec);
  if (fs::is_directory(link)) {
    golden.folders.push_back(childRel);
    golden.folderIds.push_back(IdOf(entry.path()));
    return ListFolder(entry.path(), childRel, golden);
  }
  // A linked folder could loop, and a device or pipe has no bytes to copy.
  if (!fs::is_regular_file(target))
    return Format(kTextGoldenEntryNotCopyable, CardSpelling(childRel).c_str());
  uint64_t size = fs::file_size(entry.path(), ec);
  if (ec) return Format(kTextGoldenEntryUnreadable, CardSpelling(childRel).c_str(), ec.message().c_str());
  golden.files.push_back({childRel, size});
  golden.totalBytes += size;
  return "";
}

// Lists dir into golden, depth first, names in byte order so that every run
// walks the same way.
std::string ListFolder(const fs::path& dir, const std::string& rel, GoldenCard& golden) {
  std::error_code ec;
  std::vector<fs::directory_entry> entries;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(*it);
  if (ec) return Format(kTextGoldenEntryUnreadable, CardSpelling(rel).c_str(), ec.message().c_str());
  std::sort(entries.begin(), entries.end(),
            [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path() < b.path(); });
  for (const fs::directory_entry& entry : entries) {
    std::string name = entry.path().filename().u8string();
    if (name == kCloneTempName) continue;
    std::string problem = ListEntry(entry, rel + "/" + name, golden);
    if (!problem.empty()) return problem;
  }
  return "";
}

}  // namespace

std::string ReadGoldenCard(const fs::path& root, GoldenCard& golden) {
  golden.root = root;
  golden.id = IdOf(root);
  std::error_code ec;
  fs::path settings = root / kConfigFileName;
  uint64_t size = fs::file_size(settings, ec);
  InFile in;
  golden.settings.assign(static_cast<std::size_t>(ec ? 0 : size) + 1, 0);
  long long got =
      ec || !in.Open(settings, false) ? -1 : in.Read(golden.settings.data(), golden.settings.size());
  if (got != static_cast<long long>(kConfigSize)) {
    return Format(got < 0 ? kTextGoldenSettingsUnreadable : kTextGoldenSettingsWrongSize, kConfigFileName);
  }
  golden.settings.resize(kConfigSize);

  std::string audio = std::string(kAudioFolder);
  fs::path audioPath = root / fs::u8path(audio);
  fs::file_status status = fs::symlink_status(audioPath, ec);
  if (!fs::exists(status)) return "";
  if (!fs::is_directory(status)) return Format(kTextGoldenAudioNotAFolder, audio.c_str());
  golden.hasAudio = true;
  golden.folders.push_back(audio);
  golden.folderIds.push_back(IdOf(audioPath));
  return ListFolder(audioPath, audio, golden);
}
