// Making the target folder of the copy entry being processed exist.
#pragma once

#include <windows.h>

#include "settings/save_directory.h"

// Room for the longest folder path and the longest suffix.
constexpr int kFolderStatusSize = kPathSize + 16;

// Creates the folder that CopyPage and CopyEntry name, with every missing
// folder above it, and reports it on the status line. 0 when created, 1 when
// it already existed, -1 when it could not be made or no folder is named.
int CreateTargetFolder(HWND dialog);
