#include "app/dialog_proc.h"

#include <commctrl.h>

#include <process.h>

#include <cstdio>

#include "win32/responsive.h"
#include "common/trace.h"
#include "dialog/control_ids.h"
#include "settings/control_rules.h"
#include "dialog/control_states.h"
#include "dialog/control_tables.h"
#include "dialog/field_combos.h"
#include "dialog/hour_plans.h"
#include "library/choose_folder.h"
#include "library/copy_audio.h"
#include "library/shell_calls.h"
#include "settings/broadcast_config.h"
#include "settings/config_file.h"
#include "app/generate.h"
#include "settings/playback_pages.h"
#include "settings/record_fields.h"
#include "settings/save_directory.h"

HINSTANCE AppInstance = nullptr;

namespace {

// Posted as the dialog starts: its first answer, once it shows, loads the
// shell on a thread of its own, so a browse or a copy later finds it loaded.
constexpr UINT kMessageLoadShell = WM_APP + 1;

unsigned __stdcall LoadShell(void*) {
  SystemShell();
  return 0;
}

int firstTime = 1;
int firstDialog = 1;

LRESULT CALLBACK SaveDirEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR);

void AddTab(int tab, int index, const char* caption) {
  TCITEMA item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.iImage = -1;
  item.pszText = const_cast<char*>(caption);
  SendMessageA(Control(tab), TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

// The volume step, in the static beside the trackbar.
void ShowVolume() {
  char text[8];
  std::snprintf(text, sizeof text, "%d", Config.Vol);
  SetWindowTextA(Control(IDC_LABEL_VOLUME), text);
}

}  // namespace

void LoadStartingState() {
  if (!firstTime) return;
  Trace("uwLangID=0x%04x\n", static_cast<unsigned>(GetSystemDefaultLangID()));
  char current[kPathSize] = "C:\\";
  if (GetCurrentDirectoryA(sizeof current, current) != 0 && current[sizeof current - 1] == '\0') {
    std::snprintf(SaveDirectory, sizeof SaveDirectory, "%s", current);
  }
  ReadConfigFile();
  firstTime = 0;
}

void InitializeDialog(HWND dialog) {
  HICON icon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_APP));
  SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  LoadControlHandles(dialog);
  SetWindowSubclass(Control(IDC_EDIT_SAVE_DIR), SaveDirEditProc, 0, 0);

  if (firstDialog) {
    LoadStartingState();
    SetWindowTextA(Control(IDC_EDIT_SAVE_DIR), SaveDirectory);
    firstDialog = 0;
  }

  CheckDlgButton(dialog, Config.Ena == 1 ? IDC_RADIO_PLAY_ON : IDC_RADIO_PLAY_OFF, BST_CHECKED);

  SendMessageA(Control(IDC_TRACK_VOLUME), TBM_SETRANGE, TRUE, MAKELPARAM(kVolumeMin, kVolumeMax));
  SendMessageA(Control(IDC_TRACK_VOLUME), TBM_SETPOS, TRUE, Config.Vol);
  ShowVolume();

  for (int page = 0; page < kCopyPageCount; ++page) AddTab(IDC_TAB_COPY, page, kCopyPageCaptions[page]);
  CopyPage = 0;
  SendMessageA(Control(IDC_TAB_COPY), TCM_SETCURSEL, 0, 0);
  for (int page = 0; page < kPlanCount; ++page) AddTab(IDC_TAB_PLAN, page, kPlanPages[page].caption);
  PlanPage = 0;
  SendMessageA(Control(IDC_TAB_PLAN), TCM_SETCURSEL, 0, 0);

  FillFieldCombos();
  for (const HourRow& row : kHourRows) {
    for (int plan = 0; plan < kPlanCount; ++plan) {
      for (const SoundKindInfo& kind : kSoundKinds) AddComboItem(row.combo[plan], kind.caption);
      SelectComboItem(row.combo[plan], IndexFromField(Config.type[PlanEntry(plan, row.hour)]));
    }
  }

  ShowCopyPage();
  UpdateControlStates();
  PostMessageA(dialog, kMessageLoadShell, 0, 0);
}

namespace {

void OnCommand(HWND dialog, WPARAM wParam) {
  int id = LOWORD(wParam);
  int code = HIWORD(wParam);
  switch (id) {
    case IDC_RADIO_PLAY_OFF:
    case IDC_RADIO_PLAY_ON:
      Config.Ena = id == IDC_RADIO_PLAY_ON ? 1 : 0;
      UpdateControlStates();
      return;
    case IDC_BTN_SAVE_DIR:
      if (ChooseFolder(SaveDirectory, Control(IDC_EDIT_SAVE_DIR)) == kFolderUnusable)
        ReportUnusableFolder(dialog);
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
  ShowVolume();
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
    case kMessageLoadShell: {
      HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, LoadShell, nullptr, 0, nullptr));
      if (thread != nullptr) CloseHandle(thread);
      return TRUE;
    }
    default:
      return FALSE;
  }
}
