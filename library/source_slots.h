// The source directories the user chose on the copy tab. Chosen folders live
// only as long as the program runs; nothing stores them.
#pragma once

#include "settings/broadcast_config.h"
#include "settings/save_directory.h"

// One slot per sound kind, shared by copy pages 3, 4 and 5.
extern char SenseSpecPath[kSoundKindCount][kPathSize];
// One slot shared by copy pages 0, 1 and 2.
extern char RandomSourcePath[kPathSize];
