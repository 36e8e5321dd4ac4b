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

bool IsConfigLeftover(const std::filesystem::path& path) {
  std::uint64_t size = 0;
  return IsPlainWritableFile(path, size) && (size == 0 || size == kConfigSize);
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
    if (IsConfigLeftover(path) && RemoveFile(path)) {
      if (out.CreateNew(path, occupied)) return number;
      if (!occupied) return -1;
    }
  }
  return -1;
}
