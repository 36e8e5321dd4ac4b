#include "app/dialog_proc.h"

#include <commctrl.h>

#include <cstdio>

#include "common/responsive.h"
#include "common/trace.h"
#include "dialog/control_ids.h"
#include "dialog/control_rules.h"
#include "dialog/control_states.h"
#include "dialog/control_tables.h"
#include "dialog/hour_plans.h"
#include "library/choose_folder.h"
#include "library/copy_audio.h"
#include "settings/broadcast_config.h"
#include "settings/config_file.h"
#include "settings/generate.h"
#include "settings/save_directory.h"

HINSTANCE AppInstance = nullptr;

namespace {

int firstTime = 1;

LRESULT CALLBACK SaveDirEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR);

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
  SetWindowSubclass(Control(IDC_EDIT_SAVE_DIR), SaveDirEditProc, 0, 0);

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

long SelectionOf(int combo) { return static_cast<long>(SendMessageA(Control(combo), CB_GETCURSEL, 0, 0)); }

// A mode change can change which pages and rows are usable.
void AfterModeChange() {
  ShowCopyPage();
  UpdateControlStates();
}

void StoreDelay(long index) {
  Config.Dly = DelayFromIndex(index);
  Trace("Index_Dly = %d, lapse = %d\n", static_cast<int>(index), Config.Dly);
}

// The combos whose selection is stored straight into one field.
struct FieldCombo {
  int combo;
  uint8_t BroadcastConfig::*field;
  uint8_t (*fromIndex)(long);
  void (*after)();
};

void AfterTimerModeChange() {
  AfterModeChange();
  bool timed = Config.TimerMod != 0;
  EnableWindow(Control(IDC_COMBO_ALARM_A), timed);
  EnableWindow(Control(IDC_COMBO_ALARM_B), timed);
}

void AfterCaptureChange() { UpdateCaptureControls(Config.TMLPen == 0, false); }

constexpr FieldCombo kFieldCombos[] = {
    {IDC_COMBO_TIMER_MODE, &BroadcastConfig::TimerMod, FieldFromIndex, AfterTimerModeChange},
    {IDC_COMBO_ALARM_A, &BroadcastConfig::AlarmA, FieldFromIndex, AfterModeChange},
    {IDC_COMBO_ALARM_B, &BroadcastConfig::AlarmB, FieldFromIndex, AfterModeChange},
    {IDC_COMBO_PAUSE_DAYS, &BroadcastConfig::PauseDays, DayFromIndex, nullptr},
    {IDC_COMBO_PLAY_DAYS_A, &BroadcastConfig::PlayDaysA, DayFromIndex, nullptr},
    {IDC_COMBO_PLAY_DAYS_B, &BroadcastConfig::PlayDaysB, DayFromIndex, nullptr},
    {IDC_COMBO_CAPTURE, &BroadcastConfig::TMLPen, FieldFromIndex, AfterCaptureChange},
    {IDC_COMBO_INTERVAL_HOUR, &BroadcastConfig::IntervalHour, FieldFromIndex, nullptr},
    {IDC_COMBO_INTERVAL_MINUTE, &BroadcastConfig::IntervalMinute, FieldFromIndex, nullptr},
    {IDC_COMBO_INTERVAL_SECOND, &BroadcastConfig::IntervalSecond, FieldFromIndex, nullptr},
};

bool StoreFieldChoice(int id, int code) {
  for (const FieldCombo& row : kFieldCombos) {
    if (row.combo != id) continue;
    if (code == CBN_SELCHANGE) {
      Config.*row.field = row.fromIndex(SelectionOf(id));
      if (row.after) row.after();
    }
    return true;
  }
  return false;
}

void OnSensorModeChange() {
  long index = SelectionOf(IDC_COMBO_SENSOR_MODE);
  Trace("Index = %d\n", static_cast<int>(index));
  Config.SenMod = FieldFromIndex(index);
  AfterModeChange();
  // The delay is taken again from its combo. A delay read from the file that
  // the combo cannot show (no selection) is kept rather than turned into 4.
  long delay = SelectionOf(IDC_COMBO_DELAY);
  if (delay != CB_ERR) StoreDelay(delay);
}

