#include "cardbatch/removable_drives.h"

#include <windows.h>

#include <cwctype>

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
    // A reader without a card has no volume to tell of.
    if (!GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0)) continue;
    DriveCard card;
    card.drive = {static_cast<char>('A' + i), ':'};
    IoError error;
    if (VolumeOf(root, card.volume, error)) drives.push_back(card);
  }
  return drives;
}
