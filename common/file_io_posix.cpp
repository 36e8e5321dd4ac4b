#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "common/file_io.h"

namespace fs = std::filesystem;

namespace {

void Fail(IoError& error) {
  error.code = errno;
  error.text = std::strerror(errno);
  error.full = errno == ENOSPC || errno == EFBIG;
}

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

bool Opened(int fd, std::intptr_t& handle, IoError& error) {
  if (fd < 0) {
    Fail(error);
    return false;
  }
  handle = fd;
  return true;
}

}  // namespace

OutFile::~OutFile() {
  if (handle_ >= 0) ::close(Fd(handle_));
}

bool OutFile::Create(const fs::path& path) {
  return Opened(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666), handle_, error_);
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
  if (uncached) ::posix_fadvise(Fd(handle_), 0, 0, POSIX_FADV_DONTNEED);
  ::posix_fadvise(Fd(handle_), 0, 0, POSIX_FADV_SEQUENTIAL);
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

bool PutFileInPlace(const fs::path& from, const fs::path& to, IoError& error) {
  // rename() replaces an existing target atomically on POSIX file systems.
  if (std::rename(from.c_str(), to.c_str()) != 0) {
    Fail(error);
    return false;
  }
  // The new name is durable once its folder is flushed. Some file systems
  // (FUSE ones among them) cannot flush a folder; the rename itself stands.
  fs::path folder = to.parent_path();
  int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    if (::fsync(dir) != 0 && errno != EINVAL && errno != ENOSYS && errno != EROFS) {
      Fail(error);
      ::close(dir);
      return false;
    }
    ::close(dir);
  }
  return true;
}

bool RemoveFile(const fs::path& path) { return std::remove(path.c_str()) == 0; }

bool IsSmallWritableFile(const fs::path& path, std::uint64_t maxBytes) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) != 0 &&
         static_cast<std::uint64_t>(info.st_size) <= maxBytes;
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

bool FreeSpace(const fs::path& path, std::uint64_t& bytes) {
  struct statvfs info;
  if (::statvfs(path.c_str(), &info) != 0) return false;
  bytes = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
  return true;
}

fs::path PathOfAnsi(const char* path) { return fs::path(path); }
