// The file layer on a real Linux file system: what a folder holds, seen
// without following links, and the medium a path lies on. Mounts need root;
// without it those cases report themselves skipped.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "settings/config_names.h"
#include "tests/support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

std::map<std::string, EntryKind> Kinds(const fs::path& folder) {
  std::vector<FolderEntry> entries;
  IoError error;
  EXPECT_TRUE(ListFolder(folder, entries, error)) << error.text;
  std::map<std::string, EntryKind> kinds;
  for (const FolderEntry& entry : entries) kinds[entry.name] = entry.info.kind;
  return kinds;
}

// A mount made for one test and undone whatever happens.
struct Mount {
  fs::path at;
  bool made = false;
  Mount(const char* source, const fs::path& to, const char* type, unsigned long flags, const char* options)
      : at(to) {
    fs::create_directories(to);
    made = ::mount(source, to.c_str(), type, flags, options) == 0;
  }
  ~Mount() {
    if (made) ::umount2(at.c_str(), MNT_DETACH);
  }
};

}  // namespace

TEST(FileIo, LinksAndMountsAreSeenAsWhatTheyAreAndALinkIsRemovedAlone) {
  ScratchDir scratch;
  const fs::path dir = scratch.path() / "card", outside = scratch.path() / "outside";
  fs::create_directories(dir / "folder");
  fs::create_directories(outside);
  WriteAllBytes((outside / "keep.wav").string(), {1, 2, 3});
  WriteAllBytes((dir / "file.wav").string(), {4});
  fs::create_directory_symlink(outside, dir / "folder link");
  fs::create_symlink(outside / "keep.wav", dir / "file link.wav");
  fs::create_symlink(scratch.path() / "nothing", dir / "dangling");
  Mount bind(outside.c_str(), dir / "bound", nullptr, MS_BIND, nullptr);

  std::map<std::string, EntryKind> expected = {
      {"folder", EntryKind::kFolder},      {"file.wav", EntryKind::kFile}, {"folder link", EntryKind::kLink},
      {"file link.wav", EntryKind::kLink}, {"dangling", EntryKind::kLink}, {"bound", EntryKind::kFolder}};
  if (bind.made) expected["bound"] = EntryKind::kMountPoint;
  EXPECT_EQ(Kinds(dir), expected);

  IoError error;
  EXPECT_TRUE(RemoveEntry(dir / "folder link", EntryKind::kLink, error)) << error.text;
  EXPECT_TRUE(RemoveEntry(dir / "file link.wav", EntryKind::kLink, error)) << error.text;
  EXPECT_EQ(ReadAllBytes((outside / "keep.wav").string()), (std::vector<unsigned char>{1, 2, 3}));
  if (bind.made) {
    EXPECT_FALSE(RemoveEntry(dir / "bound", EntryKind::kMountPoint, error)) << "never through a mount";
    EXPECT_TRUE(fs::exists(outside / "keep.wav"));
  } else {
    GTEST_SKIP() << "bind mounts are refused here";
  }
}

TEST(FileIo, AMountsRootIsACardRootAndAFolderBelowItIsNot) {
  ScratchDir scratch;
  Mount card("tmpfs", scratch.path() / "card", "tmpfs", 0, "size=4m");
  if (!card.made) GTEST_SKIP() << "tmpfs mounts are refused here";
  fs::create_directories(card.at / "sub");
  VolumeInfo root, sub, system;
  IoError error;
  ASSERT_TRUE(VolumeOf(card.at, root, error)) << error.text;
  ASSERT_TRUE(VolumeOf(card.at / "sub", sub, error)) << error.text;
  ASSERT_TRUE(VolumeOf(scratch.path(), system, error)) << error.text;
  EXPECT_TRUE(root.isRoot);
  EXPECT_FALSE(sub.isRoot);
  EXPECT_EQ(root.root, fs::canonical(card.at));
  EXPECT_EQ(root.fileSystem, "tmpfs");
  EXPECT_EQ(root.device, sub.device);
  EXPECT_NE(root.device, system.device);
  EXPECT_EQ(root.capacity, 4u << 20);
  EXPECT_EQ(root.maxFileSize, 0u) << "tmpfs sets no 4 GiB limit";
}

TEST(ConfigNames, OnlyAnEmptyOrAWholeRecordAtATemporaryNameIsALeftover) {
  ScratchDir scratch;
  struct Case {
    std::size_t size;
    bool leftover;
  } cases[] = {{0, true}, {86, true}, {8, false}, {40, false}, {85, false}, {87, false}, {200, false}};
  for (const Case& c : cases) {
    fs::path file = scratch.path() / ConfigTempName(0);
    WriteAllBytes(file.string(), std::vector<unsigned char>(c.size, 'm'));
    EXPECT_EQ(IsConfigLeftover(file), c.leftover) << c.size << " bytes";
  }
  fs::remove(scratch.path() / ConfigTempName(0));
  fs::create_directory(scratch.path() / ConfigTempName(0));
  EXPECT_FALSE(IsConfigLeftover(scratch.path() / ConfigTempName(0))) << "a folder";
}
