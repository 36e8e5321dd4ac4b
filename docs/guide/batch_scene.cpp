// Sets the many-card window up for the guide's picture, under Wine, as a
// technician sees it: the golden card in E:, twenty cards wanted, F: made,
// 插卡即写 ticked, then G: (old sounds: it waits, and is selected, so that
// what it would lose is said below the list) and H: (empty: made at once)
// put in. Prints "ready" when the window shows all that, waits for a line
// on its input (the picture taken), then closes the window and takes the
// drives out.
//   batch_scene.exe GOLDEN-FOLDER RECORD F-FOLDER G-FOLDER H-FOLDER
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "tests/support/batch_driver.h"
#include "tests/support/wine_drives.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 6) return 2;
  WineDrive e(L'E', DRIVE_REMOVABLE, argv[1]), f(L'F', DRIVE_REMOVABLE, argv[3]);
  BatchWindow batch(L"E:\\", argv[2]);
  auto shows = [&](const wchar_t* drive, int column, const wchar_t* text) {
    return WaitUntil([&] { return batch.Shows(drive, column, text); });
  };
  if (!e.ok() || !f.ok() || batch.window() == nullptr || !shows(L"F:", BATCH_COLUMN_ON_CARD, L"空卡"))
    return 1;
  SetWindowTextW(batch.Control(IDC_WANTED), L"20");
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
