// The medium a path lies on, on Windows: its drive, type, label, serial
// and room, and the system's and the program's own drives.
#include <windows.h>

#include <string>

#include "common/file_io.h"
#include "common/file_io_win_text.h"

namespace fs = std::filesystem;

namespace {

void Fail(IoError& error) { FailWithSystemText(error); }

}  // namespace

bool FreeSpace(const fs::path& path, std::uint64_t& bytes) {
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExW(path.c_str(), &available, nullptr, nullptr)) return false;
  bytes = available.QuadPart;
  return true;
}

// Windows flushes a medium as a whole only through the volume's own handle,
// which needs an administrator; files are flushed one by one instead.
bool FlushMedium(const fs::path&) { return false; }

namespace {

std::wstring Root(const fs::path& path) {
  wchar_t root[MAX_PATH] = L"";
  if (!GetVolumePathNameW(path.c_str(), root, MAX_PATH)) return std::wstring();
  return root;
}

std::wstring FullWithSlash(const fs::path& path) {
  wchar_t full[MAX_PATH] = L"";
  DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  std::wstring text = full;
  if (text.back() != L'\\') text += L'\\';
  return text;
}

// One number per drive: its volume's name where the system has one, its
// root's spelling otherwise (Wine's drives have no volume name, and drives
// without a label share one serial number there).
std::uint64_t DeviceOf(const std::wstring& root) {
  wchar_t volume[64] = L"";
  std::wstring name = GetVolumeNameForVolumeMountPointW(root.c_str(), volume, 64) ? volume : root;
  CharUpperBuffW(&name[0], static_cast<DWORD>(name.size()));
  std::uint64_t hash = 1469598103934665603ull;
  for (wchar_t c : name) hash = (hash ^ static_cast<std::uint64_t>(c)) * 1099511628211ull;
  return hash;
}

}  // namespace

bool VolumeOf(const fs::path& path, VolumeInfo& info, IoError& error) {
  info = VolumeInfo{};
  std::wstring root = Root(path);
  if (root.empty()) {
    Fail(error);
    return false;
  }
  info.root = root;
  std::wstring full = FullWithSlash(path);
  info.isRoot = !full.empty() && CompareStringOrdinal(full.c_str(), -1, root.c_str(), -1, TRUE) == CSTR_EQUAL;
  info.removable = GetDriveTypeW(root.c_str()) == DRIVE_REMOVABLE;
  info.device = DeviceOf(root);
  wchar_t label[MAX_PATH + 1] = L"", fileSystem[MAX_PATH + 1] = L"";
  DWORD serial = 0, maxName = 0, flags = 0;
  if (GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, &serial, &maxName, &flags, fileSystem,
                            MAX_PATH + 1)) {
    info.label = Utf8(label);
    info.serial = serial;
    info.fileSystem = Utf8(fileSystem);
  }
  ULARGE_INTEGER available{}, total{};
  if (GetDiskFreeSpaceExW(root.c_str(), &available, &total, nullptr)) {
    info.available = available.QuadPart;
    info.capacity = total.QuadPart;
  }
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
  if (GetDiskFreeSpaceW(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
    info.allocationUnit = static_cast<std::uint64_t>(sectorsPerCluster) * bytesPerSector;
  if (info.fileSystem == "FAT32" || info.fileSystem == "FAT") info.maxFileSize = 0xFFFFFFFFull;
  return true;
}

bool VolumeLabelsCanBeSet() { return true; }

bool SetVolumeLabelOf(const fs::path& root, const std::string& label, IoError& error) {
  if (SetVolumeLabelW(root.c_str(), Wide(label).c_str())) return true;
  Fail(error);
  return false;
}

int OemTextBytes(const std::string& text) {
  const std::wstring wide = Wide(text);
  if (wide.empty()) return 0;
  BOOL lost = FALSE;
  int bytes = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide.c_str(), static_cast<int>(wide.size()),
                                  nullptr, 0, nullptr, &lost);
  return bytes <= 0 || lost ? -1 : bytes;
}

fs::path SystemRoot() {
  wchar_t windows[MAX_PATH] = L"";
  if (GetSystemWindowsDirectoryW(windows, MAX_PATH) == 0) return fs::path(L"C:\\");
  std::wstring root = Root(windows);
  return root.empty() ? fs::path(L"C:\\") : fs::path(root);
}

fs::path ProgramPath() {
  wchar_t self[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return fs::path(self);
}
