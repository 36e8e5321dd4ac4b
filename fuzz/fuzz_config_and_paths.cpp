// Fuzzes what takes outside input: the settings loader (any file on a card)
// and the path compositions (any save directory, source folder and file
// name). Each input is checked against what the code promises.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "library/audio_tree.h"
#include "settings/broadcast_config.h"
#include "settings/config_file.h"
#include "settings/save_directory.h"

namespace {

std::string scratch;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
  }
}

// A composition either fits whole or leaves the buffer empty.
void CheckComposed(bool fits, const char* out, std::size_t size, const std::string& expected, const char* what) {
  if (fits) {
    Check(std::strlen(out) < size, what);
    Check(expected == out, what);
  } else {
    Check(out[0] == '\0', what);
    Check(expected.size() >= size || expected.empty(), what);
  }
}

void FuzzLoader(const uint8_t* data, std::size_t size) {
  std::snprintf(SaveDirectory, kPathSize, "%s", scratch.c_str());
  char path[kConfigPathSize];
  Check(ComposeConfigPath(path, sizeof path), "settings path");
  std::FILE* file = std::fopen(path, "wb");
  Check(file != nullptr, "scratch settings file");
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  BroadcastConfig before = Config;
  int result = ReadConfigFile();
  if (size == kConfigSize) {
    Check(result == 0, "86 bytes load");
    Check(std::memcmp(ConfigBytes(), data, kConfigSize) == 0, "the record is the file");
  } else {
    Check(result == -1, "other lengths are refused");
    Check(std::memcmp(&before, &Config, kConfigSize) == 0, "a refused file leaves the record");
  }
}

void FuzzPaths(const uint8_t* data, std::size_t size) {
  // Input: page, entry selector, then "directory\0name".
  if (size < 2) return;
  int page = static_cast<int8_t>(data[0]) % 8;
  const AudioEntry& entry = kAudioEntries[data[1] % kAudioEntries.size()];
  int copyEntry = (data[1] & 0x80) ? entry.id : static_cast<int>(data[1]) * 331;
  std::string rest(reinterpret_cast<const char*>(data + 2), size - 2);
  std::string directory = rest.substr(0, rest.find('\0'));
  std::string name = rest.find('\0') == std::string::npos ? "a.wav" : rest.substr(rest.find('\0') + 1);
  name = name.substr(0, name.find('\0'));
  directory = directory.substr(0, kPathSize - 1);  // what a path buffer can hold

  std::snprintf(SaveDirectory, kPathSize, "%s", directory.c_str());
  char out[kPathSize];
  char folder[kPathSize];
  bool named = FolderOfPage(page, copyEntry, folder, sizeof folder);
  bool fits = ComposeTargetFolderPath(out, sizeof out, page, copyEntry);
  CheckComposed(fits, out, sizeof out, named ? directory + "\\" + folder : "", "target folder");

  named = FolderOfEntry(copyEntry, folder, sizeof folder);
  fits = ComposeTargetFilePath(out, sizeof out, copyEntry, name.c_str());
  CheckComposed(fits, out, sizeof out, named ? directory + "\\" + folder + "\\" + name : "", "target file");

  fits = ComposeSearchPattern(out, sizeof out, directory.c_str());
  CheckComposed(fits, out, sizeof out, directory + "\\*.wav", "search pattern");
  fits = ComposeSourceFilePath(out, sizeof out, directory.c_str(), name.c_str());
  CheckComposed(fits, out, sizeof out, directory + "\\" + name, "source file");

  char config[kConfigPathSize];
  fits = ComposeConfigPath(config, sizeof config, name.c_str());
  CheckComposed(fits, config, sizeof config, directory + "\\" + name, "settings path");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/bct-fuzz-XXXXXX";
  Check(mkdtemp(pattern) != nullptr, "scratch directory");
  scratch = pattern;
  // The loader traces every read; that would drown the fuzzer's own output.
  Check(std::freopen("/dev/null", "w", stdout) != nullptr, "quiet stdout");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the target; the loader also gets the 86-byte files
  // it is most interested in.
  if (data[0] & 1) {
    FuzzLoader(data + 1, size - 1);
  } else {
    FuzzPaths(data + 1, size - 1);
  }
  return 0;
}
