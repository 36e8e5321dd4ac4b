// CFG_BROADCAST.bin in the save directory: the raw 86 bytes of the record,
// written by Generate and read at start-up.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/config_names.h"
#include "settings/save_directory.h"
#include "settings/tool_texts.h"

// Room for the longest save directory, one backslash and the file name.
constexpr int kConfigPathSize = kPathSize + 32;

// Composes "<SaveDirectory>\<name>" into out. Returns false (and leaves out
// empty) when it does not fit.
bool ComposeConfigPath(char* out, std::size_t size, const char* name = kConfigFileName);

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

struct GenerateResult {
  bool succeeded;                    // the message box is shown only then
  char statusText[kStatusTextSize];  // for the status line
};

// Writes the settings file and reads it back; the read-back decides success.
GenerateResult RunGenerate();
