#include "settings/generate.h"

#include "common/status_line.h"
#include "settings/config_file.h"

void Generate(HWND dialog) {
  GenerateResult result = RunGenerate();
  SetStatusLine(dialog, result.statusText);
  if (result.succeeded) {
    MessageBoxA(dialog, kGenerateBoxText, kGenerateBoxTitle, MB_OK | MB_ICONINFORMATION);
  }
}
