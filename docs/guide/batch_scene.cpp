// Sets the many-card window up for the guide's picture, under Wine, as a
// technician sees it: the golden card in E:, twenty cards wanted, F: made,
// 插卡即写 ticked, then G: (old sounds: it waits, and is selected, so that
// what it would lose is said below the list) and H: (empty: made at once)
// put in. Prints "ready" when the window shows all that, waits for a line
// on its input (the picture taken), then closes the window and takes the
// drives out. With "returned": the three cards made with numbered labels
// (北坡 from 1), then F: and G: taken out and put back in, G: with one of
// its sounds changed meanwhile, F: selected.
//   batch_scene.exe GOLDEN-FOLDER RECORD F-FOLDER G-FOLDER H-FOLDER [returned]
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "tests/support/batch_driver.h"
#include "tests/support/wine_drives.h"

namespace {

// F:, G: and H: made with numbered labels; F: and G: put back in, G: changed.
int Returned(BatchWindow& batch, WineDrive& f, wchar_t** argv) {
  auto shows = [&](const wchar_t* drive, int column, const wchar_t* text) {
    return WaitUntil([&] { return batch.Shows(drive, column, text); });
  };
  WineDrive g(L'G', DRIVE_REMOVABLE, argv[4]), h(L'H', DRIVE_REMOVABLE, argv[5]);
  LabelFollower follower({{&f, argv[3]}, {&g, argv[4]}, {&h, argv[5]}});
  if (!shows(L"G:", BATCH_COLUMN_ON_CARD, L"空卡") || !shows(L"H:", BATCH_COLUMN_ON_CARD, L"空卡")) return 1;
  SendMessageW(batch.Control(IDC_LABEL_NUMBERED), BM_CLICK, 0, 0);
  SetWindowTextW(batch.Control(IDC_LABEL_NAME), L"北坡");
  batch.Press(IDC_START);
  for (const wchar_t* drive : {L"F:", L"G:", L"H:"}) {
    if (!shows(drive, BATCH_COLUMN_RESULT, L"可以使用")) return 1;
  }
  if (!f.Remove() || !g.Remove()) return 1;
  if (!WaitUntil([&] { return batch.Row(L"F:").empty() && batch.Row(L"G:").empty(); })) return 1;
  // One of G:'s sounds edited on a computer: a byte of its data other.
  const std::wstring sound = std::wstring(argv[4]) + L"\\audio\\SenseSpecify\\dog\\狗1.wav";
  HANDLE file = CreateFileW(sound.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  DWORD written = 0;
  const char byte = 1;
  if (file == INVALID_HANDLE_VALUE || SetFilePointer(file, 100, nullptr, FILE_BEGIN) != 100 ||
      !WriteFile(file, &byte, 1, &written, nullptr))
    return 1;
  CloseHandle(file);
  if (!f.Refresh() || !g.Refresh()) return 1;
  if (!shows(L"F:", BATCH_COLUMN_ON_CARD, L"与当时相同") || !shows(L"G:", BATCH_COLUMN_ON_CARD, L"已改变"))
    return 1;
  batch.Select(0);
  if (!WaitUntil([&] { return LongText(batch.Control(IDC_CARD_DETAIL)).rfind(L"F:", 0) == 0; })) return 1;
  std::printf("ready\n");
  std::fflush(stdout);
  std::string line;
  std::getline(std::cin, line);
  batch.Close();
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 6 && argc != 7) return 2;
  WineDrive e(L'E', DRIVE_REMOVABLE, argv[1]), f(L'F', DRIVE_REMOVABLE, argv[3]);
  BatchWindow batch(L"E:\\", argv[2]);
  auto shows = [&](const wchar_t* drive, int column, const wchar_t* text) {
    return WaitUntil([&] { return batch.Shows(drive, column, text); });
  };
  if (!e.ok() || !f.ok() || batch.window() == nullptr || !shows(L"F:", BATCH_COLUMN_ON_CARD, L"空卡"))
    return 1;
  SetWindowTextW(batch.Control(IDC_WANTED), L"20");
  if (argc == 7) return Returned(batch, f, argv);
  batch.Press(IDC_START);
  if (!shows(L"F:", BATCH_COLUMN_RESULT, L"可以使用")) return 1;
  SendMessageW(batch.Control(IDC_AUTO_WRITE), BM_CLICK, 0, 0);
  WineDrive g(L'G', DRIVE_REMOVABLE, argv[4]), h(L'H', DRIVE_REMOVABLE, argv[5]);
  if (!shows(L"G:", BATCH_COLUMN_RESULT, L"需要确认") || !shows(L"H:", BATCH_COLUMN_RESULT, L"可以使用"))
    return 1;
  batch.Select(1);
  if (!WaitUntil([&] { return LongText(batch.Control(IDC_CARD_DETAIL)).rfind(L"G:", 0) == 0; })) return 1;
  std::printf("ready\n");
  std::fflush(stdout);
  std::string line;
  std::getline(std::cin, line);
  batch.Close();
  return 0;
}
