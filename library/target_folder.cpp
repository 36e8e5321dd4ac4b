#include "library/target_folder.h"

#include <cstdio>

#include "win32/status_line.h"
#include "common/trace.h"
#include "dialog/control_states.h"
#include "library/audio_tree.h"
#include "library/shell_calls.h"
#include "settings/tool_texts.h"

namespace {

bool IsDirectory(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void Report(HWND dialog, const char* path, const char* suffix) {
  char status[kFolderStatusSize];
  std::snprintf(status, sizeof status, "%s%s", path, suffix);
  SetStatusLine(dialog, status);
}

}  // namespace

int CreateTargetFolder(HWND dialog) {
  char path[kPathSize] = {};
  if (!ComposeTargetFolderPath(path, sizeof path, CopyPage, CopyEntry)) return -1;
  Trace("<NewFolder>%s\n", path);

  auto createDirectory = SystemShell().createDirectory;
  int code = createDirectory != nullptr ? createDirectory(nullptr, path, nullptr) : ERROR_PROC_NOT_FOUND;
  // The shell also answers "exists" when a file stands where the folder
  // should be; nothing could be copied into it, so that is a failure.
  if ((code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) && !IsDirectory(path))
    code = ERROR_DIRECTORY;
  if (code == ERROR_FILE_EXISTS) code = ERROR_ALREADY_EXISTS;

  switch (code) {
    case ERROR_SUCCESS:
      Report(dialog, path, kTextFolderCreated);
      return 0;
    case ERROR_ALREADY_EXISTS:
      Report(dialog, path, kTextFolderExists);
      return 1;
    default:
      Trace("创建文件夹失败-%d！\n", code);
      Report(dialog, path, kTextFolderFailed);
      return -1;
  }
}
