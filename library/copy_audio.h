// The copy tab's commands: choosing source folders and copying their sound
// files into the audio tree.
#pragma once

#include <windows.h>

#include "settings/save_directory.h"

// The copy status of one file holds the longest source directory, the
// longest file name and the result word.
constexpr int kCopyStatusSize = 2 * kPathSize + 32;

// Handles a source browse button ("...") of the copy tab; false for any other
// id. A chosen folder goes into the button's slot, onto the status line, and
// ticks the button's check box.
bool BrowseSource(HWND dialog, int id);

// The Copy command for the copy page shown.
void CopyAudio(HWND dialog);

// Copies every ".wav" file at the top of directory into the folder of
// CopyEntry. Returns 0.
int CopyWavFiles(HWND dialog, const char* directory);

// Copies one file into the folder of CopyEntry, reporting it on the status
// line. Nonzero when it was copied.
int CopyOneFile(HWND dialog, const char* directory, const char* name);
