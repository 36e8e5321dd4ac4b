#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "common/file_io.h"

namespace fs = std::filesystem;

namespace {

void Fail(IoError& error) {
  error.code = errno;
  error.text = std::strerror(errno);
  error.full = errno == ENOSPC;
  error.tooLarge = errno == EFBIG;
  error.tooLong = errno == ENAMETOOLONG;
}

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

// The entry name within the folder open as dir (AT_FDCWD: a path), a link
// itself. A folder is a mount point when the kernel says it is the root of a
// mount (also a bind mount of a folder of the same file system) or, where it
// cannot tell, when it lies on another device than its parent.
bool Look(int dir, const char* name, const fs::path& parent, EntryInfo& info, IoError& error) {
  struct statx st;
  info = EntryInfo{};
  if (::statx(dir, name, AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_SIZE | STATX_MTIME, &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return true;
    Fail(error);
    return false;
  }
  info.size = st.stx_size;
  info.modified = static_cast<std::int64_t>(st.stx_mtime.tv_sec) * 1000000000 + st.stx_mtime.tv_nsec;
  if (S_ISLNK(st.stx_mode)) {
    info.kind = EntryKind::kLink;
  } else if (S_ISREG(st.stx_mode)) {
    info.kind = EntryKind::kFile;
  } else if (!S_ISDIR(st.stx_mode)) {
    info.kind = EntryKind::kOther;
  } else if ((st.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0) {
    info.kind =
        (st.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0 ? EntryKind::kMountPoint : EntryKind::kFolder;
  } else {
    struct stat self, up;
    bool other = ::fstatat(dir, name, &self, AT_SYMLINK_NOFOLLOW) == 0 &&
                 ::stat(parent.empty() ? "." : parent.c_str(), &up) == 0 && self.st_dev != up.st_dev;
    info.kind = other ? EntryKind::kMountPoint : EntryKind::kFolder;
  }
  return true;
}

bool Opened(int fd, std::intptr_t& handle, IoError& error) {
  if (fd < 0) {
    Fail(error);
    return false;
  }
  handle = fd;
  return true;
}

// Flushes folder's entries to the medium. Some file systems (FUSE ones among
// them) cannot flush a folder; their changes stand all the same.
bool SyncFolder(const fs::path& folder, bool mustOpen, IoError& error) {
  int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) {
    if (!mustOpen) return true;
    Fail(error);
    return false;
  }
  bool ok = ::fsync(dir) == 0 || errno == EINVAL || errno == ENOSYS || errno == EROFS;
  if (!ok) Fail(error);
  ::close(dir);
  return ok;
}

}  // namespace

OutFile::~OutFile() {
  if (handle_ >= 0) ::close(Fd(handle_));
}

bool OutFile::Create(const fs::path& path) {
  return Opened(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666), handle_, error_);
}

bool OutFile::OpenToAppend(const fs::path& path, bool& empty) {
  struct stat info;
  if (!Opened(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666), handle_, error_)) return false;
  if (::fstat(Fd(handle_), &info) != 0) {
    Fail(error_);
    return false;
  }
  empty = info.st_size == 0;
  return true;
}

bool OutFile::CreateNew(const fs::path& path, bool& occupied) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    int code = errno;
    struct stat info;
    occupied = code == EEXIST || ::lstat(path.c_str(), &info) == 0;
    errno = code;
  } else {
    occupied = false;
  }
  return Opened(fd, handle_, error_);
}

bool OutFile::Write(const void* data, std::size_t size) {
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(Fd(handle_), at, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      Fail(error_);
      return false;
    }
    at += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool OutFile::FlushToMedium() {
  if (::fsync(Fd(handle_)) != 0) {
    Fail(error_);
    return false;
  }
  // The bytes are on the medium now; drop them from the cache so that a
  // read-back has to fetch them from there.
  ::posix_fadvise(Fd(handle_), 0, 0, POSIX_FADV_DONTNEED);
  return true;
}

bool OutFile::Close() {
  if (handle_ < 0) return true;
  int result = ::close(Fd(handle_));
  handle_ = -1;
  if (result != 0) {
    Fail(error_);
    return false;
  }
  return true;
}

InFile::~InFile() { Close(); }

bool InFile::Open(const fs::path& path, bool uncached) {
  if (!Opened(::open(path.c_str(), O_RDONLY | O_CLOEXEC), handle_, error_)) return false;
  uncached_ = uncached;
  // Clean pages are dropped; what was flushed earlier is then read anew from
  // the medium. (O_DIRECT would say it more firmly, but tmpfs and many FUSE
  // file systems refuse it.)
  if (uncached) {
    ::posix_fadvise(Fd(handle_), 0, 0, POSIX_FADV_DONTNEED);
  } else {
    ::posix_fadvise(Fd(handle_), 0, 0, POSIX_FADV_SEQUENTIAL);
  }
  return true;
}

bool InFile::OpenToLookAt(const fs::path& path) {
  if (!Opened(::open(path.c_str(), O_RDONLY | O_CLOEXEC), handle_, error_)) return false;
  uncached_ = false;
  ::posix_fadvise(Fd(handle_), 0, 0, POSIX_FADV_RANDOM);
  return true;
}

bool InFile::Seek(std::uint64_t offset) {
  if (::lseek(Fd(handle_), static_cast<off_t>(offset), SEEK_SET) >= 0) return true;
  Fail(error_);
  return false;
}

bool InFile::Size(std::uint64_t& bytes) {
  struct stat info;
  if (::fstat(Fd(handle_), &info) != 0) {
    Fail(error_);
    return false;
  }
  bytes = static_cast<std::uint64_t>(info.st_size);
  return true;
}

long long InFile::Read(void* data, std::size_t size) {
  char* at = static_cast<char*>(data);
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::read(Fd(handle_), at + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      Fail(error_);
      return -1;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<long long>(done);
}

void InFile::Close() {
  if (handle_ >= 0) ::close(Fd(handle_));
  handle_ = -1;
}

bool RenameInPlace(const fs::path& from, const fs::path& to, IoError& error) {
  // rename() replaces an existing target atomically on POSIX file systems.
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  Fail(error);
  return false;
}

bool PutFileInPlace(const fs::path& from, const fs::path& to, IoError& error) {
  // The new name is durable once its folder is flushed.
  return RenameInPlace(from, to, error) && SyncFolder(to.parent_path(), false, error);
}

bool RemoveFile(const fs::path& path) { return std::remove(path.c_str()) == 0; }

bool ReadWholeFile(const fs::path& path, std::string& bytes, IoError& error) {
  bytes.clear();
  InFile in;
  std::uint64_t size = 0;
  if (!in.Open(path, false) || !in.Size(size)) {
    error = in.error();
    return false;
  }
  bytes.reserve(static_cast<std::size_t>(size));
  char piece[65536];
  for (;;) {
    long long got = in.Read(piece, sizeof piece);
    if (got < 0) {
      error = in.error();
      return false;
    }
    bytes.append(piece, static_cast<std::size_t>(got));
    if (got < static_cast<long long>(sizeof piece)) return true;
  }
}

bool IsPlainWritableFile(const fs::path& path, std::uint64_t& size) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & S_IWUSR) == 0)
    return false;
  size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

