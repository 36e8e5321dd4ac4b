// The directory the settings file and the audio tree are written into.
#pragma once

constexpr int kPathSize = 260;  // path buffers of the ANSI file API (MAX_PATH)

// ANSI code page; "C:\" until start-up replaces it with the current directory,
// afterwards changed only through the folder chooser.
extern char SaveDirectory[kPathSize];
