#include "library/copy_audio.h"

#include <cstdio>
#include <cstring>

#include "common/trace.h"
#include "dialog/control_ids.h"
#include "dialog/control_states.h"
#include "dialog/control_tables.h"
#include "library/audio_tree.h"
#include "library/choose_folder.h"
#include "library/copy_files.h"
#include "library/copy_progress.h"
#include "library/source_slots.h"
#include "library/target_folder.h"
#include "settings/tool_texts.h"
#include "win32/status_line.h"

namespace {

// The status text of the file being copied.
char copyStatus[kCopyStatusSize];

// The names already in the folder of the entry being copied.
FolderNames targetNames;

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void ChooseSource(HWND dialog, char* slot, bool perKind, const char* caption, int check) {
  int chosen = ChooseFolder(slot, nullptr);
  if (chosen == kFolderUnusable) ReportUnusableFolder(dialog);
  if (chosen != 0) return;
  char status[kStatusTextSize] = {};
  std::snprintf(status, sizeof status, perKind ? kTextKindSourceChosen : kTextPageSourceChosen, caption,
                slot);
  SetStatusLine(dialog, status);
  CheckDlgButton(dialog, check, BST_CHECKED);
}

void ReadTargetNames() {
  char pattern[kPathSize];
  targetNames.Read(ComposeTargetFilePath(pattern, sizeof pattern, CopyEntry, "*") ? pattern : "");
}

}  // namespace

bool BrowseSource(HWND dialog, int id) {
  for (int page = 0; page < kRandomPageCount; ++page) {
    const SourceRow& row = kRandomRows[page];
    if (row.button != id) continue;
    ChooseSource(dialog, RandomSourcePath, false, kCopyPageCaptions[page], row.check);
    return true;
  }
  for (const auto& rows : kKindRows) {
    for (int kind = 0; kind < kSoundKindCount; ++kind) {
      if (rows[kind].button != id) continue;
      ChooseSource(dialog, SenseSpecPath[kind], true, kSoundKinds[kind].caption, rows[kind].check);
      return true;
    }
  }
  return false;
}

void CopyAudio(HWND dialog) {
  if (CopyPage >= 0 && CopyPage < kRandomPageCount) {
    if (Checked(dialog, kRandomRows[CopyPage].check)) {
      CopyEntry = kRandomEntryIds[CopyPage];
      if (CreateTargetFolder(dialog) != -1) {
        HWND copyButton = GetDlgItem(dialog, IDC_BTN_COPY);
        EnableWindow(copyButton, FALSE);
        CopyWavFiles(dialog, RandomSourcePath);
        EnableWindow(copyButton, TRUE);
      }
    }
  } else if (CopyPage >= kFirstKindPage && CopyPage < kCopyPageCount) {
    UpdateCopyControls(false);
    const auto& rows = kKindRows[CopyPage - kFirstKindPage];
    for (int kind = 0; kind < kSoundKindCount; ++kind) {
      if (!Checked(dialog, rows[kind].check)) continue;
      Trace("<SenseSpecPath[0]>%s\n", SenseSpecPath[kind]);
      CopyEntry = rows[kind].check;
      if (CreateTargetFolder(dialog) != -1) CopyWavFiles(dialog, SenseSpecPath[kind]);
    }
    UpdateCopyControls(true);
  }
  CopyEntry = 0;
}

int CopyWavFiles(HWND dialog, const char* directory) {
  char pattern[kPathSize];
  if (!ComposeSearchPattern(pattern, sizeof pattern, directory)) {
    // The file API takes no longer pattern; the entry is left out, visibly.
    char status[kStatusTextSize];
    std::snprintf(status, sizeof status, kTextSourceTooLong, directory);
    SetStatusLine(dialog, status);
    return 0;
  }

  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) {
    Trace("INVALID_HANDLE_VALUE!");
    return 0;
  }
  ReadTargetNames();
  BeginCopyProgress(dialog);
  bool first = true;
  do {
    if (IsCopiedSoundName(found.cFileName)) {
      if (first) {
        Trace("Find_0:%s\r\n", found.cFileName);
      } else {
        Trace("Find_1:%s\r\n", found.cFileName);
      }
      CopyOneFile(dialog, directory, found.cFileName);
    }
    first = false;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  EndCopyProgress(dialog);
  return 0;
}

int CopyOneFile(HWND dialog, const char* directory, const char* name) {
  // Composed from its parts so that even a path too long to copy is shown
  // whole, with room left for the result word.
  std::snprintf(copyStatus, sizeof copyStatus, kTextCopying, directory, name);
  ShowCopyStatus(dialog, copyStatus);

  char source[kPathSize];
  char target[kPathSize];
  BOOL copied = FALSE;
  if (ComposeSourceFilePath(source, sizeof source, directory, name) &&
      ComposeTargetFilePath(target, sizeof target, CopyEntry, name)) {
    bool isNew = targetNames.IsNew(name);
    // Only an existing target can be the source itself; the check costs two
    // opens, which a fresh card need not pay for every file.
    FileStamp before = isNew ? FileStamp{} : Stamp(target);
    if (!before.exists || !SameFile(source, target)) {
      copied = CopyFileExA(source, target, AnswerWhileCopying, dialog, nullptr, 0);
      if (!copied) RemoveLeftover(target, before);
    }
    targetNames.Add(name);
  }

  std::size_t length = std::strlen(copyStatus);
  std::snprintf(copyStatus + length, sizeof copyStatus - length, "%s", copied ? kTextCopied : kTextNotCopied);
  ShowCopyStatus(dialog, copyStatus);
  return copied;
}