FileId IdOf(const fs::path& path) {
  FileId id;
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    id.valid = true;
    id.volume = static_cast<std::uint64_t>(st.st_dev);
    id.index = static_cast<std::uint64_t>(st.st_ino);
  }
  return id;
}

fs::path PathOfAnsi(const char* path) { return fs::path(path); }

namespace {

// One converter per thread, made on first use: a record saved by a
// spreadsheet has a line of this code page for every card.
class AnsiConverter {
 public:
  // Linux has no ANSI code page: the one of Chinese Windows, code page 936
  // (GBK), which the users' spreadsheets save plain CSV files in.
  AnsiConverter() : convert_(::iconv_open("UTF-8", "GBK")) {}
  ~AnsiConverter() {
    if (ok()) ::iconv_close(convert_);
  }
  AnsiConverter(const AnsiConverter&) = delete;
  AnsiConverter& operator=(const AnsiConverter&) = delete;

  std::string Convert(const std::string& bytes) {
    std::string out;
    if (!ok()) {  // no GBK in this C library: the ASCII of it at least
      for (char c : bytes) out += (c & 0x80) ? std::string("\xEF\xBF\xBD") : std::string(1, c);
      return out;
    }
    ::iconv(convert_, nullptr, nullptr, nullptr, nullptr);
    out.reserve(bytes.size() * 3 / 2 + 8);
    std::string in = bytes;
    char* from = &in[0];
    std::size_t left = in.size();
    char piece[1024];
    while (left > 0) {
      char* to = piece;
      std::size_t room = sizeof piece;
      std::size_t done = ::iconv(convert_, &from, &left, &to, &room);
      out.append(piece, static_cast<std::size_t>(to - piece));
      if (done != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
      // A byte of no character (EILSEQ), or a character cut off at the end
      // (EINVAL): one replacement character, and on after the byte.
      out += "\xEF\xBF\xBD";
      ++from;
      --left;
      ::iconv(convert_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  bool ok() const { return convert_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t convert_;
};

}  // namespace

std::string Utf8OfAnsi(const std::string& bytes) {
  if (bytes.empty()) return std::string();
  thread_local AnsiConverter converter;
  return converter.Convert(bytes);
}

bool LookAt(const fs::path& path, EntryInfo& info, IoError& error) {
  return Look(AT_FDCWD, path.c_str(), path.parent_path(), info, error);
}

bool ListFolder(const fs::path& folder, std::vector<FolderEntry>& entries, IoError& error) {
  entries.clear();
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    Fail(error);
    return false;
  }
  bool ok = true;
  for (;;) {
    errno = 0;
    struct dirent* found = ::readdir(dir);
    if (found == nullptr) {
      if (errno != 0) {
        Fail(error);
        ok = false;
      }
      break;
    }
    if (std::strcmp(found->d_name, ".") == 0 || std::strcmp(found->d_name, "..") == 0) continue;
    FolderEntry entry;
    entry.name = found->d_name;
    if (!Look(::dirfd(dir), found->d_name, folder, entry.info, error)) {
      ok = false;
      break;
    }
    // Removed between the listing and the look: not there any more.
    if (entry.info.kind != EntryKind::kMissing) entries.push_back(std::move(entry));
  }
  ::closedir(dir);
  return ok;
}

bool RemoveEntry(const fs::path& path, EntryKind kind, IoError& error) {
  int result = 0;
  switch (kind) {
    case EntryKind::kMissing:
      return true;
    case EntryKind::kFolder:
      result = ::rmdir(path.c_str());
      break;
    case EntryKind::kMountPoint:
      // Never through another file system, and never unmounted.
      errno = EBUSY;
      result = -1;
      break;
    default:
      result = ::unlink(path.c_str());
      break;
  }
  if (result != 0) Fail(error);
  return result == 0;
}

bool MakeFolder(const fs::path& path, IoError& error) {
  if (::mkdir(path.c_str(), 0777) == 0) return true;
  Fail(error);
  return false;
}

bool FlushFolder(const fs::path& folder, IoError& error) { return SyncFolder(folder, true, error); }
