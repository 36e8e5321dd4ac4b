#include "library/shell_calls.h"

namespace {

template <typename Function>
void Find(HMODULE module, const char* name, Function& function) {
  if (module != nullptr)
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

const ShellFunctions& SystemShell() {
  static const ShellFunctions functions = [] {
    ShellFunctions found;
    HMODULE shell = LoadLibraryW(L"shell32.dll");
    HMODULE ole = LoadLibraryW(L"ole32.dll");
    Find(shell, "SHBrowseForFolderA", found.browseForFolder);
    Find(shell, "SHGetPathFromIDListW", found.pathFromItem);
    Find(shell, "SHCreateDirectoryExA", found.createDirectory);
    Find(ole, "CoTaskMemFree", found.freeItem);
    return found;
  }();
  return functions;
}
