// The file operations the programs need from the platform, on
// std::filesystem paths (UTF-16 on Windows): a file made new (never over
// what stands at its name) or from scratch, written and flushed to the
// medium; a file read back past the system's cache; a file put in place of
// another in one step; removal; what the file system knows a file or folder
// by; the free space of a medium. One source file per platform
// (file_io_posix.cpp, file_io_win.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Reads of a file opened uncached must use buffers aligned to kIoAlign and
// sizes that are multiples of it (Windows FILE_FLAG_NO_BUFFERING).
constexpr std::size_t kIoAlign = 4096;

// The last failure of an operation: the system's code and its text in UTF-8
// (on Windows the system's own words, in the user's language), and what it
// means where a program says something of its own.
struct IoError {
  int code = 0;
  std::string text;
  bool full = false;      // the system says the medium has no room left
  bool tooLarge = false;  // the file is larger than the file system takes
  bool tooLong = false;   // a name or path is longer than the system takes
};

// A file written from its start.
class OutFile {
 public:
  OutFile() = default;
  ~OutFile();
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;

  // Creates path, or empties what stands there.
  bool Create(const std::filesystem::path& path);
  // Creates path as a new, empty file. Never opens or truncates what already
  // stands at that name: then it fails with occupied set; failing with
  // occupied false means that no file can be made there at all (missing
  // folder, read-only or removed card).
  bool CreateNew(const std::filesystem::path& path, bool& occupied);
  // Opens path to add to its end, made when missing; empty tells whether it
  // held nothing yet. Others may read it meanwhile, never write it.
  bool OpenToAppend(const std::filesystem::path& path, bool& empty);
  bool Write(const void* data, std::size_t size);
  // Returns only once the written bytes are on the medium.
  bool FlushToMedium();
  bool Close();
  const IoError& error() const { return error_; }

 private:
  std::intptr_t handle_ = -1;
  IoError error_;
};

// A file read from its start. Opened uncached, it is read from the medium
// rather than from what the system kept of it in memory.
class InFile {
 public:
  InFile() = default;
  ~InFile();
  InFile(const InFile&) = delete;
  InFile& operator=(const InFile&) = delete;

  bool Open(const std::filesystem::path& path, bool uncached);
  // Opened to read small parts here and there (a file's chunk headers): the
  // system reads no more of the file ahead than is asked for.
  bool OpenToLookAt(const std::filesystem::path& path);
  // The next read starts at offset from the file's start.
  bool Seek(std::uint64_t offset);
  bool Size(std::uint64_t& bytes);
  // Fills data with up to size bytes; fewer only at the end of the file.
  // Returns the count, or -1 on a read error.
  long long Read(void* data, std::size_t size);
  void Close();
  const IoError& error() const { return error_; }

 private:
  std::intptr_t handle_ = -1;
  bool uncached_ = false;
  IoError error_;
};

// The whole of a file, read while other programs may hold it open, also for
// writing (a record open in a spreadsheet). False with error when it cannot
// be opened or read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, IoError& error);

// Writes bytes as the whole of file, replacing what stands there only once
// they are complete: under a temporary name beside it ("FILE.~00" to
// "FILE.~99", the first where a new file can be made; what stands at the
// others is never opened), flushed, then put in place. False with error
// when it cannot be; file is then as it was.
bool ReplaceFileWith(const std::filesystem::path& file, const std::string& bytes, IoError& error);

// Puts the complete file from in place of to (same folder), in one step, and
// makes the change durable on the medium. On failure to is unchanged.
bool PutFileInPlace(const std::filesystem::path& from, const std::filesystem::path& to, IoError& error);

// The same without the flush of the folder: the new name is on the medium
// once the folder or the whole medium is flushed (FlushFolder, FlushMedium),
// which a caller putting many files in place does once for all of them. On
// Windows the move is written through, as PutFileInPlace's.
bool RenameInPlace(const std::filesystem::path& from, const std::filesystem::path& to, IoError& error);

// Removes the file at path. True on success.
bool RemoveFile(const std::filesystem::path& path);

// True when path names a plain file that may be written and removed (not
// read-only, not a folder, a link or a device); size is then its size.
bool IsPlainWritableFile(const std::filesystem::path& path, std::uint64_t& size);

// What the file system knows a file or folder by, whatever its spelling:
// another spelling, a short name, a link or a second mount of the same folder
// give the same id.
struct FileId {
  bool valid = false;
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  bool operator==(const FileId& o) const {
    return valid && o.valid && volume == o.volume && index == o.index;
  }
  bool operator!=(const FileId& o) const { return !(*this == o); }
};
FileId IdOf(const std::filesystem::path& path);

