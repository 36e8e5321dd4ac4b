#include "settings/audio_folders.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// snprintf's verdict: did all of it fit? Leaves out empty when not.
bool Fits(int written, char* out, std::size_t size) {
  if (written >= 0 && static_cast<std::size_t>(written) < size) return true;
  if (size > 0) out[0] = '\0';
  return false;
}

}  // namespace

bool FolderOfKind(int copyPage, int kind, char* out, std::size_t size) {
  if (copyPage < 0 || copyPage >= kCopyPageCount) return Fits(-1, out, size);
  const char* folder = kPageFolders[copyPage];
  if (!kCopyPages[copyPage].perKind) return Fits(std::snprintf(out, size, "%s", folder), out, size);
  if (kind < 0 || kind >= kSoundKindCount) return Fits(-1, out, size);
  return Fits(std::snprintf(out, size, "%s\\%s", folder, kSoundKinds[kind].folder), out, size);
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

std::filesystem::path FolderPath(const std::filesystem::path& card, const std::string& folder) {
  std::filesystem::path path = card;
  std::size_t start = 0;
  while (start <= folder.size()) {
    std::size_t end = folder.find('\\', start);
    if (end == std::string::npos) end = folder.size();
    if (end > start) path /= std::filesystem::u8path(folder.substr(start, end - start));
    start = end + 1;
  }
  return path;
}

std::string CardSpelling(const std::string& relative) {
  std::string text = relative;
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}
