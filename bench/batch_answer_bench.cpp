// How quickly the many-card window answers while it makes cards: the real
// window under Wine, the given card folders as removable drives R:, S:, U:,
// 开始制卡 pressed, and a message sent to the window every 20 ms until every
// card is done, each answer timed.
//   batch_answer_bench.exe GOLDEN CARD CARD CARD
// Prints the slowest answer and the run's seconds; then, the cards cleared,
// cardclone.exe onto the same drives, timed the same way, for the window's
// ratio to it. Exit code 1 when a card was not made.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/batch_driver.h"
#include "tests/support/wine_drives.h"

namespace {

constexpr wchar_t kLetters[] = {L'R', L'S', L'U'};

std::wstring Drive(std::size_t i) { return std::wstring(1, kLetters[i]) + L":"; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: batch_answer_bench GOLDEN CARD CARD CARD\n");
    return 2;
  }
  std::vector<std::unique_ptr<WineDrive>> drives;
  for (std::size_t i = 0; i < 3; ++i) {
    drives.push_back(std::make_unique<WineDrive>(kLetters[i], DRIVE_REMOVABLE, argv[2 + i]));
    if (!drives.back()->ok()) {
      std::fprintf(stderr, "batch_answer_bench: Wine's mount manager did not take drive %lc:\n", kLetters[i]);
      return 2;
    }
  }
  wchar_t temp[MAX_PATH] = L"";
  GetTempPathW(MAX_PATH, temp);
  BatchWindow batch(argv[1], std::filesystem::path(temp) / L"batch_answer_bench.csv");
  auto surveyed = [&] {
    for (std::size_t i = 0; i < 3; ++i) {
      std::vector<std::wstring> row = batch.Row(Drive(i));
      if (row.empty() || row[BATCH_COLUMN_ON_CARD].empty() || row[BATCH_COLUMN_ON_CARD] == L"正在查看...") return false;
    }
    return true;
  };
  if (batch.window() == nullptr || !WaitUntil(surveyed)) {
    std::fprintf(stderr, "batch_answer_bench: the window or its cards did not come up\n");
    return 2;
  }
  auto done = [&](std::size_t i) {
    std::vector<std::wstring> row = batch.Row(Drive(i));
    return !row.empty() && (row[BATCH_COLUMN_RESULT].find(L"可以使用") == 0 || row[BATCH_COLUMN_RESULT].find(L"失败") == 0);
  };
  auto start = std::chrono::steady_clock::now();
  batch.Press(IDC_START);
  double slowest = 0;
  int answers = 0;
  for (;;) {
    bool all = done(0) && done(1) && done(2);
    if (all) break;
    auto asked = std::chrono::steady_clock::now();
    DWORD_PTR result = 0;
    SendMessageTimeoutW(batch.window(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    slowest = std::max(slowest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - asked).count());
    ++answers;
    Sleep(20);
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int ready = 0;
  for (std::size_t i = 0; i < 3; ++i) ready += batch.Row(Drive(i))[BATCH_COLUMN_RESULT].find(L"可以使用") == 0;
  std::printf("window answers while making 3 cards: slowest %.1f ms of %d messages (target <= 100 ms: %s); run %.2f s, %d/3 ready\n",
              slowest, answers, slowest <= 100 ? "met" : "missed", seconds, ready);
  batch.Close();

  for (std::size_t i = 0; i < 3; ++i) {
    std::error_code ignored;
    std::filesystem::remove_all(Drive(i) + L"\\audio", ignored);
    std::filesystem::remove(Drive(i) + L"\\CFG_BROADCAST.bin", ignored);
  }
  auto cloneStart = std::chrono::steady_clock::now();
  ProgramRun clone =
      RunConsoleProgram("cardclone.exe", "--yes \"" + std::filesystem::path(argv[1]).string() + "\" R: S: U:");
  double cloneSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - cloneStart).count();
  DWORD cloneExit = clone.exitCode;
  double ratio = seconds / cloneSeconds;
  std::printf("under Wine on the same drives: cardclone.exe %.2f s (exit %lu)   the window %.2f s   ratio %.2f (target <= 1.1: %s)\n",
              cloneSeconds, cloneExit, seconds, ratio, ratio <= 1.1 ? "met" : "missed");
  return ready == 3 && cloneExit == 0 ? 0 : 1;
}