// Bytes free for this program on the medium holding path; false when it
// cannot be told.
bool FreeSpace(const std::filesystem::path& path, std::uint64_t& bytes);

// A path in the tool's narrow form (the ANSI code page on Windows, bytes as
// they are elsewhere). Empty when it is not a valid text of that code page.
std::filesystem::path PathOfAnsi(const char* path);

// Text of the system's ANSI code page (what a spreadsheet on Chinese Windows
// saves a plain CSV file in) as UTF-8; bytes that are no character of that
// code page are replaced (U+FFFD, or what the system puts there).
std::string Utf8OfAnsi(const std::string& bytes);

// ---- what stands at a name, seen without following links ------------------------

enum class EntryKind {
  kMissing,
  kFile,        // a plain file
  kFolder,      // a folder of the same file system as the folder holding it
  kLink,        // a symbolic link or a junction: a name for something elsewhere
  kMountPoint,  // a folder where another file system, or another view of one, is mounted
  kOther,       // a device, a pipe, a socket, a reparse point of another kind
};

struct EntryInfo {
  EntryKind kind = EntryKind::kMissing;
  std::uint64_t size = 0;     // of a file
  std::int64_t modified = 0;  // the last write, in the platform's own ticks: compared, never shown
};

// The entry at path, a link itself rather than what it points to. True with
// kMissing when nothing stands there; false when the system cannot tell.
bool LookAt(const std::filesystem::path& path, EntryInfo& info, IoError& error);

struct FolderEntry {
  std::string name;  // UTF-8
  EntryInfo info;
};

// The entries of folder ("." and ".." left out), each seen as LookAt sees
// it, in the order the file system gives them.
bool ListFolder(const std::filesystem::path& folder, std::vector<FolderEntry>& entries, IoError& error);

// Removes a file, a link (the link itself, never what it points to) or an
// empty folder, as kind says it is.
bool RemoveEntry(const std::filesystem::path& path, EntryKind kind, IoError& error);

// Makes a folder; false with error when it cannot be made (also when
// something already stands at its name).
bool MakeFolder(const std::filesystem::path& path, IoError& error);

// Makes the changes of a folder's names (files put in place or removed)
// durable on the medium. File systems that cannot flush a folder keep the
// changes all the same.
bool FlushFolder(const std::filesystem::path& folder, IoError& error);

// Pushes everything written to the medium holding path onto it at once
// (Linux: syncfs). False where the platform flushes only file by file; the
// caller then flushes each file itself.
bool FlushMedium(const std::filesystem::path& path);

// ---- the medium a path lies on --------------------------------------------------

struct VolumeInfo {
  std::filesystem::path root;  // where the file system holding the path is mounted (a drive's root)
  bool isRoot = false;         // the path is that root itself
  bool removable = false;      // Windows: a removable drive (a card in a reader)
  std::uint64_t device = 0;    // the same number for every path of one file system
  std::string label;           // the volume label (Windows), UTF-8
  std::uint32_t serial = 0;    // the volume serial number (Windows)
  std::string fileSystem;      // "FAT32", "exFAT", "NTFS"; on Linux the mount's type: "vfat", "tmpfs"
  std::uint64_t capacity = 0;
  std::uint64_t available = 0;       // free for this program
  std::uint64_t allocationUnit = 0;  // a file takes whole units (clusters)
  std::uint64_t maxFileSize = 0;     // 0 when the file system sets no limit worth telling
};

// The medium path lies on. False with error when it cannot be told.
bool VolumeOf(const std::filesystem::path& path, VolumeInfo& info, IoError& error);

// ---- the volume label -------------------------------------------------------------

// Whether this program may change a card's volume label: on Windows through
// the system; never on Linux, where a card is a mounted file system and
// writing the label into a mounted FAT's boot sector is unsafe.
bool VolumeLabelsCanBeSet();

// Sets the label of the volume whose root is root (a drive's "F:\"). The
// label the volume then has is told by VolumeOf.
bool SetVolumeLabelOf(const std::filesystem::path& root, const std::string& label, IoError& error);

// The bytes text (UTF-8) takes in the system's OEM code page, the one FAT
// keeps its volume label in (Chinese takes two bytes a character there); -1
// when a character of it has no place in that code page.
int OemTextBytes(const std::string& text);

// The system's own file system (the drive holding the Windows folder, or
// "/") and the one this program runs from.
std::filesystem::path SystemRoot();
std::filesystem::path ProgramPath();
