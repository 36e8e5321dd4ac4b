#include "library/copy_audio.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_set>

#include "common/responsive.h"
#include "common/status_line.h"
#include "common/trace.h"
#include "dialog/control_ids.h"
#include "dialog/control_states.h"
#include "dialog/control_tables.h"
#include "library/audio_tree.h"
#include "library/choose_folder.h"
#include "library/source_slots.h"
#include "library/target_folder.h"

namespace {

// The status text of the file being copied.
char copyStatus[kCopyStatusSize];

// The status line paints itself whenever its text is set, and painting two
// texts for every one of many small files costs more than copying them. So
// while an entry's files are copied it takes its texts unpainted (no
// redraw), and it is painted whenever the dialog answers the system.
void HoldStatusPainting(HWND dialog, bool hold) {
  HWND status = GetDlgItem(dialog, kStatusLineId);
  SendMessageA(status, WM_SETREDRAW, hold ? FALSE : TRUE, 0);
  if (!hold) InvalidateRect(status, nullptr, TRUE);
}

void AnswerDuringCopy(HWND dialog) {
  if (!AnswerDue()) return;
  HoldStatusPainting(dialog, false);
  Answer(dialog);
  HoldStatusPainting(dialog, true);
}

// Every file's texts go onto the status line; between files the dialog
// answers the system and repaints, so the status line is seen moving on.
void ShowCopyStatus(HWND dialog) {
  SetStatusLine(dialog, copyStatus);
  AnswerDuringCopy(dialog);
}

// Called by the system between the chunks of a file: one large sound file
// onto a slow card can take longer than Windows waits for an answer.
DWORD CALLBACK WhileCopying(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD, HANDLE,
                            HANDLE, LPVOID dialog) {
  AnswerDuringCopy(static_cast<HWND>(dialog));
  return PROGRESS_CONTINUE;
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void ChooseSource(HWND dialog, char* slot, bool perKind, const char* caption, int check) {
  int chosen = ChooseFolder(slot, nullptr);
  if (chosen == kFolderUnusable) ReportUnusableFolder(dialog);
  if (chosen != 0) return;
  char status[kStatusTextSize] = {};
  if (perKind) {
    std::snprintf(status, sizeof status, "选择了“%s”的源目录：%s", caption, slot);
  } else {
    std::snprintf(status, sizeof status, "选择了“%s”源目录：%s", caption, slot);
  }
  SetStatusLine(dialog, status);
  CheckDlgButton(dialog, check, BST_CHECKED);
}

// One file, reached through two names: copying it onto itself would destroy
// it. Compared by the file system's identity, which also sees through case,
// short names and links.
bool SameFile(const char* a, const char* b) {
  auto open = [](const char* path) {
    return CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  };
  HANDLE fa = open(a);
  if (fa == INVALID_HANDLE_VALUE) return false;
  HANDLE fb = open(b);
  bool same = false;
  if (fb != INVALID_HANDLE_VALUE) {
    BY_HANDLE_FILE_INFORMATION ia{}, ib{};
    same = GetFileInformationByHandle(fa, &ia) && GetFileInformationByHandle(fb, &ib) &&
           ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
           ia.nFileIndexLow == ib.nFileIndexLow;
    CloseHandle(fb);
  }
  CloseHandle(fa);
  return same;
}

// What a file looked like before a copy over it.
struct FileStamp {
  bool exists;
  WIN32_FILE_ATTRIBUTE_DATA data;
};

FileStamp Stamp(const char* path) {
  FileStamp stamp{};
  stamp.exists = GetFileAttributesExA(path, GetFileExInfoStandard, &stamp.data) != 0;
  return stamp;
}

// A copy that fails part-way (a full card) can leave a cut-off file that the
// device would play. Whatever the failed copy itself wrote is removed; a file
// it never touched (a locked or write-protected one) stays.
void RemoveLeftover(const char* target, const FileStamp& before) {
  FileStamp after = Stamp(target);
  if (!after.exists || (after.data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  bool touched = !before.exists || after.data.nFileSizeLow != before.data.nFileSizeLow ||
                 after.data.nFileSizeHigh != before.data.nFileSizeHigh ||
                 CompareFileTime(&after.data.ftLastWriteTime, &before.data.ftLastWriteTime) != 0;
  if (touched) DeleteFileA(target);
}

// The names that stand in the folder being filled, as the file system
// compares them (upper case; long and 8.3 names). A file whose name is not
// among them is new and needs no look before its copy: on a FAT card, and
// under Wine, every lookup of a name that does not exist reads the whole
// folder, which cost about as much as copying a small file. The folder is
// read once instead; every name a copy may have made is added.
std::unordered_set<std::wstring> targetNames;
bool targetNamesKnown = false;

std::wstring NameKey(const wchar_t* name) {
  std::wstring key = name;
  if (!key.empty()) CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
  return key;
}

std::wstring NameKey(const char* name) {
  wchar_t wide[kPathSize] = L"";
  MultiByteToWideChar(CP_ACP, 0, name, -1, wide, kPathSize);
  return NameKey(wide);
}

void ListTargetFolder() {
  targetNames.clear();
  targetNamesKnown = false;
  char pattern[kPathSize];
  wchar_t widePattern[kPathSize];
  if (!ComposeTargetFilePath(pattern, sizeof pattern, CopyEntry, "*") ||
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, pattern, -1, widePattern, kPathSize) == 0)
    return;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(widePattern, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    targetNames.insert(NameKey(found.cFileName));
    if (found.cAlternateFileName[0] != L'\0') targetNames.insert(NameKey(found.cAlternateFileName));
  } while (FindNextFileW(search, &found));
  targetNamesKnown = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(search);
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
    std::snprintf(status, sizeof status, "源目录路径太长，未复制：%s", directory);
    SetStatusLine(dialog, status);
    return 0;
  }

  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) {
    Trace("INVALID_HANDLE_VALUE!");
    return 0;
  }
  ListTargetFolder();
  HoldStatusPainting(dialog, true);
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
  HoldStatusPainting(dialog, false);
  return 0;
}

int CopyOneFile(HWND dialog, const char* directory, const char* name) {
  // Composed from its parts so that even a path too long to copy is shown
  // whole, with room left for the result word.
  std::snprintf(copyStatus, sizeof copyStatus, "复制“%s\\%s”...", directory, name);
  ShowCopyStatus(dialog);

  char source[kPathSize];
  char target[kPathSize];
  BOOL copied = FALSE;
  if (ComposeSourceFilePath(source, sizeof source, directory, name) &&
      ComposeTargetFilePath(target, sizeof target, CopyEntry, name)) {
    std::wstring key = NameKey(name);
    bool isNew = targetNamesKnown && targetNames.count(key) == 0;
    // Only an existing target can be the source itself; the check costs two
    // opens, which a fresh card need not pay for every file.
    FileStamp before = isNew ? FileStamp{} : Stamp(target);
    if (!before.exists || !SameFile(source, target)) {
      copied = CopyFileExA(source, target, WhileCopying, dialog, nullptr, 0);
      if (!copied) RemoveLeftover(target, before);
    }
    targetNames.insert(key);
  }

  std::size_t length = std::strlen(copyStatus);
  std::snprintf(copyStatus + length, sizeof copyStatus - length, "%s", copied ? "成功" : "失败");
  ShowCopyStatus(dialog);
  return copied;
}
