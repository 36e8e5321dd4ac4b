// Drive letters of the Wine prefix made and removed while programs run, as
// Wine's own configuration program makes them: through Wine's mount manager,
// which puts the link in dosdevices and gives the drive its type at once (a
// removable drive takes its label and serial from .windows-label and
// .windows-serial in its folder). A link put in dosdevices by hand is seen
// only after the wineserver starts again. Wine only.
#pragma once

#include <windows.h>
#include <winioctl.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class WineDrive {
 public:
  // folder: a Windows path; type: DRIVE_REMOVABLE or DRIVE_FIXED.
  WineDrive(wchar_t letter, UINT type, const std::wstring& folder)
      : letter_(letter), type_(type), unixPath_(UnixPath(folder)) {
    ok_ = Define(type_, unixPath_);
  }
  ~WineDrive() {
    if (ok_) Define(DRIVE_NO_ROOT_DIR, "");
  }
  WineDrive(const WineDrive&) = delete;
  WineDrive& operator=(const WineDrive&) = delete;
  bool ok() const { return ok_; }
  // The drive defined again, as when its card is put back in: the mount
  // manager reads the folder's .windows-label again (it keeps the label it
  // read when the drive was defined, also after SetVolumeLabelW wrote a new
  // one there).
  bool Refresh() { return ok_ = Define(type_, unixPath_); }
  // Taken out: the letter names nothing until Refresh.
  bool Remove() { return Define(DRIVE_NO_ROOT_DIR, ""); }

 private:
  // Wine's request to its mount manager, as Wine 8 lays it out.
  struct UnixDrive {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
  };

  static std::string UnixPath(const std::wstring& folder) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr) return "";
    char* unix = toUnix(folder.c_str());
    std::string path = unix ? unix : "";
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
  }

  bool Define(UINT type, const std::string& unixPath) {
    if (type != DRIVE_NO_ROOT_DIR && unixPath.empty()) return false;
    std::vector<char> request(sizeof(UnixDrive) + unixPath.size() + 1, 0);
    auto* drive = reinterpret_cast<UnixDrive*>(request.data());
    drive->size = static_cast<ULONG>(request.size());
    drive->type = type;
    drive->letter = static_cast<WCHAR>(letter_ | 0x20);
    if (!unixPath.empty()) {
      drive->mountPointOffset = sizeof(UnixDrive);
      unixPath.copy(request.data() + sizeof(UnixDrive), unixPath.size());
    }
    HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE) return false;
    const DWORD kDefineUnixDrive = CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
    DWORD returned = 0;
    BOOL done = DeviceIoControl(manager, kDefineUnixDrive, request.data(), static_cast<DWORD>(request.size()),
                                nullptr, 0, &returned, nullptr);
    CloseHandle(manager);
    return done != FALSE;
  }

  wchar_t letter_;
  UINT type_;
  std::string unixPath_;
  std::atomic<bool> ok_{false};
};

// Stands in for the system while a program gives labels: on Windows a
// drive reports its new label at once; Wine's mount manager reads a drive's
// .windows-label (where SetVolumeLabelW writes it) only when the drive is
// defined, so each drive is defined again as soon as its label file changes.
class LabelFollower {
 public:
  explicit LabelFollower(std::vector<std::pair<WineDrive*, std::filesystem::path>> drives)
      : drives_(std::move(drives)) {
    for (auto& drive : drives_) seen_.push_back(LabelFile(drive.second));
    thread_ = std::thread([this] {
      while (!quit_) {
        for (std::size_t i = 0; i < drives_.size(); ++i) {
          std::string now = LabelFile(drives_[i].second);
          if (now != seen_[i] && drives_[i].first->Refresh()) seen_[i] = now;
        }
        Sleep(20);
      }
    });
  }
  ~LabelFollower() {
    quit_ = true;
    thread_.join();
  }

 private:
  static std::string LabelFile(const std::filesystem::path& folder) {
    std::ifstream in(folder / ".windows-label", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<std::pair<WineDrive*, std::filesystem::path>> drives_;
  std::vector<std::string> seen_;
  std::atomic<bool> quit_{false};
  std::thread thread_;
};
