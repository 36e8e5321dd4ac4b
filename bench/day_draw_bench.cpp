// The golden card's day as the many-card window draws it (day_pane_win.cpp),
// into a window on the screen of the pane's size at 100 % with the window's
// font (each draw flushed to the screen, as a paint is): every
// plan by hour, each hour another kind, one kind without files (its hours
// hatched), a value that names no kind.
//   day_draw_bench [ROUNDS]
// Prints "day-draw MILLISECONDS" (the median of the rounds).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "cardbatch/day_pane.h"

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  CardReport report;
  report.settings = SettingsState::kRead;
  report.config = kDefaultConfig;
  report.config.Ena = 1;
  report.config.SenMod = 2;
  report.config.TimerMod = 1;
  report.config.AlarmA = 1;
  report.config.AlarmB = 0;
  for (int i = 0; i < kHoursPerPlan * kPlanCount; ++i) report.config.type[i] = static_cast<uint8_t>(i % 11);
  report.fields = DecodeSettings(report.config);
  for (int page = 3; page <= 5; ++page) {
    for (int kind = 0; kind < kSoundKindCount; ++kind) {
      FolderCheck folder;
      folder.page = page;
      folder.kind = kind;
      folder.exists = kind != 6;
      folder.goodFiles = kind == 6 ? 0 : 3;
      report.folders.push_back(folder);
    }
  }
  const DayPicture day = DescribeDay(report);
  // The pane: 506 x 68 dialog units of the window's 9 point font.
  const RECT area{0, 0, 930, 125};
  HWND pane = CreateWindowW(L"STATIC", L"", WS_POPUP | WS_VISIBLE | SS_OWNERDRAW, 0, 0, area.right, area.bottom,
                            nullptr, nullptr, nullptr, nullptr);
  HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0,
                           L"MS Shell Dlg");
  SendMessageW(pane, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  HDC dc = GetDC(pane);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_STATIC;
  item.hDC = dc;
  item.rcItem = area;
  item.hwndItem = pane;
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    auto start = std::chrono::steady_clock::now();
    DrawDayPicture(item, day);
    GdiFlush();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  std::printf("day-draw %.2f\n", times[times.size() / 2]);
  ReleaseDC(pane, dc);
  DestroyWindow(pane);
  DeleteObject(font);
  return 0;
}
