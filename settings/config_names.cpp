#include "settings/config_names.h"

#include <cstdio>

#include "settings/broadcast_config.h"

bool ComposeConfigTempName(char* out, std::size_t size, int number) {
  int written = std::snprintf(out, size, "CFG_BROADCAST.~%02d", number);
  if (written >= 0 && static_cast<std::size_t>(written) < size) return true;
  if (size > 0) out[0] = '\0';
  return false;
}

std::string ConfigTempName(int number) {
  char name[32];
  return ComposeConfigTempName(name, sizeof name, number) ? name : "";
}

int CreateConfigTemp(OutFile& out, const std::function<std::filesystem::path(int number)>& pathOf,
                     int& tried) {
  tried = -1;
  for (int number = 0; number < kConfigTempCount; ++number) {
    std::filesystem::path path = pathOf(number);
    tried = number;
    bool occupied = false;
    if (out.CreateNew(path, occupied)) return number;
    if (!occupied) return -1;
    // A write cut short (a card pulled, the program ended) leaves at most the
    // record's bytes in a plain file: that leftover is removed, so leftovers
    // never pile up. A folder, a read-only or a larger file is someone
    // else's and is passed over.
    if (IsSmallWritableFile(path, kConfigSize) && RemoveFile(path)) {
      if (out.CreateNew(path, occupied)) return number;
      if (!occupied) return -1;
    }
  }
  return -1;
}
