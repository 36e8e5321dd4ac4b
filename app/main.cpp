#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include "app/dialog_proc.h"
#include "dialog/control_ids.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  AppInstance = instance;
  InitCommonControls();
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, DialogProc, 0));
}
