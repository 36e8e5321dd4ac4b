#include "cardbatch/removable_drives.h"

#include <windows.h>

#include <cwctype>

#include "common/file_io_win_text.h"

std::vector<DriveCard> RemovableDrives() {
  wchar_t windows[MAX_PATH] = L"";
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  const wchar_t system = static_cast<wchar_t>(std::towupper(windows[0]));
  std::vector<DriveCard> drives;
  DWORD letters = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if ((letters & (1u << i)) == 0) continue;
    const wchar_t letter = static_cast<wchar_t>(L'A' + i);
    const wchar_t root[] = {letter, L':', L'\\', 0};
    if (letter == system || GetDriveTypeW(root) != DRIVE_REMOVABLE) continue;
    wchar_t label[MAX_PATH + 1] = L"";
    DWORD serial = 0;
    if (!GetVolumeInformationW(root, label, MAX_PATH + 1, &serial, nullptr, nullptr, nullptr, 0)) continue;
    ULARGE_INTEGER available{}, capacity{};
    GetDiskFreeSpaceExW(root, &available, &capacity, nullptr);
    DriveCard card;
    card.drive = {static_cast<char>('A' + i), ':'};
    card.label = Utf8(label);
    card.serial = serial;
    card.capacity = capacity.QuadPart;
    card.available = available.QuadPart;
    drives.push_back(card);
  }
  return drives;
}
