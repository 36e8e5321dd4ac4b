#include "app/dialog_proc.h"

#include <commctrl.h>

#include <cstdio>

#include "common/trace.h"
#include "dialog/control_ids.h"
#include "dialog/control_rules.h"
#include "dialog/control_states.h"
#include "dialog/control_tables.h"
#include "library/copy_audio.h"
#include "settings/broadcast_config.h"
#include "settings/config_file.h"
#include "settings/generate.h"
#include "settings/save_directory.h"

HINSTANCE AppInstance = nullptr;

namespace {

int firstTime = 1;

void AddItem(int combo, const char* text) {
  SendMessageA(Control(combo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}
void Select(int combo, int index) {
  SendMessageA(Control(combo), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// Appends "%d" of n followed by suffix, for n = first..last.
void AddNumbers(int combo, const char* suffix, int first, int last) {
  for (int n = first; n <= last; ++n) {
    char text[16];
    std::snprintf(text, sizeof text, "%d%s", n, suffix);
    AddItem(combo, text);
  }
}

void AddTab(int tab, int index, const char* caption) {
  TCITEMA item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.iImage = -1;
  item.pszText = const_cast<char*>(caption);
  SendMessageA(Control(tab), TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

struct ComboFill {
  int combo;
  const char* items[3];
  int count;
  uint8_t BroadcastConfig::*field;
};

constexpr ComboFill kModeCombos[] = {
    {IDC_COMBO_TIMER_MODE, {"关闭", "周期循环"}, 2, &BroadcastConfig::TimerMod},
    {IDC_COMBO_SENSOR_MODE, {"关闭", "随机播放", "据时指定"}, 3, &BroadcastConfig::SenMod},
    {IDC_COMBO_ALARM_A, {"随机播放", "据时指定"}, 2, &BroadcastConfig::AlarmA},
    {IDC_COMBO_ALARM_B, {"随机播放", "据时指定"}, 2, &BroadcastConfig::AlarmB},
};

constexpr const char* kPlanPageCaptions[kPlanCount] = {"感应播放", "定时播放A", "定时播放B"};

}  // namespace

void InitializeDialog(HWND dialog) {
  HICON icon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_APP));
  SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  LoadControlHandles(dialog);

  if (firstTime) {
    Trace("uwLangID=0x%04x\n", static_cast<unsigned>(GetSystemDefaultLangID()));
    char current[kPathSize] = "C:\\";
    if (GetCurrentDirectoryA(sizeof current, current) != 0 && current[sizeof current - 1] == '\0') {
      std::snprintf(SaveDirectory, sizeof SaveDirectory, "%s", current);
    }
    SetWindowTextA(Control(IDC_EDIT_SAVE_DIR), SaveDirectory);
    ReadConfigFile();
    firstTime = 0;
  }

  CheckDlgButton(dialog, Config.Ena == 1 ? IDC_RADIO_PLAY_ON : IDC_RADIO_PLAY_OFF, BST_CHECKED);

  SendMessageA(Control(IDC_TRACK_VOLUME), TBM_SETRANGE, TRUE, MAKELPARAM(kVolumeMin, kVolumeMax));
  SendMessageA(Control(IDC_TRACK_VOLUME), TBM_SETPOS, TRUE, Config.Vol);
  char volume[8];
  std::snprintf(volume, sizeof volume, "%d", Config.Vol);
  SetWindowTextA(Control(IDC_LABEL_VOLUME), volume);

  for (int page = 0; page < kCopyPageCount; ++page) AddTab(IDC_TAB_COPY, page, kCopyPageCaptions[page]);
  CopyPage = 0;
  SendMessageA(Control(IDC_TAB_COPY), TCM_SETCURSEL, 0, 0);
  for (int page = 0; page < kPlanCount; ++page) AddTab(IDC_TAB_PLAN, page, kPlanPageCaptions[page]);
  PlanPage = 0;
  SendMessageA(Control(IDC_TAB_PLAN), TCM_SETCURSEL, 0, 0);

  for (const ComboFill& fill : kModeCombos) {
    for (int i = 0; i < fill.count; ++i) AddItem(fill.combo, fill.items[i]);
    Select(fill.combo, IndexFromField(Config.*fill.field));
  }
  AddNumbers(IDC_COMBO_DELAY, " 秒", kDelayFirst, kDelayLast);
  Select(IDC_COMBO_DELAY, IndexFromDelay(Config.Dly));
  for (const HourRow& row : kHourRows) {
    for (int plan = 0; plan < kPlanCount; ++plan) {
      for (const SoundKindInfo& kind : kSoundKinds) AddItem(row.combo[plan], kind.caption);
      Select(row.combo[plan], IndexFromField(Config.type[PlanEntry(plan, row.hour)]));
    }
  }
  AddItem(IDC_COMBO_CAPTURE, "开");
  AddItem(IDC_COMBO_CAPTURE, "关");
  Select(IDC_COMBO_CAPTURE, IndexFromField(Config.TMLPen));
  AddNumbers(IDC_COMBO_PAUSE_DAYS, "", kDayFirst, kDayLast);
  Select(IDC_COMBO_PAUSE_DAYS, IndexFromDay(Config.PauseDays));
  AddNumbers(IDC_COMBO_PLAY_DAYS_A, "", kDayFirst, kDayLast);
  AddNumbers(IDC_COMBO_PLAY_DAYS_B, "", kDayFirst, kDayLast);
  Select(IDC_COMBO_PLAY_DAYS_A, IndexFromDay(Config.PlayDaysA));
  Select(IDC_COMBO_PLAY_DAYS_B, IndexFromDay(Config.PlayDaysB));
  AddNumbers(IDC_COMBO_INTERVAL_HOUR, "", 0, 23);
  Select(IDC_COMBO_INTERVAL_HOUR, IndexFromField(Config.IntervalHour));
  AddNumbers(IDC_COMBO_INTERVAL_MINUTE, "", 0, 59);
  AddNumbers(IDC_COMBO_INTERVAL_SECOND, "", 0, 59);
  Select(IDC_COMBO_INTERVAL_MINUTE, IndexFromField(Config.IntervalMinute));
  Select(IDC_COMBO_INTERVAL_SECOND, IndexFromField(Config.IntervalSecond));

  ShowCopyPage();
  UpdateControlStates();
}

namespace {

void OnCommand(HWND dialog, int id) {
  switch (id) {
    case IDC_BTN_GENERATE:
      Generate(dialog);
      break;
    case IDC_BTN_COPY:
      Trace("复制:\n");
      CopyAudio(dialog);
      break;
    default:
      BrowseSource(dialog, id);
      break;
  }
}

void OnNotify(const NMHDR& header) {
  if (header.code != TCN_SELCHANGE) return;
  if (header.idFrom == IDC_TAB_COPY) {
    CopyPage = static_cast<int>(SendMessageA(Control(IDC_TAB_COPY), TCM_GETCURSEL, 0, 0));
    ShowCopyPage();
    UpdateCopyControls(CopyControlsOn(Config));
  }
}

}  // namespace

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitializeDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam));
      return TRUE;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}
