#include "library/audio_tree.h"

#include <cstdio>
#include <cstring>

int CopyEntry = 0;

namespace {

// snprintf's verdict: did all of it fit? Leaves out empty when not.
bool Fits(int written, char* out, std::size_t size) {
  if (written >= 0 && static_cast<std::size_t>(written) < size) return true;
  if (size > 0) out[0] = '\0';
  return false;
}

const AudioEntry* FindEntry(int copyEntry) {
  for (const AudioEntry& entry : kAudioEntries) {
    if (entry.id == copyEntry) return &entry;
  }
  return nullptr;
}

bool NoFolder(char* out, std::size_t size) {
  if (size > 0) out[0] = '\0';
  return false;
}

}  // namespace

bool FolderOfPage(int copyPage, int copyEntry, char* out, std::size_t size) {
  if (copyPage < 0 || copyPage >= kCopyPageCount) return NoFolder(out, size);
  if (!kCopyPages[copyPage].perKind) return FolderOfKind(copyPage, kNoKind, out, size);
  const AudioEntry* entry = FindEntry(copyEntry);
  if (entry == nullptr || entry->page != copyPage) return NoFolder(out, size);
  return FolderOfKind(copyPage, entry->kind, out, size);
}

bool FolderOfKind(int copyPage, int kind, char* out, std::size_t size) {
  if (copyPage < 0 || copyPage >= kCopyPageCount) return NoFolder(out, size);
  const char* folder = kPageFolders[copyPage];
  if (!kCopyPages[copyPage].perKind) return Fits(std::snprintf(out, size, "%s", folder), out, size);
  if (kind < 0 || kind >= kSoundKindCount) return NoFolder(out, size);
  return Fits(std::snprintf(out, size, "%s\\%s", folder, kSoundKinds[kind].folder), out, size);
}

bool FolderOfEntry(int copyEntry, char* out, std::size_t size) {
  const AudioEntry* entry = FindEntry(copyEntry);
  if (entry == nullptr) return NoFolder(out, size);
  return FolderOfKind(entry->page, entry->kind, out, size);
}

bool ComposeTargetFolderPath(char* out, std::size_t size, int copyPage, int copyEntry) {
  char folder[kPathSize];
  if (!FolderOfPage(copyPage, copyEntry, folder, sizeof folder)) return NoFolder(out, size);
  return Fits(std::snprintf(out, size, "%s\\%s", SaveDirectory, folder), out, size);
}

bool ComposeSearchPattern(char* out, std::size_t size, const char* directory) {
  return Fits(std::snprintf(out, size, "%s\\*.wav", directory), out, size);
}

bool IsCopiedSoundName(const char* name) {
  std::size_t length = std::strlen(name);
  if (length < 4 || name[0] == '.') return false;
  // ASCII bytes are whole characters in code pages 936 and 65001 alike (no
  // lead byte is ASCII), so an ASCII ending is the name's own ending.
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  const char* suffix = name + length - 4;
  return suffix[0] == '.' && lower(suffix[1]) == 'w' && lower(suffix[2]) == 'a' && lower(suffix[3]) == 'v';
}

bool ComposeSourceFilePath(char* out, std::size_t size, const char* directory, const char* name) {
  return Fits(std::snprintf(out, size, "%s\\%s", directory, name), out, size);
}

bool ComposeTargetFilePath(char* out, std::size_t size, int copyEntry, const char* name) {
  char folder[kPathSize];
  if (!FolderOfEntry(copyEntry, folder, sizeof folder)) return NoFolder(out, size);
  return Fits(std::snprintf(out, size, "%s\\%s\\%s", SaveDirectory, folder, name), out, size);
}
