#include <windows.h>

#include <cwchar>
#include <string>

#include "common/file_io.h"
#include "common/file_io_win_text.h"

namespace fs = std::filesystem;

void FailWithSystemText(IoError& error, DWORD code) {
  error.code = static_cast<int>(code);
  error.full = code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL;
  error.tooLarge = code == ERROR_FILE_TOO_LARGE;
  error.tooLong = code == ERROR_FILENAME_EXCED_RANGE || code == ERROR_BUFFER_OVERFLOW;
  // The system's text in the user's language, as UTF-16, turned into UTF-8.
  wchar_t text[512] = L"";
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                text, 512, nullptr);
  while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L' ')) {
    --length;
  }
  char utf8[1536] = "";
  int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8, sizeof utf8 - 1, nullptr,
                                 nullptr);
  error.text = size > 0 ? std::string(utf8, static_cast<std::size_t>(size)) : "";
  if (error.text.empty()) error.text = "Windows error " + std::to_string(code);
}

std::string Utf8(const wchar_t* text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return std::string();
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(size - 1));
  return out;
}

namespace {

void Fail(IoError& error, DWORD code = GetLastError()) { FailWithSystemText(error, code); }

HANDLE H(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
std::intptr_t Keep(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(handle);
}

#ifndef IO_REPARSE_TAG_LX_SYMLINK
#define IO_REPARSE_TAG_LX_SYMLINK 0xA000001D
#endif

// What a found entry is, told by its attributes and reparse tag rather than
// by following it. A symbolic link, a junction and the links of the Linux
// subsystem point elsewhere; a folder where a volume is mounted is a mount
// point. Other reparse points (cloud placeholders, deduplicated or
// compressed files) hold their own contents and count as what they are.
// Wine shows a Unix link to a folder as a folder with the reparse attribute
// and no tag (and a link to a file as the file itself).
EntryKind KindOf(const fs::path& path, DWORD attributes, DWORD tag) {
  bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) return EntryKind::kOther;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    if (tag == IO_REPARSE_TAG_MOUNT_POINT && folder) {
      wchar_t volume[64];
      std::wstring root = path.wstring() + L"\\";
      return GetVolumeNameForVolumeMountPointW(root.c_str(), volume, 64) ? EntryKind::kMountPoint
                                                                         : EntryKind::kLink;
    }
    if (tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_LX_SYMLINK || tag == 0)
      return EntryKind::kLink;
  }
  return folder ? EntryKind::kFolder : EntryKind::kFile;
}

EntryInfo InfoOf(const fs::path& path, const WIN32_FIND_DATAW& found) {
  EntryInfo info;
  info.kind = KindOf(path, found.dwFileAttributes, found.dwReserved0);
  info.size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  info.modified =
      static_cast<std::int64_t>((static_cast<std::uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                                found.ftLastWriteTime.dwLowDateTime);
  return info;
}

bool Missing(DWORD code) {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_INVALID_NAME;
}

// Others may read a file while it is written, never write it.
HANDLE CreateForWriting(const fs::path& path, DWORD disposition) {
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

OutFile::~OutFile() {
  if (handle_ != -1) CloseHandle(H(handle_));
}

bool OutFile::Create(const fs::path& path) {
  handle_ = Keep(CreateForWriting(path, CREATE_ALWAYS));
  if (handle_ == -1) Fail(error_);
  return handle_ != -1;
}

bool OutFile::CreateNew(const fs::path& path, bool& occupied) {
  handle_ = Keep(CreateForWriting(path, CREATE_NEW));
  occupied = false;
  if (handle_ != -1) return true;
  DWORD code = GetLastError();
  // A folder at the name is refused with "access denied" rather than
  // "exists", so the name is looked at itself.
  occupied = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS ||
             GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  Fail(error_, code);
  return false;
}

bool OutFile::OpenToAppend(const fs::path& path, bool& empty) {
  handle_ = Keep(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  bool sized = handle_ != -1 && GetFileSizeEx(H(handle_), &size);
  if (!sized) Fail(error_);
  empty = size.QuadPart == 0;
  return sized;
}

bool OutFile::Write(const void* data, std::size_t size) {
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    DWORD part = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(H(handle_), at, part, &written, nullptr) || written == 0) {
      if (written == 0 && GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_DISK_FULL);
      Fail(error_);
      return false;
    }
    at += written;
    size -= written;
  }
  return true;
}

bool OutFile::FlushToMedium() {
  if (!FlushFileBuffers(H(handle_))) {
    Fail(error_);
    return false;
  }
  return true;
}

bool OutFile::Close() {
  if (handle_ == -1) return true;
  BOOL closed = CloseHandle(H(handle_));
  handle_ = -1;
  if (!closed) {
    Fail(error_);
    return false;
  }
  return true;
}

InFile::~InFile() { Close(); }

bool InFile::Open(const fs::path& path, bool uncached) {
  DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN | (uncached ? FILE_FLAG_NO_BUFFERING : 0);
  handle_ =
      Keep(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr));
  if (handle_ == -1 && uncached && GetLastError() == ERROR_INVALID_PARAMETER) {
    // A file system that cannot read past its cache still gets the read-back.
    uncached = false;
    handle_ = Keep(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  }
  if (handle_ == -1) {
    Fail(error_);
    return false;
  }
  uncached_ = uncached;
  return true;
}

bool InFile::OpenToLookAt(const fs::path& path) {
  uncached_ = false;
  handle_ = Keep(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_RANDOM_ACCESS, nullptr));
  if (handle_ == -1) Fail(error_);
  return handle_ != -1;
}

