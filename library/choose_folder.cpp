#include "library/choose_folder.h"

#include <shlobj.h>

#include <cstdio>

#include "settings/save_directory.h"

int ChooseFolder(char* destination, HWND textControl) {
  BROWSEINFOA info{};
  info.hwndOwner = GetForegroundWindow();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  if (destination == nullptr) return -1;

  PIDLIST_ABSOLUTE item = SHBrowseForFolderA(&info);
  if (item == nullptr) return 1;
  // The conversion fails for folders without a file-system path. Taking that
  // as a choice would leave an empty source, and a copy would then search
  // "\*.wav" at the root of the current drive: it counts as a cancel.
  char path[kPathSize] = "";
  BOOL converted = SHGetPathFromIDListA(item, path);
  CoTaskMemFree(item);
  if (!converted || path[0] == '\0') return 1;

  std::snprintf(destination, kPathSize, "%s", path);
  if (textControl != nullptr) SetWindowTextA(textControl, destination);
  return 0;
}
