// The removable drives with a card in them, as Windows lists them. Windows only.
#pragma once

#include <vector>

#include "cardbatch/drive_watch.h"

// Every DRIVE_REMOVABLE drive but the system's, with a medium in it; a reader
// without a card is left out (and asked without the system's "no disk" box).
std::vector<DriveCard> RemovableDrives();
