// Times the Copy command of the real dialog on copy page 0: every .wav file
// of a source folder copied into audio\SenseRand of a card folder.
//   copy_bench [--plain] <source folder> <card folder>
// Prints "copy <files> files <bytes> bytes <seconds> s". With --plain, the
// same files go through a bare FindFirstFile/CopyFileA loop instead: the
// platform's own cost per file, which bounds what the tool can reach.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/dialog_proc.h"
#include "dialog/control_ids.h"
#include "library/shell_calls.h"
#include "library/source_slots.h"
#include "settings/broadcast_config.h"
#include "settings/save_directory.h"

namespace {

int PlainCopy(const char* source, const char* card) {
  char folder[kPathSize + 32];
  std::snprintf(folder, sizeof folder, "%s\\plain", card);
  CreateDirectoryA(folder, nullptr);
  char pattern[kPathSize + 16];
  std::snprintf(pattern, sizeof pattern, "%s\\*.wav", source);
  auto start = std::chrono::steady_clock::now();
  WIN32_FIND_DATAA found;
  long long files = 0;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      char from[2 * kPathSize], to[2 * kPathSize + 32];
      std::snprintf(from, sizeof from, "%s\\%s", source, found.cFileName);
      std::snprintf(to, sizeof to, "%s\\%s", folder, found.cFileName);
      files += CopyFileA(from, to, FALSE) ? 1 : 0;
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::fprintf(stderr, "plain %lld files %.3f s\n", files, seconds);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--plain") return PlainCopy(argv[2], argv[3]);
  if (argc != 3) {
    std::fprintf(stderr, "usage: copy_bench <source folder> <card folder>\n");
    return 2;
  }
  const char* source = argv[1];
  if (!SetCurrentDirectoryA(argv[2])) {
    std::fprintf(stderr, "no card folder %s\n", argv[2]);
    return 2;
  }
  // Sensor playback random: copy page 0 and its Copy button usable.
  BroadcastConfig card = kDefaultConfig;
  card.Ena = 1;
  card.SenMod = 1;
  std::FILE* settings = std::fopen("CFG_BROADCAST.bin", "wb");
  if (settings == nullptr) return 2;
  std::fwrite(&card, 1, kConfigSize, settings);
  std::fclose(settings);

  AppInstance = GetModuleHandleA(nullptr);
  InitCommonControls();
  HWND dialog = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, DialogProc, 0);
  if (dialog == nullptr) return 2;
  std::snprintf(RandomSourcePath, kPathSize, "%s", source);
  CheckDlgButton(dialog, IDC_CHK_PAGE0_RANDOM, BST_CHECKED);
  // Shown, painted and idle, as when the user presses Copy: painting the
  // whole dialog for the first time takes longer than copying many files.
  ShowWindow(dialog, SW_SHOW);
  UpdateWindow(dialog);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  // The dialog loads the shell once it shows, long before a user's first
  // click: the copy is timed with it loaded.
  SystemShell();

  // The trace of each file goes to stdout like the tool's own; keep it out
  // of the measurement's output, in a file as when a test captures it. Not
  // NUL: under Wine every write to that device costs about 0.7 ms (one per
  // trace line, more than copying a small file), which the tool never pays
  // in use (started from Explorer it has no standard output).
  char tracePath[MAX_PATH + 32] = "";
  GetTempPathA(MAX_PATH, tracePath);
  std::snprintf(tracePath + std::strlen(tracePath), 32, "%s", "copy_bench_trace.txt");
  std::FILE* quiet = std::freopen(tracePath, "w", stdout);
  auto start = std::chrono::steady_clock::now();
  SendMessageA(GetDlgItem(dialog, IDC_BTN_COPY), BM_CLICK, 0, 0);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  (void)quiet;

  char pattern[kPathSize + 16];
  std::snprintf(pattern, sizeof pattern, "%s\\audio\\SenseRand\\*.wav", argv[2]);
  WIN32_FIND_DATAA found;
  long long files = 0, bytes = 0;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      ++files;
      bytes += (static_cast<long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  std::fprintf(stderr, "copy %lld files %lld bytes %.3f s\n", files, bytes, seconds);
  DestroyWindow(dialog);
  return 0;
}
