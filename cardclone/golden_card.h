// What cardclone copies: the golden card's settings and audio tree, read
// once up front, before any target is touched.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/file_io.h"

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
