// A modal dialog with one static control and nothing else: what any dialog
// program costs to start on this platform. Built a second time around the
// tool's template (BCT_TEMPLATE_ONLY).
#include <windows.h>
#include <commctrl.h>

namespace {

INT_PTR CALLBACK BareProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_CLOSE) {
    EndDialog(dialog, 0);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  InitCommonControls();
#ifdef BCT_TEMPLATE_ONLY
  // The tool's own template with a procedure that does nothing: what the
  // dialog's 250 controls cost to create, without the tool's start-up work.
  constexpr int kTemplate = 104;
#else
  constexpr int kTemplate = 100;
#endif
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(kTemplate), nullptr, BareProc, 0));
}
