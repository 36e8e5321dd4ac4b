#include "cardcheck/fingerprint.h"

#include <algorithm>
#include <cstdio>

#include "cardcheck/check_texts.h"
#include "common/file_io.h"
#include "common/tree_walk.h"
#include "common/text_format.h"
#include "settings/config_names.h"
#include "settings/playback_pages.h"

namespace fs = std::filesystem;

namespace {

std::string AsciiLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string Hex(uint64_t value, bool upper) {
  char text[17];
  std::snprintf(text, sizeof text, upper ? "%016llX" : "%016llx", static_cast<unsigned long long>(value));
  return text;
}

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The XXH3-128 of a file's bytes, read from its start to its end.
bool SumFile(const fs::path& path, FingerprintEntry& entry, std::string& problem) {
  static constexpr std::size_t kBlock = 1 << 20;
  thread_local std::vector<char> block(kBlock);
  InFile in;
  Checksum128 sum;
  uint64_t size = 0;
  long long got = in.Open(path, false) ? 0 : -1;
  while (got >= 0 && (got = in.Read(block.data(), block.size())) > 0) {
    sum.Update(block.data(), static_cast<std::size_t>(got));
    size += static_cast<uint64_t>(got);
  }
  if (got < 0) {
    problem = Format(kTextFingerprintUnreadable, entry.path.c_str(), in.error().text.c_str());
    return false;
  }
  entry.size = size;
  entry.digest = sum.Digest();
  return true;
}

// Every plain file below folder (relative path rel), links and mounts left.
bool SumFolder(const fs::path& folder, const std::string& rel, const KnownFiles& known,
               std::vector<FingerprintEntry>& entries, std::string& problem) {
  TreeVisitor visitor;
  visitor.visit = [&](const fs::path& in, const std::string&, const FolderEntry& item,
                      const std::string& itemRel) {
    if (item.info.kind == EntryKind::kFolder) return WalkStep::kEnter;
    if (item.info.kind != EntryKind::kFile) return WalkStep::kNext;
    auto measured = known.find(itemRel);
    if (measured != known.end() && measured->second.size == item.info.size) {
      entries.push_back({itemRel, item.info.size, measured->second.digest});
      return WalkStep::kNext;
    }
    entries.push_back({itemRel, 0, {}});
    return SumFile(in / fs::u8path(item.name), entries.back(), problem) ? WalkStep::kNext : WalkStep::kStop;
  };
  std::string unlisted;
  IoError error;
  if (WalkTree(folder, rel, visitor, unlisted, error)) return true;
  if (!unlisted.empty()) problem = Format(kTextFingerprintUnreadable, unlisted.c_str(), error.text.c_str());
  return false;
}

}  // namespace

std::string FingerprintOf(const std::vector<FingerprintEntry>& entries) {
  std::vector<std::string> lines;
  for (const FingerprintEntry& entry : entries) {
    lines.push_back(AsciiLower(entry.path) + "\t" + std::to_string(entry.size) + "\t" +
                    Hex(entry.digest.high, false) + Hex(entry.digest.low, false) + "\n");
  }
  std::sort(lines.begin(), lines.end());
  std::string all;
  for (const std::string& line : lines) all += line;
  return Hex(Hash64(all.data(), all.size()), true);
}

std::string ShortFingerprint(const std::string& fingerprint) {
  return fingerprint.substr(0, 4) + "-" + fingerprint.substr(4, 4);
}

bool ParseFingerprint(const std::string& text, std::string& digits) {
  std::string hex = text;
  if (hex.size() > 4 && hex[4] == '-') hex.erase(4, 1);
  if ((hex.size() != 8 && hex.size() != 16) || !std::all_of(hex.begin(), hex.end(), IsHex)) return false;
  for (char& c : hex) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  }
  digits = hex;
  return true;
}

bool FingerprintMatches(const std::string& fingerprint, const std::string& digits) {
  return !digits.empty() && fingerprint.compare(0, digits.size(), digits) == 0;
}

bool CardFingerprint(const fs::path& root, std::string& fingerprint, std::string& problem,
                     const KnownFiles& known) {
  std::vector<FolderEntry> listed;
  IoError error;
  if (!ListFolder(root, listed, error)) {
    problem = Format(kTextFingerprintUnreadable, ".", error.text.c_str());
    return false;
  }
  std::vector<FingerprintEntry> entries;
  const std::string settings = AsciiLower(kConfigFileName), audio = kAudioFolder;
  for (const FolderEntry& item : listed) {
    std::string folded = AsciiLower(item.name);
    if (folded == settings && item.info.kind == EntryKind::kFile) {
      entries.push_back({item.name, 0, {}});
      if (!SumFile(root / fs::u8path(item.name), entries.back(), problem)) return false;
    } else if (folded == audio && item.info.kind == EntryKind::kFolder &&
               !SumFolder(root / fs::u8path(item.name), item.name, known, entries, problem)) {
      return false;
    }
  }
  fingerprint = FingerprintOf(entries);
  return true;
}

// The card's fingerprint into the report, and a problem when it cannot be
// worked out or is not the one expected.
void AddFingerprint(const fs::path& card, const std::string& expect, const std::string& expectGiven,
                    CardReport& report) {
  std::string problem;
  if (!CardFingerprint(card, report.fingerprint, problem)) {
    report.problems.push_back(problem);
  } else if (!expect.empty() && !FingerprintMatches(report.fingerprint, expect)) {
    report.problems.push_back(
        Format(kTextNotTheGolden, ShortFingerprint(report.fingerprint).c_str(), expectGiven.c_str()));
  }
}
