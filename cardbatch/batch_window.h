// The many-card window: the golden card, the cards in the readers, the run
// and the record. Windows only.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

struct BatchOptions {
  std::string golden;            // UTF-8; empty: chosen in the window
  std::filesystem::path record;  // the record file
};

// Shows the window until it is closed; the exit code.
int RunBatchWindow(HINSTANCE instance, const BatchOptions& options);
