#include "dialog/field_combos.h"

#include <windows.h>

#include "common/trace.h"
#include "dialog/control_ids.h"
#include "dialog/control_states.h"
#include "settings/broadcast_config.h"
#include "settings/record_fields.h"

namespace {

// A combo that shows one scalar field of the record. Start-up fills it and
// selects its item from the field table; a choice is stored through the
// table's conversion, then `after` (if any) runs with the chosen index.
struct FieldCombo {
  int combo;
  const RecordField* field;
  void (*after)(long index) = nullptr;
};

// A mode change can change which pages and rows are usable.
void AfterModeChange(long) {
  ShowCopyPage();
  UpdateControlStates();
}

void AfterTimerModeChange(long index) {
  AfterModeChange(index);
  bool timed = Config.TimerMod != 0;
  EnableWindow(Control(IDC_COMBO_ALARM_A), timed);
  EnableWindow(Control(IDC_COMBO_ALARM_B), timed);
}

void AfterSensorModeChange(long index);

void AfterDelayChange(long index) {
  Trace("Index_Dly = %d, lapse = %d\n", static_cast<int>(index), Config.Dly);
}

void AfterCaptureChange(long) { UpdateCaptureControls(Config.TMLPen == 0, false); }

constexpr FieldCombo kFieldCombos[] = {
    {IDC_COMBO_TIMER_MODE, &RecordFieldOf(&BroadcastConfig::TimerMod), AfterTimerModeChange},
    {IDC_COMBO_SENSOR_MODE, &RecordFieldOf(&BroadcastConfig::SenMod), AfterSensorModeChange},
    {IDC_COMBO_ALARM_A, &RecordFieldOf(&BroadcastConfig::AlarmA), AfterModeChange},
    {IDC_COMBO_ALARM_B, &RecordFieldOf(&BroadcastConfig::AlarmB), AfterModeChange},
    {IDC_COMBO_DELAY, &RecordFieldOf(&BroadcastConfig::Dly), AfterDelayChange},
    {IDC_COMBO_CAPTURE, &RecordFieldOf(&BroadcastConfig::TMLPen), AfterCaptureChange},
    {IDC_COMBO_PAUSE_DAYS, &RecordFieldOf(&BroadcastConfig::PauseDays)},
    {IDC_COMBO_PLAY_DAYS_A, &RecordFieldOf(&BroadcastConfig::PlayDaysA)},
    {IDC_COMBO_PLAY_DAYS_B, &RecordFieldOf(&BroadcastConfig::PlayDaysB)},
    {IDC_COMBO_INTERVAL_HOUR, &RecordFieldOf(&BroadcastConfig::IntervalHour)},
    {IDC_COMBO_INTERVAL_MINUTE, &RecordFieldOf(&BroadcastConfig::IntervalMinute)},
    {IDC_COMBO_INTERVAL_SECOND, &RecordFieldOf(&BroadcastConfig::IntervalSecond)},
};

const FieldCombo* FindFieldCombo(int combo) {
  for (const FieldCombo& row : kFieldCombos) {
    if (row.combo == combo) return &row;
  }
  return nullptr;
}

void FillFieldCombo(const FieldCombo& row) {
  const RecordField& field = *row.field;
  for (int index = 0; index < field.ItemCount(); ++index) {
    char text[kComboItemSize];
    if (ComboItemText(field, index, text, sizeof text)) AddComboItem(row.combo, text);
  }
  SelectComboItem(row.combo, field.toIndex(Config.*field.member));
}

void StoreChoice(const FieldCombo& row, long index) {
  Config.*row.field->member = row.field->fromIndex(index);
  if (row.after) row.after(index);
}

void AfterSensorModeChange(long index) {
  Trace("Index = %d\n", static_cast<int>(index));
  AfterModeChange(index);
  // The delay is taken again from its combo. A delay read from the file that
  // the combo cannot show (no selection) is kept rather than turned into 4.
  long delay = SelectionOf(IDC_COMBO_DELAY);
  if (delay != CB_ERR) StoreChoice(*FindFieldCombo(IDC_COMBO_DELAY), delay);
}

}  // namespace

void FillFieldCombos() {
  for (const FieldCombo& row : kFieldCombos) FillFieldCombo(row);
}

bool StoreFieldChoice(int id, int code) {
  const FieldCombo* row = FindFieldCombo(id);
  if (row == nullptr) return false;
  if (code == CBN_SELCHANGE) StoreChoice(*row, SelectionOf(id));
  return true;
}