void OnCommand(HWND dialog, WPARAM wParam) {
  int id = LOWORD(wParam);
  int code = HIWORD(wParam);
  switch (id) {
    case IDC_RADIO_PLAY_OFF:
    case IDC_RADIO_PLAY_ON:
      Config.Ena = id == IDC_RADIO_PLAY_ON ? 1 : 0;
      UpdateControlStates();
      return;
    case IDC_COMBO_SENSOR_MODE:
      if (code == CBN_SELCHANGE) OnSensorModeChange();
      return;
    case IDC_COMBO_DELAY:
      if (code == CBN_SELCHANGE) StoreDelay(SelectionOf(IDC_COMBO_DELAY));
      return;
    case IDC_BTN_SAVE_DIR:
      if (ChooseFolder(SaveDirectory, Control(IDC_EDIT_SAVE_DIR)) == kFolderUnusable) ReportUnusableFolder(dialog);
      return;
    case IDC_BTN_GENERATE:
      Generate(dialog);
      return;
    case IDC_BTN_COPY:
      Trace("复制:\n");
      CopyAudio(dialog);
      return;
    default:
      break;
  }
  if (StoreFieldChoice(id, code) || StoreSensorPlanChoice(id, code)) return;
  // The schedule plan combos, then the source browse buttons; Enter and Esc
  // (ids 1 and 2) and everything else fall through both.
  if (StoreTimedPlanChoice(wParam) == 0) BrowseSource(dialog, id);
}

void OnNotify(const NMHDR& header) {
  if (header.code != static_cast<UINT>(TCN_SELCHANGE)) return;
  if (header.idFrom == IDC_TAB_PLAN) {
    PlanPage = static_cast<int>(SendMessageA(Control(IDC_TAB_PLAN), TCM_GETCURSEL, 0, 0));
    if (static_cast<unsigned>(PlanPage) < static_cast<unsigned>(kPlanCount)) UpdatePlanGrids();
  } else if (header.idFrom == IDC_TAB_COPY) {
    CopyPage = static_cast<int>(SendMessageA(Control(IDC_TAB_COPY), TCM_GETCURSEL, 0, 0));
    ShowCopyPage();
    UpdateCopyControls(CopyControlsOn(Config));
  }
}

void OnVolume(int scrollCode) {
  if (scrollCode != TB_THUMBTRACK && scrollCode != TB_ENDTRACK) return;
  Config.Vol =
      VolumeFromPosition(static_cast<long>(SendMessageA(Control(IDC_TRACK_VOLUME), TBM_GETPOS, 0, 0)));
  char text[8];
  std::snprintf(text, sizeof text, "%d", Config.Vol);
  SetWindowTextA(Control(IDC_LABEL_VOLUME), text);
}

// A multi-line edit in a dialog answers Esc by posting WM_CLOSE to the
// dialog (Windows and Wine alike). The save-directory edit is multi-line and
// has the focus after start-up, so one stray Esc would end the tool and lose
// every setting not yet written: the edit does not get to see Esc.
// Asked by the dialog manager about Esc, the edit does not claim it, so Esc
// becomes the command IDCANCEL, which the dialog ignores.
LRESULT CALLBACK SaveDirEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_GETDLGCODE && lParam != 0) {
    const MSG& asked = *reinterpret_cast<const MSG*>(lParam);
    LRESULT code = DefSubclassProc(edit, message, wParam, lParam);
    if (asked.message == WM_KEYDOWN && asked.wParam == VK_ESCAPE)
      code &= ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
    return code;
  }
  if ((message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR) && wParam == VK_ESCAPE) return 0;
  return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  // One command at a time: while one runs (and keeps the dialog answering),
  // whatever would start another is held back and handled after it.
  if (HoldBackWhileRunning(message, wParam, lParam)) return message == WM_HSCROLL ? FALSE : TRUE;
  switch (message) {
    case WM_INITDIALOG:
      InitializeDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      BeginCommand();
      OnCommand(dialog, wParam);
      EndCommand(dialog);
      return TRUE;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
      return TRUE;
    case WM_HSCROLL:
      OnVolume(LOWORD(wParam));
      return FALSE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}
