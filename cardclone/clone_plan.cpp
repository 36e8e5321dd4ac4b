#include "cardclone/clone_plan.h"

#include <algorithm>
#include <system_error>

#include "settings/audio_folders.h"
#include "settings/config_names.h"

namespace fs = std::filesystem;

namespace {

// Lists dir into golden, depth first, names in byte order so that every run
// walks the same way.
std::string ListFolder(const fs::path& dir, const std::string& rel, GoldenCard& golden) {
  std::error_code ec;
  std::vector<fs::directory_entry> entries;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(*it);
  if (ec) return "无法读取样板卡的 " + CardSpelling(rel) + " (" + ec.message() + ")";
  std::sort(entries.begin(), entries.end(),
            [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path() < b.path(); });
  for (const fs::directory_entry& entry : entries) {
    std::string name = entry.path().filename().u8string();
    if (name == kCloneTempName) continue;
    std::string childRel = rel + "/" + name;
    fs::file_status link = entry.symlink_status(ec);
    fs::file_status target = entry.status(ec);
    if (fs::is_directory(link)) {
      golden.folders.push_back(childRel);
      golden.folderIds.push_back(IdOf(entry.path()));
      std::string problem = ListFolder(entry.path(), childRel, golden);
      if (!problem.empty()) return problem;
    } else if (fs::is_regular_file(target)) {
      uint64_t size = fs::file_size(entry.path(), ec);
      if (ec) return "无法读取样板卡的 " + CardSpelling(childRel) + " (" + ec.message() + ")";
      golden.files.push_back({childRel, size});
      golden.totalBytes += size;
    } else {
      // A linked folder could loop, and a device or pipe has no bytes to copy.
      return "样板卡的 " + CardSpelling(childRel) + " 既不是普通文件也不是文件夹，无法复制";
    }
  }
  return "";
}

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
    return std::string("无法读取样板卡的 ") + kConfigFileName + (got < 0 ? "" : " (长度不对)");
  }
  golden.settings.resize(kConfigSize);

  std::string audio = std::string(kAudioFolder);
  fs::path audioPath = root / fs::u8path(audio);
  fs::file_status status = fs::symlink_status(audioPath, ec);
  if (!fs::exists(status)) return "";
  if (!fs::is_directory(status)) return "样板卡的 " + audio + " 不是文件夹";
  golden.hasAudio = true;
  golden.folders.push_back(audio);
  golden.folderIds.push_back(IdOf(audioPath));
  return ListFolder(audioPath, audio, golden);
}

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
    Target& target = targets[i];
    std::error_code ec;
    if (!fs::is_directory(target.path, ec)) {
      refusals.push_back("目标不存在或不是文件夹: " + target.given);
      continue;
    }
    target.id = IdOf(target.path);
    up[i] = IdsUpward(target.path);
    if (!target.id.valid) {
      refusals.push_back("无法识别目标文件夹: " + target.given);
    } else if (target.id == golden.id) {
      refusals.push_back("目标就是样板卡: " + target.given);
    } else if (Contains(up[i], golden.id) || Contains(golden.folderIds, target.id)) {
      refusals.push_back("目标在样板卡里面: " + target.given);
    } else if (Contains(goldenUp, target.id)) {
      refusals.push_back("目标包含样板卡: " + target.given);
    }
  }
  for (std::size_t i = 0; i < targets.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (!targets[i].id.valid || !targets[j].id.valid) continue;
      if (targets[i].id == targets[j].id) {
        refusals.push_back("同一个目标给了两次: " + targets[j].given + " 和 " + targets[i].given);
      } else if (Contains(up[i], targets[j].id) || Contains(up[j], targets[i].id)) {
        refusals.push_back("一个目标在另一个目标里面: " + targets[j].given + " 和 " + targets[i].given);
      }
    }
  }
  return refusals;
}
