#include "library/copy_files.h"

#include "common/file_io.h"
#include "settings/save_directory.h"

namespace {

std::wstring NameKey(const wchar_t* name) {
  std::wstring key = name;
  if (!key.empty()) CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
  return key;
}

std::wstring NameKey(const char* name) {
  wchar_t wide[kPathSize] = L"";
  MultiByteToWideChar(CP_ACP, 0, name, -1, wide, kPathSize);
  return NameKey(wide);
}

}  // namespace

bool SameFile(const char* a, const char* b) {
  FileId first = IdOf(PathOfAnsi(a));
  return first.valid && first == IdOf(PathOfAnsi(b));
}

FileStamp Stamp(const char* path) {
  FileStamp stamp{};
  stamp.exists = GetFileAttributesExA(path, GetFileExInfoStandard, &stamp.data) != 0;
  return stamp;
}

void RemoveLeftover(const char* target, const FileStamp& before) {
  FileStamp after = Stamp(target);
  if (!after.exists || (after.data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  bool touched = !before.exists || after.data.nFileSizeLow != before.data.nFileSizeLow ||
                 after.data.nFileSizeHigh != before.data.nFileSizeHigh ||
                 CompareFileTime(&after.data.ftLastWriteTime, &before.data.ftLastWriteTime) != 0;
  if (touched) DeleteFileA(target);
}

void FolderNames::Read(const char* pattern) {
  names_.clear();
  known_ = false;
  wchar_t widePattern[kPathSize];
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, pattern, -1, widePattern, kPathSize) == 0) return;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(widePattern, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    names_.insert(NameKey(found.cFileName));
    if (found.cAlternateFileName[0] != L'\0') names_.insert(NameKey(found.cAlternateFileName));
  } while (FindNextFileW(search, &found));
  known_ = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(search);
}

bool FolderNames::IsNew(const char* name) const { return known_ && names_.count(NameKey(name)) == 0; }

void FolderNames::Add(const char* name) { names_.insert(NameKey(name)); }
