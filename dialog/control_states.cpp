#include "dialog/control_states.h"

#include <commctrl.h>

#include <array>
#include <cstring>

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

// While the starting template is made, the rules set the style words of the
// template's controls instead of the windows (nullptr: not in the template).
bool preparing = false;
std::array<unsigned char*, kLastId - kFirstId + 1> templateStyles{};

void SetTemplateStyle(int id, DWORD bit, bool set) {
  unsigned char* word = (id >= kFirstId && id <= kLastId) ? templateStyles[id - kFirstId] : nullptr;
  if (word == nullptr) return;
  DWORD style;
  std::memcpy(&style, word, sizeof style);
  style = set ? (style | bit) : (style & ~bit);
  std::memcpy(word, &style, sizeof style);
}

// The rules run over hundreds of controls; a control already in the wanted
// state is left alone, since every change is a round trip to the window
// system (under Wine, to its server).
void Show(int id, bool shown) {
  if (preparing) return SetTemplateStyle(id, WS_VISIBLE, shown);
  HWND control = Control(id);
  bool visible = (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
  if (visible != shown) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}
void Enable(int id, bool enabled) {
  if (preparing) return SetTemplateStyle(id, WS_DISABLED, !enabled);
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
  // One walk over the children instead of a search of all of them per id.
  handles.fill(nullptr);
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    int id = GetDlgCtrlID(child);
    if (id >= kFirstId && id <= kLastId && handles[id - kFirstId] == nullptr) handles[id - kFirstId] = child;
  }
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
    if (!preparing) SendMessageA(Control(IDC_COMBO_CAPTURE), CB_SETCURSEL, 0, 0);
  }
  UpdateCaptureControls(CaptureIntervalEnabled(Config), true);
}

namespace {

// A name or number in a dialog template: none (0), 0xFFFF and a number, or a
// UTF-16 string with its terminator. The offset after it, or 0 past the end.
size_t SkipNameOrNumber(const std::vector<unsigned char>& bytes, size_t at) {
  auto word = [&](size_t offset) { return static_cast<unsigned>(bytes[offset] | bytes[offset + 1] << 8); };
  if (at + 2 > bytes.size()) return 0;
  if (word(at) == 0xFFFF) return at + 4 <= bytes.size() ? at + 4 : 0;
  for (; at + 2 <= bytes.size(); at += 2)
    if (word(at) == 0) return at + 2;
  return 0;
}

size_t AlignToDword(size_t at) { return (at + 3) & ~static_cast<size_t>(3); }

}  // namespace

std::vector<unsigned char> StartingTemplate(HINSTANCE instance, int templateId) {
  HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(templateId), reinterpret_cast<LPCSTR>(RT_DIALOG));
  HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return {};
  const auto* first = static_cast<const unsigned char*>(data);
  std::vector<unsigned char> bytes(first, first + SizeofResource(instance, found));

  // DLGTEMPLATE: style, extended style, item count, position and size; then
  // menu, class and title, and with DS_SETFONT the point size and the face.
  // Each DLGITEMTEMPLATE starts on a DWORD: style, extended style, position
  // and size, id, class, title, and a count of creation bytes that follow.
  if (bytes.size() < 18) return {};
  DWORD dialogStyle;
  std::memcpy(&dialogStyle, bytes.data(), sizeof dialogStyle);
  if ((dialogStyle & 0xFFFF0000u) == 0xFFFF0000u) return {};  // an extended template: not this dialog's
  unsigned count = bytes[8] | bytes[9] << 8;
  size_t at = 18;
  for (int part = 0; part < 3 && at != 0; ++part) at = SkipNameOrNumber(bytes, at);
  if (at != 0 && (dialogStyle & DS_SETFONT) != 0) at = SkipNameOrNumber(bytes, at + 2);
  // Where each control's style word is, found before any is pointed at.
  std::array<size_t, kLastId - kFirstId + 1> styleAt{};
  for (unsigned item = 0; item < count; ++item) {
    at = AlignToDword(at);
    if (at == 0 || at + 18 > bytes.size()) return {};
    int id = bytes[at + 16] | bytes[at + 17] << 8;
    if (id >= kFirstId && id <= kLastId && styleAt[id - kFirstId] == 0) styleAt[id - kFirstId] = at;
    at = SkipNameOrNumber(bytes, at + 18);
    if (at != 0) at = SkipNameOrNumber(bytes, at);
    if (at == 0 || at + 2 > bytes.size()) return {};
    at += 2 + (bytes[at] | bytes[at + 1] << 8);
  }
  for (size_t index = 0; index < styleAt.size(); ++index)
    templateStyles[index] = styleAt[index] != 0 ? &bytes[styleAt[index]] : nullptr;

  // The rules as the dialog applies them when it starts, on pages 0; the
  // record they read is left as it was, for the dialog to apply them again.
  BroadcastConfig record = Config;
  int planPage = PlanPage, copyPage = CopyPage;
  PlanPage = CopyPage = 0;
  preparing = true;
  ShowCopyPage();
  UpdateControlStates();
  preparing = false;
  Config = record;
  PlanPage = planPage;
  CopyPage = copyPage;
  templateStyles.fill(nullptr);
  return bytes;
}
