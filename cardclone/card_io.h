// The few file operations cardclone needs from the platform, on
// std::filesystem paths (UTF-16 on Windows): a file written and flushed to the
// medium, a file read back past the system's cache, a file put in place of
// another in one step, and the identity of a folder. One source file per
// platform (card_io_posix.cpp, card_io_win.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

// Reads of a file opened uncached must use buffers aligned to kIoAlign and
// sizes that are multiples of it (Windows FILE_FLAG_NO_BUFFERING).
constexpr std::size_t kIoAlign = 4096;

// The last failure of an operation: the system's code and its text in UTF-8.
struct IoError {
  int code = 0;
  std::string text;
  bool full = false;  // the medium has no room left
};

// A file created (or truncated) on the card and written from the start.
class OutFile {
 public:
  OutFile() = default;
  ~OutFile();
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;

  bool Create(const std::filesystem::path& path);
  // Like Create, but never opens what already stands at path: then it fails
  // with occupied set.
  bool CreateNew(const std::filesystem::path& path, bool& occupied);
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

// Puts the complete file from in place of to (same folder), in one step, and
// makes the change durable on the medium. On failure to is unchanged.
bool PutFileInPlace(const std::filesystem::path& from, const std::filesystem::path& to, IoError& error);

// What the file system knows a folder by, whatever its spelling: another
// spelling, a link or a second mount of the same folder give the same id.
struct FolderId {
  bool valid = false;
  uint64_t volume = 0;
  uint64_t index = 0;
  bool operator==(const FolderId& o) const {
    return valid && o.valid && volume == o.volume && index == o.index;
  }
  bool operator!=(const FolderId& o) const { return !(*this == o); }
};
FolderId IdOfFolder(const std::filesystem::path& path);

// True when stdout is a terminal that takes cursor movements (on Windows the
// console's virtual terminal mode is switched on for it).
bool StdoutIsLiveTerminal();