bool InFile::Seek(std::uint64_t offset) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(offset);
  bool done = SetFilePointerEx(H(handle_), to, nullptr, FILE_BEGIN);
  if (!done) Fail(error_);
  return done;
}

bool InFile::Size(std::uint64_t& bytes) {
  LARGE_INTEGER size;
  bool done = GetFileSizeEx(H(handle_), &size);
  if (!done) Fail(error_);
  bytes = done ? static_cast<std::uint64_t>(size.QuadPart) : 0;
  return done;
}

long long InFile::Read(void* data, std::size_t size) {
  char* at = static_cast<char*>(data);
  std::size_t done = 0;
  // Uncached reads must start on an aligned address: after a short read (the
  // end of the file) there is nothing more to read anyway.
  while (done < size && (!uncached_ || done % kIoAlign == 0)) {
    DWORD part = size - done > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size - done);
    DWORD got = 0;
    if (!ReadFile(H(handle_), at + done, part, &got, nullptr)) {
      Fail(error_);
      return -1;
    }
    if (got == 0) break;
    done += got;
  }
  return static_cast<long long>(done);
}

void InFile::Close() {
  if (handle_ != -1) CloseHandle(H(handle_));
  handle_ = -1;
}

// The C runtime's rename() refuses an existing target on Windows; MoveFileEx
// replaces it, and write-through makes sure the card holds the new name when
// the call returns.
bool PutFileInPlace(const fs::path& from, const fs::path& to, IoError& error) {
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Fail(error);
    return false;
  }
  return true;
}

bool RenameInPlace(const fs::path& from, const fs::path& to, IoError& error) {
  return PutFileInPlace(from, to, error);
}

bool RemoveFile(const fs::path& path) { return DeleteFileW(path.c_str()) != 0; }

// A spreadsheet holds the file it shows open for writing: a reader that does
// not share writing is refused as long as it is open there.
bool ReadWholeFile(const fs::path& path, std::string& bytes, IoError& error) {
  bytes.clear();
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  LARGE_INTEGER size{};
  if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size)) {
    Fail(error);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return false;
  }
  bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  char piece[65536];
  DWORD got = 0;
  BOOL read = FALSE;
  while ((read = ReadFile(file, piece, static_cast<DWORD>(sizeof piece), &got, nullptr)) && got > 0)
    bytes.append(piece, got);
  if (!read) Fail(error);
  CloseHandle(file);
  return read != FALSE;
}

bool IsPlainWritableFile(const fs::path& path, std::uint64_t& size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  const DWORD refused = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DEVICE |
                        FILE_ATTRIBUTE_REPARSE_POINT;
  if ((data.dwFileAttributes & refused) != 0) return false;
  size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

FileId IdOf(const fs::path& path) {
  FileId id;
  // Backup semantics open folders too; reading the attributes needs no other
  // right, so a file another program holds open is still seen.
  HANDLE handle =
      CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return id;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(handle, &info)) {
    id.valid = true;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  }
  CloseHandle(handle);
  return id;
}

