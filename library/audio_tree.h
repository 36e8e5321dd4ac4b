// The copy tab's 33 copy entries, the folder of the audio tree each one
// fills, and the paths the copy composes from them.
#pragma once

#include <array>
#include <cstddef>

#include "dialog/control_ids.h"
#include "dialog/control_tables.h"
#include "settings/audio_folders.h"
#include "settings/broadcast_config.h"
#include "settings/save_directory.h"

// Check box id of the copy entry being processed; 0 whenever no copy runs.
extern int CopyEntry;

struct AudioEntry {
  int id;    // the entry's check box: what CopyEntry holds
  int page;  // copy page 0..5
  int kind;  // SoundKind for pages 3..5, kNoKind for the random pages
};

constexpr int kAudioEntryCount = kRandomPageCount + (kCopyPageCount - kFirstKindPage) * kSoundKindCount;

// Pages 1 and 2 name their entry by the hidden check boxes 40175 and 40178,
// not by the visible ones the Copy command reads.
constexpr std::array<int, kRandomPageCount> kRandomEntryIds = {
    {IDC_CHK_PAGE0_RANDOM, IDC_CHK_ENTRY_PAGE1, IDC_CHK_ENTRY_PAGE2}};

constexpr std::array<AudioEntry, kAudioEntryCount> MakeAudioEntries() {
  std::array<AudioEntry, kAudioEntryCount> entries{};
  int n = 0;
  for (int page = 0; page < kRandomPageCount; ++page) entries[n++] = {kRandomEntryIds[page], page, kNoKind};
  for (int page = kFirstKindPage; page < kCopyPageCount; ++page) {
    for (int kind = 0; kind < kSoundKindCount; ++kind) {
      entries[n++] = {kKindRows[page - kFirstKindPage][kind].check, page, kind};
    }
  }
  return entries;
}

// Page-major, and in sound-kind order within pages 3..5.
constexpr std::array<AudioEntry, kAudioEntryCount> kAudioEntries = MakeAudioEntries();

// The folder step's rule: pages 0..2 give their one folder whatever the entry;
// pages 3..5 look the entry up among their own ten. Writes the relative folder
// into out; false (out empty) for no match or when it does not fit.
bool FolderOfPage(int copyPage, int copyEntry, char* out, std::size_t size);

// A copied file's rule: the entry alone, over all 33 entries.
bool FolderOfEntry(int copyEntry, char* out, std::size_t size);

// "<SaveDirectory>\<folder of the page rule>". False (out empty) when the page
// or entry names no folder or the path does not fit.
bool ComposeTargetFolderPath(char* out, std::size_t size, int copyPage, int copyEntry);

// "<directory>\*.wav"; false (out empty) when it does not fit.
bool ComposeSearchPattern(char* out, std::size_t size, const char* directory);

// "<directory>\<name>"; false (out empty) when it does not fit.
bool ComposeSourceFilePath(char* out, std::size_t size, const char* directory, const char* name);

// "<SaveDirectory>\<folder of the entry rule>\<name>"; false (out empty) when
// the entry names no folder or the path does not fit.
bool ComposeTargetFilePath(char* out, std::size_t size, int copyEntry, const char* name);
