// cardbatch [--golden DIR] [--record FILE]: the window that makes many cards
// identical to one golden card and keeps a record of every card it made.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "cardbatch/batch_texts.h"
#include "cardbatch/batch_window.h"
#include "common/console.h"
#include "common/file_io_win_text.h"

namespace {

// The record's default: 制卡记录.csv in the user's Documents.
std::filesystem::path DefaultRecord() {
  PWSTR documents = nullptr;
  std::filesystem::path folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &documents))) folder = documents;
  CoTaskMemFree(documents);
  return folder / std::filesystem::u8path(kTextRecordFileName);
}

// The exit code when the program ends here, with its usage shown (asked
// for, or the command line not understood); -1 to go on.
// The command line is split as the console programs split theirs: a
// shortcut's "--golden "E:\"" is the drive E:\, not E:" (CommandLineToArgvW).
int ParseArguments(BatchOptions& options) {
  const std::vector<std::string> args = SplitCommandLine(Utf8(GetCommandLineW()));
  const std::size_t count = args.size();
  bool ok = true, help = false;
  for (std::size_t i = 1; ok && !help && i < count; ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h" || arg == "/?") {
      help = true;
    } else if ((arg == "--golden" || arg == "--record") && i + 1 < count) {
      const std::string& value = args[++i];
      if (arg == "--golden") options.golden = value;
      if (arg == "--record") options.record = std::filesystem::u8path(value);
    } else {
      ok = false;
    }
  }
  if (ok && !help) return -1;
  MessageBoxW(nullptr, Wide(kTextBatchUsage).c_str(), Wide(kTextTitle).c_str(), MB_OK | MB_ICONINFORMATION);
  return help ? 0 : 2;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // A reader without a card answers "not ready" instead of the system's box.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  BatchOptions options;
  int exit = ParseArguments(options);
  if (exit >= 0) return exit;
  if (options.record.empty()) options.record = DefaultRecord();
  exit = RunBatchWindow(instance, options);
  CoUninitialize();
  return exit;
}
