// The one walk of a card's tree, for every program that reads or changes
// one (the fingerprint, the golden card's listing, a card's plan, its
// preparation and its last look): depth first from a folder, every entry as
// ListFolder sees it. What is walked is decided here once: only a folder of
// the same file system is ever gone into; a link is never followed (it is
// an entry of its own), another file system mounted inside is never
// entered. What each entry means is the caller's.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/file_io.h"

enum class WalkStep { kNext, kEnter, kStop };

struct TreeVisitor {
  // A folder's entries (rel: its path below the card, '/'-separated), once
  // listed and before any is visited: they may be put in another order, or
  // the folder refused. False stops the walk.
  std::function<bool(const std::string& rel, std::vector<FolderEntry>& entries)> listed;
  // One entry of the folder at path (rel below the card): kEnter goes into
  // it (a folder only; anything else is passed over), kNext goes on, kStop
  // ends the walk. into is the path below the card that the entry's own
  // entries are walked under: the folder's rel, '/', the entry's name, or
  // what the caller puts there instead (the golden card's spelling of it).
  std::function<WalkStep(const std::filesystem::path& folder, const std::string& rel,
                         const FolderEntry& entry, std::string& into)>
      visit;
  // After the walk came back out of a folder it went into (at path, walked
  // under rel). False stops the walk.
  std::function<bool(const std::filesystem::path& path, const std::string& rel)> left;
};

// Walks what the folder at path holds, rel its path below the card. False
// when a call of the visitor stopped it, or when a folder could not be
// listed: then unlisted is that folder's rel and error says why.
bool WalkTree(const std::filesystem::path& path, const std::string& rel, const TreeVisitor& visitor,
              std::string& unlisted, IoError& error);
