#include "dialog/control_states.h"

#include <commctrl.h>

#include <array>

#include "dialog/control_ids.h"
#include "settings/control_rules.h"
#include "dialog/control_tables.h"

int PlanPage = 0;
int CopyPage = 0;

namespace {

// Every control id of the dialog lies in 40000..40251 (and the unaddressed
// group box 65535), so one array indexed by id holds all handles.
constexpr int kFirstId = 40000;
constexpr int kLastId = 40251;
std::array<HWND, kLastId - kFirstId + 1> handles{};

// The rules run over hundreds of controls; a control already in the wanted
// state is left alone, since every change is a round trip to the window
// system (under Wine, to its server).
void Show(int id, bool shown) {
  HWND control = Control(id);
  bool visible = (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
  if (visible != shown) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}
void Enable(int id, bool enabled) {
  HWND control = Control(id);
  if ((IsWindowEnabled(control) != FALSE) != enabled) EnableWindow(control, enabled ? TRUE : FALSE);
}

constexpr int kSettingsControls[] = {IDC_TRACK_VOLUME, IDC_COMBO_SENSOR_MODE, IDC_COMBO_TIMER_MODE,
                                     IDC_COMBO_DELAY,  IDC_LABEL_PAUSE_DAYS,  IDC_COMBO_PAUSE_DAYS};
constexpr int kScheduleControls[] = {IDC_COMBO_ALARM_A, IDC_COMBO_ALARM_B, IDC_COMBO_PLAY_DAYS_A,
                                     IDC_COMBO_PLAY_DAYS_B};
constexpr int kCaptureIntervalControls[] = {
    IDC_LABEL_INTERVAL,      IDC_LABEL_UNIT_HOUR,       IDC_LABEL_UNIT_MINUTE,     IDC_LABEL_UNIT_SECOND,
    IDC_COMBO_INTERVAL_HOUR, IDC_COMBO_INTERVAL_MINUTE, IDC_COMBO_INTERVAL_SECOND,
};

}  // namespace

void LoadControlHandles(HWND dialog) {
  for (int id = kFirstId; id <= kLastId; ++id) handles[id - kFirstId] = GetDlgItem(dialog, id);
}

HWND Control(int id) { return (id >= kFirstId && id <= kLastId) ? handles[id - kFirstId] : nullptr; }

long SelectionOf(int id) { return static_cast<long>(SendMessageA(Control(id), CB_GETCURSEL, 0, 0)); }

void AddComboItem(int id, const char* text) {
  SendMessageA(Control(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void SelectComboItem(int id, int index) {
  SendMessageA(Control(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void UpdateCaptureControls(bool enable, bool withSwitch) {
  if (withSwitch) {
    bool locked = CaptureSwitchLocked(Config);
    Enable(IDC_LABEL_CAPTURE, !locked);
    Enable(IDC_COMBO_CAPTURE, !locked);
  }
  for (int id : kCaptureIntervalControls) Enable(id, enable);
}

void UpdatePlanGrids() {
  for (int grid = 0; grid < kPlanCount; ++grid) {
    bool shown = PlanGridVisible(grid, PlanPage);
    bool enabled = PlanGridEnabled(grid, PlanPage, Config);
    for (const HourRow& row : kHourRows) {
      Show(row.combo[grid], shown);
      Enable(row.combo[grid], enabled);
    }
  }
}

void ShowCopyPage() {
  const auto& page3 = kKindRows[0];
  bool shown3 = CopyPage == 3;
  for (const SourceRow& row : page3) Show(row.label, shown3);
  for (const SourceRow& row : page3) Show(row.button, shown3);
  for (const SourceRow& row : page3) Show(row.check, shown3);
  for (int page = 0; page < kRandomPageCount; ++page) {
    const SourceRow& row = kRandomRows[page];
    Show(row.label, CopyPage == page);
    Show(row.button, CopyPage == page);
    Show(row.check, CopyPage == page);
  }
  for (int kind = 0; kind < kSoundKindCount; ++kind) {
    for (int page = 4; page <= 5; ++page) {
      const SourceRow& row = kKindRows[page - kFirstKindPage][kind];
      Show(row.label, CopyPage == page);
      Show(row.button, CopyPage == page);
      Show(row.check, CopyPage == page);
    }
  }
}

void UpdateCopyControls(bool on) {
  bool page3 = KindRowsEnabled(3, on, CopyPage, Config);
  for (const SourceRow& row : kKindRows[0]) Enable(row.button, page3);
  for (const SourceRow& row : kKindRows[0]) Enable(row.label, page3);
  for (int kind = 0; kind < kSoundKindCount; ++kind) {
    for (int page = 4; page <= 5; ++page) {
      const SourceRow& row = kKindRows[page - kFirstKindPage][kind];
      bool enabled = KindRowsEnabled(page, on, CopyPage, Config);
      Enable(row.label, enabled);
      Enable(row.button, enabled);
    }
  }
  Enable(IDC_BTN_COPY, CopyButtonEnabled(on, CopyPage, Config));
}

void UpdateControlStates() {
  UpdatePlanGrids();
  for (int id : kSettingsControls) Enable(id, SettingsControlsEnabled(Config));
  for (int id : kScheduleControls) Enable(id, ScheduleControlsEnabled(Config));
  for (int page = 0; page < kRandomPageCount; ++page) {
    Enable(kRandomRows[page].label, RandomRowEnabled(page, Config));
    Enable(kRandomRows[page].button, RandomRowEnabled(page, Config));
  }
  UpdateCopyControls(CopyControlsOn(Config));
  if (CaptureNeedsSwitchingOn(Config)) {
    Config.TMLPen = 0;
    // A selection set by the program notifies nobody, so no handler runs.
    SendMessageA(Control(IDC_COMBO_CAPTURE), CB_SETCURSEL, 0, 0);
  }
  UpdateCaptureControls(CaptureIntervalEnabled(Config), true);
}
