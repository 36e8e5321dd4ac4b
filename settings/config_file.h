// CFG_BROADCAST.bin in the save directory: the raw 86 bytes of the record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/save_directory.h"

constexpr const char* kConfigFileName = "CFG_BROADCAST.bin";
// The new settings are written into a temporary file first, flushed to the
// medium and then put in place, so a failed write never leaves a damaged
// CFG_BROADCAST.bin behind. The temporary names, "CFG_BROADCAST.~00" to
// "CFG_BROADCAST.~99", are the tool's own; they are no longer than the file's
// name, so every directory that can hold the settings file can hold them too.
// The first name where a new file can be made is used; what stands at a name
// is never opened, and only the tool's own leftover (a small writable file,
// left by a write that was cut short) is removed and its name used again.
// The programs that write a card's settings (the tool, cardclone) follow the
// same rule.
constexpr int kConfigTempCount = 100;

// Room for the longest save directory, one backslash and the file name.
constexpr int kConfigPathSize = kPathSize + 32;

// Composes "<SaveDirectory>\<name>" into out. Returns false (and leaves out
// empty) when it does not fit.
bool ComposeConfigPath(char* out, std::size_t size, const char* name = kConfigFileName);

// Composes "CFG_BROADCAST.~NN" for number NN (0..99) into out; false (out
// empty) when it does not fit.
bool ComposeConfigTempName(char* out, std::size_t size, int number);

// Composes "<SaveDirectory>\CFG_BROADCAST.~NN" for number NN (0..99), like
// ComposeConfigPath.
bool ComposeConfigTempPath(char* out, std::size_t size, int number);

// Length of the file in bytes; 0 when it cannot be opened.
int32_t GetFileLength(const char* path);

// Writes the record into the save directory. 0 when the complete file is in
// place, -1 when anything failed (the previous file, if any, is untouched).
int WriteConfigFile();

// Loads the record from the save directory. 0 when exactly 86 bytes were read
// into the record; -1 otherwise, and the record is left as it was.
int ReadConfigFile();

// ---- the Generate command, without its window plumbing -----------------------

constexpr int kGenerateTextSize = 520;
constexpr const char* kGenerateBoxText = "成功生成配置文件!";
constexpr const char* kGenerateBoxTitle = "通知";

struct GenerateResult {
  bool succeeded;                      // the message box is shown only then
  char statusText[kGenerateTextSize];  // for the status line
};

// Writes the settings file and reads it back; the read-back decides success.
GenerateResult RunGenerate();
