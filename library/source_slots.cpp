#include "library/source_slots.h"

char SenseSpecPath[kSoundKindCount][kPathSize] = {};
char RandomSourcePath[kPathSize] = {};