// The C runtime opens files through the wide API, which under Wine takes
// paths longer than MAX_PATH while the ANSI calls refuse them; the tool's
// paths go the wide way too, so a file the runtime could create can also be
// put in place or removed again.
fs::path PathOfAnsi(const char* path) {
  int size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
  if (size <= 0) return fs::path();
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, &wide[0], size);
  wide.resize(static_cast<std::size_t>(size - 1));
  return fs::path(wide);
}

std::string Utf8OfAnsi(const std::string& bytes) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return std::string();
  const int length = static_cast<int>(bytes.size());
  int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  if (size <= 0) return std::string();
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, &wide[0], size);
  int out = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (out <= 0) return std::string();
  std::string utf8(static_cast<std::size_t>(out), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, &utf8[0], out, nullptr, nullptr);
  return utf8;
}

bool LookAt(const fs::path& path, EntryInfo& info, IoError& error) {
  info = EntryInfo{};
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileExW(path.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (search != INVALID_HANDLE_VALUE) {
    FindClose(search);
    info = InfoOf(path, found);
    return true;
  }
  // A drive's root is found by no search; its attributes tell it.
  DWORD code = GetLastError();
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
    info.kind = KindOf(path, data.dwFileAttributes, 0);
    if (info.kind == EntryKind::kLink) info.kind = EntryKind::kFolder;
    return true;
  }
  if (Missing(code)) return true;
  Fail(error, code);
  return false;
}

bool ListFolder(const fs::path& folder, std::vector<FolderEntry>& entries, IoError& error) {
  entries.clear();
  WIN32_FIND_DATAW found;
  fs::path pattern = folder / L"*";
  HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) {
    Fail(error);
    return false;
  }
  do {
    if (std::wcscmp(found.cFileName, L".") == 0 || std::wcscmp(found.cFileName, L"..") == 0) continue;
    entries.push_back({Utf8(found.cFileName), InfoOf(folder / found.cFileName, found)});
  } while (FindNextFileW(search, &found));
  DWORD code = GetLastError();
  FindClose(search);
  if (code == ERROR_NO_MORE_FILES) return true;
  Fail(error, code);
  return false;
}

bool RemoveEntry(const fs::path& path, EntryKind kind, IoError& error) {
  BOOL removed = TRUE;
  switch (kind) {
    case EntryKind::kMissing:
      return true;
    case EntryKind::kMountPoint:
      // Never through another volume, and never unmounted.
      Fail(error, ERROR_DIR_NOT_EMPTY);
      return false;
    case EntryKind::kFolder:
      removed = RemoveDirectoryW(path.c_str());
      break;
    case EntryKind::kLink: {
      // A link to a folder is removed as a folder is, which removes the link
      // alone, never what it points to.
      DWORD attributes = GetFileAttributesW(path.c_str());
      bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      removed = folder ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str());
      break;
    }
    default:
      removed = DeleteFileW(path.c_str());
      break;
  }
  if (!removed) Fail(error);
  return removed != FALSE;
}

bool MakeFolder(const fs::path& path, IoError& error) {
  if (CreateDirectoryW(path.c_str(), nullptr)) return true;
  Fail(error);
  return false;
}

bool FlushFolder(const fs::path& folder, IoError& error) {
  // A folder's handle with write access can be flushed on NTFS; FAT and
  // Wine refuse, and the names written there stand all the same (a replace
  // is written through to the medium already).
  HANDLE handle =
      CreateFileW(folder.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    if (code == ERROR_ACCESS_DENIED || code == ERROR_INVALID_PARAMETER) return true;
    Fail(error, code);
    return false;
  }
  BOOL flushed = FlushFileBuffers(handle);
  DWORD code = GetLastError();
  CloseHandle(handle);
  if (flushed || code == ERROR_INVALID_FUNCTION || code == ERROR_ACCESS_DENIED ||
      code == ERROR_INVALID_PARAMETER || code == ERROR_NOT_SUPPORTED)
    return true;
  Fail(error, code);
  return false;
}
