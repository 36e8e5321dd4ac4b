#include "library/audio_tree.h"

#include <cstdio>

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

bool ComposeSourceFilePath(char* out, std::size_t size, const char* directory, const char* name) {
  return Fits(std::snprintf(out, size, "%s\\%s", directory, name), out, size);
}

bool ComposeTargetFilePath(char* out, std::size_t size, int copyEntry, const char* name) {
  char folder[kPathSize];
  if (!FolderOfEntry(copyEntry, folder, sizeof folder)) return NoFolder(out, size);
  return Fits(std::snprintf(out, size, "%s\\%s\\%s", SaveDirectory, folder, name), out, size);
}
