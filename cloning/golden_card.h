// What the clone copies: the golden card's settings and audio tree, read
// once up front, before any target is touched. Only plain files and folders
// are copied: a link, a mount point or a device in the golden card, or two
// names that a FAT card would take for one, refuse the golden card.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cardcheck/card_model.h"
#include "common/file_io.h"

struct GoldenFile {
  std::string rel;  // below the card, '/'-separated, UTF-8: "audio/SenseRand/a.wav"
  uint64_t size = 0;
  int64_t modified = 0;  // as listed: a file changed since is not copied
};

struct GoldenCard {
  std::string given;  // as the user named it, UTF-8: what records and plans call it
  std::filesystem::path root;
  VolumeInfo volume;  // the medium it lies on
  FileId id;
  std::vector<unsigned char> settings;  // CFG_BROADCAST.bin, read whole (86 bytes)
  bool hasAudio = false;
  std::vector<std::string> folders;  // the audio tree's folders, each after its parent
  std::vector<GoldenFile> files;
  std::vector<FileId> folderIds;  // of the audio tree's folders
  uint64_t totalBytes = 0;
  uint64_t largestFile = 0;
  std::vector<std::string> warnings;  // of the card check, for a card that is ready all the same
  std::string fingerprint;            // 16 hex digits once worked out, else empty
};

// The path of a card as the user names it: on Windows a bare drive "E:"
// means the drive's root, not its current folder.
std::filesystem::path TargetPath(const std::string& argument);

// Reads the golden card's settings file and lists its audio tree. Returns an
// empty string, or why the card cannot be cloned.
std::string ReadGoldenCard(const std::filesystem::path& root, GoldenCard& golden);

// Whether the golden card is still as golden was read: the same settings
// bytes, the same folders, and the same files of the same sizes, not written
// since. Empty when it is; else why not, naming the first difference.
std::string GoldenChange(const GoldenCard& golden);

// The golden card as every program takes it, from what the user named it
// (given): checked as cardcheck checks it (the report into check), then
// read. Returns an empty string when it can be cloned; else the heading of
// why not, with the reasons in problems. golden's given, root and volume
// are filled in either way.
std::string LoadGoldenCard(const std::string& given, GoldenCard& golden, CardReport& check,
                           std::vector<std::string>& problems);
