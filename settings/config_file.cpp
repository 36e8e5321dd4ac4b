#include "settings/config_file.h"

#include <cstdio>
#include <cstring>

#include "common/file_io.h"
#include "common/trace.h"
#include "settings/broadcast_config.h"

namespace {

const char kSeparator[] = "________________________________________________\n";

// snprintf's verdict on a path: did all of it fit? Leaves out empty when not.
bool PathFits(int written, char* out, std::size_t size) {
  if (written >= 0 && static_cast<std::size_t>(written) < size) return true;
  if (size > 0) out[0] = '\0';
  return false;
}

}  // namespace

bool ComposeConfigPath(char* out, std::size_t size, const char* name) {
  return PathFits(std::snprintf(out, size, "%s\\%s", SaveDirectory, name), out, size);
}

bool ComposeConfigTempPath(char* out, std::size_t size, int number) {
  char name[32];
  if (!ComposeConfigTempName(name, sizeof name, number)) return PathFits(-1, out, size);
  return ComposeConfigPath(out, size, name);
}

int32_t GetFileLength(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return 0;
  long length = 0;
  if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
  std::fclose(file);
  // ftell reports -1 for what it cannot measure; that is no settings file.
  return length < 0 ? 0 : static_cast<int32_t>(length > INT32_MAX ? INT32_MAX : length);
}

int WriteConfigFile() {
  char path[kConfigPathSize];
  char tempPath[kConfigPathSize];
  if (!ComposeConfigPath(path, sizeof path) || !ComposeConfigTempPath(tempPath, sizeof tempPath, 0)) {
    Trace("Open file - \"%s\\%s\" err!\n", SaveDirectory, kConfigFileName);
    Trace("%s", kSeparator);
    return -1;
  }

  // The trace names the file really opened: the temporary one.
  OutFile file;
  int tried = 0;
  int number = CreateConfigTemp(
      file,
      [](int n) {
        char name[kConfigPathSize];
        return PathOfAnsi(ComposeConfigTempPath(name, sizeof name, n) ? name : "");
      },
      tried);
  ComposeConfigTempPath(tempPath, sizeof tempPath, tried);
  if (number < 0) {
    Trace("Open file - \"%s\" err!\n", tempPath);
    Trace("%s", kSeparator);
    return -1;
  }
  Trace("Open file - \"%s\" success!\n", tempPath);

  // A short write, a failed flush or close (full or removed card) leaves an
  // incomplete temporary file; it is removed and the old file stays. The
  // bytes must be on the medium before the replace points the settings file
  // at them: a card pulled right after the message box would otherwise hold
  // a settings file whose data never reached it.
  const std::filesystem::path temp = PathOfAnsi(tempPath);
  bool complete = file.Write(ConfigBytes(), kConfigSize);
  complete = file.FlushToMedium() && complete;
  complete = file.Close() && complete;
  if (!complete) {
    Trace("Write file - \"%s\" err!\n", tempPath);
    RemoveFile(temp);
    Trace("%s", kSeparator);
    return -1;
  }
  IoError error;
  if (!PutFileInPlace(temp, PathOfAnsi(path), error)) {
    Trace("Replace file - \"%s\" err!\n", path);
    RemoveFile(temp);
    Trace("%s", kSeparator);
    return -1;
  }
  Trace("%s", kSeparator);
  return 0;
}

int ReadConfigFile() {
  Trace("sizeof = %d\n", static_cast<int>(sizeof(BroadcastConfig)));

  char path[kConfigPathSize];
  // A path that does not fit names no file: it measures as length 0.
  int32_t length = ComposeConfigPath(path, sizeof path) ? GetFileLength(path) : 0;
  Trace("iGetFileSize = %d\n", static_cast<int>(length));
  if (length != static_cast<int32_t>(kConfigSize)) {
    Trace("File szie != struct size!\n");
    return -1;
  }

  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    Trace("Open file - \"%s\" err!\n", path);
    return -1;
  }
  Trace("Open file - \"%s\" success!\n", path);
  // The runtime allocates a stream's buffer lazily; BUFSIZ is the size it uses.
  Trace("_bufsiz = %d\n", static_cast<int>(BUFSIZ));

  // Read into a local buffer so that a file that shrank since it was measured
  // (or a failing card) never leaves a half-loaded record.
  uint8_t bytes[kConfigSize];
  std::size_t count = std::fread(bytes, 1, sizeof bytes, file);
  std::fclose(file);
  if (count != kConfigSize) {
    Trace("Read file - \"%s\" err!\n", path);
    return -1;
  }
  std::memcpy(ConfigBytes(), bytes, kConfigSize);

  Trace("Ena = %d\n", Config.Ena);
  Trace("Vol = %d\n", Config.Vol);
  Trace("TimerMod = %d\n", Config.TimerMod);
  Trace("SenMod = %d\n", Config.SenMod);
  Trace("AlarmA = %d\n", Config.AlarmA);
  Trace("AlarmB = %d\n", Config.AlarmB);
  Trace("TMLPen = %d\n", Config.TMLPen);
  Trace("Dly = %d\n", Config.Dly);
  for (int hour = 0; hour < kHoursPerPlan; ++hour) {
    Trace("type[%d] = %d\n", hour, Config.type[PlanEntry(0, hour)]);
  }
  return 0;
}

GenerateResult RunGenerate() {
  GenerateResult result{};
  // A failed write is reported as such; reading back an older file would both
  // claim success and replace the values the user set.
  if (WriteConfigFile() != 0 || ReadConfigFile() != 0) {
    std::snprintf(result.statusText, sizeof result.statusText, "%s", kTextGenerateFailed);
    Trace("Generate fail!\n");
    result.succeeded = false;
    return result;
  }
  std::snprintf(result.statusText, sizeof result.statusText, kTextGenerated, SaveDirectory, kConfigFileName);
  result.succeeded = true;
  return result;
}
