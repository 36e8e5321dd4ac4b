// What cardclone copies and where: the golden card's settings and audio
// tree, read once up front, and the targets with the checks that refuse them
// before anything is written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "settings/audio_folders.h"

// A leftover of an interrupted write: never part of a card, always removed.
constexpr const char* kCloneTempName = ".cardclone.tmp";

struct GoldenFile {
  std::string rel;  // below the card, '/'-separated, UTF-8: "audio/SenseRand/a.wav"
  uint64_t size = 0;
};

struct GoldenCard {
  std::filesystem::path root;
  FileId id;
  std::vector<unsigned char> settings;  // CFG_BROADCAST.bin, read whole (86 bytes)
  bool hasAudio = false;
  std::vector<std::string> folders;  // the audio tree's folders, each after its parent
  std::vector<GoldenFile> files;
  std::vector<FileId> folderIds;  // of the audio tree's folders
  uint64_t totalBytes = 0;
};

// Reads the golden card's settings file and lists its audio tree. Returns an
// empty string, or why the card cannot be cloned.
std::string ReadGoldenCard(const std::filesystem::path& root, GoldenCard& golden);

struct Target {
  std::string given;  // as on the command line
  std::filesystem::path path;
  FileId id;
};

// The target path of an argument: on Windows a bare drive "E:" means the
// drive's root, not its current folder.
std::filesystem::path TargetPath(const std::string& argument);

// Every reason to refuse the targets, one text each: missing, the golden
// card itself, inside it or holding it, the same folder twice, or one target
// inside another. Fills the targets' ids.
std::vector<std::string> RefuseTargets(const GoldenCard& golden, std::vector<Target>& targets);
