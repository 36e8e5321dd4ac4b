#include "app/generate.h"

#include "win32/responsive.h"
#include "win32/status_line.h"
#include "settings/config_file.h"

void Generate(HWND dialog) {
  // The write, its flush to the medium and the read-back can take seconds on
  // a slow or failing card; they run beside the dialog, which keeps
  // answering meanwhile. Nothing else touches the record or the save
  // directory while they run: commands wait for this one to end.
  GenerateResult result{};
  RunWhileAnswering(
      dialog, [](void* out) { *static_cast<GenerateResult*>(out) = RunGenerate(); }, &result);
  SetStatusLine(dialog, result.statusText);
  if (result.succeeded) {
    MessageBoxA(dialog, kTextGenerateBox, kTextGenerateBoxTitle, MB_OK | MB_ICONINFORMATION);
  }
}
