// cardbatch [--golden DIR] [--record FILE]: the window that makes many cards
// identical to one golden card and keeps a record of every card it made.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "cardbatch/batch_texts.h"
#include "cardbatch/batch_window.h"
#include "cardbatch/wide_text.h"
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

// False (the usage shown) when the command line is not understood.
bool ParseArguments(BatchOptions& options) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  bool ok = true;
  for (int i = 1; ok && i < count; ++i) {
    std::wstring arg = args[i];
    if ((arg == L"--golden" || arg == L"--record") && i + 1 < count) {
      std::string value = Utf8(args[++i]);
      if (arg == L"--golden") options.golden = value;
      if (arg == L"--record") options.record = std::filesystem::u8path(value);
    } else {
      ok = false;
    }
  }
  LocalFree(args);
  if (!ok) MessageBoxW(nullptr, Wide(kTextBatchUsage).c_str(), Wide(kTextTitle).c_str(), MB_OK | MB_ICONINFORMATION);
  return ok;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // A reader without a card answers "not ready" instead of the system's box.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  BatchOptions options;
  if (!ParseArguments(options)) return 2;
  if (options.record.empty()) options.record = DefaultRecord();
  int exit = RunBatchWindow(instance, options);
  CoUninitialize();
  return exit;
}
